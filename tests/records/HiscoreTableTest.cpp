#include "RecordsTestSupport.h"

#include "engine/Log.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "records/HiscoreTable.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

// The default entries carry fresh GUIDs, and the checksum sums every byte of
// them: drawn from a fixed stream, every table and file here is the same on
// every run.
class HiscoreTable : public ::testing::Test {
protected:
    void SetUp() override { plat::SeedGuids(2718); }
    void TearDown() override { plat::UnseedGuids(); }
};

CHiscoreTable DefaultTable()
{
    CHiscoreTable table;
    table.SetDefaults(0, table.count - 1);
    return table;
}

std::vector<int32_t> Scores(const CHiscoreTable& table) { return table.scores; }

GuidBytes Tag(uint8_t b)
{
    GuidBytes g{};
    g.fill(b);
    return g;
}

TEST_F(HiscoreTable, DefaultTableAndRanks)
{
    const CHiscoreTable table = DefaultTable();
    EXPECT_EQ(Scores(table), (std::vector<int32_t>{10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000}));
    std::set<GuidBytes> distinct(table.guids.begin(), table.guids.end());
    EXPECT_EQ(distinct.size(), 10u);
    EXPECT_EQ(table.GetName(9), "Tarnwick    ");
    EXPECT_EQ(table.FindRank(1000), 10);
    EXPECT_EQ(table.FindRank(1001), 9);
    EXPECT_EQ(table.FindRank(10001), 0);

    CHiscoreTable big;
    big.topDefaultScore = 1500000;
    big.SetDefaults(0, 9);
    EXPECT_EQ(big.scores[0], 1500000);
    EXPECT_EQ(big.scores[9], 150000);
}

TEST_F(HiscoreTable, InsertKeepsOneEntryPerQuest)
{
    struct Case {
        const char* what;
        int owner; // entry given the quest's GUID first, -1 none
        int32_t score;
        int place;
        std::vector<int32_t> after;
    } cases[] = {
        {"new score in the middle", -1, 5500, 5, {10000, 9000, 8000, 7000, 6000, 5500, 5000, 4000, 3000, 2000}},
        {"not qualifying", -1, 1000, 10, {10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000}},
        {"quest falls back", 2, 5500, 4, {10000, 9000, 7000, 6000, 5500, 5000, 4000, 3000, 2000, 1000}},
        {"quest climbs", 6, 8500, 2, {10000, 9000, 8500, 8000, 7000, 6000, 5000, 3000, 2000, 1000}},
        {"quest stays in place", 4, 6500, 4, {10000, 9000, 8000, 7000, 6500, 5000, 4000, 3000, 2000, 1000}},
        {"quest drops out of reach", 9, 500, 9, {10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CHiscoreTable table = DefaultTable();
        if (c.owner >= 0)
            table.guids[static_cast<size_t>(c.owner)] = Tag(7);
        EXPECT_EQ(table.Insert(c.score, "Anna", Tag(7)), c.place);
        EXPECT_EQ(Scores(table), c.after);
        if (c.place < table.count) {
            EXPECT_EQ(table.GetName(c.place), "Anna        ");
            EXPECT_EQ(table.guids[static_cast<size_t>(c.place)], Tag(7));
        }
    }

    CHiscoreTable table = DefaultTable();
    table.Insert(9999, "ab!cd", Tag(1));
    EXPECT_EQ(table.GetName(1), "ab cd       ");
    table.Insert(9998, "Much_Too-Long Name", Tag(2));
    EXPECT_EQ(table.GetName(2), "Much_Too-Lon");
}

TEST_F(HiscoreTable, FileImageMatchesTheHandDerivedBytes)
{
    CHiscoreTable table = DefaultTable();
    for (int i = 0; i < 10; ++i) {
        table.names[static_cast<size_t>(i)] = "A           ";
        table.scores[static_cast<size_t>(i)] = 1;
        table.guids[static_cast<size_t>(i)] = GuidBytes{};
    }
    // One entry: 'A' ^ B3, eleven spaces ^ B3, score 1 ^ B3B3B3B3, sixteen zero bytes ^ B3.
    std::vector<uint8_t> entry = {0xF2};
    entry.insert(entry.end(), 11, 0x93);
    entry.insert(entry.end(), {0xB2, 0xB3, 0xB3, 0xB3});
    entry.insert(entry.end(), 16, 0xB3);
    std::vector<uint8_t> expected;
    for (int i = 0; i < 10; ++i)
        expected.insert(expected.end(), entry.begin(), entry.end());
    // Each entry sums to 5438, the table to 54380 = 0xD46C; scrambled: DF 67 B3 B3.
    expected.insert(expected.end(), {0xDF, 0x67, 0xB3, 0xB3});

    const std::vector<uint8_t> image = table.Serialize();
    ASSERT_EQ(image.size(), 324u);
    EXPECT_EQ(image, expected);

    CHiscoreTable back;
    EXPECT_EQ(back.Parse(image.data(), image.size()), 1);
    EXPECT_EQ(back.Serialize(), image);
}

TEST_F(HiscoreTable, DamagedFilesFallBackToDefaults)
{
    CHiscoreTable source = DefaultTable();
    for (int i = 0; i < 10; ++i)
        source.scores[static_cast<size_t>(i)] = 20000 - 1000 * i;
    const std::vector<uint8_t> good = source.Serialize();
    const std::vector<int32_t> defaults = Scores(DefaultTable());

    // Entry 3's score stored as 0: entries 0-2 stay, defaults from 3 on.
    {
        CHiscoreTable t;
        std::vector<uint8_t> bad = good;
        for (int i = 0; i < 4; ++i)
            bad[3 * 32 + 12 + static_cast<size_t>(i)] = 0xB3;
        EXPECT_EQ(t.Parse(bad.data(), bad.size()), 0);
        EXPECT_EQ(Scores(t),
                  (std::vector<int32_t>{20000, 19000, 18000, 7000, 6000, 5000, 4000, 3000, 2000, 1000}));
    }
    // A changed byte breaks the checksum; any cut gives defaults from the cut
    // entry, or all of them once the entries are whole.
    {
        std::vector<uint8_t> bad = good;
        bad[5] ^= 0x01;
        CHiscoreTable t;
        EXPECT_EQ(t.Parse(bad.data(), bad.size()), 0);
        EXPECT_EQ(Scores(t), defaults);
    }
    for (size_t length = 0; length < good.size(); ++length) {
        CHiscoreTable t;
        ASSERT_EQ(t.Parse(good.data(), length), 0);
        const size_t whole = length / 32;
        for (size_t i = 0; i < 10; ++i) {
            const int32_t want = i < whole && length < 320 ? source.scores[i] : defaults[i];
            ASSERT_EQ(t.scores[i], want) << "cut at " << length << " entry " << i;
        }
    }
    // The sum covers all but the file's last four bytes: in a file one byte
    // longer it takes in the checksum word's first byte as well, so that file
    // is refused unless that byte is 0 (whatever the byte added). It is not 0
    // for this table's GUIDs.
    {
        ASSERT_NE(good[320], 0);
        std::vector<uint8_t> longer = good;
        longer.push_back(0);
        CHiscoreTable t;
        EXPECT_EQ(t.Parse(longer.data(), longer.size()), 0);
        EXPECT_EQ(Scores(t), defaults);
    }
}

TEST_F(HiscoreTable, SavesAtomicallyAndOpensTheFileToEveryone)
{
    LoggedScratch dir;
    const std::string path = dir.File("Game0.tbl");
    CHiscoreTable table;
    EXPECT_EQ(table.Load(path), 0); // missing: defaults, nothing logged
    EXPECT_EQ(Scores(table), Scores(DefaultTable()));
    table.Insert(9500, "Anna", Tag(3));
    ASSERT_EQ(table.Save(), 1);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);

    CHiscoreTable back;
    EXPECT_EQ(back.Load(path), 1);
    EXPECT_EQ(back.Serialize(), table.Serialize());

    const std::vector<uint8_t> before = ReadBytes(path);
    back.Insert(9900, "Bert", Tag(4));
    plat::InjectWriteFailureForTests(200);
    EXPECT_EQ(back.Save(), 0);
    plat::InjectWriteFailureForTests(-1);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(dir.TakeLog(), "");
}

// A damaged or unreadable table is replaced by defaults with one log line
// naming it; a table not yet written is the first start and says nothing.
TEST_F(HiscoreTable, DamageIsNamedInTheLog)
{
    LoggedScratch dir;
    const std::string path = dir.File("Game0.tbl");
    std::vector<uint8_t> bytes = DefaultTable().Serialize();
    bytes[40] ^= 0x10;
    WriteBytes(path, bytes);
    CHiscoreTable table;
    EXPECT_EQ(table.Load(path), 0);
    EXPECT_EQ(Scores(table), Scores(DefaultTable()));
    EXPECT_EQ(dir.TakeLog(),
              " Warning! Hiscore table " + path + " is damaged: default scores stand for its damaged entries\n");

    ASSERT_TRUE(plat::RemoveFile(path));
    ASSERT_TRUE(plat::CreateDirectory(path));
    EXPECT_EQ(table.Load(path), 0);
    EXPECT_EQ(Scores(table), Scores(DefaultTable()));
    EXPECT_EQ(dir.TakeLog(), " Warning! File " + path + " is a folder, not a file: it is not read\n" +
                                 " Warning! Hiscore table " + path +
                                 " cannot be read: the default scores stand\n");
}

} // namespace
