#include "tools/tvmc/coordinate_scan.hpp"

#include <osmium/io/any_compression.hpp>
#include <osmium/io/file.hpp>

#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <system_error>

namespace tevo::tvmc {

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;

// The value of attribute `name` in an XML tag (either quote), if present.
std::optional<std::string_view> attribute(std::string_view tag, std::string_view name) {
    for (std::size_t at = tag.find(name); at != std::string_view::npos;
         at = tag.find(name, at + 1)) {
        const std::size_t eq = at + name.size();
        const bool separate = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' ||
                                         tag[at - 1] == '\n' || tag[at - 1] == '\r');
        if (!separate || eq + 1 >= tag.size() || tag[eq] != '=') continue;
        const char quote = tag[eq + 1];
        if (quote != '"' && quote != '\'') continue;
        const std::size_t end = tag.find(quote, eq + 2);
        if (end == std::string_view::npos) return std::nullopt;
        return tag.substr(eq + 2, end - eq - 2);
    }
    return std::nullopt;
}

} // namespace

bool misreadCoordinate(std::string_view text, double limit) {
    if (text.find_first_of("eE") == std::string_view::npos) return false;
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    // A malformed text is refused by the parser itself, with a message.
    if (end != copy.c_str() + copy.size()) return false;
    return !std::isfinite(value) || std::fabs(value) > limit;
}

void CoordinateScan::feed(std::string_view chunk) {
    carry_.append(chunk);
    std::string_view text = carry_;
    std::size_t done = 0;
    for (std::size_t open = text.find('<'); open != std::string_view::npos;
         open = text.find('<', done)) {
        const std::size_t close = text.find('>', open);
        if (close == std::string_view::npos) break;
        const std::string_view tag = text.substr(open, close - open);
        if (tag.substr(0, 5) == "<node") checkNodeTag(tag);
        done = close + 1;
    }
    // Keep only an unfinished tag for the next piece.
    const std::size_t next = text.find('<', done);
    carry_.erase(0, next == std::string_view::npos ? text.size() : next);
}

void CoordinateScan::checkNodeTag(std::string_view tag) {
    const auto lat = attribute(tag, "lat");
    const auto lon = attribute(tag, "lon");
    const bool bad = (lat && misreadCoordinate(*lat, kMaxLatitude)) ||
                     (lon && misreadCoordinate(*lon, kMaxLongitude));
    if (!bad) return;
    const auto id = attribute(tag, "id");
    if (!id) return;
    const std::string copy(*id);
    misread_.insert(std::strtoll(copy.c_str(), nullptr, 10));
}

std::unordered_set<int64_t> scanMisreadNodes(const std::string& path) {
    const osmium::io::File file{path};
    if (file.format() != osmium::io::file_format::xml) return {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::system_error{errno, std::system_category(), "cannot open the file"};
    auto decompressor =
        osmium::io::CompressionFactory::instance().create_decompressor(file.compression(), fd);
    CoordinateScan scan;
    for (std::string chunk = decompressor->read(); !chunk.empty(); chunk = decompressor->read())
        scan.feed(chunk);
    decompressor->close();
    return scan.misread();
}

} // namespace tevo::tvmc
