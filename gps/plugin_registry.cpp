#include "gps/plugin_registry.hpp"

#include "platform/clock.hpp"
#include "platform/directory.hpp"
#include "platform/message_box.hpp"
#include "platform/text.hpp"

#include <algorithm>
#include <cstdio>

namespace tevo {

namespace {

constexpr char16_t kLoadFailed[] = u"Error while load DLL";
constexpr char16_t kIncompatible[] = u"Incopatible DLL";
constexpr char16_t kIncomplete[] = u"Isn't support all needed functions";
constexpr char16_t kInitCrashed[] = u"PluginInit crashed";
constexpr char16_t kInitHangs[] = u"PluginInit does not return";
constexpr const char* kLibrarySuffix = ".so";

} // namespace

cPluginRegistry::cPluginRegistry() = default;

cPluginRegistry::~cPluginRegistry() {
    unloadPlugins();
}

int32_t cPluginRegistry::libraryCount() const {
    int32_t n = 0;
    for (const auto& library : libraries_) n += library != nullptr;
    return n;
}

int32_t cPluginRegistry::loadPlugins(const std::string& folder) {
    // 1. Keep the folder.
    folder_ = toWidePath(folder);
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base += '/';
    // 2. Every folder not beginning with '.' holds one plug-in of its name.
    for (const DirEntry& entry : listDirectory(folder)) {
        if (!entry.isDirectory || entry.name.empty() || entry.name[0] == '.') continue;
        std::string path = base + entry.name + "/" + entry.name + kLibrarySuffix;
        auto slot = std::find(libraries_.begin(), libraries_.end(), nullptr);
        if (slot == libraries_.end()) {
            std::printf("Too many plug-ins, skipped: %s\n", path.c_str());
            std::fflush(stdout);
            continue;
        }
        // 3. Load into the next free slot; a failed library gives it back.
        //    A library whose trial start broke is not loaded at all.
        if (!passesProbe(path)) continue;
        auto library = std::make_unique<SharedLibrary>();
        if (!library->open(path)) {
            messageBox(toWide(path), kLoadFailed);
            continue;
        }
        if (bindLibrary(*library, path)) *slot = std::move(library);
    }
    // 4. A missing or empty folder reports nothing.
    return 1;
}

bool cPluginRegistry::passesProbe(const std::string& path) {
    if (!probe_) return true;
    const ProbeResult result = probe_->probe(path);
    if (result == ProbeResult::Passed) return true;
    const char16_t* problem = result == ProbeResult::Crashed ? kInitCrashed : kInitHangs;
    std::printf("%s, skipped: %s\n", toNarrow(problem).c_str(), path.c_str());
    std::fflush(stdout);
    messageBox(toWide(path), problem);
    return false;
}

bool cPluginRegistry::bindLibrary(SharedLibrary& library, const std::string& path) {
    auto init = library.function<PluginInitFn>(kPluginInitName);
    auto details = library.function<PluginGetDetailsFn>(kPluginGetDetailsName);
    std::u16string widePath = toWidePath(path);
    if (init == nullptr || details == nullptr) {
        messageBox(widePath, kIncompatible);
        return false; // unloaded with its SharedLibrary
    }
    init(widePath.c_str());
    int32_t kind = details();
    if (kind == Receiver) bindReceiver(library, widePath);
    if (kind == ConsumerA || kind == ConsumerB) bindConsumer(library, kind);
    return true;
}

void cPluginRegistry::bindReceiver(SharedLibrary& library, const std::u16string& widePath) {
    if (receiverCount_ >= kSlots) return;
    PluginApi& api = receivers_[receiverCount_];
    void* found[7];
    bool complete = true;
    for (int i = 0; i < 7; ++i) {
        found[i] = library.symbol(kReceiverExportNames[i]);
        complete = complete && found[i] != nullptr;
    }
    api.PluginGetMinimumBytes = reinterpret_cast<PluginGetMinimumBytesFn>(found[0]);
    api.PluginDetectReceiver = reinterpret_cast<PluginDetectReceiverFn>(found[1]);
    api.PluginPushData = reinterpret_cast<PluginPushDataFn>(found[2]);
    api.PluginIsPositionUpdated = reinterpret_cast<PluginIsPositionUpdatedFn>(found[3]);
    api.PluginGetGPSData = reinterpret_cast<PluginGetGPSDataFn>(found[4]);
    api.PluginSatellitesUpDated = reinterpret_cast<PluginSatellitesUpDatedFn>(found[5]);
    api.PluginGetSSI = reinterpret_cast<PluginGetSSIFn>(found[6]);
    if (complete) {
        ++receiverCount_;
    } else {
        messageBox(widePath, kIncomplete);
    }
}

void cPluginRegistry::bindConsumer(SharedLibrary& library, int32_t kind) {
    auto set = library.function<PluginSetGPSDataFn>(kPluginSetGPSDataName);
    if (kind == ConsumerA && consumerCountA_ < kSlots) consumersA_[consumerCountA_++] = set;
    if (kind == ConsumerB && consumerCountB_ < kSlots) consumersB_[consumerCountB_++] = set;
}

void cPluginRegistry::unloadPlugins() {
    for (auto& library : libraries_) {
        if (!library) continue;
        if (auto deInit = library->function<PluginDeInitFn>(kPluginDeInitName)) deInit();
        library.reset();
    }
    receiverCount_ = consumerCountA_ = consumerCountB_ = 0;
    receivers_ = {};
    consumersA_ = {};
    consumersB_ = {};
    folder_.clear();
}

GpsData& cPluginRegistry::readGpsData(const cPosition& reader, GpsData& destination) const {
    GpsData scratch{};
    if (reader.api.PluginGetGPSData != nullptr) {
        destination = *reader.api.PluginGetGPSData(&scratch);
    } else {
        destination = GpsData{};
    }
    return destination;
}

void cPluginRegistry::notifyConsumers(const GpsData& record) const {
    for (int32_t i = 0; i < consumerCountA_; ++i) {
        if (consumersA_[i] != nullptr) consumersA_[i](record);
    }
    for (int32_t i = 0; i < consumerCountB_; ++i) {
        if (consumersB_[i] != nullptr) consumersB_[i](record);
    }
}

} // namespace tevo
