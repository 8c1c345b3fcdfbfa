#include "config/gpsd_xml.hpp"

#include "platform/text.hpp"

#include <string_view>

namespace tevo {

namespace {

enum Kind : int32_t { kOutside = 0, kUse = 1, kHost = 2, kPort = 3 };

struct NamedKind {
    std::u16string_view name;
    Kind kind;
};

constexpr NamedKind kKinds[] = {{u"use", kUse}, {u"host", kHost}, {u"port", kPort}};

constexpr int32_t kLastPort = 65535;

} // namespace

void cGpsdXML::startElement(const char16_t* name, const char16_t**) {
    if (const NamedKind* entry = findElement(kKinds, name)) kind_ = entry->kind;
}

void cGpsdXML::endElement(const char16_t*) {
    kind_ = kOutside;
}

void cGpsdXML::characterData(const char16_t* text, int length) {
    const std::u16string_view value = piece(text, length);
    switch (kind_) {
    case kUse:
        use = parseInt(value) != 0;
        break;
    case kHost:
        host = toNarrow(value);
        break;
    case kPort:
        if (const int32_t p = parseInt(value); p >= 1 && p <= kLastPort) port = p;
        break;
    default:
        break;
    }
}

} // namespace tevo
