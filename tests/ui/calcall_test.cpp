// The analysis driver in the input window: the results list, the refusals,
// and what the file commands make of a refused analysis.
#include <QRadioButton>

#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using CalcAllTest = UiTest;

// "否" pins an end: 0.000 there, the flag at once, and the schematic shows it.
TEST_F(CalcAllTest, ResultsListAndEndBoxes) {
    frmInput* w = TypeBeam(2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->List1->Items(), QStringList({"结点 1:0.000", "结点 2:0.000", "结点 3:0.000"}));
    w->optQ->click();
    Replace(w->txtQ, QStringLiteral("10"));
    // A fully loaded clamped span next to an unloaded one.
    EXPECT_EQ(w->List1->Item(0), QStringLiteral("结点 1:16.666667"));
    const QImage schematic = w->Picture1->Image().copy();
    Choose(w->cmbFlag0, 1);
    EXPECT_EQ(state.Flag0, kFalse);
    EXPECT_EQ(w->List1->Item(0), QStringLiteral("结点 1:0.000"));
    EXPECT_NE(w->Picture1->Image(), schematic);
    Choose(w->cmbFlagN, 1);
    EXPECT_EQ(state.FlagN, kFalse);
    EXPECT_EQ(w->List1->Item(2), QStringLiteral("结点 3:0.000"));
    Choose(w->cmbFlag0, 0);
    Choose(w->cmbFlagN, 0);
    EXPECT_EQ(w->Picture1->Image(), schematic);
    ExpectNoMessage();
}

// A refused analysis leaves list and diagram, but the flags follow the boxes,
// 保存 writes no results of another beam and 存为txt is refused.
TEST_F(CalcAllTest, RefusedAnalyses) {
    const struct {
        const char* name;
        std::vector<double> ei;
        const char* message;
    } rows[] = {
        {"undefined span", {1, 0, 0}, "第 2跨未定义!"},
        {"EI +1 and -1 cancelling", {1, -1, 1}, "无法计算，请检查各跨的长度、刚度和荷载！"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        frmInput* w = TypeBeam(3, r.ei);
        ASSERT_NE(w, nullptr);
        ExpectOnlyMessage(QString::fromUtf8(r.message));
        EXPECT_TRUE(state.Flag0 == kTrue && state.FlagN == kTrue && w->List1->Count() == 0);
        Choose(w->cmbFlag0, 1);  // solvable now when the rigidities cancel
        const bool solved = services.messages.empty();
        services.messages.clear();
        Choose(w->cmbFlag0, 0);
        ExpectOnlyMessage(QString::fromUtf8(r.message));
        EXPECT_EQ(state.Flag0, kTrue);
        EXPECT_EQ(w->List1->Count(), solved ? 4 : 0) << "the last results stay shown";
        services.fileAnswers = {QString::fromStdString(dir.File("b.bmf")),
                                QString::fromStdString(dir.File("r.txt"))};
        services.replaceAnswers = {true};  // the first row's file
        w->CmdSave->click();
        w->saveTXT->click();
        ExpectOnlyMessage(QString::fromUtf8(r.message));
        EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
        BeamState saved;
        ASSERT_TRUE(LoadBeamFile(dir.File("b.bmf"), saved));
        EXPECT_TRUE(saved.Flag0 == kTrue && saved.FlagN == kTrue && saved.EI == state.EI);
        for (int k = 1; k <= 4; ++k) EXPECT_TRUE(saved.M(k) == 0 && saved.Theta(k) == 0) << k;
        w->Command3->click();
        DeleteLater();
    }
}

}  // namespace
}  // namespace cbeam::test
