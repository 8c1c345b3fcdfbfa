// Conversions between the wide text of the program (UTF-16) and the narrow
// text of file names and the console (UTF-8), and formatting of wide text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tevo {

// Longest narrow result of toNarrow, in bytes (the buffer of 255 holds a NUL).
inline constexpr std::size_t kNarrowLimit = 254;

// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD. The result is cut to at
// most kNarrowLimit bytes, always on a character boundary.
std::string toNarrow(std::u16string_view wide);

// UTF-16 to UTF-8 without the length limit (paths built by the program).
std::string toNarrowUnlimited(std::u16string_view wide);

// UTF-8 to UTF-16. Invalid sequences become U+FFFD.
std::u16string toWide(std::string_view narrow);

// Paths cross the program's wide interfaces (a map's or a track's path, a
// plug-in's own path) without loss, whatever bytes the folders' names hold:
// a byte that is not part of valid UTF-8 travels as the unpaired low
// surrogate U+DC00 + byte and comes back as that byte. Shown (toNarrow,
// printWide) such a unit reads as U+FFFD.
std::u16string toWidePath(std::string_view path);
std::string toNarrowPath(std::u16string_view path);

// Cuts UTF-16 text to at most maxUnits units without splitting a surrogate pair.
std::u16string_view cutWide(std::u16string_view wide, std::size_t maxUnits);

// Length of a NUL-terminated UTF-16 text.
std::size_t wideLength(const char16_t* text);

// One argument of formatWide: an integer, a float, a wide or narrow text.
struct WideArg {
    enum class Kind { Int, Unsigned, Float, Wide, Narrow, Char } kind;
    long long i = 0;
    double f = 0;
    std::u16string_view w;
    std::string_view n;

    WideArg(int v) : kind(Kind::Int), i(v) {}
    WideArg(long v) : kind(Kind::Int), i(v) {}
    WideArg(long long v) : kind(Kind::Int), i(v) {}
    WideArg(unsigned v) : kind(Kind::Unsigned), i(v) {}
    WideArg(unsigned long v) : kind(Kind::Unsigned), i(static_cast<long long>(v)) {}
    WideArg(double v) : kind(Kind::Float), f(v) {}
    WideArg(float v) : kind(Kind::Float), f(v) {}
    WideArg(char16_t c) : kind(Kind::Char), i(c) {}
    WideArg(const char16_t* s) : kind(Kind::Wide), w(s ? s : u"") {}
    WideArg(std::u16string_view s) : kind(Kind::Wide), w(s) {}
    WideArg(const std::u16string& s) : kind(Kind::Wide), w(s) {}
    WideArg(const char* s) : kind(Kind::Narrow), n(s ? s : "") {}
    WideArg(std::string_view s) : kind(Kind::Narrow), n(s) {}
    WideArg(const std::string& s) : kind(Kind::Narrow), n(s) {}
};

// printf-style formatting into wide text. Supports %d %i %u %x %X %c %s %f %e
// %g %% with flags, width and precision as printf reads them; %s takes wide or
// narrow text, %c a char16_t. Missing arguments format as nothing.
std::u16string formatWideArgs(std::u16string_view format, const WideArg* args, std::size_t count);

template <typename... Args>
std::u16string formatWide(std::u16string_view format, const Args&... args) {
    const WideArg list[] = {WideArg(args)..., WideArg(0)};
    return formatWideArgs(format, list, sizeof...(Args));
}

// Writes wide text to a stdio stream as UTF-8.
void printWide(std::FILE* stream, std::u16string_view text);

} // namespace tevo
