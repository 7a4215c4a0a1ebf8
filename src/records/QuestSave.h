// The record of a quest in progress and its "PSAV" save files: "Quest.sav"
// (the running quest), "QuestAS1.sav" (the checkpoint written when the shop
// between levels closes) and "QuestAS2.sav" (the checkpoint before it).
#pragma once

#include "platform/BinaryFile.h"
#include "records/Guid.h"
#include "records/PlayerStats.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CQuestSave {
public:
    // Grid numbers of `cells`.
    enum { TokenCodes = 0, ChainFlags = 1, BonusKinds = 2, BonusParams = 3, TokenFlags = 4, GridCount = 5 };
    static constexpr int kRows = 8;
    static constexpr int kColumns = 8;
    // The highest quest level; the best lists hold one entry per level.
    static constexpr int32_t kLastLevel = 41;
    // `extraIndex` holds a totem colour below this, or -1.
    static constexpr int32_t kTotemColours = 7;

    // Where a resumed quest goes on (`resumeKind`): in play, at the won
    // level's results, or in the shop after a won level.
    enum ResumeKind : int32_t { kResumeInPlay = 1, kResumeAtResults = 6, kResumeInShop = 8 };
    // What the record holds (`state`): nothing to resume, a quest just
    // begun, or a quest stored to go on with.
    enum RecordState : int32_t { kNothing = 0, kNewQuest = 1, kStored = 2 };

    // Why a file was refused.
    enum LoadResult { Ok = 0, UnableToLoad = 1, Unsupported = 2, Corrupted = 3 };

    // Whether the reader would take this record back: Save and the
    // checkpoint writer refuse (and log) a record that is not.
    bool IsValid() const;
    int Save(const std::string& path);
    // 1 when the file was read and is valid (`state` 2). The record is only
    // changed when the whole file is good; `state` is 0 on any failure.
    int Load(const std::string& path);

    // The file image of the record (fills `keyedCounters` as it goes).
    std::vector<uint8_t> Serialize();
    // Reads a file image into this record as Load does, without logging;
    // on failure the record is left as it was apart from `state` = 0.
    LoadResult Parse(const uint8_t* data, size_t size);

    // Grid access; a grid is empty (size 0) until filled, else 8 × 8.
    int32_t Cell(int grid, int row, int column) const;
    void SetCell(int grid, int row, int column, int32_t value);
    void SizeGrids();
    void ClearGrids();

    int32_t state = 0;
    int32_t gameTypeFlag = 0;
    GuidBytes questGuid{};
    int32_t difficulty = 0;
    int32_t resumeKind = 3;
    CPlayerStats stats;
    int32_t level = 1;
    float timeLeft = 0.0f;
    float nextTimeWarning = 30.0f;
    int32_t lives = 2;
    float sandAmount = 0.0f;
    uint8_t sandMeter[8] = {};
    int32_t sandRateSteps = 0;
    int32_t gemsLeft = 0;
    int32_t gemGoal = 0;
    float hintTimeLeft = 0.0f;
    int32_t extraIndex = -1;
    int32_t extraFlag = 0;
    std::vector<int32_t> cells[GridCount];
    int32_t itemLevels[16] = {};
    int32_t stars = 0;
    std::vector<std::pair<int32_t, int32_t>> keyedCounters;
    // The colours (0 to 6) of the gems collected on the level, in the order
    // they came, for the gems bar to show again. They ride in the keyed
    // counters under keys of their own, ten colours to a pair, so at most
    // kMaxSavedGems of them; a reader that does not know those keys skips
    // them.
    static constexpr size_t kMaxSavedGems = 90;
    std::vector<int32_t> collectedGems;
    int32_t trophyCounter1 = 0;
    int32_t trophyCounter5 = 0;
    int32_t trophyCounter7 = 0;
    int32_t extraLifeSteps = 0;
};

// Scrambling masks of the save format.
constexpr uint32_t kQuestMaskA = 0x5b07e2c4u;
constexpr uint32_t kQuestMaskB = 0x61f4a9d3u;
constexpr uint32_t kQuestMaskC = 0x002d93a1u;

// The save files of one player. `playerFolder` ends with a backslash.
// Each housekeeping step does nothing when `typeFlag` (the game's quest type
// flag) is non-zero.
std::string QuestSavePath(const std::string& playerFolder);
std::string FirstCheckpointPath(const std::string& playerFolder);
std::string SecondCheckpointPath(const std::string& playerFolder);

// The file a continued quest was read from.
enum class QuestSource { None, Running, SecondCheckpoint, FirstCheckpoint };
// Reads the quest the player continues into `save`: "Quest.sav" when it
// reads, else the checkpoint further on in the quest (the higher level; on
// one level, the shop after the results after play), the second one when
// both are as far. With none, `save` keeps its fields and `state` is 0.
QuestSource LoadQuestToContinue(CQuestSave& save, const std::string& playerFolder);
// Writes "Quest.sav" and a new first checkpoint. The new checkpoint is
// written to a temporary first; only once it is safely on disk does the old
// first checkpoint become the second one. A failed write rotates nothing.
// Returns 1 when both files were written.
int SaveQuestWithCheckpoint(CQuestSave& save, const std::string& playerFolder, int typeFlag);
// At start-up, with one copy of the game running: a new first checkpoint
// that a stopped run wrote but did not put in place is put in place, as the
// run would have done (a pending file that does not read back is removed).
// 1 when a checkpoint was put in place.
int FinishPendingCheckpoint(const std::string& playerFolder);
// The old first checkpoint becomes the second one (no new one is written).
void PromoteCheckpoint(const std::string& playerFolder, int typeFlag);
// Copies the second checkpoint over the first, through a temporary.
void RestoreCheckpointCopy(const std::string& playerFolder, int typeFlag);
void DeleteQuestSaves(const std::string& playerFolder, int typeFlag, int alsoSecond);
