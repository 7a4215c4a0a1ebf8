#include "records/Options.h"

#include "RecordsTestSupport.h"
#include "TestSupport.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

TEST(Options, DefaultsWhenTheFileIsMissing)
{
    ScratchDir dir;
    const std::string file = dir.File("Options.ini");
    CGraphicsOptions g;
    CSoundOptions s;
    CGameOptions game;
    g.Read(file);
    s.Read(file);
    EXPECT_EQ(game.Read(file), 1);
    EXPECT_EQ(g.graphicalCursor, 0); // "STANDARD"
    EXPECT_FLOAT_EQ(g.effects, 1.0f);
    EXPECT_FLOAT_EQ(g.gamma, 0.5f);
    EXPECT_EQ(s.soundOn, 1);
    EXPECT_FLOAT_EQ(s.soundPanFactor, 0.75f);
    EXPECT_EQ(s.musicAmplify, 75);
    EXPECT_EQ(game.profile, "Spieler");
}

TEST(Options, ValuesAreClampedAndWordsCompared)
{
    struct Case {
        const char* ini;
        void (*check)(const CGraphicsOptions&, const CSoundOptions&, const CGameOptions&);
    } cases[] = {
        {"[Graphics]\nCursor=graphical\n", [](auto& g, auto&, auto&) { EXPECT_EQ(g.graphicalCursor, 1); }},
        {"[Graphics]\nCursor=graphicalx\n", [](auto& g, auto&, auto&) { EXPECT_EQ(g.graphicalCursor, 0); }},
        {"[Graphics]\nEffects=0.1\nGamma=-1\n",
         [](auto& g, auto&, auto&) {
             EXPECT_FLOAT_EQ(g.effects, 0.25f);
             EXPECT_FLOAT_EQ(g.gamma, 0.0f);
         }},
        {"[Sound]\nSound=on\nMusic=maybe\n",
         [](auto&, auto& s, auto&) {
             EXPECT_EQ(s.soundOn, 1);
             EXPECT_EQ(s.musicOn, 0);
         }},
        {"[Sound]\nMusicAmplify=200\nSoundPanFactor=0\nSoundVolume=3\n",
         [](auto&, auto& s, auto&) {
             EXPECT_EQ(s.musicAmplify, 100);
             EXPECT_FLOAT_EQ(s.soundPanFactor, 0.01f);
             EXPECT_FLOAT_EQ(s.soundVolume, 1.0f);
         }},
        {"[Sound]\nMusicAmplify=abc\n", [](auto&, auto& s, auto&) { EXPECT_EQ(s.musicAmplify, 5); }},
        {"[Graphics]\nGamma=nan\nEffects=NAN\n[Sound]\nSoundVolume=nan\nSoundPanFactor=nan\n",
         [](auto& g, auto& s, auto&) {
             EXPECT_FLOAT_EQ(g.gamma, 0.5f);
             EXPECT_FLOAT_EQ(g.effects, 1.0f);
             EXPECT_FLOAT_EQ(s.soundVolume, 0.5f);
             EXPECT_FLOAT_EQ(s.soundPanFactor, 0.75f);
         }},
        {"[Game]\nCapsLockTutorial=2\nFastExpTerm=2\nProfile=Mira\n",
         [](auto&, auto&, auto& game) {
             EXPECT_EQ(game.capsLockTutorial, 0);
             EXPECT_EQ(game.fastExpTerm, 1);
             EXPECT_EQ(game.profile, "Mira");
         }},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        WriteText(dir.File("Options.ini"), c.ini);
        CGraphicsOptions g;
        CSoundOptions s;
        CGameOptions game;
        g.Read(dir.File("Options.ini"));
        s.Read(dir.File("Options.ini"));
        game.Read(dir.File("Options.ini"));
        SCOPED_TRACE(c.ini);
        c.check(g, s, game);
    }
}

TEST(Options, WritesKeepHandEditedKeys)
{
    ScratchDir dir;
    const std::string file = dir.File("Options.ini");
    WriteText(file, "[Sound]\nSound=On\nSoundPanFactor=0.3\n");
    CSoundOptions s;
    s.Read(file);
    s.soundOn = 0;
    s.soundVolume = 0.25f;
    ASSERT_TRUE(s.Write(file));
    EXPECT_EQ(ReadText(file), "[Sound]\nSound=Off\nSoundPanFactor=0.3\nSoundVolume=0.250\nMusic=On\n"
                              "MusicVolume=0.500\nMusicAmplify=75\n");
    CGameOptions game;
    game.profile = "Ann";
    game.capsLockTutorial = 0;
    ASSERT_TRUE(game.Write(file));
    CGameOptions back;
    back.Read(file);
    EXPECT_EQ(back.profile, "Ann");
    EXPECT_EQ(back.capsLockTutorial, 0);
}

TEST(Options, WriteToAnUnreadableFileFailsAloudAndLeavesIt)
{
    LoggedScratch dir;
    const std::string file = dir.File("Options.ini");
    ASSERT_TRUE(plat::CreateDirectory(file)); // there, and not readable as a file
    CGameOptions game;
    EXPECT_FALSE(game.Write(file));
    EXPECT_TRUE(plat::DirectoryExists(file));
    const std::string log = dir.TakeLog();
    EXPECT_NE(log.find(" Unable to write [Game] Profile to " + file + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" Unable to write [Game] CapsLockTutorial to " + file + "\n"), std::string::npos);
}

TEST(Options, DisplayModeColourDepths)
{
    ScratchDir dir;
    const std::string file = dir.File("Options.ini");
    struct Case {
        int32_t format;
        const char* colorMode;
    } cases[] = {{21, "32"}, {22, "32"}, {20, "24"}, {23, "16"}, {24, "16"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteDisplayModeSettings(file, 1024, 768, c.format, 1));
        EXPECT_NE(ReadText(file).find(std::string("ColorMode=") + c.colorMode + "\n"), std::string::npos);
    }
    EXPECT_NE(ReadText(file).find("FullScreen=1\n"), std::string::npos);
}

} // namespace
