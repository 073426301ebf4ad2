// The input window at real sizes: resizing, the shared zoom of the two
// drawings, the title with the beam's name, the question before unsaved
// changes are dropped, keyboard shortcuts and the span table's rows.
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QShortcut>
#include <algorithm>
#include <cmath>

#include "drawing/drawings.h"
#include "model/driver.h"
#include "ui/common/controls.h"
#include "ui/common/listbox.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/results/diagramview.h"
#include "ui/results/frmresults.h"

namespace cbeam {

namespace {

// The design's client area, in twips.
constexpr int kDesignWidth = 8880;
constexpr int kDesignHeight = 7575;

}  // namespace

void frmInput::SetUpView() {
    // The analysis driver's set-height step (8200 twips of frame around this
    // client area) is met here, once, when the window is made: it must not
    // undo a size the user has chosen since.
    setMinimumSize(Px(kDesignWidth), Px(kDesignHeight));
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(Px(kDesignWidth), Px(kDesignHeight));

    m_view.SetWidth(Picture1->InnerSize().width());
    m_view.SetSpans(m_state.N);
    for (PictureBox* picture : {Picture1, Picture2}) {
        picture->SetView(&m_view, [this] { RedrawPictures(); });
    }
    AddPictureActions(Picture1, m_services, [this] {
        return Picture1->Shown([this](Canvas& c) { cbeam::ReDrawAll(m_state, c); });
    });
    AddPictureActions(Picture2, m_services, [this]() -> std::optional<Picture> {
        if (!HasMoments(m_state.Results)) return std::nullopt;
        return Picture2->Shown([this](Canvas& c) { cbeam::DrawM(m_state, c); });
    });

    const auto shortcut = [this](QKeySequence keys, void (frmInput::*handler)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &frmInput::SaveAgain);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), &frmInput::saveTXT_Click);
    shortcut(QKeySequence(Qt::Key_F1), &frmInput::Command2_Click);

    for (ListBox* column : {ListI, ListEI, ListL, ListC, ListQ, ListA}) {
        connect(column, &ListBox::clicked, this, [this](const QModelIndex& index) {
            if (index.row() < 0 || index.row() >= m_state.N) return;
            SetListIndex(cmbN, index.row(), [this] { cmbN_Click(); });
        });
    }

    m_path = m_state.InputMode == 2 ? ShownPath(m_state.FileName) : QString();
    m_kind = KindOfPath(m_state.FileName);
    UpdateTitle();
}

void frmInput::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

// The design places every control for the design size; what the window has
// beyond it goes to the table, the results and the two drawings.
void frmInput::LayOut() {
    if (Picture1 == nullptr) return;
    const int dx = std::max(0, width() - Px(kDesignWidth));
    const int dy = std::max(0, height() - Px(kDesignHeight));
    const int tableWidth = Px(5880) - Px(120), listWidth = Px(2895);
    const int tableDx = dx * tableWidth / (tableWidth + listWidth);
    // A third of the height gained shows more rows of the table and the
    // results; the drawings share the rest.
    const int tableDy = dy / 3, picturesDy = dy - tableDy;
    m_table->LayOut(tableDx, tableDy);
    m_resultsCaption->move(Px(5880) + tableDx, Px(1800));
    List1->setGeometry(Px(5880) + tableDx, Px(2040), listWidth + dx - tableDx, Px(1290) + tableDy);

    const QSize schematic(kSchematicPixels.width + dx, kSchematicPixels.height + picturesDy / 2);
    const QSize diagram(kDiagramPixels.width + dx,
                        kDiagramPixels.height + picturesDy - picturesDy / 2);
    const bool sized = Picture1->InnerSize() == schematic && Picture2->InnerSize() == diagram;
    Picture1->Place(QPoint(Px(120), Px(3480) + tableDy), schematic);
    Picture2->Place(QPoint(Px(120), Px(5160) + tableDy + picturesDy / 2), diagram);
    PlaceProblemLine();
    if (sized) return;
    m_view.SetWidth(schematic.width());
    RedrawPictures();
}

void frmInput::RedrawPictures() {
    for (PictureBox* picture : {Picture1, Picture2}) {
        picture->FollowView();
        picture->Clear();
    }
    ReDrawAll();
    // A refused analysis left no diagram to draw again.
    if (HasMoments(m_state.Results)) DrawM();
    // Every window's diagrams show the stretch in view here.
    const double full = m_view.FullWidth();
    m_doc.SetView({m_view.Zoom(), full > 0 ? m_view.Offset() / full : 0.0});
}

void frmInput::RevealSpan(int k) {
    const BeamState& s = m_state;
    // While the window is being made, span 1 is in view and its drawings
    // are still to come.
    if (Picture1 == nullptr || !isVisible() || k < 1 || k > s.N || s.L.Count() < s.N) return;
    double before = 0, total = 0;
    for (int i = 1; i <= s.N; ++i) {
        if (i < k) before += s.L(i);
        total += s.L(i);
    }
    if (!(total > 0) || !std::isfinite(total)) return;
    m_view.Reveal(before / total, (before + s.L(k)) / total);
    // The mark moves with the chosen span even where the view stays.
    RedrawPictures();
}

bool frmInput::Modified() const {
    return m_path.isEmpty() || m_state.SavedInputs != m_state.InputValues();
}

void frmInput::UpdateTitle() {
    const QString name = m_path.isEmpty() ? QStringLiteral("未命名") : QFileInfo(m_path).fileName();
    setWindowTitle(QStringLiteral("输入参数 - ") + name + (Modified() ? QStringLiteral("*") : ""));
}

void frmInput::closeEvent(QCloseEvent* event) {
    if (m_leaving || !Modified()) {
        event->accept();
        return;
    }
    event->setAccepted(AskToClose(m_services, [this] { return Save(); }));
}

}  // namespace cbeam
