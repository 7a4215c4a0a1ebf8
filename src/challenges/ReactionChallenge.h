// The Reaction challenge: eighteen plates cover a 6 x 3 block of the board,
// twelve hiding a token and six nothing. One plate at a time turns over for a
// moment and back. The player presses "Stop!" (the screen's button, a click
// beside every control, or the space bar) while a token shows: a token caught
// so is collected and the flashing speeds up; a stop that catches nothing
// costs time and pauses the flashing. The bonus level counts the catches
// through CountCatch and the misses through TakeMiss.
#pragma once

#include "challenges/ChallengeResult.h"
#include "challenges/PlateChallenge.h"

#include <cstdint>
#include <vector>

class CReactionChallenge : public CPlateChallenge {
public:
    enum State : int32_t {
        kConstructed = 15,
        kFalling = 16,
        kRunning = 17, // flashing
        kStopped = 18,
        kOver = 19, // plates leaving
    };
    // In kRunning: kClosed waiting to open a plate, kOpen a plate is open.
    // In kStopped: kJudging, then kAfterMiss or kAfterCatch.
    enum Step : int32_t { kClosed = 0, kOpen = 1, kJudging = 0, kAfterMiss = 1, kAfterCatch = 2 };

    CReactionChallenge();
    ~CReactionChallenge();

    // Lays out the plates for group 1 or 2; they fall in together.
    void Start(int group);
    // kResultNothing, kResultTokenCaught, kResultStopMissed (both in every
    // update until the catch or miss is taken) or kResultReactionOver.
    ChallengeResult Update(float dt);
    // The "Stop!" command: while flashing, the open plate is judged once
    // every plate has come to rest. Always kResultNothing.
    ChallengeResult OnStop();
    // After every catch: plates open for a shorter time, more often.
    void SpeedUp();
    // Takes a judged catch: counts it, speeds up and waits the catch pause
    // (the last catch then sends the plates away).
    void CountCatch();
    // Takes a judged miss: "Wrong.wav", and the flashing pauses for the miss
    // pause, after which open plates close.
    void TakeMiss();
    // Sends every plate up and away.
    void DismissPlates();
    // The time is up: a flashing challenge sends its plates away and ends.
    // False when it was not flashing (call again once it is).
    bool EndOnTimeOut();
    // Once a catch is taken, takes the plates showing their picture (the
    // caught token) out of the plate set and the list and hands them over
    // (the board shatters them into sand); none at any other time. Catches
    // are counted by CountCatch alone.
    std::vector<CountedHandle<CPlate>> TakeCaughtPlates();
    // The bonus level is over: no more phases are run.
    void Finish() { m_state = kConstructed; }

    State GetState() const { return m_state; }
    int GetStep() const { return m_step; }
    bool IsWaitingForPlayer() const { return m_state == kRunning; }
    int Caught() const { return m_caught; }
    int Needed() const { return m_needed; }
    void SetNeeded(int needed) { m_needed = needed; }
    float OpenTime() const { return m_openTime; }
    float Interval() const { return m_interval; }
    float MissPause() const { return m_missPause; }
    // The seconds a miss costs.
    float Penalty() const { return m_penalty; }
    // The plate opened last, or an empty handle.
    const CountedHandle<CPlate>& OpenPlate() const { return m_openPlate; }
    const std::vector<CountedHandle<CPlate>>& Plates() const { return m_plates; }

private:
    bool ListIdle() const;
    void OpenNextPlate();
    ChallengeResult Flash(float dt);
    ChallengeResult AfterStop(float dt);

    std::vector<CountedHandle<CPlate>> m_plates; // creation order; caught plates leave it
    State m_state = kConstructed;
    int32_t m_step = 0;
    float m_timer = 0.0f;
    // Held by handle rather than by index: caught plates leave the list.
    CountedHandle<CPlate> m_openPlate;
    int32_t m_emptyStreak = 0;
    int32_t m_emptyStreakLimit = 3;
    int32_t m_caught = 0;
    int32_t m_needed = 7;
    float m_openTime = 0.5f;
    float m_interval = 0.25f;
    float m_catchPause = 0.75f;
    float m_missPause = 4.0f;
    float m_penalty = 0.0f;
};
