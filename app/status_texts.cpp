// The live status texts that labels show, and the drawing of the current
// screen's controls.
#include "app/screen_steps.hpp"

#include <algorithm>

#include "platform/text.hpp"
#include "render/view/map_view.hpp"

#include <cmath>
#include <cstdlib>

namespace tevo {

namespace {

constexpr char16_t kDegreeSign = u'\u00B0';
// Values beyond this cannot be a position, a height or a speed; they (and
// values that are no numbers) leave the text empty rather than be truncated
// into an int, which would be undefined.
constexpr float kLargestShown = 1.0e7f;

bool showable(float value) {
    return std::isfinite(value) && std::fabs(value) < kLargestShown;
}

std::u16string formatInt(float value, std::u16string_view format) {
    if (!showable(value)) return {};
    return formatWide(format, static_cast<int>(value));
}

} // namespace

std::u16string formatDegrees(float value) {
    if (!showable(value)) return {};
    // South and west: the sign once, before the degrees; minutes and seconds
    // are shown without it.
    const bool negative = value < 0;
    const float magnitude = std::fabs(value);
    const int d = static_cast<int>(magnitude);
    const float f = magnitude - static_cast<float>(d);
    const int m = static_cast<int>(f * 60);
    const int s = static_cast<int>(f * 3600 - static_cast<float>(m * 60));
    std::u16string text = formatWide(u"%d%c%d'%d\"", d, kDegreeSign, m, s);
    return negative ? u"-" + text : text;
}

void updatePositionTexts(ScreenSet& screens, const GpsData& record) {
    // No fix: every text of the records empties; the receiver's state and
    // the fix's age say why (app/fix_report.cpp).
    if (record.fix == FixNone) {
        for (int32_t i = 0; i < TextGpsState; ++i)
            screens.setStatusText(static_cast<StatusText>(i), u"");
        return;
    }
    // Latitude and longitude.
    screens.setStatusText(TextLatitude, formatDegrees(record.latitude));
    screens.setStatusText(TextLongitude, formatDegrees(record.longitude));
    // Altitude and speed.
    screens.setStatusText(TextAltitude, formatInt(record.altitude, u"%d"));
    screens.setStatusText(TextSpeed, formatInt(record.speed, u"%d км/ч"));
    // The satellite counts.
    screens.setStatusText(TextAllSatellites, formatWide(u"%d", screens.satelliteCount));
    screens.setStatusText(TextUsedSatellites, formatWide(u"%d", screens.usedCount));
}

void updateSatelliteTexts(ScreenSet& screens, const SatelliteInfo* table, int32_t count) {
    screens.satelliteTable = table;
    screens.satelliteCount = count;
    // The count is the satellites in view, which may be more than the table
    // holds: only the table's records are read.
    const int32_t records = table ? std::clamp(count, 0, kSatelliteSlots) : 0;
    screens.usedCount = 0;
    for (int32_t i = 0; i < records; ++i)
        if (table[i].used != 0) ++screens.usedCount;
    screens.setStatusText(TextAllSatellites, formatWide(u"%d", screens.satelliteCount));
    screens.setStatusText(TextUsedSatellites, formatWide(u"%d", screens.usedCount));
}

void updateViewTexts(ScreenSet& screens, const MapView& view) {
    screens.setStatusText(TextDrawTime, formatWide(u"%d мс", view.state().drawTimeMs));
    const std::u16string_view mode =
        !view.perspective() ? u"Eco" : (view.state().style == Style2D ? u"2D" : u"3D");
    screens.setStatusText(TextMode, mode);
}

void updatePositionTexts(AppState& app, const GpsData& record) {
    if (app.screens) updatePositionTexts(*app.screens, record);
}

void updateSatelliteTexts(AppState& app) {
    if (app.screens)
        updateSatelliteTexts(*app.screens, app.loop.satellites.data(), app.loop.satelliteCount);
}

void drawCurrentScreen(AppState& app) {
    if (!app.screens) return;
    ScreenSet& screens = *app.screens;
    cPanel* panel = screens.currentPanel();
    if (panel == nullptr) return;
    panel->draw();
    if (screens.currentScreen == ScreenSatellites) drawSkyView(screens);
}

} // namespace tevo
