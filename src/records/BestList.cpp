#include "records/BestList.h"

#include "engine/Log.h"
#include "platform/BinaryFile.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CBestList::CBestList(int32_t entryCount)
    : count(std::max(entryCount, 0)), names(static_cast<size_t>(count), "expert"),
      values(static_cast<size_t>(count), 0)
{}

void CBestList::FillLinear(int32_t first, int32_t last)
{
    const float step = count > 1 ? static_cast<float>(last - first) / static_cast<float>(count - 1) : 0.0f;
    float accumulator = static_cast<float>(first);
    for (int32_t& value : values) {
        value = static_cast<int32_t>(std::floor(accumulator));
        accumulator += step;
    }
}

void CBestList::SetDefaultScores()
{
    FillLinear(20000, 420000);
    for (size_t i = 8; i < values.size(); ++i)
        values[i] = 50000 + 5000 * static_cast<int32_t>(i - 8);
}

bool CBestList::Parse(const uint8_t* data, size_t size)
{
    plat::ByteReader in(data, size);
    std::vector<int32_t> read(values.size(), 0);
    for (size_t i = 0; i < values.size(); ++i) {
        uint32_t length = 0;
        if (!in.U32(&length) || length > kMaxNameLength)
            return false;
        std::string name(length, '\0');
        if (!in.Bytes(name.data(), length))
            return false;
        names[i] = name;
        if (!in.I32(&read[i]))
            return false;
    }
    values = read;
    return true;
}

int CBestList::Load(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!plat::ReadWholeFile(path, &bytes)) {
        FillLinear(10000, 410000);
        return 0;
    }
    if (!Parse(bytes.data(), bytes.size())) {
        WriteLog("Error loading " + path + "\n");
        FillLinear(10000, 410000);
        return 0;
    }
    return 1;
}

std::vector<uint8_t> CBestList::Serialize() const
{
    plat::ByteWriter out;
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string& name = names[i];
        const size_t length = std::min<size_t>(name.size(), kMaxNameLength);
        out.U32(static_cast<uint32_t>(length));
        out.Bytes(name.data(), length);
        out.I32(values[i]);
    }
    return out.Data();
}

int CBestList::Save(const std::string& path) const
{
    const std::vector<uint8_t> bytes = Serialize();
    return plat::WriteFileAtomically(path, bytes.data(), bytes.size()) ? 1 : 0;
}

int CBestList::IsBetterScore(int32_t value, int level) const
{
    return HasLevel(level) && values[static_cast<size_t>(level - 1)] < value ? 1 : 0;
}

int CBestList::IsBetterTime(int32_t value, int level) const
{
    return HasLevel(level) && value < values[static_cast<size_t>(level - 1)] ? 1 : 0;
}

void CBestList::SetEntry(int32_t value, int level, const std::string& name)
{
    if (!HasLevel(level))
        return;
    values[static_cast<size_t>(level - 1)] = value;
    // The file keeps at most this many name bytes; longer names would make
    // the whole list unreadable.
    names[static_cast<size_t>(level - 1)] = name.substr(0, kMaxNameLength);
}

int32_t CBestList::Value(int level) const { return HasLevel(level) ? values[static_cast<size_t>(level - 1)] : 0; }
std::string CBestList::Name(int level) const
{
    return HasLevel(level) ? names[static_cast<size_t>(level - 1)] : "";
}

std::string FormatMinutesSeconds(int32_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

LevelResults TallyLevelResults(CPlayerStats& stats, int level, float clockSecondsLeft, int32_t pointsPerSecond,
                               const std::string& playerName, CBestList& bestScores, CBestList& bestTimes,
                               const std::string& sharedFolder)
{
    CStatTable& levelTable = stats.tables[2];
    CStatTable& questTable = stats.tables[1];
    LevelResults r;
    // The seconds come from a save file too: whatever they hold, the whole
    // seconds stay in the range of a time.
    const float seconds = levelTable.GetFloat(StatSeconds);
    r.levelTime = std::isnan(seconds) ? 0
                                      : static_cast<int32_t>(std::clamp(std::floor(static_cast<double>(seconds)),
                                                                        0.0, static_cast<double>(INT32_MAX)));
    if (bestTimes.IsBetterTime(r.levelTime, level)) {
        bestTimes.SetEntry(r.levelTime, level, playerName);
        bestTimes.Save(sharedFolder + "Ti.bst");
        r.newBestTime = 1;
    }
    r.levelScore = levelTable.Get(StatScore);
    r.questScore = questTable.Get(StatScore);
    // Truncated like the clock's display; kept in a range no clock reaches so
    // that a stray value cannot overflow the bonus.
    const float clock = std::isfinite(clockSecondsLeft) ? std::clamp(clockSecondsLeft, -1.0e6f, 1.0e6f) : 0.0f;
    r.secondsLeft = static_cast<int32_t>(clock);
    const int64_t bonus = static_cast<int64_t>(r.secondsLeft) * pointsPerSecond;
    r.timeBonus = static_cast<int32_t>(std::clamp<int64_t>(bonus, 0, INT32_MAX));
    levelTable.Add(r.timeBonus, StatScore);
    questTable.Add(r.timeBonus, StatScore);
    if (bestScores.IsBetterScore(levelTable.Get(StatScore), level)) {
        bestScores.SetEntry(levelTable.Get(StatScore), level, playerName);
        bestScores.Save(sharedFolder + "Sc.bst");
        r.newBestScore = 1;
    }
    return r;
}
