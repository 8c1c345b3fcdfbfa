#include "platform/text.hpp"

#include "platform/utf.hpp"

#include <cstdio>

namespace tevo {

namespace {

using utf::appendUtf16;
using utf::appendUtf8;
using utf::kReplacement;
using utf::nextFromUtf16;
using utf::nextFromUtf8;

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
// A path's byte b that is no UTF-8 is the unit kByteEscape + b (b >= 0x80).
constexpr char16_t kByteEscape = 0xDC00;

} // namespace

std::string toNarrowUnlimited(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size();) appendUtf8(out, nextFromUtf16(wide, i));
    return out;
}

std::string toNarrow(std::u16string_view wide) {
    std::string out;
    for (std::size_t i = 0; i < wide.size();) {
        std::string one;
        appendUtf8(one, nextFromUtf16(wide, i));
        // Never split a character: stop before one that does not fit whole.
        if (out.size() + one.size() > kNarrowLimit) break;
        out += one;
    }
    return out;
}

std::u16string toWide(std::string_view narrow) {
    std::u16string out;
    out.reserve(narrow.size());
    for (std::size_t i = 0; i < narrow.size();) appendUtf16(out, nextFromUtf8(narrow, i));
    return out;
}

std::u16string toWidePath(std::string_view path) {
    std::u16string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t at = i;
        const char32_t c = nextFromUtf8(path, i);
        // An invalid sequence gives U+FFFD for its first byte alone.
        if (c == kReplacement && path.substr(at, 3) != kReplacementUtf8)
            out += static_cast<char16_t>(kByteEscape + static_cast<unsigned char>(path[at]));
        else
            appendUtf16(out, c);
    }
    return out;
}

std::string toNarrowPath(std::u16string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size();) {
        const char16_t u = path[i];
        if (u >= kByteEscape + 0x80 && u <= kByteEscape + 0xFF) {
            out += static_cast<char>(u - kByteEscape);
            ++i;
        } else {
            appendUtf8(out, nextFromUtf16(path, i));
        }
    }
    return out;
}

std::u16string_view cutWide(std::u16string_view wide, std::size_t maxUnits) {
    if (wide.size() <= maxUnits) return wide;
    std::size_t n = maxUnits;
    // Keep a surrogate pair whole: drop a high surrogate left at the end.
    if (n > 0 && wide[n - 1] >= 0xD800 && wide[n - 1] <= 0xDBFF) --n;
    return wide.substr(0, n);
}

std::size_t wideLength(const char16_t* text) {
    std::size_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

void printWide(std::FILE* stream, std::u16string_view text) {
    const std::string narrow = toNarrowUnlimited(text);
    std::fwrite(narrow.data(), 1, narrow.size(), stream);
    std::fflush(stream);
}

} // namespace tevo
