#pragma once

#include <QWidget>
#include <vector>

#include "document/beam_document.h"
#include "model/beam.h"
#include "model/design.h"
#include "ui/common/services.h"

class QLabel;
class QPushButton;
class QTableView;

namespace cbeam {

class CellTable;
class DiagramView;

// The detailed results window "详细结果": node and span tables, the
// shear-force diagram and the deflection curve of the beam the input window
// holds. It only shows, following the document: each analysis and each
// change of the stretch in view.
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

  private:
    void BuildControls();
    void ShowValues(bool shown);

    BeamDocument& m_doc;
    const BeamState& m_state;  // the document's
    UiServices& m_services;
    CellTable* m_nodes = nullptr;
    CellTable* m_spans = nullptr;
};

}  // namespace cbeam
