// The main menu's commands and the player's choice of profile.
#include "game/flow/Menus.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

#include <algorithm>

void CMenus::Update(float)
{
    const CountedHandle<CBackgroundManager>& scenes = m_services.backgrounds;
    if (scenes)
        scenes->SetMainMenuHover(scenes->MainMenuShiftZone().Contains(m_flow.cursorX, m_flow.cursorY));
}

InputResult CMenus::OnCommand(Command command)
{
    CGameScreens& screens = *m_services.screens;
    const Question asked = screens.AskedQuestion();
    switch (command) {
    case Command::PlayQuest:
        StartQuestFromMenu();
        break;
    case Command::Exit:
        return InputResult::Quit;
    case Command::Options:
        m_flow.options.Open(screens.mainMenu.form, 2.0f);
        break;
    case Command::ProfileOk:
    case Command::NameOk:
        MakeProfileCurrent(screens.profileSelected);
        break;
    case Command::MessageOk:
        // A Normal quest's end said the Hard mode is open; a new high score
        // is told next.
        if (asked == Question::HardModeUnlocked) {
            if (m_quest.hiscoreEntered)
                m_services.ShowMessage(GetString(61), CGameScreens::kGroupOk, Question::NewHighScore, 2.0f);
            else
                screens.ShowForm(screens.mainMenu.form, 2.0f);
        }
        break;
    case Command::MessageYes:
    case Command::MessageNo:
        if (asked == Question::ReplaceSavedQuest && command == Command::MessageYes) {
            if (m_quest.profile && m_quest.profile->veteran) {
                AskHardMode(4.0f);
            } else {
                screens.HideForm(screens.startQuest.form, 2.0f);
                StartFreshQuest(0);
            }
        } else if (asked == Question::TryHardMode) {
            screens.HideForm(screens.msgBox.form, 2.0f);
            StartFreshQuest(command == Command::MessageYes ? 1 : 0);
        }
        break;
    case Command::ContinueQuest:
        ContinueQuest();
        break;
    case Command::OptionsOk:
        m_flow.options.Confirm(screens.mainMenu.form, 2.0f);
        break;
    default:
        break;
    }
    return InputResult::Continue;
}

void CMenus::StartQuestFromMenu()
{
    m_quest.gameType = 0;
    if (!m_services.questSave)
        m_services.questSave = MakeCountedHandle(new CQuestSave());
    CQuestSave& save = *m_services.questSave;
    const bool loaded = LoadQuestToContinue(save, m_quest.PlayerFolder()) != QuestSource::None;
    CGameScreens& screens = *m_services.screens;
    screens.HideForm(screens.mainMenu.form, 2.0f);
    if (loaded) {
        // A quest saved in the shop goes on with the next level, if there is
        // one.
        const int next = save.level + (save.resumeKind == CQuestSave::kResumeInShop ? 1 : 0);
        screens.SetStartQuestCaption(std::min(next, static_cast<int>(CQuestSave::kLastLevel)),
                                     save.difficulty != 0);
        screens.ShowForm(screens.startQuest.form, 2.0f);
    } else if (m_quest.profile && m_quest.profile->veteran) {
        AskHardMode(2.0f);
    } else {
        m_flow.StartNewQuest(0);
    }
}

void CMenus::AskHardMode(float speed)
{
    m_services.ShowMessage(GetString(63), CGameScreens::kGroupHardNormal, Question::TryHardMode, speed);
}

void CMenus::StartFreshQuest(int difficulty)
{
    m_quest.DeleteSaves(true);
    m_flow.StartNewQuest(difficulty);
}

// The saved quest goes on: in its level's intro, or in the shop when it was
// saved there. A quest kept in the last level's shop has nothing left to
// play: it is complete.
void CMenus::ContinueQuest()
{
    m_services.questSave->state = 2;
    CFlowState& entry = m_flow.loader.StartQuestLevel();
    if (&entry == &m_flow.shopIntro && m_quest.level >= CQuestSave::kLastLevel)
        m_flow.CompleteQuest();
    else
        m_flow.Enter(entry);
}

void CMenus::MakeProfileCurrent(int index)
{
    if (!m_quest.MakePlayerCurrent(index))
        return;
    m_services.board->SetLessons(m_quest.CurrentLessonPlan());
    m_services.trophies->Load(m_quest.PlayerFolder() + "Trophies.dat");
}
