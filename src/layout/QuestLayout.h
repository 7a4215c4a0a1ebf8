// The look of the quest screen from the skin file "Skin.cfg": the frame
// pieces around the board, the board's place and cell size, the gems bar,
// the combo and frenzy messages, the time gauge, the tutorial arrows, the
// splash and the map flag. The game reads it once at start-up and hands its
// values to the board, the sand box, the gems bar, the screens and the map.
//
// The file counts pixels of a 1024 x 768 screen from the top left, y down.
// Positions are stored on the centred virtual screen (x - 512, 384 - y);
// shifts are stored with their y negated.
#pragma once

#include "effects/sandbox/SandboxSettings.h"
#include "engine/Settings.h" // Vec2, Vec3, Vec4

#include <cstdint>
#include <string>
#include <vector>

// One textured piece of the frame around the board, as the board mesh
// draws it.
struct FramePiece {
    Vec4 rect;        // x, y, width, height; y grows downwards
    float uv[8] = {}; // four (u, v) corners: top left, top right, bottom right, bottom left
    int32_t texture = 0;
    uint32_t colour = 0xFFFFFFFF; // ARGB
    // Blend kind: "Add" 1 (additive), "Normal" 2 (darkens by the colour),
    // "Screen" 3; any other word 0 (plain alpha blending).
    int32_t method = 0;
};

// A 1 x 1 gems-bar flare look.
struct GemsFlares {
    float size = 0;
    float maxT = 0;
    float lifeTime = 0;
    float w = 0; // stored multiplied by pi
    uint32_t colour = 0;
};

struct CQuestLayout {
    // Reads every key; a missing file or key keeps its default.
    void Load(const std::string& path);

    // [FrameQuest]
    std::vector<FramePiece> framePieces;

    // [FieldQuest]: the board.
    Vec2 boardOrigin;          // "Coord", the board's top-left corner
    float cellSize = 80.0f;    // "CellSize": cell width and height
    float tokenRadius = 32.0f; // "Radius": the size of new tokens
    // [FieldQuest]: the sand box's own keys ("Sandbox...").
    SandboxSettings sandbox;

    // [FieldQuest]: gems bar, combo and frenzy messages.
    Vec2 gemsOverlayShift, gemsFillingShift, gemsGemsShift, gemsLabelShift, gemsCountShift;
    uint32_t gemsTextColour = 0, gemsTextShadowColour = 0;
    float gemsTextCharSize = 1.0f;
    GemsFlares gemsBigFlares, gemsSmallFlares;
    Vec3 comboMessagePos, frenzyMessagePos;

    // [PanelQuest]: the time gauge.
    Vec2 arrowCenter, arrowShadowCenter;
    float globalAngle = 0;
    Vec3 gaugeGreen, gaugeYellow, gaugeRed; // desaturated by "Saturation"
    float saturation = 1.0f;
    uint32_t gaugeAlphaByte = 0; // floor(Alpha x 255) in the top byte
    float greenEnd = 0, yellowEnd = 0, redEnd = 0;

    // [Tutorial]
    float arrowWinPrefX = 0;
    Vec2 arrowWinSize, arrowUpShift, arrowDownShift, clickHerePoint;
    float clickHereA = 0, clickHereW = 0;
    Vec2 swapThesePoint;

    // [Misc]
    float splashBloomSpeed = 0, splashLifeTime = 0, splashFadeSpeed = 0;

    // [Map]
    Vec2 flagShift, shadowShift, shadowVec;
    float flagMoveTime = 0, flagJumpHeight = 0;
};

// The blend kind of a frame piece's "Method%d" word.
int32_t FrameMethod(const std::string& word);
