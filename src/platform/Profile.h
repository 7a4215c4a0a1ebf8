// INI ("profile") files with the semantics the game's settings code relies
// on: section and key names compare case-insensitively, the first match
// wins, blanks and one pair of quotes around a value are stripped, and a
// missing file, section or key gives the default. Writes keep every other
// line of the file and replace it atomically.
#pragma once

#include <string>

namespace plat {

// Copies the value (or `defaultValue`) into `buffer`, cut to `size` - 1
// characters and terminated; returns the number of characters copied.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                            const std::string& gamePath);

std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                             const std::string& gamePath);

// Sets `key` in `section` to `value`, adding the section or the key when
// missing. False when the file could not be written (the old one stays).
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& gamePath);

} // namespace plat
