#include "platform/text.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

TEST(Text, ConvertsBothWaysWithoutLoss) {
    const std::u16string wide = u"Tevo: Улица Льва Толстого, 北京, \U0001F697 ok";
    EXPECT_EQ(toWide(toNarrow(wide)), wide);
    EXPECT_EQ(toNarrow(u"Straße"), "Stra\xC3\x9F"
                                   "e");
}

TEST(Text, InvalidInputBecomesReplacementCharacter) {
    struct Case {
        std::string narrow;
        std::u16string wide;
    } cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},                           // a byte that starts nothing
        {"\xC3", u"\uFFFD"},                     // a sequence cut at the end
        {"\xC0\xAF", u"\uFFFD\uFFFD"},           // an overlong slash
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // an encoded surrogate
        {"x\xE2\x82", u"x\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(toWide(c.narrow), c.wide) << c.narrow;
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(toNarrow(lone), "a\xEF\xBF\xBD"
                              "b");
}

// Latin-1 folder names come back byte for byte; shown, they read as U+FFFD.
TEST(Text, PathsKeepEveryByteThroughWideText) {
    for (const std::string path :
         {"/K\xF6ln/\xC3\xB6\xF0\x9F\x9A\x97", "\xED\xA0\x80\xEF\xBF\xBD\xC3\xC0\xAF"})
        EXPECT_EQ(toNarrowPath(toWidePath(path)), path) << path;
    EXPECT_EQ(toNarrow(toWidePath("K\xF6ln")), "K\xEF\xBF\xBDln");
}

TEST(Text, NarrowResultIsCutOnCharacterBoundary) {
    // 253 ASCII bytes leave room for one byte only: the 2-byte letter goes.
    std::u16string wide(253, u'x');
    wide += u"ЖЖ";
    const std::string narrow = toNarrow(wide);
    EXPECT_EQ(narrow, std::string(253, 'x'));
    // Exactly 254 bytes fit whole.
    wide = std::u16string(252, u'x') + u"Ж";
    EXPECT_EQ(toNarrow(wide).size(), 254u);
    // A four-byte character never splits either.
    wide = std::u16string(251, u'x') + u"\U0001F697";
    EXPECT_EQ(toNarrow(wide), std::string(251, 'x'));
    EXPECT_EQ(toNarrowUnlimited(std::u16string(1000, u'y')).size(), 1000u);
}

TEST(Text, CutWideKeepsSurrogatePairsWhole) {
    const std::u16string wide = u"ab\U0001F697c";
    EXPECT_EQ(cutWide(wide, 3), u"ab");
    EXPECT_EQ(cutWide(wide, 4), u"ab\U0001F697");
    EXPECT_EQ(cutWide(wide, 10), wide);
}

TEST(Text, FormatsLikePrintf) {
    EXPECT_EQ(formatWide(u"Tevo v.%d.%d.%d %s", 0, 7, 4, u"beta"), u"Tevo v.0.7.4 beta");
    EXPECT_EQ(formatWide(u" COM%d at %d bps\n", 3, 4800), u" COM3 at 4800 bps\n");
    EXPECT_EQ(formatWide(u"%5.1f km/h|%-4s|%3s|%c%%", 12.345, u"ab", "Ж", u'z'),
              u" 12.3 km/h|ab  |  Ж|z%");
    EXPECT_EQ(formatWide(u"%02d:%02d %u %x", 7, 5, 42u, 255), u"07:05 42 ff");
    EXPECT_EQ(formatWide(u"missing %d and %s"), u"missing  and ");
}

} // namespace
} // namespace tevo
