#pragma once

#include <QObject>
#include <QUndoStack>
#include <optional>
#include <string>

#include "files/beam_json.h"
#include "model/beam.h"
#include "model/design.h"
#include "model/driver.h"
#include "text/status.h"

namespace cbeam {

// What an edit changed: the spans (count, lengths, rigidities), a span's
// load, or the end conditions.
enum class BeamChange { Spans, Loads, Ends };

// The stretch of the beam every diagram shows: the zoom (1: the whole beam)
// and the share of the zoomed drawing left of the visible part.
struct ViewStretch {
    double zoom = 1, left = 0;
    bool operator==(const ViewStretch&) const = default;
};

// The one beam of the program, made in main and handed to every window: the
// beam, its analysis and the session, the design values of the last analysis
// and the undo stack. Windows change the beam through it and follow its
// signals; none refreshes another by hand.
class BeamDocument : public QObject {
    Q_OBJECT
  public:
    explicit BeamDocument(QObject* parent = nullptr);
    ~BeamDocument() override;

    const BeamState& State() const { return m_state; }
    // For a window's edit of the fields; Edited says what changed.
    BeamState& Edit() { return m_state; }
    void Edited(BeamChange what);

    // The analysis of the beam as it stands; every window showing results
    // follows through resultsChanged, whatever the outcome.
    Analysis Analyse();
    // The design values of the last analysis, worked out once when first
    // asked for (a keystroke that no window with them sees costs nothing);
    // empty when that analysis gave no moments.
    const DesignValues& Design() const;

    // A beam file replaces the beam and its analysis; the session keeps the
    // window's place. The beam is left as it was when the file is refused.
    Status Load(const std::string& path, BeamKind kind);
    // The general beam of a version 2 file that the legacy state cannot hold
    // (load cases, several loads a span, springs); null for any other beam.
    const Beam* General() const { return m_general ? &*m_general : nullptr; }
    // Saves in the kind asked for; the beam is then the file's.
    Status Save(const std::string& path, BeamKind kind);

    ViewStretch View() const { return m_view; }
    void SetView(ViewStretch view);

    QUndoStack& UndoStack() { return m_undo; }

  signals:
    void beamChanged(cbeam::BeamChange what);
    void resultsChanged();
    void fileChanged();
    void viewChanged();

  private:
    BeamState m_state;
    std::optional<Beam> m_general;
    mutable std::optional<DesignValues> m_design;
    ViewStretch m_view;
    QUndoStack m_undo;
};

}  // namespace cbeam
