// A general beam the input window cannot show: the results window alone,
// with its envelopes under the combination chosen.
#include <QGroupBox>
#include <QTableView>

#include "ui/design/frmdesign.h"
#include "ui/results/diagramview.h"
#include "ui/results/frmresults.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using EnvelopeWindow = UiTest;

// Equal 6 m spans, G 10 and Q 8 kN/m on each, as a version 2 file.
std::string EqualSpans(const testing::TempDir& dir, int n) {
    Beam beam;
    beam.spans.assign(static_cast<std::size_t>(n), {6, 1});
    beam.supports.resize(static_cast<std::size_t>(n + 1));
    beam.cases = {{"G", CaseKind::Permanent, {}, {}, {}}, {"Q", CaseKind::Variable, {}, {}, {}}};
    for (int k = 1; k <= n; ++k) {
        beam.cases[0].loads.push_back(Load::Uniform(k, 10, 0, 6));
        beam.cases[1].loads.push_back(Load::Uniform(k, 8, 0, 6));
    }
    const std::string path = dir.File(std::to_string(n) + ".json");
    EXPECT_TRUE(SaveBeam(path, beam));
    return path;
}

TEST_F(EnvelopeWindow, OpensAGeneralBeamAndFollowsTheCombination) {
    const std::string path = EqualSpans(dir, 3);
    services.fileAnswers = {QString::fromStdString(path)};
    Start()->Command1->click();
    DeleteLater();
    ExpectNoMessage();
    ASSERT_NE(Window<frmDesign>(), nullptr) << "a beam the input window cannot show";
    EXPECT_EQ(Window<frmInput>(), nullptr);
    services.openResultsWindow();
    frmResults* r = Window<frmResults>();
    ASSERT_NE(r, nullptr);
    const auto cell = [r](int row, int column) {
        return r->SpanTable->model()->index(row, column).data().toString();
    };
    // M at support 2 of three equal spans, wL²: G everywhere 0.100, Q on
    // spans 1 and 2 7/60 (Q on span 3 would relieve it).
    const struct {
        const char* name;
        QString combination, Mmax;
    } rows[] = {{"1.3G + 1.5Q", "基本组合", "97.200"}, {"G + Q", "标准组合", "69.600"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(r->cboCombination, r->cboCombination->findText(row.combination));
        EXPECT_EQ(QStringList({cell(0, 1), cell(0, 2), cell(0, 3)}),
                  QStringList({row.Mmax, "6.000", "1-2"}));
        EXPECT_GT(cell(1, 11).toDouble(), cell(1, 12).toDouble()) << "ψq = 0.4 of Q";
    }
    services.fileAnswers = {QString::fromStdString(dir.File("three.pdf"))};
    r->cmdSheet->click();
    ExpectNoMessage();
    EXPECT_TRUE(testing::ReadAll(dir.File("three.pdf")).starts_with("%PDF")) << "the general sheet";
    doc.Edited(BeamChange::Loads);
    EXPECT_EQ(std::tuple(doc.General(), r->cboCombination->isVisible()), std::tuple(nullptr, false))
        << "an edit of the legacy windows ends the general beam";
}

// A long beam's diagrams show the twelve spans about the one chosen.
TEST_F(EnvelopeWindow, DiagramsOfALongBeamFollowTheSpanChosen) {
    ASSERT_TRUE(doc.Load(EqualSpans(dir, 30), BeamKind::Json));
    services.openResultsWindow();
    frmResults* r = Window<frmResults>();
    ASSERT_NE(r, nullptr);
    const struct {
        const char* name;
        int row;
        QString spans;
    } rows[] = {{"inside", 19, "第 14–25 跨"},
                {"the last", 29, "第 19–30 跨"},
                {"back to the first", 0, "第 1–12 跨"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        r->SpanTable->setCurrentIndex(r->SpanTable->model()->index(row.row, 0));
        for (QWidget* diagram : {r->ShearDiagram, r->DeflectionDiagram})
            EXPECT_TRUE(
                static_cast<QGroupBox*>(diagram->parentWidget())->title().contains(row.spans));
    }
}

}  // namespace
}  // namespace cbeam::test
