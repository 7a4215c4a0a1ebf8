#include "shell/Game.h"

#include "engine/StringTable.h"

#include <algorithm>
#include <cstdio>

CGame::CGame(CountedHandle<CSceneRenderer> sceneRenderer)
{
    renderer = sceneRenderer;
    if (renderer)
        device = renderer->device;
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
    return 1;
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
