#include "ui/windows.h"

#include "ui/input/frminput.h"
#include "ui/results/frmresults.h"
#include "ui/start/frmstart.h"

namespace cbeam {

void ConnectWindows(BeamDocument& doc, UiServices& services) {
    services.openInputWindow = [&doc, &services] { (new frmInput(doc, services))->show(); };
    services.openStartDialog = [&doc, &services](StartWith with) {
        (new frmStart(doc, services, with))->show();
    };
    services.openResultsWindow = [&doc, &services] { (new frmResults(doc, services))->show(); };
}

}  // namespace cbeam
