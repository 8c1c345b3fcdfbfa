#include "support/gpsd_daemon.hpp"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace tevo::test {

namespace {

constexpr const char* kGpsd = "/usr/sbin/gpsd";
constexpr int kStopMs = 5000;

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

} // namespace

int freeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool GpsdDaemon::installed() {
    return ::access(kGpsd, X_OK) == 0;
}

GpsdDaemon::GpsdDaemon(std::string device) : device_(std::move(device)), port_(freeTcpPort()) {}

GpsdDaemon::~GpsdDaemon() {
    stop(kStopMs);
}

bool GpsdDaemon::start(int timeoutMs) {
    // In the foreground, reading the device at once, never writing to it.
    std::vector<std::string> argv{kGpsd, "-N", "-n", "-b", "-S", std::to_string(port_)};
    // Without a device gpsd insists on a control socket, where one could be
    // added later.
    const std::string control = dir_.file("control.sock");
    if (device_.empty()) argv.insert(argv.end(), {"-F", control});
    if (!device_.empty()) argv.push_back(device_);
    process_ = std::make_unique<ChildProcess>(argv);
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (accepts(port_)) return true;
        if (!process_->running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void GpsdDaemon::stop(int timeoutMs) {
    if (!process_ || !process_->running()) return;
    process_->signal(SIGTERM);
    process_->wait(timeoutMs);
}

std::string GpsdDaemon::settings() const {
    return "<?xml version=\"1.0\"?>\n<gpsd>\n\t<use>1</use>\n\t<host>localhost</host>\n\t<port>" +
           std::to_string(port_) + "</port>\n</gpsd>\n";
}

} // namespace tevo::test
