#include "files/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace cbeam {
namespace {

// The one temporary file that SIGINT or SIGTERM removes: a long write (a
// sheet of many spans) interrupted from the keyboard or by a shutdown must
// not leave a hidden file behind. One slot is enough, since the program
// writes one file at a time; a second write while it is taken simply goes
// without.
char g_pendingPath[PATH_MAX];
std::atomic<bool> g_pendingArmed{false};
std::atomic<bool> g_slotTaken{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RemovePendingAndRaise(int signal) {
    if (g_pendingArmed.load()) ::unlink(g_pendingPath);
    // SA_RESETHAND gave the signal back its default action, which now ends
    // the program as it would have without us.
    ::raise(signal);
}

// Only a default action is taken over: a program that handles or ignores
// these signals itself keeps its own way.
void InstallSignalCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : {SIGINT, SIGTERM}) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
                (current.sa_flags & SA_SIGINFO) != 0) {
                continue;
            }
            struct sigaction cleanup {};
            cleanup.sa_handler = RemovePendingAndRaise;
            cleanup.sa_flags = SA_RESETHAND;
            sigemptyset(&cleanup.sa_mask);
            ::sigaction(signal, &cleanup, nullptr);
        }
    });
}

// Closes the descriptor and removes the temporary file unless released.
class TempFile {
  public:
    TempFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {
        bool free = false;
        if (m_path.size() < sizeof g_pendingPath &&
            g_slotTaken.compare_exchange_strong(free, true)) {
            std::memcpy(g_pendingPath, m_path.c_str(), m_path.size() + 1);
            g_pendingArmed.store(true);
            m_armed = true;
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_released) ::unlink(m_path.c_str());
        Disarm();
    }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    int Close() {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }
    // The file has its final name: nothing left for a signal to remove.
    void Release() {
        m_released = true;
        Disarm();
    }

  private:
    void Disarm() {
        if (!m_armed) return;
        g_pendingArmed.store(false);
        g_slotTaken.store(false);
        m_armed = false;
    }

    int m_fd;
    std::string m_path;
    bool m_released = false;
    bool m_armed = false;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file that is really replaced: the target of a symbolic link.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf) != nullptr) return buf;
    // A dangling link: write to where it points.
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return path;
    std::string target(buf, static_cast<std::size_t>(n));
    if (target.front() != '/') target = FolderOf(path) + "/" + target;
    return target;
}

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The process's umask, read without changing it where the system tells it
// (changing it for a moment would race with other threads creating files).
mode_t CurrentUmask() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(f);
        if (found) return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

bool InGroup(gid_t group) {
    if (group == ::getegid()) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.end();
}

bool ChangesOwner(const struct stat& st) {
    if (::geteuid() == 0) return false;
    return st.st_uid != ::geteuid() || !InGroup(st.st_gid);
}

// A folder is refused with its own reason, anything else that is not a
// regular file as such.
Status RegularOrRefused(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return SystemFailure(EISDIR);
    if (!S_ISREG(st.st_mode)) return Status{Code::NotRegularFile};
    return {};
}

}  // namespace

Status WriteFileSafely(const std::string& path, std::string_view bytes) {
    return WriteFileSafelyFrom(path, [bytes](const ByteWriter& write) { return write(bytes); });
}

Status WriteFileSafelyFrom(const std::string& path,
                           const std::function<Status(const ByteWriter&)>& produce) {
    if (path.empty()) return Status{Code::NoFileName};
    const std::string target = ResolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (Status r = RegularOrRefused(existing); !r) return r;
        // A file the user made read-only stays as it is, although the rename could replace it.
        if (::access(target.c_str(), W_OK) != 0) return SystemFailure(errno);
    }

    // A short name of its own, so that any name the system allows for the
    // file itself also leaves room for the temporary one; created 0600.
    const std::string folder = FolderOf(target);
    std::string tempPath = folder + "/.cbeam-XXXXXX.tmp";
    InstallSignalCleanup();
    const int fd = ::mkostemps(tempPath.data(), 4, O_CLOEXEC);
    if (fd < 0) return SystemFailure(errno);
    TempFile temp(fd, tempPath);

    if (exists) {
        // Owner and group first: changing them may clear set-id bits.
        const uid_t uid = existing.st_uid != ::geteuid() ? existing.st_uid : uid_t(-1);
        const gid_t gid = existing.st_gid != ::getegid() ? existing.st_gid : gid_t(-1);
        if (uid != uid_t(-1) || gid != gid_t(-1)) {
            // Where this is not allowed the caller has asked first (ReplacingChangesOwner).
            if (::fchown(temp.fd(), uid, gid) != 0 && gid != gid_t(-1)) {
                (void)::fchown(temp.fd(), uid_t(-1), gid);
            }
        }
        (void)::fchmod(temp.fd(), existing.st_mode & 07777);
    } else {
        (void)::fchmod(temp.fd(), 0666 & ~CurrentUmask());
    }
    int writeError = 0;
    const ByteWriter write = [&](std::string_view piece) {
        if (writeError == 0 && !WriteAll(temp.fd(), piece)) writeError = errno;
        return writeError == 0 ? Status{} : SystemFailure(writeError);
    };
    // A producer that goes on after a failed write still fails.
    if (Status r = produce(write); !r || writeError != 0) {
        return writeError != 0 ? SystemFailure(writeError) : r;
    }
    if (::fsync(temp.fd()) != 0) return SystemFailure(errno);
    if (temp.Close() != 0) return SystemFailure(errno);
    if (::rename(temp.path().c_str(), target.c_str()) != 0) {
        return SystemFailure(errno);
    }
    temp.Release();
    // Makes the rename itself durable; a failure here loses nothing.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return {};
}

bool ReplacingChangesOwner(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ChangesOwner(st);
}

Status CheckOutputFile(const std::string& output, const std::string& input, bool force) {
    if (output.empty()) return Status{Code::NoFileName};
    struct stat out {};
    if (::stat(output.c_str(), &out) != 0) return {};  // a new file, or a reason the write gives
    if (Status r = RegularOrRefused(out); !r) return r;
    struct stat in {};
    if (!input.empty() && ::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
        in.st_ino == out.st_ino) {
        return Status{Code::OutputIsInput};
    }
    if (!force && ChangesOwner(out)) return Status{Code::ForceToReplace};
    return {};
}

Status OpenRegularFile(const std::string& path, int& fd) {
    fd = -1;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return SystemFailure(errno);
    if (Status r = RegularOrRefused(st); !r) return r;
    // Non-blocking, so that a FIFO put in its place since the stat cannot
    // hold the open; fstat then tells what was really opened.
    const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (opened < 0) return SystemFailure(errno);
    if (::fstat(opened, &st) != 0) {
        const int error = errno;
        ::close(opened);
        return SystemFailure(error);
    }
    if (Status r = RegularOrRefused(st); !r) {
        ::close(opened);
        return r;
    }
    const int flags = ::fcntl(opened, F_GETFL);
    if (flags >= 0) (void)::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK);
    fd = opened;
    return {};
}

}  // namespace cbeam
