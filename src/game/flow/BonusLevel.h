// A bonus level between two quest levels: one of the four challenges runs
// on the board. Its form comes in, its rules are told while the tutorial is
// on, its clock runs, and its end is judged; a won challenge earns a Golden
// Star. Then the trophies the quest reached, and on between the levels as
// after any level.
//
// The bonus level owns the challenge that runs: one record says which and
// holds its controller; the board only knows that a challenge plays. The
// challenges plug in here: started, updated, pressed and judged.
#pragma once

#include "challenges/Challenges.h"
#include "engine/CountedHandle.h"
#include "game/flow/FlowState.h"

class CQoForm;

// The challenge kinds of a bonus level, or an ordinary level.
enum ChallengeKind : int {
    kOrdinaryLevel = 100,
    kMemory = 101,
    kAccuracy = 102,
    kAttention = 103,
    kReaction = 104,
};

// The challenge that runs and its controller; only the one that runs
// exists.
struct RunningChallenge {
    ChallengeKind kind = kOrdinaryLevel;
    CountedHandle<CMemoryChallenge> memory;
    CountedHandle<CAccuracyChallenge> accuracy;
    CountedHandle<CAttentionChallenge> attention;
    CountedHandle<CReactionChallenge> reaction;
};

class CBonusLevel : public CFlowState {
public:
    enum Step {
        kFirstFrame,
        kSecondFrame,
        kShowChallenge,
        kRulesComing,
        kRulesShown,
        kRules,
        kRulesRead,
        kStart,
        kPlay,
        kFailed,
        kStar,
        kFinish,
        kAFrame,
        kAnotherFrame,
        kLeave,
        kTrophies,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "bonus level"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseBonusLevel; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;
    bool Key(int key) override;
    InputResult OnCommand(Command command) override;
    // The challenge's controller goes with the bonus level.
    void Leave() override;

    // The bonus level `number` of its group with its challenge.
    void Start(int number, int group, ChallengeKind kind);
    const RunningChallenge& Challenge() const { return m_challenge; }
    // The challenge waits for the player, and play is not locked.
    bool ChallengeWaits() const;
    // What the running challenge reports in a frame: points scored at a
    // place, a hit, a prompt, or the end of a round.
    void UpdateChallenge(float dt);
    // The Reaction challenge's stop button; true when it took the press.
    bool StopPressed();
    // The Golden Star has landed.
    void StarLanded();
    // The player leaves the quest during the challenge: it ends and its
    // form goes.
    void Abandon();
    // The trophies the bonus level brought were closed: on between the
    // levels.
    void TrophiesClosed();

private:
    // The board plays a challenge or an ordinary level.
    void RunChallenge(ChallengeKind kind);
    void ReleaseChallenge();
    const CountedHandle<CQoForm>& ChallengeForm() const;
    // The number the running challenge's rules name: what wins it.
    int ChallengeGoal() const;

    // The plates of a challenge on the board's cells; the stars' area and
    // the frenzy bar they land in.
    void LayPlates(CPlateChallenge& challenge);
    void PlaceStars(CAccuracyChallenge& accuracy);
    // The share of the sand box a Memory plate pours, by the group.
    float MemorySand() const;
    // A challenge runs, its play has not ended and is not paused.
    bool TakesInput() const;

    void ShowChallenge();
    void ShowRules();
    void RulesRead();
    void StartChallenge();
    bool RunClock();
    // The challenge's controller is told it has ended.
    void EndChallenge();
    void FinishChallenge();
    void LeaveChallenge();
    bool NoTrophiesUp();
    void ShowTrophies();
    void LeaveForTheStory();

    void Points(int32_t value, const Vec2& at);
    void OnHit();
    void OnRoundOver();
    void OnPrompt(int value);
    void Win();
    void Fail(int text);

    static const FlowStep<CBonusLevel> kSteps[];
    RunningChallenge m_challenge;
    int m_number = 0, m_group = 0;
    // The challenge's whole time, for its gauge.
    float m_challengeTime = 0.0f;
};
