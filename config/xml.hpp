// The base of every configuration reader: reads a file through Expat (UTF-16
// build) and hands element starts, ends and text to the subclass.
//
// A subclass overrides the three handlers. Text reaches characterData whole:
// the base collects the pieces Expat delivers (it splits text at entity
// references, line ends and chunk borders) and hands over the run of text
// between two tags once, before the next start or end tag, so
// "<width>\n 800\n</width>" and "<menu>a&amp;b.xml</menu>" arrive as "800"
// and "a&b.xml".
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
    // No configuration file comes near this size; a larger one is broken.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;
    // Element text is cut to this many UTF-16 units before it is parsed.
    static constexpr std::size_t kPieceUnits = 255;

    virtual ~cXML() = default;

    // Reads and parses the file. False when it cannot be opened (silently;
    // a name that leads to no regular file with a line, regular_file.hpp),
    // on a read error ("Read error\n" on standard error) or on malformed XML
    // (the path, then "Parse error at line %u: %s\n", on standard output).
    // Values completed before an error stay. The file is read as UTF-8
    // whatever its declaration says.
    bool parse(const std::string& path);

    // True when the last parse opened the file but could not read all of it
    // (a read error, malformed XML, more than kMaxFileBytes): the file holds
    // more than was taken.
    bool broken() const { return broken_; }

    // `attributes` alternates names and values and ends with a null entry.
    virtual void startElement(const char16_t* name, const char16_t** attributes);
    virtual void endElement(const char16_t* name);
    // The text between two tags, without the white space (space, tab, CR,
    // LF) around it and cut to kPieceUnits units; not terminated. Called once
    // per run of text, before the start or end tag that follows it; runs of
    // white space only are not delivered.
    virtual void characterData(const char16_t* text, int length);

protected:
    // The text as a view, at most kPieceUnits units, never ending inside a
    // surrogate pair.
    static std::u16string_view piece(const char16_t* text, int length);

    // A number of the file checked for the range its reader accepts: `value`
    // when it lies within [lowest, highest], otherwise `fallback` (the
    // documented default), with the line "<file>: <element> <value> is
    // outside <lowest> to <highest>; <fallback> is used" on standard output.
    int32_t checked(const char* element, int32_t value, int32_t lowest, int32_t highest,
                    int32_t fallback) const;
    float checked(const char* element, float value, float lowest, float highest,
                  float fallback) const;
    // Every value within [lowest, highest], or `fallback` as a whole.
    template <std::size_t N, typename T>
    std::array<T, N> checked(const char* element, const std::array<T, N>& values, T lowest,
                             T highest, const std::array<T, N>& fallback) const {
        for (const T value : values)
            if (checked(element, value, lowest, highest, fallback[0]) != value) return fallback;
        return values;
    }

private:
    friend struct XmlEvents;
    // Keeps a piece of text until the next tag.
    void collectText(std::u16string_view text);
    // Hands the collected text to characterData and forgets it.
    void deliverText();

    std::u16string text_;
    std::string path_; // the file being read, for the range messages
    bool broken_ = false;
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

// Positions and sizes in pixels, in the layout and the menu files, lie within
// this many pixels of the window's corner, either way: no window is larger.
inline constexpr int32_t kScreenLimit = 8192;

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
