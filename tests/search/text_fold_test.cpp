// Names and typed text fold into the same words: case and diacritics off,
// each script kept, words cut at punctuation.
#include "search/text_fold.hpp"

#include <gtest/gtest.h>

namespace tevo::search {
namespace {

struct FoldCase {
    const char* text;
    std::vector<std::string> words;
};

const FoldCase kFoldCases[] = {
    {"Hauptstraße", {"hauptstrasse"}},
    {"ÄÖÜ äöü Ÿ", {"aou", "aou", "y"}},
    {"St.-Georgen-Straße", {"st", "georgen", "strasse"}},
    {"Rue de l’Église", {"rue", "de", "l", "eglise"}},
    {"Łódź Œuvre Ærø Þingvellir Ĳssel", {"lodz", "oeuvre", "aero", "thingvellir", "ijssel"}},
    {"Čapek Ňůž ſ İı", {"capek", "nuz", "s", "ii"}},
    {"Cafe\xcc\x81 Soft\xc2\xadhyphen", {"cafe", "softhyphen"}}, // combining acute, soft hyphen
    {"улица Гончарова", {"улица", "гончарова"}},
    {"Ёлкино ЙОШКАР-Ола", {"елкино", "иошкар", "ола"}},
    {"Їжак Ўзбек Ѓорѓе Ќерка", {"іжак", "узбек", "горге", "керка"}},
    {"B 22 / A9 №5", {"b", "22", "a9", "5"}},
    {"\xff bad\xc3 \xe2\x82 end", {"bad", "end"}}, // bytes that are no UTF-8 part words
    {"  ,;  ", {}},
};

TEST(TextFold, NamesFoldIntoWords) {
    for (const FoldCase& c : kFoldCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(foldWords(std::string_view(c.text)), c.words);
    }
}

TEST(TextFold, WideTextFoldsLikeItsUtf8) {
    EXPECT_EQ(foldWords(std::u16string_view(u"Gärtnerstraße улица Ёлкина 𝔸b")),
              foldWords(std::string_view("Gärtnerstraße улица Ёлкина 𝔸b")));
    EXPECT_EQ(foldWords(std::u16string_view(u"a\xD800z")), (std::vector<std::string>{"a", "z"}));
}

TEST(TextFold, LongWordsAreCutOnACharacter) {
    std::string word;
    for (int i = 0; i < 40; ++i) word += "ж"; // 80 bytes
    const std::vector<std::string> words = foldWords(std::string_view(word));
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].size(), 64u);
    EXPECT_EQ(words[0], word.substr(0, 64));
}

} // namespace
} // namespace tevo::search
