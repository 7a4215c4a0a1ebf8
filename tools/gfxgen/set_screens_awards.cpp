// Pictures of the trophies screen and the shop screen.
//
// Trophies.png, 1024 x 1024:
//   trophy icons     112 x 112 each: kind k (0-8) in row y 4 + 112 k, level
//                    l (1-3) in column x 4 + 112 (l - 1); bronze, silver,
//                    gold by level (kind 0: silver, gold; kind 7: gold)
//   locked icon      x 340-451, y 4-115
//   description box  x 452-1019, y 4-243
// ShopFrame.png, 1024 x 1024:
//   item card        x 0-231,   y 0-135 (picture well x 8-111, y 16-119)
//   card veil        x 0-231,   y 140-275 (over an item not yet offered)
//   star bar, 4 slots x 0-175,  y 280-327; 3 slots x 0-131, y 332-379
//   "+" button       normal x 240-283, over x 288-331, pressed x 336-379,
//                    disabled x 384-427; y 0-43
//   "-" button       the same columns, y 48-91
//   stars panel      x 0-287,   y 384-447
//   tip box          x 0-511,   y 452-515 (drawn at twice its width)
//   rays             x 520-775, y 0-255 (for additive drawing)
//   clock hand       x 800-895, y 760-775; its shadow y 780-795 (hub at the
//                    middle, pointing left)
//   clock dial       x 606-781, y 760-935
#include <cmath>

#include "output.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::art;

namespace {

const float kPi = 3.14159265f;

struct Metal {
    Color light, mid, dark;
};
const Metal kBronze{Rgb(250, 200, 150), Rgb(196, 122, 64), Rgb(110, 60, 28)};
const Metal kSilver{Rgb(250, 252, 255), Rgb(184, 192, 206), Rgb(96, 104, 122)};
const Metal kGoldMetal{Rgb(255, 244, 190), Rgb(250, 196, 70), Rgb(150, 92, 22)};
const Metal kStone{Rgb(170, 166, 176), Rgb(112, 108, 120), Rgb(58, 54, 66)};

void Medallion(Image& img, float cx, float cy, float r, const Metal& m)
{
    img.Glow(cx, cy + 4, r + 6, Rgb(0, 0, 0, 0.6f), 0.7f, 1.5f, false);
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
            const float cover = Clamp01(r - d + 0.5f);
            if (cover <= 0)
                continue;
            const float light = Clamp01(0.5f - (dx + dy) / (2.8f * r));
            Color c = d > r * 0.78f ? Mix(m.dark, m.light, light) : Mix(m.light, m.dark, light * 0.9f + 0.05f);
            if (d > r * 0.74f && d < r * 0.8f)
                c = m.dark;
            // Enamel in the middle: deep indigo.
            if (d < r * 0.72f)
                c = Mix(Rgb(36, 28, 90), Rgb(14, 10, 40), Clamp01(0.5f + dy / (2 * r)));
            img.Blend(x, y, c, cover);
        }
}

// The emblem of each trophy kind, in the medal's metal.
void Emblem(Image& img, int kind, float cx, float cy, float s, const Metal& m)
{
    const Color c = m.mid;
    switch (kind) {
    case 0: // the quest: the Galvorine
        FillPoly(img, StarPoly(cx, cy, s, s * 0.75f, 8, kPi / 8), c);
        Disc(img, cx, cy, s * 0.6f, kTurquoise);
        Glint(img, cx - s * 0.2f, cy - s * 0.25f, s * 0.6f, kWhite, 0.9f, false);
        break;
    case 1: // Golden Stars
        FillPoly(img, StarPoly(cx, cy, s, s * 0.42f, 5, 0), c);
        FillPoly(img, StarPoly(cx, cy - s * 0.05f, s * 0.55f, s * 0.22f, 5, 0), m.light);
        break;
    case 2: // a cascade: falling chevrons
        for (int i = 0; i < 3; ++i) {
            const float y = cy - s * 0.6f + i * s * 0.55f;
            FillPoly(img,
                     {{cx - s * 0.8f, y},
                      {cx, y + s * 0.45f},
                      {cx + s * 0.8f, y},
                      {cx + s * 0.8f, y + s * 0.25f},
                      {cx, y + s * 0.7f},
                      {cx - s * 0.8f, y + s * 0.25f}},
                     c);
        }
        break;
    case 3: // score: a stack of coins
        for (int i = 0; i < 4; ++i)
            img.RoundRect(cx - s * 0.6f, cy + s * 0.5f - i * s * 0.32f, cx + s * 0.6f,
                          cy + s * 0.78f - i * s * 0.32f, s * 0.12f, i % 2 ? m.light : c);
        break;
    case 4: // a place on the hiscore table: a laurel around the first rank
        for (int side = -1; side <= 1; side += 2)
            for (int i = 0; i < 5; ++i) {
                const float a = kPi * (0.65f + i * 0.13f);
                Disc(img, cx + side * s * 0.75f * std::sin(a), cy - s * 0.75f * std::cos(a), s * 0.16f, c);
            }
        DrawLine(img, SerifBold(), static_cast<int>(s * 1.1f), "1", cx, cy - s * 0.7f, m.light, Align::Center);
        break;
    case 5: // stars earned without asking for a hint: a star over a closed eye
        FillPoly(img, StarPoly(cx, cy - s * 0.3f, s * 0.62f, s * 0.26f, 5, 0), c);
        for (int i = 0; i < 12; ++i) {
            const float t0 = i / 12.0f, t1 = (i + 1) / 12.0f;
            Stroke(img, {cx - s * 0.7f + 1.4f * s * t0, cy + s * 0.45f + s * 0.25f * std::sin(t0 * kPi)},
                   {cx - s * 0.7f + 1.4f * s * t1, cy + s * 0.45f + s * 0.25f * std::sin(t1 * kPi)}, s * 0.12f,
                   m.light);
        }
        break;
    case 6: // the sand: an hourglass
        FillPoly(img,
                 {{cx - s * 0.6f, cy - s * 0.85f},
                  {cx + s * 0.6f, cy - s * 0.85f},
                  {cx + s * 0.1f, cy},
                  {cx + s * 0.6f, cy + s * 0.85f},
                  {cx - s * 0.6f, cy + s * 0.85f},
                  {cx - s * 0.1f, cy}},
                 c);
        FillPoly(img, {{cx - s * 0.4f, cy + s * 0.75f}, {cx + s * 0.4f, cy + s * 0.75f}, {cx, cy + s * 0.3f}},
                 kAmber);
        break;
    case 7: // the eight bonus levels: an eight-pointed star
        FillPoly(img, StarPoly(cx, cy, s, s * 0.45f, 8, 0), c);
        Disc(img, cx, cy, s * 0.3f, m.light);
        break;
    default: // the last seconds: a clock near twelve
        Ring(img, cx, cy, s * 0.72f, s * 0.9f, c);
        Stroke(img, {cx, cy}, {cx - s * 0.12f, cy - s * 0.6f}, s * 0.14f, m.light);
        Stroke(img, {cx, cy}, {cx + s * 0.4f, cy}, s * 0.14f, m.light);
        break;
    }
}

Image MakeTrophies()
{
    Image img(1024, 1024, Color{0, 0, 0, 0});
    const int levels[9] = {2, 3, 3, 3, 3, 3, 3, 1, 3};
    for (int k = 0; k < 9; ++k)
        for (int l = 1; l <= levels[k]; ++l) {
            const int best = 4 - (levels[k] - l) - 1; // the kind's top level is always gold
            const Metal& m = best >= 3 ? kGoldMetal : (best == 2 ? kSilver : kBronze);
            const float cx = 4 + 112 * (l - 1) + 56.0f, cy = 4 + 112 * k + 56.0f;
            if (best >= 3)
                img.Glow(cx, cy, 56, kGoldLight, 0.35f, 1.5f, false);
            Medallion(img, cx, cy, 48, m);
            Emblem(img, k, cx, cy, 24, m);
        }
    // Locked: a plain stone medal with a padlock.
    Medallion(img, 396, 60, 48, kStone);
    img.RoundRect(378, 58, 414, 86, 4, kStone.light);
    Ring(img, 396, 56, 10, 15, kStone.light);
    Disc(img, 396, 70, 4, Rgb(30, 24, 40));

    // Description box.
    for (int y = 4; y < 244; ++y)
        for (int x = 452; x < 1020; ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, 452, 4, 1020, 244, 20);
            const float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                continue;
            Color c = d > -4 ? Mix(kGoldLight, kGoldDark, (y - 4) / 240.0f)
                             : Mix(Rgb(36, 28, 90, 0.94f), Rgb(16, 12, 44, 0.94f), (y - 4) / 240.0f);
            img.Blend(x, y, c, cover);
        }
    return img;
}

void Button(Image& img, float x0, float y0, bool plus, int look)
{
    const Color faces[4] = {Rgb(40, 120, 60), Rgb(60, 170, 90), Rgb(24, 80, 40), Rgb(80, 80, 90)};
    const Color minusFaces[4] = {Rgb(140, 50, 40), Rgb(190, 70, 56), Rgb(96, 30, 24), Rgb(80, 80, 90)};
    Disc(img, x0 + 22, y0 + 22 + (look == 2 ? 1 : 0), 20, plus ? faces[look] : minusFaces[look]);
    Ring(img, x0 + 22, y0 + 22, 18, 21, look == 3 ? kStone.mid : kGold);
    const Color sign = look == 3 ? kStone.light : kWarmWhite;
    Stroke(img, {x0 + 12, y0 + 22}, {x0 + 32, y0 + 22}, 5, sign);
    if (plus)
        Stroke(img, {x0 + 22, y0 + 12}, {x0 + 22, y0 + 32}, 5, sign);
}

Image MakeShopFrame()
{
    Image img(1024, 1024, Color{0, 0, 0, 0});

    // Item card with the well for the item's picture.
    Plate(img, 2, 2, 229, 131, 16, Rgb(30, 22, 70), 4);
    for (int y = 16; y < 120; ++y)
        for (int x = 8; x < 112; ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, 8, 16, 112, 120, 12);
            img.Blend(x, y, Rgb(6, 4, 18), 0.6f * Clamp01(0.5f - d));
        }
    // Veil over a card not yet offered: dark glass and a lock.
    img.RoundRect(2, 142, 229, 271, 16, Rgb(8, 6, 20, 0.7f));
    img.RoundRect(44, 198, 76, 226, 4, kStone.light);
    Ring(img, 60, 196, 9, 13, kStone.light);

    // Star bars: a slot for each level.
    for (int bar = 0; bar < 2; ++bar) {
        const int slots = bar == 0 ? 4 : 3;
        const float y0 = bar == 0 ? 280.0f : 332.0f, w = slots * 44.0f;
        Plate(img, 0, y0 + 1, w - 1, y0 + 46, 20, Rgb(14, 10, 34), 3);
        for (int s = 0; s < slots; ++s)
            Ring(img, 22 + s * 44.0f, y0 + 23, 14, 17, kGoldDark);
    }
    for (int look = 0; look < 4; ++look) {
        Button(img, 240 + look * 48.0f, 0, true, look);
        Button(img, 240 + look * 48.0f, 48, false, look);
    }
    Plate(img, 1, 385, 286, 445, 20, Rgb(20, 14, 50), 4);
    Plate(img, 1, 453, 510, 513, 20, Rgb(20, 14, 50), 3);

    // Rays for the sandbox preview; the shop turns them.
    for (int y = 0; y < 256; ++y)
        for (int x = 520; x < 776; ++x) {
            const float dx = x + 0.5f - 648, dy = y + 0.5f - 128, d = std::hypot(dx, dy) / 128;
            if (d >= 1)
                continue;
            const float a = std::atan2(dy, dx);
            const float ray = std::pow(0.5f + 0.5f * std::cos(a * 12), 6.0f);
            const float k = (1 - d) * (0.25f + 0.75f * ray);
            img.Blend(x, y, Mix(kGold, kGoldLight, 1 - d), k);
        }

    // Clock dial for the level-time item, with its two hands.
    for (int y = 760; y < 936; ++y)
        for (int x = 606; x < 782; ++x) {
            const float dx = x + 0.5f - 694, dy = y + 0.5f - 848, d = std::hypot(dx, dy);
            const float cover = Clamp01(87.5f - d);
            if (cover <= 0)
                continue;
            Color c = Mix(Rgb(255, 250, 236), Rgb(226, 210, 176), Smooth(20, 88, d));
            if (d > 80)
                c = Mix(kGoldLight, kGoldDark, (y - 760) / 176.0f);
            img.Blend(x, y, c, cover);
        }
    for (int i = 0; i < 12; ++i) {
        const float a = 2 * kPi * i / 12;
        Stroke(img, {694 + 64 * std::sin(a), 848 - 64 * std::cos(a)},
               {694 + 76 * std::sin(a), 848 - 76 * std::cos(a)}, i % 3 == 0 ? 4.0f : 2.0f, kInk);
    }
    // The hands point left at rest, the hub in the middle of the piece: the
    // dial turns them to twelve o'clock for an empty wipe.
    for (int h = 0; h < 2; ++h) {
        const float cy = 768 + h * 20.0f;
        const Color c = h == 0 ? kInk : Rgb(0, 0, 0, 0.4f);
        FillPoly(img, {{802, cy}, {840, cy - 3}, {848, cy - 2}, {848, cy + 2}, {840, cy + 3}}, c);
        Disc(img, 848, cy, 5, h == 0 ? kGoldDark : c);
    }
    return img;
}

bool WriteAwardsSet(Output& out)
{
    return out.Save("Trophies.png", MakeTrophies()) && out.Save("ShopFrame.png", MakeShopFrame());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "screens_awards", WriteAwardsSet); }
