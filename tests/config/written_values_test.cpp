// Values written the way people lay out XML by hand (on lines of their own,
// indented, with entity references) read the same as values written tightly,
// in every reader.
#include "config/config_xml.hpp"
#include "config/levels_xml.hpp"
#include "config/screen_xml.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tevo {
namespace {

using test::TempDir;

// Parses `text` with `reader`, the console output of a parse error swallowed.
bool parseInto(cXML& reader, const std::string& text) {
    TempDir folder;
    testing::internal::CaptureStdout();
    const bool ok = reader.parse(folder.write("file.xml", text));
    testing::internal::GetCapturedStdout();
    return ok;
}

std::string layout(const std::string& children) {
    return "<screens>\n  <resolution name=\"w\">\n" + children + "\n  </resolution>\n</screens>\n";
}

std::string settings(const std::string& navigation) {
    return "<config>\n  <navigation>\n" + navigation + "\n  </navigation>\n</config>\n";
}

struct WrittenCase {
    const char* label;
    std::string file;
    // Parses the file and returns true when the value came through.
    std::function<bool(const std::string&)> check;
};

class WrittenValueTest : public testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenValueTest, ReadsAsIfWrittenOnOneLine) {
    EXPECT_TRUE(GetParam().check(GetParam().file));
}

bool screenEntry(const std::string& file, const std::function<bool(const ResolutionEntry&)>& ok) {
    cScreenXML screen;
    return parseInto(screen, file) && ok(screen.lookup(u"w"));
}

bool configValues(const std::string& file, const std::function<bool(const cConfigXML&)>& ok) {
    cConfigXML config;
    return parseInto(config, file) && ok(config);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, WrittenValueTest,
    testing::Values(
        WrittenCase{"ScreenWidthOnItsOwnLine",
                    layout("    <width>\n      800\n    </width>\n    <height>\n 480 </height>"),
                    [](const std::string& f) {
                        return screenEntry(f, [](const ResolutionEntry& e) {
                            return e.width == 800 && e.height == 480;
                        });
                    }},
        WrittenCase{"ScreenMenuWithEntity", layout("<menu>a&amp;b.xml</menu>"),
                    [](const std::string& f) {
                        return screenEntry(
                            f, [](const ResolutionEntry& e) { return e.menu == u"a&b.xml"; });
                    }},
        WrittenCase{"ScreenFileNameIndented",
                    layout("<splashscreen>\n  splash.png\n</splashscreen>"),
                    [](const std::string& f) {
                        return screenEntry(
                            f, [](const ResolutionEntry& e) { return e.splash == u"splash.png"; });
                    }},
        WrittenCase{"ScreenPairIndented", layout("<pointer2Dcoord>\n  240,480\n</pointer2Dcoord>"),
                    [](const std::string& f) {
                        return screenEntry(f, [](const ResolutionEntry& e) {
                            return e.pointer2Dcoord == std::array<int32_t, 2>{240, 480};
                        });
                    }},
        WrittenCase{"ConfigScaleBeforeLineEnd", settings("<scale>2.5\n</scale>"),
                    [](const std::string& f) {
                        return configValues(f, [](const cConfigXML& c) {
                            return c.scale == 2.5f &&
                                   c.render().find("<scale>2.5</scale>") != std::string::npos;
                        });
                    }},
        WrittenCase{"ConfigScaleWithCrLf", settings("<scaleuser>\r\n\t1.5\r\n</scaleuser>"),
                    [](const std::string& f) {
                        return configValues(
                            f, [](const cConfigXML& c) { return c.scaleuser == 1.5f; });
                    }},
        WrittenCase{"ConfigFloatPairIndented", settings("<mapposabs>\n 37.5,55.25\n</mapposabs>"),
                    [](const std::string& f) {
                        return configValues(f, [](const cConfigXML& c) {
                            return c.mapposabs == std::array<float, 2>{37.5f, 55.25f};
                        });
                    }},
        WrittenCase{"ConfigIntPairIndented", settings("<viewpos>\n 120,80 \n</viewpos>"),
                    [](const std::string& f) {
                        return configValues(f, [](const cConfigXML& c) {
                            return c.viewpos == std::array<int32_t, 2>{120, 80};
                        });
                    }},
        WrittenCase{"ConfigPortWithCharacterReference",
                    "<config><device><port>1&#x32;</port></device></config>",
                    [](const std::string& f) {
                        return configValues(f, [](const cConfigXML& c) { return c.port == 12; });
                    }},
        WrittenCase{"LevelsTypeOnItsOwnLine",
                    "<levels><hidepriority v=\"2\"><polyline><type>\n  1f\n</type>"
                    "</polyline></hidepriority></levels>",
                    [](const std::string& f) {
                        cLevelsXML levels;
                        return parseInto(levels, f) &&
                               levels.polylineTypes() == std::vector<TypePriority>{{2, 0x1F}};
                    }}),
    [](const testing::TestParamInfo<WrittenCase>& info) { return info.param.label; });

TEST(WrittenValueTest, ValueAcrossTheChunkBorderReadsWhole) {
    // The file is fed to the parser in chunks; a number straddling the border
    // of the first one reaches the reader in one piece.
    std::string file = "<config><!--";
    const std::string before = "--><navigation><scale>";
    file += std::string(cXML::kReadChunk - file.size() - before.size() - 2, 'x');
    file += before + "2.125</scale></navigation></config>";
    cConfigXML config;
    ASSERT_TRUE(parseInto(config, file));
    EXPECT_EQ(config.scale, 2.125f);
}

} // namespace
} // namespace tevo
