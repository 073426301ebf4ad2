// The analysis driver in the input window: the results list, the refusals,
// what the file commands make of a refused analysis, and the detailed
// results window that follows it.
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QWheelEvent>

#include "files/table.h"
#include "model/design.h"
#include "text/format.h"
#include "ui/common/controls.h"
#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui/results/diagramview.h"
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

// Rigidities +1 and -1 cancel with both ends fixed, not with a pinned one.
TEST_F(CalcAllTest, ResultsWindowFollowsEveryEditAndShowsTheRefusal) {
    frmInput* w = TypeBeam(3, {1, -1, 1});
    ASSERT_NE(w, nullptr);
    Choose(w->cmbFlag0, 1);
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_R, Qt::ControlModifier);
    frmResults* r = w->ResultsWindow();
    ASSERT_NE(r, nullptr);
    w->cmdResults->click();
    EXPECT_EQ(w->ResultsWindow(), r) << "one window at a time";
    QSignalSpy resets(r->SpanTable->model(), &QAbstractItemModel::modelReset);
    const auto cell = [](QTableView* v, int row, int col) {
        return v->model()->index(row, col).data();
    };
    const auto text = [](double v, const char* pattern) { return Q(Format(v, pattern)); };
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"load on span 1", [&] { w->optQ->click(); }},
        {"its magnitude", [&] { Replace(w->txtQ, "25"); }},
        {"left end fixed: refused", [&] { Choose(w->cmbFlag0, 0); }},
        {"left end pinned", [&] { Choose(w->cmbFlag0, 1); }}};
    for (const auto& [name, edit] : rows) {
        SCOPED_TRACE(name);
        resets.clear();
        edit();
        Took();
        EXPECT_EQ(resets.size(), 1) << "one refresh per edit";
        const DesignValues d = ComputeDesignValues(state);
        if (state.Flag0 == kTrue) {
            EXPECT_EQ(r->lblReason->text(), Q(MessageText(Status{Code::NotSolvable})));
            EXPECT_TRUE(r->lblReason->isVisible() && !cell(r->NodeTable, 0, 1).isValid());
            continue;
        }
        EXPECT_FALSE(r->lblReason->isVisible());
        EXPECT_EQ(cell(r->SpanTable, 0, 1), text(d.spans[0].Vl, "0.000"));
        EXPECT_EQ(cell(r->NodeTable, 3, 2), text(d.R[3], "0.000"));
        EXPECT_EQ(cell(r->SpanTable, 0, 3),  // the largest sagging moment, as a magnitude
                  d.spans[0].Msag < 0 ? text(-d.spans[0].Msag, "0.000") : "无正弯矩");
        EXPECT_EQ(cell(r->NodeTable, 0, 3), text(SlopeAt(state, 1, 0), "0.000E+00"));  // radians
    }
    EXPECT_TRUE(
        r->TablesText().startsWith("结点\t弯矩 M (kN·m)\t支座反力 R (kN)\t转角 θ (rad)\n1\t"));
    EXPECT_EQ(r->TablesText().count(u'\n'), 1 + 4 + 1 + 1 + 3);
    // The export writes what `cbeam-cli table` prints, under the name given.
    services.fileAnswers = {QString::fromStdString(dir.File("values"))};
    r->cmdExport->click();
    EXPECT_EQ(testing::ReadAll(dir.File("values.csv")),
              TableCsv(TableRows(state, ComputeDesignValues(state), kDefaultTablePoints)));
    // The diagrams show the stretch the input window zooms to, and all of
    // the beam again after a double click there.
    r->resize(900, 700);
    const QImage whole = r->ShearDiagram->grab().toImage();
    QWheelEvent wheel({202, 50}, {}, {}, {0, 240}, {}, Qt::ControlModifier, Qt::NoScrollPhase, 0);
    QApplication::sendEvent(w->Picture2, &wheel);
    EXPECT_NE(r->ShearDiagram->grab().toImage(), whole);
    QTest::mouseDClick(w->Picture2, Qt::LeftButton);
    EXPECT_EQ(r->ShearDiagram->grab().toImage(), whole);
    // The calculation sheet, as cbeam-cli sheet writes it.
    services.fileAnswers = {QString::fromStdString(dir.File("sheet"))};
    r->cmdSheet->click();
    EXPECT_EQ(testing::ReadAll(dir.File("sheet.pdf")).substr(0, 5), "%PDF-");
    EXPECT_TRUE(Took().isEmpty());
}

}  // namespace
}  // namespace cbeam::test
