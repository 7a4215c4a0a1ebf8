// "Gems.cfg" and "Bonus.cfg": the looks and motions of the gem that rides
// on a token and of the six other bonus kinds, with the adviser's hint
// display. Each file fills one record that lives for the whole run; the
// start-up reads both once, before any bonus is made, and the bonuses only
// read them afterwards.
//
// Positions are pixels of a 1024 x 768 screen (y down) and become x - 512
// and 384 - y. Most angular speeds are written in half-turns per second and
// kept in radians (the fields given as multiples of kBonusPi). A missing
// file or key gives the default; a value that is not a finite number reads
// as its default, and so does a time, size or speed that something divides
// by or counts with when it is not above 0 (engine/CheckedSettings.h).
#pragma once

#include "engine/Settings.h" // Vec2, Vec3

#include <cstdint>
#include <string>

// Every field is a 32-bit word (flags too), so that a record compares as a
// whole.
constexpr float kBonusPi = 3.1415927f;

struct GemParameters {
    static constexpr int kValues = 8; // gem values 0 .. 7

    // "Gems.cfg", all sections.
    void Load(const std::string& path);
    // The standard radius divides every bonus's size into its scale.
    float Scale(float size) const { return size / standardRadius; }

    // [Gems]
    Vec3 targetPos{-480.0f, 0.0f, -150.0f}; // its z is the depth of a fired gem's flight
    int32_t targetZOrder = -150;
    float flyTime = 1.0f;
    float gemSize = 48.0f;
    // [Halo]
    float haloSize = 128.0f;
    float haloT = 2.0f * kBonusPi; // x pi: the pulse is cos(2 pi age / haloT)
    float haloIntensity = 1.0f;
    float haloMinIntensity = 0.0f;
    int32_t haloAdditive = 0; // "Method"
    uint32_t haloColors[kValues] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                                    0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    // [SmallFlares]
    float smallFlareSize = 8.0f;
    float smallFlareLifeTime = 1.0f;
    float smallFlareW = 1.0f * kBonusPi;
    float smallFlareT = 0.1f; // seconds between two
    float smallFlareIntensity = 1.0f;
    Vec2 smallFlareOrigins[kValues] = {{28, 28}, {28, 28}, {28, 28}, {28, 28},
                                       {28, 28}, {28, 28}, {28, 28}, {28, 28}};
    // [BigFlares]
    float bigFlareSize = 64.0f;
    float bigFlareIntensity = 1.0f;
    float bigFlareT = 1.5f;
    float bigFlareW = 0.5f * kBonusPi;
    int32_t bigFlareAdditive = 0; // "Method"
    Vec2 bigFlareOrigins[kValues] = {{26, 26}, {26, 26}, {26, 26}, {26, 26},
                                     {26, 26}, {26, 26}, {26, 26}, {26, 26}};
    // [Standard]
    float standardRadius = 38.0f;
};

struct BonusParameters {
    BonusParameters();
    // "Bonus.cfg", all sections.
    void Load(const std::string& path);
    // Wire i from the picture's pixels (x1, y1) to (x2, y2), y down, about
    // the picture's point (64, 64), `wireWidth` wide.
    void SetWire(int i, float x1, float y1, float x2, float y2, float wireWidth);

    // [TNT] The three fuse wires a spark runs along, from the picture: each
    // a centre, a half-axis along the wire and a normal across it (half the
    // wire's width, with 0.9 towards the viewer).
    Vec3 wireCentres[3];
    Vec3 wireAxes[3];
    Vec3 wireNormals[3];
    float tntSparkerW = 0.25f;
    float tntLifeTime = 1.0f;
    uint32_t tntRingColor = 0xFFFFFF80;
    uint32_t tntHaloColor = 0xFFFF8080;
    float tntRingSizes[4] = {3.0f, 4.2f, 5.0f, 6.2f};
    float tntRingExpandTime = 0.4f;
    float tntHaloSizeFactor = 0.9f;
    float tntHaloW = 0.5f * kBonusPi;
    uint32_t expSparkColor = 0x8080FF;      // no alpha byte
    float expSparkCount = 20.0f * kBonusPi; // a burst's capacity is twice it
    float expSparkSize = 8.0f * kBonusPi;
    float expSparkFading = 1.0f * kBonusPi;
    float expSparkSpeed = 100.0f * kBonusPi;
    float expSparkGravity = 100.0f * kBonusPi;
    // [Flash]
    float flashRadius = 30.0f;
    float flashBoltWidth = 16.0f;
    float flashW = 1.0f * kBonusPi;
    float flashSpeed = 30.0f;
    float flashCoreSize = 16.0f;
    uint32_t flashColor = 0x7FFFFFFF; // white with alpha "Intensity" x 255
    float flashLifeTime = 0.25f;
    // [Time]
    Vec3 timeTarget{-398.0f, 290.0f, -60.0f};
    int32_t timeTwirlZOrder = -60;
    float timePreFlyTime = 0.25f;
    float timeFlyTime = 0.15f;
    float timePostFlyTime = 0.2f;
    float timeDigitsSize = 24.0f;
    uint32_t timeStarColor = 0x8049F608;
    uint32_t timeTwirlColor = 0xFF49F608;
    // [Adviser] Offsets of the emblem's sprites in units at scale 1, y up.
    Vec2 adviserGlobalShift{0.0f, 0.0f};
    Vec2 adviserRimShift{-1.0f, 1.0f};
    Vec2 adviserGlassShift{3.0f, 6.0f};
    float adviserGlassW = 1.0f * kBonusPi;
    Vec3 adviserTarget{-352.0f, 32.0f, -60.0f};
    int32_t adviserZOrder = -60;
    float adviserSpeed = 1000.0f;
    uint32_t adviserTailColor = 0x80FFFF50;
    // [Score]
    float coinOrbitRadius = 42.0f;
    float coinFps = 30.0f;
    float coinW = 2.0f * kBonusPi;
    float coinOutSpeed = 400.0f;
    uint32_t scoreTailColor = 0xFF50FF50;
    // [Solidarity]
    uint32_t ringColor = 0xFFFFFFFF;
    float ringR = 24.0f;
    float ringExpandSpeed = 48.0f;
    float ringLifeTime = 1.0f;
    float ringT = 0.4f;
    float ringW = 0.5f * kBonusPi;
    uint32_t centerColor = 0xFFFFFFFF;
    float centerSize = 32.0f;
    float centerW = -0.5f * kBonusPi;
    uint32_t tailColor = 0xFFFFFFFF;
    Vec2 tailSize{32.0f, 16.0f};
    float tailTLen = 0.25f;
    float tailTSpeed = 0.5f;
    float tailW = 0.125f; // radians per second
    uint32_t boltColor = 0xFFFFC8C8;
    float boltLength = 1000.0f;
    float boltWidth = 64.0f;
    float boltSpeed = 1200.0f;
    float boltTFactor = 256.0f;
    float boltTSpeed = 1.0f;
    float termTime = 0.25f;
    // [AdviserInterface]
    float hintHaloW = 0.25f * kBonusPi;
    float hintZ = -50.0f;
    int32_t hintZOrder = -10;
    float hintArrowW = 2.0f * kBonusPi;
    float hintArrowR = 4.0f;
    float hintRefresh = 0.25f;
};

// The two records of the run.
GemParameters& GemParams();
BonusParameters& BonusParams();

// Reads both files, the gems' first. A missing key keeps its default; a
// file that gives none of its keys, and each value the file holds that is
// not used, is named in the log.
void LoadBonusParameters(const std::string& gemPath, const std::string& bonusPath);
