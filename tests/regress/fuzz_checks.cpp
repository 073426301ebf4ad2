#include "regress/fuzz_checks.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <regex>
#include <sstream>

#include "common/beam_helpers.h"
#include "files/beam_json.h"
#include "files/report.h"
#include "model/driver.h"
#include "text/format.h"
#include "text/number.h"

namespace cbeam::fuzz {
namespace {

std::string Say(const auto&... parts) {
    std::ostringstream out;
    out.precision(17);
    (out << ... << parts);
    return out.str();
}

bool Digit(std::string_view t, std::size_t i) {
    return i < t.size() && t[i] >= '0' && t[i] <= '9';
}

// The longest leading decimal number, found independently of the reader:
// blanks, sign, digits with at most one point (at least one digit), and an
// exponent only when it has a digit.
std::string LeadingNumber(std::string_view t) {
    std::size_t i = std::min(t.find_first_not_of(" \t\r\n"), t.size()), digits = 0;
    const std::size_t start = i;
    i += i < t.size() && (t[i] == '+' || t[i] == '-');
    for (bool point = false; Digit(t, i) || (i < t.size() && t[i] == '.' && !point); ++i) {
        point = point || t[i] == '.';
        digits += t[i] != '.';
    }
    if (digits == 0) return {};
    if (std::size_t j = i + 1; i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        j += j < t.size() && (t[j] == '+' || t[j] == '-');
        while (Digit(t, j)) i = ++j;
    }
    return std::string(t.substr(start, i - start));
}

constexpr const char* kPatterns[] = {
    "0.0#",       "##0.00#", "0.00E+00", "#0.##",    "##0.00",  "####0.000###", "#####0.00000",
    "###0.00000", "##",      "##0.0#",   "###0.00#", "#0.00##", "###0.00"};

// The shape a pattern allows: at least its integer zeros (no leading zero
// beyond them), between its least and most decimals, no optional decimal 0;
// or for "0.00E+00" one digit, two decimals and a signed exponent.
std::regex Shape(std::string_view pattern) {
    if (pattern.find('E') != pattern.npos)
        return std::regex(R"(-?(0\.00E\+00|[1-9]\.\d\dE[+-]\d{2,3}))");
    const std::size_t dot = std::min(pattern.find('.'), pattern.size());
    const auto zeros = std::count(pattern.begin(), pattern.begin() + dot, '0');
    const auto fracMin = std::count(pattern.begin() + dot, pattern.end(), '0');
    const auto optional =
        static_cast<long>(pattern.size() - std::min(dot + 1, pattern.size())) - fracMin;
    std::string re = Say("-?([1-9]\\d{", zeros, ",}|\\d{", zeros, "})");
    if (dot < pattern.size()) re += Say("\\.\\d{", fracMin, "}");
    if (optional > 0) re += Say("(\\d{0,", optional - 1, "}[1-9])?");
    return std::regex(re);
}

// A beam the decoder must leave alone when it refuses: loads, results.
BeamState Sentinel() {
    BeamState s = testing::MakeBeam({{6, 1, 1, 10, 1}, {4, 1, 2, 7, 0.25}}, kTrue, kFalse, 3.5);
    s.CurSpan = 2, s.InputMode = 1;
    RunAnalysis(s);
    return s;
}

// Every invariant of the state, checked apart from the reader and writer too.
bool Consistent(const BeamState& s) {
    const int n = s.N;
    bool ok = n >= 1 && n <= kMaxSpans && std::isfinite(s.EIo) && std::fabs(s.EIo) >= 1e-6 &&
              HasCompleteBeam(s) && bool(CheckBeamData(s));
    for (int c : {s.L.Count(), s.EI.Count(), s.LoadType.Count(), s.Q.Count(), s.A.Count(),
                  s.LineStiff.Count(), s.FemL.Count(), s.FemR.Count(), s.K.Order() - 1,
                  s.Theta.Count() - 1, s.NodeLoad.Count() - 1, s.M.Count() - 1})
        ok = ok && c == n;
    for (int k = 1; ok && k <= n; ++k) {
        const int kind = s.LoadType(k);
        ok = std::isfinite(s.L(k)) && s.L(k) > 0 && std::isfinite(s.EI(k)) && kind >= 0 &&
             kind <= 2 && std::isfinite(s.Q(k)) && s.Q(k) >= 0 && (kind != 0 || s.Q(k) == 0) &&
             std::isfinite(s.A(k)) && (kind == 0 || (s.A(k) >= 0 && s.A(k) <= 1));
    }
    for (int k = 1; ok && k <= n + 1; ++k) ok = std::isfinite(s.M(k)) && std::isfinite(s.Theta(k));
    return ok;
}

}  // namespace

std::string CheckNumberText(std::string_view bytes) {
    const NumberReading got = ReadNumber(bytes);
    if (!(Val(bytes) == got.value)) return "Val differs from ReadNumber, or NaN";
    const std::string lead = LeadingNumber(bytes);
    const double want = lead.empty() ? 0 : std::strtod(lead.c_str(), nullptr);
    // Below the normal range the reader may give 0 instead of a subnormal.
    const bool tiny = std::fabs(want) < 2.2250738585072014e-308 && got.value == 0;
    if (got.overflow != std::isinf(want) || (got.value != want && !tiny))
        return Say("\"", lead, "\" read as ", got.value, " overflow ", got.overflow);
    const NumberReading again = ReadNumber(std::string(bytes) + 'x');  // cannot continue it
    if (again.value != got.value || again.overflow != got.overflow)
        return "trailing text changed it";
    return {};
}

std::string CheckFormat(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int mode = static_cast<unsigned char>(bytes[0]) % 16;
    char raw[8] = {};
    std::memcpy(raw, bytes.data() + 1, std::min<std::size_t>(8, bytes.size() - 1));
    const double v = std::bit_cast<double>(raw);
    const std::string_view rest = bytes.substr(std::min<std::size_t>(9, bytes.size()));
    if (mode < 13) {  // a pattern of the program: its shape, within half its last place
        const std::string_view pattern = kPatterns[mode];
        const std::string out = Format(v, pattern);
        if (!std::isfinite(v)) return out.size() > 4 ? Say("\"", out, "\" for ", v) : "";
        // In long double: a correctly rounded text may lie beyond the double range.
        const long double back = std::strtold(out.c_str(), nullptr), a = std::fabs(v);
        const std::size_t fracMax =
            pattern.size() - std::min(pattern.find('.'), pattern.size() - 1) - 1;
        const long double allowed =
            pattern == "0.00E+00"
                ? a * 5.0000001e-3L + 1e-323L
                : 0.5L * std::pow(10.0L, -static_cast<int>(fracMax)) * (1 + 1e-9L) + a * 2e-14L +
                      1e-300L;
        if (!std::regex_match(out, Shape(pattern)) || (out[0] == '-' && !(back < 0)) ||
            !(std::fabs(back - v) <= allowed))
            return Say(pattern, " of ", v, ": \"", out, "\"");
        return {};
    }
    if (mode < 15) {  // any pattern: no crash, a bounded length
        const std::string_view pattern = rest.substr(0, 200);
        const std::size_t size = Format(v, pattern).size();
        return size > pattern.size() + 330 ? Say("output of ", size, " bytes") : "";
    }
    const std::size_t cut = std::min(rest.find('\0'), rest.size());  // "text\0pattern"
    const std::string text(rest.substr(0, cut)),
        pattern(rest.substr(std::min(cut + 1, rest.size())));
    const long blanks =
        std::count(pattern.begin(), pattern.end(), '@') -
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    const std::string want =
        std::string(static_cast<std::size_t>(std::max(blanks, 0L)), ' ') + text;
    return FormatText(text, pattern) == want ? "" : Say("FormatText of \"", text, "\"");
}

std::string CheckBeamFile(std::string_view bytes) {
    const BeamState before = Sentinel();
    BeamState s = before;
    const Status decoded = DecodeBeamFile(bytes, s);
    if (!decoded && (MessageText(decoded).empty() || !testing::SameState(s, before)))
        return "a refusal without reason, or one that changed the state";
    if (decoded) {
        if (!Consistent(s)) return Say("accepted beam of ", s.N, " spans breaks an invariant");
        const std::string saved = testing::BmfBytes(s);
        BeamState again = Sentinel();
        if (saved.size() != static_cast<std::size_t>(s.N + 1) * kRecordSize ||
            !DecodeBeamFile(saved, again))
            return "the saved beam does not load";
        again.CurSpan = s.CurSpan, again.InputMode = s.InputMode;
        if (!testing::SameState(again, s)) return "round trip changed the beam";
        // Any accepted beam is analysed to finite results or refused, and reported.
        BeamState solved = s;
        std::string report;
        RunAnalysis(solved);
        if (!Consistent(solved)) return "the analysis left non-finite results";
        if (const Status r = EncodeReport(solved, report); !r) return "report: " + MessageText(r);
    }
    const std::string path = Say("/tmp/cbeam-fuzz-", ::getpid(), ".bmf");  // the same from disk
    testing::WriteAll(path, std::string(bytes));
    BeamState fromDisk = before;
    const Status loaded = LoadBeamFile(path, fromDisk);
    std::remove(path.c_str());
    if (loaded) fromDisk.InputMode = s.InputMode;  // a window's load starts editing
    if (bool(loaded) != bool(decoded) || !testing::SameState(fromDisk, s))
        return "file load differs";
    return {};
}

std::string CheckBeamJson(std::string_view bytes) {
    BeamState s;
    s.CurSpan = 7;
    const Status decoded = DecodeBeamJson(bytes, s);
    if (!decoded)
        return MessageText(decoded).empty() || s.N != 0 || s.CurSpan != 7
                   ? "a refusal without reason, or one that changed the state"
                   : "";
    if (Status why = CheckBeamData(s); !why) return "accepted beam: " + MessageText(why);
    // What was accepted writes a text that reads back to itself, directly and
    // through a beam file.
    const std::string text = testing::JsonText(s);
    BeamState again, viaFile, fromFile;
    if (!DecodeBeamJson(text, again)) return "written text does not read back";
    if (testing::JsonText(again) != text) return "written text changes on the way back";
    if (!DecodeBeamFile(testing::BmfBytes(s), fromFile)) return "beam file of it does not load";
    if (testing::JsonText(fromFile) != text) return "beam file of it gives another text";
    return {};
}

}  // namespace cbeam::fuzz
