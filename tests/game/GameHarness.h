// The real game object on the recording null device, for the game's tests,
// its scripted quest and its benchmark: started from the installed data
// (the working folder) with a user and a shared folder of its own, silent
// (no sound device, so no first-run conversion of the sounds), and a
// cursor placed through the platform's seam. The client area is 1024 x 768,
// so a virtual point (x, y) is the client pixel (x + 512, 384 - y).
// The game draws on the shared generator and the GUIDs as the test left
// them: the test main starts every test on fixed seeds, and a test that
// wants another game seeds them before it makes the harness. The board's
// stream is seeded from the shared generator as the game loads.
#pragma once

#include "TestSupport.h"
#include "engine/Log.h"
#include "engine/SceneRenderer.h"
#include "engine/Settings.h"
#include "engine/StringTable.h"
#include "game/Game.h"
#include "platform/Files.h"
#include "platform/NullDirect3D.h"
#include "platform/Window.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GameHarness {
public:
    static constexpr float kFrame = 1.0f / 60.0f;

    // `prepare` may put files into the user folder before the game starts.
    // The game keeps its files in a scratch folder of its own, or in `root`
    // when given (a later game of the same player).
    explicit GameHarness(const std::function<void(const std::string& userFolder)>& prepare = {},
                         std::vector<d3d::NullAdapter> adapters = d3d::NullDirect3D::StandardAdapters(),
                         const std::string& root = "")
        : d3d(std::move(adapters))
    {
        // The game's tests read the device's counters, never its calls.
        d3d.log.listCalls = false;
        if (root.empty())
            m_scratch = std::make_unique<testing_support::ScratchDir>();
        m_root = root.empty() ? m_scratch->Path() : root;
        SetDataFoldersForTests(m_root, m_root);
        for (const char* sub : {"Players", "Data", "Data\\GameData", "Data\\Config"})
            plat::CreateDirectory(m_root + sub);
        SetLogName("Objects.log");
        ClearLog();
        if (prepare)
            prepare(m_root);
        settings.colorMode = -1;
        settings.width = 1024;
        settings.height = 768;
        renderer = MakeCountedHandle(new CSceneRenderer());
        deviceMade = renderer->CreateDevice(&settings, &d3d, nullptr, d3d::D3DFMT_D16) == d3d::D3D_OK;
        game = MakeCountedHandle(new CGame(renderer));
        PointAt(-600.0f, -600.0f);
        started = deviceMade && game->Init(nullptr, nullptr) == 1;
    }
    ~GameHarness()
    {
        EndGame();
        plat::SetCursorPollForTests(nullptr);
        ClearStrings();
        testing_support::ResetDataFolders();
    }
    // The program ends: the window goes (the quest is saved) and the game
    // object with it; the player's files stay.
    void EndGame()
    {
        if (game)
            game->SaveQuestOnExit();
        game.Reset();
        renderer.Reset();
    }
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    CGame& operator*() { return *game; }
    CGame* operator->() { return game.Get(); }
    std::string UserFolder() const { return m_root; }
    std::string PlayerFolder(const std::string& name) const { return m_root + "Players\\" + name + "\\"; }
    std::string Log() const { return testing_support::ReadText(m_root + "Objects.log"); }

    void Frames(int n, float dt = kFrame)
    {
        for (int i = 0; i < n; ++i)
            game->Frame(dt, 1, 0);
    }
    void Seconds(float s) { Frames(static_cast<int>(std::ceil(s / kFrame))); }
    // Frames until `done` holds, at most `limit` seconds; whether it held.
    bool RunUntil(const std::function<bool()>& done, float limit)
    {
        for (float t = 0.0f; t < limit; t += kFrame) {
            if (done())
                return true;
            game->Frame(kFrame, 1, 0);
        }
        return done();
    }

    void PointAt(float x, float y)
    {
        poll.x = static_cast<int>(std::lround(x + 512.0f));
        poll.y = static_cast<int>(std::lround(384.0f - y));
        poll.width = 1024;
        poll.height = 768;
        plat::SetCursorPollForTests(&poll);
    }
    // A press at a virtual point, made where the cursor stands.
    InputResult Press(float x, float y)
    {
        PointAt(x, y);
        return game->OnPress(plat::MouseButton::Left, poll.x, poll.y);
    }
    InputResult Release(float x, float y)
    {
        PointAt(x, y);
        return game->OnRelease(plat::MouseButton::Left, poll.x, poll.y);
    }
    InputResult Click(float x, float y)
    {
        Press(x, y);
        return Release(x, y);
    }
    InputResult Click(const CQoWindow& control) { return Click(control.Position().x, control.Position().y); }
    InputResult Key(int key) { return game->OnKeyDown(key); }
    void Type(const std::string& text)
    {
        for (const char c : text)
            game->OnCharacter(static_cast<unsigned char>(c));
    }
    static bool Shown(const CountedHandle<CQoForm>& form) { return form->IsVisible() && form->active; }
    // The centre of a board cell on the virtual screen.
    Vec2 Cell(int column, int row) const { return game->services.board->CellToPoint(column, row, true); }

    // No sound device: no first-run conversion of the sounds.
    testing_support::ScopedEnv silent{"SDL_AUDIODRIVER", "galvorine-none"};
    std::unique_ptr<testing_support::ScratchDir> m_scratch;
    std::string m_root;
    d3d::NullDirect3D d3d;
    DisplaySettings settings;
    CountedHandle<CSceneRenderer> renderer;
    CountedHandle<CGame> game;
    plat::CursorPoll poll;
    bool deviceMade = false;
    bool started = false;
};
