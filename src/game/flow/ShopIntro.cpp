// The way into the shop of a saved quest, step by step.
#include "game/flow/ShopIntro.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CShopIntro> CShopIntro::kSteps[] = {
    {kScene, "the scene", 1.0f, nullptr, &CShopIntro::HoldTheGauge, kOpenShop},
    {kOpenShop, "the shop opens", 0.5f, nullptr, &CShopIntro::OpenShop, kOpenShop},
};

const char* CShopIntro::StepName() const { return StepNameIn(kSteps); }

void CShopIntro::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the shop intro's steps are listed in order");
    RunSteps(kSteps);
}

void CShopIntro::HoldTheGauge() { m_services.screens->gaugeHold = m_quest.gameType; }

void CShopIntro::OpenShop() { m_flow.shopVisit.Reopen(); }
