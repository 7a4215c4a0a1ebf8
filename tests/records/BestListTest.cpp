#include "RecordsTestSupport.h"

#include "records/BestList.h"

#include <gtest/gtest.h>

using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

TEST(BestList, DefaultsAndRamps)
{
    CBestList scores(41), times(41);
    scores.SetDefaultScores();
    times.FillLinear(15, 1215);
    EXPECT_EQ(scores.Value(1), 20000);
    EXPECT_EQ(scores.Value(8), 90000);
    EXPECT_EQ(scores.Value(9), 50000);
    EXPECT_EQ(scores.Value(41), 210000);
    EXPECT_EQ(times.Value(1), 15);
    EXPECT_EQ(times.Value(2), 45);
    EXPECT_EQ(times.Value(41), 1215);
    EXPECT_EQ(times.Name(41), "expert");
}

TEST(BestList, FileImageMatchesTheHandDerivedBytes)
{
    CBestList list(2);
    list.SetEntry(1234, 1, "Ann");
    list.SetEntry(7, 2, "");
    const std::vector<uint8_t> expected = {3, 0, 0, 0, 'A', 'n', 'n', 0xD2, 0x04, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0};
    EXPECT_EQ(list.Serialize(), expected);

    LoggedScratch dir;
    ASSERT_EQ(list.Save(dir.File("Sc.bst")), 1);
    EXPECT_EQ(ReadBytes(dir.File("Sc.bst")), expected);
    CBestList back(2);
    EXPECT_EQ(back.Load(dir.File("Sc.bst")), 1);
    EXPECT_EQ(back.Name(1), "Ann");
    EXPECT_EQ(back.Value(2), 7);
}

TEST(BestList, BadFilesLogAndFallBackToTheRamp)
{
    LoggedScratch dir;
    CBestList source(41);
    for (int level = 1; level <= 41; ++level)
        source.SetEntry(level * 3, level, "P" + std::to_string(level));
    const std::vector<uint8_t> good = source.Serialize();
    const std::string path = dir.File("Sc.bst");

    // Entry 5 (0-based) claims a 41-byte name.
    std::vector<uint8_t> bad;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "P" + std::to_string(i + 1);
        PutWord(bad, static_cast<uint32_t>(name.size()));
        bad.insert(bad.end(), name.begin(), name.end());
        PutWord(bad, 1);
    }
    PutWord(bad, 41);
    bad.resize(bad.size() + 100, 'x');
    WriteBytes(path, bad);
    CBestList list(41);
    EXPECT_EQ(list.Load(path), 0);
    EXPECT_EQ(dir.TakeLog(), " Error loading " + path + "\n");
    EXPECT_EQ(list.Value(1), 10000);
    EXPECT_EQ(list.Value(41), 410000);
    EXPECT_EQ(list.Name(5), "P5");
    EXPECT_EQ(list.Name(6), "expert");

    for (size_t length = 0; length < good.size(); ++length) {
        CBestList cut(41);
        ASSERT_FALSE(cut.Parse(good.data(), length)) << "cut at " << length;
    }
    CBestList missing(41);
    EXPECT_EQ(missing.Load(dir.File("Ti.bst")), 0);
    EXPECT_EQ(missing.Value(2), 20000);
    EXPECT_EQ(dir.TakeLog(), "");
}

TEST(BestList, OnlyStrictlyBetterValuesAndKnownLevelsCount)
{
    CBestList list(41);
    list.SetEntry(500, 3, "Ann");
    EXPECT_EQ(list.IsBetterScore(500, 3), 0);
    EXPECT_EQ(list.IsBetterScore(501, 3), 1);
    EXPECT_EQ(list.IsBetterTime(500, 3), 0);
    EXPECT_EQ(list.IsBetterTime(499, 3), 1);
    for (int level : {0, 42, -1, 1000}) {
        EXPECT_EQ(list.IsBetterScore(1 << 30, level), 0);
        EXPECT_EQ(list.IsBetterTime(-1, level), 0);
        list.SetEntry(1, level, "X"); // ignored
    }
    list.SetEntry(9, 4, std::string(60, 'n'));
    EXPECT_EQ(list.Name(4).size(), 40u);
}

TEST(BestList, LevelResultsAddTheTimeBonusAndRecordBests)
{
    LoggedScratch dir;
    CBestList scores(41), times(41);
    scores.SetDefaultScores();
    times.FillLinear(15, 1215);
    CPlayerStats stats;
    stats.AddToRunTables(95000, StatScore);
    stats.tables[1].Add(5000, StatScore);
    stats.AddFloatToBoth(125.7f, StatSeconds);

    const LevelResults r = TallyLevelResults(stats, 8, 12.9f, 50, "Anna", scores, times, dir.Path());
    EXPECT_EQ(r.levelTime, 125);
    EXPECT_EQ(FormatMinutesSeconds(r.levelTime), "2:05");
    EXPECT_EQ(r.secondsLeft, 12);
    EXPECT_EQ(r.timeBonus, 600);
    EXPECT_EQ(r.levelScore, 95000);
    EXPECT_EQ(r.questScore, 100000);
    EXPECT_EQ(stats.tables[2].Get(StatScore), 95600);
    EXPECT_EQ(stats.tables[1].Get(StatScore), 100600);
    EXPECT_EQ(r.newBestScore, 1);
    EXPECT_EQ(r.newBestTime, 1);
    CBestList savedScores(41), savedTimes(41);
    ASSERT_EQ(savedScores.Load(dir.File("Sc.bst")), 1);
    ASSERT_EQ(savedTimes.Load(dir.File("Ti.bst")), 1);
    EXPECT_EQ(savedScores.Value(8), 95600);
    EXPECT_EQ(savedTimes.Value(8), 125);
    EXPECT_EQ(savedTimes.Name(8), "Anna");

    // The same level again with no time left: equal values are no new bests.
    CPlayerStats again;
    again.AddToRunTables(95600, StatScore);
    again.AddFloatToBoth(125.2f, StatSeconds);
    const LevelResults same = TallyLevelResults(again, 8, 0.0f, 50, "Bert", scores, times, dir.Path());
    EXPECT_EQ(same.timeBonus, 0);
    EXPECT_EQ(same.newBestScore, 0);
    EXPECT_EQ(same.newBestTime, 0);
    EXPECT_EQ(scores.Name(8), "Anna");

    // Seconds beyond any clock (as a damaged save may carry) are no new best time.
    CPlayerStats endless;
    endless.AddFloatToBoth(1.0e30f, StatSeconds);
    EXPECT_EQ(TallyLevelResults(endless, 8, 0.0f, 50, "Cora", scores, times, dir.Path()).newBestTime, 0);
    EXPECT_EQ(times.Value(8), 125);
}

} // namespace
