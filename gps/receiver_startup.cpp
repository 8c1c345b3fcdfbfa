// The start-up paths of the receiver: the configured port, or detection
// (gpsd first, then every port at every rate), with their console lines and
// failure boxes.
#include "gps/plugin_registry.hpp"

#include "platform/message_box.hpp"
#include "platform/quit_request.hpp"
#include "platform/text.hpp"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tevo {

namespace {

void console(std::u16string_view text) {
    printWide(stdout, text);
    std::fflush(stdout);
}

// The program folder as a full path ending in '/', so that the box names
// files the user can find from anywhere.
std::string fullFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::path full =
        std::filesystem::absolute(folder.empty() ? "." : folder, error).lexically_normal();
    if (error) return folder;
    std::string text = full.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

} // namespace

void cPluginRegistry::install(cReceiverSearch::Found found, cPosition& reader) const {
    reader.api = receivers_[found.plugin];
    reader.source = std::move(found.source);
    reader.portNumber = found.portNumber;
    reader.baudRate = found.baudRate;
    // Said before the worker runs: from then on the source is the worker's.
    console(u" " + reader.source->name() + u"\n");
    reader.start();
}

void cPluginRegistry::reportFailure(std::u16string_view what, const cReceiverSearch& search) const {
    messageBox(std::u16string(what) + u"\n" + search.report().describe(fullFolder(settingsFolder_)),
               u"Error");
}

bool cPluginRegistry::openAndTest(int32_t baudRate, int32_t portNumber, cPosition& reader) {
    cReceiverSearch search(receivers_.data(), receiverCount_, cPosition::kBatchSize, settleMs_);
    cReceiverSearch::Found found = search.tryPort(portNumber, baudRate);
    if (!found) return false;
    install(std::move(found), reader);
    return true;
}

int32_t cPluginRegistry::detectReceiver(cPosition& reader) {
    cReceiverSearch search(receivers_.data(), receiverCount_, cPosition::kBatchSize, settleMs_);
    cReceiverSearch::Found found = search.scanPorts();
    if (!found) return 0;
    install(std::move(found), reader);
    return reader.portNumber;
}

bool cPluginRegistry::finishSearch(cReceiverSearch::Found found, const cReceiverSearch& search,
                                   cPosition& reader, std::u16string_view failure,
                                   std::u16string_view failureLine) const {
    if (found && !quitRequested()) {
        install(std::move(found), reader);
        return true;
    }
    // None answered. A program asked to end shows no box that waits for a click.
    reader.setSearching(false);
    if (quitRequested()) {
        console(u"\n");
        return false;
    }
    reportFailure(failure, search);
    console(failureLine);
    return false;
}

bool cPluginRegistry::openConfiguredReceiver(cPosition& reader, int32_t port, int32_t baudrate) {
    console(u"Open GPS...");
    reader.setSearching(true);
    cReceiverSearch search(receivers_.data(), receiverCount_, cPosition::kBatchSize, settleMs_);
    cReceiverSearch::Found found;
    if (receiverCount_ > 0) found = search.tryPort(port, baudrate);
    return finishSearch(std::move(found), search, reader, u"Can't open GPS", u"not Opened\n");
}

bool cPluginRegistry::detectConfiguredReceiver(cPosition& reader) {
    console(u"Detecting GPS...");
    reader.setSearching(true);
    cReceiverSearch search(receivers_.data(), receiverCount_, cPosition::kBatchSize, settleMs_);
    cReceiverSearch::Found found;
    if (receiverCount_ > 0) {
        found = search.tryGpsd(gpsd_);
        if (!found && !quitRequested()) found = search.scanPorts();
    }
    return finishSearch(std::move(found), search, reader, u"GPS Device Not Detected",
                        u"not Detected\n");
}

} // namespace tevo
