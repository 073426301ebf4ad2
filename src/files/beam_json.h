#pragma once

#include <string>
#include <string_view>

#include "files/bmf.h"
#include "model/beam.h"
#include "model/structure.h"

namespace cbeam {

// The beam as JSON text for scripts: the beam's description only (no
// results), one span a line, every number at full precision; NoBeam, with
// `text` untouched, when the state holds no complete beam.
Status EncodeBeamJson(const DesignState& state, std::string& text);

// Reads a JSON beam into a fresh state and replaces the beam and its
// analysis in `state` (BeamState::Loaded) only when the whole text is accepted. A refusal names the
// JSON path of the value at fault, e.g. "spans[3].L". A version 2 beam is taken only when the
// design's state holds it exactly (ToDesignState), else refused with the reason.
Status DecodeBeamJson(std::string_view text, BeamState& state);

// A beam file as read: a version 2 JSON beam in `beam` (`general`), a .bmf or
// version 1 beam in `state` (its input fields only).
struct LoadedBeam {
    bool general = false;
    DesignState state;
    Beam beam;
};

// Either version; replaces `out` only when the whole text is accepted.
// Version 2 refusals name the JSON path too ("cases[1].loads[0].x"), spans
// and nodes counting from 0 as JSON does.
Status DecodeBeamJson(std::string_view text, LoadedBeam& out);

// The general beam as version 2 JSON in its one canonical layout: keys in a
// fixed order, a span, support or load a line, numbers in their shortest
// exact form, every position written out; so reading and writing again
// gives the same bytes. The beam is taken as valid, so this never fails.
Status EncodeBeamJson(const Beam& beam, std::string& text);

// True for a path whose extension says JSON (".json", any case).
bool IsJsonPath(const std::string& path);

// The two kinds of beam file.
enum class BeamKind { Bmf, Json };

// The kind a path's extension names: JSON for ".json", else the data file.
BeamKind KindOfPath(const std::string& path);

// Loads a beam file of either kind, by the path's extension.
Status LoadBeam(const std::string& path, BeamState& state);
// The same for a kind chosen otherwise (a file dialog's type).
Status LoadBeam(const std::string& path, BeamKind kind, BeamState& state);

// Loads a beam file of any kind and version, by the path's extension.
Status LoadBeam(const std::string& path, LoadedBeam& out);
Status LoadBeam(const std::string& path, BeamKind kind, LoadedBeam& out);

// Saves the beam in the kind the path's extension names, atomically.
Status SaveBeam(const std::string& path, const DesignState& state);
Status SaveBeam(const std::string& path, BeamKind kind, const DesignState& state);

// ToDesignState for a .bmf: a refusal names no JSON path and offers JSON.
Status ToBmfState(const Beam& beam, DesignState& out);

// A general beam as version 2 JSON, or as a .bmf when the file holds it
// exactly; otherwise refused with what the beam holds that a .bmf cannot,
// offering JSON instead. Nothing is dropped.
Status SaveBeam(const std::string& path, const Beam& beam);

}  // namespace cbeam
