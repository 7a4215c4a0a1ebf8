// The game object's life cycle, its frame, and what the shell asks of it:
// the input mapped onto the virtual screen and given to the flow, the
// frame-rate text, the audio while minimised, the cursor and the gamma.
#include "game/Game.h"

#include "platform/Window.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
// The window buttons show while the cursor is this close to the top.
constexpr float kWinBoxLine = 357.0f;
} // namespace

CGame::CGame(CountedHandle<CSceneRenderer> sceneRenderer) : services(std::move(sceneRenderer)) {}

// The flow goes first, then the quest, then the services in the reverse
// order of their making.
CGame::~CGame() = default;

// The player is chosen once the screens list the profiles; the splash takes
// the loading picture over before the load's locals go.
int CGame::Init(plat::Window* mainWindow, void* programInstance)
{
    if (!services.Load(mainWindow, programInstance))
        return 0;
    quest.ChoosePlayer();
    if (quest.playerName)
        services.trophies->Load(quest.PlayerFolder() + "Trophies.dat");
    flow.Start();
    services.ReleaseLoadLocals();
    return 1;
}

void CGame::Frame(float timeStep, int draw, int paused)
{
    CGameServices& s = services;
    if (!s.renderer)
        return;
    if (timeStep == 0.0f) {
        if (draw && !d3d::Failed(s.renderer->RenderFrame()))
            s.renderer->Present();
        return;
    }
    if (paused || !s.screens)
        return;
    const float dt = std::min(timeStep, 0.5f);
    s.Update(dt);
    MapCursor();
    UpdateWinBox();
    if (s.trophies && s.trophies->Update(dt, flow.cursorX, flow.cursorY) == 1 &&
        s.trophies->pendingAwards.empty() && quest.playerName)
        s.trophies->Save(quest.PlayerFolder() + "Trophies.dat");
    s.screens->gaugeHold = quest.gameType;
    s.screens->Update(flow.cursorX, flow.cursorY, dt);
    flow.TakeScreenEvents();
    flow.Update(dt);
    s.ReportSceneCover();
    if (!d3d::Failed(s.renderer->RenderFrame()))
        s.renderer->Present();
}

// The centred 4:3 part of the client area spans x -512 .. 512 and y 384 ..
// -384.
bool CGame::MapPoint(int px, int py, float* x, float* y) const
{
    int width = 0, height = 0;
    plat::ClientSize(services.window, &width, &height);
    const int h = height / 2;
    const int e = (h * 4) / 3;
    if (e <= 0)
        return false;
    *x = static_cast<float>((px - width / 2) * 512) / static_cast<float>(e);
    *y = static_cast<float>((py - h) * -512) / static_cast<float>(e);
    return true;
}

void CGame::MapCursor()
{
    const plat::CursorPoll poll = plat::PollCursor(services.window);
    MapPoint(poll.x, poll.y, &flow.cursorX, &flow.cursorY);
}

void CGame::UpdateWinBox()
{
    const bool show = flow.cursorY > kWinBoxLine;
    if (show == m_winBoxShown)
        return;
    m_winBoxShown = show;
    services.screens->winBox.form->SetVisible(show);
}

// Without a client area a press stands where the cursor was last.
InputResult CGame::OnPress(plat::MouseButton button, int px, int py)
{
    if (!services.screens)
        return InputResult::Continue;
    if (button == plat::MouseButton::Right) {
        flow.LetGoOfThePick();
        return InputResult::Continue;
    }
    if (button != plat::MouseButton::Left)
        return InputResult::Continue;
    float x = flow.cursorX, y = flow.cursorY;
    MapPoint(px, py, &x, &y);
    flow.Press(x, y);
    return InputResult::Continue;
}

InputResult CGame::OnRelease(plat::MouseButton button, int px, int py)
{
    if (!services.screens || button != plat::MouseButton::Left)
        return InputResult::Continue;
    float x = flow.cursorX, y = flow.cursorY;
    MapPoint(px, py, &x, &y);
    return flow.Release(x, y);
}

InputResult CGame::OnKeyDown(int key)
{
    if (!services.screens)
        return InputResult::Continue;
    return flow.Key(key);
}

void CGame::OnKeyUp(int) {}

void CGame::OnCharacter(int character)
{
    if (services.screens)
        services.screens->OnNameChar(character);
}

void CGame::SaveQuestOnExit() { flow.SaveQuestOnExit(); }

void CGame::SetFps(float value)
{
    services.fps = value;
    if (services.fpsShown && services.fpsText) {
        char text[64];
        std::snprintf(text, sizeof text, "FPS: %.2f", static_cast<double>(value));
        services.fpsText->SetText(text);
    }
}

void CGame::SetDisplay(int fullScreenOn, int level)
{
    services.fullScreen = fullScreenOn;
    services.hardwareLevel = level;
}

const std::string& CGame::LastError() const
{
    static const std::string kNone;
    return services.errors.empty() ? kNone : services.errors.back();
}

void CGame::ToggleFpsText()
{
    services.fpsShown = !services.fpsShown;
    if (services.fpsText)
        services.fpsText->visible = services.fpsShown;
}

void CGame::PauseAudio(bool paused)
{
    if (!services.music)
        return;
    if (paused)
        services.music->Pause();
    else
        services.music->Resume();
}

void CGame::ShowCursorAt(int x, int y)
{
    d3d::IDirect3DDevice8* d = services.device ? services.device->Device() : nullptr;
    if (!d)
        return;
    d->ShowCursor(services.cursorReady);
    if (services.cursorReady)
        d->SetCursorPosition(x, y, d3d::D3DCURSOR_IMMEDIATE_UPDATE);
}

void CGame::RestoreGamma()
{
    if (services.renderer)
        services.renderer->RestoreGammaRamp();
}
