// Cutting the pushed bytes into lines and handing each line to the handler
// of its sentence type.
#include "plugins/gnss/line_parser.hpp"

#include "plugins/gnss/handlers.hpp"

namespace tevo::gnss {

namespace {

constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kCarriageReturn = 13;

struct Handler {
    std::string_view type;
    void (*apply)(GnssState&, const Sentence&);
};

constexpr Handler kHandlers[] = {
    {"RMC", applyRmc}, {"GGA", applyGga}, {"GNS", applyGns}, {"VTG", applyVtg},
    {"ZDA", applyZda}, {"GSA", applyGsa}, {"GSV", applyGsv},
};

} // namespace

void applyLine(GnssState& state, std::string_view line) {
    std::optional<Sentence> sentence = splitSentence(line);
    if (!sentence) return;
    for (const Handler& handler : kHandlers) {
        if (sentence->type == handler.type) {
            handler.apply(state, *sentence);
            return;
        }
    }
}

void pushBytes(GnssState& state, const uint8_t* data, int32_t length) {
    if (data == nullptr || length <= 0) return;
    for (int32_t i = 0; i < length; ++i) {
        uint8_t byte = data[i];
        if (byte == kLineFeed) {
            if (!state.skippingLine) {
                std::lock_guard<std::mutex> guard(state.lock);
                applyLine(state, state.line);
            }
            state.line.clear();
            state.skippingLine = false;
        } else if (byte == kCarriageReturn || state.skippingLine) {
            continue;
        } else if (state.line.size() < kLongestLine) {
            state.line += static_cast<char>(byte);
        } else {
            // A line this long is not a sentence: drop it up to its LF.
            state.line.clear();
            state.skippingLine = true;
        }
    }
}

} // namespace tevo::gnss
