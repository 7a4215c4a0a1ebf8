// A level file read into a record: the colours in play, the gem goal, the
// steel and chain rates, the start layout and the per-cell rows of gems,
// chains, fixed tokens and bonuses. Most levels have no file; a level that
// has one overrides what its number would give (the board applies it).
//
// The file is a list of keyword entries in any order ("GEMSCOUNT 20",
// "SET { 0 1 2 3 4 }", "BEGIN { ... }", ...); rows are eight characters,
// one per column, top row first. The parser checks every number it stores,
// so a record it accepts holds colours 0..6, group sizes of 0 or more,
// rates within 0..1 and bonus levels at valid indexes; every row keeps its
// eight characters whatever the file held.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CLevelData {
public:
    static constexpr int kRows = 8;
    static constexpr int kRowLength = 8;
    static constexpr int kBonusDigits = 6;
    // The most gems a level's goal may ask for: far more than 240 seconds of
    // play can strike (the quickest plays need some seven seconds a gem), and
    // few enough for the gems bar to keep them apart on its strip.
    static constexpr int32_t kMaxGemGoal = 99;
    using Rows = std::array<std::string, kRows>;

    CLevelData();

    // 1 when the file was read and passed its checks, else 0; what went
    // wrong is in the log.
    int Parse(const std::string& path);
    // The colour count can deal every group letter its own colours.
    bool CheckGroups(int colourCount) const;

    std::string path; // the file Parse read
    int32_t notParsed = 1;
    int32_t gemsCount = -1; // -1: the level's gem goal stands
    std::vector<int32_t> colours;
    float steelRate = 0.0f;
    int32_t steelCap = -1; // -1: the level number's steel stands
    float lockRate = 0.0f;
    int32_t lockCap = -1;           // -1: the level number's chains stand
    std::vector<char> groupLetters; // "A".."G"
    std::vector<int32_t> groupSizes;
    std::vector<char> listLetters; // "I".."O"
    std::vector<std::vector<int32_t>> lists;
    Rows beginRows;
    Rows lockRows;
    std::array<int32_t, kBonusDigits> bonusLevels; // -1: the balance's level of that kind
    Rows bonusRows;
    Rows fixedRows;
    Rows gemRows;
};

// What the animated shuffle remembers of one cell for the refill that
// follows it: a token the level fixed, with its chain, gem and bonus.
struct ShuffleCell {
    int32_t free = 1; // 0: the cell's token is preset by this record
    int32_t column = 0;
    int32_t row = 0;
    int32_t colour = 0; // 0..6, 100 steel
    int32_t lock = 0;
    int32_t gem = 0;
    int32_t hasBonus = 0;
    int32_t bonusKind = 2;
    int32_t bonusValue = 0;
};
