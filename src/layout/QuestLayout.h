// The look of the quest screen from the skin file "Skin.cfg", as far as the
// menu screens read it: the time gauge, the tutorial panel and pointers, the
// splash and the map flag.
//
// The file counts pixels of a 1024 x 768 screen from the top left, y down.
// Positions are stored on the centred virtual screen (x - 512, 384 - y);
// shifts are stored with their y negated.
#pragma once

#include "engine/Settings.h" // Vec2, Vec3

#include <cstdint>
#include <string>

struct CQuestLayout {
    // Reads every key; a missing file or key, or a value that is not a
    // finite number, keeps its default.
    void Load(const std::string& path);

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
