// Loading the game's forms: the installed files and pictures, how each kind
// of damage to them is reported, and the order the forms stand in.
#include "ScreensTestSupport.h"

#include "platform/D3DX.h"
#include "tokens/CapsAnimation.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace {

using testing_support::ReadText;
using testing_support::WriteText;

TEST(FormLoading, InstalledFormsLoadWithoutALogLine)
{
    ScreensRig rig;
    ASSERT_TRUE(rig.Load()) << rig.log.Text();
    EXPECT_EQ(rig.log.Text(), "");
}

TEST(FormLoading, TheInstallationHoldsTheScreensDataAndPictures)
{
    const struct {
        const char* file;
        uint32_t width, height;
    } pictures[] = {
        {"Title.png", 1024, 256},       {"PanelQuest.png", 512, 1024},  {"Gauge.png", 256, 256},
        {"ShopFrame.png", 1024, 1024},  {"Map.jpg", 1024, 1024},        {"MapDiff3.jpg", 1024, 512},
        {"MapDiff4_1.jpg", 512, 512},   {"MapDiff4_2.jpg", 512, 512},   {"MapDiff5_1.jpg", 512, 256},
        {"MapDiff5_2.jpg", 512, 256},   {"MapIcons.png", 256, 256},     {"Newspaper1.jpg", 1024, 1024},
        {"Newspaper2.jpg", 1024, 1024}, {"Newspaper3.jpg", 1024, 1024}, {"Newspaper4.jpg", 1024, 1024},
        {"Newspaper5.jpg", 1024, 1024}, {"HelpPage1.jpg", 1024, 1024},  {"HelpPage2.jpg", 1024, 1024},
        {"Intro.jpg", 1024, 1024},      {"Trophies.png", 1024, 1024},   {"Tutorial.png", 256, 256},
        {"White.png", 16, 16},          {"ShopCtrls1.png", 512, 512},   {"ShopCtrls2.png", 512, 512},
    };
    for (const auto& p : pictures) {
        d3d::DecodedImage image;
        ASSERT_TRUE(d3d::DecodeImageFile(std::string("Data\\Gfx\\") + p.file, &image)) << p.file;
        EXPECT_EQ(image.width, p.width) << p.file;
        EXPECT_EQ(image.height, p.height) << p.file;
    }
    LoadStrings("Data\\Txt\\Strings.txt");
    for (int id : {8, 9, 15, 16, 25, 26, 27, 28, 29, 31, 32, 33, 34})
        EXPECT_FALSE(GetString(id).empty()) << id;
    EXPECT_EQ(GetString(31).find("%s"), GetString(31).rfind('%'));
    ClearStrings();
}

// A copy of the installed forms in a folder of the test's own, to be damaged.
class DamagedForms : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    // The copy as installed, and screens that have loaded nothing yet.
    void Fresh()
    {
        folder = rig.log.Dir().Path() + "Forms/";
        plat::CreateDirectory(folder);
        for (const plat::DirEntry& e : plat::ListDirectory("Data/Forms"))
            WriteText(folder + e.name, ReadText("Data/Forms/" + e.name));
        rig.paths.folders[CDataPaths::Forms] = folder;
        rig.screens = MakeCountedHandle(
            new CGameScreens(nullptr, rig.device, rig.vertices, rig.indices, rig.texts, rig.fonts));
    }
    void Replace(const std::string& file, const std::string& from, const std::string& to)
    {
        std::string text = ReadText(folder + file);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        WriteText(folder + file, text.replace(at, from.size(), to));
    }

    ScreensRig rig;
    std::string folder;
};

TEST_F(DamagedForms, EachFaultIsLoggedAndStopsTheLoad)
{
    struct Case {
        const char* what;
        std::function<void()> damage;
        const char* logged;
    };
    const Case cases[] = {
        {"no list", [&] { unlink((folder + "Textures.lst").c_str()); }, "Unable to open Textures.lst\n"},
        {"a picture that is not there", [&] { Replace("Textures.lst", "\"White.png\"", "\"Nowhere.png\""); },
         "Unable to load texture White\n"},
        {"a missing form", [&] { unlink((folder + "Help.qof").c_str()); },
         "Error loading Form Help: Unable to open file "},
        {"a broken form", [&] { Replace("Options.qof", "SIZE 280 32", "SIZE 280"); },
         "Error loading Form Options: Unexpected token"},
        {"a missing key", [&] { Replace("MainMenu.qof", "    INTERRUPT 2\n", ""); },
         "Error Creating Form MainMenu: key 2 gives 0 controls, not 1-1\n"},
        {"a key of the wrong kind",
         [&] {
             Replace("Quest.qof", "ELEMENT CHECKBOX\n{\n    POSITION 280", "ELEMENT BUTTON\n{\n    POSITION 280");
         },
         "Error Creating Form Quest: key 203 must be a check box\n"},
        {"five player rows", [&] { Replace("Profiles.qof", "    INTERRUPT 1\n", ""); },
         "Error Creating Form Profiles: keys 1-1 give 5 controls, not 6-6\n"},
        {"a map spot short", [&] { Replace("Map.qof", "    INTERRUPT 511\n", ""); },
         "Error Creating Form Map: stage 5 needs 12 level spots\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.damage();
        ClearLog();
        EXPECT_FALSE(rig.Load());
        EXPECT_NE(rig.log.Text().find(c.logged), std::string::npos) << rig.log.Text();
    }
}

TEST_F(DamagedForms, MipLevelsAreHeldToTwoAndACutEntryIsLeftOut)
{
    std::ofstream(folder + "Textures.lst", std::ios::app) << "\"Title.png\" \"Seven\" n 7\n"
                                                             "\"Title.png\" \"Less\" n -1\n"
                                                             "\"Title.png\" \"Cut\"\n";
    ASSERT_TRUE(rig.Load()) << rig.log.Text();
    EXPECT_EQ(rig.device->FindTexture("Seven")->mipLevels, 2u);
    EXPECT_EQ(rig.device->FindTexture("Less")->mipLevels, 0u);
    EXPECT_FALSE(rig.device->FindTexture("Cut"));
    EXPECT_EQ(rig.log.Text(), "");
}

TEST(FormLoading, FormsStandInTheirOwnOrderNotTheFiles)
{
    ScreensRig rig;
    ASSERT_TRUE(rig.Load());
    const CGameScreens& s = *rig.screens;
    const auto& forms = s.FormsManager()->Forms();
    auto place = [&](const CountedHandle<CQoForm>& form) {
        return std::find(forms.begin(), forms.end(), form) - forms.begin();
    };
    EXPECT_EQ(s.msgBox.form->zOrder, -550);
    EXPECT_EQ(s.winBox.form->zOrder, -650);
    // Drawn and given input later means in front: the box over the lists it asks about.
    EXPECT_GT(place(s.msgBox.form), place(s.profiles.form));
    EXPECT_GT(place(s.msgBox.form), place(s.startQuest.form));
    EXPECT_GT(place(s.winBox.form), place(s.msgBox.form));
    EXPECT_GT(place(s.options.form), place(s.gameMenu.form));
    for (size_t i = 1; i < forms.size(); ++i)
        EXPECT_GE(forms[i - 1]->zOrder, forms[i]->zOrder);
    // All hidden, at full alpha, until a screen is shown.
    for (const auto& form : forms) {
        EXPECT_FALSE(form->IsVisible());
        EXPECT_FLOAT_EQ(form->Alpha(), 1.0f);
    }
}

// The help pages teach the tokens with the board's own pictures: every token
// on them is a whole cap of one of the seven colours, cut from the caps'
// pictures where the caps animation cuts it, and the legend shows the seven
// colours left to right in the game's order.
TEST(FormLoading, TheHelpPagesShowTheBoardsOwnCaps)
{
    ScreensRig rig;
    ASSERT_TRUE(rig.Load());
    std::vector<CCapsAnimation> animations;
    ASSERT_TRUE(LoadCapsAnimations("Data\\", &animations));
    ASSERT_GE(animations.size(), 7u);
    // The colour whose cap the sprite shows whole, or -1.
    auto colourOf = [&](const CSprite& sprite) {
        const float* uv = sprite.frames.data();
        for (int colour = 0; colour < 7; ++colour) {
            const CapFrame& f = animations[static_cast<size_t>(colour)].frames[0];
            const float cap[8] = {f.uLeft, f.vTop, f.uRight, f.vTop, f.uRight, f.vBottom, f.uLeft, f.vBottom};
            if (std::equal(cap, cap + 8, uv, [](float a, float b) { return std::fabs(a - b) < 1e-4f; }))
                return colour;
        }
        return -1;
    };
    struct Cap {
        float x, y, size;
        int colour;
        bool gem;
    };
    std::vector<Cap> pages[3];
    for (size_t page = 0; page < 3; ++page)
        for (size_t i = 0; i < rig.screens->help.pages[page].Size(); ++i) {
            const CQoStatic& control = *rig.screens->help.pages[page].At(i);
            for (size_t k = 0; k < control.SpriteCount(); ++k) {
                const CSprite& sprite = *control.Sprite(k);
                if (!sprite.texture || sprite.texture->name.rfind("HelpCaps", 0) != 0)
                    continue;
                SCOPED_TRACE(sprite.texture->name);
                const bool gem = sprite.texture->name == "HelpCapsGem";
                const std::string& file = sprite.texture->fileName;
                const std::string expected = gem ? "Caps_d.png" : "Caps.png";
                EXPECT_EQ(file.substr(file.size() - std::min(file.size(), expected.size() + 1)), "\\" + expected);
                EXPECT_GE(colourOf(sprite), 0) << "a cap cut from elsewhere on page " << page + 1;
                pages[page].push_back(Cap{sprite.x, sprite.y, sprite.width, colourOf(sprite), gem});
            }
        }
    // Two boards of 4 x 4, the legend's seven and the gem token; a totem's
    // crown on each of the pages that show the totems.
    EXPECT_EQ(pages[0].size(), 40u);
    EXPECT_EQ(pages[1].size(), 3u);
    EXPECT_EQ(pages[2].size(), 3u);
    std::vector<Cap> legend;
    for (const Cap& c : pages[0])
        if (!c.gem && c.size > 55)
            legend.push_back(c);
    ASSERT_EQ(legend.size(), 7u);
    std::sort(legend.begin(), legend.end(), [](const Cap& a, const Cap& b) { return a.x < b.x; });
    for (int colour = 0; colour < 7; ++colour) {
        EXPECT_EQ(legend[static_cast<size_t>(colour)].colour, colour);
        EXPECT_FLOAT_EQ(legend[static_cast<size_t>(colour)].y, legend[0].y);
    }
}

} // namespace
