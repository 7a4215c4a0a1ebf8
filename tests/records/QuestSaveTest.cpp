#include "RecordsTestSupport.h"

#include "platform/Files.h"
#include "records/QuestSave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

constexpr uint32_t kStatsXor = 0x3e81d5b2u;
constexpr uint32_t kA = 0x5b07e2c4u;
constexpr uint32_t kB = 0x61f4a9d3u;
constexpr uint32_t kC = 0x002d93a1u;

int32_t GridValue(int grid, int row, int column)
{
    switch (grid) {
    case 0:
        return (row * 8 + column) % 7 + 1;
    case 1:
        return (row + column) % 2;
    case 2:
        return column % 8;
    case 3:
        return row % 4;
    default:
        return row == column ? 1 : 0;
    }
}

// The record the expected images below describe.
CQuestSave SampleSave(int resumeKind, int typeFlag)
{
    CQuestSave s;
    s.gameTypeFlag = typeFlag;
    for (size_t i = 0; i < 16; ++i)
        s.questGuid[i] = static_cast<uint8_t>(0xA0 + i);
    s.difficulty = 1;
    s.resumeKind = resumeKind;
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < 10; ++i)
            s.stats.tables[t].counters[static_cast<size_t>(i)] = static_cast<uint32_t>(t * 100 + i);
    s.level = 12;
    s.timeLeft = 60.0f;
    s.nextTimeWarning = 30.0f;
    s.lives = 3;
    s.sandAmount = 1.0f;
    for (int i = 0; i < 8; ++i)
        s.sandMeter[i] = static_cast<uint8_t>(i + 1);
    s.sandRateSteps = 2;
    s.gemsLeft = 5;
    s.gemGoal = 9;
    s.hintTimeLeft = 5.0f;
    s.extraIndex = -1;
    s.extraFlag = 1;
    if (resumeKind == 1)
        for (int g = 0; g < CQuestSave::GridCount; ++g)
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c < 8; ++c)
                    s.SetCell(g, r, c, GridValue(g, r, c));
    for (int i = 0; i < 16; ++i)
        s.itemLevels[i] = i;
    s.stars = 77;
    s.trophyCounter1 = 11;
    s.trophyCounter5 = 15;
    s.trophyCounter7 = 8;
    s.extraLifeSteps = 2;
    return s;
}

// The same record written out field by field from the file layout.
std::vector<uint8_t> ExpectedImage(int resumeKind, int typeFlag)
{
    std::vector<uint8_t> b = {'P', 'S', 'A', 'V', 2, 0, 0, 0};
    PutWord(b, static_cast<uint32_t>(typeFlag));
    for (int i = 0; i < 16; ++i)
        b.push_back(static_cast<uint8_t>(0xA0 + i));
    PutWord(b, 1);
    PutWord(b, static_cast<uint32_t>(resumeKind));
    for (int t : {0, 2, 1})
        for (int i = 0; i < 10; ++i)
            PutWord(b, static_cast<uint32_t>(t * 100 + i) ^ kStatsXor);
    PutWord(b, 12);
    PutWord(b, 0x42700000); // 60.0f
    PutWord(b, 0x41F00000); // 30.0f
    PutWord(b, 3 ^ kA);
    PutWord(b, 0x3F800000); // 1.0f
    for (int i = 1; i <= 8; ++i)
        b.push_back(static_cast<uint8_t>(i));
    PutWord(b, 2);
    PutWord(b, 5 ^ kA);
    PutWord(b, 9 ^ kA);
    PutWord(b, 0x40A00000); // 5.0f
    PutWord(b, 0xFFFFFFFF);
    PutWord(b, 1);
    if (resumeKind == 1)
        for (int g = 0; g < 5; ++g)
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c < 8; ++c)
                    PutWord(b, static_cast<uint32_t>(GridValue(g, r, c)));
    if (typeFlag == 0) {
        for (uint32_t i = 0; i < 16; ++i)
            PutWord(b, i ^ kB);
        PutWord(b, 77 ^ kC);
        PutWord(b, 4);
        for (uint32_t word : {1u, 11u, 5u, 15u, 7u, 8u, 13u, 2u})
            PutWord(b, word);
    }
    return b;
}

void SetWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (8 * i));
}

// Offsets in a file of resume kind 1 without the quest type flag.
constexpr size_t kOffTypeFlag = 8, kOffDifficulty = 28, kOffResume = 32, kOffLevel = 156, kOffLives = 168,
                 kOffRateSteps = 184;
constexpr size_t kOffTimeLeft = 160, kOffWarning = 164, kOffSand = 172, kOffGemsLeft = 188, kOffGemGoal = 192,
                 kOffHint = 196, kOffTotem = 200, kOffBlueTotems = 204;
// The seconds played of statistics table 2 (the tables go 0, 2, 1).
constexpr size_t kOffLevelSeconds = 36 + 40 + 4;
constexpr size_t kOffGrids = 208, kOffItems = 208 + 1280, kOffStars = kOffItems + 64, kOffCount = kOffStars + 4;
constexpr size_t kOffFirstKey = kOffCount + 4;

// The sizes of the format, each image spelled out; a record of another
// quest type than the game's own is written as the format says but never
// read back.
TEST(QuestSave, EachSizeMatchesItsHandDerivedImage)
{
    struct Case {
        int resumeKind, typeFlag;
        size_t size;
    } cases[] = {{1, 0, 1592}, {6, 0, 312}, {8, 0, 312}, {6, 1, 208}, {1, 1, 1488}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.resumeKind << " flag " << c.typeFlag);
        CQuestSave save = SampleSave(c.resumeKind, c.typeFlag);
        const std::vector<uint8_t> image = save.Serialize();
        EXPECT_EQ(image.size(), c.size);
        EXPECT_EQ(image, ExpectedImage(c.resumeKind, c.typeFlag));

        CQuestSave back;
        if (c.typeFlag != 0) {
            EXPECT_EQ(back.Parse(image.data(), image.size()), CQuestSave::Corrupted);
            continue;
        }
        ASSERT_EQ(back.Parse(image.data(), image.size()), CQuestSave::Ok);
        EXPECT_EQ(back.state, 2);
        EXPECT_EQ(back.Serialize(), image);
    }
    // Two scrambled words spelled out: lives 3 under mask A, stars 77 under mask C.
    const std::vector<uint8_t> shop = SampleSave(6, 0).Serialize();
    EXPECT_EQ(std::vector<uint8_t>(shop.begin() + 168, shop.begin() + 172),
              (std::vector<uint8_t>{0xC7, 0xE2, 0x07, 0x5B}));
    EXPECT_EQ(std::vector<uint8_t>(shop.begin() + 272, shop.begin() + 276),
              (std::vector<uint8_t>{0xEC, 0x93, 0x2D, 0x00}));
}

TEST(QuestSave, CorruptInputsAreRefusedWithTheirLogLine)
{
    LoggedScratch dir;
    const std::vector<uint8_t> good = ExpectedImage(1, 0);
    struct Case {
        const char* what;
        size_t offset;
        uint32_t word;
        const char* log;
    } cases[] = {
        {"magic", 0, 0x56415350 ^ 0x20, "Error. Corrupted file"},
        {"magic last byte", 0, 0x57415350, "Error. Corrupted file"},
        {"version 3", 4, 3, "Error. Unsupported file version"},
        {"resume kind 3", kOffResume, 3, "Error. Corrupted file"},
        {"difficulty 2", kOffDifficulty, 2, "Error. Corrupted file"},
        {"difficulty -1", kOffDifficulty, 0xFFFFFFFF, "Error. Corrupted file"},
        {"level 0", kOffLevel, 0, "Error. Corrupted file"},
        {"level 42", kOffLevel, 42, "Error. Corrupted file"},
        {"lives 1001", kOffLives, 1001 ^ kA, "Error. Corrupted file"},
        {"lives -1", kOffLives, 0xFFFFFFFF ^ kA, "Error. Corrupted file"},
        {"sand steps -1", kOffRateSteps, 0xFFFFFFFF, "Error. Corrupted file"},
        {"bonus kind 8", kOffGrids + 2 * 256, 8, "Error. Corrupted file"},
        {"bonus kind -1", kOffGrids + 2 * 256 + 60, 0xFFFFFFFF, "Error. Corrupted file"},
        {"bonus param 4", kOffGrids + 3 * 256 + 4, 4, "Error. Corrupted file"},
        {"stars 1001", kOffStars, 1001 ^ kC, "Error. Corrupted file"},
        {"pair count 14", kOffCount, 14, "Error. Corrupted file"},
        {"pair key 14", kOffFirstKey, 14, "Error. Corrupted file"},
        {"pair key -1", kOffFirstKey + 8, 0xFFFFFFFF, "Error. Corrupted file"},
        // What the game would act on, as only damage or a hand can make it.
        {"another quest type", kOffTypeFlag, 1, "Error. Corrupted file"},
        {"time left NaN", kOffTimeLeft, 0x7FC00000, "Error. Corrupted file"},
        {"time left infinite", kOffTimeLeft, 0x7F800000, "Error. Corrupted file"},
        {"time left -1", kOffTimeLeft, 0xBF800000, "Error. Corrupted file"},
        {"warning at 31 s", kOffWarning, 0x41F80000, "Error. Corrupted file"},
        {"warning at -2 s", kOffWarning, 0xC0000000, "Error. Corrupted file"},
        {"sand NaN", kOffSand, 0x7FC00000, "Error. Corrupted file"},
        {"hints -1 s", kOffHint, 0xBF800000, "Error. Corrupted file"},
        {"hints infinite", kOffHint, 0x7F800000, "Error. Corrupted file"},
        {"gems left -5", kOffGemsLeft, static_cast<uint32_t>(-5) ^ kA, "Error. Corrupted file"},
        {"gems to place -7", kOffGemGoal, static_cast<uint32_t>(-7) ^ kA, "Error. Corrupted file"},
        {"totem colour 7", kOffTotem, 7, "Error. Corrupted file"},
        {"totem colour -2", kOffTotem, 0xFFFFFFFE, "Error. Corrupted file"},
        {"blue totems 2", kOffBlueTotems, 2, "Error. Corrupted file"},
        {"seconds played NaN", kOffLevelSeconds, 0x7FC00000 ^ kStatsXor, "Error. Corrupted file"},
        {"seconds played -1", kOffLevelSeconds, 0xBF800000 ^ kStatsXor, "Error. Corrupted file"},
        {"extra-life steps -1", kOffFirstKey + 3 * 8 + 4, 0xFFFFFFFF, "Error. Corrupted file"},
    };
    const std::string path = dir.File("Quest.sav");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bad = good;
        SetWord(bad, c.offset, c.word);
        WriteBytes(path, bad);
        CQuestSave save = SampleSave(6, 0);
        EXPECT_EQ(save.Load(path), 0);
        EXPECT_EQ(save.state, 0);
        EXPECT_EQ(dir.TakeLog(), std::string(" ") + c.log + " " + path + "\n");
        // Nothing of the bad file reached the record.
        EXPECT_EQ(save.Serialize(), SampleSave(6, 0).Serialize());
    }

    for (size_t length = 0; length < good.size(); ++length) {
        CQuestSave save;
        ASSERT_EQ(save.Parse(good.data(), length), CQuestSave::UnableToLoad) << "cut at " << length;
    }
    WriteBytes(path, std::vector<uint8_t>(good.begin(), good.begin() + 1000));
    CQuestSave save;
    EXPECT_EQ(save.Load(path), 0);
    EXPECT_EQ(dir.TakeLog(), " Error. Unable to load file " + path + "\n");

    EXPECT_EQ(save.Load(dir.File("Missing.sav")), 0);
    EXPECT_EQ(dir.TakeLog(), "");
}

TEST(QuestSave, BoundaryValuesAndKeyedCountersLoad)
{
    std::vector<uint8_t> image = ExpectedImage(1, 0);
    SetWord(image, kOffLives, 1000 ^ kA);
    SetWord(image, kOffStars, 1000 ^ kC);
    SetWord(image, kOffLevel, 41);
    SetWord(image, kOffFirstKey + 8, 9);     // the pair of key 5 becomes key 9: read and skipped
    SetWord(image, kOffWarning, 0xBF800000); // -1: no warning left
    SetWord(image, kOffTotem, 6);            // the last totem colour waits in front
    SetWord(image, kOffGemsLeft, 0 ^ kA);    // every gem collected ...
    SetWord(image, kOffGemGoal, 0 ^ kA);     // ... and placed
    SetWord(image, kOffHint, 0x49742400);    // 1,000,000 s of hints: held to an hour
    CQuestSave save;
    save.trophyCounter5 = 99;
    ASSERT_EQ(save.Parse(image.data(), image.size()), CQuestSave::Ok);
    EXPECT_EQ(save.lives, 1000);
    EXPECT_EQ(save.stars, 1000);
    EXPECT_EQ(save.level, 41);
    EXPECT_EQ(save.trophyCounter1, 11);
    EXPECT_EQ(save.trophyCounter5, 99);
    EXPECT_EQ(save.extraLifeSteps, 2);
    EXPECT_EQ(save.Cell(CQuestSave::BonusKinds, 3, 7), 7);
    EXPECT_EQ(save.nextTimeWarning, -1.0f);
    EXPECT_EQ(save.extraIndex, 6);
    EXPECT_EQ(save.gemsLeft, 0);
    EXPECT_EQ(save.hintTimeLeft, 3600.0f);

    // A pair count of 0 stands for {13, 0}: the trophy counters keep their values.
    std::vector<uint8_t> none(image.begin(), image.begin() + static_cast<long>(kOffCount));
    PutWord(none, 0);
    CQuestSave zero;
    zero.trophyCounter1 = 4;
    zero.extraLifeSteps = 6;
    ASSERT_EQ(zero.Parse(none.data(), none.size()), CQuestSave::Ok);
    EXPECT_EQ(zero.extraLifeSteps, 0);
    EXPECT_EQ(zero.trophyCounter1, 4);
    ASSERT_EQ(zero.keyedCounters.size(), 1u);
    EXPECT_EQ(zero.keyedCounters[0], std::make_pair(13, 0));
}

// The gems collected ride in keyed pairs of their own, ten colours a pair,
// and read back in their order; what the pairs cannot hold (past 90 gems,
// a colour without a picture) is not written; the trophy pairs stay first.
TEST(QuestSave, CollectedGemsRideInTheKeyedCounters)
{
    std::vector<int32_t> many;
    for (int i = 0; i < 95; ++i)
        many.push_back((i * 5 + 3) % 7);
    const std::vector<int32_t> first90(many.begin(), many.begin() + 90);
    struct Case {
        std::vector<int32_t> gems, readBack;
        size_t pairs;
    } cases[] = {
        {{}, {}, 4},
        {{6, 0, 2}, {6, 0, 2}, 5},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 5},
        {{4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 0}, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 0}, 6},
        {many, first90, 13},
        {{3, 7}, {}, 4},
        {{-1}, {}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gems.size());
        CQuestSave save = SampleSave(1, 0);
        save.collectedGems = c.gems;
        const std::vector<uint8_t> image = save.Serialize();
        ASSERT_EQ(save.keyedCounters.size(), c.pairs);
        EXPECT_EQ(save.keyedCounters[0], std::make_pair(1, 11));
        EXPECT_EQ(save.keyedCounters[3], std::make_pair(13, 2));
        CQuestSave back;
        back.collectedGems = {5};
        ASSERT_EQ(back.Parse(image.data(), image.size()), CQuestSave::Ok);
        EXPECT_EQ(back.collectedGems, c.readBack);
        EXPECT_EQ(back.trophyCounter5, 15);
        EXPECT_EQ(back.Serialize(), image);
    }
}

TEST(QuestSave, FailedWriteLeavesTheOldFileWhole)
{
    LoggedScratch dir;
    const std::string path = dir.File("Quest.sav");
    CQuestSave first = SampleSave(1, 0);
    ASSERT_EQ(first.Save(path), 1);
    const std::vector<uint8_t> before = ReadBytes(path);

    CQuestSave second = SampleSave(6, 0);
    plat::InjectWriteFailureForTests(100);
    EXPECT_EQ(second.Save(path), 0);
    plat::InjectWriteFailureForTests(-1);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(dir.TakeLog(), " Error. Unable to save file " + path + "\n");
    EXPECT_EQ(plat::ListDirectory(dir.Path()).size(), 2u); // the save and the log, no temporary left

    // A file that cannot be created at all says so in its own words.
    const std::string nowhere = dir.File("Missing/Quest.sav");
    EXPECT_EQ(second.Save(nowhere), 0);
    EXPECT_EQ(dir.TakeLog(), " Error. Unable to open (save) file " + nowhere + "\n");
}

TEST(QuestSave, KilledWriterNeverLeavesATruncatedSave)
{
    testing_support::ScratchDir dir;
    const std::string path = dir.File("Quest.sav");
    CQuestSave big = SampleSave(1, 0), small = SampleSave(6, 0);
    const std::vector<uint8_t> a = big.Serialize(), b = small.Serialize();
    ASSERT_EQ(big.Save(path), 1);
    for (int round = 0; round < 5; ++round) {
        int writing[2];
        ASSERT_EQ(pipe(writing), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(writing[0]);
            const char sign = 1;
            for (bool told = false;; told = true) {
                big.Save(path);
                small.Save(path);
                if (!told && write(writing[1], &sign, 1) != 1)
                    _exit(1);
            }
        }
        close(writing[1]);
        // The kill lands somewhere in the writer's loop, however slowly it
        // got there on a busy machine; wherever it lands, the file is whole.
        char sign = 0;
        const bool writes = read(writing[0], &sign, 1) == 1;
        close(writing[0]);
        usleep(static_cast<useconds_t>(3000 + round * 2000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(writes) << "round " << round << ": the writer never wrote";
        const std::vector<uint8_t> now = ReadBytes(path);
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

TEST(QuestSave, CheckpointRotatesOnlyAfterTheNewOneIsWritten)
{
    LoggedScratch dir;
    const std::string folder = dir.Path();
    CQuestSave older = SampleSave(8, 0), old = SampleSave(8, 0), fresh = SampleSave(8, 0);
    older.level = 3;
    old.level = 4;
    fresh.level = 5;
    older.Save(SecondCheckpointPath(folder));
    old.Save(FirstCheckpointPath(folder));

    plat::InjectWriteFailureForTests(10);
    EXPECT_EQ(SaveQuestWithCheckpoint(fresh, folder, 0), 0);
    plat::InjectWriteFailureForTests(-1);
    CQuestSave probe;
    ASSERT_EQ(probe.Load(FirstCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 4);
    ASSERT_EQ(probe.Load(SecondCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 3);

    EXPECT_EQ(SaveQuestWithCheckpoint(fresh, folder, 0), 1);
    ASSERT_EQ(probe.Load(QuestSavePath(folder)), 1);
    EXPECT_EQ(probe.level, 5);
    ASSERT_EQ(probe.Load(FirstCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 5);
    ASSERT_EQ(probe.Load(SecondCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 4);

    RestoreCheckpointCopy(folder, 0);
    ASSERT_EQ(probe.Load(FirstCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 4);

    DeleteQuestSaves(folder, 1, 1); // another quest type keeps no checkpoints: nothing happens
    EXPECT_TRUE(plat::FileExists(QuestSavePath(folder)));
    DeleteQuestSaves(folder, 0, 0);
    EXPECT_FALSE(plat::FileExists(QuestSavePath(folder)));
    EXPECT_FALSE(plat::FileExists(FirstCheckpointPath(folder)));
    EXPECT_TRUE(plat::FileExists(SecondCheckpointPath(folder)));
}

// The writer keeps the reader's rules: a record the reader would refuse is
// not written (the file on disk stays as it was), and one at the edge of
// every rule is written and read back.
TEST(QuestSave, NeverWritesARecordItsReaderRefuses)
{
    LoggedScratch dir;
    const std::string folder = dir.Path();
    const std::string path = QuestSavePath(folder);
    CQuestSave kept = SampleSave(8, 0);
    ASSERT_EQ(SaveQuestWithCheckpoint(kept, folder, 0), 1);
    const std::vector<uint8_t> before = ReadBytes(path);
    struct Case {
        const char* what;
        void (*change)(CQuestSave&);
    };
    const Case refused[] = {
        {"level 42", [](CQuestSave& s) { s.level = 42; }},
        {"level 0", [](CQuestSave& s) { s.level = 0; }},
        {"resume kind 3", [](CQuestSave& s) { s.resumeKind = 3; }},
        {"difficulty 2", [](CQuestSave& s) { s.difficulty = 2; }},
        {"lives 1001", [](CQuestSave& s) { s.lives = 1001; }},
        {"sand steps -1", [](CQuestSave& s) { s.sandRateSteps = -1; }},
        {"stars -1", [](CQuestSave& s) { s.stars = -1; }},
        {"another quest type", [](CQuestSave& s) { s.gameTypeFlag = 1; }},
        {"time left NaN", [](CQuestSave& s) { s.timeLeft = std::nanf(""); }},
        {"gems left -5 in play", [](CQuestSave& s) { s.gemsLeft = -5; }},
        {"bonus kind 8", [](CQuestSave& s) { s.SetCell(CQuestSave::BonusKinds, 2, 3, 8); }},
        {"bonus param 4", [](CQuestSave& s) { s.SetCell(CQuestSave::BonusParams, 7, 7, 4); }},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        CQuestSave bad = SampleSave(1, 0);
        c.change(bad);
        EXPECT_FALSE(bad.IsValid());
        EXPECT_EQ(bad.Save(path), 0);
        EXPECT_EQ(SaveQuestWithCheckpoint(bad, folder, 0), 0);
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_NE(dir.TakeLog().find("Refused to write a quest record the game cannot read back: " + path),
                  std::string::npos);
    }
    EXPECT_EQ(plat::ListDirectory(folder).size(), 3u); // the save, its checkpoint, the log

    const Case accepted[] = {
        {"level 41 in the shop",
         [](CQuestSave& s) {
             s.level = 41;
             s.resumeKind = 8;
         }},
        {"level 1, lives 1000, stars 1000",
         [](CQuestSave& s) {
             s.level = 1;
             s.lives = 1000;
             s.stars = 1000;
         }},
        {"grids unfilled", [](CQuestSave& s) { s.ClearGrids(); }},
    };
    for (const Case& c : accepted) {
        SCOPED_TRACE(c.what);
        CQuestSave good = SampleSave(1, 0);
        c.change(good);
        EXPECT_TRUE(good.IsValid());
        ASSERT_EQ(good.Save(path), 1);
        CQuestSave back;
        EXPECT_EQ(back.Load(path), 1);
        EXPECT_EQ(back.Serialize(), good.Serialize());
    }
    EXPECT_EQ(dir.TakeLog(), "");
}

// A run stopped between the checkpoint's rotation and its rename leaves
// "QuestNew.sav" and no first checkpoint; one stopped before the rotation
// leaves both. The next start ends the step as the run would have.
TEST(QuestSave, APendingCheckpointIsPutInPlaceAtStartUp)
{
    LoggedScratch dir;
    const std::string folder = dir.Path();
    const std::string pending = folder + "QuestNew.sav";
    CQuestSave old = SampleSave(8, 0), fresh = SampleSave(8, 0);
    old.level = 4;
    fresh.level = 5;
    CQuestSave probe;

    // After the rotation: the old first is the second, the first is missing.
    ASSERT_EQ(old.Save(SecondCheckpointPath(folder)), 1);
    ASSERT_EQ(fresh.Save(pending), 1);
    EXPECT_EQ(FinishPendingCheckpoint(folder), 1);
    ASSERT_EQ(probe.Load(FirstCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 5);
    ASSERT_EQ(probe.Load(SecondCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 4);
    EXPECT_FALSE(plat::FileExists(pending));
    EXPECT_EQ(dir.TakeLog(), " Put in place the checkpoint " + FirstCheckpointPath(folder) +
                                 " that a stopped run left pending\n");
    EXPECT_EQ(FinishPendingCheckpoint(folder), 0); // nothing pending: nothing changes

    // Before the rotation: the first moves on to second, as it would have.
    fresh.level = 6;
    ASSERT_EQ(fresh.Save(pending), 1);
    EXPECT_EQ(FinishPendingCheckpoint(folder), 1);
    ASSERT_EQ(probe.Load(FirstCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 6);
    ASSERT_EQ(probe.Load(SecondCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 5);
    dir.TakeLog();

    // A pending file that does not read back is nobody's checkpoint.
    WriteBytes(pending, {'P', 'S', 'A', 'V', 9, 0, 0, 0});
    EXPECT_EQ(FinishPendingCheckpoint(folder), 0);
    EXPECT_FALSE(plat::FileExists(pending));
    ASSERT_EQ(probe.Load(FirstCheckpointPath(folder)), 1);
    EXPECT_EQ(probe.level, 6);
    EXPECT_EQ(dir.TakeLog(), " Error. Unsupported file version " + pending + "\n");
}

} // namespace

namespace {

// A quest goes on from "Quest.sav" when it reads; else from the checkpoint
// further on in the quest, the second one when both are as far. Each file's
// lives tell which one was taken.
TEST(QuestSave, AQuestGoesOnFromTheNewestSaveThatReads)
{
    enum Kind { Missing, Damaged, Refused, Play, Results, Shop };
    struct File {
        Kind kind;
        int32_t level;
    };
    const File missing{Missing, 0}, damaged{Damaged, 0}, refused{Refused, 13};
    struct Case {
        const char* what;
        File quest, second, first;
        QuestSource source;
        int32_t level;
    } cases[] = {
        {"the running quest first", {Play, 13}, {Shop, 11}, {Shop, 12}, QuestSource::Running, 13},
        {"damaged: the first checkpoint is newer",
         damaged,
         {Shop, 11},
         {Shop, 12},
         QuestSource::FirstCheckpoint,
         12},
        {"refused: the first checkpoint is newer",
         refused,
         {Shop, 11},
         {Shop, 12},
         QuestSource::FirstCheckpoint,
         12},
        {"missing: the second checkpoint is newer",
         missing,
         {Shop, 12},
         {Shop, 11},
         QuestSource::SecondCheckpoint,
         12},
        {"as far: the second", damaged, {Shop, 12}, {Shop, 12}, QuestSource::SecondCheckpoint, 12},
        {"one level: the shop after play", damaged, {Play, 12}, {Shop, 12}, QuestSource::FirstCheckpoint, 12},
        {"one level: the results after play",
         damaged,
         {Results, 12},
         {Play, 12},
         QuestSource::SecondCheckpoint,
         12},
        {"the second damaged", damaged, damaged, {Shop, 12}, QuestSource::FirstCheckpoint, 12},
        {"the first refused", missing, {Shop, 11}, refused, QuestSource::SecondCheckpoint, 11},
        {"none reads", damaged, missing, damaged, QuestSource::None, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoggedScratch dir;
        const std::string folder = dir.Path();
        const struct {
            std::string path;
            File file;
            QuestSource source;
        } files[] = {{QuestSavePath(folder), c.quest, QuestSource::Running},
                     {SecondCheckpointPath(folder), c.second, QuestSource::SecondCheckpoint},
                     {FirstCheckpointPath(folder), c.first, QuestSource::FirstCheckpoint}};
        for (const auto& [path, file, source] : files) {
            if (file.kind == Missing)
                continue;
            if (file.kind == Damaged) {
                WriteBytes(path, {'P', 'S', 'A', 'V', 2, 0});
                continue;
            }
            CQuestSave save = SampleSave(file.kind == Play ? 1 : file.kind == Results ? 6 : 8, 0);
            save.level = file.level;
            save.lives = static_cast<int32_t>(source);
            if (file.kind == Refused)
                save.timeLeft = std::nanf("");
            WriteBytes(path, save.Serialize());
        }
        CQuestSave save;
        EXPECT_EQ(LoadQuestToContinue(save, folder), c.source);
        EXPECT_EQ(save.state, c.source == QuestSource::None ? 0 : 2);
        if (c.source == QuestSource::None)
            continue;
        EXPECT_EQ(save.level, c.level);
        EXPECT_EQ(save.lives, static_cast<int32_t>(c.source));
    }
}

} // namespace
