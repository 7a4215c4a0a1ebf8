// A level's intro in the level-intro mode (a new quest's first level, or a
// saved quest going on): the level's caption, then the HUD and the board
// come in, the caption goes, and play begins.
#pragma once

#include "game/flow/FlowState.h"

class CLevelIntro : public CFlowState {
public:
    enum Step {
        kCaption,
        kHud,
        kStartPlay,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "level intro"; }
    GameMode Mode() const override { return kModeLevelIntro; }
    const char* StepName() const override;

    void Update(float dt) override;

private:
    void ShowHud();
    void HideCaption();
    void StartPlay();

    static const FlowStep<CLevelIntro> kSteps[];
};
