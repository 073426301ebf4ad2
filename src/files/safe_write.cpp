#include "files/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace cbeam {
namespace {

// Closes the descriptor and removes the temporary file unless released.
class TempFile {
  public:
    TempFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_released) ::unlink(m_path.c_str());
    }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    int Close() {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }
    void Release() { m_released = true; }

  private:
    int m_fd;
    std::string m_path;
    bool m_released = false;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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

}  // namespace

Status WriteFileSafely(const std::string& path, std::string_view bytes) {
    if (path.empty()) return Status{Code::NoFileName};
    const std::string target = ResolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return SystemFailure(EISDIR);
    // A file the user made read-only stays as it is, although the rename could replace it.
    if (exists && ::access(target.c_str(), W_OK) != 0) return SystemFailure(errno);

    const std::string folder = FolderOf(target);
    const std::string stem = folder + "/." + NameOf(target) + ".";
    int fd = -1;
    std::string tempPath;
    // Created with 0666 so that the umask gives the new file the usual rights.
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return SystemFailure(errno);
    }
    if (fd < 0) return SystemFailure(EEXIST);
    TempFile temp(fd, tempPath);

    // Replacing a file keeps its permission bits.
    if (exists) (void)::fchmod(temp.fd(), existing.st_mode & 07777);
    if (!WriteAll(temp.fd(), bytes) || ::fsync(temp.fd()) != 0) {
        return SystemFailure(errno);
    }
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

}  // namespace cbeam
