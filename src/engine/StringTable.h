// The table of every text the game shows, keyed by number, loaded from
// "Strings.txt": a STRINGS section of name/text pairs, then an IDs section
// binding names to numbers with "define", so that texts and numbers can be
// edited apart.
#pragma once

#include <cstdint>
#include <string>

int LoadStrings(const std::string& path);
// Copies the text with `id` into `buffer` (cut to size - 1); returns the
// number of characters copied, 0 and an empty text for an unknown id.
int GetString(int32_t id, char* buffer, int size);
std::string GetString(int32_t id);
void ClearStrings();
