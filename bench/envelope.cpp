#include <benchmark/benchmark.h>

#include "analysis/envelope.h"
#include "analysis/influence.h"

namespace {

using namespace cbeam;

// Spans of 5 to 8 m, a dead load on every span and a live one patterned
// span by span, under 1.3 G + 1.5 Q; rigid supports (the left end fixed),
// or a spring under every support.
Beam LoadedBeam(int n, bool springs) {
    Beam b;
    b.EIo = 1;
    for (int k = 0; k < n; ++k) b.spans.push_back({5.0 + k % 4, 1.0 + 0.1 * (k % 3)});
    for (int j = 0; j <= n; ++j)
        b.supports.push_back(springs ? Support::Spring(2e5) : Support{SupportKind::Pinned});
    if (!springs) b.supports.front().kind = SupportKind::Fixed;
    LoadCase g{"G", CaseKind::Permanent, {}, {}, {}}, q{"Q", CaseKind::Variable, {}, {}, {}};
    for (int k = 1; k <= n; ++k) {
        const double l = b.SpanAt(k).L;
        g.loads.push_back(Load::Uniform(k, 20, 0, l));
        q.loads.push_back(Load::Uniform(k, 10 + k % 5, 0, l));
        q.loads.push_back(Load::Point(k, 30, 0.4 * l));
    }
    b.cases = {g, q};
    return b;
}

// The engine, every group, then M, V and w at 20 points of every span and
// every reaction.
void Envelopes(benchmark::State& st, bool springs) {
    const Beam beam = LoadedBeam(static_cast<int>(st.range(0)), springs);
    const Combination co = CombinationsOf(beam).front();
    std::vector<double> xs(20);
    for (auto _ : st) {
        analysis::Engine engine;
        if (!engine.Build(beam)) st.SkipWithError("not solvable");
        analysis::Envelope env;
        env.Build(engine, beam, co);
        double sum = 0;
        for (int k = 1; k <= beam.N(); ++k) {
            const double l = beam.SpanAt(k).L;
            for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = l * static_cast<double>(i) / 19;
            for (const auto q : {analysis::Quantity::Moment, analysis::Quantity::Shear,
                                 analysis::Quantity::Deflection})
                sum += env.Along(k, q, xs).back().max;
        }
        for (int j = 1; j <= beam.N() + 1; ++j) sum += env.Reaction(j).max;
        benchmark::DoNotOptimize(sum);
    }
}
void BM_EnvelopeRigid(benchmark::State& st) { Envelopes(st, false); }
void BM_EnvelopeSprings(benchmark::State& st) { Envelopes(st, true); }
BENCHMARK(BM_EnvelopeRigid)->Arg(12)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnvelopeSprings)->Arg(12)->Arg(1000)->Unit(benchmark::kMillisecond);

// One combination built, and another made from its groups (the window's
// serviceability envelopes beside the chosen one).
void BM_EnvelopeBuildOnly(benchmark::State& st) {
    const Beam beam = LoadedBeam(static_cast<int>(st.range(0)), false);
    analysis::Engine engine;
    if (!engine.Build(beam)) st.SkipWithError("not solvable");
    const std::vector<Combination> combinations = CombinationsOf(beam);
    analysis::Envelope env;
    for (auto _ : st) env.Build(engine, beam, combinations[0]);
}
void BM_EnvelopeRebuild(benchmark::State& st) {
    const Beam beam = LoadedBeam(static_cast<int>(st.range(0)), false);
    analysis::Engine engine;
    if (!engine.Build(beam)) st.SkipWithError("not solvable");
    const std::vector<Combination> combinations = CombinationsOf(beam);
    analysis::Envelope first, env;
    first.Build(engine, beam, combinations[0]);
    for (auto _ : st) env.Rebuild(first, beam, combinations[1]);
}
BENCHMARK(BM_EnvelopeBuildOnly)->Arg(32766)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnvelopeRebuild)->Arg(32766)->Unit(benchmark::kMillisecond);

// The design values of every span, exact, with the arrangement of the
// largest span moment.
void BM_EnvelopeDesign(benchmark::State& st) {
    const Beam beam = LoadedBeam(static_cast<int>(st.range(0)), false);
    analysis::Engine engine;
    if (!engine.Build(beam)) st.SkipWithError("not solvable");
    analysis::Envelope env;
    env.Build(engine, beam, CombinationsOf(beam).front());
    for (auto _ : st) {
        double sum = 0;
        for (int k = 1; k <= beam.N(); ++k) sum += env.Design(k).Mmax.value;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_EnvelopeDesign)->Arg(12)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);

// One influence line (the moment at mid-span of the middle span) on the
// factored beam.
void BM_InfluenceLine(benchmark::State& st) {
    const Beam beam = LoadedBeam(static_cast<int>(st.range(0)), false);
    analysis::Engine engine;
    if (!engine.Build(beam)) st.SkipWithError("not solvable");
    const int k = (beam.N() + 1) / 2;
    for (auto _ : st) {
        analysis::InfluenceLine line;
        if (!line.Build(engine, beam, {analysis::InfluenceOf::Moment, k, beam.SpanAt(k).L / 2}))
            st.SkipWithError("no line");
        benchmark::DoNotOptimize(line.Max().value);
    }
}
BENCHMARK(BM_InfluenceLine)->Arg(100)->Arg(32766)->Unit(benchmark::kMillisecond);

// The worst places of two cranes' four wheels, both ways, on that line.
void BM_TrainWorst(benchmark::State& st) {
    const Beam beam = LoadedBeam(static_cast<int>(st.range(0)), false);
    analysis::Engine engine;
    if (!engine.Build(beam)) st.SkipWithError("not solvable");
    const int k = (beam.N() + 1) / 2;
    analysis::InfluenceLine line;
    if (!line.Build(engine, beam, {analysis::InfluenceOf::Moment, k, beam.SpanAt(k).L / 2}))
        st.SkipWithError("no line");
    const analysis::Train train{{300, 300, 300, 300}, {0, 4.4, 5.4, 9.8}, 0};
    for (auto _ : st) {
        benchmark::DoNotOptimize(analysis::WorstPositions(line, train, true).max.value);
        benchmark::DoNotOptimize(analysis::WorstPositions(line, train, false).max.value);
    }
}
BENCHMARK(BM_TrainWorst)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
