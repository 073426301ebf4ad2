#pragma once

#include <string>
#include <string_view>

#include "model/beam.h"
#include "text/status.h"

namespace cbeam {

constexpr int kRecordSize = 64;

// Reads a beam file into a fresh state and replaces the beam and its
// analysis in `state` (BeamState::Loaded, then marked saved) only when the
// whole file is accepted; otherwise `state` is untouched. A
// load kind other than 0, 1, 2 or an end flag (of record N, the one that
// counts) other than 0, -1 is refused with the record named.
Status LoadBeamFile(const std::string& path, BeamState& state);
// The same read for a caller with no session: replaces `state` when accepted.
Status ReadBeamFile(const std::string& path, DesignState& state);

// Writes N+1 records to a temporary file beside `path` and renames it over
// `path` once everything is written and flushed. Results that are not
// current (state.Results) are written as 0: a file must never pair a beam
// with the moments of another one.
Status SaveBeamFile(const std::string& path, const DesignState& state);

// LoadBeamFile on bytes already in memory: the same checks, the same
// all-or-nothing replacement of `state`; no session is touched.
Status DecodeBeamFile(std::string_view bytes, DesignState& state);

// The N+1 records of the beam with the results as the state holds them;
// NoBeam, with `bytes` untouched, when the state holds no complete beam (see
// HasCompleteBeam).
Status EncodeBeamFile(const DesignState& state, std::string& bytes);

// N is 1..32766 and the arrays a file holds are sized for it.
bool HasCompleteBeam(const DesignState& state);

// Why the beam's stored values could not come back from a file (a value that
// is not a finite number, a span length not above 0, |EIo| below 1e-6, a
// load position outside 0..1, a negative load or rigidity, a value beyond the
// bounds of model/bounds.h); Ok when they can.
// Every beam the loader accepts passes, and the writer refuses what fails.
Status CheckBeamData(const DesignState& state);

}  // namespace cbeam
