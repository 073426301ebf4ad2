#include "cli/sheet_command.h"

#include <QDateTime>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <utility>

#include "analysis/engine.h"
#include "cli/batch_gui.h"
#include "cli/commands.h"
#include "files/beam_json.h"
#include "sheet/sheet.h"
#include "text/status.h"
#include "version/version.h"

int SheetCommand(const std::vector<std::string>& args) {
    using namespace cbeam;
    std::vector<std::string> files;
    bool force = false;
    SheetInfo info;
    // The title fields, each an option with its value.
    const std::pair<const char*, std::string SheetInfo::*> fields[] = {
        {"--project", &SheetInfo::project},   {"--member", &SheetInfo::member},
        {"--designer", &SheetInfo::designer}, {"--checker", &SheetInfo::checker},
        {"--approver", &SheetInfo::approver}, {"--date", &SheetInfo::date}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << cli::HelpText();
            return cli::kExitOk;
        }
        if (a == "--force") {
            force = true;
            continue;
        }
        const auto field = std::find_if(std::begin(fields), std::end(fields),
                                        [&a](const auto& f) { return a == f.first; });
        if (field != std::end(fields)) {
            if (i + 1 >= args.size()) {
                std::cerr << a << " 需要一个值（用法见 cbeam-cli --help）\n";
                return cli::kExitUsage;
            }
            info.*(field->second) = args[++i];
            continue;
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
    if (!cli::EndsWithIgnoringCase(files[1], ".pdf")) {
        std::cerr << MessageText(Status{Code::NotPdfName}) << files[1]
                  << "（用法见 cbeam-cli --help）\n";
        return cli::kExitUsage;
    }
    if (const int rc = cli::CheckOutput(files[1], files[0], force, Command::Sheet, std::cerr);
        rc != cli::kExitOk) {
        return rc;
    }
    // A general beam that the design's state cannot hold (load cases, springs,
    // cantilevers) gets the sheet of the general beam; every other beam the
    // design's sheet.
    LoadedBeam loaded;
    if (const Status r = LoadBeam(files[0], loaded); !r) {
        std::cerr << LeadIn(Command::Load) << MessageText(r) << '\n';
        return cli::kExitFile;
    }
    const bool general = loaded.general && !ToDesignState(loaded.beam, loaded.state);
    DesignState state;
    if (general) {
        analysis::Engine engine;
        if (const Status r = engine.Build(loaded.beam); !r) {
            std::cerr << MessageText(r) << '\n';
            return cli::kExitAnalysis;
        }
    } else if (const int rc = cli::LoadAndAnalyse(files[0], state, std::cerr); rc != cli::kExitOk) {
        return rc;
    }
    const cli::BatchGui gui;
    info.fileName = std::filesystem::path(files[0]).filename().string();
    info.dateTime =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    info.version = kVersion;
    if (const Status r =
            general ? WriteSheet(files[1], loaded.beam, info) : WriteSheet(files[1], state, info);
        !r) {
        std::cerr << LeadIn(Command::Sheet) << MessageText(r) << '\n';
        return cli::kExitFile;
    }
    return cli::kExitOk;
}
