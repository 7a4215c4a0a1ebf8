// The screens at run time, driven through the installed forms: clicks and
// presses at the centres of their controls, fades, the menus' navigation,
// the message box's questions, the players list and the name entry.
#include "ScreensTestSupport.h"

#include "gui/QoButton.h"

#include "screens/TextFormat.h"
#include <algorithm>

namespace {

using K = ScreenEvent::Kind;

CQoCheckbox& Box(const CountedHandle<CQoStatic>& c) { return static_cast<CQoCheckbox&>(*c); }

// A control's caption as given: without the soft line breaks of its
// wrapping, and empty where the text object holds its blank.
std::string Caption(const CountedHandle<CQoStatic>& c)
{
    std::string text = c->MainText()->text;
    std::replace(text.begin(), text.end(), CText::kSoftBreak, ' ');
    return text == " " ? std::string() : text;
}

class ScreenCommands : public ::testing::Test {
protected:
    // Players' folders made before the forms load, as the game finds them.
    void Load(std::initializer_list<const char*> players = {})
    {
        for (const char* name : players)
            ASSERT_TRUE(plat::CreateDirectory(rig.log.Dir().Path() + "Players/" + name));
        ASSERT_TRUE(rig.Load()) << rig.log.Text();
    }
    CGameScreens& s() { return *rig.screens; }

    ScreensRig rig;
};

TEST_F(ScreenCommands, AFadeTurnsRoundAtItsAlphaAndReportsWhereItEnded)
{
    Load();
    const auto& form = s().help.form;
    s().ShowForm(form, 2.0f);
    s().ShowForm(form, 2.0f); // one fade, not two
    EXPECT_TRUE(form->IsVisible());
    EXPECT_FALSE(form->active);
    rig.Frame(0.25f);
    EXPECT_FLOAT_EQ(form->Alpha(), 0.5f);
    rig.Frame(0.0f);
    EXPECT_FLOAT_EQ(form->Alpha(), 0.5f);
    s().HideForm(form, 2.0f);
    rig.Frame(0.2f);
    EXPECT_NEAR(form->Alpha(), 0.1f, 1e-5f);
    EXPECT_EQ(rig.Frame(0.1f), 1);
    EXPECT_EQ(rig.Events(), std::vector<ScreenEvent>{[&] {
                  ScreenEvent e = Ev(K::FadedOut, Command::None);
                  e.form = form;
                  return e;
              }()});
    // Hidden at full alpha, taking input again, so the next show starts at 0.
    EXPECT_FALSE(form->IsVisible());
    EXPECT_FLOAT_EQ(form->Alpha(), 1.0f);
    EXPECT_TRUE(form->active);
    s().HideForm(form, 2.0f); // hiding a hidden form does nothing
    EXPECT_EQ(rig.Frame(1.0f), 0);
    s().ShowForm(form, 2.0f);
    EXPECT_FLOAT_EQ(form->Alpha(), 0.0f);
    EXPECT_EQ(rig.Frame(1.0f), 1);
    EXPECT_EQ(rig.Events()[0].kind, K::FadedIn);
    EXPECT_TRUE(form->active);
}

TEST_F(ScreenCommands, GroupFadesEndHiddenAtFullAlpha)
{
    Load();
    rig.Show(s().background.form);
    const ControlRow& blink = s().background.blink;
    s().FadeOutControls(blink, 2.0f);
    rig.Frame(0.25f);
    EXPECT_FLOAT_EQ(blink.At(0)->Alpha(), 0.5f);
    s().FadeInControls(blink, 2.0f); // turns round where it stands
    rig.Frame(0.25f);
    EXPECT_FLOAT_EQ(blink.At(0)->Alpha(), 1.0f);
    s().FadeOutControls(blink, 2.0f);
    rig.Frame(1.0f);
    EXPECT_FALSE(blink.At(0)->IsVisible());
    EXPECT_FLOAT_EQ(blink.At(0)->Alpha(), 1.0f);
    // The background's group blinks by itself every 3 s while it is shown.
    rig.Frame(3.1f);
    EXPECT_TRUE(blink.At(0)->IsVisible());
}

TEST_F(ScreenCommands, MenusLeadToTheirScreensAndBack)
{
    Load();
    rig.Show(s().mainMenu.form);
    struct Step {
        const CountedHandle<CQoForm>* form;
        Command command;
        const CountedHandle<CQoForm>* shown; // after the fades
        const CountedHandle<CQoForm>* hidden;
    };
    const auto &main = s().mainMenu.form, &help = s().help.form, &scores = s().highScores.form;
    const Step steps[] = {{&main, Command::Help, &help, &main},
                          {&help, Command::HelpBack, &main, &help},
                          {&main, Command::HighScores, &scores, &main},
                          {&scores, Command::HighScoresBack, &main, &scores}};
    for (const Step& step : steps) {
        SCOPED_TRACE(IdOf(step.command));
        EXPECT_TRUE(rig.Click(rig.Control(*step.form, step.command)).empty());
        rig.Settle();
        EXPECT_TRUE((*step.shown)->IsVisible() && (*step.shown)->active);
        EXPECT_FALSE((*step.hidden)->IsVisible());
    }
    // The game's own commands come back as events.
    for (const Command command : {Command::PlayQuest, Command::Exit, Command::Options})
        EXPECT_EQ(rig.Click(rig.Control(main, command)), std::vector<ScreenEvent>{Ev(K::Click, command)})
            << IdOf(command);
}

TEST_F(ScreenCommands, HelpTurnsItsPagesWithinTheThree)
{
    Load();
    rig.Show(s().mainMenu.form);
    rig.Click(rig.Control(s().mainMenu.form, Command::Help));
    rig.Settle();
    auto shownPage = [&] {
        int shown = 0;
        for (size_t p = 0; p < 3; ++p)
            if (s().help.pages[p].At(0)->IsVisible())
                shown = shown ? -1 : static_cast<int>(p) + 1;
        return shown;
    };
    EXPECT_EQ(shownPage(), 1);
    for (int expected : {2, 3}) {
        // The visible "next" of the page shown.
        for (const auto& c : s().help.pages[static_cast<size_t>(expected - 2)])
            if (CommandOf(c->id) == Command::HelpNext) {
                rig.Click(*c);
                break;
            }
        EXPECT_EQ(shownPage(), expected);
    }
    EXPECT_EQ(s().HelpPage(), 3);
    for (const auto& c : s().help.pages[2]) // the last page has no "next"
        EXPECT_NE(CommandOf(c->id), Command::HelpNext);
    s().ShowHelpPage(9);
    EXPECT_EQ(s().HelpPage(), 3);
}

TEST_F(ScreenCommands, StartQuestAsksBeforeANewQuest)
{
    Load();
    const auto& start = s().startQuest.form;
    rig.Show(start);
    EXPECT_TRUE(rig.Click(rig.Control(start, Command::NewQuest)).empty());
    rig.Settle();
    EXPECT_TRUE(s().msgBox.form->IsVisible());
    EXPECT_FALSE(start->active);
    EXPECT_TRUE(s().msgBox.groups[CGameScreens::kGroupYesNo].At(0)->IsVisible());
    EXPECT_FALSE(s().msgBox.groups[CGameScreens::kGroupOk].At(0)->IsVisible());
    // No: back to the question's screen.
    rig.Click(*s().msgBox.groups[CGameScreens::kGroupYesNo].At(1));
    rig.Settle();
    EXPECT_FALSE(s().msgBox.form->IsVisible());
    EXPECT_TRUE(start->active);
    // Yes: the game starts the new quest.
    rig.Click(rig.Control(start, Command::NewQuest));
    rig.Settle();
    EXPECT_EQ(rig.Click(*s().msgBox.groups[CGameScreens::kGroupYesNo].At(0)),
              std::vector<ScreenEvent>{Ev(K::Click, Command::MessageYes)});
    // Continue is the game's; Back returns to the main menu.
    rig.Show(start); // the game would have taken it away after the answer
    EXPECT_EQ(rig.Click(rig.Control(start, Command::ContinueQuest)),
              std::vector<ScreenEvent>{Ev(K::Click, Command::ContinueQuest)});
    rig.Settle();
    EXPECT_FALSE(start->IsVisible());
    rig.Show(start);
    rig.Click(rig.Control(start, Command::QuestBack));
    rig.Settle();
    EXPECT_TRUE(s().mainMenu.form->IsVisible());
}

TEST_F(ScreenCommands, MessageBoxAnswersFollowTheQuestionAsked)
{
    Load();
    struct Case {
        Question question;
        int group;
        size_t button;
        std::vector<ScreenEvent> events;
        bool boxStays;
    };
    const Case cases[] = {
        {Question::BonusLevelRules, CGameScreens::kGroupOk, 0, {Ev(K::Click, Command::MessageOk)}, false},
        // Without a new hiscore the game brings the main menu: the box goes.
        {Question::HardModeUnlocked, CGameScreens::kGroupOk, 0, {Ev(K::Click, Command::MessageOk)}, false},
        // OK means nothing to the shop's question.
        {Question::StarsLeft, CGameScreens::kGroupOk, 0, {}, true},
        {Question::StarsLeft, CGameScreens::kGroupYesNo, 1, {Ev(K::Click, Command::MessageNo)}, false},
        {Question::TryHardMode, CGameScreens::kGroupHardNormal, 0, {Ev(K::Click, Command::MessageYes)}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.question));
        s().SetMessageBox("Question", "", c.group, c.question);
        rig.Show(s().msgBox.form);
        EXPECT_EQ(rig.Click(*s().msgBox.groups[static_cast<size_t>(c.group)].At(c.button)), c.events);
        rig.Settle();
        EXPECT_EQ(s().msgBox.form->IsVisible(), c.boxStays);
        s().msgBox.form->SetVisible(false);
    }
    // A group the box does not have shows no buttons and says so.
    s().SetMessageBox("Question", "", 9, Question::None);
    for (const ControlRow& group : s().msgBox.groups)
        EXPECT_FALSE(group.At(0)->IsVisible());
    EXPECT_NE(rig.log.Text().find("no button group 9"), std::string::npos);
}

TEST_F(ScreenCommands, TheHintButtonLightsUnderTheCursorAndPressesDown)
{
    Load();
    rig.Show(s().quest.form);
    const Vec3 hint = s().quest.hintButton->Position();
    const auto& highlight = s().quest.hintHighlight;
    s().Update(hint.x, hint.y, 0.01f);
    EXPECT_TRUE(highlight->IsVisible());
    EXPECT_TRUE(Box(highlight).IsChecked());
    EXPECT_EQ(rig.Press(*s().quest.hintButton), std::vector<ScreenEvent>{Ev(K::Press, Command::Hint)});
    EXPECT_EQ(rig.Events(), std::vector<ScreenEvent>{Ev(K::Click, Command::Hint)});
    EXPECT_TRUE(Box(highlight).IsChecked());
    s().Update(-2000, -2000, 0.01f);
    EXPECT_FALSE(highlight->IsVisible());
}

TEST_F(ScreenCommands, TheReactionChallengesStopButtonPressesDownAsStop)
{
    Load();
    s().SetReactionCaption(3);
    rig.Show(s().blinker.form);
    EXPECT_EQ(rig.Press(rig.Control(s().blinker.form, Command::ReactionStop)),
              std::vector<ScreenEvent>{Ev(K::Press, Command::ReactionStop)});
}

TEST_F(ScreenCommands, OptionsReportTheirVolumesAndSwitches)
{
    Load();
    rig.Show(s().options.form);
    const auto& sound = s().options.soundVolume;
    const Vec3 p = sound->Position();
    s().OnMouseDown(p.x, p.y);
    ASSERT_EQ(rig.Events().size(), 1u);
    EXPECT_EQ(rig.Events()[0].kind, K::VolumeChanged);
    EXPECT_EQ(rig.Events()[0].command, Command::SoundVolume);
    EXPECT_NEAR(rig.Events()[0].value, 0.5f, 0.01f);
    // Dragged to the right end while the button is held.
    s().Update(p.x + 400, p.y, 0.01f);
    ASSERT_EQ(rig.Events().size(), 1u);
    EXPECT_FLOAT_EQ(rig.Events()[0].value, 1.0f);
    s().OnMouseUp(p.x + 400, p.y);
    for (const Command box :
         {Command::FullScreenBox, Command::WindowSizeBox, Command::ColourDepthBox, Command::WideScreenBox})
        EXPECT_EQ(rig.Press(rig.Control(s().options.form, box)), std::vector<ScreenEvent>{Ev(K::Press, box)})
            << IdOf(box);
}

TEST_F(ScreenCommands, TheMapsSealsOpenTheirFrontPages)
{
    Load();
    s().RecreateMapTextures(5);
    s().FillMapScreen(30, 1); // the last stage: every earlier seal shows
    rig.Show(s().map.form);
    rig.Click(*s().map.seals.At(2));
    rig.Settle();
    EXPECT_FALSE(s().map.form->IsVisible());
    EXPECT_TRUE(s().newspaper.form->IsVisible());
    EXPECT_TRUE(s().newspaper.pages[2].At(0)->IsVisible());
    EXPECT_FALSE(s().newspaper.pages[0].At(0)->IsVisible());
    EXPECT_EQ(rig.device->FindTexture("Newspaper5")->fileName, "Data\\Gfx\\Newspaper3.jpg");
}

// ---- Players ----

std::vector<std::string> Rows(CGameScreens& s)
{
    std::vector<std::string> rows;
    for (const auto& r : s.profiles.rows)
        rows.push_back(Caption(r) + (Box(r).IsChecked() ? "*" : "") + (r->active ? "" : "-"));
    return rows;
}

TEST_F(ScreenCommands, WithoutPlayersTheFirstRowMakesOne)
{
    Load();
    s().RefreshProfileRows();
    const std::string fresh = GetString(26);
    EXPECT_EQ(Rows(s()), (std::vector<std::string>{fresh + "*", "-", "-", "-", "-", "-"}));
    rig.Show(s().profiles.form);
    EXPECT_TRUE(rig.Press(*s().profiles.rows.At(0)).empty());
    rig.Settle();
    EXPECT_TRUE(s().newProfile.form->IsVisible());
    EXPECT_EQ(Caption(s().newProfile.name), std::string(kDefaultPlayerName) + "|");
    EXPECT_TRUE(s().newProfile.cancel->IsVisible());
    EXPECT_EQ(s().profileSelected, -1);
}

TEST_F(ScreenCommands, EightPlayersScrollWithinTheList)
{
    Load({"Ada", "Bo", "Cy", "Di", "Ed", "Flo", "Gus", "Hal"});
    rig.Show(s().mainMenu.form);
    rig.Click(rig.Control(s().mainMenu.form, Command::Players));
    rig.Settle();
    const std::string fresh = GetString(26);
    EXPECT_EQ(Rows(s()), (std::vector<std::string>{fresh + "*", "Ada", "Bo", "Cy", "Di", "Ed"}));
    const auto& form = s().profiles.form;
    for (int i = 0; i < 5; ++i)
        rig.Click(rig.Control(form, Command::ProfileDown));
    EXPECT_EQ(s().profileScroll, 2); // six rows stay filled
    EXPECT_EQ(Rows(s()).back(), "Hal");
    for (int i = 0; i < 5; ++i)
        rig.Click(rig.Control(form, Command::ProfileUp));
    EXPECT_EQ(s().profileScroll, -1);
    // A press selects the row's player and marks that row alone.
    rig.Press(*s().profiles.rows.At(3));
    EXPECT_EQ(s().profileSelected, 2);
    EXPECT_EQ(Rows(s())[3], "Cy*");
    EXPECT_EQ(rig.Click(rig.Control(form, Command::ProfileOk)),
              std::vector<ScreenEvent>{Ev(K::Click, Command::ProfileOk)});
    rig.Settle();
    EXPECT_TRUE(s().mainMenu.form->IsVisible());
    EXPECT_EQ(Caption(s().mainMenu.playerLabel), GetString(25) + "Cy");
}

TEST_F(ScreenCommands, CancelReturnsToThePlayerOfBefore)
{
    Load({"Ada", "Bo", "Cy"});
    s().profileSelected = 1;
    rig.Show(s().mainMenu.form);
    rig.Click(rig.Control(s().mainMenu.form, Command::Players));
    rig.Settle();
    rig.Press(*s().profiles.rows.At(3)); // Cy
    EXPECT_EQ(rig.Click(rig.Control(s().profiles.form, Command::ProfileCancel)),
              std::vector<ScreenEvent>{Ev(K::Click, Command::ProfileCancel)});
    EXPECT_EQ(s().profileSelected, 1);
    // When that player is gone meanwhile, the selection stands and counts as chosen.
    rig.Settle();
    rig.Click(rig.Control(s().mainMenu.form, Command::Players));
    rig.Settle();
    s().Profiles()->DeleteProfile("Bo");
    EXPECT_EQ(rig.Click(rig.Control(s().profiles.form, Command::ProfileCancel)),
              std::vector<ScreenEvent>{Ev(K::Click, Command::ProfileOk)});
}

TEST_F(ScreenCommands, DeletingAsksThenRemovesThePlayer)
{
    Load({"Ada", "Bo"});
    s().profileSelected = 1;
    s().RefreshProfileRows();
    rig.Show(s().profiles.form);
    const auto& form = s().profiles.form;
    const auto& msg = s().msgBox;
    rig.Click(rig.Control(form, Command::ProfileDelete));
    rig.Settle();
    EXPECT_EQ(Caption(msg.text1), FormatTableText(31, 256, std::string("Bo")));
    EXPECT_TRUE(msg.groups[CGameScreens::kGroupDeleteKeep].At(0)->IsVisible());
    EXPECT_FALSE(form->active);
    rig.Click(*msg.groups[CGameScreens::kGroupDeleteKeep].At(1)); // keep
    rig.Settle();
    EXPECT_TRUE(form->active);
    EXPECT_EQ(s().Profiles()->Count(), 2u);
    rig.Click(rig.Control(form, Command::ProfileDelete));
    rig.Settle();
    rig.Click(*msg.groups[CGameScreens::kGroupDeleteKeep].At(0)); // delete
    rig.Settle();
    EXPECT_EQ(s().Profiles()->Count(), 1u);
    EXPECT_FALSE(plat::DirectoryExists(rig.log.Dir().Path() + "Players/Bo"));
    EXPECT_EQ(s().profileSelected, 0);
    EXPECT_EQ(s().profileScroll, -1);
    EXPECT_TRUE(form->active);
    // Deleting the last player leaves only the way forward: a new name.
    rig.Click(rig.Control(form, Command::ProfileDelete));
    rig.Settle();
    rig.Click(*msg.groups[CGameScreens::kGroupDeleteKeep].At(0));
    rig.Settle();
    EXPECT_TRUE(s().newProfile.form->IsVisible());
    EXPECT_FALSE(s().newProfile.cancel->IsVisible());
    EXPECT_FALSE(form->IsVisible());
}

class NameEntry : public ScreenCommands {
protected:
    void Open(const char* name, int mode, std::initializer_list<const char*> players = {})
    {
        Load(players);
        s().SetNameEntry(name, mode);
        rig.Show(s().newProfile.form);
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            s().OnNameChar(static_cast<unsigned char>(c));
    }
};

TEST_F(NameEntry, TakesTwelveNameCharactersAndEditsTheLast)
{
    Open("", 0);
    Type("Zoe!_ 9-abcdefg");
    EXPECT_EQ(s().EnteredName(), "Zoe_ 9-abcde"); // "!" is no name character; 12 at most
    s().OnNameChar(8);
    s().OnNameKey(37);
    EXPECT_EQ(s().EnteredName(), "Zoe_ 9-abc");
    EXPECT_EQ(Caption(s().newProfile.name), "Zoe_ 9-abc|");
    s().newProfile.form->SetVisible(false); // only while the form is shown
    Type("x");
    EXPECT_EQ(s().EnteredName(), "Zoe_ 9-abc");
}

TEST_F(NameEntry, StopsWhenTheNameNoLongerFitsOnOneLine)
{
    Open("", 0);
    s().newProfile.name->SetNoteWidth(5);
    Type("WWWWWWWWWWWW");
    const size_t kept = s().EnteredName().size();
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, 12u);
    std::string wrapped;
    s().newProfile.name->MainText()->WordWrap(s().EnteredName() + "W|", &wrapped);
    EXPECT_NE(wrapped.find(CText::kSoftBreak), std::string::npos);
}

TEST_F(NameEntry, RefusesEmptyAndTakenNames)
{
    Open("   ", 0, {"Anna"});
    EXPECT_EQ(s().OnNameKey(13), 0);
    EXPECT_EQ(Caption(s().newProfile.caption), GetString(29));
    s().SetNameEntry("aNNA", 0);
    EXPECT_EQ(s().OnNameKey(13), 0);
    EXPECT_EQ(Caption(s().newProfile.caption), GetString(28));
    EXPECT_TRUE(s().newProfile.form->IsVisible());
}

TEST_F(NameEntry, AtTheFirstStartTheNameBecomesThePlayer)
{
    Open("  Nora ", 0);
    EXPECT_EQ(s().OnNameKey(27), 0); // no way back at the first start
    EXPECT_EQ(s().OnNameKey(13), 3);
    EXPECT_TRUE(plat::DirectoryExists(rig.log.Dir().Path() + "Players/Nora"));
    EXPECT_EQ(s().profileSelected, 0);
    EXPECT_EQ(Caption(s().mainMenu.playerLabel), GetString(25) + "Nora");
    rig.Settle();
    EXPECT_TRUE(s().mainMenu.form->IsVisible());
    EXPECT_FALSE(s().newProfile.form->IsVisible());
}

TEST_F(NameEntry, FromTheListANewPlayerIsShownInItsRow)
{
    Open("Gil", 1, {"Ada", "Bo", "Cy", "Di", "Ed", "Fay"});
    // The click confirms as the key does, and goes back to the list.
    EXPECT_TRUE(rig.Click(rig.Control(s().newProfile.form, Command::NameOk)).empty());
    EXPECT_EQ(s().profileSelected, 6);
    EXPECT_EQ(s().profileScroll, 1); // so that it shows in the last row
    rig.Settle();
    EXPECT_TRUE(s().profiles.form->IsVisible());
    EXPECT_EQ(Rows(s()).back(), "Gil*");
}

TEST_F(NameEntry, EscapeFromTheListGoesBack)
{
    Open("Gil", 1);
    s().OnNameKey(27);
    rig.Settle();
    EXPECT_TRUE(s().profiles.form->IsVisible());
    EXPECT_FALSE(s().newProfile.form->IsVisible());
}

TEST_F(NameEntry, AFolderThatCannotBeMadeIsLogged)
{
    rig.paths.folders[CDataPaths::Players] = rig.log.Dir().Path() + "missing/Players/";
    Open("Nora", 0);
    EXPECT_EQ(s().OnNameKey(13), 0);
    EXPECT_NE(rig.log.Text().find("Error! Unable to create Profile!Nora\n"), std::string::npos);
    EXPECT_TRUE(s().newProfile.form->IsVisible());
}

} // namespace
