#include "regress/fuzz_checks.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "files/report.h"
#include "model/driver.h"
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

bool IsDigit(std::string_view t, std::size_t i) {
    return i < t.size() && t[i] >= '0' && t[i] <= '9';
}

// The longest leading decimal number, found independently of the reader:
// blanks, sign, digits with at most one point (at least one digit), and an
// exponent only when it has a digit.
std::string LeadingNumber(std::string_view t) {
    std::size_t i = std::min(t.find_first_not_of(" \t\r\n"), t.size());
    const std::size_t start = i;
    i += i < t.size() && (t[i] == '+' || t[i] == '-');
    std::size_t digits = 0;
    for (bool point = false; IsDigit(t, i) || (i < t.size() && t[i] == '.' && !point); ++i) {
        point = point || t[i] == '.';
        digits += t[i] != '.';
    }
    if (digits == 0) return {};
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        j += j < t.size() && (t[j] == '+' || t[j] == '-');
        if (IsDigit(t, j)) {
            for (i = j; IsDigit(t, i); ++i) {
            }
        }
    }
    return std::string(t.substr(start, i - start));
}

constexpr const char* kPatterns[] = {
    "0.0#",       "##0.00#", "0.00E+00", "#0.##",    "##0.00",  "####0.000###", "#####0.00000",
    "###0.00000", "##",      "##0.0#",   "###0.00#", "#0.00##", "###0.00"};
constexpr int kPatternCount = static_cast<int>(std::size(kPatterns));

// Read in long double: a correctly rounded text may lie beyond the double
// range (1.7976931348623157e308 with two decimals is 1.80E+308).
long double ParseBack(const std::string& text) {
    return text.find_first_of("0123456789") == std::string::npos
               ? 0
               : std::strtold(text.c_str(), nullptr);
}

// As many integer digits as the value needs (at least the pattern's zeros),
// between the least and most decimals the pattern allows (no optional one
// written as 0), and within half a unit of the last one.
std::string CheckFixed(double v, std::string_view pattern, const std::string& out) {
    const std::size_t dot = std::min(pattern.find('.'), pattern.size());
    const auto intZeros =
        static_cast<std::size_t>(std::count(pattern.begin(), pattern.begin() + dot, '0'));
    const auto fracMin =
        static_cast<std::size_t>(std::count(pattern.begin() + dot, pattern.end(), '0'));
    const std::size_t fracMax = pattern.size() - std::min(dot + 1, pattern.size());
    const std::size_t minus = out.starts_with('-');
    const std::size_t point = std::min(out.find('.'), out.size());
    const std::size_t intLen = point - minus;
    const std::size_t fracLen = out.size() - std::min(point + 1, out.size());
    const double a = std::fabs(v);
    const std::size_t most =
        std::max<std::size_t>(intZeros, a >= 1 ? static_cast<std::size_t>(std::log10(a)) + 2 : 1);
    if (std::min(out.find_first_not_of("0123456789", minus), out.size()) != point ||
        out.find_first_not_of("0123456789", point + 1) != std::string::npos ||
        (point < out.size()) != (fracMax > 0) || fracLen < fracMin || fracLen > fracMax ||
        (fracLen > fracMin && out.back() == '0') || intLen < intZeros || intLen > most ||
        (intLen > std::max<std::size_t>(intZeros, 1) && out[minus] == '0'))
        return Say("shape of \"", out, "\"");
    const long double back = ParseBack(out);
    if (minus && back == 0) return Say("minus sign on zero: \"", out, "\"");
    const long double allowed =
        0.5L * std::pow(10.0L, -static_cast<int>(fracMax)) * (1 + 1e-9L) + a * 2e-14L + 1e-300L;
    if (!(std::fabs(back - v) <= allowed)) return Say("\"", out, "\" reads as ", back);
    return {};
}

// "0.00E+00": one digit (not 0 unless the value is), the point, two
// decimals, "E", a sign, 2 or 3 digits.
std::string CheckScientific(double v, const std::string& out) {
    const std::size_t m = !out.empty() && out[0] == '-';
    const std::size_t n = out.size() - m;
    const bool ok = (n == 8 || n == 9) && IsDigit(out, m) && out[m + 1] == '.' &&
                    IsDigit(out, m + 2) && IsDigit(out, m + 3) && out[m + 4] == 'E' &&
                    (out[m + 5] == '+' || out[m + 5] == '-') && IsDigit(out, m + 6) &&
                    IsDigit(out, m + 7) && (n == 8 || IsDigit(out, m + 8));
    if (!ok || (v != 0 && out[m] == '0') || (m && !(v < 0))) return Say("\"", out, "\" for ", v);
    if (!(std::fabs(ParseBack(out) - v) <= std::fabs(v) * 5.0000001e-3L + 1e-323L))
        return Say("\"", out, "\" reads as ", ParseBack(out), " for ", v);
    return {};
}

// A beam the decoder must not touch when it refuses: two spans with loads,
// typed in, results of an analysis.
BeamState Sentinel() {
    BeamState s = testing::MakeBeam({{6, 1, 1, 10, 1}, {4, 1, 2, 7, 0.25}}, kTrue, kFalse, 3.5);
    s.CurSpan = 2;
    s.InputMode = 1;
    s.HatchSpacing = 9;
    RunAnalysis(s);
    return s;
}

std::string CheckAccepted(const BeamState& s) {
    const int n = s.N;
    if (n < 1 || n > kMaxSpans) return Say("accepted N = ", n);
    if (s.InputMode != 2) return "InputMode not 2 after a load";
    for (int c : {s.L.Count(), s.EI.Count(), s.LoadType.Count(), s.Q.Count(), s.A.Count(),
                  s.LineStiff.Count(), s.FemL.Count(), s.FemR.Count(), s.K.Order() - 1,
                  s.Theta.Count() - 1, s.NodeLoad.Count() - 1, s.M.Count() - 1}) {
        if (c != n) return "array sizes do not match N";
    }
    if (!std::isfinite(s.EIo) || !(std::fabs(s.EIo) >= 1e-6)) return Say("EIo ", s.EIo);
    for (int k = 1; k <= n; ++k) {
        const int kind = s.LoadType(k);
        const bool ok = std::isfinite(s.L(k)) && s.L(k) > 0 && std::isfinite(s.EI(k)) &&
                        kind >= 0 && kind <= 2 && std::isfinite(s.Q(k)) && s.Q(k) >= 0 &&
                        (kind != 0 || s.Q(k) == 0) && std::isfinite(s.A(k)) &&
                        (kind == 0 || (s.A(k) >= 0 && s.A(k) <= 1));
        if (!ok)
            return Say("span ", k, ": L ", s.L(k), " EI ", s.EI(k), " kind ", kind, " Q ", s.Q(k),
                       " A ", s.A(k));
    }
    for (int k = 1; k <= n + 1; ++k) {
        if (!std::isfinite(s.M(k)) || !std::isfinite(s.Theta(k))) return Say("node ", k, " result");
    }
    if (!HasCompleteBeam(s) || !CheckBeamData(s)) return "the writer would refuse it";
    return {};
}

}  // namespace

std::string CheckNumberText(std::string_view bytes) {
    const NumberReading got = ReadNumber(bytes);
    if (std::isnan(got.value)) return "reading is NaN";
    if (Val(bytes) != got.value) return "Val differs from ReadNumber";
    const std::string lead = LeadingNumber(bytes);
    const double want = lead.empty() ? 0 : std::strtod(lead.c_str(), nullptr);
    // Below the normal range the reader may give 0 instead of a subnormal.
    const bool tiny = std::fabs(want) < 2.2250738585072014e-308 && got.value == 0;
    if (got.overflow != std::isinf(want) || (got.value != want && !tiny))
        return Say("\"", lead, "\" read as ", got.value, " overflow ", got.overflow);
    // A character that cannot continue a number does not change the reading.
    const NumberReading again = ReadNumber(std::string(bytes) + 'x');
    if (again.value != got.value || again.overflow != got.overflow)
        return "trailing text changed it";
    return {};
}

std::string CheckFormat(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int mode = static_cast<unsigned char>(bytes[0]) % 16;
    unsigned char raw[8] = {};
    std::memcpy(raw, bytes.data() + 1, std::min<std::size_t>(8, bytes.size() - 1));
    double v;
    std::memcpy(&v, raw, sizeof v);
    const std::string_view rest = bytes.size() > 9 ? bytes.substr(9) : std::string_view();
    if (mode < kPatternCount) {
        const std::string_view pattern = kPatterns[mode];
        const std::string out = Format(v, pattern);
        if (!std::isfinite(v)) return out.size() > 4 ? Say("\"", out, "\" for ", v) : "";
        const std::string why = pattern.find('E') != std::string_view::npos
                                    ? CheckScientific(v, out)
                                    : CheckFixed(v, pattern, out);
        return why.empty() ? why : Say(pattern, " of ", v, ": ", why);
    }
    if (mode < 15) {
        const std::string_view pattern = rest.substr(0, 200);
        const std::size_t size = Format(v, pattern).size();
        return size > pattern.size() + 330 ? Say("output of ", size, " bytes") : "";
    }
    const std::size_t cut = rest.find('\0');
    const std::string_view text = rest.substr(0, cut);
    const std::string_view pattern =
        cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    const std::string out = FormatText(text, pattern);
    auto chars = [](std::string_view t) {
        return std::count_if(t.begin(), t.end(),
                             [](unsigned char c) { return (c & 0xC0) != 0x80; });
    };
    if (chars(out) != std::max(chars(text), std::count(pattern.begin(), pattern.end(), '@')) ||
        !out.ends_with(text) || out.find_first_not_of(' ') < out.size() - text.size())
        return Say("FormatText gave \"", out, "\"");
    return {};
}

std::string CheckBeamFile(std::string_view bytes) {
    const BeamState before = Sentinel();
    BeamState s = before;
    const Status decoded = DecodeBeamFile(bytes, s);
    if (!decoded) {
        if (MessageText(decoded).empty()) return "refusal without a reason";
        if (!testing::SameState(s, before)) return "refusal changed the state";
    } else {
        if (std::string why = CheckAccepted(s); !why.empty()) return "accepted beam: " + why;
        const std::string saved = EncodeBeamFile(s);
        if (saved.size() != static_cast<std::size_t>(s.N + 1) * kRecordSize) return "saved size";
        BeamState again = Sentinel();
        if (!DecodeBeamFile(saved, again)) return "saved beam does not load";
        again.CurSpan = s.CurSpan;
        again.HatchSpacing = s.HatchSpacing;
        if (!testing::SameState(again, s)) return "round trip changed the beam";
        // The analysis of any accepted beam ends with finite results or
        // refuses; it never leaves non-finite moments behind.
        BeamState solved = s;
        RunAnalysis(solved);
        for (int k = 1; k <= solved.N + 1; ++k) {
            if (!std::isfinite(solved.M(k)) || !std::isfinite(solved.Theta(k)))
                return Say("analysis left node ", k, " non-finite");
        }
        std::string report;
        if (const Status r = EncodeReport(solved, report); !r) return "report: " + MessageText(r);
    }
    // The same bytes from disk.
    const std::string path = Say("/tmp/cbeam-fuzz-", ::getpid(), ".bmf");
    testing::WriteAll(path, std::string(bytes));
    BeamState fromDisk = before;
    const Status loaded = LoadBeamFile(path, fromDisk);
    std::remove(path.c_str());
    if (bool(loaded) != bool(decoded))
        return Say("file load says ", bool(loaded), ", decode ", bool(decoded));
    if (!testing::SameState(fromDisk, s)) return "file load differs from decoding";
    return {};
}

}  // namespace cbeam::fuzz
