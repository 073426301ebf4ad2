#include "ui/windows.h"

#include <QPointer>
#include <memory>

#include "ui/design/frmdesign.h"
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
    // One design window: asking again brings it forward.
    services.openDesignWindow = [&doc, &services, open = std::make_shared<QPointer<frmDesign>>()] {
        if (open->isNull()) *open = new frmDesign(doc, services);
        (*open)->show();
        (*open)->raise();
        (*open)->activateWindow();
    };
}

}  // namespace cbeam
