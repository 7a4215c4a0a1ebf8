// The trophies judged and the trophies screen over a level.
#include "game/flow/TrophiesOverlay.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

CTrophiesOverlay::CTrophiesOverlay(CGameFlow& flow, CGameServices& services, CQuestState& quest)
    : m_flow(flow), m_services(services), m_quest(quest)
{}

bool CTrophiesOverlay::JudgeAfterGame()
{
    return JudgeTrophiesAfterGame(*m_services.trophies, m_quest.CurrentTrophyValues()) != 0;
}

bool CTrophiesOverlay::JudgePartial(bool withCascade)
{
    return JudgeTrophiesPartial(*m_services.trophies, m_quest.CurrentTrophyValues(), withCascade ? 1 : 0) != 0;
}

void CTrophiesOverlay::RunStep()
{
    if (m_overLevel)
        HideOverLevel();
    else
        ShowOverLevel();
}

void CTrophiesOverlay::Show()
{
    m_services.screens->ShowForm(m_services.screens->trophies.form, 5.0f);
    m_services.trophies->ShowBackground(true);
    m_services.trophies->RefreshIcons();
}

void CTrophiesOverlay::Hide()
{
    CTrophiesScreen& trophies = *m_services.trophies;
    trophies.CommitAwards();
    if (m_quest.playerName)
        trophies.Save(m_quest.PlayerFolder() + "Trophies.dat");
    m_services.screens->HideForm(m_services.screens->trophies.form, 5.0f);
    trophies.ShowBackground(false);
}

// The level's screens and the board step back while the trophies are up;
// play waits. The rest the trophy came in is what a close under the screen
// keeps.
void CTrophiesOverlay::ShowOverLevel()
{
    CGameScreens& screens = *m_services.screens;
    CGameBoard& board = *m_services.board;
    m_flow.play.KeepRestIfAtRest();
    board.SetLocked(true);
    m_formsUnder.clear();
    // A bonus level's forms are already on their way out.
    const bool bonusLevel = m_flow.IsIn<CBonusLevel>();
    for (const auto* f :
         {&screens.quest.form, &screens.statistics.form, &screens.newLevel.form, &screens.memory.form,
          &screens.arcade.form, &screens.thimbles.form, &screens.blinker.form})
        if (!bonusLevel && (*f)->IsVisible()) {
            m_formsUnder.push_back(*f);
            screens.HideForm(*f, 5.0f);
        }
    // Only play has the board under the trophies; after a level it is on
    // its way out.
    m_boardUnder = m_flow.IsIn<CPlay>() && board.IsShown();
    if (m_boardUnder) {
        board.LetGo();
        m_flow.level.dragging = false;
        board.Show(false, false, 5.0f);
    }
    m_overLevel = true;
    Show();
}

void CTrophiesOverlay::HideOverLevel()
{
    Hide();
    m_overLevel = false;
    for (const auto& f : m_formsUnder)
        m_services.screens->ShowForm(f, 5.0f);
    m_formsUnder.clear();
    if (m_boardUnder)
        m_services.board->Show(true, true, 5.0f);
    m_services.board->SetLocked(false);
    if (m_flow.IsIn<CBonusLevel>())
        m_flow.bonusLevel.TrophiesClosed();
}
