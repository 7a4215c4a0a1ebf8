// The values the screens put on their forms: the rolling score, the gauge's
// and the dial's wipe and colour, the map, the pages, the tutorial panel,
// the countdown overlay, the story, the store link and the texts.
#include "ScreensTestSupport.h"

#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace {

CSprite& SpriteOf(const CountedHandle<CQoStatic>& c) { return *c->Sprite(0); }

class ScreenWidgets : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Load()) << rig.log.Text(); }
    CGameScreens& s() { return *rig.screens; }
    ScreensRig rig;
};

TEST(RollingCounter, RollsFasterAndStopsOnItsTarget)
{
    CRollingCounter up;
    up.SetTarget(5000);
    EXPECT_TRUE(up.Step(0.1f));
    EXPECT_EQ(up.Shown(), 110); // 1000 units/s gaining 1000 units/s every second
    while (up.Step(0.1f))
        EXPECT_LE(up.Shown(), 5000);
    EXPECT_EQ(up.Shown(), 5000);
    EXPECT_FALSE(up.Step(0.1f)); // settled: nothing changes

    CRollingCounter down;
    down.SetNow(500);
    down.SetTarget(0);
    while (down.Step(0.1f))
        EXPECT_GE(down.Shown(), 0);
    EXPECT_EQ(down.Shown(), 0);
}

// The corners (dial units) and the texture corners of each quadrant, and
// which quadrants show, for the gauge and the shop's dial.
struct Wipe {
    float value;
    int quadrant;     // the one holding the value
    float corners[8]; // its corner offsets
    float uv[8];      // its texture corners on the gauge (dial: mapped)
    bool shown[4];
};

const Wipe kWipes[] = {
    // An empty dial: quadrant 0 as a line from twelve o'clock to the middle.
    {0.0f,
     0,
     {0, 0.5f, 0, 0.5f, 0, 0, 0, 0.5f},
     {0.5f, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 0},
     {true, false, false, false}},
    // An eighth: the triangle from twelve o'clock to the top-left corner.
    {0.125f,
     0,
     {-0.5f, 0.5f, 0, 0.5f, 0, 0, -0.5f, 0.5f},
     {0, 0, 0.5f, 0, 0.5f, 0.5f, 0, 0},
     {true, false, false, false}},
    // Half: quadrant 1 full, its last corners at the bottom.
    {0.5f,
     1,
     {-0.5f, 0, 0, 0, 0, -0.5f, -0.5f, -0.5f},
     {0, 0.5f, 0.5f, 0.5f, 0.5f, 1, 0, 1},
     {true, true, false, false}},
    // Full: quadrant 3 with t = 0.
    {1.0f,
     3,
     {0, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0},
     {0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 0.5f},
     {true, true, true, true}},
};

TEST_F(ScreenWidgets, TheGaugeAndTheDialWipeByQuadrants)
{
    for (const Wipe& w : kWipes) {
        SCOPED_TRACE(w.value);
        s().SetProgressGauge(w.value, true);
        s().SetClockWipe(w.value);
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(s().quest.gauge.At(static_cast<size_t>(q))->IsVisible(), w.shown[q]) << q;
            EXPECT_EQ(s().shop.dial.At(static_cast<size_t>(q))->IsVisible(), w.shown[q]) << q;
        }
        const CSprite& gauge = SpriteOf(s().quest.gauge.At(static_cast<size_t>(w.quadrant)));
        const CSprite& dial = SpriteOf(s().shop.dial.At(static_cast<size_t>(w.quadrant)));
        for (int i = 0; i < 8; ++i) {
            EXPECT_NEAR(gauge.cornerOffsets[static_cast<size_t>(i)], w.corners[i], 1e-5f) << i;
            EXPECT_NEAR(dial.cornerOffsets[static_cast<size_t>(i)], w.corners[i], 1e-5f) << i;
            EXPECT_NEAR(gauge.frames.data()[i], w.uv[i], 1e-5f) << i;
            const float mapped =
                i % 2 == 0 ? 0.591796875f + 0.171875f * w.uv[i] : 0.7421875f + 0.171875f * w.uv[i];
            EXPECT_NEAR(dial.frames.data()[i], mapped, 1e-5f) << i;
        }
        EXPECT_NEAR(SpriteOf(s().quest.hand).angle, rig.layout.globalAngle + 6.2831855f * w.value, 1e-5f);
        EXPECT_NEAR(SpriteOf(s().shop.hands.At(0)).angle, 6.2831855f * w.value - 1.5707964f, 1e-5f);
    }
}

TEST_F(ScreenWidgets, GaugeValuesThatAreNoNumbersReadAsZero)
{
    s().SetProgressGauge(0.7f, true);
    s().SetProgressGauge(std::nanf(""), true);
    EXPECT_EQ(s().GaugeValue(), 0.0f);
    s().SetGaugeTarget(std::nanf(""));
    EXPECT_EQ(s().GaugeTarget(), 0.0f);
    s().SetClockWipe(std::nanf(""));
    EXPECT_NEAR(SpriteOf(s().shop.hands.At(0)).angle, -1.5707964f, 1e-6f);
    s().SetProgressGauge(3.0f, false);
    EXPECT_EQ(s().GaugeValue(), 1.0f);
}

TEST_F(ScreenWidgets, TheGaugeMovesTowardsItsTargetAtItsSpeed)
{
    s().SetProgressGauge(0.2f, true);
    s().SetGaugeTarget(0.5f);
    rig.Frame(0.2f);
    EXPECT_NEAR(s().GaugeValue(), 0.3f, 1e-5f); // 0.5 a second
    rig.Frame(2.0f);
    EXPECT_FLOAT_EQ(s().GaugeValue(), 0.5f); // without passing it
    s().gaugeHold = 1;
    s().SetGaugeTarget(0.0f);
    rig.Frame(0.2f);
    EXPECT_FLOAT_EQ(s().GaugeValue(), 0.5f); // frozen while held
}

TEST(GaugeColour, RunsFromRedThroughYellowToGreen)
{
    ScreensRig rig;
    rig.layout.gaugeGreen = {0, 255, 0};
    rig.layout.gaugeYellow = {255, 255, 0};
    rig.layout.gaugeRed = {255, 0, 0};
    rig.layout.greenEnd = 0.5f;
    rig.layout.yellowEnd = 0.25f;
    rig.layout.redEnd = 0.1f;
    rig.layout.gaugeAlphaByte = 0x80000000;
    ASSERT_TRUE(rig.Load());
    const struct {
        float value;
        uint32_t colour;
    } cases[] = {
        {0.6f, 0x8000FF00}, {0.5f, 0x8000FF00}, {0.375f, 0x807FFF00}, {0.175f, 0x80FF7F00}, {0.05f, 0x80FF0000}};
    for (const auto& c : cases) {
        rig.screens->SetProgressGauge(c.value, true);
        for (const auto& quadrant : rig.screens->quest.gauge)
            EXPECT_EQ(quadrant->color, c.colour) << c.value;
    }
}

TEST_F(ScreenWidgets, TheScoreRollsUnlessTheGameHoldsIt)
{
    s().SetHudValues(1000, 3, 0.5f);
    EXPECT_EQ(s().quest.score->MainText()->text, "1000");
    EXPECT_EQ(s().quest.count->MainText()->text, "3");
    EXPECT_FALSE(s().quest.overlay.At(1)->IsVisible());
    s().SetScore(1200, true);
    rig.Frame(0.1f);
    EXPECT_EQ(s().quest.score->MainText()->text, "1110");
    rig.Frame(1.0f);
    EXPECT_EQ(s().quest.score->MainText()->text, "1200");
    s().gaugeHold = 1;
    s().SetScore(5000, false);
    EXPECT_EQ(s().ShownScore(), 1200);
}

TEST_F(ScreenWidgets, LevelCaptionsNameTheStageUnlessTheGameHoldsIt)
{
    s().SetNewLevelCaption(6);
    EXPECT_EQ(s().newLevel.caption->MainText()->text, "Level 2-1");
    s().gaugeHold = 1;
    s().SetNewLevelCaption(6);
    EXPECT_EQ(s().newLevel.caption->MainText()->text, "Level 6");
    s().SetMemoryCaptions(2, 1, 3);
    EXPECT_EQ(s().memory.captions[1]->MainText()->text, "Round 1/3");
    s().SetStartQuestCaption(14, true);
    EXPECT_EQ(s().startQuest.caption->MainText()->text, "3-3\n" + GetString(33));
}

TEST(TextFormats, AFormatIsUsedOnlyWhenItTakesTheValuesGiven)
{
    const struct {
        const char* format;
        const char* signature;
        bool takes;
    } cases[] = {
        {"Level %d-%d", "dd", true}, {"Level %d", "dd", false}, {"%5.2d%%", "d", true}, {"%s", "d", false},
        {"%ld", "d", false},         {"%*d", "d", false},       {"%n", "d", false},     {"Delete %s?", "s", true},
        {"no values", "s", false},   {"%", "", false}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatTakes(c.format, c.signature), c.takes) << c.format;

    LogCapture log;
    testing_support::WriteText(log.Dir().File("Strings.txt"),
                               "STRINGS\nA \"Level %s\"\nB \"Round %d/%d\"\nIDs\ndefine A 8\ndefine B 16\n");
    LoadStrings(log.Dir().File("Strings.txt"));
    EXPECT_EQ(FormatTableText(8, 128, 2, 1), "Level %s");
    EXPECT_NE(log.Text().find("String 8"), std::string::npos);
    EXPECT_EQ(FormatTableText(16, 128, 2, 3), "Round 2/3");
    EXPECT_EQ(FormatTableText(16, 8, 2, 1000), "Round 2"); // cut to its buffer
    ClearStrings();
}

TEST_F(ScreenWidgets, TheLongestNamesFitTheirTexts)
{
    const std::string name = "WWWWWWWWWWWW";
    s().Profiles()->CreateProfile(name);
    s().profileSelected = 0;
    s().ShowPlayerName();
    EXPECT_EQ(s().mainMenu.playerLabel->MainText()->text.find(CText::kSoftBreak), std::string::npos);

    s().SetMessageBox(FormatTableText(31, 256, name), "", CGameScreens::kGroupDeleteKeep, Question::DeleteProfile);
    const CText& text = *s().msgBox.text1->MainText();
    const size_t lines = 1 +
                         static_cast<size_t>(std::count(text.text.begin(), text.text.end(), CText::kSoftBreak)) +
                         static_cast<size_t>(std::count(text.text.begin(), text.text.end(), '\n'));
    EXPECT_LE(static_cast<float>(lines) * text.charHeight * text.lineSpacing, s().msgBox.text1->Size().h);
}

// The lessons' texts fit their panels: the board's prompts (a colour name
// put into the totems' two) and the shop's.
TEST_F(ScreenWidgets, TheLessonsTextsFitTheirPanels)
{
    for (int number = 35; number <= 44; ++number) {
        std::string text = GetString(number);
        if (const size_t at = text.find("%s"); at != std::string::npos)
            text.replace(at, 2, "yellow");
        const CountedHandle<CQoStatic>& control = number == 44 ? s().tutorial.shopText : s().tutorial.panelText;
        control->SetText(text);
        const CText& shown = *control->MainText();
        const size_t lines =
            1 + static_cast<size_t>(std::count(shown.text.begin(), shown.text.end(), CText::kSoftBreak)) +
            static_cast<size_t>(std::count(shown.text.begin(), shown.text.end(), '\n'));
        EXPECT_LE(static_cast<float>(lines) * shown.charHeight * shown.lineSpacing, control->Size().h) << number;
    }
}

TEST_F(ScreenWidgets, TheMapShowsWhereTheQuestStands)
{
    struct Case {
        int level, flag;
        const char* caption;
        int story;                // index of the story text, -1: none
        int picture;              // stage picture shown, -1: none
        int spotsStage, spots;    // spots shown, all on that stage
        int flagStage, flagLevel; // the spot the flag stands by, 0: no flag
        size_t marks;
    };
    const Case cases[] = {
        {1, 0, "1-1", -1, -1, 1, 0, 1, 1, 0},    {2, 0, "1-2", 0, -1, 1, 1, 1, 2, 0},
        {2, 1, "1-2", 0, -1, 1, 0, 1, 1, 0},     {6, 0, "2-1", 4, 0, 2, 0, 2, 1, 1},
        {41, 0, "5-12", 39, 3, 5, 11, 5, 12, 4}, {41, 1, "5-12", 39, 3, 5, 10, 5, 11, 4},
        {42, 0, "6-1", -1, 3, 5, 0, 0, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level * 10 + c.flag);
        s().FillMapScreen(c.level, c.flag);
        const auto& m = s().map;
        EXPECT_EQ(m.caption->MainText()->text, c.caption);
        const std::string story = c.story < 0 ? std::string() : s().StoryTexts()[static_cast<size_t>(c.story)];
        EXPECT_EQ(m.story->MainText()->text.size() > 1, !story.empty());
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(m.stagePictures[static_cast<size_t>(i)].At(0)->IsVisible(), i == c.picture) << i;
        for (int st = 1; st <= 5; ++st) {
            int shown = 0;
            for (const auto& spot : m.spots[static_cast<size_t>(st - 1)])
                shown += spot->IsVisible() ? 1 : 0;
            EXPECT_EQ(shown, st == c.spotsStage ? c.spots : 0) << st;
        }
        EXPECT_EQ(m.flag->IsVisible(), c.flagStage > 0);
        if (c.flagStage > 0) {
            const Vec3& spot =
                m.spots[static_cast<size_t>(c.flagStage - 1)].At(static_cast<size_t>(c.flagLevel - 1))->Position();
            EXPECT_NEAR(m.flag->Position().x, spot.x + rig.layout.flagShift.x, 1e-3f);
            EXPECT_NEAR(m.flag->Position().y, spot.y + rig.layout.flagShift.y, 1e-3f);
            EXPECT_NEAR(m.flagShadow->Position().x, m.flag->Position().x + rig.layout.shadowShift.x, 1e-3f);
        }
        size_t marks = 0;
        for (size_t j = 0; j < 4; ++j)
            marks += m.seals.At(j)->IsVisible() && m.gems.At(j)->IsVisible() ? 1 : 0;
        EXPECT_EQ(marks, c.marks);
    }
}

TEST_F(ScreenWidgets, OnlyTheStagesMapPicturesStayInMemory)
{
    auto resident = [&] {
        std::string out;
        for (const char* name : {"MapDiff3", "MapDiff4_1", "MapDiff4_2", "MapDiff5_1", "MapDiff5_2"})
            out += rig.device->FindTexture(name)->texture ? "1" : "0";
        return out;
    };
    EXPECT_EQ(resident(), "00000"); // out of memory from the start
    const struct {
        int stage;
        const char* kept;
    } cases[] = {{3, "10000"}, {4, "01100"}, {5, "01011"}, {1, "00000"}, {0, "01011"}, {9, "01011"}};
    for (const auto& c : cases) {
        s().RecreateMapTextures(c.stage);
        EXPECT_EQ(resident(), c.kept) << c.stage;
    }
    CountedHandle<CTexture> broken = rig.device->FindTexture("MapDiff3");
    broken->fileName = "Data\\Gfx\\NoSuchMap.jpg";
    s().RecreateMapTextures(3);
    EXPECT_NE(rig.log.Text().find("Error! Recreation MapDiff3\n"), std::string::npos);
}

TEST_F(ScreenWidgets, HelpPagesShareTheSecondPicture)
{
    const struct {
        int page;
        const char* file;
    } cases[] = {{1, "HelpPage1.jpg"}, {2, "HelpPage2.jpg"}, {3, "HelpPage2.jpg"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(s().ShowHelpPage(c.page));
        EXPECT_EQ(rig.device->FindTexture("HelpPage")->fileName, std::string("Data\\Gfx\\") + c.file);
        for (size_t row = 0; row < 3; ++row)
            EXPECT_EQ(s().help.pages[row].At(0)->IsVisible(), static_cast<int>(row) + 1 == c.page) << c.page;
    }
}

// A page whose file cannot be read leaves the texture's old file name, and
// is tried again at the next request instead of being taken as loaded.
TEST(PageTextures, AFailedPageIsLoadedAgainNextTime)
{
    ScreensRig rig;
    // The pictures as links in a folder of the test's own, so that one can go.
    const std::string gfx = rig.log.Dir().Path() + "Gfx/";
    ASSERT_TRUE(plat::CreateDirectory(gfx));
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    for (const plat::DirEntry& e : plat::ListDirectory("Data/Gfx"))
        ASSERT_EQ(symlink((std::string(cwd) + "/Data/Gfx/" + e.name).c_str(), (gfx + e.name).c_str()), 0);
    rig.paths.folders[CDataPaths::Gfx] = gfx;
    ASSERT_TRUE(rig.Load()) << rig.log.Text();
    CGameScreens& s = *rig.screens;
    ASSERT_TRUE(s.ShowNewspaper(0));
    const std::string first = gfx + "Newspaper1.jpg";
    ASSERT_EQ(rig.device->FindTexture("Newspaper5")->fileName, first);

    ASSERT_EQ(unlink((gfx + "Newspaper2.jpg").c_str()), 0);
    EXPECT_FALSE(s.ShowNewspaper(1));
    EXPECT_EQ(rig.device->FindTexture("Newspaper5")->fileName, first);
    EXPECT_NE(rig.log.Text().find("Error switching newspaper texture\n"), std::string::npos);
    EXPECT_TRUE(s.newspaper.pages[1].At(0)->IsVisible()); // the rows switch all the same
    EXPECT_FALSE(s.ShowNewspaper(1));                     // not taken for loaded
    EXPECT_TRUE(s.ShowNewspaper(0));                      // the old page's picture comes back
    EXPECT_TRUE(rig.device->FindTexture("Newspaper5")->texture);

    EXPECT_FALSE(s.ShowNewspaper(4)); // there are four pages
    EXPECT_TRUE(s.SwitchNewspaper());
    EXPECT_EQ(rig.device->FindTexture("Newspaper5")->fileName, gfx + "Newspaper5.jpg");
}

TEST_F(ScreenWidgets, TheTutorialPanelKeepsItsTabInside)
{
    const auto& t = s().tutorial;
    const float width = rig.layout.arrowWinSize.x;
    const struct {
        float x, y;
        bool above;
    } cases[] = {{-500, 100, true}, {500, 100, true}, {100, -200, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        s().PlaceTutorialPanel(c.x, c.y);
        const auto& tab = c.above ? t.tabAbove : t.tabBelow;
        EXPECT_TRUE(tab->IsVisible());
        EXPECT_FALSE((c.above ? t.tabBelow : t.tabAbove)->IsVisible());
        EXPECT_NEAR(tab->Position().x, c.x, 1e-3f); // centred on the target
        // The tab's edge lies on the target.
        EXPECT_NEAR(tab->Position().y + (c.above ? 0.5f : -0.5f) * tab->BaseSize().h, c.y, 1.0f);
        const CQoWindow& panel = *t.rows[1].At(0);
        const float left = panel.Position().x - panel.BaseSize().w / 2;
        const float margin = (c.above ? rig.layout.arrowUpShift : rig.layout.arrowDownShift).x;
        EXPECT_LE(left, c.x - tab->BaseSize().w / 2 - margin + 1.0f);
        EXPECT_GE(left + width, c.x + tab->BaseSize().w / 2 + margin - 1.0f);
        // The panel's text moves with the panel.
        EXPECT_NEAR(t.panelText->Position().x - panel.Position().x, t.panelOffsets[1].x, 1e-3f);
    }
}

TEST_F(ScreenWidgets, TheOverlayFlashesThreeTimesAndEnds)
{
    const auto& rim = s().quest.overlay.At(0);
    const auto& flash = s().quest.overlay.At(1);
    flash->SetVisible(false);
    s().StartOverlay(true);
    EXPECT_TRUE(flash->IsVisible());
    EXPECT_FLOAT_EQ(flash->Alpha(), 0.0f);
    rig.Frame(0.0625f); // a quarter turn of the flash
    EXPECT_NEAR(flash->Alpha(), 0.5f, 1e-3f);
    EXPECT_EQ(rim->color, 0xFF8F8F8Fu);
    rig.Frame(0.7f);
    EXPECT_FALSE(s().OverlayActive());
    EXPECT_FALSE(flash->IsVisible());
    EXPECT_EQ(rim->color, 0xFFFFFFFFu);
    // Started again while running, it starts its time again but not its phase.
    s().StartOverlay(true);
    rig.Frame(0.5f);
    s().StartOverlay(true);
    rig.Frame(0.5f);
    EXPECT_TRUE(s().OverlayActive());
}

TEST(Story, ReadsFortyTextsAfterTheHeader)
{
    ScreensRig rig;
    ASSERT_TRUE(rig.Load());
    ASSERT_EQ(rig.screens->StoryTexts().size(), 40u); // the installed file has all forty
    for (const std::string& text : rig.screens->StoryTexts())
        EXPECT_FALSE(text.empty());

    const std::string path = rig.log.Dir().File("Story.txt");
    std::string many = "header\r\n";
    for (int i = 0; i < 42; ++i)
        many += "Text " + std::to_string(i) + "\r\nmore\r\n#\r\n";
    testing_support::WriteText(path, many);
    ASSERT_TRUE(rig.screens->ReadStory(path));
    EXPECT_EQ(rig.screens->StoryTexts()[0], "Text 0\nmore\n");
    EXPECT_EQ(rig.screens->StoryTexts()[39], "Text 39\nmore\n");

    testing_support::WriteText(path, "header\nOne\n#\nTwo");
    ASSERT_TRUE(rig.screens->ReadStory(path));
    EXPECT_EQ(rig.screens->StoryTexts()[1], "Two");
    EXPECT_EQ(rig.screens->StoryTexts()[2], "");
    EXPECT_FALSE(rig.screens->ReadStory(rig.log.Dir().File("none.txt")));
    EXPECT_EQ(rig.screens->StoryTexts().size(), 40u);
}

// A story file emptied, cut short or overwritten leaves blank texts, and one
// log line naming the file says so each time it is read.
TEST(Story, DamagedFilesAreNamedInTheLog)
{
    ScreensRig rig;
    const std::string path = rig.log.Dir().File("Story.txt");
    struct Case {
        const char* name;
        std::string text;
        const char* line;
    };
    const Case cases[] = {
        {"empty", "", " holds 0 of 40 texts"},
        {"header only", "The story\n", " holds 0 of 40 texts"},
        {"cut short", "header\nOne\n#\nTwo", " holds 2 of 40 texts"},
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "\nno separators at all\n",
         " holds 1 of 40 texts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::WriteText(path, c.text);
        ClearLog();
        EXPECT_TRUE(rig.screens->ReadStory(path));
        EXPECT_EQ(rig.log.Text(), " Warning! Story file " + path + c.line + ": the others stay blank\n");
    }
    std::string whole = "header\n";
    for (int i = 0; i < 40; ++i)
        whole += "Text\n#\n";
    testing_support::WriteText(path, whole);
    ClearLog();
    EXPECT_TRUE(rig.screens->ReadStory(path));
    EXPECT_EQ(rig.log.Text(), ""); // a whole file says nothing

    ClearLog();
    EXPECT_FALSE(rig.screens->ReadStory(rig.log.Dir().File("none.txt")));
    EXPECT_EQ(rig.log.Text(),
              " Warning! Story loading error: " + rig.log.Dir().File("none.txt") + " cannot be read\n");
}

std::vector<std::string> g_opened;
void Remember(const std::string& link) { g_opened.push_back(link); }

TEST_F(ScreenWidgets, TheStoreLinkOpensOnlyAWebAddress)
{
    const struct {
        const char* content; // nullptr: no file
        bool shown, enabled;
        const char* link;
    } cases[] = {
        {nullptr, false, true, ""},
        {"   \t\n", true, false, ""},
        {"-x --some-option\n", true, false, ""},
        {"file:///etc/passwd\n", true, false, ""},
        {"ht\n", true, false, ""},
        {"  https://example.org/galvorine \r\nsecond line\n", true, true, "https://example.org/galvorine"},
        {"http://example.org", true, true, "http://example.org"},
    };
    const std::string path = rig.log.Dir().File("AppStoreURL.txt");
    s().SetLinkOpener(Remember);
    rig.Show(s().mainMenu.form);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "(none)");
        unlink(path.c_str());
        if (c.content)
            testing_support::WriteText(path, c.content);
        s().ReadStoreLink(path);
        EXPECT_EQ(s().mainMenu.storeButton->IsVisible(), c.shown);
        EXPECT_EQ(s().mainMenu.storeButton->IsEnabled(), c.enabled);
        EXPECT_EQ(s().StoreLink(), c.link);
        g_opened.clear();
        rig.Click(*s().mainMenu.storeButton);
        EXPECT_EQ(g_opened, *c.link ? std::vector<std::string>{c.link} : std::vector<std::string>{});
    }
}

} // namespace
