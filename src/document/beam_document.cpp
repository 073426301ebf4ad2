#include "document/beam_document.h"

#include <QUndoCommand>
#include <utility>

#include "model/beam_diff.h"
#include "model/beam_tables.h"

namespace cbeam {

namespace {
// Consecutive edits of the legacy windows are one step of the history: a
// number typed there is one change, not one per key.
constexpr int kLegacyEditId = 1;
}  // namespace

// One change of the general beam: only the stretch of each list that
// changed, before and after.
class BeamEditCommand : public QUndoCommand {
  public:
    BeamEditCommand(BeamDocument& doc, const QString& name, BeamDiff diff, bool applied, int id)
        : QUndoCommand(name), m_doc(doc), m_diff(std::move(diff)), m_skip(applied), m_id(id) {}
    void redo() override {
        if (m_skip) {
            m_skip = false;
            return;
        }
        cbeam::Redo(*m_doc.m_beam, m_diff);
        m_doc.Synchronise();
    }
    void undo() override {
        cbeam::Undo(*m_doc.m_beam, m_diff);
        m_doc.Synchronise();
    }
    int id() const override { return m_id; }
    bool mergeWith(const QUndoCommand* other) override {
        // The merged step runs from this one's before to the other's after.
        const auto* next = static_cast<const BeamEditCommand*>(other);
        Beam before = *m_doc.m_beam;
        cbeam::Undo(before, next->m_diff);
        cbeam::Undo(before, m_diff);
        m_diff = Diff(before, *m_doc.m_beam);
        return true;
    }

  private:
    BeamDocument& m_doc;
    BeamDiff m_diff;
    bool m_skip;
    int m_id;
};

BeamDocument::BeamDocument(QObject* parent) : QObject(parent) {}

BeamDocument::~BeamDocument() = default;

void BeamDocument::Edited(BeamChange what) {
    // The legacy windows edit the legacy beam: from now on it is the beam.
    m_fits = true;
    m_state.Changed();
    m_design.reset();
    if (m_beam) {
        Beam after;
        if (FromDesignBeam(m_state, after)) {
            BeamDiff diff = Diff(*m_beam, after);
            if (!diff.Empty()) {
                *m_beam = std::move(after);
                m_undo.push(new BeamEditCommand(*this, QStringLiteral("输入窗口修改"),
                                                std::move(diff), true, kLegacyEditId));
                emit generalChanged();
            }
        } else {
            // A span not yet defined (EI 0) has no general form: the design
            // window takes the beam again once it has one.
            m_beam.reset();
            m_undo.clear();
        }
    }
    emit beamChanged(what);
}

const Beam& BeamDocument::Current() {
    if (!m_beam) {
        Beam beam;
        m_beam = FromDesignBeam(m_state, beam) && m_state.N > 0 ? std::move(beam)
                                                                 : tables::NewBeam();
    }
    return *m_beam;
}

void BeamDocument::Change(const QString& name, const Beam& after, int session) {
    BeamDiff diff = Diff(Current(), after);
    if (diff.Empty()) return;
    m_undo.push(new BeamEditCommand(*this, name, std::move(diff), false, session));
}

void BeamDocument::NewGeneral(Beam beam) {
    m_beam = std::move(beam);
    m_state.FileName.clear();
    m_state.SavedInputs.reset();
    m_undo.clear();
    // A new beam that was never saved counts as changed once edited.
    Synchronise();
    emit fileChanged();
}

void BeamDocument::Synchronise() {
    DesignState fresh;
    const bool wasFit = m_fits;
    const Status fits = m_beam->N() > 0 ? ToDesignState(*m_beam, fresh) : Status{Code::NoBeam};
    m_fits = bool(fits);
    if (m_fits) {
        const int span = m_state.CurSpan;
        m_state.Loaded(std::move(fresh));
        m_state.CurSpan = static_cast<std::int16_t>(std::clamp(span, 1, int(m_state.N)));
    } else {
        m_state.Loaded(DesignState{});
    }
    m_design.reset();
    if (wasFit && !m_fits && fits.code != Code::NoBeam) {
        emit inputUnfit(QString::fromStdString(MessageText(fits)));
    }
    emit generalChanged();
    if (m_fits) emit legacyReplaced();
    emit beamChanged(BeamChange::Spans);
}

Analysis BeamDocument::Analyse() {
    Analysis analysis = RunAnalysis(m_state);
    m_design.reset();
    emit resultsChanged();
    return analysis;
}

const DesignValues& BeamDocument::Design() const {
    if (!m_design) {
        m_design = HasMoments(m_state.Results) ? ComputeDesignValues(m_state) : DesignValues{};
    }
    return *m_design;
}

Status BeamDocument::Load(const std::string& path, BeamKind kind) {
    LoadedBeam loaded;
    if (kind == BeamKind::Json) {
        if (Status r = LoadBeam(path, kind, loaded); !r) return r;
    }
    if (loaded.general) {
        // A version 2 beam is the design window's; the legacy windows get
        // it too when they can show it.
        DesignState fresh;
        m_fits = loaded.beam.N() > 0 && ToDesignState(loaded.beam, fresh);
        m_state.Loaded(m_fits ? std::move(fresh) : DesignState{});
        m_beam = std::move(loaded.beam);
    } else {
        if (Status r = LoadBeam(path, kind, m_state); !r) return r;
        m_fits = true;
        m_beam.reset();
    }
    m_version2 = loaded.general;
    m_state.MarkSaved(path);
    m_design.reset();
    m_undo.clear();
    emit beamChanged(BeamChange::Spans);
    emit generalChanged();
    emit fileChanged();
    return {};
}

Status BeamDocument::Save(const std::string& path, BeamKind kind) {
    if (Status r = SaveBeam(path, kind, m_state); !r) return r;
    m_state.MarkSaved(path);
    m_undo.setClean();
    emit fileChanged();
    return {};
}

bool BeamDocument::Unsaved() const {
    // While the legacy windows share the beam their rule holds, so that an
    // edit there counts the same in either window.
    if (m_fits && m_state.N > 0) return m_state.SavedInputs != m_state.InputValues();
    return !m_undo.isClean();
}

Status BeamDocument::SaveCurrent(const std::string& path) {
    if (Status r = SaveBeam(path, Current()); !r) return r;
    if (m_fits) {
        m_state.MarkSaved(path);
    } else {
        m_state.FileName = path;
    }
    m_undo.setClean();
    emit fileChanged();
    return {};
}

void BeamDocument::SetView(ViewStretch view) {
    if (view == m_view) return;
    m_view = view;
    emit viewChanged();
}

}  // namespace cbeam
