// The quest completed after its last level: the winners' page comes with
// its fanfare; a key or a click brings the trophies, with the medal of the
// finished quest; once they are closed the player is a veteran, the quest's
// saves go, and the menu comes, first telling that the Hard mode is open
// (after a Normal quest) or of a new high score.
#pragma once

#include "game/flow/FlowState.h"

class CQuestComplete : public CFlowState {
public:
    enum Step {
        kFirstFrame,
        kSecondFrame,
        kWinnersPage,
        kWinners,
        kTrophies,
        kClear,
        kAFrame,
        kAnotherFrame,
        kToMenu,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "quest complete"; }
    GameMode Mode() const override { return kModeQuestComplete; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    // The quest's score goes into the hiscore table at once.
    void Enter() override;
    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;
    bool Key(int key) override;
    InputResult OnCommand(Command command) override;

private:
    void ShowWinners();
    void ShowTrophies();
    void CloseTrophies();
    void Clear();
    void ToMenu();

    static const FlowStep<CQuestComplete> kSteps[];
};
