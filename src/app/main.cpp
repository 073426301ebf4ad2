// cbeam: starts with the start dialog, or with `cbeam FILE.bmf` straight in
// the input window holding that beam (the results window for a general beam
// the input window cannot show).
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <new>

#include "document/beam_document.h"
#include "files/beam_json.h"
#include "text/status.h"
#include "ui/about/sysinfo.h"
#include "ui/common/services.h"
#include "ui/start/frmstart.h"
#include "ui/windows.h"
#include "version/version.h"

namespace {

constexpr const char* kHelp =
    "Usage: cbeam [FILE.bmf | FILE.json]\n"
    "连续梁计算程序：输入 N 跨连续梁的跨长、刚度、荷载和两端约束，\n"
    "给出结点弯矩、连续梁简图和弯矩图；连续梁可保存为 .bmf 数据文件，\n"
    "并可写出文本报告。\n"
    "Continuous-beam calculator with a Chinese user interface.\n"
    "\n"
    "Options:\n"
    "  FILE         open this beam file (.bmf, or .json by its extension)\n"
    "               straight in the input window\n"
    "               （直接在“输入参数”窗口中打开这个数据文件）\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "See also cbeam-cli(1) for batch work.\n";

// --help and --version are answered before any window system is touched, so
// that they work on a machine without a display.
bool AnswerInfoOption(int argc, char* argv[], int& exitCode) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kHelp, stdout);
    } else if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("cbeam %s\n", cbeam::kVersion);
    } else {
        return false;
    }
    exitCode = std::fflush(stdout) == 0 ? 0 : 1;
    return true;
}

int RunProgram(int argc, char* argv[]) {
    // The beam document and the services outlive the application object and
    // so every window that refers to them.
    cbeam::BeamDocument doc;
    cbeam::QtUiServices services;
    cbeam::ConnectWindows(doc, services);
    QApplication app(argc, argv);
    QApplication::setApplicationName(cbeam::kAppTitle);
    // Qt's own dialogs (message boxes, file dialogs) speak Chinese like the
    // rest; without Qt's translations installed they stay in English.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    // QApplication took its own options out of argv; what is left is ours,
    // and a file name stays the bytes it was given as.
    if (argc > 1) {
        // As the start dialog's file load: typed mode until the file is accepted.
        doc.Edit().InputMode = 1;
        const cbeam::Status result = doc.Load(argv[1], cbeam::KindOfPath(argv[1]));
        if (result) {
            doc.FromVersion2() || doc.General() ? services.openDesignWindow()
                                                : services.openInputWindow();
            return QApplication::exec();
        }
        cbeam::RefuseCommand(services, cbeam::Command::Load, result);
    }
    (new cbeam::frmStart(doc, services))->show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (int code = 0; AnswerInfoOption(argc, argv, code)) return code;
    // A beam far too large for the machine ends with a reason, not an abort.
    try {
        return RunProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n",
                     cbeam::MessageText(cbeam::Status{cbeam::Code::OutOfMemory}).c_str());
        return 1;
    }
}
