#include "files/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace cbeam {
namespace {

void AppendShortest(std::string& out, double v) {
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, ec == std::errc() ? end : buf);
}

void AppendRow(std::string& out, const TableRow& r) {
    out += std::to_string(r.span);
    for (const double v : {r.x, r.M, r.V, r.w}) {
        out += ',';
        AppendShortest(out, v);
    }
    out += '\n';
}

constexpr const char* kHeader = "span,x,M,V,w\n";

}  // namespace

std::vector<double> MergeTableXs(double L, std::span<const double> interest, int points) {
    // The points a reader looks for come first, so that they win over a grid
    // point that rounding put a hair away from them.
    struct Candidate {
        double x;
        int rank;  // 0 for the points of interest, 1 for the grid
    };
    std::vector<Candidate> cs;
    cs.reserve(static_cast<std::size_t>(points) + interest.size());
    const auto add = [&](double x, int rank) {
        if (std::isfinite(x)) cs.push_back({std::clamp(x, 0.0, L), rank});
    };
    for (const double x : interest) add(x, 0);
    for (int j = 0; j < points; ++j) add(j == points - 1 ? L : L * j / (points - 1), 1);
    std::stable_sort(cs.begin(), cs.end(),
                     [](const Candidate& a, const Candidate& b) { return a.x < b.x; });
    const double tolerance = 1e-9 * std::fabs(L);
    std::vector<double> xs;
    xs.reserve(cs.size());
    int lastRank = 2;
    for (const Candidate& c : cs) {
        if (!xs.empty() && c.x - xs.back() <= tolerance) {
            if (c.rank < lastRank) xs.back() = c.x, lastRank = c.rank;
            continue;
        }
        xs.push_back(c.x);
        lastRank = c.rank;
    }
    return xs;
}

std::vector<double> TableXs(const DesignState& solved, int span, const SpanValues& values,
                            int points) {
    const double L = solved.L(span);
    double interest[3];
    std::size_t n = 0;
    if (solved.Kind(span) != LoadKind::None) interest[n++] = solved.A(span) * L;
    interest[n++] = values.xMsag;
    interest[n++] = values.xw;
    return MergeTableXs(L, std::span<const double>(interest, n), points);
}

std::vector<TableRow> TableRows(const DesignState& solved, const DesignValues& design, int points) {
    std::vector<TableRow> rows;
    const int n = static_cast<int>(design.spans.size());
    rows.reserve(static_cast<std::size_t>(n) * (static_cast<std::size_t>(points) + 3));
    for (int k = 1; k <= n; ++k) {
        const SpanCurve curve(solved, k);
        for (const double x : TableXs(solved, k, design.spans[k - 1], points)) {
            rows.push_back({k, x, curve.Moment(x), curve.Shear(x), curve.Deflection(x)});
        }
    }
    return rows;
}

std::string TableCsv(const std::vector<TableRow>& rows) {
    std::string out = kHeader;
    out.reserve(out.size() + rows.size() * 64);
    for (const TableRow& r : rows) AppendRow(out, r);
    return out;
}

Status StreamTableCsv(const DesignState& solved, const DesignValues& design, int points,
                      const ByteWriter& write) {
    if (Status r = write(kHeader); !r) return r;
    std::string chunk;
    const int n = static_cast<int>(design.spans.size());
    for (int k = 1; k <= n; ++k) {
        const SpanCurve curve(solved, k);
        chunk.clear();
        for (const double x : TableXs(solved, k, design.spans[k - 1], points)) {
            AppendRow(chunk, {k, x, curve.Moment(x), curve.Shear(x), curve.Deflection(x)});
        }
        if (Status r = write(chunk); !r) return r;
    }
    return {};
}

}  // namespace cbeam
