#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "model/beam_tables.h"
#include "model/beam_tables_internal.h"

// The editing side of the tables: typing into a cell, clearing, inserting,
// removing and pasting rows. Each edit checks everything it needs before it
// changes anything, so that a refusal leaves the beam as it was.
namespace cbeam::tables {

using namespace detail;

namespace {

const char* const kNoCell = "没有这一格";

bool NodesOk(const Beam& beam) {
    return beam.supports.size() == beam.spans.size() + 1;
}

std::string NodeName(int node) {
    return "第" + std::to_string(node) + "支座";
}

// fitLoads false: the caller fits the loads to the new lengths once for all
// the cells it sets.
Outcome SetSpan(Beam& beam, int row, int column, std::string_view text, bool fitLoads = true) {
    const int n = beam.N();
    if (row < 0 || row > n || column < 0 || column > 1) return Refuse(kNoCell);
    double v = 0;
    std::string reason;
    if (!ReadTyped(text, v, reason)) return Refuse(reason);
    if (column == 0 ? !LengthOk(v, reason) : !RigidityOk(v, beam.EIo, reason)) {
        return Refuse(reason);
    }
    if (row == n) {
        if (n >= kMaxSpans) return Refuse("跨数不能超过" + std::to_string(kMaxSpans));
        EnsureFirstNode(beam);
        if (!NodesOk(beam)) return Refuse("支座数与跨数不符");
        Span s = NeighbourSpan(beam, n - 1);
        (column == 0 ? s.L : s.EI) = v;
        beam.spans.push_back(s);
        beam.supports.push_back(Support{});
        return Done("添加" + SpanName(n + 1));
    }
    if (column == 0 && fitLoads) return ChangeLength(beam, row + 1, v);
    (column == 0 ? beam.spans[static_cast<std::size_t>(row)].L
                 : beam.spans[static_cast<std::size_t>(row)].EI) = v;
    return Done("修改" + SpanName(row + 1) + "刚度");
}

// Every settlement of the node in the case but the first.
void DropSettlements(LoadCase& c, int node, int keep) {
    int index = 0;
    std::erase_if(c.loads, [&](const Load& l) {
        const bool drop = l.kind == Load::Kind::Settlement && l.node == node && index != keep;
        ++index;
        return drop;
    });
}

bool SpringOk(double v, bool rotation, std::string& reason) {
    if (rotation ? !(v >= 0) : !(v > 0)) {
        reason = rotation ? "kr不能为负" : "k须大于0";
        return false;
    }
    if (v > kMaxSpring) {
        reason = "弹簧刚度不能超过1e15";
        return false;
    }
    return true;
}

// Settlements pasted, by case and node (0: none), set in one pass per case
// at the end rather than a search of the case's loads per cell.
using SettlementBatch = std::vector<std::map<int, double>>;

void SetSettlements(Beam& beam, const SettlementBatch& batch) {
    for (std::size_t c = 0; c < batch.size(); ++c) {
        if (batch[c].empty()) continue;
        std::vector<Load>& loads = beam.cases[c].loads;
        std::set<int> seen;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < loads.size(); ++i) {
            Load l = loads[i];
            if (l.kind == Load::Kind::Settlement) {
                const auto found = batch[c].find(l.node);
                if (found != batch[c].end()) {
                    if (found->second == 0 || !seen.insert(l.node).second) continue;
                    l.q1 = found->second;
                }
            }
            loads[kept++] = l;
        }
        loads.resize(kept);
        for (const auto& [node, d] : batch[c]) {
            if (d != 0 && !seen.contains(node)) loads.push_back(Load::Settlement(node, d));
        }
    }
}

Outcome SetSupport(Beam& beam, int row, int column, std::string_view text,
                   SettlementBatch* batch = nullptr) {
    const int nodes = static_cast<int>(beam.supports.size());
    if (row < 0 || row >= nodes || column < 0 || column >= ColumnCount(beam, {Table::Supports})) {
        return Refuse(kNoCell);
    }
    Support& s = beam.supports[static_cast<std::size_t>(row)];
    const int node = row + 1;
    std::string reason;
    if (column == 0) {
        const int kind = ChoiceIndex(text, kSupportKinds);
        if (kind < 0) return Refuse("支座只能是铰支、固定、弹簧或自由");
        if (static_cast<SupportKind>(kind) == SupportKind::Free && row != 0 && row != nodes - 1) {
            return Refuse("只有梁的两端可以自由");
        }
        s.kind = static_cast<SupportKind>(kind);
        if (s.kind == SupportKind::Spring) {
            if (!SpringOk(s.k, false, reason)) s.k = kDefaultSpring;
            if (!SpringOk(s.kr, true, reason)) s.kr = 0;
        }
        return Done("修改" + NodeName(node));
    }
    if (column <= 2) {
        double v = 0;
        if (!ReadTyped(text, v, reason) || !SpringOk(v, column == 2, reason)) {
            return Refuse(reason);
        }
        if (s.kind != SupportKind::Spring) {
            // A stiffness typed for a support is the wish for a spring there.
            s.kind = SupportKind::Spring;
            if (!SpringOk(s.k, false, reason)) s.k = kDefaultSpring;
            if (!SpringOk(s.kr, true, reason)) s.kr = 0;
        }
        (column == 1 ? s.k : s.kr) = v;
        return Done("修改" + NodeName(node));
    }
    LoadCase& c = beam.cases[static_cast<std::size_t>(column - kSupportFixedColumns)];
    double d = 0;
    if (!IsBlank(text)) {
        if (!ReadTyped(text, d, reason)) return Refuse(reason);
        if (std::fabs(d) > kMaxSettlement) return Refuse("沉降的绝对值不能超过1e9 mm");
    }
    if (batch) {
        (*batch)[static_cast<std::size_t>(column - kSupportFixedColumns)][node] = d;
        return Done("修改" + NodeName(node) + "沉降");
    }
    const int at = FindSettlement(c, node);
    if (d == 0) {
        DropSettlements(c, node, -1);
    } else if (at < 0) {
        c.loads.push_back(Load::Settlement(node, d));
    } else {
        c.loads[static_cast<std::size_t>(at)].q1 = d;
        DropSettlements(c, node, at);
    }
    return Done("修改" + NodeName(node) + "沉降");
}

bool CaseNameFree(const Beam& beam, const std::string& name, int except) {
    for (std::size_t i = 0; i < beam.cases.size(); ++i) {
        if (static_cast<int>(i) != except && beam.cases[i].name == name) return false;
    }
    return true;
}

Outcome SetCase(Beam& beam, int row, int column, std::string_view text) {
    const int rows = static_cast<int>(beam.cases.size());
    if (row < 0 || row > rows || column < 0 || column > 3) return Refuse(kNoCell);
    const bool append = row == rows;
    std::string reason;
    std::string name;
    int choice = 0;
    std::optional<double> psi;
    switch (column) {
        case 0:
            name = std::string(Trim(text));
            if (!NameOk(name, reason)) return Refuse(reason);
            if (!CaseNameFree(beam, name, row)) return Refuse("已有工况名为" + name);
            break;
        case 1:
            choice = ChoiceIndex(text, kCaseKinds);
            if (choice < 0) return Refuse("工况只能是永久或可变");
            break;
        case 2:
            if (!IsBlank(text)) {
                double v = 0;
                if (!ReadTyped(text, v, reason)) return Refuse(reason);
                if (!(v >= 0 && v <= 1)) return Refuse("ψq须在0到1之间");
                psi = v;
            }
            break;
        default:
            choice = ChoiceIndex(text, kYesNo);
            if (choice < 0) return Refuse("按跨布置只能是是或否");
    }
    if (append) {
        LoadCase c;
        c.name = FreshCaseName(beam);
        c.kind = CaseKind::Variable;
        beam.cases.push_back(std::move(c));
    }
    LoadCase& c = beam.cases[static_cast<std::size_t>(row)];
    const std::string edit = append ? "添加工况" : "修改工况" + c.name;
    switch (column) {
        case 0:
            for (Combination& co : beam.combinations) {
                for (CaseFactors& f : co.factors) {
                    if (f.caseName == c.name) f.caseName = name;
                }
            }
            c.name = std::move(name);
            break;
        case 1:
            c.kind = choice == 1 ? CaseKind::Variable : CaseKind::Permanent;
            break;
        case 2:
            c.psiQ = psi;
            break;
        default:
            c.pattern = choice == 0;
    }
    return Done(edit);
}

bool WholeSpan(const Load& l, double L) {
    return l.Distributed() && l.x1 == 0 && l.x2 == L;
}

bool Convert(const Beam& beam, Load& l, Load::Kind kind, std::string& reason) {
    if (l.kind == kind) return true;
    const bool settlement = l.kind == Load::Kind::Settlement;
    if (kind == Load::Kind::Settlement) {
        l = Load::Settlement(settlement ? l.node : l.span, l.q1);
        return true;
    }
    const int n = beam.N();
    if (n == 0) {
        reason = "梁还没有跨";
        return false;
    }
    const int k = settlement ? std::clamp(l.node, 1, n) : l.span;
    const double L = beam.SpanAt(k).L, q = l.q1;
    const bool ranged = l.Distributed();
    switch (kind) {
        case Load::Kind::Uniform:
            l = ranged ? Load::Uniform(k, q, l.x1, l.x2) : Load::Uniform(k, q, 0, L);
            break;
        case Load::Kind::Linear:
            l = ranged ? Load::Linear(k, q, l.q2, l.x1, l.x2) : Load::Linear(k, q, q, 0, L);
            break;
        default: {
            // A load that starts at the span's end would rather stand in
            // its middle as a point.
            const double x = (!settlement && (!ranged || l.x1 > 0)) ? l.x1 : L / 2;
            l = kind == Load::Kind::Point ? Load::Point(k, q, x) : Load::Moment(k, q, x);
        }
    }
    return true;
}

Outcome SetLoad(Beam& beam, TableId id, int row, int column, std::string_view text) {
    if (!CaseOk(beam, id)) return Refuse("没有这一工况");
    LoadCase& c = beam.cases[static_cast<std::size_t>(id.caseIndex)];
    const int rows = static_cast<int>(c.loads.size());
    if (row < 0 || row > rows || column < 0 || column > 5) return Refuse(kNoCell);
    const int n = beam.N();
    const bool append = row == rows;
    if (append && n == 0) return Refuse("梁还没有跨");
    Load l = append ? DefaultLoad(beam, c, row) : c.loads[static_cast<std::size_t>(row)];
    if (append && column == 3) l.kind = Load::Kind::Linear;
    const bool settlement = l.kind == Load::Kind::Settlement;
    const double L = settlement ? 0 : beam.SpanAt(l.span).L;
    std::string reason;
    double v = 0;
    switch (column) {
        case 0: {
            int k = 0;
            if (settlement) {
                if (!ReadIndex(text, 1, n + 1, "节点号", k, reason)) return Refuse(reason);
                l.node = k;
                break;
            }
            if (!ReadIndex(text, 1, n, "跨号", k, reason)) return Refuse(reason);
            const double to = beam.SpanAt(k).L;
            if (WholeSpan(l, L)) {
                l.x2 = to;
            } else if ((l.Distributed() ? l.x2 : l.x1) > to) {
                return Refuse("荷载超出" + SpanName(k));
            }
            l.span = k;
            break;
        }
        case 1: {
            const int kind = ChoiceIndex(text, kLoadKinds);
            if (kind < 0) return Refuse("荷载只能是均布、线性分布、集中力、集中力偶或支座沉降");
            if (!Convert(beam, l, static_cast<Load::Kind>(kind), reason)) return Refuse(reason);
            break;
        }
        case 2:
            if (!ReadTyped(text, v, reason)) return Refuse(reason);
            if (settlement ? std::fabs(v) > kMaxSettlement : !LoadOk(v, reason)) {
                return Refuse(settlement ? "沉降的绝对值不能超过1e9 mm" : reason);
            }
            l.q1 = v;
            if (l.kind == Load::Kind::Uniform) l.q2 = v;
            break;
        case 3:
            if (l.kind != Load::Kind::Linear) return Refuse("只有线性分布荷载有q2");
            if (!ReadTyped(text, v, reason) || !LoadOk(v, reason)) return Refuse(reason);
            l.q2 = v;
            break;
        case 4:
            if (settlement) return Refuse("支座沉降没有位置");
            if (!IsBlank(text) && !ReadTyped(text, v, reason)) return Refuse(reason);
            if (!(v >= 0 && v <= L)) return Refuse("x1须在0到" + Shortest(L) + " m之间");
            if (l.Distributed() && v > l.x2) return Refuse("x1不能大于x2");
            l.x1 = v;
            if (!l.Distributed()) l.x2 = v;
            break;
        default:
            if (!l.Distributed()) return Refuse("只有分布荷载有x2");
            v = L;
            if (!IsBlank(text) && !ReadTyped(text, v, reason)) return Refuse(reason);
            if (!(v >= 0 && v <= L)) return Refuse("x2须在0到" + Shortest(L) + " m之间");
            if (v < l.x1) return Refuse("x2不能小于x1");
            l.x2 = v;
    }
    if (append) {
        c.loads.push_back(l);
        return Done("添加荷载");
    }
    c.loads[static_cast<std::size_t>(row)] = l;
    return Done("修改第" + std::to_string(row + 1) + "个荷载");
}

bool CombinationNameFree(const std::vector<Combination>& list, const std::string& name,
                         int except) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (static_cast<int>(i) != except && list[i].name == name) return false;
    }
    return true;
}

int CaseIndexOf(const Beam& beam, const std::string& name) {
    for (std::size_t i = 0; i < beam.cases.size(); ++i) {
        if (beam.cases[i].name == name) return static_cast<int>(i);
    }
    return static_cast<int>(beam.cases.size());
}

// The factors of case c, added in the beam's case order when not named.
CaseFactors& FactorsOf(const Beam& beam, Combination& co, int c) {
    const std::string& name = beam.cases[static_cast<std::size_t>(c)].name;
    auto at = co.factors.begin();
    for (; at != co.factors.end(); ++at) {
        if (at->caseName == name) return *at;
        if (CaseIndexOf(beam, at->caseName) > c) break;
    }
    return *co.factors.insert(at, CaseFactors{name, 0, 0});
}

// The default combinations become the beam's own before the first change.
void Materialize(Beam& beam) {
    if (beam.combinations.empty()) beam.combinations = Effective(beam);
}

Outcome SetCombination(Beam& beam, int row, int column, std::string_view text) {
    const std::vector<Combination> defaults =
        beam.combinations.empty() ? Effective(beam) : std::vector<Combination>{};
    const std::vector<Combination>& list = beam.combinations.empty() ? defaults : beam.combinations;
    const int rows = static_cast<int>(list.size());
    if (row < 0 || row > rows || column < 0 || column >= ColumnCount(beam, {Table::Combinations})) {
        return Refuse(kNoCell);
    }
    std::string reason, name;
    double v = 0;
    if (column == 0) {
        name = std::string(Trim(text));
        if (!NameOk(name, reason)) return Refuse(reason);
        if (!CombinationNameFree(list, name, row)) return Refuse("已有组合名为" + name);
    } else {
        if (!ReadTyped(text, v, reason)) return Refuse(reason);
        if (!(v >= 0 && v <= kMaxFactor)) return Refuse("分项系数须在0到100之间");
    }
    Materialize(beam);
    const bool append = row == rows;
    if (append) beam.combinations.push_back({FreshCombinationName(beam.combinations), {}});
    Combination& co = beam.combinations[static_cast<std::size_t>(row)];
    const std::string edit = append ? "添加组合" : "修改组合" + co.name;
    if (column == 0) {
        co.name = std::move(name);
    } else {
        CaseFactors& f = FactorsOf(beam, co, (column - 1) / 2);
        ((column - 1) % 2 == 0 ? f.gamma : f.gammaF) = v;
    }
    return Done(edit);
}

}  // namespace

Outcome SetCell(Beam& beam, TableId id, int row, int column, std::string_view text) {
    switch (id.table) {
        case Table::Spans:
            return SetSpan(beam, row, column, text);
        case Table::Supports:
            return SetSupport(beam, row, column, text);
        case Table::Cases:
            return SetCase(beam, row, column, text);
        case Table::Loads:
            return SetLoad(beam, id, row, column, text);
        case Table::Combinations:
            return SetCombination(beam, row, column, text);
    }
    return Refuse(kNoCell);
}

Outcome ClearCells(Beam& beam, TableId id, int row, int rows, int column, int columns) {
    const int r0 = std::max(row, 0), r1 = std::min(row + rows, Rows(beam, id));
    const int c0 = std::max(column, 0), c1 = std::min(column + columns, ColumnCount(beam, id));
    if (r0 >= r1 || c0 >= c1) return Refuse("没有可清除的单元格");
    const auto has = [&](int c) { return c0 <= c && c < c1; };
    const Outcome done = Done("清除单元格");
    switch (id.table) {
        case Table::Spans:
            return Refuse("跨长和刚度不能为空");
        case Table::Supports: {
            if (has(0)) return Refuse("支座类型不能为空");
            for (int r = r0; has(1) && r < r1; ++r) {
                if (beam.supports[static_cast<std::size_t>(r)].kind == SupportKind::Spring) {
                    return Refuse("弹簧的k不能为空");
                }
            }
            for (int r = r0; has(2) && r < r1; ++r) {
                Support& s = beam.supports[static_cast<std::size_t>(r)];
                if (s.kind == SupportKind::Spring) s.kr = 0;
            }
            for (int c = std::max(c0, kSupportFixedColumns); c < c1; ++c) {
                std::erase_if(beam.cases[static_cast<std::size_t>(c - kSupportFixedColumns)].loads,
                              [&](const Load& l) {
                                  return l.kind == Load::Kind::Settlement && l.node > r0 &&
                                         l.node <= r1;
                              });
            }
            return done;
        }
        case Table::Cases:
            if (has(0) || has(1) || has(3)) return Refuse("工况的名称、类型和按跨布置不能为空");
            for (int r = r0; r < r1; ++r) beam.cases[static_cast<std::size_t>(r)].psiQ.reset();
            return done;
        case Table::Loads: {
            if (has(0) || has(1)) return Refuse("荷载的跨号和类型不能为空");
            for (int r = r0; r < r1; ++r) {
                Load& l = beam.cases[static_cast<std::size_t>(id.caseIndex)]
                              .loads[static_cast<std::size_t>(r)];
                if (has(2)) l.q1 = 0;
                if (has(2) && l.kind == Load::Kind::Uniform) l.q2 = 0;
                if (has(3) && l.kind == Load::Kind::Linear) l.q2 = 0;
                if (has(4) && l.kind != Load::Kind::Settlement) {
                    l.x1 = 0;
                    if (!l.Distributed()) l.x2 = 0;
                }
                if (has(5) && l.Distributed()) l.x2 = beam.SpanAt(l.span).L;
            }
            return done;
        }
        case Table::Combinations:
            if (has(0)) return Refuse("组合名称不能为空");
            Materialize(beam);
            for (int r = r0; r < r1; ++r) {
                Combination& co = beam.combinations[static_cast<std::size_t>(r)];
                for (int c = c0; c < c1; ++c) {
                    const std::string& name =
                        beam.cases[static_cast<std::size_t>((c - 1) / 2)].name;
                    for (CaseFactors& f : co.factors) {
                        if (f.caseName == name) ((c - 1) % 2 == 0 ? f.gamma : f.gammaF) = 0;
                    }
                }
            }
            return done;
    }
    return Refuse(kNoCell);
}

namespace {

std::string Count(const char* what, int first, int count) {
    return count == 1 ? "第" + std::to_string(first) + what
                      : std::to_string(count) + (std::string(what) == "跨" ? "跨" : "行");
}

// Loads of later spans and settlements of later nodes move by `by`; the
// loads of removed spans [firstSpan, lastSpan] and settlements of removed
// nodes [firstNode, lastNode] go, in one pass per case.
void Renumber(Beam& beam, int firstSpan, int lastSpan, int firstNode, int lastNode, int by) {
    for (LoadCase& c : beam.cases) {
        std::erase_if(c.loads, [&](const Load& l) {
            return l.kind == Load::Kind::Settlement ? (l.node >= firstNode && l.node <= lastNode)
                                                    : (l.span >= firstSpan && l.span <= lastSpan);
        });
        for (Load& l : c.loads) {
            if (l.kind == Load::Kind::Settlement) {
                if (l.node > lastNode) l.node += by;
            } else if (l.span > lastSpan) {
                l.span += by;
            }
        }
    }
}

}  // namespace

Outcome InsertRows(Beam& beam, TableId id, int row, int count) {
    if (count < 1) return Refuse("没有要插入的行");
    const int rows = Rows(beam, id);
    if (row < 0 || row > rows) return Refuse("没有这一行");
    const auto at = [](auto& list, int i) { return list.begin() + i; };
    switch (id.table) {
        case Table::Spans: {
            const int n = beam.N();
            if (count > kMaxSpans - n) return Refuse("跨数不能超过" + std::to_string(kMaxSpans));
            EnsureFirstNode(beam);
            if (!NodesOk(beam)) return Refuse("支座数与跨数不符");
            const Span s = NeighbourSpan(beam, row > 0 ? row - 1 : row);
            // Nothing removed: the empty stretch before span row+1 and
            // node row+2 makes room.
            Renumber(beam, row + 1, row, row + 2, row + 1, count);
            beam.spans.insert(at(beam.spans, row), static_cast<std::size_t>(count), s);
            beam.supports.insert(at(beam.supports, row + 1), static_cast<std::size_t>(count),
                                 Support{});
            return Done("插入" + Count("跨", row + 1, count));
        }
        case Table::Supports:
            return Refuse("支座随跨增减，不能单独插入");
        case Table::Cases:
            for (int i = 0; i < count; ++i) {
                LoadCase c;
                c.name = FreshCaseName(beam);
                c.kind = CaseKind::Variable;
                beam.cases.insert(at(beam.cases, row + i), std::move(c));
            }
            return Done("插入工况");
        case Table::Loads: {
            if (!CaseOk(beam, id)) return Refuse("没有这一工况");
            if (beam.N() == 0) return Refuse("梁还没有跨");
            LoadCase& c = beam.cases[static_cast<std::size_t>(id.caseIndex)];
            const Load l = DefaultLoad(beam, c, row);
            c.loads.insert(at(c.loads, row), static_cast<std::size_t>(count), l);
            return Done("插入荷载");
        }
        case Table::Combinations:
            Materialize(beam);
            for (int i = 0; i < count; ++i) {
                beam.combinations.insert(at(beam.combinations, row + i),
                                         {FreshCombinationName(beam.combinations), {}});
            }
            return Done("插入组合");
    }
    return Refuse(kNoCell);
}

Outcome RemoveRows(Beam& beam, TableId id, int row, int count) {
    if (count < 1) return Refuse("没有要删除的行");
    const int rows = Rows(beam, id);
    if (row < 0 || count > rows - row) return Refuse("没有这些行");
    const auto at = [](auto& list, int i) { return list.begin() + i; };
    switch (id.table) {
        case Table::Spans: {
            if (!NodesOk(beam)) return Refuse("支座数与跨数不符");
            // The nodes after the removed spans go, but at the right end the
            // ones before them, so that the end's kind stays the end's.
            const int node = row + count == beam.N() ? row : row + 1;
            Renumber(beam, row + 1, row + count, node + 1, node + count, -count);
            beam.spans.erase(at(beam.spans, row), at(beam.spans, row + count));
            beam.supports.erase(at(beam.supports, node), at(beam.supports, node + count));
            return Done("删除" + Count("跨", row + 1, count));
        }
        case Table::Supports:
            return Refuse("支座随跨增减，不能单独删除");
        case Table::Cases: {
            std::set<std::string> gone;
            for (int i = row; i < row + count; ++i) {
                gone.insert(beam.cases[static_cast<std::size_t>(i)].name);
            }
            beam.cases.erase(at(beam.cases, row), at(beam.cases, row + count));
            for (Combination& co : beam.combinations) {
                std::erase_if(co.factors,
                              [&](const CaseFactors& f) { return gone.contains(f.caseName); });
            }
            return Done("删除工况");
        }
        case Table::Loads: {
            std::vector<Load>& loads = beam.cases[static_cast<std::size_t>(id.caseIndex)].loads;
            loads.erase(at(loads, row), at(loads, row + count));
            return Done("删除荷载");
        }
        case Table::Combinations:
            Materialize(beam);
            beam.combinations.erase(at(beam.combinations, row), at(beam.combinations, row + count));
            // With none left the beam takes the default ones again: say so.
            return Done(beam.combinations.empty() ? "恢复默认组合" : "删除组合");
    }
    return Refuse(kNoCell);
}

namespace {

// The loads after lengths were pasted over their spans, in one pass rather
// than one per cell: 0, or the first span a load no longer fits.
int FitLoads(Beam& beam, const std::vector<double>& old) {
    int bad = 0;
    for (LoadCase& c : beam.cases) {
        for (Load& l : c.loads) {
            if (l.kind == Load::Kind::Settlement || l.span < 1 ||
                l.span > static_cast<int>(old.size())) {
                continue;
            }
            const double was = old[static_cast<std::size_t>(l.span - 1)];
            const double now = beam.SpanAt(l.span).L;
            if (was == now) continue;
            if (WholeSpan(l, was)) {
                l.x2 = now;
            } else if ((l.Distributed() ? l.x2 : l.x1) > now && (bad == 0 || l.span < bad)) {
                bad = l.span;
            }
        }
    }
    return bad;
}

}  // namespace

Outcome Paste(Beam& beam, TableId id, int row, int column, std::string_view tsv) {
    if (tsv.empty()) return Refuse("没有可粘贴的内容");
    if (tsv.back() == '\n') tsv.remove_suffix(1);
    const bool spans = id.table == Table::Spans;
    std::vector<double> old;
    if (spans) {
        old.reserve(beam.spans.size());
        for (const Span& s : beam.spans) old.push_back(s.L);
    }
    Beam work = beam;
    SettlementBatch settlements(id.table == Table::Supports ? beam.cases.size() : 0);
    int r = row;
    std::size_t start = 0;
    while (start <= tsv.size()) {
        std::size_t end = tsv.find('\n', start);
        if (end == std::string_view::npos) end = tsv.size();
        std::string_view line = tsv.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        int c = column;
        std::size_t cell = 0;
        while (true) {
            std::size_t tab = line.find('\t', cell);
            if (tab == std::string_view::npos) tab = line.size();
            const std::string_view text = line.substr(cell, tab - cell);
            const Outcome o = spans ? SetSpan(work, r, c, text, false)
                              : id.table == Table::Supports
                                  ? SetSupport(work, r, c, text, &settlements)
                                  : SetCell(work, id, r, c, text);
            if (!o.ok) {
                return Refuse("第" + std::to_string(r + 1) + "行第" + std::to_string(c + 1) +
                              "列: " + o.reason);
            }
            if (tab == line.size()) break;
            cell = tab + 1;
            ++c;
        }
        ++r;
        start = end + 1;
    }
    if (const int bad = spans ? FitLoads(work, old) : 0; bad > 0) {
        return Refuse("第" + std::to_string(bad) + "行第1列: 有荷载将超出" + SpanName(bad));
    }
    SetSettlements(work, settlements);
    beam = std::move(work);
    return Done("粘贴");
}

}  // namespace cbeam::tables
