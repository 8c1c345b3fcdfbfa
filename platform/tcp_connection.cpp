#include "platform/tcp_connection.hpp"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace tevo {

namespace {

struct AddressesDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// A non-blocking socket connected to one address within the time limit; -1
// when it is not.
int connectOne(const addrinfo& address, int timeLimitMs) {
    int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                      address.ai_protocol);
    if (fd < 0) return -1;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return fd;
    if (errno == EINPROGRESS) {
        pollfd wait{fd, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof(error);
        if (poll(&wait, 1, timeLimitMs) == 1 &&
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
            return fd;
        }
    }
    ::close(fd);
    return -1;
}

} // namespace

TcpConnection::~TcpConnection() {
    close();
}

bool TcpConnection::connect(const std::string& host, int32_t port, int timeLimitMs) {
    close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        return false;
    }
    std::unique_ptr<addrinfo, AddressesDeleter> addresses(found);
    for (const addrinfo* a = addresses.get(); a != nullptr && fd_ < 0; a = a->ai_next) {
        fd_ = connectOne(*a, timeLimitMs);
    }
    // A release meant for the previous reader must not end the next one.
    wake_.clear();
    return fd_ >= 0;
}

void TcpConnection::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

TcpConnection::Event TcpConnection::wait() {
    pollfd fds[2] = {{wake_.fd(), POLLIN, 0}, {fd_, POLLIN, 0}};
    int ready = 0;
    do {
        ready = poll(fds, 2, -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) return Event::Gone;
    if (fds[0].revents & POLLIN) return Event::Released;
    if (fds[1].revents & (POLLERR | POLLNVAL)) return Event::Gone;
    // Readable with nothing to read: the other end closed.
    char byte = 0;
    const ssize_t peeked = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EINTR)) return Event::Gone;
    return Event::Data;
}

int32_t TcpConnection::read(uint8_t* destination, int32_t wanted) {
    if (fd_ < 0 || wanted <= 0) return 0;
    const ssize_t got = ::recv(fd_, destination, static_cast<std::size_t>(wanted), MSG_DONTWAIT);
    return got > 0 ? static_cast<int32_t>(got) : 0;
}

bool TcpConnection::send(std::string_view text, int timeLimitMs) {
    while (fd_ >= 0 && !text.empty()) {
        const ssize_t n = ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            text.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        pollfd room{fd_, POLLOUT, 0};
        if (poll(&room, 1, timeLimitMs) != 1) return false;
    }
    return text.empty();
}

} // namespace tevo
