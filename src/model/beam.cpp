#include "model/beam.h"

namespace cbeam {

std::vector<double> DesignBeam::InputValues() const {
    std::vector<double> v{static_cast<double>(N), EIo, static_cast<double>(Flag0),
                          static_cast<double>(FlagN)};
    v.reserve(4 + 5 * static_cast<std::size_t>(N > 0 ? N : 0));
    for (int k = 1; k <= N; ++k) {
        const bool loaded = k <= LoadType.Count() && LoadType(k) != 0;
        v.insert(v.end(), {L(k), EI(k), loaded ? static_cast<double>(LoadType(k)) : 0.0,
                           loaded ? Q(k) : 0.0, k <= A.Count() ? A(k) : 0.0});
    }
    return v;
}

void DesignState::SizeTyped(int n) {
    N = static_cast<std::int16_t>(n);
    Changed();
    L.Size(n);
    EI.Size(n);
    L.Fill(1.0);
    EI.Fill(1.0);
}

void DesignState::SizeLoadsAndResults() {
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

void DesignState::SizeAll(int n) {
    N = static_cast<std::int16_t>(n);
    L.Size(n);
    EI.Size(n);
    SizeLoadsAndResults();
}

}  // namespace cbeam
