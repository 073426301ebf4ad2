#include "text/number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace cbeam {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

NumberReading ReadNumber(std::string_view text) {
    NumberReading out;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    // Decimal exponent of the first significant digit, to tell an overflow
    // from an underflow when from_chars reports the value out of range.
    long magnitude = 0;
    bool seenNonZero = false;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            if (c != '0' && !seenNonZero) seenNonZero = true;
            if (seenNonZero && !seenPoint) ++magnitude;
            if (!seenNonZero && seenPoint) --magnitude;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits == 0) return out;
    std::size_t end = i;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        const std::size_t expStart = j;
        while (j < text.size() && IsDigit(text[j])) {
            if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            ++j;
        }
        if (j > expStart) {
            end = j;
            if (expNegative) exponent = -exponent;
        }
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (seenNonZero && magnitude + exponent > 0) {
            out.overflow = true;
            value = HUGE_VAL;
        } else {
            value = 0.0;
        }
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    out.value = negative ? -value : value;
    return out;
}

double Val(std::string_view text) {
    return ReadNumber(text).value;
}

double RoundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    const double lower = std::floor(v);
    const double diff = v - lower;
    if (diff > 0.5) return lower + 1.0;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::string SignNumberText(double v) {
    if (std::isnan(v)) return " NaN";
    if (v == 0.0) return " 0";  // also for negative zero
    char buf[64];
    // Whole numbers (span and node numbers by the tens of thousands) take
    // the short way; the text is the same.
    if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
        buf[0] = v < 0 ? '-' : ' ';
        const auto res =
            std::to_chars(buf + 1, buf + sizeof buf, static_cast<long long>(std::fabs(v)));
        return std::string(buf, res.ptr);
    }
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::general, 15);
    std::string body(buf, res.ptr);
    for (char& c : body) {
        if (c == 'e') c = 'E';
    }
    if (body == "inf") body = "Inf";
    if (body.size() > 1 && body[0] == '0' && body[1] == '.') body.erase(0, 1);
    return (v < 0 ? "-" : " ") + body;
}

std::string PrintNumber(double v) {
    return SignNumberText(v) + " ";
}

}  // namespace cbeam
