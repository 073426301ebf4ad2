#pragma once

#include <QMainWindow>
#include <QPointer>

#include "document/beam_document.h"
#include "ui/common/services.h"
#include "ui/design/design_tables.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTableView;

namespace cbeam {

class CellTable;
class DesignDrawings;

// The design window "连续梁设计": every span, support, load case, load and
// combination of a general beam in tables, the schematic and the M, V, w
// diagrams or envelopes beside them and the design values under them, all
// following the document after every accepted edit; undo and redo of every
// change, a plain Save and the recent files.
class frmDesign : public QMainWindow {
  public:
    frmDesign(BeamDocument& doc, UiServices& services, QWidget* parent = nullptr);
    ~frmDesign() override;

    // The menu commands.
    void NewBeam();
    void OpenBeam();
    bool SaveBeam();    // Ctrl+S: to the beam's file; the first time as SaveAs
    bool SaveBeamAs();  // Ctrl+Shift+S
    void OpenRecent(const QString& path);
    void ExportSheet();
    void ExportReport();
    void ExportCsv();
    void ExportPicture();
    void AddSlab();
    // The files most recently opened or saved, newest first (at most 8).
    QStringList RecentFiles() const;

    QTabWidget* tabInput = nullptr;
    SheetView* tblSpans = nullptr;
    SheetView* tblSupports = nullptr;
    SheetView* tblCases = nullptr;
    SheetView* tblLoads = nullptr;
    SheetView* tblCombinations = nullptr;
    QLineEdit* txtEIo = nullptr;
    QComboBox* cboLoadCase = nullptr;
    QTableView* tblSpanResults = nullptr;
    QTableView* tblSupportResults = nullptr;
    DesignDrawings* Drawings = nullptr;
    QMenu* mnuRecent = nullptr;
    QAction* actUndo = nullptr;
    QAction* actRedo = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildTables();
    void BuildMenus();
    void Follow();
    void FollowCases();
    void ShowResults();
    void UpdateTitle();
    void FillRecent();
    void Remember(const QString& path);
    void Tell(const QString& text);
    bool WriteTo(const QString& path);
    // Before the beam is replaced: false when the user keeps it unsaved.
    bool AskToKeep();
    // The beam's file name with another extension, for a dialog's preset.
    QString Preset(const QString& extension) const;
    QString FileName() const;

    BeamDocument& m_doc;
    UiServices& m_services;
    std::vector<BeamTableModel*> m_models;
    BeamTableModel* m_loads = nullptr;
    CellTable* m_spanResults = nullptr;
    CellTable* m_supportResults = nullptr;
    QLabel* m_statusText = nullptr;
    QPointer<QWidget> m_about;
};

}  // namespace cbeam
