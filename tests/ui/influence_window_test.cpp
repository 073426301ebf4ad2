// The influence view of the results window, for a legacy and a general beam
// of two equal spans L: M at B from the node table, its largest ordinate at
// ξ = x/L of span 1 (the same on span 2), then a section clicked in the
// first diagram, whose M line peaks at the section itself.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QTableView>

#include "drawing/layout.h"
#include "ui/results/diagramview.h"
#include "ui/results/frmresults.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using InfluenceWindow = UiTest;

QString Title(QWidget* diagram) {
    return static_cast<QGroupBox*>(diagram->parentWidget())->title();
}

TEST_F(InfluenceWindow, NodeFromTheTableAndSectionFromAClick) {
    const struct {
        const char* name;
        bool general;
        double L, xi, peak;  // peak / L
    } rows[] = {             // The typed beam's ends are fixed: ξ²(1-ξ)/2 at ξ = 2/3.
                {"legacy", false, 4, 2 / 3.0, 2 / 27.0},
                // Pinned ends: ξ(1-ξ²)/4 at ξ = 1/√3.
                {"general", true, 6, 1 / std::sqrt(3.0), 1 / (6 * std::sqrt(3.0))}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.general) {
            ASSERT_TRUE(SaveBeam(dir.File("two.json"), testing::LiveBeam({6, 6}, 10, 8)));
            ASSERT_TRUE(doc.Load(dir.File("two.json"), BeamKind::Json));
        } else {
            TypeBeam(2);
        }
        services.openResultsWindow();
        frmResults* r = Window<frmResults>();
        ASSERT_NE(r, nullptr);
        r->resize(1000, 700);
        r->chkInfluence->setChecked(true);
        r->NodeTable->setCurrentIndex(r->NodeTable->model()->index(1, 0));
        const double L = row.L;
        const QString peak = QStringLiteral("最大 %1 kN·m/kN（第 1 跨 x = %2 m）")
                                 .arg(row.peak * L, 0, 'f', 4)
                                 .arg(row.xi * L, 0, 'f', 3);
        EXPECT_TRUE(Title(r->DeflectionDiagram).contains(peak))
            << Title(r->DeflectionDiagram).toStdString();
        EXPECT_TRUE(Title(r->ShearDiagram).contains(QStringLiteral("支座反力 R影响线（结点 2）")));

        DiagramView* d = r->ShearDiagram;
        const QRect inner = d->contentsRect();
        const double W = inner.width() * 15.0;
        const double kx = (std::round(W - kMargin) - kMargin) / (2 * L);
        const int px = inner.left() + static_cast<int>((kMargin + 0.3 * L * kx) / 15);
        QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(px, inner.center().y()));
        EXPECT_EQ(r->spnInfluenceSpan->value(), 1);
        EXPECT_NEAR(r->txtInfluenceX->value(), 0.3 * L, 2 * 15 / kx) << "within a pixel or two";
        const QString at =
            QStringLiteral("第 1 跨 x = %1 m").arg(r->txtInfluenceX->value(), 0, 'f', 3);
        EXPECT_TRUE(Title(d).contains(QStringLiteral("弯矩 M影响线（") + at + u'）'))
            << Title(d).toStdString();
        EXPECT_TRUE(Title(d).contains(QStringLiteral(" kN·m/kN（") + at + u'）'))
            << "the largest ordinate at the section: " << Title(d).toStdString();
        r->close();
        DeleteLater();
    }
}

}  // namespace
}  // namespace cbeam::test
