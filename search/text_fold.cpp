#include "search/text_fold.hpp"

#include "platform/utf.hpp"

#include <cstdint>

namespace tevo::search {

namespace {

using utf::kReplacement;

char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    return utf::nextFromUtf8(text, at);
}
char32_t nextCodePoint(std::u16string_view text, std::size_t& at) {
    return utf::nextFromUtf16(text, at);
}

// Base letters of U+00C0 to U+017F, one per code point; '?' marks the code
// points that fold to two letters (kDoubleLetters) and '-' the two signs of
// Latin-1 among them (× and ÷), which separate words.
constexpr std::string_view kLatinBase = "aaaaaa?ceeeeiiii"  // U+00C0
                                        "dnooooo-ouuuuy??"  // U+00D0
                                        "aaaaaa?ceeeeiiii"  // U+00E0
                                        "dnooooo-ouuuuy?y"  // U+00F0
                                        "aaaaaaccccccccdd"  // U+0100
                                        "ddeeeeeeeeeegggg"  // U+0110
                                        "gggghhhhiiiiiiii"  // U+0120
                                        "ii??jjkkklllllll"  // U+0130
                                        "lllnnnnnnnnnoooo"  // U+0140
                                        "oo??rrrrrrssssss"  // U+0150
                                        "ssttttttuuuuuuuu"  // U+0160
                                        "uuuuwwyyyzzzzzzs"; // U+0170
constexpr char32_t kLatinFirst = 0xC0;

struct DoubleLetter {
    char32_t c;
    const char* folded;
};
constexpr DoubleLetter kDoubleLetters[] = {
    {0xC6, "ae"},  {0xE6, "ae"},  {0xDE, "th"},  {0xFE, "th"},  {0xDF, "ss"},
    {0x132, "ij"}, {0x133, "ij"}, {0x152, "oe"}, {0x153, "oe"},
};

// Cyrillic letters with a diacritic (lower case) and their base letters.
struct CyrillicBase {
    char32_t c, base;
};
constexpr CyrillicBase kCyrillicBases[] = {
    {0x450, 0x435}, {0x451, 0x435},                 // ѐ ё -> е
    {0x453, 0x433},                                 // ѓ -> г
    {0x457, 0x456},                                 // ї -> і
    {0x45C, 0x43A},                                 // ќ -> к
    {0x45D, 0x438}, {0x439, 0x438},                 // ѝ й -> и
    {0x45E, 0x443},                                 // ў -> у
    {0x4C2, 0x436}, {0x4DD, 0x436},                 // ӂ ӝ -> ж
    {0x4D1, 0x430}, {0x4D3, 0x430},                 // ӑ ӓ -> а
    {0x4D7, 0x435},                                 // ӗ -> е
    {0x4DF, 0x437},                                 // ӟ -> з
    {0x4E3, 0x438}, {0x4E5, 0x438},                 // ӣ ӥ -> и
    {0x4E7, 0x43E},                                 // ӧ -> о
    {0x4ED, 0x44D},                                 // ӭ -> э
    {0x4EF, 0x443}, {0x4F1, 0x443}, {0x4F3, 0x443}, // ӯ ӱ ӳ -> у
    {0x4F5, 0x447},                                 // ӵ -> ч
    {0x4F9, 0x44B},                                 // ӹ -> ы
};

// Lower case of the Cyrillic block (U+0400 to U+04FF).
char32_t cyrillicLower(char32_t c) {
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c == 0x4C0) return 0x4CF;
    // Upper and lower case alternate: even upper in 0460-04BF and 04D0-04FF,
    // odd upper in 04C1-04CE.
    const bool evenPairs =
        (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF);
    if (evenPairs && c % 2 == 0) return c + 1;
    if (c >= 0x4C1 && c <= 0x4CE && c % 2 == 1) return c + 1;
    return c;
}

char32_t cyrillicFold(char32_t c) {
    c = cyrillicLower(c);
    for (const CyrillicBase& b : kCyrillicBases)
        if (b.c == c) return b.base;
    return c;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

template <typename Text> std::vector<std::string> splitAndFold(Text text) {
    std::vector<std::string> words;
    std::string word;
    auto close = [&] {
        if (word.empty()) return;
        std::size_t n = std::min(word.size(), kMaxWordBytes);
        while (n < word.size() && isContinuation(static_cast<unsigned char>(word[n]))) --n;
        word.resize(n);
        words.push_back(std::move(word));
        word.clear();
    };
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCodePoint(text, at);
        if (separatesWords(c))
            close();
        else
            appendFolded(c, word);
    }
    close();
    return words;
}

} // namespace

bool separatesWords(char32_t c) {
    if (c < 0x80)
        return !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    if (c < 0xC0) return c != 0xAD; // Latin-1 signs; the soft hyphen is dropped
    if (c == 0xD7 || c == 0xF7) return true;
    if (c >= 0x2000 && c <= 0x206F) return true; // dashes, quotes, spaces
    return c == 0x2116 || c == 0x3000 || c == 0xFEFF || c == kReplacement;
}

void appendFolded(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        return;
    }
    if (c == 0xAD || (c >= 0x300 && c <= 0x36F)) return; // soft hyphen, combining marks
    if (c >= kLatinFirst && c < kLatinFirst + kLatinBase.size()) {
        const char base = kLatinBase[c - kLatinFirst];
        if (base != '?') {
            out += base;
            return;
        }
        for (const DoubleLetter& d : kDoubleLetters)
            if (d.c == c) out += d.folded;
        return;
    }
    utf::appendUtf8(out, c >= 0x400 && c <= 0x4FF ? cyrillicFold(c) : c);
}

std::vector<std::string> foldWords(std::string_view utf8) {
    return splitAndFold(utf8);
}

std::vector<std::string> foldWords(std::u16string_view utf16) {
    return splitAndFold(utf16);
}

} // namespace tevo::search
