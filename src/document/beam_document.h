#pragma once

#include <QObject>
#include <QUndoStack>
#include <algorithm>
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
    const Beam* General() const { return m_fits ? nullptr : &*m_beam; }

    // The beam as the design window edits it: General(), or the legacy
    // beam as a general one (worked out when first asked for, then kept in
    // step with the legacy windows' edits).
    const Beam& Current();
    // Whether the beam came from a version 2 file: the design window's.
    bool FromVersion2() const { return m_version2; }
    // Whether the legacy windows can show the beam.
    bool FitsInput() const { return m_fits; }
    // An edit of the design window, named for the undo menu. Only what
    // changed is kept for undo, so a long beam's history stays small.
    // `session` (from 1000 up) joins the changes of one typing in a cell
    // into one step; -1 for a step of its own.
    void Change(const QString& name, const Beam& after, int session = -1);
    // A new beam of the design window, never saved; the history starts anew.
    void NewGeneral(Beam beam);
    // Whether the beam differs from its file (a new beam: once edited).
    bool Unsaved() const;
    // Saves the general beam, by the path's extension (a .bmf only when it
    // holds the beam exactly); the beam is then the file's.
    Status SaveCurrent(const std::string& path);
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
    // The beam the design window edits changed (an edit, undo or redo, a
    // load): every view of it follows.
    void generalChanged();
    // An edit made the beam one the legacy windows cannot show; `why`
    // says what it holds that they cannot.
    void inputUnfit(const QString& why);
    // The legacy state was replaced by the design window's beam (an edit,
    // undo or redo there): the legacy windows show it anew.
    void legacyReplaced();

  private:
    friend class BeamEditCommand;
    // The general beam has changed: the legacy state follows while it can.
    void Synchronise();

    BeamState m_state;
    // The general beam: always there when the legacy state cannot hold it,
    // otherwise only once the design window asked for it.
    std::optional<Beam> m_beam;
    bool m_fits = true;
    bool m_version2 = false;
    mutable std::optional<DesignValues> m_design;
    ViewStretch m_view;
    QUndoStack m_undo;
};

}  // namespace cbeam
