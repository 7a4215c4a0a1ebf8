// A level's intro, step by step; the board runs under it.
#include "game/flow/LevelIntro.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CLevelIntro> CLevelIntro::kSteps[] = {
    {kCaption, "the caption", 1.0f, nullptr, &CLevelIntro::ShowHud, kHud},
    {kHud, "the HUD and the board come in", 1.0f, nullptr, &CLevelIntro::HideCaption, kStartPlay},
    {kStartPlay, "the caption goes", 0.5f, nullptr, &CLevelIntro::StartPlay, kStartPlay},
};

const char* CLevelIntro::StepName() const { return StepNameIn(kSteps); }

void CLevelIntro::Update(float dt)
{
    static_assert(StepsInOrder(kSteps), "the intro's steps are listed in order");
    m_services.board->Update(dt, m_flow.cursorX, m_flow.cursorY);
    RunSteps(kSteps);
}

void CLevelIntro::ShowHud() { m_flow.level.ShowHud(); }

void CLevelIntro::HideCaption() { m_services.screens->HideForm(m_services.screens->newLevel.form, 2.0f); }

// The quest may be saved from now on.
void CLevelIntro::StartPlay()
{
    m_flow.Enter(m_flow.play);
    m_flow.level.StartLevelPlay();
    m_services.questSave->state = 0;
    m_quest.levelIntroPending = false;
}
