// Opening the program's input files. A name in the program folder may lead
// to a named pipe or a device instead of a file: opening those for reading
// waits for a writer or a carrier, and reading them never ends. Every file
// the program reads is opened here, without blocking, and only when it is a
// regular file.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <string>

namespace tevo {

// True when `path` leads (through links) to a regular file.
bool isRegularFile(const std::string& path);

// A read-only descriptor of the regular file at `path`, or -1. A missing
// file is refused silently; a name that leads to anything else (a FIFO, a
// device, a folder) with the line "<path> is not a regular file; it is not
// read" on standard output.
int openRegularFile(const std::string& path);

// The same as a stdio stream opened "rb", or null.
std::FILE* openRegularStream(const std::string& path);

// The same as SDL's stream, for SDL_image and SDL_ttf, or null. Whoever
// takes it closes it (freesrc, or SDL_RWclose).
SDL_RWops* openRegularRW(const std::string& path);

// The TrueType font at `path` at `size` points, read through
// openRegularRW; null when it cannot be opened.
TTF_Font* openFontFile(const std::string& path, int size);

} // namespace tevo
