#include "gps/search_report.hpp"

#include "platform/text.hpp"

#include <algorithm>

namespace tevo {

namespace {

const char16_t* said(SearchReport::Outcome outcome) {
    switch (outcome) {
    case SearchReport::Outcome::NoDevice:
        return u"no device";
    case SearchReport::Outcome::Busy:
        return u"in use by another program (such as gpsd), or not permitted";
    case SearchReport::Outcome::Silent:
        return u"silent";
    case SearchReport::Outcome::NotRecognised:
        return u"no sentence a receiver plug-in reads";
    case SearchReport::Outcome::Off:
        return u"off";
    case SearchReport::Outcome::NoAnswer:
        return u"no answer";
    case SearchReport::Outcome::NoReceiver:
        return u"no receiver";
    }
    return u"";
}

std::u16string rateList(const std::vector<int32_t>& rates) {
    std::u16string text;
    for (std::size_t i = 0; i < rates.size(); ++i) {
        if (i > 0) text += i + 1 == rates.size() ? u" and " : u", ";
        text += formatWide(u"%d", rates[i]);
    }
    return text + u" bps";
}

} // namespace

void SearchReport::clear() {
    *this = SearchReport{};
}

void SearchReport::noteGpsd(const std::string& place, Outcome outcome) {
    gpsdPlace_ = place;
    gpsd_ = outcome;
    gpsdTried_ = true;
}

void SearchReport::notePort(int32_t port, const std::string& device, int32_t rate,
                            Outcome outcome) {
    if (outcome == Outcome::NoDevice) {
        missing_.push_back({port, device, {}, outcome});
        return;
    }
    auto known = std::find_if(ports_.begin(), ports_.end(),
                              [port](const Port& p) { return p.number == port; });
    if (known == ports_.end()) {
        ports_.push_back({port, device, {}, outcome});
        known = ports_.end() - 1;
    }
    if (outcome != Outcome::Busy) known->rates.push_back(rate);
    // A port that answered at any rate answered.
    if (outcome == Outcome::NotRecognised) known->outcome = outcome;
}

std::u16string SearchReport::portLines() const {
    std::u16string text;
    for (const Port& p : ports_) {
        text += formatWide(u"COM%d (%s)", p.number, p.device);
        if (!p.rates.empty()) text += u" at " + rateList(p.rates);
        text += formatWide(u": %s\n", said(p.outcome));
    }
    // One port without a device is named; many are counted.
    if (missing_.size() == 1) {
        const Port& p = missing_.front();
        text += formatWide(u"COM%d (%s): %s\n", p.number, p.device, said(p.outcome));
    } else if (!missing_.empty()) {
        text +=
            formatWide(ports_.empty() ? u"%d ports: no device\n" : u"%d other ports: no device\n",
                       static_cast<int32_t>(missing_.size()));
    }
    return text;
}

std::u16string SearchReport::describe(const std::string& folder) const {
    std::u16string text = u"Tried:\n";
    if (gpsdTried_) text += formatWide(u"gpsd at %s: %s\n", gpsdPlace_, said(gpsd_));
    text += portLines();
    text += formatWide(u"The receiver's port and rate are set in %sconfig.xml (<port>, <baudrate>; "
                       u"0 and 0 detect it); COMn is the device that %sports/COMn links to. "
                       u"gpsd is set in %sgpsd.xml.",
                       folder, folder, folder);
    return text;
}

} // namespace tevo
