#include "ui/about/frmabout.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui/about/sysinfo.h"
#include "ui/common/controls.h"
#include "version/version.h"

namespace cbeam {

QString VersionText() {
    return QString::fromLatin1(kVersion);
}

frmAbout::frmAbout(UiServices& services, QWidget* parent) : QWidget(parent), m_services(services) {
    SetUpWindow(this, QStringLiteral("frmAbout"), QStringLiteral("关于我的应用程序"), 5730, 2940);

    picIcon = new QLabel(this);
    Place(picIcon, 240, 240, 540, 540);
    const int side = Px(540);
    picIcon->setPixmap(ProgramIcon().pixmap(side, side));

    lblTitle = new QLabel(this);
    Place(lblTitle, 1050, 240, 4440, 480);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(QStringLiteral("版本V1.0"), this);
    Place(lblVersion, 1050, 780, 4440, 255);
    lblDescription = new QLabel(
        QStringLiteral(
            "   本软件用于快速计算连续梁的内力及位移。操作简洁，可视化高，交互方便是本软件"
            "的特色。  如有不足之处还望多多指教。"),
        this);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblDescription, 1050, 1125, 4440, 1020);

    // The etched separator (a dark and a light line).
    auto* Line1 = new QFrame(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(Px(120), Px(2205), Px(5490), 2);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    Place(cmdOK, 4260, 2400, 1260, 375);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("系统信息(&S)..."), this);
    Place(cmdSysInfo, 2760, 2400, 1335, 375);
    cmdSysInfo->setAutoDefault(true);  // Enter on it when it has the focus

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("关于 ") + kAppTitle);
    lblVersion->setText(QStringLiteral("版本 ") + VersionText());
    lblTitle->setText(kAppTitle);
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        cmdOK->click();
    } else if (event->key() == Qt::Key_Escape) {
        close();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(m_services);
}

}  // namespace cbeam
