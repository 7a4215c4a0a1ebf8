// The program's start-up, window events, main loop and shut-down. Start-up
// is a row of named steps, each of which may end the program with its exit
// code; the loop takes the window's events and runs a frame whenever none
// waits.
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
#include <optional>

CountedHandle<CGame> GameHandle;

namespace {

const char kBuiltInTitle[] = "The Galvorine of Pellisand";
const char kMutexName[] = "GalvorineCopyCheckMutex32545";

// Exit codes.
constexpr int kNormalEnd = 0;
constexpr int kNoVideo = 100;
constexpr int kNoDevice = 3;
constexpr int kLoadFailed = 4;

std::unique_ptr<plat::Window> g_window;
DisplaySettings g_settings;
bool g_running = false;
uint32_t g_lastTick = 0;
uint32_t g_fpsWindowStart = 0;
int g_framesInWindow = 0;
double g_frameStepMs = 0.0; // a fixed step per frame, for the walks
bool g_audioPaused = false;
int g_minimisedPasses = 0;

// What the game makes of an input: a quit closes the window.
void Act(InputResult result)
{
    if (result == InputResult::Quit)
        g_window->Close();
}

// The window's events. Until the game exists (start-up boxes) the window
// handles them itself.
bool HandleEvent(const plat::WindowEvent& event)
{
    using Kind = plat::WindowEvent::Kind;
    CGame* game = GameHandle.Get();
    if (event.kind == Kind::Destroyed) {
        if (game)
            game->SaveQuestOnExit();
        g_window->Quit(kNormalEnd);
        return true;
    }
    if (!game)
        return false;
    switch (event.kind) {
    case Kind::PointerOver: {
        // The game draws its own cursor where the system's would be.
        g_window->ShowSystemCursor(false);
        int x = 0, y = 0;
        g_window->GetCursorPos(&x, &y);
        game->ShowCursorAt(x, y);
        return true;
    }
    case Kind::KeyDown:
        if (event.key == plat::VK_F5)
            game->ToggleFpsText();
        else
            Act(game->OnKeyDown(event.key));
        return true;
    case Kind::KeyUp:
        game->OnKeyUp(event.key);
        return true;
    case Kind::Character:
        game->OnCharacter(event.key);
        return true;
    case Kind::ButtonDown:
        Act(game->OnPress(event.button, event.x, event.y));
        return true;
    case Kind::ButtonUp:
        Act(game->OnRelease(event.button, event.x, event.y));
        return true;
    default:
        return false;
    }
}

// A minimised window draws only in full screen and keeps the audio paused.
void AdvanceFrame(double elapsedMs)
{
    CGame& game = *GameHandle;
    const bool minimised = g_window->IsIconic();
    if (minimised != g_audioPaused) {
        g_audioPaused = minimised;
        game.PauseAudio(minimised);
    }
    if (!minimised)
        game.Frame(static_cast<float>(elapsedMs / 1000.0), 1, 0);
    else
        game.Frame(0.0f, game.IsFullScreen() ? 1 : 0, 1);
}

// Frames per second over windows of at least a quarter second.
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
    AdvanceFrame(g_frameStepMs > 0.0 ? g_frameStepMs : static_cast<double>(elapsed));
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

// ---- Start-up's steps; each gives the exit code that ends the program, or
// nothing to go on ----

// What start-up has made, released in the reverse order.
struct Made {
    plat::InstanceLock instanceLock;
    std::unique_ptr<d3d::IDirect3D8> direct3d;
    CountedHandle<CSceneRenderer> renderer;
};

// One copy at a time: a second one ends at once.
std::optional<int> TakeTheInstanceLock(Made& made)
{
    // The data lies beside the executable, wherever it was started from.
    plat::EnterExecutableFolder();
    if (!made.instanceLock.Acquire(kMutexName))
        return kNormalEnd;
    // A player's game differs from run to run; a test's may be fixed.
    const std::optional<uint32_t> fixedSeed = plat::FixedSeed();
    plat::SeedRandom(fixedSeed.value_or(plat::TimeGetTime()));
    if (fixedSeed)
        plat::SeedGuids(*fixedSeed);
    return std::nullopt;
}

// The display went away: the quest is kept as a close keeps it, and the
// log ends as the process does, right after.
bool g_logStarted = false;
void KeepOnDisplayLoss()
{
    if (CGame* game = GameHandle.Get())
        game->SaveQuestOnExit();
    if (g_logStarted)
        WriteLog("End of log\n");
}

std::optional<int> StartVideo(Made&)
{
    plat::SetDisplayLossEnd(KeepOnDisplayLoss, kNormalEnd);
    std::string why;
    plat::VideoFault fault = plat::VideoFault::NoDisplay;
    if (!plat::InitVideo(&why, &fault)) {
        ShowRuntimeMissing(fault, why);
        return kNoVideo;
    }
    return std::nullopt;
}

std::optional<int> OpenTheWindow(Made&)
{
    SetDisplaySettings(g_settings);
    g_window = std::make_unique<plat::Window>(WindowTitle(), 640, 480, HandleEvent);
    g_window->SetClientSize(640, 480);
    SetUpFolders();
    ReadDisplaySettings();
    GetDisplaySettings(&g_settings);
    return std::nullopt;
}

std::optional<int> StartTheLog(Made&)
{
    SetLogName("Objects.log");
    ClearLog();
    WriteLog("Begin log\n");
    g_logStarted = true;
    WriteLog("Ver.1.09");
    WriteLog("\n");
    // The lock is ours: no other copy writes to the user folder now.
    if (HasUserDataFolders())
        TidyUserFolder(GetUserDataFolder());
    return std::nullopt;
}

std::optional<int> CreateDirect3D(Made& made)
{
    WriteLog("Creating Direct3D object...");
    made.direct3d = d3d::CreateDirect3D();
    if (!made.direct3d || !g_window->IsValid()) {
        Box("Unable to create Direct3D object!", plat::MB_ICONSTOP);
        return kNoDevice;
    }
    return std::nullopt;
}

std::optional<int> CreateRenderer(Made& made)
{
    // The log keeps the line of the Direct3D object and this one as one.
    WriteLog("Ok\nCreating Renderer...");
    made.renderer = MakeCountedHandle(new CSceneRenderer());
    const d3d::HRESULT hr =
        made.renderer->CreateDevice(&g_settings, made.direct3d.get(), g_window.get(), d3d::D3DFMT_D16);
    if (d3d::Failed(hr)) {
        Box(hr == d3d::D3DERR_NOTAVAILABLE ? "Sorry!\nThis computer does not meet minimum requirements.\nOr maybe "
                                             "hardware acceleration drivers were not installed."
                                           : "Unable to create Direct3D device!",
            plat::MB_ICONSTOP);
        return kNoDevice;
    }
    WriteLog("Ok\n");
    SetDisplaySettings(g_settings);
    WriteDisplaySettings();
    return std::nullopt;
}

// The game takes the renderer over and loads everything behind its
// loading picture.
std::optional<int> CreateTheGame(Made& made)
{
    WriteLog("Creating game...");
    GameHandle = MakeCountedHandle(new CGame(made.renderer));
    GameHandle->SetDisplay(g_settings.fullScreen, g_settings.hardwareLevel);
    made.renderer.Reset();
    WriteLog("Ok\n");
    WriteLog("Init stuf...");
    if (!GameHandle->Init(g_window.get(), nullptr)) {
        const std::string& error = GameHandle->LastError();
        Box(error.empty() ? "Unknown Error!" : error, plat::MB_ICONSTOP);
        return kLoadFailed;
    }
    WriteLog("Ok\n");
    return std::nullopt;
}

using StartStep = std::optional<int> (*)(Made&);
constexpr StartStep kStartUp[] = {
    TakeTheInstanceLock, StartVideo, OpenTheWindow, StartTheLog, CreateDirect3D, CreateRenderer, CreateTheGame,
};

// Events first, a frame whenever none waits. After 100 passes of a
// minimised window the loop sleeps until the next event.
int RunTheLoop()
{
    const unsigned period = plat::TimerMinPeriod();
    plat::TimeBeginPeriod(period);
    g_lastTick = g_fpsWindowStart = plat::TimeGetTime();
    g_frameStepMs = plat::FixedFrameStepMs();
    g_running = true;
    int exitCode = kNormalEnd;
    while (!g_window->Quitting(&exitCode)) {
        if (g_window->IsIconic()) {
            ++g_minimisedPasses;
            if (g_minimisedPasses > 100) {
                g_minimisedPasses = 101;
                WriteLogNumber(static_cast<int>(plat::TimeGetTime()));
                WriteLog("Minimized\n");
                g_window->WaitAndDispatch();
                continue;
            }
        } else {
            g_minimisedPasses = 0;
        }
        if (!g_window->DispatchNext())
            FrameTick();
    }
    plat::TimeEndPeriod(period);
    g_running = false;
    return exitCode;
}

// What start-up made goes in the reverse order: the game (after the gamma
// it changed is put back), the Direct3D object, the window and the video.
void ShutDown(Made& made)
{
    if (GameHandle) {
        WriteLog("Destroying stuf...\n");
        GameHandle->RestoreGamma();
        WriteLog("Stuf destroyed\n");
        WriteLog("Deletting Game Object...\n");
        GameHandle.Reset();
        WriteLog("Game object deleted\n");
    }
    made.renderer.Reset();
    made.direct3d.reset();
    g_window.reset();
}

void OpenTheHomepage()
{
    if (FILE* shortcut = plat::OpenFile("Homepage.url", "rb")) {
        std::fclose(shortcut);
        plat::ShellOpen("Homepage.url");
    }
}

} // namespace

int RunGame()
{
    Made made;
    for (const StartStep step : kStartUp) {
        if (const std::optional<int> exitCode = step(made)) {
            const bool videoStarted = step != TakeTheInstanceLock && step != StartVideo;
            GameHandle.Reset();
            ShutDown(made);
            if (videoStarted)
                plat::ShutdownVideo();
            return *exitCode;
        }
    }
    const int exitCode = RunTheLoop();
    ShutDown(made);
    plat::ShutdownVideo();
    WriteLog("End of log\n");
    OpenTheHomepage();
    return exitCode;
}
