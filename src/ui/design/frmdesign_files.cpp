// The design window's file commands: new, open, save, the recent files,
// the exports and the slab shortcut.
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QSettings>

#include "files/report.h"
#include "files/safe_write.h"
#include "model/beam_tables.h"
#include "ui/common/beamfiles.h"
#include "ui/common/picture_actions.h"
#include "ui/design/design_drawings.h"
#include "ui/design/frmdesign.h"
#include "ui/results/envelope_results.h"
#include "ui/results/frmresults.h"

namespace cbeam {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const QString kRecentKey = QStringLiteral("design/recentFiles");
constexpr int kRecentCount = 8;

// The design window keeps its beams as JSON: every case, load and
// combination; the .bmf holds only what the input window shows.
const QString kDesignSaveFilter =
    QStringLiteral("JSON 梁文件(*.json)|*.json|梁数据文件(*.bmf)|*.bmf|All Files(*.*)|*.*");

}  // namespace

QString frmDesign::FileName() const {
    return ShownPath(m_doc.State().FileName);
}

QString frmDesign::Preset(const QString& extension) const {
    if (FileName().isEmpty()) return QStringLiteral("*.") + extension;
    const QFileInfo beam(FileName());
    return beam.dir().filePath(beam.completeBaseName() + QLatin1Char('.') + extension);
}

bool frmDesign::AskToKeep() {
    if (!m_doc.Unsaved()) return true;
    switch (m_services.AskToSave(Q(MessageText(Status{Code::BeamNotSaved})))) {
        case SaveChoice::Save:
            return SaveBeam();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            return false;
    }
    return false;
}

void frmDesign::NewBeam() {
    if (!AskToKeep()) return;
    m_doc.NewGeneral(tables::NewBeam());
}

void frmDesign::OpenBeam() {
    if (!AskToKeep()) return;
    int filter = 0;
    const auto chosen = m_services.OpenFile(QString(), kBeamOpenFilter, &filter);
    if (!chosen) return;
    const BeamFileName file = OpenedBeamFile(*chosen, filter);
    if (const Status r = m_doc.Load(LocalPath(file.path), file.kind); !r) {
        RefuseCommand(m_services, Command::Load, r);
        return;
    }
    Remember(file.path);
}

void frmDesign::OpenRecent(const QString& path) {
    if (!AskToKeep()) return;
    const BeamFileName file = OpenedBeamFile(path, -1);
    if (const Status r = m_doc.Load(LocalPath(file.path), file.kind); !r) {
        RefuseCommand(m_services, Command::Load, r);
        return;
    }
    Remember(file.path);
}

bool frmDesign::SaveBeam() {
    if (FileName().isEmpty()) return SaveBeamAs();
    return WriteTo(FileName());
}

bool frmDesign::SaveBeamAs() {
    const auto chosen = m_services.SaveFile(Preset(QStringLiteral("json")), kDesignSaveFilter);
    if (!chosen) return false;
    QString path = *chosen;
    if (!QFileInfo(path).fileName().contains(u'.')) path += QStringLiteral(".json");
    return WriteTo(path);
}

bool frmDesign::WriteTo(const QString& path) {
    if (const Status r = m_doc.SaveCurrent(LocalPath(path)); !r) {
        RefuseCommand(m_services, Command::Save, r);
        return false;
    }
    Remember(path);
    Tell(QStringLiteral("已保存 %1").arg(path));
    return true;
}

QStringList frmDesign::RecentFiles() const {
    return QSettings().value(kRecentKey).toStringList();
}

void frmDesign::Remember(const QString& path) {
    QStringList recent = RecentFiles();
    const QString full = QFileInfo(path).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    while (recent.size() > kRecentCount) recent.removeLast();
    QSettings().setValue(kRecentKey, recent);
    FillRecent();
}

void frmDesign::FillRecent() {
    mnuRecent->clear();
    const QStringList recent = RecentFiles();
    int number = 0;
    for (const QString& path : recent) {
        ++number;
        QAction* a = mnuRecent->addAction(
            QStringLiteral("&%1 %2").arg(number).arg(QFileInfo(path).fileName()));
        a->setToolTip(path);
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    mnuRecent->setEnabled(!recent.isEmpty());
}

void frmDesign::ExportSheet() {
    const Beam& beam = m_doc.Current();
    if (const Status valid = beam.N() == 0 ? Status{Code::NoBeam} : Validate(beam); !valid) {
        RefuseCommand(m_services, Command::Sheet, valid);
        return;
    }
    AskAndWriteSheet(m_services, m_doc.State().FileName,
                     [&beam](const std::string& path, const SheetInfo& info) {
                         return WriteSheet(path, beam, info);
                     });
}

void frmDesign::ExportReport() {
    // The text report is the design's: one load a span, one case.
    if (!m_doc.FitsInput()) {
        DesignState state;
        RefuseCommand(m_services, Command::Report, ToDesignState(m_doc.Current(), state));
        return;
    }
    if (const Analysis a = m_doc.Analyse(); !a.status) {
        RefuseCommand(m_services, Command::Report, a.status);
        return;
    }
    const auto chosen = m_services.SaveFile(
        Preset(QStringLiteral("txt")), QStringLiteral("文本文件(*.txt)|*.txt|All Files(*.*)|*.*"));
    if (!chosen) return;
    QString path = *chosen;
    if (!QFileInfo(path).fileName().contains(u'.')) path += QStringLiteral(".txt");
    if (const Status r = SaveReport(LocalPath(path), m_doc.State(), ReportEncoding::Utf8); !r) {
        RefuseCommand(m_services, Command::Report, r);
    }
}

void frmDesign::ExportCsv() {
    const EnvelopeResults* r = Drawings->Results();
    if (!r) {
        RefuseCommand(m_services, Command::Table, Validate(m_doc.Current()));
        return;
    }
    const auto chosen = m_services.SaveFile(
        Preset(QStringLiteral("csv")), QStringLiteral("CSV 文件(*.csv)|*.csv|All Files(*.*)|*.*"));
    if (!chosen) return;
    QString path = *chosen;
    if (!QFileInfo(path).fileName().contains(u'.')) path += QStringLiteral(".csv");
    // The design values as the two tables show them, one table after the
    // other, under the combination shown.
    QString text;
    const auto table = [&text](const QStringList& headers, int rows, auto cell) {
        text += headers.join(QLatin1Char(',')) + QLatin1Char('\n');
        for (int row = 0; row < rows; ++row) {
            QStringList cells;
            for (int c = 0; c < headers.size(); ++c) {
                QString v = cell(row, c);
                if (v.contains(QLatin1Char(',')) || v.contains(QLatin1Char('"'))) {
                    v = QLatin1Char('"') + v.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                        QLatin1Char('"');
                }
                cells << v;
            }
            text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
        }
        text += QLatin1Char('\n');
    };
    text += QStringLiteral("组合,") + Drawings->ShownName() + QLatin1Char('\n');
    table(EnvelopeResults::SpanHeaders(), r->Spans(),
          [r](int row, int c) { return r->SpanCell(row, c); });
    table(EnvelopeResults::SupportHeaders(), r->Spans() + 1,
          [r](int row, int c) { return r->SupportCell(row, c); });
    if (const Status w = WriteFileSafely(LocalPath(path), text.toStdString()); !w) {
        RefuseCommand(m_services, Command::Table, w);
    }
}

void frmDesign::ExportPicture() {
    const std::optional<Picture> picture = Drawings->WholePicture();
    if (!picture) return;
    SavePicture(m_services, *picture, devicePixelRatioF(), Preset(QStringLiteral("png")));
}

void frmDesign::AddSlab() {
    const Beam& beam = m_doc.Current();
    if (beam.N() == 0) return;
    const std::optional<SlabShare> slab = m_services.AskSlab(beam.N());
    if (!slab) return;
    const int c = std::max(0, m_loads->Id().caseIndex);
    const tables::Outcome r = m_loads->Apply([&](Beam& b) {
        return tables::AddSlabShare(b, c, slab->span, slab->lx, slab->p, slab->sides);
    });
    Tell(r.ok ? QString() : Q(r.reason));
}

}  // namespace cbeam
