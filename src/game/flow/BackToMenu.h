// The player leaves the quest for the main menu (from the pause menu, the
// shop or the map): the board settles and goes, the menu's music and scene
// come back, and the menu comes, first telling of a new high score.
#pragma once

#include "game/flow/FlowState.h"

class CBackToMenu : public CFlowState {
public:
    enum Step {
        kSettle,
        kClear,
        kAFrame,
        kAnotherFrame,
        kToMenu,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "back to menu"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseToMenu; }
    const char* StepName() const override;

    void Update(float dt) override;

private:
    bool Settled();
    void HideLevel();
    void Clear();
    void ToMenu();

    static const FlowStep<CBackToMenu> kSteps[];
};
