#pragma once

#include "model/beam.h"
#include "ui/common/services.h"

namespace cbeam {

// Lets the start dialog and the input window open each other on `state`
// through `services`. Both must outlive every window.
void ConnectWindows(BeamState& state, UiServices& services);

}  // namespace cbeam
