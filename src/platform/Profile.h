// INI ("profile") files with the semantics the game's settings code relies
// on: section and key names compare case-insensitively, the first match
// wins, blanks and one pair of quotes around a value are stripped, and a
// missing or unreadable file, section or key gives the default. Writes keep
// every other line of the file and replace it atomically.
//
// A file is read (bounded, as every file is: plat::ReadWholeFile) and parsed
// once, and its keys are served from the parsed form for as long as its
// content is unchanged: the file's stamp (inode, size, times) is checked on
// every read, and its content as well while its times are too recent to
// tell two writes apart. A file that cannot be read is reported once and
// then gives defaults until it changes.
#pragma once

#include "platform/Files.h"

#include <string>
#include <utility>
#include <vector>

namespace plat {

// Copies the value (or `defaultValue`) into `buffer`, cut to `size` - 1
// characters and terminated; returns the number of characters copied.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                            const std::string& gamePath);

std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                             const std::string& gamePath);

// True when the file holds `key` in `section`, with its value.
bool FindProfileString(const std::string& section, const std::string& key, std::string* value,
                       const std::string& gamePath);

// How the file reads as a whole: missing, there but not readable, or read,
// with the number of keys it holds (in `section` only, when not empty).
ReadOutcome CountProfileKeys(const std::string& gamePath, const std::string& section, size_t* keys);

// Sets `key` in `section` to `value`, adding the section or the key when
// missing, and the file when it does not exist. A key that reads as the
// value already leaves the file unwritten. False when the file exists but
// cannot be read, or could not be written: the old one stays as it was.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& gamePath);
// The same for several keys of one section, with one write of the file at
// most.
bool WritePrivateProfileStrings(const char* section,
                                const std::vector<std::pair<std::string, std::string>>& values,
                                const std::string& gamePath);

// Drops what was parsed of the files at or below `native` (a native path).
// Every change the platform makes to the file system calls it.
void ForgetParsedFiles(const std::string& native);

} // namespace plat
