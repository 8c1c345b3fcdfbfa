// Code points read from and written to UTF-8 and UTF-16, the rules of every
// text conversion of the program. Header-only, so that the folders free of
// SDL (search/) read names by the same rules as the platform's conversions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tevo::utf {

inline constexpr char32_t kReplacement = 0xFFFD;

// Appends one code point as UTF-8.
inline void appendUtf8(std::string& out, char32_t c) {
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

inline void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Reads the code point at `i` and advances `i`; unpaired surrogates give U+FFFD.
inline char32_t nextFromUtf16(std::u16string_view s, std::size_t& i) {
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
inline char32_t nextFromUtf8(std::string_view s, std::size_t& i) {
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

} // namespace tevo::utf
