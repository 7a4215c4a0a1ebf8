// Texts of the string table filled with the game's values. The table is a
// file the player can edit, so a text is used as a printf format only when
// its conversions are exactly those of the values given; otherwise it is
// shown as it stands and the log says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// True when `format` converts exactly the values of `signature`, in order:
// "d" for an int, "s" for a string ("%%" converts nothing).
bool FormatTakes(const std::string& format, const char* signature);

// String `id` filled into a buffer of `size` characters.
std::string FormatTableText(int32_t id, size_t size, int a);
std::string FormatTableText(int32_t id, size_t size, int a, int b);
std::string FormatTableText(int32_t id, size_t size, const std::string& s);
