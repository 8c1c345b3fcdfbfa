// A search's hits as JSON lines: one object a hit, best first.
#pragma once

#include "search/name_query.hpp"

#include <cstdio>
#include <string>
#include <string_view>

namespace tevo::search {

// The text as a JSON string: quotes, backslashes and control characters
// escaped, bytes that are no UTF-8 as U+FFFD.
std::string jsonString(std::string_view utf8);

// {"rank":1,"kind":"street","name":"...","town":"...","lon":..,"lat":..,
//  "distance_m":..,"type":"0x0006","exact_words":1}
void printHit(std::FILE* out, std::size_t rank, const NameHit& hit);

} // namespace tevo::search
