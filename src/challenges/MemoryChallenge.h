// The Memory challenge: plates cover a pattern of board cells, each hiding a
// token picture, and the pictures come in pairs. The player turns plates
// over two at a time; two equal pictures stay open and count as found, two
// different ones turn back after a short wait. A bonus level plays three
// rounds on three layouts; the bonus level starts each round, keeps the
// time and judges the result from the plates collected.
#pragma once

#include "challenges/ChallengeResult.h"
#include "challenges/PlateChallenge.h"
#include "engine/Settings.h" // Vec2

#include <cstdint>
#include <vector>

class CMemoryChallenge : public CPlateChallenge {
public:
    enum State : int32_t {
        kConstructed = 0,
        kWaiting = 1,  // for a click
        kDealing = 2,  // plates falling in
        kClearing = 3, // plates flying away
        kChecking = 4, // the picks turning and being compared
    };
    static constexpr int kLayouts = 6;

    CMemoryChallenge();
    ~CMemoryChallenge();

    // Lays out layout n (1..6; others are taken as the nearest) and deals
    // its plates, which fall in together and land after a second.
    void StartRound(int n);
    // A click in virtual-screen units: kResultTurnedOver, kResultAlreadyOpen
    // or kResultNothing.
    ChallengeResult OnClick(float x, float y);
    // kResultNothing, kResultPlatesCleared, kResultMismatchClosed,
    // kResultPairFound or kResultLastPairFound.
    ChallengeResult Update(float dt);
    // Sends every plate still on the layout flying up and away.
    void DismissPlates();
    // Takes the plates whose pair has been found off the layout and out of
    // the plate set, counting each as collected, and hands them over (the
    // board shatters them into sand).
    std::vector<CountedHandle<CPlate>> TakeFoundPlates();
    // The bonus level is over: no more phases are run.
    void Finish() { m_state = kConstructed; }

    State GetState() const { return m_state; }
    bool IsWaitingForPlayer() const { return m_state == kWaiting; }
    // Where the two plates of the pair found last lie.
    Vec2 FirstOfLastPair() const { return m_lastPair[0]; }
    Vec2 SecondOfLastPair() const { return m_lastPair[1]; }
    // The game's count of rounds played (the challenge does not read it).
    int Round() const { return m_round; }
    void SetRound(int round) { m_round = round; }
    // Plates collected over the bonus level.
    int Collected() const { return m_collected; }

    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    int ColumnOffset() const { return m_columnOffset; }
    int RowOffset() const { return m_rowOffset; }
    // The plate on layout cell (column, row), or an empty handle.
    CountedHandle<CPlate> PlateAt(int column, int row) const;
    bool IsFound(int column, int row) const;

private:
    struct Pick {
        int column = -1, row = -1;
        bool IsSet() const { return column >= 0; }
    };

    CountedHandle<CPlate> PlateOf(const Pick& pick) const;
    bool AnyLeftToFind() const;
    ChallengeResult CheckPicks(float dt);
    void ClearPicks() { m_first = m_second = Pick{}; }

    int32_t m_columnOffset = 1;
    int32_t m_rowOffset = 3;
    int32_t m_columns = 6;
    int32_t m_rows = 3;
    float m_mismatchWait = 0.5f;
    std::vector<std::vector<CountedHandle<CPlate>>> m_plates; // [row][column]
    std::vector<std::vector<int32_t>> m_found;                // 1 where the pair was found
    State m_state = kConstructed;
    // 0 waiting for the plates and comparing, 1 showing a mismatch, 2 closing it.
    int32_t m_checkPhase = 0;
    float m_timer = 0.0f;
    Pick m_first, m_second;
    int32_t m_round = 0;
    int32_t m_collected = 0;
    Vec2 m_lastPair[2];
};
