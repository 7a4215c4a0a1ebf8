// A won level: its caption, the board settles and goes with the sand box
// and the gems bar, the results form comes in, and the board is cleared for
// the results' tally. The level counts as won for the quest on entering.
#pragma once

#include "game/flow/FlowState.h"

class CLevelComplete : public CFlowState {
public:
    enum Step {
        kCaption,
        kSettle,
        kResultsComing,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "level complete"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseLevelComplete; }
    const char* StepName() const override;

    void Enter() override;
    void Update(float dt) override;

private:
    void HideCaption();
    bool Settled();
    void ShowResultsForm();
    void ToResults();

    static const FlowStep<CLevelComplete> kSteps[];
};
