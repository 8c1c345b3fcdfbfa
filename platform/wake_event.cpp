#include "platform/wake_event.hpp"

#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tevo {

WakeEvent::WakeEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeEvent::~WakeEvent() {
    if (fd_ >= 0) ::close(fd_);
}

void WakeEvent::signal() {
    uint64_t one = 1;
    if (fd_ >= 0) {
        ssize_t written = ::write(fd_, &one, sizeof(one));
        (void)written;
    }
}

void WakeEvent::clear() {
    uint64_t drained = 0;
    while (fd_ >= 0 && ::read(fd_, &drained, sizeof(drained)) > 0) {}
}

bool WakeEvent::pause(int milliseconds) const {
    pollfd fd{fd_, POLLIN, 0};
    return poll(&fd, 1, milliseconds) > 0 && (fd.revents & POLLIN);
}

} // namespace tevo
