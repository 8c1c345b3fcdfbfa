#include "app/search_screen.hpp"

#include "app/screen_steps.hpp"
#include "app/startup.hpp"
#include "platform/text.hpp"
#include "platform/utf.hpp"
#include "render/view/map_view.hpp"
#include "ui/keyboard.hpp"
#include "ui/label.hpp"
#include "ui/list_view.hpp"
#include "ui/text_style.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tevo {

void SearchStateDeleter::operator()(SearchState* state) const {
    delete state;
}

namespace {

// The state the keyboard's and the list's callbacks act on.
AppState* searchTarget = nullptr;

constexpr const char16_t* kFieldToken = u"@SEARCH@";
constexpr char16_t kCursor = u'|';
// How much of the map a chosen name shows across the window, in metres.
constexpr float kPlaceAcross = 4000.0f;
constexpr float kStreetAcross = 800.0f;
// The list's own lines.
constexpr const char16_t* kNoIndex = u"Нет указателя имён";
constexpr const char16_t* kNothingFound = u"Ничего не найдено";
// The second line of a row: smaller and dimmer than the name.
constexpr int32_t kDetailSizeDrop = 3;
constexpr uint8_t kDetailGrey[3] = {0x9f, 0xb3, 0xc4};

KeyboardRow letters(std::u16string_view keys) {
    KeyboardRow row;
    for (char16_t c : keys) row.push_back({std::u16string(1, c), c, 1});
    return row;
}

// The last row of a layout: the other layout's key, space, erase and clear.
KeyboardRow controlRow(std::u16string_view otherLayout) {
    return {{std::u16string(otherLayout), SearchKeySwitch, 2},
            {u"", u' ', 6},
            {u"⌫", SearchKeyErase, 2},
            {u"✕", SearchKeyClear, 2}};
}

std::vector<KeyboardLayout> keyboardLayouts() {
    const KeyboardRow digits = letters(u"1234567890-'");
    return {
        {digits, letters(u"qwertyuiop"), letters(u"asdfghjkl"), letters(u"zxcvbnm"),
         controlRow(u"АБВ")},
        {digits, letters(u"йцукенгшщзхъ"), letters(u"фывапролджэ"), letters(u"ячсмитьбюё"),
         controlRow(u"ABC")},
    };
}

// The panel's keyboard, list and the label that names the field's token.
void findControls(const cPanel& panel, SearchState& s) {
    for (std::size_t i = 0; i < panel.count(); ++i) {
        cControl* c = panel.control(i);
        if (auto* k = dynamic_cast<cKeyboard*>(c); k && !s.keyboard) s.keyboard = k;
        if (auto* l = dynamic_cast<cListView*>(c); l && !s.list) s.list = l;
        auto* label = dynamic_cast<cLabel*>(c);
        if (label && !s.field && label->text() && *label->text() == kFieldToken) s.field = label;
    }
}

void keyPressed(int32_t code) {
    if (searchTarget) typeSearchKey(*searchTarget, code);
}

void rowChosen(int32_t row) {
    if (searchTarget) chooseSearchResult(*searchTarget, row);
}

std::unique_ptr<TextStyle> makeDetailFont(const AppState& app, const TextStyle* title) {
    auto font = std::make_unique<TextStyle>();
    const int32_t size = title ? title->size() - kDetailSizeDrop : 0;
    if (size > 0) font->openFont(app.screen, app.pathOf("DejaVuSans.ttf"), size);
    font->setTarget(app.screen);
    font->setColour(kDetailGrey[0], kDetailGrey[1], kDetailGrey[2]);
    font->setBlended(true);
    return font;
}

} // namespace

void attachSearchScreen(AppState& app) {
    if (!app.screens || !app.screens->search) return;
    ScreenSet& screens = *app.screens;
    app.search.reset(new SearchState);
    SearchState& s = *app.search;
    searchTarget = &app;
    findControls(*screens.search, s);
    s.shown = std::u16string(1, kCursor);
    if (s.field) s.field->setSharedText(&s.shown);
    if (s.keyboard) {
        s.keyboard->setFont(screens.buttonFont.get());
        s.keyboard->setLayouts(keyboardLayouts());
        s.keyboard->setCallback(keyPressed);
    }
    if (s.list) {
        s.detailFont = makeDetailFont(app, screens.labelFont.get());
        s.list->setFonts(screens.labelFont.get(), s.detailFont.get());
        s.list->setCallback(rowChosen);
    }
}

namespace {

void openIndex(AppState& app, SearchState& s) {
    s.indexTried = true;
    std::string error;
    const std::string path = app.pathOf("map.tvn");
    if (!s.index.open(path, &error)) {
        std::printf("Search: %s\n", error.c_str());
        return;
    }
    // An index left from a map of another region would find places the
    // map does not show.
    const int32_t* b = s.index.bounds();
    const MapView* view = app.mapView.get();
    if (s.index.entryCount() > 0 && view && view->mapOpen() &&
        !overlaps({b[0], b[1], b[2], b[3]}, view->mapExtent())) {
        std::printf("Search: %s: its places lie off the map (compiled for another map?)\n",
                    path.c_str());
        s.index.close();
        return;
    }
    s.query = std::make_unique<search::cNameQuery>(s.index);
}

// Distances from the vehicle when there is a fix, else from what the view
// looks at: the free point, or the followed point of a view still waiting.
void setOrigin(const AppState& app, SearchState& s) {
    if (!s.query || !app.mapView) return;
    const ViewState& v = app.mapView->state();
    const bool fix = !v.noFix && v.followed.isSet();
    const ViewPoint& looked = v.freeView && v.freePoint.isSet() ? v.freePoint : v.followed;
    const ViewPoint& p = fix ? v.followed : looked;
    if (!p.isSet()) return;
    double lon = unitsToDegrees(p.x);
    if (lon > 180) lon -= 360;
    s.query->setOrigin(lon, unitsToDegrees(p.y));
}

ListRow rowOf(const search::NameHit& hit) {
    ListRow row;
    row.icon = static_cast<int32_t>(hit.kind);
    row.title = toWide(hit.name);
    row.detail = formatDistance(hit.metres);
    if (!hit.town.empty()) row.detail = toWide(hit.town) + u"  ·  " + row.detail;
    return row;
}

// The field shows the text with its cursor; the list the best names for it.
void refresh(SearchState& s) {
    s.shown = s.typed + kCursor;
    s.hits.clear();
    if (s.query) s.hits = s.query->search(std::u16string_view(s.typed));
    if (!s.list) return;
    std::vector<ListRow> rows;
    rows.reserve(s.hits.size());
    for (const search::NameHit& hit : s.hits) rows.push_back(rowOf(hit));
    s.list->setRows(std::move(rows));
    if (!s.query)
        s.list->setEmptyText(kNoIndex);
    else
        s.list->setEmptyText(
            s.typed.find_first_not_of(u' ') == std::u16string::npos ? u"" : kNothingFound);
}

void eraseLast(std::u16string& text) {
    if (text.empty()) return;
    const bool pair = text.size() >= 2 && text.back() >= 0xDC00 && text.back() <= 0xDFFF;
    text.resize(text.size() - (pair ? 2 : 1));
}

} // namespace

void openSearchScreen(AppState& app) {
    if (!app.search || !app.screens) return;
    SearchState& s = *app.search;
    if (!s.indexTried) openIndex(app, s);
    setOrigin(app, s);
    refresh(s);
    app.screens->showScreen(ScreenSearch);
}

bool onSearchScreen(const AppState& app) {
    return app.screens && app.search && app.screens->currentScreen == ScreenSearch;
}

void typeSearchKey(AppState& app, int32_t code) {
    if (!app.search) return;
    SearchState& s = *app.search;
    switch (code) {
    case SearchKeyNone:
        return;
    case SearchKeySwitch:
        if (s.keyboard) s.keyboard->showLayout(s.keyboard->shownLayout() == 0 ? 1 : 0);
        return;
    case SearchKeyErase:
        eraseLast(s.typed);
        break;
    case SearchKeyClear:
        s.typed.clear();
        break;
    default:
        // Characters only, no control codes; the field holds a line.
        if (code < 0x20 || code == 0x7F || code > 0x10FFFF) return;
        if (s.typed.size() + (code > 0xFFFF ? 2 : 1) > SearchState::kTypedLimit) return;
        utf::appendUtf16(s.typed, static_cast<char32_t>(code));
        break;
    }
    // The vehicle may have moved since the last key.
    setOrigin(app, s);
    refresh(s);
}

void chooseSearchResult(AppState& app, int32_t row) {
    if (!app.search || !app.mapView || !app.screens) return;
    SearchState& s = *app.search;
    if (row < 0 || static_cast<std::size_t>(row) >= s.hits.size()) return;
    const search::NameHit hit = s.hits[static_cast<std::size_t>(row)];
    MapView& view = *app.mapView;
    // As a tap on the map: the view is kept for the return button, which
    // shows, and the user browses from here.
    if (returnButtonHidden(app)) {
        view.saveView();
        showReturnButton(app);
    }
    app.viewMovedByUser = true;
    const bool place = hit.kind == search::NameKind::Place;
    view.showPlace(hit.x, hit.y, place ? kPlaceAcross : kStreetAcross);
    app.screens->showScreen(ScreenNavigation);
}

bool handleSearchKey(AppState& app, const SDL_keysym& key) {
    if (!onSearchScreen(app)) return false;
    switch (key.sym) {
    case SDLK_ESCAPE:
        app.screens->showScreen(ScreenNavigation);
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        chooseSearchResult(app, 0);
        break;
    case SDLK_BACKSPACE:
        typeSearchKey(app, SearchKeyErase);
        break;
    default:
        // Keys that type nothing (function keys, arrows) act as elsewhere.
        if (key.unicode < 0x20 || key.unicode == 0x7F) return false;
        typeSearchKey(app, key.unicode);
        break;
    }
    presentScreen(app);
    return true;
}

std::u16string formatDistance(double metres) {
    if (!std::isfinite(metres) || metres < 0) return {};
    metres = std::min(metres, 4.0e7); // no two points of the Earth lie farther apart
    if (metres < 995) return formatWide(u"%d м", static_cast<int>(std::lround(metres / 10) * 10));
    const long tenths = std::lround(metres / 100);
    if (tenths < 100)
        return formatWide(u"%d,%d км", static_cast<int>(tenths / 10),
                          static_cast<int>(tenths % 10));
    return formatWide(u"%d км", static_cast<int>(std::lround(metres / 1000)));
}

} // namespace tevo
