// The power totems' pictures. "Totems.cfg" quotes the texel rectangles
// given here; the pieces' places on a totem are those of totems_art.h.
//
// <Colour>Totem.png and <Colour>TotemShop.png, 512 x 256 (the shop's under
// its brighter showcase light, the same layout):
//   bodies        plain x 0-103, banded x 104-207, gilded x 208-311; y 0-207
//   crests        banded x 0-103, gilded x 104-207; y 208-255
//   left wings    plain x 312-351, banded x 352-391, gilded x 392-431; y 0-103
//   green         gem on its chain x 312-367, without x 368-423; y 104-175
//   yellow        nugget x 312-375, y 104-143; numbers 1000, 1500, 2000, 2500,
//                 3000 at x 432-511, y 36 k to 36 k + 31; plus sign x 480-511,
//                 y 224-255
//   blue          heads without the helm: plain x 312-415, y 104-157, banded
//                 y 158-211; spike x 208-311, y 208-231; shield x 440-487,
//                 y 0-63; nothing at x 416-431, y 104-127
// SmallTotem1.png, 256 x 256: colour c, level l at x 36 c, y 64 (l - 1),
//   36 x 64 each.
// TotemLights.png, 256 x 128: colour c's lamp k at x 36 c, y 42 k, 36 x 42.
// TotemShadows.jpg, 512 x 512 (white darkens): colour c's shadow v (0 level
//   1, 1 level 2, 2 levels 3-4) in cell i = 3 c + v at x 64 (i % 8), y 128
//   (i / 8), 64 x 128; green's without its chain in cell 21; the shadow on
//   the ground x 0-127, y 384-415. A shadow cell covers the place 65, 30,
//   104 x 156 of a 224-pixel frame.
// TotemBase.tga, 256 x 256: the light over the panel x 0-191, y 0-136
//   (added as a screen over the band 16, 448, 320 x 228); dark silhouettes of
//   colours 0-3 at x 206-241, y 64 c.
// TotemDark2.tga, 128 x 128: dark silhouettes of colours 4-6 at x 36 (c - 4),
//   y 0, 36 x 64.
// TotemContour.png, 256 x 256: colour c's outline at x 36 c, y 0, 36 x 64.
// TimeDigits.png, 256 x 256: 64 x 64 cells in rows of four: 0-9, "+", ":".
// VioletGlowRays.tga, 256 x 256: a ray x 0-187, y 0-127; the glow y 128-255.
// Unigem.tga, 256 x 256: a beam x 0-127 over the whole height (seamless);
//   the glow x 128-255, y 0-127; four sparkles x 128-255, y 128-255.
// SteelCapsT.png, 128 x 64: the helm x 0-83.
// PaintStream.png, 64 x 256: paint running down, seamless.
// PaintDrop.png, 128 x 128: a drop pointing right x 0-63, y 0-63, its
//   highlight x 64-127; a round splash drop x 0-63, y 64-127, its highlight
//   x 64-127.
// ShopColor.png, ShopMul.png, ShopBW.png, 512 x 512: colour c's item picture
//   in a 104 x 104 cell at x 8 + 128 (c % 4), y 8 + 128 (c / 4): in colour,
//   as a silhouette that darkens, and as a white engraving; the question
//   sign in ShopColor x 452-487, y 184-239.
#include <algorithm>
#include <cmath>
#include <string>

#include "output.h"
#include "screens_art.h"
#include "totems_art.h"

using namespace gfx;
using namespace gfx::totems;

namespace {

const float kPi = 3.14159265f;
const char* const kNames[kColours] = {"Green", "Yellow", "Red", "Blue", "Orange", "White", "Violet"};

void Copy(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst.At(dx + x, dy + y) = src.At(sx + x, sy + y);
}

// Yellow's numbers: gold lettering with a dark edge.
void Number(Image& img, const std::string& text, int x, int y, int w, int h)
{
    const Image mask = TextMask(art::SansBold(), 26, text, 3);
    const int ox = x + (w - mask.Width()) / 2, oy = y + (h - mask.Height()) / 2;
    for (int my = 0; my < mask.Height(); ++my)
        for (int mx = 0; mx < mask.Width(); ++mx) {
            float edge = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const int sx = mx + dx, sy = my + dy;
                    if (sx >= 0 && sy >= 0 && sx < mask.Width() && sy < mask.Height())
                        edge = std::max(edge, mask.At(sx, sy).a);
                }
            img.Blend(ox + mx, oy + my, Rgb(70, 34, 4), edge);
            const float t = static_cast<float>(my) / mask.Height();
            img.Blend(ox + mx, oy + my, Mix(Rgb(255, 246, 170), Rgb(236, 160, 30), t), mask.At(mx, my).a);
        }
}

void Plus(Image& img, float cx, float cy, float r, const Color& c)
{
    art::Stroke(img, {cx - r, cy}, {cx + r, cy}, r * 0.55f, Rgb(90, 40, 0), 1.0f);
    art::Stroke(img, {cx, cy - r}, {cx, cy + r}, r * 0.55f, Rgb(90, 40, 0), 1.0f);
    art::Stroke(img, {cx - r * 0.85f, cy}, {cx + r * 0.85f, cy}, r * 0.35f, c, 1.0f);
    art::Stroke(img, {cx, cy - r * 0.85f}, {cx, cy + r * 0.85f}, r * 0.35f, c, 1.0f);
}

Image MakeColourAtlas(int colour, bool shop)
{
    const Light light = shop ? Light{1.12f, 0.35f} : Light{};
    Image img(512, 256, Color{0, 0, 0, 0});
    const Look looks[3] = {kPlain, kBanded, kGilded};
    for (int i = 0; i < 3; ++i) {
        DrawBody(img, {104.0f * i, 0, 104, 208}, colour, looks[i], light);
        DrawWing(img, {312.0f + 40 * i, 0, 40, 104}, colour, looks[i], light);
    }
    DrawCrest(img, {0, 208, 104, 48}, colour, kBanded, light);
    DrawCrest(img, {104, 208, 104, 48}, colour, kGilded, light);
    switch (colour) {
    case 0:
        DrawHangingGem(img, {312, 104, 56, 72}, true, light);
        DrawHangingGem(img, {368, 104, 56, 72}, false, light);
        break;
    case 1: {
        DrawNugget(img, {312, 104, 64, 40}, light);
        const char* numbers[5] = {"1000", "1500", "2000", "2500", "3000"};
        for (int k = 0; k < 5; ++k)
            Number(img, numbers[k], 432, 36 * k, 80, 32);
        Plus(img, 496, 240, 13, Rgb(255, 230, 120));
        break;
    }
    case 3:
        for (int i = 0; i < 2; ++i) {
            Image bare(104, 208, Color{0, 0, 0, 0});
            DrawBody(bare, {0, 0, 104, 208}, 3, looks[i], light, false);
            Copy(img, bare, 0, 0, 104, 54, 312, 104 + 54 * i);
        }
        DrawSpike(img, {208, 208, 104, 24}, light);
        DrawShield(img, {440, 0, 48, 64});
        break;
    default:
        break;
    }
    return img;
}

// The small totems: the same figures squeezed into 36 x 64, all at one
// scale, their plinths on the cell's foot.
Image MakeSmallTotems()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    const float k = 0.45f, size = 224 * k;
    for (int c = 0; c < kColours; ++c)
        for (int level = 1; level <= 4; ++level) {
            const float x0 = 36.0f * c, y0 = 64.0f * (level - 1);
            const float squeeze = level >= 2 ? 0.82f : 1.0f;
            DrawTotem(img, c, level, x0 + 18, y0 + 63 - (176 - 112) * k, size, Light{}, squeeze, 1.0f);
        }
    return img;
}

Image MakeLights()
{
    Image img(256, 128, Color{0, 0, 0, 0});
    for (int c = 0; c < kColours; ++c)
        for (int k = 0; k < 3; ++k) {
            const float cx = 36.0f * c + 18, cy = 42.0f * k + 21;
            const Color lamp = LampColour(c);
            img.Glow(cx, cy, 17, lamp, 0.9f, 1.6f, false);
            img.Glow(cx, cy, 9, Mix(lamp, Rgb(255, 255, 255), 0.5f), 1.0f, 1.2f, false);
            img.Glow(cx, cy, 4, Rgb(255, 255, 255), 1.0f, 1.0f, false);
        }
    return img;
}

// The alpha of a whole totem in a 224-pixel frame.
Image Silhouette(int colour, int level, bool chain)
{
    Image img(224, 224, Color{0, 0, 0, 0});
    DrawTotem(img, colour, level, 112, 112, 224, Light{}, 1, 1, chain);
    return img;
}

float Blurred(const Image& a, int x, int y, int radius)
{
    float sum = 0;
    int n = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int sx = x + dx, sy = y + dy;
            ++n;
            if (sx >= 0 && sy >= 0 && sx < a.Width() && sy < a.Height())
                sum += a.At(sx, sy).a;
        }
    return sum / static_cast<float>(n);
}

// A shadow cell: the silhouette 5 pixels right and 4 down, spread over
// the cell's place in the frame and blurred.
void ShadowCell(Image& img, int cell, const Image& shape)
{
    const int x0 = 64 * (cell % 8), y0 = 128 * (cell / 8);
    Image sample(64, 128, Color{0, 0, 0, 0});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 64; ++x) {
            const float px = 65 + (x + 0.5f) * 104 / 64.0f - 5, py = 30 + (y + 0.5f) * 156 / 128.0f - 4;
            const int sx = static_cast<int>(px), sy = static_cast<int>(py);
            if (sx >= 0 && sy >= 0 && sx < 224 && sy < 224)
                sample.At(x, y).a = shape.At(sx, sy).a;
        }
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 64; ++x) {
            const float v = 0.62f * Blurred(sample, x, y, 2);
            img.At(x0 + x, y0 + y) = Color{v, v, v, 1};
        }
}

Image MakeShadows()
{
    Image img(512, 512, Color{0, 0, 0, 1});
    for (int c = 0; c < kColours; ++c)
        for (int v = 0; v < 3; ++v)
            ShadowCell(img, 3 * c + v, Silhouette(c, v + 1, true));
    ShadowCell(img, 21, Silhouette(0, 3, false));
    for (int y = 384; y < 416; ++y)
        for (int x = 0; x < 128; ++x) {
            const float dx = (x + 0.5f - 64) / 60, dy = (y + 0.5f - 400) / 14;
            const float v = 0.55f * (1 - Smooth(0.35f, 1.0f, std::hypot(dx, dy)));
            img.At(x, y) = Color{v, v, v, 1};
        }
    return img;
}

// The L1 small totem's alpha in its 36 x 64 cell.
Image SmallSilhouette(int colour)
{
    Image img(36, 64, Color{0, 0, 0, 0});
    const float k = 0.45f;
    DrawTotem(img, colour, 1, 18, 63 - (176 - 112) * k, 224 * k, Light{}, 1, 1);
    return img;
}

void DarkCell(Image& img, int x0, int y0, const Image& shape)
{
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 36; ++x) {
            const float v = 0.78f * Blurred(shape, x, y, 1);
            img.At(x0 + x, y0 + y) = Color{v, v, v, 1};
        }
}

// The light the panel's base adds over the band: a pool on the dais where
// the totem in front stands, and a line along the shelf.
Image MakeBase()
{
    Image img(256, 256, Color{0, 0, 0, 1});
    for (int y = 0; y < 137; ++y)
        for (int x = 0; x < 192; ++x) {
            const float px = 16 + (x + 0.5f) * 320 / 192.0f, py = 448 + (y + 0.5f) * 228 / 137.0f;
            const float dais = 1 - Smooth(0.0f, 1.0f, std::hypot((px - 176) / 70, (py - 560) / 90));
            const float shelf = (1 - Smooth(0.0f, 1.0f, std::fabs(py - 668) / 10)) *
                                (1 - Smooth(0.8f, 1.0f, std::fabs(px - 176) / 160));
            const float v = Clamp01(0.32f * dais * dais + 0.22f * shelf);
            img.At(x, y) = Color{v, v * 0.86f, v * 0.62f, 1};
        }
    for (int c = 0; c < 4; ++c)
        DarkCell(img, 206, 64 * c, SmallSilhouette(c));
    return img;
}

Image MakeDark()
{
    Image img(128, 128, Color{0, 0, 0, 1});
    for (int c = 4; c < kColours; ++c)
        DarkCell(img, 36 * (c - 4), 0, SmallSilhouette(c));
    return img;
}

Image MakeContours()
{
    Image img(256, 256, Color{1, 1, 1, 0});
    for (int c = 0; c < kColours; ++c) {
        const Image shape = SmallSilhouette(c);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 36; ++x) {
                float lo = 1, hi = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int sx = x + dx, sy = y + dy;
                        const float a = sx >= 0 && sy >= 0 && sx < 36 && sy < 64 ? shape.At(sx, sy).a : 0.0f;
                        lo = std::min(lo, a);
                        hi = std::max(hi, a);
                    }
                img.At(36 * c + x, y) = Color{1, 1, 1, Clamp01(1.3f * (hi - lo))};
            }
    }
    return img;
}

Image MakeTimeDigits()
{
    Image img(256, 256, Color{1, 0.8f, 0.4f, 0});
    const char* glyphs[12] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "+", ":"};
    for (int i = 0; i < 12; ++i) {
        const int x0 = 64 * (i % 4), y0 = 64 * (i / 4);
        const Image mask = TextMask(art::SansBold(), 46, glyphs[i], 4);
        art::GlowBehind(img, mask, x0 + (64 - mask.Width()) / 2, y0 + (64 - mask.Height()) / 2, 6,
                        Rgb(255, 170, 40), 0.6f);
        const int ox = x0 + (64 - mask.Width()) / 2, oy = y0 + (64 - mask.Height()) / 2;
        for (int y = 0; y < mask.Height(); ++y)
            for (int x = 0; x < mask.Width(); ++x)
                img.Blend(ox + x, oy + y, Mix(Rgb(255, 250, 200), Rgb(255, 176, 50), y / 60.0f), mask.At(x, y).a);
    }
    return img;
}

Image MakeVioletGlowRays()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 188; ++x) {
            const float u = (x + 0.5f) / 188, v = (y + 0.5f - 64) / 64;
            const float along = std::sin(u * kPi), across = std::exp(-v * v * 18);
            const float k = Clamp01(along * across * 1.2f);
            img.Blend(x, y, Mix(Rgb(220, 140, 255), Rgb(255, 255, 255), across * along), k);
        }
    img.Glow(128, 192, 62, Rgb(200, 110, 255), 0.9f, 1.6f, false);
    img.Glow(128, 192, 26, Rgb(255, 230, 255), 0.9f, 1.3f, false);
    return img;
}

void Sparkle(Image& img, float cx, float cy, float r, float turn)
{
    img.Glow(cx, cy, r * 0.45f, Rgb(255, 255, 255), 1.0f, 1.3f, false);
    for (int i = 0; i < 4; ++i) {
        const float a = turn + kPi * i / 2;
        art::Stroke(img, {cx, cy}, {cx + r * std::cos(a), cy + r * std::sin(a)}, 2.2f, Rgb(255, 255, 255), 0.9f);
    }
}

Image MakeUnigem()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 128; ++x) {
            const float across = (x + 0.5f - 64) / 64;
            const float streak = 0.75f + 0.25f * Fbm(x / 6.0f, y / 32.0f, 31, 3, 8);
            const float k = Clamp01(std::exp(-across * across * 9) * streak);
            img.Blend(x, y, Mix(Rgb(170, 255, 190), Rgb(255, 255, 255), std::exp(-across * across * 40)), k);
        }
    img.Glow(192, 64, 62, Rgb(140, 255, 170), 0.9f, 1.6f, false);
    img.Glow(192, 64, 20, Rgb(255, 255, 255), 1.0f, 1.3f, false);
    for (int i = 0; i < 4; ++i)
        Sparkle(img, 128 + 32 + 64 * (i % 2), 128 + 32 + 64 * (i / 2), 26 - 3 * i, 0.4f * i);
    return img;
}

Image MakeSteelCaps()
{
    Image img(128, 64, Color{0, 0, 0, 0});
    DrawHelm(img, {0, 0, 84, 64});
    return img;
}

// Pearl paint: white with a shimmer of pale colours running down it, so
// that it reads over the white stone.
Image MakePaintStream()
{
    Image img(64, 256, Color{1, 1, 1, 0});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 64; ++x) {
            const float across = (x + 0.5f - 32) / 32;
            const float flow = Fbm(x / 8.0f, y / 24.0f, 41, 4, 8);
            const float hue = 2 * kPi * (y / 256.0f + 0.3f * Fbm(x / 16.0f, y / 32.0f, 43, 3, 8));
            const float cover = Clamp01((1 - std::fabs(across)) * 4.0f);
            Color c =
                Rgb(static_cast<int>(200 + 40 * std::sin(hue)), static_cast<int>(200 + 40 * std::sin(hue + 2.1f)),
                    static_cast<int>(215 + 40 * std::sin(hue + 4.2f)));
            c = Mix(c, Rgb(255, 255, 255), 0.35f * flow);
            c = Mix(c, Rgb(150, 150, 190), 0.5f * Smooth(0.5f, 1.0f, std::fabs(across)));
            c = Mix(c, Rgb(255, 255, 255), 0.7f * std::exp(-(across + 0.35f) * (across + 0.35f) * 60));
            c.a = cover;
            img.At(x, y) = c;
        }
    return img;
}

Image MakePaintDrop()
{
    Image img(128, 128, Color{1, 1, 1, 0});
    // A drop pointing right: its round head at the right, its tail left.
    std::vector<Pt> drop;
    for (int i = 0; i <= 24; ++i) {
        const float a = -kPi / 2 + kPi * i / 24;
        drop.push_back({40 + 14 * std::cos(a), 32 + 14 * std::sin(a)});
    }
    drop.push_back({6, 32});
    art::FillPoly(img, drop, Rgb(255, 255, 255));
    // The highlight rides on the drop's head.
    for (int y = 0; y < 64; ++y)
        for (int x = 64; x < 128; ++x) {
            const float k = Clamp01(1 - std::hypot(x + 0.5f - 108, y + 0.5f - 26) / 10);
            img.Blend(x, y, Rgb(255, 255, 255), k * k);
        }
    // The splash drop, round, and its shine up on its left.
    art::Disc(img, 32, 96, 20, Rgb(255, 255, 255));
    for (int y = 64; y < 128; ++y)
        for (int x = 64; x < 128; ++x) {
            const float k = Clamp01(1 - std::hypot(x + 0.5f - 89, y + 0.5f - 89) / 9);
            img.Blend(x, y, Rgb(255, 255, 255), k * k);
        }
    return img;
}

// The shop's item pictures: the totem with its wings, in colour, as a
// silhouette, and as an engraving.
enum class ItemLook { kColour, kMul, kEngraving };

Image MakeShopItems(ItemLook look)
{
    Image img(512, 512, look == ItemLook::kMul ? Color{0, 0, 0, 1} : Color{1, 1, 1, 0});
    for (int c = 0; c < kColours; ++c) {
        const int x0 = 8 + 128 * (c % 4), y0 = 8 + 128 * (c / 4);
        Image shape(104, 104, Color{0, 0, 0, 0});
        DrawTotem(shape, c, 2, 52, 52 - 12 * 200 / 224.0f, 200, Light{1.05f, 0.2f});
        for (int y = 0; y < 104; ++y)
            for (int x = 0; x < 104; ++x) {
                const Color& s = shape.At(x, y);
                Color& d = img.At(x0 + x, y0 + y);
                if (look == ItemLook::kColour) {
                    d = s;
                    continue;
                }
                if (look == ItemLook::kMul) {
                    const float v = 0.85f * Blurred(shape, x, y, 1);
                    d = Color{v, v, v, 1};
                    continue;
                }
                float lo = 1, hi = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int sx = x + dx, sy = y + dy;
                        const float a = sx >= 0 && sy >= 0 && sx < 104 && sy < 104 ? shape.At(sx, sy).a : 0.0f;
                        lo = std::min(lo, a);
                        hi = std::max(hi, a);
                    }
                const float lum = (s.r + s.g + s.b) / 3;
                d = Color{1, 1, 1, Clamp01(1.4f * (hi - lo) + 0.22f * s.a * (1 - lum))};
            }
    }
    if (look == ItemLook::kColour) {
        const Image mask = TextMask(art::SerifBold(), 48, "?", 2);
        const int ox = 452 + (36 - mask.Width()) / 2, oy = 184 + (56 - mask.Height()) / 2;
        for (int y = 0; y < mask.Height(); ++y)
            for (int x = 0; x < mask.Width(); ++x)
                img.Blend(ox + x, oy + y, Mix(Rgb(255, 246, 210), Rgb(236, 190, 90), y / 56.0f), mask.At(x, y).a);
    }
    return img;
}

bool WriteTotemsSet(Output& out)
{
    bool ok = true;
    for (int c = 0; c < kColours; ++c) {
        ok = ok && out.Save(std::string(kNames[c]) + "Totem.png", MakeColourAtlas(c, false));
        ok = ok && out.Save(std::string(kNames[c]) + "TotemShop.png", MakeColourAtlas(c, true));
    }
    return ok && out.Save("SmallTotem1.png", MakeSmallTotems()) && out.Save("TotemLights.png", MakeLights()) &&
           out.Save("TotemShadows.jpg", MakeShadows()) && out.Save("TotemBase.tga", MakeBase()) &&
           out.Save("TotemDark2.tga", MakeDark()) && out.Save("TotemContour.png", MakeContours()) &&
           out.Save("TimeDigits.png", MakeTimeDigits()) && out.Save("VioletGlowRays.tga", MakeVioletGlowRays()) &&
           out.Save("Unigem.tga", MakeUnigem()) && out.Save("SteelCapsT.png", MakeSteelCaps()) &&
           out.Save("PaintStream.png", MakePaintStream()) && out.Save("PaintDrop.png", MakePaintDrop()) &&
           out.Save("ShopColor.png", MakeShopItems(ItemLook::kColour)) &&
           out.Save("ShopMul.png", MakeShopItems(ItemLook::kMul)) &&
           out.Save("ShopBW.png", MakeShopItems(ItemLook::kEngraving));
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "totems", WriteTotemsSet); }
