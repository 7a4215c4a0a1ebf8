// The trophies screen over a level's screens: the trophies the quest has
// reached are judged after a level and during idle play; when one is
// reached the screen comes over the level (play waits, the board and the
// level's forms step back) until the player closes it. The completed quest
// shows the same screen as a step of its own.
#pragma once

#include "engine/CountedHandle.h"

#include <vector>

class CGameFlow;
class CGameServices;
class CQuestState;
class CQoForm;

class CTrophiesOverlay {
public:
    CTrophiesOverlay(CGameFlow& flow, CGameServices& services, CQuestState& quest);

    // The trophies judged at a level's end, or during play (with the
    // longest cascade or not); true when one is reached.
    bool JudgeAfterGame();
    bool JudgePartial(bool withCascade);
    // Over a level: the screen comes in, or goes and the level comes back.
    void RunStep();
    bool OverLevel() const { return m_overLevel; }

    // The screen comes in with its backdrop and medals.
    void Show();
    // The awards are written down and the screen goes.
    void Hide();

private:
    void ShowOverLevel();
    void HideOverLevel();

    CGameFlow& m_flow;
    CGameServices& m_services;
    CQuestState& m_quest;
    bool m_overLevel = false;
    // What the trophies screen covered over a level: its forms and the board.
    std::vector<CountedHandle<CQoForm>> m_formsUnder;
    bool m_boardUnder = false;
};
