// "Score.cfg": defaults, conversions, the checks on times and colour
// tables, and the combo-message choice.
#include "effects/overlays/ScoreSettings.h"

#include "TestSupport.h"
#include "engine/StringTable.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kFullTurn = 6.2831853f;

struct ScoreFile {
    explicit ScoreFile(const std::string& text) { testing_support::WriteText(path, text); }
    testing_support::ScratchDir dir;
    std::string path = dir.File("Score.cfg");
};

} // namespace

TEST(ScoreSettings, AMissingFileGivesEveryDefault)
{
    CScoreMessageSettings s;
    s.Load("no such folder/Score.cfg");
    EXPECT_EQ(s.z, 0.0f);
    for (const auto& row : s.combo)
        for (int threshold : row)
            EXPECT_EQ(threshold, 5);
    EXPECT_FLOAT_EQ(s.score.speed.y, -80); // drifts down the screen
    EXPECT_EQ(s.score.color, 0xffffa050u);
    EXPECT_FALSE(s.score.shadow);
    EXPECT_FLOAT_EQ(s.score.shadowShift.y, -2);
    EXPECT_EQ(s.score.shadowColor, 0x80000000u);
    EXPECT_FLOAT_EQ(s.message.pulseSpeed, kFullTurn);
    EXPECT_FLOAT_EQ(s.message.pulseDepth, 0.1f);
    ASSERT_EQ(s.messageColors.size(), 1u);
    EXPECT_EQ(s.messageColors[0], 0xffa0a0ffu);
    EXPECT_FLOAT_EQ(s.multiplier.speed.y, 50); // rises
    EXPECT_FLOAT_EQ(s.multiplier.minSize, 0.8f);
    EXPECT_FLOAT_EQ(s.caption.bloomTime, 0.3f);

    CStarAwardSettings star;
    star.Load("no such folder/Score.cfg", "Star");
    EXPECT_FLOAT_EQ(star.from.x, 649 - 512.5f);
    EXPECT_FLOAT_EQ(star.from.y, 384.5f - 730);
    EXPECT_FLOAT_EQ(star.to.y, 384.5f - 256);
    EXPECT_EQ(star.count, 19);
    EXPECT_FLOAT_EQ(star.preTime + star.flyTime + star.ringTime + star.postTime + star.flyOutTime, 4.0f);
    CLifeLostSettings loss;
    EXPECT_FLOAT_EQ(loss.heartRect.x, 102.0f / 256);
    EXPECT_FLOAT_EQ(loss.flyTime + loss.waitTime + loss.postTime, 2.9f);
}

TEST(ScoreSettings, KeysAreConvertedAndCheckedAsTheyAreRead)
{
    ScoreFile file(
        "[Shared]\nZ=-7\nCombo5_1=3\nCombo7_4=12\n"
        "[Score]\nSpeed=4 60\nShadow=2\nSwellTime=0\nFadeTime=-1\nLifeTime=nan\n"
        "[Message]\nShadow=1\nShadowShift=3 3\nPulsT=0.5\nColors=3\nColor0=1 2 3 4\nColor2=999 0 0 255\n"
        "[Multiplier]\nBloomTime=inf\n"
        "[Loss]\nColor=10 20 30 40\nFadeTime=0\n"
        "HeartT=24 24 232 232\nFrom=0 0 -50\nFlyTime=0\nWaitTime=0\n"
        "[Star]\nFlyTime=0\nRingTime=-2\nFlyOutTime=nan\nPreTime=0\nPostTime=-1\nCount=0\n"
        "RadialIntensity=1e12\nBaseLeft=100 700 -9\n");
    CScoreMessageSettings s;
    s.Load(file.path);
    EXPECT_EQ(s.z, -7.0f);
    EXPECT_EQ(s.ComboThreshold(5, 1), 3);
    EXPECT_EQ(s.ComboThreshold(7, 4), 12);
    EXPECT_FLOAT_EQ(s.score.speed.x, 4);
    EXPECT_FLOAT_EQ(s.score.speed.y, -60);
    EXPECT_FALSE(s.score.shadow); // only exactly 1 turns it on
    EXPECT_FLOAT_EQ(s.score.swellTime, 0.25f);
    EXPECT_FLOAT_EQ(s.score.fadeTime, 0.5f);
    EXPECT_FLOAT_EQ(s.score.lifeTime, 0.75f);
    EXPECT_TRUE(s.message.shadow);
    EXPECT_FLOAT_EQ(s.message.shadowShift.y, -3);
    EXPECT_FLOAT_EQ(s.message.pulseSpeed, 2 * kFullTurn);
    ASSERT_EQ(s.messageColors.size(), 3u);
    EXPECT_EQ(s.messageColors[0], 0x04010203u);
    EXPECT_EQ(s.messageColors[1], 0xffa0a0ffu); // missing: the default
    EXPECT_EQ(s.messageColors[2], 0xffff0000u); // kept in its byte
    EXPECT_FLOAT_EQ(s.multiplier.bloomTime, 0.3f);
    EXPECT_EQ(s.caption.color, 0x280a141eu);
    EXPECT_FLOAT_EQ(s.caption.fadeTime, 0.5f);

    CStarAwardSettings star;
    star.Load(file.path, "Star");
    EXPECT_FLOAT_EQ(star.flyTime, 1.0f);
    EXPECT_FLOAT_EQ(star.ringTime, 0.5f);
    EXPECT_FLOAT_EQ(star.flyOutTime, 0.5f);
    EXPECT_FLOAT_EQ(star.preTime, 0.0f); // no wait is a wait
    EXPECT_FLOAT_EQ(star.postTime, 1.5f);
    EXPECT_EQ(star.count, 1);
    EXPECT_FLOAT_EQ(star.radialIntensity, CStarAwardSettings::kMaxIntensity);
    EXPECT_FLOAT_EQ(star.baseLeft.x, 100 - 512.5f);
    EXPECT_FLOAT_EQ(star.baseLeft.y, 384.5f - 700);
    EXPECT_FLOAT_EQ(star.baseLeft.z, -9);

    CLifeLostSettings loss;
    loss.Load(file.path, "Loss");
    EXPECT_FLOAT_EQ(loss.heartRect.x, 24.0f / 256);
    EXPECT_FLOAT_EQ(loss.heartRect.w, 232.0f / 256);
    EXPECT_FLOAT_EQ(loss.from.x, -512.5f);
    EXPECT_FLOAT_EQ(loss.from.y, 384.5f);
    EXPECT_FLOAT_EQ(loss.flyTime, 0.9f);
    EXPECT_FLOAT_EQ(loss.waitTime, 0.0f);
}

TEST(ScoreSettings, MessageColourTablesOfEverySize)
{
    struct Case {
        const char* colours;
        size_t size;
    };
    for (const Case& c : {Case{"0", 0}, Case{"-3", 0}, Case{"2", 2}, Case{"500", 64}}) {
        ScoreFile file(std::string("[Message]\nColor1=0 255 0 255\nColors=") + c.colours + "\n");
        CScoreMessageSettings s;
        s.Load(file.path);
        EXPECT_EQ(s.messageColors.size(), c.size) << c.colours;
    }
    CScoreMessageSettings s;
    s.messageColors = {0xff000001, 0xff000002};
    EXPECT_EQ(s.MessageColor(1), 0xff000002u);
    EXPECT_EQ(s.MessageColor(4), 0xff000002u); // past the table: its last colour
    EXPECT_EQ(s.MessageColor(-1), 0xff000001u);
    s.messageColors.clear();
    EXPECT_EQ(s.MessageColor(0), CScoreMessageSettings::kFallbackMessageColor);
}

TEST(ScoreSettings, TheComboMessageIsTheHighestWhoseThresholdTheCountReaches)
{
    LoadStrings("Data\\Txt\\Strings.txt");
    CScoreMessageSettings s;
    const int table[3][4] = {{3, 4, 6, 8}, {2, 3, 5, 6}, {2, 3, 4, 5}};
    std::copy(&table[0][0], &table[0][0] + 12, &s.combo[0][0]);
    struct Case {
        int colours, combo;
        int message;
        const char* text;
    };
    const Case cases[] = {
        {5, 2, 0, ""},
        {5, 3, 1, "GOOD\nCOMBO x3"},
        {4, 5, 2, "EXCELLENT\nCOMBO x5"}, // fewer colours use the row of 5
        {5, 7, 3, "IMPRESSIVE\nCOMBO x7"},
        {5, 11, 4, "INCREDIBLE\nCOMBO x11"},
        {6, 5, 3, "IMPRESSIVE\nCOMBO x5"},
        {6, 1, 0, ""},
        {9, 5, 4, "INCREDIBLE\nCOMBO x5"}, // more colours use the row of 7
    };
    for (const Case& c : cases) {
        const ComboMessage m = ChooseComboMessage(s, c.colours, c.combo);
        EXPECT_EQ(m.message, c.message) << c.colours << " " << c.combo;
        EXPECT_EQ(m.text, c.text);
        if (m.message > 0) {
            EXPECT_FLOAT_EQ(m.scale, 0.8f + 0.2f * static_cast<float>(c.message - 1));
            EXPECT_EQ(m.style, c.message - 1);
        }
    }
    // With the defaults every combo of five or more shows the fourth message.
    const CScoreMessageSettings defaults;
    EXPECT_EQ(ChooseComboMessage(defaults, 7, 5).message, 4);
    EXPECT_EQ(ChooseComboMessage(defaults, 7, 4).message, 0);
}
