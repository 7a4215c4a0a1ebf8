// The token bonuses' picture set: the gems' halos (AllGemLights.jpg with its
// alpha companion) and cut gems (AllGems.png), the bomb (Bonus1.png), the
// storm emblem (Bonus2.tga), the clock and the score plates and coins
// (Bonus3.tga), the adviser's lens (Bonus4.tga), the solidarity light
// (Bonus5.tga) and the burst over the time display (PanelGlass.png).
//
// An emblem rides on a token of any colour, so each one is drawn in strong
// light colours inside a dark outline and casts a soft dark shadow; the
// parts the bonuses add or darken with are light over black (added) or
// grey for how much they darken. Every picture stands at the texels the
// bonuses cut it from; the fuse of the bomb runs along the wires that
// "Bonus.cfg" gives its sparks.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "board_art.h"
#include "output.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::board_art;

namespace {

const Color kBlack = Rgb(0, 0, 0);
const Color kOutline = Rgb(24, 12, 20);
const Color kGoldBright = Rgb(255, 226, 120);
const Color kGoldDeep = Rgb(170, 104, 24);

// Coverage of a shape at signed distance d (texels, negative inside).
float Cover(float d) { return Clamp01(0.5f - d); }

// Paints a w x h rectangle at (x0, y0): shade(x, y) gives the colour at a
// point in texels from the rectangle's `centre` (y down); samples are
// averaged with their alpha.
template <typename Shade>
void Paint(Image& img, int x0, int y0, int w, int h, Pt centre, const Shade& shade, int samples = 4)
{
    const float step = 1.0f / static_cast<float>(samples);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) * step - centre.x;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * step - centre.y;
                    const Color c = shade(px, py);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            Color out{0, 0, 0, a * step * step};
            if (a > 0)
                out = Color{r / a, g / a, b / a, a * step * step};
            img.At(x0 + x, y0 + y) = out;
        }
}

// `c` over `under` with the coverage k.
Color Lay(const Color& under, Color c, float k)
{
    c.a *= Clamp01(k);
    return Over(c, under);
}

// Light of colour c and strength k (0..1) for pictures drawn adding light.
Color Light(const Color& c, float k) { return Color{c.r, c.g, c.b, Clamp01(k)}; }

// Darkness k (0..1) for pictures drawn darkening: grey and alpha alike.
Color Dark(float k)
{
    const float d = Clamp01(k);
    return Color{d, d, d, d};
}

float SegmentDistance(float x, float y, Pt a, Pt b) { return SegDist(x, y, a, b); }

// Distance to a polyline.
float PolylineDistance(float x, float y, const std::vector<Pt>& points)
{
    float d = 1e9f;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        d = std::min(d, SegmentDistance(x, y, points[i], points[i + 1]));
    return d;
}

// Rounded box distance from a centre and half sizes.
float BoxDistance(float x, float y, float cx, float cy, float hx, float hy, float round)
{
    return Box(x - cx, y - cy, hx, hy, round);
}

// ---------------------------------------------------------------------------
// Gems: halos of each gem's shape in a pale tint of its colour (the config
// tints them again), and the cut gems the bar shows.

Image MakeGemLights()
{
    Image img(512, 256, Color{0, 0, 0, 0});
    for (int k = 0; k < 8; ++k) {
        const TokenLook look = LookOf(k);
        const Color tint = Mix(look.light, Rgb(255, 255, 255), 0.55f);
        Paint(img, 128 * (k % 4), 128 * (k / 4), 128, 128, Pt{64, 64}, [&](float x, float y) {
            const float u = x / 34.0f, v = y / 34.0f;
            const float d = Silhouette(k, u, v);
            // A glow that keeps the gem's outline near it and rounds off
            // further out.
            const float shaped = std::exp(-std::max(d, 0.0f) / 0.38f);
            const float round = std::exp(-std::pow(Length(x, y) / 44.0f, 2.0f));
            const float edge = Smooth(62.0f, 48.0f, Length(x, y));
            return Light(tint, (0.55f * shaped + 0.45f * round) * edge);
        });
    }
    return img;
}

Image MakeAllGems()
{
    Image img(256, 128, Color{0, 0, 0, 0});
    for (int k = 0; k < 8; ++k) {
        float left, right, top, bottom;
        SilhouetteExtent(k, &left, &right, &top, &bottom);
        const float scale = std::min(42.0f / (right - left), 42.0f / (bottom - top));
        const Pt centre{24.0f - (left + right) / 2 * scale, 24.0f - (top + bottom) / 2 * scale};
        Paint(img, 48 * (k % 4), 48 * (k / 4), 48, 48, centre,
              [&](float x, float y) { return CutGemPoint(k, x / scale, y / scale); });
    }
    return img;
}

// ---------------------------------------------------------------------------
// The bomb: a bundle of dynamite, one stick more for each level, bound with
// an iron band (gold at the top level), and its fuse curling up to the
// right. The fuse's three segments are the sparks' wires: in "Bonus.cfg"
// they are given about the point (64, 64), which is the bomb cell's centre.

const std::vector<Pt> kFuse = {{0, -5}, {4, -16}, {13, -22}, {20, -32}};

Color BombPoint(int level, float x, float y)
{
    const int sticks = level + 2;
    const float stickWidth = 9.0f, half = static_cast<float>(sticks) * stickWidth / 2;
    const float top = -4.0f, bottom = 30.0f;
    const float bundle = BoxDistance(x, y, 0, (top + bottom) / 2, half, (bottom - top) / 2, 3.0f);
    Color c{0, 0, 0, 0};
    // A soft shadow down and to the right, then the outline.
    const float shadow = BoxDistance(x - 3, y - 4, 0, (top + bottom) / 2, half, (bottom - top) / 2, 3.0f);
    c = Lay(c, Rgb(8, 2, 12), 0.5f * (1 - Smooth(-2.0f, 6.0f, shadow)));
    c = Lay(c, kOutline, Cover(bundle - 2.2f));
    if (bundle < 0) {
        const float left = -half;
        const int i = std::clamp(static_cast<int>((x - left) / stickWidth), 0, sticks - 1);
        const float t = (x - left - static_cast<float>(i) * stickWidth) / stickWidth;
        // A round stick lit from the left.
        const float lit = std::sin(kPi * t) * 0.6f + 0.4f * Smooth(0.6f, 0.2f, t);
        Color stick = Mix(Rgb(120, 10, 16), Rgb(236, 52, 44), lit);
        stick = Mix(stick, Rgb(255, 190, 170), 0.55f * std::exp(-std::pow((t - 0.32f) / 0.09f, 2.0f)));
        if (y < top + 4.0f) // the paper ends
            stick = Mix(Rgb(150, 110, 80), Rgb(246, 222, 176), lit);
        c = Lay(c, stick, Cover(bundle));
        // Grooves between the sticks.
        const float groove = std::min(t, 1 - t) * stickWidth;
        c = Lay(c, Rgb(60, 4, 10), Cover(groove - 0.6f) * 0.8f);
        // The band.
        const bool gold = level == 3;
        const float band = std::fabs(y - 13.0f) - 3.5f;
        if (band < 0.5f) {
            const float shine = 0.5f + 0.5f * std::cos((y - 11.0f) / 3.5f * kPi);
            const Color metal =
                gold ? Mix(kGoldDeep, kGoldBright, shine) : Mix(Rgb(40, 38, 50), Rgb(150, 150, 170), shine);
            c = Lay(c, metal, Cover(band));
        }
    }
    // The fuse: a twisted cord, outlined.
    const float fuse = PolylineDistance(x, y, kFuse);
    c = Lay(c, kOutline, Cover(fuse - 3.0f));
    const float twist = 0.5f + 0.5f * std::sin((x + y) * 1.6f);
    c = Lay(c, Mix(Rgb(120, 78, 36), Rgb(226, 184, 120), twist), Cover(fuse - 1.9f));
    // A glowing ember at its tip.
    const float ember = Length(x - kFuse.back().x, y - kFuse.back().y);
    c = Lay(c, Rgb(255, 150, 40), 0.9f * std::exp(-std::pow(ember / 3.2f, 2.0f)));
    c = Lay(c, Rgb(255, 246, 200), Cover(ember - 1.6f));
    return c;
}

// A spark of the fuse, frame f: a hot core and rays that flicker.
Color SparkPoint(int frame, float x, float y)
{
    const float r = Length(x, y);
    const float a = std::atan2(y, x) + 0.4f * static_cast<float>(frame);
    const int rays = 5 + frame % 3;
    const float spikes = std::pow(std::fabs(std::cos(a * static_cast<float>(rays) / 2)), 14.0f);
    const float reach = 9.0f + 4.0f * std::sin(static_cast<float>(frame) * 1.7f);
    float k = std::exp(-std::pow(r / 3.0f, 2.0f)) + 0.8f * spikes * Clamp01(1 - r / reach) +
              0.35f * std::exp(-std::pow(r / 7.0f, 2.0f));
    k *= Smooth(15.5f, 12.0f, r);
    return Light(Mix(Rgb(255, 170, 60), Rgb(255, 250, 220), Clamp01(k * 1.3f)), k);
}

Image MakeBomb()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    for (int level = 0; level < 4; ++level)
        Paint(img, 86 * (level & 1), 92 * (level >> 1), 86, 92, Pt{43, 46},
              [&](float x, float y) { return BombPoint(level, x, y); });
    // Behind the bomb: a soft dark hollow that keeps it clear of its token.
    Paint(img, 172, 0, 84, 92, Pt{42, 46}, [](float x, float y) {
        const float r = Length(x, (y - 10.0f) * 0.95f);
        return Color{0.03f, 0.01f, 0.06f, 0.5f * (1 - Smooth(16.0f, 36.0f, r))};
    });
    for (int f = 0; f < 8; ++f)
        Paint(img, 32 * f, 188, 32, 32, Pt{16, 16}, [&](float x, float y) { return SparkPoint(f, x, y); });
    return img;
}

// ---------------------------------------------------------------------------
// Lightning: a storm disc with a bolt, and arrowheads where its thunderbolts
// will run (up; left and right; all three; all four).

Color StormPoint(int level, float x, float y)
{
    Color c{0, 0, 0, 0};
    const float disc = Length(x, y) - 22.0f;
    c = Lay(c, Rgb(8, 2, 20), 0.5f * (1 - Smooth(-2.0f, 7.0f, Length(x - 3, y - 4) - 22.0f)));
    const bool up = level != 1, down = level == 3, sides = level >= 1;
    // The arrowheads, outlined, pointing away from the disc.
    auto head = [&](float dx, float dy) {
        const float along = x * dx + y * dy, across = -x * dy + y * dx;
        // A triangle from 27 to 40 out, 9 wide at its base.
        const float t = (along - 27.0f) / 13.0f;
        const float width = 9.0f * (1 - t);
        return std::max({27.0f - along, along - 40.0f, std::fabs(across) - width});
    };
    float arrows = 1e9f;
    if (up)
        arrows = std::min(arrows, head(0, -1));
    if (down)
        arrows = std::min(arrows, head(0, 1));
    if (sides)
        arrows = std::min({arrows, head(-1, 0), head(1, 0)});
    c = Lay(c, kOutline, Cover(arrows - 2.0f));
    c = Lay(c, Mix(Rgb(170, 220, 255), Rgb(255, 255, 255), Clamp01(-arrows / 4.0f)), Cover(arrows));
    // The disc: a night-blue storm, a gold rim, a dark outline.
    c = Lay(c, kOutline, Cover(disc - 2.0f));
    const float rim = std::fabs(disc + 1.5f) - 1.6f;
    const float depth = Clamp01((y + 22.0f) / 44.0f);
    Color storm = Mix(Rgb(64, 92, 210), Rgb(18, 16, 78), depth);
    storm = Mix(storm, Rgb(130, 170, 255), 0.35f * Smooth(0.0f, -18.0f, Length(x + 6, y + 8) - 6.0f));
    c = Lay(c, storm, Cover(disc));
    c = Lay(c, Mix(kGoldBright, kGoldDeep, depth), Cover(rim));
    // The bolt: a zig-zag, outlined.
    const std::vector<Pt> bolt = {{4, -16}, {-8, 1}, {0, 1}, {-5, 16}, {9, -3}, {1, -3}, {7, -16}};
    const float b = PolyDist(bolt, x, y);
    c = Lay(c, kOutline, Cover(b - 1.6f));
    c = Lay(c, Mix(Rgb(255, 248, 170), Rgb(255, 214, 60), Clamp01((y + 16.0f) / 32.0f)), Cover(b));
    return c;
}

// A flickering bolt, frame f, from its foot (18, 57) up to the top.
Color BoltPoint(int frame, float x, float y)
{
    Rng rng(900 + static_cast<uint64_t>(frame));
    std::vector<Pt> points = {{18, 57}};
    const int steps = 6;
    for (int i = 1; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        points.push_back(Pt{16.0f + rng.Range(-6.0f, 6.0f) * (i < steps ? 1.0f : 0.4f), 57.0f - 53.0f * t});
    }
    const float d = PolylineDistance(x, y, points);
    const float fade = Smooth(2.0f, 12.0f, 60.0f - y) * Smooth(0.0f, 4.0f, y);
    const float k = (std::exp(-std::pow(d / 1.1f, 2.0f)) + 0.45f * std::exp(-d / 3.5f)) * fade;
    return Light(Mix(Rgb(120, 170, 255), Rgb(255, 255, 255), Clamp01(std::exp(-d / 1.2f))), k);
}

Image MakeStorm()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    for (int level = 0; level < 4; ++level)
        Paint(img, 88 * (level & 1), 92 * (level >> 1), 88, 92, Pt{44, 46},
              [&](float x, float y) { return StormPoint(level, x, y); });
    // The shade darkens the token under the disc; the glow lights round it.
    Paint(img, 178, 2, 76, 76, Pt{38, 38},
          [](float x, float y) { return Dark(0.75f * (1 - Smooth(18.0f, 36.0f, Length(x, y)))); });
    Paint(img, 178, 82, 76, 76, Pt{38, 38}, [](float x, float y) {
        const float r = Length(x, y);
        const float k = 0.8f * std::exp(-std::pow((r - 24.0f) / 7.0f, 2.0f)) + 0.3f * std::exp(-r / 14.0f);
        return Light(Rgb(140, 190, 255), k * Smooth(37.0f, 30.0f, r));
    });
    Paint(img, 224, 160, 24, 24, Pt{12, 12}, [](float x, float y) {
        const float r = Length(x, y);
        return Light(Mix(Rgb(150, 200, 255), Rgb(255, 255, 255), std::exp(-r / 3.0f)),
                     std::exp(-std::pow(r / 7.0f, 2.0f)) * Smooth(12.0f, 9.0f, r));
    });
    for (int f = 0; f < 8; ++f)
        Paint(img, 32 * f, 188, 32, 64, Pt{0, 0}, [&](float x, float y) { return BoltPoint(f, x, y); });
    return img;
}

// ---------------------------------------------------------------------------
// The clock (drawn as a dark face that darkens its token and a face glow of
// light, with light hands over darkening shadows), its level stars, and the
// score multiplier's plates and turning coins.

const Color kClockLight = Rgb(214, 255, 170);

// A hand from its hub at the origin along +x: `length` long, `width` wide
// at the hub, a round hub of radius `hub`.
float HandDistance(float x, float y, float length, float width, float hub)
{
    const float t = Clamp01(x / length);
    const float half = width / 2 * (1 - 0.7f * t);
    const float blade = std::max({-x, x - length, std::fabs(y) - half});
    return std::min(blade, Length(x, y) - hub);
}

Color HandLight(float x, float y, float length, float width)
{
    const float d = HandDistance(x, y, length, width, 3.5f);
    return Light(Mix(kClockLight, Rgb(255, 255, 240), Clamp01(-d / 1.5f)), Cover(d + 0.3f) * 0.95f);
}

Color HandShadow(float x, float y, float length, float width)
{
    const float d = HandDistance(x, y, length, width, 3.5f);
    return Dark(0.55f * (1 - Smooth(-1.0f, 2.5f, d)));
}

Image MakeClockAndScore()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    // The face: darkness, deepest inside the dial.
    Paint(img, 0, 0, 90, 90, Pt{45, 45}, [](float x, float y) {
        const float r = Length(x, y);
        return Dark(0.82f * (1 - Smooth(25.0f, 32.0f, r)) + 0.1f * (1 - Smooth(32.0f, 40.0f, r)));
    });
    // Its glow: the rim, twelve ticks (longer at the quarters) and the hub.
    Paint(img, 90, 0, 90, 90, Pt{45, 45}, [](float x, float y) {
        const float r = Length(x, y);
        const float rim = std::exp(-std::pow((r - 27.0f) / 1.4f, 2.0f));
        const float a = std::atan2(y, x);
        const float sector = kPi / 6;
        const float nearest = std::round(a / sector) * sector;
        const float quarter = std::fabs(std::remainder(nearest, kPi / 2)) < 0.01f ? 1.0f : 0.0f;
        const float inner = quarter > 0 ? 17.5f : 20.5f;
        const float tick = Length(x - std::cos(nearest) * std::clamp(r, inner, 24.0f),
                                  y - std::sin(nearest) * std::clamp(r, inner, 24.0f));
        const float ticks = Cover(tick - (quarter > 0 ? 1.5f : 1.0f));
        const float halo = 0.25f * std::exp(-std::pow((r - 27.0f) / 5.0f, 2.0f));
        return Light(kClockLight, Clamp01(rim + ticks + halo) * Smooth(44.0f, 38.0f, r));
    });
    // The level's stars over the dial's top.
    for (int n = 1; n <= 3; ++n)
        Paint(img, 180, 76 * (n - 1), 76, 76, Pt{38, 38}, [&](float x, float y) {
            float k = 0;
            for (int i = 0; i < n; ++i) {
                const float sx = (static_cast<float>(i) - static_cast<float>(n - 1) / 2) * 11.0f;
                const float sy = -32.5f + std::fabs(sx) * 0.12f;
                const float d = Star(x - sx, y - sy, 5.0f, 5, 0.45f);
                k = std::max(k, Cover(d) + 0.4f * std::exp(-std::max(d, 0.0f) / 1.5f));
            }
            return Light(Rgb(255, 236, 140), Clamp01(k));
        });
    // The hands turn about their hubs near their left ends, shadows above;
    // they reach the ticks and no further.
    Paint(img, 204, 242, 52, 14, Pt{7, 6}, [](float x, float y) { return HandLight(x, y, 23.0f, 4.5f); });
    Paint(img, 204, 228, 52, 14, Pt{6, 7}, [](float x, float y) { return HandShadow(x, y, 23.0f, 4.5f); });
    Paint(img, 162, 242, 42, 14, Pt{7, 8}, [](float x, float y) { return HandLight(x, y, 16.0f, 6.0f); });
    Paint(img, 162, 228, 42, 14, Pt{6, 7}, [](float x, float y) { return HandShadow(x, y, 16.0f, 6.0f); });
    // The plates, marked with their factors (the popups show them too).
    const char* factors[4] = {"\xD7"
                              "3",
                              "\xD7"
                              "5",
                              "\xD7"
                              "7",
                              "\xD7"
                              "10"};
    for (int p = 0; p < 4; ++p) {
        const int top = 94 + 36 * p;
        Paint(img, 4, top, 50, 36, Pt{25, 18}, [](float x, float y) {
            const float plate = BoxDistance(x, y, 0, 0, 21.0f, 13.5f, 6.0f);
            Color c = Lay(Color{0, 0, 0, 0}, kOutline, Cover(plate - 1.8f));
            const float t = Clamp01((y + 13.5f) / 27.0f);
            c = Lay(c, Mix(kGoldBright, kGoldDeep, t), Cover(plate));
            c = Lay(c, Mix(Rgb(255, 236, 160), Rgb(214, 146, 40), t), Cover(plate + 2.5f));
            return c;
        });
        const std::string text = factors[p];
        const int size = p == 3 ? 18 : 22;
        art::DrawLine(img, art::SansBold(), size, text, 29.0f, static_cast<float>(top) + 18.0f - size * 0.62f,
                      Rgb(92, 30, 10), art::Align::Center);
    }
    // The coin turning a full turn in eight frames: face, edge, back, edge.
    for (int f = 0; f < 8; ++f) {
        const float turn = static_cast<float>(f) * kPi / 4;
        const float squeeze = std::max(std::fabs(std::cos(turn)), 0.14f);
        const bool back = std::cos(turn) < 0;
        Paint(img, 54 + 24 * (f / 4), 94 + 24 * (f % 4), 24, 24, Pt{12, 12}, [&](float x, float y) {
            const float u = x / squeeze;
            const float d = (Length(u, y) - 10.0f) * squeeze;
            Color c = Lay(Color{0, 0, 0, 0}, kOutline, Cover(d - 1.2f));
            const float lit = Clamp01(0.5f - 0.5f * (u + y) / 10.0f);
            Color gold = Mix(kGoldDeep, kGoldBright, lit);
            if (back)
                gold = Mix(gold, Rgb(200, 120, 30), 0.35f);
            c = Lay(c, gold, Cover(d));
            // A star struck on the face, a ring on the back.
            const float mark = back ? std::fabs(Length(u, y) - 5.0f) - 1.0f : Star(u, y, 5.5f, 5, 0.45f);
            c = Lay(c, Mix(Rgb(150, 80, 10), kGoldDeep, 0.3f), Cover(mark * squeeze) * 0.8f);
            return c;
        });
    }
    return img;
}

// ---------------------------------------------------------------------------
// The adviser: a gold rim richer by level round a turning lens, over a
// shade that darkens the token, and the hint arrow.

float RimDistance(float x, float y) { return std::fabs(Length(x, y) - 29.0f) - 3.6f; }

Color RimPoint(int level, float x, float y)
{
    Color c{0, 0, 0, 0};
    const float rim = RimDistance(x, y);
    c = Lay(c, Rgb(8, 2, 12), 0.45f * (1 - Smooth(-1.0f, 5.0f, RimDistance(x - 2, y - 3))));
    // Studs round the rim: none, four, eight.
    const int studs = level == 0 ? 0 : level == 1 ? 4 : 8;
    float stud = 1e9f;
    for (int i = 0; i < studs; ++i) {
        const float a = static_cast<float>(i) * 2 * kPi / static_cast<float>(studs) - kPi / 2;
        stud = std::min(stud, Length(x - 30.0f * std::cos(a), y - 30.0f * std::sin(a)) - 4.6f);
    }
    c = Lay(c, kOutline, Cover(std::min(rim, stud) - 1.6f));
    const float lit = Clamp01(0.5f - 0.5f * (x + y) / 40.0f);
    c = Lay(c, Mix(kGoldDeep, kGoldBright, lit), Cover(rim));
    c = Lay(c, Mix(kGoldBright, Rgb(255, 250, 220), 0.6f), Cover(std::fabs(Length(x, y) - 30.5f) - 0.6f) * lit);
    if (studs > 0) {
        const Color gem = Mix(Rgb(30, 120, 200), Rgb(170, 230, 255), Clamp01(0.5f - 0.4f * (x + y) / 40.0f));
        c = Lay(c, gem, Cover(stud));
    }
    return c;
}

// The top level's own left half: the third rim with a laurel branch
// outside it.
Color SplitRimPoint(float x, float y)
{
    Color c = RimPoint(2, x, y);
    // The branch: a stem along an arc outside the rim, then its leaves.
    const float stemAngle = std::atan2(y, x);
    if (std::fabs(stemAngle) > kPi * 0.6f) {
        const float stem = std::fabs(Length(x, y) - 38.0f) - 0.9f;
        c = Lay(c, kOutline, Cover(stem - 1.0f));
        c = Lay(c, Rgb(120, 150, 50), Cover(stem));
    }
    for (int i = 0; i < 5; ++i) {
        const float a = kPi * (0.62f + 0.19f * static_cast<float>(i));
        const float lx = 38.0f * std::cos(a), ly = 38.0f * std::sin(a);
        // A leaf along the branch's arc.
        const float ca = std::cos(a + kPi / 2), sa = std::sin(a + kPi / 2);
        const float u = (x - lx) * ca + (y - ly) * sa, v = -(x - lx) * sa + (y - ly) * ca;
        const float leaf = Length(u / 6.0f, v / 2.6f) - 1.0f;
        c = Lay(c, kOutline, Cover(leaf * 2.6f - 1.2f));
        c = Lay(c, Mix(Rgb(70, 160, 60), Rgb(190, 240, 140), Clamp01(0.5f - v / 4.0f)), Cover(leaf * 2.6f));
    }
    return c;
}

Image MakeAdviser()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    Paint(img, 0, 0, 88, 88, Pt{44, 44}, [](float x, float y) { return RimPoint(0, x, y); });
    Paint(img, 88, 0, 88, 88, Pt{44, 44}, [](float x, float y) { return RimPoint(1, x, y); });
    Paint(img, 0, 88, 88, 88, Pt{44, 44}, [](float x, float y) { return RimPoint(2, x, y); });
    Paint(img, 88, 88, 44, 88, Pt{44, 44}, [](float x, float y) { return SplitRimPoint(x, y); });
    // The lens: a pale glow with a four-point glint and two crescents that
    // turn with it.
    Paint(img, 178, 2, 74, 74, Pt{37, 37}, [](float x, float y) {
        const float r = Length(x, y);
        const float a = std::atan2(y, x);
        const float glint = std::pow(std::fabs(std::cos(2 * a)), 30.0f) * Clamp01(1 - r / 24.0f) +
                            std::exp(-std::pow(r / 4.0f, 2.0f));
        const float crescent =
            std::exp(-std::pow((r - 19.0f) / 2.0f, 2.0f)) * Smooth(0.2f, 0.9f, std::cos(a + 2.3f));
        const float body = 0.25f * (1 - Smooth(18.0f, 27.0f, r));
        return Light(Mix(Rgb(150, 240, 255), Rgb(255, 255, 255), Clamp01(glint)),
                     Clamp01(glint + 0.8f * crescent + body) * Smooth(28.0f, 24.0f, r));
    });
    Paint(img, 140, 88, 92, 94, Pt{46, 47},
          [](float x, float y) { return Dark(0.78f * (1 - Smooth(22.0f, 33.0f, Length(x, y)))); });
    // The hint arrow, pointing down at its cell.
    Paint(img, 0, 180, 64, 32, Pt{32, 16}, [](float x, float y) {
        const std::vector<Pt> arrow = {{-21, -12}, {21, -12}, {0, 12}};
        const float d = PolyDist(arrow, x, y) + 1.0f;
        Color c = Lay(Color{0, 0, 0, 0}, kOutline, Cover(d - 2.0f));
        c = Lay(c, Mix(kGoldBright, kGoldDeep, Clamp01((y + 12.0f) / 24.0f)), Cover(d));
        c = Lay(c, Rgb(255, 255, 230), Cover(PolyDist(arrow, x * 1.8f, y * 1.8f + 6.0f) + 2.0f) * 0.7f);
        return c;
    });
    return img;
}

// ---------------------------------------------------------------------------
// Solidarity: a band of light filaments that the tails and the bolt scroll
// along (seamless across its width), a ring and a glow, each stretched to
// twice its height so that the square sprites show them round.

Image MakeSolidarity()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    Paint(img, 0, 0, 256, 128, Pt{0, 64}, [](float x, float y) {
        const float u = x / 256.0f;
        float k = std::exp(-std::pow(y / 9.0f, 2.0f));
        // Filaments that wind about the middle, whole waves across the band.
        for (int i = 0; i < 3; ++i) {
            const float wave =
                18.0f * std::sin(2 * kPi * (u * static_cast<float>(2 + i) + 0.3f * static_cast<float>(i)));
            k += 0.6f * std::exp(-std::pow((y - wave) / 2.5f, 2.0f));
        }
        const float pulse = 0.75f + 0.25f * std::sin(2 * kPi * u * 4);
        k *= pulse * Smooth(62.0f, 40.0f, std::fabs(y));
        return Light(Mix(Rgb(255, 220, 180), Rgb(255, 255, 255), Clamp01(k)), Clamp01(k));
    });
    Paint(img, 0, 128, 64, 128, Pt{32, 64}, [](float x, float y) {
        const float r = Length(x * 2.0f, y);
        return Light(Rgb(255, 255, 255), std::exp(-std::pow((r - 52.0f) / 4.0f, 2.0f)) +
                                             0.3f * std::exp(-std::pow((r - 52.0f) / 10.0f, 2.0f)));
    });
    Paint(img, 64, 128, 64, 128, Pt{32, 64}, [](float x, float y) {
        const float r = Length(x * 2.0f, y);
        const float k = std::exp(-std::pow(r / 22.0f, 2.0f)) + 0.5f * std::exp(-r / 26.0f);
        return Light(Mix(Rgb(255, 214, 150), Rgb(255, 255, 255), std::exp(-r / 18.0f)),
                     Clamp01(k) * Smooth(62.0f, 50.0f, r));
    });
    return img;
}

// The burst over the time display: a flash of glass light with rays, in the
// top-left 140 x 140.
Image MakePanelGlass()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    Paint(img, 0, 0, 140, 140, Pt{70, 70}, [](float x, float y) {
        const float r = Length(x, y);
        const float a = std::atan2(y, x);
        const float rays = std::pow(std::fabs(std::cos(4 * a)), 16.0f) * Clamp01(1 - r / 68.0f);
        const float ring = std::exp(-std::pow((r - 40.0f) / 4.0f, 2.0f));
        const float core = std::exp(-std::pow(r / 16.0f, 2.0f));
        const float k = Clamp01(core + 0.7f * ring + 0.6f * rays) * Smooth(69.0f, 60.0f, r);
        return Light(Mix(Rgb(200, 255, 200), Rgb(255, 255, 255), Clamp01(core + ring)), k);
    });
    return img;
}

bool WriteBonusesSet(Output& out)
{
    bool ok = true;
    ok = ok && out.SaveWithAlpha("AllGemLights", MakeGemLights());
    ok = ok && out.Save("AllGems.png", MakeAllGems());
    ok = ok && out.Save("Bonus1.png", MakeBomb());
    ok = ok && out.Save("Bonus2.tga", MakeStorm());
    ok = ok && out.Save("Bonus3.tga", MakeClockAndScore());
    ok = ok && out.Save("Bonus4.tga", MakeAdviser());
    ok = ok && out.Save("Bonus5.tga", MakeSolidarity());
    ok = ok && out.Save("PanelGlass.png", MakePanelGlass());
    return ok;
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "bonuses", WriteBonusesSet); }
