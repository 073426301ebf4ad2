#include "cli/general.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "analysis/envelope.h"
#include "cli/json_out.h"
#include "files/table.h"
#include "model/driver.h"

namespace cbeam::cli {
namespace {

using analysis::SpanDesign;

void AppendShortest(std::string& out, double v) {
    if (v == 0) v = 0;
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, ec == std::errc() ? end : buf);
}

bool AllFinite(const SolvedCase& c) {
    const auto finite = [](const std::vector<double>& v) {
        for (const double x : v) {
            if (!std::isfinite(x)) return false;
        }
        return true;
    };
    if (!finite(c.result.w) || !finite(c.result.theta) || !finite(c.result.M) ||
        !finite(c.result.R))
        return false;
    for (const SpanDesign& d : c.design) {
        for (const double x : {d.Vl, d.Vr, d.Msag, d.xMsag, d.Mhog, d.xMhog, d.w, d.xw}) {
            if (!std::isfinite(x)) return false;
        }
    }
    return true;
}

// A JSON string of UTF-8 text (as the reader checked it).
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out + '"';
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

}  // namespace

Status SolveGeneral(const Beam& beam, SolvedBeam& out) {
    if (Status r = out.engine.Build(beam); !r) return r;
    out.cases.clear();
    out.cases.reserve(beam.cases.size());
    for (const LoadCase& lc : beam.cases) {
        SolvedCase c;
        c.source = &lc;
        c.loads = analysis::GroupLoads(beam.N(), lc);
        c.result = out.engine.Analyse(c.loads);
        c.design = out.engine.Design(c.result, c.loads);
        if (!AllFinite(c)) return Status{.code = Code::NotFiniteResult, .path = lc.name};
        out.cases.push_back(std::move(c));
    }
    return {};
}

std::string GeneralResultJson(const Beam& beam, const SolvedBeam& solved) {
    std::string out = "{\"N\":" + std::to_string(beam.N()) + ",\"cases\":[";
    for (std::size_t c = 0; c < solved.cases.size(); ++c) {
        const SolvedCase& sc = solved.cases[c];
        const analysis::CaseResult& r = sc.result;
        const std::vector<SpanDesign>& d = sc.design;
        out += c > 0 ? ",{\"name\":" : "{\"name\":";
        out += JsonString(sc.source->name);
        AppendValues(out, "M", r.M.size(), [&](std::size_t j) { return r.M[j]; });
        AppendValues(out, "theta", r.theta.size(), [&](std::size_t j) { return r.theta[j]; });
        AppendValues(out, "wnode", r.w.size(), [&](std::size_t j) { return r.w[j]; });
        AppendValues(out, "R", r.R.size(), [&](std::size_t j) { return r.R[j]; });
        AppendEndShears(out, d);
        AppendValues(out, "Msag", d.size(), [&](std::size_t k) { return d[k].Msag; });
        AppendValues(out, "xMsag", d.size(), [&](std::size_t k) { return d[k].xMsag; });
        AppendValues(out, "Mhog", d.size(), [&](std::size_t k) { return d[k].Mhog; });
        AppendValues(out, "xMhog", d.size(), [&](std::size_t k) { return d[k].xMhog; });
        AppendValues(out, "w", d.size(), [&](std::size_t k) { return d[k].w; });
        AppendValues(out, "xw", d.size(), [&](std::size_t k) { return d[k].xw; });
        out += '}';
    }
    out += "]}\n";
    return out;
}

std::vector<std::string> GeneralResultLines(const Beam& beam, const SolvedBeam& solved) {
    std::vector<std::string> lines;
    for (const SolvedCase& c : solved.cases) {
        lines.push_back(c.source->name);
        for (int j = 1; j <= beam.N() + 1; ++j) {
            lines.push_back(ResultLine(j, c.result.M[static_cast<std::size_t>(j - 1)]));
        }
    }
    return lines;
}

Status StreamEnvelope(const Beam& beam, const SolvedBeam& solved,
                      const std::vector<Combination>& combinations, int points, bool reactions,
                      const ByteWriter& write) {
    using analysis::Quantity;
    using analysis::Side;
    const auto row = [](std::string& chunk, const std::string& head,
                        std::initializer_list<double> values) {
        chunk += head;
        for (const double v : values) {
            chunk += ',';
            AppendShortest(chunk, v);
        }
        chunk += '\n';
    };
    const char* header = reactions ? "combination,node,Rmax,Rmin\n"
                                   : "combination,span,x,Mmax,Mmin,Vmax,Vmin,wmax,wmin\n";
    if (Status r = write(header); !r) return r;
    analysis::Envelope env;
    std::string chunk;
    for (const Combination& co : combinations) {
        env.Build(solved.engine, beam, co);
        const std::string name = CsvField(co.name);
        chunk.clear();
        for (int j = 1; reactions && j <= beam.N() + 1; ++j) {
            const analysis::Extremes e = env.Reaction(j);
            row(chunk, name + ',' + std::to_string(j), {e.max, e.min});
        }
        for (int k = 1; !reactions && k <= beam.N(); ++k) {
            const double l = beam.SpanAt(k).L;
            std::vector<double> interest, jumps;
            for (const LoadCase& c : beam.cases) {
                for (const Load& load : c.loads) {
                    if (load.kind == Load::Kind::Settlement || load.span != k) continue;
                    interest.insert(interest.end(), {load.x1, load.x2});
                    if (!load.Distributed() && load.x1 > 0 && load.x1 < l) jumps.push_back(load.x1);
                }
            }
            // Each x with the side its row shows: the span's own end values at its
            // ends, both sides of a jump, elsewhere the right.
            std::vector<double> xs;
            std::vector<Side> sides;
            for (const double x : MergeTableXs(l, interest, points)) {
                const bool jump = std::find(jumps.begin(), jumps.end(), x) != jumps.end();
                if (jump || x <= 0) xs.push_back(x), sides.push_back(Side::Left);
                if (x > 0) xs.push_back(x), sides.push_back(x >= l ? Side::Left : Side::Right);
            }
            std::vector<analysis::Extremes> at[2][3];
            for (const Side side : {Side::Left, Side::Right}) {
                for (const Quantity q : {Quantity::Moment, Quantity::Shear, Quantity::Deflection})
                    at[side == Side::Right][static_cast<int>(q)] = env.Along(k, q, xs, side);
            }
            for (std::size_t i = 0; i < xs.size(); ++i) {
                const auto& s = at[sides[i] == Side::Right];
                row(chunk, name + ',' + std::to_string(k),
                    {xs[i], s[0][i].max, s[0][i].min, s[1][i].max, s[1][i].min, s[2][i].max,
                     s[2][i].min});
            }
        }
        if (Status r = write(chunk); !r) return r;
    }
    return {};
}

Status StreamGeneralTable(const Beam& beam, const SolvedBeam& solved, const std::string& only,
                          int points, const ByteWriter& write) {
    if (Status r = write("case,span,x,M,V,w\n"); !r) return r;
    analysis::SpanCurve curve;
    std::string chunk;
    std::vector<double> interest;
    for (const SolvedCase& c : solved.cases) {
        if (!only.empty() && c.source->name != only) continue;
        const std::string name = CsvField(c.source->name);
        for (int k = 1; k <= beam.N(); ++k) {
            solved.engine.Curve(k, c.result, c.loads, curve);
            const SpanDesign& d = c.design[static_cast<std::size_t>(k - 1)];
            interest.assign({d.xMsag, d.xMhog, d.xw});
            for (const Load& load : c.loads.OnSpan(k))
                interest.insert(interest.end(), {load.x1, load.x2});
            const double l = curve.Length();
            chunk.clear();
            for (const double x : MergeTableXs(l, interest, points)) {
                // The span's own end values at its ends; elsewhere just right of a jump.
                const analysis::Side side = x <= 0 ? analysis::Side::Left : analysis::Side::Right;
                chunk += name + ',' + std::to_string(k);
                for (const double v :
                     {x, curve.Moment(x, side), curve.Shear(x, side), curve.Deflection(x)}) {
                    chunk += ',';
                    AppendShortest(chunk, v);
                }
                chunk += '\n';
            }
            if (Status r = write(chunk); !r) return r;
        }
    }
    return {};
}

}  // namespace cbeam::cli
