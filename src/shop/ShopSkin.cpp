// The reader of the shop's skin. Keys are read in the file's documented
// order; each value is checked as it is read, so that none reaching the shop
// can divide by nothing, count without end or spill a colour.
#include "shop/ShopSkin.h"

#include "engine/CheckedSettings.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float kPi = 3.14159265f;

Vec2 Centred(float x, float y) { return {x - 512.5f, 384.5f - y}; }

// A configured offset grows downwards; on screen y grows upwards.
Vec2 Offset(const Vec2& configured) { return {configured.x, -configured.y}; }

float AlphaOf(uint32_t argb) { return static_cast<float>(argb >> 24) / 255.0f; }

// Shifts of z-orders are added to the form's; a few thousand is all a form
// could use.
int32_t ZOrderShift(const std::string& path, const char* section, const char* key, const char* text)
{
    return std::clamp(ReadCheckedInt(path, section, key, text), -10000, 10000);
}

} // namespace

ShopSkin::ShopSkin()
{
    for (auto* table : {&starShifts, &stubShifts})
        for (auto& row : *table)
            row.fill(Vec2{31.0f, 5.0f});
}

ShopSkin ReadShopSkin(const std::string& path, const char* section)
{
    ShopSkin s;
    const char* sec = section;
    CheckSettingsFile(path, sec);
    s.backgroundSpeed = ReadCheckedVec2(path, sec, "BackgroundTSpeed", "0.25 -0.1545");
    s.backgroundSize = ReadCheckedVec2(path, sec, "BackgroundTSize", "1 0.75");
    s.bonusZShift = ReadCheckedFloat(path, sec, "BonusZShift", "-20");
    s.raysSpeed = -ReadCheckedFloat(path, sec, "SandboxRaysW", "-0.125") * kPi;
    s.sandboxFrontZOrderShift = ZOrderShift(path, sec, "SandboxFrontZOrderShift", "-10");
    const Vec3 frontPos = ReadCheckedVec3(path, sec, "SandboxFrontPos", "425 304 -20");
    s.sandboxFrontSize = ReadCheckedVec2(path, sec, "SandboxFrontSize", "178 60");
    s.sandboxFrontSize.x = std::max(s.sandboxFrontSize.x, 0.0f);
    s.sandboxFrontSize.y = std::max(s.sandboxFrontSize.y, 0.0f);
    const Vec2 topLeft = Centred(frontPos.x, frontPos.y);
    s.sandboxFront = {topLeft.x + s.sandboxFrontSize.x / 2, topLeft.y - s.sandboxFrontSize.y / 2, frontPos.z};
    auto texels = [](Vec4 r) { return Vec4{r.x / 512.0f, r.y / 512.0f, r.z / 512.0f, r.w / 512.0f}; };
    s.sandboxFrontT = texels(ReadCheckedVec4(path, sec, "SandboxFrontT", "162 440 340 500"));
    s.sandboxGlassT = texels(ReadCheckedVec4(path, sec, "SandboxGlassT", "0 380 178 440"));
    s.sandboxGlassColor = ReadCheckedColor(path, sec, "SandboxGlassColor", "108 200 247 255");
    s.sandboxDustSize = std::max(ReadCheckedFloat(path, sec, "SandboxDustSize", "10"), 0.0f);
    s.sandboxDustColor = ReadCheckedColor(path, sec, "SandboxDustColor", "247 217 107 127");
    s.sandboxDustAlpha = AlphaOf(s.sandboxDustColor);
    const Vec3 note = ReadCheckedVec3(path, sec, "SandboxNote", "514 334 -21");
    const Vec2 noteAt = Centred(note.x, note.y);
    s.sandboxNote = {noteAt.x, noteAt.y, note.z};
    s.sandboxNoteColor = ReadCheckedColor(path, sec, "SandboxNoteColor", "255 255 72 255");
    s.sandboxNoteAlpha = AlphaOf(s.sandboxNoteColor);
    char key[32];
    for (int m = 3; m <= 4; ++m)
        for (int slot = 1; slot <= m; ++slot) {
            std::snprintf(key, sizeof key, "Star%dShift%d", m, slot);
            s.starShifts[static_cast<size_t>(m - 3)][static_cast<size_t>(slot - 1)] =
                Offset(ReadCheckedVec2(path, sec, key, "31 -5"));
        }
    s.starsZShift = ReadCheckedFloat(path, sec, "StarsZShift", "-30");
    s.starsZOrderShift = ZOrderShift(path, sec, "StarsZOrderShift", "-30");
    const Vec3 panel = ReadCheckedVec3(path, sec, "StarsSrcPanel", "381 743 264");
    s.panelLeft = Centred(panel.x, panel.y);
    s.panelWidth = std::max(panel.z, 0.0f);
    s.starFlySpeed = ReadPositiveFloat(path, sec, "StarFlySpeed", "2500");
    s.starStationToFly = ReadCheckedVec2(path, sec, "StarStationToFly", "-2 -1");
    s.starTailSize = std::max(ReadCheckedFloat(path, sec, "StarTailSize", "32"), 0.0f);
    s.starTailColor = ReadCheckedColor(path, sec, "StarTailColor", "255 255 127 255");
    // The tail's particle pool is sized from it: a thousand a second is
    // already more than a star's flight can show.
    s.starTailIntensity = std::clamp(ReadCheckedFloat(path, sec, "StarTailIntensity", "80"), 0.0f, 1000.0f);
    s.stubHaloColor = ReadCheckedColor(path, sec, "StubHaloColor", "255 127 127 255");
    s.stubHaloSize = std::max(ReadCheckedFloat(path, sec, "StubHaloSize", "80"), 0.0f);
    s.stubHaloLifeTime = ReadPositiveFloat(path, sec, "StubHaloLifeTime", "0.5");
    s.stubT = ReadPositiveFloat(path, sec, "StubT", "0.4");
    for (int m = 3; m <= 4; ++m)
        for (int slot = 1; slot <= m; ++slot) {
            std::snprintf(key, sizeof key, "Stub%dShift%d", m, slot);
            s.stubShifts[static_cast<size_t>(m - 3)][static_cast<size_t>(slot - 1)] =
                Offset(ReadCheckedVec2(path, sec, key, "31 -5"));
        }
    s.disabledAlpha = std::clamp(ReadCheckedFloat(path, sec, "DisabledAlpha", "0.5"), 0.0f, 1.0f);
    s.pointersT = ReadPositiveFloat(path, sec, "PointersT", "1");
    s.pointersColor = ReadCheckedColor(path, sec, "PointersColor", "255 255 120 255");
    s.pointersLifeTime = ReadPositiveFloat(path, sec, "PointersLifeTime", "1");
    return s;
}
