// The menu screens' small pictures: the title lettering, the quest HUD panel
// with its pieces, the gauge dial, the tutorial pieces, the map icons and
// the plain white texture. The form files quote the texel rectangles given
// in the comments above each picture.
#include <cmath>

#include "output.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::art;

namespace {

const float kPi = 3.14159265f;

// Title.png, 1024 x 256: the game's name in two gilded lines on a
// transparent ground, glowing softly so that it reads over any scene.
Image MakeTitle()
{
    Image img(1024, 256, Color{1, 0.8f, 0.5f, 0});
    struct Line {
        const char* text;
        int size;
        int top;
    };
    const Line lines[] = {{"The Galvorine", 112, 10}, {"of Pellisand", 66, 150}};
    for (const Line& ln : lines) {
        const int pad = 24;
        const Image mask = TextMask(SerifBold(), ln.size, ln.text, pad);
        const int ox = (1024 - mask.Width()) / 2;
        GlowBehind(img, mask, ox, ln.top - pad, 14, Rgb(255, 150, 60), 0.55f);
        GildText(img, mask, ox, ln.top - pad, pad);
    }
    Glint(img, 238, 52, 24, kWhite, 1.0f, false);
    Glint(img, 700, 176, 18, kWhite, 1.0f, false);
    return img;
}

// Shared look of the HUD: an indigo lacquer with a faint marbling.
Color Lacquer(int x, int y, float shade)
{
    const float marble = Fbm(x / 70.0f, y / 140.0f, 77, 5);
    const float vein = std::fabs(std::sin(x * 0.02f + y * 0.006f + 7 * marble));
    Color c = Mix(Rgb(30, 22, 72), Rgb(14, 10, 38), shade);
    c = Mix(c, Rgb(64, 42, 110), 0.35f * Smooth(0.4f, 0.8f, marble));
    c = Mix(c, Rgb(92, 70, 150), 0.18f * Smooth(0.92f, 1.0f, 1 - vein));
    c.a = 1;
    return c;
}

// The Galvorine itself: a faceted turquoise gem with a golden setting.
void Galvorine(Image& img, float cx, float cy, float r)
{
    img.Glow(cx, cy, r * 2.6f, kTurquoise, 0.45f, 2.0f, true);
    FillPoly(img, StarPoly(cx, cy, r * 1.45f, r * 1.1f, 8, kPi / 8), kGoldDark);
    FillPoly(img, StarPoly(cx, cy, r * 1.32f, r * 1.02f, 8, kPi / 8), kGold);
    std::vector<Pt> gem;
    for (int i = 0; i < 8; ++i) {
        const float a = kPi / 8 + kPi * i / 4;
        gem.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    FillPoly(img, gem, Rgb(20, 120, 140));
    for (int i = 0; i < 8; ++i) {
        const Pt a = gem[static_cast<size_t>(i)], b = gem[static_cast<size_t>((i + 1) % 8)];
        const float light = 0.5f + 0.5f * std::cos(kPi * i / 4 + 0.8f);
        FillPoly(img, {{cx, cy}, a, b}, Mix(Rgb(24, 150, 170), Rgb(150, 250, 245), light), 0.9f);
    }
    FillPoly(img, StarPoly(cx, cy, r * 0.45f, r * 0.45f, 4, kPi / 4), Rgb(200, 255, 250), 0.8f);
    Glint(img, cx - r * 0.3f, cy - r * 0.35f, r * 0.9f, kWhite, 0.9f, true);
}

// A recess in the panel: a dark inset with a thin gold lip.
void Well(Image& img, float x0, float y0, float x1, float y1, float radius)
{
    for (int y = static_cast<int>(y0) - 2; y < static_cast<int>(y1) + 3; ++y)
        for (int x = static_cast<int>(x0) - 2; x < static_cast<int>(x1) + 3; ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            if (d > 1.5f)
                continue;
            if (d > -1.5f) {
                img.Blend(x, y, kGoldDark, Clamp01(1.5f - std::fabs(d)) * 0.9f);
                continue;
            }
            const float inset = Clamp01(-d / 14.0f);
            img.Blend(x, y, Rgb(4, 2, 14), 0.55f - 0.25f * inset);
        }
}

// PanelQuest.png, 512 x 1024: the HUD beside the board and its pieces.
//   panel body           x 0-351,   y 0-767 (drawn at 1:1 on the screen's left)
//   HUD button plate     normal x 356-499, y 4-55; over y 60-111; pressed y 116-167
//   life icon            x 360-399, y 176-215
//   life-at-stake mark   x 404-451, y 172-219
//   warning lamp         off x 360-399, y 228-267; on x 404-443, y 228-267
//   gauge hand           x 360-383, y 280-407 (pivot 24 texels above its foot)
//   gauge hand shadow    x 392-415, y 280-407
//   hint counter ring    x 424-487, y 280-343
//   gauge rim            x 4-243,   y 772-1011 (the dial shows through its middle)
//   gauge flash          x 252-379, y 772-899 (for additive drawing)
// The body leaves the gauge's socket centred at (176, 300), the score plate
// at x 24-327, y 96-155 and the lives plate at x 24-327, y 444-555.
Image MakePanelQuest()
{
    Image img(512, 1024, Color{0, 0, 0, 0});

    // Body.
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 352; ++x) {
            const float edge = std::min(std::min(x, 351 - x), std::min(y, 767 - y)) / 40.0f;
            img.At(x, y) = Lacquer(x, y, 0.25f + 0.5f * (1 - Clamp01(edge)));
        }
    // Gold border with a turquoise inlay, and corner studs.
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 352; ++x) {
            const float d = -Image::RoundRectDist(x + 0.5f, y + 0.5f, 6, 6, 346, 762, 18);
            if (d > -1.5f && d < 6)
                img.Blend(x, y, Mix(kGoldLight, kGoldDark, Clamp01(d / 6 + y / 1536.0f)),
                          Clamp01(d + 1.5f) * 0.95f);
            if (std::fabs(d - 11) < 1.2f)
                img.Blend(x, y, kTurquoise, 0.75f * Clamp01(1.2f - std::fabs(d - 11)));
        }
    for (Pt p : {Pt{22, 22}, Pt{330, 22}, Pt{22, 746}, Pt{330, 746}})
        Disc(img, p.x, p.y, 7, kGold);

    // Crest at the top: the Galvorine between two gold rays.
    for (int i = 0; i < 9; ++i) {
        const float a = -kPi / 2 + (i - 4) * 0.2f;
        Stroke(img, {176, 52}, {176 + 150 * std::cos(a), 52 + 40 * std::sin(a) + 34}, 2.0f, kGoldDark, 0.5f);
    }
    Stroke(img, {40, 54}, {312, 54}, 3, kGoldDark, 0.9f);
    Stroke(img, {40, 53}, {312, 53}, 1.2f, kGoldLight, 0.8f);
    Galvorine(img, 176, 50, 22);

    // Score plate and lives plate.
    Plate(img, 24, 96, 328, 156, 14, Rgb(14, 10, 36), 4);
    Plate(img, 24, 444, 328, 556, 16, Rgb(18, 14, 44), 4);
    Well(img, 40, 488, 312, 540, 10);

    // Gauge socket: a deep bowl with a ring of studs around it.
    for (int y = 170; y < 432; ++y)
        for (int x = 40; x < 312; ++x) {
            const float d = std::hypot(x + 0.5f - 176, y + 0.5f - 300);
            if (d < 124)
                img.Blend(x, y, Mix(Rgb(2, 1, 10), Rgb(30, 22, 70), Smooth(60, 124, d)), Clamp01(124 - d));
            if (d > 124 && d < 132)
                img.Blend(x, y, kGoldDark, Clamp01(std::min(d - 124, 132 - d)));
        }
    for (int i = 0; i < 24; ++i) {
        const float a = 2 * kPi * i / 24;
        Disc(img, 176 + 128 * std::sin(a), 300 - 128 * std::cos(a), 2.2f, kGold);
    }

    // Button wells.
    Well(img, 20, 576, 172, 636, 14);
    Well(img, 180, 576, 332, 636, 14);
    Well(img, 100, 672, 252, 740, 14);

    // HUD button plates: normal, over (warmer and lit), pressed (sunk).
    struct Look {
        int y;
        Color face;
        float light;
    };
    const Look looks[] = {
        {4, Rgb(44, 34, 100), 0.0f}, {60, Rgb(70, 52, 130), 0.35f}, {116, Rgb(24, 18, 60), -0.2f}};
    for (const Look& l : looks) {
        Plate(img, 358, static_cast<float>(l.y) + 1, 498, static_cast<float>(l.y) + 47, 14, l.face, 3);
        if (l.light > 0)
            img.Glow(428, l.y + 24.0f, 60, kGold, l.light, 2.0f, true);
    }

    // Life icon: a small Galvorine; the mark is a red ring of warning.
    Galvorine(img, 380, 196, 11);
    Ring(img, 428, 196, 17, 22, Rgb(255, 70, 50));
    img.Glow(428, 196, 24, Rgb(255, 90, 60), 0.6f, 1.5f, false);
    Ring(img, 428, 196, 18, 20, Rgb(255, 220, 180), 0.8f);

    // Warning lamp, dark and lit.
    Disc(img, 380, 248, 15, Rgb(90, 30, 26));
    Ring(img, 380, 248, 15, 18, kGoldDark);
    img.Glow(424, 248, 20, Rgb(255, 120, 60), 0.9f, 1.2f, false);
    Disc(img, 424, 248, 15, Rgb(255, 96, 48));
    img.Glow(420, 243, 7, kWhite, 0.9f, 1.5f, false);
    Ring(img, 424, 248, 15, 18, kGold);

    // Gauge hands: a tapering needle, the hub 24 texels above the foot.
    for (int shadow = 0; shadow < 2; ++shadow) {
        const float x0 = shadow ? 392.0f : 360.0f, cx = x0 + 12;
        const float hubY = 280 + 104.0f;
        const Color body = shadow ? Rgb(0, 0, 0, 0.45f) : kGold;
        FillPoly(img,
                 {{cx, 284}, {cx + 5, hubY - 8}, {cx + 3, hubY + 18}, {cx - 3, hubY + 18}, {cx - 5, hubY - 8}},
                 body);
        if (!shadow)
            FillPoly(img, {{cx, 286}, {cx + 1.5f, hubY - 8}, {cx - 1.5f, hubY - 8}}, kGoldLight);
        Disc(img, cx, hubY, 9, shadow ? body : kGoldDark);
        if (!shadow) {
            Disc(img, cx, hubY, 6, kGold);
            Disc(img, cx, hubY, 2.5f, kTurquoise);
        }
    }

    // Hint counter ring: a turquoise dial with gold ticks; it turns.
    Ring(img, 456, 312, 24, 30, kTeal);
    Ring(img, 456, 312, 25, 29, kTurquoise, 0.8f);
    for (int i = 0; i < 12; ++i) {
        const float a = 2 * kPi * i / 12;
        Stroke(img, {456 + 22 * std::sin(a), 312 - 22 * std::cos(a)},
               {456 + 31 * std::sin(a), 312 - 31 * std::cos(a)}, i % 3 == 0 ? 3.0f : 1.5f, kGold);
    }

    // Gauge rim: a gold ring with twelve jewels; the middle stays clear.
    for (int y = 772; y < 1012; ++y)
        for (int x = 4; x < 244; ++x) {
            const float d = std::hypot(x + 0.5f - 124, y + 0.5f - 892);
            const float cover = Clamp01(std::min(d - 100, 118 - d) + 0.5f);
            if (cover <= 0)
                continue;
            const float t = (d - 100) / 18, a = std::atan2(y + 0.5f - 892, x + 0.5f - 124);
            Color c = Mix(kGoldDark, kGoldLight, 0.5f + 0.5f * std::sin(t * kPi) * (0.6f - 0.4f * std::sin(a)));
            c = Mix(c, kGold, 0.3f);
            img.Blend(x, y, c, cover);
        }
    for (int i = 0; i < 12; ++i) {
        const float a = 2 * kPi * i / 12;
        const float jx = 124 + 109 * std::sin(a), jy = 892 - 109 * std::cos(a);
        Disc(img, jx, jy, i % 3 == 0 ? 5.5f : 3.5f, i % 3 == 0 ? kTurquoise : kWarmWhite);
    }

    // Flash: a white-gold bloom for additive drawing.
    img.Glow(316, 836, 63, kGoldLight, 1.0f, 1.6f, true);
    img.Glow(316, 836, 30, kWhite, 0.8f, 1.2f, true);
    return img;
}

// Gauge.png, 256 x 256: the dial of the time gauge, pale so that the gauge
// colour tints it; the whole picture is the dial.
Image MakeGauge()
{
    Image img(256, 256, Color{1, 1, 1, 0});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float dx = x + 0.5f - 128, dy = y + 0.5f - 128;
            const float d = std::hypot(dx, dy);
            const float cover = Clamp01(127.5f - d);
            if (cover <= 0)
                continue;
            Color c = Mix(Rgb(255, 255, 255), Rgb(196, 200, 210), Smooth(30, 128, d));
            c = Mix(c, Rgb(232, 236, 240), 0.3f * Fbm(x / 20.0f, y / 20.0f, 5, 3));
            // Sunburst grooves.
            const float a = std::atan2(dy, dx);
            c = Mix(c, Rgb(170, 176, 190), 0.12f * (0.5f + 0.5f * std::sin(a * 48)) * Smooth(40, 110, d));
            img.Blend(x, y, c, cover);
        }
    for (int i = 0; i < 60; ++i) {
        const float a = 2 * kPi * i / 60;
        const float r0 = i % 5 == 0 ? 96.0f : 108.0f;
        Stroke(img, {128 + r0 * std::sin(a), 128 - r0 * std::cos(a)},
               {128 + 120 * std::sin(a), 128 - 120 * std::cos(a)}, i % 5 == 0 ? 4.0f : 1.6f, Rgb(110, 116, 134));
    }
    // A faint hourglass in the middle.
    FillPoly(img, {{104, 76}, {152, 76}, {132, 128}, {152, 180}, {104, 180}, {124, 128}}, Rgb(160, 166, 184),
             0.55f);
    return img;
}

// Tutorial.png, 256 x 256:
//   pointing hand   x 0-95,    y 96-175 (pointing left, fingertip at 4, 49:
//                   it lies beside what it points at, never over it)
//   item ring       x 80-175,  y 0-95 (centre 48, 48 of the piece)
//   tab, target above  x 176-239, y 0-47 (points up)
//   tab, target below  x 176-239, y 52-99 (points down)
//   panel           x 0-255,   y 176-255 (drawn at twice its size)
Image MakeTutorial()
{
    Image img(256, 256, Color{0, 0, 0, 0});

    // Hand: palm, folded fingers, the index finger pointing up, the thumb;
    // drawn upright and turned a quarter to point left.
    Image hand(80, 96, Color{0, 0, 0, 0});
    const Color glove = Rgb(255, 248, 232), line = Rgb(60, 30, 20);
    auto part = [&](float x0, float y0, float x1, float y1, float r) {
        hand.RoundRect(x0 - 2, y0 - 2, x1 + 2, y1 + 2, r + 2, line);
    };
    part(22, 2, 38, 60, 8);   // index finger
    part(20, 44, 72, 92, 16); // palm
    part(38, 40, 52, 62, 7);
    part(50, 42, 64, 64, 7);
    part(60, 46, 74, 66, 7);
    part(8, 56, 28, 74, 8); // thumb
    hand.RoundRect(22, 2, 38, 60, 8, glove);
    hand.RoundRect(20, 44, 72, 92, 16, glove);
    hand.RoundRect(38, 40, 52, 62, 7, glove);
    hand.RoundRect(50, 42, 64, 64, 7, glove);
    hand.RoundRect(60, 46, 74, 66, 7, glove);
    hand.RoundRect(8, 56, 28, 74, 8, glove);
    Stroke(hand, {52, 50}, {52, 60}, 1.5f, line, 0.6f);
    Stroke(hand, {63, 52}, {63, 62}, 1.5f, line, 0.6f);
    hand.RoundRect(24, 80, 70, 92, 6, kGold);
    hand.Glow(30, 6, 10, kGoldLight, 0.7f, 1.5f, false);
    // The upright picture's top becomes the left edge: its texel (x, y)
    // goes to (y, 79 - x) of the piece.
    for (int y = 0; y < hand.Height(); ++y)
        for (int x = 0; x < hand.Width(); ++x)
            img.At(y, 96 + 79 - x) = hand.At(x, y);

    // Ring: gold outside, turquoise light inside.
    img.Glow(128, 48, 46, kTurquoise, 0.35f, 1.2f, false);
    Ring(img, 128, 48, 36, 44, kGoldDark);
    Ring(img, 128, 48, 37, 43, kGold);
    Ring(img, 128, 48, 32, 36, kTurquoise, 0.9f);
    for (int i = 0; i < 4; ++i) {
        const float a = kPi / 4 + kPi * i / 2;
        Glint(img, 128 + 40 * std::sin(a), 48 - 40 * std::cos(a), 9, kWhite, 0.9f, false);
    }

    // Tabs: the panel's tongue, pointing at the target.
    const Color face = Rgb(34, 26, 80);
    FillPoly(img, {{208, 2}, {238, 46}, {178, 46}}, kGold);
    FillPoly(img, {{208, 8}, {232, 46}, {184, 46}}, face);
    FillPoly(img, {{208, 98}, {178, 54}, {238, 54}}, kGold);
    FillPoly(img, {{208, 92}, {184, 54}, {232, 54}}, face);

    // Panel.
    img.RoundRect(1, 177, 255, 255, 16, kGold);
    for (int y = 180; y < 253; ++y)
        for (int x = 4; x < 252; ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, 4, 180, 252, 252, 13);
            const float cover = Clamp01(0.5f - d);
            if (cover > 0)
                img.Blend(x, y, Mix(Rgb(46, 36, 104), face, (y - 180) / 72.0f), cover);
        }
    return img;
}

// MapIcons.png, 256 x 256:
//   level spot       x 0-23,    y 0-23
//   stage seal       x 32-95,   y 0-63
//   stage gem        x 100-147, y 0-47
//   flag             x 0-47,    y 72-143 (the pole's foot at 6, 140)
//   flag shadow      x 52-115,  y 104-135
Image MakeMapIcons()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    const Color red = Rgb(176, 34, 28);

    Disc(img, 12, 12, 8, red);
    Ring(img, 12, 12, 8, 10.5f, kInk, 0.8f);

    Disc(img, 64, 32, 28, Rgb(150, 24, 22));
    FillPoly(img, StarPoly(64, 32, 30, 24, 12, 0), Rgb(130, 20, 18));
    Ring(img, 64, 32, 18, 21, Rgb(200, 60, 50), 0.8f);
    FillPoly(img, StarPoly(64, 32, 13, 5.5f, 5, 0), kGold);

    img.Glow(124, 24, 23, kTurquoise, 0.4f, 1.5f, false);
    Galvorine(img, 124, 24, 12);

    // Flag: a pole and a swallow-tailed pennant.
    Stroke(img, {6, 78}, {6, 140}, 3.5f, kInk);
    FillPoly(img, {{8, 78}, {46, 84}, {36, 94}, {46, 104}, {8, 104}}, Rgb(200, 40, 34));
    FillPoly(img, {{8, 80}, {40, 85}, {8, 90}}, Rgb(240, 90, 70), 0.7f);
    Disc(img, 6, 76, 4, kGold);
    FillPoly(img, {{54, 132}, {70, 106}, {112, 110}, {96, 130}}, Rgb(40, 24, 10, 0.45f));
    return img;
}

bool WriteHudSet(Output& out)
{
    Image white(16, 16, Color{1, 1, 1, 1});
    return out.Save("Title.png", MakeTitle()) && out.Save("PanelQuest.png", MakePanelQuest()) &&
           out.Save("Gauge.png", MakeGauge()) && out.Save("Tutorial.png", MakeTutorial()) &&
           out.Save("MapIcons.png", MakeMapIcons()) && out.Save("White.png", white);
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "screens_hud", WriteHudSet); }
