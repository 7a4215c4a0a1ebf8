// A won level's way to its results, step by step.
#include "game/flow/LevelComplete.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CLevelComplete> CLevelComplete::kSteps[] = {
    {kCaption, "the level's caption", 1.5f, nullptr, &CLevelComplete::HideCaption, kSettle},
    {kSettle, "the board settles", 0.5f, &CLevelComplete::Settled, &CLevelComplete::ShowResultsForm,
     kResultsComing},
    {kResultsComing, "the results come in", 0.5f, nullptr, &CLevelComplete::ToResults, kResultsComing},
};

const char* CLevelComplete::StepName() const { return StepNameIn(kSteps); }

void CLevelComplete::Enter()
{
    CGameServices& s = m_services;
    s.adviser->Reset();
    m_flow.level.ResetHints();
    s.board->Events().DropPlayEvents();
    s.screens->SetNewLevelCaptionText(GetString(10));
    s.screens->ShowForm(s.screens->newLevel.form, 2.0f);
    s.board->SetSandDrain(false, 0.0f);
    s.Play(FlowSound::LevelComplete);
    m_quest.WinLevel();
}

void CLevelComplete::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the won level's steps are listed in order");
    RunSteps(kSteps);
}

void CLevelComplete::HideCaption() { m_services.screens->HideForm(m_services.screens->newLevel.form, 2.0f); }

bool CLevelComplete::Settled() { return !m_services.board->TokensMoving(); }

// The results are filled in and wait hidden for the tally.
void CLevelComplete::ShowResultsForm()
{
    m_flow.level.HideLevelScreen(false);
    m_flow.levelResults.Fill(false);
    m_services.screens->ShowForm(m_services.screens->statistics.form, 2.0f);
}

void CLevelComplete::ToResults()
{
    m_services.board->Clear();
    if (m_services.music)
        m_services.music->FadeTo(2);
    m_flow.Enter(m_flow.levelResults);
}
