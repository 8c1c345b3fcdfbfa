// The exported functions of the Sentrix library, stamped out from the
// template every receiver plug-in shares.
#include "plugin-api/receiver_exports.hpp"
#include "plugins/nmea/receiver_state.hpp"

namespace {

struct Sentrix {
    using State = tevo::sentrix::ReceiverState;
    static constexpr int32_t kMinimumBytes = 150;
    static constexpr char16_t kDescription[] = u"Sentrix";

    static bool detect(const uint8_t* data, uint32_t length) {
        return tevo::sentrix::detectReceiver(data, length);
    }
    static void push(State& state, const uint8_t* data, int32_t length) {
        tevo::sentrix::pushBytes(state, data, length);
    }
    // The satellites in view, which may be more than the table holds.
    static int32_t satelliteCount(const State& state) { return state.inView; }
};

} // namespace

TEVO_RECEIVER_PLUGIN_EXPORTS(Sentrix)

// The path kept by PluginInit; for the tests of the library.
TEVO_PLUGIN_EXPORT const char16_t* SentrixKeptPath() {
    return tevo::ReceiverExports<Sentrix>::path;
}
