// The challenges' tiles: the open tile face showing one of the seven tokens
// (each its own colour and shape, the stones of the board) or nothing at all,
// each in three frames as it flips open, and the closed plate in two frames as
// it turns away; with the sheen the pointer's light brings out of each. Three
// atlases of 4 x 4 cells hold three kinds each, a kind to a row, its frames
// left to right: kinds 0..6 the tokens, 7 the empty face, 8 the plate.
#include <cmath>
#include <string>

#include "board_art.h"
#include "output.h"

using namespace gfx;
using namespace gfx::board_art;

namespace {

constexpr int kCell = 128;
constexpr int kTokens = 7;
constexpr int kEmpty = kTokens;    // the open face with nothing on it
constexpr int kPlate = kEmpty + 1; // the closed plate
// The stone fills this fraction of the face's half width.
constexpr float kStoneScale = 0.56f;
const float kFaceFlip[3] = {0.14f, 0.56f, 1.0f};
const float kPlateFlip[2] = {1.0f, 0.42f};

const Color kGold = Rgb(255, 204, 84);
const Color kGoldLight = Rgb(255, 244, 196);
const Color kGoldDark = Rgb(120, 70, 16);

float Tile(float x, float y) { return Box(x, y, 0.82f, 0.82f, 0.2f); }

// An engraved gold shape on a face: lit by its edge direction.
Color Gilded(float d, float gx, float gy, const Color& face)
{
    const float facing = gx * kLightX + gy * kLightY;
    const float edge = Clamp01((d + 0.07f) / 0.07f); // 1 at the rim of the shape
    Color gold = Shade3(kGoldDark, kGold, kGoldLight, std::clamp(0.35f + facing * edge, -1.0f, 1.0f));
    return Mix(gold, face, Clamp01((d + 0.015f) / 0.03f));
}

// The tile at full width: gold rim, a turquoise open face (an indigo one for
// the plate) and on it the token's stone, or, for the plate, its gilded
// ornament.
Color TileFace(int kind, float x, float y)
{
    const float d = Tile(x, y);
    float gx, gy;
    Gradient(Tile, x, y, &gx, &gy);
    Color c;
    if (d > -0.11f) {
        const float t = -d / 0.11f;
        c = Shade3(kGoldDark, kGold, kGoldLight,
                   std::clamp((gx * kLightX + gy * kLightY) * std::cos(t * kPi), -1.0f, 1.0f));
        return c;
    }
    const bool plate = kind == kPlate;
    const Color top = plate ? Rgb(60, 46, 140) : Rgb(40, 132, 142);
    const Color bottom = plate ? Rgb(18, 12, 54) : Rgb(10, 50, 68);
    c = Mix(top, bottom, Clamp01((x + y) * 0.35f + 0.5f));
    const float sheen = std::exp(-std::pow((x + y + 0.9f) / 0.35f, 2.0f));
    c = Mix(c, Rgb(255, 255, 255), 0.18f * sheen);
    if (kind < kTokens)
        return Over(CutStone(kind, x / kStoneScale, y / kStoneScale), c);
    if (!plate)
        return c;
    auto ornament = [](float u, float v) {
        return std::min(std::fabs(Circle(u, v, 0.46f)) - 0.05f, Star(u, v, 0.34f, 8, 0.45f));
    };
    const float s = ornament(x, y);
    if (s < 0.02f) {
        float sx, sy;
        Gradient(ornament, x, y, &sx, &sy);
        c = Gilded(s, sx, sy, c);
    }
    if (Circle(x, y, 0.12f) < 0.01f)
        c = Mix(Rgb(110, 240, 240), Rgb(20, 120, 140), Clamp01((x + y) * 2.5f + 0.5f));
    return c;
}

// A frame of the flip: the tile squeezed to `width` of itself, darker as it
// turns away from the light.
Color FlipPoint(int kind, float width, float x, float y)
{
    const float u = x / width;
    const float d = Tile(u, y);
    const float aa = 0.02f / width;
    const float shadow = 0.4f * Clamp01((0.1f - Tile((x - 0.06f) / width, y - 0.08f)) / 0.16f);
    Color under{0.04f, 0.03f, 0.12f, shadow};
    if (d > aa)
        return under;
    Color c = TileFace(kind, u, y);
    c = Mix(c, Rgb(0, 0, 0), 0.45f * (1 - width));
    c.a = Clamp01((aa - d) / (2 * aa));
    return Over(c, under);
}

// The light on a tile: warm over the face, and on a token's stone that
// stone's own sheen; the empty face and the plate have only the face's.
Color SheenPoint(int kind, float width, float x, float y)
{
    const float u = x / width;
    const float d = Tile(u, y);
    const float aa = 0.02f / width;
    if (d > aa)
        return Color{0, 0, 0, 0};
    Color c = Mix(Rgb(0, 0, 0), Rgb(255, 236, 200), Clamp01(0.75f - 0.35f * (u * u + y * y)) * width);
    if (kind < kTokens) {
        // The stone catches the light over the face's own (screened).
        const Color stone = TokenSheen(kind, u / kStoneScale, y / kStoneScale);
        auto screen = [&](float a, float b) { return 1.0f - (1.0f - a) * (1.0f - b * stone.a * width); };
        c = Color{screen(c.r, stone.r), screen(c.g, stone.g), screen(c.b, stone.b), c.a};
    }
    c.a = Clamp01((aa - d) / (2 * aa));
    return c;
}

// Atlas n (0..2) holds kinds 3n .. 3n + 2; the last row of the third is the
// plate.
template <typename Point>
Image Atlas(int n, const Point& point)
{
    Image img(4 * kCell, 4 * kCell);
    for (int row = 0; row < 3; ++row) {
        const int kind = 3 * n + row;
        const bool plate = kind == kPlate;
        const int frames = plate ? 2 : 3;
        for (int f = 0; f < frames; ++f) {
            const float width = plate ? kPlateFlip[f] : kFaceFlip[f];
            PaintCell(img, f * kCell, row * kCell, kCell, 3,
                      [&](float x, float y) { return point(kind, width, x / 0.9f, y / 0.9f); });
        }
    }
    return img;
}

bool WriteMemCapsSet(Output& out)
{
    bool ok = true;
    for (int n = 0; n < 3 && ok; ++n) {
        const std::string stem = "MemCaps" + std::to_string(n + 1);
        ok = out.Save(stem + ".tga", Atlas(n, FlipPoint)) && out.Save(stem + "_l.tga", Atlas(n, SheenPoint));
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "memcaps", WriteMemCapsSet); }
