// Taking fields off the front of a sentence and reading numbers the way the
// C library's atoi, atof and sscanf("%d") read them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tevo::sentrix {

// Removes and returns the next field: everything up to ',', '*', CR or LF,
// which is removed as well. An empty line gives an empty field.
std::string_view nextField(std::string_view& line);

// Leading blanks, a sign and digits; anything else stops; nothing gives 0.
int32_t readInt(std::string_view text);

// The decimal value (with fraction and exponent) rounded to float32.
float readFloat(std::string_view text);

// The characters [from, from + count) that exist; empty when none do.
std::string_view piece(std::string_view text, std::size_t from, std::size_t count);

// A two-character part read with "%d": 0 when it holds no number.
int32_t readTwoDigits(std::string_view text, std::size_t from);

} // namespace tevo::sentrix
