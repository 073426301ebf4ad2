#pragma once

#include <string>
#include <string_view>

#include "files/bmf.h"

namespace cbeam {

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to
// disk and only then renames it over `path`, so that a failed write never
// costs the user the previous file. A symbolic link is followed: its target
// is replaced, the link stays.
FileResult WriteFileSafely(const std::string& path, std::string_view bytes);

// A short Chinese phrase for an errno value of a file operation.
std::string ErrnoReason(int error);

}  // namespace cbeam
