// The menu screens on the recording null device, loaded from the installed
// forms and pictures with the game's own fonts, and a log and a players
// folder of the test's own.
#pragma once

#include "engine/RenderTestSupport.h"

#include "TestSupport.h"
#include "balance/BalanceState.h"
#include "engine/BitmapFont.h"
#include "engine/DataPaths.h"
#include "engine/Log.h"
#include "engine/StringTable.h"
#include "platform/Files.h"
#include "records/Options.h"
#include "screens/GameScreens.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& out, const ScreenEvent& e)
{
    return out << "{" << static_cast<int>(e.kind) << ", " << IdOf(e.command) << (e.form ? ", form" : "") << "}";
}
// An event that carries no form.
inline ScreenEvent Ev(ScreenEvent::Kind kind, Command command)
{
    ScreenEvent e;
    e.kind = kind;
    e.command = command;
    return e;
}

// The log goes to a scratch folder, which is also the user folder: the
// players folder of the paths made afterwards lies in it too.
class LogCapture {
public:
    LogCapture()
    {
        SetDataFoldersForTests(m_dir.Path(), m_dir.Path());
        plat::CreateDirectory(m_dir.Path() + "Players");
        SetLogName("Objects.log");
        ClearLog();
    }
    ~LogCapture() { testing_support::ResetDataFolders(); }
    std::string Text() const { return testing_support::ReadText(m_dir.File("Objects.log")); }
    const testing_support::ScratchDir& Dir() const { return m_dir; }

private:
    testing_support::ScratchDir m_dir;
};

inline std::vector<CountedHandle<CBitmapFont>> LoadGameFonts(CRenderDevice& device)
{
    std::vector<CountedHandle<CBitmapFont>> fonts;
    for (const char* name : {"Font", "FontBold", "FontPopup", "FontTitle"}) {
        const std::string stem = std::string("Data\\Fonts\\") + name;
        auto texture = device.LoadTexture(stem + ".tga", name, 0, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
        auto font = MakeCountedHandle(new CBitmapFont(texture));
        EXPECT_EQ(ReadFontFile(font.Get(), stem + ".vfd"), 1) << name;
        fonts.push_back(font);
    }
    return fonts;
}

struct ScreensRig : NullRig {
    ScreensRig()
        : texts(MakeCountedHandle(new CTextBatch(device, vertices, indices))), fonts(LoadGameFonts(*device)),
          screens(MakeCountedHandle(new CGameScreens(nullptr, device, vertices, indices, texts, fonts)))
    {
        LoadStrings("Data\\Txt\\Strings.txt");
        layout.Load("Data\\Config\\Skin.cfg");
        // The game has the loading picture before the forms: the splash
        // starts from it.
        loading = device->LoadTexture("Data\\Gfx\\Loading.jpg", "Loading", 0, 0, d3d::D3DPOOL_MANAGED,
                                      d3d::D3DFMT_UNKNOWN);
    }
    ~ScreensRig() { ClearStrings(); }

    bool Load() { return screens->LoadForms(paths, layout, SplitLevelNumber); }

    // Shows a form at once: its fade-in runs to its end in one frame.
    void Show(const CountedHandle<CQoForm>& form)
    {
        screens->ShowForm(form, 1000.0f);
        Frame(0.01f);
    }
    // One frame with the cursor far off every control.
    int Frame(float dt) { return screens->Update(-2000.0f, -2000.0f, dt); }
    // A fade of `speed` run to its end.
    void Settle() { Frame(1.0f); }

    // A press and a release at the centre of a control; the events of the
    // release.
    std::vector<ScreenEvent> Click(const CQoWindow& control)
    {
        const Vec3& p = control.Position();
        screens->OnMouseDown(p.x, p.y);
        screens->OnMouseUp(p.x, p.y);
        return Events();
    }
    // The events of a press alone.
    std::vector<ScreenEvent> Press(const CQoWindow& control)
    {
        const Vec3& p = control.Position();
        screens->OnMouseDown(p.x, p.y);
        std::vector<ScreenEvent> events = Events();
        screens->OnMouseUp(p.x, p.y);
        return events;
    }
    std::vector<ScreenEvent> Events() const { return screens->Events(); }
    // The control of a form with this element id (the first, when several
    // share it).
    static const CQoWindow& Control(const CountedHandle<CQoForm>& form, Command command)
    {
        CountedHandle<CQoWindow> w = form->FindChild(IdOf(command));
        EXPECT_TRUE(w) << "no control with id " << IdOf(command);
        return *w; // the form keeps the control
    }

    LogCapture log; // first: the paths below take its players folder
    CDataPaths paths;
    CQuestLayout layout;
    CountedHandle<CTextBatch> texts;
    std::vector<CountedHandle<CBitmapFont>> fonts;
    CountedHandle<CGameScreens> screens;
    CountedHandle<CTexture> loading;
};
