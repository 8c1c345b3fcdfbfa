// The real navigator in a program folder of its own, with the receiver
// simulator and a private X server when a test wants them.
#pragma once

#include "support/process.hpp"
#include "support/program_window.hpp"
#include "support/xserver.hpp"

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace tevo::test {

inline constexpr int kStartMs = 30000;
// Console lines that tell how far start-up went.
inline constexpr const char* kReceiverOpened = " COM3 at 4800 bps\n";
inline constexpr const char* kNoReceiver = "not Detected\n";

class Navigator {
public:
    // A program folder from build/dist; its config.xml asks for the receiver
    // on COM3 at 4800 baud when `withReceiver` (nmeasim is then started).
    explicit Navigator(bool withReceiver);
    ~Navigator();

    ProgramFolder& folder() { return folder_; }
    ChildProcess& tevo() { return *tevo_; }
    ChildProcess* receiver() { return nmeasim_.get(); }

    // Starts tevo under the private X server (or SDL's dummy driver when
    // `x` is null), with `prefix` before the program (a user switch).
    void start(const XServer* x, const std::vector<std::string>& prefix = {});
    // Waits until start-up has reached the main loop; false when it did not
    // within the time.
    bool waitForLoop(int timeoutMs = kStartMs);
    // The same under the X server: message boxes that start-up shows in the
    // window (no receiver, a broken file) are answered with Enter.
    bool waitForLoopAnswering(const XServer& x, Window w, int timeoutMs = kStartMs);
    // Asks tevo to end as a closed window does; its exit code (-1: it did
    // not end in time).
    int stop(int timeoutMs = kStartMs);
    std::string console() const;

private:
    bool withReceiver_;
    ProgramFolder folder_;
    std::unique_ptr<ChildProcess> nmeasim_;
    std::unique_ptr<ChildProcess> tevo_;
};

// Runs xdotool against the X server; its exit code (-1: not done in time).
int xdotool(const XServer& x, const std::vector<std::string>& args, int timeoutMs = kStartMs);

// Resident memory and CPU time of a running process, from /proc.
long residentKb(pid_t pid);
double cpuMs(pid_t pid);

// Makes the program folder a real folder of its own for `name` (instead of
// the link to build/dist), keeping what it held as links.
void unlinkFolderEntry(const ProgramFolder& folder, const std::string& name);

} // namespace tevo::test
