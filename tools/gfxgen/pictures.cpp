// The game's pictures. One palette runs through all of them: deep indigo
// nights, warm sand and amber, gold highlights and turquoise accents.
#include "pictures.h"

#include <algorithm>
#include <cmath>

#include "fonts.h"

namespace gfx {
namespace {

const float kPi = 3.14159265f;

const Color kIndigo = Rgb(16, 12, 44);
const Color kNight = Rgb(34, 26, 86);
const Color kSand = Rgb(228, 190, 128);
const Color kAmber = Rgb(232, 146, 48);
const Color kGold = Rgb(255, 204, 84);
const Color kGoldLight = Rgb(255, 240, 178);
const Color kGoldDark = Rgb(150, 92, 22);
const Color kTurquoise = Rgb(58, 206, 214);
const Color kWhite = Rgb(255, 255, 255);
const Color kWarmWhite = Rgb(255, 246, 222);

} // namespace

std::vector<Pt> StarPoly(float cx, float cy, float outer, float inner, int points, float rotation)
{
    std::vector<Pt> p;
    for (int i = 0; i < points * 2; ++i) {
        const float r = (i % 2 == 0) ? outer : inner;
        const float a = rotation + kPi * static_cast<float>(i) / static_cast<float>(points);
        p.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return p;
}

// A four-pointed glint: a soft core with two thin crossing rays.
void Glint(Image& img, float cx, float cy, float size, const Color& c, float strength, bool additive)
{
    const int x0 = std::max(0, static_cast<int>(cx - size)),
              x1 = std::min(img.Width() - 1, static_cast<int>(cx + size));
    const int y0 = std::max(0, static_cast<int>(cy - size)),
              y1 = std::min(img.Height() - 1, static_cast<int>(cy + size));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float dx = std::fabs(x + 0.5f - cx) / size, dy = std::fabs(y + 0.5f - cy) / size;
            const float d = std::hypot(dx, dy);
            if (d >= 1)
                continue;
            float k = std::pow(1 - d, 3.0f) * 0.9f;
            k += std::exp(-dy * 40.0f) * std::pow(1 - dx, 2.0f) * 0.8f;
            k += std::exp(-dx * 40.0f) * std::pow(1 - dy, 2.0f) * 0.8f;
            k = Clamp01(k) * strength;
            if (additive)
                img.Add(x, y, c, k);
            else
                img.Blend(x, y, c, k);
        }
}

// ---------------------------------------------------------------------------
// Loading picture: 1024 x 1024, the title scene in rows 0-767, the progress
// bar strip at x 2-265, y 802-849; the scene leaves a dark slot where the bar
// grows (screen x 380-644, y 642-690).
Image MakeLoading(const std::string& fontDir)
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    const Color slot = Rgb(22, 14, 38);
    Rng rng(1);

    // Sky: indigo overhead, a warm afterglow low over the dunes.
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float t = y / 560.0f;
            Color c = Mix(Rgb(8, 6, 30), kNight, Smooth(0.0f, 0.6f, t));
            c = Mix(c, Rgb(120, 60, 96), Smooth(0.45f, 0.85f, t));
            c = Mix(c, Rgb(236, 132, 64), Smooth(0.78f, 1.05f, t));
            const float haze = Fbm(x / 180.0f, y / 60.0f, 7, 5);
            c = Mix(c, Rgb(90, 60, 120), 0.25f * Smooth(0.45f, 0.8f, haze) * Smooth(0.2f, 0.7f, t));
            c.a = 1;
            img.At(x, y) = c;
        }
    // Stars, a few of them glinting.
    for (int i = 0; i < 420; ++i) {
        const float x = rng.Range(0, 1024), y = rng.Range(0, 470);
        const float b = rng.Unit() * (1.0f - y / 520.0f);
        img.Glow(x, y, 1.5f + 2.0f * b, kWarmWhite, 0.35f + 0.65f * b, 1.5f, true);
    }
    for (int i = 0; i < 14; ++i)
        Glint(img, rng.Range(20, 1000), rng.Range(10, 380), rng.Range(7, 16), kGoldLight, 0.8f, true);
    // Moon.
    img.Glow(880, 350, 190, Rgb(120, 110, 190), 0.35f, 2.0f, true);
    img.Glow(880, 350, 70, kGoldLight, 0.5f, 1.5f, true);
    for (int y = 300; y < 400; ++y)
        for (int x = 828; x < 933; ++x) {
            const float d = std::hypot(x - 880.0f, y - 350.0f);
            const float k = Clamp01(40.5f - d);
            const float crater = 0.85f + 0.15f * Fbm(x / 9.0f, y / 9.0f, 11, 3);
            img.Blend(x, y, Mix(Rgb(255, 236, 190), Rgb(230, 200, 150), 1 - crater), k);
        }
    // Horizon glow behind the temple.
    img.Glow(512, 560, 520, Rgb(255, 150, 70), 0.45f, 1.6f, true);

    // Temple: a stepped pyramid with a glowing doorway.
    const int steps = 6;
    const float baseY = 610, topY = 330, baseHalf = 270, topHalf = 70;
    for (int y = static_cast<int>(topY); y < 768; ++y)
        for (int x = 200; x < 824; ++x) {
            if (y > baseY + 40)
                continue;
            const float t = (baseY - y) / (baseY - topY);
            if (t > 1)
                continue;
            const int step = std::min(steps - 1, static_cast<int>(std::max(0.0f, t) * steps));
            const float half = baseHalf - (baseHalf - topHalf) * (static_cast<float>(step) / (steps - 1));
            const float dx = std::fabs(x + 0.5f - 512);
            if (dx > half)
                continue;
            const float stepTop = baseY - (baseY - topY) * static_cast<float>(step + 1) / steps;
            Color c = Mix(Rgb(58, 34, 70), Rgb(34, 22, 54), Clamp01(dx / half));
            if (x < 512)
                c = Mix(c, Rgb(110, 60, 64), 0.35f * (1 - dx / half));
            const float bricks = Fbm(x / 14.0f, y / 7.0f, 23, 3);
            c = Mix(c, Rgb(20, 12, 32), 0.25f * bricks);
            if (y - stepTop < 3)
                c = Mix(c, kAmber, 0.55f); // lit ledge
            if (half - dx < 2.5f)
                c = Mix(c, Rgb(200, 110, 60), 0.5f); // rim light
            c.a = 1;
            img.At(x, y) = c;
        }
    // Crown on top and the doorway.
    img.RoundRect(482, 292, 542, 332, 6, Rgb(52, 32, 66));
    img.Glow(512, 300, 80, kTurquoise, 0.6f, 2.0f, true);
    Glint(img, 512, 300, 34, Rgb(180, 255, 250), 1.0f, true);
    img.Glow(512, 560, 190, kGold, 0.55f, 2.2f, true);
    img.RoundRect(478, 500, 546, 612, 30, Rgb(255, 210, 110));
    img.RoundRect(488, 512, 536, 612, 22, Rgb(255, 244, 200));
    // Light falling out of the door across the sand.
    for (int y = 600; y < 768; ++y)
        for (int x = 300; x < 724; ++x) {
            const float spread = 34 + (y - 600) * 1.3f;
            const float k = std::exp(-std::pow((x - 512.0f) / spread, 2.0f)) * 0.35f * (1 - (y - 600) / 200.0f);
            img.Add(x, y, kGold, k);
        }

    // Dunes, far to near.
    struct Dune {
        float base, amp, freq, phase;
        Color dark, light;
    };
    const Dune dunes[] = {
        {585, 26, 0.006f, 0.4f, Rgb(112, 56, 68), Rgb(196, 112, 78)},
        {655, 38, 0.0045f, 2.1f, Rgb(150, 80, 58), Rgb(226, 150, 86)},
        {720, 40, 0.0035f, 4.0f, Rgb(178, 110, 58), Rgb(244, 192, 120)},
    };
    int seed = 40;
    for (const Dune& d : dunes) {
        ++seed;
        for (int x = 0; x < 1024; ++x) {
            const float crest = d.base - d.amp * std::sin(x * d.freq + d.phase) -
                                12 * Fbm(x / 90.0f, 0.5f, static_cast<uint32_t>(seed), 3);
            const float slope = -d.amp * d.freq * std::cos(x * d.freq + d.phase);
            for (int y = static_cast<int>(crest); y < 768; ++y) {
                if (y < 0)
                    continue;
                const float depth = (y - crest) / 80.0f;
                Color c = Mix(d.light, d.dark, Clamp01(depth * 0.8f + 0.35f * Smooth(-0.12f, 0.12f, slope)));
                const float ripple = std::sin((x * 0.08f + y * 0.5f) +
                                              6 * Fbm(x / 60.0f, y / 30.0f, static_cast<uint32_t>(seed), 3));
                c = Mix(c, d.dark, 0.08f * (ripple * 0.5f + 0.5f));
                const float cover = Clamp01(y + 1 - crest);
                img.Blend(x, y, c, cover);
            }
        }
    }
    // Doorway light on the nearest dune and drifting golden motes.
    img.Glow(512, 700, 260, kGold, 0.25f, 2.0f, true);
    for (int i = 0; i < 60; ++i) {
        const float x = rng.Range(120, 904), y = rng.Range(360, 740);
        img.Glow(x, y, rng.Range(2, 6), kGoldLight, rng.Range(0.3f, 0.9f), 1.5f, true);
    }
    for (int i = 0; i < 8; ++i)
        Glint(img, rng.Range(200, 824), rng.Range(420, 720), rng.Range(8, 15), kGoldLight, 0.9f, true);

    // Title, two lines, gold with a dark rim and a warm halo.
    struct Line {
        const char* text;
        int size;
        float y;
    };
    const Line lines[] = {{"The Galvorine", 104, 70}, {"of Pellisand", 72, 190}};
    for (const Line& ln : lines) {
        const int pad = 24;
        const Image mask = TextMask(fontDir + "/DejaVuSerif-Bold.ttf", ln.size, ln.text, pad);
        GildText(img, mask, (1024 - mask.Width()) / 2, static_cast<int>(ln.y) - pad, pad);
    }
    Glint(img, 300, 96, 26, kWhite, 1.0f, true);
    Glint(img, 744, 214, 20, kWhite, 1.0f, true);

    // The slot the progress bar fills: dark, with a gold rim.
    img.RoundRect(372, 634, 652, 698, 14, kGoldDark);
    img.RoundRect(374, 636, 650, 696, 12, kGold);
    img.RoundRect(377, 639, 647, 693, 10, slot);

    // Below the scene: the bar strip on the slot colour, so filtering at the
    // strip's edges picks up nothing brighter.
    for (int y = 768; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
            img.At(x, y) = slot;
    for (int y = 802; y < 850; ++y)
        for (int x = 2; x < 266; ++x) {
            const float v = (y - 802 + 0.5f) / 48.0f;
            const float inside = -Image::RoundRectDist(x + 0.5f, y + 0.5f, 2, 806, 266, 846, 12);
            const float cover = Clamp01(inside + 0.5f);
            Color c = Mix(kGoldLight, kGold, Smooth(0.1f, 0.45f, v));
            c = Mix(c, kAmber, Smooth(0.45f, 0.95f, v));
            if (v > 0.16f && v < 0.26f)
                c = Mix(c, kWhite, 0.45f);
            const float shimmer = 0.5f + 0.5f * std::sin((x - 2) * 0.25f);
            c = Mix(c, kGoldLight, 0.12f * shimmer);
            const float glow = Clamp01(1 - std::fabs(v - 0.5f) * 2) * 0.35f;
            Color out = Mix(slot, Mix(slot, kAmber, glow), 1.0f);
            out = Mix(out, c, cover);
            out.a = 1;
            img.At(x, y) = out;
        }
    return img;
}

// ---------------------------------------------------------------------------
// Frame.png, 256 x 256. Gems bar pieces (texels), the frame's inside a glass
// that lets the gems show:
//   frame left  x 3-206,  y 1-47     frame right x 48-253, y 49-95
//   fill left   x 4-208,  y 96-128   fill right  x 48-251, y 128-160
// Board frame pieces for the skin:
//   horizontal rail x 0-255, y 168-183 (tiles horizontally)
//   corner jewel    x 0-63,  y 192-255
//   vertical rail   x 240-255, y 192-255 (tiles vertically)
//   round gem boss  x 72-119, y 200-247
Image MakeFrame()
{
    Image img(256, 256, Color{1, 1, 1, 0});

    // The gems-bar frame is one 410 x 46 shape split into two pieces.
    auto frameAt = [](float fx, float fy) {
        const float d = Image::RoundRectDist(fx, fy, 0, 0, 410, 46, 12);
        if (d > 0.5f)
            return Color{0, 0, 0, 0};
        const float cover = Clamp01(0.5f - d);
        Color c;
        if (d > -3.5f) { // gold rim with a bevel
            const float t = fy / 46.0f;
            c = Mix(kGoldLight, kGoldDark, Smooth(0.0f, 1.0f, t));
            c = Mix(c, kGold, 0.4f);
            c.a = cover;
        } else if (d > -5.0f) {
            c = kTurquoise;
            c.a = 0.8f;
        } else {
            // Glass over the strip of gems, which the bar draws under its
            // frame: a faint indigo tint and a sheen along the top.
            const float sheen = std::exp(-std::pow((fy - 9.0f) / 5.0f, 2.0f));
            c = Mix(Mix(Rgb(30, 22, 70), kIndigo, fy / 46.0f), Rgb(210, 226, 255), sheen);
            c.a = 0.14f + 0.2f * sheen;
        }
        return c;
    };
    // Each piece runs one texel on past the join, so that filtering at the
    // join blends with the shape's own continuation, not with nothing.
    for (int y = 1; y < 47; ++y)
        for (int x = 3; x < 207; ++x)
            img.At(x, y) = frameAt((x - 3 + 0.5f) * 205.0f / 203.0f, y - 1 + 0.5f);
    for (int y = 49; y < 95; ++y)
        for (int x = 47; x < 253; ++x)
            img.At(x, y) = frameAt(205 + (x - 48 + 0.5f), y - 49 + 0.5f);

    // Progress fill, 407 x 32, see-through in the middle so the gems show.
    auto fillAt = [](float fx, float fy) {
        const float d = Image::RoundRectDist(fx, fy, 0, 1, 407, 31, 10);
        const float cover = Clamp01(0.5f - d);
        const float v = fy / 32.0f;
        Color c = Mix(kGoldLight, kAmber, v);
        const float edge = std::exp(-std::pow((v - 0.15f) / 0.08f, 2.0f)) * 0.6f +
                           std::exp(-std::pow((v - 0.9f) / 0.08f, 2.0f)) * 0.4f;
        c.a = cover * Clamp01(0.32f + edge);
        return c;
    };
    for (int y = 96; y < 128; ++y)
        for (int x = 4; x < 209; ++x)
            img.At(x, y) = fillAt(x - 4 + 0.5f, y - 96 + 0.5f);
    for (int y = 128; y < 160; ++y)
        for (int x = 47; x < 251; ++x)
            img.At(x, y) = fillAt(204 + (x - 48 + 0.5f), y - 128 + 0.5f);

    // Horizontal rail.
    for (int y = 168; y < 184; ++y)
        for (int x = 0; x < 256; ++x) {
            const float v = (y - 168 + 0.5f) / 16.0f;
            Color c = Mix(kGoldLight, kGoldDark, v);
            if (std::fabs(v - 0.5f) < 0.12f)
                c = Mix(c, kTurquoise, 0.6f);
            const float engrave = 0.5f + 0.5f * std::sin(x * kPi / 8.0f);
            c = Mix(c, kGoldDark, 0.15f * engrave * (std::fabs(v - 0.5f) > 0.2f ? 1.0f : 0.0f));
            c.a = 1;
            img.At(x, y) = c;
        }
    // Vertical rail.
    for (int y = 192; y < 256; ++y)
        for (int x = 240; x < 256; ++x) {
            const float u = (x - 240 + 0.5f) / 16.0f;
            Color c = Mix(kGoldLight, kGoldDark, u);
            if (std::fabs(u - 0.5f) < 0.12f)
                c = Mix(c, kTurquoise, 0.6f);
            c.a = 1;
            img.At(x, y) = c;
        }
    // Corner jewel: a gold square plate with a turquoise stone.
    img.RoundRect(2, 194, 62, 254, 10, kGoldDark);
    img.RoundRect(4, 196, 60, 252, 8, kGold);
    img.RoundRect(8, 200, 56, 248, 6, kGoldDark);
    for (int y = 192; y < 256; ++y)
        for (int x = 0; x < 64; ++x) {
            const float d = std::hypot(x + 0.5f - 32, y + 0.5f - 224);
            if (d < 17) {
                Color c =
                    Mix(Rgb(170, 255, 250), kTurquoise, Smooth(0, 14, std::hypot(x + 0.5f - 27, y + 0.5f - 219)));
                img.Blend(x, y, c, Clamp01(16.5f - d));
            }
        }
    img.Glow(27, 218, 6, kWhite, 0.9f, 1.5f, false);
    // Round gem boss.
    for (int y = 200; y < 248; ++y)
        for (int x = 72; x < 120; ++x) {
            const float d = std::hypot(x + 0.5f - 96, y + 0.5f - 224);
            img.Blend(x, y, Mix(kGoldLight, kGoldDark, (y - 200) / 48.0f), Clamp01(23.5f - d));
            if (d < 16)
                img.Blend(
                    x, y,
                    Mix(Rgb(170, 255, 250), Rgb(20, 110, 130), Smooth(0, 16, std::hypot(x - 91.0f, y - 219.0f))),
                    Clamp01(15.5f - d));
        }
    img.Glow(91, 218, 5, kWhite, 0.9f, 1.5f, false);
    return img;
}

// Board backdrop, 256 x 256: four cells of 128 in a soft checker, tiling.
Image MakeFrameBack()
{
    Image img(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int cell = ((x / 128) + (y / 128)) & 1;
            const float lx = static_cast<float>(x % 128) + 0.5f, ly = static_cast<float>(y % 128) + 0.5f;
            const float d = Image::RoundRectDist(lx, ly, 3, 3, 125, 125, 14);
            Color c = cell ? Rgb(38, 30, 92) : Rgb(26, 20, 66);
            const float grain = Fbm(x / 32.0f, y / 32.0f, 5, 4, 8);
            c = Mix(c, Rgb(70, 50, 110), 0.25f * grain);
            const float inner = Smooth(-30.0f, 0.0f, d); // brighter towards the cell's rim
            c = Mix(c, Rgb(90, 70, 150), 0.35f * inner);
            c.a = d < 0 ? 0.78f : 0.55f;
            if (d > -2.0f && d < 0.5f)
                c = Mix(c, kGold, 0.25f);
            img.At(x, y) = c;
        }
    return img;
}

// Selection marker, 128 x 128: a glowing rounded square ring that frames a
// token drawn at the marker's full size.
Image MakeSelector()
{
    Image img(128, 128, Color{1, 1, 1, 0});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, 8, 8, 120, 120, 26);
            const float band = std::exp(-std::pow(d / 2.6f, 2.0f));
            const float glow = std::exp(-std::fabs(d) / 4.5f) * 0.55f;
            const float k = Clamp01(band + glow);
            Color c = Mix(kGold, kGoldLight, band);
            c.a = k;
            img.At(x, y) = c;
        }
    for (float cx : {14.0f, 114.0f})
        for (float cy : {14.0f, 114.0f})
            Glint(img, cx, cy, 12, kWhite, 0.9f, false);
    return img;
}

// One centred, square picture: `shade` gives the colour of each texel from
// its place relative to the centre (offsets in texels, distance in radii,
// angle in radians). Texels start white and see-through.
struct RadialPoint {
    int x, y;
    float dx, dy; // from the centre, in texels
    float r;      // distance from the centre, 1 at the edge
    float a;      // angle, -pi..pi
};

template <typename Shade>
Image Radial(int size, Shade shade)
{
    Image img(size, size, Color{1, 1, 1, 0});
    const float c = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - c, dy = y + 0.5f - c;
            img.At(x, y) = shade(RadialPoint{x, y, dx, dy, std::hypot(dx, dy) / c, std::atan2(dy, dx)});
        }
    return img;
}

// Soft four-pointed star for particles, 64 x 64, white.
Image MakeStarGlint(int size, float rays)
{
    Image img(size, size, Color{1, 1, 1, 0});
    const float c = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = std::fabs(x + 0.5f - c) / c, dy = std::fabs(y + 0.5f - c) / c;
            const float d = std::hypot(dx, dy);
            float k = std::pow(Clamp01(1 - d), 2.5f);
            k += rays * std::exp(-dy * 22) * std::pow(Clamp01(1 - dx), 1.5f);
            k += rays * std::exp(-dx * 22) * std::pow(Clamp01(1 - dy), 1.5f);
            k = Clamp01(k) * Clamp01((1 - d) * 3);
            Color col = Mix(kGoldLight, kWhite, Clamp01(k * 1.3f));
            col.a = k;
            img.At(x, y) = col;
        }
    return img;
}

// Radial glow (white-hot core, tinted falloff).
Image MakeGlow(int size, const Color& tint, float falloff, float core)
{
    return Radial(size, [&](const RadialPoint& p) {
        const float k = Clamp01(std::pow(Clamp01(1 - p.r), falloff) + core * std::exp(-p.r * p.r * 60));
        Color col = Mix(tint, kWhite, Clamp01(k * k));
        col.a = k;
        return col;
    });
}

// Sand surface of the sand box, 256 x 256, tiling across; upper half the
// everyday sand (its top row is the surface), lower half the glowing sand of
// the frenzy.
Image MakeSandbox()
{
    Image img(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const bool frenzy = y >= 128;
            const float v = static_cast<float>(y % 128) / 128.0f;
            const float grain = Noise(x * 0.5f, y * 0.5f, 3, 128);
            const float ripple = 0.5f + 0.5f * std::sin(y * 0.9f + 5 * Fbm(x / 32.0f, y / 32.0f, 4, 3, 8));
            Color c = frenzy ? Mix(Rgb(255, 226, 130), Rgb(214, 150, 60), v)
                             : Mix(Rgb(240, 204, 140), Rgb(170, 118, 62), v);
            c = Mix(c, frenzy ? kGoldLight : Rgb(120, 80, 40), 0.12f * ripple + 0.1f * grain);
            if (frenzy)
                c = Mix(c, kTurquoise, 0.12f * Smooth(0.85f, 1.0f, Fbm(x / 16.0f, y / 16.0f, 6, 3, 16)));
            if (v < 0.04f)
                c = Mix(c, kWarmWhite, 0.4f);
            c.a = 1;
            img.At(x, y) = c;
        }
    return img;
}

// The sand box frame and its glass, 512 x 512 each, cut into three bands
// that are laid side by side as one 658 x 42 box: band 0 (x 0-484, y 0-168)
// is the left 242 units, band 1 (x 80-432, y 168-336) the middle 176, band 2
// (x 32-512, y 336-504) the right 240. The sand shows through x 9-649,
// y 4-36 of the box. Each band runs on past its ends where the texture has
// room, so that filtering and the smaller mip levels find the band's own
// picture beyond its edge instead of a seam where two bands meet.
static void PaintBoxBands(Image& img, Color (*at)(float, float))
{
    struct Band {
        int x0, x1, y0, y1;
        float u0, units;
    };
    const Band bands[] = {{0, 484, 0, 168, 0, 242}, {80, 432, 168, 336, 242, 176}, {32, 512, 336, 504, 418, 240}};
    const int runOn = 16;
    for (const Band& b : bands)
        for (int y = b.y0; y < b.y1; ++y)
            for (int x = std::max(b.x0 - runOn, 0); x < std::min(b.x1 + runOn, img.Width()); ++x) {
                const float ux = b.u0 + (x - b.x0 + 0.5f) * b.units / static_cast<float>(b.x1 - b.x0);
                const float uy = (y - b.y0 + 0.5f) * 42.0f / static_cast<float>(b.y1 - b.y0);
                img.At(x, y) = at(ux, uy);
            }
}

Image MakeSandboxFront()
{
    Image img(512, 512, Color{1, 1, 1, 0});
    PaintBoxBands(img, [](float ux, float uy) {
        const float outer = Image::RoundRectDist(ux, uy, 0, 0, 658, 42, 10);
        const float inner = Image::RoundRectDist(ux, uy, 9, 4, 649, 36, 5);
        if (outer > 0.5f || inner < -0.5f)
            return Color{1, 1, 1, 0};
        const float cover = Clamp01(0.5f - outer) * Clamp01(0.5f + inner);
        Color c = Mix(kGoldLight, kGoldDark, uy / 42.0f);
        if (inner < 1.2f)
            c = Mix(c, kGoldDark, 0.6f); // shadowed inner lip
        if (outer > -1.2f)
            c = Mix(c, Rgb(110, 60, 16), 0.5f);
        // Turquoise studs on the end caps.
        for (float sx : {4.5f, 653.5f}) {
            const float d = std::hypot(ux - sx, uy - 21);
            if (d < 3.2f)
                c = Mix(c, Mix(Rgb(190, 255, 250), kTurquoise, d / 3.2f), Clamp01(3.2f - d));
        }
        c.a = cover;
        return c;
    });
    return img;
}

Image MakeSandboxGlass()
{
    Image img(512, 512, Color{1, 1, 1, 0});
    PaintBoxBands(img, [](float ux, float uy) {
        const float inner = Image::RoundRectDist(ux, uy, 9, 4, 649, 36, 5);
        if (inner > 1.0f)
            return Color{1, 1, 1, 0};
        float k = 0.08f;
        k += 0.55f * std::exp(-std::pow((uy - 7.5f) / 1.6f, 2.0f)); // upper reflection
        k += 0.25f * std::exp(-std::pow((uy - 33.0f) / 1.4f, 2.0f));
        k += 0.3f * std::exp(-std::fabs(inner) / 1.2f);
        const float streak = std::fmod(ux + uy * 0.6f, 90.0f);
        if (streak > 20 && streak < 26)
            k += 0.12f;
        Color c = kWhite;
        c.a = Clamp01(k) * Clamp01(1.0f - inner);
        return c;
    });
    return img;
}

// Golden arrow: tip at (0, 0) of `poly`; used for the cursor.
static Image MakeArrow(int size, const std::vector<Pt>& poly, float outline)
{
    Image img(size, size, Color{1, 1, 1, 0});
    float minY = 1e9f, maxY = -1e9f;
    for (const Pt& p : poly) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float cover = 0, rim = 0, dsum = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const float px = x + (sx + 0.5f) / 4, py = y + (sy + 0.5f) / 4;
                    const float d = PolyDist(poly, px, py);
                    if (d < 0)
                        cover += 1.0f / 16;
                    if (d < outline)
                        rim += 1.0f / 16;
                    dsum += d / 16;
                }
            if (rim <= 0)
                continue;
            const float t = (y + 0.5f - minY) / (maxY - minY);
            Color body = Mix(kGoldLight, kAmber, Clamp01(t));
            if (dsum > -1.6f)
                body = Mix(body, kGoldLight, 0.5f); // bright edge inside the rim
            img.Blend(x, y, Rgb(40, 18, 8), rim);
            img.Blend(x, y, body, cover);
        }
    return img;
}

Image MakeCursor()
{
    // Hotspot (0, 0): the tip sits on the first texel.
    const std::vector<Pt> poly = {{1.0f, 1.0f},   {1.0f, 23.0f},  {6.5f, 18.0f}, {10.5f, 27.0f},
                                  {14.0f, 25.5f}, {10.0f, 16.5f}, {17.0f, 16.5f}};
    return MakeArrow(32, poly, 1.3f);
}

// Spiral swirl, 128 x 128.
Image MakeTwirl()
{
    return Radial(128, [](const RadialPoint& p) {
        float k = std::pow(0.5f + 0.5f * std::cos(3 * p.a + 9 * p.r), 3.0f);
        k *= Smooth(1.0f, 0.55f, p.r) * Smooth(0.0f, 0.15f, p.r);
        k = Clamp01(k + 0.5f * std::exp(-p.r * p.r * 40));
        Color c = Mix(kGoldLight, kWhite, k);
        c.a = k;
        return c;
    });
}

// Gem flare: bright core, six fine rays and a faint ring, 128 x 128.
Image MakeFlare()
{
    return Radial(128, [](const RadialPoint& p) {
        float k = std::exp(-p.r * p.r * 30) + 0.35f * std::pow(Clamp01(1 - p.r), 3.0f);
        k += 0.6f * std::pow(std::fabs(std::cos(3 * p.a)), 60.0f) * Clamp01(1 - p.r);
        k += 0.25f * std::exp(-std::pow((p.r - 0.62f) / 0.04f, 2.0f));
        k = Clamp01(k) * Smooth(1.0f, 0.9f, p.r);
        Color c = Mix(Rgb(255, 220, 150), kWhite, Clamp01(k * 1.5f));
        c.a = k;
        return c;
    });
}

// Burst of light rays from the centre, 256 x 256.
Image MakeJungleFlash()
{
    return Radial(256, [](const RadialPoint& p) {
        const float a = p.a / (2 * kPi) + 0.5f;
        const float rays = Noise(a * 24, 0.5f, 77, 24) * 0.7f + Noise(a * 60, 3.5f, 78, 60) * 0.3f;
        float k =
            1.6f * std::pow(rays, 2.5f) * std::pow(Clamp01(1 - p.r), 1.1f) + 0.8f * std::exp(-p.r * p.r * 30);
        k = Clamp01(k) * Smooth(1.0f, 0.85f, p.r);
        Color c = Mix(Rgb(230, 255, 190), kWhite, Clamp01(k));
        c.a = k;
        return c;
    });
}

// Thin bright ring, 128 x 128.
Image MakeRing()
{
    return Radial(128, [](const RadialPoint& p) {
        float k = std::exp(-std::pow((p.r - 0.8f) / 0.05f, 2.0f)) +
                  0.4f * std::exp(-std::pow((p.r - 0.8f) / 0.14f, 2.0f));
        k = Clamp01(k);
        Color c = Mix(kGold, kWhite, k);
        c.a = k;
        return c;
    });
}

// Soft halo ring, 128 x 128, white for tinting.
Image MakeHalo()
{
    return Radial(128, [](const RadialPoint& p) {
        float k = std::exp(-std::pow((p.r - 0.55f) / 0.22f, 2.0f)) + 0.25f * std::exp(-p.r * p.r * 6);
        k = Clamp01(k) * Smooth(1.0f, 0.85f, p.r);
        Color c = kWhite;
        c.a = k;
        return c;
    });
}

// Fuzzy spell ball, 64 x 64.
Image MakeSpellFuzzy()
{
    return Radial(64, [](const RadialPoint& p) {
        const float fuzz = Noise(p.a * 5 / kPi + 10, p.r * 3, 55, 10);
        float k =
            Clamp01(std::pow(Clamp01(1 - p.r), 1.6f) * (0.5f + 0.6f * fuzz) + 0.4f * std::exp(-p.r * p.r * 12));
        Color c = Mix(Rgb(255, 200, 140), kWhite, k * k);
        c.a = k;
        return c;
    });
}

// ---------------------------------------------------------------------------
// Gilded lettering from a coverage mask placed at (ox, oy): a warm halo, a
// dark rim with a drop shadow, then the letters in a gold gradient that
// runs from pale at the top to amber at the foot, with a bright band across
// the middle. `pad` is the mask's empty margin.
void GildText(Image& img, const Image& mask, int ox, int oy, int pad)
{
    // Halo and rim from blurred / dilated coverage.
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            float rim = 0, halo = 0;
            for (int dy = -10; dy <= 10; dy += 2)
                for (int dx = -10; dx <= 10; dx += 2) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= mask.Width() || sy >= mask.Height())
                        continue;
                    const float a = mask.At(sx, sy).a;
                    const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy));
                    halo += a * std::max(0.0f, 1 - d / 11);
                    if (d <= 4.5f)
                        rim = std::max(rim, a * Clamp01(5.0f - d));
                }
            img.Add(ox + x, oy + y, Rgb(255, 160, 60), Clamp01(halo / 40.0f) * 0.55f);
            img.Blend(ox + x + 3, oy + y + 4, Rgb(10, 4, 20), rim * 0.5f);
            img.Blend(ox + x, oy + y, Rgb(40, 18, 20), rim);
        }
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            const float a = mask.At(x, y).a;
            if (a <= 0)
                continue;
            const float t = static_cast<float>(y - pad) / static_cast<float>(mask.Height() - 2 * pad);
            Color c = Mix(kGoldLight, kGold, Smooth(0.15f, 0.55f, t));
            c = Mix(c, kAmber, Smooth(0.55f, 0.95f, t));
            if (std::fabs(t - 0.5f) < 0.03f)
                c = Mix(c, kGoldLight, 0.5f);
            img.Blend(ox + x, oy + y, c, a);
        }
}

} // namespace gfx
