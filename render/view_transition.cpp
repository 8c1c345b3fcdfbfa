// The glide between two fixes in the perspective view: the course, tilt, zoom
// and followed position walk from their previous values to the new ones, one
// frame a step, spread over the interval between fixes.
#include "platform/clock.hpp"
#include "render/map_view.hpp"

#include <algorithm>
#include <cstdlib>

namespace tevo {

void MapView::registerTransitionValues() {
    if (!transitions.entries().empty()) return;
    transitions.add("float", &previousCourse, &course);
    transitions.add("float", &previousTilt, &tilt);
    // The free view keeps the zoom the user chose.
    transitions.add("float", &previousZoom, &zoom, [this](float& value, float delta) {
        if (!freeView) value += delta;
    });
    transitions.add("_T3DPoint<int>", &previousFollowed, &followed);
}

void MapView::presentFrame() {
    if (present)
        present();
    else
        drawFrame();
}

void MapView::startTransition() {
    // 1. Nothing planned yet.
    registerTransitionValues();
    transitions.sleepMs = 1;
    transitions.startTick = ticks();
    transitions.animating = false;
    // 2. Nothing to show without a position.
    if (!followed.isSet() || noFix) return;
    if (!positionChanged || !perspective()) {
        // 4. One frame.
        presentFrame();
        return;
    }
    // 3.1 The plan from the last frame's cost.
    const TransitionPlan plan = planTransition(drawTimeMs, fixInterval, transitions.maxSteps);
    transitions.sleepMs = plan.sleepMs;
    transitions.stepIndex = 0;
    if (plan.steps == 0) {
        presentFrame();
        return;
    }
    // 3.3-3.4 End values and deltas; the course turns by a bounded angle.
    course = std::clamp(course, previousCourse - transitions.maxCourseChange,
                        previousCourse + transitions.maxCourseChange);
    const float endZoom = zoom;
    const int64_t dx = int64_t{followed.x} - previousFollowed.x;
    transitions.prepare(plan.steps);
    if (freeView) zoom = endZoom;
    // A step across the 0/360 degree line would glide round the whole Earth:
    // the position jumps there instead.
    if (std::llabs(dx) > kUnitsPerCircle / 2) {
        for (auto& e : transitions.entries()) {
            if (e.kind != TransitionTable::KindPoint) continue;
            e.accumulator = e.end;
            e.delta = {0, 0, 0};
            followed = {static_cast<int32_t>(e.end[0]), static_cast<int32_t>(e.end[1]),
                        static_cast<int32_t>(e.end[2])};
        }
    }
    // 3.5 Running.
    transitions.animating = true;
}

void MapView::stepTransition() {
    // 1. Course and position stayed: wait out the interval.
    if (!positionChanged) {
        transitions.animating =
            ticks() - transitions.startTick <= static_cast<uint32_t>(fixInterval);
        return;
    }
    // 2. The last step ends the transition.
    if (transitions.stepIndex == -1 || transitions.stepIndex >= transitions.stepCount) {
        transitions.stepIndex = -1;
        transitions.animating = false;
        return;
    }
    ++transitions.stepIndex;
    transitions.advance();
    camera->setPitch(tilt);
    presentFrame();
    sleepMs(static_cast<uint32_t>(transitions.sleepMs));
}

void MapView::finishTransition() {
    if (transitions.stepIndex != -1 && transitions.snapWhenCut) transitions.snapToEnd();
    transitions.stepIndex = -1;
}

} // namespace tevo
