#pragma once

#include <QWidget>
#include <vector>

#include "document/beam_document.h"
#include "model/beam.h"
#include "ui/common/fieldmarks.h"
#include "ui/common/services.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cbeam {

// The start dialog "欢迎使用": number of spans, EIo and each span's length and
// rigidity typed by hand, or a beam file loaded; then the input window.
class frmStart : public QWidget {
  public:
    frmStart(BeamDocument& doc, UiServices& services, StartWith with = StartWith::Nothing,
             QWidget* parent = nullptr);

    // Handlers, named after their control and event.
    void Form_Load();
    void txtN_Change();
    void Combo1_Click();
    void Text1_Change();
    void Text2_Change();
    void btnConfirm_Click();
    void Command1_Click();
    void Command2_Click();

    QLineEdit* txtN = nullptr;
    QLineEdit* txtEI0 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* btnConfirm = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    // A new beam in the design window.
    QPushButton* cmdDesign = nullptr;
    // What is wrong with a field, while it is wrong.
    QLabel* lblProblem = nullptr;

  protected:
    // Enter that no control takes is "下一步>", as in a dialog.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildControls();
    void SetSpanFieldsEnabled(bool enabled);
    // The beam of the input window into the fields, without a new count.
    void FillWithBeam();
    // Lists spans 1..n in Combo1, without running its handler.
    void FillSpanList(int n);
    // L and EI for n spans, each span with the values last typed for it.
    void SizeSpans(int n);
    bool HasSpan(int k) const;
    // The selected span's values into Text1 and Text2.
    void ShowSpan();
    // Hands over to the input window and closes this dialog.
    void OpenInputWindow();
    // Marks EIo as typed; it is read only at confirm.
    void MarkBase();

    BeamDocument& m_doc;
    BeamState& m_state;  // the document's, edited through it
    UiServices& m_services;
    FieldMarks* m_marks = nullptr;
    // The beam came back from the input window: its loads and ends stay.
    bool m_withBeam = false;
    // Every span's length and rigidity as last typed (1 when never typed), by
    // span number from 1, so that a count typed on the way to another, 12 to
    // 1 to 13, loses no span's values.
    std::vector<double> m_lengths, m_rigidities;
};

}  // namespace cbeam
