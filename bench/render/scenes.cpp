#include "bench/render/scenes.hpp"

#include <cmath>
#include <random>

namespace tevo::bench {

namespace {

constexpr uint32_t kSeed = 20261208;
constexpr int kPolygons = 160;
constexpr int kLines = 120;
constexpr int kDiscs = 120;
constexpr double kTurn = 6.283185307179586;

uint32_t colour(std::mt19937& rng) {
    return rng() & 0x00FFFFFF;
}

int uniform(std::mt19937& rng, int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1));
}

// Most polygons are small (houses, blocks), a few are large (parks, lakes).
int vertexCount(std::mt19937& rng) {
    const int pick = uniform(rng, 0, 9);
    if (pick < 5) return uniform(rng, 3, 8);
    if (pick < 8) return uniform(rng, 9, 40);
    return uniform(rng, 41, 300);
}

// Buildings are small, blocks middling, parks, lakes and forests large.
double polygonRadius(std::mt19937& rng) {
    const int pick = uniform(rng, 0, 9);
    if (pick < 6) return uniform(rng, 4, 25);
    if (pick < 9) return uniform(rng, 25, 80);
    return uniform(rng, 80, 260);
}

// The outline's distance from the centre at angle a: convex shapes are
// round, concave ones have bays and spurs (a few lobes) and a rough edge.
double outline(bool concave, int lobes, double a, double lobePhase, double jitter) {
    if (!concave) return 1.0;
    return (0.68 + 0.32 * std::sin(lobes * a + lobePhase)) * (0.9 + 0.1 * jitter);
}

} // namespace

std::vector<PolygonShape> polygonScene() {
    std::mt19937 rng(kSeed);
    std::vector<PolygonShape> shapes;
    for (int i = 0; i < kPolygons; ++i) {
        const int n = vertexCount(rng);
        const bool concave = i % 2 == 1 && n > 4;
        const int lobes = uniform(rng, 2, 7);
        const double cx = uniform(rng, -150, kWidth + 150), cy = uniform(rng, -150, kHeight + 150);
        const double radius = polygonRadius(rng);
        const double phase = uniform(rng, 0, 359) * kTurn / 360;
        PolygonShape s{{}, colour(rng)};
        for (int k = 0; k < n; ++k) {
            const double a = phase + kTurn * k / n;
            const double r =
                radius * outline(concave, lobes, a, phase, static_cast<double>(rng() % 100) / 100);
            s.points.push_back({static_cast<int32_t>(cx + r * std::cos(a)),
                                static_cast<int32_t>(cy + r * std::sin(a))});
        }
        shapes.push_back(std::move(s));
    }
    return shapes;
}

std::vector<LineShape> lineScene() {
    std::mt19937 rng(kSeed + 1);
    const int32_t widths[] = {1, 1, 2, 3, 4, 5, 6, 8};
    const uint32_t patterns[] = {0xFFFF, 0xFFFF, 0x00FF, 0x8888};
    std::vector<LineShape> lines;
    for (int i = 0; i < kLines; ++i) {
        LineShape l{{}, widths[rng() % 8], patterns[rng() % 4], colour(rng)};
        int x = uniform(rng, -100, kWidth + 100), y = uniform(rng, -100, kHeight + 100);
        const int n = uniform(rng, 2, 30);
        for (int k = 0; k < n; ++k) {
            l.points.push_back({x, y});
            x += uniform(rng, -90, 90);
            y += uniform(rng, -90, 90);
        }
        lines.push_back(std::move(l));
    }
    return lines;
}

std::vector<DiscShape> discScene() {
    std::mt19937 rng(kSeed + 2);
    std::vector<DiscShape> discs;
    for (int i = 0; i < kDiscs; ++i) {
        const int outer = uniform(rng, 2, 60);
        const int inner = i % 3 == 0 ? uniform(rng, 0, outer) : -1;
        discs.push_back({uniform(rng, -40, kWidth + 40), uniform(rng, -40, kHeight + 40), inner,
                         outer, colour(rng)});
    }
    return discs;
}

} // namespace tevo::bench
