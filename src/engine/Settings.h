// Typed readers of INI-style settings, the display settings of [Settings]
// in "Options.ini", and the display modes of one graphics adapter.
//
// Defaults are given as text, exactly as they would stand in the file, and
// go through the same conversion as a value read from the file.
#pragma once

#include "engine/CountedHandle.h"
#include "platform/D3D8.h"

#include <cstdint>
#include <string>
#include <vector>

struct Vec2 {
    float x = 0, y = 0;
};
struct Vec3 {
    float x = 0, y = 0, z = 0;
};
struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};
struct IntPair {
    int32_t a = 0, b = 0;
};

int32_t ReadIniInt(const std::string& file, const char* section, const char* key, const char* defaultText);
float ReadIniFloat(const std::string& file, const char* section, const char* key, const char* defaultText);
uint32_t ReadIniColor(const std::string& file, const char* section, const char* key, const char* defaultText);
void ReadIniVec2(const std::string& file, const char* section, const char* key, const char* defaultText,
                 Vec2* out);
void ReadIniVec3(const std::string& file, const char* section, const char* key, const char* defaultText,
                 Vec3* out);
void ReadIniVec4(const std::string& file, const char* section, const char* key, const char* defaultText,
                 Vec4* out);
void ReadIniIntPair(const std::string& file, const char* section, const char* key, const char* defaultText,
                    IntPair* out);
std::string ReadIniString(const std::string& file, const char* section, const char* key, const char* defaultText,
                          int bufferSize = 256);
int ReadIniRaw(const std::string& file, const char* section, const char* key, const char* defaultText,
               char* buffer, int size);

// Sets one key, adding the section, the key or the file when missing. A
// failure (a file that cannot be read or written) is logged with the file
// and the key, and leaves the file as it was.
bool WriteIniString(const std::string& file, const char* section, const char* key, const std::string& value);

// The colour of four numbers "r g b a" packed as ARGB: components floored
// and held to 0..255; one that is not a number takes the default's.
uint32_t ParseColor(const char* text, const char* defaultText);

struct DisplaySettings {
    int32_t adapter = 0;
    int32_t colorMode = 0;  // colour depth; -1 = not chosen yet
    int32_t modeFormat = 0; // format of the mode device creation chose
    int32_t fullScreen = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t videoSync = 0;
    void* d3dModule = nullptr;
    void* instance = nullptr;
    int32_t hardwareLevel = 0;
};

void SetDisplaySettings(const DisplaySettings& settings);
void GetDisplaySettings(DisplaySettings* settings);
// [Settings] of the user's "Options.ini".
std::string OptionsFilePath();
void ReadDisplaySettings();
void WriteDisplaySettings();

struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 0;
    int32_t bitsPerPixel = 0;
    int32_t redBits = 0, redMask = 0, redShift = 0;
    int32_t greenBits = 0, greenMask = 0, greenShift = 0;
    int32_t blueBits = 0, blueMask = 0, blueShift = 0;
    int32_t alphaBits = 0, alphaMask = 0, alphaShift = 0;
    int32_t windowedOk = 0;
    int32_t fullScreenOk = 0;
    int32_t renderTargetFormat = 0;
};

// Fills the channel layout of a display format; false for formats that are
// not listed as display modes.
bool DescribeDisplayFormat(int32_t format, DisplayMode* mode);

class CDisplayModeList {
public:
    CDisplayModeList(d3d::IDirect3D8* d3dObject, int32_t adapterNumber) { Build(d3dObject, adapterNumber); }

    void Build(d3d::IDirect3D8* d3dObject, int32_t adapterNumber);

    int FindMode(int width, int height, int format, bool fallback) const;
    int FindWindowedMode(int width, int height, int format, bool fallback) const;
    int FindFullScreenMode(int width, int height, int format, bool fallback) const;
    int FindFullScreenSize(int width, int height, bool fallback) const;
    int FindFullScreenDepth(int width, int height, int bits, bool fallback) const;
    int FindByAspect(float aspect, float tolerance, int height, int bits) const;

    d3d::IDirect3D8* object = nullptr;
    int32_t adapter = 0;
    std::vector<DisplayMode> entries;
    int32_t desktopIndex = -1;
};

int GetHardwareLevel(int32_t adapter, d3d::IDirect3D8* object);
