#include "model/beam_tables.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "model/beam_diff.h"

namespace cbeam::tables {
namespace {

constexpr TableId kSpans{Table::Spans}, kSupports{Table::Supports}, kCases{Table::Cases},
    kLive{Table::Loads, 1}, kCombos{Table::Combinations};

// Three 6 m spans; a live case with a point on span 1 at 4 m, a whole-span
// load on span 2 and a settlement of node 3.
Beam Sample() {
    Beam b = NewBeam(3);
    LoadCase live;
    live.name = "活载";
    live.kind = CaseKind::Variable;
    live.loads = {Load::Point(1, 10, 4), Load::Uniform(2, 5, 0, 6), Load::Settlement(3, 2)};
    b.cases.push_back(live);
    return b;
}

struct SetRow {
    const char* name;
    TableId id;
    int row, column;
    const char* text;
    bool ok;
    // Where the edit shows, when it is made.
    int showRow = 0, showColumn = 0;
    const char* shows = "";
};

class SetCellTest : public ::testing::TestWithParam<SetRow> {};

TEST_P(SetCellTest, ChangesOrLeavesTheBeam) {
    const SetRow& t = GetParam();
    Beam b = Sample();
    const Beam before = b;
    const Outcome o = SetCell(b, t.id, t.row, t.column, t.text);
    ASSERT_EQ(o.ok, t.ok) << o.reason;
    if (!t.ok) {
        EXPECT_FALSE(o.reason.empty());
        EXPECT_TRUE(SameBeam(b, before));
        return;
    }
    EXPECT_FALSE(o.name.empty());
    EXPECT_EQ(Cell(b, t.id, t.showRow, t.showColumn), t.shows);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SetCellTest,
    ::testing::Values(SetRow{"Length", kSpans, 0, 0, " +7.5 ", true, 0, 0, "7.5"},
                      SetRow{"LengthShortest", kSpans, 2, 0, "0.1", true, 2, 0, "0.1"},
                      SetRow{"LengthWithUnit", kSpans, 0, 0, "6m", false},
                      SetRow{"LengthBlank", kSpans, 0, 0, "", false},
                      SetRow{"LengthOverflow", kSpans, 0, 0, "1e999", false},
                      SetRow{"LengthNan", kSpans, 0, 0, "nan", false},
                      SetRow{"LengthInf", kSpans, 0, 0, "inf", false},
                      SetRow{"LengthZero", kSpans, 0, 0, "0", false},
                      SetRow{"LengthCutsPoint", kSpans, 0, 0, "3", false},
                      SetRow{"WholeSpanFollows", kSpans, 1, 0, "8", true, 1, 0, "8"},
                      SetRow{"RigidityNegative", kSpans, 0, 1, "-1", false},
                      SetRow{"BlankRowAppends", kSpans, 3, 1, "2", true, 3, 0, "6"},
                      SetRow{"FreeInside", kSupports, 1, 0, "自由", false},
                      SetRow{"FreeEnd", kSupports, 3, 0, "自由", true, 3, 0, "自由"},
                      SetRow{"SpringGetsStiffness", kSupports, 1, 0, "弹簧", true, 1, 1, "100000"},
                      SetRow{"StiffnessMakesSpring", kSupports, 1, 2, "50", true, 1, 0, "弹簧"},
                      SetRow{"StiffnessZero", kSupports, 1, 1, "0", false},
                      SetRow{"SettlementSet", kSupports, 1, 4, "3", true, 1, 4, "3"},
                      SetRow{"SettlementZeroRemoves", kSupports, 2, 4, "0", true, 2, 4, ""},
                      SetRow{"UnknownKind", kSupports, 0, 0, "滑动", false},
                      SetRow{"CaseNameRepeats", kCases, 1, 0, "恒载", false},
                      SetRow{"CaseNameEmpty", kCases, 1, 0, "  ", false},
                      SetRow{"RenameFollowsCombinations", kCases, 1, 0, "风", true, 1, 0, "风"},
                      SetRow{"PsiOutside", kCases, 1, 2, "1.5", false},
                      SetRow{"NewCaseVariable", kCases, 2, 2, "0.5", true, 2, 1, "可变"},
                      SetRow{"SpanOutside", kLive, 0, 0, "4", false},
                      SetRow{"MoveWholeSpan", kLive, 1, 0, "3", true, 1, 5, "6"},
                      SetRow{"PointBeyondSpan", kLive, 0, 4, "6.5", false},
                      SetRow{"X2BlankIsLength", kLive, 1, 5, "", true, 1, 5, "6"},
                      SetRow{"X1BeyondX2", kLive, 1, 4, "7", false},
                      SetRow{"NoQ2ForPoint", kLive, 0, 3, "1", false},
                      SetRow{"UniformToPointMidSpan", kLive, 1, 1, "集中力", true, 1, 4, "3"},
                      SetRow{"SettlementToSpan", kLive, 2, 1, "均布", true, 2, 0, "3"},
                      SetRow{"LoadTooLarge", kLive, 0, 2, "2e9", false},
                      SetRow{"NewRowSpan", kLive, 3, 0, "2", true, 3, 5, "6"},
                      SetRow{"FactorWritesDefaults", kCombos, 0, 3, "1.2", true, 0, 3, "1.2"},
                      SetRow{"FactorOutside", kCombos, 0, 1, "101", false},
                      SetRow{"CombinationNameRepeats", kCombos, 1, 0, "基本组合", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetCell, WholeSpanLoadFollowsLength) {
    Beam b = Sample();
    ASSERT_TRUE(SetCell(b, kSpans, 1, 0, "8").ok);
    EXPECT_EQ(Copy(b, kLive, 0, 2, 0, 6), "1\t集中力\t10\t\t4\t\n2\t均布\t5\t\t0\t8\n");
}

TEST(SetCell, RenameKeepsCombinationFactors) {
    Beam b = Sample();
    ASSERT_TRUE(SetCell(b, kCombos, 0, 0, "基本").ok);  // the defaults become the beam's
    ASSERT_TRUE(SetCell(b, kCases, 1, 0, "风").ok);
    EXPECT_EQ(Cell(b, kCombos, 0, 3), "1.5");
    EXPECT_EQ(Columns(b, kCombos)[3].header, "γ 风");
}

TEST(Cell, ReadsBackTheVeryValue) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> exponent(-3, 4), mantissa(1, 10);
    Beam b = NewBeam(1);
    for (int i = 0; i < 2000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, std::floor(exponent(rng)));
        b.spans[0].L = v;
        const std::string shown = Cell(b, kSpans, 0, 0);
        b.spans[0].L = 1;
        ASSERT_TRUE(SetCell(b, kSpans, 0, 0, shown).ok) << shown;
        ASSERT_EQ(b.spans[0].L, v) << shown;
    }
}

struct EditableRow {
    const char* name;
    TableId id;
    int row, column;
    bool editable;
};

class EditableTest : public ::testing::TestWithParam<EditableRow> {};

TEST_P(EditableTest, OnlyCellsThatMeanSomething) {
    const EditableRow& t = GetParam();
    EXPECT_EQ(Editable(Sample(), t.id, t.row, t.column), t.editable);
}

INSTANTIATE_TEST_SUITE_P(Cells, EditableTest,
                         ::testing::Values(EditableRow{"PointX2", kLive, 0, 5, false},
                                           EditableRow{"PointQ2", kLive, 0, 3, false},
                                           EditableRow{"UniformX2", kLive, 1, 5, true},
                                           EditableRow{"SettlementX1", kLive, 2, 4, false},
                                           EditableRow{"BlankRowQ2", kLive, 3, 3, true},
                                           EditableRow{"PinnedStiffness", kSupports, 0, 1, true},
                                           EditableRow{"NoBlankSupport", kSupports, 4, 0, false},
                                           EditableRow{"BeyondColumns", kSpans, 0, 2, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RowsRow {
    const char* name;
    bool insert;
    TableId id;
    int row, count;
    bool ok;
    std::vector<int> liveAt;  // span, or -node for a settlement, of the live loads
    int spans;
};

class RowsTest : public ::testing::TestWithParam<RowsRow> {};

TEST_P(RowsTest, RenumbersLoads) {
    const RowsRow& t = GetParam();
    Beam b = Sample();
    b.cases[1].loads.push_back(Load::Settlement(4, 1));
    const Beam before = b;
    const Outcome o =
        t.insert ? InsertRows(b, t.id, t.row, t.count) : RemoveRows(b, t.id, t.row, t.count);
    ASSERT_EQ(o.ok, t.ok) << o.reason;
    if (!t.ok) {
        EXPECT_TRUE(SameBeam(b, before));
        return;
    }
    std::vector<int> at;
    for (const Load& l : b.cases[1].loads) {
        at.push_back(l.kind == Load::Kind::Settlement ? -l.node : l.span);
    }
    EXPECT_EQ(at, t.liveAt);
    EXPECT_EQ(b.N(), t.spans);
    EXPECT_EQ(b.supports.size(), static_cast<std::size_t>(t.spans) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, RowsTest,
    ::testing::Values(RowsRow{"InsertFirst", true, kSpans, 0, 2, true, {3, 4, -5, -6}, 5},
                      RowsRow{"InsertAfterFirst", true, kSpans, 1, 1, true, {1, 3, -4, -5}, 4},
                      RowsRow{"Append", true, kSpans, 3, 1, true, {1, 2, -3, -4}, 4},
                      RowsRow{"RemoveMiddle", false, kSpans, 1, 1, true, {1, -3}, 2},
                      RowsRow{"RemoveFirst", false, kSpans, 0, 1, true, {1, -2, -3}, 2},
                      RowsRow{"RemoveLast", false, kSpans, 2, 1, true, {1, 2, -3}, 2},
                      RowsRow{"RemoveAll", false, kSpans, 0, 3, true, {-1}, 0},
                      RowsRow{"RemoveTooMany", false, kSpans, 2, 2, false, {}, 0},
                      RowsRow{"SupportsRefused", true, kSupports, 0, 1, false, {}, 0},
                      RowsRow{"LoadRemoved", false, kLive, 0, 1, true, {2, -3, -4}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RemoveRows, CaseLeavesCombinations) {
    Beam b = Sample();
    ASSERT_TRUE(SetCell(b, kCombos, 0, 1, "1.2").ok);
    ASSERT_TRUE(RemoveRows(b, kCases, 1, 1).ok);
    for (const Combination& co : b.combinations) EXPECT_EQ(co.factors.size(), 1u) << co.name;
}

TEST(ClearCells, RefusedWholeWhereABlankIsNot) {
    Beam b = Sample();
    const Beam before = b;
    EXPECT_FALSE(ClearCells(b, kLive, 0, 3, 0, 3).ok);  // the span numbers
    EXPECT_TRUE(SameBeam(b, before));
    ASSERT_TRUE(ClearCells(b, kLive, 0, 3, 2, 4).ok);
    EXPECT_EQ(Copy(b, kLive, 0, 3, 1, 5), "集中力\t0\t\t0\t\n均布\t0\t\t0\t6\n支座沉降\t0\t\t\t\n");
}

TEST(Paste, AllOrNothing) {
    Beam b = NewBeam();
    const Beam before = b;
    const Outcome o = Paste(b, kSpans, 0, 0, "5\t1\r\n6m\t1\r\n");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.reason.rfind("第2行第1列: ", 0), 0u) << o.reason;
    EXPECT_TRUE(SameBeam(b, before));
}

TEST(Paste, LengthsFitTheLoadsOnce) {
    Beam b = Sample();
    const Beam before = b;
    const Outcome o = Paste(b, kSpans, 0, 0, "8\n3\n");  // the point at 4 m stays on span 1
    ASSERT_TRUE(o.ok) << o.reason;
    EXPECT_EQ(Cell(b, kLive, 1, 5), "3");  // the whole-span load followed
    b = before;
    const Outcome first = Paste(b, kSpans, 0, 0, "3\n6");
    EXPECT_EQ(first.reason.rfind("第1行第1列: ", 0), 0u) << first.reason;
    EXPECT_TRUE(SameBeam(b, before));
}

TEST(Paste, SettlementsAsTypedOneByOne) {
    Beam typed = Sample(), pasted = Sample();
    typed.cases[1].loads.push_back(Load::Settlement(3, 9));  // a repeat the cell hides
    pasted.cases[1].loads = typed.cases[1].loads;
    const std::vector<const char*> column = {"1", "", "0", "4"};
    std::string tsv;
    for (int r = 0; r < 4; ++r) {
        ASSERT_TRUE(SetCell(typed, kSupports, r, 4, column[static_cast<std::size_t>(r)]).ok);
        tsv += std::string(column[static_cast<std::size_t>(r)]) + "\n";
    }
    ASSERT_TRUE(Paste(pasted, kSupports, 0, 4, tsv).ok);
    EXPECT_EQ(Copy(pasted, kSupports, 0, 4, 0, 5), Copy(typed, kSupports, 0, 4, 0, 5));
    EXPECT_EQ(pasted.cases[1].loads.size(), 4u);  // the settlement of node 3 went
}

TEST(Paste, ManySpansAsOneEditQuickly) {
    std::string tsv;
    for (int i = 0; i < kMaxSpans; ++i) tsv += "5\t1\n";
    Beam b = NewBeam();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Paste(b, kSpans, 0, 0, tsv).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(b.N(), kMaxSpans);
    EXPECT_EQ(b.supports.size(), static_cast<std::size_t>(kMaxSpans) + 1);
    EXPECT_EQ(Copy(b, kSpans, 7, 1, 0, 2), "5\t1\n");
    EXPECT_FALSE(Paste(b, kSpans, kMaxSpans, 0, "5\t1").ok);  // one too many
}

struct SlabRow {
    const char* name;
    double L, lx, p;
    int sides;
    std::vector<double> x;  // the loads' x1 then x2
    double peak;
};

class SlabTest : public ::testing::TestWithParam<SlabRow> {};

TEST_P(SlabTest, TriangleOrTrapezoid) {
    const SlabRow& t = GetParam();
    Beam b = NewBeam(2);
    b.spans[1].L = t.L;
    ASSERT_TRUE(AddSlabShare(b, 0, 2, t.lx, t.p, t.sides).ok);
    std::vector<double> x;
    double peak = 0;
    for (const Load& l : b.cases[0].loads) {
        EXPECT_EQ(l.span, 2);
        x.insert(x.end(), {l.x1, l.x2});
        peak = std::max({peak, l.q1, l.q2});
    }
    EXPECT_EQ(x, t.x);
    EXPECT_DOUBLE_EQ(peak, t.peak);
}

INSTANTIATE_TEST_SUITE_P(
    Shares, SlabTest,
    ::testing::Values(SlabRow{"Trapezoid", 6, 4, 5, 2, {0, 2, 2, 4, 4, 6}, 20},
                      SlabRow{"TrapezoidOneSide", 6, 4, 5, 1, {0, 2, 2, 4, 4, 6}, 10},
                      SlabRow{"Triangle", 3, 4, 5, 1, {0, 1.5, 1.5, 3}, 7.5},
                      SlabRow{"SquarePanel", 4, 4, 5, 2, {0, 2, 2, 4}, 20}),
    [](const auto& info) { return std::string(info.param.name); });

// A random edit of the kinds the tables make, on a random beam.
void Mutate(Beam& b, std::mt19937& rng) {
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    switch (pick(6)) {
        case 0:
            InsertRows(b, kSpans, pick(b.N() + 1), 1 + pick(3));
            break;
        case 1:
            if (b.N() > 0) RemoveRows(b, kSpans, pick(b.N()), 1);
            break;
        case 2:
            if (b.N() > 0) SetCell(b, kSpans, pick(b.N()), 1, std::to_string(1 + pick(5)));
            break;
        case 3:
            InsertRows(b, kCases, pick(static_cast<int>(b.cases.size()) + 1), 1);
            break;
        case 4:
            if (b.N() > 0) SetCell(b, kLive, 0, 0, std::to_string(1 + pick(b.N())));
            break;
        default:
            b.EIo = std::nan("");
    }
}

TEST(BeamDiff, UndoAndRedoGiveBothBeams) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Beam before = Sample();
        for (int i = 0; i < 3; ++i) Mutate(before, rng);
        Beam after = before;
        for (int i = 0; i < 1 + round % 3; ++i) Mutate(after, rng);
        const BeamDiff d = Diff(before, after);
        EXPECT_EQ(d.Empty(), SameBeam(before, after));
        Beam undone = after;
        Undo(undone, d);
        ASSERT_TRUE(SameBeam(undone, before)) << round;
        Redo(undone, d);
        ASSERT_TRUE(SameBeam(undone, after)) << round;
    }
}

TEST(BeamDiff, OneCellOfALongBeamIsSmall) {
    const Beam before = NewBeam(kMaxSpans);
    Beam after = before;
    ASSERT_TRUE(SetCell(after, kSpans, 20000, 0, "7").ok);
    const BeamDiff d = Diff(before, after);
    ASSERT_TRUE(d.spans);
    EXPECT_EQ(d.spans->before.size() + d.spans->after.size(), 2u);
    EXPECT_FALSE(d.supports);
    EXPECT_TRUE(d.caseChanges.empty());
}

}  // namespace
}  // namespace cbeam::tables
