// The exported functions of the trackrec library: a position consumer that
// the host calls with every new fix.
#include "plugin-api/plugin_exports.hpp"
#include "plugins/trackrec/program_folder.hpp"
#include "plugins/trackrec/track_recorder.hpp"

#include <memory>
#include <string_view>

namespace {

using tevo::trackrec::TrackRecorder;

constexpr const char* kTracksFolder = "Tracks/";

std::unique_ptr<TrackRecorder> gRecorder;

} // namespace

int32_t PluginInit(const char16_t* path) {
    std::string folder;
    if (path != nullptr) {
        std::u16string_view wide(path);
        folder = tevo::trackrec::programFolderOf(tevo::trackrec::toUtf8(wide));
    }
    gRecorder = std::make_unique<TrackRecorder>(folder.empty() ? "" : folder + kTracksFolder);
    return 0;
}

int32_t PluginGetDetails() {
    return tevo::ConsumerA;
}

int32_t PluginSetGPSData(tevo::GpsData record) {
    if (gRecorder) gRecorder->add(record);
    return 0;
}

int32_t PluginDeInit() {
    gRecorder.reset();
    return 0;
}
