// The progress line of a long run, on standard error: the pass, how far it
// has come, the objects per second and the memory in use. On a terminal the
// line is redrawn in place a few times a second; in a log a line is written
// now and then. A run over within a second shows nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tevo::tvmc {

class ProgressLine {
public:
    // `out` null: no line at all (--quiet).
    explicit ProgressLine(std::FILE* out);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // The number of passes of the run (three by default).
    void setPassCount(int count) { count_ = count; }
    // A new pass ("nodes and relations"), number `number`, counting `unit`.
    void startPass(const char* name, int number, const char* unit = "objects");
    // The objects done in this pass and the share of its input read (below
    // 0 when unknown). Cheap enough to call for every object.
    void update(uint64_t objects, double fraction = -1) {
        objects_ = objects;
        fraction_ = fraction;
        if (out_ && ++calls_ % kCallsPerClockLook == 0) tick();
    }
    // Ends the line on a terminal.
    void finish();

    // The text of the line (for tests and logs).
    std::string text(double seconds) const;

private:
    using Clock = std::chrono::steady_clock;
    static constexpr uint64_t kCallsPerClockLook = 64;

    void tick();

    std::FILE* out_;
    bool terminal_;
    Clock::time_point started_, passStarted_, lastShown_;
    const char* pass_ = "";
    const char* unit_ = "objects";
    int number_ = 0, count_ = 3;
    uint64_t objects_ = 0, calls_ = 0;
    double fraction_ = -1;
    bool shown_ = false; // a line was written
    bool drawn_ = false; // a line stands unfinished on the terminal
};

} // namespace tevo::tvmc
