#include <benchmark/benchmark.h>

#include "analysis/engine.h"

namespace {

using namespace cbeam;

// Spans of 5 to 8 m, springs on every tenth support, two cases of five
// loads a span: uniform, linear, point, moment and a patch.
Beam LongBeam(int n) {
    Beam b;
    b.EIo = 1;
    for (int k = 0; k < n; ++k) b.spans.push_back({5.0 + k % 4, 1.0 + 0.1 * (k % 3)});
    for (int j = 0; j <= n; ++j) {
        b.supports.push_back(j % 10 == 5 ? Support::Spring(2e5) : Support{SupportKind::Pinned});
    }
    b.supports.front().kind = SupportKind::Fixed;
    for (const char* name : {"G", "Q"}) {
        LoadCase c;
        c.name = name;
        for (int k = 1; k <= n; ++k) {
            const double l = b.SpanAt(k).L, f = 1 + (k % 7) * 0.1;
            c.loads.push_back(Load::Uniform(k, 20 * f, 0, l));
            c.loads.push_back(Load::Linear(k, 0, 12 * f, 0, l / 2));
            c.loads.push_back(Load::Point(k, 80 * f, 0.3 * l));
            c.loads.push_back(Load::Moment(k, 15 * f, 0.7 * l));
            c.loads.push_back(Load::Uniform(k, 8 * f, 0.4 * l, 0.9 * l));
        }
        b.cases.push_back(std::move(c));
    }
    return b;
}

// Factor once, solve both cases, every span's design values.
void BM_EngineWhole(benchmark::State& st) {
    const Beam beam = LongBeam(static_cast<int>(st.range(0)));
    std::vector<analysis::CaseLoads> cases;
    for (const LoadCase& c : beam.cases) cases.push_back(analysis::GroupLoads(beam.N(), c));
    for (auto _ : st) {
        analysis::Engine engine;
        if (!engine.Build(beam)) st.SkipWithError("not solvable");
        for (const analysis::CaseLoads& c : cases) {
            const analysis::CaseResult r = engine.Analyse(c);
            benchmark::DoNotOptimize(engine.Design(r, c).data());
        }
        benchmark::ClobberMemory();
    }
    st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_EngineWhole)->Arg(10)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
