// The sand box's keys of the quest skin ("Skin.cfg", section "FieldQuest"):
// where the box stands, its glass, the sand and dust it shows, the pour path
// its grains leave by and the frenzy bar. The quest layout holds the record
// and reads it with its other sections; the board places the box with it and
// the sand box takes its looks from it. Positions are converted to the
// centred screen (x - 512, 384 - y) and shifts have their y negated.
#pragma once

#include "engine/Settings.h"

#include <cstdint>
#include <string>
#include <vector>

struct SandboxSettings {
    static constexpr int kMaxPathPoints = 64;
    static constexpr int kMaxBarElements = 64;

    // Reads every key of the section, in the file's order; a missing file or
    // key leaves the defaults below.
    void Load(const std::string& file, const char* section = "FieldQuest");

    Vec2 origin{-144.5f, -344.5f}; // the box's left and top
    Vec2 size{640.0f, 32.0f};
    Vec2 frontShift{-9.0f, 4.0f};
    uint32_t glassColor = 0xff6cc8f7;
    int columns = 40;
    float inGravity = 5.0f;
    float outGravity = 20.0f;
    float pathSpeed = 32.0f;
    // Points of the pour path, relative to the box's left and top.
    std::vector<Vec2> pathPoints{Vec2{}, Vec2{}};
    uint32_t sandColor = 0xffa09050; // opaque; the file's alpha is the factor
    float sandAlpha = 1.0f;
    float dustSpeed = 80.0f;
    float dustSpeedSpread = 40.0f;
    float dustSize = 8.0f;
    float dustSizeSpread = 4.0f;
    uint32_t dustColor = 0xffa09050;
    float dustAlpha = 127.0f / 255.0f;
    uint32_t barColor = 0x0001ddff; // RGB only; the file's alpha is the bar's first opacity
    float barAlpha = 1.0f;
    Vec2 barShift{14.0f, -2.0f};
    Vec2 barElementSize{32.0f, 32.0f};
    int barElements = 19;
    float barPostTime = 0.25f;
};
