// The load sequence: every service of the game is made here, in a fixed
// order, behind the loading picture. Each step is one function; the table
// below gives the order and the loading frame drawn after a step. The first
// step that fails ends the sequence. What the flow does with the services
// (the player, the splash) comes after the table.
#include "game/Services.h"

#include "balance/BalanceState.h"
#include "bonuses/BonusParameters.h"
#include "engine/Random.h"
#include "engine/StringTable.h"
#include "platform/System.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"

#include <cstdio>

using namespace d3d;

namespace {
constexpr float kNoFrame = -1.0f;
} // namespace

struct CGameServices::LoadStep {
    const char* name;
    bool (CGameServices::*run)();
    float frameAfter; // kNoFrame: no loading frame after the step
};

const CGameServices::LoadStep CGameServices::kLoadSequence[] = {
    {"LoadStringTable", &CGameServices::LoadStringTable, kNoFrame},
    {"BuildAlphaCandidates", &CGameServices::BuildAlphaCandidates, kNoFrame},
    {"ReadOptions", &CGameServices::ReadOptions, kNoFrame},
    {"CreateVertexBuffer", &CGameServices::CreateVertexBuffer, kNoFrame},
    {"CreateIndexBuffer", &CGameServices::CreateIndexBuffer, kNoFrame},
    {"LoadLoadingPicture", &CGameServices::LoadLoadingPicture, 0.0f},
    {"LoadQuestLayout", &CGameServices::LoadQuestLayout, 0.025f},
    {"LoadSharedTextures", &CGameServices::LoadSharedTextures, 0.15f},
    {"CreateParticleManagers", &CGameServices::CreateParticleManagers, kNoFrame},
    {"CreateFlareRenderers", &CGameServices::CreateFlareRenderers, 0.2f},
    {"LoadFonts", &CGameServices::LoadFonts, 0.25f},
    {"CreateTextBatch", &CGameServices::CreateTextBatch, kNoFrame},
    {"LoadHiscores", &CGameServices::LoadHiscores, kNoFrame},
    {"LoadBestLists", &CGameServices::LoadBestLists, 0.3f},
    {"CreateScreens", &CGameServices::CreateScreens, 0.5f},
    // The board and the renderers it draws its caps, marker and rays with.
    {"CreateSpriteRenderers", &CGameServices::CreateSpriteRenderers, kNoFrame},
    {"CreateCapsRenderer", &CGameServices::CreateCapsRenderer, 0.55f},
    {"ResetBalance", &CGameServices::ResetBalance, kNoFrame},
    {"CreateBoard", &CGameServices::CreateBoard, kNoFrame},
    {"CreateGemsBar", &CGameServices::CreateGemsBar, kNoFrame},
    {"CreateSelectionMarker", &CGameServices::CreateSelectionMarker, kNoFrame},
    {"CreateTerminators", &CGameServices::CreateTerminators, kNoFrame},
    // The bonuses' pictures; the gems bar sparkles with their gem flares.
    {"CreateBonuses", &CGameServices::CreateBonuses, 0.65f},
    // The totems' textures load here; the screens' pictures that depend on
    // the difficulty come after them.
    {"CreateTotems", &CGameServices::CreateTotems, kNoFrame},
    {"LoadScoreSettings", &CGameServices::LoadScoreSettings, 0.75f},
    {"CreateShop", &CGameServices::CreateShop, kNoFrame},
    {"CreateStarAward", &CGameServices::CreateStarAward, kNoFrame},
    {"CreateLifeLostAward", &CGameServices::CreateLifeLostAward, 0.8f},
    {"CreateBackgrounds", &CGameServices::CreateBackgrounds, 0.85f},
    {"StartSounds", &CGameServices::StartSounds, kNoFrame},
    {"StartMusic", &CGameServices::StartMusic, 0.95f},
    {"CreateFpsText", &CGameServices::CreateFpsText, kNoFrame},
    {"SetGamma", &CGameServices::SetGamma, kNoFrame},
    {"CreateCursor", &CGameServices::CreateCursor, kNoFrame},
    {"CreateTrophies", &CGameServices::CreateTrophies, 1.0f},
};

bool CGameServices::Load(plat::Window* mainWindow, void* programInstance)
{
    window = mainWindow;
    instance = programInstance;
    for (const LoadStep& step : kLoadSequence) {
        if (step.run && !(this->*step.run)()) {
            ReleaseLoadLocals();
            return false;
        }
        if (loadStepDone)
            loadStepDone(step.name);
        if (step.frameAfter != kNoFrame) {
            LoadingFrame(step.frameAfter);
            if (loadStepDone)
                loadStepDone("loading frame");
        }
    }
    return true;
}

bool CGameServices::Fail(const std::string& text)
{
    errors.push_back(text);
    WriteLog(text + "!\n");
    return false;
}

bool CGameServices::Fail(const std::string& text, const std::string& logLine)
{
    errors.push_back(text);
    WriteLog(logLine);
    return false;
}

// The device presents at most once a refresh and holds back a frame that
// comes sooner: a loading frame after a short step would make start-up wait
// for the display, so it is left out when the last one is that recent.
void CGameServices::LoadingFrame(float progress)
{
    constexpr int64_t kRefresh = 1000000000 / 60;
    const int64_t now = plat::MonotonicNanoseconds();
    if (m_lastLoadingFrame >= 0 && now - m_lastLoadingFrame < kRefresh)
        return;
    if (renderer && m_loadingPicture && !Failed(renderer->RenderLoadingFrame(m_loadingPicture, progress))) {
        renderer->Present();
        m_lastLoadingFrame = plat::MonotonicNanoseconds();
    }
}

bool CGameServices::LoadStringTable()
{
    LoadStrings(paths.folders[CDataPaths::Txt] + "Strings.txt");
    return true;
}

bool CGameServices::LoadQuestLayout()
{
    questLayout.Load(paths.folders[CDataPaths::Config] + "Skin.cfg");
    return true;
}

bool CGameServices::BuildAlphaCandidates()
{
    m_alphaCandidates = {D3DFMT_A1R5G5B5, D3DFMT_A4L4, D3DFMT_A8R3G3B2,
                         D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_A8R8G8B8};
    return true;
}

bool CGameServices::ReadOptions()
{
    const std::string options = paths.folders[CDataPaths::UserConfig] + "Options.ini";
    graphicsOptions.Read(options);
    soundOptions.Read(options);
    gameOptions.Read(options);
    return true;
}

bool CGameServices::CreateVertexBuffer()
{
    if (!device || !renderer)
        return Fail("Unable to create Particles VertexBuffer");
    const uint32_t count = device->maxVertexIndex >= 65535 ? 65536 : device->maxVertexIndex + 1;
    vertexBuffer =
        device->CreateVertexBuffer(count, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kVertexFvf, D3DPOOL_DEFAULT);
    if (!vertexBuffer)
        return Fail("Unable to create Particles VertexBuffer");
    renderer->vertexBuffer = vertexBuffer;
    return true;
}

bool CGameServices::CreateIndexBuffer()
{
    const uint32_t count = device->maxPrimitiveCount >= 65535 ? 65536 : device->maxPrimitiveCount + 1;
    indexBuffer =
        device->CreateIndexBuffer(count, D3DFMT_INDEX16, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    if (!indexBuffer)
        return Fail("Unable to create Particles IndexBuffer");
    renderer->indexBuffer = indexBuffer;
    return true;
}

bool CGameServices::LoadLoadingPicture()
{
    m_loadingPicture = device->LoadTexture(paths.folders[CDataPaths::Gfx] + "Loading.jpg", "Loading", 0, 0,
                                           D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    if (!m_loadingPicture)
        return Fail("Unable to load Loading.jpg Texture");
    return true;
}

// The shared textures in loading order, with a loading frame after each group.
bool CGameServices::LoadSharedTextures()
{
    enum Loader { Plain, PlainMip1, Alpha, Candidates };
    // The play screen's board, its frame and its sand box are registered by
    // their headers and come into memory when first drawn: the main menu
    // never draws them.
    enum When { AtStart, WhenDrawn };
    struct Entry {
        const char* file;
        const char* name;
        Loader loader;
        CountedHandle<CTexture>* slot;
        float frameAfter;
        When when = AtStart;
    };
    const Entry table[] = {
        {"Frame.png", "Frame", Plain, &screenTextures[kFrame], kNoFrame, WhenDrawn},
        {"FrameBack.tga", "FrameBack", Plain, &screenTextures[kFrameBack], kNoFrame, WhenDrawn},
        {"StarParticle.bmp", "StarParticle", Plain, &effectTextures[kStarParticle], kNoFrame},
        {"Selector.png", "Selector", Plain, &screenTextures[kSelector], kNoFrame, WhenDrawn},
        {"Lightning.jpg", "Lightning", Plain, &effectTextures[kLightning], kNoFrame},
        {"Spark.bmp", "Spark", Plain, &effectTextures[kSpark], kNoFrame},
        {"Sand.jpg", "Sand", Alpha, &effectTextures[kSand], kNoFrame},
        {"Cloud.jpg", "Cloud", Alpha, &effectTextures[kCloud], 0.05f},
        {"Sandbox.jpg", "Sandbox", PlainMip1, &screenTextures[kSandbox], kNoFrame, WhenDrawn},
        {"SmallSand.tga", "SmallSand", Candidates, &effectTextures[kSmallSand], kNoFrame},
        {"SandboxFront.png", "SandboxFront", Plain, &screenTextures[kSandboxFront], kNoFrame, WhenDrawn},
        {"SandboxGlass.tga", "SandboxGlass", Candidates, &screenTextures[kSandboxGlass], kNoFrame, WhenDrawn},
        {"ScoreFrenzyStar.png", "ScoreFrenzyStar", Candidates, &screenTextures[kScoreFrenzyStar], kNoFrame,
         WhenDrawn},
        {"Halo1.tga", "Halo1", Plain, &effectTextures[kHalo1], kNoFrame},
        {"Ring.jpg", "Ring", Plain, &effectTextures[kRing], 0.1f},
        {"SpellFuzzy.bmp", "SpellFuzzy", Plain, &effectTextures[kSpellFuzzy], kNoFrame},
        {"FireCloud.jpg", "FireCloud", Alpha, &effectTextures[kFireCloud], kNoFrame},
        {"Twirl.tga", "Twirl", Plain, &effectTextures[kTwirl], kNoFrame},
        {"Flare.jpg", "Flare", Alpha, &effectTextures[kFlare], kNoFrame},
        {"StarSand.tga", "StarSand", Candidates, &effectTextures[kStarSand], kNoFrame},
        {"JungleFlash.tga", "JungleFlash", Plain, &effectTextures[kJungleFlash], kNoFrame},
        {"ArcadeStar.tga", "ArcadeStar", Candidates, &effectTextures[kArcadeStar], kNoFrame},
        // Drawn only by the award, which brings its picture back when it
        // needs it.
        {"BigStar.png", "BigStar", Plain, &screenTextures[kBigStar], kNoFrame, WhenDrawn},
        {"Heart.png", "Heart", Plain, &screenTextures[kHeart], kNoFrame},
        // The step's own closing frame follows in the sequence table.
        {"ShopPointer.tga", "ShopPointer", Plain, &screenTextures[kShopPointer], kNoFrame},
    };
    const std::string& gfx = paths.folders[CDataPaths::Gfx];
    for (const Entry& e : table) {
        const std::string file = gfx + e.file;
        const uint32_t levels = e.loader == PlainMip1 ? 1 : 0;
        if (e.when == WhenDrawn) {
            const D3DFORMAT format =
                e.loader == Candidates ? device->ChooseFormat(m_alphaCandidates) : D3DFMT_UNKNOWN;
            *e.slot = device->RegisterTexture(file, e.name, levels, 0, D3DPOOL_MANAGED, format);
        } else if (e.loader == Alpha) {
            *e.slot = device->LoadTextureForAlpha(file, e.name, 1, 0, D3DPOOL_MANAGED);
        } else if (e.loader == Candidates) {
            *e.slot = device->LoadTextureAutoFormat(file, e.name, m_alphaCandidates, levels, 0, D3DPOOL_MANAGED);
        } else {
            *e.slot = device->LoadTexture(file, e.name, levels, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        }
        if (!*e.slot)
            return Fail(std::string("Unable to load ") + e.name + " Texture");
        if (e.frameAfter != kNoFrame)
            LoadingFrame(e.frameAfter);
    }
    screenTextures[kBigStar]->ReleaseD3DResource();
    return true;
}

// Six managers, one per particle layer of the frame, all drawing through the
// shared buffers. The game's effects live within a thousand units of the
// centre and are seen from far in front of the screen.
bool CGameServices::CreateParticleManagers()
{
    for (int i = 0; i < 6; ++i) {
        particleManagers[i] = MakeCountedHandle(new CParticleSystemsManager(device, vertexBuffer, indexBuffer));
        renderer->particleLayers[i] = particleManagers[i];
        CParticleEnvironment& environment = particleManagers[i]->Environment();
        environment.killMin = Vec3{-1000.0f, -1000.0f, -1000.0f};
        environment.killMax = Vec3{1000.0f, 1000.0f, 1000.0f};
        environment.view->eye.z = 10000.0f;
    }
    return true;
}

bool CGameServices::CreateFlareRenderers()
{
    for (int i = 0; i < 3; ++i) {
        flareRenderers[i] = MakeCountedHandle(new CFlareRenderer(device, vertexBuffer, indexBuffer));
        renderer->flareLayers[i] = flareRenderers[i];
    }
    return true;
}

bool CGameServices::LoadFonts()
{
    const std::string& folder = paths.folders[CDataPaths::Fonts];
    CountedHandle<CTexture> texture =
        device->LoadTextureAutoFormat(folder + "Font.tga", "Font", m_alphaCandidates, 0, 0, D3DPOOL_MANAGED);
    if (!texture)
        return Fail("Unable to load Font Texture");
    font = MakeCountedHandle(new CBitmapFont(texture));
    if (!ReadFontFile(font.Get(), folder + "Font.vfd"))
        return Fail("Unable to load Font.vfd");
    fonts.clear();
    fonts.reserve(4);
    fonts.push_back(font);
    const size_t errorsBefore = errors.size();
    LoadFontSet(*device, folder, &fonts, &errors);
    // Later steps pick fonts 1 and 2: a list that stopped short is fatal.
    if (fonts.size() < 3) {
        if (errors.size() == errorsBefore)
            Fail("Unable to load AdditionalFonts.lst");
        return false;
    }
    return true;
}

bool CGameServices::CreateTextBatch()
{
    textBatch = MakeCountedHandle(new CTextBatch(device, vertexBuffer, indexBuffer));
    renderer->textBatch = textBatch;
    return true;
}

bool CGameServices::LoadHiscores()
{
    hiscores.topDefaultScore = 1500000;
    char tableName[32];
    std::snprintf(tableName, sizeof tableName, "Game%d.tbl", 0);
    hiscores.Load(paths.folders[CDataPaths::SharedGameData] + tableName);
    return true;
}

bool CGameServices::LoadBestLists()
{
    const std::string& shared = paths.folders[CDataPaths::SharedGameData];
    bestScores = MakeCountedHandle(new CBestList(41));
    if (!bestScores->Load(shared + "Sc.bst"))
        bestScores->SetDefaultScores();
    bestTimes = MakeCountedHandle(new CBestList(41));
    if (!bestTimes->Load(shared + "Ti.bst"))
        bestTimes->FillLinear(15, 1215);
    return true;
}

// The menu screens load their textures and forms; the forms manager becomes
// the frame's GUI.
bool CGameServices::CreateScreens()
{
    screens = MakeCountedHandle(new CGameScreens(instance, device, vertexBuffer, indexBuffer, textBatch, fonts));
    if (!screens->LoadForms(paths, questLayout, SplitLevelNumber))
        return Fail("Unable to create forms: " + screens->LoadFailure());
    screens->SetHiscoreTables({&hiscores});
    profiles = screens->Profiles();
    screenTextures[kGemProgress] = device->FindTexture("GemProgress");
    renderer->gui = screens->FormsManager();
    return true;
}

bool CGameServices::CreateSpriteRenderers()
{
    for (int i = 0; i < 4; ++i)
        spriteRenderers[i] = MakeCountedHandle(new CSpriteRenderer(device, vertexBuffer, indexBuffer));
    // Renderer 0 is drawn only by the scene backgrounds, inside their own pass.
    for (int i = 1; i < 4; ++i)
        renderer->spriteLayers[i - 1] = spriteRenderers[i];
    return true;
}

bool CGameServices::CreateCapsRenderer()
{
    capsRenderer = MakeCountedHandle(new CCapsRenderer(device, vertexBuffer, indexBuffer));
    if (!capsRenderer->LoadTextures(paths.folders[CDataPaths::Gfx]))
        return Fail("Unable to load caps Textures");
    if (!capsRenderer->LoadAnimations(paths.folders[CDataPaths::Data]))
        return Fail("Unable to load caps Animation");
    renderer->caps = capsRenderer;
    return true;
}

bool CGameServices::ResetBalance()
{
    balance.Reset(0, 1);
    return true;
}

// The board draws its mesh from the Frame and FrameBack pictures and its
// sand effects from Sand, Cloud and StarSand. Its game draws from a stream
// of its own, seeded here from the shared generator.
bool CGameServices::CreateBoard()
{
    boardRandom.Seed(RandomSeed());
    const BoardTuning tuning{paths.tuning[0], paths.tuning[1], paths.tuning[2]};
    board = MakeCountedHandle(new CGameBoard(capsRenderer, questLayout, balance, boardRandom, tuning));
    board->Reset(0);
    BoardLooks looks;
    looks.particles = particleManagers[2];
    looks.particlesFront = particleManagers[1];
    looks.sand = effectTextures[kSand];
    looks.cloud = effectTextures[kCloud];
    looks.starSand = effectTextures[kStarSand];
    looks.mesh = {screenTextures[kFrame], screenTextures[kFrameBack]};
    looks.sandbox = screenTextures[kSandbox];
    looks.sandboxGrains = effectTextures[kSmallSand];
    looks.sandboxDust = effectTextures[kCloud];
    looks.sandboxFront = screenTextures[kSandboxFront];
    looks.sandboxGlass = screenTextures[kSandboxGlass];
    looks.frenzyStar = screenTextures[kScoreFrenzyStar];
    looks.sandboxParticles = particleManagers[1];
    board->SetLooks(looks);
    renderer->boardMesh = board->MeshLayer();
    renderer->sandbox = board->SandLayer();
    return true;
}

// The gems bar draws its frame and fill from the screens' GemProgress
// picture and its counter with font 1; it stands with the board's mesh.
bool CGameServices::CreateGemsBar()
{
    gemsBar = MakeCountedHandle(new CGemsBar());
    const CountedHandle<CTexture>& frame =
        screenTextures[kGemProgress] ? screenTextures[kGemProgress] : screenTextures[kFrame];
    gemsBar->SetSharedObjects(device, frame, spriteRenderers[1], textBatch, fonts[1], flareRenderers[1]);
    gemsBar->ApplyLayout(questLayout);
    if (!gemsBar->LoadBarGems(paths.folders[CDataPaths::Gfx] + "BarGems.bmp"))
        return Fail("Error loading BarGems.bmp", "Error!\n");
    if (!gemsBar->Init())
        return Fail("Error! Unable to create Gems buffer Texture",
                    "Error! Unable to create Gems buffer Texture\n");
    board->SetGemsBar(gemsBar);
    return true;
}

bool CGameServices::CreateSelectionMarker()
{
    board->SetSelectionMarker(
        MakeCountedHandle(new CTokenHighlight(particleManagers[2], spriteRenderers[1], flareRenderers[1],
                                              screenTextures[kSelector], effectTextures[kStarParticle])));
    return true;
}

// The rays glow with Spark and strike with Lightning; their chain bursts and
// the sparkles along chains come from the chain picture the caps loaded. The
// pieces of a struck token fall in particle layer 2, under the tokens, with
// the sand it throws.
bool CGameServices::CreateTerminators()
{
    board->EquipRays(particleManagers[2], particleManagers[1], flareRenderers[1], flareRenderers[2],
                     spriteRenderers[1], effectTextures[kSpark], device->FindTexture("Chain"),
                     effectTextures[kLightning]);
    return true;
}

// The bonuses read their tuning, draw riding bonuses in sprite layer 1 and
// flare layer 1, fired gems in sprite layer 2, what flies over the HUD in
// sprite layer 3 and flare layer 2, with particles in layers 3 and 6. A
// picture of their own that cannot be loaded ends the sequence, the box
// and the log naming it.
bool CGameServices::CreateBonuses()
{
    const std::string& config = paths.folders[CDataPaths::Config];
    LoadBonusParameters(config + "Gems.cfg", config + "Bonus.cfg");
    bonuses = MakeCountedHandle(new CBonusManager());
    bonuses->SetResources(spriteRenderers[1], flareRenderers[1], particleManagers[2], spriteRenderers[2],
                          particleManagers[5], flareRenderers[2], spriteRenderers[3]);
    std::string failedPicture;
    if (!bonuses->LoadTextures(device, paths.folders[CDataPaths::Gfx], &failedPicture))
        return Fail("Unable to create bonuses: " + failedPicture);
    bonuses->SetTextures(effectTextures[kStarParticle], effectTextures[kHalo1], effectTextures[kRing],
                         effectTextures[kSpark], effectTextures[kLightning], effectTextures[kTwirl],
                         effectTextures[kTwirl], device->FindTexture("PanelGlass"));
    gemsBar->SetEffectTexture(bonuses->textures[CBonusManager::kGemFlares]);
    adviser = MakeCountedHandle(new CAdviserInterface());
    board->SetBonuses(bonuses, adviser);
    return true;
}

// The totems draw their large totems, panel and shop pictures in sprite
// layer 3, their powers' effects in particle layer 5 and flare layer 2, and
// read "Totems.cfg". A picture of their own that cannot be loaded, for the
// level or for the shop, ends the sequence, the box and the log naming it. The screens' two pictures that
// depend on the difficulty follow: the HUD panel's for the hint button and
// the trophies' own for the medal of the hard quest.
bool CGameServices::CreateTotems()
{
    totems = MakeCountedHandle(new CTotemsManager());
    totems->SetRenderers(device, spriteRenderers[3], particleManagers[5], flareRenderers[2], &balance);
    totems->LoadConfig(paths.folders[CDataPaths::Config] + "Totems.cfg");
    std::string failedPicture;
    if (!totems->LoadTextures(paths.folders[CDataPaths::Gfx], &failedPicture)) {
        WriteLog("Error loading Totems Textures\n");
        return Fail("Unable to create totems: " + failedPicture);
    }
    totems->SetTextures({effectTextures[kHalo1], effectTextures[kSpellFuzzy], effectTextures[kFireCloud],
                         effectTextures[kStarParticle], effectTextures[kTwirl], device->FindTexture("PanelGlass"),
                         bonuses->textures[CBonusManager::kGemFlares], effectTextures[kLightning],
                         effectTextures[kSpark], effectTextures[kCloud], capsRenderer->ChainTexture(),
                         capsRenderer->ChainAlphaTexture(), device->FindTexture("ShopColor"),
                         device->FindTexture("ShopMul"), device->FindTexture("ShopBW")});
    totems->totemFactor = graphicsOptions.effects;
    board->SetTotems(totems);
    screens->SetMapDifficultyTexture(device->FindTexture("PanelQuest"), device->FindTexture("Trophies"));
    return true;
}

// The popups' looks; they draw with font 2 and cut their token icons from
// the score plates the bonuses loaded. The board raises its
// score popups among them, and hides until a level shows it.
bool CGameServices::LoadScoreSettings()
{
    LoadScoreMessageSettings(paths.folders[CDataPaths::Config] + "Score.cfg");
    popups = MakeCountedHandle(new CPopupManager());
    popups->SetResources(spriteRenderers[1], textBatch, fonts[2], fonts[2], device->FindTexture("Bonus3"));
    board->SetPopups(popups);
    // The hint display counts down in the quest screen's hint counter and
    // holds the hint button off meanwhile; its arrows fly over the gems bar.
    adviser->SetResources(screens->quest.hintCounter, screens->quest.hintButton, device->FindTexture("Bonus4"),
                          spriteRenderers[2]);
    board->Show(false, false, 0.0f);
    return true;
}

// The shop reaches the totems, the bonuses and the balance through the
// board's links; its star pictures are registered by the forms' texture
// list, which the screens loaded. Missing tips are logged and the shop goes
// on without them.
bool CGameServices::CreateShop()
{
    ShopBoardLinks links;
    links.totems = totems.Get();
    links.bonuses = bonuses;
    links.bonusSize = board->Geometry().tokenSize;
    links.balance = &balance;
    shop = MakeCountedHandle(new CShop(screens, links, particleManagers[4], spriteRenderers[3],
                                       particleManagers[5], textBatch, fonts[0]));
    shop->LoadSettings(paths.folders[CDataPaths::Config] + "Skin.cfg", "Shop");
    shop->SetTextures(screenTextures[kSandboxFront], screenTextures[kSandboxGlass], effectTextures[kCloud],
                      device->FindTexture("ShopCtrls1"), device->FindTexture("ShopCtrls2"),
                      effectTextures[kStarParticle], effectTextures[kHalo1], screenTextures[kShopPointer]);
    shop->items.LoadDescriptions(paths.folders[CDataPaths::Txt] + "Shop.txt");
    return true;
}

bool CGameServices::CreateStarAward()
{
    starAward = MakeCountedHandle(new CStarAward());
    starAward->SetResources(spriteRenderers[2], particleManagers[2], popups.Get(), screenTextures[kBigStar],
                            effectTextures[kStarParticle], effectTextures[kRing]);
    starAward->settings.Load(paths.folders[CDataPaths::Config] + "Score.cfg", "Star");
    return true;
}

bool CGameServices::CreateLifeLostAward()
{
    lifeLostAward = MakeCountedHandle(new CLifeLostAward());
    lifeLostAward->SetResources(spriteRenderers[3], particleManagers[5], popups.Get(), screenTextures[kHeart],
                                effectTextures[kSpark]);
    lifeLostAward->settings.Load(paths.folders[CDataPaths::Config] + "Score.cfg", "Loss");
    return true;
}

// The scenes are set up once; from then on every frame draws the main menu's
// scene behind whatever shows.
bool CGameServices::CreateBackgrounds()
{
    backgrounds = MakeCountedHandle(new CBackgroundManager());
    backgrounds->SetDevice(device, vertexBuffer, indexBuffer);
    BackgroundResources shared;
    shared.sprites = spriteRenderers[0];
    shared.particles = particleManagers[0];
    shared.flares = flareRenderers[0];
    shared.flare = effectTextures[kFlare];
    shared.jungleFlash = effectTextures[kJungleFlash];
    shared.smallSand = effectTextures[kSmallSand];
    shared.cloud = effectTextures[kCloud];
    shared.spark = effectTextures[kSpark];
    shared.halo = effectTextures[kHalo1];
    backgrounds->SetResources(shared);
    backgrounds->LoadSettings(paths.folders[CDataPaths::Config] + "Background.cfg");
    backgrounds->Init(paths.folders[CDataPaths::Gfx]);
    backgrounds->OpenRenderGate();
    backgrounds->SetScene(CBackgroundManager::kMainMenu);
    renderer->background = backgrounds;
    return true;
}

// A machine without a sound device plays on silently; every object that
// plays sounds gets the manager either way.
bool CGameServices::StartSounds()
{
    sounds = MakeCountedHandle(new CSoundManager());
    if (sounds->Init(window) != 0)
        WriteLog("Error loading Sfx!\n");
    else
        LoadSounds();
    screens->SetSoundManager(sounds);
    board->SetSounds(sounds);
    totems->sounds = sounds;
    backgrounds->SetSoundManager(sounds);
    return true;
}

void CGameServices::LoadSounds()
{
    const std::string& writableSfx = paths.folders[CDataPaths::SharedSfx];
    sounds->panDivisor = 520.0f / soundOptions.soundPanFactor;
    sounds->soundFolder = writableSfx;
    sounds->installedSoundFolder = paths.folders[CDataPaths::Sfx];
    sounds->ConvertOggSounds(paths.folders[CDataPaths::UserConfig] + "Options.ini", paths.folders[CDataPaths::Sfx],
                             writableSfx);
    sounds->LoadConfig(writableSfx + "Vol.cfg");
    if (sounds->LoadSamples(writableSfx) != 0) {
        sounds->initialised = 0;
        WriteLog("Sounds Loading Error!\n");
    }
    sounds->SetVolume(soundOptions.soundOn ? soundOptions.soundVolume : 0.0f);
}

bool CGameServices::StartMusic()
{
    music = MakeCountedHandle(new CMusicPlayer(paths.folders[CDataPaths::Music]));
    music->SetEnabled(soundOptions.musicOn);
    music->PlayTrack(CMusicPlayer::MainMenu);
    music->SetVolume(soundOptions.musicVolume);
    sounds->music = music;
    return true;
}

bool CGameServices::CreateFpsText()
{
    fpsText = MakeCountedHandle(new CText(font));
    fpsText->visible = fpsShown;
    fpsText->colour = 0x80FFFFFF;
    fpsText->SetCharSize(0.75f * font->header3f, 0.75f * font->header3f);
    fpsText->SetText("FPS:");
    fpsText->origin[0] = -511.5f;
    fpsText->origin[1] = 377.5f;
    fpsText->origin[2] = -2.0f;
    // Drawn over the menus and dialogs, which cover the whole screen.
    fpsText->layer = kTextLayerOverlay;
    textBatch->Add(fpsText);
    return true;
}

bool CGameServices::SetGamma()
{
    renderer->SaveGammaRamp();
    renderer->SetGammaFromBrightness(graphicsOptions.gamma);
    cursorReady = true;
    return true;
}

bool CGameServices::CreateCursor()
{
    CountedHandle<CImageSurface> cursor = device->CreateImageSurface("CursorSurface", 32, 32, D3DFMT_A8R8G8B8);
    if (!cursor)
        return Fail("Unable to Create Cursor Surface");
    if (Failed(cursor->LoadFromFile(paths.folders[CDataPaths::Gfx] + "Cursor.tga", 0)))
        return Fail("Unable to Load Cursor.tga");
    device->Device()->SetCursorProperties(0, 0, cursor->surface.get());
    // The frame renderer finds the surface by its name after a reset.
    if (device->FindSurfaceIndex("CursorSurface") < 0)
        WriteLog("Cursor surface not registered!\n");
    return true;
}

bool CGameServices::CreateTrophies()
{
    trophies = MakeCountedHandle(new CTrophiesScreen());
    trophies->LoadSettings(paths.folders[CDataPaths::Config] + "Skin.cfg");
    trophies->LoadDescriptions(paths.folders[CDataPaths::Txt] + "Trophies.txt");
    trophies->SetSharedObjects(screens, particleManagers[4], particleManagers[5], flareRenderers[2],
                               spriteRenderers[3], spriteRenderers[1]);
    trophies->sounds = sounds;
    trophies->SetTextures(effectTextures[kStarParticle], effectTextures[kRing], device->FindTexture("White"),
                          effectTextures[kHalo1]);
    return true;
}

void CGameServices::ReleaseLoadLocals()
{
    m_loadingPicture.Reset();
    m_alphaCandidates.clear();
}
