#include "config/menu_xml.hpp"

namespace tevo {

namespace {

// Element kinds inside a section.
enum Kind : int32_t {
    kNone = 0,
    kColor = 1,
    kButton = 2,
    kLabel = 3,
    kCoord = 4,
    kIco = 5,
    kText = 6,
    kSky = 7,
    kActive = 8,
    kInactive = 9,
    kCenter = 10,
    kA = 11,
    kB = 12,
    kCallback = 13,
    kKeyboard = 14,
    kResults = 15,
    kPressed = 16,
};

struct NamedKind {
    std::u16string_view name;
    Kind kind;
};

constexpr NamedKind kKinds[] = {
    {u"color", kColor},
    {u"button", kButton},
    {u"label", kLabel},
    {u"coord", kCoord},
    {u"ico", kIco},
    {u"text", kText},
    {u"sky", kSky},
    {u"active", kActive},
    {u"inactive", kInactive},
    {u"center", kCenter},
    {u"a", kA},
    {u"b", kB},
    {u"callback", kCallback},
    {u"keyboard", kKeyboard},
    {u"results", kResults},
    {u"pressed", kPressed},
};

struct NamedSection {
    std::u16string_view name;
    int32_t section;
};

constexpr NamedSection kSections[] = {
    {u"navigationscreen", cMenuXML::SectionNavigation},
    {u"main", cMenuXML::SectionMain},
    {u"satellites", cMenuXML::SectionSatellites},
    {u"fontbutton", cMenuXML::SectionFontButton},
    {u"fontlabel", cMenuXML::SectionFontLabel},
    {u"search", cMenuXML::SectionSearch},
};

std::u16string_view firstAttributeValue(const char16_t** attributes) {
    if (attributes == nullptr || attributes[0] == nullptr || attributes[1] == nullptr) return {};
    return attributes[1];
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Up to four comma-separated numbers: a keyboard's or a result list's left,
// top, right and bottom. Missing numbers are 0.
std::array<int32_t, 4> parseRect(std::u16string_view text) {
    std::array<int32_t, 4> out{};
    for (int32_t& value : out) {
        const std::size_t comma = text.find(u',');
        value = parseInt(text.substr(0, comma));
        if (comma == std::u16string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return out;
}

} // namespace

uint32_t parseHexColour(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        hexDigit(text[i + 2]) >= 0)
        i += 2;
    uint32_t value = 0;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i)
        value = (value << 4) | static_cast<uint32_t>(hexDigit(text[i]));
    return value;
}

std::vector<MenuRecord>* cMenuXML::sectionList() {
    switch (section_) {
    case SectionNavigation:
        return &navigation_;
    case SectionMain:
        return &main_;
    case SectionSatellites:
        return &satellites_;
    case SectionSearch:
        return &search_;
    default:
        return nullptr; // records inside a font element are dropped
    }
}

void cMenuXML::startElement(const char16_t* name, const char16_t** attributes) {
    if (const NamedSection* s = findElement(kSections, name)) {
        section_ = s->section;
        // A size beyond any screen's text would cost the font's glyphs
        // hundreds of megabytes.
        const auto size = [&](const char* element) {
            return checked(element, parseInt(firstAttributeValue(attributes)), 0, kLargestFontSize,
                           kDefaultFontSize);
        };
        if (section_ == SectionFontButton) buttonFontSize = size("fontbutton");
        if (section_ == SectionFontLabel) labelFontSize = size("fontlabel");
        return;
    }
    const NamedKind* entry = findElement(kKinds, name);
    if (entry == nullptr) return; // unknown names change nothing
    switch (entry->kind) {
    case kButton:
        record_ = MenuRecord{};
        record_.type = MenuRecord::Button;
        record_.name = firstAttributeValue(attributes);
        break;
    case kLabel:
        record_ = MenuRecord{};
        record_.type = MenuRecord::Label;
        break;
    case kSky:
        record_ = MenuRecord{};
        record_.type = MenuRecord::Sky;
        break;
    case kKeyboard:
    case kResults:
        record_ = MenuRecord{};
        record_.type = entry->kind == kKeyboard ? MenuRecord::Keyboard : MenuRecord::Results;
        record_.name = firstAttributeValue(attributes);
        break;
    default:
        break;
    }
    kind_ = entry->kind;
}

void cMenuXML::endElement(const char16_t* name) {
    if (const NamedSection* s = findElement(kSections, name)) {
        // The end of a screen with sky or controls keeps the section: only
        // the main menu, the fonts and the search screen close theirs.
        if (s->section == SectionMain || s->section == SectionFontButton ||
            s->section == SectionFontLabel || s->section == SectionSearch)
            section_ = SectionNone;
        return;
    }
    const NamedKind* entry = findElement(kKinds, name);
    if (entry == nullptr) return;
    switch (entry->kind) {
    case kButton:
    case kLabel:
    case kSky:
    case kKeyboard:
    case kResults:
        if (std::vector<MenuRecord>* list = sectionList()) list->push_back(record_);
        kind_ = kNone;
        break;
    case kColor:
        kind_ = kNone;
        break;
    case kActive:
    case kInactive:
    case kCenter:
    case kA:
    case kB:
        kind_ = kSky;
        break;
    default:
        kind_ = kButton; // coord, ico, text, callback, pressed
        break;
    }
}

void cMenuXML::characterData(const char16_t* text, int length) {
    const std::u16string_view value = piece(text, length);
    switch (kind_) {
    case kColor:
        if (section_ == SectionFontButton) buttonColour = parseHexColour(value);
        if (section_ == SectionFontLabel) labelColour = parseHexColour(value);
        break;
    case kCoord:
    case kCenter: {
        const bool rect =
            record_.type == MenuRecord::Keyboard || record_.type == MenuRecord::Results;
        record_.position = checked("coord", rect ? parseRect(value) : parseIntQuad(value),
                                   -kScreenLimit, kScreenLimit, std::array<int32_t, 4>{});
        break;
    }
    case kIco:
        record_.icon = value;
        break;
    case kText:
        record_.text = value;
        break;
    case kActive:
        record_.activePicture = value;
        break;
    case kInactive:
        record_.inactivePicture = value;
        break;
    case kA:
        record_.a = checked("a", parseInt(value), 0, kScreenLimit, 0);
        break;
    case kB:
        record_.b = checked("b", parseInt(value), 0, kScreenLimit, 0);
        break;
    case kCallback:
        record_.callback = value;
        break;
    case kPressed:
        record_.pressedPicture = value;
        break;
    default:
        break; // containers ignore text
    }
}

} // namespace tevo
