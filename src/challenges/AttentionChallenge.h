// The Attention challenge, a shell game on the board: three plates drop in
// showing what lies under them (a token under the middle one, nothing under
// the other two), turn over, and are shuffled by pairwise swaps in which the
// two plates pass each other on arcs. The player clicks the plate believed to
// hide the token; the plates are revealed and the round judged. Every right
// answer makes the following rounds longer and faster; the bonus level counts
// the rounds and the right answers.
#pragma once

#include "challenges/ChallengeResult.h"
#include "challenges/PlateChallenge.h"

#include <array>
#include <cstdint>
#include <vector>

class CAttentionChallenge : public CPlateChallenge {
public:
    enum Phase : int32_t {
        kConstructed = 8,
        kFalling = 9,
        kShowing = 10, // open, then covering
        kShuffling = 11,
        kWaiting = 12, // for the choice
        kRevealing = 13,
    };
    // The plate that hides the token, whichever slot it stands in.
    static constexpr int kTokenPlate = 1;

    CAttentionChallenge();
    ~CAttentionChallenge();

    // Lays out a new round for group 1 or 2: three plates fall in.
    void StartRound(int group);
    // A click on a plate while the choice is awaited: kResultPlateChosen,
    // else kResultNothing.
    ChallengeResult OnClick(float x, float y);
    // kResultNothing, kResultChoiceShown, kResultRoundGone or
    // kResultChoiceAwaited.
    ChallengeResult Update(float dt);
    // Sends the round's plates up and away.
    void DismissPlates();
    // Takes the token plate out of the plate set when it shows its picture
    // (after a right answer) and hands it over (the board shatters it into
    // sand); an empty handle otherwise.
    CountedHandle<CPlate> TakeTokenPlate();
    // The bonus level is over: no more phases are run.
    void Finish() { m_phase = kConstructed; }

    Phase GetPhase() const { return m_phase; }
    bool IsWaitingForPlayer() const { return m_phase == kWaiting; }
    // The plate the player chose, an index into Plates().
    int Chosen() const { return m_chosen; }
    bool ChoseRight() const { return m_chosen == kTokenPlate; }
    // The game's counts (the challenge reads the right answers when it lays
    // out a round).
    int Round() const { return m_round; }
    void SetRound(int round) { m_round = round; }
    int RightAnswers() const { return m_rightAnswers; }
    void AddRightAnswer() { ++m_rightAnswers; }

    int Swaps() const { return m_swaps; }
    float SwapTime() const { return m_swapTime; }
    float Pause() const { return m_pause; }
    // The round's plates in the order they were made; an entry is empty once
    // its plate has been taken.
    const std::vector<CountedHandle<CPlate>>& Plates() const { return m_plates; }
    // Order()[s]: the plate standing in slot s (0 left, 1 middle, 2 right).
    const std::array<int32_t, 3>& Order() const { return m_order; }
    Vec3 SlotPoint(int slot) const;

private:
    // Plate i of the round, or an empty handle once the list has let it go.
    CountedHandle<CPlate> PlateNumber(int i) const;
    bool ListIdle() const;
    ChallengeResult Shuffle(float dt);
    ChallengeResult Reveal(float dt);
    Vec3 Above(float x) const;

    float m_showTime = 1.0f;
    std::vector<CountedHandle<CPlate>> m_plates;
    std::array<int32_t, 3> m_order{0, 0, 0};
    Phase m_phase = kConstructed;
    int32_t m_step = 0;
    float m_timer = 0.0f;
    int32_t m_swapsDone = 0;
    int32_t m_round = 0;
    int32_t m_rightAnswers = 0;
    // The swap under way: plate A moves from the high slot to the low one,
    // plate B the other way.
    int32_t m_plateA = 0, m_plateB = 0, m_highSlot = 0, m_lowSlot = 0;
    int32_t m_chosen = 0;
    int32_t m_swaps = 3;
    float m_swapTime = 0.5f;
    float m_pause = 0.25f; // between two swaps
};
