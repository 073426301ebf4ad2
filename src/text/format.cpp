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
    // A plain loop: find_first_of runs memchr once per character, and a
    // refresh parses a pattern for each of tens of thousands of numbers.
    std::size_t e = 0;
    while (e < pattern.size() && pattern[e] != 'E' && pattern[e] != 'e') ++e;
    if (e < pattern.size() && e + 1 < pattern.size() &&
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
// of the first one: |v| = d0.d1d2... x 10^exp. Kept in place: a refresh
// formats tens of thousands of numbers.
struct Digits {
    char d[15];
    int exp = 0;
};

Digits Digits15(double v) {
    char buf[32];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    Digits out;
    int n = 0;
    const char* c = buf;
    for (; c < res.ptr && *c != 'e'; ++c) {
        if (*c != '.') out.d[n++] = *c;
    }
    if (c + 1 < res.ptr && c[1] == '+') ++c;  // from_chars takes no plus sign
    std::from_chars(c + 1, res.ptr, out.exp);
    return out;
}

// The first `keep` digits, rounded half away from zero on the next one and
// padded with zeros; a carry adds a leading "1".
std::string RoundDigits(const Digits& g, long keep) {
    if (keep < 0) return "0";
    if (keep == 0) return g.d[0] >= '5' ? "1" : "0";
    const std::size_t have = static_cast<std::size_t>(std::min<long>(keep, 15));
    std::string kept;
    kept.reserve(static_cast<std::size_t>(keep) + 1);
    kept.assign(g.d, have);
    kept.append(static_cast<std::size_t>(keep) - have, '0');
    if (keep < 15 && g.d[keep] >= '5') {
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

std::string Assemble(bool negative, std::string_view intDigits, std::string_view frac,
                     const Picture& p) {
    while (!intDigits.empty() && intDigits.front() == '0') intDigits.remove_prefix(1);
    while (static_cast<int>(frac.size()) > p.fracMin && frac.back() == '0') frac.remove_suffix(1);
    const std::size_t zeros =
        static_cast<std::size_t>(std::max(0, p.intZeros - static_cast<int>(intDigits.size())));
    const bool zero = intDigits.find_first_not_of('0') == std::string_view::npos &&
                      frac.find_first_not_of('0') == std::string_view::npos;
    std::string out;
    out.reserve(2 + zeros + intDigits.size() + frac.size());
    if (negative && !zero) out += '-';
    out.append(zeros, '0');
    out += intDigits;
    if (p.point) {
        out += '.';
        out += frac;
    }
    return out;
}

std::string FormatFixed(double value, const Picture& p) {
    const std::size_t fracLen = static_cast<std::size_t>(p.fracMax);
    if (value == 0.0) return Assemble(false, "", std::string(fracLen, '0'), p);
    const Digits g = Digits15(value);
    // Digits of round(|v| x 10^fracMax): the first `keep` of the 15 digits.
    std::string scaled = RoundDigits(g, static_cast<long>(g.exp) + 1 + p.fracMax);
    if (scaled.size() < fracLen) scaled.insert(0, fracLen - scaled.size(), '0');
    const std::string_view all = scaled;
    return Assemble(value < 0, all.substr(0, all.size() - fracLen),
                    all.substr(all.size() - fracLen), p);
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
        const Digits g = Digits15(value);
        int exp = g.exp;
        std::string kept = RoundDigits(g, mant + p.fracMax);
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
