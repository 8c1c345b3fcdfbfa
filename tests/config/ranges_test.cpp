// Numbers outside what their readers accept fall back to the default with a
// console line that names it; values at the ends of the ranges are kept.
#include "config/config_xml.hpp"
#include "config/menu_xml.hpp"
#include "config/screen_xml.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

TEST(Numbers, OutsideTheirRangeFallBackToTheDefault) {
    const std::pair<const char*, const char*> cases[] = {
        {"<scale>3.4e38</scale>", "scale 3.4e+38 is outside 5.23286e-08 to 10; -1 is used"},
        {"<scaleuser>3e38</scaleuser>", "scaleuser 3e+38 is outside 0.0001 to 10000; 1 is used"},
        {"<ayzuser>-3e38</ayzuser>", "ayzuser -3e+38 is outside -90 to 90; 27 is used"},
        {"<viewpos>5,2147483647</viewpos>",
         "viewpos 2147483647 is outside -134217728 to 134217728; -1 is used"},
        {"<mapposabs>37.6,1000</mapposabs>", "mapposabs 1000 is outside -90 to 90; -360 is used"},
        {"<textcoord>2147483647,6</textcoord>",
         "textcoord 2147483647 is outside -8192 to 8192; 0 is used"},
        {"<poisize>-20,20</poisize>", "poisize -20 is outside 0 to 8192; 0 is used"},
        {"<center>2147483647,8</center>", "coord 2147483647 is outside -8192 to 8192; 0 is used"},
        {"<a>-2147483648</a>", "a -2147483648 is outside 0 to 8192; 0 is used"},
        {"<fontlabel size=\"8000\"/>", "fontlabel 8000 is outside 0 to 256; 12 is used"},
        {"<x><scale>10</scale><scaleuser>1e-4</scaleuser><mapposabs>-360,-360</mapposabs>"
         "<coord>-8192,8192</coord><a>8192</a></x>",
         nullptr}};
    for (const auto& [xml, line] : cases) {
        test::TempDir dir;
        const std::string path = dir.write("file.xml", xml);
        cConfigXML settings;
        cScreenXML layout;
        cMenuXML menu;
        testing::internal::CaptureStdout();
        for (cXML* reader : std::initializer_list<cXML*>{&settings, &layout, &menu})
            reader->parse(path);
        EXPECT_EQ(line ? path + ": " + line + "\n" : "", testing::internal::GetCapturedStdout());
    }
}

} // namespace
} // namespace tevo
