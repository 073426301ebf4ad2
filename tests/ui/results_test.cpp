// The detailed results window: opened once, following the input window's
// edits and end conditions, and never showing values of a refused beam.
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>

#include "files/table.h"
#include "model/design.h"
#include "text/format.h"
#include "ui/results/frmresults.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using ResultsTest = UiTest;

QString Cell(QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

TEST_F(ResultsTest, FollowsEveryEditAndShowsTheRefusal) {
    // Rigidities +1 and -1 cancel with both ends fixed, not with a pinned one.
    frmInput* w = TypeBeam(3, {1, -1, 1});
    ASSERT_NE(w, nullptr);
    Took();
    Choose(w->cmbFlag0, 1);
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_R, Qt::ControlModifier);
    frmResults* r = w->ResultsWindow();
    ASSERT_NE(r, nullptr);
    w->cmdResults->click();
    EXPECT_EQ(w->ResultsWindow(), r) << "one window at a time";
    QSignalSpy resets(r->SpanTable->model(), &QAbstractItemModel::modelReset);
    const struct {
        const char* name;
        std::function<void()> edit;
        const char* refusal;  // empty: the values are shown
    } rows[] = {
        {"load on span 1", [&] { w->optQ->click(); }, ""},
        {"its magnitude", [&] { Replace(w->txtQ, "25"); }, ""},
        {"left end fixed", [&] { Choose(w->cmbFlag0, 0); },
         "无法计算，请检查各跨的长度、刚度和荷载！"},
        {"left end pinned", [&] { Choose(w->cmbFlag0, 1); }, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        resets.clear();
        row.edit();
        Took();
        EXPECT_EQ(resets.size(), 1) << "one refresh per edit";
        EXPECT_EQ(r->lblReason->isVisible(), *row.refusal != '\0');
        if (*row.refusal != '\0') {
            EXPECT_EQ(r->lblReason->text(), QString::fromUtf8(row.refusal));
            EXPECT_EQ(r->SpanTable->model()->rowCount() + r->NodeTable->model()->rowCount(), 0);
            continue;
        }
        const DesignValues d = ComputeDesignValues(state);
        EXPECT_EQ(Cell(r->SpanTable, 0, 1), QString::fromStdString(Format(d.spans[0].Vl, "0.000")));
        EXPECT_EQ(Cell(r->NodeTable, 3, 2), QString::fromStdString(Format(d.R[3], "0.000")));
        EXPECT_EQ(Cell(r->NodeTable, 3, 3),
                  QString::fromStdString(Format(SlopeAt(state, 3, 4), "0.000E+00")));
    }
    EXPECT_TRUE(
        r->TablesText().startsWith("结点\t弯矩 M (kN·m)\t支座反力 R (kN)\t转角 θ (rad)\n1\t"));
    EXPECT_EQ(r->TablesText().count(u'\n'), 1 + 4 + 1 + 1 + 3);
    // The export writes what `cbeam-cli table` prints, under the name given.
    services.fileAnswers = {QString::fromStdString(dir.File("values"))};
    r->cmdExport->click();
    EXPECT_EQ(testing::ReadAll(dir.File("values.csv")),
              TableCsv(TableRows(state, ComputeDesignValues(state), kDefaultTablePoints)));
}

}  // namespace
}  // namespace cbeam::test
