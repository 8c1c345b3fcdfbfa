#include "ui/panel.hpp"

namespace tevo {

cPanel::cPanel(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target)
    : cControl(left, top, right, bottom, target) {
    controls_.reserve(kControlLimit);
}

cPanel::~cPanel() = default;

bool cPanel::add(std::unique_ptr<cControl> control) {
    if (!control || controls_.size() >= kControlLimit) return false;
    controls_.push_back(std::move(control));
    return true;
}

bool cPanel::press(int32_t x, int32_t y) {
    if (!active()) return false;
    if (!rect_.strictlyContains(x, y)) {
        setPressed(0);
        return false;
    }
    setPressed(1);
    runCallback();
    bool hit = false;
    for (const auto& control : controls_) {
        if (!control->active()) continue;
        if (control->rect().strictlyContains(x, y)) {
            control->setPressed(1);
            control->pressAt(x, y);
            control->runCallback();
            hit = true;
        } else {
            control->setPressed(0);
        }
    }
    return hit;
}

void cPanel::releaseAll() {
    for (const auto& control : controls_) control->setPressed(0);
}

cControl* cPanel::findReturnButton(ControlCallback returnCallback) const {
    if (!returnCallback) return nullptr;
    for (const auto& control : controls_)
        if (control->callback() == returnCallback) return control.get();
    return nullptr;
}

void cPanel::draw() {
    if (background_) background_->draw();
    for (const auto& control : controls_) control->draw();
}

} // namespace tevo
