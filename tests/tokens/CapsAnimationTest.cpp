// The caps animation script: the shipped file, and the log lines of every
// kind of damage.
#include "tokens/CapsAnimation.h"
#include "engine/Log.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

// The log goes to a scratch folder while the test runs.
class CapsAnimationFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDataFoldersForTests(dir.Path(), dir.Path());
        SetLogName("Objects.log");
        ClearLog();
    }
    void TearDown() override { testing_support::ResetDataFolders(); }

    // Loads `text` as the whole file; the log it wrote.
    std::string Load(const std::string& text, bool* ok, std::vector<CCapsAnimation>* out = nullptr)
    {
        WriteText(dir.File("CapsAnimation.dat"), text);
        std::vector<CCapsAnimation> animations;
        *ok = LoadCapsAnimations(dir.Path(), out ? out : &animations);
        return ReadText(dir.File("Objects.log"));
    }

    // `count` valid one-frame animations.
    static std::string Plain(int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += "TEXTURESIZE 512 256\nFRAME 0 0 0 128 128\nTRACK ( 0 )\n";
        return text;
    }

    ScratchDir dir;
};

} // namespace

TEST_F(CapsAnimationFile, ShippedFileHoldsSeventeenAnimations)
{
    std::vector<CCapsAnimation> animations;
    ASSERT_TRUE(LoadCapsAnimations("Data\\", &animations));
    ASSERT_EQ(animations.size(), 17u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(animations[i].track.size(), 1u) << i;
    for (int i = 8; i < 16; ++i)
        EXPECT_GE(animations[i].track.size(), 3u) << i;
    EXPECT_GE(animations[16].track.size(), 2u);
    // The steel token is the last cell of the 512 x 256 board atlas.
    const CapFrame& steel = animations[7].frames[0];
    EXPECT_FLOAT_EQ(steel.uLeft, 0.75f);
    EXPECT_FLOAT_EQ(steel.vTop, 0.5f);
    EXPECT_FLOAT_EQ(steel.uRight, 1.0f);
    EXPECT_FLOAT_EQ(steel.vBottom, 1.0f);
}

TEST_F(CapsAnimationFile, KeywordsInAnyCaseAndTheLastFrameAreAccepted)
{
    bool ok = false;
    std::vector<CCapsAnimation> animations;
    const std::string first = "texturesize 256 128\nframe 0 0 0 64 64\nFrame 1 64 0 128 64\ntrack ( 1 0 1 )\n";
    Load(first + Plain(16), &ok, &animations);
    ASSERT_TRUE(ok);
    EXPECT_EQ(animations[0].track, (std::vector<int>{1, 0, 1}));
    EXPECT_FLOAT_EQ(animations[0].frames[1].uLeft, 0.25f);
    EXPECT_FLOAT_EQ(animations[0].frames[1].vBottom, 0.5f);
}

TEST_F(CapsAnimationFile, DamageIsLoggedWithItsLine)
{
    struct Case {
        const char* name;
        std::string text;
        std::string logged;
    } cases[] = {
        {"first frame numbered 1", "TEXTURESIZE 512 256\nFRAME 1 0 0 1 1\nTRACK ( 0 )\n",
         "Wrong FrameNum in line  2 "},
        {"empty track", "TEXTURESIZE 512 256\nFRAME 0 0 0 1 1\nTRACK ( )\n", "Unexpected End of file\n"},
        {"track entry past the frames", "TEXTURESIZE 512 256\nFRAME 0 0 0 1 1\nTRACK ( 1 )\n",
         "Wrong FrameNum in line  3 "},
        {"width 0", "TEXTURESIZE 0 256\n", "Unexpected Token <0> in Line 1 "},
        {"unknown keyword", "TEXTURESIZE 8 8\nFRAMES 0 0 0 1 1\n", "Unexpected Token <FRAMES> in Line 2 "},
        {"track without its bracket", "TEXTURESIZE 8 8\nFRAME 0 0 0 1 1\nTRACK 0 )\n",
         "Unexpected Token <0> in Line 3 "},
        {"only sixteen animations", Plain(16), "Unexpected End of file\n"},
    };
    for (const Case& c : cases) {
        bool ok = true;
        ClearLog();
        const std::string log = Load(c.text, &ok);
        EXPECT_FALSE(ok) << c.name;
        EXPECT_NE(log.find(c.logged), std::string::npos) << c.name << ": " << log;
        EXPECT_NE(log.find("Unable to Load Caps Animation!\n"), std::string::npos) << c.name;
    }
}

TEST_F(CapsAnimationFile, MissingFileIsLogged)
{
    std::vector<CCapsAnimation> animations;
    EXPECT_FALSE(LoadCapsAnimations(dir.Path() + "nowhere/", &animations));
    EXPECT_NE(ReadText(dir.File("Objects.log")).find("Unable to open file CapsAnimation.dat!"), std::string::npos);
}
