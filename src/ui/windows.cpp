#include "ui/windows.h"

#include "ui/input/frminput.h"
#include "ui/start/frmstart.h"

namespace cbeam {

void ConnectWindows(BeamState& state, UiServices& services) {
    services.openInputWindow = [&state, &services] { (new frmInput(state, services))->show(); };
    services.openStartDialog = [&state, &services](StartWith with) {
        (new frmStart(state, services, with))->show();
    };
}

}  // namespace cbeam
