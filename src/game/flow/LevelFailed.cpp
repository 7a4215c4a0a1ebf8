// A lost level's way back to the shop, step by step.
#include "game/flow/LevelFailed.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"
#include "screens/TextFormat.h"

constexpr FlowStep<CLevelFailed> CLevelFailed::kSteps[] = {
    {kSettle, "the board settles", 0.5f, &CLevelFailed::Settled, &CLevelFailed::SayWhy, kMessage},
    {kMessage, "the player reads why", kForThePlayer, nullptr, nullptr, kReload},
    {kReload, "the checkpoint's level comes back", 0.5f, nullptr, &CLevelFailed::Reload, kAFrame},
    // The reloaded level gets one frame before the shop opens.
    {kAFrame, "a frame", 0.0f, nullptr, nullptr, kReopenShop},
    {kReopenShop, "the shop opens again", 0.0f, nullptr, &CLevelFailed::ReopenShop, kReopenShop},
};

const char* CLevelFailed::StepName() const { return StepNameIn(kSteps); }

bool CLevelFailed::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CLevelFailed::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the lost level's steps are listed in order");
    RunSteps(kSteps);
}

bool CLevelFailed::Settled() { return !m_services.board->TokensMoving(); }

// Without lives the checkpoint names the level the quest goes back to.
void CLevelFailed::SayWhy()
{
    m_flow.level.HideLevelScreen(true);
    if (m_quest.gameType == 0) {
        std::string text;
        if (m_quest.reloadedWithoutLives) {
            int stage = 0, inStage = 0;
            SplitLevelNumber(m_services.questSave->level, &stage, &inStage);
            text = GetString(56) + "\n" + FormatTableText(57, 256, stage, inStage);
        } else {
            text = GetString(54) + "\n" + GetString(55);
        }
        m_services.ShowMessage(text, CGameScreens::kGroupContinue, Question::LevelFailed, 2.0f);
    }
    m_services.Play(FlowSound::Failure);
}

InputResult CLevelFailed::OnCommand(Command command)
{
    if (command == Command::MessageOk && m_services.screens->AskedQuestion() == Question::LevelFailed)
        GoTo(kReload);
    return InputResult::Continue;
}

void CLevelFailed::Reload()
{
    m_services.board->Clear();
    m_flow.loader.ResumeQuestLevel();
}

void CLevelFailed::ReopenShop()
{
    m_quest.levelWon = false;
    m_flow.shopVisit.Reopen();
}
