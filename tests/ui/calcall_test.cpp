// The analysis driver in the input window: the results list, the refusals,
// what the file commands make of a refused analysis, and the detailed
// results window that follows it.
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QWheelEvent>

#include "files/table.h"
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

// A refused analysis leaves the list empty, but the flags follow the boxes,
// 保存 writes no results of another beam and 存为txt is refused.
TEST_F(CalcAllTest, RefusedAnalysis) {
    frmInput* w = TypeBeam(3, {1, 0, 0});
    ASSERT_NE(w, nullptr);
    const QString message = QString::fromUtf8("第 2跨未定义!");
    ExpectOnlyMessage(message);
    EXPECT_EQ(std::tuple(state.Flag0, state.FlagN, w->List1->Count()), std::tuple(kTrue, kTrue, 0));
    Choose(w->cmbFlag0, 1);
    ExpectOnlyMessage(message);
    EXPECT_EQ(std::tuple(state.Flag0, w->List1->Count()), std::tuple(kFalse, 0));
    services.fileAnswers = {QString::fromStdString(dir.File("b.bmf")),
                            QString::fromStdString(dir.File("r.txt"))};
    w->CmdSave->click();
    w->saveTXT->click();
    ExpectOnlyMessage(message);
    EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
    BeamState saved;
    ASSERT_TRUE(LoadBeamFile(dir.File("b.bmf"), saved));
    EXPECT_EQ(std::tuple(saved.Flag0, saved.FlagN), std::tuple(kFalse, kTrue));
    EXPECT_EQ(saved.EI, state.EI);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(std::tuple(saved.M(k), saved.Theta(k)), std::tuple(0.0, 0.0)) << k;
    w->cmdResults->click();
    ASSERT_NE(w->ResultsWindow(), nullptr);
    EXPECT_EQ(w->ResultsWindow()->lblReason->text(), message);
    EXPECT_FALSE(w->ResultsWindow()->NodeTable->model()->index(0, 1).data().isValid());
    Took();
}

// 4 m pinned-fixed: Vl = 3qL/8, R2 = 5qL/8, Msag 9qL^2/128 at 3L/8, theta 1 = qL^3/48EI;
// fixed-fixed: qL/2, qL^2/24 at L/2.
TEST_F(CalcAllTest, ResultsWindowFollowsEveryEdit) {
    frmInput* w = TypeBeam(1, {1});
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
        return v->model()->index(row, col).data().toString();
    };
    // clang-format off
    const struct { const char* name; std::function<void()> edit; QStringList shown; } rows[] = {
        {"load on span 1 (q = 1)", [&] { w->optQ->click(); }, {"1.500", "2.500", "1.125", "1.500", "1.333E-06"}},
        {"q = 25", [&] { Replace(w->txtQ, "25"); }, {"37.500", "62.500", "28.125", "1.500", "3.333E-05"}},
        {"left end fixed", [&] { Choose(w->cmbFlag0, 0); }, {"50.000", "50.000", "16.667", "2.000", "0.000E+00"}},
        {"left end pinned", [&] { Choose(w->cmbFlag0, 1); }, {"37.500", "62.500", "28.125", "1.500", "3.333E-05"}}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        resets.clear();
        row.edit();
        Took();
        EXPECT_EQ(resets.size(), 1) << "one refresh per edit";
        EXPECT_FALSE(r->lblReason->isVisible());
        // Vl of span 1, node 2's reaction, the largest sagging moment as a
        // magnitude and where, the rotation at node 1 in radians.
        EXPECT_EQ(QStringList({cell(r->SpanTable, 0, 1), cell(r->NodeTable, 1, 2),
                               cell(r->SpanTable, 0, 3), cell(r->SpanTable, 0, 4),
                               cell(r->NodeTable, 0, 3)}),
                  row.shown);
    }
    EXPECT_TRUE(
        r->TablesText().startsWith("结点\t弯矩 M (kN·m)\t支座反力 R (kN)\t转角 θ (rad)\n1\t"));
    EXPECT_EQ(r->TablesText().count(u'\n'), 1 + 2 + 1 + 1 + 1);
    // The export: a row per point, x from the span's left support, M hogging
    // positive; 3qL/8 and 5qL/8 at the ends, qL^2/8 at the fixed one, no deflection.
    services.fileAnswers = {QString::fromStdString(dir.File("values"))};
    r->cmdExport->click();
    const QStringList csv = QString::fromStdString(testing::ReadAll(dir.File("values.csv")))
                                .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(csv.size(), kDefaultTablePoints);
    EXPECT_EQ(csv.front(), "span,x,M,V,w");
    const auto near = [](const QString& line, const std::vector<double>& want) {
        const QStringList got = line.split(u',');
        ASSERT_GE(static_cast<std::size_t>(got.size()), want.size()) << line.toStdString();
        for (std::size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(got[i].toDouble(), want[i], 1e-9) << line.toStdString();
    };
    near(csv[1], {1, 0, 0, 37.5, 0});
    near(csv.back(), {1, 4, 50, -62.5, 0});
    const QStringList lines = csv.mid(1);
    const auto sag = std::ranges::min_element(lines, {}, [](const QString& l) {
        return l.startsWith("1,") ? l.section(u',', 2, 2).toDouble() : 0.0;
    });
    near(*sag, {1, 1.5, -28.125, 0});
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
