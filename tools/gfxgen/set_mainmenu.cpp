// The main menu's scene: night over the oasis ruins. The moon has just set
// behind the far dunes and leaves a warm glow low in the violet sky; a ruined
// gate stands lit on the dunes, a pool holds the glow, palms lean over it,
// and the guardian's carved face looks out of a lamplit niche in the cliff
// on the right. Everything is lit from that glow (cool moonlight from the
// upper left, warm light from the horizon and the lamps), in soft gradients
// and antialiased shapes at one texel to a pixel of the 1024 x 768 screen.
//   MainBack.jpg: the picture in the top 768 rows; below it, rows 768 to
//     1023, the strip of night sky (stars and thin clouds, seamless across)
//     that scrolls in the sky window, one texel to a pixel.
//   MainSkyMask.tga: where the window shows the strip: the open sky, fading
//     out above the horizon glow.
//   MainElements.jpg (+ _alpha): the foliage frame on the left in the top 716
//     rows, the moving pieces below (strands, map, the guardian's face with
//     its eyes and lips in every frame, lantern, urn, leaves).
//   MainFoliage.jpg (+ _alpha): the dark leaves that hang before everything.
//   Both are painted shaded and antialiased and seen up close on a large
//   window, so they are written without blocks (Output::SaveUnblockedWithAlpha).
#include <algorithm>
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const float kPi = 3.14159265f;
const char* const kSection = "MainMenu";

const Color kZenith = Rgb(8, 7, 28);
const Color kSkyHigh = Rgb(26, 20, 64);
const Color kSkyLow = Rgb(70, 44, 106);
const Color kGlowWarm = Rgb(255, 170, 120);
const Color kGlowRose = Rgb(196, 104, 136);
const Color kMoonRim = Rgb(196, 206, 255);
const Color kLamp = Rgb(255, 178, 96);
const Color kWhite = Rgb(255, 255, 255);

// Where the moon went down: the centre of the glow over the far dunes.
constexpr float kGlowX = 600, kGlowY = 372;
// Rows of the picture above which the scrolling strip is the sky, and the
// strip's first row in the texture.
constexpr float kStripRows = 256, kStripTop = 768;

float Sq(float v) { return v * v; }

// The sky's colour by row alone: the strip and the picture share it, so the
// strip fades into the picture without a seam.
Color SkyGradient(float y)
{
    const float t = Clamp01(y / 380.0f);
    return t < 0.5f ? Mix(kZenith, kSkyHigh, Smooth(0.0f, 0.5f, t))
                    : Mix(kSkyHigh, kSkyLow, Smooth(0.5f, 1.0f, t));
}

// The glow of the set moon, flat and wide, gone by the strip's rows.
float GlowAt(float x, float y)
{
    return std::exp(-std::sqrt(Sq((x - kGlowX) / 330.0f) + Sq((y - kGlowY) / 95.0f)) * 2.2f);
}

Color SkyAt(float x, float y)
{
    const float g = GlowAt(x, y);
    Color c = Mix(SkyGradient(y), kGlowRose, 0.55f * Clamp01(g * 1.6f));
    return Mix(c, kGlowWarm, 0.75f * g * g);
}

// The dune ridges, far to near: the row of each ridge's crest at x.
float Ridge(int layer, float x)
{
    switch (layer) {
    case 0:
        return 356 + 16 * std::sin(x / 170.0f + 1.0f) + 14 * Fbm(x / 120.0f, 0.5f, 600, 4);
    case 1:
        return 392 + 26 * std::sin(x / 230.0f + 2.4f) + 16 * Fbm(x / 90.0f, 1.5f, 601, 4);
    default:
        return 452 + 40 * std::sin(x / 300.0f - 0.6f) + 18 * Fbm(x / 110.0f, 2.5f, 602, 4);
    }
}

// The guardian's cliff: its left edge at row y, overhanging at the top.
float CliffEdge(float y)
{
    const float lean = 150 * Sq(Clamp01(1 - y / 210.0f));
    return 690 + 26 * std::sin(y / 95.0f) + 30 * Fbm(y / 55.0f, 3.5f, 610, 4) - lean;
}

// How far inside the cliff a point lies (negative outside), in pixels.
float CliffDepth(float x, float y) { return x - CliffEdge(y); }

// The open sky of the picture, softly: 1 in the sky, 0 on the dunes and the
// cliff, the edge a pixel or two wide.
float SkyOpen(float x, float y) { return Clamp01((Ridge(0, x) - y) / 1.5f) * Clamp01(-CliffDepth(x, y) / 1.5f); }

// A carved arch: its inside, 1 deep within, soft at the edge.
float InArch(float x, float y, float cx, float top, float halfWidth, float bottom)
{
    const float springing = top + halfWidth;
    float d;
    if (y < springing)
        d = std::hypot(x - cx, y - springing) - halfWidth;
    else
        d = std::max(std::fabs(x - cx) - halfWidth, y - bottom);
    return Clamp01(0.5f - d);
}

constexpr float kNicheX = 784, kNicheTop = 196, kNicheHalf = 104, kNicheBottom = 470;

// The cliff's face at (x, y), lit by the moon's glow from the left and the
// niche's lamp.
Color CliffAt(float x, float y)
{
    const float depth = CliffDepth(x, y);
    // Relief: broad slabs, strata and fine grain, lit from the upper left.
    // Broad slabs with ridged edges, ledges of the strata every 60 rows or
    // so, and a fine grain.
    auto height = [](float px, float py) {
        const float slabs = 1 - std::fabs(2 * Fbm(px / 120.0f, py / 90.0f, 611, 4) - 1);
        const float course = py + 26 * Fbm(px / 150.0f, py / 80.0f, 612, 3);
        const float strata = (course + 600) / 58.0f, floorOf = std::floor(strata);
        const float ledge = 3.0f * (floorOf + Smooth(0.6f, 1.0f, strata - floorOf)); // terraces, no seam
        return 12 * slabs + ledge + 0.5f * Fbm(px / 5.0f, py / 4.0f, 613, 2);
    };
    const float hx = height(x + 1, y) - height(x - 1, y), hy = height(x, y + 1) - height(x, y - 1);
    const float lambert = Clamp01(0.5f - 0.5f * hx - 0.45f * hy);
    Color c = Mix(Rgb(30, 22, 40), Rgb(112, 86, 106), lambert);
    c = Scale(c, 0.8f + 0.3f * Fbm(x / 160.0f, y / 120.0f, 616, 3));
    // Sandstone warming towards its foot, fine cracks.
    c = Mix(c, Rgb(120, 76, 66), 0.3f * Smooth(380, 720, y));
    const float crack = std::fabs(Fbm(x / 70.0f, y / 110.0f, 614, 4) - 0.5f);
    c = Scale(c, 1.0f - 0.3f * Smooth(0.008f, 0.0f, crack));
    // The moon's glow rims the edge; the rock darkens into the cliff.
    c = Mix(c, Mix(kGlowRose, kMoonRim, 0.4f), 0.5f * std::exp(-depth / 10.0f) * Smooth(0.0f, 2.0f, depth));
    c = Scale(c, 1.0f - 0.4f * Smooth(20, 320, depth));
    // The niche's lamp lights the rock around it.
    const float lamp = std::exp(-std::hypot((x - kNicheX) / 1.6f, y - 440.0f) / 120.0f);
    c = Mix(c, Mix(c, kLamp, 0.6f), 0.6f * lamp);
    // The carved niche: deep shadow at the top, the lamp's warmth at its foot.
    const float niche = InArch(x, y, kNicheX, kNicheTop, kNicheHalf, kNicheBottom);
    if (niche > 0) {
        const float v = Clamp01((y - kNicheTop) / (kNicheBottom - kNicheTop));
        Color inside = Mix(Rgb(20, 12, 26), Rgb(120, 62, 40), Smooth(0.35f, 1.0f, v));
        inside = Mix(inside, Rgb(12, 8, 18), 0.5f * Smooth(60, 100, std::fabs(x - kNicheX)));
        c = Mix(c, inside, niche);
    }
    // The niche's rim: a carved moulding, lit on its left flank.
    const float rim = InArch(x, y, kNicheX, kNicheTop - 12, kNicheHalf + 12, kNicheBottom) - niche;
    if (rim > 0) {
        const float lit = Clamp01(0.5f - (x - kNicheX) / 240.0f);
        c = Mix(c, Mix(Rgb(80, 60, 84), Rgb(190, 150, 150), lit), 0.85f * rim);
    }
    return c;
}

// The floor of the oasis: sand in long ripples, the glow on its near side,
// darkening towards the foot of the picture without a band.
Color SandAt(float x, float y, float top)
{
    const float t = Clamp01((y - top) / (768 - top));
    Color c = Mix(Rgb(86, 58, 92), Rgb(34, 22, 42), Smooth(0.0f, 1.0f, t));
    // Ripples of sand, their crests catching the glow.
    const float ripple = std::sin((y * 0.8f + 30 * Fbm(x / 160.0f, y / 50.0f, 620, 4)) * 0.28f);
    c = Scale(c, 1.0f + 0.16f * Smooth(0.3f, 1.0f, ripple) * (1 - t) - 0.08f * Smooth(-0.3f, -1.0f, ripple) +
                     0.14f * (Fbm(x / 40.0f, y / 18.0f, 621, 4) - 0.5f));
    c = Mix(c, kGlowWarm, 0.2f * GlowAt(x, y * 0.8f + 80));
    // The pool's warm light and the niche lamp's spill.
    c = Mix(c, kLamp, 0.22f * std::exp(-std::hypot((x - 570) / 2.4f, y - 640) / 90.0f));
    c = Mix(c, kLamp, 0.25f * std::exp(-std::hypot(x - 790, (y - 520) * 1.6f) / 130.0f));
    return c;
}

// A palm: a leaning, ringed trunk and a crown of feathered fronds, lit on
// the side towards the glow.
void PaintPalm(Image& img, float baseX, float baseY, float height, float lean, uint32_t seed)
{
    Rng rng(seed);
    const Pt top{baseX + lean, baseY - height};
    const int steps = 80;
    for (int i = 0; i < steps; ++i) {
        const float t0 = static_cast<float>(i) / steps, t1 = static_cast<float>(i + 1) / steps;
        auto at = [&](float t) { return Pt{baseX + lean * t * t, baseY - height * t}; };
        const float w = 11 - 6 * t0;
        const Pt a = at(t0), b = at(t1);
        const float ring = 0.88f + 0.12f * std::sin(t0 * 60);
        const Color bark = Scale(Rgb(74, 52, 62), ring);
        StrokeSegment(img, a, b, w, bark, 1.0f, 1.0f);
        // The lit flank.
        StrokeSegment(img, {a.x - w * 0.3f, a.y}, {b.x - w * 0.3f, b.y}, w * 0.25f, Mix(bark, kGlowRose, 0.45f),
                      0.7f, 1.0f);
    }
    const int fronds = 9;
    for (int f = 0; f < fronds; ++f) {
        const float a0 = -kPi * 0.95f + kPi * 1.9f * (f + rng.Range(0.2f, 0.8f)) / fronds;
        const float len = height * rng.Range(0.42f, 0.55f);
        const float droop = rng.Range(0.5f, 0.9f);
        Pt last = top;
        for (int k = 1; k <= 24; ++k) {
            const float t = k / 24.0f;
            const float ang = a0 + droop * t * t * (std::cos(a0) > 0 ? 1.0f : -1.0f) * 1.2f;
            const Pt p{top.x + std::cos(a0) * len * t,
                       top.y + std::sin(a0) * len * t * 0.6f + droop * len * t * t * 0.8f};
            const float lit = Clamp01(0.5f - std::cos(a0) * 0.4f + (p.y < top.y ? 0.2f : 0.0f));
            const Color leaf = Mix(Rgb(22, 44, 44), Rgb(84, 118, 100), lit);
            StrokeSegment(img, last, p, 2.2f * (1 - t) + 0.8f, Rgb(34, 44, 40));
            for (int side : {-1, 1}) {
                const float la = ang + side * (1.2f - 0.4f * t) + 0.35f;
                const float ll = (1 - t * 0.6f) * len * 0.2f;
                PaintLeaf(img, p.x + std::cos(la) * ll * 0.5f, p.y + std::sin(la) * ll * 0.5f + ll * 0.15f, ll,
                          ll * 0.3f, la + 0.5f, leaf);
            }
            last = p;
        }
    }
    img.Glow(top.x, top.y, 10, Rgb(40, 30, 30), 0.8f, 1.2f, false);
}

// A distant ruined gate on the dunes, its doorway lit from within.
void PaintGate(Image& img, float cx, float ground)
{
    const Color stone = Rgb(58, 40, 78), lit = Mix(stone, kGlowWarm, 0.35f);
    auto block = [&](float x0, float y0, float x1, float y1) {
        for (int y = static_cast<int>(y0) - 1; y <= static_cast<int>(y1) + 1; ++y)
            for (int x = static_cast<int>(x0) - 1; x <= static_cast<int>(x1) + 1; ++x) {
                const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, x0, y0, x1, y1, 1.5f);
                const float k = Clamp01(0.5f - d);
                if (k <= 0)
                    continue;
                Color c = Mix(stone, lit, Clamp01((x - x0) / (x1 - x0)) * 0.8f);
                c = Scale(c, 0.9f + 0.2f * Fbm(x / 4.0f, y / 4.0f, 630, 3));
                img.Blend(x, y, c, k);
            }
    };
    block(cx - 46, ground - 86, cx - 26, ground);
    block(cx + 26, ground - 86, cx + 46, ground);
    block(cx - 56, ground - 100, cx + 40, ground - 84); // the lintel, broken on the right
    block(cx + 46, ground - 30, cx + 62, ground);       // a fallen stone
    // The doorway's light and its bloom.
    for (int y = static_cast<int>(ground - 84); y < static_cast<int>(ground); ++y)
        for (int x = static_cast<int>(cx - 26); x < static_cast<int>(cx + 26); ++x) {
            const float v = (y - (ground - 84)) / 84.0f, u = std::fabs(x + 0.5f - cx) / 26.0f;
            Color c = Mix(Rgb(250, 196, 120), Rgb(190, 100, 56), v);
            c = Mix(c, Rgb(120, 60, 50), 0.5f * Smooth(0.5f, 1.0f, u) + 0.3f * Smooth(0.3f, 0.0f, v));
            img.Blend(x, y, c, 0.92f);
        }
    img.Glow(cx, ground - 40, 120, kLamp, 0.28f, 1.8f, true);
}

// A weathered boulder half sunk in the sand, lit from the upper left.
void PaintStone(Image& img, float cx, float cy, float rx, float ry, uint32_t seed)
{
    for (int y = static_cast<int>(cy - ry - 2); y <= static_cast<int>(cy + ry * 0.6f); ++y)
        for (int x = static_cast<int>(cx - rx - 2); x <= static_cast<int>(cx + rx + 2); ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float u = (fx - cx) / rx, v = (fy - cy) / ry;
            const float wobble = 0.08f * Fbm(std::atan2(v, u) * 2 + 10, 0.5f, seed, 3);
            const float d = std::hypot(u, v) - 1 + wobble;
            const float cover = Clamp01(0.5f - d * std::min(rx, ry));
            if (cover <= 0)
                continue;
            const float nz = std::sqrt(std::max(0.0f, 1 - u * u - v * v));
            const float lit = Clamp01(-0.55f * u - 0.6f * v + 0.55f * nz);
            Color c = Mix(Rgb(34, 24, 40), Rgb(138, 104, 116), lit);
            c = Mix(c, kGlowRose, 0.3f * Smooth(0.3f, 1.0f, -u) * Smooth(0.2f, -0.6f, v));
            c = Scale(c, 0.85f + 0.25f * Fbm(fx / 6.0f, fy / 5.0f, seed + 1, 3));
            // Sand drifted over its foot.
            c = Mix(c, SandAt(fx, fy, 480), Smooth(0.15f, 0.55f, v));
            img.Blend(x, y, c, cover);
        }
}

// A fluted column that fell long ago, lying along the sand from (x0, y0) to
// (x1, y1), its broken end towards the viewer.
void PaintFallenColumn(Image& img, Pt a, Pt b, float radius)
{
    const float dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const float ux = dx / len, uy = dy / len;
    for (int y = static_cast<int>(std::min(a.y, b.y) - radius - 2);
         y <= static_cast<int>(std::max(a.y, b.y) + radius + 2); ++y)
        for (int x = static_cast<int>(std::min(a.x, b.x) - radius - 2);
             x <= static_cast<int>(std::max(a.x, b.x) + radius + 2); ++x) {
            const float px = x + 0.5f - a.x, py = y + 0.5f - a.y;
            const float along = px * ux + py * uy, across = -px * uy + py * ux;
            if (along < 0 || along > len)
                continue;
            const float cover = Clamp01(radius - std::fabs(across) + 0.5f);
            if (cover <= 0)
                continue;
            const float s = across / radius; // -1 top, 1 bottom
            const float flute = 0.88f + 0.12f * std::cos(std::asin(Clamp01(std::fabs(s)) * (s < 0 ? -1 : 1)) * 12);
            Color c = Mix(Rgb(176, 140, 146), Rgb(40, 28, 46), Smooth(-0.9f, 0.8f, s));
            c = Mix(c, kGlowRose, 0.35f * Smooth(-0.5f, -1.0f, s));
            c = Scale(c, flute * (0.85f + 0.2f * Fbm(x / 7.0f, y / 7.0f, 660, 3)));
            c = Mix(c, SandAt(x + 0.5f, y + 0.5f, 480), Smooth(0.35f, 0.9f, s));
            img.Blend(x, y, c, cover);
        }
    // The broken end: its round face, lit, with the flutes' notches.
    for (int y = static_cast<int>(b.y - radius - 2); y <= static_cast<int>(b.y + radius + 2); ++y)
        for (int x = static_cast<int>(b.x - radius); x <= static_cast<int>(b.x + radius); ++x) {
            const float u = (x + 0.5f - b.x) / (radius * 0.45f), v = (y + 0.5f - b.y) / radius;
            const float d = std::hypot(u, v);
            const float cover = Clamp01((1 - d) * radius * 0.45f + 0.5f);
            if (cover <= 0)
                continue;
            Color c = Mix(Rgb(168, 134, 140), Rgb(96, 70, 86), Clamp01(0.5f + 0.5f * v));
            c = Scale(c, 0.85f + 0.25f * Fbm(x / 4.0f, y / 4.0f, 661, 3));
            c = Mix(c, SandAt(x + 0.5f, y + 0.5f, 480), Smooth(0.4f, 0.95f, v));
            img.Blend(x, y, c, cover);
        }
}

Image MakeBack()
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    Rng rng(540);
    // Sky, the dune ridges far to near, the floor of the oasis.
    const Color ridgeColour[3] = {Rgb(92, 58, 112), Rgb(74, 46, 92), Rgb(60, 38, 74)};
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            Color c = SkyAt(fx, fy);
            // The nearest ridge is the oasis floor itself.
            for (int layer = 0; layer < 3; ++layer) {
                const float crest = Ridge(layer, fx);
                const float k = Clamp01(fy - crest + 0.5f);
                if (k <= 0)
                    continue;
                const float below = fy - crest;
                // Haze thins with nearness; the crest catches the glow.
                Color d = layer == 2 ? SandAt(fx, fy, crest)
                                     : Mix(ridgeColour[layer], Rgb(30, 20, 40), Smooth(0, 160, below) * 0.5f);
                if (layer < 2)
                    d = Mix(d, SkyAt(fx, crest), 0.35f - 0.1f * layer);
                d = Mix(d, Mix(kGlowWarm, kGlowRose, 0.4f),
                        (0.55f - 0.12f * layer) * std::exp(-below / (5.0f + 3 * layer)) * GlowAt(fx, crest) *
                            1.6f);
                d = Scale(d, 0.94f + 0.1f * Fbm(fx / 60.0f, fy / 14.0f, 603 + layer, 3));
                c = Mix(c, d, k);
            }
            img.At(x, y) = c;
        }
    // Stars in the open sky, thinning towards the glow.
    for (int i = 0; i < 260; ++i) {
        const float x = rng.Range(0, 1024), y = rng.Range(0, 360);
        const float open = SkyOpen(x, y) * (1 - Clamp01(GlowAt(x, y) * 2.5f)) * Smooth(360, 200, y);
        if (open > 0)
            img.Glow(x, y, rng.Range(1.0f, 2.4f), Rgb(255, 246, 230), rng.Range(0.25f, 0.9f) * open, 1.4f, true);
    }
    PaintGate(img, 584, 392);
    // The ruins of a colonnade on the farthest ridge, hazy.
    for (int k = 0; k < 5; ++k) {
        const float x = 190 + k * 34.0f, base = Ridge(0, x) + 6, h = (k == 2 ? 22.0f : 40.0f - 4 * k);
        img.RoundRect(x, base - h, x + 9, base, 1.5f, Mix(ridgeColour[0], kSkyLow, 0.3f), 0.9f);
    }
    // The cliff, down to the sand with a drift over its foot.
    for (int y = 0; y < 768; ++y)
        for (int x = 380; x < 1024; ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float k = Clamp01(CliffDepth(fx, fy) + 0.5f);
            if (k <= 0)
                continue;
            const float drift = 640 + 22 * std::sin(fx / 70.0f) + 14 * Fbm(fx / 40.0f, 0.5f, 615, 3);
            Color c = CliffAt(fx, fy);
            if (fy > drift - 30)
                c = Mix(c, SandAt(fx, fy, 520), Smooth(drift - 30, drift + 10, fy));
            img.Blend(x, y, c, k);
        }
    // The guardian's face stands out of the niche's shadow.
    img.Glow(800, 340, 120, Rgb(6, 4, 10), 0.55f, 1.2f, false);
    // A small lamp at the niche's foot, under the guardian.
    img.Glow(kNicheX, 452, 70, kLamp, 0.5f, 1.5f, true);
    FillEllipse(img, kNicheX, 462, 18, 6, Rgb(70, 40, 30));
    FillEllipse(img, kNicheX, 456, 4, 7, Rgb(255, 230, 170));
    // The pool holds the sky and the glow; wet sand rims it.
    const float px = 565, py = 650, rx = 236, ry = 46;
    for (int y = static_cast<int>(py - ry - 12); y < static_cast<int>(py + ry + 12); ++y)
        for (int x = static_cast<int>(px - rx - 20); x < static_cast<int>(px + rx + 20); ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float d = std::hypot((fx - px) / rx, (fy - py) / ry);
            if (d > 1.12f)
                continue;
            if (d > 1.0f) {
                img.Blend(x, y, Rgb(40, 26, 44), 0.5f * Smooth(1.12f, 1.0f, d));
                continue;
            }
            // Mirrored sky, a streak of the glow, ripples of light.
            const float mirror = py - (fy - py) * 4.0f - 140;
            Color w = Scale(SkyAt(fx, std::max(0.0f, mirror)), 0.75f);
            w = Mix(w, kGlowWarm,
                    0.5f * std::exp(-std::fabs(fx - kGlowX) / 30.0f) *
                        (0.6f + 0.4f * std::sin(fy * 1.7f + Fbm(fx / 12.0f, fy, 631, 2) * 6)));
            w = Mix(w, kLamp, 0.25f * std::exp(-std::fabs(fx - 584) / 14.0f));
            w = Scale(w, 0.9f + 0.15f * Fbm(fx / 30.0f, fy / 3.0f, 632, 3));
            w = Mix(w, Rgb(20, 14, 34), 0.4f * Smooth(0.6f, 1.0f, d));
            img.Blend(x, y, w, Clamp01((1 - d) * ry));
        }
    // The ruin's remains on the near sand, left of the pool.
    PaintStone(img, 250, 662, 34, 22, 670);
    PaintFallenColumn(img, {96, 596}, {296, 626}, 22);
    PaintStone(img, 150, 690, 22, 15, 671);
    PaintStone(img, 318, 640, 14, 10, 672);
    // Palms over the pool, the near one before the cliff.
    PaintPalm(img, 420, 652, 190, 26, 650);
    PaintPalm(img, 760, 648, 230, -38, 651);
    // Reeds at the water's edge, dark against it.
    for (int i = 0; i < 18; ++i) {
        const float side = i < 9 ? -1.0f : 1.0f;
        const float x = px + side * rng.Range(150, 220), base = py + ry * std::sqrt(1 - Sq((x - px) / rx)) * 0.7f;
        const float h = rng.Range(18, 38), bend = side * rng.Range(2, 9);
        const Pt mid{x + bend * 0.3f, base - h * 0.55f}, tip{x + bend, base - h};
        StrokeSegment(img, {x, base}, mid, 2.2f, Rgb(30, 28, 40), 0.9f);
        StrokeSegment(img, mid, tip, 1.4f, Rgb(40, 36, 50), 0.9f);
    }
    // A soft vignette and a haze of glow over the dunes.
    ShadeImage(img, [](int x, int y) {
        if (y >= 768)
            return 1.0f;
        const float dx = (x - 560.0f) / 620.0f, dy = (y - 360.0f) / 470.0f;
        return 1.0f - 0.45f * Smooth(0.45f, 1.25f, std::hypot(dx, dy));
    });

    // The strip of sky that scrolls in the window: the gradient of the rows
    // it stands over, stars, and thin clouds lit from below, seamless across.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float fy = y + 0.5f;
            Color c = SkyGradient(fy);
            const float cloud = Smooth(0.48f, 0.78f, Fbm(x / 128.0f, fy / 40.0f, 641, 5, 8));
            const float wisp = Smooth(0.55f, 0.8f, Fbm(x / 64.0f, fy / 12.0f, 642, 4, 16));
            const Color underside = Mix(kGlowRose, Rgb(110, 80, 140), 0.6f);
            const Color cloudColour = Mix(Rgb(40, 32, 80), underside, Smooth(60, 256, fy) * 0.7f);
            c = Mix(c, cloudColour, 0.55f * cloud + 0.25f * wisp);
            img.At(x, static_cast<int>(kStripTop) + y) = c;
        }
    for (int i = 0; i < 320; ++i) {
        const float x = rng.Range(0, 1024), y = rng.Range(2, 250), b = rng.Range(0.25f, 1.0f);
        const float r = rng.Range(0.9f, 2.2f);
        for (int ox : {-1024, 0, 1024})
            img.Glow(x + ox, kStripTop + y, r * 2.5f, Rgb(255, 246, 225), b * 0.9f, 1.6f, true);
    }
    for (int y = static_cast<int>(kStripTop + kStripRows); y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
            img.At(x, y) = Color{0, 0, 0, 1};
    return img;
}

// Where the window shows the strip: the open sky, eased out over the rows
// above the glow, where the picture's own sky carries on, and along the
// window's left end.
Image MakeSkyMask(const SceneConfig& cfg)
{
    const std::vector<float> pos = cfg.Numbers(kSection, "SkyPos", "262 0");
    const std::vector<float> size = cfg.Numbers(kSection, "SkySize", "762 256");
    const std::vector<float> extent = cfg.Numbers(kSection, "SkyMaskTSize", "254 104");
    const float mu = extent[0] / 256, mv = extent[1] / 128;
    return MakeMask(256, 128, [&](float u, float v) {
        const float x = pos[0] + (u - (1 - mu)) / mu * size[0], y = pos[1] + v / mv * size[1];
        // Kept a few pixels off the cliff and the dunes: the mask is coarse.
        const float open = Clamp01((Ridge(0, x) - y - 4) / 6.0f) * Clamp01((-CliffDepth(x, y) - 4) / 6.0f);
        return open * Smooth(pos[1] + size[1], pos[1] + size[1] * 0.62f, y) * Smooth(pos[0], pos[0] + 60, x);
    });
}

// An element's top-left corner on the screen ("Sprite%d" gives x, y, z).
Box Corner(const SceneConfig& cfg, const char* key)
{
    const std::vector<float> n = cfg.Numbers(kSection, key, "0 0 0");
    return Box{n[0], n[1], 0, 0};
}

// A leaf lit from the upper left: its two halves in two shades about the
// midrib, veins, a rim of moonlight on the lit edge and a soft outline.
// (cx, cy) is its middle; it points along `angle`, drooping by `droop`.
void PaintLitLeaf(Image& img, float cx, float cy, float length, float width, float angle, const Color& base,
                  float rim, float droop = 0.15f, float k = 1.0f)
{
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float reach = length * 0.5f + width + 2;
    // Which half faces the light (from the upper left).
    const float facing = (-ca * 0.8f + sa * 0.6f) > 0 ? 1.0f : -1.0f;
    for (int y = static_cast<int>(cy - reach); y <= static_cast<int>(cy + reach); ++y)
        for (int x = static_cast<int>(cx - reach); x <= static_cast<int>(cx + reach); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float along = dx * ca + dy * sa, across0 = -dx * sa + dy * ca;
            const float t = along / length + 0.5f;
            if (t < -0.05f || t > 1.05f)
                continue;
            const float across = across0 - droop * length * Sq(t - 0.3f) * (ca >= 0 ? 1.0f : -1.0f);
            const float half =
                width * 0.5f * std::pow(std::max(0.0f, std::sin(kPi * Clamp01(t))), 0.7f) * (1 - 0.35f * t);
            const float cover = Clamp01(half - std::fabs(across) + 0.5f);
            if (cover <= 0)
                continue;
            const float side = half > 0.01f ? across / half : 0;
            const float lit = 0.5f + 0.5f * side * facing;
            Color c = Mix(Scale(base, 0.55f), Mix(base, kWhite, 0.12f), lit);
            c = Mix(c, Scale(base, 1.2f), 0.3f * t);
            // Veins running out from the midrib to the tip.
            const float vein = std::fabs(std::fmod(t * 7 - std::fabs(side) * 1.4f + 10, 1.0f) - 0.5f);
            c = Mix(c, Scale(base, 1.25f),
                    0.25f * Smooth(0.1f, 0.0f, vein) * Smooth(0.95f, 0.5f, std::fabs(side)));
            c = Mix(c, Mix(base, kWhite, 0.35f), 0.5f * Smooth(1.2f, 0.0f, std::fabs(across)) * (1 - t));
            // The lit edge catches the moon.
            c = Mix(c, kMoonRim, rim * Smooth(0.7f, 1.0f, side * facing));
            // A dark outline on the shadowed edge gives the leaf its depth.
            c = Mix(c, Scale(base, 0.3f), 0.6f * Smooth(0.75f, 1.0f, -side * facing));
            img.Blend(x, y, c, cover * k);
        }
}

// The stone face of the guardian in relief, lit from the upper left and
// warmed from below by the lamp, and its eyes and lips in every frame: each
// frame cut from the face as it stands, so the frames swap without a seam.
void PaintFace(Image& img, const Box& face, const Box& eyes, const Box& openEyes, const Box& lips,
               const Box& lips1, const Box& lips2, const Box& faceOnScreen, const Box& eyesOnScreen,
               const Box& lipsOnScreen)
{
    // The eyes and the mouth in the face's own units (-1..1).
    const float eyeV = ((eyesOnScreen.y + eyes.h / 2) - faceOnScreen.y) / (face.h / 2) - 1;
    const float mouthV = ((lipsOnScreen.y + lips.h / 2) - faceOnScreen.y) / (face.h / 2) - 1;
    auto bump = [](float u, float v, float cu, float cv, float su, float sv) {
        return std::exp(-(Sq((u - cu) / su) + Sq((v - cv) / sv)));
    };
    auto height = [&](float u, float v) {
        const float d = std::hypot(u, v * 0.95f);
        float h = std::sqrt(std::max(0.0f, 1 - d * d)) * 0.8f; // the dome of the face
        h += 0.22f * bump(u, v, 0, eyeV - 0.2f, 0.7f, 0.07f);  // brow
        h -= 0.26f * (bump(u, v, -0.33f, eyeV, 0.19f, 0.1f) + bump(u, v, 0.33f, eyeV, 0.19f, 0.1f)); // sockets
        h += 0.34f * bump(u, v, 0, (eyeV + mouthV) / 2 - 0.02f, 0.08f, 0.2f);                        // nose
        h +=
            0.14f * (bump(u, v, -0.44f, eyeV + 0.32f, 0.2f, 0.18f) + bump(u, v, 0.44f, eyeV + 0.32f, 0.2f, 0.18f));
        h += 0.1f * bump(u, v, 0, mouthV - 0.03f, 0.24f, 0.05f); // upper lip
        h += 0.08f * bump(u, v, 0, mouthV + 0.06f, 0.2f, 0.05f); // lower lip
        h += 0.14f * bump(u, v, 0, mouthV + 0.3f, 0.22f, 0.11f); // chin
        return h;
    };
    for (int y = static_cast<int>(face.y); y < static_cast<int>(face.y + face.h); ++y)
        for (int x = static_cast<int>(face.x); x < static_cast<int>(face.x + face.w); ++x) {
            const float u = (x + 0.5f - face.Cx()) / (face.w / 2), v = (y + 0.5f - face.Cy()) / (face.h / 2);
            const float d = std::hypot(u, v * 0.95f);
            const float cover = Clamp01((1 - d) * face.w / 2 + 0.5f);
            if (cover <= 0)
                continue;
            const float e = 0.02f;
            const float nx = (height(u - e, v) - height(u + e, v)) / (2 * e) * 0.8f;
            const float ny = (height(u, v - e) - height(u, v + e)) / (2 * e) * 0.8f;
            const float len = std::sqrt(nx * nx + ny * ny + 1);
            const float moon = Clamp01((nx * -0.55f + ny * -0.5f + 0.67f) / len);
            const float lamp = Clamp01((ny * 0.8f + 0.6f) / len);
            Color c = Mix(Rgb(46, 36, 52), Rgb(176, 160, 170), moon);
            c = Mix(c, Mix(c, kLamp, 0.7f), 0.45f * lamp * Smooth(-0.6f, 1.0f, v));
            // The stone's grain and a few weathered pits.
            c = Scale(c, 0.92f + 0.14f * Fbm(x / 3.0f, y / 3.0f, 550, 3));
            c = Scale(c, 1.0f - 0.25f * Smooth(0.78f, 0.9f, Fbm(x / 6.0f, y / 6.0f, 551, 3)));
            // The gilded band over the brow.
            const float band = v - (eyeV - 0.52f);
            if (band < 0 && band > -0.36f) {
                const float groove = std::fabs(std::fmod(-band * 3 / 0.36f, 1.0f) - 0.5f);
                Color gold = Mix(Rgb(120, 74, 30), Rgb(255, 214, 120), moon);
                gold = Mix(gold, Mix(gold, kLamp, 0.5f), 0.3f * lamp);
                gold = Scale(gold, 0.7f + 0.3f * Smooth(0.05f, 0.2f, groove));
                c = Mix(c, gold, Clamp01(-band * 40) * Clamp01((band + 0.36f) * 40));
            }
            // A turquoise stone set in the band's middle.
            const float jewel = std::hypot(u / 0.11f, (v - (eyeV - 0.7f)) / 0.09f);
            if (jewel < 1.2f) {
                Color stone = Mix(Rgb(20, 120, 130), Rgb(150, 255, 240),
                                  Clamp01(0.8f - jewel * 0.6f - 0.5f * u - 0.5f * (v - eyeV + 0.7f) * 8));
                stone = Mix(stone, kWhite, 0.8f * std::exp(-Sq((jewel - 0.1f) / 0.25f)) * Clamp01(-u * 20 + 1));
                c = Mix(c, Mix(Rgb(90, 60, 20), stone, Clamp01((1 - jewel) * 12)), Clamp01((1.2f - jewel) * 10));
            }
            // The rim of the face turns away into shadow.
            c = Scale(c, 1.0f - 0.45f * Smooth(0.75f, 1.0f, d));
            c.a = 1;
            img.Blend(x, y, c, cover);
        }
    const float ex = face.x + (eyesOnScreen.x - faceOnScreen.x), ey = face.y + (eyesOnScreen.y - faceOnScreen.y);
    const float lx = face.x + (lipsOnScreen.x - faceOnScreen.x), ly = face.y + (lipsOnScreen.y - faceOnScreen.y);
    // Each frame is copied with a margin of two texels, so that filtering
    // at its edges samples the face and not what lies beside it.
    auto grown = [](const Box& b) { return Box{b.x - 2, b.y - 2, b.w + 4, b.h + 4}; };
    const Box eyeArea{ex, ey, eyes.w, eyes.h}, lipArea{lx, ly, lips.w, lips.h};
    for (const Box* frame : {&eyes, &openEyes}) {
        CopyResampled(img, grown(eyeArea), img, grown(*frame));
        for (int k = 0; k < 2; ++k) {
            const float cx = frame->x + frame->w * (0.25f + 0.5f * k), cy = frame->Cy() + 1;
            if (frame == &eyes) {
                // Closed: heavy carved lids.
                FillEllipse(img, cx, cy - 1, 11, 5, Rgb(96, 82, 96), 0.7f);
                StrokeSegment(img, {cx - 11, cy + 1}, {cx + 11, cy + 1}, 1.6f, Rgb(30, 22, 32), 0.9f);
            } else {
                FillEllipse(img, cx, cy, 11, 6, Rgb(14, 40, 50));
                FillEllipse(img, cx, cy, 6, 5, Rgb(80, 255, 230));
                img.Glow(cx, cy, 12, Rgb(120, 255, 240), 0.7f, 1.3f, true);
                FillEllipse(img, cx - 2, cy - 2, 1.6f, 1.6f, kWhite);
            }
        }
    }
    const Box* lipFrames[3] = {&lips, &lips1, &lips2};
    for (int k = 0; k < 3; ++k) {
        const Box& f = *lipFrames[k];
        CopyResampled(img, grown(lipArea), img, grown(f));
        const float open = k * 3.5f;
        FillEllipse(img, f.Cx(), f.Cy() + 1, 16, 1.5f + open, Rgb(26, 16, 24));
        StrokeSegment(img, {f.Cx() - 17, f.Cy() + 1 - open * 0.7f}, {f.Cx() + 17, f.Cy() + 1 - open * 0.7f}, 1.4f,
                      Rgb(150, 126, 132), 0.6f);
        StrokeSegment(img, {f.Cx() - 12, f.Cy() + 3 + open}, {f.Cx() + 12, f.Cy() + 3 + open}, 1.2f,
                      Rgb(190, 160, 150), 0.5f);
    }
}

// The elements: the foliage frame in the top 716 rows, the pieces below.
Image MakeElements(const SceneConfig& cfg)
{
    Image img(512, 1024, Color{0.08f, 0.14f, 0.1f, 0});
    // The foliage frame, the screen's left 476 x 716 one texel to a pixel
    // (shifted 4 texels): a trunk at the edge, a bough across to the
    // lantern, leaves thick at the left and along the top, open in the
    // middle. Every leaf keeps clear of the block's right and lower edges,
    // which the wobble moves.
    const float ox = 4, oy = 4, right = 468, bottom = 706;
    auto inside = [&](float x, float y, float r) { return x + r < ox + right && y + r < oy + bottom; };
    // The trunk and the bough, bark lit on the glow's side.
    for (int y = 0; y < 716; ++y)
        for (int x = 0; x < 80; ++x) {
            const float edge = 46 + 10 * std::sin(y / 80.0f) + 8 * Fbm(y / 40.0f, 0.5f, 560, 3);
            const float k = Clamp01(edge - x + 0.5f);
            if (k <= 0)
                continue;
            const float across = x / edge;
            Color c = Mix(Rgb(24, 16, 22), Rgb(92, 64, 70), Smooth(0.2f, 1.0f, across));
            c = Mix(c, Mix(kGlowRose, kMoonRim, 0.3f), 0.4f * Smooth(0.85f, 1.0f, across));
            c = Scale(c, 0.8f + 0.35f * Fbm(x / 5.0f, y / 30.0f, 561, 4));
            img.Blend(static_cast<int>(ox) + x, static_cast<int>(oy) + y, c, k * Smooth(716, 690, y));
        }
    auto boughY = [](float x) { return 262 - 30 * x / 480 - 10 * std::sin(x / 90.0f); };
    for (float x = 30; x < 466; x += 0.5f) {
        const float w = 15 - 9 * x / 466;
        const Pt a{ox + x, oy + boughY(x)}, b{ox + x + 0.5f, oy + boughY(x + 0.5f)};
        StrokeSegment(img, a, b, w, Rgb(40, 28, 34));
        StrokeSegment(img, {a.x, a.y - w * 0.3f}, {b.x, b.y - w * 0.3f}, w * 0.3f, Rgb(110, 78, 80), 0.8f);
    }
    // The lantern's warmth on the bough's end and the leaves near it.
    const Pt lantern{ox + 456, oy + 290};
    // Leaves: three passes, far to near, dark and blue to lit and green.
    Rng rng(570);
    for (int pass = 0; pass < 3; ++pass) {
        const int count = pass == 0 ? 520 : pass == 1 ? 420 : 200;
        for (int i = 0; i < count; ++i) {
            // Where: the left band, the top band, or the bough.
            float x, y;
            const float pick = rng.Unit();
            if (pick < 0.45f) {
                y = rng.Range(0, 700);
                x = rng.Range(0, 150 - 60 * Smooth(400, 700, y)) * std::sqrt(rng.Unit());
            } else if (pick < 0.85f) {
                x = rng.Range(0, 470);
                y = rng.Range(0, 150 - 70 * Smooth(250, 470, x)) * std::sqrt(rng.Unit());
            } else {
                x = rng.Range(60, 400);
                y = boughY(x) + rng.Range(-30, 34);
            }
            const float length = rng.Range(22, 40) * (1 + 0.2f * pass);
            const float r = length * 0.6f;
            x += ox;
            y += oy;
            if (!inside(x, y, r))
                continue;
            const float angle = kPi * 0.5f + rng.Range(-1.1f, 1.1f) - (x < 120 ? 0.6f : 0.0f);
            const Color greens[3] = {Rgb(22, 44, 48), Rgb(38, 78, 58), Rgb(66, 118, 66)};
            Color base = Mix(greens[pass], Rgb(90, 130, 60), 0.25f * rng.Unit());
            const float warmth = std::exp(-std::hypot(x - lantern.x, y - lantern.y) / 90.0f);
            base = Mix(base, Rgb(200, 150, 70), 0.55f * warmth);
            PaintLitLeaf(img, x, y, length, length * rng.Range(0.34f, 0.46f), angle, base,
                         pass == 2 ? 0.35f : 0.12f * pass, rng.Range(0.05f, 0.3f));
        }
    }
    // Ferns hanging from the canopy into the open middle.
    for (int f = 0; f < 5; ++f) {
        const float x0 = ox + 170 + f * 56.0f + rng.Range(-10, 10), len = rng.Range(90, 170);
        for (float t = 0; t < 1; t += 0.06f) {
            const float x = x0 + 8 * std::sin(t * 3 + f), y = oy + 60 + t * len;
            if (!inside(x, y, 14))
                break;
            for (int side : {-1, 1})
                PaintLitLeaf(img, x + side * 7, y, 16 * (1.1f - t * 0.6f), 6, kPi * 0.5f - side * 1.0f,
                             Rgb(40, 86, 60), 0.25f, 0.2f);
        }
    }

    auto box = [&](const char* key) { return CornersOf(cfg.Numbers(kSection, key)); };
    // Strands: vines hanging from their top, a leaf at every knot.
    for (const char* key : {"SpriteT2", "SpriteT6"}) {
        const Box b = box(key);
        Pt last{b.Cx(), b.y};
        for (int k = 1; k <= 16; ++k) {
            const Pt p{b.Cx() + 5 * std::sin(k * 0.7f), b.y + (b.h - 8) * k / 16.0f};
            StrokeSegment(img, last, p, 2.4f, Rgb(34, 52, 34));
            StrokeSegment(img, {last.x - 0.6f, last.y}, {p.x - 0.6f, p.y}, 0.8f, Rgb(90, 120, 80), 0.6f);
            const float side = (k & 1) ? 1.0f : -1.0f;
            PaintLitLeaf(img, p.x + side * 7, p.y + 2, 16, 8, kPi * 0.5f - side * 0.9f, Rgb(56, 108, 62), 0.3f,
                         0.2f);
            last = p;
        }
    }
    // The hanging map: a parchment on a cord, inked with the way to the
    // Galvorine, curling at its corners, warmed by the lantern.
    const Box map = box("SpriteT7");
    StrokeSegment(img, {map.Cx(), map.y + 2}, {map.x + 16, map.y + 30}, 1.4f, Rgb(170, 140, 96));
    StrokeSegment(img, {map.Cx(), map.y + 2}, {map.x + map.w - 16, map.y + 30}, 1.4f, Rgb(170, 140, 96));
    const float mx0 = map.x + 6, my0 = map.y + 28, mx1 = map.x + map.w - 6, my1 = map.y + map.h - 4;
    for (int y = static_cast<int>(my0) - 2; y < static_cast<int>(my1) + 2; ++y)
        for (int x = static_cast<int>(mx0) - 2; x < static_cast<int>(mx1) + 2; ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // A torn edge.
            const float tear = 2.5f * Fbm(fx / 6.0f, fy / 6.0f, 582, 3);
            const float d = Image::RoundRectDist(fx, fy, mx0, my0, mx1, my1, 4) + tear;
            const float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                continue;
            const float u = (fx - mx0) / (mx1 - mx0), v = (fy - my0) / (my1 - my0);
            Color c = Scale(Rgb(226, 196, 142), 0.82f + 0.22f * Fbm(fx / 12.0f, fy / 12.0f, 580, 4));
            c = Mix(c, Rgb(160, 112, 70), 0.35f * Smooth(0.5f, 0.8f, Fbm(fx / 26.0f, fy / 26.0f, 581, 3)));
            // Curled corners shade, the edge darkens, the lantern warms the right.
            c = Scale(c, 1.0f - 0.35f * Smooth(-4.0f, 0.0f, d) -
                             0.2f * Sq(std::max(0.0f, (u - 0.5f) * (v - 0.5f) * 4)));
            c = Mix(c, Rgb(255, 190, 110), 0.25f * u);
            c = Scale(c, 0.75f + 0.25f * (1 - v));
            img.Blend(x, y, c, cover);
        }
    // The ink: a coast, a river, a dotted way to a cross.
    const Color ink = Rgb(92, 52, 36);
    std::vector<Pt> coast;
    for (int i = 0; i <= 30; ++i) {
        const float t = i / 30.0f;
        coast.push_back({mx0 + 10 + 20 * std::sin(t * 5) + 10 * t, my0 + 8 + t * (my1 - my0 - 16)});
    }
    for (size_t i = 1; i < coast.size(); ++i)
        StrokeSegment(img, coast[i - 1], coast[i], 1.2f, ink, 0.8f);
    for (int i = 0; i < 9; ++i) {
        const float t = i / 8.0f;
        FillEllipse(img, mx0 + 40 + t * 60, my0 + 100 - 60 * t + 12 * std::sin(t * 6), 1.3f, 1.3f,
                    Rgb(150, 40, 30));
    }
    StrokeSegment(img, {mx1 - 22, my0 + 30}, {mx1 - 12, my0 + 40}, 2, Rgb(170, 30, 24));
    StrokeSegment(img, {mx1 - 12, my0 + 30}, {mx1 - 22, my0 + 40}, 2, Rgb(170, 30, 24));
    // A compass rose in the lower corner.
    const Pt rose{mx0 + 26, my1 - 26};
    for (int k = 0; k < 4; ++k) {
        const float a = k * kPi / 2;
        FillPolygon(img,
                    {{rose.x + 12 * std::cos(a), rose.y + 12 * std::sin(a)},
                     {rose.x + 3 * std::cos(a + kPi / 2), rose.y + 3 * std::sin(a + kPi / 2)},
                     {rose.x + 3 * std::cos(a - kPi / 2), rose.y + 3 * std::sin(a - kPi / 2)}},
                    ink, 0.8f);
    }
    // The urn: a glazed amphora with a painted band, lit from the left,
    // warmed by the niche's lamp on its right.
    const Box urn = box("SpriteT1");
    const float ucx = urn.Cx(), ucy = urn.y + urn.h * 0.6f, urx = urn.w * 0.36f, ury = urn.h * 0.36f;
    for (int y = static_cast<int>(urn.y); y < static_cast<int>(urn.y + urn.h); ++y)
        for (int x = static_cast<int>(urn.x); x < static_cast<int>(urn.x + urn.w); ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // Body, neck and foot as one silhouette.
            const float body = std::hypot((fx - ucx) / urx, (fy - ucy) / ury) - 1;
            const float neck =
                std::max(std::fabs(fx - ucx) - urn.w * (0.12f + 0.04f * Smooth(urn.y + 30, urn.y + 10, fy)),
                         std::max(urn.y + 10 - fy, fy - ucy));
            const float foot = std::max(std::fabs(fx - ucx) - urn.w * 0.16f,
                                        std::max(ucy + ury * 0.8f - fy, fy - (urn.y + urn.h - 4)));
            const float d = std::min(body * std::min(urx, ury), std::min(neck, foot));
            const float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                continue;
            const float nx = (fx - ucx) / urx, ny = (fy - ucy) / ury;
            const float nz = std::sqrt(std::max(0.05f, 1 - std::min(1.0f, nx * nx + ny * ny)));
            const float moon = Clamp01(-0.6f * nx - 0.4f * ny + 0.7f * nz);
            Color c = Mix(Rgb(60, 28, 24), Rgb(196, 112, 70), moon);
            c = Mix(c, kLamp, 0.35f * Clamp01(nx) * Clamp01(0.3f + nz));
            // The painted band of waves round the belly.
            const float bandV = fy - (ucy - ury * 0.25f);
            if (std::fabs(bandV) < 8) {
                const Color dark = Scale(c, 0.45f);
                const float wave = std::fabs(bandV - 3.5f * std::sin((fx - ucx) / 5.0f));
                c = Mix(c, dark, Clamp01(8 - std::fabs(bandV)) * 0.8f);
                c = Mix(c, Mix(Rgb(200, 150, 80), Rgb(255, 220, 150), moon), Smooth(1.6f, 0.6f, wave));
            }
            // A glint of the glaze.
            c = Mix(c, kWhite, 0.6f * std::exp(-(Sq((nx + 0.45f) / 0.12f) + Sq((ny + 0.35f) / 0.2f))));
            c.a = 1;
            img.Blend(x, y, c, cover);
        }
    img.RoundRect(ucx - urn.w * 0.2f, urn.y + 6, ucx + urn.w * 0.2f, urn.y + 14, 3, Rgb(210, 150, 90));
    // The lantern: a brass cap on a chain and a glass that glows.
    const Box lamp = box("SpriteT0");
    for (int k = 0; k < 6; ++k)
        FillEllipse(img, lamp.Cx(), lamp.y + 3 + k * 4.5f, 1.8f, 2.6f, Rgb(150, 110, 60), 0.9f);
    const float gx0 = lamp.x + 11, gx1 = lamp.x + lamp.w - 11, gy0 = lamp.y + 38, gy1 = lamp.y + lamp.h - 18;
    for (int y = static_cast<int>(lamp.y) + 26; y < static_cast<int>(lamp.y + lamp.h); ++y)
        for (int x = static_cast<int>(lamp.x); x < static_cast<int>(lamp.x + lamp.w); ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // The light spills around the glass as a faint halo.
            const float halo = std::exp(-std::hypot(fx - lamp.Cx(), (fy - (gy0 + gy1) / 2) * 0.8f) / 12.0f);
            img.Blend(x, y, kLamp, 0.35f * halo);
        }
    for (int y = static_cast<int>(gy0); y < static_cast<int>(gy1); ++y)
        for (int x = static_cast<int>(gx0); x < static_cast<int>(gx1); ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float d = Image::RoundRectDist(fx, fy, gx0, gy0, gx1, gy1, 6);
            const float cover = Clamp01(0.5f - d);
            const float core = std::exp(-std::hypot((fx - (gx0 + gx1) / 2) / 0.8f, fy - (gy0 + gy1) / 2) / 10.0f);
            img.Blend(x, y, Mix(Rgb(255, 150, 60), Rgb(255, 246, 200), core), cover);
        }
    const Color brass = Rgb(170, 120, 56);
    img.RoundRect(lamp.x + 8, lamp.y + 26, lamp.x + lamp.w - 8, gy0 + 2, 6, brass);
    img.RoundRect(lamp.x + 12, lamp.y + 26, lamp.x + lamp.w - 20, lamp.y + 30, 2, Rgb(240, 200, 120));
    img.RoundRect(lamp.x + 9, gy1 - 2, lamp.x + lamp.w - 9, gy1 + 7, 3, brass);
    for (float bx : {gx0 + 2, (gx0 + gx1) / 2, gx1 - 2})
        StrokeSegment(img, {bx, gy0}, {bx, gy1}, 1.4f, Rgb(120, 80, 36), 0.9f);
    // The guardian's face with its eyes and lips.
    PaintFace(img, box("SpriteT3"), box("SpriteT4"), box("EyeT"), box("SpriteT5"), box("LipsT1"), box("LipsT2"),
              Corner(cfg, "Sprite3"), Corner(cfg, "Sprite4"), Corner(cfg, "Sprite5"));
    // Three leaves that fall: green, gold and russet.
    const Color leafColours[3] = {Rgb(80, 150, 70), Rgb(230, 180, 70), Rgb(200, 96, 54)};
    for (int k = 0; k < 3; ++k) {
        const Box leaf = box(("LeafT" + std::to_string(k)).c_str());
        PaintLitLeaf(img, leaf.Cx(), leaf.Cy(), leaf.w * 0.9f, leaf.h * 0.42f, kPi / 4 + k * 0.3f, leafColours[k],
                     0.3f, 0.2f);
    }
    return img;
}

// The front foliage: broad dark leaves, nearly black against the scene with
// a thin rim of moonlight, soft at their edges. The picture stands on screen
// with all four sides in view, so every leaf keeps inside its 404 x 242.
Image MakeFrontFoliage()
{
    Image img(512, 256, Color{0.03f, 0.06f, 0.05f, 0});
    Rng rng(590);
    const float width = 404, height = 242, margin = 4;
    // The leaves from the back to the front.
    int painted = 0;
    for (int tries = 0; tries < 400 && painted < 46; ++tries) {
        const float x = rng.Range(30, 380), y = rng.Range(24, 220);
        const float length = rng.Range(60, 120), leafWidth = length * rng.Range(0.3f, 0.42f);
        const float angle = rng.Range(0.3f, 1.3f), droop = rng.Range(0.1f, 0.35f);
        // The leaf's reach about its middle, its droop and outline included.
        const float reachX =
            0.5f * length * std::fabs(std::cos(angle)) + leafWidth * 0.5f + droop * length * 0.5f + 2;
        const float reachY =
            0.5f * length * std::fabs(std::sin(angle)) + leafWidth * 0.5f + droop * length * 0.5f + 2;
        if (x - reachX < margin || x + reachX > width - margin || y - reachY < margin ||
            y + reachY > height - margin)
            continue;
        const float t = static_cast<float>(painted++) / 46;
        const Color base = Mix(Rgb(10, 22, 18), Rgb(34, 62, 44), t * 0.8f + 0.2f * rng.Unit());
        PaintLitLeaf(img, x, y, length, leafWidth, angle, base, 0.22f + 0.2f * t, droop);
    }
    return img;
}

bool WriteMainMenu(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    const Image elements = MakeElements(cfg);
    const Image front = MakeFrontFoliage();
    // The leaves show over the scene's left 768 pixels, fading at the foot.
    const Image leafMask =
        MakeMask(256, 256, [](float u, float v) { return Smooth(1.0f, 0.85f, v) * Smooth(1.0f, 0.9f, u); });
    return out.Save("MainBack.jpg", MakeBack()) && out.Save("MainSkyMask.tga", MakeSkyMask(cfg)) &&
           out.Save("MainLeafMask.tga", leafMask) && out.SaveUnblockedWithAlpha("MainElements", elements) &&
           out.SaveUnblockedWithAlpha("MainFoliage", front);
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "mainmenu", WriteMainMenu); }
