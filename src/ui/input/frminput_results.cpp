// The refresh after an edit, the analysis driver and the window's commands.
#include <QDir>
#include <QFileInfo>

#include "drawing/drawings.h"
#include "files/beam_json.h"
#include "files/report.h"
#include "model/driver.h"
#include "ui/about/frmabout.h"
#include "ui/common/beamfiles.h"
#include "ui/common/controls.h"
#include "ui/common/listbox.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/results/diagramview.h"
#include "ui/results/frmresults.h"

namespace cbeam {

namespace {

// A name typed without an extension gets the one of the file kind.
QString WithExtension(const QString& path, const QString& extension) {
    return QFileInfo(path).fileName().contains(u'.') ? path : path + extension;
}

}  // namespace

void frmInput::RequestRefresh(Pending kind) {
    m_doc.Edited(kind == Pending::Ends ? BeamChange::Ends : BeamChange::Loads);
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
    } else {
        // An end condition: the analysis first, then the schematic.
        if (editBefore) {
            List1->Clear();
            Picture2->Clear();
        }
        CalcAll();
        Picture1->Clear();
        ReDrawAll();
    }
    UpdateTitle();
}

void frmInput::CalcAll() {
    const Analysis analysis = m_doc.Analyse();
    const Status& status = analysis.status;
    if (status.code == Code::NotSymmetric) {
        m_services.Message(kErrorTitle, Q(MessageText(status)), MsgIcon::None);
    } else if (!status) {
        // The list and the diagram keep showing the last results.
        Refuse(m_services, Q(MessageText(status)));
        return;
    }
    Picture2->Clear();
    List1->Clear();
    DrawM();
    const auto count = static_cast<int>(analysis.moments.size());
    List1->SetLines(count, [moments = analysis.moments](int row) {
        return Q(ResultLine(row + 1, moments[static_cast<std::size_t>(row)]));
    });
}

void frmInput::ReDrawAll() {
    cbeam::ReDrawAll(m_state, Picture1->Surface());
    if (m_state.N > 1) MarkSpan(m_state, m_state.CurSpan, Picture1->Surface());
    Picture1->update();
}

void frmInput::DrawM() {
    cbeam::DrawM(m_state, Picture2->Surface());
    if (m_state.N > 1) MarkSpan(m_state, m_state.CurSpan, Picture2->Surface());
    Picture2->update();
}

void frmInput::Command2_Click() {
    if (m_about.isNull()) m_about = new frmAbout(m_services);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmInput::cmdResults_Click() {
    if (m_results.isNull()) {
        m_results = new frmResults(m_doc, m_services);
    }
    m_results->show();
    m_results->raise();
    m_results->activateWindow();
}

void frmInput::Command3_Click() {
    m_leaving = true;
    m_services.openStartDialog(StartWith::CurrentBeam);
    close();
}

void frmInput::CmdSave_Click() {
    Save();
}

void frmInput::SaveAgain() {
    if (m_path.isEmpty()) {
        Save();
        return;
    }
    if (const Status r = m_doc.Save(LocalPath(m_path), m_kind); !r) {
        RefuseCommand(m_services, Command::Save, r);
        return;
    }
    UpdateTitle();
}

QString frmInput::PresetName(const QString& pattern) const {
    if (m_path.isEmpty()) return pattern;
    const QFileInfo file(m_path);
    return file.dir().filePath(file.completeBaseName() + pattern.mid(1));
}

bool frmInput::Save() {
    int filter = 0;
    const std::optional<QString> path = m_services.SaveFile(
        m_path.isEmpty() ? QStringLiteral("*.bmf") : m_path, kBeamSaveFilter, &filter);
    if (!path) return false;
    // The kind follows the name's extension, or the type chosen: a name
    // ending in .json once got the data file's bytes.
    const BeamFileName file = SavedBeamFile(*path, filter);
    const QString& name = file.path;
    if (const Status r = m_doc.Save(LocalPath(name), file.kind); !r) {
        RefuseCommand(m_services, Command::Save, r);
        return false;
    }
    m_path = name;
    m_kind = file.kind;
    UpdateTitle();
    return true;
}

void frmInput::saveTXT_Click() {
    // A refused analysis leaves results of another beam: no report of them.
    if (!m_state.Results) {
        Refuse(m_services, Q(MessageText(m_state.Results)));
        return;
    }
    int filter = 0;
    const std::optional<QString> path = m_services.SaveFile(
        PresetName(QStringLiteral("*.txt")),
        QStringLiteral(" Text 文档(*.txt)|*.txt|文本文件 UTF-8 (*.txt)|*.txt|All Files(*.*)|*.*"),
        &filter);
    if (!path) return;
    const QString name = WithExtension(*path, QStringLiteral(".txt"));
    const ReportEncoding encoding = filter == 1 ? ReportEncoding::Utf8 : ReportEncoding::Gbk;
    if (const Status r = SaveReport(LocalPath(name), m_state, encoding); !r) {
        RefuseCommand(m_services, Command::Report, r);
    }
}

}  // namespace cbeam
