// Per-level best lists shared by every player of the machine: the best score
// ("Sc.bst") and the best time in whole seconds ("Ti.bst") of each level,
// each with the name of the player who set it. Entry n - 1 belongs to level n.
#pragma once

#include "records/PlayerStats.h"

#include <cstdint>
#include <string>
#include <vector>

class CBestList {
public:
    static constexpr uint32_t kMaxNameLength = 40;

    explicit CBestList(int32_t entryCount);

    // 1 when read; 0 when missing (values become a ramp) or bad (logged,
    // values become a ramp, the names read before the fault stay).
    int Load(const std::string& path);
    int Save(const std::string& path) const;

    std::vector<uint8_t> Serialize() const;
    // Reads a file image; false at the first fault (values untouched, names
    // read so far kept).
    bool Parse(const uint8_t* data, size_t size);

    void FillLinear(int32_t first, int32_t last);
    void SetDefaultScores();

    // Levels are 1-based; a level outside 1..count is never better and is
    // never stored.
    int IsBetterScore(int32_t value, int level) const;
    int IsBetterTime(int32_t value, int level) const;
    void SetEntry(int32_t value, int level, const std::string& name);
    int32_t Value(int level) const;
    std::string Name(int level) const;

    int32_t count;
    std::vector<std::string> names;
    std::vector<int32_t> values;

private:
    bool HasLevel(int level) const { return level >= 1 && level <= count; }
};

// What a won level's results add up to. The results screen shows these.
struct LevelResults {
    int32_t levelTime = 0;  // whole seconds played
    int32_t levelScore = 0; // before the time bonus
    int32_t questScore = 0; // before the time bonus
    int32_t secondsLeft = 0;
    int32_t timeBonus = 0;
    int newBestScore = 0;
    int newBestTime = 0;
};

// The arithmetic of a won level: the time bonus goes into the level and the
// quest tables, and each best list takes a better value with the player's
// name and is saved to `sharedFolder`.
LevelResults TallyLevelResults(CPlayerStats& stats, int level, float clockSecondsLeft, int32_t pointsPerSecond,
                               const std::string& playerName, CBestList& bestScores, CBestList& bestTimes,
                               const std::string& sharedFolder);

// "%d:%02d".
std::string FormatMinutesSeconds(int32_t seconds);
