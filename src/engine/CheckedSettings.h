// Readers of the numbers of settings files a player may edit ("Skin.cfg",
// "Score.cfg", "Background.cfg"): a value that is not a finite number reads
// as its default, so that nothing downstream divides by, converts or draws
// with one.
#pragma once

#include "engine/Settings.h"

#include <cstdint>
#include <string>

// The first number of a default text, read as a value is.
float DefaultNumber(const char* defaultText);

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
