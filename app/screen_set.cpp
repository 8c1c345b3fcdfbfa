#include "app/screen_set.hpp"

#include "ui/label.hpp"

namespace tevo {

const std::array<std::u16string_view, kCommandCount> ScreenSet::kCommandNames = {
    u"callBackExit",           u"callBackPlus",      u"callBackMinus",
    u"callBackNavigation",     u"callBackMainMenu",  u"callBackSatellites",
    u"callBackReturnPosition", u"callBackSearch",    u"callBackWholeMap",
    u"callBackRouteHere",      u"callBackClearRoute",
};

const std::array<std::u16string_view, kStatusTextCount> ScreenSet::kTokens = {
    u"@LATITUDE@",       u"@LONGITUDE@",       u"@ALTITUDE@", u"@SPEED@",
    u"@ALL_SATELLITES@", u"@USED_SATELLITES@", u"@DRAWTIME@", u"@MODE@",
    u"@GPSSTATE@",       u"@FIXAGE@",          u"@PAUSED@",
};

const std::array<std::u16string_view, kGuidanceTextCount> ScreenSet::kGuidanceTokens = {
    u"@NEXTDIST@",
    u"@NEXTSTREET@",
    u"@ROUTELEFT@",
    u"@ARRIVAL@",
};

cPanel* ScreenSet::panelOf(int32_t screen) const {
    switch (screen) {
    case ScreenNavigation:
        return navigation.get();
    case ScreenMainMenu:
        return mainMenu.get();
    case ScreenSatellites:
        return satellites.get();
    case ScreenSearch:
        return search.get();
    default:
        return nullptr;
    }
}

bool ScreenSet::lookupCommand(std::u16string_view name, cControl& control) const {
    for (int32_t i = 0; i < kCommandCount; ++i) {
        if (kCommandNames[i] == name) {
            control.setCallback(commands[i], 0);
            return true;
        }
    }
    return false;
}

void ScreenSet::releaseControls() {
    if (cPanel* panel = currentPanel()) panel->releaseAll();
}

cControl* ScreenSet::controlFor(Command which) const {
    const ControlCallback command = commands[which];
    // Without the command installed no control can be bound to it.
    if (command == nullptr) return nullptr;
    for (const cPanel* panel : {navigation.get(), mainMenu.get(), satellites.get()}) {
        if (panel == nullptr) continue;
        if (cControl* found = panel->findReturnButton(command)) return found;
    }
    return nullptr;
}

cControl* ScreenSet::returnButton() const {
    return controlFor(CommandReturnPosition);
}

ReturnButton ScreenSet::returnButtonState() const {
    const cControl* button = returnButton();
    if (button == nullptr) return ReturnButton::Absent;
    return button->active() ? ReturnButton::Shown : ReturnButton::Hidden;
}

void ScreenSet::hideReturnButton() {
    if (cControl* button = returnButton()) button->setActive(false);
}

void ScreenSet::showReturnButton() {
    if (cControl* button = returnButton()) button->setActive(true);
}

void ScreenSet::cycleScreen() {
    switch (currentScreen) {
    case ScreenNavigation:
        if (satellites) currentScreen = ScreenSatellites;
        break;
    case ScreenSatellites:
        currentScreen = mainMenu ? ScreenMainMenu : ScreenNavigation;
        break;
    default:
        currentScreen = ScreenNavigation;
        break;
    }
}

void ScreenSet::showScreen(int32_t screen) {
    if (panelOf(screen) != nullptr) currentScreen = screen;
}

void ScreenSet::bindLabelText(cLabel& label, std::u16string_view text) const {
    for (int32_t i = 0; i < kStatusTextCount; ++i) {
        if (kTokens[i] == text) {
            label.setSharedText(&statusTexts_[i]);
            return;
        }
    }
    for (int32_t i = 0; i < kGuidanceTextCount; ++i) {
        if (kGuidanceTokens[i] == text) {
            label.setSharedText(&guidanceTexts[i]);
            return;
        }
    }
    label.setText(text);
}

void ScreenSet::setStatusText(StatusText which, std::u16string_view text) {
    statusTexts_[which] = text.substr(0, kStatusTextLimit);
}

} // namespace tevo
