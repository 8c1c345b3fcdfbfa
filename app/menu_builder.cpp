#include "app/menu_builder.hpp"

#include "app/guidance_panel.hpp"

#include "config/menu_xml.hpp"
#include "platform/text.hpp"
#include "ui/button.hpp"
#include "ui/keyboard.hpp"
#include "ui/label.hpp"
#include "ui/list_view.hpp"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tevo {

namespace {

constexpr const char* kFontFile = "DejaVuSans.ttf";
constexpr int32_t kCentredBothWays = TextStyle::kAlignCentre | TextStyle::kAlignMiddle;
// The rows of the search results and their icons (pictures/search_kinds.png).
constexpr int32_t kResultRowHeight = 46;
constexpr int32_t kResultIconSize = 32;

struct BuildContext {
    ScreenSet& screens;
    SDL_Surface* video;
    const std::string& folder;
};

std::string fileOf(const BuildContext& c, const std::u16string& name) {
    return c.folder + toNarrow(name);
}

std::unique_ptr<TextStyle> makeFont(const BuildContext& c, int32_t size, uint32_t colour,
                                    int32_t alignment) {
    auto font = std::make_unique<TextStyle>();
    // A size of 0 or below cannot be opened; the font then draws nothing.
    if (size > 0) font->openFont(c.video, c.folder + kFontFile, size);
    font->setTarget(c.video);
    font->setColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    font->setBlended(true);
    font->setAlignment(alignment);
    return font;
}

std::unique_ptr<cControl> makeButton(const BuildContext& c, const MenuRecord& r) {
    auto button =
        std::make_unique<cButton>(r.position[0], r.position[1], 0, 0, c.video, fileOf(c, r.name));
    if (!r.icon.empty()) button->setIcon(fileOf(c, r.icon));
    if (button->hasImage()) button->setFont(c.screens.buttonFont.get());
    button->setCaption(r.text);
    c.screens.lookupCommand(r.callback, *button);
    return button;
}

std::unique_ptr<cControl> makeLabel(const BuildContext& c, const MenuRecord& r, TextStyle* font) {
    if (r.text == ScreenSet::kTurnToken)
        return makeTurnPicture(r.position[0], r.position[1], c.video, c.folder,
                               &c.screens.turnCell);
    auto label = std::make_unique<cLabel>(r.position[0], r.position[1], r.position[2],
                                          r.position[3], c.video);
    label->setFont(font);
    c.screens.bindLabelText(*label, r.text);
    return label;
}

// The rectangle of a keyboard or a result list (left, top, right, bottom),
// within the window: the keyboard draws its keys once into a picture of that
// size. False when nothing of it is left.
bool rectOf(const MenuRecord& r, const ControlRect& screen, ControlRect& rect) {
    rect =
        ControlRect{std::max(r.position[0], screen.left), std::max(r.position[1], screen.top),
                    std::min(r.position[2], screen.right), std::min(r.position[3], screen.bottom)};
    return rect.right > rect.left && rect.bottom > rect.top;
}

std::unique_ptr<cControl> makeKeyboard(const BuildContext& c, const MenuRecord& r,
                                       const ControlRect& screen) {
    ControlRect rect;
    if (!rectOf(r, screen, rect)) return nullptr;
    return std::make_unique<cKeyboard>(rect, c.video, fileOf(c, r.name),
                                       fileOf(c, r.pressedPicture));
}

std::unique_ptr<cControl> makeResults(const BuildContext& c, const MenuRecord& r,
                                      const ControlRect& screen) {
    ControlRect rect;
    if (!rectOf(r, screen, rect)) return nullptr;
    return std::make_unique<cListView>(rect, c.video, kResultRowHeight, fileOf(c, r.name),
                                       kResultIconSize);
}

std::unique_ptr<Picture> loadSatellite(const BuildContext& c, const std::u16string& name) {
    auto picture = std::make_unique<Picture>();
    picture->load(c.video, fileOf(c, name));
    picture->keyMagenta();
    return picture;
}

void takeSky(const BuildContext& c, const MenuRecord& r) {
    c.screens.activeSatellite = loadSatellite(c, r.activePicture);
    c.screens.inactiveSatellite = loadSatellite(c, r.inactivePicture);
    c.screens.sky = SkyEllipse{r.a, r.b, r.position[0], r.position[1]};
}

std::unique_ptr<cPanel> buildPanel(const BuildContext& c, const std::vector<MenuRecord>& records,
                                   const ControlRect& screen, TextStyle* labelFont, bool withSky) {
    auto panel =
        std::make_unique<cPanel>(screen.left, screen.top, screen.right, screen.bottom, c.video);
    for (const MenuRecord& r : records) {
        std::unique_ptr<cControl> control;
        if (r.type == MenuRecord::Button) control = makeButton(c, r);
        if (r.type == MenuRecord::Label) control = makeLabel(c, r, labelFont);
        if (r.type == MenuRecord::Keyboard) control = makeKeyboard(c, r, screen);
        if (r.type == MenuRecord::Results) control = makeResults(c, r, screen);
        if (r.type == MenuRecord::Sky && withSky) takeSky(c, r);
        if (!control) continue;
        // A screen holds a limited number of controls; the rest are named.
        if (!panel->add(std::move(control)))
            std::printf("Menu: more than %zu controls on a screen; the rest are left out\n",
                        cPanel::kControlLimit);
    }
    return panel;
}

} // namespace

void buildMenus(ScreenSet& screens, SDL_Surface* video, const std::string& programFolder,
                const std::string& menuPath, const ControlRect& screen) {
    // The file, then the fonts.
    cMenuXML menu;
    menu.parse(menuPath);
    const BuildContext c{screens, video, programFolder};
    screens.labelFont = makeFont(c, menu.labelFontSize, menu.labelColour, 0);
    screens.buttonFont = makeFont(c, menu.buttonFontSize, menu.buttonColour, kCentredBothWays);
    screens.blackLabelFont = makeFont(c, menu.labelFontSize, 0, 0);
    // The map screen always exists; its labels are black.
    screens.navigation =
        buildPanel(c, menu.navigation(), screen, screens.blackLabelFont.get(), false);
    // The other two only with controls.
    if (!menu.main().empty())
        screens.mainMenu = buildPanel(c, menu.main(), screen, screens.labelFont.get(), false);
    if (!menu.satellites().empty())
        screens.satellites =
            buildPanel(c, menu.satellites(), screen, screens.labelFont.get(), true);
    // The search screen, in the menu files that have one.
    if (!menu.search().empty())
        screens.search = buildPanel(c, menu.search(), screen, screens.labelFont.get(), false);
}

} // namespace tevo
