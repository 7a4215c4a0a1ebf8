// The white totem's fog, its flowing strips and its power.
#include "totems/WhiteTotem.h"

#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "tokens/BoardGrid.h"
#include "totems/TotemEffects.h"

#include <cmath>

using namespace fx;

namespace {

enum WhitePicture { kStreamPicture = 5, kCloudPicture = 6, kDropPicture = 7 };

// The fog's seven colours: red, green, blue, yellow, violet, orange and a
// rosy white.
const uint32_t kFogColours[7] = {0xffff4040, 0xff40ff40, 0xff4040ff, 0xffffff40,
                                 0xffff40ff, 0xffffc040, 0xffffe0e0};

} // namespace

uint32_t CWhiteTotem::PaintColour(int colour)
{
    static const uint32_t paints[7] = {0xff40ff40, 0xffffff40, 0xffff4040, 0xff4040ff,
                                       0xffffd040, 0xfffff0f0, 0xffff40ff};
    return paints[colour >= 0 && colour < 7 ? colour : 0];
}

// Seven coloured smokes rise softly round the fog's place.
void CWhiteTotem::SetTargets(bool on)
{
    if (!on) {
        StopEmittingAll(runningSystems);
        return;
    }
    if (!runningSystems.empty() || mode == kSmallTotem)
        return;
    const PicturePlace& fog = params.fogs[Entry()];
    const Vec3 at = Place(fog.x, fog.y, fog.z);
    const float sx = scale[0];
    SmokeShape fogShape;
    fogShape.platform = fog.w * sx;
    fogShape.speed = fogShape.rise = 0.04f * sx;
    fogShape.growth = 0.03f * sx;
    fogShape.fade = 0.6f;
    fogShape.fadeSpread = 0.15f;
    fogShape.fadeIn = 2.0f;
    fogShape.size = 0.03f * sx;
    fogShape.sizeSpread = 0.5f;
    fogShape.rate = 4.0f * factor;
    fogShape.duration = kForever;
    for (uint32_t colour : kFogColours)
        if (CountedHandle<CParticleSystem> smoke =
                AddSmoke(particleSystems, Texture(kCloudPicture), at, colour, fogShape, 40)) {
            smoke->Update(0.5f);
            runningSystems.push_back(smoke);
        }
}

// The paint runs down every segment of the strips without a seam.
void CWhiteTotem::FlowStrips(float dt)
{
    stripOffset -= params.streamTSpeed * dt;
    if (stripOffset < 0.0f)
        stripOffset += 1.0f;
    const std::vector<float>& lengths = params.lengths[Entry()];
    float v = stripOffset;
    for (size_t i = 0; i < stripSprites.size() && i < lengths.size(); ++i) {
        const float next = v + lengths[i];
        const float uv[8] = {0.0f, v, 1.0f, v, 1.0f, next, 0.0f, next};
        stripSprites[i]->SetFrameQuad(0, uv);
        v = next;
    }
}

int CWhiteTotem::Activate(int a)
{
    const int result = CTotem::Activate(a);
    waitingFlag = true;
    return result;
}

void CWhiteTotem::ApplyPower(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells)
{
    const int colour = RandomBelow(7);
    const uint32_t alpha = static_cast<uint32_t>(std::floor(params.paintDropIntensity * 255.0f)) & 0xFF;
    const uint32_t paint = (PaintColour(colour) & 0xFFFFFFu) | alpha << 24;
    const PicturePlace& fog = params.fogs[Entry()];
    const CBoardGrid& grid = BoardGrid();
    const size_t n = std::min(points.size(), cells.size());
    for (size_t i = 0; i < n; ++i) {
        const Vec3 start = Place(fog.x + RandomUnit() * 0.4f * fog.w, fog.y, -3.0f);
        const Vec3 control =
            Place(fog.x + 0.5f - RandomUnit() * 0.25f, fog.y + 0.5f - RandomUnit() * 0.25f, -3.0f);
        auto stream = MakeCountedHandle(new CPaintStream());
        stream->Setup(particleSystems, spriteRenderer, Texture(kDropPicture), Texture(kDropPicture));
        stream->lengthMin = params.paintDropLengthFactor.x;
        stream->lengthMax = params.paintDropLengthFactor.y;
        stream->widthMin = params.paintDropWidthFactor.x;
        stream->widthMax = params.paintDropWidthFactor.y;
        stream->wobbleSpeed = params.paintDropW;
        stream->sprayIntensity = params.sprayIntensity;
        stream->sprayDropSize = params.sprayParticleSize;
        stream->sprayDrops = params.sprayParticles;
        stream->Launch(start, control, V3(points[i].x, points[i].y, control.z), 0.5f * grid.cellWidth,
                       0.5f * grid.cellHeight, cells[i].column, cells[i].row, colour, paint, params.paintDropSpeed,
                       zOrder - 2);
        streams.push_back(stream);
    }
    // A puff of the paint where the streams leave.
    if (n > 0) {
        const float sx = scale[0];
        SmokeShape puff;
        puff.platform = fog.w * 0.5f * sx;
        puff.spreadAlong = puff.spreadAcross = 0.3f;
        puff.speed = 0.4f * sx;
        puff.rise = 0.1f * sx;
        puff.growth = 0.13f * sx;
        puff.size = 0.075f * sx;
        puff.rate = 24.0f * factor;
        puff.duration = 0.5f;
        const Vec3 at = Place(fog.x + fog.w * 0.25f, fog.y + 0.01f, -2.0f);
        if (CountedHandle<CParticleSystem> smoke =
                AddSmoke(particleSystems, Texture(kCloudPicture), at, paint, puff, 40))
            smoke->Update(0.25f);
    }
    waitingFlag = false;
}

int CWhiteTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (mode != kSmallTotem && !stripSprites.empty())
        FlowStrips(dt);
    if (state == kTotemMoving)
        return MoveStep(dt);
    if (!PowerRuns())
        return 0;
    AdvanceAll(streams, dt, &hits);
    if (waitingFlag || !streams.empty() || !hits.empty())
        return 0;
    return EndPower(StaysAfterPower());
}
