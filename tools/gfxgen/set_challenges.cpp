// The bonus-level challenges' own picture besides their tiles: the Accuracy
// challenge's star, a glowing five-pointed gold star in the bottom-left cell
// (a quarter of the width and height) of an otherwise clear 256 x 256
// texture, as the challenge's star sprites cut it out. The stars are drawn
// adding their light, so the clear parts add nothing.
#include <cmath>

#include "board_art.h"
#include "output.h"

using namespace gfx;
using namespace gfx::board_art;

namespace {

constexpr int kSize = 256;
constexpr int kCell = kSize / 4;

const Color kGold = Rgb(255, 200, 70);
const Color kGoldLight = Rgb(255, 246, 200);
const Color kGoldDark = Rgb(150, 82, 10);

float StarShape(float x, float y) { return Star(x, y + 0.03f, 0.8f, 5, 0.46f); }

// u, v from -1 to 1 across the cell, y down.
Color StarPoint(float x, float y)
{
    const float r = Length(x, y);
    // The glow round it, fading out well inside the cell's edge.
    const float glow = 0.7f * std::exp(-std::pow(r / 0.6f, 2.0f)) * Clamp01((0.98f - r) / 0.2f);
    Color c = kGold;
    c.a = glow;
    const float d = StarShape(x, y);
    const float aa = 0.025f;
    if (d > aa)
        return c;
    // Each arm is cut into two facets along its ridge: the one turned to the
    // light (top left) bright, the other in shade.
    const float sector = 2.0f * kPi / 5.0f;
    const float angle = std::atan2(x, -(y + 0.03f));
    const float ridge = std::round(angle / sector) * sector;
    const float side = angle - ridge > 0.0f ? 1.0f : -1.0f;
    const float nx = std::sin(ridge + side * kPi / 2), ny = -std::cos(ridge + side * kPi / 2);
    const float lit = std::clamp(nx * kLightX + ny * kLightY, -1.0f, 1.0f);
    Color face = Shade3(kGoldDark, kGold, kGoldLight, 0.8f * lit + 0.1f);
    // A white-hot heart, and a darker rim.
    face = Mix(face, Rgb(255, 255, 240), 0.7f * std::exp(-std::pow(r / 0.18f, 2.0f)));
    face = Mix(face, kGoldDark, 0.5f * Clamp01((d + 0.06f) / 0.06f));
    face.a = Clamp01((aa - d) / (2 * aa));
    return Over(face, c);
}

Image MakeArcadeStar()
{
    Image img(kSize, kSize, Color{1, 1, 1, 0});
    PaintCell(img, 0, kSize - kCell, kCell, 4, StarPoint);
    return img;
}

bool WriteChallengesSet(Output& out) { return out.Save("ArcadeStar.tga", MakeArcadeStar()); }

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "challenges", WriteChallengesSet); }
