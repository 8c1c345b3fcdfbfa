// Helpers shared by the overlay drawings.
#pragma once

#include "render/raster/painter.hpp"

namespace tevo {

// Restores the painter's colours, width and dash settings on leaving, so an
// overlay never changes what the next map object is drawn with.
class PainterStyleGuard {
public:
    explicit PainterStyleGuard(cPainter& painter)
        : painter_(painter), fill_(painter.fillColour()), line_(painter.lineColour()),
          pattern_(painter.dashPattern()), width_(painter.lineWidth()), phase_(painter.dashPhase()),
          continueDash_(painter.continueDash()) {}
    ~PainterStyleGuard() {
        painter_.setFillColour(fill_);
        painter_.setLineColour(line_);
        painter_.setDashPattern(pattern_);
        painter_.setLineWidth(width_);
        painter_.setDashPhase(phase_);
        painter_.setContinueDash(continueDash_);
    }
    PainterStyleGuard(const PainterStyleGuard&) = delete;
    PainterStyleGuard& operator=(const PainterStyleGuard&) = delete;

private:
    cPainter& painter_;
    uint32_t fill_;
    uint32_t line_;
    uint32_t pattern_;
    int32_t width_;
    int32_t phase_;
    bool continueDash_;
};

} // namespace tevo
