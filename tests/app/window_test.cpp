// The real program in a private X server: its window, the close request
// from a window manager and the refusal of a second copy.
#include "app/silent_line.hpp"
#include "config/config_xml.hpp"
#include "support/default_config.hpp"
#include "support/program_window.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace tevo {
namespace {

using test::ChildProcess;
using test::kCaption;
using test::ProgramFolder;
using test::Window;
using test::XServer;

constexpr int kStartMs = 10000;

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
    }

    std::unique_ptr<ChildProcess> start() {
        return std::make_unique<ChildProcess>(std::vector<std::string>{folder.program()},
                                              std::vector<std::string>{x.environment(),
                                                                       "SDL_VIDEODRIVER=x11",
                                                                       "SDL_AUDIODRIVER=dummy"});
    }

    // SDL creates the window and sizes it afterwards: wait for the size to settle.
    void expectSize(Window w, int width, int height) {
        int actualWidth = 0, actualHeight = 0;
        for (int waited = 0; waited < kStartMs; waited += 50) {
            ASSERT_TRUE(x.windowSize(w, actualWidth, actualHeight));
            if (actualWidth == width && actualHeight == height) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_EQ(actualWidth, width);
        EXPECT_EQ(actualHeight, height);
    }

    XServer x;
    ProgramFolder folder;
};

TEST_F(RealWindow, OpensAtLayoutSizeAndClosesCleanlyOnRequest) {
    auto tevo = start();
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(w, 0u) << tevo->output() << tevo->errors();
    expectSize(w, 480, 640);

    x.requestClose(w);
    EXPECT_EQ(tevo->wait(kStartMs), 0) << tevo->output() << tevo->errors();
    // The settings are written whole; the view's state joins the defaults.
    const std::string config = test::readFile(folder.file("config.xml"));
    const std::string defaults = test::kDefaultConfigXml;
    EXPECT_EQ(config.substr(0, defaults.find("<viewpos>")),
              defaults.substr(0, defaults.find("<viewpos>")));
}

TEST_F(RealWindow, SecondCopyRaisesTheFirstAndExitsWithOne) {
    auto first = start();
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(w, 0u) << first->output() << first->errors();
    x.makeOtherWindow();
    ASSERT_FALSE(x.isTopmost(w));

    auto second = start();
    EXPECT_EQ(second->wait(kStartMs), 1);
    EXPECT_EQ(second->output(), ""); // it ends before SDL starts
    x.sync();
    EXPECT_TRUE(x.isTopmost(w));
    EXPECT_EQ(x.focusedWindow(), w);
    EXPECT_TRUE(first->running());

    x.requestClose(w);
    EXPECT_EQ(first->wait(kStartMs), 0);
}

TEST_F(RealWindow, CloseRequestWhileTheReceiverIsAwaitedEndsCleanly) {
    test::SilentLine line;
    ASSERT_FALSE(line.path().empty());
    std::filesystem::create_symlink(line.path(), folder.file("ports/COM3"));
    std::filesystem::remove(folder.file("demo.plt"));
    cConfigXML settings;
    settings.port = 3;
    settings.baudrate = 1; // its waits once took most of an hour
    ASSERT_TRUE(settings.write(folder.file("config.xml")));
    auto tevo = start();
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(w, 0u) << tevo->output() << tevo->errors();
    ASSERT_TRUE(tevo->waitForOutput("Open GPS...", kStartMs)) << tevo->output();
    const auto asked = std::chrono::steady_clock::now();
    x.requestClose(w);
    EXPECT_EQ(tevo->wait(kStartMs), 0) << tevo->output() << tevo->errors();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    EXPECT_EQ(tevo->errors().find("Can't open GPS"), std::string::npos) << tevo->errors();
}

TEST_F(RealWindow, OpensInXWithoutBeingToldTheDriver) {
    // An empty SDL_VIDEODRIVER counts as unset: DISPLAY alone chooses x11.
    ChildProcess tevo({folder.program()},
                      {x.environment(), "SDL_VIDEODRIVER=", "SDL_AUDIODRIVER=dummy"});
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(w, 0u) << tevo.output() << tevo.errors();
    x.requestClose(w);
    EXPECT_EQ(tevo.wait(kStartMs), 0);
}

TEST(NoWindow, UnreachableXServerEndsTheStartUpWithOne) {
    // Once this became a navigator drawn with characters in the terminal.
    ProgramFolder folder;
    ChildProcess tevo({folder.program()}, {"DISPLAY=:59999", "SDL_VIDEODRIVER=",
                                           "SDL_AUDIODRIVER=dummy", "TERM=xterm"});
    EXPECT_EQ(tevo.wait(kStartMs), 1) << tevo.output() << tevo.errors();
    EXPECT_NE(tevo.output().find("Unable to init SDL: "), std::string::npos) << tevo.output();
    EXPECT_EQ(tevo.output().find("caca"), std::string::npos) << tevo.output();
}

TEST_F(RealWindow, LandscapeLayoutOpensItsSize) {
    std::string screen = test::readFile(folder.file("screen.xml"));
    // Swap the names so that the landscape layout becomes the one in use.
    screen.replace(screen.find("name=\"defaultWindows\""), 21, "name=\"portrait\"");
    screen.replace(screen.find("name=\"landscape800\""), 19, "name=\"defaultWindows\"");
    test::writeFile(folder.file("screen.xml"), screen);
    auto tevo = start();
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(w, 0u);
    expectSize(w, 800, 480);
    x.requestClose(w);
    EXPECT_EQ(tevo->wait(kStartMs), 0);
}

} // namespace
} // namespace tevo
