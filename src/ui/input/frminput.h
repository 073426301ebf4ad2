#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "document/beam_document.h"
#include "files/beam_json.h"
#include "model/beam.h"
#include "ui/common/services.h"
#include "ui/input/drawingview.h"
#include "ui/input/spantable.h"
#include "ui/results/frmresults.h"

class QComboBox;
class QGroupBox;
class QKeySequence;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace cbeam {

class FieldMarks;
class ListBox;
class PictureBox;

// The input and results window "输入参数": one span's load at a time, the two
// end conditions, the span table, the results list, the beam schematic and
// the bending-moment diagram, refreshed after every accepted edit.
class frmInput : public QWidget {
  public:
    frmInput(BeamDocument& doc, UiServices& services, QWidget* parent = nullptr);
    ~frmInput() override;

    void Form_Load();
    void cmbN_Click();
    void cmbFlag0_Click();
    void cmbFlagN_Click();
    void optNone_Click();
    void optQ_Click();
    void optP_Click();
    void txtQ_Change();
    void txtPosA_Change();
    void Command2_Click();
    void Command3_Click();
    void CmdSave_Click();
    void saveTXT_Click();
    // Opens the detailed results window, or brings the open one forward.
    void cmdResults_Click();
    frmResults* ResultsWindow() const { return m_results; }
    // The design window changed the beam: every field and list shows it.
    void FollowDocument();

    // Changes since the last save or load (a typed beam: until it is saved).
    bool Modified() const;

    // Runs the analysis driver and shows its outcome: a message, or the
    // results list and the moment diagram.
    void CalcAll();
    // The schematic into Picture1 (which the caller has cleared).
    void ReDrawAll();
    // The moment diagram into Picture2 (which the caller has cleared).
    void DrawM();

    QComboBox* cmbN = nullptr;
    QComboBox* cmbFlag0 = nullptr;
    QComboBox* cmbFlagN = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optNone = nullptr;
    QRadioButton* optP = nullptr;
    QRadioButton* optQ = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblPosA = nullptr;
    QLineEdit* txtPosA = nullptr;
    QLabel* lbl_L = nullptr;
    QLabel* lblQ = nullptr;
    QLineEdit* txtQ = nullptr;
    QLabel* lbl_PerQ = nullptr;
    QPushButton* saveTXT = nullptr;
    QPushButton* CmdSave = nullptr;
    QPushButton* cmdResults = nullptr;
    // Opens the beam in the design window.
    QPushButton* cmdDesign = nullptr;
    ListBox* ListI = nullptr;
    ListBox* ListEI = nullptr;
    ListBox* ListL = nullptr;
    ListBox* ListC = nullptr;
    ListBox* ListQ = nullptr;
    ListBox* ListA = nullptr;
    ListBox* List1 = nullptr;
    PictureBox* Picture1 = nullptr;
    PictureBox* Picture2 = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // What an edit ends with. Handlers nested in another handler that ends
    // with its own refresh only note theirs; the outermost one runs the last
    // noted, which leaves the same lists and drawings as running them all.
    enum class Pending { None, Edit, Ends };
    class Batch;

    void BuildControls();
    void RequestRefresh(Pending kind);
    void RunRefresh(Pending kind, bool editBefore);
    void ShowLoadFields(bool shown);
    // The load kinds' shared steps; `uniform` picks optQ's texts over optP's.
    void ShowLoad(bool uniform);
    void WriteLoadCells();
    // An end box's choice into its flag, then the refresh of an end condition.
    void StoreEnd(const QComboBox* box, std::int16_t& flag);
    bool HasSpan() const;

    // The window's own behaviour around the design: resizing, the shared
    // view of the drawings, the title, shortcuts, the table's rows.
    void SetUpView();
    void LayOut();
    // Both drawings again, at the pictures' size and view, from the beam
    // and the last results.
    void RedrawPictures();
    // Brings span k into view in both drawings, marked as the chosen one.
    void RevealSpan(int k);
    void UpdateTitle();
    // Saves through the file dialog; true when the beam was written.
    bool Save();
    // The load fields' marks, and the window's keys that the fields leave
    // to the window.
    void SetUpFields(const QList<QKeySequence>& windowKeys);
    void PlaceProblemLine();
    // Ctrl+S: to the beam's file when it has one, else as "保存".
    void SaveAgain();
    // The beam's file name with another extension, for a dialog's preset;
    // `pattern` ("*.txt") when the beam has none.
    QString PresetName(const QString& pattern) const;
    // Every row of the span table, as choosing each span writes it.
    void FillRows();

    BeamDocument& m_doc;
    BeamState& m_state;  // the document's, edited through it
    UiServices& m_services;
    std::unique_ptr<SpanTable> m_table;
    int m_batchDepth = 0;
    Pending m_pending = Pending::None;
    QPointer<QWidget> m_about;       // one About box at a time, like a single form
    QPointer<frmResults> m_results;  // likewise one results window
    bool m_editNoted = false;
    QLabel* m_tableHeader = nullptr;
    QLabel* m_resultsCaption = nullptr;
    DrawingView m_view;
    QString m_path;                   // the file of the beam; empty: never saved
    BeamKind m_kind = BeamKind::Bmf;  // and its kind
    FieldMarks* m_marks = nullptr;
    QLabel* m_problemLine = nullptr;
    bool m_leaving = false;  // "<上一步": no question
};

}  // namespace cbeam
