#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "cli/commands.h"
#include "files/bmf.h"
#include "files/gbk.h"
#include "files/report.h"
#include "model/driver.h"

namespace {

// The largest beam a file can hold, analysed, with every load kind.
const cbeam::BeamState& LargestBeam() {
    static const cbeam::BeamState beam = [] {
        cbeam::BeamState s;
        s.SizeAll(cbeam::kMaxSpans);
        s.EIo = 2;
        s.Flag0 = cbeam::kTrue;
        for (int k = 1; k <= s.N; ++k) {
            s.L(k) = 3 + k % 5;
            s.EI(k) = 1 + k % 3;
            s.LoadType(k) = static_cast<std::int16_t>(k % 3);
            s.Q(k) = s.LoadType(k) != 0 ? 5 + k % 11 : 0;
            s.A(k) = (k % 4 + 1) / 4.0;
        }
        cbeam::RunAnalysis(s);
        return s;
    }();
    return beam;
}

std::string TempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/cbeam-bench-" +
           std::to_string(::getpid()) + "-" + name;
}

void BM_Encode(benchmark::State& st) {
    for (auto _ : st) {
        std::string bytes;
        benchmark::DoNotOptimize(cbeam::EncodeBeamFile(LargestBeam(), bytes));
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& st) {
    std::string bytes;
    (void)cbeam::EncodeBeamFile(LargestBeam(), bytes);
    for (auto _ : st) {
        cbeam::BeamState s;
        benchmark::DoNotOptimize(cbeam::DecodeBeamFile(bytes, s));
    }
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

// Save includes the flush to disk, so it measures the disk as much as the code.
void BM_SaveFile(benchmark::State& st) {
    const std::string path = TempPath("save.bmf");
    for (auto _ : st) benchmark::DoNotOptimize(cbeam::SaveBeamFile(path, LargestBeam()));
    ::unlink(path.c_str());
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& st) {
    const std::string path = TempPath("load.bmf");
    cbeam::SaveBeamFile(path, LargestBeam());
    for (auto _ : st) {
        cbeam::BeamState s;
        benchmark::DoNotOptimize(cbeam::LoadBeamFile(path, s));
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

void BM_LoadAndAnalyse(benchmark::State& st) {
    const std::string path = TempPath("solve.bmf");
    cbeam::SaveBeamFile(path, LargestBeam());
    for (auto _ : st) {
        cbeam::BeamState s;
        cbeam::LoadBeamFile(path, s);
        cbeam::RunAnalysis(s);
        benchmark::DoNotOptimize(cbeam::ResultLines(s));
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_LoadAndAnalyse)->Unit(benchmark::kMillisecond);

void BM_ReportLines(benchmark::State& st) {
    for (auto _ : st) benchmark::DoNotOptimize(cbeam::ReportLines(LargestBeam()));
}
BENCHMARK(BM_ReportLines)->Unit(benchmark::kMillisecond);

void BM_ReportBytes(benchmark::State& st) {
    for (auto _ : st) {
        std::string bytes;
        benchmark::DoNotOptimize(cbeam::EncodeReport(LargestBeam(), bytes));
    }
}
BENCHMARK(BM_ReportBytes)->Unit(benchmark::kMillisecond);

void BM_SaveReport(benchmark::State& st) {
    const std::string path = TempPath("report.txt");
    for (auto _ : st) benchmark::DoNotOptimize(cbeam::SaveReport(path, LargestBeam()));
    ::unlink(path.c_str());
}
BENCHMARK(BM_SaveReport)->Unit(benchmark::kMillisecond);

}  // namespace
