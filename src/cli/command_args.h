#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "files/beam_json.h"
#include "files/safe_write.h"
#include "model/driver.h"

// What the commands share: their arguments, beams and outputs.
namespace cbeam::cli {

inline constexpr const char* kSeeHelp = "（用法见 cbeam-cli --help）";

// Loads a .bmf or JSON beam; kExitOk, or the error line and its exit code.
int LoadAny(const std::string& path, LoadedBeam& loaded, std::ostream& err);

// "NAME VALUE" taken out of the arguments: the value, empty when the option
// is not given; nullopt (with the error line) when its value is missing.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const char* name,
                                      std::ostream& err);

// "--points K" with 2 <= K <= kMaxTablePoints; anything else prints its
// error line and gives nothing.
std::optional<int> PointsOption(std::vector<std::string>& args, std::ostream& err);

// The beam file and the target (standard output unless one is named) of a
// command writing CSV, or JSON with `json`; nullopt with the exit code in
// `rc` when refused.
struct CsvFiles {
    std::string input, target;
};
std::optional<CsvFiles> CsvCommandFiles(const std::vector<std::string>& args, const char* need,
                                        std::ostream& err, int& rc, bool json = false);

// The rows as they come, to standard output or atomically into the target:
// a long beam at many points is far larger than memory.
int WriteCsv(const std::string& target, const std::function<Status(const ByteWriter&)>& stream,
             std::ostream& out, std::ostream& err);

// The general beam of a file of either kind.
int GeneralBeam(const std::string& path, Beam& beam, std::ostream& err);

int Influence(std::vector<std::string> args, std::ostream& out, std::ostream& err);
int Moving(std::vector<std::string> args, std::ostream& out, std::ostream& err);

}  // namespace cbeam::cli
