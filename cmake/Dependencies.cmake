# Every outside library comes from a Debian package (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(SDL REQUIRED IMPORTED_TARGET sdl)
pkg_check_modules(SDL_TTF REQUIRED IMPORTED_TARGET SDL_ttf)
pkg_check_modules(SDL_IMAGE REQUIRED IMPORTED_TARGET SDL_image)
find_package(X11 REQUIRED)

# Expat in its UTF-16 build: handlers receive char16_t text.
find_library(EXPATW_LIBRARY NAMES expatw REQUIRED)
add_library(tevo_expatw INTERFACE)
target_link_libraries(tevo_expatw INTERFACE ${EXPATW_LIBRARY})
target_compile_definitions(tevo_expatw INTERFACE XML_UNICODE)

if(TEVO_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# The font is copied into the program folder from the fonts-dejavu-core package.
find_file(TEVO_DEJAVU_FONT DejaVuSans.ttf
  PATHS /usr/share/fonts/truetype/dejavu REQUIRED NO_DEFAULT_PATH)
