#include "tools/tvmc/progress.hpp"

#include "tools/tvmc/memory_budget.hpp"

#include <unistd.h>

namespace tevo::tvmc {

namespace {

constexpr double kQuietSeconds = 1.0;     // nothing is shown before
constexpr double kTerminalSeconds = 0.25; // between redraws on a terminal
constexpr double kLogSeconds = 10.0;      // between lines in a log

// 1234567 -> "1.23 M"
std::string count(double n) {
    char text[32];
    if (n >= 1e9)
        std::snprintf(text, sizeof text, "%.2f G", n / 1e9);
    else if (n >= 1e6)
        std::snprintf(text, sizeof text, "%.2f M", n / 1e6);
    else if (n >= 1e3)
        std::snprintf(text, sizeof text, "%.1f k", n / 1e3);
    else
        std::snprintf(text, sizeof text, "%.0f ", n);
    return text;
}

} // namespace

ProgressLine::ProgressLine(std::FILE* out)
    : out_(out), terminal_(out && ::isatty(::fileno(out))), started_(Clock::now()),
      passStarted_(started_), lastShown_(started_) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::startPass(const char* name, int number, const char* unit) {
    pass_ = name;
    unit_ = unit;
    number_ = number;
    objects_ = 0;
    fraction_ = -1;
    passStarted_ = Clock::now();
    // The new pass's name at once: its first objects may be a while coming.
    if (out_) tick();
}

std::string ProgressLine::text(double seconds) const {
    char head[96];
    std::snprintf(head, sizeof head, "tvmc: pass %d of %d, %s", number_, count_, pass_);
    std::string line = head;
    if (fraction_ >= 0) line += ", " + std::to_string(static_cast<int>(fraction_ * 100)) + "%";
    line += ", " + count(static_cast<double>(objects_)) + unit_;
    if (seconds > 0) line += ", " + count(static_cast<double>(objects_) / seconds) + unit_ + "/s";
    line += ", " + std::to_string(residentBytes() >> 20) + " MB in use";
    return line;
}

void ProgressLine::tick() {
    const Clock::time_point now = Clock::now();
    const auto since = [now](Clock::time_point t) {
        return std::chrono::duration<double>(now - t).count();
    };
    const double interval = terminal_ ? kTerminalSeconds : kLogSeconds;
    if (since(started_) < (terminal_ ? kQuietSeconds : kLogSeconds)) return;
    if (shown_ && since(lastShown_) < interval) return;
    shown_ = true;
    lastShown_ = now;
    const std::string line = text(since(passStarted_));
    if (terminal_) {
        std::fprintf(out_, "\r%-100s", line.c_str());
        drawn_ = true;
    } else {
        std::fprintf(out_, "%s\n", line.c_str());
    }
    std::fflush(out_);
}

void ProgressLine::finish() {
    if (!drawn_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    drawn_ = false;
}

} // namespace tevo::tvmc
