#include "config/config_xml.hpp"

#include "platform/file_output.hpp"

#include <cstdio>
#include <locale>
#include <sstream>
#include <string_view>

namespace tevo {

namespace {

// Element kinds of config.xml.
enum Kind : int32_t {
    kOutside = 0,
    kDevice = 1,
    kPort = 2,
    kBaudrate = 3,
    kNavigation = 4,
    kOrientation = 5,
    kMinangle = 6,
    kMinspeed = 7,
    kAxy = 8,
    kAyz = 9,
    kAyzuser = 10,
    kScale = 11,
    kScaleuser = 12,
    kViewpos = 13,
    kMapposabs = 14,
    kViewto = 15,
};

struct NamedKind {
    std::u16string_view name;
    Kind kind;
    // The kind that the end tag returns to: outside, or back inside navigation.
    Kind parent;
};

// The ranges of the settings: the receiver's ports and rates, angles in
// degrees, and the view's own zoom limits (0.1 m to 19110 km a pixel).
constexpr int32_t kLastPort = 64;
constexpr int32_t kFastestBaudrate = 4000000;
constexpr int32_t kDegreesInTurn = 360;
constexpr int32_t kFastestKmh = 1000;
constexpr float kTurn = 360.0f;
constexpr float kHalfTurn = 180.0f;
constexpr float kRightAngle = 90.0f;
constexpr float kSmallestScale = 1.0f / 19110000.0f;
constexpr float kLargestScale = 10.0f;
constexpr float kSmallestScaleuser = 0.0001f;
constexpr float kLargestScaleuser = 10000.0f;
// Two turns of longitude in map units.
constexpr int32_t kMapUnitLimit = 1 << 27;

constexpr NamedKind kKinds[] = {
    {u"device", kDevice, kOutside},
    {u"port", kPort, kOutside},
    {u"baudrate", kBaudrate, kOutside},
    {u"navigation", kNavigation, kOutside},
    {u"orientation", kOrientation, kOutside},
    {u"minangle", kMinangle, kNavigation},
    {u"minspeed", kMinspeed, kNavigation},
    {u"axy", kAxy, kNavigation},
    {u"ayz", kAyz, kNavigation},
    {u"ayzuser", kAyzuser, kNavigation},
    {u"scale", kScale, kNavigation},
    {u"scaleuser", kScaleuser, kNavigation},
    {u"viewpos", kViewpos, kNavigation},
    {u"mapposabs", kMapposabs, kNavigation},
    {u"viewto", kViewto, kNavigation},
};

} // namespace

void cConfigXML::startElement(const char16_t* name, const char16_t**) {
    if (const NamedKind* entry = findElement(kKinds, name)) kind_ = entry->kind;
}

void cConfigXML::endElement(const char16_t* name) {
    if (const NamedKind* entry = findElement(kKinds, name)) kind_ = entry->parent;
}

void cConfigXML::characterData(const char16_t* text, int length) {
    const std::u16string_view value = piece(text, length);
    switch (kind_) {
    case kPort:
        port = checked("port", parseInt(value), 0, kLastPort, 0);
        break;
    case kBaudrate:
        baudrate = checked("baudrate", parseInt(value), 0, kFastestBaudrate, 0);
        break;
    case kOrientation:
        orientation = parseInt(value);
        break;
    case kMinangle:
        minangle = checked("minangle", parseInt(value), 0, kDegreesInTurn, kDefaultThreshold);
        break;
    case kMinspeed:
        minspeed = checked("minspeed", parseInt(value), 0, kFastestKmh, kDefaultThreshold);
        break;
    case kViewto:
        viewto = parseInt(value);
        break;
    default:
        readViewValue(value);
        break;
    }
}

void cConfigXML::readViewValue(std::u16string_view value) {
    switch (kind_) {
    case kAxy:
        axy = checked("axy", parseFloat(value), -kTurn, kTurn, 0.0f);
        break;
    case kAyz:
        ayz = checked("ayz", parseFloat(value), 0.0f, kRightAngle, kDefaultAyz);
        break;
    case kAyzuser:
        ayzuser = checked("ayzuser", parseFloat(value), -kRightAngle, kRightAngle, kDefaultAyzuser);
        break;
    case kScale: {
        // Negative: no view stored; 0: the fitted zoom stays.
        const float v = parseFloat(value);
        scale = v <= 0 ? v : checked("scale", v, kSmallestScale, kLargestScale, kDefaultScale);
        break;
    }
    case kScaleuser:
        scaleuser = checked("scaleuser", parseFloat(value), kSmallestScaleuser, kLargestScaleuser,
                            kDefaultScaleuser);
        break;
    case kViewpos:
        viewpos =
            checked("viewpos", parseIntPair(value), -kMapUnitLimit, kMapUnitLimit, kUnsetViewpos);
        break;
    case kMapposabs: {
        // Longitudes west of Greenwich may count on to 360, as on the map.
        std::array<float, 2> v = parseFloatPair(value);
        if (v != kUnknownPosition &&
            (checked("mapposabs", v[0], -kHalfTurn, kTurn, kUnknownDegrees) == kUnknownDegrees ||
             checked("mapposabs", v[1], -kRightAngle, kRightAngle, kUnknownDegrees) ==
                 kUnknownDegrees))
            v = kUnknownPosition;
        mapposabs = v;
        break;
    }
    default:
        break; // containers and text outside any setting
    }
}

std::string cConfigXML::render() const {
    std::ostringstream out;
    // Default stream notation (6 significant digits) with '.', whatever the locale.
    out.imbue(std::locale::classic());
    out << "<?xml version=\"1.0\"?>\n"
        << "<config>\n"
        << "\t<device>\n"
        << "\t\t<port>" << port << "</port>\n"
        << "\t\t<baudrate>" << baudrate << "</baudrate>\n"
        << "\t</device>\n"
        << "\t<navigation>\n"
        << "\t\t<minangle>" << minangle << "</minangle>\n"
        << "\t\t<minspeed>" << minspeed << "</minspeed>\n"
        << "\t\t<viewpos>" << viewpos[0] << "," << viewpos[1] << "</viewpos>\n"
        << "\t\t<mapposabs>" << mapposabs[0] << "," << mapposabs[1] << "</mapposabs>\n"
        << "\t\t<viewto>" << viewto << "</viewto>\n"
        << "\t\t<scale>" << scale << "</scale>\n"
        << "\t\t<scaleuser>" << scaleuser << "</scaleuser>\n"
        << "\t\t<axy>" << axy << "</axy>\n"
        << "\t\t<ayz>" << ayz << "</ayz>\n"
        << "\t\t<ayzuser>" << ayzuser << "</ayzuser>\n"
        << "\t</navigation>\n"
        << "</config>\n";
    return out.str();
}

bool cConfigXML::write(const std::string& path) const {
    // Never through a link, never half written; a plain file stays the same
    // file (platform/file_output.hpp).
    std::string error;
    if (writeWholeFile(path, render(), &error)) return true;
    std::printf("The settings are not saved: %s\n", error.c_str());
    std::fflush(stdout);
    return false;
}

} // namespace tevo
