#include "platform/text.hpp"

#include <cstdio>

namespace tevo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
// A path's byte b that is no UTF-8 is the unit kByteEscape + b (b >= 0x80).
constexpr char16_t kByteEscape = 0xDC00;

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Reads the code point at `i` and advances `i`; unpaired surrogates give U+FFFD.
char32_t nextFromUtf16(std::u16string_view s, std::size_t& i) {
    char16_t u = s[i++];
    if (u >= 0xD800 && u <= 0xDBFF) {
        if (i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
            char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (s[i] - 0xDC00);
            ++i;
            return c;
        }
        return kReplacement;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) return kReplacement;
    return u;
}

// Reads one UTF-8 sequence at `i`; malformed, overlong or surrogate
// sequences consume one byte and give U+FFFD.
char32_t nextFromUtf8(std::string_view s, std::size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b < 0x80) {
        ++i;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        extra = 1, c = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2, c = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3, c = b & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + extra >= s.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (t & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return c;
}

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
