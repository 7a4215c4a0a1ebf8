// The pause menu.
#include "game/flow/PauseMenu.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

namespace {
constexpr float kMenuSpeed = 4.0f;
} // namespace

CPauseMenu::CPauseMenu(CGameFlow& flow, CGameServices& services, CQuestState& quest)
    : m_flow(flow), m_services(services), m_quest(quest)
{}

// A pause key closes a lesson's prompt even when play cannot pause.
bool CPauseMenu::Toggle()
{
    CGameScreens& screens = *m_services.screens;
    const CQoForm& quest = *screens.quest.form;
    const CQoForm& menu = *screens.gameMenu.form;
    if (quest.IsVisible() && quest.active && quest.IsEnabled()) {
        m_flow.lessons.Close(true);
        if (!m_flow.level.IsReadyForInput())
            return false;
        m_flow.play.KeepRestIfAtRest();
        m_services.board->SetLocked(true);
        screens.ShowForm(screens.gameMenu.form, kMenuSpeed);
        screens.quest.form->SetEnabled(false);
        return true;
    }
    if (menu.IsVisible() && menu.active) {
        screens.HideForm(screens.gameMenu.form, kMenuSpeed);
        screens.quest.form->SetEnabled(true);
        m_services.board->SetLocked(false);
        return true;
    }
    return false;
}

InputResult CPauseMenu::OnCommand(Command command)
{
    CGameScreens& screens = *m_services.screens;
    switch (command) {
    case Command::QuestMenu:
        Open();
        break;
    case Command::Resume:
        Resume();
        break;
    case Command::LeaveQuest:
        screens.HideForm(screens.gameMenu.form, 2.0f);
        m_flow.lessons.Close(false);
        m_flow.QuitQuestToMenu();
        break;
    case Command::PauseOptions:
        m_flow.options.Open(screens.gameMenu.form, 5.0f);
        break;
    case Command::OptionsOk:
        m_flow.options.Confirm(screens.gameMenu.form, 5.0f);
        break;
    default:
        break;
    }
    return InputResult::Continue;
}

void CPauseMenu::Open()
{
    if (!m_flow.level.IsReadyForInput())
        return;
    m_flow.play.KeepRestIfAtRest();
    m_services.board->SetLocked(true);
    m_services.screens->ShowForm(m_services.screens->gameMenu.form, kMenuSpeed);
    if (m_quest.gameType == 0)
        m_services.screens->quest.form->SetEnabled(false);
}

void CPauseMenu::Resume()
{
    m_services.screens->HideForm(m_services.screens->gameMenu.form, kMenuSpeed);
    if (m_quest.gameType == 0)
        m_services.screens->quest.form->SetEnabled(true);
    m_services.board->SetLocked(false);
}
