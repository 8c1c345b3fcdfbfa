// The navigator's entry point.
#include "app/probe_entry.hpp"
#include "app/startup.hpp"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    // A trial start of one plug-in for the plug-in host; _exit keeps the
    // plug-in's leftovers from running at exit.
    if (const auto code = tevo::runProbeIfAsked(argc, argv)) _exit(*code);
    // Progress lines appear at once, also when the console is a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    tevo::AppState app;
    if (const auto code = tevo::startUp(app, argv[0])) return *code;
    tevo::runMainLoop(app);
    return tevo::shutDown(app);
}
