// The one game object. It owns, through counted handles, every long-lived
// object of the running game, and it is the game's flow: the frame and its
// modes (start-up splash, menus, level intro, playing, quest completed), the
// play phases of a level, the events of the board and the menu screens, the
// mouse and the keys, the menu commands, the quest's saves and records. The
// shell reaches it through `GameHandle` for every frame and every input
// message.
//
// Where each concern lives:
//   LoadSequence.cpp   the load sequence behind the loading picture
//   Game.cpp           life cycle, small queries, blink timers, sounds
//   GameFrame.cpp      the frame, the cursor, modes 2, 4, 12, 13 and 18
//   GameEvents.cpp     the board's and the screens' events
//   PlayPhases.cpp     the play phases of a level, losing a life
//   BonusLevel.cpp     the bonus-level phase and its start
//   GameInput.cpp      the left button's press, keys, tutorial picks
//   MenuCommands.cpp   the left button's release: the commands of the menus
//   QuestFlow.cpp      new quest, hiscore entry, panel textures, saves on exit
//   QuestSaves.cpp     the quest record and the ways out of a quest
//   LevelResults.cpp   the level results, their tally and the map march
//   DisplayOptions.cpp the display check boxes of the options screen
//   GameTrophies.cpp   judging trophies and the trophies screen's steps
#pragma once

#include "audio/MusicPlayer.h"
#include "audio/SoundManager.h"
#include "backgrounds/BackgroundManager.h"
#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "challenges/Challenges.h"
#include "effects/overlays/Awards.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/BitmapFont.h"
#include "engine/CountedHandle.h"
#include "engine/DataPaths.h"
#include "engine/Flare.h"
#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/SceneRenderer.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "game/FlowTables.h"
#include "game/TrophiesScreen.h"
#include "layout/QuestLayout.h"
#include "platform/Window.h"
#include "records/BestList.h"
#include "records/Guid.h"
#include "records/HiscoreTable.h"
#include "records/Options.h"
#include "records/Profiles.h"
#include "records/QuestSave.h"
#include "screens/GameScreens.h"
#include "shop/Shop.h"
#include "tokens/CapsRenderer.h"

#include <string>
#include <vector>

// Game modes.
enum GameMode : int {
    kModeConstructed = 0,
    kModeMenus = 2,
    kModePlaying = 3,
    kModeLevelIntro = 4,
    kModeShopIntro = 12,
    kModeSplash = 13,
    kModeQuestComplete = 18,
};

// Play phases of mode 3.
enum PlayPhase : int {
    kPhasePlay = 1,
    kPhaseLevelComplete = 5,
    kPhaseResults = 6,
    kPhaseAfterResults = 7,
    kPhaseShop = 8,
    kPhaseMapMarch = 9,
    kPhaseLevelStart = 10,
    kPhaseBonusLevel = 11,
    kPhaseResume = 14,
    kPhaseToMenu = 15,
    kPhaseLevelFailed = 16,
    kPhaseQuestOver = 17,
};

// The challenge kinds of a bonus level; 100 is an ordinary level.
enum ChallengeKind : int {
    kOrdinaryLevel = 100,
    kMemory = 101,
    kAccuracy = 102,
    kAttention = 103,
    kReaction = 104,
};

// The board a save keeps, for the board to restore, with the gem counts it
// is to go on with.
BoardSnapshot SnapshotOfSave(const CQuestSave& save, int32_t gemsToCollect, int32_t gemsToPlace);

// What the game makes of the player's input: go on, or quit the game.
enum class InputResult { Continue, Quit };

class CGame {
public:
    explicit CGame(CountedHandle<CSceneRenderer> sceneRenderer);
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // The load sequence: 1 on success; on failure the last text of `errors`
    // says why (or it is empty when the failing step only logged).
    int Init(plat::Window* mainWindow, void* programInstance);
    // One frame of `timeStep` seconds. A step of 0 only draws (with `draw`
    // set); `paused` skips the frame; otherwise the game advances and draws.
    void Frame(float timeStep, int draw, int paused);
    void SetFps(float value);

    // Input. A press and a release come with the point they were made at, in
    // back-buffer pixels; the game maps it onto its screen once.
    InputResult OnPress(plat::MouseButton button, int x, int y);
    InputResult OnRelease(plat::MouseButton button, int x, int y);
    InputResult OnKeyDown(int key);
    void OnKeyUp(int key);
    void OnCharacter(int character);
    // The window is going: the running quest is written to "Quest.sav".
    void SaveQuestOnExit();

    // ---- What the shell asks of the game ----
    // The display start-up made: full screen, and the adapter's level.
    void SetDisplay(int fullScreenOn, int level);
    bool IsFullScreen() const { return fullScreen != 0; }
    // Why the load sequence failed; empty when it only logged.
    const std::string& LastError() const;
    // F5 shows or hides the frame-rate text.
    void ToggleFpsText();
    // A minimised window holds the music and the sounds.
    void PauseAudio(bool paused);
    // The game's own cursor at the pointer (in back-buffer pixels), once
    // it can be drawn.
    void ShowCursorAt(int x, int y);
    // The display's gamma as it was before the game.
    void RestoreGamma();

    // ---- Queries and small steps (Game.cpp) ----
    // A timed lesson has shown for less than the tutorial's time: presses
    // and drags stay off the board.
    bool LessonHoldsPresses() const;
    void EnterPhase10();
    // Shows the scene of `newLevel`'s stage when it is not `oldLevel`'s (a
    // negative old level always switches); true when it switched.
    bool SwitchBackgroundForStage(int oldLevel, int newLevel);
    bool IsReadyForInput() const;
    bool IsPlayIdle() const;
    // Whether the running tutorial lets the swap onto (column, row) happen.
    bool IsActionAllowedInTutorial(int column, int row) const;
    void AdvanceBlinkA(float dt);
    void AdvanceBlinkB(float dt);

    // ---- Modes (GameFrame.cpp) ----
    void EnterLevelIntro(int difficulty);
    void EnterGameComplete();

    // ---- Play (PlayPhases.cpp, BonusLevel.cpp) ----
    void UpdateState(float dt);
    void OnLevelComplete();
    void LoseLife(bool timeUp, bool noLoss);
    void StartBonusLevel(int bonusLevel, int group, ChallengeKind kind);

    // ---- Input (GameInput.cpp, MenuCommands.cpp) ----
    bool TutorialAllowsPick(const CountedHandle<CToken>& token) const;
    void AdvanceTutorialPick(const CountedHandle<CToken>& token);
    void ShuffleForLife(int button);
    bool ShowHint();
    void CloseShop();

    // ---- Quest (QuestFlow.cpp, QuestSaves.cpp) ----
    void StartNewQuest(int difficulty);
    // 1 when the score entered the hiscore table.
    int EnterHiscore(int32_t score);
    void SwapPanelTextures(bool toShop, int keep);
    void StoreQuestState(bool withShop);
    int SaveQuestAndLeave(bool fromBoard);
    int QuitQuestToMenu();
    int EndQuestSession();
    // 1 when a checkpoint was loaded and the level-failed phase entered.
    int LoadQuestCheckpoint(bool noLivesLeft);
    void DeleteQuestSaves(int typeFlag, bool alsoSecond);
    void PromoteCheckpoint(int typeFlag);
    void RestoreCheckpointCopy(int typeFlag);
    // A quest is in progress: playing, a record filled, no level intro
    // keeping it from being saved.
    bool QuestInProgress() const;

    // ---- Levels and the tutorial (LevelStart.cpp) ----
    // A level of a running game; a quest level from the quest save, started
    // (then `phaseEntry` is the mode to enter) or resumed.
    void StartLevel(int levelNumber);
    void StartQuestLevel();
    void ResumeQuestLevel();
    // The tutorial prompt the board asked for, with its argument.
    void ShowTutorialStep(Lesson lesson, int step);
    // 1 when a swap onto the cell may go ahead in the running lesson.
    int StepTutorial(int column, int row);
    // Closes the prompt; with `save` it is marked as shown.
    void ApplyLevelState(int save);
    // The player's settings mark the lesson as seen.
    void MarkLessonSeen(Lesson lesson);
    // The lessons the current player has still to see.
    LessonPlan CurrentLessonPlan() const;
    // The current player's profile; empty before a player exists.
    CountedHandle<CProfile> CurrentProfile() const;

    // ---- Results (LevelResults.cpp) ----
    void ShowLevelResults(bool visible);
    void UpdateLevelResults(float dt);
    void SkipLevelResults();
    void UpdateMapMarch(float dt);

    // ---- Display options (DisplayOptions.cpp) ----
    int GetDisplayFlags() const;
    int GetAvailableToggles(int flags) const;
    void UpdateToggleControls(int flags);
    int ToggleDisplayOption(int mask, int option) const;
    bool ApplyDisplayMode(int mask);

    // ---- Trophies (GameTrophies.cpp) ----
    int EvaluateTrophiesAfterGame();
    int EvaluateTrophiesPartial(bool withCascade);
    void ShowTrophiesStep(bool show);
    // The step the trophies screen takes on: in, or out and onwards.
    void RunTrophyStep();

    // ---- The members, in the order they are released in reverse ----
    std::vector<std::string> errors;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CSceneRenderer> renderer;
    int fullScreen = 0;
    int hardwareLevel = 0;
    plat::Window* window = nullptr;
    void* instance = nullptr;
    CDataPaths paths;
    // The quest screen's layout from "Skin.cfg"; the board reads it.
    CQuestLayout questLayout;
    CGraphicsOptions graphicsOptions;
    CSoundOptions soundOptions;
    CGameOptions gameOptions;
    bool fpsShown = false;
    float fps = 0.0f;
    CountedHandle<CText> fpsText;
    CountedHandle<CVertexBuffer> vertexBuffer;
    CountedHandle<CIndexBuffer> indexBuffer;
    // One per particle layer of the frame, 0 at the back.
    CountedHandle<CParticleSystemsManager> particleManagers[6];
    // In order: StarParticle, Lightning, Spark, Sand, Cloud, SmallSand, Halo1,
    // Ring, SpellFuzzy, FireCloud, Twirl, Flare, StarSand, JungleFlash.
    enum EffectTexture {
        kStarParticle,
        kLightning,
        kSpark,
        kSand,
        kCloud,
        kSmallSand,
        kHalo1,
        kRing,
        kSpellFuzzy,
        kFireCloud,
        kTwirl,
        kFlare,
        kStarSand,
        kJungleFlash,
        kEffectTextureCount
    };
    CountedHandle<CTexture> effectTextures[kEffectTextureCount];
    CountedHandle<CFlareRenderer> flareRenderers[3];
    CountedHandle<CBitmapFont> font;
    std::vector<CountedHandle<CBitmapFont>> fonts;
    CountedHandle<CTextBatch> textBatch;
    int mode = kModeConstructed;
    int phase = 0;
    float modeTimer = 0.0f;
    int subState = 0;
    // 0: the quest with lives, time, sand and the shop.
    int gameType = 0;
    // The challenge that runs: an ordinary level, or a bonus level's.
    ChallengeKind challenge = kOrdinaryLevel;
    // The menu screens; their profiles list is the game's `profiles`.
    CountedHandle<CGameScreens> screens;
    CHiscoreTable hiscores;
    CountedHandle<CMusicPlayer> music;
    CountedHandle<CSoundManager> sounds;
    CountedHandle<CQuestSave> questSave;
    bool cursorReady = false;
    // Sprite renderers 0..3; 1 to 3 are drawn by the frame renderer, 0 by
    // the backgrounds.
    CountedHandle<CSpriteRenderer> spriteRenderers[4];
    // The current player's name; empty when no profile exists.
    CountedHandle<std::string> playerName;
    CountedHandle<CCapsRenderer> capsRenderer;
    // In order: Frame, FrameBack, Selector, Sandbox, SandboxGlass,
    // SandboxFront, ScoreFrenzyStar, GemProgress, BigStar, Heart, ShopPointer.
    enum ScreenTexture {
        kFrame,
        kFrameBack,
        kSelector,
        kSandbox,
        kSandboxGlass,
        kSandboxFront,
        kScoreFrenzyStar,
        kGemProgress,
        kBigStar,
        kHeart,
        kShopPointer,
        kScreenTextureCount
    };
    CountedHandle<CTexture> screenTextures[kScreenTextureCount];
    // What the board shares with the game: its score popups, the gems bar,
    // the bonuses with the hint display, the totems, and the stream its
    // game draws from (seeded from the shared generator at start-up).
    CountedHandle<CPopupManager> popups;
    CountedHandle<CGemsBar> gemsBar;
    CountedHandle<CBonusManager> bonuses;
    CountedHandle<CAdviserInterface> adviser;
    CountedHandle<CTotemsManager> totems;
    CRandomStream boardRandom;
    CountedHandle<CGameBoard> board;
    CountedHandle<CBackgroundManager> backgrounds;
    // Tuning of the current mode and level; the board reads it.
    CBalanceState balance;
    CountedHandle<CShop> shop;
    CountedHandle<CStarAward> starAward;
    CountedHandle<CLifeLostAward> lifeLostAward;
    // Set by a press on a token, cleared by the swap it starts: the cursor
    // may drag the token onto a neighbour.
    bool dragging = false;
    CountedHandle<CBestList> bestScores;
    CountedHandle<CBestList> bestTimes;
    // What trophy kind 8 judges: whole seconds left at the last results.
    int lastGameValue = 0;
    CountedHandle<CTrophiesScreen> trophies;
    // No profile exists yet: the name entry opened at start-up.
    bool nameEntryPending = false;

    // ---- The running quest ----
    // The player profiles found in the players folder (the screens' list)
    // and the current one.
    CountedHandle<CProfiles> profiles;
    CountedHandle<CProfile> profile;
    GuidBytes questGuid{};
    // 1-based; above 40 the quest is complete.
    int level = 1;
    int lives = 3;
    float timeLeft = 0.0f;
    // The next time left at which the countdown overlay starts.
    float nextTimeWarning = 30.0f;
    // The mode a quest level started from the save enters.
    int phaseEntry = 0;
    bool boardQueryPending = false;
    // 1 while the shop's panel pictures are up.
    int panelTextures = 0;
    // A level intro runs and keeps the quest from being saved.
    bool levelIntroPending = false;
    // Golden Stars of the score frenzy in this level (each further one takes
    // longer); set with the first of them.
    int starsThisLevel = 0;
    bool starAwarded = false;
    int levelsWon = 0;
    // The level was reloaded after the last life was lost.
    bool reloadedWithoutLives = false;
    // A level was won and its checkpoint is still to be written.
    bool levelWon = false;
    // The numbers the level results show.
    LevelResults results;
    // The player's statistics: the whole game, the quest and the level.
    CPlayerStats stats;
    // The lives already given for the score; the three trophy counters of
    // the quest (kinds 1, 5 and 7).
    int32_t extraLifeSteps = 0;
    int32_t trophyCounters[3] = {0, 0, 0};
    // The quest's difficulty.
    bool hardMode = false;
    // Steps of the sand's drain rate the level brought.
    int32_t sandRateSteps = 0;
    // The bonus level's challenge; only the one that runs exists.
    CountedHandle<CMemoryChallenge> memoryChallenge;
    CountedHandle<CAccuracyChallenge> accuracyChallenge;
    CountedHandle<CAttentionChallenge> attentionChallenge;
    CountedHandle<CReactionChallenge> reactionChallenge;
    // The last finished quest entered the hiscore table.
    int hiscoreEntered = 0;
    // The splash: fade-in speed, hold time, fade-out speed.
    float splashFadeIn = 2.0f, splashHold = 1.0f, splashFadeOut = 2.0f;
    // Seconds the map's flag takes from one spot to the next.
    float mapMarchTime = 1.0f;
    FlowDelays delays;
    struct LifeLostSequence {
        bool active = false;
        float timer = 0.0f;
        bool timeUp = false;   // else no moves were left
        bool finished = false; // the animation has ended (or none ran)
    } lifeLost;
    float autosaveTimer = 0.0f;
    float hintIdleTimer = 0.0f;
    float overlayIdleTimer = 0.0f;
    float blinkTimerA = 0.0f, blinkTimerB = 0.0f;
    bool hintBlinking = false, overlayBlinking = false;
    // The display mask in use and the one the options' check boxes edit.
    int appliedDisplayMask = 0, pendingDisplayMask = 0;
    int bonusLevel = 0, bonusGroup = 0;
    // The last cursor mapped to virtual units.
    float cursorX = 0.0f, cursorY = 0.0f;
    bool winBoxShown = false;
    // The trophies screen is up over a level's forms.
    bool trophiesOverLevel = false;

private:
    // The load sequence, one function per step (LoadSequence.cpp). Each
    // returns false after it has recorded why it failed.
    struct LoadStep;
    static const LoadStep kLoadSequence[];
    bool LoadStringTable();
    bool BuildAlphaCandidates();
    bool ReadOptions();
    bool CreateVertexBuffer();
    bool CreateIndexBuffer();
    bool LoadLoadingPicture();
    bool LoadQuestLayout();
    bool LoadSharedTextures();
    bool CreateParticleManagers();
    bool CreateFlareRenderers();
    bool LoadFonts();
    bool CreateTextBatch();
    bool LoadHiscores();
    bool LoadBestLists();
    bool CreateScreens();
    bool CreateSpriteRenderers();
    bool CreateCapsRenderer();
    bool ResetBalance();
    bool CreateBoard();
    bool CreateGemsBar();
    bool CreateSelectionMarker();
    bool CreateTerminators();
    bool CreateBonuses();
    bool LoadGemFlares();
    bool CreateTotems();
    bool LoadScoreSettings();
    bool CreateShop();
    bool CreateStarAward();
    bool CreateLifeLostAward();
    bool CreateBackgrounds();
    bool StartSounds();
    void LoadSounds();
    bool StartMusic();
    bool CreateFpsText();
    bool SetGamma();
    bool CreateCursor();
    bool EnterIntroMode();
    bool ChooseCurrentProfile();
    bool CreateTrophies();
    bool StartIntro();
    bool ReleaseLoadLocals();

    bool Fail(const std::string& text);
    // The text for the player and a log line of its own.
    bool Fail(const std::string& text, const std::string& logLine);

    // Quest levels (LevelStart.cpp).
    void EnterQuestLevel(bool resume);
    void ShowStageBackground();
    void EnterQuestBoard(const CQuestSave& save);
    void RestoreQuestLevel(const CQuestSave& save, bool inShop);
    // The tutorial form's panel and pointer.
    void ShowTutorialPanel(const std::string& text);
    void PointTutorialAt(int columnA, int rowA, int columnB, int rowB);
    bool PointTutorialAtToken(bool (*test)(const CToken&));
    bool ShowTotemStep(int step);
    void HideShopLesson();
    void LoadingFrame(float progress);

    // The frame (GameFrame.cpp).
    void UpdateServices(float dt);
    // The cursor in virtual units; the last one while the window has no
    // client area.
    void MapCursor();
    void UpdateWinBox();
    void UpdateMode(float dt);
    void UpdateLevelIntro(float dt);
    void UpdateShopIntro();
    void UpdateQuestComplete();
    void UpdateSplash();
    void ShowLevelHud();

    // Events (GameEvents.cpp).
    void HandleScreenEvents();
    void HandleScreenEvent(const ScreenEvent& event);
    void HandleBoardEvents();
    void HandleBoardEvent(const BoardEvent& event);
    void DropBoardEvents();
    void CheckExtraLife();
    void ShowCombo(int count);
    void StartFrenzy();
    void AwardFrenzyStar();
    void ChangeTimeLeft(float seconds);
    void AddScore(int32_t points);

    // A message over the board that stays `life` seconds (0: its own time).
    void ShowTextPopup(const std::string& text, float scale, int style, float life);
    // A caption in the middle of the board.
    void ShowCaption(const std::string& text);

    // Play phases (PlayPhases.cpp).
    void DragSwap();
    void UpdatePhase(float dt);
    void UpdatePlay(float dt);
    void UpdateLevelClock(float dt);
    void UpdateIdleHints(float dt);
    void UpdateLevelComplete();
    void UpdateAfterResults();
    void UpdateLevelStart();
    void UpdateBackToMenu();
    void UpdateLevelFailed();
    void UpdateQuestOver();
    void UpdateLifeLost(float dt);
    void UpdateShop(float dt);
    void OpenShop();
    void ReopenShop();
    // The board cleared, the menu's music and scene.
    void ClearForMenu();
    void ReturnToMenu(int text, Question question);
    // On to a sub-state, its timer from 0.
    void Next(int to)
    {
        subState = to;
        modeTimer = 0.0f;
    }
    void StartLevelPlay();
    void HideLevelScreen(bool withQuestForm);
    void ShowMessage(const std::string& text, int group, Question question, float speed);
    void ResetHints();
    // The HUD's lives after one was lost or paid.
    void ShowLivesLeft();
    void StartLifeLostAnimation(const std::string& caption, float x, float y, bool fromGiven);

    // The bonus level (BonusLevel.cpp).
    // The challenge that runs, on the game and on the board alike.
    void RunChallenge(ChallengeKind kind);
    void ReleaseChallenge();
    void UpdateChallenge(float dt);
    void OnChallengeHit();
    void OnChallengeRoundOver();
    void OnChallengePrompt(int value);
    void WinBonusLevel();
    void FailBonusLevel(int text);
    void UpdateBonusLevel(float dt);
    void UpdateChallengeClock(float dt);
    void StartChallenge();
    void FinishChallenge();
    void LeaveBonusLevel();
    const CountedHandle<CQoForm>& ChallengeForm() const;
    // The number the running challenge's rules name: what wins it.
    int ChallengeGoal() const;

    // Input (GameInput.cpp, MenuCommands.cpp).
    void OnScreensPress(const ScreenEvent& event, float x, float y, bool* consumed, bool* offBoard);
    void PressOnBoard(float x, float y);
    void LetGoOfThePick();
    void PickToken(const CountedHandle<CToken>& token);
    void ContinueAfterWait();
    bool TogglePause();
    InputResult OnMenuCommand(Command command);
    InputResult OnPlayCommand(Command command);
    InputResult OnCompleteCommand(Command command);
    // A point in back-buffer pixels on the virtual screen; false without a
    // client area.
    bool MapPoint(int px, int py, float* x, float* y) const;
    void OpenOptions(const CountedHandle<CQoForm>& from, float speed);
    void ConfirmOptions(const CountedHandle<CQoForm>& back, float speed);
    void MakeProfileCurrent(int index);
    void StartQuestFromMenu();
    void AskHardMode(float speed);
    void StartFreshQuest(int difficulty);
    void ContinueAfterStatistics();
    void PlayMapLevel();

    // Quest saves (QuestSaves.cpp).
    std::string PlayerFolder() const;
    void ResetQuestDisplay();
    void StoreShopAndSave();
    void ClearLevelForQuit();

    // Results (LevelResults.cpp).
    void SetResultsVisible(bool visible);
    void RevealResultsRow(int step);
    void ShowTallyValues(float share);
    void FinishTally();
    void ShowResultsEnd();

    // Trophies (GameTrophies.cpp).
    TrophyValues CurrentTrophyValues() const;

    // Sounds and flares (Game.cpp).
    void Play(FlowSound sound);
    void PlayAt(FlowSound sound, float x);
    void AddFlare(float x, float y, float z, float width, float height, float fadeIn, float fadeOutStart,
                  float fadeOut, float scaleTarget, float scaleSpeed);

    // The loading picture and the alpha format candidates, kept while the
    // load sequence runs.
    CountedHandle<CTexture> m_loadingPicture;
    std::vector<d3d::D3DFORMAT> m_alphaCandidates;
    // The level the map march starts from and goes to.
    int m_marchFrom = 0, m_marchTo = 0;
    // The quest score the results tally counts up from.
    int32_t m_tallyScoreFrom = 0;
    // The running challenge's time, for its gauge.
    float m_challengeTime = 0.0f;
    // The board's events of the frame being handled, and whether a handler
    // dropped the rest.
    std::vector<BoardEvent> m_boardEvents;
    bool m_boardEventsDropped = false;
    // What the trophies screen covered over a level: its forms and the board.
    std::vector<CountedHandle<CQoForm>> m_formsUnderTrophies;
    bool m_boardUnderTrophies = false;
};
