// The GUI skin every form draws with: deep indigo glass in a gilded amber rim
// with a soft glow (the frame's corners, sides and background) and the looks
// of the controls.
//
// "GuiCorners.png" 128 x 128: the four corners of a frame as its quadrants,
//   top-left (0, 0)-(64, 64), top-right (64, 0)-(128, 64), bottom-right
//   (64, 64)-(128, 128), bottom-left (0, 64)-(64, 128).
// "GuiSides.png" 256 x 128: four strips 64 wide, each repeating downwards:
//   left side (0-64, outer edge at x 0), right side (64-128, outer edge at
//   x 128), bottom side (128-192, outer edge at x 128), top side (192-256,
//   outer edge at x 256).
// "GuiBack.png" 256 x 256: the glass inside the frame, seamless both ways.
// A frame band is 64 texels: glow 0-6, gilded rim 6-24, turquoise inlay
// 24-28, glass from 28 on; corners and sides share that profile, so they
// join without a seam at any band size.
//
// "GuiControls.png" 512 x 512, rectangles (left, top)-(right, bottom) in
// pixels:
//   button normal          (0, 0)-(256, 64)
//   button over            (256, 0)-(512, 64)
//   button pressed         (0, 64)-(256, 128)
//   button disabled        (256, 64)-(512, 128)
//   check box unchecked    (0, 128)-(64, 192)
//   check box checked      (64, 128)-(128, 192)
//   check box over         (128, 128)-(192, 192)
//   check box over-checked (192, 128)-(256, 192)
//   check box disabled     (256, 128)-(320, 192)
//   check box checked, disabled (320, 128)-(384, 192)
//   scroller knob          (384, 128)-(448, 192)
//   soft glow, for additive light (448, 128)-(512, 192)
//   scroller track, horizontal (0, 192)-(448, 224)
//   progress bar, empty    (0, 224)-(448, 272)
//   progress bar, full     (0, 272)-(448, 320)
//   scroller track, vertical (464, 192)-(496, 512)
//   swap arrows            (0, 320)-(128, 384): over two neighbouring cells,
//                          one arrow to the right above one to the left
//   shade                  (128, 320)-(192, 448): white, clear at the top
//                          and opaque from two thirds down, for a band that
//                          darkens the screen without an edge
// The two progress pictures share one outline, so a bar split between them
// shows no seam.
#include <algorithm>
#include <cmath>

#include "output.h"

using namespace gfx;

namespace {

const float kPi = 3.14159265f;

const Color kIndigo = Rgb(16, 12, 44);
const Color kGlass = Rgb(30, 24, 74);
const Color kGlassDeep = Rgb(20, 15, 52);
const Color kAmber = Rgb(232, 146, 48);
const Color kAmberDeep = Rgb(196, 104, 26);
const Color kGold = Rgb(255, 204, 84);
const Color kGoldLight = Rgb(255, 240, 178);
const Color kGoldDark = Rgb(150, 92, 22);
const Color kTurquoise = Rgb(58, 206, 214);
const Color kTurquoiseLight = Rgb(190, 250, 246);
const Color kTurquoiseDeep = Rgb(16, 110, 128);
const Color kSlate = Rgb(104, 112, 132);
const Color kSlateLight = Rgb(160, 168, 186);
const Color kSlateDark = Rgb(58, 62, 80);
const Color kWhite = Rgb(255, 255, 255);
const Color kClear{0, 0, 0, 0};

// The glass of the frame and the background is opaque: a dialog hides the
// scene and the forms behind it, so its captions read cleanly whatever moves
// there.
constexpr float kGlassAlpha = 1.0f;

Color WithAlpha(Color c, float a)
{
    c.a = a;
    return c;
}

// Paints f(x, y) (local texel centres, its alpha the coverage) over a
// rectangle of the picture.
template <typename F>
void Paint(Image& img, int x0, int y0, int w, int h, F f)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Color c = f(x + 0.5f, y + 0.5f);
            if (c.a > 0)
                img.Blend(x0 + x, y0 + y, WithAlpha(c, 1.0f), c.a);
        }
}

// A soft bump: 1 at the centre of [a, b], 0 at its ends.
float Bump(float a, float b, float x)
{
    const float t = (x - a) / (b - a);
    return t <= 0 || t >= 1 ? 0.0f : std::sin(t * kPi);
}

// The glass colour at a texel of a 256-texel period: indigo with faint,
// slow clouds, the same in the frame's band and the background.
Color GlassAt(float x, float y)
{
    const float cloud = Fbm(x / 64.0f, y / 64.0f, 71, 3, 4);
    return WithAlpha(Mix(kGlassDeep, kGlass, 0.55f + 0.45f * cloud), kGlassAlpha);
}

// The frame band by its distance d from the outer edge (0 to 64 texels);
// `along` runs along the edge. Glow, gilded rim with an engraved line,
// turquoise inlay, then glass with a shadow under the rim.
Color BandAt(float d, float along, float glassX, float glassY)
{
    if (d < 0)
        return kClear;
    if (d < 6) {
        const float k = Smooth(0.0f, 6.0f, d);
        return WithAlpha(Mix(kAmber, kGold, k), 0.5f * k * k);
    }
    if (d < 24) {
        const float t = (d - 6) / 18.0f;
        Color c = Mix(kGoldDark, kGoldLight, std::pow(Bump(-0.1f, 0.75f, t), 0.8f));
        c = Mix(c, kGoldDark, 0.75f * Bump(0.6f, 0.72f, t)); // engraved line
        c = Mix(c, kGold, 0.5f * Bump(0.72f, 0.95f, t));
        c = Mix(c, kAmberDeep, 0.3f * Smooth(0.9f, 1.0f, t));
        // A faint grain along the rim keeps the gold from looking flat.
        c = Mix(c, kGoldLight, 0.12f * Noise(along / 3.0f, t * 6, 5, 0));
        return WithAlpha(c, Clamp01(d - 6 + 0.5f));
    }
    if (d < 28) {
        const float k = Bump(23.5f, 28.5f, d);
        return WithAlpha(Mix(kTurquoiseDeep, kTurquoiseLight, k), 1.0f);
    }
    Color c = GlassAt(glassX, glassY);
    const float shade = 1 - Smooth(28.0f, 46.0f, d);
    c = Mix(c, kIndigo, 0.55f * shade);
    c = Mix(c, kTurquoise, 0.10f * Bump(28.0f, 40.0f, d));
    return WithAlpha(c, kGlassAlpha);
}

// A gold stud on the rim of a side, halfway along every 128 texels.
void Stud(Image& img, float cx, float cy)
{
    Paint(img, static_cast<int>(cx) - 14, static_cast<int>(cy) - 14, 28, 28, [&](float x, float y) {
        const float dx = x - 14, dy = y - 14;
        const float diamond = std::fabs(dx) + std::fabs(dy);
        if (diamond > 12.5f)
            return kClear;
        Color c = diamond < 6.0f ? Mix(kTurquoiseLight, kTurquoiseDeep, Clamp01((dx + dy + 6) / 12.0f))
                                 : Mix(kGoldLight, kGoldDark, Clamp01((dx + dy + 12) / 24.0f));
        if (diamond >= 6.0f)
            c = Mix(c, kGoldDark, 0.6f * Bump(5.5f, 7.5f, diamond));
        return WithAlpha(c, Clamp01(12.5f - diamond));
    });
}

// A turquoise cabochon in a gold setting, lit from the top left.
void Jewel(Image& img, float cx, float cy, float radius)
{
    const int r = static_cast<int>(radius) + 2;
    Paint(img, static_cast<int>(cx) - r, static_cast<int>(cy) - r, 2 * r, 2 * r, [&](float x, float y) {
        const float dx = x - r, dy = y - r;
        const float d = std::hypot(dx, dy);
        if (d > radius + 0.5f)
            return kClear;
        const float cover = Clamp01(radius + 0.5f - d);
        const float stone = radius * 0.62f;
        if (d > stone) {
            const float t = (d - stone) / (radius - stone);
            Color c = Mix(kGoldLight, kGoldDark, Clamp01(0.5f + (dx + dy) / (2.5f * radius)));
            c = Mix(c, kGoldDark, 0.5f * Bump(0.0f, 0.3f, t));
            return WithAlpha(c, cover);
        }
        const float u = d / stone;
        Color c = Mix(kTurquoiseLight, kTurquoiseDeep, Smooth(0.0f, 1.0f, 0.55f * u + 0.35f * (dx + dy) / stone));
        const float glint =
            std::exp(-(std::pow(dx / stone + 0.35f, 2.0f) + std::pow(dy / stone + 0.4f, 2.0f)) * 14);
        return WithAlpha(Mix(c, kWhite, 0.85f * glint), 1.0f);
    });
}

Image MakeGuiBack()
{
    Image img(256, 256);
    Rng rng(310);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            img.At(x, y) = GlassAt(x + 0.5f, y + 0.5f);
    // Faint motes of light, wrapped at the edges so the tile stays seamless.
    for (int i = 0; i < 26; ++i) {
        const float x = rng.Range(0, 256), y = rng.Range(0, 256), size = rng.Range(1.5f, 3.5f);
        const Color tint = rng.Unit() < 0.6f ? kGoldLight : kTurquoiseLight;
        for (int ox : {-256, 0, 256})
            for (int oy : {-256, 0, 256})
                img.Glow(x + ox, y + oy, size * 2.5f, tint, 0.22f, 2.2f, true);
    }
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            img.At(x, y).a = kGlassAlpha;
    return img;
}

Image MakeGuiSides()
{
    Image img(256, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const int strip = x / 64;
            const float d = strip == 0 ? px : strip == 1 ? 128 - px : strip == 2 ? px - 128 : 256 - px;
            img.At(x, y) = BandAt(d, py, d, py);
        }
    // The studs sit on the rim's middle line, 15 texels in from the outer edge.
    Stud(img, 15, 64);
    Stud(img, 128 - 15, 64);
    Stud(img, 128 + 15, 64);
    Stud(img, 256 - 15, 64);
    return img;
}

Image MakeGuiCorners()
{
    Image img(128, 128);
    const float radius = 26;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            // Distances from the quadrant's own outer corner.
            const float lx = x < 64 ? x + 0.5f : 128 - (x + 0.5f);
            const float ly = y < 64 ? y + 0.5f : 128 - (y + 0.5f);
            const float d = -Image::RoundRectDist(lx, ly, 0, 0, 1000, 1000, radius);
            img.At(x, y) = BandAt(d, std::max(lx, ly), lx, ly);
        }
    for (float cx : {19.0f, 109.0f})
        for (float cy : {19.0f, 109.0f})
            Jewel(img, cx, cy, 17);
    return img;
}

// ---------------------------------------------------------------------------
// Controls.

enum class Look { Normal, Over, Pressed, Disabled };

// A button face 256 x 64: a rounded amber plate in a gold rim with a glassy
// sheen on its upper half and a soft shadow beneath. Over warms it and turns
// the rim turquoise with a glow; pressed sinks it two texels into its own
// shadow; disabled is slate.
void PaintButton(Image& img, int x0, int y0, Look look)
{
    const bool pressed = look == Look::Pressed, over = look == Look::Over, off = look == Look::Disabled;
    const float top = pressed ? 9.0f : 7.0f, bottom = pressed ? 59.0f : 57.0f;
    const float left = 6, right = 250, radius = 16;
    Color faceTop = off ? kSlateLight : over ? kGoldLight : pressed ? kAmberDeep : kGold;
    Color faceBottom = off ? kSlateDark : over ? kAmber : pressed ? kAmber : kAmberDeep;
    const Color rimLight = off ? kSlateLight : over ? kTurquoiseLight : kGoldLight;
    const Color rimDark = off ? kSlateDark : over ? kTurquoiseDeep : kGoldDark;
    Paint(img, x0, y0, 256, 64, [&](float x, float y) {
        const float d = Image::RoundRectDist(x, y, left, top, right, bottom, radius);
        if (d > 0.5f) {
            // Below the plate: its shadow; around an over plate: a glow.
            float k = 0;
            Color c = kIndigo;
            if (!pressed) {
                const float ds = Image::RoundRectDist(x, y - 3, left + 2, top + 2, right - 2, bottom, radius);
                k = 0.45f * std::pow(Clamp01(1 - ds / 6), 2.0f);
            }
            if (over) {
                const float g = 0.55f * std::pow(Clamp01(1 - d / 6), 1.6f);
                if (g > k) {
                    c = kTurquoise;
                    k = g;
                }
            }
            return WithAlpha(c, k);
        }
        const float cover = Clamp01(0.5f - d);
        const float v = (y - top) / (bottom - top);
        if (d > -3.5f) { // the rim, lit from above
            Color c = Mix(rimLight, rimDark, Smooth(0.0f, 1.0f, v));
            c = Mix(c, rimLight, 0.35f * Bump(-3.5f, 0.5f, d));
            return WithAlpha(c, cover);
        }
        Color c = pressed ? Mix(faceTop, faceBottom, Smooth(0.0f, 0.6f, v))
                          : Mix(faceTop, faceBottom, Smooth(0.1f, 1.0f, v));
        if (!pressed && !off) // the glassy sheen of the upper half
            c = Mix(c, kWhite, 0.32f * Smooth(0.5f, 0.05f, v) * Smooth(-3.5f, -8.0f, d));
        if (pressed) // the sunk plate's inner shadow
            c = Mix(c, kIndigo, 0.35f * Smooth(-10.0f, -3.5f, d) * Smooth(0.6f, 0.0f, v));
        if (off)
            c = Mix(c, kSlate, 0.25f);
        return WithAlpha(c, off ? 0.85f : 1.0f);
    });
}

enum class Socket { Unchecked, Checked, Over, OverChecked, Disabled, CheckedDisabled };

// A check box 64 x 64: a round gold setting with a dark socket; checked, a
// faceted turquoise gem sits in it. Over, the setting warms and glows;
// disabled, it is slate and the gem dull.
void PaintSocket(Image& img, int x0, int y0, Socket look)
{
    const bool checked = look == Socket::Checked || look == Socket::OverChecked || look == Socket::CheckedDisabled;
    const bool over = look == Socket::Over || look == Socket::OverChecked;
    const bool off = look == Socket::Disabled || look == Socket::CheckedDisabled;
    const float outer = 25, inner = 17;
    const Color ringLight = off ? kSlateLight : over ? kGoldLight : kGold;
    const Color ringDark = off ? kSlateDark : kGoldDark;
    Paint(img, x0, y0, 64, 64, [&](float x, float y) {
        const float dx = x - 32, dy = y - 32, d = std::hypot(dx, dy);
        if (d > outer + 0.5f) {
            const float glowRadius = over ? 7.0f : 4.0f;
            const float k = (over ? 0.6f : 0.3f) * std::pow(Clamp01(1 - (d - outer) / glowRadius), 1.8f);
            return WithAlpha(over ? (checked ? kTurquoise : kAmber) : kIndigo, k);
        }
        if (d > inner) {
            const float t = (d - inner) / (outer - inner);
            Color c = Mix(ringLight, ringDark, Clamp01(0.5f + (dx + dy) / 60.0f));
            c = Mix(c, ringDark, 0.6f * Bump(0.35f, 0.55f, t)); // engraved groove
            c = Mix(c, ringLight, 0.3f * Bump(0.6f, 1.0f, t));
            return WithAlpha(c, Clamp01(outer + 0.5f - d));
        }
        if (!checked) {
            Color c = Mix(kGlassDeep, kIndigo, Smooth(inner, 0.0f, d));
            c = Mix(c, kIndigo, 0.6f * Clamp01(-(dx + dy) / 30.0f)); // the socket's inner shadow
            if (over)                                                // warm light falling into the socket
                c = Mix(c, kAmber, 0.22f * Smooth(inner, 4.0f, d));
            return WithAlpha(c, 1.0f);
        }
        // The gem: eight facets around a table, each lit by its angle.
        const float angle = std::atan2(dy, dx);
        const float facet = std::floor((angle + kPi) / (kPi / 4));
        const float lit = 0.5f + 0.5f * std::cos(facet * kPi / 4 + kPi / 4 - 0.3f);
        Color c = d < inner * 0.45f ? Mix(kTurquoise, kTurquoiseLight, 0.45f)
                                    : Mix(kTurquoiseDeep, kTurquoiseLight, 0.25f + 0.6f * lit);
        const float edge = std::fabs(std::fmod(angle + kPi + 10 * kPi, kPi / 4) - kPi / 8);
        c = Mix(c, kTurquoiseDeep, 0.35f * Smooth(0.06f, 0.0f, edge * d / inner));
        const float glint = std::exp(-(std::pow((dx + 5) / 4, 2.0f) + std::pow((dy + 6) / 4, 2.0f)));
        c = Mix(c, kWhite, 0.9f * glint);
        if (over)
            c = Mix(c, kTurquoiseLight, 0.2f);
        if (off)
            c = Mix(c, kSlate, 0.7f);
        return WithAlpha(c, Clamp01(inner + 0.5f - d) > 0 ? 1.0f : 0.0f);
    });
}

// The scroller's knob 64 x 64: a gold bead with a highlight and a soft shadow.
void PaintKnob(Image& img, int x0, int y0)
{
    Paint(img, x0, y0, 64, 64, [&](float x, float y) {
        const float dx = x - 32, dy = y - 31, d = std::hypot(dx, dy), r = 20;
        if (d > r + 0.5f) {
            const float ds = std::hypot(dx - 2, dy - 4);
            return WithAlpha(kIndigo, 0.5f * std::pow(Clamp01(1 - (ds - r) / 8), 2.0f));
        }
        const float nz = std::sqrt(std::max(0.0f, 1 - (d / r) * (d / r)));
        const float light = Clamp01(0.35f * (-dx / r) + 0.45f * (-dy / r) + 0.65f * nz);
        Color c = Mix(kGoldDark, kGold, light);
        c = Mix(c, kAmberDeep, 0.3f * Smooth(0.7f, 1.0f, d / r));
        const float glint = std::exp(-(std::pow((dx + 7) / 5, 2.0f) + std::pow((dy + 8) / 4, 2.0f)));
        c = Mix(c, kGoldLight, 0.9f * glint);
        return WithAlpha(c, Clamp01(r + 0.5f - d));
    });
}

// A soft amber-to-turquoise light 64 x 64, to be added over what lies below.
void PaintGlow(Image& img, int x0, int y0)
{
    Paint(img, x0, y0, 64, 64, [&](float x, float y) {
        const float d = std::hypot(x - 32, y - 32) / 31;
        if (d >= 1)
            return kClear;
        const float k = std::pow(1 - d, 2.2f);
        return WithAlpha(Mix(kTurquoise, kGoldLight, k), k);
    });
}

// An engraved groove with rounded ends in a thin gold edging, along the long
// side of a w x h rectangle.
void PaintTrack(Image& img, int x0, int y0, int w, int h)
{
    const bool across = w > h; // the groove runs along x
    Paint(img, x0, y0, w, h, [&](float x, float y) {
        const float along = across ? x : y, side = across ? y : x;
        const float length = static_cast<float>(across ? w : h), width = static_cast<float>(across ? h : w);
        const float half = width / 2;
        const float d = Image::RoundRectDist(along, side, 6, half - 8, length - 6, half + 8, 8);
        if (d > 0.5f)
            return WithAlpha(kIndigo, 0.35f * std::pow(Clamp01(1 - d / 4), 2.0f));
        const float cover = Clamp01(0.5f - d);
        const float v = (side - (half - 8)) / 16;
        if (d > -3)
            return WithAlpha(Mix(kGoldDark, kGoldLight, Smooth(0.0f, 1.0f, v)), cover);
        Color c = Mix(kIndigo, kGlass, Smooth(0.0f, 1.0f, v)); // shadowed at the top
        c = Mix(c, kTurquoise, 0.18f * Bump(0.55f, 0.9f, v));
        return WithAlpha(c, 1.0f);
    });
}

// A progress bar 448 x 48 in one outline: empty, dark glass; full, a fill
// from amber to gold with a glossy top.
void PaintBar(Image& img, int x0, int y0, bool full)
{
    Paint(img, x0, y0, 448, 48, [&](float x, float y) {
        const float d = Image::RoundRectDist(x, y, 6, 7, 442, 41, 14);
        if (d > 0.5f)
            return WithAlpha(kIndigo, 0.35f * std::pow(Clamp01(1 - d / 5), 2.0f));
        const float cover = Clamp01(0.5f - d);
        const float v = (y - 7) / 34;
        if (d > -3.5f) {
            Color c = Mix(kGoldLight, kGoldDark, Smooth(0.0f, 1.0f, v));
            return WithAlpha(Mix(c, kGold, 0.3f * Bump(-3.5f, 0.5f, d)), cover);
        }
        if (!full) {
            Color c = Mix(kIndigo, kGlass, Smooth(0.0f, 0.8f, v));
            return WithAlpha(Mix(c, kTurquoise, 0.08f * Bump(0.6f, 1.0f, v)), 1.0f);
        }
        Color c = Mix(kAmberDeep, kGold, Smooth(0.0f, 1.0f, x / 448.0f));
        c = Mix(c, kAmberDeep, 0.35f * Smooth(0.5f, 1.0f, v));
        c = Mix(c, kWhite, 0.4f * Smooth(0.45f, 0.1f, v) * Smooth(-3.5f, -7.0f, d));
        return WithAlpha(c, 1.0f);
    });
}

// Two arrows across a pair of cells 128 x 64, from one cell's middle to the
// other's, along the cells' upper and lower edges: warm white in a dark
// outline, so they read over any token and leave the tokens' middles clear.
void PaintSwapArrows(Image& img, int x0, int y0)
{
    auto arrow = [](float x, float y, float fromX, float toX, float atY) {
        const float dir = toX > fromX ? 1.0f : -1.0f, headLength = 12, headHalf = 8;
        const Pt tip{toX, atY}, base{toX - dir * headLength, atY};
        const float shaft = SegDist(x, y, Pt{fromX, atY}, base) - 2.5f;
        const float head = PolyDist({tip, {base.x, atY - headHalf}, {base.x, atY + headHalf}}, x, y);
        return std::min(shaft, head);
    };
    Paint(img, x0, y0, 128, 64, [&](float x, float y) {
        const float d = std::min(arrow(x, y, 34, 98, 11), arrow(x, y, 94, 30, 53));
        const float outline = Clamp01(3.0f - d), shadow = 0.45f * std::pow(Clamp01(1 - (d - 2.5f) / 4), 2.0f);
        const Color fill = Mix(kWhite, kGoldLight, Clamp01(-d / 3));
        return WithAlpha(Mix(kIndigo, fill, Clamp01(0.5f - d)), std::max(outline, shadow));
    });
}

// A white ramp 64 x 128 whose alpha rises smoothly from the top row to full
// two thirds of the way down; tinted by a control's colour, it darkens a
// band of the screen without a visible edge.
void PaintShade(Image& img, int x0, int y0)
{
    Paint(img, x0, y0, 64, 128, [](float, float y) { return WithAlpha(kWhite, Smooth(2.0f, 86.0f, y)); });
}

Image MakeGuiControls()
{
    Image img(512, 512);
    PaintButton(img, 0, 0, Look::Normal);
    PaintButton(img, 256, 0, Look::Over);
    PaintButton(img, 0, 64, Look::Pressed);
    PaintButton(img, 256, 64, Look::Disabled);
    const Socket sockets[] = {Socket::Unchecked,   Socket::Checked,  Socket::Over,
                              Socket::OverChecked, Socket::Disabled, Socket::CheckedDisabled};
    for (int i = 0; i < 6; ++i)
        PaintSocket(img, 64 * i, 128, sockets[i]);
    PaintKnob(img, 384, 128);
    PaintGlow(img, 448, 128);
    PaintTrack(img, 0, 192, 448, 32);
    PaintBar(img, 0, 224, false);
    PaintBar(img, 0, 272, true);
    PaintTrack(img, 464, 192, 32, 320);
    PaintSwapArrows(img, 0, 320);
    PaintShade(img, 128, 320);
    return img;
}

bool WriteGuiSet(Output& out)
{
    return out.Save("GuiCorners.png", MakeGuiCorners()) && out.Save("GuiSides.png", MakeGuiSides()) &&
           out.Save("GuiBack.png", MakeGuiBack()) && out.Save("GuiControls.png", MakeGuiControls());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "gui", WriteGuiSet); }
