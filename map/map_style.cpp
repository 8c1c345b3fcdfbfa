#include "map/map_style.hpp"

#include "platform/regular_file.hpp"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace tevo {

namespace {

enum Section { kNone, kPolylines, kPolygons };
constexpr std::string_view kPolylinesHeader = "[POLYLINES]";
constexpr std::string_view kPolygonsHeader = "[POLYGONS]";
constexpr int kLineFields = 7;
// A style file is a few kilobytes; reading it whole must not cost gigabytes.
constexpr std::size_t kMaxStyleBytes = 1 << 20;
constexpr LineStyle kOutsideLineStyle{1, 1, 1, 0xFF, 0, 0, 0};
const AreaStyle kOutsideAreaStyle{-1, 0, 0, {}};

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// A hexadecimal number read the way a %x conversion reads it: leading white
// space, an optional sign and 0x prefix, then digits up to the first other
// character. No digits give 0; too many digits wrap.
int32_t readHex(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i + 2 < t.size() && t[i] == '0' && (t[i + 1] | 0x20) == 'x' && isHexDigit(t[i + 2])) i += 2;
    uint32_t v = 0;
    for (; i < t.size() && isHexDigit(t[i]); ++i)
        v = v * 16 + static_cast<uint32_t>(hexValue(t[i]));
    return static_cast<int32_t>(negative ? 0u - v : v);
}

// Takes numbers off the front of a style line: each is the text up to the
// next space; the number and one space are removed, so two spaces in a row
// give an extra 0. An exhausted line gives 0.
class NumberReader {
public:
    explicit NumberReader(std::string_view rest) : rest_(rest) {}
    int32_t next() {
        const std::size_t space = rest_.find(' ');
        const std::string_view token = rest_.substr(0, space);
        rest_ = space == std::string_view::npos ? std::string_view{} : rest_.substr(space + 1);
        return readHex(token);
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

} // namespace

uint16_t linePattern(int32_t code) {
    if (code == 1) return kPatternDashed;
    if (code == 2) return kPatternDotted;
    return kPatternSolid;
}

bool cMapStyle::load(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(openRegularStream(path), std::fclose);
    if (!f) return false;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f.get())) > 0;) {
        if (text.size() + n > kMaxStyleBytes) {
            std::printf("%s is larger than %zu bytes; only its start is read\n", path.c_str(),
                        kMaxStyleBytes);
            std::fflush(stdout);
            break;
        }
        text.append(buf, n);
    }
    parse(text);
    return true;
}

void cMapStyle::parse(std::string_view text) {
    int section = kNone;
    while (!text.empty()) {
        // A line ends at LF (CR LF too); the last line needs no line end.
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Blank lines are skipped; a section header starts its section.
        if (line.empty()) continue;
        if (line == kPolylinesHeader) {
            section = kPolylines;
        } else if (line == kPolygonsHeader) {
            section = kPolygons;
        } else if (section != kNone) {
            parseLine(line, section);
        }
    }
}

void cMapStyle::parseLine(std::string_view line, int section) {
    // Leading spaces, the comment, nothing left.
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    line = line.substr(0, line.find(';'));
    if (line.empty()) return;
    NumberReader numbers(line);
    if (section == kPolylines) {
        int32_t v[kLineFields];
        for (int32_t& x : v) x = numbers.next();
        if (v[0] < 0 || v[0] >= kLineTypes) return;
        lines_[v[0]] = {v[0], v[1], std::max(v[2], 0), v[3], v[4], std::max(v[5], 0), v[6]};
        return;
    }
    const int32_t type = numbers.next();
    const int32_t flag = numbers.next();
    AreaStyle style{type, flag, 0, {}};
    if (flag != 0)
        style.text = std::string(numbers.rest());
    else
        style.colour = numbers.next();
    if (type >= 0 && type < kAreaTypes) areas_[type] = std::move(style);
}

LineStyle cMapStyle::lineStyle(int32_t type) const {
    if (type < 0 || type >= kLineTypes) return kOutsideLineStyle;
    return lines_[type];
}

const AreaStyle& cMapStyle::areaStyle(int32_t type) const {
    if (type < 0 || type >= kAreaTypes) return kOutsideAreaStyle;
    return areas_[type];
}

} // namespace tevo
