// The refresh after an edit, the analysis driver and the window's commands.
#include <QComboBox>
#include <QFileInfo>
#include <cmath>

#include "drawing/drawings.h"
#include "files/bmf.h"
#include "files/report.h"
#include "model/compute.h"
#include "text/format.h"
#include "text/number.h"
#include "ui/about/frmabout.h"
#include "ui/common/listbox.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/start/frmstart.h"

namespace cbeam {

namespace {

// A name typed without an extension gets the one of the file kind.
QString WithExtension(const QString& path, const QString& extension) {
    return QFileInfo(path).fileName().contains(u'.') ? path : path + extension;
}

void ReadEndBox(const QComboBox* box, std::int16_t& flag) {
    if (box->currentIndex() == 0) flag = kTrue;
    if (box->currentIndex() == 1) flag = kFalse;
}

}  // namespace

void frmInput::RequestRefresh(Pending kind) {
    if (m_batchDepth > 0) {
        if (kind == Pending::Edit) m_editNoted = true;
        m_pending = kind;
        return;
    }
    RunRefresh(kind, false);
}

void frmInput::RunRefresh(Pending kind, bool editBefore) {
    if (kind == Pending::Edit) {
        Picture1->Clear();
        List1->Clear();
        ReDrawAll();
        Picture2->Clear();
        CalcAll();
        return;
    }
    // An end condition: the analysis first, so that the schematic shows the
    // flags it has just taken from the boxes.
    if (editBefore) {
        List1->Clear();
        Picture2->Clear();
    }
    CalcAll();
    Picture1->Clear();
    ReDrawAll();
}

void frmInput::CalcAll() {
    BeamState& s = m_state;
    if (const int k = FirstUndefinedSpan(s); k != 0) {
        Refuse(m_services, QStringLiteral("第") + QString::fromStdString(SignNumberText(k)) +
                               QStringLiteral("跨未定义!"));
        return;
    }
    const std::int16_t flag0 = s.Flag0;
    const std::int16_t flagN = s.FlagN;
    ReadEndBox(cmbFlagN, s.FlagN);
    ReadEndBox(cmbFlag0, s.Flag0);
    const SolveStatus status = Analyse(s);
    if (status == SolveStatus::NotSolvable) {
        s.Flag0 = flag0;
        s.FlagN = flagN;
        Refuse(m_services, QStringLiteral("无法计算，请检查各跨的长度、刚度和荷载！"));
        return;
    }
    if (status == SolveStatus::NotSymmetric) {
        m_services.Message(kErrorTitle, QStringLiteral("刚度矩阵不对称！"), MsgIcon::None);
        // The moments then follow from the rotations of the last solution.
        RealArray m = s.M;
        CalcMoments(s, m, s.LineStiff, s.Theta, s.NodeLoad);
        bool finite = true;
        for (int k = 1; k <= s.N + 1; ++k) finite = finite && std::isfinite(m(k));
        if (finite) s.M = std::move(m);
    }
    Picture2->Clear();
    List1->Clear();
    DrawM();
    QStringList lines;
    lines.reserve(s.N + 1);
    for (int k = 1; k <= s.N + 1; ++k) {
        lines << QStringLiteral("结点") + QString::fromStdString(SignNumberText(k)) + u':' +
                     QString::fromStdString(Format(s.M(k), "####0.000###"));
    }
    List1->SetItems(lines);
}

void frmInput::ReDrawAll() {
    cbeam::ReDrawAll(m_state, Picture1->Surface());
    Picture1->update();
}

void frmInput::DrawM() {
    cbeam::DrawM(m_state, Picture2->Surface());
    Picture2->update();
}

void frmInput::Command2_Click() {
    if (m_about.isNull()) m_about = new frmAbout(m_services);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmInput::Command3_Click() {
    auto* start = new frmStart(m_state, m_services);
    start->show();
    close();
}

void frmInput::CmdSave_Click() {
    const std::optional<QString> path = m_services.SaveFile(
        QStringLiteral("*.bmf"),
        QStringLiteral("连续梁bmf文档(*.bmf)|*.bmf| Text 文档(*.txt)|*.txt|All Files(*.*)|*.*"));
    if (!path) return;
    const QString name = WithExtension(*path, QStringLiteral(".bmf"));
    if (!SaveBeamFile(name.toStdString(), m_state)) {
        Refuse(m_services, QStringLiteral("保存数据文件失败！"));
    }
}

void frmInput::saveTXT_Click() {
    const std::optional<QString> path = m_services.SaveFile(
        QStringLiteral("*.txt"), QStringLiteral(" Text 文档(*.txt)|*.txt|All Files(*.*)|*.*"));
    if (!path) return;
    const QString name = WithExtension(*path, QStringLiteral(".txt"));
    if (!SaveReport(name.toStdString(), m_state))
        Refuse(m_services, QStringLiteral("保存txt文件失败！"));
}

}  // namespace cbeam
