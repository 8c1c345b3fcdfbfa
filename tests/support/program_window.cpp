#include "support/program_window.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace tevo::test {

namespace {
// How long a tool (xdotool, import, convert) may take.
constexpr int kToolMs = 20000;
} // namespace

double Shot::difference(const Shot& o, Rect r) const {
    size_t n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += at(x, y) != o.at(x, y);
    return static_cast<double>(n) / ((r.right - r.left) * (r.bottom - r.top));
}

void ProgramWindow::SetUp() {
    if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
}

void ProgramWindow::startProgram(int timeoutMs) {
    tevo = std::make_unique<ChildProcess>(
        std::vector<std::string>{folder.program()},
        std::vector<std::string>{x.environment(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"});
    window = x.findWindow(kCaption, timeoutMs);
    ASSERT_NE(window, 0u) << tevo->output() << tevo->errors();
    run({"/usr/bin/xdotool", "windowfocus", "--sync", hex()});
}

void ProgramWindow::closeWindow(int timeoutMs) {
    x.requestClose(window);
    EXPECT_EQ(tevo->wait(timeoutMs), 0) << tevo->output() << tevo->errors();
}

std::string ProgramWindow::hex() const {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

void ProgramWindow::run(const std::vector<std::string>& argv) {
    ChildProcess p(argv, {x.environment()});
    p.wait(kToolMs);
}

void ProgramWindow::pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void ProgramWindow::key(const std::string& name, int settleMs) {
    run({"/usr/bin/xdotool", "key", name});
    pause(settleMs);
}

void ProgramWindow::click(int px, int py, int settleMs) {
    run({"/usr/bin/xdotool", "mousemove", "--window", hex(), std::to_string(px), std::to_string(py),
         "click", "1"});
    pause(settleMs);
}

void ProgramWindow::drag(int x0, int y0, int x1, int y1, int settleMs) {
    run({"/usr/bin/xdotool", "mousemove", "--window", hex(), std::to_string(x0), std::to_string(y0),
         "mousedown", "1"});
    for (int i = 1; i <= 4; ++i)
        run({"/usr/bin/xdotool", "mousemove", "--window", hex(),
             std::to_string(x0 + (x1 - x0) * i / 4), std::to_string(y0 + (y1 - y0) * i / 4)});
    run({"/usr/bin/xdotool", "mouseup", "1"});
    pause(settleMs);
}

Shot ProgramWindow::shot(const std::string& keep) {
    const std::string png = dir.file("shot.png"), raw = dir.file("shot.rgb");
    run({"/usr/bin/import", "-window", hex(), png});
    const char* keepIn = std::getenv("TEVO_SCREEN_SHOTS");
    if (keepIn != nullptr && !keep.empty())
        std::filesystem::copy_file(png, std::filesystem::path(keepIn) / keep,
                                   std::filesystem::copy_options::overwrite_existing);
    run({"/usr/bin/convert", png, "-depth", "8", "rgb:" + raw});
    const std::string bytes = readFile(raw);
    return {std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

} // namespace tevo::test
