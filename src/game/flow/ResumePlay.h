// Play resumes on the level's own board after the totem lesson's board
// gave way to it: a moment for the new board, then play.
#pragma once

#include "game/flow/FlowState.h"

class CResumePlay : public CFlowState {
public:
    enum Step { kNewBoard };
    using CFlowState::CFlowState;
    const char* Name() const override { return "resume play"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseResume; }
    const char* StepName() const override;

    void Update(float dt) override;

private:
    bool BoardShown();
    void Resume();

    static const FlowStep<CResumePlay> kSteps[];
};
