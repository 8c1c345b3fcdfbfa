// The exported functions of the Gnss library, stamped out from the template
// every receiver plug-in shares.
#include "plugin-api/receiver_exports.hpp"
#include "plugins/gnss/line_parser.hpp"

namespace {

struct Gnss {
    using State = tevo::gnss::GnssState;
    // Detection judges this many bytes: more than a second of a receiver's
    // output, so that a sample never holds only the GPS part of a
    // multi-system cycle.
    static constexpr int32_t kMinimumBytes = 1024;
    static constexpr char16_t kDescription[] = u"Gnss";

    static bool detect(const uint8_t* data, uint32_t length) {
        return tevo::gnss::detectReceiver(data, length);
    }
    static void push(State& state, const uint8_t* data, int32_t length) {
        tevo::gnss::pushBytes(state, data, length);
    }
    // The records filled (at most 24), not every satellite in view: only
    // those records mean anything.
    static int32_t satelliteCount(const State& state) { return state.satelliteCount; }
};

} // namespace

TEVO_RECEIVER_PLUGIN_EXPORTS(Gnss)
