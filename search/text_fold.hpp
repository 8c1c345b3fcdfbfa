// Folding names and typed text into words that compare as people expect:
// lower case, diacritics taken off (Ä = A, ё = е, й = и, ß = ss, Ł = L), each
// word in its own script. The index and the query fold alike, so a folded
// query word is a byte prefix of the folded name words it should find.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tevo::search {

// Longest folded word kept, in bytes; a longer one is cut on a character.
inline constexpr std::size_t kMaxWordBytes = 64;

// Whether a code point separates words (spaces, punctuation, symbols of
// Latin-1 and the general punctuation block).
bool separatesWords(char32_t c);

// Appends the folded form of one code point of a word to `out`: nothing for
// combining marks and soft hyphens, one or two letters otherwise.
void appendFolded(char32_t c, std::string& out);

// The folded words of a text, in their order, each cut to kMaxWordBytes.
std::vector<std::string> foldWords(std::string_view utf8);
std::vector<std::string> foldWords(std::u16string_view utf16);

} // namespace tevo::search
