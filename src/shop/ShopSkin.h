// The shop's look beside its form: the "Shop" section of "Skin.cfg" with
// where the stars, the stubs and the sand glass stand, their sizes, colours,
// speeds and times. Every value has a default, which also stands for one the
// file gives as nothing usable; positions are stored in the centred frame
// (x - 512.5, 384.5 - y of a 1024 x 768 screen).
#pragma once

#include "engine/Settings.h"

#include <array>
#include <cstdint>
#include <string>

struct ShopSkin {
    // Texture units per second of the scrolling background, and the part of
    // the texture it shows.
    Vec2 backgroundSpeed{0.25f, -0.1545f};
    Vec2 backgroundSize{1.0f, 0.75f};
    float bonusZShift = -20.0f;
    // Radians per second of the rays behind the sand glass.
    float raysSpeed = 0.3926991f;
    int32_t sandboxFrontZOrderShift = -10;
    // The sand glass's front: centre x, y and depth offset z; its size and
    // its rectangle of the texture (texture units). The glass's rectangle.
    Vec3 sandboxFront{1.5f, 50.5f, -20.0f};
    Vec2 sandboxFrontSize{178.0f, 60.0f};
    Vec4 sandboxFrontT{0.31640625f, 0.859375f, 0.6640625f, 0.9765625f};
    Vec4 sandboxGlassT{0.0f, 0.7421875f, 0.34765625f, 0.859375f};
    uint32_t sandboxGlassColor = 0xFF6CC8F7;
    float sandboxDustSize = 10.0f;
    uint32_t sandboxDustColor = 0x7FF7D96B;
    float sandboxDustAlpha = 127.0f / 255.0f;
    // The note on the glass: centre x, y and depth offset z.
    Vec3 sandboxNote{1.5f, 50.5f, -21.0f};
    uint32_t sandboxNoteColor = 0xFFFFFF48;
    float sandboxNoteAlpha = 1.0f;
    // Offsets (x, y up) of the bar slots from a bar's centre: [maximum - 3][slot].
    std::array<std::array<Vec2, 4>, 2> starShifts;
    std::array<std::array<Vec2, 4>, 2> stubShifts;
    float starsZShift = -30.0f;
    int32_t starsZOrderShift = -30;
    // The stars panel: its left end (centred) and its width.
    Vec2 panelLeft{-131.5f, -358.5f};
    float panelWidth = 264.0f;
    float starFlySpeed = 2500.0f;
    // From a panel slot to where a flight starts or ends, added as it stands.
    Vec2 starStationToFly{-2.0f, -1.0f};
    float starTailSize = 32.0f;
    uint32_t starTailColor = 0xFFFFFF7F;
    float starTailIntensity = 80.0f;
    uint32_t stubHaloColor = 0xFFFF7F7F;
    float stubHaloSize = 80.0f;
    float stubHaloLifeTime = 0.5f;
    float stubT = 0.4f;
    float disabledAlpha = 0.5f;
    float pointersT = 1.0f;
    uint32_t pointersColor = 0xFFFFFF78;
    float pointersLifeTime = 1.0f;

    ShopSkin();
};

// The section's keys; a missing file, section or key keeps the default. A
// time that divides (StarFlySpeed, StubT, StubHaloLifeTime, PointersT,
// PointersLifeTime) must be above 0; DisabledAlpha is held to 0 .. 1, the
// panel's width and the sizes to 0 or more.
ShopSkin ReadShopSkin(const std::string& path, const char* section);
