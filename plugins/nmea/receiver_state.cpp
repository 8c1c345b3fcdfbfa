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
    // 1. Nothing unprocessed: start over at the front.
    if (state.start > 0 && state.length == 0) state.start = 0;
    // 2. Make room by moving the unprocessed bytes to the front.
    if (state.start + state.length + n > kBufferSize && state.start > 0) {
        std::memmove(state.buffer.get(), state.buffer.get() + state.start, state.length);
        state.start = 0;
    }
    // 3. A batch that still does not fit means the unprocessed bytes hold no
    // line feed for a whole buffer: they are noise. Dropping them rather than
    // the new batch lets parsing resume at the next line.
    if (state.start + state.length + n >= kBufferSize) {
        state.start = 0;
        state.length = 0;
        if (n >= kBufferSize) {
            data += n - (kBufferSize - 1);
            n = kBufferSize - 1;
        }
    }
    std::memcpy(state.buffer.get() + state.start + state.length, data, n);
    state.length += n;
    // 4. Apply the complete lines.
    splitLines(state);
}

void splitLines(ReceiverState& state) {
    std::string line;
    int32_t i = 0;
    while (i < state.length) {
        uint8_t byte = state.buffer[state.start + i];
        if (byte == kLineFeed) {
            state.start += i + 1;
            state.length -= i + 1;
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
            state.start += i;
            state.length -= i;
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
