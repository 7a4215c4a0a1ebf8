// The next level of a running quest begins: its caption over the stage's
// scene, then the HUD and the board come in, the caption goes, and play
// begins.
#pragma once

#include "game/flow/FlowState.h"

class CLevelStart : public CFlowState {
public:
    enum Step {
        kCaption,
        kHud,
        kStartPlay,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "level start"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseLevelStart; }
    const char* StepName() const override;

    void Update(float dt) override;

private:
    void ShowHud();
    void HideCaption();
    void StartPlay();

    static const FlowStep<CLevelStart> kSteps[];
};
