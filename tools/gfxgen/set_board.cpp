// The board's picture set: the token caps (plain, carrying a gem, and the
// sheen the pointer's light brings out), the light spot itself, and the
// chains that hold tokens.
//
// Tokens are glossy cut stones in gold settings, lit from the top left;
// every colour has its own shape so that tokens are told apart without
// their hue. The steel token is a riveted metal nut.
#include <cmath>

#include "board_art.h"
#include "output.h"

using namespace gfx;
using namespace gfx::board_art;

namespace {

constexpr int kCell = 128;
// The token fills this fraction of its cell; the margin keeps neighbours
// from bleeding into each other in the smaller mip levels.
constexpr float kTokenScale = 0.84f;

// The steel token: brushed metal in a darker steel rim, with four rivets.
Color SteelPoint(float x, float y)
{
    auto field = [](float u, float v) { return Silhouette(7, u, v); };
    const float d = field(x, y);
    const float aa = 0.02f;
    const float shadow = 0.42f * Clamp01((0.1f - Silhouette(7, x - 0.07f, y - 0.09f)) / 0.16f);
    Color under{0.05f, 0.03f, 0.12f, shadow};
    if (d > aa)
        return under;
    float gx, gy;
    Gradient(field, x, y, &gx, &gy);
    const float facing = gx * kLightX + gy * kLightY;
    const Color dark = Rgb(52, 58, 70), base = Rgb(142, 150, 164), light = Rgb(236, 242, 250);
    Color c;
    if (d > -kBezel) {
        const float t = -d / kBezel;
        c = Shade3(dark, Rgb(104, 112, 126), light, std::clamp(facing * std::cos(t * kPi) * 0.9f, -1.0f, 1.0f));
    } else {
        // Brushed along the horizontal, brighter at the top.
        const float streak = Fbm((x + 1) * 2.0f, (y + 1) * 40.0f, 77, 3);
        c = Shade3(dark, base, light, 0.45f - 0.55f * (y + 1) * 0.5f + 0.5f * (streak - 0.5f));
        const float band = std::exp(-std::pow((x + y + 0.5f) / 0.18f, 2.0f));
        c = Mix(c, light, 0.55f * band);
        for (int i = 0; i < 4; ++i) {
            const float rx = (i % 2 ? 0.5f : -0.5f), ry = (i / 2 ? 0.5f : -0.5f);
            const float r = Length(x - rx, y - ry);
            if (r < 0.11f) {
                const float lit = -((x - rx) + (y - ry)) / 0.11f * 0.7f;
                c = Shade3(dark, base, light, std::clamp(lit, -1.0f, 1.0f));
                c = Mix(c, dark, Clamp01((r - 0.09f) / 0.02f));
            }
        }
    }
    c.a = Clamp01((aa - d) / (2 * aa));
    return Over(c, under);
}

// A brilliant-cut diamond set with four gold prongs: the secured gem.
Color GemOver(float x, float y, const Color& token)
{
    const float r = 0.34f;
    const float d = Polygon(x, y, r, 8);
    // A dark ring first, so the gem stands out on every colour.
    Color c = Over(Color{0.08f, 0.07f, 0.2f, Clamp01((0.045f - d) / 0.03f)}, token);
    if (d < 0) {
        const float angle = std::atan2(y, x);
        const bool even = static_cast<int>(std::floor((angle + kPi) / (kPi / 4))) % 2 == 0;
        const float lit = std::cos(angle) * kLightX + std::sin(angle) * kLightY;
        if (Polygon(x, y, r * 0.5f, 8) < 0)
            c = Mix(Rgb(200, 250, 255), Rgb(255, 255, 255), Clamp01(-0.8f * (x + y) + 0.4f));
        else if (even)
            c = Mix(Rgb(60, 170, 200), Rgb(230, 255, 255), Clamp01(0.5f + 0.5f * lit));
        else
            c = Mix(Rgb(20, 90, 140), Rgb(150, 230, 250), Clamp01(0.5f + 0.5f * lit));
        c.a = 1;
    }
    for (int i = 0; i < 4; ++i) {
        const float a = kPi / 4 + static_cast<float>(i) * kPi / 2;
        const float px = std::cos(a) * r * 0.93f, py = std::sin(a) * r * 0.93f;
        const float pr = Length(x - px, y - py);
        Color prong = Shade3(kSettingDark, kSettingGold, kSettingLight,
                             std::clamp(-((x - px) + (y - py)) / 0.07f, -1.0f, 1.0f));
        prong.a = Clamp01((0.07f - pr) / 0.015f);
        c = Over(prong, c);
    }
    const float gx = x + 0.11f, gy = y + 0.12f;
    const float glint = std::exp(-std::pow(Length(gx, gy) / 0.05f, 2.0f));
    const float rays = std::exp(-std::fabs(gx) / 0.012f) * std::exp(-std::fabs(gy) / 0.12f) +
                       std::exp(-std::fabs(gy) / 0.012f) * std::exp(-std::fabs(gx) / 0.12f);
    return Mix(c, Rgb(255, 255, 255, c.a), Clamp01(glint + rays));
}

// Cell of kind k in a 4 x 2 atlas.
void CellOrigin(int k, int* x, int* y)
{
    *x = (k % 4) * kCell;
    *y = (k / 4) * kCell;
}

template <typename Point>
Image TokenAtlas(const Point& point)
{
    Image img(4 * kCell, 2 * kCell);
    for (int k = 0; k < 8; ++k) {
        int x0, y0;
        CellOrigin(k, &x0, &y0);
        PaintCell(img, x0, y0, kCell, 3,
                  [&](float u, float v) { return point(k, u / kTokenScale, v / kTokenScale); });
    }
    return img;
}

Color TokenPoint(int k, float x, float y) { return k < 7 ? CutStone(k, x, y) : SteelPoint(x, y); }

// The light spot under the pointer: warm in the middle, black at the edge
// (the texture is clamped).
Image MakeCursorAdd()
{
    Image img(128, 128, Color{0, 0, 0, 1});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float r = Length(x + 0.5f - 64, y + 0.5f - 64) / 62.0f;
            const float k = std::pow(Clamp01(1 - r), 1.6f);
            Color c = Mix(Rgb(0, 0, 0), Mix(Rgb(255, 150, 60), Rgb(255, 240, 200), k), k);
            c.a = 1;
            img.At(x, y) = c;
        }
    return img;
}

// One chain link seen from above (an oval ring) or from the side (a bar),
// centred at (cx, cy) along the direction (dx, dy).
float LinkDistance(float x, float y, float cx, float cy, float dx, float dy, float length, bool flat)
{
    const float ux = x - cx, uy = y - cy;
    const float along = ux * dx + uy * dy, across = -ux * dy + uy * dx;
    const float a = std::clamp(along, -length, length);
    const float core = Length(along - a, across);
    return flat ? core - 1.6f : std::fabs(core - 3.4f) - 1.5f;
}

Color IronPoint(float d, float x, float y, float cx, float cy)
{
    if (d > 0.7f)
        return Color{0, 0, 0, 0};
    const float lit = -((x - cx) + (y - cy)) * 0.12f;
    Color c = Shade3(Rgb(34, 34, 44), Rgb(118, 122, 136), Rgb(236, 238, 244),
                     std::clamp(lit - 0.5f * (d + 1.5f) / 1.5f + 0.3f, -1.0f, 1.0f));
    c.a = Clamp01(0.7f - d);
    return c;
}

// Links round a circle, then (for the second picture) a line of links from
// the top left to the bottom right across the token.
Image MakeChain()
{
    Image img(256, 128);
    const float size = 92.0f, radius = 37.0f;
    for (int picture = 0; picture < 2; ++picture) {
        const float ox = picture * size;
        for (int y = 0; y < 92; ++y)
            for (int x = 0; x < 92; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                Color c{0, 0, 0, 0};
                const int links = 24;
                for (int i = 0; i < links; ++i) {
                    const float a = 2 * kPi * static_cast<float>(i) / links;
                    const float cx = 46 + radius * std::cos(a), cy = 46 + radius * std::sin(a);
                    const float d = LinkDistance(px, py, cx, cy, -std::sin(a), std::cos(a), 3.2f, i % 2 == 1);
                    c = Over(IronPoint(d, px, py, cx, cy), c);
                }
                if (picture == 1)
                    for (int i = 0; i < 9; ++i) {
                        const float t = -1 + 2 * static_cast<float>(i) / 8;
                        const float cx = 46 + 30 * t, cy = 46 + 30 * t;
                        const float d = LinkDistance(px, py, cx, cy, 0.7071f, 0.7071f, 2.6f, i % 2 == 1);
                        c = Over(IronPoint(d, px, py, cx, cy), c);
                    }
                img.At(static_cast<int>(ox) + x, y) = c;
            }
    }
    // The break piece: one link flying off.
    for (int y = 0; y < 28; ++y)
        for (int x = 184; x < 212; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            img.At(x, y) =
                IronPoint(LinkDistance(px, py, 198, 14, 0.7071f, -0.7071f, 5.0f, false), px, py, 198, 14);
        }
    // The sparkle that runs along the chains.
    for (int y = 32; y < 96; ++y)
        for (int x = 188; x < 252; ++x) {
            const float dx = std::fabs(x + 0.5f - 220) / 32, dy = std::fabs(y + 0.5f - 64) / 32;
            const float r = Length(dx, dy);
            float k = std::pow(Clamp01(1 - r), 3.0f) +
                      0.8f * std::exp(-dy * 16) * std::pow(Clamp01(1 - dx), 2.0f) +
                      0.8f * std::exp(-dx * 16) * std::pow(Clamp01(1 - dy), 2.0f);
            k = Clamp01(k) * Clamp01((1 - r) * 4);
            Color c = Mix(Rgb(150, 240, 255), Rgb(255, 255, 255), Clamp01(k * 1.4f));
            c.a = k;
            img.At(x, y) = c;
        }
    return img;
}

bool WriteBoardSet(Output& out)
{
    bool ok = out.Save("Caps.png", TokenAtlas(TokenPoint));
    ok = ok && out.Save("Caps_d.png", TokenAtlas([](int k, float x, float y) {
                            const Color token = TokenPoint(k, x, y);
                            return k < 7 ? GemOver(x, y, token) : token;
                        }));
    ok = ok && out.Save("Caps_l.tga", TokenAtlas(TokenSheen));
    ok = ok && out.Save("CursorAdd.bmp", MakeCursorAdd());
    ok = ok && out.Save("Chain.png", MakeChain());
    return ok;
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "board", WriteBoardSet); }
