// The one game object. It owns, through counted handles, every long-lived
// object of the running game; the shell reaches it through `GameHandle`
// for every frame and every input message.
#pragma once

#include "audio/MusicPlayer.h"
#include "audio/SoundManager.h"
#include "backgrounds/BackgroundManager.h"
#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "effects/overlays/Awards.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/BitmapFont.h"
#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/SceneRenderer.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "layout/QuestLayout.h"
#include "records/BestList.h"
#include "records/HiscoreTable.h"
#include "records/Options.h"
#include "records/Profiles.h"
#include "records/QuestSave.h"
#include "records/Trophies.h"
#include "screens/GameScreens.h"
#include "shop/Shop.h"
#include "tokens/CapsRenderer.h"

#include <string>
#include <vector>

namespace plat {
class Window;
}

class CGame {
public:
    explicit CGame(CountedHandle<CSceneRenderer> sceneRenderer);
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // The load sequence: 1 on success; on failure the last text of `errors`
    // says why (or it is empty when the failing step only logged).
    int Init(plat::Window* mainWindow, void* programInstance);
    // One frame: see the definition for the meaning of the flags.
    void Frame(float timeStep, int draw, int paused);
    void SetFps(float value);

    int OnKeyDown(int key);
    int OnKeyUp(int key);
    int OnChar(int character);
    int OnLButtonDown(int x, int y, uintptr_t flags);
    int OnLButtonUp(int x, int y, uintptr_t flags);
    int OnRButtonDown(int x, int y, uintptr_t flags);
    int OnRButtonUp(int x, int y, uintptr_t flags);
    void SaveQuestOnExit();
    // Levels and the tutorial (LevelStart.cpp). A level of a running game;
    // a quest level from the quest save, started or resumed.
    void StartLevel(int levelNumber);
    void StartQuestLevel();
    void ResumeQuestLevel();
    // The tutorial prompt the board asked for, with its argument.
    void ShowTutorialStep(int prompt, int argument);
    // 1 when a swap onto the cell may go ahead in the running lesson.
    int StepTutorial(int column, int row);
    // Closes the prompt; with `save` it is marked as shown.
    void ApplyLevelState(int save);
    void SwapPanelTextures(bool toShop, int keep);
    // The current player's profile; empty before a player exists.
    CountedHandle<CProfile> CurrentProfile() const;
    // Shows the scene of level `newLevel`'s stage when it differs from that
    // of `oldLevel` (a negative old level always switches); true when it
    // switched.
    bool SwitchBackgroundForStage(int oldLevel, int newLevel);

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
    int cursorSurfaceIndex = -1;
    bool fpsShown = false;
    float fps = 0.0f;
    int mode = 0;
    int phase = 0;
    float modeTimer = 0.0f;
    int subState = 0;
    int gameType = 0;
    int challengeMode = 100;
    CHiscoreTable hiscores;
    CountedHandle<CMusicPlayer> music;
    CountedHandle<CSoundManager> sounds;
    CountedHandle<CQuestSave> questSave;
    bool cursorReady = false;
    // Sprite renderers 0..3: 0 is the scene backgrounds' own, 1 to 3 are the
    // frame's sprite layers.
    CountedHandle<CSpriteRenderer> spriteRenderers[4];
    // The current player's name; empty when no profile exists.
    CountedHandle<std::string> playerName;
    CountedHandle<CCapsRenderer> capsRenderer;
    CountedHandle<CGameBoard> board;
    // The two awards the play shows over the quest screen.
    CountedHandle<CStarAward> starAward;
    CountedHandle<CLifeLostAward> lifeLostAward;
    CountedHandle<CBackgroundManager> backgrounds;
    // Tuning of the current mode and level; the board reads it.
    CBalanceState balance;
    // The player profiles found in the players folder (the screens' list).
    CountedHandle<CProfiles> profiles;
    bool dragging = false;
    CountedHandle<CBestList> bestScores;
    CountedHandle<CBestList> bestTimes;
    int lastGameValue = 0;
    CountedHandle<CTrophies> trophies;
    bool nameEntryPending = false;
    // The menu screens; their profiles list is the game's `profiles`.
    CountedHandle<CGameScreens> screens;
    CountedHandle<CShop> shop;
    // The level in play and what the quest save brings back into the game.
    int level = 1;
    int lives = 2;
    float timeLeft = 0.0f; // the level clock and its next low-time warning
    float nextTimeWarning = 30.0f;
    int phaseEntry = 0; // what the play phase starts with
    bool boardQueryPending = false;
    GuidBytes questGuid{};
    int panelTextures = 0; // 1 while the shop's panel set is up

private:
    // The load sequence, one function per step (LoadSequence.cpp). Each
    // returns false after it has recorded why it failed.
    struct LoadStep;
    static const LoadStep kLoadSequence[];
    bool LoadStringTable();
    bool LoadQuestLayout();
    bool BuildAlphaCandidates();
    bool ReadOptions();
    bool CreateVertexBuffer();
    bool CreateIndexBuffer();
    bool LoadLoadingPicture();
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
    bool LoadGemFlares();
    bool CreateSelectionMarker();
    bool CreateTerminators();
    bool LoadScoreSettings();
    bool HideBoard();
    bool CreateStarAward();
    bool CreateLifeLostAward();
    bool SetMapDifficultyTexture();
    bool CreateBackgrounds();
    bool StartSounds();
    bool ShareSounds();
    bool StartMusic();
    bool CreateFpsText();
    bool SetGamma();
    bool CreateCursor();
    bool EnterIntroMode();
    bool ChooseCurrentProfile();
    bool LoadTrophies();
    bool StartIntro();

    // Quest levels (LevelStart.cpp).
    void EnterQuestLevel(bool resume);
    void ShowStageBackground();
    void EnterQuestBoard(const CQuestSave& save);
    void RestoreQuestLevel(const CQuestSave& save, bool inShop);
    // The tutorial form's panel and pointer.
    void ShowTutorialPanel(const std::string& text);
    void PointTutorialAt(int columnA, int rowA, int columnB, int rowB);
    bool PointTutorialAtToken(bool (*test)(const CToken&));
    bool ShowTotemStep(int argument);

    bool Fail(const std::string& text);
    // The text for the player and a log line of its own.
    bool Fail(const std::string& text, const std::string& logLine);
    void LoadingFrame(float progress);

    // The loading picture and the alpha format candidates, kept while the
    // load sequence runs.
    CountedHandle<CTexture> m_loadingPicture;
    std::vector<d3d::D3DFORMAT> m_alphaCandidates;
};
