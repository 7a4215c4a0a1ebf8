#include "records/Options.h"

#include "engine/Settings.h"
#include "engine/TextReader.h"
#include "platform/D3D8.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

std::string ThreeDecimals(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    return text;
}

// A hand-edited "nan" compares false with every bound and would slip past
// the clamps into volumes and the gamma ramp: it counts as the default.
float NumberOr(float value, float fallback) { return std::isnan(value) ? fallback : value; }

} // namespace

int CGraphicsOptions::Read(const std::string& path)
{
    graphicalCursor = UpperCased(ReadIniString(path, "Graphics", "Cursor", "STANDARD")) == "GRAPHICAL" ? 1 : 0;
    effects = std::clamp(NumberOr(ReadIniFloat(path, "Graphics", "Effects", "1.0"), 1.0f), 0.25f, 1.0f);
    gamma = std::clamp(NumberOr(ReadIniFloat(path, "Graphics", "Gamma", "0.5"), 0.5f), 0.0f, 1.0f);
    return 1;
}

int CSoundOptions::Read(const std::string& path)
{
    soundOn = UpperCased(ReadIniString(path, "Sound", "Sound", "ON")) == "ON" ? 1 : 0;
    soundVolume = std::clamp(NumberOr(ReadIniFloat(path, "Sound", "SoundVolume", "0.5"), 0.5f), 0.0f, 1.0f);
    soundPanFactor = std::max(NumberOr(ReadIniFloat(path, "Sound", "SoundPanFactor", "0.75"), 0.75f), 0.01f);
    musicOn = UpperCased(ReadIniString(path, "Sound", "Music", "ON")) == "ON" ? 1 : 0;
    musicVolume = std::clamp(NumberOr(ReadIniFloat(path, "Sound", "MusicVolume", "0.5"), 0.5f), 0.0f, 1.0f);
    musicAmplify = std::clamp(ReadIniInt(path, "Sound", "MusicAmplify", "75"), 5, 100);
    return 1;
}

bool CSoundOptions::Write(const std::string& path) const
{
    bool ok = WriteIniString(path, "Sound", "Sound", soundOn ? "On" : "Off");
    ok = WriteIniString(path, "Sound", "SoundVolume", ThreeDecimals(soundVolume)) && ok;
    ok = WriteIniString(path, "Sound", "Music", musicOn ? "On" : "Off") && ok;
    ok = WriteIniString(path, "Sound", "MusicVolume", ThreeDecimals(musicVolume)) && ok;
    ok = WriteIniString(path, "Sound", "MusicAmplify", std::to_string(musicAmplify)) && ok;
    return ok;
}

int CGameOptions::Read(const std::string& path)
{
    profile = ReadIniString(path, "Game", "Profile", kDefaultPlayerName, 255);
    fastExpTerm = ReadIniInt(path, "Game", "FastExpTerm", "1") != 0 ? 1 : 0;
    capsLockTutorial = ReadIniInt(path, "Game", "CapsLockTutorial", "1") == 1 ? 1 : 0;
    return capsLockTutorial;
}

bool CGameOptions::Write(const std::string& path) const
{
    bool ok = WriteIniString(path, "Game", "Profile", profile);
    ok = WriteIniString(path, "Game", "FastExpTerm", fastExpTerm ? "1" : "0") && ok;
    ok = WriteIniString(path, "Game", "CapsLockTutorial", capsLockTutorial ? "1" : "0") && ok;
    return ok;
}

bool WriteDisplayModeSettings(const std::string& path, int width, int height, int32_t format, int fullScreen)
{
    const int bits = d3d::FormatBits(format);
    const int colorMode = bits == 24 ? 24 : bits == 32 ? 32 : 16;
    bool ok = WriteIniString(path, "Settings", "Width", std::to_string(width));
    ok = WriteIniString(path, "Settings", "Height", std::to_string(height)) && ok;
    ok = WriteIniString(path, "Settings", "ColorMode", std::to_string(colorMode)) && ok;
    ok = WriteIniString(path, "Settings", "FullScreen", fullScreen ? "1" : "0") && ok;
    return ok;
}
