// One full screen of controls: draws them in list order and routes a touch
// to every control under it.
#pragma once

#include "ui/control.hpp"
#include "ui/picture.hpp"

#include <memory>
#include <vector>

namespace tevo {

class cPanel : public cControl {
public:
    // Controls a screen can hold.
    static constexpr std::size_t kControlLimit = 20;

    cPanel(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target);
    ~cPanel() override;

    // Appends a control; false (and the control is dropped) when the panel
    // is full or the control is null.
    bool add(std::unique_ptr<cControl> control);

    // Offers a touch: outside the panel (edges included) nothing is hit.
    // Inside, the panel's own callback runs, then every active control that
    // strictly contains the point is pressed and runs its callback, in list
    // order; the others are released. True when any control was hit.
    bool press(int32_t x, int32_t y);
    // Releases every control of the list.
    void releaseAll();
    // The first control whose callback is `returnCallback`, or null.
    cControl* findReturnButton(ControlCallback returnCallback) const;

    // The background picture, when there is one, then the controls in order.
    void draw() override;

    void setBackground(std::unique_ptr<Picture> background) { background_ = std::move(background); }
    std::size_t count() const { return controls_.size(); }
    cControl* control(std::size_t i) const {
        return i < controls_.size() ? controls_[i].get() : nullptr;
    }

private:
    std::vector<std::unique_ptr<cControl>> controls_;
    std::unique_ptr<Picture> background_;
};

} // namespace tevo
