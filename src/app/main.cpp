// cbeam: starts with the start dialog, or with `cbeam FILE.bmf` straight in
// the input window holding that beam.
#include <QApplication>

#include "files/bmf.h"
#include "model/beam.h"
#include "ui/about/sysinfo.h"
#include "ui/common/services.h"
#include "ui/input/frminput.h"
#include "ui/start/frmstart.h"

int main(int argc, char* argv[]) {
    // The beam and the services outlive the application object and so every
    // window that refers to them.
    cbeam::BeamState state;
    cbeam::QtUiServices services;
    QApplication app(argc, argv);
    QApplication::setApplicationName(cbeam::kAppTitle);

    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        // As the start dialog's file load: typed mode until the file is accepted.
        state.InputMode = 1;
        const cbeam::Status result = cbeam::LoadBeamFile(args.at(1).toStdString(), state);
        if (result) {
            (new cbeam::frmInput(state, services))->show();
            return QApplication::exec();
        }
        cbeam::RefuseCommand(services, cbeam::Command::Load, result);
    }
    (new cbeam::frmStart(state, services))->show();
    return QApplication::exec();
}
