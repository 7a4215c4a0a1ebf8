// The player's option sections of "Options.ini": [Graphics], [Sound] and
// [Game]. Each record starts from its defaults and reads its keys one by
// one; only the keys the options screen and the profile choice change are
// ever written back, so hand edits of the others survive.
#pragma once

#include <cstdint>
#include <string>

struct CGraphicsOptions {
    float effects = 1.0f;
    float gamma = 0.5f;
    int32_t graphicalCursor = 1;

    int Read(const std::string& path);
};

struct CSoundOptions {
    int32_t soundOn = 1;
    float soundVolume = 0.5f;
    float soundPanFactor = 0.75f;
    int32_t musicOn = 1;
    float musicVolume = 0.5f;
    int32_t musicAmplify = 75;

    int Read(const std::string& path);
    bool Write(const std::string& path) const;
};

// The name a new player is offered, and the player the options name until
// one is chosen.
constexpr const char kDefaultPlayerName[] = "Spieler";

struct CGameOptions {
    std::string profile = kDefaultPlayerName;
    int32_t fastExpTerm = 1;
    int32_t capsLockTutorial = 1;

    // 1 when CapsLockTutorial is 1.
    int Read(const std::string& path);
    bool Write(const std::string& path) const;
};

// [Settings] keys the options screen writes for a chosen display mode.
bool WriteDisplayModeSettings(const std::string& path, int width, int height, int32_t format, int fullScreen);
