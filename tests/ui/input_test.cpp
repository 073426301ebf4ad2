// The input window: a typed and a loaded beam, load edits and their checks,
// the way back, the About box and the file commands.
#include <QLabel>
#include <QRadioButton>
#include <QWheelEvent>

#include "files/report.h"
#include "model/driver.h"
#include "ui/about/frmabout.h"
#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

QString Row(frmInput* w, int k) {  // row k of the span table
    return QStringList({w->ListI->Item(k), w->ListEI->Item(k), w->ListL->Item(k), w->ListC->Item(k),
                        w->ListQ->Item(k), w->ListA->Item(k)})
        .join(u'|');
}
QString Load(frmInput* w) {  // the kind chosen, then the load fields when shown
    QString shown = w->optNone->isChecked() ? "none"
                    : w->optP->isChecked()  ? "P"
                    : w->optQ->isChecked()  ? "Q"
                                            : "no kind";
    const std::initializer_list<QWidget*> fields = {w->lblQ,    w->txtQ,    w->lbl_PerQ,
                                                    w->lblPosA, w->txtPosA, w->lbl_L};
    const auto hidden =
        std::count_if(fields.begin(), fields.end(), [](auto f) { return f->isHidden(); });
    if (hidden == 0)
        shown += QStringList({"", w->lblQ->text(), w->txtQ->text(), w->lbl_PerQ->text(),
                              w->txtPosA->text()})
                     .join(u'|');
    return hidden % 6 ? shown + "|some fields hidden" : shown;
}

using InputTest = UiTest;

TEST_F(InputTest, TypedBeamOpensUnloadedWithBothEndsFixedAndBackKeepsIt) {
    QPointer<frmInput> w(TypeBeam(3));
    ASSERT_TRUE(w);
    ASSERT_EQ(Took(), QStringList());
    EXPECT_EQ(
        QStringList({w->windowTitle(), w->cmbN->itemText(2), w->cmbFlag0->currentText(),
                     w->cmbFlagN->currentText(), Load(w), Row(w, 0), Row(w, 1), Row(w, 2)}),
        QStringList({"输入参数 - 未命名*", " 3", "是", "是", "none", "第1跨|1.00|4.00| 无荷载 ||",
                     "第2跨|1.00|4.00| 无荷载 ||", "第3跨|1.00|4.00| 无荷载 ||"}));
    EXPECT_EQ(std::tuple(w->cmbN->currentIndex(), state.CurSpan, state.Flag0, state.FlagN),
              std::tuple(0, 1, kTrue, kTrue));
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(std::tuple(state.LoadType(k), state.Q(k)), std::tuple(0, 0.0)) << k;
    EXPECT_EQ(w->List1->Count(), 4);  // the moments at the four nodes
    w->optQ->click();
    Activate(w);
    QTest::mouseClick(w->txtQ, Qt::LeftButton);
    Keys("7");             // typed over the 1 shown
    w->Command3->click();  // back: a start dialog holding the beam
    DeleteLater();
    ASSERT_TRUE(w.isNull());
    ASSERT_NE(Window<frmStart>(), nullptr);
    EXPECT_EQ(Window<frmStart>()->txtN->text(), "3");
    EXPECT_TRUE(Window<frmStart>()->Combo1->isEnabled());
    EXPECT_EQ(std::tuple(state.InputMode, state.N, state.Q(1), state.L(1)),
              std::tuple(1, 3, 7.0, 4.0));
}

// Rows: counts typed in the start dialog that the back button fills with the
// beam. Confirmed, every span left keeps its load, the ends stay, a span
// added has no load.
TEST_F(InputTest, BackAndConfirmKeepsLoadsAndEnds) {
    for (const char* counts : {"", "2,4"}) {
        SCOPED_TRACE(counts);
        frmInput* w = LoadBeam(SampleBeam());
        Choose(w->cmbN, 1);
        w->optNone->click();  // span 2 keeps P = 20 for a later switch back
        const QStringList before = QString::fromStdString(Dump(state)).split(u'\n');
        Open(w->Command3);
        frmStart* start = Window<frmStart>();
        ASSERT_TRUE(start);
        EXPECT_EQ(QStringList({start->txtN->text(), start->txtEI0->text(), start->Text1->text(),
                               start->Text2->text(), start->Combo1->itemText(2)}),
                  QStringList({"3", "2", " 4", " 2", " 3"}));
        for (const QString& count : QString(counts).split(u',', Qt::SkipEmptyParts))
            Replace(start->txtN, count);
        w = Open(start->btnConfirm);
        ASSERT_TRUE(w);
        ASSERT_EQ(Took(), QStringList());
        const QStringList after = QString::fromStdString(Dump(state)).split(u'\n');
        EXPECT_EQ(after.mid(1, 3), before.mid(1, 3));
        EXPECT_EQ(*counts ? after.mid(0, 1) + after.mid(4, 1) : after,
                  *counts ? QStringList({"N=4 EIo=2 ends -10", " span 4: L=1 EI=1 kind 0 Q=0 A=0"})
                          : before);
        EXPECT_EQ(state.Q(2), 20);
        EXPECT_EQ(w->cmbFlagN->currentText(), "否");
        TearDown();
    }
}

TEST_F(InputTest, LoadedBeamOpensWithItsTableAndEnds) {
    BeamState beam = SampleBeam();
    beam.M(2) = 99;  // results in the file give way to the first analysis
    frmInput* w = LoadBeam(beam);
    ASSERT_TRUE(w);
    ASSERT_EQ(Took(), QStringList());
    // Row 0 is rewritten by the selection of span 1 while loading.
    EXPECT_EQ(
        QStringList({Row(w, 0), Row(w, 1), Row(w, 2), Load(w), w->cmbFlag0->currentText(),
                     w->cmbFlagN->currentText()}),
        QStringList({"第1跨|2.00|4.00|均布荷载|10.00|1.00", "第2跨|1.5|6.0|集中荷载|20.00|0.25",
                     "第3跨|1.0|5.0|均不荷载|5.00|0.50", "Q|Q =|10.00|kN/m|1.00", "是", "否"}));
    Choose(w->cmbN, 1);
    EXPECT_EQ(Load(w), "P|P =|20.00|kN|0.25");
    EXPECT_EQ(std::tuple(state.Flag0, state.FlagN), std::tuple(kTrue, kFalse));
    EXPECT_NE(state.M(2), 99.0);
}

// A kind starts from the defaults unless the span has a magnitude or had this
// kind (a point load of 0 stays). Showing a span again keeps the exact values
// behind the rounded texts; "none" keeps them for later. Edits redraw.
TEST_F(InputTest, LoadKindsAndTheirValues) {
    frmInput* w = TypeBeam(2);
    w->optQ->click();
    EXPECT_EQ(Load(w), "Q|Q =|1|kN/m|1");
    EXPECT_EQ(std::tuple(state.LoadType(1), state.Q(1), state.A(1)), std::tuple(1, 1.0, 1.0));
    Replace(w->txtQ, "12.3456");
    Replace(w->txtPosA, "0.123");
    Choose(w->cmbN, 1);
    EXPECT_EQ(Load(w), "none");
    const QImage schematic = w->Picture1->Image().copy(), diagram = w->Picture2->Image().copy();
    const QStringList moments = w->List1->Items();
    w->optP->click();
    EXPECT_EQ(Load(w) + u'#' + Row(w, 1), "P|P =|1|kN|0.5#第2跨|1.00|4.00|集中荷载|1.00|0.50");
    EXPECT_NE(w->Picture1->Image(), schematic);
    w->txtQ->selectAll();
    QTest::keyClicks(w->txtQ, "20");
    EXPECT_EQ(state.Q(2), 20.0);
    EXPECT_EQ(Row(w, 1), "第2跨|1.00|4.00|集中荷载|20.00|0.50");
    EXPECT_NE(w->Picture2->Image(), diagram);
    EXPECT_NE(w->List1->Items(), moments);
    EXPECT_TRUE(w->List1->Items().value(2).startsWith("结点 3:"))
        << w->List1->Items().join(u' ').toStdString();
    Replace(w->txtQ, "0");
    Choose(w->cmbN, 0);
    EXPECT_EQ(Load(w), "Q|Q =|12.35|kN/m|0.12");
    EXPECT_EQ(std::tuple(state.Q(1), state.A(1)), std::tuple(12.3456, 0.123));
    Choose(w->cmbN, 1);
    EXPECT_EQ(Load(w), "P|P =|0.00|kN|0.50");
    EXPECT_EQ(std::tuple(state.Q(2), state.A(2)), std::tuple(0.0, 0.5));
    Replace(w->txtQ, "20");
    Replace(w->txtPosA, "0.25");
    w->optNone->click();
    EXPECT_EQ(Load(w) + u'#' + Row(w, 1), "none#第2跨|1.00|4.00| 无荷载 |20.00|0.25");
    EXPECT_EQ(state.LoadType(2), 0);
    w->optQ->click();
    EXPECT_EQ(Load(w), "Q|Q =|20.00|kN/m|0.25");
    EXPECT_EQ(std::tuple(state.LoadType(2), state.Q(2), state.A(2)), std::tuple(1, 20.0, 0.25));
    ExpectNoMessage();
}

// Rows "field|typed over the last row|refusal|value stored" on a point load;
// the text stays as typed, a refusal leaves the results alone.
TEST_F(InputTest, MagnitudeAndPositionChecks) {
    frmInput* w = TypeBeam(1);
    w->optP->click();
    // The last column: the field is framed red (while its text is not accepted whole).
    for (const char* row :
         {"Q|-||0|red",  // "-" alone reads as 0, which is a load
          "Q|-5|荷载必须大于零!|0|red", "Q|-50|荷载必须大于零!|0|red", "Q|3||3|", "Q|1e||1|red",
          "Q|1e999|数值超出范围！|1|red", "Q|abc||0|red", "Q| 2.5e1 ||25|",
          "a|1.01|a必须在0-1之间!|0.5|red", "a|-0.1|a必须在0-1之间!|0.5|red", "a|0||0|", "a|1||1|",
          "a|0.3||0.3|", "a|2|a必须在0-1之间!|0.3|red", "a|1e999|数值超出范围！|0.3|red"}) {
        SCOPED_TRACE(row);
        const QStringList f = QString(row).split(u'|');
        QLineEdit* field = f[0] == "a" ? w->txtPosA : w->txtQ;
        const QStringList moments = w->List1->Items();
        Replace(field, f[1]);
        EXPECT_EQ(Took(), f[2].isEmpty() ? QStringList() : Refusal(f[2]));
        EXPECT_EQ(f[0] == "a" ? state.A(1) : state.Q(1), f[3].toDouble());
        EXPECT_EQ(field->text(), f[1]);
        EXPECT_EQ(field->styleSheet().contains("red"), f[4] == "red");
        EXPECT_EQ(field->toolTip().isEmpty(), f[4].isEmpty());
        if (f[2].size()) {
            EXPECT_EQ(field->toolTip(), f[2]);
        }
        if (!f[2].isEmpty()) {
            EXPECT_EQ(w->List1->Items(), moments);
        }
    }
}

TEST_F(InputTest, AboutButtonShowsOneModelessAboutBox) {
    frmInput* w = TypeBeam(1);
    w->Command2->click();
    w->Command2->click();
    int shown = 0;
    for (QWidget* t : QApplication::topLevelWidgets())
        shown += t->isVisible() && dynamic_cast<frmAbout*>(t);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(Window<frmAbout>()->isModal());
}

// Cancel, a failure, then a name: the beam saved (".bmf" added) loads back
// unchanged, the report saved equals the report of the state. Each dialog
// starts from the beam's own name.
TEST_F(InputTest, FileCommands) {
    frmInput* w = LoadBeam(SampleBeam());
    ASSERT_NE(w, nullptr);
    const struct {
        QPushButton* button;
        const char *name, *refusal, *preset, *filter;
    } rows[] = {{w->CmdSave, "beam", "保存数据文件失败！\n文件或文件夹不存在", "loaded.bmf",
                 "连续梁bmf文档(*.bmf)|*.bmf|连续梁JSON文档(*.json)|*.json| Text 文档(*.txt)|*.txt|"
                 "All Files(*.*)|*.*"},
                {w->saveTXT, "report.txt", "保存txt文件失败！\n文件或文件夹不存在", "beam.txt",
                 " Text 文档(*.txt)|*.txt|文本文件 UTF-8 (*.txt)|*.txt|All Files(*.*)|*.*"}};
    services.asked.clear();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        services.fileAnswers = {"", "/nonexistent-dir/x",
                                QString::fromStdString(dir.File(row.name))};
        QStringList shown;
        for (int i = 0; i < 3; ++i, shown << Took().join(u'#')) row.button->click();
        EXPECT_EQ(shown, QStringList({"", Refusal(row.refusal)[0], ""}));
        EXPECT_EQ(services.asked,
                  QStringList(3, QString::fromStdString(dir.File(row.preset)) + '|' + row.filter));
        services.asked.clear();
    }
    BeamState again, sample = SampleBeam();
    ASSERT_TRUE(LoadBeamFile(dir.File("beam.bmf"), again));
    ASSERT_TRUE(RunAnalysis(sample).status);
    EXPECT_EQ(Dump(again), Dump(state));
    EXPECT_EQ(Dump(again), Dump(sample));
    ASSERT_TRUE(SaveReport(dir.File("direct.txt"), state));
    EXPECT_EQ(testing::ReadAll(dir.File("report.txt")), testing::ReadAll(dir.File("direct.txt")));
    // The second file type writes the same report in UTF-8.
    services.fileAnswers = {QString::fromStdString(dir.File("utf8.txt"))};
    services.filterAnswer = 1;
    w->saveTXT->click();
    std::string utf8;
    ASSERT_TRUE(EncodeReport(state, utf8, ReportEncoding::Utf8));
    EXPECT_EQ(testing::ReadAll(dir.File("utf8.txt")), utf8);
}

// Rows "name|beam|edit|answer: Save, Discard, Cancel|file|closed|questions|title".
TEST_F(InputTest, TitleAndTheQuestionBeforeUnsavedChangesAreDropped) {
    for (const char* row :
         {"unchanged|loaded||||closed|0|loaded.bmf", "取消 keeps|loaded|edit|C|||1|loaded.bmf*",
          "不保存 closes|loaded|edit|D||closed|1|loaded.bmf*",
          "保存 cancelled keeps|loaded|edit|S|||1|loaded.bmf*",
          "保存 writes, closes|loaded|edit|S|kept.bmf|closed|1|loaded.bmf*",
          "typed is unsaved|typed||D||closed|1|未命名*",
          "back does not ask|typed|back||||0|未命名*"}) {
        SCOPED_TRACE(row);
        const QStringList f = QString(row).split(u'|');
        QPointer<frmInput> w(f[1] == "typed" ? TypeBeam(2) : LoadBeam(SampleBeam()));
        if (f[2] == "edit") Replace(w->txtQ, "7");
        EXPECT_EQ(w->windowTitle(), "输入参数 - " + f[7]);
        services.saveAnswers = {SaveChoice(QString("SDC").indexOf((f[3] + "C")[0]))};
        services.fileAnswers = {f[4].isEmpty() ? "" : QString::fromStdString(dir.File("kept.bmf"))};
        services.questions.clear();
        f[2] == "back" ? w->Command3->click() : void(w->close());
        DeleteLater();
        EXPECT_EQ(w.isNull(), f[5] == "closed" || f[2] == "back");
        EXPECT_EQ(services.questions, QStringList(f[6].toInt(), "当前连续梁尚未保存，是否保存？"));
        BeamState kept;
        EXPECT_EQ(LoadBeamFile(dir.File("kept.bmf"), kept) && kept.Q(1) == 7, !f[4].isEmpty());
        std::remove(dir.File("kept.bmf").c_str());
        delete w.data();
    }
}

// 保存 and Ctrl+E ask before they replace a file; "no" leaves it alone. F1: About.
TEST_F(InputTest, ShortcutsAndSavingOverAFile) {
    frmInput* w = LoadBeam(SampleBeam());
    ASSERT_TRUE((w->activateWindow(), QTest::qWaitForWindowActive(w)));
    for (const char* ext : {".bmf", ".txt"}) {
        testing::WriteAll(dir.File("old") + ext, "old");
        for (const bool yes : {false, true}) {
            services.fileAnswers = {QString::fromStdString(dir.File("old"))};
            services.replaceAnswers = {yes}, services.questions.clear();
            ext[1] == 'b' ? w->CmdSave->click()
                          : QTest::keyClick(w, Qt::Key_E, Qt::ControlModifier);
            EXPECT_EQ(services.questions, QStringList({QString("replace old") + ext}));
            EXPECT_EQ(testing::ReadAll(dir.File("old") + ext) == "old", !yes) << ext;
        }
    }
    EXPECT_EQ(w->windowTitle(), "输入参数 - old.bmf");
    QTest::keyClick(w, Qt::Key_F1);
    EXPECT_NE(Window<frmAbout>(), nullptr);
}

// Extra room goes to the table, the results and the pictures (a third of
// the height to the table and the results, the rest shared by the pictures); Ctrl+wheel zooms both
// pictures about the pointer, a drag pans, a double click shows all; a click in the table chooses
// that span.
TEST_F(InputTest, ResizeZoomAndTableRows) {
    frmInput* w = LoadBeam(SampleBeam());
    const QSize design = w->size();
    const int list = w->List1->width(), column = w->ListC->width();
    w->resize(design + QSize(300, 200));
    EXPECT_EQ(w->minimumSize(), design);
    EXPECT_EQ(w->Picture1->InnerSize(), QSize(573 + 300, 109 + 67));
    EXPECT_EQ(w->Picture2->geometry(), QRect(8, 344 + 66 + 67, 877, 261 - 100 + 67));
    EXPECT_GT(w->List1->width(), list);
    EXPECT_GT(w->ListC->width(), column);
    const std::pair<const char*, ListBox*> captions[] = {
        {"跨编号", w->ListI},   {"EI(EI0)", w->ListEI}, {"L(m)", w->ListL},
        {"荷载类型", w->ListC}, {"集度q", w->ListQ},    {"位置a(/L)", w->ListA}};
    const QList<QLabel*> labels = w->findChildren<QLabel*>();
    for (const auto& [text, column] : captions) {  // the header's captions over the wider columns
        const auto it = std::ranges::find_if(
            labels, [&](auto l) { return l->text() == text && l->isVisible(); });
        ASSERT_NE(it, labels.end()) << text;
        EXPECT_GE((*it)->x(), column->x()) << text;
        EXPECT_LT((*it)->geometry().right(), column->geometry().right()) << text;
    }
    EXPECT_EQ(w->Picture2->Image().width(), 873);
    const double full = w->Picture1->Surface().ScaleWidth();
    QWheelEvent wheel({202, 50}, {}, {}, {0, 240}, {}, Qt::ControlModifier, Qt::NoScrollPhase, 0);
    QApplication::sendEvent(w->Picture2, &wheel);  // two notches about x = 200 inside the border
    const auto left = [&](PictureBox* p) { return p->Surface().Visible().left; };
    EXPECT_DOUBLE_EQ(w->Picture1->Surface().ScaleWidth(), full * 1.5625);
    EXPECT_EQ(left(w->Picture1), left(w->Picture2));
    EXPECT_NEAR(left(w->Picture1) + 200 * 15, 200 * 15 * 1.5625, 1e-6);
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, {100, 50});
    QTest::mouseMove(w->Picture1, {60, 50});
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, {60, 50});
    EXPECT_NEAR(left(w->Picture2), 200 * 15 * 0.5625 + 40 * 15, 1e-6);
    QTest::mouseDClick(w->Picture2, Qt::LeftButton, {}, {60, 50});
    EXPECT_EQ(std::tuple(w->Picture1->Surface().ScaleWidth(), left(w->Picture2)),
              std::tuple(full, 0.0));
    QTest::mouseClick(w->ListL->viewport(), Qt::LeftButton, {},
                      w->ListL->visualRect(w->ListL->model()->index(2, 0)).center());
    EXPECT_EQ(std::tuple(w->cmbN->currentIndex(), state.CurSpan, w->optQ->isChecked()),
              std::tuple(2, 3, true));
}

}  // namespace
}  // namespace cbeam::test
