// Between two levels, after the results or a bonus level: the scene shows
// the stage's progress until the player goes on; the next level's stage
// brings its newspaper first when it opens a stage; then the shop opens.
// After the last level the quest is complete instead.
#pragma once

#include "game/flow/FlowState.h"

class CBetweenLevels : public CFlowState {
public:
    enum Step {
        kCaptionGoes,
        kProgressShows,
        kStageProgress,
        kNewspaperOrShop,
        kToShop,
        kNewspaperComes,
        kNewspaper,
        kNewspaperToShop,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "between levels"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseAfterResults; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    bool Key(int key) override;
    void AfterCommands() override;

private:
    void ShowProgress();
    void ChooseNewspaperOrShop();
    void OpenShopFromScene();
    void ShowNewspaper();
    void OpenShopFromNewspaper();
    // The player goes on from the scene or the newspaper.
    void GoOn();

    static const FlowStep<CBetweenLevels> kSteps[];
};
