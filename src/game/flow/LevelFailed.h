// A lost level: the board settles and goes, a box says why, and once the
// player has read it the checkpoint's level comes back and the shop opens
// again before it.
#pragma once

#include "game/flow/FlowState.h"

class CLevelFailed : public CFlowState {
public:
    enum Step {
        kSettle,
        kMessage,
        kReload,
        kAFrame,
        kReopenShop,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "level failed"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseLevelFailed; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    InputResult OnCommand(Command command) override;

private:
    bool Settled();
    void SayWhy();
    void Reload();
    void ReopenShop();

    static const FlowStep<CLevelFailed> kSteps[];
};
