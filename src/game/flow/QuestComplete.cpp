// The completed quest, step by step.
#include "game/flow/QuestComplete.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CQuestComplete> CQuestComplete::kSteps[] = {
    {kFirstFrame, "first frame", 0.0f, nullptr, nullptr, kSecondFrame},
    {kSecondFrame, "second frame", 0.0f, nullptr, nullptr, kWinnersPage},
    {kWinnersPage, "the winners' page comes", 0.0f, nullptr, &CQuestComplete::ShowWinners, kWinners},
    {kWinners, "the player looks at the winners' page", kForThePlayer, nullptr, nullptr, kTrophies},
    {kTrophies, "the player looks at the trophies", kForThePlayer, nullptr, nullptr, kClear},
    {kClear, "the trophies go", 0.5f, nullptr, &CQuestComplete::Clear, kAFrame},
    {kAFrame, "a frame", 0.0f, nullptr, nullptr, kAnotherFrame},
    {kAnotherFrame, "a frame", 0.0f, nullptr, nullptr, kToMenu},
    {kToMenu, "the menu comes", 0.0f, nullptr, &CQuestComplete::ToMenu, kToMenu},
};

const char* CQuestComplete::StepName() const { return StepNameIn(kSteps); }

bool CQuestComplete::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CQuestComplete::Enter()
{
    m_services.screens->SwitchNewspaper();
    m_quest.EnterHiscore();
}

void CQuestComplete::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the completed quest's steps are listed in order");
    RunSteps(kSteps);
}

void CQuestComplete::ShowWinners()
{
    CGameScreens& screens = *m_services.screens;
    screens.HideForm(screens.background.form, 2.0f);
    screens.ShowForm(screens.win.form, 2.0f);
    m_services.Play(FlowSound::Victory);
}

void CQuestComplete::Press(float, float, const ScreenPress&)
{
    if (StepIndex() == kWinners)
        ShowTrophies();
}

bool CQuestComplete::Key(int)
{
    if (StepIndex() != kWinners)
        return false;
    ShowTrophies();
    return true;
}

// Both of the trophies screen's buttons leave it.
InputResult CQuestComplete::OnCommand(Command command)
{
    if ((command == Command::TrophiesContinue || command == Command::TrophiesClose) && StepIndex() == kTrophies)
        CloseTrophies();
    return InputResult::Continue;
}

// The finished quest's medal, for its difficulty.
void CQuestComplete::ShowTrophies()
{
    CTrophiesScreen& trophies = *m_services.trophies;
    if (const int reached = trophies.EvaluateLevel(0, m_quest.hardMode ? 1 : 0))
        trophies.RecordAward(0, reached);
    m_services.screens->HideForm(m_services.screens->win.form, 2.0f);
    GoTo(kTrophies);
    m_flow.trophies.Show();
}

void CQuestComplete::CloseTrophies()
{
    m_flow.trophies.Hide();
    if (const CountedHandle<CProfile>& player = m_quest.profile) {
        player->veteran = 1;
        player->questTutorial = 0;
        player->SaveSettings(m_services.paths.folders[CDataPaths::Players] + player->Name());
    }
    m_quest.DeleteSaves(true);
    GoTo(kClear);
}

void CQuestComplete::Clear() { m_flow.level.ClearForMenu(); }

// A Normal quest's end says the Hard mode is open; its OK then tells of a
// new high score.
void CQuestComplete::ToMenu()
{
    if (!m_quest.hardMode)
        m_flow.ReturnToMenu(62, Question::HardModeUnlocked);
    else
        m_flow.ReturnToMenu(m_quest.hiscoreEntered ? 61 : 0, Question::NewHighScore);
}
