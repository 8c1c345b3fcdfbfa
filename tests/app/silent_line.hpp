// A pseudo-terminal whose far end never says anything: a serial port with a
// receiver that stays silent.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace tevo::test {

class SilentLine {
public:
    SilentLine() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = ptsname(master_);
    }
    ~SilentLine() {
        if (master_ >= 0) ::close(master_);
    }
    SilentLine(const SilentLine&) = delete;
    SilentLine& operator=(const SilentLine&) = delete;

    // The device to link ports/COMn to; empty when no pair could be made.
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    std::string path_;
};

} // namespace tevo::test
