// The base of the controls of a screen: a rectangle that can be pressed and
// that runs a command when it is, drawn onto the video surface.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace tevo {

// A command run by a pressed control, with the control's argument.
using ControlCallback = void (*)(int32_t argument);

// A control's rectangle on the screen.
struct ControlRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    // Strictly inside: a touch on an edge is not a hit.
    bool strictlyContains(int32_t x, int32_t y) const {
        return left < x && x < right && top < y && y < bottom;
    }
};

class cControl {
public:
    cControl(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target)
        : rect_{left, top, right, bottom}, target_(target) {}
    virtual ~cControl() = default;
    cControl(const cControl&) = delete;
    cControl& operator=(const cControl&) = delete;

    // The base draws nothing.
    virtual void draw() {}
    // Where a touch that hit the control fell, told before its callback
    // runs: a control of several parts (keys, rows) picks the part here.
    virtual void pressAt(int32_t /*x*/, int32_t /*y*/) {}

    const ControlRect& rect() const { return rect_; }
    ControlCallback callback() const { return callback_; }
    int32_t callbackArgument() const { return argument_; }
    void setCallback(ControlCallback callback, int32_t argument = 0) {
        callback_ = callback;
        argument_ = argument;
    }
    // Runs the callback, when there is one.
    void runCallback() const {
        if (callback_) callback_(argument_);
    }
    // Inactive controls are neither drawn (buttons) nor pressed.
    bool active() const { return active_; }
    void setActive(bool on) { active_ = on; }
    int32_t pressed() const { return pressed_; }
    void setPressed(int32_t value) { pressed_ = value; }
    SDL_Surface* target() const { return target_; }

protected:
    ControlRect rect_;

private:
    ControlCallback callback_ = nullptr;
    int32_t argument_ = 0;
    bool active_ = true;
    int32_t pressed_ = 0;
    SDL_Surface* target_;
};

} // namespace tevo
