#include "tools/tvmrender/frames.hpp"

#include "platform/regular_file.hpp"
#include "platform/text.hpp"
#include "render/view/route_line.hpp"
#include "route/router.hpp"

#include <cstdio>
#include <cstdlib>

namespace tevo {

namespace {

constexpr int32_t kDefaultWidth = 480;
constexpr int32_t kDefaultHeight = 640;
// The program opens no larger window (SDL keeps a row's length in 16 bits).
constexpr int32_t kLargestSide = 8192;
// The rasteriser draws into 16 or 32 bits; the dummy driver's desktop has 8.
constexpr int kDepth = 32;

void centreIfUnset(std::array<int32_t, 2>& p, int32_t w, int32_t h) {
    if (p[0] == 0 && p[1] == 0) p = {w / 2, h / 2};
}

} // namespace

bool openSession(const std::string& folder, int32_t width, int32_t height, RenderSession& out) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "tvmrender: SDL: %s\n", SDL_GetError());
        return false;
    }
    cScreenXML screens;
    screens.parse(folder + "screen.xml");
    out.layout = screens.lookup(u"defaultWindows");
    ResolutionEntry& e = out.layout;
    if (width == 0 || height == 0) {
        // The layout's window, when it is one the program would open.
        const bool fits =
            e.width > 0 && e.height > 0 && e.width <= kLargestSide && e.height <= kLargestSide;
        if (!fits && (e.width != 0 || e.height != 0))
            std::fprintf(stderr, "tvmrender: the layout's window %dx%d is refused; %dx%d is used\n",
                         e.width, e.height, kDefaultWidth, kDefaultHeight);
        width = fits ? e.width : kDefaultWidth;
        height = fits ? e.height : kDefaultHeight;
    }
    out.screen = SDL_SetVideoMode(width, height, kDepth, SDL_SWSURFACE);
    if (!out.screen) {
        std::fprintf(stderr, "tvmrender: video: %s\n", SDL_GetError());
        return false;
    }
    // Without its style and display levels the map draws nothing: a black
    // picture would look like a success.
    for (const char* needed : {"levels.xml", "tevo.skn"})
        if (!isRegularFile(folder + needed)) {
            std::fprintf(stderr, "tvmrender: %s%s is missing: copy it from the program folder\n",
                         folder.c_str(), needed);
            return false;
        }
    out.view = std::make_unique<MapView>(out.screen, folder);
    MapView& v = *out.view;
    if (!v.openMap(toWidePath(folder + "map.tvm"))) {
        std::fprintf(stderr, "tvmrender: cannot open %smap.tvm\n", folder.c_str());
        return false;
    }
    // The layout's positions are those of its own window size; a different
    // --size keeps the followed point at the same relative place.
    const bool ownSize = e.width == width && e.height == height;
    if (!ownSize) {
        e.pointer2Dcoord = e.pointer3Dcoord = {0, 0};
        e.compascoord = {width - 60, 60};
        e.scalecoord = {20, height - 40};
    }
    centreIfUnset(e.pointer2Dcoord, width, height);
    centreIfUnset(e.pointer3Dcoord, width, height);
    if (!e.pointer.empty()) v.overlays().loadPointer(folder + toNarrowUnlimited(e.pointer));
    if (!e.compass.empty()) v.overlays().loadCompass(folder + toNarrowUnlimited(e.compass));
    v.setOverlayPositions(e.compascoord[0], e.compascoord[1], e.scalecoord[0], e.scalecoord[1],
                          e.scalelength);
    if (!e.poi.empty())
        v.overlays().loadPoiSheet(folder + toNarrowUnlimited(e.poi), e.poisize[0], e.poisize[1]);
    v.fitToMap();
    v.setPointerPositions(e.pointer2Dcoord[0], e.pointer2Dcoord[1], e.pointer3Dcoord[0],
                          e.pointer3Dcoord[1], height);
    return true;
}

bool loadRoute(const RenderOptions& o, RenderSession& s, float middle[2]) {
    constexpr double kSnapMetres = 500;
    route::cRoadGraph graph;
    std::string error;
    if (!graph.open(o.folder + "map.tvr", &error)) {
        std::fprintf(stderr, "tvmrender: %s\n", error.c_str());
        return false;
    }
    const auto from = route::snapToRoad(graph, {o.routeFrom[0], o.routeFrom[1]}, kSnapMetres);
    const auto to = route::snapToRoad(graph, {o.routeTo[0], o.routeTo[1]}, kSnapMetres);
    route::cRouter router(graph);
    route::Route r;
    if (!from || !to || !router.route(*from, *to, r)) {
        std::fprintf(stderr, "tvmrender: no route between the two positions of --route\n");
        return false;
    }
    const route::LonLat& m = r.points[r.points.size() / 2];
    middle[0] = static_cast<float>(m.lon);
    middle[1] = static_cast<float>(m.lat);
    s.view->setRouteLine(mapLine(r.points, 0));
    return true;
}

bool modeFromName(const std::string& name, Mode& out) {
    if (name == "eco")
        out = Mode::Eco;
    else if (name == "2d")
        out = Mode::Flat;
    else if (name == "3d")
        out = Mode::Raised;
    else
        return false;
    return true;
}

const char* modeName(Mode mode) {
    switch (mode) {
    case Mode::Eco:
        return "eco";
    case Mode::Flat:
        return "2d";
    default:
        return "3d";
    }
}

void placeView(MapView& v, float lon, float lat, float mpp, Mode mode, float yaw, float tilt) {
    v.placeFollowed(lon, lat, 1.0f / mpp, mode == Mode::Eco ? ProjectionEco : ProjectionPerspective,
                    mode == Mode::Raised ? Style3D : Style2D, yaw, tilt);
}

} // namespace tevo
