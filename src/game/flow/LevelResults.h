// A won level's results: the best lists take a better time or score, the
// time left turns into points, and the results form reveals its rows one by
// one while the time bonus counts up; a press during the first rows
// finishes the tally at once. Its continue button leads to the bonus level
// the level opens, or on towards the next level.
#pragma once

#include "game/flow/FlowState.h"

#include <cstdint>

class CLevelResults : public CFlowState {
public:
    enum Step {
        kTimeRows,
        kPauseAfterTime,
        kScoreRows,
        kPauseAfterScore,
        kTallyStarts,
        kTallying,
        kPauseAfterTally,
        kBestScoreRow,
        kPauseAfterBestScore,
        kBestTimeMark,
        kNewBestTime,
        kPauseAfterBestTime,
        kBestScoreMark,
        kNewBestScore,
        kPauseAfterBestScoreMark,
        kHeadings,
        kPauseAfterHeadings,
        kFirstCounters,
        kSecondCounters,
        kThirdCounters,
        kFourthCounters,
        kFifthCounters,
        kAllShown,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "level results"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseResults; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;
    InputResult OnCommand(Command command) override;

    // The results tallied and filled in; shown at once or waiting hidden for
    // the rows to be revealed.
    void Fill(bool visible);

private:
    void SetVisible(bool visible);
    void RevealTimeRows();
    void RevealScoreRows();
    void StartTally();
    bool TallyCounted();
    void FinishTally();
    void RevealBestScoreRow();
    void RevealBestTimeMark();
    void RevealBestScoreMark();
    void RevealHeadings();
    void RevealCounterRow();
    void ShowEnd();
    void ShowTallyValues(float share);
    // The revealed controls show with a flare and a tick.
    template <class Controls>
    void Reveal(const Controls& shown);
    // Continue: to the bonus level the level opens, or the story between
    // levels.
    void Continue();

    static const FlowStep<CLevelResults> kSteps[];
    // The quest score the tally counts up from.
    int32_t m_tallyScoreFrom = 0;
};
