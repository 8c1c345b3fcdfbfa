// What gpsd sends a client that asked for NMEA: its own JSON reports, one a
// line, between the receiver's sentences. The sentences go on to the
// receiver plug-in exactly as a serial port delivers them; the JSON lines
// only tell whether gpsd has a receiver at all.
#pragma once

#include <cstdint>
#include <string>

namespace tevo {

class GpsdStream {
public:
    // No line of either kind is longer; a longer one is skipped up to its end.
    static constexpr std::size_t kLongestLine = 4096;

    // Cuts the bytes into lines and appends every sentence line ('$' or '!'
    // first), with its line end, to `sentences`. A line may span calls.
    void feed(const uint8_t* data, int32_t length, std::string& sentences);
    // Forgets a line begun before a new connection.
    void reset();

    // True after gpsd listed its devices and the list was empty.
    bool noReceiver() const { return noReceiver_; }

private:
    void takeLine(std::string& sentences);

    std::string line_;
    bool skipping_ = false;
    bool noReceiver_ = false;
};

} // namespace tevo
