// What tvmroute prints and writes: the route as one JSON object, an error as
// {"error": ...}, and the route as a GPX file.
#pragma once

#include "route/router.hpp"

#include <cstdio>
#include <string>

namespace tevo::tvmroute {

void printRoute(std::FILE* out, const route::Route& route);
void printError(std::FILE* out, const std::string& message);

// Writes a GPX 1.1 file: the steps as a route (rtept), the line as a track.
// False with a message in *error when the file cannot be written.
bool writeGpx(const std::string& path, const route::Route& route, std::string* error);

} // namespace tevo::tvmroute
