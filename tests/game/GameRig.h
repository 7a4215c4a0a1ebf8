// The game's tests drive the real game object on the null device (see
// GameHarness.h) with the checks and the walks through the menus they share.
#pragma once

#include "GameHarness.h"

#include <gtest/gtest.h>

class GameRig : public GameHarness {
public:
    explicit GameRig(const std::function<void(const std::string& userFolder)>& prepare = {},
                     std::vector<d3d::NullAdapter> adapters = d3d::NullDirect3D::StandardAdapters(),
                     const std::string& root = "")
        : GameHarness(prepare, std::move(adapters), root)
    {
        EXPECT_TRUE(deviceMade);
        EXPECT_TRUE(started) << (game->services.errors.empty() ? "" : game->services.errors.back());
    }

    // The visible one, when several controls share the id.
    static const CQoWindow& Control(const CountedHandle<CQoForm>& form, Command command)
    {
        const int32_t id = IdOf(command);
        for (size_t i = 0; i < form->ChildCount(); ++i)
            if (form->Child(i)->id == id && form->Child(i)->IsVisible())
                return *form->Child(i);
        CountedHandle<CQoWindow> w = form->FindChild(id);
        EXPECT_TRUE(w) << "no control with id " << id;
        return *w;
    }
    InputResult ClickId(const CountedHandle<CQoForm>& form, Command command)
    {
        return Click(Control(form, command));
    }
    CGameScreens& Screens() { return *game->services.screens; }
    // A form shown at once, its fade run to its end.
    void ShowNow(const CountedHandle<CQoForm>& form)
    {
        game->services.screens->ShowForm(form, 1000.0f);
        Frames(1);
    }
    // A message box up with a question, as the game puts it up.
    void AskNow(Question question, int group)
    {
        game->services.screens->SetMessageBox("?", "", group, question);
        ShowNow(game->services.screens->msgBox.form);
    }

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
    // first level's full board; without the tutorial unless asked.
    bool PlayFirstLevel(bool tutorial = false)
    {
        ClickId(Screens().mainMenu.form, Command::PlayQuest);
        if (!RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 10.0f))
            return false;
        if (!tutorial)
            game->quest.profile->questTutorial = 0;
        Key(32);
        return RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 30.0f);
    }
};
