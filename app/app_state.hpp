// The process-wide state of the program shell.
#pragma once

#include "app/screen_set.hpp"
#include "config/config_xml.hpp"
#include "config/screen_xml.hpp"
#include "map/track_log.hpp"
#include "plugin-api/plugin_api.hpp"
#include "render/view/map_view.hpp"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace tevo {

struct ReceiverState; // the plug-ins and the receiver reader (app/receiver.hpp)
struct ReceiverStateDeleter {
    void operator()(ReceiverState* state) const;
};
struct RouteState; // the destination and the route to it (app/route_state.hpp)
struct RouteStateDeleter {
    void operator()(RouteState* state) const;
};
struct SearchState; // the search screen's index, text and results (app/search_screen.hpp)
struct SearchStateDeleter {
    void operator()(SearchState* state) const;
};

// What the follower (app/follower.cpp) remembers between records.
struct FollowState {
    uint32_t lastRecordTick = 0; // when the last record or replay point came
    bool firstFixSeen = false;
    bool freedByNoFix = false; // a record without a fix freed the view
    // When the receiver's fix was last live (app/fix_report.hpp).
    bool fixWasLive = false;
    uint32_t lastLiveTick = 0;
};

// Locals of the main loop, kept here so that one pass can be run by itself.
struct LoopState {
    bool dragging = false;
    bool pressedOnControl = false;
    bool returnButtonExists = false;
    std::array<int32_t, 2> pressPoint{0, 0};
    std::array<int32_t, 2> lastPoint{0, 0};
    std::array<int32_t, 2> releasePoint{0, 0};
    std::array<int32_t, 2> pressMapPoint{-1, -1};
    bool pressPointOffMap = false;
    bool newFixThisPass = false;
    // The last record read from the receiver and the last satellite table.
    GpsData position{};
    std::array<SatelliteInfo, kSatelliteSlots> satellites{};
    int32_t satelliteCount = 0;
};

struct AppState {
    static constexpr int kVersionMajor = 0;
    static constexpr int kVersionMinor = 7;
    static constexpr int kVersionBuild = 4;
    static constexpr const char16_t* kVersionTag = u"beta";
    static constexpr int32_t kDefaultWidth = 480;
    static constexpr int32_t kDefaultHeight = 640;
    // The entry of screen.xml the program uses.
    static constexpr const char16_t* kLayoutName = u"defaultWindows";

    std::u16string caption;    // "Tevo v.0.7.4 beta"
    std::string programFolder; // ends with '/', or empty for the current folder

    int32_t screenWidth = kDefaultWidth;
    int32_t screenHeight = kDefaultHeight;
    int depth = 0; // bits per pixel of the video mode
    SDL_Surface* screen = nullptr;
    std::array<int32_t, 2> messageOrigin{0, 0};
    ResolutionEntry layout; // the selected entry, with the pointer positions resolved
    TextStyle statusText;   // the splash's progress texts
    Picture splash;
    std::unique_ptr<ScreenSet> screens;
    std::unique_ptr<SearchState, SearchStateDeleter> search; // with a search screen

    std::unique_ptr<ReceiverState, ReceiverStateDeleter> receiver;
    std::unique_ptr<MapView> mapView;
    std::unique_ptr<RouteState, RouteStateDeleter> routing;

    bool viewMovedByUser = false;
    bool paused = false;
    int32_t quit = 0;
    bool demoMode = false; // set when the demonstration track could be opened
    TrackLog demoTrack;

    cScreenXML screenLayout;
    cConfigXML settings;
    // False when config.xml was broken and no copy of it could be kept: the
    // exit then leaves the file as it is.
    bool saveSettings = true;
    // Set once the start-up has put the stored view into the map view: an
    // end before that leaves the stored view in the settings as it was read.
    bool storedViewApplied = false;

    LoopState loop;
    FollowState follow;

    // programFolder followed by a file name.
    std::string pathOf(const std::string& name) const { return programFolder + name; }
};

} // namespace tevo
