// detection_bench: how long the receiver detection of the start-up takes,
// with the program's receiver plug-ins (Gnss and Sentrix from build/dist) and
// four ports on pseudo-terminals:
//   - a receiver on COM3 (one cycle of RMC, GGA, GSA and GSV a second, as
//     nmeasim sends, from the moment detection begins), COM1, COM2 and COM4
//     silent;
//   - all four silent.
// Each case runs RUNS times (default 3) and prints every run and the median,
// against the detection that tries each plug-in in turn over every port at
// every rate, settling 2 s before each sample, measured REFERENCE_RUNS times
// (default 1; 0 leaves it out: it takes minutes). It reports; it never fails
// on a time.
//
// Usage: detection_bench [RUNS [REFERENCE_RUNS]]
#include "gps/plugin_registry.hpp"
#include "gps/serial_port.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/serial_device.hpp"
#include "tools/nmeasim/pty_port.hpp"
#include "tools/nmeasim/sentences.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tevo;

constexpr int kPorts = 4;
constexpr int kReceiverPort = 3;
constexpr int kCycleMs = 1000;

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A receiver on a pty: a cycle a second from its start.
class Receiver {
public:
    explicit Receiver(const nmeasim::PtyPort& line) {
        thread_ = std::thread([this, &line] {
            nmeasim::SimFix fix{55.81, 37.6, 150, 30, 90, std::time(nullptr), true};
            for (long second = 0; !stop_; ++second) {
                line.send(nmeasim::fixCycle(fix, second));
                for (int ms = 0; ms < kCycleMs && !stop_; ms += 10) sleepMs(10);
            }
        });
    }
    ~Receiver() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A program folder of our own: the two receiver plug-ins and COM1 to COM4.
struct Folder {
    fs::path path = fs::temp_directory_path() / ("detection-bench-" + std::to_string(getpid()));
    std::vector<std::unique_ptr<nmeasim::PtyPort>> lines;

    Folder() {
        for (const char* name : {"Gnss", "Sentrix"}) {
            fs::create_directories(path / "Plugins" / name);
            fs::copy_file(fs::path(TEVO_DIST_DIR) / "Plugins" / name / (std::string(name) + ".so"),
                          path / "Plugins" / name / (std::string(name) + ".so"));
        }
        for (int port = 1; port <= kPorts; ++port) {
            lines.push_back(std::make_unique<nmeasim::PtyPort>());
            lines.back()->link(path.string(), port);
        }
        setSerialPortsFolder(path.string() + "/");
    }
    ~Folder() {
        lines.clear();
        fs::remove_all(path);
    }
};

// The detection as the start-up runs it. Returns the port found.
int32_t detect(cPluginRegistry& registry) {
    cPosition reader;
    registry.detectConfiguredReceiver(reader);
    return reader.portNumber;
}

// The detection it replaces: each plug-in in turn, every port, every rate; a
// port is opened, left to settle and asked with takeBytes for the plug-in's
// sample. Returns the port found.
int32_t referenceDetect(const cPluginRegistry& registry) {
    std::vector<uint8_t> sample(cPosition::kBatchSize);
    for (int32_t i = 0; i < registry.receiverCount(); ++i) {
        const PluginApi& api = registry.receiver(i);
        const int32_t wanted = std::clamp(api.PluginGetMinimumBytes(), 0, cPosition::kBatchSize);
        for (int32_t port = 1; port <= cReceiverSearch::kLastPort; ++port) {
            for (int32_t rate : cReceiverSearch::kDetectRates) {
                cSerialPort serial;
                if (!serial.open(port, rate)) continue;
                sleepMs(cPluginRegistry::kSettleMs);
                const int32_t got = serial.takeBytes(wanted, sample.data());
                if (got > 0 && api.PluginDetectReceiver(sample.data(), static_cast<uint32_t>(got)))
                    return port;
            }
        }
    }
    return 0;
}

// Milliseconds of one detection of the case, and the port it found.
double measure(bool withReceiver, bool reference, int32_t& found) {
    Folder folder;
    cPluginRegistry registry;
    registry.loadPlugins((folder.path / "Plugins").string() + "/");
    std::unique_ptr<Receiver> receiver;
    if (withReceiver) receiver = std::make_unique<Receiver>(*folder.lines[kReceiverPort - 1]);
    std::fflush(stdout);
    const int out = dup(STDOUT_FILENO);
    // The console lines of detection would bury the figures.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
    const double start = nowMs();
    found = reference ? referenceDetect(registry) : detect(registry);
    const double ms = nowMs() - start;
    std::fflush(stdout);
    dup2(out, STDOUT_FILENO);
    close(out);
    return ms;
}

std::string foundText(int32_t port) {
    return port == 0 ? "nothing found" : "found COM" + std::to_string(port);
}

void runCase(const char* name, bool withReceiver, int runs, int referenceRuns, double goalMs) {
    std::vector<double> times, references;
    for (int run = 0; run < runs; ++run) {
        int32_t found = 0;
        times.push_back(measure(withReceiver, false, found));
        std::printf("%s run %d: %.0f ms, %s\n", name, run + 1, times.back(),
                    foundText(found).c_str());
    }
    for (int run = 0; run < referenceRuns; ++run) {
        int32_t found = 0;
        references.push_back(measure(withReceiver, true, found));
        std::printf("%s reference run %d: %.0f ms, %s\n", name, run + 1, references.back(),
                    foundText(found).c_str());
    }
    const double m = median(times);
    std::printf("%s median of %d: %.0f ms (goal under %.0f ms: %s)", name, runs, m, goalMs,
                m < goalMs ? "met" : "missed");
    if (!references.empty()) {
        const double r = median(references);
        std::printf("; reference %.0f ms, %.1f times as long", r, r / m);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int referenceRuns = argc > 2 ? std::max(0, std::atoi(argv[2])) : 1;
    setMessageBoxesDrawn(false);
    // The boxes go to standard error; the figures alone to standard output.
    if (std::freopen("/dev/null", "w", stderr) == nullptr) return 1;
    runCase("receiver on COM3 of four", true, runs, referenceRuns, 3000);
    runCase("no receiver on four ports", false, runs, referenceRuns, 4000);
    return 0;
}
