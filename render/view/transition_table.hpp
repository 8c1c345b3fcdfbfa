// The values that glide from one fix to the next: each registered value
// walks from its previous copy to its end value in equal steps, one frame a
// step, spread over the interval between fixes.
#pragma once

#include "render/raster/geometry.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tevo {

// How many steps a transition takes and how long each step sleeps after its
// frame, for a frame that took `drawMs` and fixes `intervalMs` apart. A draw
// time of 0 counts as 10 ms; no more than `maxSteps` steps; 0 steps when one
// frame takes longer than the interval.
struct TransitionPlan {
    int32_t steps = 0;
    int32_t sleepMs = 1;
};
TransitionPlan planTransition(int32_t drawMs, int32_t intervalMs, int32_t maxSteps);

class TransitionTable {
public:
    enum Kind : uint8_t { KindInt = 0, KindFloat = 1, KindPoint = 2 };
    // Called with the value and the step's delta instead of the plain step.
    using StepFn = std::function<void(float& value, float delta)>;

    struct Entry {
        void* previous = nullptr;
        void* value = nullptr;
        std::array<double, 3> end{};
        std::array<double, 3> accumulator{};
        std::array<double, 3> delta{};
        Kind kind = KindFloat;
        StepFn step;
    };

    static constexpr int32_t kMaxSteps = 25;
    static constexpr float kMaxCourseChange = 60.0f;

    // Registers a value by its type name: "int" (int32_t), "float" or
    // "_T3DPoint<int>" (ViewPoint). Any other name registers nothing and
    // answers false.
    bool add(std::string_view typeName, void* previous, void* value, StepFn step = {});

    // Every value starts again from its previous copy and heads for the
    // value it has now, in `steps` steps (at least 1).
    void prepare(int32_t steps);
    // One step of every value.
    void advance();
    // Every value at its end (integers truncated).
    void snapToEnd();

    std::vector<Entry>& entries() { return entries_; }
    const std::vector<Entry>& entries() const { return entries_; }

    int32_t stepIndex = -1; // -1: idle
    int32_t stepCount = 0;
    int32_t sleepMs = 1;
    bool animating = false;
    uint32_t startTick = 0;
    float maxCourseChange = kMaxCourseChange;
    // A transition cut short by the next fix stays where its last step left
    // the values; the next one starts from there.
    bool snapWhenCut = false;
    int32_t maxSteps = kMaxSteps;

private:
    std::vector<Entry> entries_;
};

} // namespace tevo
