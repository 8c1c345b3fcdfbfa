// Child processes for end-to-end tests.
#pragma once

#include "support/temp_dir.hpp"

#include <sys/types.h>

#include <string>
#include <vector>

namespace tevo::test {

class ChildProcess {
public:
    // Starts `argv[0]` with the given extra environment ("NAME=value");
    // standard output and error go to files read by output() and errors().
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                 const std::string& workDir = {});
    ~ChildProcess(); // kills the child when it still runs

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Waits up to `timeoutMs`; the exit code, -1 when it did not end in time,
    // 128 + signal when a signal ended it.
    int wait(int timeoutMs);
    bool running();
    void signal(int sig);
    std::string output() const;
    std::string errors() const;
    // Waits until standard output contains `text`.
    bool waitForOutput(const std::string& text, int timeoutMs) const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool ended_ = false;
    std::string outPath_;
    std::string errPath_;
};

// A program folder in a temporary place: tevo linked in (so the folder
// becomes the program folder), the other files of build/dist copied or
// linked unless `withData` is false. screen.xml is always a copy so tests
// can change it, and Tracks/ a folder of its own. demo.plt is left out, so
// the program uses its receiver, until addDemoTrack copies it in. An empty
// ports/ folder keeps the receiver detection off the machine's own serial
// devices, and a gpsd.xml that turns gpsd off keeps it off a gpsd that may
// run on the machine; a test that wants gpsd writes its own.
// gpsd.xml that keeps detection away from gpsd.
inline constexpr const char* kNoGpsd = "<?xml version=\"1.0\"?>\n<gpsd>\n\t<use>0</use>\n</gpsd>\n";

class ProgramFolder {
public:
    explicit ProgramFolder(bool withData = true);
    const std::string& path() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.file(name); }
    std::string program() const { return dir_.file("tevo"); }
    // Copies the demonstration track in: the program then replays it.
    void addDemoTrack();

private:
    TempDir dir_;
};

} // namespace tevo::test
