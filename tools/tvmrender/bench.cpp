#include "tools/tvmrender/bench.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace tevo {

namespace {

constexpr int kWarmUpFrames = 10;
constexpr int kFlightFrames = 200;
constexpr float kFlightMetresPerPixel = 2.0f;
constexpr float kFlightTilt = 60.0f;
constexpr float kYawPerFrame = 1.8f;
constexpr int kMaxPanFrames = 4000;
constexpr double kPi = 3.14159265358979323846;

struct Place {
    float lon = 0, lat = 0, cell = 0;
};

// The centre of the finest level's cell that, with its eight neighbours,
// holds the most POIs and buildings: the middle of the densest town.
Place densestCell(const cMapFile& map) {
    Place best;
    if (map.levels().empty()) return best;
    const cMapLevel& level = *map.levels().front();
    uint64_t bestCount = 0;
    for (const auto& block : level.indexBlocks()) {
        if (block->columns() == 0) continue;
        std::map<std::pair<int32_t, int32_t>, uint64_t> counts;
        for (const IndexEntry& e : block->entries()) {
            const std::unique_ptr<cBlockObjects> objects = block->lookupBlock(e.key);
            if (!objects) continue;
            const Cell c = cellOfKey(e.key, block->columns());
            counts[{c.col, c.row}] =
                static_cast<uint64_t>(objects->pois.size() + objects->upperPolygons.size());
        }
        for (const auto& [cell, count] : counts) {
            uint64_t sum = 0;
            for (int dc = -1; dc <= 1; ++dc)
                for (int dr = -1; dr <= 1; ++dr) {
                    const auto it = counts.find({cell.first + dc, cell.second + dr});
                    if (it != counts.end()) sum += it->second;
                }
            if (sum <= bestCount) continue;
            bestCount = sum;
            const float f = block->cellSize();
            best = {(static_cast<float>(cell.first) + 0.5f) * f,
                    (static_cast<float>(cell.second) + 0.5f) * f, f};
        }
    }
    return best;
}

double residentMegabytes() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return got == 2 ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
                          (1024.0 * 1024.0)
                    : 0;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The processor time of this thread, in ms: unlike the time on the wall it
// leaves out what the other processes of a shared machine take.
double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double frameMs(MapView& view) {
    const auto t0 = std::chrono::steady_clock::now();
    view.drawFrame();
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double medianOf(std::vector<double>& times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Each frame of the flight, drawn without the route and, when the view holds
// one, with it as well, in turns first and second (both after the same
// warm-up, so they meet the same cache). The route's cost is the median of
// the differences of processor time frame by frame, which neither the
// machine's drift nor its other processes move much.
void flight(RenderSession& s, const Place& p, Mode mode) {
    const std::vector<MapPoint> route = s.view->routeLine();
    std::vector<double> times, extra;
    double cpu = 0;
    const auto timed = [&](bool withRoute) {
        s.view->setRouteLine(withRoute ? route : std::vector<MapPoint>{});
        const double before = threadMs();
        const double ms = frameMs(*s.view);
        cpu = threadMs() - before;
        return ms;
    };
    for (int i = -kWarmUpFrames; i < kFlightFrames; ++i) {
        const double a = 2 * kPi * i / kFlightFrames;
        const float r = p.cell / 4;
        placeView(*s.view, p.lon + r * static_cast<float>(std::cos(a)),
                  p.lat + r * static_cast<float>(std::sin(a)), kFlightMetresPerPixel, mode,
                  kYawPerFrame * static_cast<float>(i), kFlightTilt);
        const bool routeFirst = !route.empty() && i % 2 != 0;
        const double first = timed(routeFirst);
        const double firstCpu = cpu;
        const double second = route.empty() ? 0 : timed(!routeFirst);
        if (i < 0) continue;
        times.push_back(routeFirst ? second : first);
        if (!route.empty()) extra.push_back(routeFirst ? firstCpu - cpu : cpu - firstCpu);
    }
    s.view->setRouteLine(route);
    const double median = medianOf(times);
    const double p95 = times[std::min(times.size() - 1, times.size() * 95 / 100)];
    std::printf("%s: median %.2f ms, p95 %.2f ms", modeName(mode), median, p95);
    if (!route.empty())
        std::printf("; the route (%zu points) %+.3f ms a frame (processor time, median of "
                    "the differences)",
                    route.size(), medianOf(extra));
    std::printf("\n");
}

// Rows across the finest level's extent, one viewport apart.
void pan(RenderSession& s) {
    const cMapFile& map = s.view->mapFile();
    if (map.levels().empty()) return;
    const BoundsF e = map.levels().front()->extent();
    MapView& v = *s.view;
    const double metresPerDegree = kMetresPerDegree * v.state().kx / v.state().ky;
    const float stepX = static_cast<float>(s.screen->w * kFlightMetresPerPixel / metresPerDegree);
    const float stepY = static_cast<float>(s.screen->h * kFlightMetresPerPixel / kMetresPerDegree);
    const double start = residentMegabytes();
    int frames = 0;
    double largest = start;
    for (float lat = e.minY; lat <= e.maxY && frames < kMaxPanFrames; lat += stepY)
        for (float lon = e.minX; lon <= e.maxX && frames < kMaxPanFrames; lon += stepX) {
            placeView(v, lon, lat, kFlightMetresPerPixel, Mode::Raised, 0, kFlightTilt);
            v.drawFrame();
            ++frames;
            largest = std::max(largest, residentMegabytes());
        }
    std::printf("pan: %d frames across the map, resident %.1f MB at start, %.1f MB at most, "
                "%.1f MB at end\n",
                frames, start, largest, residentMegabytes());
}

} // namespace

int runBench(RenderSession& s, const float* routeMiddle) {
    Place p = densestCell(s.view->mapFile());
    if (routeMiddle) {
        p.lon = routeMiddle[0];
        p.lat = routeMiddle[1];
    }
    std::printf("%dx%d at %.4f,%.4f, %.1f m per pixel\n", s.screen->w, s.screen->h, p.lon, p.lat,
                kFlightMetresPerPixel);
    for (Mode mode : {Mode::Raised, Mode::Eco, Mode::Flat}) flight(s, p, mode);
    pan(s);
    std::printf("peak resident memory: %.1f MB\n", peakMegabytes());
    return 0;
}

} // namespace tevo
