// The input window: opening a typed and a loaded beam, load edits, end
// conditions, the way back, and the file commands.
#include <QLabel>
#include <QRadioButton>
#include <algorithm>

#include "files/report.h"
#include "ui/about/frmabout.h"
#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

QStringList Row(frmInput* w, int row) {
    return {w->ListI->Item(row), w->ListEI->Item(row), w->ListL->Item(row),
            w->ListC->Item(row), w->ListQ->Item(row),  w->ListA->Item(row)};
}

QStringList Fields(frmInput* w) {
    return {w->txtQ->text(), w->txtPosA->text()};
}

using Widgets = std::initializer_list<QWidget*>;
using InputTest = UiTest;

TEST_F(InputTest, TypedBeamOpensUnloadedWithBothEndsFixedAndBackKeepsIt) {
    QPointer<frmInput> w(TypeBeam(3));
    ASSERT_FALSE(w.isNull());
    ExpectNoMessage();
    EXPECT_EQ(w->size(), QSize(592, 505));
    EXPECT_EQ(w->Picture1->geometry(), QRect(8, 232, 577, 113));
    EXPECT_EQ(w->Picture2->geometry(), QRect(8, 344, 577, 161));
    EXPECT_EQ(w->Picture1->Surface().ScaleWidth(), 8595);
    EXPECT_EQ(w->Picture1->Surface().ScaleHeight(), 1635);
    EXPECT_EQ(QStringList({w->windowTitle(), w->cmbN->itemText(1), w->cmbFlag0->currentText(),
                           w->cmbFlagN->currentText()}),
              QStringList({"输入参数", " 2", "是", "是"}));
    EXPECT_TRUE(w->cmbN->count() == 3 && w->cmbN->currentIndex() == 0 && state.CurSpan == 1);
    EXPECT_TRUE(w->optNone->isChecked() && !w->optP->isChecked() && !w->optQ->isChecked());
    for (QWidget* field : Widgets{w->txtQ, w->txtPosA, w->lblQ, w->lbl_PerQ, w->lbl_L}) {
        EXPECT_TRUE(field->isHidden()) << field->objectName().toStdString();
    }
    EXPECT_TRUE(state.Flag0 == kTrue && state.FlagN == kTrue);
    EXPECT_EQ(Row(w, 0), QStringList({"第1跨", "1.00", "4.00", " 无荷载 ", "", ""}));
    EXPECT_TRUE(Row(w, 1) == QStringList(6, QString()) && Row(w, 2) == Row(w, 1));
    EXPECT_EQ(w->ListI->Count(), 3);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_TRUE(state.LoadType(k) == 0 && state.Q(k) == 0 && state.A(k) == 0) << k;
    }
    EXPECT_EQ(w->List1->Count(), 4);

    // Back: an empty start dialog, the beam kept.
    w->optQ->click();
    w->Command3->click();
    DeleteLater();
    EXPECT_TRUE(w.isNull());
    frmStart* start = Window<frmStart>();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(QStringList({start->txtN->text(), start->txtEI0->text()}), QStringList({"", "1"}));
    EXPECT_FALSE(start->Combo1->isEnabled());
    EXPECT_TRUE(state.InputMode == 1 && state.N == 3 && state.LoadType(1) == 1 && state.L(1) == 4);
}

TEST_F(InputTest, LoadedBeamOpensWithItsTableAndEnds) {
    BeamState beam = SampleBeam();
    beam.M(2) = 99;  // results in the file are replaced by the first analysis
    frmInput* w = LoadBeam(beam);
    ASSERT_NE(w, nullptr);
    ExpectNoMessage();
    // Row 0 is rewritten by the selection of span 1 while loading.
    EXPECT_EQ(Row(w, 0), QStringList({"第1跨", "2.00", "4.00", "均布荷载", "10.00", "1.00"}));
    EXPECT_EQ(Row(w, 1), QStringList({"第2跨", "1.5", "6.0", "集中荷载", "20.00", "0.25"}));
    EXPECT_EQ(Row(w, 2), QStringList({"第3跨", "1.0", "5.0", "均不荷载", "5.00", "0.50"}));
    EXPECT_TRUE(w->optQ->isChecked());
    for (QWidget* field :
         Widgets{w->txtQ, w->txtPosA, w->lblQ, w->lbl_PerQ, w->lblPosA, w->lbl_L}) {
        EXPECT_FALSE(field->isHidden()) << field->objectName().toStdString();
    }
    EXPECT_EQ(
        QStringList({w->lblQ->text(), w->lbl_PerQ->text(), w->txtQ->text(), w->txtPosA->text(),
                     w->cmbFlag0->currentText(), w->cmbFlagN->currentText()}),
        QStringList({"Q =", "kN/m", "10.00", "1.00", "是", "否"}));
    EXPECT_TRUE(state.Flag0 == kTrue && state.FlagN == kFalse);
    EXPECT_TRUE(state.M(4) == 0.0 && state.M(2) != 99.0);
    EXPECT_EQ(w->List1->Count(), 4);
}

TEST_F(InputTest, TracedRequestPointLoadOnSpanTwoThenSave) {
    frmInput* w = TypeBeam(2);
    ASSERT_NE(w, nullptr);
    Choose(w->cmbN, 1);
    EXPECT_EQ(state.CurSpan, 2);
    const QStringList before = w->List1->Items();
    const QImage schematicBefore = w->Picture1->Image().copy();

    w->optP->click();
    EXPECT_EQ(state.LoadType(2), 2);
    EXPECT_EQ(
        QStringList({w->txtQ->text(), w->txtPosA->text(), w->lblQ->text(), w->lbl_PerQ->text()}),
        QStringList({"1", "0.5", "P =", "kN"}));
    EXPECT_TRUE(state.Q(2) == 1.0 && state.A(2) == 0.5);
    EXPECT_EQ(Row(w, 1).mid(3), QStringList({"集中荷载", "1.00", "0.50"}));
    EXPECT_NE(w->Picture1->Image(), schematicBefore);

    const QImage diagramAtOne = w->Picture2->Image().copy();
    w->txtQ->selectAll();
    QTest::keyClicks(w->txtQ, QStringLiteral("20"));
    ExpectNoMessage();
    EXPECT_EQ(state.Q(2), 20.0);
    EXPECT_EQ(Row(w, 1)[4], QStringLiteral("20.00"));
    const QStringList after = w->List1->Items();
    ASSERT_EQ(after.size(), 3);
    EXPECT_NE(after, before);
    EXPECT_TRUE(after[0].startsWith(QStringLiteral("结点 1:")));
    EXPECT_TRUE(after[2].startsWith(QStringLiteral("结点 3:")));
    EXPECT_NE(w->Picture2->Image(), diagramAtOne);

    const std::string path = dir.File("traced.bmf");
    services.fileAnswers = {QString::fromStdString(path)};
    w->CmdSave->click();
    ExpectNoMessage();
    EXPECT_EQ(testing::ReadAll(path).size(), 3u * kRecordSize);
}

TEST_F(InputTest, LoadKindsStartFromDefaultsAndKeepValuesAcrossSwitches) {
    frmInput* w = TypeBeam(2);
    w->optQ->click();
    EXPECT_EQ(Fields(w), QStringList({"1", "1"}));
    EXPECT_TRUE(state.Q(1) == 1.0 && state.A(1) == 1.0);
    EXPECT_EQ(w->ListC->Item(0), QStringLiteral("均布荷载"));
    Replace(w->txtQ, QStringLiteral("12.3456"));
    Replace(w->txtPosA, QStringLiteral("0.123"));

    Choose(w->cmbN, 1);
    EXPECT_TRUE(w->optNone->isChecked());
    w->optP->click();
    Replace(w->txtQ, QStringLiteral("0"));
    // Showing a span again keeps its exact load behind the rounded texts,
    // and a point load of 0 is not reset to the defaults.
    Choose(w->cmbN, 0);
    EXPECT_TRUE(w->optQ->isChecked());
    EXPECT_EQ(Fields(w), QStringList({"12.35", "0.12"}));
    EXPECT_TRUE(state.Q(1) == 12.3456 && state.A(1) == 0.123);
    Choose(w->cmbN, 1);
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("0.00"));
    EXPECT_TRUE(state.Q(2) == 0.0 && state.A(2) == 0.5);

    Replace(w->txtQ, QStringLiteral("20"));
    Replace(w->txtPosA, QStringLiteral("0.25"));
    w->optNone->click();
    EXPECT_TRUE(w->txtQ->isHidden());
    EXPECT_EQ(state.LoadType(2), 0);
    EXPECT_EQ(w->ListC->Item(1), QStringLiteral(" 无荷载 "));
    EXPECT_EQ(w->ListQ->Item(1), QStringLiteral("20.00"));  // kept
    w->optQ->click();
    EXPECT_EQ(Fields(w), QStringList({"20.00", "0.25"}));
    EXPECT_TRUE(state.LoadType(2) == 1 && state.Q(2) == 20.0 && state.A(2) == 0.25);
    ExpectNoMessage();
}

TEST_F(InputTest, MagnitudeAndPositionChecks) {
    frmInput* w = TypeBeam(1);
    w->optP->click();
    w->txtQ->selectAll();
    QTest::keyClick(w->txtQ, Qt::Key_Minus);
    ExpectNoMessage();
    EXPECT_EQ(state.Q(1), 0.0);  // "-" alone reads as 0, which is accepted
    const QStringList list = w->List1->Items();
    QTest::keyClick(w->txtQ, Qt::Key_5);
    ExpectOnlyMessage(QStringLiteral("荷载必须大于零!"));
    EXPECT_EQ(state.Q(1), 0.0);
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("-5"));
    EXPECT_EQ(w->List1->Items(), list);
    QTest::keyClick(w->txtQ, Qt::Key_0);  // "-50": refused again
    ExpectOnlyMessage(QStringLiteral("荷载必须大于零!"));

    Replace(w->txtQ, QStringLiteral("1e999"));
    ExpectOnlyMessage(QStringLiteral("数值超出范围！"));
    EXPECT_EQ(state.Q(1), 0.0);
    Replace(w->txtQ, QStringLiteral("abc"));
    ExpectNoMessage();
    EXPECT_EQ(state.Q(1), 0.0);

    const QString messages[] = {QString(), QStringLiteral("a必须在0-1之间!"),
                                QStringLiteral("数值超出范围！")};
    const struct {
        const char* text;
        int message;  // 0: accepted
        double stored;
    } cases[] = {{"1.01", 1, 0.5}, {"-0.1", 1, 0.5}, {"0", 0, 0.0},    {"1", 0, 1.0},
                 {"0.3", 0, 0.3},  {"2", 1, 0.3},    {"1e999", 2, 0.3}};
    for (const auto& c : cases) {
        Replace(w->txtPosA, QString::fromLatin1(c.text));
        c.message ? ExpectOnlyMessage(messages[c.message]) : ExpectNoMessage();
        EXPECT_EQ(state.A(1), c.stored) << c.text;
        EXPECT_EQ(w->txtPosA->text(), QString::fromLatin1(c.text));
    }
}

TEST_F(InputTest, AboutButtonShowsOneModelessAboutBox) {
    frmInput* w = TypeBeam(1);
    w->Command2->click();
    w->Command2->click();
    const QWidgetList tops = QApplication::topLevelWidgets();
    EXPECT_EQ(
        std::count_if(tops.begin(), tops.end(),
                      [](QWidget* t) { return dynamic_cast<frmAbout*>(t) && t->isVisible(); }),
        1);
    ASSERT_NE(Window<frmAbout>(), nullptr);
    EXPECT_FALSE(Window<frmAbout>()->isModal());
}

// Cancel, failure, then success for both file commands: a beam saved under a
// typed name without extension loads back unchanged, and the report equals
// the report of the state.
TEST_F(InputTest, FileCommands) {
    frmInput* w = LoadBeam(SampleBeam());
    ASSERT_NE(w, nullptr);
    const std::string typed = dir.File("roundtrip"), txt = dir.File("window.txt");
    services.fileAnswers = {QString(), QStringLiteral("/nonexistent-dir/beam.bmf"),
                            QString::fromStdString(typed)};
    w->CmdSave->click();
    ExpectNoMessage();
    w->CmdSave->click();
    ExpectOnlyMessage(QStringLiteral("保存数据文件失败！\n文件或文件夹不存在"));
    w->CmdSave->click();
    ExpectNoMessage();
    EXPECT_EQ(services.dialogPresets.back(), QStringLiteral("*.bmf"));
    EXPECT_EQ(
        services.dialogFilters.back(),
        QStringLiteral("连续梁bmf文档(*.bmf)|*.bmf| Text 文档(*.txt)|*.txt|All Files(*.*)|*.*"));
    BeamState again;
    ASSERT_TRUE(LoadBeamFile(typed + ".bmf", again));
    const BeamState original = SampleBeam();
    EXPECT_TRUE(again.N == state.N && again.EIo == state.EIo && again.L == state.L &&
                again.EI == state.EI && again.LoadType == state.LoadType && again.Q == state.Q &&
                again.A == state.A && again.Flag0 == state.Flag0 && again.FlagN == state.FlagN &&
                again.M == state.M);
    EXPECT_TRUE(again.L == original.L && again.Q == original.Q && again.A == original.A);

    services.fileAnswers = {QString(), QStringLiteral("/nonexistent-dir/report"),
                            QString::fromStdString(txt)};
    w->saveTXT->click();
    ExpectNoMessage();
    w->saveTXT->click();
    ExpectOnlyMessage(QStringLiteral("保存txt文件失败！\n文件或文件夹不存在"));
    w->saveTXT->click();
    ExpectNoMessage();
    EXPECT_EQ(services.dialogPresets.back(), QStringLiteral("*.txt"));
    EXPECT_EQ(services.dialogFilters.back(),
              QStringLiteral(" Text 文档(*.txt)|*.txt|All Files(*.*)|*.*"));
    ASSERT_TRUE(SaveReport(dir.File("direct.txt"), state));
    EXPECT_FALSE(testing::ReadAll(txt).empty());
    EXPECT_EQ(testing::ReadAll(txt), testing::ReadAll(dir.File("direct.txt")));
}

}  // namespace
}  // namespace cbeam::test
