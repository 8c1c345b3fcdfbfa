// Opens a window, shows one message box and reports when it was answered.
#include "platform/message_box.hpp"

#include <SDL.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return 2;
    SDL_Surface* screen = SDL_SetVideoMode(480, 640, 32, SDL_DOUBLEBUF);
    if (!screen) return 2;
    SDL_WM_SetCaption("message box probe", nullptr);
    if (argc > 1) tevo::setMessageBoxFont(argv[1]);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_Flip(screen);
    std::printf("shown\n");
    std::fflush(stdout);
    tevo::messageBox(u"GPS Device Not Detected", u"Error");
    std::printf("answered\n");
    SDL_Quit();
    return 0;
}
