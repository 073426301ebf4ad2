#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "text/status.h"

namespace cbeam {

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to
// disk and only then renames it over `path`, so that a failed write never
// costs the user the previous file. A symbolic link is followed: its target
// is replaced, the link stays. Only a regular file is ever replaced: a
// device, FIFO or socket of that name is refused (NotRegularFile), and so is
// a folder. The temporary file is readable by its owner alone until it has
// the replaced file's mode, owner and group (the last two where the process
// may give them, see ReplacingChangesOwner); SIGINT and SIGTERM during the
// write remove it.
Status WriteFileSafely(const std::string& path, std::string_view bytes);

// The same for bytes made piece by piece: `produce` hands each piece to the
// writer it is given, which returns why once writing failed; `produce` then
// returns that, and the previous file stays.
using ByteWriter = std::function<Status(std::string_view)>;
Status WriteFileSafelyFrom(const std::string& path,
                           const std::function<Status(const ByteWriter&)>& produce);

// True when `path` (a link: its target) is a file whose owner or group the
// replacement written by this process could not keep: a file of another
// user, or of a group the process is not in, when it is not root. False when
// nothing of that name exists.
bool ReplacingChangesOwner(const std::string& path);

// What a command checks of its output file `output` before it computes
// anything: not a device, FIFO, socket or folder; not the file `input`
// itself (the same device and inode, also through a link or another name);
// not a file of someone else whose owner would change, unless `force`
// (ForceToReplace). Ok for a name that does not exist yet.
Status CheckOutputFile(const std::string& output, const std::string& input, bool force);

// Opens `path` for reading only when it is a regular file: a FIFO would
// block the reader forever, a device never ends. The descriptor is the
// caller's to close.
Status OpenRegularFile(const std::string& path, int& fd);

}  // namespace cbeam
