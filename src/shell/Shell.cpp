#include "shell/Shell.h"

#include "engine/Log.h"
#include "engine/SceneRenderer.h"
#include "engine/Settings.h"
#include "game/Game.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "records/UserFolder.h"

#include <cstdio>
#include <cstring>
#include <memory>

CountedHandle<CGame> GameHandle;

namespace {

const char kBuiltInTitle[] = "The Galvorine of Pellisand";
const char kMutexName[] = "GalvorineCopyCheckMutex32545";

std::unique_ptr<plat::Window> g_window;
DisplaySettings g_settings;
int g_running = 0;
uint32_t g_lastTick = 0;
uint32_t g_fpsWindowStart = 0;
int g_framesInWindow = 0;
int g_musicPaused = 0;
int g_minimisedPasses = 0;

void PostClose() { g_window->PostMessage(plat::WM_CLOSE); }

void OnKeyDown(int key)
{
    CGame& game = *GameHandle;
    if (game.OnKeyDown(key) == 1) {
        PostClose();
        return;
    }
    if (key == plat::VK_F5) {
        game.fpsShown = !game.fpsShown;
        if (game.fpsText)
            game.fpsText->visible = game.fpsShown;
    }
}

intptr_t MainWndProc(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    using namespace plat;
    const int x = LowWord(lParam);
    const int y = HighWord(lParam);
    // Until the game exists (start-up boxes), everything takes the default road.
    CGame* game = GameHandle.Get();
    switch (message) {
    case WM_DESTROY:
        if (game)
            game->SaveQuestOnExit();
        g_window->PostQuitMessage(0);
        return 0;
    case WM_SETCURSOR:
        if (!game)
            break;
        g_window->ShowSystemCursor(false);
        if (d3d::IDirect3DDevice8* device = game->device ? game->device->Device() : nullptr) {
            if (game->cursorReady) {
                device->ShowCursor(true);
                int cx = 0, cy = 0;
                g_window->GetCursorPos(&cx, &cy);
                device->SetCursorPosition(cx, cy, d3d::D3DCURSOR_IMMEDIATE_UPDATE);
            } else {
                device->ShowCursor(false);
            }
        }
        return 1;
    case WM_NCHITTEST:
        if (game && game->fullScreen)
            return HTCLIENT;
        break;
    case WM_KEYDOWN:
        if (!game)
            break;
        OnKeyDown(static_cast<int>(wParam));
        return 0;
    case WM_KEYUP:
        if (!game)
            break;
        game->OnKeyUp(static_cast<int>(wParam));
        return 0;
    case WM_CHAR:
        if (game)
            game->OnChar(static_cast<int>(wParam));
        break;
    case WM_SYSCOMMAND:
        if (game && game->fullScreen &&
            (wParam == 0xF000 || wParam == 0xF010 || wParam == 0xF030 || wParam == 0xF100 || wParam == 0xF170))
            return 1;
        break;
    case WM_LBUTTONDOWN:
        if (!game)
            break;
        if (const int r = game->OnLButtonDown(x, y, wParam); r == 1 || r == 2)
            PostClose();
        return 0;
    case WM_LBUTTONUP:
        if (!game)
            break;
        if (const int r = game->OnLButtonUp(x, y, wParam); r == 1 || r == 2)
            PostClose();
        return 0;
    case WM_RBUTTONDOWN:
        if (!game)
            break;
        if (game->OnRButtonDown(x, y, wParam) == 1)
            PostClose();
        return 0;
    case WM_RBUTTONUP:
        if (!game)
            break;
        if (game->OnRButtonUp(x, y, wParam) == 1)
            PostClose();
        return 0;
    default:
        break;
    }
    return g_window->DefWindowProc(message, wParam, lParam);
}

void AdvanceFrame(uint32_t elapsed)
{
    CGame& game = *GameHandle;
    if (!g_window->IsIconic()) {
        if (g_musicPaused) {
            g_musicPaused = 0;
            if (game.music)
                game.music->Resume();
        }
        game.Frame(static_cast<float>(elapsed / 1000.0), 1, 0);
    } else {
        if (!g_musicPaused) {
            g_musicPaused = 1;
            if (game.music)
                game.music->Pause();
        }
        game.Frame(0.0f, game.fullScreen ? 1 : 0, 1);
    }
}

void FrameTick()
{
    if (!g_running)
        return;
    const uint32_t now = plat::TimeGetTime();
    ++g_framesInWindow;
    const int32_t windowTime = static_cast<int32_t>(now - g_fpsWindowStart);
    const uint32_t elapsed = now - g_lastTick;
    g_lastTick = now;
    if (windowTime >= 250) {
        const float fps = static_cast<float>(g_framesInWindow * 1000.0 / windowTime);
        GameHandle->SetFps(fps);
        g_framesInWindow = 0;
        g_fpsWindowStart = now;
    }
    AdvanceFrame(elapsed);
}

std::string WindowTitle()
{
    FILE* file = plat::OpenFile("appname.txt", "r");
    if (!file)
        return kBuiltInTitle;
    char line[255] = {};
    std::string title = std::fgets(line, sizeof line, file) ? line : "";
    std::fclose(file);
    // Window titles are one line: the line end the file keeps cannot be shown.
    while (!title.empty() && (title.back() == '\n' || title.back() == '\r'))
        title.pop_back();
    return title;
}

void Box(const std::string& text, unsigned flags) { plat::MessageBox(text, "Error!", flags); }

// What the game cannot run without, and where a player gets it. A player
// simply outside a desktop session needs to hear that first; a package is
// advised only for what a package brings.
void ShowRuntimeMissing(plat::VideoFault fault, const std::string& why)
{
    const std::string title = kBuiltInTitle;
    std::string text;
    switch (fault) {
    case plat::VideoFault::NoDisplay:
        text = "No display found!\nYou need a graphical desktop session (DISPLAY or WAYLAND_DISPLAY) to play " +
               title + ".\nStart the game from your desktop.";
        break;
    case plat::VideoFault::NoSdlVideo:
        text = "SDL video was not detected!\nYou need SDL with a desktop video driver to play " + title +
               "!\nYou can install it from your distribution: \"apt-get install libsdl2-2.0-0\".";
        break;
    case plat::VideoFault::NoOpenGL:
        text = "OpenGL was not detected!\nYou need an OpenGL driver to play " + title +
               "!\nYou can install it from your distribution: \"apt-get install libgl1 libgl1-mesa-dri\".";
        break;
    }
    plat::MessageBox(text + "\n(" + why + ")", kBuiltInTitle, plat::MB_ICONEXCLAMATION);
}

} // namespace

int RunGame()
{
    // The data lies beside the executable, wherever it was started from.
    plat::EnterExecutableFolder();

    plat::InstanceLock instanceLock;
    if (!instanceLock.Acquire(kMutexName))
        return 0;

    plat::SeedRandom(plat::TimeGetTime());

    std::string why;
    plat::VideoFault fault = plat::VideoFault::NoDisplay;
    if (!plat::InitVideo(&why, &fault)) {
        ShowRuntimeMissing(fault, why);
        return 100;
    }
    SetDisplaySettings(g_settings);

    g_window = std::make_unique<plat::Window>(WindowTitle(), 640, 480, MainWndProc);
    g_window->SetClientSize(640, 480);

    SetUpFolders();
    ReadDisplaySettings();
    GetDisplaySettings(&g_settings);

    SetLogName("Objects.log");
    ClearLog();
    WriteLog("Begin log\n");
    WriteLog("Ver.1.09");
    WriteLog("\n");
    // The lock is ours: no other copy writes to the user folder now.
    if (HasUserDataFolders())
        TidyUserFolder(GetUserDataFolder());
    WriteLog("Creating Direct3D object...");

    std::unique_ptr<d3d::IDirect3D8> direct3d = d3d::CreateDirect3D();
    if (!direct3d || !g_window->IsValid()) {
        Box("Unable to create Direct3D object!", plat::MB_ICONSTOP);
        g_window.reset();
        plat::ShutdownVideo();
        return 3;
    }

    WriteLog("Ok\nCreating Renderer...");
    CountedHandle<CSceneRenderer> renderer = MakeCountedHandle(new CSceneRenderer());
    const d3d::HRESULT hr = renderer->CreateDevice(&g_settings, direct3d.get(), g_window.get(), d3d::D3DFMT_D16);
    if (d3d::Failed(hr)) {
        Box(hr == d3d::D3DERR_NOTAVAILABLE ? "Sorry!\nThis computer does not meet minimum requirements.\nOr maybe "
                                             "hardware acceleration drivers were not installed."
                                           : "Unable to create Direct3D device!",
            plat::MB_ICONSTOP);
        renderer.Reset();
        direct3d.reset();
        g_window.reset();
        plat::ShutdownVideo();
        return 3;
    }

    WriteLog("Ok\n");
    SetDisplaySettings(g_settings);
    WriteDisplaySettings();

    WriteLog("Creating game...");
    GameHandle = MakeCountedHandle(new CGame(renderer));
    GameHandle->fullScreen = g_settings.fullScreen;
    renderer.Reset();
    WriteLog("Ok\n");
    WriteLog("Init stuf...");
    GameHandle->hardwareLevel = g_settings.hardwareLevel;

    if (!GameHandle->Init(g_window.get(), nullptr)) {
        const std::string text = GameHandle->errors.empty() ? "Unknown Error!" : GameHandle->errors.back();
        Box(text, plat::MB_ICONSTOP);
        GameHandle.Reset();
        direct3d.reset();
        g_window.reset();
        plat::ShutdownVideo();
        return 4;
    }

    WriteLog("Ok\n");
    const unsigned period = plat::TimerMinPeriod();
    plat::TimeBeginPeriod(period);
    g_lastTick = g_fpsWindowStart = plat::TimeGetTime();
    g_running = 1;

    plat::Message message;
    g_window->PeekMessage(&message, false);
    while (message.message != plat::WM_QUIT) {
        if (g_window->IsIconic()) {
            ++g_minimisedPasses;
            if (g_minimisedPasses > 100) {
                g_minimisedPasses = 101;
                WriteLogNumber(static_cast<int>(plat::TimeGetTime()));
                WriteLog("Minimized\n");
                if (g_window->GetMessage(&message))
                    g_window->DispatchMessage(message);
                continue;
            }
        } else {
            g_minimisedPasses = 0;
        }
        if (g_window->PeekMessage(&message, true))
            g_window->DispatchMessage(message);
        else
            FrameTick();
    }

    plat::TimeEndPeriod(period);
    g_running = 0;
    WriteLog("Destroying stuf...\n");
    if (GameHandle && GameHandle->renderer)
        GameHandle->renderer->RestoreGammaRamp();
    WriteLog("Stuf destroyed\n");
    WriteLog("Deletting Game Object...\n");
    GameHandle.Reset();
    WriteLog("Game object deleted\n");
    direct3d.reset();
    g_window.reset();
    plat::ShutdownVideo();
    WriteLog("End of log\n");

    if (FILE* shortcut = plat::OpenFile("Homepage.url", "rb")) {
        std::fclose(shortcut);
        plat::ShellOpen("Homepage.url");
    }
    return static_cast<int>(message.wParam);
}
