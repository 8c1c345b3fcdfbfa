// The glide between two fixes in the perspective view: the course, tilt, zoom
// and followed position walk from their previous values to the new ones, one
// frame a step, spread over the interval between fixes. The view only says
// when a frame is due; the main loop draws it, shows it and waits.
#include "platform/clock.hpp"
#include "render/view/map_view.hpp"

#include <algorithm>
#include <cstdlib>

namespace tevo {

void MapView::registerTransitionValues() {
    if (!transitions_.entries().empty()) return;
    ViewState& s = state_;
    transitions_.add("float", &s.previousCourse, &s.course);
    transitions_.add("float", &s.previousTilt, &s.tilt);
    // The free view keeps the zoom the user chose.
    transitions_.add("float", &s.previousZoom, &s.zoom, [this](float& value, float delta) {
        if (!state_.freeView) value += delta;
    });
    transitions_.add("_T3DPoint<int>", &s.previousFollowed, &s.followed);
}

bool MapView::startTransition() {
    ViewState& s = state_;
    // Nothing planned yet.
    registerTransitionValues();
    transitions_.sleepMs = 1;
    transitions_.startTick = ticks();
    transitions_.animating = false;
    // Nothing to show without a position.
    if (!s.followed.isSet() || s.noFix) return false;
    // Standing still or a flat view: one frame, no animation.
    if (!s.positionChanged || !perspective()) return true;
    // Plan the steps from what the last frame cost.
    const TransitionPlan plan = planTransition(s.drawTimeMs, s.fixInterval, transitions_.maxSteps);
    transitions_.sleepMs = plan.sleepMs;
    transitions_.stepIndex = 0;
    if (plan.steps == 0) return true;
    // End values and deltas; the course turns by a bounded angle.
    s.course = std::clamp(s.course, s.previousCourse - transitions_.maxCourseChange,
                          s.previousCourse + transitions_.maxCourseChange);
    const float endZoom = s.zoom;
    const int64_t dx = int64_t{s.followed.x} - s.previousFollowed.x;
    transitions_.prepare(plan.steps);
    if (s.freeView) s.zoom = endZoom;
    // A step across the 0/360 degree line would glide round the whole Earth:
    // the position jumps there instead.
    if (std::llabs(dx) > kUnitsPerCircle / 2) {
        for (auto& e : transitions_.entries()) {
            if (e.kind != TransitionTable::KindPoint) continue;
            e.accumulator = e.end;
            e.delta = {0, 0, 0};
            s.followed = {static_cast<int32_t>(e.end[0]), static_cast<int32_t>(e.end[1]),
                          static_cast<int32_t>(e.end[2])};
        }
    }
    // The steps come from the next passes of the main loop.
    transitions_.animating = true;
    return false;
}

bool MapView::stepTransition() {
    // Course and position stayed: wait out the interval.
    if (!state_.positionChanged) {
        transitions_.animating =
            ticks() - transitions_.startTick <= static_cast<uint32_t>(state_.fixInterval);
        return false;
    }
    // After the last step the transition ends; otherwise one more frame.
    if (transitions_.stepIndex == -1 || transitions_.stepIndex >= transitions_.stepCount) {
        transitions_.stepIndex = -1;
        transitions_.animating = false;
        return false;
    }
    ++transitions_.stepIndex;
    transitions_.advance();
    camera_->setPitch(state_.tilt);
    return true;
}

uint32_t MapView::stepPause() const {
    // The plan counts the map's draw time only; the controls, the flip and the
    // main loop's own pauses come on top of it in every step. Each step
    // therefore sleeps only until its share of the interval is over (never
    // longer than planned), so that the glide keeps to the interval instead
    // of being cut short by the next fix. After the last frame there is
    // nothing left to spread.
    const TransitionTable& t = transitions_;
    if (t.stepIndex >= t.stepCount) return 0;
    const int64_t steps = std::max(t.stepCount, 1);
    const int64_t due = int64_t{state_.fixInterval} * t.stepIndex / steps;
    const int64_t spent = static_cast<int64_t>(ticks() - t.startTick);
    return static_cast<uint32_t>(std::clamp<int64_t>(due - spent, 0, t.sleepMs));
}

void MapView::finishTransition() {
    if (transitions_.stepIndex != -1 && transitions_.snapWhenCut) transitions_.snapToEnd();
    transitions_.stepIndex = -1;
}

} // namespace tevo
