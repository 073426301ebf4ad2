#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <system_error>

// The numbers of the command line's JSON and CSV outputs.
namespace cbeam::cli {

// 17 significant digits, the same text as "%.17g" (values are finite here);
// a zero is 0 whatever its sign, as JSON readers expect.
inline void Append17(std::string& out, double v) {
    if (v == 0) v = 0;
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    out.append(buf, ec == std::errc() ? end : buf);
}

// The shortest text that reads back as v, for the CSV outputs.
inline void AppendShortest(std::string& out, double v) {
    if (v == 0) v = 0;
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, ec == std::errc() ? end : buf);
}

// ,"name":[get(0),…,get(count-1)]
template <class Get>
void AppendValues(std::string& out, const char* name, std::size_t count, Get get) {
    out += ",\"";
    out += name;
    out += "\":[";
    for (std::size_t k = 0; k < count; ++k) {
        if (k > 0) out += ',';
        Append17(out, get(k));
    }
    out += ']';
}

// ,"V":[[Vl,Vr],…] of each span's end shears.
template <class Spans>
void AppendEndShears(std::string& out, const Spans& spans) {
    out += ",\"V\":[";
    for (std::size_t k = 0; k < spans.size(); ++k) {
        out += k > 0 ? ",[" : "[";
        Append17(out, spans[k].Vl);
        out += ',';
        Append17(out, spans[k].Vr);
        out += ']';
    }
    out += ']';
}

}  // namespace cbeam::cli
