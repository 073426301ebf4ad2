#pragma once

#include <string>

#include "model/beam.h"

namespace cbeam {

// Outcome of a file command: ok, or a short Chinese phrase saying why not.
struct FileResult {
    bool ok = true;
    std::string reason;
    explicit operator bool() const { return ok; }
    static FileResult Fail(std::string why) { return {false, std::move(why)}; }
};

constexpr int kRecordSize = 64;

// Reads a beam file into a fresh state and replaces `state` (InputMode = 2)
// only when the whole file is accepted; otherwise `state` is untouched.
FileResult LoadBeamFile(const std::string& path, BeamState& state);

// Writes N+1 records to a temporary file beside `path` and renames it over
// `path` once everything is written and flushed.
FileResult SaveBeamFile(const std::string& path, const BeamState& state);

}  // namespace cbeam
