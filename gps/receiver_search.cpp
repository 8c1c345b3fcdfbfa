// Finding the receiver: one port at one rate, the scan over every port and
// rate, and the two start-up paths.
#include "gps/plugin_registry.hpp"

#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/quit_request.hpp"
#include "platform/text.hpp"

#include <algorithm>
#include <cstdio>

namespace tevo {

namespace {

void console(std::u16string_view text) {
    printWide(stdout, text);
    std::fflush(stdout);
}

void reportFound(const cPosition& reader) {
    console(formatWide(u" COM%d at %d bps\n", reader.portNumber, reader.baudRate));
}

} // namespace

bool cPluginRegistry::openAndTest(int32_t baudRate, int32_t portNumber, cPosition& reader) {
    if (reader.api.PluginGetMinimumBytes == nullptr || reader.api.PluginDetectReceiver == nullptr) {
        return false;
    }
    if (!reader.port->open(portNumber, baudRate)) return false;
    // Let the receiver talk for a while.
    if (sleepUnlessQuit(settleMs_)) {
        reader.port->close();
        return false;
    }
    // Take a sample; a plug-in cannot ask for more than a batch holds.
    int32_t wanted = std::clamp(reader.api.PluginGetMinimumBytes(), 0, cPosition::kBatchSize);
    int32_t got = reader.port->takeBytes(wanted, reader.batch->data());
    console(formatWide(u" readed: %d\n", got));
    // A silent port is closed at once.
    if (got == 0) {
        reader.port->close();
        return false;
    }
    // A port that answered but was not recognised stays open until the next open.
    if (!reader.api.PluginDetectReceiver(reader.batch->data(), static_cast<uint32_t>(got))) {
        return false;
    }
    reader.portNumber = portNumber;
    reader.baudRate = reader.port->baudRate();
    return true;
}

int32_t cPluginRegistry::detectReceiver(cPosition& reader) {
    for (int32_t portNumber = kFirstPort; portNumber <= kLastPort; ++portNumber) {
        for (int32_t rate : kDetectRates) {
            if (quitRequested()) return 0;
            if (!openAndTest(rate, portNumber, reader)) continue;
            reader.start();
            return portNumber;
        }
    }
    return 0;
}

bool cPluginRegistry::openConfiguredReceiver(cPosition& reader, int32_t port, int32_t baudrate) {
    console(u"Open GPS...");
    // Each receiver plug-in in load order.
    for (int32_t i = 0; i < receiverCount_ && !quitRequested(); ++i) {
        reader.api = receivers_[i];
        if (!openAndTest(baudrate, port, reader)) continue;
        reader.start();
        reportFound(reader);
        return true;
    }
    // None answered. A program asked to end shows no box that waits for a click.
    reader.api = PluginApi{};
    reader.port->close();
    if (quitRequested()) {
        console(u"\n");
        return false;
    }
    messageBox(u"Can't open GPS", u"Error");
    console(u"not Opened\n");
    return false;
}

bool cPluginRegistry::detectConfiguredReceiver(cPosition& reader) {
    console(u"Detecting GPS...");
    // The whole port scan with each receiver plug-in in turn.
    for (int32_t i = 0; i < receiverCount_ && !quitRequested(); ++i) {
        reader.api = receivers_[i];
        if (detectReceiver(reader) == 0) continue;
        reportFound(reader);
        return true;
    }
    // None found. A program asked to end shows no box that waits for a click.
    reader.api = PluginApi{};
    reader.port->close();
    if (quitRequested()) {
        console(u"\n");
        return false;
    }
    messageBox(u"GPS Device Not Detected", u"Error");
    console(u"not Detected\n");
    return false;
}

} // namespace tevo
