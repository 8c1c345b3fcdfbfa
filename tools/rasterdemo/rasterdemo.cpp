// rasterdemo [out.bmp] [16|32]: draws every primitive of the painter - fills,
// wide and dashed lines, discs, rings, a clipped star - and a small street
// scene of extruded buildings in perspective, then saves the picture.
#include "render/raster/camera.hpp"
#include "render/raster/painter.hpp"
#include "render/raster/prism.hpp"
#include "render/raster/projection.hpp"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tevo {
namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr double kTurn = 6.283185307179586;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

std::vector<ScreenPoint> star(int cx, int cy, int outer, int inner, int spikes, double turn = 0) {
    std::vector<ScreenPoint> p;
    for (int i = 0; i < 2 * spikes; ++i) {
        const double a = turn + kTurn * i / (2 * spikes);
        const int r = i % 2 ? inner : outer;
        p.push_back(
            {cx + static_cast<int>(r * std::sin(a)), cy - static_cast<int>(r * std::cos(a))});
    }
    return p;
}

void fill(cPainter& p, uint32_t colour, const std::vector<ScreenPoint>& points) {
    p.setFillColour(p.mapColour(colour));
    p.fillPolygon(points.data(), static_cast<int>(points.size()));
}

// Row 1: polygons of every kind.
void drawPolygons(cPainter& p) {
    fill(p, 0x0040A040, {{20, 20}, {80, 10}, {110, 50}, {70, 100}, {15, 80}}); // convex
    fill(p, 0x00C06020,
         {{130, 10},
          {150, 10},
          {150, 70},
          {190, 70},
          {190, 10},
          {210, 10},
          {210, 100},
          {130, 100}});                            // U: concave
    fill(p, 0x002020C0, star(270, 55, 48, 20, 7)); // star
    fill(p, 0x00A000A0, {{350, 8}, {378, 100}, {305, 43}, {395, 43}, {322, 100}});
    fill(p, 0x00008080, {{420, 30}, {1 << 30, 60}, {420, 90}}); // far off-screen
}

// Row 2: lines of widths 1 to 8, solid, dashed and dotted.
void drawLines(cPainter& p) {
    const uint32_t patterns[] = {0xFFFF, 0x00FF, 0x8888};
    const uint32_t colours[] = {0x00000000, 0x000000C0, 0x00C00000};
    for (int k = 0; k < 3; ++k) {
        p.setLineColour(p.mapColour(colours[k]));
        p.setDashPattern(patterns[k]);
        for (int w = 1; w <= 8; ++w) {
            p.setLineWidth(w);
            const int x = 15 + (w - 1) * 19 + k * 155;
            p.drawLine(x, 125, x + 10, 215);
        }
    }
    // A dashed polyline whose pattern runs on across its corners.
    p.setLineWidth(1);
    p.setDashPattern(0x00FF);
    p.setLineColour(p.mapColour(0x00000000));
    const ScreenPoint zigzag[] = {{10, 235}, {80, 225}, {150, 245}, {220, 225}, {290, 245}};
    p.drawPolyline(5, zigzag);
    // A wide polyline in two passes, the way streets are drawn.
    const ScreenPoint street[] = {{310, 230}, {360, 225}, {400, 245}, {470, 235}};
    p.setDashPattern(0xFFFF);
    p.setLineWidth(7);
    p.setLineColour(p.mapColour(0x00404040));
    p.drawPolyline(4, street);
    p.setLineWidth(4);
    p.setLineColour(p.mapColour(0x0000E0FF));
    p.drawPolyline(4, street);
}

// Row 3: discs and rings, and a star cut by a clip rectangle.
void drawDiscsAndClip(cPainter& p) {
    for (int i = 0; i < 5; ++i) {
        p.setFillColour(p.mapColour(0x00D08040 + 0x1000 * i));
        p.fillDisc(2 + 6 * i, 30 + 45 * i, 300);
    }
    p.setFillColour(p.mapColour(0x002080F0));
    p.fillRing(10, 28, 60, 360);
    p.fillRing(0, 12, 130, 360);
    p.fillRing(20, 22, 190, 360);

    const PixelRect box{300, 270, 460, 390};
    p.setLineWidth(1);
    p.setLineColour(p.mapColour(0x00000000));
    const ScreenPoint frame[] = {{box.left - 1, box.top - 1},
                                 {box.right + 1, box.top - 1},
                                 {box.right + 1, box.bottom + 1},
                                 {box.left - 1, box.bottom + 1},
                                 {box.left - 1, box.top - 1}};
    p.drawPolyline(5, frame);
    p.setClip(box);
    fill(p, 0x0000A0E0, star(380, 330, 150, 45, 5, 0.3));
    p.setLineWidth(3);
    p.setDashPattern(0x0F0F);
    p.setLineColour(p.mapColour(0x00800000));
    p.drawLine(250, 250, 520, 420);
    p.setDashPattern(0xFFFF);
    p.setClip({0, 0, kWidth - 1, kHeight - 1});
}

// Row 4: a street corner in perspective: ground, roads and buildings.
void drawScene(cPainter& p) {
    const PixelRect view{0, 410, kWidth - 1, kHeight - 1};
    p.setClip(view);
    p.setFillArea(view);
    p.clearArea(0x00F0E0C0);
    p.setFillArea({0, 0, kWidth - 1, kHeight - 1});
    p.depth().clear();

    Camera camera(kWidth / 2, 500, -500, kWidth, kHeight);
    camera.setYaw(10);
    camera.setPitch(74);
    const FixedMatrix& w = camera.matrix();
    const int32_t nearZ = 10, farZ = 3000;
    std::vector<ScreenPoint> screen;

    const GroundPoint ground[] = {{-900, -2600}, {900, -2600}, {900, 200}, {-900, 200}};
    if (projectPolygon(camera, &w, ground, 4, nearZ, farZ, screen)) {
        p.setFillColour(p.mapColour(0x0090C090));
        p.fillPolygon(screen.data(), static_cast<int>(screen.size()));
    }
    const GroundPoint roads[][2] = {{{-60, 200}, {-60, -2600}}, {{-900, -1000}, {900, -1000}}};
    for (const auto& road : roads) {
        if (!projectPolyline(camera, w, road, 2, nearZ, farZ, screen)) continue;
        p.setLineWidth(9);
        p.setLineColour(p.mapColour(0x00505050));
        p.drawPolyline(static_cast<int>(screen.size()), screen.data());
        p.setLineWidth(1);
        p.setDashPattern(0x00FF);
        p.setLineColour(p.mapColour(0x00FFFFFF));
        p.drawPolyline(static_cast<int>(screen.size()), screen.data());
        p.setDashPattern(0xFFFF);
    }

    // The lift along the view direction for a height in pixels.
    const auto lift = [&](int32_t h) {
        return CameraPoint{(h * w[2]) >> kFixedShift, (h * w[5]) >> kFixedShift,
                           (h * w[8]) >> kFixedShift};
    };
    struct Building {
        int u, v, size, height;
        uint32_t colour;
    };
    const Building buildings[] = {{-280, -1000, 140, 90, 0x006080C0},
                                  {120, -1150, 160, 40, 0x00C08060},
                                  {-250, -500, 150, 60, 0x0080A0D0},
                                  {150, -520, 120, 120, 0x00A0A0A0},
                                  {420, -800, 180, 160, 0x007070E0}};
    PrismBuffers buffers;
    for (const Building& b : buildings) {
        const int s = b.size / 2;
        const std::vector<GroundPoint> box{
            {b.u - s, b.v - s}, {b.u + s, b.v - s}, {b.u + s, b.v + s}, {b.u - s, b.v + s}};
        Prism prism{&w, box.data(), 4, lift(b.height), nearZ, farZ, 0, 0};
        const uint32_t c = b.colour;
        const auto shade = [c](int percent) {
            uint32_t out = 0;
            for (int shift = 0; shift < 24; shift += 8)
                out |= (((c >> shift) & 0xFF) * percent / 100) << shift;
            return out;
        };
        prism.oddWall = shade(90);
        prism.evenWall = shade(80);
        p.setFillColour(p.mapColour(c));
        drawPrism(p, camera, prism, buffers);
    }
    // A round tower of 16 sides takes the roof-last variant.
    std::vector<GroundPoint> tower;
    for (int i = 0; i < 16; ++i) {
        const double a = kTurn * i / 16;
        tower.push_back({-300 + static_cast<int>(70 * std::cos(a)),
                         -1500 + static_cast<int>(70 * std::sin(a))});
    }
    Prism round{&w, tower.data(), 16, lift(220), nearZ, farZ, 0x00B0B0E0, 0x009090C0};
    p.setFillColour(p.mapColour(0x00D0D0F0));
    drawPrismRoofLast(p, camera, round, buffers);
    p.setClip({0, 0, kWidth - 1, kHeight - 1});
}

} // namespace
} // namespace tevo

int main(int argc, char** argv) {
    using namespace tevo;
    const char* out = argc > 1 ? argv[1] : "rasterdemo.bmp";
    const int bpp = argc > 2 ? std::atoi(argv[2]) : 32;
    std::unique_ptr<SDL_Surface, SurfaceDeleter> surface(
        bpp == 16
            ? SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 16, 0xF800, 0x07E0, 0x001F, 0)
            : SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 32, 0x00FF0000, 0x0000FF00,
                                   0x000000FF, 0));
    if (!surface) {
        std::fprintf(stderr, "cannot create a %d-bit surface\n", bpp);
        return 1;
    }
    cPainter painter(surface.get());
    if (!painter.depth().create(kWidth, kHeight, 2)) return 1;
    painter.clearArea(0x00F4F4F4);
    drawPolygons(painter);
    drawLines(painter);
    drawDiscsAndClip(painter);
    drawScene(painter);
    if (SDL_SaveBMP(surface.get(), out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    std::printf("%s\n", out);
    return 0;
}
