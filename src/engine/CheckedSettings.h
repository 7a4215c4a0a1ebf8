// Readers of the numbers of settings files a player may edit ("Skin.cfg",
// "Score.cfg", "Background.cfg", "Gems.cfg", "Bonus.cfg", "Totems.cfg"): a
// value that is not a finite number reads as its default, so that nothing
// downstream divides by, converts or draws with one. Whenever a default
// takes the place of what the file held, one log line names the file, the
// section and the key; a file that gives nothing at all is named once by
// CheckSettingsFile.
#pragma once

#include "engine/Settings.h"

#include <cstdint>
#include <string>

// The first number of a default text, read as a value is.
float DefaultNumber(const char* defaultText);

// Logs, once per call, that the value `file` holds for the key is not used
// and the default stands.
void LogDefaultStands(const std::string& file, const char* section, const char* key, const char* defaultText);

// Before a file's keys are read: when it is missing, cannot be read or
// holds no key (in `section`, when given), one line names it, as each of
// its defaults will stand. False then.
bool CheckSettingsFile(const std::string& file, const char* section = nullptr);

// A whole number within 32 bits; anything else the file holds (a word, a
// number too large) reads as the default.
int32_t ReadCheckedInt(const std::string& file, const char* section, const char* key, const char* defaultText);
float ReadCheckedFloat(const std::string& file, const char* section, const char* key, const char* defaultText);
// A time that divides: one that is not above 0 reads as its default too.
float ReadPositiveFloat(const std::string& file, const char* section, const char* key, const char* defaultText);
// Each component on its own: a bad one takes the default's component.
Vec2 ReadCheckedVec2(const std::string& file, const char* section, const char* key, const char* defaultText);
Vec3 ReadCheckedVec3(const std::string& file, const char* section, const char* key, const char* defaultText);
Vec4 ReadCheckedVec4(const std::string& file, const char* section, const char* key, const char* defaultText);
// "r g b a" as ARGB, each component clamped to 0 .. 255 before it is packed,
// so that none spills into its neighbour's byte.
uint32_t ReadCheckedColor(const std::string& file, const char* section, const char* key, const char* defaultText);
