#include "RecordsTestSupport.h"

#include "platform/Files.h"
#include "records/HiscoreTable.h"
#include "records/PlayerStats.h"
#include "records/Trophies.h"

#include <gtest/gtest.h>

using testing_support::ReadBytes;
using testing_support::WriteBytes;
using testing_support::WriteText;

namespace {

TEST(Trophies, EvaluateLevelByKind)
{
    struct Case {
        int kind, held;
        int32_t value;
        int level;
    } cases[] = {
        {0, 0, 0, 1},   {0, 0, 1, 2},  {0, 1, 1, 2},   {0, 2, 0, 0},       {0, 1, 0, 0},       {1, 1, 14, 0},
        {1, 1, 15, 2},  {1, 1, 40, 3}, {1, 0, 10, 1},  {1, 3, 99, 0},      {2, 0, 5, 0},       {2, 0, 6, 1},
        {2, 1, 9, 0},   {2, 1, 15, 3}, {2, 3, 99, 0},  {3, 0, 2500001, 3}, {3, 2, 2000000, 0}, {5, 0, 20, 2},
        {6, 2, 200, 3}, {4, 2, 1, 3},  {4, 2, 2, 0},   {4, 0, 3, 1},       {4, 0, 11, 0},      {7, 0, 8, 1},
        {7, 0, 7, 0},   {7, 1, 8, 0},  {8, 0, 0, 3},   {8, 0, 11, 0},      {8, 0, 10, 1},      {8, 1, 6, 0},
        {8, 1, 5, 2},   {8, 3, 0, 0},  {9, 0, 100, 0},
    };
    for (const Case& c : cases) {
        CTrophies t;
        if (c.kind < CTrophies::kKinds)
            t.levels[c.kind] = c.held;
        EXPECT_EQ(t.EvaluateLevel(c.kind, c.value), c.level)
            << "kind " << c.kind << " held " << c.held << " value " << c.value;
    }
}

TEST(Trophies, AwardsQueueOncePerKindAndCommitTogether)
{
    CTrophies t;
    t.RecordAward(3, 1);
    t.RecordAward(3, 2);
    t.RecordAward(3, 1);
    t.RecordAward(7, 1);
    ASSERT_EQ(t.pendingAwards.size(), 2u);
    EXPECT_EQ(t.pendingAwards[0], std::make_pair(3, 2));
    t.CommitAwards();
    EXPECT_TRUE(t.pendingAwards.empty());
    EXPECT_EQ(t.levels[3], 2);
    EXPECT_EQ(t.shownLevels[7], 1);

    CTrophies judged;
    CPlayerStats stats;
    stats.tables[1].Add(1250000, StatScore);
    stats.tables[1].Add(12, StatLongestCascade);
    CHiscoreTable table;
    table.topDefaultScore = 1500000;
    table.SetDefaults(0, 9);
    const TrophyValues v = MakeTrophyValues(stats, 16, 0, 8, table.FindRank(1250000) + 1, 4);
    EXPECT_EQ(JudgeTrophiesPartial(judged, v, 0), 1);
    ASSERT_EQ(judged.pendingAwards.size(), 1u); // kind 3 only: the cascade is left out
    EXPECT_EQ(JudgeTrophiesAfterGame(judged, v), 1);
    std::vector<std::pair<int32_t, int32_t>> expected = {{3, 2}, {1, 2}, {2, 2}, {4, 1}, {7, 1}, {8, 2}};
    EXPECT_EQ(judged.pendingAwards, expected);
}

TEST(Trophies, LevelsFileRoundTripsAndBadFilesWarn)
{
    LoggedScratch dir;
    const std::string path = dir.File("Trophies.dat");
    CTrophies t;
    const int32_t held[9] = {2, 3, 1, 0, 2, 3, 3, 1, 2};
    std::copy(std::begin(held), std::end(held), t.levels);
    ASSERT_EQ(t.Save(path), 1);
    std::vector<uint8_t> expected;
    for (int32_t level : held)
        PutWord(expected, static_cast<uint32_t>(level));
    EXPECT_EQ(ReadBytes(path), expected);
    CTrophies back;
    EXPECT_EQ(back.Load(path), 1);
    EXPECT_EQ(back.Serialize(), expected);
    EXPECT_EQ(back.shownLevels[5], 3);
    EXPECT_EQ(dir.TakeLog(), "");

    // A rejected file leaves no level of its own behind, wherever its fault.
    struct Case {
        const char* what;
        size_t offset;
        uint32_t word;
    } cases[] = {
        {"first value 3", 0, 3},      {"kind 1 at 4", 4, 4}, {"kind 7 at 2", 28, 2},
        {"negative", 16, 0xFFFFFFFF}, {"value 4", 32, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bad = expected;
        for (int i = 0; i < 4; ++i)
            bad[c.offset + static_cast<size_t>(i)] = static_cast<uint8_t>(c.word >> (8 * i));
        WriteBytes(path, bad);
        CTrophies loaded;
        loaded.levels[8] = 3;
        EXPECT_EQ(loaded.Load(path), 0);
        EXPECT_EQ(dir.TakeLog(), " Warning! Unable to load trophies information\n");
        for (size_t k = 0; k < 9; ++k)
            EXPECT_EQ(loaded.levels[k], 0) << "kind " << k;
        EXPECT_EQ(loaded.Serialize(), std::vector<uint8_t>(36, 0));
    }
    for (size_t length = 0; length < expected.size(); ++length) {
        CTrophies cut;
        EXPECT_EQ(cut.Parse(expected.data(), length), 0);
        EXPECT_EQ(cut.levels[0], 0);
    }
    CTrophies missing;
    EXPECT_EQ(missing.Load(dir.File("None.dat")), 0);
    EXPECT_EQ(dir.TakeLog(), " Warning! Unable to load trophies information\n");

    plat::InjectWriteFailureForTests(5);
    EXPECT_EQ(t.Save(path), 0);
    plat::InjectWriteFailureForTests(-1);
    EXPECT_EQ(dir.TakeLog(), " Can't save trophies information!\n");
}

TEST(Trophies, DescriptionsAndSettings)
{
    LoggedScratch dir;
    CTrophies shipped;
    ASSERT_EQ(shipped.LoadDescriptions("Data\\Txt\\Trophies.txt"), 1);
    for (int k = 0; k < CTrophies::kKinds; ++k)
        for (int level = 1; level <= CTrophies::kLevels[k]; ++level)
            EXPECT_FALSE(shipped.Description(k, level).empty()) << k << "/" << level;
    shipped.LoadSettings("Data\\Config\\Skin.cfg");
    EXPECT_EQ(shipped.pompaTime, 1.5f);
    EXPECT_EQ(shipped.backgroundSpeed.y, -0.038625f);

    const std::string path = dir.File("Trophies.txt");
    WriteText(path, "header\r\nfirst line\r\nsecond\r\n#\r\nnext\n# the end\nthird\n");
    CTrophies t;
    EXPECT_EQ(t.LoadDescriptions(path), 0);
    EXPECT_EQ(t.Description(0, 1), "first line\nsecond\n");
    EXPECT_EQ(t.Description(0, 2), "next\n");
    EXPECT_EQ(t.Description(1, 1), "third\n");
    EXPECT_EQ(t.Description(1, 2), "");
    EXPECT_EQ(t.descriptions[8].size(), 3u);
    EXPECT_EQ(dir.TakeLog(), " Error loading Trophies description\n");

    CTrophies none;
    EXPECT_EQ(none.LoadDescriptions(dir.File("Missing.txt")), 0);
    EXPECT_EQ(none.descriptions[0].size(), 2u);
    none.LoadSettings(dir.File("Missing.cfg"));
    EXPECT_EQ(none.postTime, 0.5f);
    EXPECT_EQ(none.backgroundSize.y, 0.75f);
    WriteText(dir.File("Skin.cfg"), "[Trophies]\nPompaTime=0\nPostTime=-2\nBackgroundTSize=2 0.5\n");
    none.LoadSettings(dir.File("Skin.cfg"));
    EXPECT_EQ(none.pompaTime, 1.5f);
    EXPECT_EQ(none.postTime, 0.5f);
    EXPECT_EQ(none.backgroundSize.x, 2.0f);
    EXPECT_EQ(dir.TakeLog(), "");
}

} // namespace
