// The receiver's end of a pseudo-terminal, and the ports/COMn link to the other.
// nmeasim talks through it, and so do the tests that stand in for a receiver.
#pragma once

#include <string>
#include <string_view>

namespace tevo::nmeasim {

class PtyPort {
public:
    PtyPort();
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    bool ok() const { return master_ >= 0; }
    // The device a navigator opens.
    const std::string& devicePath() const { return devicePath_; }

    // Sends bytes without blocking; what the line cannot take now is dropped.
    // A backlog nobody reads is thrown away first, as a receiver's bytes are
    // lost when nothing listens. False when something was dropped.
    bool send(std::string_view bytes) const;

    // Sends every byte, waiting while the line is full, but never longer than
    // kWriteWaitMs without progress. False when bytes were left unsent.
    bool write(std::string_view bytes) const;
    static constexpr int kWriteWaitMs = 5000;

    // Closes both ends: the device goes away, as when a receiver is unplugged.
    void hangUp();

    // FOLDER/ports/COM<n> -> the device; removed again by the destructor. A
    // link of an earlier run is replaced; false when anything else has the name.
    bool link(const std::string& folder, int portNumber);

private:
    int master_ = -1;
    int slave_ = -1; // kept open so the line stays up between a navigator's opens
    std::string devicePath_;
    std::string linkPath_;
};

} // namespace tevo::nmeasim
