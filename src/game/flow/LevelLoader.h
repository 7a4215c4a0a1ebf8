// Putting a level on the board: a new quest's first level, the next level
// of a running quest, the level a quest save keeps (started in its intro or
// its shop, or reloaded after a lost level), with the quest's values, the
// shop's items, the gems and the sand as the save left them.
#pragma once

#include "board/BoardSetup.h"

class CGameFlow;
class CGameServices;
class CQuestState;
class CQuestSave;
class CFlowState;

class CLevelLoader {
public:
    CLevelLoader(CGameFlow& flow, CGameServices& services, CQuestState& quest);

    // A new quest's record and its first level, waiting under the story.
    void StartNewQuest(int difficulty);
    // The quest's level `number`: its balance, file, clock and lives; the
    // totem lesson's board comes first on the first level played after a
    // totem was bought (it needs a player to remember it).
    void StartLevel(int number);
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
