// One token of the board: its colour, chains, gem and the bonus riding on
// it, where it rests and how it moves. Its picture is a cap of the caps
// renderer; the token pushes its position into the cap every frame.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/MotionPath.h"
#include "tokens/Cap.h"

#include <cstdint>

// The bonus riding on a token. Bonuses stand on a higher floor: the token
// only holds the handle (which releases its object without knowing its
// type); whoever attaches a bonus also gives it the token's colour, and
// the board moves every riding bonus with its token.
class CBonus;

enum TokenState : int32_t {
    kTokenResting = 0,
    kTokenFlying = 1,   // along its path, into a cell or off the board
    kTokenSwapping = 2, // along its path in a swap
    kTokenDestroyed = 3,
};

// Colour codes: 0 green, 1 yellow, 2 red, 3 blue, 4 orange, 5 white,
// 6 violet; 100 steel.
constexpr int32_t kSteelColour = 100;
// A token is a board token once the board placed it in a cell.
constexpr int32_t kTokenCreated = 101;
constexpr int32_t kBoardToken = 100;

// What a token's update reports.
enum TokenEvent : int32_t { kTokenMoved = 0, kFlightOver = 1, kSwapOver = 2, kLanded = 3 };

class CToken {
public:
    CToken() = default;
    CToken(const CToken&) = delete;
    CToken& operator=(const CToken&) = delete;

    // The chain count, mirrored into the cap.
    void SetChained(int32_t chains);
    void SetBonus(const CountedHandle<CBonus>& rider) { bonus = rider; }
    void ArmDropSound()
    {
        dropSoundArmed = 1;
        dropSoundPlayed = 0;
    }
    // Moves the token for its state; see TokenEvent.
    int32_t Update(float dt, bool hover, bool snap);
    // The hit circle around the anchor (plus the display offset).
    bool Hits(float px, float py) const;

    int32_t state = kTokenResting;
    int32_t kind = kTokenCreated;
    int32_t active = 0;
    int32_t chained = 0;
    int32_t settled = 0;
    CountedHandle<CCap> cap;
    int32_t group = 0; // shake group: SetOffset moves one group
    // The board's current origin (it follows the shake): added to the
    // position for the cap and the bonus, never to the path.
    float offsetX = 0, offsetY = 0, offsetZ = 0;
    // Where the token rests, relative to the board origin; the path's point
    // while a path runs.
    float anchorX = 0, anchorY = 0, anchorZ = 0;
    // The anchor plus the wobble while resting.
    float x = 0, y = 0, z = 0;
    float size = 32.0f; // the hit radius and the cap's half side
    float pathTime = 0.0f;
    float pathDuration = 1.0f;
    CMotionPath path;
    int32_t moveKind = 0; // 1 falling into a cell, 2 falling off the board
    int32_t column = 0, row = 0;
    int32_t fromColumn = 0, fromRow = 0;
    int32_t colour = 0;
    int32_t gem = 0;
    float wobbleTime = 0.0f;
    float wobbleAmplitude = 0.0f;
    CountedHandle<CBonus> bonus;
    int32_t dropSoundArmed = 0;
    int32_t dropSoundPlayed = 0;
};

// The ARGB tint of a token's colour (white for white, steel and others).
uint32_t TokenColourArgb(const CToken& token);
