// Every test program runs with SDL's dummy video and audio drivers unless the
// caller chose others, and programs it starts under the sanitizers ignore the
// allocations that system libraries hold until exit.
#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("LSAN_OPTIONS", "suppressions=" TEVO_LSAN_SUPPRESSIONS ":print_suppressions=0", 0);
    }
};

const TestEnvironment environment;

} // namespace

// The same suppressions for the test program itself, which reads its options
// before any constructor runs.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libX11.so\nleak:libSDL-1.2.so\nleak:libSDL_ttf\nleak:libfontconfig.so\n"
           "leak:libfreetype.so\nleak:libasound.so\nleak:libdbus-1.so\nleak:libpulse\n";
}
