#include "text/format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace cbeam {
namespace {

struct Picture {
    int intZeros = 0;   // integer digits always written
    int intDigits = 0;  // integer placeholders ("0" and "#")
    bool point = false;
    int fracMin = 0;  // decimals always written
    int fracMax = 0;  // decimals at most
    bool exponent = false;
    bool expPlus = false;  // "E+": sign always written
    int expDigits = 0;
};

Picture Parse(std::string_view pattern) {
    Picture p;
    std::size_t e = pattern.find_first_of("Ee");
    if (e != std::string_view::npos && e + 1 < pattern.size() &&
        (pattern[e + 1] == '+' || pattern[e + 1] == '-')) {
        p.exponent = true;
        p.expPlus = pattern[e + 1] == '+';
        for (char c : pattern.substr(e + 2)) {
            if (c == '0' || c == '#') ++p.expDigits;
        }
    } else {
        e = pattern.size();
    }
    const std::string_view number = pattern.substr(0, e);
    const std::size_t dot = number.find('.');
    const std::string_view intPart = number.substr(0, dot);
    for (char c : intPart) {
        if (c == '0') ++p.intZeros;
        if (c == '0' || c == '#') ++p.intDigits;
    }
    if (dot != std::string_view::npos) {
        p.point = true;
        for (char c : number.substr(dot + 1)) {
            if (c == '0') ++p.fracMin, ++p.fracMax;
            if (c == '#') ++p.fracMax;
        }
    }
    return p;
}

// 15 significant digits of |v| (v finite, non-zero) and the decimal exponent
// of the first one: |v| = d0.d1d2... x 10^exp.
void Digits15(double v, std::string& digits, int& exp) {
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr);
    const std::size_t e = s.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] != '.') digits += s[i];
    }
    exp = std::atoi(s.c_str() + e + 1);
}

// Keeps the first `keep` digits of `digits`, rounding half away from zero on
// the next one. Returns the kept digits; a carry adds a leading "1".
std::string RoundDigits(const std::string& digits, long keep) {
    if (keep < 0) return "0";
    if (keep == 0) return digits[0] >= '5' ? "1" : "0";
    std::string kept =
        digits.substr(0, static_cast<std::size_t>(std::min<long>(keep, digits.size())));
    while (static_cast<long>(kept.size()) < keep) kept += '0';
    if (keep < static_cast<long>(digits.size()) && digits[static_cast<std::size_t>(keep)] >= '5') {
        long i = static_cast<long>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[static_cast<std::size_t>(i)];
        }
    }
    return kept;
}

std::string Assemble(bool negative, std::string intDigits, std::string frac, const Picture& p) {
    std::size_t lead = 0;
    while (lead < intDigits.size() && intDigits[lead] == '0') ++lead;
    intDigits.erase(0, lead);
    while (static_cast<int>(intDigits.size()) < p.intZeros)
        intDigits.insert(intDigits.begin(), '0');
    while (static_cast<int>(frac.size()) > p.fracMin && frac.back() == '0') frac.pop_back();
    const bool zero = intDigits.find_first_not_of('0') == std::string::npos &&
                      frac.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !zero) out += '-';
    out += intDigits;
    if (p.point) out += '.' + frac;
    return out;
}

std::string FormatFixed(double value, const Picture& p) {
    if (value == 0.0)
        return Assemble(false, "", std::string(static_cast<std::size_t>(p.fracMax), '0'), p);
    std::string digits;
    int exp = 0;
    Digits15(value, digits, exp);
    // Digits of round(|v| x 10^fracMax): the first `keep` of the 15 digits.
    const long keep = static_cast<long>(exp) + 1 + p.fracMax;
    std::string scaled = RoundDigits(digits, keep);
    const std::size_t fracLen = static_cast<std::size_t>(p.fracMax);
    while (scaled.size() < fracLen) scaled.insert(scaled.begin(), '0');
    const std::string intDigits = scaled.substr(0, scaled.size() - fracLen);
    const std::string frac = scaled.substr(scaled.size() - fracLen);
    return Assemble(value < 0, intDigits, frac, p);
}

std::string FormatExponent(double value, const Picture& p) {
    const int mant = std::max(p.intDigits, 1);
    std::string intDigits;
    std::string frac;
    int shown = 0;
    if (value == 0.0) {
        intDigits = std::string(static_cast<std::size_t>(mant), '0');
        frac = std::string(static_cast<std::size_t>(p.fracMax), '0');
    } else {
        std::string digits;
        int exp = 0;
        Digits15(value, digits, exp);
        std::string kept = RoundDigits(digits, mant + p.fracMax);
        if (static_cast<int>(kept.size()) > mant + p.fracMax) {  // 9.999 -> 10.00
            kept.pop_back();
            ++exp;
        }
        shown = exp - (mant - 1);
        intDigits = kept.substr(0, static_cast<std::size_t>(mant));
        frac = kept.substr(static_cast<std::size_t>(mant));
    }
    Picture body = p;
    body.intZeros = std::max(p.intZeros, 1);
    std::string out = Assemble(value < 0, intDigits, frac, body);
    std::string expText = std::to_string(std::abs(shown));
    while (static_cast<int>(expText.size()) < p.expDigits) expText.insert(expText.begin(), '0');
    out += 'E';
    if (shown < 0) {
        out += '-';
    } else if (p.expPlus) {
        out += '+';
    }
    return out + expText;
}

}  // namespace

std::size_t CountChars(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::string Format(double value, std::string_view pattern) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
    const Picture p = Parse(pattern);
    return p.exponent ? FormatExponent(value, p) : FormatFixed(value, p);
}

std::string FormatText(std::string_view text, std::string_view pattern) {
    std::size_t width = 0;
    for (char c : pattern) {
        if (c == '@') ++width;
    }
    const std::size_t n = CountChars(text);
    if (n >= width) return std::string(text);
    return std::string(width - n, ' ') + std::string(text);
}

}  // namespace cbeam
