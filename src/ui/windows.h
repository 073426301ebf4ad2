#pragma once

#include "document/beam_document.h"
#include "ui/common/services.h"

namespace cbeam {

// Lets the start dialog and the input window open each other, and either
// the results window for a general beam, on `doc` through `services`. Both
// must outlive every window.
void ConnectWindows(BeamDocument& doc, UiServices& services);

}  // namespace cbeam
