#include "game/Game.h"

#include "engine/StringTable.h"

#include <algorithm>
#include <cstdio>

CGame::CGame(CountedHandle<CSceneRenderer> sceneRenderer)
{
    renderer = sceneRenderer;
    if (renderer)
        device = renderer->device;
    questSave = MakeCountedHandle(new CQuestSave());
}

CGame::~CGame() = default;

void CGame::Fail(const std::string& text)
{
    errors.push_back(text);
    WriteLog(text + "!\n");
}

void CGame::LoadingFrame(const CountedHandle<CTexture>& picture, float progress)
{
    if (renderer && !d3d::Failed(renderer->RenderLoadingFrame(picture, progress)))
        renderer->Present();
}

int CGame::Init(plat::Window* mainWindow, void* programInstance)
{
    using namespace d3d;
    const std::string* folder = paths.folders;
    LoadStrings(folder[CDataPaths::Txt] + "Strings.txt");
    const std::vector<D3DFORMAT> candidates = {D3DFMT_A1R5G5B5, D3DFMT_A4L4, D3DFMT_A8R3G3B2,
                                               D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_A8R8G8B8};
    window = mainWindow;
    instance = programInstance;

    const std::string options = folder[CDataPaths::UserConfig] + "Options.ini";
    graphicsOptions.Read(options);
    soundOptions.Read(options);
    gameOptions.Read(options);

    if (!device || !renderer) {
        Fail("Unable to create Particles VertexBuffer");
        return 0;
    }
    const uint32_t vertexCount = device->maxVertexIndex >= 65535 ? 65536 : device->maxVertexIndex + 1;
    vertexBuffer = device->CreateVertexBuffer(vertexCount, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kVertexFvf,
                                              D3DPOOL_DEFAULT);
    if (!vertexBuffer) {
        Fail("Unable to create Particles VertexBuffer");
        return 0;
    }
    renderer->vertexBuffer = vertexBuffer;
    const uint32_t indexCount = device->maxPrimitiveCount >= 65535 ? 65536 : device->maxPrimitiveCount + 1;
    indexBuffer = device->CreateIndexBuffer(indexCount, D3DFMT_INDEX16, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                            D3DPOOL_DEFAULT);
    if (!indexBuffer) {
        Fail("Unable to create Particles IndexBuffer");
        return 0;
    }
    renderer->indexBuffer = indexBuffer;

    const std::string& gfx = folder[CDataPaths::Gfx];
    CountedHandle<CTexture> loading = device->LoadTexture(gfx + "Loading.jpg", "Loading", 0, 0, D3DPOOL_MANAGED,
                                                          D3DFMT_UNKNOWN);
    if (!loading) {
        Fail("Unable to load Loading.jpg Texture");
        return 0;
    }
    LoadingFrame(loading, 0.0f);
    LoadingFrame(loading, 0.025f);

    // The shared textures, in loading order, with the frame drawn after each
    // group.
    enum Loader { Plain, PlainMip1, Alpha, Candidates };
    struct Entry {
        const char* file;
        const char* name;
        Loader loader;
        CountedHandle<CTexture>* slot;
        float frameAfter; // 0: none
    };
    const Entry table[] = {
        {"Frame.png", "Frame", Plain, &screenTextures[kFrame], 0},
        {"FrameBack.tga", "FrameBack", Plain, &screenTextures[kFrameBack], 0},
        {"StarParticle.bmp", "StarParticle", Plain, &effectTextures[kStarParticle], 0},
        {"Selector.png", "Selector", Plain, &screenTextures[kSelector], 0},
        {"Lightning.jpg", "Lightning", Plain, &effectTextures[kLightning], 0},
        {"Spark.bmp", "Spark", Plain, &effectTextures[kSpark], 0},
        {"Sand.jpg", "Sand", Alpha, &effectTextures[kSand], 0},
        {"Cloud.jpg", "Cloud", Alpha, &effectTextures[kCloud], 0.05f},
        {"Sandbox.jpg", "Sandbox", PlainMip1, &screenTextures[kSandbox], 0},
        {"SmallSand.tga", "SmallSand", Candidates, &effectTextures[kSmallSand], 0},
        {"SandboxFront.png", "SandboxFront", Plain, &screenTextures[kSandboxFront], 0},
        {"SandboxGlass.tga", "SandboxGlass", Candidates, &screenTextures[kSandboxGlass], 0},
        {"ScoreFrenzyStar.png", "ScoreFrenzyStar", Candidates, &screenTextures[kScoreFrenzyStar], 0},
        {"Halo1.tga", "Halo1", Plain, &effectTextures[kHalo1], 0},
        {"Ring.jpg", "Ring", Plain, &effectTextures[kRing], 0.1f},
        {"SpellFuzzy.bmp", "SpellFuzzy", Plain, &effectTextures[kSpellFuzzy], 0},
        {"FireCloud.jpg", "FireCloud", Alpha, &effectTextures[kFireCloud], 0},
        {"Twirl.tga", "Twirl", Plain, &effectTextures[kTwirl], 0},
        {"Flare.jpg", "Flare", Alpha, &effectTextures[kFlare], 0},
        {"StarSand.tga", "StarSand", Candidates, &effectTextures[kStarSand], 0},
        {"JungleFlash.tga", "JungleFlash", Plain, &effectTextures[kJungleFlash], 0},
        {"BigStar.png", "BigStar", Plain, &screenTextures[kBigStar], 0},
        {"ShopPointer.tga", "ShopPointer", Plain, &screenTextures[kShopPointer], 0.15f},
    };
    for (const Entry& e : table) {
        const std::string file = gfx + e.file;
        switch (e.loader) {
        case Plain: *e.slot = device->LoadTexture(file, e.name, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN); break;
        case PlainMip1: *e.slot = device->LoadTexture(file, e.name, 1, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN); break;
        case Alpha: *e.slot = device->LoadTextureForAlpha(file, e.name, 1, 0, D3DPOOL_MANAGED); break;
        case Candidates: *e.slot = device->LoadTextureAutoFormat(file, e.name, candidates, 0, 0, D3DPOOL_MANAGED); break;
        }
        if (!*e.slot) {
            Fail(std::string("Unable to load ") + e.name + " Texture");
            return 0;
        }
        if (e.slot == &screenTextures[kBigStar])
            screenTextures[kBigStar]->ReleaseD3DResource();
        if (e.frameAfter > 0.0f)
            LoadingFrame(loading, e.frameAfter);
    }

    for (int i = 0; i < 3; ++i) {
        flareRenderers[i] = MakeCountedHandle(new CFlareRenderer(device, vertexBuffer, indexBuffer));
        renderer->flareLayers[i] = flareRenderers[i];
    }
    LoadingFrame(loading, 0.2f);

    const std::string& fontFolder = folder[CDataPaths::Fonts];
    CountedHandle<CTexture> fontTexture =
        device->LoadTextureAutoFormat(fontFolder + "Font.tga", "Font", candidates, 0, 0, D3DPOOL_MANAGED);
    if (!fontTexture) {
        Fail("Unable to load Font Texture");
        return 0;
    }
    font = MakeCountedHandle(new CBitmapFont(fontTexture));
    if (!ReadFontFile(font.Get(), fontFolder + "Font.vfd")) {
        Fail("Unable to load Font.vfd");
        return 0;
    }
    fonts.clear();
    fonts.reserve(4);
    fonts.push_back(font);
    const size_t errorsBefore = errors.size();
    LoadFontSet(*device, fontFolder, &fonts, &errors);
    // Later steps pick fonts 1 and 2: a list that stopped short is fatal.
    if (fonts.size() < 3) {
        if (errors.size() == errorsBefore)
            Fail("Unable to load AdditionalFonts.lst");
        return 0;
    }
    LoadingFrame(loading, 0.25f);

    textBatch = MakeCountedHandle(new CTextBatch(device, vertexBuffer, indexBuffer));
    renderer->textBatch = textBatch;

    LoadHiscoresAndBestLists();
    LoadingFrame(loading, 0.3f);

    // Sounds: a machine without a sound device plays on silently.
    sounds = MakeCountedHandle(new CSoundManager());
    if (sounds->Init(window) == 0) {
        const std::string& writableSfx = paths.folders[CDataPaths::SharedSfx];
        sounds->panDivisor = 520.0f / soundOptions.soundPanFactor;
        sounds->soundFolder = writableSfx;
        sounds->installedSoundFolder = paths.folders[CDataPaths::Sfx];
        sounds->ConvertOggSounds(options, paths.folders[CDataPaths::Sfx], writableSfx);
        sounds->LoadConfig(writableSfx + "Vol.cfg");
        if (sounds->LoadSamples(writableSfx) != 0) {
            sounds->initialised = 0;
            WriteLog("Sounds Loading Error!\n");
        }
        sounds->SetVolume(soundOptions.soundOn ? soundOptions.soundVolume : 0.0f);
    } else {
        WriteLog("Error loading Sfx!\n");
    }

    // Music.
    music = MakeCountedHandle(new CMusicPlayer(paths.folders[CDataPaths::Music]));
    music->SetEnabled(soundOptions.musicOn);
    music->PlayTrack(CMusicPlayer::MainMenu);
    music->SetVolume(soundOptions.musicVolume);
    sounds->music = music;
    LoadingFrame(loading, 0.95f);

    fpsText = MakeCountedHandle(new CText(font));
    fpsText->visible = fpsShown;
    fpsText->colour = 0x80FFFFFF;
    fpsText->SetCharSize(0.75f * font->header3f, 0.75f * font->header3f);
    fpsText->SetText("FPS:");
    fpsText->origin[0] = -511.5f;
    fpsText->origin[1] = 377.5f;
    fpsText->origin[2] = -2.0f;
    textBatch->Add(fpsText);

    renderer->SaveGammaRamp();
    renderer->SetGammaFromBrightness(graphicsOptions.gamma);
    cursorReady = 1;

    CountedHandle<CImageSurface> cursor = device->CreateImageSurface("CursorSurface", 32, 32, D3DFMT_A8R8G8B8);
    if (!cursor) {
        Fail("Unable to Create Cursor Surface");
        return 0;
    }
    if (Failed(cursor->LoadFromFile(gfx + "Cursor.tga", 0))) {
        Fail("Unable to Load Cursor.tga");
        return 0;
    }
    device->Device()->SetCursorProperties(0, 0, cursor->surface.get());
    cursorSurfaceIndex = device->FindSurfaceIndex("CursorSurface");

    modeTimer = 0.0f;
    mode = 13;
    phase = 1;
    gameType = 0;
    challengeMode = 100;
    subState = 0;
    nameEntryPending = 0;

    ChooseCurrentProfile();
    LoadTrophies();
    LoadingFrame(loading, 1.0f);
    return 1;
}

void CGame::LoadHiscoresAndBestLists()
{
    const std::string& shared = paths.folders[CDataPaths::SharedGameData];
    hiscores.topDefaultScore = 1500000;
    char tableName[32];
    std::snprintf(tableName, sizeof tableName, "Game%d.tbl", 0);
    hiscores.Load(shared + tableName);

    bestScores = MakeCountedHandle(new CBestList(41));
    if (!bestScores->Load(shared + "Sc.bst"))
        bestScores->SetDefaultScores();
    bestTimes = MakeCountedHandle(new CBestList(41));
    if (!bestTimes->Load(shared + "Ti.bst"))
        bestTimes->FillLinear(15, 1215);
}

// The [Game] profile name picks the current player; when it names nobody the
// first profile found takes over and is written back. Without any profile
// the name entry has to run first.
void CGame::ChooseCurrentProfile()
{
    profiles = MakeCountedHandle(new CProfiles(paths.folders[CDataPaths::Players]));
    const int index =
        SelectCurrentProfile(*profiles, gameOptions, paths.folders[CDataPaths::UserConfig] + "Options.ini");
    if (index >= 0)
        playerName = profiles->At(static_cast<size_t>(index))->name;
    else
        nameEntryPending = 1;
}

void CGame::LoadTrophies()
{
    trophies = MakeCountedHandle(new CTrophies());
    trophies->LoadSettings(paths.folders[CDataPaths::Config] + "Skin.cfg");
    trophies->LoadDescriptions(paths.folders[CDataPaths::Txt] + "Trophies.txt");
    if (playerName)
        trophies->Load(paths.folders[CDataPaths::Players] + *playerName + "\\Trophies.dat");
}

// A step of exactly 0 only draws (when asked to); a non-zero step while
// paused does nothing; any other step, at most half a second, advances the
// game one frame and draws it.
void CGame::Frame(float timeStep, int draw, int paused)
{
    if (!renderer)
        return;
    if (timeStep == 0.0f) {
        if (draw && !d3d::Failed(renderer->RenderFrame()))
            renderer->Present();
        return;
    }
    if (paused)
        return;
    timeStep = std::min(timeStep, 0.5f);
    if (music)
        music->Update(timeStep);
    modeTimer += timeStep;
    if (textBatch)
        textBatch->Update(timeStep);
    for (auto& flares : flareRenderers)
        if (flares)
            flares->Update(timeStep);
    if (!d3d::Failed(renderer->RenderFrame()))
        renderer->Present();
}

void CGame::SetFps(float value)
{
    fps = value;
    if (fpsShown && fpsText) {
        char text[64];
        std::snprintf(text, sizeof text, "FPS: %.2f", static_cast<double>(value));
        fpsText->SetText(text);
    }
}

int CGame::OnKeyDown(int) { return 0; }
int CGame::OnKeyUp(int) { return 0; }
int CGame::OnChar(int) { return 0; }
int CGame::OnLButtonDown(int, int, uintptr_t) { return 0; }
int CGame::OnLButtonUp(int, int, uintptr_t) { return 0; }
int CGame::OnRButtonDown(int, int, uintptr_t) { return 0; }
int CGame::OnRButtonUp(int, int, uintptr_t) { return 0; }
void CGame::SaveQuestOnExit() {}
