// The game object's life cycle, its frame and its input handlers. The load
// sequence lives in LoadSequence.cpp.
#include "game/Game.h"

#include "balance/BalanceState.h"

#include <algorithm>
#include <cstdio>

CGame::CGame(CountedHandle<CSceneRenderer> sceneRenderer)
{
    renderer = sceneRenderer;
    if (renderer)
        device = renderer->device;
    questSave = MakeCountedHandle(new CQuestSave());
    shop = MakeCountedHandle(new CShop());
}

CGame::~CGame() = default;

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
    if (board)
        board->popups.Update(timeStep);
    if (backgrounds)
        backgrounds->Update(timeStep);
    modeTimer += timeStep;
    for (auto& particles : particleManagers)
        if (particles)
            particles->Update(timeStep);
    for (auto& flares : flareRenderers)
        if (flares)
            flares->Update(timeStep);
    if (textBatch)
        textBatch->Update(timeStep);
    for (int i = 1; i < 4; ++i)
        if (spriteRenderers[i])
            spriteRenderers[i]->Update(timeStep, 0);
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

bool CGame::SwitchBackgroundForStage(int oldLevel, int newLevel)
{
    int stage = 0, position = 0, oldStage = -1;
    SplitLevelNumber(newLevel, &stage, &position);
    if (oldLevel >= 0)
        SplitLevelNumber(oldLevel, &oldStage, &position);
    if (stage == oldStage)
        return false;
    // Stages 1 to 4 have their own scenes; the treasury serves every later one.
    if (backgrounds)
        backgrounds->SetScene(std::min(stage, static_cast<int>(CBackgroundManager::kTreasury)));
    return true;
}
