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
    if (Status r = analysis::CheckEnvelopeSize(beam); !r) return r;
    const char* header = reactions ? "combination,node,Rmax,Rmin\n"
                                   : "combination,span,x,Mmax,Mmin,Vmax,Vmin,wmax,wmin\n";
    if (Status r = write(header); !r) return r;
    // Every case's loads by span, and the rows written a span's worth at a time.
    std::vector<std::vector<const Load*>> onSpan(static_cast<std::size_t>(beam.N()) + 1);
    for (const LoadCase& c : beam.cases) {
        for (const Load& load : c.loads) {
            if (load.kind != Load::Kind::Settlement)
                onSpan[static_cast<std::size_t>(load.span)].push_back(&load);
        }
    }
    analysis::Envelope env;
    std::string chunk;
    for (const Combination& co : combinations) {
        env.Build(solved.engine, beam, co);
        const std::string name = CsvField(co.name);
        for (int j = 1; reactions && j <= beam.N() + 1; ++j) {
            const analysis::Extremes e = env.Reaction(j);
            row(chunk, name + ',' + std::to_string(j), {e.max, e.min});
        }
        for (int k = 1; !reactions && k <= beam.N(); ++k) {
            const double l = beam.SpanAt(k).L;
            std::vector<double> interest = env.GroupExtremes(k), jumps;
            for (const Load* load : onSpan[static_cast<std::size_t>(k)]) {
                interest.insert(interest.end(), {load->x1, load->x2});
                if (!load->Distributed() && load->x1 > 0 && load->x1 < l) jumps.push_back(load->x1);
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
            const std::string head = name + ',' + std::to_string(k);
            for (std::size_t i = 0; i < xs.size(); ++i) {
                const auto& s = at[sides[i] == Side::Right];
                row(chunk, head,
                    {xs[i], s[0][i].max, s[0][i].min, s[1][i].max, s[1][i].min, s[2][i].max,
                     s[2][i].min});
            }
            if (chunk.size() < 1 << 16) continue;
            if (Status r = write(chunk); !r) return r;
            chunk.clear();
        }
    }
    return write(chunk);
}

namespace {

// {"value":v,"x":x,"loaded":{"G":"1-3","Q":"1,3"}} of an extreme at x of
// span k or, with k = 0, of the reaction at node `node`: the spans where each
// case takes γ.
void AppendExtreme(std::string& out, const Beam& beam, const analysis::Envelope& env, int k,
                   analysis::Quantity q, double value, double x, analysis::Side side, bool max,
                   int node = 0) {
    out += "{\"value\":";
    Append17(out, value);
    if (k > 0 && q != analysis::Quantity::Shear) {
        out += ",\"x\":";
        Append17(out, x);
    }
    out += ",\"loaded\":{";
    const std::vector<std::string> loaded =
        k > 0 ? env.LoadedAt(k, q, x, side, max) : env.LoadedForReaction(node, max);
    for (std::size_t c = 0; c < beam.cases.size(); ++c) {
        if (c > 0) out += ',';
        out += JsonString(beam.cases[c].name) + ':' + JsonString(loaded[c]);
    }
    out += "}}";
}

}  // namespace

Status StreamEnvelopeJson(const Beam& beam, const SolvedBeam& solved,
                          const std::vector<Combination>& combinations, const ByteWriter& write) {
    using analysis::Quantity;
    using analysis::Side;
    if (Status r = analysis::CheckEnvelopeSize(beam); !r) return r;
    if (Status r = write("{\"combinations\":["); !r) return r;
    analysis::Envelope env;
    std::string chunk;
    for (std::size_t i = 0; i < combinations.size(); ++i) {
        const Combination& co = combinations[i];
        env.Build(solved.engine, beam, co);
        chunk = i > 0 ? ",{\"name\":" : "{\"name\":";
        chunk += JsonString(co.name) + ",\"factors\":{";
        for (std::size_t f = 0; f < co.factors.size(); ++f) {
            chunk += (f > 0 ? "," : "") + JsonString(co.factors[f].caseName) + ":[";
            Append17(chunk, co.factors[f].gamma);
            chunk += ',';
            Append17(chunk, co.factors[f].gammaF);
            chunk += ']';
        }
        chunk += "},\"spans\":[";
        for (int k = 1; k <= beam.N(); ++k) {
            const analysis::SpanEnvelope d = env.Design(k);
            const double l = beam.SpanAt(k).L;
            chunk += (k > 1 ? ",{\"span\":" : "{\"span\":") + std::to_string(k);
            const auto at = [&](const char* key, Quantity q, const analysis::EnvelopeAt& e,
                                bool max) {
                chunk += std::string(",\"") + key + "\":";
                AppendExtreme(chunk, beam, env, k, q, e.value, e.x, e.side, max);
            };
            at("Mmax", Quantity::Moment, d.Mmax, true);
            at("Mmin", Quantity::Moment, d.Mmin, false);
            for (const auto& [key, v, x] :
                 {std::tuple{"Vl", d.Vl, 0.0}, std::tuple{"Vr", d.Vr, l}}) {
                chunk += std::string(",\"") + key + "\":{\"max\":";
                AppendExtreme(chunk, beam, env, k, Quantity::Shear, v.max, x, Side::Left, true);
                chunk += ",\"min\":";
                AppendExtreme(chunk, beam, env, k, Quantity::Shear, v.min, x, Side::Left, false);
                chunk += '}';
            }
            at("wmax", Quantity::Deflection, d.wmax, true);
            at("wmin", Quantity::Deflection, d.wmin, false);
            chunk += '}';
            if (chunk.size() > 1 << 16) {
                if (Status r = write(chunk); !r) return r;
                chunk.clear();
            }
        }
        chunk += "],\"reactions\":[";
        for (int j = 1; j <= beam.N() + 1; ++j) {
            const analysis::Extremes e = env.Reaction(j);
            chunk += (j > 1 ? ",{\"node\":" : "{\"node\":") + std::to_string(j) + ",\"Rmax\":";
            AppendExtreme(chunk, beam, env, 0, Quantity::Shear, e.max, 0, Side::Left, true, j);
            chunk += ",\"Rmin\":";
            AppendExtreme(chunk, beam, env, 0, Quantity::Shear, e.min, 0, Side::Left, false, j);
            chunk += std::string(",\"uplift\":") + (e.min < 0 ? "true}" : "false}");
        }
        chunk += "]}";
        if (Status r = write(chunk); !r) return r;
    }
    return write("]}\n");
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
