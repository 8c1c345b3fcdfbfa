// The glide between two fixes in the perspective view: the course, tilt, zoom
// and followed position walk from their previous values to the new ones, one
// frame a step, spread over the interval between fixes.
#include "platform/clock.hpp"
#include "render/view/map_view.hpp"

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
    // Nothing planned yet.
    registerTransitionValues();
    transitions.sleepMs = 1;
    transitions.startTick = ticks();
    transitions.animating = false;
    // Nothing to show without a position.
    if (!followed.isSet() || noFix) return;
    if (!positionChanged || !perspective()) {
        // Standing still or a flat view: one frame, no animation.
        presentFrame();
        return;
    }
    // Plan the steps from what the last frame cost.
    const TransitionPlan plan = planTransition(drawTimeMs, fixInterval, transitions.maxSteps);
    transitions.sleepMs = plan.sleepMs;
    transitions.stepIndex = 0;
    if (plan.steps == 0) {
        presentFrame();
        return;
    }
    // End values and deltas; the course turns by a bounded angle.
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
    // The steps run from the next passes of the main loop.
    transitions.animating = true;
}

void MapView::stepTransition() {
    // Course and position stayed: wait out the interval.
    if (!positionChanged) {
        transitions.animating =
            ticks() - transitions.startTick <= static_cast<uint32_t>(fixInterval);
        return;
    }
    // After the last step the transition ends; otherwise draw one more.
    if (transitions.stepIndex == -1 || transitions.stepIndex >= transitions.stepCount) {
        transitions.stepIndex = -1;
        transitions.animating = false;
        return;
    }
    ++transitions.stepIndex;
    transitions.advance();
    camera->setPitch(tilt);
    presentFrame();
    sleepMs(stepPause());
}

uint32_t MapView::stepPause() const {
    // The plan counts the map's draw time only; the controls, the flip and the
    // main loop's own pauses come on top of it in every step. Each step
    // therefore sleeps only until its share of the interval is over (never
    // longer than planned), so that the glide keeps to the interval instead
    // of being cut short by the next fix. After the last frame there is
    // nothing left to spread.
    if (transitions.stepIndex >= transitions.stepCount) return 0;
    const int64_t steps = std::max(transitions.stepCount, 1);
    const int64_t due = int64_t{fixInterval} * transitions.stepIndex / steps;
    const int64_t spent = static_cast<int64_t>(ticks() - transitions.startTick);
    return static_cast<uint32_t>(std::clamp<int64_t>(due - spent, 0, transitions.sleepMs));
}

void MapView::finishTransition() {
    if (transitions.stepIndex != -1 && transitions.snapWhenCut) transitions.snapToEnd();
    transitions.stepIndex = -1;
}

} // namespace tevo
