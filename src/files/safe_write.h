#pragma once

#include <string>
#include <string_view>

#include "text/status.h"

namespace cbeam {

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to
// disk and only then renames it over `path`, so that a failed write never
// costs the user the previous file. A symbolic link is followed: its target
// is replaced, the link stays.
Status WriteFileSafely(const std::string& path, std::string_view bytes);

}  // namespace cbeam
