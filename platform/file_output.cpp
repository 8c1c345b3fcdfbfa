#include "platform/file_output.hpp"

#include "platform/regular_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tevo {

namespace {

// Tries for a name nobody holds yet; a clash is already rare at the first.
constexpr int kNameAttempts = 16;
constexpr std::size_t kRandomBytes = 6;
constexpr std::size_t kCopyChunk = 65536;

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

std::string reason(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "no regular file";
}

// Twelve hexadecimal digits from the kernel's random source.
std::string randomSuffix() {
    unsigned char bytes[kRandomBytes] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // Without it the name is merely guessable; O_EXCL still refuses
        // whatever somebody put there.
        const auto mix = static_cast<unsigned long>(::getpid()) ^
                         static_cast<unsigned long>(::time(nullptr) << 16);
        std::memcpy(bytes, &mix, std::min(sizeof mix, sizeof bytes));
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 0xF];
    }
    return text;
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

// The owner and mode of the plain file at the name go to its replacement; a
// new file (or one replacing a link) keeps what creating it with 0666 under
// the umask gave.
void takeIdentity(int fd, const std::string& path) {
    struct stat old {};
    if (::lstat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return;
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {} // only root may give a file away
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) {} // the file stays usable without
}

bool writeAllAt(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The regular file at `path` rewritten as the same file.
bool writeInPlace(const std::string& path, std::string_view bytes, std::string* error) {
    // O_NOFOLLOW: a link put there since the look at the name is not followed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(error, reason(path));
    const Descriptor closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(error, reason(path));
    if (!S_ISREG(st.st_mode)) return fail(error, outputProblem(path));
    // Room first (it may grow the file, which the write then fills): a full
    // disk must leave the old content, not half of each.
    if (!bytes.empty() && ::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return fail(error, reason(path));
    if (!writeAllAt(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return fail(error, reason(path));
    if (::fsync(fd) != 0 && errno != EINVAL) return fail(error, reason(path));
    return true;
}

} // namespace

std::string outputProblem(const std::string& path) {
    struct stat st {};
    // Missing, or a link that leads nowhere: a new file takes the name.
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    return path + " is " + kindOf(st.st_mode) + ", not a regular file; it is left as it is";
}

ReplacementFile::~ReplacementFile() {
    discard();
}

void ReplacementFile::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty() && !nameless_) ::unlink(temp_.c_str());
    temp_.clear();
    nameless_ = false;
}

// Gives the whole nameless file a fresh name beside the output, exclusively
// (a name that anything holds, a link too, is passed over).
bool ReplacementFile::nameIt() {
    const int fd = ::fileno(file_);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = path_ + ".tmp" + randomSuffix();
        if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) != 0 &&
            (errno == EEXIST ||
             ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0)) {
            if (errno == EEXIST) continue;
            return false;
        }
        temp_ = name;
        nameless_ = false;
        return true;
    }
    errno = EEXIST;
    return false;
}

bool ReplacementFile::create(const std::string& path, std::string* error) {
    discard();
    path_ = path;
    if (std::string problem = outputProblem(path); !problem.empty()) return fail(error, problem);
    // Without a name until it is whole, where the file system allows: a run
    // killed before the commit leaves nothing behind.
    if (const int fd = ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        fd >= 0) {
        file_ = ::fdopen(fd, "wb");
        if (file_ == nullptr) ::close(fd);
        if (file_ != nullptr) {
            temp_ = path + ".tmp" + randomSuffix(); // for messages until it is named
            nameless_ = true;
            return true;
        }
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = path + ".tmp" + randomSuffix();
        // O_EXCL creates the file or fails, whatever (a link too) has the name.
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return fail(error, reason(name));
        temp_ = name;
        file_ = ::fdopen(fd, "wb");
        if (file_ == nullptr) {
            ::close(fd);
            const std::string text = reason(name);
            discard();
            return fail(error, text);
        }
        return true;
    }
    return fail(error, path + ": no temporary name beside it is free");
}

bool ReplacementFile::commit(std::string* error) {
    if (file_ == nullptr) return fail(error, path_ + ": nothing was written");
    bool ok = std::fflush(file_) == 0;
    ok = ok && (::fsync(::fileno(file_)) == 0 || errno == EINVAL);
    if (ok) takeIdentity(::fileno(file_), path_);
    ok = ok && (!nameless_ || nameIt());
    // A full disk may only show when the file is closed.
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    std::string problem = ok ? outputProblem(path_) : reason(temp_);
    if (problem.empty() && ::rename(temp_.c_str(), path_.c_str()) != 0) problem = reason(path_);
    if (!problem.empty()) {
        discard();
        return fail(error, problem);
    }
    temp_.clear();
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return writeInPlace(path, bytes, error);
    ReplacementFile out;
    if (!out.create(path, error)) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.stream()) != bytes.size())
        return fail(error, reason(out.temporaryPath()));
    return out.commit(error);
}

bool copyToReplacement(const std::string& from, const std::string& to, std::string* error) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(openRegularStream(from), std::fclose);
    if (!in) return fail(error, reason(from));
    ReplacementFile out;
    if (!out.create(to, error)) return false;
    std::vector<char> chunk(kCopyChunk);
    while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in.get())) {
        if (std::fwrite(chunk.data(), 1, n, out.stream()) != n)
            return fail(error, reason(out.temporaryPath()));
    }
    if (std::ferror(in.get())) return fail(error, reason(from));
    return out.commit(error);
}

} // namespace tevo
