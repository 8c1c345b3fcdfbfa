// The navigator's entry point.
#include "app/startup.hpp"

#include <cstdio>

int main(int /*argc*/, char** argv) {
    // Progress lines appear at once, also when the console is a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    tevo::AppState app;
    if (const auto code = tevo::startUp(app, argv[0])) return *code;
    tevo::runMainLoop(app);
    return tevo::shutDown(app);
}
