// The schematic and the moment diagram onto the window's two drawing areas,
// as a refresh after an edit draws them.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "canvas/image_canvas.h"
#include "drawing/drawings.h"
#include "drawing/layout.h"
#include "model/driver.h"

namespace {

using namespace cbeam;

void EnsureGui() {
    // Made once and never destroyed: Qt's own globals may already be gone
    // when static objects are torn down at exit.
    static QGuiApplication* app = nullptr;
    if (app) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_drawing";
    static char* argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

// Spans of 3 to 8 m; no load, uniform loads over varying lengths and point
// loads at varying places in turn; both ends fixed.
BeamState MixedBeam(int n) {
    BeamState s;
    s.SizeAll(n);
    s.EIo = 30;
    s.Flag0 = s.FlagN = kTrue;
    for (int i = 1; i <= n; ++i) {
        s.L(i) = 3 + (i * 7) % 6;
        s.EI(i) = 1 + (i % 3) * 0.5;
        s.LoadType(i) = static_cast<std::int16_t>(i % 3);
        s.Q(i) = 5 + (i * 13) % 40;
        s.A(i) = s.LoadType(i) == 1 ? 0.5 + 0.5 * (i % 2) : 0.1 + 0.8 * ((i * 5) % 9) / 8.0;
    }
    RunAnalysis(s);
    return s;
}

// Arguments: span count, device pixel ratio.
void BM_RedrawBoth(benchmark::State& st) {
    EnsureGui();
    BeamState s = MixedBeam(static_cast<int>(st.range(0)));
    const double dpr = static_cast<double>(st.range(1));
    ImageCanvas schematic(QSize(kSchematicPixels.width, kSchematicPixels.height), 1.0, dpr);
    ImageCanvas diagram(QSize(kDiagramPixels.width, kDiagramPixels.height), kDiagramTwipsPerUnit,
                        dpr);
    for (auto _ : st) {
        schematic.Clear();
        ReDrawAll(s, schematic);
        diagram.Clear();
        DrawM(s, diagram);
        benchmark::DoNotOptimize(schematic.Image().constBits());
        benchmark::DoNotOptimize(diagram.Image().constBits());
    }
}
BENCHMARK(BM_RedrawBoth)
    ->ArgsProduct({{10, 1000, 32766}, {1, 2}})
    ->ArgNames({"N", "dpr"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
