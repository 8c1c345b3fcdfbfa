// The program folder without its font, without its pictures, or with
// pictures that are no pictures: the window opens, start-up goes on (message
// boxes are drawn without text when the font is gone) and the program ends
// normally. New optional files join the table.
#include "fault/fault_support.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <fstream>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

// The pictures screen.xml of build/dist names.
const char* const kPictures[] = {"pictures/splash.png", "pictures/pointer.png",
                                 "pictures/compass.png", "pictures/poi.png"};

// A PNG signature and header claiming 100000 x 100000 pixels, then nothing.
const unsigned char kHugePngHead[] = {0x89, 'P',  'N',  'G',  0x0D, 0x0A, 0x1A, 0x0A, 0x00,
                                      0x00, 0x00, 0x0D, 'I',  'H',  'D',  'R',  0x00, 0x01,
                                      0x86, 0xA0, 0x00, 0x01, 0x86, 0xA0, 0x08, 0x06, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

enum class Pictures { Missing, Empty, Garbage, HugeHeader };

struct FilesCase {
    const char* name;
    bool withFont;
    Pictures pictures;
};

// Test names and messages show the case by its name.
void PrintTo(const FilesCase& c, std::ostream* os) {
    *os << c.name;
}

void placePictures(const ProgramFolder& folder, Pictures kind) {
    fs::remove_all(folder.file("pictures"));
    if (kind == Pictures::Missing) return;
    fs::create_directory(folder.file("pictures"));
    for (const char* name : kPictures) {
        std::ofstream out(folder.file(name), std::ios::binary);
        if (kind == Pictures::Garbage) out << "this is no picture\n";
        if (kind == Pictures::HugeHeader)
            out.write(reinterpret_cast<const char*>(kHugePngHead), sizeof(kHugePngHead));
    }
}

class MissingFiles : public ::testing::TestWithParam<FilesCase> {};

TEST_P(MissingFiles, WindowOpensAndTheProgramEndsNormally) {
    XServer x;
    if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
    const FilesCase& c = GetParam();
    Navigator nav(false);
    if (!c.withFont) fs::remove(nav.folder().file("DejaVuSans.ttf"));
    placePictures(nav.folder(), c.pictures);

    nav.start(&x);
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(0u, w) << nav.console();
    ASSERT_TRUE(nav.waitForLoopAnswering(x, w)) << nav.console();
    EXPECT_TRUE(nav.tevo().running());
    x.requestClose(w);
    EXPECT_EQ(0, nav.tevo().wait(kStartMs)) << nav.console();
}

INSTANTIATE_TEST_SUITE_P(
    Folder, MissingFiles,
    ::testing::Values(FilesCase{"NoFont", false, Pictures::Missing},
                      FilesCase{"EmptyPictures", true, Pictures::Empty},
                      FilesCase{"GarbagePictures", true, Pictures::Garbage},
                      FilesCase{"HugePictureHeaders", true, Pictures::HugeHeader},
                      FilesCase{"NoFontAndBrokenPictures", false, Pictures::Garbage}),
    [](const ::testing::TestParamInfo<FilesCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
