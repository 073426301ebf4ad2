#include "regress/fuzz_checks.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "files/bmf.h"
#include "files/report.h"
#include "model/compute.h"
#include "text/format.h"
#include "text/number.h"

namespace cbeam::fuzz {
namespace {

template <class... T>
std::string Say(const T&... parts) {
    std::ostringstream out;
    out.precision(17);
    (out << ... << parts);
    return out.str();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// ---------------------------------------------------------------- numbers

// The longest leading decimal number, found independently of the reader:
// blanks, sign, digits with at most one point (at least one digit), and an
// exponent only when it has a digit.
std::string LeadingNumber(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) ++i;
    const std::size_t start = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    bool point = false;
    while (i < t.size() && (IsDigit(t[i]) || (t[i] == '.' && !point))) {
        if (t[i] == '.') {
            point = true;
        } else {
            ++digits;
        }
        ++i;
    }
    if (digits == 0) return {};
    std::size_t end = i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && IsDigit(t[j])) {
            while (j < t.size() && IsDigit(t[j])) ++j;
            end = j;
        }
    }
    return std::string(t.substr(start, end - start));
}

// ---------------------------------------------------------------- formats

constexpr const char* kPatterns[] = {
    "0.0#",       "##0.00#", "0.00E+00", "#0.##",    "##0.00",  "####0.000###", "#####0.00000",
    "###0.00000", "##",      "##0.0#",   "###0.00#", "#0.00##", "###0.00"};
constexpr int kPatternCount = static_cast<int>(sizeof kPatterns / sizeof kPatterns[0]);

struct Shape {
    int intZeros = 0;
    bool point = false;
    int fracMin = 0, fracMax = 0;
    bool exponent = false;
};

Shape ShapeOf(std::string_view pattern) {
    Shape s;
    const std::size_t e = pattern.find('E');
    s.exponent = e != std::string_view::npos;
    const std::string_view body = pattern.substr(0, e);
    const std::size_t dot = body.find('.');
    s.point = dot != std::string_view::npos;
    for (char c : body.substr(0, dot)) s.intZeros += c == '0';
    if (s.point) {
        for (char c : body.substr(dot + 1)) {
            s.fracMin += c == '0';
            s.fracMax += c == '0' || c == '#';
        }
    }
    return s;
}

// Read in long double: a correctly rounded text may lie beyond the double
// range (1.7976931348623157e308 with two decimals is 1.80E+308).
long double ParseBack(const std::string& text) {
    if (text == "." || text == "-." || text.empty() || text == "-") return 0;
    return std::strtold(text.c_str(), nullptr);
}

std::string CheckFixed(double v, std::string_view pattern, const std::string& out) {
    const Shape s = ShapeOf(pattern);
    std::size_t i = 0;
    const bool minus = !out.empty() && out[0] == '-';
    i += minus;
    const std::size_t intStart = i;
    while (i < out.size() && IsDigit(out[i])) ++i;
    const std::size_t intLen = i - intStart;
    std::size_t fracLen = 0;
    if (s.point) {
        if (i >= out.size() || out[i] != '.') return Say("no decimal point in \"", out, "\"");
        ++i;
        const std::size_t fracStart = i;
        while (i < out.size() && IsDigit(out[i])) ++i;
        fracLen = i - fracStart;
        if (fracLen > static_cast<std::size_t>(s.fracMin) && out[i - 1] == '0') {
            return Say("optional decimal written as 0 in \"", out, "\"");
        }
    }
    if (i != out.size()) return Say("stray character in \"", out, "\"");
    if (fracLen < static_cast<std::size_t>(s.fracMin) ||
        fracLen > static_cast<std::size_t>(s.fracMax)) {
        return Say(fracLen, " decimals in \"", out, "\"");
    }
    if (intLen < static_cast<std::size_t>(s.intZeros)) return Say("too few digits: \"", out, "\"");
    if (intLen > static_cast<std::size_t>(std::max(s.intZeros, 1)) && out[intStart] == '0') {
        return Say("leading zero in \"", out, "\"");
    }
    const double a = std::fabs(v);
    const std::size_t most = std::max<std::size_t>(
        s.intZeros, a >= 1 ? static_cast<std::size_t>(std::floor(std::log10(a))) + 2 : 1);
    if (intLen > most) return Say("too many integer digits: \"", out, "\"");
    const long double back = ParseBack(out);
    if (minus && back == 0) return Say("minus sign on zero: \"", out, "\"");
    const long double allowed =
        0.5L * std::pow(10.0L, -s.fracMax) * (1 + 1e-9L) + a * 2e-14L + 1e-300L;
    if (!(std::fabs(back - v) <= allowed)) {
        return Say("\"", out, "\" reads as ", back, ", off by more than ", allowed);
    }
    return {};
}

// "0.00E+00": one digit, the point, two decimals, "E", a sign, 2 or 3 digits.
std::string CheckScientific(double v, const std::string& out) {
    std::size_t i = out.size() && out[0] == '-' ? 1 : 0;
    const bool minus = i == 1;
    auto digit = [&] { return i < out.size() && IsDigit(out[i++]); };
    const bool ok = digit() && i < out.size() && out[i++] == '.' && digit() && digit() &&
                    i < out.size() && out[i++] == 'E' && i < out.size() &&
                    (out[i] == '+' || out[i] == '-') && ++i && digit() && digit() &&
                    (i == out.size() || (digit() && i == out.size()));
    if (!ok) return Say("not of the form 0.00E+00: \"", out, "\"");
    const long double back = ParseBack(out);
    if (v != 0 && out[minus ? 1 : 0] == '0') return Say("leading digit 0: \"", out, "\"");
    if (minus && !(v < 0)) return Say("minus sign on ", v, ": \"", out, "\"");
    if (!(std::fabs(back - v) <= std::fabs(v) * 5.0000001e-3L + 1e-323L)) {
        return Say("\"", out, "\" reads as ", back, " for ", v);
    }
    return {};
}

double DoubleAt(std::string_view bytes, std::size_t at) {
    unsigned char raw[8] = {};
    for (std::size_t i = 0; i < 8 && at + i < bytes.size(); ++i) {
        raw[i] = static_cast<unsigned char>(bytes[at + i]);
    }
    double v;
    std::memcpy(&v, raw, sizeof v);
    return v;
}

std::size_t Chars(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

// ---------------------------------------------------------------- beam file

// A beam the decoder must not touch when it refuses: two spans with loads,
// typed in, results of an analysis.
BeamState Sentinel() {
    BeamState s;
    s.SizeTyped(2);
    s.SizeLoadsAndResults();
    s.EIo = 3.5;
    s.L(1) = 6;
    s.L(2) = 4;
    s.LoadType(1) = 1;
    s.Q(1) = 10;
    s.A(1) = 1;
    s.LoadType(2) = 2;
    s.Q(2) = 7;
    s.A(2) = 0.25;
    s.Flag0 = kTrue;
    s.CurSpan = 2;
    s.InputMode = 1;
    s.HatchSpacing = 9;
    Analyse(s);
    return s;
}

// Everything a file or an analysis can write, compared exactly.
std::string Differs(const BeamState& a, const BeamState& b) {
    if (a.N != b.N) return Say("N ", a.N, " vs ", b.N);
    if (!(a.EIo == b.EIo)) return Say("EIo ", a.EIo, " vs ", b.EIo);
    if (a.Flag0 != b.Flag0 || a.FlagN != b.FlagN) return "end flags";
    if (a.CurSpan != b.CurSpan || a.InputMode != b.InputMode || a.HatchSpacing != b.HatchSpacing)
        return "window fields";
    if (!(a.L == b.L) || !(a.EI == b.EI)) return "L or EI";
    if (!(a.LoadType == b.LoadType) || !(a.Q == b.Q) || !(a.A == b.A)) return "loads";
    if (!(a.M == b.M) || !(a.Theta == b.Theta)) return "M or Theta";
    if (!(a.LineStiff == b.LineStiff) || !(a.FemL == b.FemL) || !(a.FemR == b.FemR) ||
        !(a.K == b.K) || !(a.NodeLoad == b.NodeLoad))
        return "analysis arrays";
    return {};
}

std::string CheckAccepted(const BeamState& s) {
    const int n = s.N;
    if (n < 1 || n > kMaxSpans) return Say("accepted N = ", n);
    if (s.InputMode != 2) return "InputMode not 2 after a load";
    if (s.L.Count() != n || s.EI.Count() != n || s.LoadType.Count() != n || s.Q.Count() != n ||
        s.A.Count() != n || s.LineStiff.Count() != n || s.FemL.Count() != n ||
        s.FemR.Count() != n || s.K.Order() != n + 1 || s.Theta.Count() != n + 1 ||
        s.NodeLoad.Count() != n + 1 || s.M.Count() != n + 1) {
        return "array sizes do not match N";
    }
    if (!std::isfinite(s.EIo) || !(std::fabs(s.EIo) >= 1e-6)) return Say("EIo ", s.EIo);
    for (int k = 1; k <= n; ++k) {
        if (!(std::isfinite(s.L(k)) && s.L(k) > 0)) return Say("L(", k, ") = ", s.L(k));
        if (!std::isfinite(s.EI(k))) return Say("EI(", k, ") = ", s.EI(k));
        const int kind = s.LoadType(k);
        if (kind < 0 || kind > 2) return Say("LoadType(", k, ") = ", kind);
        if (!(std::isfinite(s.Q(k)) && s.Q(k) >= 0)) return Say("Q(", k, ") = ", s.Q(k));
        if (kind == 0 && s.Q(k) != 0) return Say("unloaded span ", k, " has Q = ", s.Q(k));
        if (!std::isfinite(s.A(k))) return Say("A(", k, ") = ", s.A(k));
        if (kind != 0 && !(s.A(k) >= 0 && s.A(k) <= 1)) return Say("A(", k, ") = ", s.A(k));
    }
    for (int k = 1; k <= n + 1; ++k) {
        if (!std::isfinite(s.M(k)) || !std::isfinite(s.Theta(k))) return Say("node ", k, " result");
    }
    if (!HasCompleteBeam(s) || !CheckBeamData(s).empty()) return "the writer would refuse it";
    return {};
}

std::string TempPath() {
    return Say("/tmp/cbeam-fuzz-", ::getpid(), ".bmf");
}

}  // namespace

std::string CheckNumberText(std::string_view bytes) {
    const NumberReading got = ReadNumber(bytes);
    if (Val(bytes) != got.value && !(std::isnan(got.value))) return "Val differs from ReadNumber";
    if (std::isnan(got.value)) return "reading is NaN";
    const std::string lead = LeadingNumber(bytes);
    if (lead.empty()) {
        if (got.value != 0 || got.overflow) return Say("no number, read as ", got.value);
        return {};
    }
    const double want = std::strtod(lead.c_str(), nullptr);
    if (std::isinf(want)) {
        if (!got.overflow || got.value != want) {
            return Say("\"", lead, "\" overflows, read as ", got.value, " overflow ", got.overflow);
        }
    } else if (got.overflow) {
        return Say("\"", lead, "\" flagged as overflow");
    } else if (got.value != want) {
        // Below the normal range the reader may give 0 instead of a subnormal.
        const bool tiny = std::fabs(want) < 2.2250738585072014e-308;
        if (!(tiny && got.value == 0))
            return Say("\"", lead, "\" read as ", got.value, " not ", want);
    }
    // A character that cannot continue a number does not change the reading.
    std::string more(bytes);
    more += 'x';
    const NumberReading again = ReadNumber(more);
    if (again.value != got.value || again.overflow != got.overflow)
        return "trailing text changed it";
    return {};
}

std::string CheckFormat(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int mode = static_cast<unsigned char>(bytes[0]) % 16;
    const double v = DoubleAt(bytes, 1);
    const std::string_view rest = bytes.size() > 9 ? bytes.substr(9) : std::string_view();
    if (mode < kPatternCount) {
        const std::string_view pattern = kPatterns[mode];
        const std::string out = Format(v, pattern);
        if (!std::isfinite(v)) {
            if (out.size() > 4) return Say("\"", out, "\" for ", v);
            return {};
        }
        const std::string why =
            ShapeOf(pattern).exponent ? CheckScientific(v, out) : CheckFixed(v, pattern, out);
        return why.empty() ? why : Say(pattern, " of ", v, ": ", why);
    }
    if (mode < 15) {
        const std::string_view pattern = rest.substr(0, 200);
        const std::string out = Format(v, pattern);
        if (out.size() > pattern.size() + 330) return Say("output of ", out.size(), " bytes");
        return {};
    }
    const std::size_t cut = rest.find('\0');
    const std::string_view text = rest.substr(0, cut);
    const std::string_view pattern =
        cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    const std::string out = FormatText(text, pattern);
    const std::size_t width =
        static_cast<std::size_t>(std::count(pattern.begin(), pattern.end(), '@'));
    if (Chars(out) != std::max(Chars(text), width)) return "FormatText width";
    if (out.size() < text.size() || out.substr(out.size() - text.size()) != text)
        return "FormatText lost the text";
    if (out.find_first_not_of(' ') < out.size() - text.size()) return "FormatText padding";
    return {};
}

std::string CheckBeamFile(std::string_view bytes) {
    const BeamState before = Sentinel();
    BeamState s = before;
    const FileResult decoded = DecodeBeamFile(bytes, s);
    if (!decoded) {
        if (decoded.reason.empty()) return "refusal without a reason";
        if (std::string d = Differs(s, before); !d.empty())
            return "refusal changed the state: " + d;
    } else {
        if (std::string why = CheckAccepted(s); !why.empty()) return "accepted beam: " + why;
        // What is saved loads back the same.
        const std::string saved = EncodeBeamFile(s);
        if (saved.size() != static_cast<std::size_t>(s.N + 1) * kRecordSize) return "saved size";
        BeamState again = Sentinel();
        if (!DecodeBeamFile(saved, again)) return "saved beam does not load";
        again.CurSpan = s.CurSpan;
        again.HatchSpacing = s.HatchSpacing;
        if (std::string d = Differs(again, s); !d.empty()) return "round trip: " + d;
        // The analysis of any accepted beam ends cleanly with finite results
        // or refuses; it never leaves non-finite moments behind.
        BeamState solved = s;
        const SolveStatus status = Analyse(solved);
        for (int k = 1; k <= solved.N + 1; ++k) {
            if (!std::isfinite(solved.M(k)) || !std::isfinite(solved.Theta(k))) {
                return Say("analysis (status ", static_cast<int>(status), ") left node ", k,
                           " non-finite");
            }
        }
        // Its text report: N+6 lines or more (a wide value wraps), each
        // ended by CR LF.
        std::string report;
        const FileResult written = EncodeReport(solved, report);
        if (!written) return "report refused: " + written.reason;
        std::size_t lines = 0;
        for (std::size_t i = 0; i < report.size(); ++i) {
            if (report[i] == '\n') {
                if (i == 0 || report[i - 1] != '\r') return "report line without CR";
                ++lines;
            }
        }
        if (lines < static_cast<std::size_t>(solved.N) + 6 || report.size() < 2 ||
            report.substr(report.size() - 2) != "\r\n") {
            return Say("report of ", lines, " lines for N = ", solved.N);
        }
    }

    // The same bytes from disk.
    const std::string path = TempPath();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) return "cannot write the temporary file";
    }
    BeamState fromDisk = before;
    const FileResult loaded = LoadBeamFile(path, fromDisk);
    std::remove(path.c_str());
    if (loaded.ok != decoded.ok) return Say("file load says ", loaded.ok, ", decode ", decoded.ok);
    if (std::string d = Differs(fromDisk, s); !d.empty()) return "file load differs: " + d;
    return {};
}

}  // namespace cbeam::fuzz
