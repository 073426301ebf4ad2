#pragma once

#include <string>
#include <vector>

#include "files/bmf.h"
#include "model/beam.h"

namespace cbeam {

// The report's lines as UTF-8 text, without line ends. A value too wide for
// its column pushes the rest of its row onto a further line, so a row may
// take more than one line.
std::vector<std::string> ReportLines(const DesignState& state);

// The report's lines as UTF-8 text, joined by "\n" (no line end after the
// last one); NoBeam, with `text` untouched, when the state holds no complete beam.
Status ReportText(const DesignState& state, std::string& text);

// The report file's character set: GBK for the Chinese Windows code page the
// file has always had, UTF-8 (without a BOM) for today's desktops.
enum class ReportEncoding { Gbk, Utf8 };

// The report file's bytes: every line ended by CR LF, in the given encoding.
Status EncodeReport(const DesignState& state, std::string& bytes,
                    ReportEncoding encoding = ReportEncoding::Gbk);

// Writes the report (CR LF) atomically, like SaveBeamFile. Refuses, with the
// analysis' own status, a beam whose results are not current.
Status SaveReport(const std::string& path, const DesignState& state,
                  ReportEncoding encoding = ReportEncoding::Gbk);

}  // namespace cbeam
