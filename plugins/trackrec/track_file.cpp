#include "plugins/trackrec/track_file.hpp"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo::trackrec {

namespace {

constexpr int kHeaderLines = 6;
constexpr std::size_t kChunk = 4096;

// Writes all of `text` at the end; on a short write the file is cut back.
bool writeWhole(int fd, std::string_view text) {
    off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int error = n < 0 ? errno : ENOSPC;
            if (::ftruncate(fd, end) != 0) {} // best effort: the line must not stay torn
            errno = error;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::fdatasync(fd) == 0 || errno == EINVAL; // some file systems cannot sync
}

// The offset just after the last LF before `size`; 0 when there is none.
off_t endOfLastLine(int fd, off_t size) {
    char chunk[kChunk];
    off_t to = size;
    while (to > 0) {
        off_t from = std::max<off_t>(0, to - off_t(kChunk));
        ssize_t n = ::pread(fd, chunk, std::size_t(to - from), from);
        if (n <= 0) return 0;
        for (ssize_t i = n; i > 0; --i) {
            if (chunk[i - 1] == '\n') return from + i;
        }
        to = from;
    }
    return 0;
}

// True when the first kHeaderLines lines are complete.
bool headerWhole(int fd) {
    char chunk[kChunk];
    ssize_t n = ::pread(fd, chunk, sizeof(chunk), 0);
    return n > 0 && std::count(chunk, chunk + n, '\n') >= kHeaderLines;
}

} // namespace

TrackFile::~TrackFile() {
    close();
}

bool TrackFile::open(const std::string& path, std::string_view header) {
    close();
    // Never through a link planted at the day's name, and never a pipe or a
    // device in its place: the track goes only into a file of its own.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                 0644);
    if (fd_ < 0) return false;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        close();
        errno = EINVAL;
        return false;
    }
    path_ = path;
    if (repair(header)) return true;
    int error = errno;
    close();
    errno = error;
    return false;
}

bool TrackFile::repair(std::string_view header) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return false;
    off_t size = info.st_size;
    if (size > 0 && !headerWhole(fd_)) {
        if (::ftruncate(fd_, 0) != 0) return false;
        size = 0;
    }
    if (size == 0) return writeWhole(fd_, header);
    char last = 0;
    if (::pread(fd_, &last, 1, size - 1) != 1) return false;
    if (last == '\n') return true;
    // A torn last line (or the zeros a crash can leave): cut back to the
    // last whole one.
    return ::ftruncate(fd_, endOfLastLine(fd_, size)) == 0;
}

void TrackFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    path_.clear();
}

bool TrackFile::append(std::string_view line) {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    return writeWhole(fd_, line);
}

} // namespace tevo::trackrec
