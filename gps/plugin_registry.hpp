// The plug-in host: finds the plug-ins of a folder, binds their functions,
// finds the receiver with them and hands new positions to the consumers.
// It owns the libraries for the whole run; the reader (cPosition) must be
// destroyed before the registry so that no thread is inside a plug-in when
// it is unloaded.
#pragma once

#include "gps/gpsd_source.hpp"
#include "gps/plugin_probe.hpp"
#include "gps/position.hpp"
#include "gps/receiver_search.hpp"
#include "platform/shared_library.hpp"
#include "plugin-api/plugin_api.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tevo {

class cPluginRegistry {
public:
    static constexpr int32_t kSlots = 30;
    // How long a freshly opened port collects bytes before they are judged.
    static constexpr uint32_t kSettleMs = 2000;

    cPluginRegistry();
    ~cPluginRegistry();
    cPluginRegistry(const cPluginRegistry&) = delete;
    cPluginRegistry& operator=(const cPluginRegistry&) = delete;

    // Loads Plugins/<name>/<name>.so for every folder <name> of `folder`.
    // Problems are shown in message boxes. Always 1.
    int32_t loadPlugins(const std::string& folder);
    // Tells every library to clean up and unloads it.
    void unloadPlugins();

    // Opens one port at one rate and offers its sample to every receiver
    // plug-in in load order; the first that recognises it gets the reader,
    // whose worker starts.
    bool openAndTest(int32_t baudRate, int32_t portNumber, cPosition& reader);
    // Scans COM1 to COM64 at each rate (receiver_search.hpp); starts the
    // worker on success. The port found, 0 for none.
    int32_t detectReceiver(cPosition& reader);
    // The start-up paths: the port from the settings, or detection (gpsd
    // first, then the ports). Print their console lines and show the
    // failure boxes, which say what was tried. True when a receiver runs.
    bool openConfiguredReceiver(cPosition& reader, int32_t port, int32_t baudrate);
    bool detectConfiguredReceiver(cPosition& reader);

    // Where detection looks for gpsd; by default it does not.
    void setGpsd(const GpsdPlace& place) { gpsd_ = place; }
    // The program folder, whose config.xml and gpsd.xml the failure boxes name.
    void setSettingsFolder(const std::string& folder) { settingsFolder_ = folder; }

    // The reader's current record; all zero when the plug-in has no getter.
    GpsData& readGpsData(const cPosition& reader, GpsData& destination) const;
    // Hands a record to every consumer, kind 4 first, each list in load order.
    void notifyConsumers(const GpsData& record) const;

    int32_t receiverCount() const { return receiverCount_; }
    const PluginApi& receiver(int32_t index) const { return receivers_[index]; }
    int32_t consumerCountA() const { return consumerCountA_; }
    int32_t consumerCountB() const { return consumerCountB_; }
    int32_t libraryCount() const;

    // With a probe, every library is tried by it first, and one whose
    // PluginInit crashes or does not return is skipped with a message box.
    // Without one (the default) libraries are loaded untried.
    void setProbe(std::unique_ptr<cPluginProbe> probe) { probe_ = std::move(probe); }

    // Tests shorten the settle time of detection.
    void setSettleTime(uint32_t milliseconds) { settleMs_ = milliseconds; }

private:
    // False when the probe found the library broken (and said so).
    bool passesProbe(const std::string& path);
    // Binds one loaded library; false when its slot is to be used again.
    bool bindLibrary(SharedLibrary& library, const std::string& path);
    void bindReceiver(SharedLibrary& library, const std::u16string& widePath);
    void bindConsumer(SharedLibrary& library, int32_t kind);

    std::u16string folder_;
    std::array<std::unique_ptr<SharedLibrary>, kSlots> libraries_;
    int32_t consumerCountA_ = 0;
    int32_t consumerCountB_ = 0;
    int32_t receiverCount_ = 0;
    std::array<PluginSetGPSDataFn, kSlots> consumersA_{};
    std::array<PluginSetGPSDataFn, kSlots> consumersB_{};
    std::array<PluginApi, kSlots> receivers_{};
    // Gives the reader what a search found and starts its worker.
    void install(cReceiverSearch::Found found, cPosition& reader) const;
    // The failure box: `what` and the lines of what the search tried.
    void reportFailure(std::u16string_view what, const cReceiverSearch& search) const;
    // Installs what the search found, or says that it found nothing: the box
    // `failure` and the console line `failureLine`. True when a receiver runs.
    bool finishSearch(cReceiverSearch::Found found, const cReceiverSearch& search,
                      cPosition& reader, std::u16string_view failure,
                      std::u16string_view failureLine) const;

    uint32_t settleMs_ = kSettleMs;
    std::unique_ptr<cPluginProbe> probe_;
    GpsdPlace gpsd_;
    std::string settingsFolder_;
};

} // namespace tevo
