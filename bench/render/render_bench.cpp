// Draws the same scenes with cPainter and with Cairo (antialiasing off, the
// same pixel format, line widths and dash patterns) into 480 x 640 surfaces
// of 16 and 32 bits per pixel, and prints how many times faster the painter
// is. A measurement, never a test.
#include "bench/render/scenes.hpp"
#include "render/raster/painter.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <SDL.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tevo::bench {
namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

SurfacePtr makeSurface(int bpp) {
    if (bpp == 16)
        return SurfacePtr(
            SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 16, 0xF800, 0x07E0, 0x001F, 0));
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 32, 0x00FF0000,
                                           0x0000FF00, 0x000000FF, 0));
}

const std::vector<PolygonShape>& polygons() {
    static const std::vector<PolygonShape> s = polygonScene();
    return s;
}
const std::vector<LineShape>& lines() {
    static const std::vector<LineShape> s = lineScene();
    return s;
}
const std::vector<DiscShape>& discs() {
    static const std::vector<DiscShape> s = discScene();
    return s;
}

// --- the painter -----------------------------------------------------------

void paintPolygons(cPainter& p) {
    for (const PolygonShape& s : polygons()) {
        p.setFillColour(p.mapColour(s.colour));
        p.fillPolygon(s.points.data(), static_cast<int>(s.points.size()));
    }
}

void paintLines(cPainter& p) {
    for (const LineShape& l : lines()) {
        p.setLineColour(p.mapColour(l.colour));
        p.setLineWidth(l.width);
        p.setDashPattern(l.pattern);
        p.drawPolyline(static_cast<int>(l.points.size()), l.points.data());
    }
}

void paintDiscs(cPainter& p) {
    for (const DiscShape& d : discs()) {
        p.setFillColour(p.mapColour(d.colour));
        if (d.inner < 0)
            p.fillDisc(d.outer, d.cx, d.cy);
        else
            p.fillRing(d.inner, d.outer, d.cx, d.cy);
    }
}

// --- Cairo ---------------------------------------------------------------

struct CairoTarget {
    explicit CairoTarget(SDL_Surface* s) {
        const cairo_format_t format =
            s->format->BitsPerPixel == 16 ? CAIRO_FORMAT_RGB16_565 : CAIRO_FORMAT_RGB24;
        surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(s->pixels),
                                                      format, s->w, s->h, s->pitch);
        cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    }
    ~CairoTarget() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    CairoTarget(const CairoTarget&) = delete;
    CairoTarget& operator=(const CairoTarget&) = delete;

    void colour(uint32_t bgr) {
        cairo_set_source_rgb(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0,
                             ((bgr >> 16) & 0xFF) / 255.0);
    }
    void path(const std::vector<ScreenPoint>& points) {
        cairo_new_path(cr);
        for (const ScreenPoint& p : points) cairo_line_to(cr, p.x + 0.5, p.y + 0.5);
    }

    cairo_surface_t* surface;
    cairo_t* cr;
};

// Bit n of the mask is pixel n of each 16: turned into on/off run lengths.
std::vector<double> dashes(uint32_t pattern, double& offset) {
    std::vector<double> runs;
    offset = 0;
    int start = 0;
    while (start < 16 && !((pattern >> start) & 1)) ++start; // begin on an "on" run
    offset = 16 - start;
    bool on = true;
    double run = 0;
    for (int i = 0; i < 16; ++i) {
        const bool bit = (pattern >> ((start + i) % 16)) & 1;
        if (bit != on) {
            runs.push_back(run);
            run = 0;
            on = bit;
        }
        ++run;
    }
    runs.push_back(run);
    if (runs.size() % 2) runs.push_back(0);
    return runs;
}

void cairoPolygons(CairoTarget& c) {
    for (const PolygonShape& s : polygons()) {
        c.colour(s.colour);
        c.path(s.points);
        cairo_close_path(c.cr);
        cairo_fill(c.cr);
    }
}

void cairoLines(CairoTarget& c) {
    for (const LineShape& l : lines()) {
        c.colour(l.colour);
        cairo_set_line_width(c.cr, l.width < 1 ? 1 : l.width);
        if (l.pattern == 0xFFFF) {
            cairo_set_dash(c.cr, nullptr, 0, 0);
        } else {
            double offset;
            const std::vector<double> d = dashes(l.pattern, offset);
            cairo_set_dash(c.cr, d.data(), static_cast<int>(d.size()), offset);
        }
        c.path(l.points);
        cairo_stroke(c.cr);
    }
}

void cairoDiscs(CairoTarget& c) {
    constexpr double kFull = 6.283185307179586;
    for (const DiscShape& d : discs()) {
        c.colour(d.colour);
        cairo_new_path(c.cr);
        cairo_arc(c.cr, d.cx + 0.5, d.cy + 0.5, d.outer + 0.5, 0, kFull);
        if (d.inner >= 0) {
            cairo_new_sub_path(c.cr);
            cairo_arc_negative(c.cr, d.cx + 0.5, d.cy + 0.5, d.inner + 0.5, kFull, 0);
        }
        cairo_fill(c.cr);
    }
}

// --- benchmarks -------------------------------------------------------------

using PainterScene = void (*)(cPainter&);
using CairoScene = void (*)(CairoTarget&);

void runPainter(benchmark::State& state, PainterScene scene, int bpp) {
    SurfacePtr s = makeSurface(bpp);
    cPainter painter(s.get());
    for (auto _ : state) {
        scene(painter);
        benchmark::DoNotOptimize(s->pixels);
        benchmark::ClobberMemory();
    }
}

void runCairo(benchmark::State& state, CairoScene scene, int bpp) {
    SurfacePtr s = makeSurface(bpp);
    CairoTarget target(s.get());
    for (auto _ : state) {
        scene(target);
        cairo_surface_flush(target.surface);
        benchmark::DoNotOptimize(s->pixels);
        benchmark::ClobberMemory();
    }
}

struct Scene {
    const char* name;
    PainterScene painter;
    CairoScene cairo;
};
const Scene kScenes[] = {{"polygons", paintPolygons, cairoPolygons},
                         {"lines", paintLines, cairoLines},
                         {"discs", paintDiscs, cairoDiscs}};

// Keeps each run's time per frame so that the ratios can be printed at the
// end.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // CPU time per frame in microseconds: steadier than wall time on a busy
    // machine, and both renderers run on one thread.
    std::map<std::string, double> times;
};

// Pixels a scene sets, shape by shape (overdraw counted), as a share of the
// frame: says how much of the time is filling rather than setting up.
double drawnShare(const Scene& scene) {
    SurfacePtr s = makeSurface(32);
    cPainter painter(s.get());
    uint64_t drawn = 0;
    const auto count = [&] {
        const uint32_t* p = static_cast<const uint32_t*>(s->pixels);
        for (int i = 0; i < kWidth * kHeight; ++i) drawn += p[i] != 0;
        SDL_FillRect(s.get(), nullptr, 0);
    };
    SDL_FillRect(s.get(), nullptr, 0);
    if (scene.painter == paintPolygons) {
        for (const PolygonShape& shape : polygons()) {
            painter.setFillColour(1);
            painter.fillPolygon(shape.points.data(), static_cast<int>(shape.points.size()));
            count();
        }
    } else if (scene.painter == paintLines) {
        for (const LineShape& l : lines()) {
            painter.setLineColour(1);
            painter.setLineWidth(l.width);
            painter.setDashPattern(l.pattern);
            painter.drawPolyline(static_cast<int>(l.points.size()), l.points.data());
            count();
        }
    } else {
        for (const DiscShape& d : discs()) {
            painter.setFillColour(1);
            if (d.inner < 0)
                painter.fillDisc(d.outer, d.cx, d.cy);
            else
                painter.fillRing(d.inner, d.outer, d.cx, d.cy);
            count();
        }
    }
    return static_cast<double>(drawn) / (kWidth * kHeight);
}

std::string key(const Scene& s, int bpp, const char* who) {
    char name[64];
    std::snprintf(name, sizeof name, "%s/%dbpp/%s", s.name, bpp, who);
    return name;
}

} // namespace
} // namespace tevo::bench

int main(int argc, char** argv) {
    using namespace tevo::bench;
    for (const Scene& s : kScenes) {
        for (int bpp : {32, 16}) {
            benchmark::RegisterBenchmark(key(s, bpp, "painter").c_str(), runPainter, s.painter, bpp)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(key(s, bpp, "cairo").c_str(), runCairo, s.cairo, bpp)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    size_t vertices = 0;
    for (const PolygonShape& p : polygons()) vertices += p.points.size();
    std::printf("\npolygons: %zu shapes, %zu vertices; lines: %zu polylines; discs: %zu\n",
                polygons().size(), vertices, lines().size(), discs().size());
    std::printf("\n%-10s %5s %14s %14s %8s %14s\n", "scene", "bpp", "painter (us)", "cairo (us)",
                "ratio", "frames drawn");
    for (const Scene& s : kScenes) {
        for (int bpp : {32, 16}) {
            const auto p = reporter.times.find(key(s, bpp, "painter"));
            const auto c = reporter.times.find(key(s, bpp, "cairo"));
            if (p == reporter.times.end() || c == reporter.times.end()) continue;
            std::printf("%-10s %5d %14.1f %14.1f %7.2fx %14.2f\n", s.name, bpp, p->second,
                        c->second, c->second / p->second, drawnShare(s));
        }
    }
    return 0;
}
