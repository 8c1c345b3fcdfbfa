// The screens, their fonts, the status and guidance texts they show and
// the commands their buttons run.
#pragma once

#include "plugin-api/plugin_api.hpp"
#include "ui/control.hpp"
#include "ui/panel.hpp"
#include "ui/picture.hpp"
#include "ui/text_style.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tevo {

class cLabel;

enum ScreenId : int32_t {
    ScreenNavigation = 0,
    ScreenMainMenu = 3,
    ScreenSatellites = 4,
    ScreenSearch = 5,
};

// The live texts that labels show by naming a token.
enum StatusText : int32_t {
    TextLatitude,
    TextLongitude,
    TextAltitude,
    TextSpeed,
    TextAllSatellites,
    TextUsedSatellites,
    TextDrawTime,
    TextMode,
    // The receiver's state, the age of its last fix, the paused drive
    // (app/fix_report.hpp).
    TextGpsState,
    TextFixAge,
    TextPaused,
    kStatusTextCount,
};

// The texts of the guidance panel, which labels show by naming a token;
// they are longer than the status texts (a street's name).
enum GuidanceText : int32_t {
    TextNextDistance,
    TextNextStreet,
    TextRouteLeft,
    TextArrival,
    kGuidanceTextCount,
};

// The commands, in the order of the command table.
enum Command : int32_t {
    CommandExit,
    CommandPlus,
    CommandMinus,
    CommandNavigation,
    CommandMainMenu,
    CommandSatellites,
    CommandReturnPosition,
    CommandSearch,
    CommandWholeMap,
    CommandRouteHere,
    CommandClearRoute,
    kCommandCount,
};

enum class ReturnButton { Absent, Hidden, Shown };

// The ellipse of the sky view: semi-axes and the centre, in pixels.
struct SkyEllipse {
    int32_t a = 0;
    int32_t b = 0;
    int32_t centreX = 0;
    int32_t centreY = 0;
};

class ScreenSet {
public:
    // A status text holds at most this many UTF-16 units (a buffer of 20
    // with its terminator).
    static constexpr std::size_t kStatusTextLimit = 19;

    // The name of each command as buttons give it, in Command order.
    static const std::array<std::u16string_view, kCommandCount> kCommandNames;
    // The token of each status text, in StatusText order.
    static const std::array<std::u16string_view, kStatusTextCount> kTokens;
    // The token of each guidance text, in GuidanceText order, and the token
    // of the guidance panel's picture.
    static const std::array<std::u16string_view, kGuidanceTextCount> kGuidanceTokens;
    static constexpr std::u16string_view kTurnToken = u"@NEXTTURN@";

    // The panel of the current screen, or null.
    cPanel* currentPanel() const { return panelOf(currentScreen); }
    cPanel* panelOf(int32_t screen) const;

    // Gives `control` the command named exactly `name`; false (and the
    // control unchanged) for any other name.
    bool lookupCommand(std::u16string_view name, cControl& control) const;
    // Releases the controls of the current screen.
    void releaseControls();

    // The first control bound to `command` on any screen, or null.
    cControl* controlFor(Command command) const;
    // The first control bound to the return command, searched on the map
    // screen, then the main menu, then the satellites screen.
    cControl* returnButton() const;
    ReturnButton returnButtonState() const;
    void hideReturnButton();
    void showReturnButton();

    // F4: map → satellites → main menu → map, skipping screens not built.
    void cycleScreen();
    // The screen commands: nothing for a screen that was not built.
    void showScreen(int32_t screen);

    // Binds a label to a status text when `text` is a token, else copies it.
    void bindLabelText(cLabel& label, std::u16string_view text) const;
    // Writes a status text, cut to kStatusTextLimit units.
    void setStatusText(StatusText which, std::u16string_view text);
    const std::u16string& statusText(StatusText which) const { return statusTexts_[which]; }

    int32_t currentScreen = ScreenNavigation;
    std::unique_ptr<cPanel> navigation;
    std::unique_ptr<cPanel> mainMenu;
    std::unique_ptr<cPanel> satellites;
    std::unique_ptr<cPanel> search; // only with a search screen in the menu file

    // The main loop's satellite buffer (not owned); null until the first table.
    const SatelliteInfo* satelliteTable = nullptr;
    int32_t satelliteCount = 0;
    int32_t usedCount = 0;
    SkyEllipse sky;
    std::unique_ptr<Picture> activeSatellite;
    std::unique_ptr<Picture> inactiveSatellite;

    std::unique_ptr<TextStyle> labelFont;
    std::unique_ptr<TextStyle> buttonFont;
    std::unique_ptr<TextStyle> blackLabelFont;

    std::array<ControlCallback, kCommandCount> commands{};

    // What the guidance panel shows: its texts, and the cell of the turn
    // sheet (-1: no route, the panel is not drawn).
    std::array<std::u16string, kGuidanceTextCount> guidanceTexts;
    int32_t turnCell = -1;

private:
    std::array<std::u16string, kStatusTextCount> statusTexts_;
};

} // namespace tevo
