// A pseudo-terminal pair standing in for a receiver on a serial port, and a
// program folder whose ports/ links name it.
#pragma once

#include <string>
#include <string_view>

namespace tevo::test {

class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    // Writes at the receiver's end.
    void write(std::string_view bytes) const;
    // Closes the receiver's end: the port's device goes away.
    void hangUp();

private:
    int master_ = -1;
    int keepSlave_ = -1; // holds the line open between the port's opens
    std::string slavePath_;
};

// A temporary program folder with ports/ (removed by the destructor).
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    const std::string& path() const { return path_; } // ends with '/'
    void linkPort(int number, const std::string& device) const;
    void makeFolder(const std::string& relative) const;

private:
    std::string path_;
};

// CPU time (user + system) this process has used, in milliseconds.
double processCpuMs();

} // namespace tevo::test
