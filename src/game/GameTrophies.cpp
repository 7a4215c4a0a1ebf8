// The game's side of the trophies: the quest's values judged against the
// trophies' thresholds, and the trophies screen brought in and taken out,
// at the end of a completed quest or over a level's screens.
#include "game/Game.h"

TrophyValues CGame::CurrentTrophyValues() const
{
    const int32_t score = stats.tables[1].Get(StatScore);
    return MakeTrophyValues(stats, trophyCounters[0], trophyCounters[1], trophyCounters[2],
                            hiscores.FindRank(score) + 1, lastGameValue);
}

int CGame::EvaluateTrophiesAfterGame() { return JudgeTrophiesAfterGame(*trophies, CurrentTrophyValues()); }

int CGame::EvaluateTrophiesPartial(bool withCascade)
{
    return JudgeTrophiesPartial(*trophies, CurrentTrophyValues(), withCascade ? 1 : 0);
}

void CGame::RunTrophyStep()
{
    if (mode == kModeQuestComplete) {
        if (subState == 3)
            ShowTrophiesStep(true);
        else if (subState == 10)
            ShowTrophiesStep(false);
        return;
    }
    ShowTrophiesStep(!trophiesOverLevel);
}

void CGame::ShowTrophiesStep(bool show)
{
    const CountedHandle<CQoForm>& form = screens->trophies.form;
    if (show) {
        if (mode == kModeQuestComplete) {
            if (const int reached = trophies->EvaluateLevel(0, hardMode ? 1 : 0))
                trophies->RecordAward(0, reached);
            screens->HideForm(screens->win.form, 2.0f);
            Next(10);
        } else {
            // The level's screens and the board step back while the
            // trophies are up; play waits.
            board->SetLocked(true);
            m_formsUnderTrophies.clear();
            // A bonus level's forms are already on their way out.
            for (const auto* f :
                 {&screens->quest.form, &screens->statistics.form, &screens->newLevel.form, &screens->memory.form,
                  &screens->arcade.form, &screens->thimbles.form, &screens->blinker.form})
                if (phase != kPhaseBonusLevel && (*f)->IsVisible()) {
                    m_formsUnderTrophies.push_back(*f);
                    screens->HideForm(*f, 5.0f);
                }
            // Only play has the board under the trophies; after a level
            // it is on its way out.
            m_boardUnderTrophies = phase == kPhasePlay && board->IsShown();
            if (m_boardUnderTrophies) {
                board->LetGo();
                dragging = false;
                board->Show(false, false, 0.2f);
            }
            trophiesOverLevel = true;
        }
        screens->ShowForm(form, 5.0f);
        trophies->ShowBackground(true);
        trophies->RefreshIcons();
        return;
    }
    trophies->CommitAwards();
    if (playerName)
        trophies->Save(PlayerFolder() + "Trophies.dat");
    screens->HideForm(form, 5.0f);
    trophies->ShowBackground(false);
    if (mode == kModeQuestComplete) {
        if (profile) {
            profile->veteran = 1;
            profile->questTutorial = 0;
            profile->SaveSettings(paths.folders[CDataPaths::Players] + profile->Name());
        }
        DeleteQuestSaves(gameType, true);
        Next(4);
        return;
    }
    trophiesOverLevel = false;
    for (const auto& f : m_formsUnderTrophies)
        screens->ShowForm(f, 5.0f);
    m_formsUnderTrophies.clear();
    if (m_boardUnderTrophies)
        board->Show(true, true, 0.2f);
    board->SetLocked(false);
    if (phase == kPhaseBonusLevel && subState == 20)
        LeaveBonusLevel();
}
