// The analysis driver of the input window: the results list and the refusals.
#include <QRadioButton>

#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using CalcAllTest = UiTest;

TEST_F(CalcAllTest, ListsOneLinePerNodeInNodeOrder) {
    frmInput* w = TypeBeam(1);
    ASSERT_NE(w, nullptr);
    w->optQ->click();
    Replace(w->txtQ, QStringLiteral("10"));
    // A fully loaded fixed-fixed span: q L^2 / 12 hogging at both ends.
    EXPECT_EQ(w->List1->Items(), QStringList({QStringLiteral("结点 1:13.333333"),
                                              QStringLiteral("结点 2:13.333333")}));
    w->Command3->click();
    DeleteLater();
    frmInput* five = TypeBeam(5);
    ASSERT_NE(five, nullptr);
    ASSERT_EQ(five->List1->Count(), 6);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(five->List1->Item(k), QStringLiteral("结点 %1:0.000").arg(k + 1));
    }
}

// "否" in an end box pins that end: 0.000 there, and the schematic shows it.
TEST_F(CalcAllTest, EndBoxesChangeResultsAndSchematic) {
    frmInput* w = TypeBeam(3);
    for (int span = 0; span < 3; ++span) {
        Choose(w->cmbN, span);
        w->optQ->click();
    }
    ASSERT_NE(state.M(1), 0.0);
    const QImage schematic = w->Picture1->Image().copy();
    Choose(w->cmbFlag0, 1);
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(w->List1->Item(0), QStringLiteral("结点 1:0.000"));
    EXPECT_NE(w->Picture1->Image(), schematic);
    Choose(w->cmbFlagN, 1);
    EXPECT_EQ(state.FlagN, kFalse);
    ASSERT_EQ(w->List1->Count(), 4);
    EXPECT_EQ(w->List1->Item(3), QStringLiteral("结点 4:0.000"));
    EXPECT_NE(w->List1->Item(1), QStringLiteral("结点 2:0.000"));
    Choose(w->cmbFlag0, 0);
    Choose(w->cmbFlagN, 0);
    EXPECT_EQ(w->Picture1->Image(), schematic);
    ExpectNoMessage();
}

TEST_F(CalcAllTest, OnlyTheFirstUndefinedSpanIsReported) {
    frmInput* w = TypeBeam(3, {1, 0, 0});
    ASSERT_NE(w, nullptr);
    // The window's opening runs the analysis once; the flags were never
    // taken from the boxes.
    ExpectOnlyMessage(QStringLiteral("第 2跨未定义!"));
    EXPECT_EQ(w->List1->Count(), 0);
    EXPECT_TRUE(state.Flag0 == kFalse && state.FlagN == kFalse);
    w->optQ->click();
    ExpectOnlyMessage(QStringLiteral("第 2跨未定义!"));
    Replace(w->txtQ, QStringLiteral("3"));
    ExpectOnlyMessage(QStringLiteral("第 2跨未定义!"));
    EXPECT_EQ(state.Q(1), 3.0);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(state.M(k), 0.0);
}

TEST_F(CalcAllTest, UnsolvableBeamIsRefusedAndLeavesTheResults) {
    const QString refusal = QStringLiteral("无法计算，请检查各跨的长度、刚度和荷载！");
    // EI of +1 and -1 on equal spans cancel at the middle node.
    frmInput* w = TypeBeam(2, {1, -1});
    ASSERT_NE(w, nullptr);
    ExpectOnlyMessage(refusal);
    EXPECT_TRUE(state.Flag0 == kFalse && state.FlagN == kFalse);
    EXPECT_EQ(w->List1->Count(), 0);
    // Pinning the left end makes it solvable; the flags then follow the boxes.
    Choose(w->cmbFlag0, 1);
    ExpectNoMessage();
    EXPECT_TRUE(state.Flag0 == kFalse && state.FlagN == kTrue);
    EXPECT_EQ(w->List1->Count(), 3);
    const QStringList solved = w->List1->Items();
    const QImage diagram = w->Picture2->Image().copy();
    // Clamping it again: refused, and list and diagram are those of the last solution.
    Choose(w->cmbFlag0, 0);
    ExpectOnlyMessage(refusal);
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(w->List1->Items(), solved);
    EXPECT_EQ(w->Picture2->Image(), diagram);
}

}  // namespace
}  // namespace cbeam::test
