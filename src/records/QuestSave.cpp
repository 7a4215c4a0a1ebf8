#include "records/QuestSave.h"

#include "engine/Log.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

constexpr char kMagic[4] = {'P', 'S', 'A', 'V'};
constexpr int32_t kVersion = 2;
constexpr size_t kGridWords = CQuestSave::kRows * CQuestSave::kColumns;
constexpr uint32_t kMaxPairs = 13;

// The keyed counters a save carries, in the order they are written.
constexpr int32_t kKeyTrophy1 = 1;
constexpr int32_t kKeyTrophy5 = 5;
constexpr int32_t kKeyTrophy7 = 7;
constexpr int32_t kKeyExtraLife = 13;
// The keys of the collected gems' pairs, in the order of the gems they hold:
// ten colours a pair, each as three bits of colour + 1, the first gem in the
// lowest bits; a 0 ends the list.
constexpr int32_t kGemKeys[] = {0, 2, 3, 4, 6, 8, 10, 11, 12};
constexpr size_t kGemsPerPair = 10;
static_assert(std::size(kGemKeys) * kGemsPerPair == CQuestSave::kMaxSavedGems,
              "the gem pairs hold the saved gems");

// The collected gems' pairs; none when a colour has no picture in the bar.
void AppendGemPairs(const std::vector<int32_t>& gems, std::vector<std::pair<int32_t, int32_t>>* pairs)
{
    if (std::any_of(gems.begin(), gems.end(), [](int32_t c) { return c < 0 || c > 6; }))
        return;
    const size_t count = std::min(gems.size(), CQuestSave::kMaxSavedGems);
    for (size_t first = 0; first < count; first += kGemsPerPair) {
        uint32_t word = 0;
        for (size_t i = first; i < std::min(count, first + kGemsPerPair); ++i)
            word |= static_cast<uint32_t>(gems[i] + 1) << (3 * (i - first));
        pairs->emplace_back(kGemKeys[first / kGemsPerPair], static_cast<int32_t>(word));
    }
}

// The gems the pairs hold, up to the first missing pair or empty place.
std::vector<int32_t> ReadGemPairs(const std::vector<std::pair<int32_t, int32_t>>& pairs)
{
    std::vector<int32_t> gems;
    for (const int32_t key : kGemKeys) {
        const auto found =
            std::find_if(pairs.rbegin(), pairs.rend(), [key](const auto& pair) { return pair.first == key; });
        if (found == pairs.rend())
            break;
        const uint32_t word = static_cast<uint32_t>(found->second);
        for (size_t i = 0; i < kGemsPerPair; ++i) {
            const uint32_t digit = (word >> (3 * i)) & 7u;
            if (digit == 0)
                return gems;
            gems.push_back(static_cast<int32_t>(digit) - 1);
        }
    }
    return gems;
}

bool ReadMasked(plat::ByteReader& in, uint32_t mask, int32_t* out)
{
    uint32_t word = 0;
    if (!in.U32(&word))
        return false;
    *out = static_cast<int32_t>(word ^ mask);
    return true;
}

void WriteMasked(plat::ByteWriter& out, int32_t value, uint32_t mask)
{
    out.U32(static_cast<uint32_t>(value) ^ mask);
}

void LogUnableToCreate(const std::string& path) { WriteLog("Error. Unable to open (save) file " + path + "\n"); }

// Writes a save image to `path` (named `shownPath` in the log).
bool WriteSave(const std::string& path, const std::vector<uint8_t>& bytes, const std::string& shownPath)
{
    switch (plat::WriteFileAtomicallyOutcome(path, bytes.data(), bytes.size())) {
    case plat::WriteOutcome::Written:
        return true;
    case plat::WriteOutcome::CannotCreate:
        LogUnableToCreate(shownPath);
        return false;
    case plat::WriteOutcome::WriteFailed:
        break;
    }
    WriteLog("Error. Unable to save file " + shownPath + "\n");
    return false;
}

// The rules a record keeps to be read back, shared by the reader and the
// writer: the board knows only the two difficulties, and the best lists
// hold one entry per level, so anything else would be used as an index
// later.
bool HeaderValid(const CQuestSave& r)
{
    return (r.resumeKind == 1 || r.resumeKind == 6 || r.resumeKind == 8) &&
           (r.difficulty == 0 || r.difficulty == 1) && r.level >= 1 && r.level <= CQuestSave::kLastLevel &&
           r.lives >= 0 && r.lives <= 1000 && r.sandRateSteps >= 0;
}

// Grids as the file carries them: an unfilled grid goes out as zeros.
bool GridsValid(const CQuestSave& r)
{
    for (int row = 0; row < CQuestSave::kRows; ++row)
        for (int column = 0; column < CQuestSave::kColumns; ++column) {
            const int32_t kind = r.Cell(CQuestSave::BonusKinds, row, column);
            const int32_t param = r.Cell(CQuestSave::BonusParams, row, column);
            if (kind < 0 || kind > 7 || param < 0 || param > 3)
                return false;
        }
    return true;
}

bool StarsValid(const CQuestSave& r) { return r.stars >= 0 && r.stars <= 1000; }

// The level clock's warnings come at 30, 15 and 10 seconds and then every
// second down to 0; -1 means none is left.
constexpr float kFirstTimeWarning = 30.0f;
constexpr float kNoTimeWarning = -1.0f;
// More seconds of move hints than any level gives.
constexpr float kMostHintSeconds = 3600.0f;

bool IsFiniteAtLeast(float value, float least) { return std::isfinite(value) && value >= least; }

// What the game acts on when the quest goes on, as only the game can have
// written it. Every quest this game starts is of type 0; a clock, a warning
// or a count it could never reach is damage, and trusting it would win or
// lose the level at once, or stop the clock for good. The gems still to
// collect and to place count only for a level that goes on in play: one
// saved after its win starts the next on a new board. Limits that depend on
// the level's installed data or its shop (the gem goal, the level's time,
// the items on offer) are held by the game as it puts the level back.
bool ValuesValid(const CQuestSave& r)
{
    for (const CStatTable& table : r.stats.tables)
        if (table.counters.size() > StatSeconds && !IsFiniteAtLeast(table.GetFloat(StatSeconds), 0.0f))
            return false;
    return r.gameTypeFlag == 0 && IsFiniteAtLeast(r.timeLeft, 0.0f) &&
           IsFiniteAtLeast(r.nextTimeWarning, kNoTimeWarning) && r.nextTimeWarning <= kFirstTimeWarning &&
           std::isfinite(r.sandAmount) && IsFiniteAtLeast(r.hintTimeLeft, 0.0f) &&
           (r.resumeKind != CQuestSave::kResumeInPlay || (r.gemsLeft >= 0 && r.gemGoal >= 0)) &&
           r.extraIndex >= -1 && r.extraIndex < CQuestSave::kTotemColours &&
           (r.extraFlag == 0 || r.extraFlag == 1);
}

bool CountersValid(const CQuestSave& r) { return r.extraLifeSteps >= 0; }

} // namespace

bool CQuestSave::IsValid() const
{
    return HeaderValid(*this) && ValuesValid(*this) && (resumeKind != 1 || GridsValid(*this)) &&
           StarsValid(*this) && CountersValid(*this);
}

int32_t CQuestSave::Cell(int grid, int row, int column) const
{
    const std::vector<int32_t>& g = cells[grid];
    if (g.size() != kGridWords || row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return 0;
    return g[static_cast<size_t>(row * kColumns + column)];
}

void CQuestSave::SetCell(int grid, int row, int column, int32_t value)
{
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return;
    if (cells[grid].size() != kGridWords)
        cells[grid].assign(kGridWords, 0);
    cells[grid][static_cast<size_t>(row * kColumns + column)] = value;
}

void CQuestSave::SizeGrids()
{
    for (std::vector<int32_t>& grid : cells)
        if (grid.size() != kGridWords)
            grid.assign(kGridWords, 0);
}

void CQuestSave::ClearGrids()
{
    for (std::vector<int32_t>& grid : cells)
        grid.clear();
}

std::vector<uint8_t> CQuestSave::Serialize()
{
    plat::ByteWriter out;
    out.Bytes(kMagic, sizeof kMagic);
    out.I32(kVersion);
    out.I32(gameTypeFlag);
    out.Bytes(questGuid.data(), questGuid.size());
    out.I32(difficulty);
    out.I32(resumeKind);
    stats.Save(out, kStatsKey);
    out.I32(level);
    out.F32(timeLeft);
    out.F32(nextTimeWarning);
    WriteMasked(out, lives, kQuestMaskA);
    out.F32(sandAmount);
    out.Bytes(sandMeter, sizeof sandMeter);
    out.I32(sandRateSteps);
    WriteMasked(out, gemsLeft, kQuestMaskA);
    WriteMasked(out, gemGoal, kQuestMaskA);
    out.F32(hintTimeLeft);
    out.I32(extraIndex);
    out.I32(extraFlag);
    if (resumeKind == 1) {
        // An unfilled grid goes out as zeros so that the file always has the
        // size its reader expects.
        for (const std::vector<int32_t>& grid : cells)
            for (size_t i = 0; i < kGridWords; ++i)
                out.I32(grid.size() == kGridWords ? grid[i] : 0);
    }
    if (gameTypeFlag == 0) {
        for (int32_t item : itemLevels)
            WriteMasked(out, item, kQuestMaskB);
        WriteMasked(out, stars, kQuestMaskC);
        keyedCounters = {{kKeyTrophy1, trophyCounter1},
                         {kKeyTrophy5, trophyCounter5},
                         {kKeyTrophy7, trophyCounter7},
                         {kKeyExtraLife, extraLifeSteps}};
        AppendGemPairs(collectedGems, &keyedCounters);
        out.U32(static_cast<uint32_t>(keyedCounters.size()));
        for (const auto& [key, value] : keyedCounters) {
            out.I32(key);
            out.I32(value);
        }
    }
    return out.Data();
}

namespace {
// A record its own reader would refuse is not written: the file on disk,
// whatever it holds, is worth more than one that can never be read back.
bool Writable(const CQuestSave& save, const std::string& path)
{
    if (save.IsValid())
        return true;
    WriteLog("Error. Refused to write a quest record the game cannot read back: " + path + " level " +
             std::to_string(save.level) + "\n");
    return false;
}
} // namespace

int CQuestSave::Save(const std::string& path)
{
    return Writable(*this, path) && WriteSave(path, Serialize(), path) ? 1 : 0;
}

CQuestSave::LoadResult CQuestSave::Parse(const uint8_t* data, size_t size)
{
    state = 0;
    // Everything goes into a copy first, so a bad file cannot leave half of
    // itself in the record that the next save would write out again.
    CQuestSave r = *this;
    r.collectedGems.clear();
    plat::ByteReader in(data, size);

    char magic[4];
    if (!in.Bytes(magic, sizeof magic))
        return UnableToLoad;
    if (std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        return Corrupted;
    int32_t version = 0;
    if (!in.I32(&version))
        return UnableToLoad;
    if (version != kVersion)
        return Unsupported;

    bool ok = in.I32(&r.gameTypeFlag) && in.Bytes(r.questGuid.data(), r.questGuid.size()) &&
              in.I32(&r.difficulty) && in.I32(&r.resumeKind) && r.stats.Load(in, kStatsKey) && in.I32(&r.level) &&
              in.F32(&r.timeLeft) && in.F32(&r.nextTimeWarning) && ReadMasked(in, kQuestMaskA, &r.lives) &&
              in.F32(&r.sandAmount) && in.Bytes(r.sandMeter, sizeof r.sandMeter) && in.I32(&r.sandRateSteps) &&
              ReadMasked(in, kQuestMaskA, &r.gemsLeft) && ReadMasked(in, kQuestMaskA, &r.gemGoal) &&
              in.F32(&r.hintTimeLeft) && in.I32(&r.extraIndex) && in.I32(&r.extraFlag);
    if (!ok)
        return UnableToLoad;

    if (!HeaderValid(r) || !ValuesValid(r))
        return Corrupted;
    // Hints that outlast any level are held, not refused: the adviser's
    // seconds add up with every bonus it gives.
    r.hintTimeLeft = std::min(r.hintTimeLeft, kMostHintSeconds);

    if (r.resumeKind == 1) {
        for (std::vector<int32_t>& grid : r.cells) {
            grid.assign(kGridWords, 0);
            for (int32_t& word : grid)
                if (!in.I32(&word))
                    return UnableToLoad;
        }
        if (!GridsValid(r))
            return Corrupted;
    }

    if (r.gameTypeFlag == 0) {
        for (int32_t& item : r.itemLevels)
            if (!ReadMasked(in, kQuestMaskB, &item))
                return UnableToLoad;
        if (!ReadMasked(in, kQuestMaskC, &r.stars))
            return UnableToLoad;
        if (!StarsValid(r))
            return Corrupted;
        uint32_t count = 0;
        if (!in.U32(&count))
            return UnableToLoad;
        if (count > kMaxPairs)
            return Corrupted;
        r.keyedCounters.clear();
        if (count == 0) {
            r.keyedCounters.emplace_back(kKeyExtraLife, 0);
        } else {
            if (in.Remaining() < count * 8u)
                return UnableToLoad;
            for (uint32_t i = 0; i < count; ++i) {
                int32_t key = 0, value = 0;
                in.I32(&key);
                in.I32(&value);
                r.keyedCounters.emplace_back(key, value);
            }
        }
        r.extraLifeSteps = 0;
        for (const auto& [key, value] : r.keyedCounters) {
            if (key < 0 || key > static_cast<int32_t>(kMaxPairs))
                return Corrupted;
            if (key == kKeyExtraLife)
                r.extraLifeSteps = value;
            else if (key == kKeyTrophy1)
                r.trophyCounter1 = value;
            else if (key == kKeyTrophy5)
                r.trophyCounter5 = value;
            else if (key == kKeyTrophy7)
                r.trophyCounter7 = value;
        }
        if (!CountersValid(r))
            return Corrupted;
        r.collectedGems = ReadGemPairs(r.keyedCounters);
    }

    r.state = 2;
    *this = std::move(r);
    return Ok;
}

int CQuestSave::Load(const std::string& path)
{
    state = 0;
    std::vector<uint8_t> bytes;
    if (!plat::ReadWholeFile(path, &bytes))
        return 0;
    switch (Parse(bytes.data(), bytes.size())) {
    case Ok:
        return 1;
    case UnableToLoad:
        WriteLog("Error. Unable to load file " + path + "\n");
        break;
    case Unsupported:
        WriteLog("Error. Unsupported file version " + path + "\n");
        break;
    case Corrupted:
        WriteLog("Error. Corrupted file " + path + "\n");
        break;
    }
    return 0;
}

std::string QuestSavePath(const std::string& playerFolder) { return playerFolder + "Quest.sav"; }
std::string FirstCheckpointPath(const std::string& playerFolder) { return playerFolder + "QuestAS1.sav"; }
std::string SecondCheckpointPath(const std::string& playerFolder) { return playerFolder + "QuestAS2.sav"; }

namespace {
// How far into the quest a record stands.
int64_t Progress(const CQuestSave& r)
{
    const int step = r.resumeKind == CQuestSave::kResumeInShop      ? 2
                     : r.resumeKind == CQuestSave::kResumeAtResults ? 1
                                                                    : 0;
    return static_cast<int64_t>(r.level) * 3 + step;
}
} // namespace

// The second checkpoint is the older one: taken first whatever it holds,
// it would throw away the level the first one kept, and the next save
// would write the loss over "Quest.sav".
QuestSource LoadQuestToContinue(CQuestSave& save, const std::string& playerFolder)
{
    if (save.Load(QuestSavePath(playerFolder)))
        return QuestSource::Running;
    CQuestSave second = save, first = save;
    const bool secondRead = second.Load(SecondCheckpointPath(playerFolder)) == 1;
    const bool firstRead = first.Load(FirstCheckpointPath(playerFolder)) == 1;
    if (firstRead && (!secondRead || Progress(first) > Progress(second))) {
        save = std::move(first);
        return QuestSource::FirstCheckpoint;
    }
    if (!secondRead)
        return QuestSource::None;
    save = std::move(second);
    return QuestSource::SecondCheckpoint;
}

namespace {
// Where a new first checkpoint waits until the old ones have moved on. Its
// name is short enough for a profile deletion to clear it away.
std::string PendingCheckpointPath(const std::string& playerFolder) { return playerFolder + "QuestNew.sav"; }

void RotateFirstToSecond(const std::string& playerFolder)
{
    const std::string first = FirstCheckpointPath(playerFolder);
    const std::string second = SecondCheckpointPath(playerFolder);
    if (plat::FileExists(first))
        plat::RenameFile(first, second); // replaces the old second one in one step
    else
        plat::RemoveFile(second);
}
} // namespace

int SaveQuestWithCheckpoint(CQuestSave& save, const std::string& playerFolder, int typeFlag)
{
    const std::string questPath = QuestSavePath(playerFolder);
    const std::string firstPath = FirstCheckpointPath(playerFolder);
    if (!Writable(save, questPath))
        return 0;
    const std::vector<uint8_t> bytes = save.Serialize();
    int ok = WriteSave(questPath, bytes, questPath) ? 1 : 0;
    if (typeFlag != 0)
        return WriteSave(firstPath, bytes, firstPath) ? ok : 0;
    const std::string pending = PendingCheckpointPath(playerFolder);
    if (!WriteSave(pending, bytes, firstPath))
        return 0;
    RotateFirstToSecond(playerFolder);
    if (!plat::RenameFile(pending, firstPath)) {
        LogUnableToCreate(firstPath);
        return 0;
    }
    return ok;
}

int FinishPendingCheckpoint(const std::string& playerFolder)
{
    const std::string pending = PendingCheckpointPath(playerFolder);
    if (!plat::FileExists(pending))
        return 0;
    // The pending file was written whole by the atomic writer, so one that
    // does not read back was put there by someone else: it is no checkpoint.
    CQuestSave probe;
    if (!probe.Load(pending)) {
        plat::RemoveFile(pending);
        return 0;
    }
    // The run that wrote it stopped before the old first checkpoint moved
    // on, or after: either way the step it began ends as it would have.
    const std::string first = FirstCheckpointPath(playerFolder);
    if (plat::FileExists(first))
        RotateFirstToSecond(playerFolder);
    if (!plat::RenameFile(pending, first)) {
        LogUnableToCreate(first);
        return 0;
    }
    WriteLog("Put in place the checkpoint " + first + " that a stopped run left pending\n");
    return 1;
}

void PromoteCheckpoint(const std::string& playerFolder, int typeFlag)
{
    if (typeFlag != 0)
        return;
    RotateFirstToSecond(playerFolder);
}

void RestoreCheckpointCopy(const std::string& playerFolder, int typeFlag)
{
    if (typeFlag != 0)
        return;
    const std::string second = SecondCheckpointPath(playerFolder);
    if (plat::FileExists(second))
        plat::CopyFile(second, FirstCheckpointPath(playerFolder), false);
}

void DeleteQuestSaves(const std::string& playerFolder, int typeFlag, int alsoSecond)
{
    if (typeFlag != 0)
        return;
    plat::RemoveFile(QuestSavePath(playerFolder));
    plat::RemoveFile(FirstCheckpointPath(playerFolder));
    if (alsoSecond)
        plat::RemoveFile(SecondCheckpointPath(playerFolder));
    plat::RemoveFile(PendingCheckpointPath(playerFolder));
}
