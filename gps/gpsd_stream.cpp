#include "gps/gpsd_stream.hpp"

#include <string_view>

namespace tevo {

namespace {

constexpr char kLineFeed = '\n';
constexpr std::string_view kDevices = "{\"class\":\"DEVICES\"";
constexpr std::string_view kNoDevices = "\"devices\":[]";

bool isSentence(std::string_view line) {
    return !line.empty() && (line[0] == '$' || line[0] == '!');
}

} // namespace

void GpsdStream::feed(const uint8_t* data, int32_t length, std::string& sentences) {
    if (data == nullptr) return;
    for (int32_t i = 0; i < length; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == kLineFeed) {
            line_ += c;
            if (!skipping_) takeLine(sentences);
            line_.clear();
            skipping_ = false;
        } else if (skipping_) {
            continue;
        } else if (line_.size() < kLongestLine) {
            line_ += c;
        } else {
            line_.clear();
            skipping_ = true;
        }
    }
}

void GpsdStream::takeLine(std::string& sentences) {
    if (isSentence(line_)) {
        sentences += line_;
        return;
    }
    // The device list, with which gpsd answers a watch.
    if (std::string_view(line_).substr(0, kDevices.size()) == kDevices) {
        noReceiver_ = line_.find(kNoDevices) != std::string::npos;
    }
}

void GpsdStream::reset() {
    line_.clear();
    skipping_ = false;
    noReceiver_ = false;
}

} // namespace tevo
