// Between two levels, step by step.
#include "game/flow/BetweenLevels.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CBetweenLevels> CBetweenLevels::kSteps[] = {
    {kCaptionGoes, "the caption goes", 0.5f, nullptr, &CBetweenLevels::ShowProgress, kProgressShows},
    {kProgressShows, "the stage's progress shows", 0.5f, nullptr, nullptr, kStageProgress},
    {kStageProgress, "the player goes on", kForThePlayer, nullptr, nullptr, kNewspaperOrShop},
    {kNewspaperOrShop, "a new stage's newspaper, or the shop", 0.0f, nullptr,
     &CBetweenLevels::ChooseNewspaperOrShop, kToShop},
    {kToShop, "the shop opens", 0.0f, nullptr, &CBetweenLevels::OpenShopFromScene, kToShop},
    {kNewspaperComes, "the newspaper comes", 0.0f, nullptr, &CBetweenLevels::ShowNewspaper, kNewspaper},
    {kNewspaper, "the player reads the newspaper", kForThePlayer, nullptr, nullptr, kNewspaperToShop},
    {kNewspaperToShop, "the shop opens", 0.0f, nullptr, &CBetweenLevels::OpenShopFromNewspaper, kNewspaperToShop},
};

const char* CBetweenLevels::StepName() const { return StepNameIn(kSteps); }

bool CBetweenLevels::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CBetweenLevels::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the steps between levels are listed in order");
    RunSteps(kSteps);
}

void CBetweenLevels::ShowProgress()
{
    m_services.screens->HideForm(m_services.screens->newLevel.form, 2.0f);
    if (m_services.backgrounds) {
        int stage = 0, inStage = 0;
        SplitLevelNumber(m_quest.level, &stage, &inStage);
        m_services.backgrounds->SetProgress(inStage, 0);
    }
}

// Stages 2 to 5 open with their newspaper.
void CBetweenLevels::ChooseNewspaperOrShop()
{
    int stage = 0, inStage = 0;
    SplitLevelNumber(m_quest.level + 1, &stage, &inStage);
    if (inStage == 1 && stage >= 2 && stage <= 5) {
        m_services.screens->ShowNewspaper(stage - 2);
        GoTo(kNewspaperComes);
    }
}

void CBetweenLevels::OpenShopFromScene()
{
    m_services.screens->HideForm(m_services.screens->background.form, 2.0f);
    m_flow.shopVisit.Open();
}

void CBetweenLevels::ShowNewspaper()
{
    CGameScreens& screens = *m_services.screens;
    screens.HideForm(screens.background.form, 2.0f);
    screens.ShowForm(screens.newspaper.form, 2.0f);
}

void CBetweenLevels::OpenShopFromNewspaper()
{
    m_services.screens->HideForm(m_services.screens->newspaper.form, 2.0f);
    m_flow.shopVisit.Open();
}

bool CBetweenLevels::Key(int)
{
    if (!WaitsForPlayer())
        return false;
    GoOn();
    return true;
}

// A release anywhere goes on as a key does.
void CBetweenLevels::AfterCommands()
{
    if (WaitsForPlayer())
        GoOn();
}

// After the last level the quest is complete; otherwise the shop's panel
// and the next stage's map are made ready.
void CBetweenLevels::GoOn()
{
    if (m_quest.level > 40) {
        m_flow.CompleteQuest();
        return;
    }
    m_services.SwapPanelTextures(true, m_quest.gameType != 0);
    int stage = 0, inStage = 0;
    SplitLevelNumber(m_quest.level + 1, &stage, &inStage);
    m_services.screens->RecreateMapTextures(stage);
    GoTo(StepIndex() == kStageProgress ? kNewspaperOrShop : kNewspaperToShop);
}
