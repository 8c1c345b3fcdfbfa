// Builds the screens of a menu file into a ScreenSet.
#pragma once

#include "app/screen_set.hpp"
#include "ui/control.hpp"

#include <SDL.h>

#include <string>

namespace tevo {

// Reads `menuPath` and fills `screens`: fonts, the map screen's panel
// (always), the main menu, satellites and search panels (when the file
// gives them controls), commands bound by name, labels bound to status texts, and the
// sky view. The commands must be installed first. Every control draws on
// `video`; file names are taken relative to `programFolder`.
void buildMenus(ScreenSet& screens, SDL_Surface* video, const std::string& programFolder,
                const std::string& menuPath, const ControlRect& screen);

} // namespace tevo
