#include "config/xml.hpp"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

namespace tevo {
namespace {

struct IntCase {
    std::u16string text;
    int32_t expected;
};

class ParseIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(ParseIntTest, ReadsLeadingDecimalNumber) {
    EXPECT_EQ(parseInt(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseIntTest,
                         testing::Values(IntCase{u"480", 480}, IntCase{u"12abc", 12},
                                         IntCase{u"abc", 0}, IntCase{u"", 0},
                                         IntCase{u"  \t\r\n-17", -17}, IntCase{u"+5", 5},
                                         IntCase{u"- 5", 0}, IntCase{u"3.9", 3}, IntCase{u"007", 7},
                                         IntCase{u"2147483647", INT32_MAX},
                                         IntCase{u"2147483648", INT32_MAX},
                                         IntCase{u"-2147483648", INT32_MIN},
                                         IntCase{u"99999999999999999999999", INT32_MAX},
                                         IntCase{u"-99999999999999999999999", INT32_MIN},
                                         // 2^64: wraps to 0 in 64 bits.
                                         IntCase{u"18446744073709551616", INT32_MAX},
                                         IntCase{u"-18446744073709551616", INT32_MIN},
                                         // Digits of other scripts are not decimal digits here.
                                         IntCase{u"\uFF11\uFF12", 0}));

struct FloatCase {
    std::u16string text;
    float expected;
};

class ParseFloatTest : public testing::TestWithParam<FloatCase> {};

TEST_P(ParseFloatTest, ReadsLeadingNumberWithDecimalPoint) {
    EXPECT_FLOAT_EQ(parseFloat(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseFloatTest,
    testing::Values(FloatCase{u"2.5", 2.5f}, FloatCase{u"-1", -1.0f},
                    FloatCase{u"  37.617778", 37.617778f}, FloatCase{u"1e-4", 0.0001f},
                    FloatCase{u"27xyz", 27.0f}, FloatCase{u"3,5", 3.0f}, FloatCase{u"abc", 0.0f},
                    FloatCase{u"", 0.0f}, FloatCase{u".5", 0.5f}, FloatCase{u"+4.25", 4.25f},
                    // Non-finite and out-of-range values would poison the view.
                    FloatCase{u"nan", 0.0f}, FloatCase{u"inf", 0.0f}, FloatCase{u"-infinity", 0.0f},
                    FloatCase{u"1e39", 0.0f}, FloatCase{u"-1e400", 0.0f}));

struct PairCase {
    std::u16string text;
    std::array<int32_t, 2> expected;
};

class ParseIntPairTest : public testing::TestWithParam<PairCase> {};

TEST_P(ParseIntPairTest, SplitsAtFirstCommaOrLineBreak) {
    EXPECT_EQ(parseIntPair(GetParam().text), GetParam().expected);
}

TEST_P(ParseIntPairTest, QuadKeepsTheLastTwoZero) {
    const auto& expected = GetParam().expected;
    EXPECT_EQ(parseIntQuad(GetParam().text),
              (std::array<int32_t, 4>{expected[0], expected[1], 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseIntPairTest,
                         testing::Values(PairCase{u"120,80", {120, 80}}, PairCase{u"120", {120, 0}},
                                         PairCase{u" 7 , 9", {7, 9}},
                                         PairCase{u"10,20,30,40", {10, 20}},
                                         PairCase{u"5\r\n6", {5, 6}}, PairCase{u"5\n6", {5, 6}},
                                         PairCase{u"5\r6", {5, 6}}, PairCase{u",9", {0, 9}},
                                         PairCase{u"", {0, 0}}, PairCase{u"-1,-1", {-1, -1}},
                                         PairCase{u"x,y", {0, 0}}));

struct FloatPairCase {
    std::u16string text;
    std::array<float, 2> expected;
};

class ParseFloatPairTest : public testing::TestWithParam<FloatPairCase> {};

TEST_P(ParseFloatPairTest, SplitsLikeIntegerPairs) {
    const auto value = parseFloatPair(GetParam().text);
    EXPECT_FLOAT_EQ(value[0], GetParam().expected[0]);
    EXPECT_FLOAT_EQ(value[1], GetParam().expected[1]);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseFloatPairTest,
                         testing::Values(FloatPairCase{u"37.6178,55.7558", {37.6178f, 55.7558f}},
                                         FloatPairCase{u"-360,-360", {-360.0f, -360.0f}},
                                         FloatPairCase{u"12.5", {12.5f, 0.0f}},
                                         FloatPairCase{u" 1.5 , 2.5 ", {1.5f, 2.5f}},
                                         FloatPairCase{u"1.5\n2.5", {1.5f, 2.5f}}));

// Exposes the common piece copy.
struct PieceReader : cXML {
    using cXML::piece;
};

TEST(PieceTest, CutsLongTextTo255Units) {
    const std::u16string text(300, u'a');
    EXPECT_EQ(PieceReader::piece(text.data(), int(text.size())), std::u16string(255, u'a'));
    EXPECT_EQ(PieceReader::piece(text.data(), 255).size(), 255u);
    EXPECT_EQ(PieceReader::piece(text.data(), 3), u"aaa");
    EXPECT_TRUE(PieceReader::piece(text.data(), 0).empty());
    EXPECT_TRUE(PieceReader::piece(text.data(), -4).empty());
    EXPECT_TRUE(PieceReader::piece(nullptr, 4).empty());
}

TEST(PieceTest, NeverSplitsASurrogatePair) {
    // 254 units, then a character outside the basic plane (two units).
    std::u16string text(254, u'a');
    text += u"\U0001F600";
    EXPECT_EQ(PieceReader::piece(text.data(), int(text.size())), std::u16string(254, u'a'));
}

} // namespace
} // namespace tevo
