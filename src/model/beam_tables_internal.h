#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/beam_tables.h"

// What the reading side of the tables (beam_tables.cpp) and the typing side
// (beam_tables_rows.cpp) share: the texts offered, the reading of a typed
// number and the defaults of a new row.
namespace cbeam::tables::detail {

inline Outcome Done(std::string name) {
    return Outcome{true, std::move(name), {}};
}
inline Outcome Refuse(std::string reason) {
    return Outcome{false, {}, std::move(reason)};
}

inline const std::vector<std::string> kSupportKinds = {"铰支", "固定", "弹簧", "自由"};
inline const std::vector<std::string> kCaseKinds = {"永久", "可变"};
inline const std::vector<std::string> kYesNo = {"是", "否"};
inline const std::vector<std::string> kLoadKinds = {"均布", "线性分布", "集中力", "集中力偶",
                                                    "支座沉降"};

// Supports: kind, k, kr, then one settlement column per case.
constexpr int kSupportFixedColumns = 3;
// A spring chosen before its stiffness is typed: stiff enough to matter,
// and a value the user sees and replaces.
constexpr double kDefaultSpring = 1e5;
// Beyond this a spring only makes the stiffness matrix lose its digits.
constexpr double kMaxSpring = 1e15;
constexpr double kMaxSettlement = 1e9;  // mm
constexpr double kMaxFactor = 100;

// The shortest text that reads back as the very double.
std::string Shortest(double v);
std::string_view Trim(std::string_view text);
bool IsBlank(std::string_view text);
// A text that is wholly a number (blanks around it, a leading sign) and
// not too large for a double; otherwise false with the reason.
bool ReadTyped(std::string_view text, double& value, std::string& reason);
// A whole number in [lo, hi], for span and node numbers.
bool ReadIndex(std::string_view text, int lo, int hi, const char* what, int& value,
               std::string& reason);
int ChoiceIndex(std::string_view text, const std::vector<std::string>& choices);

// beam.combinations, or the default ones the table shows while it is empty.
std::vector<Combination> Effective(const Beam& beam);
std::string FreshCaseName(const Beam& beam);
std::string FreshCombinationName(const std::vector<Combination>& list);
// A name a cell can hold and a copied row can give back.
bool NameOk(std::string_view name, std::string& reason);

// A span with its neighbour's L and EI (6 m, 1 when there is none).
Span NeighbourSpan(const Beam& beam, int index);
// The empty beam's one node, for a beam that came without it.
void EnsureFirstNode(Beam& beam);
// A load the loads table's new row gets: 0 kN/m over the whole span of the
// load before it (span 1 when there is none).
Load DefaultLoad(const Beam& beam, const LoadCase& c, int row);
// The first settlement of node (1-based) in the case, or -1.
int FindSettlement(const LoadCase& c, int node);

bool CaseOk(const Beam& beam, TableId id);
int ColumnCount(const Beam& beam, TableId id);

// The length check of every way in: positive, finite and within the bounds.
bool LengthOk(double L, std::string& reason);
bool RigidityOk(double EI, double EIo, std::string& reason);
bool LoadOk(double q, std::string& reason);

// Setting a span's length: the loads that still fit stay, a whole-span
// distributed load follows the new length; refused if one would not fit.
Outcome ChangeLength(Beam& beam, int k, double L);

std::string SpanName(int k);  // "第3跨"

}  // namespace cbeam::tables::detail
