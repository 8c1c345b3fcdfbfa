// tvmrender: draws one frame of a program folder's map headless and writes
// it as PNG, or times frames along a fixed flight (--bench).
#include "tools/tvmrender/bench.hpp"
#include "tools/tvmrender/frames.hpp"
#include "tools/tvmrender/options.hpp"
#include "tools/tvmrender/png_writer.hpp"

#include "map/track_log.hpp"

#include <cstdio>

using namespace tevo;

int main(int argc, char** argv) {
    RenderOptions options;
    if (!parseOptions(argc, argv, options)) return 2;
    RenderSession session;
    if (!openSession(options.folder, options.width, options.height, session)) return 1;
    float middle[2]{};
    if (options.haveRoute && !loadRoute(options, session, middle)) return 1;
    if (options.bench) return runBench(session, options.haveRoute ? middle : nullptr);
    for (const std::string& track : options.tracks)
        if (!loadTrackFile(track, session.view->tracks())) {
            std::fprintf(stderr, "tvmrender: cannot read the track %s\n", track.c_str());
            return 1;
        }
    Mode mode = Mode::Raised;
    modeFromName(options.mode, mode);
    placeView(*session.view, options.longitude, options.latitude, options.metresPerPixel, mode,
              options.yaw, options.tilt);
    session.view->drawFrame();
    if (!writePng(session.screen, options.output)) {
        std::fprintf(stderr, "tvmrender: cannot write %s\n", options.output.c_str());
        return 1;
    }
    return 0;
}
