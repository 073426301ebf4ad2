#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "canvas/canvas.h"
#include "document/beam_document.h"
#include "model/structure.h"
#include "ui/common/picture_actions.h"
#include "ui/common/services.h"
#include "ui/results/envelope_results.h"

class QComboBox;
class QLabel;
class QScrollBar;

namespace cbeam {

class DiagramView;

// The design window's drawings, stacked on one stretch of the beam: the
// schematic with the loads of the case being edited, and the M, V and w
// diagrams of the case or combination chosen in cboShow (an envelope when
// it has a variable case). They follow the document; the envelopes they
// draw are also what the results tables read.
class DesignDrawings : public QWidget {
  public:
    DesignDrawings(BeamDocument& doc, UiServices& services, QWidget* parent = nullptr);
    ~DesignDrawings() override;

    // The beam changed: envelopes built anew, everything drawn again.
    void Refresh();
    // The case whose loads the schematic shows.
    void SetCase(int caseIndex);
    // Highlights a span or a node (0: none) and brings it into view.
    void Mark(int span, int node);
    // Fewer (steps > 0) or more spans in view; the stretch moves by spans.
    void Zoom(int steps);
    void Pan(int spans);
    void ShowAll();
    int FirstSpan() const { return m_first; }
    int SpansShown() const { return m_count; }

    // The envelopes of the choice in cboShow; null while the beam cannot be
    // analysed (lblProblem says why).
    const EnvelopeResults* Results() const { return m_ok ? m_results.get() : nullptr; }
    // The case or combination shown, as cboShow names it.
    QString ShownName() const;
    // Called after every refresh and every choice in cboShow.
    std::function<void()> resultsChanged;
    // The four drawings stacked into one picture, for 导出图形.
    std::optional<Picture> WholePicture() const;

    QComboBox* cboShow = nullptr;
    QLabel* lblProblem = nullptr;
    QLabel* lblStretch = nullptr;
    QScrollBar* scrStretch = nullptr;
    DiagramView* Schematic = nullptr;
    DiagramView* Moment = nullptr;
    DiagramView* Shear = nullptr;
    DiagramView* Deflection = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillChoices();
    void Choose();
    void Redraw();
    void ClampStretch();
    int LastSpan() const { return m_first + m_count - 1; }
    void DrawDiagram(Canvas& canvas, int quantity) const;

    BeamDocument& m_doc;
    UiServices& m_services;
    std::unique_ptr<EnvelopeResults> m_results;
    Beam m_shown;  // the beam the envelopes were built for
    std::vector<Combination> m_choices;
    bool m_ok = false;
    Status m_valid;  // of the beam
    Status m_built;  // of its engine: the beam's, or why it cannot be enveloped
    int m_case = 0, m_markSpan = 0, m_markNode = 0;
    int m_first = 1, m_count = 1;
    bool m_whole = true;  // the whole beam in view, whatever its length
};

}  // namespace cbeam
