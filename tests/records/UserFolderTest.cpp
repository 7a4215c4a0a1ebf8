// The start-up housekeeping of the user folder: leftovers of interrupted
// writes anywhere in it go, other files and what lies behind a link stay,
// and each player's pending checkpoint is put in place.
#include "RecordsTestSupport.h"

#include "platform/Files.h"
#include "records/QuestSave.h"
#include "records/UserFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using testing_support::WriteText;

namespace {

TEST(UserFolder, StartUpSweepsLeftoversAndFinishesCheckpoints)
{
    LoggedScratch dir;
    testing_support::ScratchDir elsewhere;
    const std::string user = dir.Path();
    for (const char* folder : {"Players", "Players/Anna", "Players/Bert", "Data", "Data/Config"})
        ASSERT_TRUE(plat::CreateDirectory(dir.File(folder)));
    const char* leftovers[] = {"Game0.tbl.tmpAbC123", "Players/Anna/Quest.sav.tmpzzzzzz",
                               "Data/Config/Options.ini.tmp000000"};
    const char* kept[] = {"notes.tmp12", "Players/Bert/Quest.sav", "Data/Config/Options.ini"};
    for (const char* name : leftovers)
        WriteText(dir.File(name), "half");
    for (const char* name : kept)
        WriteText(dir.File(name), "whole");
    // A link to a folder elsewhere: what lies there is not the game's.
    WriteText(elsewhere.File("Mine.txt.tmpAbC123"), "not ours");
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), dir.File("Players/Link").c_str()), 0);

    CQuestSave checkpoint;
    checkpoint.resumeKind = 8;
    checkpoint.level = 7;
    ASSERT_EQ(checkpoint.Save(dir.File("Players/Anna/QuestNew.sav")), 1);
    dir.TakeLog();

    TidyUserFolder(user);
    for (const char* name : leftovers)
        EXPECT_FALSE(plat::FileExists(dir.File(name))) << name;
    for (const char* name : kept)
        EXPECT_TRUE(plat::FileExists(dir.File(name))) << name;
    EXPECT_TRUE(plat::FileExists(elsewhere.File("Mine.txt.tmpAbC123")));
    CQuestSave probe;
    ASSERT_EQ(probe.Load(dir.File("Players/Anna/QuestAS1.sav")), 1);
    EXPECT_EQ(probe.level, 7);
    EXPECT_FALSE(plat::FileExists(dir.File("Players/Anna/QuestNew.sav")));
    EXPECT_EQ(dir.TakeLog(), " Removed 3 temporary file(s) that interrupted writes left in " + user +
                                 "\n Put in place the checkpoint " + user + "Players\\Anna\\QuestAS1.sav" +
                                 " that a stopped run left pending\n");

    TidyUserFolder(user); // nothing left to do says nothing
    EXPECT_EQ(dir.TakeLog(), "");
}

} // namespace
