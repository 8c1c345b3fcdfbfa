#include "plugins/nmea/receiver_state.hpp"

#include <cstring>
#include <string>

namespace tevo::sentrix {

namespace {

constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kSentenceStart = '$';

} // namespace

void pushBytes(ReceiverState& state, const uint8_t* data, int32_t n) {
    if (data == nullptr || n <= 0) return;
    // Room behind the unprocessed bytes, which move to the front first. When
    // the batch still does not fit, the unprocessed bytes held no line feed for
    // a whole buffer: they are noise, and dropping them rather than the new
    // batch lets parsing resume at the next line.
    const int32_t room = state.pending.makeRoom(n);
    // A batch as large as the whole buffer keeps its last bytes.
    if (n >= room) {
        data += n - (room - 1);
        n = room - 1;
    }
    std::memcpy(state.pending.back(), data, n);
    state.pending.added(n);
    // Apply the complete lines.
    splitLines(state);
}

void splitLines(ReceiverState& state) {
    std::string line;
    int32_t i = 0;
    while (i < state.pending.size()) {
        uint8_t byte = state.pending[i];
        if (byte == kLineFeed) {
            state.pending.consume(i + 1);
            {
                std::lock_guard<std::mutex> guard(state.lock);
                parseSentence(state, line);
            }
            line.clear();
            i = 0;
            continue;
        }
        // A '$' always begins a sentence: noise before it (a NUL, a stray
        // byte of a line that never ended) is dropped instead of spoiling it.
        if (byte == kSentenceStart && i > 0) {
            state.pending.consume(i);
            line.clear();
            i = 0;
        }
        if (byte != kCarriageReturn) line += static_cast<char>(byte);
        ++i;
    }
}

bool detectReceiver(const uint8_t* data, uint32_t length) {
    static constexpr char kTalkers[][3] = {"GP", "PS", "Mi", "TO"};
    constexpr uint32_t kShortest = 4;
    if (data == nullptr || length < kShortest) return false;
    for (uint32_t i = 0; i + kShortest <= length; ++i) {
        if (data[i] != '$') continue;
        for (const char* talker : kTalkers) {
            if (data[i + 1] == uint8_t(talker[0]) && data[i + 2] == uint8_t(talker[1])) return true;
        }
    }
    return false;
}

} // namespace tevo::sentrix
