#include "platform/serial_device.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <mutex>

namespace tevo {

namespace {

std::mutex gFolderLock;
std::string gPortsFolder; // "<programFolder>ports/" or empty

struct PortRange {
    int32_t first;
    int32_t last;
    const char* device;
    int32_t firstIndex;
};

constexpr PortRange kFixedPorts[] = {
    {1, 4, "/dev/ttyS", 0},
    {5, 20, "/dev/ttyUSB", 0},
    {21, 36, "/dev/ttyACM", 0},
    {37, 64, "/dev/ttyS", 4},
    // Bluetooth serial links (rfcomm bind), after the ports of the table.
    {65, 72, "/dev/rfcomm", 0},
};

speed_t speedFor(int32_t baudRate) {
    switch (baudRate) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

// Raw 8N1, no flow control, receiver on, modem lines ignored.
void configureLine(int fd, int32_t baudRate) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    speed_t speed = speedFor(baudRate);
    if (speed != B0) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    tcsetattr(fd, TCSANOW, &tio); // as on the original hardware, not checked
}

// Unix 98 pseudo-terminal slaves have the majors 136 to 143.
bool isPtySlave(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    return major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143;
}

int64_t changeTime(const struct stat& info) {
    return int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec;
}

void raiseModemLines(int fd) {
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines); // a pty has no modem lines; that is fine
}

} // namespace

void setSerialPortsFolder(const std::string& programFolder) {
    std::lock_guard<std::mutex> guard(gFolderLock);
    std::string folder = programFolder + "ports";
    struct stat info {};
    gPortsFolder = (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) ? folder + "/" : "";
}

std::string serialDevicePath(int32_t portNumber) {
    {
        std::lock_guard<std::mutex> guard(gFolderLock);
        if (!gPortsFolder.empty()) return gPortsFolder + "COM" + std::to_string(portNumber);
    }
    for (const PortRange& range : kFixedPorts) {
        if (portNumber >= range.first && portNumber <= range.last) {
            return range.device + std::to_string(portNumber - range.first + range.firstIndex);
        }
    }
    return {};
}

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

bool SerialDevice::open(const std::string& path, int32_t baudRate) {
    close();
    if (path.empty()) return false;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // Not shared: a second opener of the same port is refused.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    openedPty_ = isPtySlave(fd);
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0) {
        pathInode_ = link.st_ino;
        pathChanged_ = changeTime(link);
    }
    restore_ = tcgetattr(fd, &saved_) == 0;
    configureLine(fd, baudRate);
    raiseModemLines(fd);
    fd_ = fd;
    // A release meant for the previous reader must not end the next one.
    wake_.clear();
    return true;
}

bool SerialDevice::mayReopen(const std::string& path) const {
    if (!openedPty_) return true;
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0) return false;
    return link.st_ino != pathInode_ || changeTime(link) != pathChanged_;
}

void SerialDevice::close() {
    if (fd_ < 0) return;
    if (restore_) tcsetattr(fd_, TCSANOW, &saved_);
    restore_ = false;
    ::close(fd_);
    fd_ = -1;
}

SerialDevice::Event SerialDevice::wait() {
    pollfd fds[2] = {{wake_.fd(), POLLIN, 0}, {fd_, POLLIN, 0}};
    while (true) {
        int ready = poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return Event::Gone;
        break;
    }
    if (fds[0].revents & POLLIN) return Event::Released;
    // A hung-up device may still hold the last bytes it sent.
    bool hungUp = fds[1].revents & (POLLHUP | POLLERR | POLLNVAL);
    if (hungUp && queued() == 0) return Event::Gone;
    return Event::Data;
}

void SerialDevice::release() {
    wake_.signal();
}

bool SerialDevice::pause(int milliseconds) {
    return wake_.pause(milliseconds);
}

int32_t SerialDevice::queued() const {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0) return 0;
    return n;
}

int32_t SerialDevice::read(uint8_t* destination, int32_t wanted) {
    if (fd_ < 0 || wanted <= 0) return 0;
    ssize_t got = ::read(fd_, destination, static_cast<std::size_t>(wanted));
    return got > 0 ? static_cast<int32_t>(got) : 0;
}

} // namespace tevo
