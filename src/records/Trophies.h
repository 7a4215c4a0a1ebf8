// The current player's trophies: nine kinds, each earned in levels (kind 0
// has two, kind 7 one, the others three). The levels are judged from a
// finished quest's values, queued, played on the trophies screen and kept in
// "Trophies.dat" in the player's folder.
#pragma once

#include "engine/Settings.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CPlayerStats;

class CTrophies {
public:
    static constexpr int kKinds = 9;
    // Levels per kind.
    static constexpr int32_t kLevels[kKinds] = {2, 3, 3, 3, 3, 3, 3, 1, 3};

    CTrophies();

    // The [Trophies] section of the skin file.
    void LoadSettings(const std::string& skinPath);
    // 1 when every description was read; a missing file leaves them empty
    // without a word, a short one logs and leaves the rest empty.
    int LoadDescriptions(const std::string& path);
    // 1 when all nine levels were read; otherwise every level is 0.
    int Load(const std::string& path);
    int Save(const std::string& path) const;

    std::vector<uint8_t> Serialize() const;
    // Reads a file image as Load does, without logging.
    int Parse(const uint8_t* data, size_t size);
    int ParseDescriptions(const std::string& text);

    void ClearLevels();
    // The level newly reached by `value`, or 0.
    int EvaluateLevel(int kind, int32_t value) const;
    // Queues a level; a kind already queued keeps the higher level.
    void RecordAward(int kind, int level);
    // Applies every queued level at once.
    void CommitAwards();

    const std::string& Description(int kind, int level) const;

    float pompaTime = 1.5f;
    float postTime = 0.5f;
    Vec2 backgroundSpeed{0.0625f, -0.038625f};
    Vec2 backgroundSize{1.0f, 0.75f};
    int32_t levels[kKinds] = {};
    int32_t shownLevels[kKinds] = {};
    std::vector<std::pair<int32_t, int32_t>> pendingAwards;
    float awardTimer = 0.0f;
    std::vector<std::string> descriptions[kKinds];
};

// The values a finished quest is judged on.
struct TrophyValues {
    int32_t trophyCounter1 = 0; // Golden Stars awarded in the quest
    int32_t trophyCounter5 = 0; // Golden Stars since the last move hint
    int32_t trophyCounter7 = 0; // bonus levels passed
    int32_t longestCascade = 0; // quest table counter 8
    int32_t questScore = 0;     // quest table counter 0
    int32_t sandFlows = 0;      // quest table counter 7
    int32_t hiscorePlace = 0;   // 1-based place of the quest score
    int32_t secondsLeft = 0;    // at the last level's results
};

// The quest-table values of `stats` (table 1) with the given counters.
TrophyValues MakeTrophyValues(const CPlayerStats& stats, int32_t counter1, int32_t counter5, int32_t counter7,
                              int32_t hiscorePlace, int32_t secondsLeft);

// Kinds 1 to 8 in order; each level reached is queued. 1 when any was.
int JudgeTrophiesAfterGame(CTrophies& trophies, const TrophyValues& values);
// Kind 2 (only with `withCascade`), 3 and 6.
int JudgeTrophiesPartial(CTrophies& trophies, const TrophyValues& values, int withCascade);
