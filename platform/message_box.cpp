// The message box: the text always goes to standard error; with a real
// window open it is also drawn over the window until the user answers.
#include "platform/message_box.hpp"

#include "platform/clock.hpp"
#include "platform/quit_request.hpp"
#include "platform/regular_file.hpp"
#include "platform/text.hpp"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace tevo {

namespace {

bool gDrawn = true;
std::string gFontPath;

constexpr int kFontSize = 14;
constexpr int kPadding = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr uint32_t kPollMs = 10;

bool canDraw(SDL_Surface* screen) {
    if (!gDrawn || !screen) return false;
    char driver[32] = {};
    if (!SDL_VideoDriverName(driver, sizeof driver)) return false;
    return std::strcmp(driver, "dummy") != 0;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

struct FontCloser {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};

// Renders the text as UCS-2 (surrogates cannot be drawn by the font API).
SurfacePtr renderText(TTF_Font* font, std::u16string_view text, int style = TTF_STYLE_NORMAL,
                      SDL_Color colour = SDL_Color{0, 0, 0, 0}) {
    if (!font || text.empty()) return nullptr;
    std::vector<Uint16> units(text.begin(), text.end());
    units.push_back(0);
    TTF_SetFontStyle(font, style);
    return SurfacePtr(TTF_RenderUNICODE_Blended(font, units.data(), colour));
}

void drawBox(SDL_Surface* screen, SDL_Surface* caption, SDL_Surface* body, SDL_Surface* ok) {
    const int textWidth = std::max(caption ? caption->w : 0, body ? body->w : 0);
    const int w = std::min<int>(screen->w - 8, std::max(textWidth, kButtonWidth) + 2 * kPadding);
    const int textHeight = (caption ? caption->h : 0) + (body ? body->h : 0);
    const int h =
        std::min<int>(screen->h - 8, textHeight + kButtonHeight + 3 * kPadding + kPadding / 4);
    SDL_Rect frame{static_cast<Sint16>((screen->w - w) / 2),
                   static_cast<Sint16>((screen->h - h) / 2), static_cast<Uint16>(w),
                   static_cast<Uint16>(h)};
    SDL_FillRect(screen, &frame, SDL_MapRGB(screen->format, 40, 40, 40));
    SDL_Rect inner{static_cast<Sint16>(frame.x + 2), static_cast<Sint16>(frame.y + 2),
                   static_cast<Uint16>(w - 4), static_cast<Uint16>(h - 4)};
    SDL_FillRect(screen, &inner, SDL_MapRGB(screen->format, 240, 240, 240));
    int y = frame.y + kPadding;
    for (SDL_Surface* line : {caption, body}) {
        if (!line) continue;
        SDL_Rect at{static_cast<Sint16>(frame.x + kPadding), static_cast<Sint16>(y), 0, 0};
        SDL_BlitSurface(line, nullptr, screen, &at);
        y += line->h + kPadding / 4;
    }
    SDL_Rect button{static_cast<Sint16>(frame.x + (w - kButtonWidth) / 2),
                    static_cast<Sint16>(frame.y + h - kPadding - kButtonHeight), kButtonWidth,
                    kButtonHeight};
    SDL_FillRect(screen, &button, SDL_MapRGB(screen->format, 70, 110, 180));
    if (ok) {
        SDL_Rect at{static_cast<Sint16>(button.x + (kButtonWidth - ok->w) / 2),
                    static_cast<Sint16>(button.y + (kButtonHeight - ok->h) / 2), 0, 0};
        SDL_BlitSurface(ok, nullptr, screen, &at);
    }
    SDL_Flip(screen);
}

// Waits for a click, Enter or Escape. A close request is put back on the
// queue so that the program still sees it; a signal to end also ends the wait.
void waitForAnswer() {
    while (!quitRequested()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                SDL_PushEvent(&event);
                return;
            }
            if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) return;
            if (event.type == SDL_KEYDOWN) {
                const SDLKey key = event.key.keysym.sym;
                if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE) return;
            }
        }
        sleepMs(kPollMs);
    }
}

void showInWindow(SDL_Surface* screen, std::u16string_view text, std::u16string_view caption) {
    // Keep what was on screen, to put it back afterwards.
    SurfacePtr saved(SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE));
    std::unique_ptr<TTF_Font, FontCloser> font;
    const bool ttfStarted = !TTF_WasInit() && TTF_Init() == 0;
    if (TTF_WasInit() && !gFontPath.empty()) font.reset(openFontFile(gFontPath, kFontSize));
    {
        SurfacePtr captionText = renderText(font.get(), caption, TTF_STYLE_BOLD);
        SurfacePtr bodyText = renderText(font.get(), text);
        SurfacePtr okText =
            renderText(font.get(), u"OK", TTF_STYLE_BOLD, SDL_Color{255, 255, 255, 0});
        drawBox(screen, captionText.get(), bodyText.get(), okText.get());
    }
    waitForAnswer();
    font.reset();
    if (ttfStarted) TTF_Quit();
    if (saved) {
        SDL_BlitSurface(saved.get(), nullptr, screen, nullptr);
        SDL_Flip(screen);
    }
}

} // namespace

void setMessageBoxesDrawn(bool drawn) {
    gDrawn = drawn;
}

void setMessageBoxFont(const std::string& path) {
    gFontPath = path;
}

void messageBox(std::u16string_view text, std::u16string_view caption) {
    printWide(stderr, formatWide(u"%s: %s\n", caption, text));
    SDL_Surface* screen = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetVideoSurface() : nullptr;
    if (canDraw(screen)) showInWindow(screen, text, caption);
}

} // namespace tevo
