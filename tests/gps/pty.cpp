#include "gps/pty.hpp"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace tevo::test {

Pty::Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slavePath_ = ptsname(master_);
    keepSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    tcgetattr(master_, &tio);
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
}

Pty::~Pty() {
    hangUp();
}

void Pty::write(std::string_view bytes) const {
    while (!bytes.empty()) {
        ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void Pty::hangUp() {
    if (keepSlave_ >= 0) ::close(keepSlave_);
    if (master_ >= 0) ::close(master_);
    keepSlave_ = master_ = -1;
}

ProgramFolder::ProgramFolder() {
    char pattern[] = "/tmp/tevo-gps-XXXXXX";
    path_ = std::string(mkdtemp(pattern)) + "/";
    makeFolder("ports");
}

ProgramFolder::~ProgramFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ProgramFolder::linkPort(int number, const std::string& device) const {
    std::filesystem::create_symlink(device, path_ + "ports/COM" + std::to_string(number));
}

void ProgramFolder::makeFolder(const std::string& relative) const {
    std::filesystem::create_directories(path_ + relative);
}

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace tevo::test
