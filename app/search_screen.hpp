// The search screen: a text field, an on-screen keyboard with a Latin and a
// Cyrillic layout (the physical keyboard types into the field too) and the
// best names of the map's name index for the text typed so far, found again
// with every key. A chosen name is shown on the map in the free view, with
// the tap marker on it.
#pragma once

#include "app/app_state.hpp"
#include "search/name_index.hpp"
#include "search/name_query.hpp"

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

namespace tevo {

class cKeyboard;
class cLabel;
class cListView;
class TextStyle;

// The codes of the keyboard's keys that type no character.
enum SearchKey : int32_t {
    SearchKeyNone = 0,
    SearchKeyErase = -1,
    SearchKeyClear = -2,
    SearchKeySwitch = -3,
};

struct SearchState {
    // Longest text the field takes, in UTF-16 units.
    static constexpr std::size_t kTypedLimit = 40;

    search::cNameIndex index;
    std::unique_ptr<search::cNameQuery> query; // once the index is open
    bool indexTried = false;
    std::u16string typed;
    std::u16string shown;              // the field's text: what was typed and the cursor
    std::vector<search::NameHit> hits; // the rows of the list, in order
    // Controls of the search panel, owned by it.
    cKeyboard* keyboard = nullptr;
    cListView* list = nullptr;
    cLabel* field = nullptr;
    std::unique_ptr<TextStyle> detailFont;
};

// After the menus are built: the search panel's field, keyboard and list
// learn what they show and do. Without a search screen nothing happens.
void attachSearchScreen(AppState& app);
// callBackSearch: the search screen, its index opened on first use and its
// distances measured from the vehicle, or the view's centre without a fix.
void openSearchScreen(AppState& app);
bool onSearchScreen(const AppState& app);
// A key of the physical keyboard on the search screen; false for the keys
// that the field does not take (they keep their meaning elsewhere).
bool handleSearchKey(AppState& app, const SDL_keysym& key);
// The on-screen keyboard's keys and the list's rows, as their callbacks
// give them.
void typeSearchKey(AppState& app, int32_t code);
void chooseSearchResult(AppState& app, int32_t row);

// "350 м", "1,2 км", "27 км".
std::u16string formatDistance(double metres);

} // namespace tevo
