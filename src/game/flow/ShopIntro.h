// A saved quest that goes on in the shop: a moment over its scene, then the
// shop opens for the next level.
#pragma once

#include "game/flow/FlowState.h"

class CShopIntro : public CFlowState {
public:
    enum Step {
        kScene,
        kOpenShop,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "shop intro"; }
    GameMode Mode() const override { return kModeShopIntro; }
    const char* StepName() const override;

    void Update(float dt) override;

private:
    void HoldTheGauge();
    void OpenShop();

    static const FlowStep<CShopIntro> kSteps[];
};
