// The way back to the main menu, step by step.
#include "game/flow/BackToMenu.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CBackToMenu> CBackToMenu::kSteps[] = {
    {kSettle, "the board settles", 0.5f, &CBackToMenu::Settled, &CBackToMenu::HideLevel, kClear},
    {kClear, "the level's screen goes", 0.5f, nullptr, &CBackToMenu::Clear, kAFrame},
    {kAFrame, "a frame", 0.0f, nullptr, nullptr, kAnotherFrame},
    {kAnotherFrame, "a frame", 0.0f, nullptr, nullptr, kToMenu},
    {kToMenu, "the menu comes", 0.0f, nullptr, &CBackToMenu::ToMenu, kToMenu},
};

const char* CBackToMenu::StepName() const { return StepNameIn(kSteps); }

void CBackToMenu::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the way back's steps are listed in order");
    RunSteps(kSteps);
}

bool CBackToMenu::Settled() { return !m_services.board->TokensMoving(); }

void CBackToMenu::HideLevel() { m_flow.level.HideLevelScreen(true); }

void CBackToMenu::Clear() { m_flow.level.ClearForMenu(); }

void CBackToMenu::ToMenu() { m_flow.ReturnToMenu(m_quest.hiscoreEntered ? 61 : 0, Question::NewHighScore); }
