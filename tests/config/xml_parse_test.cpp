#include "config/xml.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tevo {
namespace {

using test::TempDir;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

// Records every event as one line of text.
struct RecordingReader : cXML {
    std::vector<std::u16string> events;

    void startElement(const char16_t* name, const char16_t** attributes) override {
        std::u16string line = u"start " + std::u16string(name);
        for (int i = 0; attributes[i] != nullptr; i += 2) {
            line += u" " + std::u16string(attributes[i]) + u"=" + attributes[i + 1];
        }
        events.push_back(line);
    }
    void endElement(const char16_t* name) override {
        events.push_back(u"end " + std::u16string(name));
    }
    void characterData(const char16_t* text, int length) override {
        events.push_back(u"text " + std::u16string(piece(text, length)));
    }
};

struct ParseOutcome {
    bool result;
    std::string out;
    std::string err;
};

ParseOutcome parseCaptured(cXML& reader, const std::string& path) {
    CaptureStdout();
    CaptureStderr();
    const bool result = reader.parse(path);
    ParseOutcome outcome{result, GetCapturedStdout(), GetCapturedStderr()};
    return outcome;
}

TEST(XmlParseTest, DeliversElementsAttributesAndTextAsUtf16) {
    TempDir folder;
    const std::string path = folder.write(
        "a.xml", "<?xml version=\"1.0\"?><r k=\"v\" n=\"2\"><e>\xC3\xA9t\xC3\xA9</e></r>");
    RecordingReader reader;
    EXPECT_TRUE(parseCaptured(reader, path).result);
    EXPECT_EQ(reader.events,
              (std::vector<std::u16string>{u"start r k=v n=2", u"start e", u"text \u00E9t\u00E9",
                                           u"end e", u"end r"}));
}

TEST(XmlParseTest, ReadsUtf8WhateverTheDeclarationSays) {
    TempDir folder;
    const std::string path =
        folder.write("a.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xC3\xA9</r>");
    RecordingReader reader;
    EXPECT_TRUE(parseCaptured(reader, path).result);
    ASSERT_EQ(reader.events.size(), 3u);
    EXPECT_EQ(reader.events[1], u"text \u00E9");
}

TEST(XmlParseTest, MissingFileFailsSilently) {
    TempDir folder;
    RecordingReader reader;
    const ParseOutcome outcome = parseCaptured(reader, folder.file("absent.xml"));
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_TRUE(reader.events.empty());
}

struct MalformedCase {
    const char* label;
    std::string bytes;
    std::string message;
    int eventsKept;
};

class XmlMalformedTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(XmlMalformedTest, PrintsPathAndParserErrorThenFails) {
    TempDir folder;
    const std::string path = folder.write("bad.xml", GetParam().bytes);
    RecordingReader reader;
    const ParseOutcome outcome = parseCaptured(reader, path);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.out, path + "\n" + GetParam().message);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(int(reader.events.size()), GetParam().eventsKept);
}

INSTANTIATE_TEST_SUITE_P(
    Files, XmlMalformedTest,
    testing::Values(MalformedCase{"Empty", "", "Parse error at line 1: no element found\n", 0},
                    MalformedCase{"Latin1", "<r>\n<e>caf\xE9</e>\n</r>",
                                  "Parse error at line 2: not well-formed (invalid token)\n", 2},
                    // The text of an element cut by the error is not delivered.
                    MalformedCase{"Mismatched", "<r>\n<a>1</b>\n</r>",
                                  "Parse error at line 2: mismatched tag\n", 2},
                    MalformedCase{"Unclosed", "<r><a>1</a>",
                                  "Parse error at line 1: no element found\n", 4}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.label; });

TEST(XmlParseTest, AFolderIsRefusedUnread) {
    TempDir folder;
    folder.write("x", "");
    RecordingReader reader;
    const ParseOutcome outcome = parseCaptured(reader, folder.file(""));
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, folder.file("") + " is not a regular file; it is not read\n");
}

TEST(XmlParseTest, ReadsFilesLargerThanOneChunk) {
    // Text straddling the border of the first chunk reaches Expat in two parts.
    std::string bytes = "<r><!--";
    const std::string before = "--><e>";
    bytes += std::string(cXML::kReadChunk - bytes.size() - before.size() - 5, 'x');
    bytes += before + "abcdefghij</e></r>";
    TempDir folder;
    RecordingReader reader;
    EXPECT_TRUE(parseCaptured(reader, folder.write("big.xml", bytes)).result);
    EXPECT_EQ(reader.events, (std::vector<std::u16string>{u"start r", u"start e",
                                                          u"text abcdefghij", u"end e", u"end r"}));
}

TEST(XmlParseTest, BrokenOnlyWhenAnOpenedFileCouldNotBeReadWhole) {
    TempDir folder;
    RecordingReader reader;
    parseCaptured(reader, folder.write("bad.xml", "<r>&</r>"));
    EXPECT_TRUE(reader.broken());
    parseCaptured(reader, folder.write("good.xml", "<r/>"));
    EXPECT_FALSE(reader.broken());
    parseCaptured(reader, folder.file("absent.xml"));
    EXPECT_FALSE(reader.broken());
    folder.write("x", "");
    parseCaptured(reader, folder.file("")); // a folder is not even opened
    EXPECT_FALSE(reader.broken());
    parseCaptured(reader,
                  folder.write("huge.xml", "<r a='" + std::string(cXML::kMaxFileBytes, 'a')));
    EXPECT_TRUE(reader.broken());
}

struct TextCase {
    const char* label;
    std::string element;      // the bytes between <e> and </e>
    std::u16string delivered; // empty: no text event at all
};

class XmlElementTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(XmlElementTextTest, ArrivesOnceWholeAndTrimmed) {
    TempDir folder;
    RecordingReader reader;
    const std::string bytes = "<r>\n  <e>" + GetParam().element + "</e>\n</r>\n";
    ASSERT_TRUE(parseCaptured(reader, folder.write("a.xml", bytes)).result);
    std::vector<std::u16string> expected{u"start r", u"start e"};
    if (!GetParam().delivered.empty()) expected.push_back(u"text " + GetParam().delivered);
    expected.insert(expected.end(), {u"end e", u"end r"});
    EXPECT_EQ(reader.events, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlElementTextTest,
    testing::Values(TextCase{"OnItsOwnLine", "\n    800\n  ", u"800"},
                    TextCase{"CrLfLines", "\r\n\t2.5\r\n", u"2.5"},
                    TextCase{"Entity", "a&amp;b.xml", u"a&b.xml"},
                    TextCase{"CharacterReference", "first&#x41;second", u"firstAsecond"},
                    TextCase{"InnerSpaceKept", " a  b ", u"a  b"},
                    TextCase{"PairOnTwoLines", "\n120,\n80\n", u"120,\n80"},
                    TextCase{"SpaceOnly", " \n\t ", u""}, TextCase{"Empty", "", u""},
                    TextCase{"LongLeadingSpace", std::string(1000, ' ') + "12", u"12"},
                    TextCase{"CutTo255Units", std::string(300, 'p'), std::u16string(255, u'p')},
                    // The cut never leaves half of a surrogate pair.
                    TextCase{"CutKeepsPairsWhole", std::string(254, 'p') + "\xF0\x9F\x98\x80",
                             std::u16string(254, u'p')}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.label; });

TEST(XmlParseTest, TextAroundChildElementsArrivesBeforeEachTag) {
    TempDir folder;
    RecordingReader reader;
    ASSERT_TRUE(parseCaptured(reader, folder.write("a.xml", "<r>x&amp;<b>y</b>\nz </r>")).result);
    EXPECT_EQ(reader.events,
              (std::vector<std::u16string>{u"start r", u"text x&", u"start b", u"text y", u"end b",
                                           u"text z", u"end r"}));
}

} // namespace
} // namespace tevo
