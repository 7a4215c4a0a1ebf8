// The real game object on the recording null device: started from the
// installed data with a user and a shared folder of the test's own, silent
// (no sound device, so no first-run conversion), frames of 1/60 s, and a
// cursor the test puts where it wants through the platform's seam. The
// client area is 1024 x 768, so a virtual point (x, y) is the client pixel
// (x + 512, 384 - y).
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

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

class GameRig {
public:
    static constexpr float kFrame = 1.0f / 60.0f;

    // `prepare` may put files into the user folder before the game starts.
    explicit GameRig(const std::function<void(const std::string& userFolder)>& prepare = {},
                     std::vector<d3d::NullAdapter> adapters = d3d::NullDirect3D::StandardAdapters())
        : d3d(std::move(adapters))
    {
        SetDataFoldersForTests(folder.Path(), folder.Path());
        plat::CreateDirectory(folder.Path() + "Players");
        plat::CreateDirectory(folder.Path() + "Data");
        plat::CreateDirectory(folder.Path() + "Data\\GameData");
        plat::CreateDirectory(folder.Path() + "Data\\Config");
        SetLogName("Objects.log");
        ClearLog();
        if (prepare)
            prepare(folder.Path());
        settings.colorMode = -1;
        settings.width = 1024;
        settings.height = 768;
        renderer = MakeCountedHandle(new CSceneRenderer());
        EXPECT_EQ(renderer->CreateDevice(&settings, &d3d, nullptr, d3d::D3DFMT_D16), d3d::D3D_OK);
        game = MakeCountedHandle(new CGame(renderer));
        PointAt(-600.0f, -600.0f);
        started = game->Init(nullptr, nullptr) == 1;
        EXPECT_TRUE(started) << (game->errors.empty() ? "" : game->errors.back());
    }
    ~GameRig()
    {
        game.Reset();
        renderer.Reset();
        plat::SetCursorPollForTests(nullptr);
        ClearStrings();
        testing_support::ResetDataFolders();
    }
    GameRig(const GameRig&) = delete;
    GameRig& operator=(const GameRig&) = delete;

    CGame& operator*() { return *game; }
    CGame* operator->() { return game.Get(); }
    std::string UserFolder() const { return folder.Path(); }
    std::string PlayerFolder(const std::string& name) const { return folder.Path() + "Players\\" + name + "\\"; }
    std::string Log() const { return testing_support::ReadText(folder.File("Objects.log")); }

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
    int Press(float x, float y)
    {
        PointAt(x, y);
        return game->OnLButtonDown(0, 0, 0);
    }
    int Release(float x, float y)
    {
        PointAt(x, y);
        return game->OnLButtonUp(0, 0, 0);
    }
    int Click(float x, float y)
    {
        Press(x, y);
        return Release(x, y);
    }
    int Click(const CQoWindow& control) { return Click(control.Position().x, control.Position().y); }
    // The control of a form by its element id.
    // The visible one, when several controls share the id.
    static const CQoWindow& Control(const CountedHandle<CQoForm>& form, int32_t id)
    {
        for (size_t i = 0; i < form->ChildCount(); ++i)
            if (form->Child(i)->id == id && form->Child(i)->IsVisible())
                return *form->Child(i);
        CountedHandle<CQoWindow> w = form->FindChild(id);
        EXPECT_TRUE(w) << "no control with id " << id;
        return *w;
    }
    int ClickId(const CountedHandle<CQoForm>& form, int32_t id) { return Click(Control(form, id)); }
    void Key(int key) { game->OnKeyDown(key); }
    void Type(const std::string& text)
    {
        for (const char c : text)
            game->OnChar(static_cast<unsigned char>(c));
    }

    static bool Shown(const CountedHandle<CQoForm>& form) { return form->IsVisible() && form->active; }
    // A form shown at once, its fade run to its end.
    void ShowNow(const CountedHandle<CQoForm>& form)
    {
        game->screens->ShowForm(form, 1000.0f);
        Frames(1);
    }
    // A message box up with a command, as the game puts it up.
    void AskNow(int command, int group)
    {
        game->screens->SetMessageBox("?", "", group, command);
        ShowNow(game->screens->msgBox.form);
    }
    // The centre of a board cell on the virtual screen.
    Vec2 Cell(int column, int row) const { return game->board->CellToPoint(column, row, true); }
    CGameScreens& Screens() { return *game->screens; }

    // From the splash through the name entry to the main menu.
    bool NewPlayer(const std::string& name)
    {
        if (!RunUntil([&] { return Shown(Screens().newProfile.form); }, 30.0f))
            return false;
        Type(std::string(12, '\b') + name);
        Key(13);
        return RunUntil([&] { return Shown(Screens().mainMenu.form); }, 5.0f);
    }
    // The main menu's quest (no save yet) through the intro to play on the
    // first level's full board.
    bool PlayFirstLevel()
    {
        ClickId(Screens().mainMenu.form, 1);
        if (!RunUntil([&] { return game->mode == kModeLevelIntro && game->subState == -7; }, 10.0f))
            return false;
        Key(32);
        return RunUntil(
            [&] { return game->mode == kModePlaying && game->phase == kPhasePlay && game->board->IsIdle(true); },
            30.0f);
    }

    // No sound device: no first-run conversion of the sounds.
    testing_support::ScopedEnv silent{"SDL_AUDIODRIVER", "galvorine-none"};
    testing_support::ScratchDir folder;
    d3d::NullDirect3D d3d;
    DisplaySettings settings;
    CountedHandle<CSceneRenderer> renderer;
    CountedHandle<CGame> game;
    plat::CursorPoll poll;
    bool started = false;
};
