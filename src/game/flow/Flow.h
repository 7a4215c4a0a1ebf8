// The game's flow: which state shows, and the states themselves, one file
// each, with the parts several states share (the level on the board, the
// levels put on it, the lessons, the pause menu, the trophies over a
// level, the options screen). The flow takes the frame and the player's
// input and gives them to the state that shows; every state says the mode
// and play phase it stands for.
//
//   state            what the player sees                         mode/phase
//   CSplash          the studio's line and the title               13
//   CMenus           the main menu and its screens                 2
//   CStoryPages      a new quest's story pages                     4
//   CLevelIntro      a level's caption, HUD and board coming in    4
//   CShopIntro       a saved quest going on in the shop            12
//   CPlay            play on the board (the pause menu over it)    3/1
//   CLevelComplete   a won level's caption                         3/5
//   CLevelResults    the results and their tally                   3/6
//   CBetweenLevels   the stage's progress, a stage's newspaper     3/7
//   CShopVisit       the shop                                      3/8
//   CMapMarch        the map and its flag                          3/9
//   CLevelStart      the next level's caption, HUD and board       3/10
//   CBonusLevel      a bonus level's challenge                     3/11
//   CResumePlay      the level's own board after the totem lesson  3/14
//   CBackToMenu      the way back to the main menu                 3/15
//   CLevelFailed     a lost level's box                            3/16
//   CQuestOver       the quest's end without lives                 3/17
//   CQuestComplete   the winners' page and the trophies            18
#pragma once

#include "game/flow/BackToMenu.h"
#include "game/flow/BetweenLevels.h"
#include "game/flow/BonusLevel.h"
#include "game/flow/FlowState.h"
#include "game/flow/LessonGuide.h"
#include "game/flow/Level.h"
#include "game/flow/LevelComplete.h"
#include "game/flow/LevelFailed.h"
#include "game/flow/LevelIntro.h"
#include "game/flow/LevelLoader.h"
#include "game/flow/LevelResults.h"
#include "game/flow/LevelStart.h"
#include "game/flow/MapMarch.h"
#include "game/flow/Menus.h"
#include "game/flow/OptionsScreen.h"
#include "game/flow/PauseMenu.h"
#include "game/flow/Play.h"
#include "game/flow/QuestComplete.h"
#include "game/flow/QuestOver.h"
#include "game/flow/ResumePlay.h"
#include "game/flow/ShopIntro.h"
#include "game/flow/ShopVisit.h"
#include "game/flow/Splash.h"
#include "game/flow/StoryPages.h"
#include "game/flow/TrophiesOverlay.h"

#include <cstdint>

struct ScreenEvent;

class CGameFlow {
public:
    CGameFlow(CGameServices& services, CQuestState& quest);
    CGameFlow(const CGameFlow&) = delete;
    CGameFlow& operator=(const CGameFlow&) = delete;

    // ---- The state that shows ----
    // The splash, once the services are loaded and the player chosen.
    void Start();
    // Leaves the state that shows and enters `state` at its step `step`.
    void Enter(CFlowState& state, int step = 0);
    template <class S>
    bool IsIn() const
    {
        return dynamic_cast<const S*>(m_current) != nullptr;
    }
    template <class S>
    bool IsAt(typename S::Step step) const
    {
        return IsIn<S>() && m_step == static_cast<int>(step);
    }
    // Before the start: kModeConstructed.
    GameMode Mode() const;
    PlayPhase Phase() const;
    const char* StateName() const;
    const char* StepName() const;
    // The state waits for a key or a click to go on.
    bool WaitsForPlayer() const;
    // Seconds since the step began, and the frame's step.
    float StepTime() const { return m_timer; }
    float FrameTime() const { return m_frameTime; }

    // ---- The frame and the player's input ----
    // What the menu screens reported in the frame.
    void TakeScreenEvents();
    // The state's frame; on the level, after the level's shared frame.
    void Update(float dt);
    // The left button at a point of the virtual screen.
    void Press(float x, float y);
    InputResult Release(float x, float y);
    InputResult Key(int key);
    // The right button.
    void LetGoOfThePick();

    // ---- The ways through the quest that cross states ----
    // A new quest of the difficulty, from its story pages.
    void StartNewQuest(int difficulty);
    void CompleteQuest();
    // The menu comes back, or first the message box with text `text` (0 for
    // none) and its question.
    void ReturnToMenu(int text, Question question);
    // The player leaves the quest from the pause menu: it is saved.
    void QuitQuestToMenu();
    // The player leaves from the map (the board's side) or from the shop:
    // the quest is written and the screen left fades out on the way to the
    // main menu.
    void SaveQuestAndLeave(bool fromMap);
    // No lives and no checkpoint: the quest is over.
    void EndQuestSession();
    // A lost level: the checkpoint comes back and the level-failed state
    // shows; false when there is none.
    bool LoadQuestCheckpoint(bool noLivesLeft);
    // A quest is in progress: playing, a record filled, no level intro
    // keeping it from being saved.
    bool QuestInProgress() const;
    // The window is going: the running quest is written to its save.
    void SaveQuestOnExit();
    // Where the quest goes on when its record is written now.
    int32_t ResumeKind() const;

    // The pointer on the virtual screen, polled for hovering.
    float cursorX = 0.0f, cursorY = 0.0f;

private:
    friend class CFlowState;
    CGameServices& m_services;
    CQuestState& m_quest;
    CFlowState* m_current = nullptr;
    int m_step = 0;
    float m_timer = 0.0f;
    float m_frameTime = 0.0f;
    // Counts every change of step or state, so a step's act is seen to have
    // gone elsewhere.
    unsigned m_moves = 0;

public:
    // ---- The parts several states share ----
    CLevel level{*this, m_services, m_quest};
    CLevelLoader loader{*this, m_services, m_quest};
    CLessonGuide lessons{*this, m_services, m_quest};
    CPauseMenu pause{*this, m_services, m_quest};
    CTrophiesOverlay trophies{*this, m_services, m_quest};
    COptionsScreen options{m_services};

    // ---- The states ----
    CSplash splash{*this};
    CMenus menus{*this};
    CStoryPages storyPages{*this};
    CLevelIntro levelIntro{*this};
    CShopIntro shopIntro{*this};
    CPlay play{*this};
    CLevelComplete levelComplete{*this};
    CLevelResults levelResults{*this};
    CBetweenLevels betweenLevels{*this};
    CShopVisit shopVisit{*this};
    CMapMarch mapMarch{*this};
    CLevelStart levelStart{*this};
    CBonusLevel bonusLevel{*this};
    CResumePlay resumePlay{*this};
    CBackToMenu backToMenu{*this};
    CLevelFailed levelFailed{*this};
    CQuestOver questOver{*this};
    CQuestComplete questComplete{*this};

private:
    void HandleScreenEvent(const ScreenEvent& event);
    void HandleScreenPress(const ScreenEvent& event, ScreenPress* press);
    void ResetQuestDisplay();
    // The shop's stars come to rest and its state goes into the record,
    // which is written while a quest is in progress.
    void StoreShopAndSave();
    void ClearLevelForQuit();
};
