#include "gps/gpsd_source.hpp"

#include "platform/text.hpp"

#include <array>

namespace tevo {

namespace {

// Watch mode with the receivers' sentences as they come.
constexpr std::string_view kWatchNmea = "?WATCH={\"enable\":true,\"nmea\":true}\n";
constexpr int kSendMs = 1000;
// A read error that is not the other end closing is tried again after this.
constexpr int kRetryMs = 100;
constexpr std::size_t kChunk = 4096;

} // namespace

cGpsdSource::cGpsdSource(GpsdPlace place) : place_(std::move(place)) {}

cGpsdSource::~cGpsdSource() {
    close();
}

bool cGpsdSource::open() {
    close();
    if (!connection_.connect(place_.host, place_.port, kConnectMs)) return false;
    if (!connection_.send(kWatchNmea, kSendMs)) {
        connection_.close();
        return false;
    }
    stream_.reset();
    noReceiver_ = false;
    startReader(0);
    return true;
}

void cGpsdSource::close() {
    stopReader();
    connection_.close();
}

std::u16string cGpsdSource::name() const {
    return formatWide(u"gpsd at %s:%d", toWide(place_.host), place_.port);
}

void cGpsdSource::readerLoop() {
    while (!stopping()) {
        const TcpConnection::Event event = connection_.wait();
        if (stopping() || event == TcpConnection::Event::Released) return;
        if (event == TcpConnection::Event::Gone) {
            // gpsd ended: wait to be closed, without spinning.
            noteGone();
            connection_.pause(kRetryMs);
            continue;
        }
        receive();
    }
}

void cGpsdSource::receive() {
    std::array<uint8_t, kChunk> chunk;
    const int32_t got = connection_.read(chunk.data(), static_cast<int32_t>(chunk.size()));
    if (got == 0) {
        connection_.pause(kRetryMs);
        return;
    }
    std::string sentences;
    stream_.feed(chunk.data(), got, sentences);
    noReceiver_ = stream_.noReceiver();
    if (sentences.empty()) return;
    append(reinterpret_cast<const uint8_t*>(sentences.data()),
           static_cast<int32_t>(sentences.size()));
    noteArrival();
}

} // namespace tevo
