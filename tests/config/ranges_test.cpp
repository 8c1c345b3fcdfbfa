// Numbers far outside what their readers accept (int32 limits, floats near
// their largest) fall back to the documented default with a line on the
// console, in every reader; nothing beyond reaches the view's arithmetic, and
// config.xml writes the default back.
#include "config/config_xml.hpp"
#include "config/menu_xml.hpp"
#include "config/screen_xml.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tevo {
namespace {

struct RangeCase {
    const char* name;
    std::string text;
    double (*read)(const std::string& path); // the value the program uses
    double expected;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

std::string settings(const std::string& navigation) {
    return "<config><device><port>3</port></device><navigation>" + navigation +
           "</navigation></config>";
}
std::string layout(const std::string& children) {
    return "<screens><resolution name=\"defaultWindows\">" + children + "</resolution></screens>";
}
std::string menu(const std::string& sky) {
    return "<menu><fontlabel size=\"8000\"/><satellites><sky>" + sky + "</sky></satellites></menu>";
}

cConfigXML readSettings(const std::string& path) {
    cConfigXML c;
    c.parse(path);
    return c;
}
ResolutionEntry readLayout(const std::string& path) {
    cScreenXML s;
    s.parse(path);
    return s.lookup(u"defaultWindows");
}
cMenuXML readMenu(const std::string& path) {
    cMenuXML m;
    m.parse(path);
    return m;
}

class OutOfRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(OutOfRange, FallsBackToTheDefaultAndSaysSo) {
    test::TempDir dir;
    const std::string path = dir.write("file.xml", GetParam().text);
    testing::internal::CaptureStdout();
    const double value = GetParam().read(path);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(GetParam().expected, value);
    EXPECT_NE(console.find(path + ": "), std::string::npos) << console;
    EXPECT_NE(console.find(" is outside "), std::string::npos) << console;
}

INSTANTIATE_TEST_SUITE_P(
    Files, OutOfRange,
    ::testing::Values(
        RangeCase{"Scale", settings("<scale>3.4e38</scale>"),
                  [](const std::string& p) { return double(readSettings(p).scale); }, -1},
        RangeCase{"Scaleuser", settings("<scaleuser>3.4e38</scaleuser>"),
                  [](const std::string& p) { return double(readSettings(p).scaleuser); }, 1},
        RangeCase{"Tilt", settings("<ayzuser>-3e38</ayzuser>"),
                  [](const std::string& p) { return double(readSettings(p).ayzuser); }, 27},
        RangeCase{"Viewpos", settings("<viewpos>2147483647,5</viewpos>"),
                  [](const std::string& p) { return double(readSettings(p).viewpos[1]); }, -1},
        RangeCase{"Mapposabs", settings("<mapposabs>37.6,1000</mapposabs>"),
                  [](const std::string& p) { return double(readSettings(p).mapposabs[0]); }, -360},
        RangeCase{"Minangle", settings("<minangle>-2147483648</minangle>"),
                  [](const std::string& p) { return double(readSettings(p).minangle); }, 5},
        RangeCase{"Port", "<config><port>2147483647</port></config>",
                  [](const std::string& p) { return double(readSettings(p).port); }, 0},
        RangeCase{"TextAnchor", layout("<textcoord>2147483647,600</textcoord>"),
                  [](const std::string& p) { return double(readLayout(p).textcoord[1]); }, 0},
        RangeCase{"Pointer", layout("<pointer3Dcoord>240,-2147483648</pointer3Dcoord>"),
                  [](const std::string& p) { return double(readLayout(p).pointer3Dcoord[0]); }, 0},
        RangeCase{"ScaleBar", layout("<scalecoord>-2147483648,600</scalecoord>"),
                  [](const std::string& p) { return double(readLayout(p).scalecoord[1]); }, 0},
        RangeCase{"IconSize", layout("<poisize>2147483647,20</poisize>"),
                  [](const std::string& p) { return double(readLayout(p).poisize[1]); }, 0},
        RangeCase{"FontSize", menu(""),
                  [](const std::string& p) { return double(readMenu(p).labelFontSize); }, 12},
        RangeCase{
            "SkyCentre", menu("<center>2147483647,212</center>"),
            [](const std::string& p) { return double(readMenu(p).satellites().at(0).position[1]); },
            0},
        RangeCase{"SkyAxis", menu("<a>-2147483648</a>"),
                  [](const std::string& p) { return double(readMenu(p).satellites().at(0).a); },
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InRange, ValuesAreKeptWithoutAWord) {
    test::TempDir dir;
    testing::internal::CaptureStdout();
    const cConfigXML c = readSettings(
        dir.write("c.xml", settings("<scale>2.5</scale><scaleuser>0.0001</scaleuser><ayzuser>"
                                    "-90</ayzuser><mapposabs>-360,-360</mapposabs>")));
    const ResolutionEntry e = readLayout(dir.write("s.xml", layout("<coord>-8192,8192</coord>")));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(2.5f, c.scale);
    EXPECT_EQ(0.0001f, c.scaleuser);
    EXPECT_EQ(-90.0f, c.ayzuser);
    EXPECT_EQ(-8192, e.coord[0]);
}

} // namespace
} // namespace tevo
