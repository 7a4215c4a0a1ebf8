// The sounds the challenges play, each by its file name through the game's
// sound manager; a challenge without a manager plays nothing.
#pragma once

#include "audio/SoundManager.h"
#include "engine/CountedHandle.h"

namespace challenge_sounds {

constexpr const char kDrop[] = "Drop.wav";
constexpr const char kClick[] = "BonusClick.wav";
constexpr const char kGood[] = "GoodClick.wav";
constexpr const char kWrong[] = "Wrong.wav";
constexpr const char kCatch[] = "Explode2.wav";

inline void Play(const CountedHandle<CSoundManager>& sounds, const char* file)
{
    if (sounds)
        sounds->Play(sounds->Sample(file), 0, 0);
}

// Panned by a horizontal position in virtual-screen units.
inline void PlayAt(const CountedHandle<CSoundManager>& sounds, const char* file, float x)
{
    if (sounds)
        sounds->PlayPanned(sounds->Sample(file), x, 0, 0);
}

} // namespace challenge_sounds
