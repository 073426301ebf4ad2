#pragma once

#include <QWidget>

#include "model/beam.h"
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
    frmStart(BeamState& state, UiServices& services, QWidget* parent = nullptr);

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

  private:
    void BuildControls();
    void SetSpanFieldsEnabled(bool enabled);
    // Shows the "数值超出范围！" refusal when the text's number overflows.
    // Hands over to the input window and closes this dialog.
    void OpenInputWindow();

    BeamState& m_state;
    UiServices& m_services;
};

}  // namespace cbeam
