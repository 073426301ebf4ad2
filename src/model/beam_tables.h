#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/structure.h"

// The general beam as the design window's tables show and edit it: what
// each cell reads, what typing into it does, rows inserted and removed,
// cells cleared, copied and pasted as a spreadsheet's tab-separated rows.
// Every edit either changes the beam and names itself for the undo menu, or
// leaves the beam untouched and says why in one line; a value that is not
// wholly a number in range never reaches the beam. Whether the whole beam
// can be analysed (a mechanism, a free interior node) is not a cell's
// refusal: Validate tells the window.
namespace cbeam::tables {

enum class Table {
    Spans,         // one row a span: L (m), EI (×EIo)
    Supports,      // one row a node: kind, k, kr, then a settlement per case
    Cases,         // one row a load case: name, kind, ψq, 按跨布置
    Loads,         // the loads of one case (caseIndex), settlements included
    Combinations,  // one row a combination: name, then γ and γf per case
};

struct TableId {
    Table table = Table::Spans;
    int caseIndex = 0;  // Loads only: the case, 0-based
    bool operator==(const TableId&) const = default;
};

enum class CellKind { Number, Text, Choice, Fixed };

struct Column {
    std::string header;  // with its unit: "L (m)"
    CellKind kind = CellKind::Number;
    std::vector<std::string> choices;  // for Choice: the texts offered
};

// The columns of a table; those of Supports and Combinations follow the
// beam's cases.
std::vector<Column> Columns(const Beam& beam, TableId id);
int Rows(const Beam& beam, TableId id);
// A cell's text: input values in their shortest exact form ("6", "0.25"),
// so that reading it back gives the very value; choices as offered;
// an unset optional value (ψq of a permanent case) empty.
std::string Cell(const Beam& beam, TableId id, int row, int column);
// Whether typing into the cell means something: not for the q2 of a load
// that is not linear, the x2 of a point, a moment or a settlement, the x1 of
// a settlement. Every cell of the blank row is (it makes the row); the k
// and kr of any support are (typing them makes it a spring).
bool Editable(const Beam& beam, TableId id, int row, int column);

// The outcome of an edit: Ok with the name the undo menu shows ("修改第3跨
// 跨长"), or refused with the reason (beam unchanged).
struct Outcome {
    bool ok = false;
    std::string name;    // ok: the edit's name
    std::string reason;  // refused: one line for the status bar and tooltip
};

// Text typed into a cell (rows and columns 0-based). The row after the
// last (row == Rows) is the table's blank row: typing there appends a row
// with the defaults of InsertRows and sets the cell, one edit.
Outcome SetCell(Beam& beam, TableId id, int row, int column, std::string_view text);
// Delete on a block of cells: each set to its column's blank value (0, or
// unset); refused as a whole when a blank is not allowed there (a length).
Outcome ClearCells(Beam& beam, TableId id, int row, int rows, int column, int columns);
// New rows before `row` (row == Rows: appended) with the table's defaults:
// a span copies its neighbour's L and EI and gets a pinned node; a case is
// named so that no name repeats. Supports are the spans' nodes: refused.
Outcome InsertRows(Beam& beam, TableId id, int row, int count);
// Removes rows; the loads of removed spans and cases go with them, later
// spans' loads and settlements are renumbered, combinations drop a
// removed case. The last span may go too: the window starts empty.
Outcome RemoveRows(Beam& beam, TableId id, int row, int count);
// Tab-separated rows pasted with their top left at (row, column); rows
// beyond the table are appended (spans and loads, cases, combinations).
// All or nothing: the first bad cell's row and column lead the reason.
Outcome Paste(Beam& beam, TableId id, int row, int column, std::string_view tsv);
// The block as tab-separated rows ending in "\n", as Ctrl+C copies it.
std::string Copy(const Beam& beam, TableId id, int row, int rows, int column, int columns);

// EIo beside the span table.
Outcome SetBaseRigidity(Beam& beam, std::string_view text);

// The share of a two-way slab's load that a beam along span `span` takes,
// as linear loads added to case `caseIndex`: for a slab of short side lx
// (m) under p (kN/m²) on `sides` sides of the beam (1 or 2), a span no
// longer than lx takes the triangle rising to p·L/2 at mid-span, a longer
// one the trapezoid rising to p·lx/2 over lx/2 from either end.
Outcome AddSlabShare(Beam& beam, int caseIndex, int span, double lx, double p, int sides);

// A new beam for the window: `spans` spans of 6 m, EI 1, EIo 1, pinned
// supports (one node for no span), one permanent case "恒载" without loads.
Beam NewBeam(int spans = 0);

}  // namespace cbeam::tables
