// The real game in a window of the offscreen driver on the OpenGL device,
// from the installed data, for the frame benchmark and the test that holds
// it to the game's picture: made as the shell makes it, or unpaced as the
// benchmark runs it, and taken to the main menu and to level 3 by the
// player's own path. The client area is the window's size; the cursor is
// placed through the platform's seam on the 1024 x 768 virtual screen.
#pragma once

#include "ReferencePlay.h"
#include "TestSupport.h"

#include "engine/Log.h"
#include "engine/SceneRenderer.h"
#include "engine/StringTable.h"
#include "game/Game.h"
#include "platform/D3DX.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gl_game {

constexpr float kFrame = 1.0f / 60.0f;

inline bool Proc(const plat::WindowEvent&) { return false; }

struct Size {
    int width = 640;
    int height = 480;
};

// A player called Bench who has seen the tutorial, in a user folder of its
// own.
inline void MakeBenchPlayer(const std::string& user)
{
    for (const char* sub : {"Players", "Data", "Data\\GameData", "Data\\Config"})
        plat::CreateDirectory(user + sub);
    plat::CreateDirectory(user + "Players\\Bench");
    testing_support::WriteText(user + "Players/Bench/Settings.ini", "[Main]\nQuestTutorial=0\n");
}

// Where a drawing test writes its frame `name`: the PNG named by
// GALVORINE_DRAWING_PNG with "-<name>" before its extension, or nothing.
inline std::string DrawingPng(const std::string& name)
{
    const char* path = std::getenv("GALVORINE_DRAWING_PNG");
    if (!path)
        return "";
    std::string file = path;
    const size_t dot = file.rfind('.');
    file.insert(dot == std::string::npos ? file.size() : dot, "-" + name);
    return file;
}

// Whether a window with OpenGL can be made here, the video let go again.
inline bool VideoAvailable(std::string* why)
{
    if (!plat::InitVideo(why))
        return false;
    plat::ShutdownVideo();
    return true;
}

// How the device presents: on the refresh as the shell's game does, or as
// fast as frames are drawn, for the benchmark.
enum class Presenting { AsTheGame, Unpaced };

class GlGame {
public:
    GlGame(Size size, const std::string& userFolder, Presenting presenting)
    {
        SetDataFoldersForTests(userFolder, userFolder);
        SetLogName(userFolder + "Objects.log");
        ClearLog();
        std::string why;
        if (!plat::InitVideo(&why)) {
            std::fprintf(stderr, "no video: %s\n", why.c_str());
            return;
        }
        m_videoStarted = true;
        m_window = std::make_unique<plat::Window>("galvorine", size.width, size.height, Proc);
        m_direct3d = d3d::CreateDirect3D();
        if (!m_direct3d)
            return;
        DisplaySettings settings;
        settings.width = size.width;
        settings.height = size.height;
        renderer = MakeCountedHandle(new CSceneRenderer());
        if (d3d::Failed(renderer->CreateDevice(&settings, m_direct3d.get(), m_window.get(), d3d::D3DFMT_D16)))
            return;
        if (presenting == Presenting::Unpaced)
            Unpace();
        game = MakeCountedHandle(new CGame(renderer));
        PointAt(-600.0f, -600.0f);
        started = game->Init(m_window.get(), nullptr) == 1;
    }
    ~GlGame()
    {
        if (game)
            game->SaveQuestOnExit();
        game.Reset();
        renderer.Reset();
        m_direct3d.reset();
        m_window.reset();
        plat::SetCursorPollForTests(nullptr);
        ClearStrings();
        if (m_videoStarted)
            plat::ShutdownVideo();
    }
    GlGame(const GlGame&) = delete;
    GlGame& operator=(const GlGame&) = delete;

    CGame* operator->() { return game.Get(); }
    d3d::IDirect3DDevice8* Device() { return renderer->device->Device(); }

    // One frame, drawn to its end as a paced game's is before the next:
    // under a window system the swap waits for the rasteriser, the offscreen
    // driver's does not, and unfinished frames would pile up in its queue.
    void Frame()
    {
        game->Frame(kFrame, 1, 0);
        d3d::FinishDrawing(Device());
    }
    bool RunUntil(const std::function<bool()>& done, float limit)
    {
        for (float t = 0.0f; t < limit; t += kFrame) {
            if (done())
                return true;
            Frame();
        }
        return done();
    }
    void PointAt(float x, float y)
    {
        m_poll.x = static_cast<int>(std::lround(x + 512.0f));
        m_poll.y = static_cast<int>(std::lround(384.0f - y));
        m_poll.width = 1024;
        m_poll.height = 768;
        plat::SetCursorPollForTests(&m_poll);
    }
    void Click(float x, float y)
    {
        PointAt(x, y);
        game->OnPress(plat::MouseButton::Left, m_poll.x, m_poll.y);
        game->OnRelease(plat::MouseButton::Left, m_poll.x, m_poll.y);
    }
    void ClickId(const CountedHandle<CQoForm>& form, Command command)
    {
        if (const CountedHandle<CQoWindow> control = form->FindChild(IdOf(command)))
            Click(control->Position().x, control->Position().y);
    }
    static bool Shown(const CountedHandle<CQoForm>& form) { return form->IsVisible() && form->active; }

    // The last frame drawn, as the window shows it (the offscreen driver
    // keeps it after the swap); written to `png` when one is named.
    bool Grab(std::vector<uint32_t>* pixels, int* width, int* height, const std::string& png = "")
    {
        if (!d3d::ReadBackPixels(Device(), width, height, pixels))
            return false;
        return png.empty() ||
               d3d::WritePngFile(png, static_cast<uint32_t>(*width), static_cast<uint32_t>(*height), *pixels);
    }

    CountedHandle<CSceneRenderer> renderer;
    CountedHandle<CGame> game;
    bool started = false;

private:
    // The window presents on the refresh; the benchmark measures what a
    // frame costs, so its frames come as fast as they are drawn. The reset
    // puts every device state back to its default, so the states the
    // renderer set are sent again from its caches, as the game's own reset
    // does.
    void Unpace()
    {
        CRenderDevice& device = *renderer->device;
        d3d::D3DPRESENT_PARAMETERS unpaced = device.presentParameters;
        unpaced.FullScreen_PresentationInterval = d3d::D3DPRESENT_INTERVAL_IMMEDIATE;
        device.Device()->Reset(&unpaced);
        device.ForgetBindings();
        device.ApplyStateCaches();
    }

    std::unique_ptr<plat::Window> m_window;
    std::unique_ptr<d3d::IDirect3D8> m_direct3d;
    plat::CursorPoll m_poll;
    bool m_videoStarted = false;
};

inline bool ToTheMenu(GlGame& game)
{
    return game.started &&
           game.RunUntil([&] { return GlGame::Shown(game->services.screens->mainMenu.form); }, 30.0f);
}

// "Play the Quest" from the main menu as a player clicks it, through the
// story's pages to the first level, then `level` started as the map starts
// it, on its stage's scene, its board at rest.
inline bool ToLevel(GlGame& game, int level)
{
    if (!ToTheMenu(game))
        return false;
    game.ClickId(game->services.screens->mainMenu.form, Command::PlayQuest);
    if (!game.RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 10.0f))
        return false;
    game->OnKeyDown(32);
    if (!game.RunUntil([&] { return game->flow.IsIn<CPlay>(); }, 10.0f))
        return false;
    game->flow.loader.StartLevel(level);
    game->services.SwitchBackgroundForStage(1, level);
    game->flow.Enter(game->flow.levelStart);
    return game.RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 10.0f);
}

using Player = ReferencePlay<GlGame>;

// The benchmark's play: a level with a gem goal out of reach, so that it
// never ends, the reference player at work for `seconds` before.
inline bool ToLevelInPlay(GlGame& game, int level, Player& player, float seconds)
{
    if (!ToLevel(game, level))
        return false;
    game->services.board->SetGemCounts(1000, game->services.board->GemsToPlace());
    for (int i = 0; i < static_cast<int>(seconds / kFrame); ++i) {
        player.Frame();
        game.Frame();
    }
    return true;
}

} // namespace gl_game
