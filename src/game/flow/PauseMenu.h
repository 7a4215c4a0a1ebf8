// The pause menu over play or a bonus level's challenge: the quest form's
// menu button or space, Escape or P bring it while play is ready for input
// and take it away again; it resumes, leaves the quest for the main menu,
// or opens the options.
#pragma once

#include "game/flow/FlowState.h"

class CGameFlow;
class CGameServices;
class CQuestState;

class CPauseMenu {
public:
    CPauseMenu(CGameFlow& flow, CGameServices& services, CQuestState& quest);

    // A pause key: the menu comes or goes; true when it did.
    bool Toggle();
    InputResult OnCommand(Command command);

private:
    void Open();
    void Resume();

    CGameFlow& m_flow;
    CGameServices& m_services;
    CQuestState& m_quest;
};
