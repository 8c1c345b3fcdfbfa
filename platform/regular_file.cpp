#include "platform/regular_file.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

void refuse(const std::string& path) {
    std::printf("%s is not a regular file; it is not read\n", path.c_str());
    std::fflush(stdout);
    errno = EINVAL;
}

} // namespace

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int openRegularFile(const std::string& path) {
    // Asked first, so that a device is not even opened (a tape rewinds, a
    // modem line hangs up); then checked again on the open file, which is
    // the one read.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        refuse(path);
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        refuse(path);
        return -1;
    }
    // A regular file never blocks; the libraries that read it expect the
    // ordinary blocking descriptor.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::FILE* openRegularStream(const std::string& path) {
    const int fd = openRegularFile(path);
    if (fd < 0) return nullptr;
    std::FILE* stream = ::fdopen(fd, "rb");
    if (stream == nullptr) ::close(fd);
    return stream;
}

SDL_RWops* openRegularRW(const std::string& path) {
    std::FILE* stream = openRegularStream(path);
    if (stream == nullptr) return nullptr;
    SDL_RWops* rw = SDL_RWFromFP(stream, 1);
    if (rw == nullptr) std::fclose(stream);
    return rw;
}

TTF_Font* openFontFile(const std::string& path, int size) {
    SDL_RWops* file = openRegularRW(path);
    return file == nullptr ? nullptr : TTF_OpenFontRW(file, 1, size);
}

} // namespace tevo
