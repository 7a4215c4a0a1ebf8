// The quest is over, its lives spent: the board settles and goes, a box
// says so, and once the player has read it the menu comes, first telling of
// a new high score.
#pragma once

#include "game/flow/FlowState.h"

class CQuestOver : public CFlowState {
public:
    enum Step {
        kSettle,
        kMessage,
        kClear,
        kAFrame,
        kAnotherFrame,
        kToMenu,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "quest over"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseQuestOver; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    InputResult OnCommand(Command command) override;

private:
    bool Settled();
    void SayItIsOver();
    void Clear();
    void ToMenu();

    static const FlowStep<CQuestOver> kSteps[];
};
