// The illustrated pages of the menus: the two help pictures (the Help form
// lays its page texts beside them) and the four story panels of the quest's
// introduction.
//   HelpPage1.jpg, 1024 x 1024: a swap that makes a run; the seven token
//     shapes; a gem secured to a token. The tokens themselves are not in the
//     picture: the Help form lays the board's own caps over their cells, so
//     the page always shows what the board shows.
//   HelpPage2.jpg, 1024 x 1024: the bonuses and a Power Totem (rows 0-511),
//     the sand box, the score frenzy and the Golden Star (rows 512-1023).
//   Intro.jpg, 1024 x 1024: four 512 x 512 panels, left to right and top to
//     bottom: the empty pedestal, the chart in the crate, the caravan
//     setting out, the temple at dawn.
#include <cmath>

#include "output.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::art;

namespace {

// A page of the help: night lacquer inside a gold frame.
void HelpBackground(Image& img)
{
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const float v = Fbm(x / 160.0f, y / 160.0f, 401, 4);
            Color c = Mix(kIndigo, kNight, 0.4f + 0.6f * v);
            c = Mix(c, kDusk, 0.25f * Smooth(0.6f, 0.9f, v));
            c.a = 1;
            img.At(x, y) = c;
        }
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const float d = -Image::RoundRectDist(x + 0.5f, y + 0.5f, 0, 0, img.Width(), img.Height(), 0);
            if (d < 14)
                img.Blend(x, y, Mix(kGoldLight, kGoldDark, d / 14), 1 - Smooth(10, 14, d));
        }
}

void Heading(Image& img, const char* text, float x, float y)
{
    DrawLine(img, SerifBold(), 40, text, x + 2, y + 3, Rgb(0, 0, 0, 0.7f), Align::Center);
    DrawLine(img, SerifBold(), 40, text, x, y, kGold, Align::Center);
}

void Caption(Image& img, const char* text, float x, float y, int size = 24)
{
    DrawLine(img, Sans(), size, text, x, y, kWarmWhite, Align::Center);
}

// A board tray of `columns` x `rows` cells, for the form to set caps in.
void Board(Image& img, float x0, float y0, float cell, int columns, int rows)
{
    const float w = cell * columns, h = cell * rows;
    Plate(img, x0 - 10, y0 - 10, x0 + w + 10, y0 + h + 10, 14, Rgb(22, 16, 54), 4);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const float cx = x0 + (c + 0.5f) * cell, cy = y0 + (r + 0.5f) * cell;
            if ((r + c) % 2 == 0)
                img.RoundRect(cx - cell / 2 + 2, cy - cell / 2 + 2, cx + cell / 2 - 2, cy + cell / 2 - 2, 6,
                              Rgb(255, 255, 255, 0.05f));
        }
}

void Arrow(Image& img, Pt a, Pt b, const Color& c, float width)
{
    const float dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const float ux = dx / len, uy = dy / len;
    const Pt base{b.x - ux * width * 2.2f, b.y - uy * width * 2.2f};
    Stroke(img, a, base, width, c);
    FillPoly(img,
             {b,
              {base.x - uy * width * 1.6f, base.y + ux * width * 1.6f},
              {base.x + uy * width * 1.6f, base.y - ux * width * 1.6f}},
             c);
}

Image MakeHelpPage1()
{
    Image img(1024, 1024);
    HelpBackground(img);

    // The swap, before and after, in trays of 4 x 4 cells of 88 texels
    // (the form sets the caps and the swap's arrows in them).
    Heading(img, "Swap two tokens to make a run", 512, 36);
    Board(img, 70, 120, 88, 4, 4);
    Board(img, 602, 120, 88, 4, 4);
    Arrow(img, {450, 296}, {572, 296}, kGold, 12);
    // The run glows and is about to vanish.
    for (int c = 0; c < 3; ++c)
        img.Glow(602 + (c + 0.5f) * 88, 120 + 1.5f * 88, 52, kGoldLight, 0.5f, 1.2f, true);
    img.RoundRect(606, 120 + 88 + 4, 602 + 3 * 88 - 4, 120 + 2 * 88 - 4, 20, Rgb(255, 240, 178, 0.18f));
    Caption(img, "Three or more of one colour in a row vanish.", 512, 500);

    Heading(img, "Every colour has its own shape", 512, 572);
    // Each colour's cap stands over its name, 133 texels apart from 112.
    const char* names[kTokenColours] = {"green", "yellow", "red", "blue", "orange", "white", "violet"};
    for (int c = 0; c < kTokenColours; ++c)
        Caption(img, names[c], 112 + c * 133.0f, 752, 22);

    // A token with a gem stands at (330, 930).
    Heading(img, "Collect the gems", 512, 822);
    Arrow(img, {400, 930}, {520, 930}, kGold, 8);
    // The gems bar filling up.
    Plate(img, 548, 906, 900, 954, 20, Rgb(12, 8, 30), 4);
    for (int y = 914; y < 946; ++y)
        for (int x = 556; x < 790; ++x) {
            const float t = (y - 914) / 32.0f;
            img.Blend(x, y, Mix(kGoldLight, kAmber, t),
                      Clamp01(1 - Image::RoundRectDist(x + 0.5f, y + 0.5f, 556, 914, 790, 946, 14)));
        }
    return img;
}

Image MakeHelpPage2()
{
    Image img(1024, 1024);
    HelpBackground(img);

    Heading(img, "Bonuses", 256, 36);
    const char* bonusNames[] = {"Gem", "TNT", "Flash", "Time", "Adviser", "Score", "Solidarity"};
    for (int k = 0; k < 7; ++k) {
        const float x = k < 4 ? 80 + k * 118.0f : 139 + (k - 4) * 118.0f, y = k < 4 ? 160.0f : 340.0f;
        BonusIcon(img, k, x, y, 48);
        Caption(img, bonusNames[k], x, y + 56, 20);
    }
    Stroke(img, {512, 40}, {512, 470}, 2, kGoldDark, 0.8f);
    Heading(img, "Power Totems", 768, 36);
    Totem(img, 700, 440, 92, 2);
    Totem(img, 880, 440, 70, 4);

    Stroke(img, {60, 512}, {964, 512}, 3, kGoldDark);
    Heading(img, "Sand and Golden Stars", 512, 540);
    // The sand box: glass with sand rising in it.
    Plate(img, 80, 640, 700, 712, 18, Rgb(14, 10, 34), 5);
    for (int y = 652; y < 702; ++y)
        for (int x = 94; x < 560; ++x) {
            const float grain = Noise(x * 0.6f, y * 0.6f, 9);
            img.Blend(x, y, Mix(Rgb(246, 210, 140), Rgb(190, 130, 70), grain * 0.6f + (y - 652) / 100.0f), 1);
        }
    for (int i = 0; i < 40; ++i) {
        const float x = 560 + i * 3.3f, y = 700 - 6 * std::sin(i * 0.4f) - i * 0.2f;
        Disc(img, x, y, 2, Rgb(246, 210, 140));
    }
    img.RoundRect(90, 648, 690, 704, 14, Rgb(180, 230, 255, 0.15f));
    Arrow(img, {720, 676}, {800, 676}, kGold, 10);
    FillPoly(img, StarPoly(880, 676, 70, 30, 5, 0), kGoldDark);
    FillPoly(img, StarPoly(880, 676, 62, 26, 5, 0), kGold);
    img.Glow(880, 676, 100, kGoldLight, 0.35f, 1.5f, true);
    Glint(img, 850, 640, 24, kWhite, 1.0f, true);

    // The shop: a Golden Star going onto an item's bar.
    Plate(img, 200, 820, 824, 940, 20, Rgb(30, 22, 70), 4);
    Totem(img, 290, 930, 34, 3);
    for (int s = 0; s < 4; ++s) {
        const float x = 420 + s * 90.0f;
        Ring(img, x, 880, 24, 28, kGoldDark);
        if (s < 2)
            FillPoly(img, StarPoly(x, 880, 24, 10, 5, 0), kGold);
    }
    Arrow(img, {720, 780}, {605, 862}, kGoldLight, 6);
    FillPoly(img, StarPoly(740, 770, 26, 11, 5, 0), kGold);
    Caption(img, "Spend Golden Stars in the shop between levels.", 512, 962, 22);
    return img;
}

// Intro panels: painted scenes, each filling one quarter of the picture.
void NightSky(Image& img, int x0, int y0, int w, int h, uint32_t seed, const Color& low)
{
    Rng rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Color c = Mix(Rgb(8, 6, 30), kNight, Smooth(0.0f, 0.7f, y / static_cast<float>(h)));
            c = Mix(c, low, Smooth(0.55f, 1.0f, y / static_cast<float>(h)));
            c.a = 1;
            img.At(x0 + x, y0 + y) = c;
        }
    for (int i = 0; i < 90; ++i)
        img.Glow(x0 + rng.Range(0, w), y0 + rng.Range(0, h * 0.6f), rng.Range(1, 3), kWarmWhite,
                 rng.Range(0.3f, 0.9f), 1.5f, true);
}

void PanelPedestal(Image& img, int x0, int y0)
{
    // The museum's hall at night: moonlight through a tall window.
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            Color c = Mix(Rgb(28, 22, 60), Rgb(10, 8, 26), y / 512.0f);
            c = Mix(c, Rgb(40, 30, 70), 0.3f * Fbm(x / 50.0f, y / 50.0f, 501, 3));
            c.a = 1;
            img.At(x0 + x, y0 + y) = c;
        }
    img.RoundRect(x0 + 190, y0 + 40, x0 + 322, y0 + 250, 60, Rgb(60, 70, 140));
    Image sky(512, 512);
    NightSky(sky, 0, 0, 112, 190, 502, Rgb(70, 80, 150));
    for (int y = 0; y < 190; ++y)
        for (int x = 0; x < 112; ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, 0, 0, 112, 190, 54);
            img.Blend(x0 + 200 + x, y0 + 52 + y, sky.At(x, y), Clamp01(0.5f - d));
        }
    img.Glow(x0 + 280, y0 + 100, 18, kWarmWhite, 0.9f, 1.2f, false);
    // Light falling to the floor.
    for (int y = 250; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const float spread = 66 + (y - 250) * 0.55f;
            const float k = Clamp01(1 - std::fabs(x - 256.0f) / spread) * 0.35f * (1 - (y - 250) / 400.0f);
            img.Add(x0 + x, y0 + y, Rgb(140, 150, 230), k);
        }
    for (int c = 0; c < 2; ++c) {
        const float cx = x0 + (c == 0 ? 70.0f : 442.0f);
        img.RoundRect(cx - 26, y0 + 20, cx + 26, y0 + 470, 4, Rgb(70, 60, 100));
        img.RoundRect(cx - 36, y0 + 460, cx + 36, y0 + 490, 4, Rgb(80, 70, 110));
    }
    img.RoundRect(x0 + 216, y0 + 360, x0 + 296, y0 + 470, 4, Rgb(120, 110, 150));
    img.RoundRect(x0 + 204, y0 + 348, x0 + 308, y0 + 366, 4, Rgb(150, 140, 180));
    img.RoundRect(x0 + 200, y0 + 466, x0 + 312, y0 + 486, 4, Rgb(100, 90, 130));
    // Where the gem stood: only a ring of dust in the moonlight.
    Ring(img, x0 + 256, y0 + 340, 18, 22, Rgb(200, 200, 240), 0.4f);
}

void PanelChart(Image& img, int x0, int y0)
{
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            Color c = Mix(Rgb(60, 36, 24), Rgb(28, 16, 12), y / 512.0f);
            c = Mix(c, Rgb(90, 56, 30), 0.3f * Noise(x / 4.0f, y / 60.0f, 511));
            c.a = 1;
            img.At(x0 + x, y0 + y) = c;
        }
    img.Glow(x0 + 420, y0 + 90, 260, kAmber, 0.45f, 1.5f, true);
    // The chart unrolled on the crate.
    Parchment(img, x0 + 70, y0 + 160, x0 + 442, y0 + 420, 512, 0.8f);
    for (int i = 0; i < 12; ++i)
        Stroke(img, {x0 + 100.0f + i * 26, y0 + 380.0f - 14 * std::sin(i * 0.8f) - i * 12},
               {x0 + 112.0f + i * 26, y0 + 372.0f - 14 * std::sin(i * 0.8f + 0.4f) - i * 12}, 3, Rgb(150, 30, 24));
    FillPoly(img, StarPoly(x0 + 380, y0 + 210, 22, 16, 8, 0), kGold);
    Disc(img, x0 + 380, y0 + 210, 12, kTurquoise);
    // The lamp.
    img.Glow(x0 + 420, y0 + 90, 60, kGoldLight, 0.9f, 1.3f, true);
    img.RoundRect(x0 + 404, y0 + 80, x0 + 436, y0 + 130, 10, Rgb(255, 220, 140, 0.8f));
    img.RoundRect(x0 + 396, y0 + 128, x0 + 444, y0 + 144, 4, kGoldDark);
}

void PanelCaravan(Image& img, int x0, int y0)
{
    NightSky(img, x0, y0, 512, 512, 521, Rgb(236, 140, 70));
    img.Glow(x0 + 400, y0 + 330, 200, Rgb(255, 170, 80), 0.6f, 1.6f, true);
    for (int x = 0; x < 512; ++x) {
        const float crest = 330 + 30 * std::sin(x * 0.012f + 1) + 10 * std::sin(x * 0.05f);
        for (int y = static_cast<int>(crest); y < 512; ++y)
            img.At(x0 + x, y0 + y) = Mix(Rgb(220, 140, 80), Rgb(120, 60, 50), Clamp01((y - crest) / 150.0f));
    }
    // Silhouettes: two camels and the cart on the ridge.
    const Color dark = Rgb(30, 16, 24);
    for (int k = 0; k < 2; ++k) {
        const float cx = x0 + 150 + k * 90.0f, cy = y0 + 312 + k * 4.0f;
        img.RoundRect(cx - 34, cy - 22, cx + 30, cy, 12, dark);
        Disc(img, cx - 4, cy - 26, 14, dark);
        Stroke(img, {cx + 26, cy - 12}, {cx + 44, cy - 40}, 8, dark);
        Disc(img, cx + 48, cy - 42, 8, dark);
        for (int l = 0; l < 4; ++l)
            Stroke(img, {cx - 28 + l * 16.0f, cy}, {cx - 30 + l * 16.0f, cy + 28}, 5, dark);
    }
    img.RoundRect(x0 + 310, y0 + 280, x0 + 390, y0 + 318, 18, dark);
    Disc(img, x0 + 324, y0 + 326, 14, dark);
    Disc(img, x0 + 376, y0 + 326, 14, dark);
}

void PanelTemple(Image& img, int x0, int y0)
{
    NightSky(img, x0, y0, 512, 512, 531, Rgb(250, 190, 120));
    img.Glow(x0 + 256, y0 + 360, 240, Rgb(255, 200, 120), 0.6f, 1.5f, true);
    for (int s = 0; s < 6; ++s) {
        const float half = 190 - s * 28.0f, top = 400 - s * 40.0f;
        img.RoundRect(x0 + 256 - half, y0 + top - 40, x0 + 256 + half, y0 + top, 1,
                      Mix(Rgb(70, 40, 70), Rgb(40, 24, 50), s / 6.0f));
        Stroke(img, {x0 + 256 - half, y0 + top - 40}, {x0 + 256 + half, y0 + top - 40}, 2, kAmber, 0.7f);
    }
    img.Glow(x0 + 256, y0 + 340, 70, kTurquoise, 0.8f, 1.5f, true);
    img.RoundRect(x0 + 236, y0 + 300, x0 + 276, y0 + 400, 16, Rgb(120, 240, 240));
    for (int x = 0; x < 512; ++x) {
        const float crest = 420 + 20 * std::sin(x * 0.015f + 2);
        for (int y = static_cast<int>(crest); y < 512; ++y)
            img.At(x0 + x, y0 + y) = Mix(Rgb(240, 180, 110), Rgb(150, 80, 60), Clamp01((y - crest) / 90.0f));
    }
}

Image MakeIntro()
{
    Image img(1024, 1024);
    PanelPedestal(img, 0, 0);
    PanelChart(img, 512, 0);
    PanelCaravan(img, 0, 512);
    PanelTemple(img, 512, 512);
    return img;
}

bool WritePagesSet(Output& out)
{
    return out.Save("HelpPage1.jpg", MakeHelpPage1()) && out.Save("HelpPage2.jpg", MakeHelpPage2()) &&
           out.Save("Intro.jpg", MakeIntro());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "screens_pages", WritePagesSet); }
