// The real program's window in a private X server: started from a program
// folder of its own, driven with xdotool, photographed with ImageMagick and
// closed the way a window manager closes it.
#pragma once

#include "support/process.hpp"
#include "support/xserver.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tevo::test {

inline constexpr const char* kCaption = "Tevo v.0.7.4 beta";
// The window of the program folder's portrait layout.
inline constexpr int kWidth = 480;
inline constexpr int kHeight = 640;

struct Rect {
    int left, top, right, bottom;
};
inline constexpr Rect kWholeWindow{0, 0, kWidth, kHeight};

// A screenshot of the window: kWidth x kHeight pixels of 8-bit RGB.
struct Shot {
    std::vector<uint8_t> rgb;

    bool ok() const { return rgb.size() == static_cast<size_t>(kWidth * kHeight * 3); }
    // The pixel as 0xRRGGBB.
    uint32_t at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3;
        return static_cast<uint32_t>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    }
    // The share of the pixels of `r` that differ from `o`.
    double difference(const Shot& o, Rect r = kWholeWindow) const;
};

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts the program in `folder`, waits up to `timeoutMs` for its window
    // and gives it the keyboard.
    void startProgram(int timeoutMs);
    // Asks the window to close; the program must end with 0 in `timeoutMs`.
    void closeWindow(int timeoutMs);

    // The window id as xdotool and import take it.
    std::string hex() const;
    // Runs a tool against the X server and waits for it.
    void run(const std::vector<std::string>& argv);
    static void pause(int ms);
    void key(const std::string& name, int settleMs);
    void click(int x, int y, int settleMs);
    // Holds the first button from (x0, y0) to (x1, y1) in four moves.
    void drag(int x0, int y0, int x1, int y1, int settleMs);
    // The window now. When the environment's TEVO_SCREEN_SHOTS names a
    // folder, a shot given a `keep` name is also kept there as that PNG.
    Shot shot(const std::string& keep = {});

    XServer x;
    ProgramFolder folder;
    TempDir dir;
    std::unique_ptr<ChildProcess> tevo;
    Window window = 0;
};

} // namespace tevo::test
