#include "render/view/transition_table.hpp"

#include "render/raster/numbers.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {
constexpr int32_t kZeroDrawTimeMs = 10;
} // namespace

TransitionPlan planTransition(int32_t drawMs, int32_t intervalMs, int32_t maxSteps) {
    const uint32_t a = drawMs <= 0 ? kZeroDrawTimeMs : static_cast<uint32_t>(drawMs);
    const uint32_t interval = intervalMs < 0 ? 0u : static_cast<uint32_t>(intervalMs);
    TransitionPlan plan;
    const uint32_t n = std::min(interval / a, static_cast<uint32_t>(std::max(maxSteps, 0)));
    plan.steps = static_cast<int32_t>(n);
    if (n == 0) return plan;
    const double rest = static_cast<double>(interval) - static_cast<double>(a) * n;
    plan.sleepMs = std::max(1, static_cast<int32_t>(std::trunc(rest / n + 0.5)));
    return plan;
}

bool TransitionTable::add(std::string_view typeName, void* previous, void* value, StepFn step) {
    Entry e;
    if (typeName == "int")
        e.kind = KindInt;
    else if (typeName == "float")
        e.kind = KindFloat;
    else if (typeName == "_T3DPoint<int>")
        e.kind = KindPoint;
    else
        return false;
    e.previous = previous;
    e.value = value;
    e.step = std::move(step);
    entries_.push_back(std::move(e));
    return true;
}

void TransitionTable::prepare(int32_t steps) {
    const double n = std::max(steps, 1);
    for (Entry& e : entries_) {
        switch (e.kind) {
        case KindInt: {
            auto& v = *static_cast<int32_t*>(e.value);
            e.end[0] = v;
            v = *static_cast<int32_t*>(e.previous);
            e.accumulator[0] = v;
            e.delta[0] = (e.end[0] - e.accumulator[0]) / n;
            break;
        }
        case KindFloat: {
            auto& v = *static_cast<float*>(e.value);
            e.end[0] = v;
            v = *static_cast<float*>(e.previous);
            e.accumulator[0] = v;
            e.delta[0] = (e.end[0] - v) / n;
            break;
        }
        case KindPoint: {
            auto& v = *static_cast<ViewPoint*>(e.value);
            const auto& from = *static_cast<ViewPoint*>(e.previous);
            e.end = {double(v.x), double(v.y), double(v.z)};
            e.accumulator = {double(from.x), double(from.y), double(from.z)};
            v = from;
            for (size_t k = 0; k < 3; ++k) e.delta[k] = (e.end[k] - e.accumulator[k]) / n;
            break;
        }
        }
    }
    stepCount = steps;
    stepIndex = 0;
}

void TransitionTable::advance() {
    for (Entry& e : entries_) {
        switch (e.kind) {
        case KindInt:
            e.accumulator[0] += e.delta[0];
            *static_cast<int32_t*>(e.value) = num::truncInt(e.accumulator[0]);
            break;
        case KindFloat: {
            auto& v = *static_cast<float*>(e.value);
            if (e.step)
                e.step(v, static_cast<float>(e.delta[0]));
            else
                v += static_cast<float>(e.delta[0]);
            break;
        }
        case KindPoint: {
            auto& v = *static_cast<ViewPoint*>(e.value);
            for (size_t k = 0; k < 3; ++k) e.accumulator[k] += e.delta[k];
            v.x = num::truncInt(e.accumulator[0]);
            v.y = num::truncInt(e.accumulator[1]);
            v.z = num::truncInt(e.accumulator[2]);
            break;
        }
        }
    }
}

void TransitionTable::snapToEnd() {
    for (Entry& e : entries_) {
        switch (e.kind) {
        case KindInt:
            *static_cast<int32_t*>(e.value) = num::truncInt(e.end[0]);
            break;
        case KindFloat:
            *static_cast<float*>(e.value) = static_cast<float>(e.end[0]);
            break;
        case KindPoint: {
            auto& v = *static_cast<ViewPoint*>(e.value);
            v = {num::truncInt(e.end[0]), num::truncInt(e.end[1]), num::truncInt(e.end[2])};
            break;
        }
        }
    }
}

} // namespace tevo
