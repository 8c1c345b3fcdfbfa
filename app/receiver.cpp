// The receiver side of the shell: the plug-in registry, the reader and the
// last position and satellite table taken from the plug-in.
#include "app/receiver.hpp"

#include "app/follower.hpp"
#include "app/probe_entry.hpp"
#include "app/screen_steps.hpp"
#include "app/startup.hpp"

#include "config/gpsd_xml.hpp"
#include "gps/plugin_registry.hpp"
#include "gps/position.hpp"
#include "platform/clock.hpp"
#include "platform/serial_device.hpp"

#include <algorithm>

namespace tevo {

// The registry comes first so that it is destroyed last: the plug-ins stay
// loaded until the reader's threads have ended.
struct ReceiverState {
    cPluginRegistry registry;
    std::unique_ptr<cPosition> gpsReader;
};

void ReceiverStateDeleter::operator()(ReceiverState* state) const {
    delete state;
}

namespace {

bool receiverRuns(const AppState& app) {
    return app.receiver && app.receiver->gpsReader && app.receiver->gpsReader->running();
}

// Where detection looks for gpsd: gpsd.xml of the program folder.
GpsdPlace gpsdPlace(const AppState& app) {
    cGpsdXML file;
    file.parse(app.pathOf("gpsd.xml"));
    return GpsdPlace{file.use, file.host, file.port};
}

} // namespace

void loadReceiverPlugins(AppState& app) {
    if (!app.receiver) app.receiver.reset(new ReceiverState);
    app.receiver->registry.setProbe(makePluginProbe());
    app.receiver->registry.loadPlugins(app.pathOf("Plugins/"));
}

void startReceiver(AppState& app) {
    if (!app.receiver) app.receiver.reset(new ReceiverState);
    ReceiverState& receiver = *app.receiver;
    setSerialPortsFolder(app.programFolder);
    receiver.gpsReader = std::make_unique<cPosition>();
    cPosition& reader = *receiver.gpsReader;
    receiver.registry.setGpsd(gpsdPlace(app));
    receiver.registry.setSettingsFolder(app.programFolder);
    if (app.settings.port != 0 && app.settings.baudrate != 0) {
        receiver.registry.openConfiguredReceiver(reader, app.settings.port, app.settings.baudrate);
        return;
    }
    receiver.registry.detectConfiguredReceiver(reader);
    // The next start takes the configured path exactly when a receiver was found.
    app.settings.port = reader.portNumber;
    app.settings.baudrate = reader.baudRate;
}

void receiverStep(AppState& app) {
    LoopState& loop = app.loop;
    // A new position?
    loop.newFixThisPass = false;
    if (!receiverRuns(app)) return;
    ReceiverState& receiver = *app.receiver;
    const PluginApi& api = receiver.gpsReader->api;
    loop.newFixThisPass = api.PluginIsPositionUpdated();
    // Take it; a position with a fix goes to the consumers.
    if (loop.newFixThisPass) {
        receiver.registry.readGpsData(*receiver.gpsReader, loop.position);
        receiver.gpsReader->noteRecord(loop.position, ticks());
        followRecord(app, loop.position, RecordSource::Receiver);
        if (loop.position.fix != FixNone) receiver.registry.notifyConsumers(loop.position);
    } else {
        // Between records the view glides on.
        continueTransition(app);
    }
    // A complete satellite table.
    if (api.PluginSatellitesUpDated()) {
        loop.satelliteCount = 0;
        api.PluginGetSSI(loop.satellites.data(), &loop.satelliteCount);
        // The count is the satellites in view, which may exceed the table.
        loop.satelliteCount = std::clamp(loop.satelliteCount, 0, kSatelliteSlots);
        updateSatelliteTexts(app);
        // The map screen redraws with the view; the other two show the table now.
        if (!onNavigationScreen(app)) presentScreen(app);
    }
}

void stopReceiver(AppState& app) {
    // The reader's threads end here; the plug-ins stay loaded until exit.
    if (app.receiver) app.receiver->gpsReader.reset();
}

ReceiverStatus receiverStatus(const AppState& app) {
    if (!app.receiver || !app.receiver->gpsReader) return {};
    return app.receiver->gpsReader->status();
}

} // namespace tevo
