#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/engine.h"
#include "analysis/influence.h"
#include "document/beam_document.h"
#include "model/beam.h"
#include "model/design.h"
#include "model/structure.h"
#include "sheet/sheet.h"
#include "ui/common/services.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;

namespace cbeam {

class CellTable;
class DiagramView;
class EnvelopeResults;

// The detailed results window "详细结果": node and span tables, the
// shear-force diagram and the deflection curve of the beam the input window
// holds; for a general beam, the envelopes under a combination chosen, with
// the design values per span and per support. It only shows, following the
// document: each analysis, each general beam and each change of the stretch
// in view. With 影响线 checked, the two diagrams show instead the influence
// lines of M and V at a section (clicked in a diagram, or entered), or of R
// and M at a node (picked in the node table, or entered).
// 计算书…: the title fields and the file asked for, then `write`; a failure
// is told as the sheet command's.
void AskAndWriteSheet(UiServices& services, const std::string& beamFile,
                      const std::function<Status(const std::string&, const SheetInfo&)>& write);

class frmResults : public QWidget {
  public:
    frmResults(BeamDocument& doc, UiServices& services, QWidget* parent = nullptr);
    ~frmResults() override;

    // Shows the outcome of the analysis the state last recorded: its values,
    // or the reason it was refused.
    void Refresh();
    // The two tables as tab-separated text, as Ctrl+C copies them.
    QString TablesText() const;
    void ExportCsv();
    // "计算书…": the calculation sheet as a PDF, through the save dialog.
    void SaveSheet();

    QLabel* lblReason = nullptr;
    QTableView* NodeTable = nullptr;
    QTableView* SpanTable = nullptr;
    DiagramView* ShearDiagram = nullptr;
    DiagramView* DeflectionDiagram = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdSheet = nullptr;
    // A general beam's combinations; the diagrams then show the moment and
    // the shear envelopes.
    QComboBox* cboCombination = nullptr;
    // The influence view: on or off, the section (span and x) and the node.
    QCheckBox* chkInfluence = nullptr;
    QSpinBox* spnInfluenceSpan = nullptr;
    QDoubleSpinBox* txtInfluenceX = nullptr;
    QSpinBox* spnInfluenceNode = nullptr;

  private:
    void BuildControls();
    void ShowResults();
    void ShowValues(bool shown);
    // The controls of a general beam, or of the legacy one.
    void ShowGeneral(bool general);
    void ShowEnvelopes(const Beam& beam);
    void ChooseCombination(int index);
    // The diagrams of a long general beam show the spans about the one
    // chosen in the span table: a thousand spans in one drawing are a
    // solid band, and take seconds to draw.
    void SpanChosen(const QModelIndex& current);
    int LastSpanDrawn() const;
    void TitleDiagrams();
    static constexpr int kSpansDrawn = 12;

    bool Influencing() const;
    // The beam the lines are of, factored once for each beam shown.
    Status PrepareInfluenceBeam();
    void ShowInfluence();
    // The two lines at the section or node entered: built only here.
    void BuildInfluence();
    void DrawInfluenceViews();
    void InfluenceClicked(double x, double width);
    void NodeChosen(const QModelIndex& current);

    BeamDocument& m_doc;
    const BeamState& m_state;  // the document's
    UiServices& m_services;
    CellTable* m_nodes = nullptr;
    CellTable* m_spans = nullptr;
    CellTable* m_supportEnvelope = nullptr;
    CellTable* m_spanEnvelope = nullptr;
    QWidget* m_combinationRow = nullptr;
    std::array<QGroupBox*, 4> m_frames{};
    std::vector<Combination> m_combinations;
    std::unique_ptr<EnvelopeResults> m_envelopes;  // set while a general beam is shown
    int m_firstSpan = 1;                           // the first span of the diagrams

    struct ShownLine {
        analysis::InfluenceAt at;
        analysis::InfluenceLine line;
    };
    QWidget* m_influenceRow = nullptr;
    std::optional<Beam> m_influenceBeam;
    analysis::Engine m_influenceEngine;
    bool m_influenceStale = true;   // the beam shown changed since it was factored
    Status m_influenceStatus;       // of the last factoring
    bool m_sectionEntered = false;  // else the first beam's section goes mid-span
    bool m_atNode = false;          // the node entered rules, not the section
    std::array<ShownLine, 2> m_lines;
    int m_influenceFirst = 1, m_influenceLast = 0;  // the spans drawn
};

}  // namespace cbeam
