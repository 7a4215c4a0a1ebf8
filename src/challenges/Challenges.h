// STAND-IN until the bonus-level challenges are built: the four challenge
// controllers as the board and the game drive them. Each one waits for the
// player from the moment it is started and reports that its play is over on
// every update from then on, so a bonus level shows its form, fails and the
// quest goes on. The real challenges replace this file in place.
#pragma once

#include "engine/Settings.h" // Vec2

#include <cstdint>

// What the stand-ins share: started or not, and the update's answer.
class CChallengeStandIn {
public:
    // The result code "nothing to report".
    static constexpr int kNothing = 100;

    int Update(float) { return started ? m_overCode : kNothing; }
    void DismissPlates() { ++dismissals; }

    bool started = false;
    int32_t state = 0;
    int dismissals = 0;

protected:
    CChallengeStandIn(int overCode, int32_t waitingState) : m_overCode(overCode), m_waitingState(waitingState) {}
    void Begin()
    {
        started = true;
        state = m_waitingState;
    }

private:
    int m_overCode;
    int32_t m_waitingState;
};

class CMemoryChallenge : public CChallengeStandIn {
public:
    static constexpr int32_t kWaiting = 1;
    CMemoryChallenge() : CChallengeStandIn(103, kWaiting) {}
    void StartRound(int) { Begin(); }
    int OnClick(float, float) { return kNothing; }

    Vec2 firstItem, secondItem; // the two picked items
    int32_t round = 0;
    int32_t collected = 0;
};

class CAccuracyChallenge : public CChallengeStandIn {
public:
    static constexpr int32_t kWaiting = 6;
    CAccuracyChallenge() : CChallengeStandIn(107, kWaiting) {}
    void Start(int) { Begin(); }
    // 101 when a star was caught.
    int OnClick(float, float) { return kNothing; }
    void SendStarsAway() { state = 7; }

    int32_t caught = 0;
    int32_t goal = 1;
};

class CAttentionChallenge : public CChallengeStandIn {
public:
    static constexpr int32_t kWaiting = 12;
    CAttentionChallenge() : CChallengeStandIn(108, kWaiting) {}
    void StartRound(int, int) { Begin(); }
    int OnClick(float, float) { return kNothing; }

    int32_t chosenPlate = 0; // 1 when the choice was right
    Vec2 plate;
    int32_t round = 0;
    int32_t rightAnswers = 0;
};

class CReactionChallenge : public CChallengeStandIn {
public:
    static constexpr int32_t kWaiting = 17;
    CReactionChallenge() : CChallengeStandIn(110, kWaiting) {}
    void Start(int)
    {
        Begin();
        penaltySeconds = 3.0f;
        messageTime = 3.0f;
    }
    void OnStop(float, float) { ++stops; }
    void SpeedUp() {}
    void PlayMissSound() {}

    int32_t hits = 0;
    int32_t needed = 12;
    int32_t mode = 0;
    float timer = 0.0f;
    Vec2 plate; // the current plate
    float penaltySeconds = 4.0f;
    float messageTime = 4.0f;
    int stops = 0;
};
