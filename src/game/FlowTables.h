// The game flow's delays and its sounds, each in one table: the delays are
// the last six tuning values the data paths carry, the sounds are named by
// their role in the flow and found by the file of their slot.
#pragma once

#include "engine/DataPaths.h"
#include "engine/Log.h"

// Seconds the flow waits for things, from the data paths' tuning values.
struct FlowDelays {
    float hintDelay = 15.0f;       // play without a move before the hint button blinks
    float hintBlinkTime = 3.0f;    // how long it blinks
    float lifeLostWait = 2.0f;     // the least a lost life holds play
    float tutorialTime = 1.5f;     // a timed tutorial step keeps presses off the board this long
    float overlayBlinkTime = 2.0f; // how long the life-at-stake warning blinks
    float overlayDelay = 50.0f;    // play before it warns of a gem token in the bottom rows
    float hintArrowTime = 3.0f;    // how long the hint's big arrows bob over a move (no tuning value)

    // Fourth to ninth tuning values, in this order, into the first six; a
    // value that is no positive number keeps its default.
    void ReadFrom(const CDataPaths& paths);
};

// The flow's sounds by role.
enum class FlowSound {
    ExtraLife,
    Frenzy,
    TimeAdded,
    GoldenStar,
    LevelComplete,
    LifeLost,
    Shuffle,
    Failure,
    Victory,
    Trophy,
    LevelStart,
    Pick,
    PickSteel,
    Hint,
    Miss,
    ResultsRow,
    Tally,
    MapArrival,
    BonusLevel,
    Count
};

// The file of the slot that plays each role.
const char* FlowSoundFile(FlowSound sound);
