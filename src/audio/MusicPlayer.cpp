#include "audio/MusicPlayer.h"

#include "engine/Log.h"
#include "platform/Audio.h"

#include <algorithm>
#include <cmath>

namespace snd = plat::snd;

CMusicPlayer::CMusicPlayer(const std::string& musicFolder) : folder(musicFolder.substr(0, 511)) {}

CMusicPlayer::~CMusicPlayer()
{
    if (stream)
        snd::StreamFree(stream);
}

std::string CMusicPlayer::TrackFileName(int kind)
{
    switch (kind) {
    case Gameplay:
        gameplayCounter = gameplayCounter + 1 > 2 ? 0 : gameplayCounter + 1;
        return folder + "gameplay" + std::to_string(gameplayCounter + 1) + ".ogg";
    case MainMenu:
        return folder + "mainmenu.ogg";
    case Storyline:
        return folder + "storyline.ogg";
    case BonusLevel:
        return folder + "bonuslevel.ogg";
    default:
        return folder;
    }
}

int CMusicPlayer::EffectiveVolume(bool withDuck) const
{
    float value = volume * 100.0f * fadeLevel;
    if (withDuck)
        value *= duckFactor;
    if (!(value > 0.0f)) // also a value that is not a number
        return 0;
    return static_cast<int>(std::floor(std::min(value, 100.0f)));
}

void CMusicPlayer::ApplyVolume(bool withDuck)
{
    snd::ChannelSetAttributes(stream, 0, EffectiveVolume(withDuck), -101);
}

// Replaces the open stream with `name`; false (and logged) when it cannot be opened.
bool CMusicPlayer::OpenTrack(const std::string& name)
{
    if (stream) {
        snd::StreamFree(stream);
        stream = 0;
    }
    stream = snd::StreamCreateFile(0, name.c_str(), 0, 0, 0);
    if (!stream) {
        WriteLog("Unable to create music stream");
        WriteLog(name);
        WriteLog("\n");
        playing = 0;
        return false;
    }
    return true;
}

void CMusicPlayer::StartLoop(const std::string& name, bool withDuck)
{
    if (!snd::StreamPlay(stream, 0, snd::SAMPLE_LOOP)) {
        WriteLog("Unable to play music");
        WriteLog(name);
        WriteLog("\n");
        playing = 0;
        return;
    }
    ApplyVolume(withDuck);
    playing = 1;
}

void CMusicPlayer::PlayTrack(int kind)
{
    const std::string name = TrackFileName(kind);
    if (!OpenTrack(name))
        return;
    if (!enabled) {
        playing = 0;
        return;
    }
    StartLoop(name, false);
}

void CMusicPlayer::SetEnabled(int on)
{
    if (on == enabled)
        return;
    enabled = on;
    if (!stream)
        return;
    if (on) {
        if (snd::StreamPlay(stream, 0, snd::SAMPLE_LOOP)) {
            ApplyVolume(false);
            playing = 1;
        } else {
            WriteLog("Unable to play music\n");
            playing = 0;
        }
    } else {
        snd::ChannelStop(stream);
        playing = 0;
    }
}

void CMusicPlayer::SetVolume(float value)
{
    volume = value;
    if (enabled && stream)
        ApplyVolume(true);
}

void CMusicPlayer::FadeTo(int kind)
{
    fading = 1;
    nextKind = kind;
}

void CMusicPlayer::Pause()
{
    snd::Pause();
    paused = 1;
}

void CMusicPlayer::Resume()
{
    snd::Start();
    paused = 0;
}

void CMusicPlayer::Duck(float time, float factor)
{
    if (enabled && stream && !paused && playing)
        duckList.emplace_back(time, factor);
}

void CMusicPlayer::Update(float elapsed)
{
    if (!enabled || !stream || paused || !playing)
        return;
    const float previousDuck = duckFactor;

    duckFactor = 1.0f;
    for (size_t i = 0; i < duckList.size();) {
        duckList[i].first -= elapsed;
        if (duckList[i].first <= 0.0f) {
            duckList.erase(duckList.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (duckFactor > duckList[i].second)
            duckFactor = duckList[i].second;
        ++i;
    }

    if (fading) {
        fadeLevel -= fadeSpeed * elapsed;
        if (fadeLevel > 0.0f) {
            ApplyVolume(true);
            return;
        }
        fadeLevel = 1.0f;
        fading = 0;
        const std::string name = TrackFileName(nextKind);
        if (OpenTrack(name) && enabled)
            StartLoop(name, true);
        return;
    }

    if (duckFactor != previousDuck)
        ApplyVolume(true);
}
