#include "cli/sheet_command.h"

#include <QDateTime>
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "sheet/sheet.h"
#include "text/status.h"
#include "version/version.h"

int SheetCommand(const std::vector<std::string>& args) {
    using namespace cbeam;
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << cli::HelpText();
            return cli::kExitOk;
        }
        if (a.size() > 1 && a[0] == '-') {
            std::cerr << "未知的选项：" << a << "（用法见 cbeam-cli --help）\n";
            return cli::kExitUsage;
        }
        files.push_back(a);
    }
    if (files.size() != 2) {
        std::cerr << "sheet 需要一个数据文件和一个 PDF 文件（用法见 cbeam-cli --help）\n";
        return cli::kExitUsage;
    }
    BeamState state;
    if (const int rc = cli::LoadAndAnalyse(files[0], state, std::cerr); rc != cli::kExitOk) {
        return rc;
    }
    // Fonts need a running QGuiApplication; a batch tool has no display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "cbeam-cli";
    static char* argv[] = {name, nullptr};
    const QGuiApplication app(argc, argv);
    SheetInfo info;
    info.fileName = std::filesystem::path(files[0]).filename().string();
    info.dateTime =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    info.version = kVersion;
    if (const Status r = WriteSheet(files[1], state, info); !r) {
        std::cerr << LeadIn(Command::Sheet) << MessageText(r) << '\n';
        return cli::kExitFile;
    }
    return cli::kExitOk;
}
