#include "shell/Game.h"

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

int CGame::Init(plat::Window* mainWindow, void* programInstance)
{
    LoadStrings(paths.folders[CDataPaths::Txt] + "Strings.txt");
    window = mainWindow;
    instance = programInstance;

    const std::string options = paths.folders[CDataPaths::UserConfig] + "Options.ini";
    graphicsOptions.Read(options);
    soundOptions.Read(options);
    gameOptions.Read(options);

    LoadHiscoresAndBestLists();

    if (renderer) {
        renderer->SaveGammaRamp();
        renderer->SetGammaFromBrightness(graphicsOptions.gamma);
    }
    cursorReady = 1;

    modeTimer = 0.0f;
    mode = 13;
    phase = 1;
    gameType = 0;
    challengeMode = 100;
    subState = 0;
    nameEntryPending = 0;

    ChooseCurrentProfile();
    LoadTrophies();
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
    modeTimer += timeStep;
    if (!d3d::Failed(renderer->RenderFrame()))
        renderer->Present();
}

void CGame::SetFps(float value) { fps = value; }

int CGame::OnKeyDown(int) { return 0; }
int CGame::OnKeyUp(int) { return 0; }
int CGame::OnChar(int) { return 0; }
int CGame::OnLButtonDown(int, int, uintptr_t) { return 0; }
int CGame::OnLButtonUp(int, int, uintptr_t) { return 0; }
int CGame::OnRButtonDown(int, int, uintptr_t) { return 0; }
int CGame::OnRButtonUp(int, int, uintptr_t) { return 0; }
void CGame::SaveQuestOnExit() {}
