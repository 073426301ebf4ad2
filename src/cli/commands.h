#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/beam.h"
#include "text/status.h"

namespace cbeam::cli {

// Exit codes of cbeam-cli.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFile = 2;      // a beam file that cannot be opened or is refused; a failed write
constexpr int kExitAnalysis = 3;  // an undefined span or an unsolvable system
constexpr int kExitMemory = 4;    // the memory ran out

// The output name that means standard output.
inline const std::string kStandardOutput = "-";

// The text of `cbeam-cli --help`.
std::string HelpText();

// One JSON object: N, Flag0, FlagN (booleans), the arrays M and Theta over
// nodes 1..N+1, then the design values R (nodes), V ([Vl, Vr] per span),
// Msag, xMsag, w and xw (per span), all with 17 significant digits; ended
// by "\n".
std::string NodeResultJson(const DesignState& state);

// Loads FILE and runs the analysis driver on it; on failure prints the
// error line to `err` and returns its exit code (kExitFile, kExitAnalysis).
// Flushes `out`; kExitOk, or the error line and kExitFile when the output
// could not be written (a full disk, a closed pipe).
int Finish(std::ostream& out, std::ostream& err);

// `name` ends in `tail` (lower case), in any case.
bool EndsWithIgnoringCase(const std::string& name, std::string_view tail);

// CheckOutputFile for a command's output (nothing for "-"): kExitOk, or the
// command's lead-in with the reason on `err` and kExitFile.
int CheckOutput(const std::string& output, const std::string& input, bool force, Command command,
                std::ostream& err);

int LoadAndAnalyse(const std::string& path, DesignState& state, std::ostream& err);

// Every command except "draw" (solve, report, table) (args exclude the program name). Results go
// to `out`, each error as one line to `err`; returns the exit code.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cbeam::cli
