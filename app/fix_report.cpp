#include "app/fix_report.hpp"

#include "app/receiver.hpp"
#include "app/screen_steps.hpp"
#include "app/startup.hpp"

#include "platform/clock.hpp"
#include "platform/text.hpp"

namespace tevo {

namespace {

constexpr uint32_t kSecondMs = 1000;
constexpr uint32_t kMinuteMs = 60 * kSecondMs;
constexpr uint32_t kHourMs = 60 * kMinuteMs;

std::u16string_view linkState(ReceiverLink link) {
    switch (link) {
    case ReceiverLink::None:
        return u"no receiver";
    case ReceiverLink::Searching:
        return u"GPS searching";
    case ReceiverLink::Lost:
    case ReceiverLink::Reopening:
        return u"GPS lost";
    case ReceiverLink::Open:
        break;
    }
    return {};
}

// A record's fix as the plug-in gives it: any value but FixNone is a fix.
std::u16string_view fixState(uint8_t fix) {
    if (fix == Fix2D) return u"GPS 2D";
    if (fix == Fix3D) return u"GPS 3D";
    return u"GPS fix";
}

// The values of the menu that came with the last fix, marked as old: the
// position in brackets, speed and satellites unknown.
void markValuesStale(ScreenSet& screens) {
    for (const StatusText which : {TextLatitude, TextLongitude, TextAltitude}) {
        const std::u16string& text = screens.statusText(which);
        if (!text.empty() && text.front() != u'(') screens.setStatusText(which, u"(" + text + u")");
    }
    for (const StatusText which : {TextSpeed, TextAllSatellites, TextUsedSatellites})
        screens.setStatusText(which, u"—");
}

// Sets a status text; true when it changed.
bool changeText(ScreenSet& screens, StatusText which, const std::u16string& text) {
    if (screens.statusText(which) == text) return false;
    screens.setStatusText(which, text);
    return true;
}

} // namespace

std::u16string formatFixAge(uint32_t ms) {
    if (ms < kMinuteMs) return formatWide(u"%u с", ms / kSecondMs);
    if (ms < kHourMs) return formatWide(u"%u мин", ms / kMinuteMs);
    return formatWide(u"%u ч", ms / kHourMs);
}

FixReport describeFix(const ReceiverStatus& status, const FixSource& source, uint32_t now) {
    FixReport report;
    if (source.kind != FixSource::Receiver) {
        // The drive's points are never old; a pause only holds them.
        report.state = u"demo";
        if (source.kind == FixSource::PausedDemo) report.paused = u"paused";
        return report;
    }
    report.live =
        status.link == ReceiverLink::Open && status.fixSeen && source.lastRecordFix != FixNone;
    if (status.link != ReceiverLink::Open)
        report.state = linkState(status.link);
    else
        report.state = report.live ? fixState(source.lastRecordFix) : u"GPS no fix";
    // A position without a live fix (the last one, or the stored one of the
    // last run) is where the vehicle was, not where it is.
    report.stale = !report.live;
    if (report.stale && source.wasLive) report.age = formatFixAge(now - source.lastLiveTick);
    return report;
}

void updateFixReport(AppState& app) {
    if (!app.screens) return;
    ScreenSet& screens = *app.screens;
    const FixSource::Kind kind = !app.demoMode ? FixSource::Receiver
                                 : app.paused  ? FixSource::PausedDemo
                                               : FixSource::Demo;
    const FixSource source{kind, app.loop.position.fix, app.follow.fixWasLive,
                           app.follow.lastLiveTick};
    const uint32_t now = ticks();
    const FixReport report = describeFix(receiverStatus(app), source, now);
    if (report.live) {
        app.follow.fixWasLive = true;
        app.follow.lastLiveTick = now;
    }
    bool redraw = changeText(screens, TextGpsState, report.state);
    redraw = changeText(screens, TextPaused, report.paused) || redraw;
    const bool ageChanged = changeText(screens, TextFixAge, report.age);
    if (report.stale) {
        markValuesStale(screens);
        redraw = redraw || ageChanged;
    }
    if (app.mapView) redraw = app.mapView->setFixStale(report.stale) || redraw;
    if (redraw) presentScreen(app);
}

} // namespace tevo
