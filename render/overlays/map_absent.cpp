#include "render/overlays/map_absent.hpp"

#include "platform/text.hpp"
#include "ui/text_style.hpp"

#include <SDL_ttf.h>

#include <string_view>

namespace tevo {

namespace {

constexpr std::u16string_view kNoMapRussian = u"\u041D\u0435\u0442 \u0444\u0430\u0439\u043B\u0430 "
                                              u"\u043A\u0430\u0440\u0442\u044B";
constexpr std::u16string_view kNoMapEnglish = u"Map's file is absent";
constexpr std::u16string_view kOutOfMap =
    u"\u0412\u043D\u0435 \u043A\u0430\u0440\u0442\u044B/Out of map";
constexpr const char* kMapFileName = "map.tvm";

struct Size {
    int w = 0;
    int h = 0;
};

Size measure(const TextStyle& font, std::u16string_view text) {
    const std::u16string terminated(text);
    Size size;
    if (TTF_SizeUNICODE(font.font(), reinterpret_cast<const Uint16*>(terminated.c_str()), &size.w,
                        &size.h) != 0)
        return {};
    return size;
}

// Draws with the top-left corner given, whatever alignment the style has.
void drawAt(TextStyle& font, std::u16string_view text, int32_t left, int32_t top) {
    const int32_t alignment = font.alignment();
    font.setAlignment(0);
    font.drawText(text, left, top);
    font.setAlignment(alignment);
}

} // namespace

void drawMapAbsent(TextStyle& font, ScreenPoint principal, const std::string& programFolder) {
    if (!font.font()) return;
    const std::u16string path = toWide(programFolder + kMapFileName);
    const Size first = measure(font, kNoMapRussian);
    const Size second = measure(font, kNoMapEnglish);
    const Size third = measure(font, path);
    const int32_t top = principal.y - first.h / 2;
    drawAt(font, kNoMapRussian, principal.x - first.w / 2, top);
    drawAt(font, kNoMapEnglish, principal.x - second.w / 2, top + first.h);
    drawAt(font, path, principal.x - third.w / 2, top + first.h + 2 * third.h);
}

void drawOutOfMap(TextStyle& font, ScreenPoint principal) {
    if (!font.font()) return;
    const Size size = measure(font, kOutOfMap);
    drawAt(font, kOutOfMap, principal.x - size.w / 2, principal.y - size.h / 2);
}

} // namespace tevo
