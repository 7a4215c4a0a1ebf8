// The quest's end without lives, step by step.
#include "game/flow/QuestOver.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CQuestOver> CQuestOver::kSteps[] = {
    {kSettle, "the board settles", 0.5f, &CQuestOver::Settled, &CQuestOver::SayItIsOver, kMessage},
    {kMessage, "the player reads it", kForThePlayer, nullptr, nullptr, kClear},
    {kClear, "the level's screen goes", 0.5f, nullptr, &CQuestOver::Clear, kAFrame},
    {kAFrame, "a frame", 0.0f, nullptr, nullptr, kAnotherFrame},
    {kAnotherFrame, "a frame", 0.0f, nullptr, nullptr, kToMenu},
    {kToMenu, "the menu comes", 0.0f, nullptr, &CQuestOver::ToMenu, kToMenu},
};

const char* CQuestOver::StepName() const { return StepNameIn(kSteps); }

bool CQuestOver::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CQuestOver::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the quest's end's steps are listed in order");
    RunSteps(kSteps);
}

bool CQuestOver::Settled() { return !m_services.board->TokensMoving(); }

void CQuestOver::SayItIsOver()
{
    m_flow.level.HideLevelScreen(true);
    if (m_quest.gameType == 0)
        m_services.ShowMessage(GetString(m_flow.level.lifeLost.timeUp ? 54 : 13) + "\n" + GetString(58),
                               CGameScreens::kGroupContinue, Question::GameOver, 2.0f);
    m_services.Play(FlowSound::Failure);
}

InputResult CQuestOver::OnCommand(Command command)
{
    if (command == Command::MessageOk && m_services.screens->AskedQuestion() == Question::GameOver)
        GoTo(kClear);
    return InputResult::Continue;
}

void CQuestOver::Clear() { m_flow.level.ClearForMenu(); }

// The score went into the table when the quest ended; a second offer would
// find its own entry there and could say it did not.
void CQuestOver::ToMenu() { m_flow.ReturnToMenu(m_quest.hiscoreEntered ? 61 : 0, Question::NewHighScore); }
