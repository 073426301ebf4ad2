#pragma once

#include <QWidget>

#include "ui/common/services.h"

class QLabel;
class QPushButton;

namespace cbeam {

// The About box: title, version, what the program does, and a way to the
// system's information tool. Shown without blocking the other windows.
class frmAbout : public QWidget {
  public:
    explicit frmAbout(UiServices& services, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

  protected:
    // Enter that no button takes is 确定; Escape closes, as in a dialog.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    UiServices& m_services;
};

// "1.0.0": the program's version, from the build.
QString VersionText();

}  // namespace cbeam
