#include <benchmark/benchmark.h>

#include "model/driver.h"

namespace {

cbeam::BeamState EqualSpans(int n) {
    cbeam::BeamState s;
    s.SizeAll(n);
    s.EIo = 1;
    s.L.Fill(6.0);
    s.EI.Fill(1.0);
    for (int k = 1; k <= n; ++k) {
        s.LoadType(k) = static_cast<std::int16_t>(1 + k % 2);
        s.Q(k) = 10 + k % 7;
        s.A(k) = k % 2 ? 0.5 : 1.0;
    }
    return s;
}

// One whole analysis: stiffness, loads, solution, moments.
void BM_Analyse(benchmark::State& st) {
    cbeam::BeamState s = EqualSpans(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        benchmark::DoNotOptimize(cbeam::RunAnalysis(s).status);
        benchmark::ClobberMemory();
    }
    st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_Analyse)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(32766)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace
