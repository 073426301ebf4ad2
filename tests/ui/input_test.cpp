// The input window: opening a typed and a loaded beam, load edits, end
// conditions, the way back, and the file commands.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "files/bmf.h"
#include "files/report.h"
#include "ui/common/listbox.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/start/frmstart.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

class InputTest : public UiTest {
  protected:
    // A beam typed in the start dialog: `spans` spans, span 1 of length 4.
    frmInput* OpenTyped(int spans) {
        auto* start = new frmStart(state, services);
        start->show();
        Type(start->txtN, QString::number(spans));
        Replace(start->Text1, QStringLiteral("4"));
        start->btnConfirm->click();
        DeleteLater();
        return Window<frmInput>();
    }
    // A beam loaded from a file through the start dialog.
    frmInput* OpenLoaded(const BeamState& beam, const std::string& name) {
        const std::string path = TempPath(name);
        EXPECT_TRUE(SaveBeamFile(path, beam).ok);
        auto* start = new frmStart(state, services);
        start->show();
        services.fileAnswers = {QString::fromStdString(path)};
        start->Command1->click();
        DeleteLater();
        return Window<frmInput>();
    }
    static QStringList Row(frmInput* w, int row) {
        return {w->ListI->Item(row), w->ListEI->Item(row), w->ListL->Item(row),
                w->ListC->Item(row), w->ListQ->Item(row),  w->ListA->Item(row)};
    }
    static bool FieldsShown(frmInput* w) {
        return !w->txtQ->isHidden() && !w->txtPosA->isHidden() && !w->lblQ->isHidden() &&
               !w->lbl_PerQ->isHidden() && !w->lblPosA->isHidden() && !w->lbl_L->isHidden();
    }
};

TEST_F(InputTest, TypedBeamOpensUnloadedWithBothEndsFixed) {
    frmInput* w = OpenTyped(3);
    ASSERT_NE(w, nullptr);
    ExpectNoMessage();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("输入参数"));
    EXPECT_EQ(w->size(), QSize(592, 505));
    EXPECT_EQ(w->Picture1->geometry(), QRect(8, 232, 577, 113));
    EXPECT_EQ(w->Picture2->geometry(), QRect(8, 344, 577, 161));
    EXPECT_EQ(w->Picture1->Surface().ScaleWidth(), 8595);
    EXPECT_EQ(w->Picture1->Surface().ScaleHeight(), 1635);
    EXPECT_EQ(w->cmbN->count(), 3);
    EXPECT_EQ(w->cmbN->itemText(1), QStringLiteral(" 2"));
    EXPECT_EQ(w->cmbN->currentIndex(), 0);
    EXPECT_EQ(state.CurSpan, 1);
    EXPECT_TRUE(w->optNone->isChecked());
    EXPECT_FALSE(w->optP->isChecked() || w->optQ->isChecked());
    EXPECT_TRUE(w->txtQ->isHidden());
    EXPECT_TRUE(w->txtPosA->isHidden());
    EXPECT_TRUE(w->lblQ->isHidden() && w->lbl_PerQ->isHidden() && w->lbl_L->isHidden());
    EXPECT_EQ(w->cmbFlag0->currentText(), QStringLiteral("是"));
    EXPECT_EQ(w->cmbFlagN->currentText(), QStringLiteral("是"));
    EXPECT_EQ(state.Flag0, kTrue);
    EXPECT_EQ(state.FlagN, kTrue);
    EXPECT_EQ(Row(w, 0),
              QStringList({QStringLiteral("第1跨"), QStringLiteral("1.00"), QStringLiteral("4.00"),
                           QStringLiteral(" 无荷载 "), QString(), QString()}));
    EXPECT_EQ(Row(w, 1), QStringList(6, QString()));
    EXPECT_EQ(Row(w, 2), QStringList(6, QString()));
    EXPECT_EQ(w->ListI->Count(), 3);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(state.LoadType(k), 0);
        EXPECT_EQ(state.Q(k), 0.0);
        EXPECT_EQ(state.A(k), 0.0);
    }
    EXPECT_EQ(w->List1->Count(), 4);
}

TEST_F(InputTest, LoadedBeamOpensWithItsTableAndEnds) {
    BeamState beam = SampleBeam();
    beam.M(2) = 99;  // results in the file are replaced by the first analysis
    frmInput* w = OpenLoaded(beam, "input_loaded.bmf");
    ASSERT_NE(w, nullptr);
    ExpectNoMessage();
    // Row 0 is rewritten by the selection of span 1 while loading.
    EXPECT_EQ(Row(w, 0), QStringList({QStringLiteral("第1跨"), QStringLiteral("2.00"),
                                      QStringLiteral("4.00"), QStringLiteral("均布荷载"),
                                      QStringLiteral("10.00"), QStringLiteral("1.00")}));
    EXPECT_EQ(Row(w, 1), QStringList({QStringLiteral("第2跨"), QStringLiteral("1.5"),
                                      QStringLiteral("6.0"), QStringLiteral("集中荷载"),
                                      QStringLiteral("20.00"), QStringLiteral("0.25")}));
    EXPECT_EQ(Row(w, 2), QStringList({QStringLiteral("第3跨"), QStringLiteral("1.0"),
                                      QStringLiteral("5.0"), QStringLiteral("均不荷载"),
                                      QStringLiteral("5.00"), QStringLiteral("0.50")}));
    EXPECT_TRUE(w->optQ->isChecked());
    EXPECT_TRUE(FieldsShown(w));
    EXPECT_EQ(w->lblQ->text(), QStringLiteral("Q ="));
    EXPECT_EQ(w->lbl_PerQ->text(), QStringLiteral("kN/m"));
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("10.00"));
    EXPECT_EQ(w->txtPosA->text(), QStringLiteral("1.00"));
    EXPECT_EQ(w->cmbFlag0->currentText(), QStringLiteral("是"));
    EXPECT_EQ(w->cmbFlagN->currentText(), QStringLiteral("否"));
    EXPECT_EQ(state.Flag0, kTrue);
    EXPECT_EQ(state.FlagN, kFalse);
    EXPECT_EQ(state.M(4), 0.0);
    EXPECT_NE(state.M(2), 99.0);
    EXPECT_EQ(w->List1->Count(), 4);
}

TEST_F(InputTest, TracedRequestPointLoadOnSpanTwoThenSave) {
    frmInput* w = OpenTyped(2);
    ASSERT_NE(w, nullptr);
    Choose(w->cmbN, 1);
    EXPECT_EQ(state.CurSpan, 2);
    EXPECT_EQ(Row(w, 1)[0], QStringLiteral("第2跨"));
    const QStringList before = w->List1->Items();
    const QImage diagramBefore = w->Picture2->Image().copy();
    const QImage schematicBefore = w->Picture1->Image().copy();

    w->optP->click();
    EXPECT_EQ(state.LoadType(2), 2);
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("1"));
    EXPECT_EQ(w->txtPosA->text(), QStringLiteral("0.5"));
    EXPECT_EQ(w->lblQ->text(), QStringLiteral("P ="));
    EXPECT_EQ(w->lbl_PerQ->text(), QStringLiteral("kN"));
    EXPECT_EQ(state.Q(2), 1.0);
    EXPECT_EQ(state.A(2), 0.5);
    EXPECT_EQ(Row(w, 1).mid(3), QStringList({QStringLiteral("集中荷载"), QStringLiteral("1.00"),
                                             QStringLiteral("0.50")}));
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
    EXPECT_NE(w->Picture2->Image(), diagramBefore);

    const std::string path = TempPath("traced.bmf");
    services.fileAnswers = {QString::fromStdString(path)};
    w->CmdSave->click();
    ExpectNoMessage();
    EXPECT_EQ(ReadAll(path).size(), 3u * kRecordSize);
}

TEST_F(InputTest, LoadKindsStartFromDefaultsAndKeepValuesAcrossSwitches) {
    frmInput* w = OpenTyped(2);
    w->optQ->click();
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("1"));
    EXPECT_EQ(w->txtPosA->text(), QStringLiteral("1"));
    EXPECT_EQ(state.Q(1), 1.0);
    EXPECT_EQ(state.A(1), 1.0);
    EXPECT_EQ(w->ListC->Item(0), QStringLiteral("均布荷载"));

    Choose(w->cmbN, 1);
    EXPECT_TRUE(w->optNone->isChecked());
    w->optP->click();
    Replace(w->txtQ, QStringLiteral("20"));
    Replace(w->txtPosA, QStringLiteral("0.25"));
    w->optNone->click();
    EXPECT_TRUE(w->txtQ->isHidden());
    EXPECT_EQ(state.LoadType(2), 0);
    EXPECT_EQ(w->ListC->Item(1), QStringLiteral(" 无荷载 "));
    EXPECT_EQ(w->ListQ->Item(1), QStringLiteral("20.00"));  // kept
    w->optQ->click();
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("20.00"));
    EXPECT_EQ(w->txtPosA->text(), QStringLiteral("0.25"));
    EXPECT_EQ(state.LoadType(2), 1);
    EXPECT_EQ(state.Q(2), 20.0);
    EXPECT_EQ(state.A(2), 0.25);

    // Going back to span 1 shows its uniform load again.
    Choose(w->cmbN, 0);
    EXPECT_TRUE(w->optQ->isChecked());
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("1.00"));
    ExpectNoMessage();
}

TEST_F(InputTest, ShowingASpanAgainKeepsItsExactLoad) {
    frmInput* w = OpenTyped(2);
    w->optQ->click();
    Replace(w->txtQ, QStringLiteral("12.3456"));
    Replace(w->txtPosA, QStringLiteral("0.123"));
    Choose(w->cmbN, 1);
    w->optP->click();
    Replace(w->txtQ, QStringLiteral("0"));
    Choose(w->cmbN, 0);
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("12.35"));
    EXPECT_EQ(w->txtPosA->text(), QStringLiteral("0.12"));
    EXPECT_EQ(state.Q(1), 12.3456);
    EXPECT_EQ(state.A(1), 0.123);
    Choose(w->cmbN, 1);  // a point load of 0 is not reset to the defaults
    EXPECT_EQ(w->txtQ->text(), QStringLiteral("0.00"));
    EXPECT_EQ(state.Q(2), 0.0);
    EXPECT_EQ(state.A(2), 0.5);
}

TEST_F(InputTest, MagnitudeIsCheckedKeystrokeByKeystroke) {
    frmInput* w = OpenTyped(1);
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
}

TEST_F(InputTest, PositionMustLieBetweenZeroAndOne) {
    frmInput* w = OpenTyped(1);
    w->optP->click();
    const struct {
        const char* text;
        bool accepted;
        double stored;
    } cases[] = {{"1.01", false, 0.5}, {"-0.1", false, 0.5}, {"0", true, 0.0},     {"1", true, 1.0},
                 {"0.3", true, 0.3},   {"2", false, 0.3},    {"1e999", false, 0.3}};
    for (const auto& c : cases) {
        Replace(w->txtPosA, QString::fromLatin1(c.text));
        if (c.accepted) {
            ExpectNoMessage();
        } else {
            ExpectOnlyMessage(c.text == std::string("1e999") ? QStringLiteral("数值超出范围！")
                                                             : QStringLiteral("a必须在0-1之间!"));
        }
        EXPECT_EQ(state.A(1), c.stored) << c.text;
        EXPECT_EQ(w->txtPosA->text(), QString::fromLatin1(c.text));
    }
}

TEST_F(InputTest, EndBoxesChangeResultsAndSchematic) {
    frmInput* w = OpenTyped(2);
    w->optQ->click();
    ASSERT_NE(state.M(1), 0.0);
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

TEST_F(InputTest, BackOpensAnEmptyStartDialogAndKeepsTheBeam) {
    QPointer<frmInput> w(OpenTyped(3));
    ASSERT_FALSE(w.isNull());
    w->optQ->click();
    w->Command3->click();
    DeleteLater();
    EXPECT_TRUE(w.isNull());
    frmStart* start = Window<frmStart>();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->txtN->text(), QString());
    EXPECT_EQ(start->txtEI0->text(), QStringLiteral("1"));
    EXPECT_FALSE(start->Combo1->isEnabled());
    EXPECT_EQ(state.InputMode, 1);
    EXPECT_EQ(state.N, 3);
    EXPECT_EQ(state.LoadType(1), 1);
    EXPECT_EQ(state.L(1), 4.0);
}

TEST_F(InputTest, AboutButtonShowsTheAboutBox) {
    frmInput* w = OpenTyped(1);
    w->Command2->click();
    w->Command2->click();
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QStringLiteral("frmAbout") && top->isVisible()) {
            ++shown;
            EXPECT_FALSE(top->isModal());
        }
    }
    EXPECT_EQ(shown, 1);
}

TEST_F(InputTest, LoadSaveLoadGivesTheSameBeam) {
    frmInput* w = OpenLoaded(SampleBeam(), "roundtrip_a.bmf");
    ASSERT_NE(w, nullptr);
    const std::string typed = TempPath("roundtrip_b");  // no extension typed
    services.fileAnswers = {QString::fromStdString(typed)};
    w->CmdSave->click();
    ExpectNoMessage();
    EXPECT_EQ(services.dialogPresets.back(), QStringLiteral("*.bmf"));
    EXPECT_EQ(
        services.dialogFilters.back(),
        QStringLiteral("连续梁bmf文档(*.bmf)|*.bmf| Text 文档(*.txt)|*.txt|All Files(*.*)|*.*"));

    BeamState again;
    ASSERT_TRUE(LoadBeamFile(typed + ".bmf", again).ok);
    EXPECT_EQ(again.N, state.N);
    EXPECT_EQ(again.EIo, state.EIo);
    EXPECT_EQ(again.L, state.L);
    EXPECT_EQ(again.EI, state.EI);
    EXPECT_EQ(again.LoadType, state.LoadType);
    EXPECT_EQ(again.Q, state.Q);
    EXPECT_EQ(again.A, state.A);
    EXPECT_EQ(again.Flag0, state.Flag0);
    EXPECT_EQ(again.FlagN, state.FlagN);
    EXPECT_EQ(again.M, state.M);
    const BeamState original = SampleBeam();
    EXPECT_EQ(again.L, original.L);
    EXPECT_EQ(again.Q, original.Q);
    EXPECT_EQ(again.A, original.A);
}

TEST_F(InputTest, ReportThroughTheWindowEqualsTheReportOfTheState) {
    frmInput* w = OpenLoaded(SampleBeam(), "report_beam.bmf");
    ASSERT_NE(w, nullptr);
    const std::string path = TempPath("report_window.txt");
    services.fileAnswers = {QString::fromStdString(path)};
    w->saveTXT->click();
    ExpectNoMessage();
    EXPECT_EQ(services.dialogPresets.back(), QStringLiteral("*.txt"));
    EXPECT_EQ(services.dialogFilters.back(),
              QStringLiteral(" Text 文档(*.txt)|*.txt|All Files(*.*)|*.*"));
    const std::string direct = TempPath("report_direct.txt");
    ASSERT_TRUE(SaveReport(direct, state).ok);
    EXPECT_FALSE(ReadAll(path).empty());
    EXPECT_EQ(ReadAll(path), ReadAll(direct));
}

TEST_F(InputTest, FileCommandsReportFailuresAndStaySilentOnCancel) {
    frmInput* w = OpenTyped(1);
    const QString nowhere = QStringLiteral("/nonexistent-dir/beam.bmf");
    services.fileAnswers = {QString(), nowhere};
    w->CmdSave->click();
    ExpectNoMessage();
    w->CmdSave->click();
    ExpectOnlyMessage(QStringLiteral("保存数据文件失败！"));
    services.fileAnswers = {QString(), QStringLiteral("/nonexistent-dir/report")};
    w->saveTXT->click();
    ExpectNoMessage();
    w->saveTXT->click();
    ExpectOnlyMessage(QStringLiteral("保存txt文件失败！"));
}

}  // namespace
}  // namespace cbeam::test
