#include "config/levels_xml.hpp"

#include <algorithm>
#include <limits>
#include <string_view>

namespace tevo {

namespace {

// Sections: where the last matching start or end tag left the reader.
enum Section : int32_t {
    kOutsideGroup = 1,
    kInGroup = 2,
    kInPoi = 3,
    kInPolyline = 4,
    kInPolygon = 5,
};

bool isSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A hexadecimal number scanned as a %x conversion does: white space, an
// optional sign and 0x, digits. False when there are no digits. Values beyond
// int32 saturate.
bool scanHex(std::u16string_view t, int32_t* value) {
    std::size_t i = 0;
    while (i < t.size() && isSpace(t[i])) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
    if (i + 2 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X') &&
        hexDigit(t[i + 2]) >= 0)
        i += 2;
    if (i >= t.size() || hexDigit(t[i]) < 0) return false;
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t v = 0;
    for (; i < t.size() && hexDigit(t[i]) >= 0; ++i) v = std::min(kMax, v * 16 + hexDigit(t[i]));
    *value = static_cast<int32_t>(negative ? -v : v);
    return true;
}

bool is(const char16_t* name, std::u16string_view wanted) {
    return name != nullptr && wanted == name;
}

// The group's priority is its first attribute's value, whatever it is called.
int32_t firstAttributeInt(const char16_t** attributes) {
    if (attributes == nullptr || attributes[0] == nullptr || attributes[1] == nullptr) return 0;
    return parseInt(attributes[1]);
}

} // namespace

void cLevelsXML::startElement(const char16_t* name, const char16_t** attributes) {
    if (is(name, u"levels")) {
        section_ = kOutsideGroup;
    } else if (is(name, u"hidepriority")) {
        current_ = {firstAttributeInt(attributes), 0};
        havePriority_ = true;
        if (maxPriority_ < current_.priority) maxPriority_ = current_.priority;
        section_ = kInGroup;
    } else if (is(name, u"poi")) {
        section_ = kInPoi;
    } else if (is(name, u"polyline")) {
        section_ = kInPolyline;
    } else if (is(name, u"polygon")) {
        section_ = kInPolygon;
    } else if (is(name, u"type")) {
        insideType_ = 1;
    }
}

void cLevelsXML::characterData(const char16_t* text, int length) {
    if (!insideType_) return;
    int32_t type = 0;
    if (scanHex(piece(text, length), &type)) current_.type = type;
}

void cLevelsXML::endElement(const char16_t* name) {
    if (is(name, u"levels") || is(name, u"hidepriority")) {
        section_ = kOutsideGroup;
    } else if (is(name, u"poi") || is(name, u"polyline") || is(name, u"polygon")) {
        section_ = kInGroup;
    } else if (is(name, u"type")) {
        insideType_ = 0;
        if (!havePriority_) return;
        if (section_ == kInPoi) poi_.push_back(current_);
        if (section_ == kInPolyline) polyline_.push_back(current_);
        if (section_ == kInPolygon) polygon_.push_back(current_);
    }
}

} // namespace tevo
