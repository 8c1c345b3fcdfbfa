// The base of every configuration reader: reads a file through Expat (UTF-16
// build) and hands element starts, ends and text to the subclass.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tevo {

class cXML {
public:
    // Size of the chunk read from the file and handed to the parser.
    static constexpr std::size_t kReadChunk = 65536;
    // A text piece is cut to this many UTF-16 units before it is parsed.
    static constexpr std::size_t kPieceUnits = 255;

    virtual ~cXML() = default;

    // Reads and parses the file. False when it cannot be opened (silently),
    // on a read error ("Read error\n" on standard error) or on malformed XML
    // (the path, then "Parse error at line %u: %s\n", on standard output).
    // Values completed before an error stay. The file is read as UTF-8
    // whatever its declaration says.
    bool parse(const std::string& path);

    // Called by the parser; `attributes` alternates names and values and ends
    // with a null entry. `text` is not terminated.
    virtual void startElement(const char16_t* name, const char16_t** attributes);
    virtual void endElement(const char16_t* name);
    virtual void characterData(const char16_t* text, int length);

protected:
    // The common copy of a text piece: at most kPieceUnits units, never ending
    // inside a surrogate pair.
    static std::u16string_view piece(const char16_t* text, int length);
};

// The entry of a reader's element table whose `name` equals the element's
// name exactly, or null. Every reader keeps such a table of its elements.
template <typename Entry, std::size_t N>
const Entry* findElement(const Entry (&table)[N], const char16_t* name) {
    if (name == nullptr) return nullptr;
    const std::u16string_view wanted(name);
    for (const Entry& entry : table)
        if (entry.name == wanted) return &entry;
    return nullptr;
}

// Value parsers over an element's text.

// Leading white space, optional sign, decimal digits; 0 without digits; the
// rest is ignored. Values beyond int32 saturate.
int32_t parseInt(std::u16string_view text);
// The leading number with '.' as decimal point whatever the locale; 0 without
// one, and 0 for NaN, infinities and values beyond float range.
float parseFloat(std::u16string_view text);
// Split at the first ',', CR or LF; without a separator the second value is 0.
std::array<int32_t, 2> parseIntPair(std::u16string_view text);
// As parseIntPair; the third and fourth values are always 0.
std::array<int32_t, 4> parseIntQuad(std::u16string_view text);
std::array<float, 2> parseFloatPair(std::u16string_view text);

} // namespace tevo
