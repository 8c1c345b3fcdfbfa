// An event that one thread signals to wake another from its wait on a device
// (the release that "mask 0" gives a serial port's wait on Windows): an
// eventfd that waits poll together with the device.
#pragma once

namespace tevo {

class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // What poll waits on beside the device; -1 when the event could not be made.
    int fd() const { return fd_; }
    // Wakes the thread waiting now, or the next one to wait.
    void signal();
    // Forgets a signal nobody took, so that it does not end the next wait.
    void clear();
    // Sleeps up to `milliseconds`, returning early when signalled. True when signalled.
    bool pause(int milliseconds) const;

private:
    int fd_ = -1;
};

} // namespace tevo
