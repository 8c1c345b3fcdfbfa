// What a search for the receiver tried and what each place answered, for the
// error box that says so and where the receiver's port is set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tevo {

class SearchReport {
public:
    enum class Outcome {
        NoDevice,      // nothing behind the port
        Busy,          // the device exists but could not be opened
        Silent,        // opened; not one byte came
        NotRecognised, // bytes came; no plug-in took them
        Off,           // gpsd: turned off in gpsd.xml
        NoAnswer,      // gpsd: nobody answered
        NoReceiver,    // gpsd: answered, with no receiver
    };

    void clear();
    void noteGpsd(const std::string& place, Outcome outcome);
    // One port at one rate; a port at several rates is told once.
    void notePort(int32_t port, const std::string& device, int32_t rate, Outcome outcome);

    // The lines of the error box after its first one: what was tried, then
    // where the port (config.xml) and gpsd (gpsd.xml) are set in `folder`.
    std::u16string describe(const std::string& folder) const;

private:
    struct Port {
        int32_t number;
        std::string device;
        std::vector<int32_t> rates;
        Outcome outcome;
    };
    std::u16string portLines() const;

    std::string gpsdPlace_;
    Outcome gpsd_ = Outcome::Off;
    bool gpsdTried_ = false;
    std::vector<Port> ports_;
    std::vector<Port> missing_; // ports with nothing behind them
};

} // namespace tevo
