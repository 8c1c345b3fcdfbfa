// nmeasim: a GPS receiver on a pseudo-terminal. Sends a $GPRMC, $GPGGA,
// $GPGSA and $GPGSV cycle once a second along a track, or replays a log.
#include "tools/nmeasim/pty_port.hpp"
#include "tools/nmeasim/route_drive.hpp"
#include "tools/nmeasim/sentences.hpp"
#include "tools/nmeasim/sources.hpp"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <time.h>

namespace {

using namespace tevo::nmeasim;

constexpr const char* kHelp =
    "Usage: nmeasim [options]\n"
    "A GPS receiver on a pseudo-terminal. Prints the device path of the terminal\n"
    "on the first line of its output, then sends NMEA 0183 sentences on it until\n"
    "it is interrupted.\n"
    "\n"
    "  --track FILE.plt  follow the points of a track, one point a second, from\n"
    "                    the first again after the last. Without --track and\n"
    "                    --log a small loop in the Moscow map area is driven.\n"
    "  --route FOLDER    drive the fastest route of FOLDER/map.tvr from --from to\n"
    "                    --to LON,LAT, one point a second at the route's pace,\n"
    "                    then stand at the destination; --detour goes straight on\n"
    "                    at one turn, away from the route, and finds its way back\n"
    "  --log FILE        replay a captured log (lines starting with '#' are\n"
    "                    skipped) at the pace of its time stamps\n"
    "  --speed N         run N times faster (track and log)\n"
    "  --repeat N        play the log N times (default 1; 0: forever)\n"
    "  --count N         stop after N seconds' cycles\n"
    "  --link FOLDER     make FOLDER/ports/COM<n> a link to the terminal, so that\n"
    "                    tevo in FOLDER finds the receiver (removed at exit)\n"
    "  --port N          the n of --link (default 3)\n"
    "  --void-after N    after N cycles of a track, send cycles without a fix\n"
    "                    (RMC status V, GGA quality 0, GSA fix 1) ...\n"
    "  --void-for M      ... for M cycles (default 0: until the end), then valid\n"
    "                    ones again\n"
    "  --help            this text\n"
    "\n"
    "Every cycle is $GPRMC, $GPGGA, $GPGSA and $GPGSV with checksums and a sky\n"
    "of ten satellites, eight of them in the fix.\n"
    "\n"
    "SIGUSR1 turns the fix of a track off, and the next SIGUSR1 on again: the\n"
    "cycle after the signal already shows it. Each change prints \"fix lost at\n"
    "cycle N\" or \"fix back at cycle N\" as that cycle is sent.\n";

volatile std::sig_atomic_t gStop = 0;
// Each SIGUSR1 turns the fix off or on again.
volatile std::sig_atomic_t gFixToggled = 0;

void onSignal(int) {
    gStop = 1;
}

void onToggle(int) {
    gFixToggled = !gFixToggled;
}

struct Options {
    std::string track;
    std::string log;
    std::string linkFolder;
    RouteDrive drive;
    bool haveFrom = false, haveTo = false;
    int port = 3;
    double speed = 1.0;
    long repeat = 1;
    long count = 0;
    long voidAfter = -1; // no stretch without a fix
    long voidFor = 0;    // 0: to the end
};

// Whether cycle `second` of a track carries a fix.
bool cycleValid(const Options& options, long second) {
    const bool inVoid = options.voidAfter >= 0 && second >= options.voidAfter &&
                        (options.voidFor == 0 || second - options.voidAfter < options.voidFor);
    return inVoid == static_cast<bool>(gFixToggled);
}

// LON,LAT in degrees.
bool parsePosition(const std::string& text, tevo::route::LonLat& out) {
    char* end = nullptr;
    const double lon = std::strtod(text.c_str(), &end);
    if (*end != ',') return false;
    const char* rest = end + 1;
    const double lat = std::strtod(rest, &end);
    if (end == rest || *end != '\0' || !(std::abs(lon) <= 180) || !(std::abs(lat) <= 90))
        return false;
    out = {lon, lat};
    return true;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            std::exit(0);
        }
        if (arg == "--detour") {
            options.drive.detour = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (arg == "--track")
            options.track = value;
        else if (arg == "--route")
            options.drive.folder = value;
        else if (arg == "--from")
            options.haveFrom = parsePosition(value, options.drive.from);
        else if (arg == "--to")
            options.haveTo = parsePosition(value, options.drive.to);
        else if (arg == "--log")
            options.log = value;
        else if (arg == "--link")
            options.linkFolder = value;
        else if (arg == "--port")
            options.port = std::atoi(value.c_str());
        else if (arg == "--speed")
            options.speed = std::atof(value.c_str());
        else if (arg == "--repeat")
            options.repeat = std::atol(value.c_str());
        else if (arg == "--count")
            options.count = std::atol(value.c_str());
        else if (arg == "--void-after")
            options.voidAfter = std::atol(value.c_str());
        else if (arg == "--void-for")
            options.voidFor = std::atol(value.c_str());
        else
            return false;
    }
    const bool drive = !options.drive.folder.empty();
    if (drive != options.haveFrom || drive != options.haveTo) return false;
    return options.speed > 0 && options.port >= 1 && options.port <= 64 && options.voidFor >= 0 &&
           (options.voidFor == 0 || options.voidAfter >= 0);
}

// Sleeps, ending early on a signal.
void pause(double seconds) {
    timespec t{static_cast<time_t>(seconds), static_cast<long>((seconds - long(seconds)) * 1e9)};
    while (!gStop && nanosleep(&t, &t) != 0) {}
}

void runTrack(const PtyPort& port, const std::vector<TrackPoint>& points, const Options& options) {
    bool wasValid = true;
    for (long second = 0; !gStop && (options.count == 0 || second < options.count); ++second) {
        SimFix fix = fixAlong(points, static_cast<std::size_t>(second));
        fix.utc = std::time(nullptr);
        fix.valid = cycleValid(options, second);
        if (fix.valid != wasValid) {
            // Tests wait for these lines to know what the receiver says.
            std::printf(fix.valid ? "fix back at cycle %ld\n" : "fix lost at cycle %ld\n", second);
            std::fflush(stdout);
            wasValid = fix.valid;
        }
        port.send(fixCycle(fix, second));
        pause(1.0 / options.speed);
    }
}

void runLog(const PtyPort& port, const std::vector<LogCycle>& cycles, const Options& options) {
    long sent = 0;
    for (long round = 0; !gStop && (options.repeat == 0 || round < options.repeat); ++round) {
        for (const LogCycle& cycle : cycles) {
            if (gStop || (options.count != 0 && sent >= options.count)) return;
            port.send(cycle.bytes);
            ++sent;
            pause(cycle.seconds / options.speed);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::vector<TrackPoint> points;
    std::vector<LogCycle> cycles;
    if (!options.log.empty() && !readLog(options.log, cycles)) {
        std::fprintf(stderr, "nmeasim: cannot read the log %s\n", options.log.c_str());
        return 1;
    }
    std::string error;
    if (!options.drive.folder.empty()) {
        if (!driveRoute(options.drive, points, error)) {
            std::fprintf(stderr, "nmeasim: %s\n", error.c_str());
            return 1;
        }
    } else if (options.log.empty()) {
        if (options.track.empty())
            points = builtInLoop();
        else if (!readTrack(options.track, points)) {
            std::fprintf(stderr, "nmeasim: cannot read the track %s\n", options.track.c_str());
            return 1;
        }
    }
    // Handlers first: a test may signal as soon as it reads the first line.
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    struct sigaction toggle {};
    toggle.sa_handler = onToggle;
    sigaction(SIGUSR1, &toggle, nullptr);
    PtyPort port;
    if (!port.ok()) {
        std::fprintf(stderr, "nmeasim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", port.devicePath().c_str());
    if (!options.linkFolder.empty()) {
        if (!port.link(options.linkFolder, options.port)) {
            std::fprintf(stderr, "nmeasim: cannot link COM%d in %s\n", options.port,
                         options.linkFolder.c_str());
            return 1;
        }
        std::printf("COM%d -> %s\n", options.port, port.devicePath().c_str());
    }
    std::fflush(stdout);
    if (cycles.empty())
        runTrack(port, points, options);
    else
        runLog(port, cycles, options);
    return 0;
}
