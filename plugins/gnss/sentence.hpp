// One NMEA line taken apart: its talker, its type and its data fields, after
// the checksum (when the line carries one) has been verified.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tevo::gnss {

// Who sent a sentence. Mixed (GN) is a combined solution of several systems;
// Other is any other talker of two letters (an integrated navigation unit's
// "IN", a chart plotter's "II"), whose satellites are numbered as GN numbers
// them.
enum class Talker : uint8_t { Gps, Mixed, Glonass, Galileo, BeiDou, Qzss, Navic, Other };

inline constexpr int kMaxFields = 40;

struct Sentence {
    Talker talker = Talker::Gps;
    std::string_view type; // three letters: "RMC", "GSV", ...
    std::array<std::string_view, kMaxFields> fields{};
    int count = 0; // data fields present (more than kMaxFields are not kept)

    // Data field i (0 is the one after the address); empty when absent.
    std::string_view field(int i) const {
        return i >= 0 && i < count ? fields[i] : std::string_view{};
    }
};

// The talker of two upper-case letters: GP, GN, GL, GA, GB, BD, GQ and GI by
// name, any other as Other. None for anything else, and for addresses that
// begin with 'P': those are proprietary sentences ("$PGRMC" is a maker's
// configuration, not an RMC).
std::optional<Talker> talkerOf(std::string_view letters);

// Takes a line apart. The sentence begins at the line's last '$' (bytes before
// it are noise from a torn line). A line with '*' must end in two hex digits
// equal to the XOR of the bytes between '$' and '*' (blanks may follow); a
// line without '*' is taken as it is. None for a bad checksum or an address
// that is not a talker followed by three letters. The fields view `line`.
std::optional<Sentence> splitSentence(std::string_view line);

} // namespace tevo::gnss
