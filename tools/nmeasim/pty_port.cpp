#include "tools/nmeasim/pty_port.hpp"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace tevo::nmeasim {

PtyPort::PtyPort() {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) return;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr) {
        close(master);
        return;
    }
    devicePath_ = ptsname(master);
    slave_ = open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    // A raw line: no echo back to us, no line-end translation.
    termios tio{};
    if (tcgetattr(master, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B4800);
        cfsetospeed(&tio, B4800);
        tcsetattr(master, TCSANOW, &tio);
    }
    master_ = master;
}

PtyPort::~PtyPort() {
    if (!linkPath_.empty()) unlink(linkPath_.c_str());
    hangUp();
}

namespace {

// More unread bytes than a few seconds' worth means nobody reads the line.
constexpr int kStaleBytes = 3000;

} // namespace

bool PtyPort::send(std::string_view bytes) const {
    int waiting = 0;
    if (slave_ >= 0 && ioctl(slave_, FIONREAD, &waiting) == 0 && waiting > kStaleBytes) {
        tcflush(slave_, TCIFLUSH);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false; // the line is full: nobody reads
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PtyPort::write(std::string_view bytes) const {
    while (!bytes.empty()) {
        ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        pollfd line{master_, POLLOUT, 0};
        if (poll(&line, 1, kWriteWaitMs) <= 0) return false; // nobody reads
    }
    return true;
}

void PtyPort::hangUp() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    slave_ = master_ = -1;
}

bool PtyPort::link(const std::string& folder, int portNumber) {
    std::string ports = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + "ports";
    mkdir(ports.c_str(), 0755); // may exist already
    std::string path = ports + "/COM" + std::to_string(portNumber);
    // A link left by an earlier run goes; anything else at the name (a
    // device, a file of the user's) is left as it is.
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) return false;
    unlink(path.c_str());
    if (symlink(devicePath_.c_str(), path.c_str()) != 0) return false;
    linkPath_ = path;
    return true;
}

} // namespace tevo::nmeasim
