// The real program in a private X server, driven with xdotool: the buttons
// run their commands, F4 cycles the screens, a tap frees the view and the
// return button brings it back; with nmeasim as receiver the menu and the
// sky plot show what it sends.
#include "support/program_window.hpp"
#include "ui/surface.hpp"
#include "ui/text_style.hpp"

#include <SDL_image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>

namespace tevo {
namespace {

namespace fs = std::filesystem;
using test::ChildProcess;
using test::kHeight;
using test::kWidth;
using test::Rect;
using test::Shot;

constexpr int kStartMs = 20000;
constexpr int kSettleMs = 700;

// Centres of the portrait menu's buttons (data/menu.xml).
struct Point {
    int x, y;
};
constexpr Point kZoomIn{56, 40};
constexpr Point kZoomOut{56, 112};
constexpr Point kMenu{424, 600};
constexpr Point kReturn{320, 600};
constexpr Point kMenuToMap{130, 328};
constexpr Point kMenuExit{350, 568};
// A free spot of the map.
constexpr Point kMapSpot{240, 300};

constexpr Rect kScaleBar{0, 560, 250, 640};
constexpr Rect kReturnButton{272, 568, 368, 632};

class RealScreens : public test::ProgramWindow {
protected:
    void SetUp() override {
        ProgramWindow::SetUp();
        // A receiver, not the demonstration drive.
        fs::remove(folder.file("demo.plt"));
    }

    void start(bool dismissBox) {
        startProgram(kStartMs);
        if (dismissBox) {
            // No receiver answers: its message box waits first.
            pause(4 * kSettleMs);
            boxShot = shot();
            key("Return");
        }
        pause(2 * kSettleMs);
    }
    void key(const std::string& name) { ProgramWindow::key(name, kSettleMs); }
    void click(Point p) { ProgramWindow::click(p.x, p.y, kSettleMs); }
    std::string settings() const { return test::readFile(folder.file("config.xml")); }

    Shot boxShot; // the window while the receiver's message box waits
};

TEST_F(RealScreens, ButtonsZoomSwitchScreensAndExit) {
    start(true);
    const Shot map = shot();
    ASSERT_TRUE(map.ok());
    // Zoom in and out redraw the scale bar.
    click(kZoomIn);
    const Shot in = shot();
    EXPECT_GT(in.difference(map, kScaleBar), 0.002);
    click(kZoomOut);
    const Shot out = shot();
    EXPECT_GT(out.difference(in, kScaleBar), 0.002);
    // The menu button shows the main menu over the whole window.
    click(kMenu);
    const Shot menu = shot();
    EXPECT_GT(menu.difference(out), 0.5);
    // Its map button returns to the map.
    click(kMenuToMap);
    EXPECT_LT(shot().difference(out), 0.05);
    // Exit ends the program normally and writes the settings.
    click(kMenu);
    click(kMenuExit);
    EXPECT_EQ(tevo->wait(kStartMs), 0) << tevo->output() << tevo->errors();
    EXPECT_NE(settings().find("<viewto>"), std::string::npos) << settings();
}

TEST_F(RealScreens, ReceiverMessageStandsOnTheSplash) {
    start(true);
    ASSERT_TRUE(boxShot.ok());
    // The splash's blue-grey, not a black window, around the box.
    EXPECT_EQ(boxShot.at(10, 300), 0x243443u);
    closeWindow(kStartMs);
}

TEST_F(RealScreens, F4CyclesMapSatellitesMenu) {
    start(true);
    const Shot map = shot("map.png");
    key("F4");
    const Shot satellites = shot();
    key("F4");
    const Shot menu = shot();
    key("F4");
    const Shot back = shot();
    EXPECT_GT(satellites.difference(map), 0.5);
    EXPECT_GT(menu.difference(satellites), 0.1);
    EXPECT_GT(menu.difference(map), 0.5);
    EXPECT_LT(back.difference(map), 0.05);
    closeWindow(kStartMs);
}

TEST_F(RealScreens, TapFreesTheViewAndReturnBringsItBack) {
    start(true);
    const Shot before = shot();
    click(kMapSpot);
    const Shot freed = shot();
    // The return button appears where there was map.
    EXPECT_GT(freed.difference(before, kReturnButton), 0.3);
    click(kReturn);
    const Shot returned = shot();
    EXPECT_GT(returned.difference(freed, kReturnButton), 0.3);
    // A second tap frees the view again; the exit stores a free view.
    click(kMapSpot);
    click(kMenu);
    click(kMenuExit);
    EXPECT_EQ(tevo->wait(kStartMs), 0) << tevo->output();
    EXPECT_NE(settings().find("<viewto>1</viewto>"), std::string::npos) << settings();
}

// One second of a receiver: a fix at 55.7558 N 37.6173 E, 27 knots, and four
// satellites of which the first three are used.
std::string sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

std::string receiverLog() {
    std::string log;
    for (int second = 0; second < 3; ++second) {
        const std::string t = "12000" + std::to_string(second) + ".00";
        log += sentence("GPRMC," + t + ",A,5545.3480,N,03737.0380,E,27.0,45.0,081226,,,A");
        log += sentence("GPGGA," + t + ",5545.3480,N,03737.0380,E,1,03,1.0,151.0,M,14.0,M,,");
        log += sentence("GPGSA,A,3,01,02,03,,,,,,,,,,2.0,1.0,1.7");
        log += sentence("GPGSV,1,1,04,01,90,000,40,02,00,090,45,03,45,180,30,04,30,270,20");
    }
    return log;
}

// The screen as it must look: the background, then what is drawn on it, in
// the window's pixel layout.
class Expected {
public:
    explicit Expected(const std::string& dist) : dist_(dist) {
        surface_.reset(
            SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 32, 0xFF0000, 0xFF00, 0xFF, 0));
        blit("pictures/background.png", 0, 0, false, SDL_ALPHA_OPAQUE);
        font_.openFont(surface_.get(), dist + "/DejaVuSans.ttf", 16);
        font_.setColour(255, 255, 255);
        font_.setBlended(true);
    }
    void blit(const std::string& picture, int x, int y, bool keyed, int alpha) {
        OwnedSurface image(IMG_Load((dist_ + "/" + picture).c_str()));
        if (!image) return;
        if (keyed)
            SDL_SetColorKey(image.get(), SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 0, 255));
        if (alpha != SDL_ALPHA_OPAQUE)
            SDL_SetAlpha(image.get(), SDL_SRCALPHA, static_cast<uint8_t>(alpha));
        SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
        SDL_BlitSurface(image.get(), nullptr, surface_.get(), &at);
    }
    // Draws the text and returns its box.
    Rect text(const std::u16string& text, int x, int y) {
        font_.drawText(text, x, y);
        const TextBox b = font_.lastBox();
        return {b.x, b.y, b.x + b.width, b.y + b.height};
    }
    uint32_t at(int x, int y) const {
        const auto* row = static_cast<const uint8_t*>(surface_->pixels) + y * surface_->pitch;
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    }
    // The share of pixels of `r` that differ clearly from the shot.
    double mismatch(const Shot& shot, Rect r) const {
        size_t n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t a = at(x, y), b = shot.at(x, y);
                for (int shift = 0; shift < 24; shift += 8) {
                    const int d = static_cast<int>((a >> shift) & 0xFF) -
                                  static_cast<int>((b >> shift) & 0xFF);
                    if (d > 40 || d < -40) {
                        ++n;
                        break;
                    }
                }
            }
        return static_cast<double>(n) / std::max(1, (r.right - r.left) * (r.bottom - r.top));
    }

private:
    std::string dist_;
    OwnedSurface surface_;
    TextStyle font_;
};

TEST_F(RealScreens, MenuAndSkyShowWhatTheReceiverSends) {
    const std::string log = dir.file("receiver.nmea");
    test::writeFile(log, receiverLog());
    ChildProcess sim({std::string(TEVO_BIN_DIR) + "/nmeasim", "--log", log, "--repeat", "0",
                      "--link", folder.path(), "--port", "3"});
    ASSERT_TRUE(sim.waitForOutput("\n", kStartMs)) << sim.errors();
    start(false);
    ASSERT_TRUE(tevo->waitForOutput(" COM3 at ", kStartMs)) << tevo->output();
    pause(4 * kSettleMs);
    shot("map.png");
    // The satellites screen: each satellite's picture with its corner on
    // the plot (centre 232,212, radius 170), as bright as its signal.
    key("F4");
    const Shot sky = shot("satellites.png");
    Expected plot(TEVO_DIST_DIR);
    plot.blit("pictures/sky.png", 40, 20, false, SDL_ALPHA_OPAQUE);
    // Elevation 90: the centre; signal 40 of 20 to 45: opacity 232.
    plot.blit("pictures/sat_active.png", 232, 212, true, 232);
    // Elevation 0, azimuth 90: east on the horizon; the strongest.
    plot.blit("pictures/sat_active.png", 401, 211, true, 255);
    // Elevation 30, azimuth 270, not used: grey; the weakest.
    plot.blit("pictures/sat_inactive.png", 118, 212, true, 140);
    EXPECT_LT(plot.mismatch(sky, {232, 212, 248, 228}), 0.05);
    EXPECT_LT(plot.mismatch(sky, {401, 211, 417, 227}), 0.05);
    EXPECT_LT(plot.mismatch(sky, {118, 212, 134, 228}), 0.05);
    // The main menu's values.
    key("F4");
    const Shot menu = shot("menu.png");
    Expected values(TEVO_DIST_DIR);
    const std::u16string texts[] = {
        u"55\u00B045'20\"", u"37\u00B037'2\"", u"151", u"50 км/ч", u"4", u"3"};
    for (int i = 0; i < 6; ++i) {
        const Rect box = values.text(texts[i], 240, 40 + 34 * i);
        EXPECT_GT(box.right - box.left, 0);
        EXPECT_LT(values.mismatch(menu, box), 0.02) << i;
    }
    closeWindow(kStartMs);
    sim.signal(SIGTERM);
}

} // namespace
} // namespace tevo
