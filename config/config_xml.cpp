#include "config/config_xml.hpp"

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
        port = parseInt(value);
        break;
    case kBaudrate:
        baudrate = parseInt(value);
        break;
    case kOrientation:
        orientation = parseInt(value);
        break;
    case kMinangle:
        minangle = parseInt(value);
        break;
    case kMinspeed:
        minspeed = parseInt(value);
        break;
    case kViewto:
        viewto = parseInt(value);
        break;
    case kAxy:
        axy = parseFloat(value);
        break;
    case kAyz:
        ayz = parseFloat(value);
        break;
    case kAyzuser:
        ayzuser = parseFloat(value);
        break;
    case kScale:
        scale = parseFloat(value);
        break;
    case kScaleuser:
        scaleuser = parseFloat(value);
        break;
    case kViewpos:
        viewpos = parseIntPair(value);
        break;
    case kMapposabs:
        mapposabs = parseFloatPair(value);
        break;
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
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const std::string text = render();
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    // A full disk may only show when the file is closed.
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

} // namespace tevo
