// The awards' picture set: the Golden Star that flies up from the frenzy bar
// and the ruby heart of a lost life. Both are painted from signed distances,
// so their edges stay clean at any size the awards draw them and where the
// heart is cut into shards.
#include <algorithm>
#include <cmath>

#include "output.h"

using namespace gfx;

namespace {

constexpr float kPi = 3.14159265f;

const Color kGold = Rgb(255, 204, 84);
const Color kGoldLight = Rgb(255, 242, 184);
const Color kGoldDeep = Rgb(168, 98, 18);
const Color kOutline = Rgb(74, 30, 8);
const Color kRubyDeep = Rgb(92, 6, 30);
const Color kRuby = Rgb(206, 22, 58);
const Color kRubyLight = Rgb(255, 104, 124);

// Signed distance to a five-pointed star of outer radius r pointing up
// (y up); `inner` is the ratio of the inner to the outer radius.
float StarDistance(float px, float py, float r, float inner)
{
    // Fold the plane into one half-ray by mirroring across the star's axes.
    const float k1x = 0.809017f, k1y = -0.587785f;
    const float k2x = -k1x, k2y = k1y;
    px = std::fabs(px);
    float d = std::max(k1x * px + k1y * py, 0.0f);
    px -= 2 * d * k1x;
    py -= 2 * d * k1y;
    d = std::max(k2x * px + k2y * py, 0.0f);
    px -= 2 * d * k2x;
    py -= 2 * d * k2y;
    px = std::fabs(px);
    py -= r;
    // The edge from the tip (0, 0) to the inner corner.
    const float ex = inner * -k1y - 0.0f, ey = inner * k1x - 1.0f;
    const float h = std::clamp((px * ex + py * ey) / (ex * ex + ey * ey), 0.0f, r);
    const float dx = px - ex * h, dy = py - ey * h;
    const float side = py * ex - px * ey;
    return std::hypot(dx, dy) * (side < 0 ? -1.0f : 1.0f);
}

// The award star: a faceted gold star with a bevelled rim and a warm glow,
// all inside the top-left 204 x 192 texels, which is all the award shows.
Image MakeAwardStar()
{
    constexpr int kShownWidth = 204, kShownHeight = 192;
    Image img(256, 256, Color{1, 1, 1, 0});
    const float cx = 102.0f, cy = 104.0f, r = 88.0f;
    for (int y = 0; y < kShownHeight; ++y)
        for (int x = 0; x < kShownWidth; ++x) {
            const float px = x + 0.5f - cx, py = cy - (y + 0.5f);
            // The glow fades to nothing before the shown area's edge.
            const float edge = std::min({x + 0.5f, kShownWidth - x - 0.5f, y + 0.5f, kShownHeight - y - 0.5f});
            const float reach = Smooth(0.0f, 10.0f, edge);
            const float rho = std::hypot(px, py) / r;
            const float glow = std::pow(Clamp01(1.0f - rho / 1.18f), 1.5f) * 0.75f * reach;
            Color c = Mix(Rgb(255, 164, 48), kGoldLight, Clamp01(1.2f - rho));
            c.a = glow;
            img.At(x, y) = c;

            const float d = StarDistance(px, py, r, 0.43f);
            if (d > 1.0f)
                continue;
            // Facets: each ray is lit on its left half and shaded on its
            // right, as if the light came from the upper left.
            // The split is smoothed over a texel on either side.
            const float angle = std::atan2(px, py);
            const float sector = std::fmod(angle + 2 * kPi + kPi / 5, 2 * kPi / 5) / (2 * kPi / 5);
            const float arc = 2 * kPi / 5 * std::hypot(px, py);
            const float toAxis = (0.5f - sector) * arc; // > 0 on the lit half
            const float litShare = sector < 0.5f ? Clamp01(0.5f + std::min(toAxis, sector * arc))
                                                 : Clamp01(0.5f + std::max(toAxis, -(1.0f - sector) * arc));
            const float lit = 0.3f + 0.7f * litShare;
            const float depth = Clamp01(-d / (0.34f * r));
            Color body = Mix(kGoldDeep, kGoldLight, Clamp01(lit * (0.35f + 0.65f * depth)));
            body = Mix(body, kGold, 0.2f);
            // A bevel along the rim and a dark outline around it.
            body = Mix(body, kGoldLight, 0.55f * Smooth(-7.0f, -3.5f, d) * (1 - Smooth(-3.5f, -2.0f, d)));
            body = Mix(body, kOutline, Smooth(-2.5f, -0.5f, d));
            body.a = 1.0f;
            img.Blend(x, y, body, Clamp01(0.5f - d));
        }
    // A glint on the upper left ray.
    for (int y = 0; y < kShownHeight; ++y)
        for (int x = 0; x < kShownWidth; ++x) {
            const float dx = (x + 0.5f - 95.0f) / 26.0f, dy = (y + 0.5f - 56.0f) / 26.0f;
            const float core = std::exp(-(dx * dx + dy * dy) * 5.0f);
            const float rays = std::exp(-std::fabs(dx * dy) * 900.0f) * Clamp01(1.0f - std::hypot(dx, dy));
            const float k = Clamp01(0.8f * core + 0.9f * rays);
            if (k > 0.002f)
                img.Add(x, y, Rgb(255, 255, 240), k);
        }
    return img;
}

// Signed distance to a heart whose point is at (0, 0) and whose lobes reach
// up to y = 1.1 (y up), about 1.2 wide.
float HeartDistance(float px, float py)
{
    px = std::fabs(px);
    if (py + px > 1.0f)
        return std::hypot(px - 0.25f, py - 0.75f) - std::sqrt(2.0f) / 4.0f;
    const float top = std::hypot(px, py - 1.0f);
    const float m = 0.5f * std::max(px + py, 0.0f);
    const float diagonal = std::hypot(px - m, py - m);
    return std::min(top, diagonal) * (px - py < 0 ? -1.0f : 1.0f);
}

// The heart of a lost life: a glossy ruby in a gold rim, filling (24, 24) to
// (232, 232) of its 256 x 256 texture and clear around it.
Image MakeHeart()
{
    Image img(256, 256, Color{1, 1, 1, 0});
    // The heart's box (-0.604 .. 0.604, 0 .. 1.104) stretched onto the
    // 208 x 208 texels between 24 and 232.
    const float sx = 208.0f / 1.2072f, sy = 208.0f / 1.1036f;
    const float scale = std::min(sx, sy); // distances in texels
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float px = (x + 0.5f - 128.0f) / sx;
            const float py = (232.0f - (y + 0.5f)) / sy;
            const float d = HeartDistance(px, py) * scale;
            if (d > 1.0f)
                continue;
            const float rim = 9.0f;
            Color c;
            if (d > -rim) {
                // The gold rim, rounded: light along its middle, dark at both lips.
                const float across = (d + rim) / rim; // 0 inside edge .. 1 outside
                const float round = std::sin(across * kPi);
                c = Mix(kGoldDeep, kGoldLight, Clamp01(round * 0.9f + (py > 0.7f ? 0.15f : 0.0f)));
                c = Mix(c, kOutline, Smooth(0.7f, 1.0f, across));
            } else {
                // The ruby: deep at the rim, glowing towards the middle of
                // each lobe, with a darker vein down the cleft.
                const float inside = Clamp01((-d - rim) / (0.32f * scale));
                const float lobe = std::hypot(std::fabs(px) - 0.27f, py - 0.62f);
                c = Mix(kRubyDeep, kRuby, Smooth(0.0f, 0.8f, inside));
                c = Mix(c, kRubyLight, 0.45f * Clamp01(1.0f - lobe / 0.45f) * inside);
                c = Mix(c, kRubyDeep, 0.35f * std::exp(-px * px * 900.0f) * Smooth(0.55f, 0.9f, py));
                // The inner shadow the rim casts.
                c = Mix(c, kRubyDeep, 0.55f * Smooth(-rim - 8.0f, -rim, d));
            }
            c.a = 1.0f;
            img.Blend(x, y, c, Clamp01(0.5f - d));
        }
    // Gloss: a soft crescent on the upper left lobe and a small glint.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float px = (x + 0.5f - 128.0f) / sx, py = (232.0f - (y + 0.5f)) / sy;
            if (HeartDistance(px, py) * scale > -12.0f)
                continue;
            const float ex = (px + 0.3f) / 0.19f, ey = (py - 0.82f) / 0.1f;
            const float gloss = Clamp01(1.0f - (ex * ex + ey * ey)) * 0.55f;
            const float gx = (px + 0.17f) / 0.05f, gy = (py - 0.9f) / 0.05f;
            const float glint = std::exp(-(gx * gx + gy * gy)) * 0.8f;
            const float k = std::max(gloss, glint);
            if (k > 0.002f)
                img.Blend(x, y, Rgb(255, 236, 240), k);
        }
    return img;
}

bool WriteSandboxSet(Output& out)
{
    return out.Save("BigStar.png", MakeAwardStar()) && out.Save("Heart.png", MakeHeart());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "sandbox", WriteSandboxSet); }
