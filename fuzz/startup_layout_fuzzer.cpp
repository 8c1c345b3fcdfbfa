// screen.xml through the start-up steps that act on it: the layout chosen,
// the window opened with its size and depth (SDL's dummy driver), and the
// first picture presented. Catches layouts whose numbers the window or the
// drawing cannot take.
#include "fuzz/fuzz_support.hpp"

#include "app/startup.hpp"
#include "platform/message_box.hpp"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    tevo::setMessageBoxesDrawn(false);
    return 0;
}

// What SDL and the system libraries keep until exit is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libSDL-1.2.so\nleak:libSDL_ttf\nleak:libfontconfig.so\nleak:libfreetype.so\n"
           "leak:libasound.so\nleak:libX11.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string folder = tevo::fuzz::scratchFolder() + "/";
    if (!tevo::fuzz::writeFile(folder + "screen.xml", data, size)) return 0;
    tevo::AppState app;
    app.programFolder = folder;
    if (!tevo::initSdl()) return 0;
    tevo::selectLayout(app);
    tevo::reportLayout(app);
    if (tevo::openWindow(app)) tevo::presentScreen(app);
    app.screen = nullptr; // freed by SDL_Quit
    SDL_Quit();
    return 0;
}
