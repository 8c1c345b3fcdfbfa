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
#include <string>
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

// Width of a text in the font, in pixels.
int textWidth(TTF_Font* font, std::u16string_view text) {
    std::vector<Uint16> units(text.begin(), text.end());
    units.push_back(0);
    int w = 0, h = 0;
    return TTF_SizeUNICODE(font, units.data(), &w, &h) == 0 ? w : 0;
}

// The text's lines: cut at each '\n', and wrapped between words so that each
// fits `width` pixels (a single word wider than that keeps a line of its own).
std::vector<std::u16string> wrapLines(TTF_Font* font, std::u16string_view text, int width) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        std::u16string line;
        for (std::u16string_view rest = text.substr(start, end - start); !rest.empty();) {
            const std::size_t space = rest.find(u' ');
            const std::u16string_view word = rest.substr(0, space);
            const std::u16string joined =
                line.empty() ? std::u16string(word) : line + u" " + std::u16string(word);
            if (!line.empty() && textWidth(font, joined) > width) {
                lines.push_back(line);
                line = std::u16string(word);
            } else {
                line = joined;
            }
            rest =
                space == std::u16string_view::npos ? std::u16string_view{} : rest.substr(space + 1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void drawBox(SDL_Surface* screen, SDL_Surface* caption, const std::vector<SurfacePtr>& body,
             SDL_Surface* ok) {
    int textWidth = caption ? caption->w : 0;
    int textHeight = caption ? caption->h + kPadding / 4 : 0;
    for (const SurfacePtr& line : body) {
        textWidth = std::max(textWidth, line ? line->w : 0);
        textHeight += line ? line->h : kFontSize;
    }
    const int w = std::min<int>(screen->w - 8, std::max(textWidth, kButtonWidth) + 2 * kPadding);
    const int h = std::min<int>(screen->h - 8, textHeight + kButtonHeight + 3 * kPadding);
    SDL_Rect frame{static_cast<Sint16>((screen->w - w) / 2),
                   static_cast<Sint16>((screen->h - h) / 2), static_cast<Uint16>(w),
                   static_cast<Uint16>(h)};
    SDL_FillRect(screen, &frame, SDL_MapRGB(screen->format, 40, 40, 40));
    SDL_Rect inner{static_cast<Sint16>(frame.x + 2), static_cast<Sint16>(frame.y + 2),
                   static_cast<Uint16>(w - 4), static_cast<Uint16>(h - 4)};
    SDL_FillRect(screen, &inner, SDL_MapRGB(screen->format, 240, 240, 240));
    SDL_Rect button{static_cast<Sint16>(frame.x + (w - kButtonWidth) / 2),
                    static_cast<Sint16>(frame.y + h - kPadding - kButtonHeight), kButtonWidth,
                    kButtonHeight};
    // The lines that fit above the button; the rest is on standard error.
    int y = frame.y + kPadding;
    auto place = [&](SDL_Surface* line, int gap) {
        if (line && y + line->h <= button.y - kPadding / 2) {
            SDL_Rect at{static_cast<Sint16>(frame.x + kPadding), static_cast<Sint16>(y), 0, 0};
            SDL_BlitSurface(line, nullptr, screen, &at);
        }
        y += (line ? line->h : kFontSize) + gap;
    };
    place(caption, kPadding / 4);
    for (const SurfacePtr& line : body) place(line.get(), 0);
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
        std::vector<SurfacePtr> bodyLines;
        if (font) {
            const int width = screen->w - 8 - 2 * kPadding;
            for (const std::u16string& line : wrapLines(font.get(), text, width))
                bodyLines.push_back(renderText(font.get(), line));
        }
        SurfacePtr okText =
            renderText(font.get(), u"OK", TTF_STYLE_BOLD, SDL_Color{255, 255, 255, 0});
        drawBox(screen, captionText.get(), bodyLines, okText.get());
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
