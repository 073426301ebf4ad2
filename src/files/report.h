#pragma once

#include <string>

#include "files/bmf.h"
#include "model/beam.h"

namespace cbeam {

// The report's lines as UTF-8 text, without line ends.
std::string ReportText(const BeamState& state);

// Writes the report (GBK, CR LF) atomically, like SaveBeamFile.
FileResult SaveReport(const std::string& path, const BeamState& state);

}  // namespace cbeam
