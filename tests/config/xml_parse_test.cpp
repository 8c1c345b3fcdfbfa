#include "config/xml.hpp"

#include "xml_test_support.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tevo {
namespace {

using test::ScratchFolder;
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
    ScratchFolder folder;
    const std::string path = folder.write(
        "a.xml", "<?xml version=\"1.0\"?><r k=\"v\" n=\"2\"><e>\xC3\xA9t\xC3\xA9</e></r>");
    RecordingReader reader;
    EXPECT_TRUE(parseCaptured(reader, path).result);
    EXPECT_EQ(reader.events,
              (std::vector<std::u16string>{u"start r k=v n=2", u"start e", u"text \u00E9t\u00E9",
                                           u"end e", u"end r"}));
}

TEST(XmlParseTest, ReadsUtf8WhateverTheDeclarationSays) {
    ScratchFolder folder;
    const std::string path =
        folder.write("a.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xC3\xA9</r>");
    RecordingReader reader;
    EXPECT_TRUE(parseCaptured(reader, path).result);
    ASSERT_EQ(reader.events.size(), 3u);
    EXPECT_EQ(reader.events[1], u"text \u00E9");
}

TEST(XmlParseTest, MissingFileFailsSilently) {
    ScratchFolder folder;
    RecordingReader reader;
    const ParseOutcome outcome = parseCaptured(reader, folder.path("absent.xml"));
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
    ScratchFolder folder;
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
                                  "Parse error at line 2: not well-formed (invalid token)\n", 4},
                    MalformedCase{"Mismatched", "<r>\n<a>1</b>\n</r>",
                                  "Parse error at line 2: mismatched tag\n", 4},
                    MalformedCase{"Unclosed", "<r><a>1</a>",
                                  "Parse error at line 1: no element found\n", 4}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.label; });

TEST(XmlParseTest, UnreadableFileReportsReadError) {
    // A folder opens for reading but every read of it fails.
    ScratchFolder folder;
    folder.write("x", "");
    RecordingReader reader;
    const ParseOutcome outcome = parseCaptured(reader, folder.path(""));
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.err, "Read error\n");
    EXPECT_EQ(outcome.out, "");
}

TEST(XmlParseTest, ReadsFilesLargerThanOneChunk) {
    // Text straddling the border of the first chunk arrives in two pieces.
    std::string bytes = "<r><!--";
    const std::string before = "--><e>";
    bytes += std::string(cXML::kReadChunk - bytes.size() - before.size() - 5, 'x');
    bytes += before + "abcdefghij</e></r>";
    ScratchFolder folder;
    RecordingReader reader;
    EXPECT_TRUE(parseCaptured(reader, folder.write("big.xml", bytes)).result);
    // Where exactly Expat cuts is its own business; the text is all there.
    ASSERT_EQ(reader.events.size(), 6u);
    EXPECT_EQ(reader.events[1], u"start e");
    EXPECT_EQ(reader.events[2].substr(5) + reader.events[3].substr(5), u"abcdefghij");
    EXPECT_EQ(reader.events[4], u"end e");
}

} // namespace
} // namespace tevo
