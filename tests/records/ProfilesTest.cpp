#include "RecordsTestSupport.h"

#include "engine/Settings.h"
#include "platform/Files.h"
#include "records/Options.h"
#include "records/Profiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

std::vector<std::string> Names(const CProfiles& profiles)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < profiles.Count(); ++i)
        names.push_back(profiles.At(i)->Name());
    return names;
}

TEST(Profiles, ListingCreatingAndFindingIgnoreCase)
{
    ScratchDir players;
    plat::CreateDirectory(players.File("Thirteenchars"));
    plat::CreateDirectory(players.File("Twelve_chars"));
    WriteText(players.File("Loose.txt"), "not a profile");
    // Folders the name entry could not have made: a separator in the game's
    // paths, a line break for "Options.ini", a dot, and a link to elsewhere.
    for (const char* odd : {"Ann\\Bert", "Ann\nBert", "..x", "Ann.Bert"})
        ASSERT_EQ(mkdir((players.Path() + odd).c_str(), 0755), 0) << odd;
    ScratchDir elsewhere;
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), players.File("Linked").c_str()), 0);

    CProfiles profiles(players.Path());
    EXPECT_EQ(Names(profiles), std::vector<std::string>{"Twelve_chars"});
    EXPECT_EQ(profiles.CreateProfile("ANNA"), 1);
    EXPECT_EQ(profiles.CreateProfile("anna"), 0);
    EXPECT_EQ(profiles.CreateProfile("bad/name"), 0);
    EXPECT_EQ(profiles.CreateProfile(""), 0);
    EXPECT_EQ(Names(profiles), (std::vector<std::string>{"ANNA", "Twelve_chars"}));
    EXPECT_EQ(profiles.FindProfile("anna"), 0);
    EXPECT_EQ(profiles.FindProfile("AnNa"), 0);
    EXPECT_EQ(profiles.FindProfile("Ann"), -1);
    EXPECT_EQ(profiles.FindProfile("twelve_CHARS"), 1);
}

TEST(Profiles, DeletingRemovesTheStoredFolderOrNothing)
{
    ScratchDir players;
    CProfiles profiles(players.Path());
    profiles.CreateProfile("Anna");
    profiles.CreateProfile("Bert");
    profiles.At(0)->SaveSettings(players.Path() + "Anna");
    WriteText(players.File("Anna/Quest.sav"), "x");
    WriteText(players.File("Anna/Quest.sav.tmpa1B2c3"), "left by a crash in the middle of a save");

    profiles.DeleteProfile("Nobody");
    EXPECT_EQ(Names(profiles), (std::vector<std::string>{"Anna", "Bert"}));
    EXPECT_TRUE(plat::DirectoryExists(players.File("Anna")));

    profiles.DeleteProfile("ANNA"); // the folder removed is "Anna", the stored name
    EXPECT_EQ(Names(profiles), std::vector<std::string>{"Bert"});
    EXPECT_FALSE(plat::DirectoryExists(players.File("Anna")));

    // A link among the players is no profile, and removing it as a profile
    // folder touches nothing where it points.
    ScratchDir elsewhere;
    WriteText(elsewhere.File("Quest.sav"), "someone else's");
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), players.File("Evil").c_str()), 0);
    profiles.Refresh();
    EXPECT_EQ(profiles.FindProfile("Evil"), -1);
    EXPECT_EQ(RemoveProfileFolder(players.Path() + "Evil"), 0);
    EXPECT_TRUE(plat::FileExists(elsewhere.File("Quest.sav")));

    // A file with a longer name keeps the folder; the profile's own files go.
    WriteText(players.File("Bert/Settings.ini"), "[Main]\n");
    WriteText(players.File("Bert/a_very_long_name.txt"), "keep");
    EXPECT_EQ(RemoveProfileFolder(players.Path() + "Bert"), 0);
    EXPECT_FALSE(plat::FileExists(players.File("Bert/Settings.ini")));
    EXPECT_TRUE(plat::FileExists(players.File("Bert/a_very_long_name.txt")));
}

TEST(Profiles, SettingsReadRulesAndRoundTrip)
{
    ScratchDir players;
    plat::CreateDirectory(players.File("Cora"));
    WriteText(players.File("Cora/Settings.ini"),
              "[Main]\nVeteran=1x\nQuestTutorial=1\nSingleTutorial=07\n[QuestTut]\nBase=2\nGem=1\nShop=01\n");
    CProfile cora("Cora");
    EXPECT_EQ(cora.LoadSettings(players.Path() + "Cora"), 1);
    EXPECT_EQ(cora.veteran, 1);
    EXPECT_EQ(cora.questTutorial, 0);
    EXPECT_EQ(cora.singleTutorial, 0);
    EXPECT_EQ(cora.tutBase, 0);
    EXPECT_EQ(cora.tutGem, 1);
    EXPECT_EQ(cora.tutShop, 1);

    CProfile fresh("Dora");
    plat::CreateDirectory(players.File("Dora"));
    fresh.LoadSettings(players.Path() + "Dora"); // makes the empty file, reads the defaults
    EXPECT_TRUE(plat::FileExists(players.File("Dora/Settings.ini")));
    EXPECT_EQ(fresh.veteran, 0);
    EXPECT_EQ(fresh.singleTutorial, 1);
    EXPECT_EQ(fresh.questTutorial, 1);
    fresh.tutTimer = 1;
    fresh.tutSteel = 1;
    fresh.singleTutorial = 0;
    ASSERT_TRUE(fresh.SaveSettings(players.Path() + "Dora"));
    CProfile back("Dora");
    back.LoadSettings(players.Path() + "Dora");
    EXPECT_EQ(back.tutTimer, 1);
    EXPECT_EQ(back.tutSteel, 1);
    EXPECT_EQ(back.tutWrong, 0);
    EXPECT_EQ(back.singleTutorial, 0);
    EXPECT_EQ(ReadIniString(players.File("Dora/Settings.ini"), "QuestTut", "Lock", "?"), "0");
    back.ResetQuestTutorial();
    EXPECT_EQ(back.tutTimer, 0);
}

TEST(Profiles, CurrentProfileFallsBackToTheFirstAndIsWrittenBack)
{
    ScratchDir players;
    ScratchDir config;
    const std::string options = config.File("Options.ini");
    CGameOptions game;
    {
        CProfiles none(players.Path());
        EXPECT_EQ(SelectCurrentProfile(none, game, options), -1);
        EXPECT_FALSE(plat::FileExists(options));
    }
    plat::CreateDirectory(players.File("Bert"));
    plat::CreateDirectory(players.File("Anna"));
    CProfiles profiles(players.Path());
    game.profile = "bert";
    EXPECT_EQ(SelectCurrentProfile(profiles, game, options), 1);
    EXPECT_EQ(game.profile, "bert");
    EXPECT_FALSE(plat::FileExists(options));

    game.profile = "Spieler";
    EXPECT_EQ(SelectCurrentProfile(profiles, game, options), 0);
    EXPECT_EQ(game.profile, "Anna");
    EXPECT_EQ(profiles.current, 0);
    EXPECT_EQ(ReadIniString(options, "Game", "Profile", "?"), "Anna");
}

} // namespace
