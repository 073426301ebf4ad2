#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/engine.h"
#include "files/safe_write.h"
#include "model/structure.h"
#include "text/status.h"

// The command line's outputs for a general beam (a version 2 JSON file):
// every case analysed by the one engine.
namespace cbeam::cli {

struct SolvedCase {
    const LoadCase* source = nullptr;
    analysis::CaseLoads loads;
    analysis::CaseResult result;
    std::vector<analysis::SpanDesign> design;
};

struct SolvedBeam {
    analysis::Engine engine;
    std::vector<SolvedCase> cases;  // in file order
};

// Factors once and analyses every case; Mechanism, NearlyMechanism, or
// NotFiniteResult when a value came out that no output could show.
Status SolveGeneral(const Beam& beam, SolvedBeam& out);

// {"N": …, "cases": [{"name", "M", "theta", "wnode", "R", "V", "Msag",
// "xMsag", "Mhog", "xMhog", "w", "xw"}, …]}: 17 significant digits, a zero
// always 0; ended by "\n".
std::string GeneralResultJson(const Beam& beam, const SolvedBeam& solved);

// The results list of each case: its name on a line, then its node moments
// as the design's list shows them.
std::vector<std::string> GeneralResultLines(const Beam& beam, const SolvedBeam& solved);

// The envelopes of every combination (or only the one named) as CSV:
// "combination,span,x,Mmax,Mmin,Vmax,Vmin,wmax,wmin", `points` equally spaced
// x a span with every load point and load end and every group's extremes, a
// point load or moment's x twice (just left, just right); with `reactions`
// "combination,node,Rmax,Rmin".
Status StreamEnvelope(const Beam& beam, const SolvedBeam& solved,
                      const std::vector<Combination>& combinations, int points, bool reactions,
                      const ByteWriter& write);

// The design values of the envelopes as one JSON object, keys as the help
// gives them.
Status StreamEnvelopeJson(const Beam& beam, const SolvedBeam& solved,
                          const std::vector<Combination>& combinations, const ByteWriter& write);

// The values along the spans of the cases named (all when `only` is empty) as
// CSV: header "case,span,x,M,V,w", for each span `points` equally spaced x
// and every load position, load end and extreme; at a jump the value just
// right of it, at x = 0 and x = L the span's end values. A span at a time
// to `write`; stops with `write`'s status as soon as it fails.
Status StreamGeneralTable(const Beam& beam, const SolvedBeam& solved, const std::string& only,
                          int points, const ByteWriter& write);

}  // namespace cbeam::cli
