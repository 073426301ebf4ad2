#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/beam.h"

namespace cbeam::cli {

// Exit codes of cbeam-cli.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFile = 2;      // a beam file that cannot be opened or is refused; a failed write
constexpr int kExitAnalysis = 3;  // an undefined span or an unsolvable system

// The text of `cbeam-cli --help`.
std::string HelpText();

// The results list: one line per node, "结点 1:0.000", each ended by "\n".
std::string NodeResultLines(const BeamState& state);

// One JSON object: N, Flag0, FlagN (booleans) and the arrays M and Theta
// over nodes 1..N+1, with 17 significant digits; ended by "\n".
std::string NodeResultJson(const BeamState& state);

// The analysis the input window runs, with the end fixity already in the
// state: refuses an undefined span, then solves. On failure `error` holds
// the message the window would show and the result is kExitAnalysis.
int AnalyseBeam(BeamState& state, std::string& error);

// Every command except "draw" (args exclude the program name). Results go
// to `out`, each error as one line to `err`; returns the exit code.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cbeam::cli
