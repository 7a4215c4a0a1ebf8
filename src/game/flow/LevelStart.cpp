// The next level's start, step by step.
#include "game/flow/LevelStart.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CLevelStart> CLevelStart::kSteps[] = {
    {kCaption, "the caption", 1.0f, nullptr, &CLevelStart::ShowHud, kHud},
    {kHud, "the HUD and the board come in", 1.0f, nullptr, &CLevelStart::HideCaption, kStartPlay},
    {kStartPlay, "the caption goes", 0.5f, nullptr, &CLevelStart::StartPlay, kStartPlay},
};

const char* CLevelStart::StepName() const { return StepNameIn(kSteps); }

void CLevelStart::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the level start's steps are listed in order");
    RunSteps(kSteps);
}

void CLevelStart::ShowHud() { m_flow.level.ShowHud(); }

void CLevelStart::HideCaption() { m_services.screens->HideForm(m_services.screens->newLevel.form, 2.0f); }

void CLevelStart::StartPlay()
{
    m_flow.level.StartLevelPlay();
    m_quest.levelIntroPending = false;
    m_flow.Enter(m_flow.play);
}
