// The analysis driver of the input window: the results list and the refusals.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "ui/common/listbox.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/start/frmstart.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

class CalcAllTest : public UiTest {
  protected:
    // Types a beam of equal 4 m spans; `rigidity` gives EI of span k.
    frmInput* OpenTyped(int spans, double (*rigidity)(int) = nullptr) {
        auto* start = new frmStart(state, services);
        start->show();
        Type(start->txtN, QString::number(spans));
        for (int k = 1; k <= spans; ++k) {
            Choose(start->Combo1, k - 1);
            Replace(start->Text1, QStringLiteral("4"));
            if (rigidity) Replace(start->Text2, QString::number(rigidity(k)));
        }
        start->btnConfirm->click();
        DeleteLater();
        return Window<frmInput>();
    }
};

TEST_F(CalcAllTest, ListsOneLinePerNodeInNodeOrder) {
    frmInput* w = OpenTyped(1);
    ASSERT_NE(w, nullptr);
    w->optQ->click();
    Replace(w->txtQ, QStringLiteral("10"));
    // A fully loaded fixed-fixed span: q L^2 / 12 hogging at both ends.
    EXPECT_EQ(w->List1->Items(), QStringList({QStringLiteral("结点 1:13.333333"),
                                              QStringLiteral("结点 2:13.333333")}));

    frmInput* five = nullptr;
    w->Command3->click();
    DeleteLater();
    five = OpenTyped(5);
    ASSERT_NE(five, nullptr);
    ASSERT_EQ(five->List1->Count(), 6);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(five->List1->Item(k), QStringLiteral("结点 %1:0.000").arg(k + 1));
    }
}

TEST_F(CalcAllTest, PinnedEndsGiveZeroAtTheEnds) {
    frmInput* w = OpenTyped(3);
    for (int span = 0; span < 3; ++span) {
        Choose(w->cmbN, span);
        w->optQ->click();
    }
    Choose(w->cmbFlag0, 1);
    Choose(w->cmbFlagN, 1);
    ASSERT_EQ(w->List1->Count(), 4);
    EXPECT_EQ(w->List1->Item(0), QStringLiteral("结点 1:0.000"));
    EXPECT_EQ(w->List1->Item(3), QStringLiteral("结点 4:0.000"));
    EXPECT_NE(w->List1->Item(1), QStringLiteral("结点 2:0.000"));
    ExpectNoMessage();
}

TEST_F(CalcAllTest, OnlyTheFirstUndefinedSpanIsReported) {
    frmInput* w = OpenTyped(3, [](int k) { return k == 1 ? 1.0 : 0.0; });
    ASSERT_NE(w, nullptr);
    // The window's opening runs the analysis once.
    ExpectOnlyMessage(QStringLiteral("第 2跨未定义!"));
    EXPECT_EQ(w->List1->Count(), 0);
    // The flags were never taken from the boxes.
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(state.FlagN, kFalse);

    w->optQ->click();
    ExpectOnlyMessage(QStringLiteral("第 2跨未定义!"));
    Replace(w->txtQ, QStringLiteral("3"));
    ExpectOnlyMessage(QStringLiteral("第 2跨未定义!"));
    EXPECT_EQ(state.Q(1), 3.0);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(state.M(k), 0.0);
}

TEST_F(CalcAllTest, UnsolvableBeamIsRefusedAndLeavesTheResults) {
    // EI of +1 and -1 on equal spans cancel at the middle node.
    frmInput* w = OpenTyped(2, [](int k) { return k == 1 ? 1.0 : -1.0; });
    ASSERT_NE(w, nullptr);
    ExpectOnlyMessage(QStringLiteral("无法计算，请检查各跨的长度、刚度和荷载！"));
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(state.FlagN, kFalse);
    EXPECT_EQ(w->List1->Count(), 0);
    // Pinning the left end makes it solvable; the flags then follow the boxes.
    Choose(w->cmbFlag0, 1);
    ExpectNoMessage();
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(state.FlagN, kTrue);
    EXPECT_EQ(w->List1->Count(), 3);
    const QStringList solved = w->List1->Items();
    const QImage diagram = w->Picture2->Image().copy();
    // Clamping it again: refused, and list and diagram are those of the last solution.
    Choose(w->cmbFlag0, 0);
    ExpectOnlyMessage(QStringLiteral("无法计算，请检查各跨的长度、刚度和荷载！"));
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(w->List1->Items(), solved);
    EXPECT_EQ(w->Picture2->Image(), diagram);
}

}  // namespace
}  // namespace cbeam::test
