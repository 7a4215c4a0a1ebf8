// The game's services: every long-lived object the load sequence makes
// (device, renderers, particle managers, fonts, sounds, records, screens,
// scenes, the board and what it shares), made by one table in a fixed order
// and let go of in the reverse order. No flow lives here: the services
// neither know the quest nor which state shows; they offer the small
// verbs every state uses (a sound, a flare, a message box, a popup over the
// board).
//
// A new subsystem plugs in as one step of the table (the bonuses, the
// totems and the shop have theirs) and one handle here.
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
#include "records/HiscoreTable.h"
#include "records/Options.h"
#include "records/Profiles.h"
#include "records/QuestSave.h"
#include "screens/GameScreens.h"
#include "shop/Shop.h"
#include "tokens/CapsRenderer.h"

#include <string>
#include <vector>

class CGameServices {
public:
    explicit CGameServices(CountedHandle<CSceneRenderer> sceneRenderer);
    ~CGameServices();
    CGameServices(const CGameServices&) = delete;
    CGameServices& operator=(const CGameServices&) = delete;

    // The load sequence, behind the loading picture: true when every step
    // made what it makes; on failure the last text of `errors` says why (or
    // it is empty when the failing step only logged).
    bool Load(plat::Window* mainWindow, void* programInstance);
    // The loading picture stays until the splash has taken it over.
    const CountedHandle<CTexture>& LoadingPicture() const { return m_loadingPicture; }
    void ReleaseLoadLocals();

    // One frame of the music, the popups, the scenes, the particles, the
    // flares, the texts and the sprites.
    void Update(float dt);
    // Tells the frame renderer what of the stage's scene the quest screen
    // hides in the frame about to be drawn.
    void ReportSceneCover();

    // ---- The small verbs every state uses ----
    void Play(FlowSound sound);
    // Panned to the point's x.
    void PlayAt(FlowSound sound, float x);
    // A flare over the forms, without flicker; it grows to `scaleTarget`
    // (0: it keeps its size).
    void AddFlare(float x, float y, float z, float width, float height, float fadeIn, float fadeOutStart,
                  float fadeOut, float scaleTarget, float scaleSpeed);
    void ShowMessage(const std::string& text, int group, Question question, float speed);
    // Play's messages over the board: one shows at a time, and a new one
    // takes the place of the one showing. A message at `at` in the style
    // `style`; one at the combo's place that stays `life` seconds (0: its
    // own time); a caption in the middle of the board that stays whole for
    // `life` seconds (0: its own time) before it fades.
    void ShowPlayMessage(const std::string& text, float scale, int style, const Vec3& at);
    void ShowTextPopup(const std::string& text, float scale, int style, float life);
    void ShowCaption(const std::string& text, float life = 0.0f);
    // The shop's panel pictures in place of the quest's, or back.
    void SwapPanelTextures(bool toShop, int keep);
    // Shows the scene of `newLevel`'s stage when it is not `oldLevel`'s (a
    // negative old level always switches); true when it switched.
    bool SwitchBackgroundForStage(int oldLevel, int newLevel);

    // ---- The services, in the order they are let go of in reverse ----
    std::vector<std::string> errors;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CSceneRenderer> renderer;
    int fullScreen = 0;
    int hardwareLevel = 0;
    plat::Window* window = nullptr;
    void* instance = nullptr;
    CDataPaths paths;
    // The flow's delays, from the data paths' tuning values.
    FlowDelays delays;
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
    // Ring, SpellFuzzy, FireCloud, Twirl, Flare, StarSand, JungleFlash,
    // ArcadeStar (the Accuracy challenge's star).
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
        kArcadeStar,
        kEffectTextureCount
    };
    CountedHandle<CTexture> effectTextures[kEffectTextureCount];
    CountedHandle<CFlareRenderer> flareRenderers[3];
    CountedHandle<CBitmapFont> font;
    std::vector<CountedHandle<CBitmapFont>> fonts;
    CountedHandle<CTextBatch> textBatch;
    // The menu screens; their profiles list is `profiles`.
    CountedHandle<CGameScreens> screens;
    CHiscoreTable hiscores;
    CountedHandle<CMusicPlayer> music;
    CountedHandle<CSoundManager> sounds;
    CountedHandle<CQuestSave> questSave;
    bool cursorReady = false;
    // Sprite renderers 0..3; 1 to 3 are drawn by the frame renderer, 0 by
    // the backgrounds.
    CountedHandle<CSpriteRenderer> spriteRenderers[4];
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
    CountedHandle<CBestList> bestScores;
    CountedHandle<CBestList> bestTimes;
    CountedHandle<CTrophiesScreen> trophies;
    // The player profiles found in the players folder (the screens' list).
    CountedHandle<CProfiles> profiles;
    // Told the name of each load step as it ends, and "loading frame" after
    // each loading frame: the frame benchmark times start-up by it.
    std::function<void(const char* step)> loadStepDone;

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
    bool CreateTrophies();

    bool Fail(const std::string& text);
    // The text for the player and a log line of its own.
    bool Fail(const std::string& text, const std::string& logLine);
    void LoadingFrame(float progress);

    // The loading picture and the alpha format candidates, kept while the
    // load sequence runs.
    CountedHandle<CTexture> m_loadingPicture;
    // When the last loading frame was presented (monotonic nanoseconds).
    int64_t m_lastLoadingFrame = -1;
    std::vector<d3d::D3DFORMAT> m_alphaCandidates;
};
