// The shell's start-up, loop and shutdown run in this process under SDL's
// dummy video driver.
#include "app/startup.hpp"
#include "support/default_config.hpp"
#include "support/process.hpp"

#include "platform/message_box.hpp"
#include "platform/quit_request.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace tevo {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::string layout(const std::string& name, const std::string& children) {
    return "<screens><resolution name=\"" + name + "\">" + children + "</resolution></screens>";
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxesDrawn(false);
        clearQuitRequest();
    }
    void TearDown() override {
        // What drew on the window goes before the window does, as at exit.
        app.mapView.reset();
        app.screens.reset();
        SDL_Quit();
    }

    // Starts the shell from `folder`, runs one close request through the
    // loop and shuts down; returns the exit code.
    int runOnce(const std::string& folder) {
        const auto code = startUp(app, (folder + "/tevo").c_str());
        if (code) return *code;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        runMainLoop(app);
        return shutDown(app);
    }

    TempDir dir;
    AppState app;
};

TEST_F(Shell, CaptionNamesTheVersion) {
    EXPECT_EQ(formatCaption(), u"Tevo v.0.7.4 beta");
}

TEST_F(Shell, CloseRequestEndsTheLoopAndWritesDefaultSettings) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    EXPECT_EQ(runOnce(dir.path()), 0);
    EXPECT_EQ(app.quit, 1);
    EXPECT_EQ(readFile(dir.file("config.xml")), test::kDefaultConfigXml);
}

struct SizeCase {
    const char* name;
    const char* children;
    int width, height;
};

class WindowSize : public Shell, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WindowSize, FollowsTheLayoutOnlyWhenBothNumbersAreSet) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", GetParam().children));
    ASSERT_FALSE(startUp(app, dir.file("tevo").c_str()));
    ASSERT_NE(app.screen, nullptr);
    EXPECT_EQ(app.screen->w, GetParam().width);
    EXPECT_EQ(app.screen->h, GetParam().height);
    EXPECT_EQ(app.screen->format->BitsPerPixel, 16);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, WindowSize,
    ::testing::Values(
        SizeCase{"Both", "<width>800</width><height>480</height><bpp>16</bpp>", 800, 480},
        SizeCase{"HeightZero", "<width>800</width><height>0</height><bpp>16</bpp>", 480, 640},
        SizeCase{"WidthZero", "<width>0</width><height>480</height><bpp>16</bpp>", 480, 640},
        SizeCase{"Neither", "<bpp>16</bpp>", 480, 640}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    const char* children;
    int width, height, depth; // depth 0: the desktop's
    const char* message;
};

class RefusedLayout : public Shell, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedLayout, FallsBackAsIfTheValueWereMissingAndSaysWhy) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", GetParam().children));
    app.programFolder = dir.path() + "/";
    app.depth = 0;
    ::testing::internal::CaptureStdout();
    selectLayout(app);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(app.screenWidth, GetParam().width);
    EXPECT_EQ(app.screenHeight, GetParam().height);
    EXPECT_EQ(app.depth, GetParam().depth);
    EXPECT_EQ(out, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RefusedLayout,
    ::testing::Values(
        RefusedCase{"LargestSide", "<width>8192</width><height>8192</height>", 8192, 8192, 0, ""},
        RefusedCase{"IntMaxWidth", "<width>2147483647</width><height>640</height>", 480, 640, 0,
                    "Window size 2147483647x640 refused: each side must be 1 to 8192 pixels\n"},
        RefusedCase{"RowLengthOverflow", "<width>65536</width><height>65536</height>", 480, 640, 0,
                    "Window size 65536x65536 refused: each side must be 1 to 8192 pixels\n"},
        RefusedCase{"OneTooHigh", "<width>800</width><height>8193</height>", 480, 640, 0,
                    "Window size 800x8193 refused: each side must be 1 to 8192 pixels\n"},
        RefusedCase{"Negative", "<width>-800</width><height>600</height>", 480, 640, 0,
                    "Window size -800x600 refused: each side must be 1 to 8192 pixels\n"},
        RefusedCase{"DepthKept", "<bpp>24</bpp>", 480, 640, 24, ""},
        RefusedCase{"HugeDepth", "<bpp>2147483647</bpp>", 480, 640, 0,
                    "Colour depth 2147483647 refused: it must be 8, 15, 16, 24 or 32\n"},
        RefusedCase{"OddDepth", "<bpp>12</bpp>", 480, 640, 0,
                    "Colour depth 12 refused: it must be 8, 15, 16, 24 or 32\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Shell, HugeLayoutOpensTheDefaultWindow) {
    writeFile(dir.file("screen.xml"),
              layout("defaultWindows", "<width>2147483647</width><height>2147483647</height>"
                                       "<bpp>16</bpp>"));
    ::testing::internal::CaptureStdout();
    const auto code = startUp(app, dir.file("tevo").c_str());
    ::testing::internal::GetCapturedStdout();
    ASSERT_FALSE(code);
    ASSERT_NE(app.screen, nullptr);
    EXPECT_EQ(app.screen->w, 480);
    EXPECT_EQ(app.screen->h, 640);
}

// SDL's dummy driver gives a 15-bit frame buffer one byte a pixel: the window
// opens at 16 bits, and the whole of it is drawn on (ASan sees any overrun).
TEST_F(Shell, FifteenBitLayoutOpensSixteenBitsUnderTheDummyDriver) {
    writeFile(dir.file("screen.xml"),
              layout("defaultWindows", "<width>481</width><height>640</height><bpp>15</bpp>"));
    ::testing::internal::CaptureStdout();
    const auto code = startUp(app, dir.file("tevo").c_str());
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_FALSE(code);
    ASSERT_NE(app.screen, nullptr);
    EXPECT_EQ(app.screen->format->BitsPerPixel, 16);
    EXPECT_GE(app.screen->pitch, 2 * app.screen->w);
    EXPECT_EQ(SDL_FillRect(app.screen, nullptr, 0xFFFF), 0);
    EXPECT_THAT(out, ::testing::HasSubstr("Colour depth 15 is opened as 16"));
}

TEST_F(Shell, BrokenSettingsAreKeptBesideTheRewrittenFile) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    const std::string broken = "<config><navigation><minangle>9</minangle>\n"
                               "<minspeed>9 & 10</minspeed><scale>2.5</scale>"
                               "</navigation></config>\n";
    writeFile(dir.file("config.xml"), broken);
    ::testing::internal::CaptureStdout();
    const int code = runOnce(dir.path());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(dir.file("config.xml.bad")), broken);
    EXPECT_NE(out.find(dir.file("config.xml") + " is broken; kept as " +
                       dir.file("config.xml.bad") + "\n"),
              std::string::npos)
        << out;
    // The rewritten file holds what was read before the error.
    std::string expected = test::kDefaultConfigXml;
    expected.replace(expected.find("<minangle>5"), 11, "<minangle>9");
    EXPECT_EQ(readFile(dir.file("config.xml")), expected);
}

TEST_F(Shell, BrokenSettingsThatCannotBeKeptAreNotOverwritten) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    const std::string broken = "<config><port>3</port>&</config>";
    writeFile(dir.file("config.xml"), broken);
    std::filesystem::create_directory(dir.file("config.xml.bad")); // in the way of the copy
    ::testing::internal::CaptureStdout();
    const int code = runOnce(dir.path());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(dir.file("config.xml")), broken);
    EXPECT_NE(out.find("could not be kept as " + dir.file("config.xml.bad") +
                       "; it will not be rewritten\n"),
              std::string::npos)
        << out;
}

// A program folder named in Latin-1 finds its map and demonstration track.
TEST_F(Shell, AFolderNamedInLatin1FindsItsMapAndTracks) {
    const std::string folder = dir.file("K\xF6ln/");
    std::filesystem::create_directory(folder);
    for (const std::string name : {"map.tvm", "demo.plt"})
        std::filesystem::create_symlink(std::string(TEVO_DIST_DIR) + "/" + name, folder + name);
    writeFile(folder + "screen.xml", layout("defaultWindows", "<bpp>16</bpp>"));
    ASSERT_FALSE(startUp(app, (folder + "tevo").c_str()));
    EXPECT_TRUE(app.mapView->mapOpen());
    EXPECT_EQ(app.mapView->tracks().size(), 1) << "the demonstration track is drawn";
}

TEST_F(Shell, SoundSettingsLeaveNoCopy) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    writeFile(dir.file("config.xml"), test::kDefaultConfigXml);
    EXPECT_EQ(runOnce(dir.path()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("config.xml.bad")));
}

TEST_F(Shell, OtherLayoutNamesAreNotUsed) {
    writeFile(dir.file("screen.xml"),
              layout("landscape800", "<width>800</width><height>480</height><bpp>16</bpp>"));
    ASSERT_FALSE(startUp(app, dir.file("tevo").c_str()));
    EXPECT_EQ(app.screenWidth, 480);
    EXPECT_EQ(app.screenHeight, 640);
}

TEST_F(Shell, MalformedLayoutIsReportedAndTheDefaultWindowOpens) {
    writeFile(dir.file("screen.xml"), "<screens>\n<resolution name=\"defaultWindows\">\n<width>800"
                                      "</height>\n</screens>\n");
    ::testing::internal::CaptureStdout();
    const auto code = startUp(app, dir.file("tevo").c_str());
    std::fflush(stdout);
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_FALSE(code);
    EXPECT_NE(out.find(dir.file("screen.xml") + "\nParse error at line 3: mismatched tag\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Resolution: 480x640\n"), std::string::npos) << out;
    EXPECT_EQ(app.screenWidth, 480);
}

TEST_F(Shell, ConsoleReportsMenuFullScreenAndResolution) {
    writeFile(dir.file("screen.xml"),
              layout("defaultWindows", "<windowMode/><menu>menu.xml</menu><width>800</width>"
                                       "<height>480</height><bpp>16</bpp>"));
    ::testing::internal::CaptureStdout();
    ASSERT_FALSE(startUp(app, dir.file("tevo").c_str()));
    std::fflush(stdout);
    // The receiver's lines follow.
    EXPECT_THAT(
        ::testing::internal::GetCapturedStdout(),
        ::testing::StartsWith("Selected menu: menu.xml\nfullScreen: False\nResolution: 800x480\n"));
}

TEST_F(Shell, PointerPositionsOfZeroMeanTheWindowCentre) {
    writeFile(dir.file("screen.xml"),
              layout("defaultWindows", "<bpp>16</bpp><pointer2Dcoord>0,0</pointer2Dcoord>"
                                       "<pointer3Dcoord>0,5</pointer3Dcoord>"));
    ASSERT_FALSE(startUp(app, dir.file("tevo").c_str()));
    EXPECT_EQ(app.layout.pointer2Dcoord, (std::array<int32_t, 2>{240, 320}));
    EXPECT_EQ(app.layout.pointer3Dcoord, (std::array<int32_t, 2>{0, 5}));
}

TEST_F(Shell, SettingsKeepDefaultsDropOrientationAndRoundToSixDigits) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    writeFile(dir.file("config.xml"), "<config><device><orientation>3</orientation></device>"
                                      "<navigation><scale>2.5</scale>"
                                      "<axy>37.617778</axy></navigation></config>");
    ASSERT_EQ(runOnce(dir.path()), 0);
    EXPECT_EQ(app.settings.orientation, 3);
    std::string expected = test::kDefaultConfigXml;
    expected.replace(expected.find("<scale>-1"), 9, "<scale>2.5");
    expected.replace(expected.find("<axy>0"), 6, "<axy>37.6178");
    EXPECT_EQ(readFile(dir.file("config.xml")), expected);
}

TEST_F(Shell, AnEndAskedForWhileTheReceiverIsSoughtKeepsTheStoredView) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    for (const char* name : {"map.tvm", "tevo.skn", "vsa.xml", "levels.xml", "DejaVuSans.ttf"})
        std::filesystem::create_symlink(std::string(TEVO_DIST_DIR) + "/" + name, dir.file(name));
    // COM3 does not exist: an empty ports folder holds no link to it.
    std::filesystem::create_directory(dir.file("ports"));
    const std::string stored = "<config><device><port>3</port><baudrate>4800</baudrate></device>"
                               "<navigation><viewpos>7006136,10404135</viewpos>"
                               "<mapposabs>37.5839,55.8121</mapposabs><viewto>1</viewto>"
                               "<scale>0.986172</scale><ayz>20</ayz></navigation></config>";
    writeFile(dir.file("config.xml"), stored);
    // SIGTERM while the receiver was opened.
    requestQuit();
    const auto code = startUp(app, (dir.path() + "/tevo").c_str());
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
    const std::string written = readFile(dir.file("config.xml"));
    EXPECT_THAT(written, testing::HasSubstr("<mapposabs>37.5839,55.8121</mapposabs>"));
    EXPECT_THAT(written, testing::HasSubstr("<viewpos>7006136,10404135</viewpos>"));
    EXPECT_THAT(written, testing::HasSubstr("<scale>0.986172</scale>"));
    EXPECT_THAT(written, testing::HasSubstr("<viewto>1</viewto>"));
    EXPECT_THAT(written, testing::HasSubstr("<ayz>20</ayz>"));
}

TEST_F(Shell, TheStoredTiltIsTheCamerasAtTheNextStart) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    for (const char* name : {"map.tvm", "tevo.skn", "vsa.xml", "levels.xml", "DejaVuSans.ttf"})
        std::filesystem::create_symlink(std::string(TEVO_DIST_DIR) + "/" + name, dir.file(name));
    std::filesystem::create_directory(dir.file("ports"));
    writeFile(dir.file("config.xml"),
              "<config><device><port>3</port><baudrate>4800</baudrate></device>"
              "<navigation><mapposabs>37.5839,55.8121</mapposabs><scale>0.9</scale>"
              "<ayz>27.5</ayz><ayzuser>0</ayzuser></navigation></config>");
    ASSERT_FALSE(startUp(app, (dir.path() + "/tevo").c_str()).has_value());
    ASSERT_NE(app.mapView, nullptr);
    EXPECT_FLOAT_EQ(app.mapView->state().tilt, 27.5f);
    // The frame is drawn with the camera's pitch: the view of the last run.
    EXPECT_FLOAT_EQ(app.mapView->camera().pitch(), 27.5f);
    EXPECT_EQ(shutDown(app), 0);
}

// The stored view at a start before any fix: `viewto` 1 is the free view
// with the return button, anything else follows the stored position at once;
// the exit writes back what was stored.
struct StoredViewCase {
    const char* viewto;
    bool free;
    ReturnButton button;
};

class StoredView : public Shell, public ::testing::WithParamInterface<StoredViewCase> {};

TEST_P(StoredView, WithoutAFixTheStartTakesItAndTheExitKeepsIt) {
    writeFile(dir.file("screen.xml"),
              layout("defaultWindows", "<bpp>16</bpp><menu>menu.xml</menu>"));
    for (const char* name :
         {"map.tvm", "tevo.skn", "vsa.xml", "levels.xml", "DejaVuSans.ttf", "menu.xml", "pictures"})
        std::filesystem::create_symlink(std::string(TEVO_DIST_DIR) + "/" + name, dir.file(name));
    std::filesystem::create_directory(dir.file("ports")); // no receiver
    writeFile(dir.file("config.xml"), std::string("<config><device><port>3</port><baudrate>4800"
                                                  "</baudrate></device><navigation><viewpos>"
                                                  "7006136,10404135</viewpos><mapposabs>37.5839,"
                                                  "55.8121</mapposabs><scale>0.9</scale><viewto>") +
                                          GetParam().viewto + "</viewto></navigation></config>");
    ASSERT_FALSE(startUp(app, (dir.path() + "/tevo").c_str()).has_value());
    EXPECT_EQ(app.mapView->state().freeView, GetParam().free);
    EXPECT_EQ(app.screens->returnButtonState(), GetParam().button);
    EXPECT_EQ(shutDown(app), 0);
    EXPECT_THAT(readFile(dir.file("config.xml")),
                testing::HasSubstr(std::string("<viewto>") + (GetParam().free ? "1" : "0")));
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredView,
                         testing::Values(StoredViewCase{"0", false, ReturnButton::Hidden},
                                         StoredViewCase{"2", false, ReturnButton::Hidden},
                                         StoredViewCase{"1", true, ReturnButton::Shown}));

TEST_F(Shell, UnwritableSettingsStillEndNormally) {
    writeFile(dir.file("screen.xml"), layout("defaultWindows", "<bpp>16</bpp>"));
    std::filesystem::create_directory(dir.file("config.xml")); // cannot be opened as a file
    EXPECT_EQ(runOnce(dir.path()), 0);
}

TEST_F(Shell, LongProgramFolderIsNeverCut) {
    std::string folder = dir.path();
    while (folder.size() < 600) folder += "/a-rather-long-folder-name-for-testing-paths";
    std::filesystem::create_directories(folder);
    writeFile(folder + "/screen.xml",
              layout("defaultWindows", "<width>800</width><height>480</height><bpp>16</bpp>"));
    EXPECT_EQ(runOnce(folder), 0);
    EXPECT_EQ(app.screenWidth, 800);
    EXPECT_EQ(readFile(folder + "/config.xml"), test::kDefaultConfigXml);
}

} // namespace
} // namespace tevo
