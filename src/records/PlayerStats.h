// The player's statistics for a quest: three tables of ten counters. Table 2
// counts the level being played, table 1 totals the quest, table 0 keeps the
// last finished level.
#pragma once

#include "platform/BinaryFile.h"

#include <cstdint>
#include <vector>

// Counter numbers.
enum StatCounter {
    StatScore = 0,        // points (sum)
    StatSeconds = 1,      // seconds played (float sum)
    StatMarkedTokens = 2, // tokens a match record marks with 2 (sum)
    StatMatches = 3,      // matches of three or more (sum)
    StatUnused = 4,
    StatRemovals = 5,       // removal-step events (sum)
    StatTotemActions = 6,   // totem statistics actions (sum)
    StatSandFlows = 7,      // times the sand started to flow (sum)
    StatLongestCascade = 8, // maximum
    StatLargestMatch = 9,   // maximum
    StatCounterCount = 10,
};

class CStatTable {
public:
    CStatTable();

    // Sum counters add and never drop below 0; maximum counters keep the
    // larger value. Both return the counter's new value.
    int32_t Add(int32_t value, int index);
    float AddFloat(float value, int index);

    int32_t Get(int index) const { return static_cast<int32_t>(counters[static_cast<size_t>(index)]); }
    float GetFloat(int index) const { return plat::BitsToFloat(counters[static_cast<size_t>(index)]); }

    void CopyCounters(const CStatTable& other) { counters = other.counters; }
    void ClearCounters();

    // The counters, each word XOR `key`, in one block. A table without
    // counters writes or reads nothing and gives 0.
    int SaveScrambled(plat::ByteWriter& out, uint32_t key) const;
    // A short read leaves the counters as they were.
    int LoadScrambled(plat::ByteReader& in, uint32_t key);

    // Raw 32-bit words; counter 1 holds float bits.
    std::vector<uint32_t> counters;
    int32_t floatFlags[StatCounterCount];
    std::vector<int> maxIndices;

private:
    bool IsMax(int index) const;
};

class CPlayerStats {
public:
    // Tables in the order 0, 2, 1; stops at the first table that fails.
    int Save(plat::ByteWriter& out, uint32_t key) const;
    int Load(plat::ByteReader& in, uint32_t key);

    void Assign(const CPlayerStats& other);
    void Reset();
    // The finished level's counters move to table 0; table 2 starts over.
    void PromoteThird();
    // One value into both run tables, table 2 first.
    void AddToRunTables(int32_t value, int index);
    void AddFloatToBoth(float value, int index);

    CStatTable tables[3];
};

// The key the quest save scrambles the statistics with.
constexpr uint32_t kStatsKey = 0x3e81d5b2u;
