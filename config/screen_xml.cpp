#include "config/screen_xml.hpp"

namespace tevo {

namespace {

// Element kinds of screen.xml.
enum Kind : int32_t {
    kOutside = 0,
    kResolution = 1,
    kWindowMode = 2,
    kMenu = 3,
    kWidth = 4,
    kHeight = 5,
    kBpp = 6,
    kSplashscreen = 7,
    kCoord = 8,
    kTextcoord = 9,
    kPointer = 10,
    kCompas = 11,
    kPointer2Dcoord = 12,
    kPointer3Dcoord = 13,
    kCompascoord = 14,
    kScalecoord = 15,
    kScalelength = 16,
    kPoi = 17,
    kPoisize = 18,
};

struct NamedKind {
    std::u16string_view name;
    Kind kind;
};

constexpr NamedKind kKinds[] = {
    {u"resolution", kResolution},
    {u"windowMode", kWindowMode},
    {u"menu", kMenu},
    {u"width", kWidth},
    {u"height", kHeight},
    {u"bpp", kBpp},
    {u"splashscreen", kSplashscreen},
    {u"coord", kCoord},
    {u"textcoord", kTextcoord},
    {u"pointer", kPointer},
    {u"compas", kCompas},
    {u"pointer2Dcoord", kPointer2Dcoord},
    {u"pointer3Dcoord", kPointer3Dcoord},
    {u"compascoord", kCompascoord},
    {u"scalecoord", kScalecoord},
    {u"scalelength", kScalelength},
    {u"poi", kPoi},
    {u"poisize", kPoisize},
};

Kind findKind(const char16_t* name) {
    const NamedKind* entry = findElement(kKinds, name);
    return entry ? entry->kind : kOutside;
}

// The entry's name is the first attribute's value, whatever it is called.
std::u16string firstAttributeValue(const char16_t** attributes) {
    if (attributes == nullptr || attributes[0] == nullptr || attributes[1] == nullptr) return {};
    return attributes[1];
}

} // namespace

ResolutionEntry cScreenXML::lookup(std::u16string_view name) const {
    for (const ResolutionEntry& entry : entries_) {
        if (entry.name == name) return entry;
    }
    return ResolutionEntry{};
}

void cScreenXML::startElement(const char16_t* name, const char16_t** attributes) {
    const Kind kind = findKind(name);
    switch (kind) {
    case kOutside:
        return; // unknown names leave the kind as it is
    case kResolution:
        current_ = ResolutionEntry{};
        current_.name = firstAttributeValue(attributes);
        current_.fullScreen = true;
        break;
    case kWindowMode:
        current_.fullScreen = false;
        break;
    default:
        break;
    }
    kind_ = kind;
}

void cScreenXML::endElement(const char16_t* name) {
    const Kind kind = findKind(name);
    if (kind == kResolution) {
        entries_.push_back(current_);
        kind_ = kOutside;
    } else if (kind != kOutside) {
        kind_ = kResolution;
    }
}

void cScreenXML::characterData(const char16_t* text, int length) {
    const std::u16string_view value = piece(text, length);
    switch (kind_) {
    case kMenu:
        current_.menu = value;
        break;
    case kSplashscreen:
        current_.splash = value;
        break;
    case kPointer:
        current_.pointer = value;
        break;
    case kCompas:
        current_.compass = value;
        break;
    case kPoi:
        current_.poi = value;
        break;
    case kWidth:
        current_.width = parseInt(value);
        break;
    case kHeight:
        current_.height = parseInt(value);
        break;
    case kBpp:
        current_.bpp = parseInt(value);
        break;
    case kScalelength:
        current_.scalelength = checked("scalelength", parseInt(value), 0, kScreenLimit, 0);
        break;
    default:
        readPosition(value);
        break;
    }
}

void cScreenXML::readPosition(std::u16string_view value) {
    // A position falls back to (0, 0) as a whole, the default of a layout.
    constexpr std::array<int32_t, 4> kNoQuad{};
    constexpr std::array<int32_t, 2> kNoPair{};
    switch (kind_) {
    case kCoord:
        current_.coord =
            checked("coord", parseIntQuad(value), -kScreenLimit, kScreenLimit, kNoQuad);
        break;
    case kTextcoord:
        current_.textcoord =
            checked("textcoord", parseIntQuad(value), -kScreenLimit, kScreenLimit, kNoQuad);
        break;
    case kPoisize:
        current_.poisize = checked("poisize", parseIntQuad(value), 0, kScreenLimit, kNoQuad);
        break;
    case kPointer2Dcoord:
        current_.pointer2Dcoord =
            checked("pointer2Dcoord", parseIntPair(value), -kScreenLimit, kScreenLimit, kNoPair);
        break;
    case kPointer3Dcoord:
        current_.pointer3Dcoord =
            checked("pointer3Dcoord", parseIntPair(value), -kScreenLimit, kScreenLimit, kNoPair);
        break;
    case kCompascoord:
        current_.compascoord =
            checked("compascoord", parseIntPair(value), -kScreenLimit, kScreenLimit, kNoPair);
        break;
    case kScalecoord:
        current_.scalecoord =
            checked("scalecoord", parseIntPair(value), -kScreenLimit, kScreenLimit, kNoPair);
        break;
    default:
        break; // resolution, windowMode and text outside any layout
    }
}

} // namespace tevo
