// follow_bench: runs the demonstration drive through the program's own
// start-up and main loop for a while and prints, for each run and as the
// median of the runs:
//   - the CPU use of the main thread between transitions (after a glide has
//     ended and until the next point starts one), in percent of one core;
//   - the time a transition takes from its start to its last frame, against
//     the time its plan gives it (steps x (draw time + sleep per step)).
// Run it in an X server (bench/follow/run.sh starts Xvfb) or with
// SDL_VIDEODRIVER=dummy. It reports; it never fails on a time.
#include "app/startup.hpp"
#include "platform/quit_request.hpp"
#include "render/view/transition_table.hpp"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace tevo;

constexpr double kDefaultSeconds = 60;
constexpr int kDefaultRuns = 3;
// A draw time of 0 is planned as this many milliseconds.
constexpr int32_t kPlannedShortestDrawMs = 10;

double wallMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct RunFigures {
    int transitions = 0; // ended by their last step
    int cut = 0;         // cut short by the next point, counted at their pace
    double gapCpuPercent = 0;
    double transitionMs = 0; // median
    double plannedMs = 0;    // median
    double ratio = 0;        // median of taken / planned
};

// A program folder of links to the built one, with the demonstration track.
fs::path makeFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("follow-bench-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "ports");
    for (const auto& entry : fs::directory_iterator(TEVO_DIST_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name == "config.xml" || name == "tevo") continue;
        fs::create_symlink(entry.path(), folder / name);
    }
    return folder;
}

class Watch {
public:
    explicit Watch(const MapView& view) : view_(view) {}

    // After every pass of the main loop.
    // `stepsBefore` and `stepCountBefore`: the transition's steps done and
    // planned before the pass.
    void afterPass(bool wasAnimating, uint32_t startTickBefore, int32_t stepsBefore,
                   int32_t stepCountBefore) {
        const TransitionTable& t = view_.transitions();
        const double now = wallMs(), cpu = threadCpuMs();
        const bool started = t.animating && t.startTick != startTickBefore;
        if (started) {
            if (wasAnimating && start_ >= 0 && stepsBefore > 0) {
                // Cut short by the next point: the time all its steps would
                // have taken at the pace of those it ran.
                ++figures_.cut;
                record((now - start_) * stepCountBefore / stepsBefore);
            } else if (gapStart_ >= 0) {
                gapWallMs_ += now - gapStart_;
                gapCpuMs_ += cpu - gapCpuStart_;
            }
            gapStart_ = -1;
            start_ = now;
            const int32_t drawMs =
                view_.state().drawTimeMs > 0 ? view_.state().drawTimeMs : kPlannedShortestDrawMs;
            planned_ = t.stepCount * static_cast<double>(drawMs + t.sleepMs);
        } else if (wasAnimating && !t.animating && start_ >= 0) {
            record(now - start_);
            start_ = -1;
            gapStart_ = now;
            gapCpuStart_ = cpu;
        }
    }

    RunFigures figures() const {
        RunFigures f = figures_;
        f.transitions = static_cast<int>(taken_.size()) - f.cut;
        f.gapCpuPercent = gapWallMs_ > 0 ? 100.0 * gapCpuMs_ / gapWallMs_ : 0;
        f.transitionMs = median(taken_);
        f.plannedMs = median(plans_);
        f.ratio = median(ratios_);
        return f;
    }

private:
    void record(double takenMs) {
        taken_.push_back(takenMs);
        plans_.push_back(planned_);
        ratios_.push_back(takenMs / planned_);
    }

    const MapView& view_;
    RunFigures figures_;
    double start_ = -1, planned_ = 0;
    double gapStart_ = -1, gapCpuStart_ = 0, gapWallMs_ = 0, gapCpuMs_ = 0;
    std::vector<double> taken_, plans_, ratios_;
};

bool runOnce(const fs::path& folder, double seconds, RunFigures& out) {
    clearQuitRequest();
    AppState app;
    if (startUp(app, (folder / "tevo").string().c_str()) || !app.mapView) {
        std::fprintf(stderr, "follow_bench: the program did not start\n");
        return false;
    }
    Watch watch(*app.mapView);
    const double end = wallMs() + seconds * 1000;
    while (wallMs() < end) {
        const bool wasAnimating = app.mapView->transitionPending();
        const TransitionTable& t = app.mapView->transitions();
        const uint32_t startTick = t.startTick;
        const int32_t steps = t.stepIndex, stepCount = t.stepCount;
        if (!loopPass(app)) break;
        watch.afterPass(wasAnimating, startTick, steps, stepCount);
    }
    shutDown(app);
    SDL_Quit();
    out = watch.figures();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : kDefaultSeconds;
    const int runs = argc > 2 ? std::atoi(argv[2]) : kDefaultRuns;
    if (seconds <= 0 || runs <= 0) {
        std::fprintf(stderr, "Usage: follow_bench [SECONDS (60)] [RUNS (3)]\n");
        return 2;
    }
    const fs::path folder = makeFolder();
    std::vector<double> cpu, taken, planned, ratio;
    for (int i = 0; i < runs; ++i) {
        RunFigures f;
        if (!runOnce(folder, seconds, f)) return 1;
        std::printf("run %d: %d transitions (%d cut short by the next point); between them "
                    "%.1f %% CPU; a transition %.0f ms against %.0f ms planned (ratio %.3f)\n",
                    i + 1, f.transitions, f.cut, f.gapCpuPercent, f.transitionMs, f.plannedMs,
                    f.ratio);
        std::fflush(stdout);
        cpu.push_back(f.gapCpuPercent);
        taken.push_back(f.transitionMs);
        planned.push_back(f.plannedMs);
        ratio.push_back(f.ratio);
    }
    fs::remove_all(folder);
    std::printf("median of %d runs of %.0f s: CPU between transitions %.1f %% of one core "
                "(goal below 25 %%, ratio to it %.2f); transition %.0f ms against %.0f ms "
                "planned, ratio %.3f (goal within 0.8 to 1.2)\n",
                runs, seconds, median(cpu), median(cpu) / 25.0, median(taken), median(planned),
                median(ratio));
    return 0;
}
