#include "model/beam.h"

namespace cbeam {

void BeamState::SizeTyped(int n) {
    N = static_cast<std::int16_t>(n);
    Changed();
    L.Size(n);
    EI.Size(n);
    L.Fill(1.0);
    EI.Fill(1.0);
}

void BeamState::SizeLoadsAndResults() {
    Changed();
    LineStiff.Size(N);
    LoadType.Size(N);
    FemL.Size(N);
    FemR.Size(N);
    Q.Size(N);
    A.Size(N);
    K.Size(N + 1);
    Theta.Size(N + 1);
    NodeLoad.Size(N + 1);
    M.Size(N + 1);
}

void BeamState::SizeAll(int n) {
    N = static_cast<std::int16_t>(n);
    L.Size(n);
    EI.Size(n);
    SizeLoadsAndResults();
}

}  // namespace cbeam
