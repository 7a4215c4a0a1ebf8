#include "totems/WhiteTotem.h"

#include "effects/particles/ParticleSystem.h"

#include <algorithm>
#include <cmath>

void LoadWhiteTotemParameters(const CTotemSection& s, const PictureScale& pic, WhiteTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "255 187 116 255");
    p->stripWFactor = s.Float("StripWFactor", "0.01") * pic.width;
    float r[4];
    for (int level = 1; level <= 4; ++level) {
        const int count = s.Count(KeyOf("Strip%dCount", level).c_str(), "8", WhiteTotemParametres::kMaxLines);
        std::vector<WhiteTotemParametres::Line>& lines = p->lines[level - 1];
        lines.clear();
        for (int i = 0; i < count; ++i) {
            s.Floats(KeyOf("Strip%dLine%d", level, i).c_str(), "131 164 139 154", r, 4);
            const Vec2 a = pic.Point(r[0], r[1]), b = pic.Point(r[2], r[3]);
            lines.push_back({a.x, a.y, b.x, b.y});
        }
        // The paint's texture runs along the strip as far as the lines'
        // second ends are apart.
        std::vector<float>& lengths = p->lengths[level - 1];
        lengths.clear();
        for (size_t i = 0; i + 1 < lines.size(); ++i)
            lengths.push_back(std::hypot(lines[i + 1].x1 - lines[i].x1, lines[i + 1].y1 - lines[i].y1) *
                              p->stripWFactor);
    }
    p->streamIntensity = std::clamp(s.Float("StreamIntensity", "0.8"), 0.0f, 1.0f);
    p->streamTSpeed = s.Float("StreamTSpeed", "0.25");
    for (int level = 1; level <= 4; ++level) {
        float f[3];
        s.Floats(KeyOf("Fog%d", level).c_str(), "160 215 44", f, 3);
        const Vec2 at = pic.Point(f[0], f[1]);
        p->fogs[level - 1] = {at.x, at.y, -1.0f, f[2] / pic.width, 0.0f};
    }
    p->paintDropSpeed = s.Positive("PaintDropSpeed", "800");
    p->paintDropIntensity = std::clamp(s.Float("PaintDropIntensity", "0.8"), 0.0f, 1.0f);
    p->paintDropLengthFactor = s.Pair("PaintDropLengthFactor", "0.8 1.5");
    p->paintDropWidthFactor = s.Pair("PaintDropWidthFactor", "0.5 1.2");
    p->paintDropW = s.Float("PaintDropW", "2") * 3.1415927f;
    p->sprayIntensity = std::clamp(s.Float("SprayIntensity", "0.75"), 0.0f, 1.0f);
    p->sprayParticleSize = s.Float("SprayParticleSize", "48.0");
    p->sprayParticles = s.Count("SprayParticles", "15", 256);
}

CWhiteTotem::CWhiteTotem() : CColourTotem(kWhiteTotem, 5)
{
    streams.reserve(20);
    hits.reserve(20);
}

CWhiteTotem::~CWhiteTotem() { CWhiteTotem::ClearSprites(); }

void CWhiteTotem::SetParameters(const WhiteTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

size_t CWhiteTotem::Entry() const { return static_cast<size_t>(std::clamp(level, 1, 4) - 1); }

// The paint strip: one quad between each two lines across the strip, the
// paint's texture running down them without a gap from `stripOffset`.
void CWhiteTotem::BuildExtras()
{
    if (mode == kSmallTotem)
        return;
    const std::vector<WhiteTotemParametres::Line>& lines = params.lines[Entry()];
    const std::vector<float>& lengths = params.lengths[Entry()];
    const uint32_t alpha = static_cast<uint32_t>(std::floor(params.streamIntensity * 255.0f)) & 0xFF;
    const uint32_t colour = alpha << 24 | 0xFFFFFF;
    float v = stripOffset;
    for (size_t i = 0; i < lengths.size() && i + 1 < lines.size(); ++i) {
        auto strip = MakeCountedHandle(
            new CSprite(position[0], position[1], position[2] - 0.2f, scale[0], scale[1], colour, Texture(5), 1));
        strip->SetAxes(axis1, axis2, 0);
        const WhiteTotemParametres::Line &a = lines[i], &b = lines[i + 1];
        const float corners[8] = {a.x0, a.y0, a.x1, a.y1, b.x1, b.y1, b.x0, b.y0};
        strip->SetVertexOffsets(corners);
        strip->SetFrameRect(0, 0.0f, v, 1.0f, v + lengths[i]);
        strip->SetAlphaNow(0.0f);
        strip->zOrder = zOrder - 2;
        spriteRenderer->Add(strip);
        stripSprites.push_back(strip);
        v += lengths[i];
    }
}

void CWhiteTotem::PlaceExtras()
{
    if (mode == kSmallTotem)
        return;
    for (const auto& strip : stripSprites) {
        strip->x = position[0];
        strip->y = position[1];
        strip->z = position[2] - 0.2f;
    }
}

void CWhiteTotem::ResizeExtras(float, float)
{
    if (mode == kSmallTotem)
        return;
    for (const auto& strip : stripSprites)
        strip->SetSize(scale[0], scale[1]);
}

void CWhiteTotem::ShiftExtras(int d)
{
    for (const auto& strip : stripSprites)
        strip->zOrder += d;
}

void CWhiteTotem::ExtrasOpacity(float value)
{
    for (const auto& strip : stripSprites)
        strip->SetAlphaNow(value);
}

void CWhiteTotem::ClearSprites()
{
    for (const auto& strip : stripSprites)
        Unshow(strip);
    stripSprites.clear();
    CColourTotem::ClearSprites();
    StopEmittingAll(runningSystems);
    streams.clear();
    hits.clear();
}
