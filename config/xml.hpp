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
    // (the path, then "Parse error at line %u: %s\n"). Values completed before
    // an error stay.
    bool parse(const std::string& path);

    // Called by the parser; `attributes` alternates names and values and ends
    // with a null entry. `text` is not terminated.
    virtual void startElement(const char16_t* name, const char16_t** attributes);
    virtual void endElement(const char16_t* name);
    virtual void characterData(const char16_t* text, int length);

protected:
    // The common copy of a text piece: at most kPieceUnits units.
    static std::u16string_view piece(const char16_t* text, int length);
};

// Value parsers over an element's text.
int32_t parseInt(std::u16string_view text);
float parseFloat(std::u16string_view text);
std::array<int32_t, 2> parseIntPair(std::u16string_view text);
std::array<int32_t, 4> parseIntQuad(std::u16string_view text);
std::array<float, 2> parseFloatPair(std::u16string_view text);

} // namespace tevo
