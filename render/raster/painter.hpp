// The software rasteriser: draws lines, discs, rings and polygons straight
// into the pixel memory of an SDL software surface of 2 or 4 bytes per pixel.
// Every primitive clips to the painter's clip rectangle, so callers may pass
// coordinates far outside the surface.
#pragma once

#include "render/raster/geometry.hpp"
#include "render/raster/zbuffer.hpp"

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace tevo {

// Both ends of a line after clipping.
struct Segment {
    ScreenPoint from;
    ScreenPoint to;
};

// Square root for the rasteriser: a table for 0..4095 (truncated), above that
// (and for negative values, of the magnitude) rounded to nearest.
int64_t isqrt(int64_t v);

// One polygon edge, oriented downwards, stepped row by row with an integer
// quotient and remainder so that no row is lost to rounding.
struct PolyEdge {
    int32_t yTop = 0;
    int32_t yBottom = 0;
    int64_t xTop = 0;
    int64_t q = 0;   // truncated dx / dy
    int64_t r = 0;   // |dx mod dy|
    int64_t den = 1; // dy
    int64_t sign = 0;
    int64_t x = 0; // x on row `row`
    int64_t err = 0;
    int64_t row = 0;

    void setup(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    // x on row y, by formula: the same value that stepping from the top gives.
    void seek(int64_t y);
    void step() {
        x += q;
        err += r;
        if (err >= den) {
            err -= den;
            x += sign;
        }
        ++row;
    }
    // Brings the edge to row y, stepping when it was on the row above.
    void moveTo(int64_t y) {
        if (y == row + 1)
            step();
        else if (y != row)
            seek(y);
    }
};

class cPainter {
public:
    // Solid dash pattern: every pixel on.
    static constexpr uint32_t kSolid = 0xFFFF;

    explicit cPainter(SDL_Surface* surface);
    cPainter(const cPainter&) = delete;
    cPainter& operator=(const cPainter&) = delete;

    // Draws into `surface` from now on; bounds, clip and fill area become the
    // whole surface. Refused (false, nothing changes) for a null surface, one
    // that is not 2 or 4 bytes per pixel, while a primitive runs, or when the
    // span buffer cannot grow to a wider surface.
    bool bindSurface(SDL_Surface* surface);

    // Held by every primitive while it draws; a caller that draws a whole
    // frame may hold one too, so that the surface cannot change under it.
    class BusyGuard {
    public:
        explicit BusyGuard(cPainter& painter) : painter_(painter), was_(painter.busy_) {
            painter.busy_ = true;
        }
        ~BusyGuard() { painter_.busy_ = was_; }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        cPainter& painter_;
        bool was_;
    };

    // Fills the fill area with a colour given as 0x00BBGGRR.
    void clearArea(uint32_t colour);
    bool fillDisc(int32_t radius, int32_t cx, int32_t cy);
    bool fillRing(int32_t innerRadius, int32_t outerRadius, int32_t cx, int32_t cy);

    // One pixel wide in lineColour with the dash pattern; true when any pixel
    // lies in the clip rectangle. `clipped` receives the first and last pixel
    // drawn.
    bool drawLine1(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Segment* clipped = nullptr);
    // lineWidth wide. `drawn` becomes 2 when the line is visible, else 0;
    // `visible` receives the visible part of the centre line.
    bool drawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int* drawn = nullptr,
                  Segment* visible = nullptr);
    // Draws point to point; the dash pattern runs on across the corners.
    bool drawPolyline(int count, const ScreenPoint* points);
    // As drawPolyline; `visible` is replaced by the visible path of the line.
    bool drawPolylineVisible(int count, const ScreenPoint* points,
                             std::vector<ScreenPoint>& visible);

    // Fills in fillColour; true when the polygon was not wholly outside.
    bool fillPolygon(const ScreenPoint* points, int count);
    // Fills where the plane depth a*x + b*y + c is nearer than the depth
    // buffer, and stores it there.
    bool fillPolygonDepth(const ScreenPoint* points, int count, float a, float b, float c);
    // The two fills that fillPolygon chooses between, callable directly: the
    // monotone fill (both span ends set) is only right for y-monotone
    // polygons; the edge-table fill (even-odd, right span end left out) takes
    // any polygon.
    bool fillMonotone(const ScreenPoint* points, int count);
    bool fillEdgeTable(const ScreenPoint* points, int count);

    // Maps 0x00BBGGRR to a pixel value of the bound surface.
    uint32_t mapColour(uint32_t colour) const;

    uint32_t fillColour() const { return fillColour_; }
    void setFillColour(uint32_t pixel) { fillColour_ = pixel; }
    uint32_t lineColour() const { return lineColour_; }
    void setLineColour(uint32_t pixel) { lineColour_ = pixel; }
    uint32_t dashPattern() const { return dashPattern_; }
    void setDashPattern(uint32_t pattern) { dashPattern_ = pattern & 0xFFFF; }
    int32_t lineWidth() const { return lineWidth_; }
    void setLineWidth(int32_t width) { lineWidth_ = width < 0 ? 0 : width; }
    int32_t dashPhase() const { return dashPhase_; }
    void setDashPhase(int32_t phase) { dashPhase_ = phase & 15; }
    bool continueDash() const { return continueDash_; }
    void setContinueDash(bool on) { continueDash_ = on; }

    // Rectangles are kept inside the bound surface.
    const PixelRect& bounds() const { return bounds_; }
    void setBounds(const PixelRect& r) { bounds_ = intersect(r, surfaceRect_); }
    const PixelRect& clip() const { return clip_; }
    void setClip(const PixelRect& r) { clip_ = intersect(r, surfaceRect_); }
    const PixelRect& fillArea() const { return fillArea_; }
    void setFillArea(const PixelRect& r) { fillArea_ = intersect(r, surfaceRect_); }

    SDL_Surface* surface() const { return surface_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    bool busy() const { return busy_; }
    cZBuffer& depth() { return depth_; }
    const cZBuffer& depth() const { return depth_; }

    // Scratch arrays of the edge-table fill, kept between polygons.
    struct FillScratch {
        std::vector<PolyEdge> edges;
        std::vector<PolyEdge> active; // copies, kept in x order row by row
    };

private:
    enum class FillKind { Choose, Monotone, EdgeTable };
    bool fill(const ScreenPoint* points, int count, FillKind kind);
    bool fillDepth(const ScreenPoint* points, int count, float a, float b, float c);
    bool line1(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Segment* clipped);
    bool wideLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    int32_t dashAdvance(int64_t dx, int64_t dy) const;
    bool prepareSpan(uint32_t colour, int32_t width);
    void putPixel(int64_t x, int64_t y, uint32_t colour);
    uint8_t* row(int32_t y) const { return pixels_ + static_cast<intptr_t>(y) * pitch_; }
    // Pixels xl..xr (inclusive, inside the clip) of row y from spanBuffer.
    void span(int32_t y, int32_t xl, int32_t xr) {
        std::memcpy(row(y) + (static_cast<intptr_t>(xl) << pixelShift_), spanBuffer_.data(),
                    static_cast<size_t>(xr - xl + 1) << pixelShift_);
    }

    std::vector<uint8_t> spanBuffer_;
    uint8_t* pixels_ = nullptr;
    uint8_t bytesPerPixel_ = 0;
    int32_t oddMask_ = 0;
    uint8_t pixelShift_ = 0;
    int32_t pitch_ = 0;
    PixelRect bounds_;
    bool busy_ = false;
    PixelRect clip_;
    PixelRect fillArea_;
    SDL_Surface* surface_ = nullptr;
    int32_t dashPhase_ = 0;
    bool continueDash_ = false;
    uint32_t fillColour_ = 0;
    uint32_t lineColour_ = 0;
    uint32_t dashPattern_ = kSolid;
    int32_t lineWidth_ = 1;
    cZBuffer depth_;

    PixelRect surfaceRect_;
    // What spanBuffer holds now, so that polygons of one colour fill it once.
    uint32_t spanColour_ = 0;
    int32_t spanPixels_ = 0;
    FillScratch scratch_;
};

} // namespace tevo
