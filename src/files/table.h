#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/safe_write.h"
#include "model/beam.h"
#include "model/design.h"

// The values along a solved beam as a table: the command line's `table` and
// the results window's CSV export write the same bytes.
namespace cbeam {

struct TableRow {
    int span = 0;  // 1..N
    double x = 0;  // m from the span's left support
    double M = 0;  // kN·m, hogging positive
    double V = 0;  // kN; at a point load the value just right of it
    double w = 0;  // mm, downward positive
};

constexpr int kDefaultTablePoints = 20;
constexpr int kMinTablePoints = 2;
// A hundred million rows at the largest beam: more than any reader wants,
// few enough to stream.
constexpr int kMaxTablePoints = 10000;

// The x of a span's rows: `points` equally spaced from 0 to L and the points
// of interest, in increasing order; points closer than a billionth of the
// span count as one, and then the point of interest is kept, not the grid's.
std::vector<double> MergeTableXs(double L, std::span<const double> interest, int points);

// The x of span `span`'s rows: `points` equally spaced from 0 to L, the
// point load or the end of the uniform load, xMsag and xw, in increasing
// order. Points closer than a billionth of the span count as one, and then
// the load's position, xMsag or xw is kept rather than the grid's.
std::vector<double> TableXs(const DesignState& solved, int span, const SpanValues& values,
                            int points);

// Every row of every span, spans in order.
std::vector<TableRow> TableRows(const DesignState& solved, const DesignValues& design, int points);

// UTF-8 CSV: the header "span,x,M,V,w" and one line per row, numbers in
// their shortest exact form, lines ended by "\n".
std::string TableCsv(const std::vector<TableRow>& rows);

// The bytes of TableCsv(TableRows(solved, design, points)) handed to `write`
// a span at a time, so that a long beam at many points is never held whole;
// stops with `write`'s status as soon as it fails.
Status StreamTableCsv(const DesignState& solved, const DesignValues& design, int points,
                      const ByteWriter& write);

}  // namespace cbeam
