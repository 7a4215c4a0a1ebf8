#include "totems/VioletTotem.h"

#include <algorithm>
#include <cmath>

void LoadVioletTotemParameters(const CTotemSection& s, const PictureScale& pic, VioletTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "251 253 255 255");
    // A rectangle of the picture stored as its centre (depth -0.4) and size.
    auto centred = [&](const std::string& key, Vec3* centre, Vec2* size) {
        float r[4];
        s.Floats(key.c_str(), "0 0 1 1", r, 4);
        *centre = {r[0] / pic.width + r[2] / pic.width * 0.5f - 0.5f,
                   0.5f - r[3] / pic.height * 0.5f - r[1] / pic.height, -0.4f};
        *size = {r[2] / pic.width, r[3] / pic.height};
    };
    for (int level = 1; level <= 4; ++level)
        centred(KeyOf("Glow%d", level), &p->glowCentres[level - 1], &p->glowSizes[level - 1]);
    p->glowColor = s.Color("GlowColor", "255 255 255 255");
    p->rayColor = s.Color("RayColor", "255 255 255 127");
    for (int level = 1; level <= 4; ++level)
        centred(KeyOf("Ray%d", level), &p->rayCentres[level - 1], &p->raySizes[level - 1]);
    const float heightFactor = s.Float("RayHFactor", "0.2");
    for (int level = 1; level <= 4; ++level) {
        const float r = pic.Length(s.Float(KeyOf("RayR%d", level).c_str(), "8"));
        p->rayRadii[level - 1] = {r, r * heightFactor};
    }
    p->rayW = s.Float("RayW", "0.5");
    for (int level = 1; level <= 4; ++level) {
        float r[4];
        s.Floats(KeyOf("Area%d", level).c_str(), "0 0 1 1", r, 4);
        const Vec2 corner = pic.Point(r[0], r[1]);
        p->areas[level - 1] = {corner.x, corner.y, r[2] / pic.width, r[3] / pic.height};
    }
    p->flyTime = s.Positive("FlyTime", "0.5");
}

CVioletTotem::CVioletTotem() : CColourTotem(kVioletTotem, 4)
{
    parts.reserve(3);
    ownActions.reserve(4);
}

CVioletTotem::~CVioletTotem() { CVioletTotem::ClearSprites(); }

void CVioletTotem::SetParameters(const VioletTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

size_t CVioletTotem::Entry() const { return static_cast<size_t>(std::clamp(level, 1, 4) - 1); }

// The glow and rays leave with the body.
void CVioletTotem::ClearSprites()
{
    for (const auto& part : parts)
        Unshow(part);
    parts.clear();
    CColourTotem::ClearSprites();
}

void CVioletTotem::FadeOut(float speed)
{
    CColourTotem::FadeOut(speed);
    for (const auto& part : parts) {
        if (!part)
            continue;
        part->timed = 1;
        part->timeLeft = 0.01f;
    }
}

void CVioletTotem::PlaceExtras()
{
    if (mode == kSmallTotem)
        return;
    const size_t e = Entry();
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i])
            continue;
        Vec3 local = params.glowCentres[e];
        if (i > 0) {
            const float a = rayAngles[(i - 1) % 2];
            const Vec3& c = params.rayCentres[e];
            local = {c.x + params.rayRadii[e].x * std::cos(a), c.y + params.rayRadii[e].y * std::sin(a), c.z};
        }
        const Vec3 at = Place(local.x, local.y, local.z);
        parts[i]->x = at.x;
        parts[i]->y = at.y;
        parts[i]->z = at.z;
    }
}

void CVioletTotem::ResizeExtras(float, float)
{
    if (mode == kSmallTotem)
        return;
    const size_t e = Entry();
    for (size_t i = 0; i < parts.size(); ++i) {
        const Vec2& size = i == 0 ? params.glowSizes[e] : params.raySizes[e];
        if (parts[i])
            parts[i]->SetSize(scale[0] * size.x, scale[1] * size.y);
    }
}

void CVioletTotem::ShiftExtras(int d)
{
    for (const auto& part : parts)
        if (part)
            part->zOrder += d;
}
