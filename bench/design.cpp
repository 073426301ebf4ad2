#include "model/design.h"

#include <benchmark/benchmark.h>

#include "model/driver.h"

namespace {

// Spans of 3 to 8 m with no load, partial and full uniform loads and point
// loads (on the supports too) in turn; fixed at the left, pinned at the right.
cbeam::BeamState MixedBeam(int n) {
    cbeam::BeamState s;
    s.SizeAll(n);
    s.EIo = 30;
    s.Flag0 = cbeam::kTrue;
    for (int k = 1; k <= n; ++k) {
        s.L(k) = 3 + (k * 7) % 6;
        s.EI(k) = 1 + (k % 3) * 0.5;
        s.LoadType(k) = static_cast<std::int16_t>(k % 3);
        s.Q(k) = 5 + (k * 13) % 40;
        s.A(k) = ((k * 5) % 9) / 8.0;
    }
    cbeam::RunAnalysis(s);
    return s;
}

// Every design value of an analysed beam: reactions, end shears, largest
// sagging moments and deflections.
void BM_DesignValues(benchmark::State& st) {
    const cbeam::BeamState s = MixedBeam(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        cbeam::DesignValues d = cbeam::ComputeDesignValues(s);
        benchmark::DoNotOptimize(d.spans.data());
        benchmark::ClobberMemory();
    }
    st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_DesignValues)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(32766)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace
