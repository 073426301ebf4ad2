#include "document/beam_document.h"

#include <utility>

namespace cbeam {

BeamDocument::BeamDocument(QObject* parent) : QObject(parent) {}

BeamDocument::~BeamDocument() = default;

void BeamDocument::Edited(BeamChange what) {
    // The legacy windows edit the legacy beam: from now on it is the beam.
    m_general.reset();
    m_state.Changed();
    m_design.reset();
    emit beamChanged(what);
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
    const Status legacy = LoadBeam(path, kind, m_state);
    LoadedBeam loaded;
    // A general beam the legacy state cannot hold is taken all the same, for
    // the windows that show general beams; the legacy state is then empty.
    if (!legacy && (kind != BeamKind::Json || !LoadBeam(path, kind, loaded) || !loaded.general)) {
        return legacy;
    }
    if (legacy) {
        m_general.reset();
    } else {
        m_state.Loaded(DesignState{});
        m_state.MarkSaved(path);
        m_general = std::move(loaded.beam);
    }
    m_design.reset();
    emit beamChanged(BeamChange::Spans);
    emit fileChanged();
    return {};
}

Status BeamDocument::Save(const std::string& path, BeamKind kind) {
    if (Status r = SaveBeam(path, kind, m_state); !r) return r;
    m_state.MarkSaved(path);
    emit fileChanged();
    return {};
}

void BeamDocument::SetView(ViewStretch view) {
    if (view == m_view) return;
    m_view = view;
    emit viewChanged();
}

}  // namespace cbeam
