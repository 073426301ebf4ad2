#include "model/beam_tables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "model/beam_tables_internal.h"
#include "model/bounds.h"
#include "text/number.h"

namespace cbeam::tables {
namespace detail {

std::string Shortest(double v) {
    if (v == 0) return "0";  // -0 too: a cell showing "-0" would puzzle
    char buf[64];
    const double m = std::fabs(v);
    // Fixed notation for the values people type, the shortest of either
    // beyond them; both read back exactly.
    const auto res = (m >= 1e-4 && m < 1e15)
                         ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed)
                         : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsBlank(std::string_view text) {
    return Trim(text).empty();
}

namespace {

bool WhollyNumber(std::string_view t) {
    std::size_t i = 0, digits = 0;
    const auto digit = [&](std::size_t j) { return j < t.size() && t[j] >= '0' && t[j] <= '9'; };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    while (digit(i)) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (digit(i)) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digit(i)) return false;
        while (digit(i)) ++i;
    }
    return i == t.size();
}

}  // namespace

bool ReadTyped(std::string_view text, double& value, std::string& reason) {
    const std::string_view t = Trim(text);
    if (t.empty()) {
        reason = "请输入数值";
        return false;
    }
    if (!WhollyNumber(t)) {
        reason = "不是数值: " + std::string(t);
        return false;
    }
    const NumberReading r = ReadNumber(t);
    if (r.overflow || !std::isfinite(r.value)) {
        reason = "数值过大: " + std::string(t);
        return false;
    }
    value = r.value + 0.0;  // "-0" is 0
    return true;
}

bool ReadIndex(std::string_view text, int lo, int hi, const char* what, int& value,
               std::string& reason) {
    double v = 0;
    if (!ReadTyped(text, v, reason)) return false;
    if (v != std::trunc(v) || v < lo || v > hi) {
        reason =
            std::string(what) + "须为" + std::to_string(lo) + "到" + std::to_string(hi) + "的整数";
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

int ChoiceIndex(std::string_view text, const std::vector<std::string>& choices) {
    const std::string_view t = Trim(text);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == t) return static_cast<int>(i);
    }
    return -1;
}

std::vector<Combination> Effective(const Beam& beam) {
    return CombinationsOf(beam);
}

std::string FreshCaseName(const Beam& beam) {
    std::set<std::string> names;
    for (const LoadCase& c : beam.cases) names.insert(c.name);
    for (std::size_t i = beam.cases.size() + 1;; ++i) {
        std::string name = "工况" + std::to_string(i);
        if (!names.contains(name)) return name;
    }
}

std::string FreshCombinationName(const std::vector<Combination>& list) {
    std::set<std::string> names;
    for (const Combination& c : list) names.insert(c.name);
    for (std::size_t i = list.size() + 1;; ++i) {
        std::string name = "组合" + std::to_string(i);
        if (!names.contains(name)) return name;
    }
}

bool NameOk(std::string_view name, std::string& reason) {
    if (name.empty()) {
        reason = "名称不能为空";
        return false;
    }
    if (name.find_first_of("\t\r\n") != std::string_view::npos) {
        reason = "名称不能含制表符或换行";
        return false;
    }
    return true;
}

Span NeighbourSpan(const Beam& beam, int index) {
    if (beam.spans.empty()) return Span{6, 1};
    const int n = beam.N();
    return beam.spans[static_cast<std::size_t>(std::clamp(index, 0, n - 1))];
}

void EnsureFirstNode(Beam& beam) {
    if (beam.supports.empty()) beam.supports.push_back(Support{});
}

Load DefaultLoad(const Beam& beam, const LoadCase& c, int row) {
    int span = 1;
    if (row > 0 && row <= static_cast<int>(c.loads.size())) {
        const Load& before = c.loads[static_cast<std::size_t>(row - 1)];
        span =
            before.kind == Load::Kind::Settlement ? std::min(before.node, beam.N()) : before.span;
    }
    span = std::clamp(span, 1, std::max(beam.N(), 1));
    return Load::Uniform(span, 0, 0, beam.N() > 0 ? beam.SpanAt(span).L : 0);
}

int FindSettlement(const LoadCase& c, int node) {
    for (std::size_t i = 0; i < c.loads.size(); ++i) {
        const Load& l = c.loads[i];
        if (l.kind == Load::Kind::Settlement && l.node == node) return static_cast<int>(i);
    }
    return -1;
}

bool CaseOk(const Beam& beam, TableId id) {
    return id.caseIndex >= 0 && id.caseIndex < static_cast<int>(beam.cases.size());
}

int ColumnCount(const Beam& beam, TableId id) {
    const int cases = static_cast<int>(beam.cases.size());
    switch (id.table) {
        case Table::Spans:
            return 2;
        case Table::Supports:
            return kSupportFixedColumns + cases;
        case Table::Cases:
            return 4;
        case Table::Loads:
            return 6;
        case Table::Combinations:
            return 1 + 2 * cases;
    }
    return 0;
}

bool LengthOk(double L, std::string& reason) {
    if (!(L > 0)) {
        reason = "跨长须大于0";
        return false;
    }
    if (L < kMinLength || L > kMaxLength) {
        reason = "跨长须在0.001到10000 m之间";
        return false;
    }
    return true;
}

bool RigidityOk(double EI, double EIo, std::string& reason) {
    if (!(EI > 0)) {
        reason = "刚度须大于0";
        return false;
    }
    const double product = EI * EIo;
    if (!(product >= kMinRigidity && product <= kMaxRigidity)) {
        reason = "EI×EIo须在1e-6到1e12之间";
        return false;
    }
    return true;
}

bool LoadOk(double q, std::string& reason) {
    if (std::fabs(q) > kMaxLoad) {
        reason = "荷载的绝对值不能超过1e9";
        return false;
    }
    return true;
}

std::string SpanName(int k) {
    return "第" + std::to_string(k) + "跨";
}

namespace {

// Whether a load covers its whole span, so that it follows a new length.
bool WholeSpan(const Load& l, double L) {
    return l.Distributed() && l.x1 == 0 && l.x2 == L;
}

}  // namespace

Outcome ChangeLength(Beam& beam, int k, double L) {
    const double old = beam.SpanAt(k).L;
    for (const LoadCase& c : beam.cases) {
        for (std::size_t i = 0; i < c.loads.size(); ++i) {
            const Load& l = c.loads[i];
            if (l.kind == Load::Kind::Settlement || l.span != k || WholeSpan(l, old)) continue;
            const double end = l.Distributed() ? l.x2 : l.x1;
            if (end > L) {
                return Refuse(c.name + "的第" + std::to_string(i + 1) +
                              "个荷载 (x = " + Shortest(end) + " m) 将超出" + SpanName(k));
            }
        }
    }
    for (LoadCase& c : beam.cases) {
        for (Load& l : c.loads) {
            if (l.kind != Load::Kind::Settlement && l.span == k && WholeSpan(l, old)) l.x2 = L;
        }
    }
    beam.spans[static_cast<std::size_t>(k - 1)].L = L;
    return Done("修改" + SpanName(k) + "跨长");
}

}  // namespace detail

using namespace detail;

namespace {

Column Number(std::string header) {
    return Column{std::move(header), CellKind::Number, {}};
}
Column Text(std::string header) {
    return Column{std::move(header), CellKind::Text, {}};
}
Column Choice(std::string header, const std::vector<std::string>& choices) {
    return Column{std::move(header), CellKind::Choice, choices};
}

}  // namespace

std::vector<Column> Columns(const Beam& beam, TableId id) {
    std::vector<Column> out;
    switch (id.table) {
        case Table::Spans:
            return {Number("L (m)"), Number("EI (×EIo)")};
        case Table::Supports:
            out = {Choice("支座", kSupportKinds), Number("k (kN/m)"), Number("kr (kN·m/rad)")};
            for (const LoadCase& c : beam.cases) out.push_back(Number("沉降 " + c.name + " (mm)"));
            return out;
        case Table::Cases:
            return {Text("名称"), Choice("类型", kCaseKinds), Number("ψq"),
                    Choice("按跨布置", kYesNo)};
        case Table::Loads:
            return {Number("跨/节点"),
                    Choice("类型", kLoadKinds),
                    Number("q1 (kN/m) / P (kN) / M (kN·m) / d (mm)"),
                    Number("q2 (kN/m)"),
                    Number("x1 (m)"),
                    Number("x2 (m)")};
        case Table::Combinations:
            out = {Text("名称")};
            for (const LoadCase& c : beam.cases) {
                out.push_back(Number("γ " + c.name));
                out.push_back(Number("γf " + c.name));
            }
            return out;
    }
    return out;
}

int Rows(const Beam& beam, TableId id) {
    switch (id.table) {
        case Table::Spans:
            return beam.N();
        case Table::Supports:
            return static_cast<int>(beam.supports.size());
        case Table::Cases:
            return static_cast<int>(beam.cases.size());
        case Table::Loads:
            return CaseOk(beam, id)
                       ? static_cast<int>(
                             beam.cases[static_cast<std::size_t>(id.caseIndex)].loads.size())
                       : 0;
        case Table::Combinations:
            return static_cast<int>(beam.combinations.empty() ? Effective(beam).size()
                                                              : beam.combinations.size());
    }
    return 0;
}

namespace {

std::string FactorCell(const Beam& beam, const Combination& co, int column) {
    const std::size_t c = static_cast<std::size_t>((column - 1) / 2);
    for (const CaseFactors& f : co.factors) {
        if (f.caseName == beam.cases[c].name) {
            return Shortest((column - 1) % 2 == 0 ? f.gamma : f.gammaF);
        }
    }
    return "0";
}

std::string LoadCell(const Load& l, int column) {
    const bool settlement = l.kind == Load::Kind::Settlement;
    switch (column) {
        case 0:
            return std::to_string(settlement ? l.node : l.span);
        case 1:
            return kLoadKinds[static_cast<std::size_t>(l.kind)];
        case 2:
            return Shortest(l.q1);
        case 3:
            return l.kind == Load::Kind::Linear ? Shortest(l.q2) : std::string();
        case 4:
            return settlement ? std::string() : Shortest(l.x1);
        case 5:
            return l.Distributed() ? Shortest(l.x2) : std::string();
    }
    return {};
}

}  // namespace

std::string Cell(const Beam& beam, TableId id, int row, int column) {
    if (id.table == Table::Spans && row == -1 && column == -1) return Shortest(beam.EIo);
    if (row < 0 || row >= Rows(beam, id) || column < 0 || column >= ColumnCount(beam, id)) {
        return {};
    }
    const std::size_t r = static_cast<std::size_t>(row);
    switch (id.table) {
        case Table::Spans:
            return Shortest(column == 0 ? beam.spans[r].L : beam.spans[r].EI);
        case Table::Supports: {
            const Support& s = beam.supports[r];
            const bool spring = s.kind == SupportKind::Spring;
            if (column == 0) return kSupportKinds[static_cast<std::size_t>(s.kind)];
            if (column == 1) return spring ? Shortest(s.k) : std::string();
            if (column == 2) return spring ? Shortest(s.kr) : std::string();
            const LoadCase& c = beam.cases[static_cast<std::size_t>(column - kSupportFixedColumns)];
            const int at = FindSettlement(c, row + 1);
            return at < 0 ? std::string() : Shortest(c.loads[static_cast<std::size_t>(at)].q1);
        }
        case Table::Cases: {
            const LoadCase& c = beam.cases[r];
            if (column == 0) return c.name;
            if (column == 1) return kCaseKinds[c.kind == CaseKind::Variable ? 1 : 0];
            if (column == 2) return c.psiQ ? Shortest(*c.psiQ) : std::string();
            return kYesNo[c.Patterned() ? 0 : 1];
        }
        case Table::Loads:
            return LoadCell(beam.cases[static_cast<std::size_t>(id.caseIndex)].loads[r], column);
        case Table::Combinations: {
            if (!beam.combinations.empty()) {
                const Combination& co = beam.combinations[r];
                return column == 0 ? co.name : FactorCell(beam, co, column);
            }
            const Combination co = Effective(beam)[r];
            return column == 0 ? co.name : FactorCell(beam, co, column);
        }
    }
    return {};
}

bool Editable(const Beam& beam, TableId id, int row, int column) {
    const int rows = Rows(beam, id);
    if (row < 0 || row > rows || column < 0 || column >= ColumnCount(beam, id)) return false;
    if (id.table == Table::Supports && row == rows) return false;  // no blank row
    if (row == rows || id.table != Table::Loads) return true;
    const Load& l =
        beam.cases[static_cast<std::size_t>(id.caseIndex)].loads[static_cast<std::size_t>(row)];
    if (column == 3) return l.kind == Load::Kind::Linear;
    if (column == 4) return l.kind != Load::Kind::Settlement;
    if (column == 5) return l.Distributed();
    return true;
}

std::string Copy(const Beam& beam, TableId id, int row, int rows, int column, int columns) {
    std::string out;
    const int lastRow = std::min(row + rows, Rows(beam, id));
    const int lastColumn = std::min(column + columns, ColumnCount(beam, id));
    for (int r = std::max(row, 0); r < lastRow; ++r) {
        for (int c = std::max(column, 0); c < lastColumn; ++c) {
            if (c > std::max(column, 0)) out += '\t';
            out += Cell(beam, id, r, c);
        }
        out += '\n';
    }
    return out;
}

Outcome SetBaseRigidity(Beam& beam, std::string_view text) {
    double v = 0;
    std::string reason;
    if (!ReadTyped(text, v, reason)) return Refuse(reason);
    if (!(v >= kMinRigidity && v <= kMaxRigidity)) return Refuse("EIo须在1e-6到1e12之间");
    for (int k = 1; k <= beam.N(); ++k) {
        if (!RigidityOk(beam.SpanAt(k).EI, v, reason)) return Refuse(SpanName(k) + ": " + reason);
    }
    beam.EIo = v;
    return Done("修改EIo");
}

Outcome AddSlabShare(Beam& beam, int caseIndex, int span, double lx, double p, int sides) {
    if (caseIndex < 0 || caseIndex >= static_cast<int>(beam.cases.size())) {
        return Refuse("没有这一工况");
    }
    if (span < 1 || span > beam.N()) return Refuse("没有" + SpanName(span));
    std::string reason;
    if (!(lx >= kMinLength && lx <= kMaxLength)) return Refuse("板的短边须在0.001到10000 m之间");
    if (sides != 1 && sides != 2) return Refuse("板只能在梁的一侧或两侧");
    const double L = beam.SpanAt(span).L;
    const bool triangle = L <= lx;
    const double peak = p * (triangle ? L : lx) / 2 * sides;
    if (!std::isfinite(p) || !LoadOk(peak, reason)) return Refuse(reason);
    std::vector<Load>& loads = beam.cases[static_cast<std::size_t>(caseIndex)].loads;
    if (triangle) {
        loads.push_back(Load::Linear(span, 0, peak, 0, L / 2));
        loads.push_back(Load::Linear(span, peak, 0, L / 2, L));
    } else {
        loads.push_back(Load::Linear(span, 0, peak, 0, lx / 2));
        loads.push_back(Load::Linear(span, peak, peak, lx / 2, L - lx / 2));
        loads.push_back(Load::Linear(span, peak, 0, L - lx / 2, L));
    }
    return Done("双向板荷载" + SpanName(span));
}

Beam NewBeam(int spans) {
    Beam beam;
    const std::size_t n = static_cast<std::size_t>(std::clamp(spans, 0, kMaxSpans));
    beam.EIo = 1;
    beam.spans.assign(n, Span{6, 1});
    beam.supports.assign(n + 1, Support{});
    LoadCase g;
    g.name = "恒载";
    g.kind = CaseKind::Permanent;
    beam.cases.push_back(std::move(g));
    return beam;
}

}  // namespace cbeam::tables
