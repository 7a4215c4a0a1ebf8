// The flow's delays from the data paths and the files of its sounds.
#include "game/FlowTables.h"

#include <cmath>

void FlowDelays::ReadFrom(const CDataPaths& paths)
{
    float* const delays[] = {&hintDelay,    &hintBlinkTime,    &lifeLostWait,
                             &tutorialTime, &overlayBlinkTime, &overlayDelay};
    for (int i = 0; i < 6; ++i) {
        const float v = paths.tuning[3 + i];
        if (std::isfinite(v) && v > 0.0f)
            *delays[i] = v;
    }
}

const char* FlowSoundFile(FlowSound sound)
{
    static const char* const kFiles[static_cast<int>(FlowSound::Count)] = {
        "AddLife.wav",      // ExtraLife
        "ScoreFrenzy.wav",  // Frenzy
        "TimeAdd.wav",      // TimeAdded
        "BonusStar.wav",    // GoldenStar
        "EndLevel.wav",     // LevelComplete
        "LifeLost.wav",     // LifeLost
        "LifeLostBack.wav", // Shuffle
        "Bad.wav",          // Failure
        "Win.wav",          // Victory
        "Trophy.wav",       // Trophy
        "NewLevel.wav",     // LevelStart
        "Select.wav",       // Pick
        "SelectSteel.wav",  // PickSteel
        "Hint.wav",         // Hint
        "Wrong.wav",        // Miss
        "Tick.wav",         // ResultsRow
        "TickLoop.wav",     // Tally
        "GoodClick.wav",    // MapArrival
        "BonusClick.wav",   // BonusLevel
    };
    const int i = static_cast<int>(sound);
    return i >= 0 && i < static_cast<int>(FlowSound::Count) ? kFiles[i] : "";
}
