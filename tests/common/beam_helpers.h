#pragma once

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/beam_json.h"
#include "files/bmf.h"
#include "model/beam.h"
#include "model/structure.h"

namespace cbeam::testing {

struct SpanInput {
    double L = 1;
    double EI = 1;
    int kind = 0;
    double Q = 0;
    double A = 0;
};

// A beam as the loader would leave it: every array sized for N.
inline BeamState MakeBeam(const std::vector<SpanInput>& spans, std::int16_t flag0,
                          std::int16_t flagN, double EIo = 1) {
    BeamState s;
    s.SizeAll(static_cast<int>(spans.size()));
    s.EIo = EIo;
    s.Flag0 = flag0;
    s.FlagN = flagN;
    for (int k = 1; k <= s.N; ++k) {
        const SpanInput& sp = spans[static_cast<std::size_t>(k - 1)];
        s.L(k) = sp.L;
        s.EI(k) = sp.EI;
        s.LoadType(k) = static_cast<std::int16_t>(sp.kind);
        s.Q(k) = sp.Q;
        s.A(k) = sp.A;
    }
    return s;
}

// What the encoders write, empty when they refuse.
inline std::string BmfBytes(const DesignState& s) {
    std::string bytes;
    (void)EncodeBeamFile(s, bytes);
    return bytes;
}
template <class Described>  // a DesignState or a Beam
std::string JsonText(const Described& beam) {
    std::string text;
    (void)EncodeBeamJson(beam, text);
    return text;
}

// Bit-exact comparison (NaN equal to itself, 0.0 different from -0.0).
inline bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

inline bool SameBits(const RealArray& a, const RealArray& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 1; i <= a.Count(); ++i) {
        if (!SameBits(a(i), b(i))) return false;
    }
    return true;
}

// Every field of the state, bit for bit.
inline bool SameState(const BeamState& a, const BeamState& b) {
    return a.N == b.N && SameBits(a.EIo, b.EIo) && a.Flag0 == b.Flag0 && a.FlagN == b.FlagN &&
           a.CurSpan == b.CurSpan && a.InputMode == b.InputMode && SameBits(a.L, b.L) &&
           SameBits(a.EI, b.EI) && a.LoadType == b.LoadType && SameBits(a.Q, b.Q) &&
           SameBits(a.A, b.A) && SameBits(a.LineStiff, b.LineStiff) && SameBits(a.FemL, b.FemL) &&
           SameBits(a.FemR, b.FemR) && a.K == b.K && SameBits(a.Theta, b.Theta) &&
           SameBits(a.NodeLoad, b.NodeLoad) && SameBits(a.M, b.M);
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "cbeam-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

// Spans under uniform loads g (permanent) and q (variable) over each whole
// span; a free left end makes the first a cantilever.
inline Beam LiveBeam(const std::vector<double>& lengths, double g, double q,
                     bool cantilever = false) {
    Beam b;
    LoadCase lg{"G", CaseKind::Permanent, {}, {}, {}}, lq{"Q", CaseKind::Variable, {}, {}, {}};
    for (const double L : lengths) {
        b.spans.push_back({L, 1});
        lg.loads.push_back(Load::Uniform(b.N(), g, 0, L));
        lq.loads.push_back(Load::Uniform(b.N(), q, 0, L));
    }
    b.supports.assign(lengths.size() + 1, Support{});
    if (cantilever) b.supports[0].kind = SupportKind::Free;
    b.cases = {lg, lq};
    return b;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace cbeam::testing
