// The ten best quest scores of every player on the machine, each with the
// player's name and the GUID of the quest that made it. The file is
// scrambled with a constant byte and ends with a byte-sum checksum; a damaged
// file falls back to the default table.
#pragma once

#include "records/Guid.h"

#include <cstdint>
#include <string>
#include <vector>

int IsNameChar(int c);

class CHiscoreTable {
public:
    static constexpr uint8_t kScrambleByte = 0xB3;
    static constexpr int32_t kMaxScore = 2000000000;

    // 1 when the file was read whole and its checksum matched; otherwise the
    // table holds defaults (all of it, or from the first bad entry on).
    int Load(const std::string& path);
    // Writes the table to the path given to Load; 1 when written.
    int Save();

    // The file image of the table, checksum included.
    std::vector<uint8_t> Serialize() const;
    // Reads a file image as Load does (without touching `path`).
    int Parse(const uint8_t* data, size_t size);

    void SetDefaults(int first, int last);
    void Sort();
    // The 0-based place at which `score` would enter; `count` when it does
    // not qualify. A score equal to an entry's ranks below it.
    int FindRank(int32_t score) const;
    // Enters a quest's score; a quest already in the table has its entry
    // replaced, even by a lower score. Returns the entry's place.
    int Insert(int32_t score, const char* name, const GuidBytes& guid);
    // The name's `nameWidth` bytes.
    std::string GetName(int index) const;
    void FreeStorage();

    bool HasStorage() const { return scores.size() == static_cast<size_t>(count); }

    int32_t count = 10;
    int32_t nameWidth = 12;
    std::string path;
    std::vector<std::string> names; // each exactly `nameWidth` bytes, space-padded
    std::vector<int32_t> scores;
    std::vector<GuidBytes> guids;
    int32_t topDefaultScore = 10000;

private:
    void Allocate();
    void WriteEntry(int index, int32_t score, const char* name, const GuidBytes& guid);
    void MoveEntry(int from, int to);
};
