// Putting a level on the board: a new quest's first level, the next level
// of a running quest, the level a quest save keeps (started in its intro or
// its shop, or reloaded after a lost level), with the quest's values, the
// shop's items, the gems and the sand as the save left them.
#pragma once

#include "board/BoardSetup.h"

#include <cstdint>

class CGameFlow;
class CGameServices;
class CQuestState;
class CQuestSave;
class CFlowState;

// The gems a saved level goes on with.
struct GemCounts {
    int32_t toCollect = 0;
    int32_t toPlace = 0;
};
// A save's gem counts held to what its level can deliver, so that an edited
// save cannot start a level that can never be won or whose HUD cannot show
// its goal: no more to collect than the level's goal and never fewer than
// none; no more still to place than still to collect, and enough, with the
// gems on the saved board, to collect them all. The game's own saves keep
// their counts.
GemCounts HoldGemCounts(int32_t goal, int32_t toCollect, int32_t toPlace, int32_t gemsOnBoard);

class CLevelLoader {
public:
    CLevelLoader(CGameFlow& flow, CGameServices& services, CQuestState& quest);

    // A new quest's record and its first level, waiting under the story.
    void StartNewQuest(int difficulty);
    // The quest's level `number`: its balance, file, clock and lives; the
    // totem lesson's board comes first on the first level played after a
    // totem was bought (it needs a player to remember it). False, with a
    // log line, for a number outside the quest's levels: nothing changes.
    bool StartLevel(int number);
    // The quest level the save keeps, to be entered through the state this
    // returns: its level's intro, or the shop's intro when it was saved in
    // the shop.
    CFlowState& StartQuestLevel();
    // The checkpoint's level back on the board after a lost level.
    void ResumeQuestLevel();
    // A quest level's board with its file's cells, colours and goal.
    BoardSetup QuestLevelSetup(int level) const;

private:
    // True when the save left the quest in the shop.
    bool EnterQuestLevel(bool resume);
    void ShowStageBackground();
    void EnterQuestBoard(const CQuestSave& save);
    void RestoreQuestLevel(const CQuestSave& save, bool inShop);

    CGameFlow& m_flow;
    CGameServices& m_services;
    CQuestState& m_quest;
};
