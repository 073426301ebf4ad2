#pragma once

#include <string>
#include <string_view>

#include "files/bmf.h"
#include "model/beam.h"

namespace cbeam {

// The beam as JSON text for scripts: the beam's description only (no
// results), one span a line, every number at full precision.
std::string EncodeBeamJson(const BeamState& state);

// Reads a JSON beam into a fresh state and replaces `state` (InputMode = 2)
// only when the whole text is accepted. A refusal names the JSON path of the
// value at fault, e.g. "spans[3].L".
Status DecodeBeamJson(std::string_view text, BeamState& state);

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

// Saves the beam in the kind the path's extension names, atomically.
Status SaveBeam(const std::string& path, const BeamState& state);
Status SaveBeam(const std::string& path, BeamKind kind, const BeamState& state);

}  // namespace cbeam
