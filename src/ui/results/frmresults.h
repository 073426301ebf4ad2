#pragma once

#include <QWidget>
#include <vector>

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
// holds. It only shows; the input window refreshes it after each of its own
// refreshes.
class frmResults : public QWidget {
  public:
    frmResults(BeamState& state, UiServices& services, QWidget* parent = nullptr);
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

    BeamState& m_state;
    UiServices& m_services;
    CellTable* m_nodes = nullptr;
    CellTable* m_spans = nullptr;
    DesignValues m_design;
};

}  // namespace cbeam
