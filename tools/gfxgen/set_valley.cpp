// The valley, the third stage's scene: dusk over the mountains, a path of
// standing stones climbing to the pass where the last light breaks through;
// its sky is near black, so the clouds drifting behind it show through the
// screen blend. With the clouds, the mask that darkens the top of the sky
// and the pass's turning rays.
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const char* const kSection = "Valley";

float Ridge(float x, float base, float height, uint32_t seed, float scale)
{
    return base - height * Fbm(x / scale, 0.5f, seed, 5);
}

Image MakeValley(const SceneConfig& cfg)
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    const std::vector<float> pass = cfg.Numbers(kSection, "Flare9", "626 330 380");
    const float px = pass[0], py = pass[1];
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            // The sky is near black high up: the clouds show through there.
            const float glow = std::exp(-std::hypot((x - px) / 1.8f, y - py) / 150.0f);
            Color c = Mix(Rgb(4, 3, 10), Rgb(60, 30, 70), Smooth(200, 330, y));
            c = Mix(c, Rgb(250, 150, 70), Smooth(230, 340, y) * 0.8f * glow + 0.25f * glow);
            // Three ranges of mountains, the pass cut through them.
            const float notch = 60 * std::exp(-std::pow((x - px) / 70.0f, 2.0f));
            const float ranges[3][4] = {{300, 70, 0.25f, 160}, {350, 90, 0.55f, 110}, {420, 110, 0.85f, 80}};
            for (int r = 0; r < 3; ++r) {
                const float top =
                    Ridge(x, ranges[r][0], ranges[r][1], 200 + r, ranges[r][3]) + notch * (1.0f - 0.3f * r);
                if (y > top) {
                    Color rock = Mix(Rgb(88, 60, 96), Rgb(18, 14, 30), ranges[r][2]);
                    rock = Scale(rock, 0.85f + 0.3f * Fbm(x / 30.0f, y / 20.0f, 210 + r, 3));
                    // Rims lit by the pass.
                    rock = Mix(rock, Rgb(255, 150, 80), 0.5f * glow * Smooth(top + 6, top, y));
                    c = Mix(c, rock, Smooth(top, top + 2, y));
                }
            }
            // The valley floor: meadows in the dusk, darkening towards us.
            const float floor = 470 + 30 * Fbm(x / 120.0f, 3.5f, 220, 3);
            if (y > floor) {
                Color g = Mix(Rgb(50, 44, 60), Rgb(16, 18, 24), Smooth(floor, 768, y));
                g = Scale(g, 0.8f + 0.35f * Fbm(x / 20.0f, y / 9.0f, 221, 4));
                c = Mix(c, g, Smooth(floor, floor + 3, y));
            }
            img.At(x, y) = c;
        }
    // The river winds from the pass towards us, holding the sky's glow.
    for (int y = 420; y < 768; ++y) {
        const float t = (y - 420) / 348.0f;
        const float centre = px + 180 * std::sin(t * 3.2f) * t + 220 * t;
        const float half = 6 + 60 * t * t;
        for (int x = static_cast<int>(centre - half - 2); x <= static_cast<int>(centre + half + 2); ++x) {
            if (x < 0 || x >= 1024)
                continue;
            const float v = std::fabs(x - centre) / half;
            Color water = Mix(Rgb(255, 180, 100), Rgb(60, 50, 90), Clamp01(t * 1.2f + v * 0.4f));
            water = Scale(water, 0.85f + 0.3f * Fbm(x / 10.0f, y / 2.0f, 230, 2));
            img.Blend(x, y, water, Clamp01((1 - v) * 4));
        }
    }
    // The path of standing stones, one under each socket.
    for (int i = 1; i <= 8; ++i) {
        const Box gem = BoxOf(cfg.Numbers(kSection, "Gem" + std::to_string(i)));
        const float cx = gem.Cx(), cy = gem.Cy(), w = gem.w * 0.5f, h = gem.h * 1.6f;
        img.Glow(cx + 10, cy + h * 0.7f, w * 1.6f, Rgb(0, 0, 0), 0.5f, 1.0f, false);
        for (int y = static_cast<int>(cy - h * 0.55f); y < static_cast<int>(cy + h * 0.75f); ++y)
            for (int x = static_cast<int>(cx - w); x <= static_cast<int>(cx + w); ++x) {
                const float u = (x - cx) / w, v = (y - (cy - h * 0.55f)) / (h * 1.3f);
                const float edge = 1 - 0.35f * std::pow(1 - v, 3.0f);
                if (std::fabs(u) > edge)
                    continue;
                Color stone = Scale(Rgb(74, 64, 82),
                                    0.6f + 0.3f * (0.5f - 0.5f * u) + 0.3f * Fbm(x / 5.0f, y / 7.0f, 240 + i, 3));
                stone = Mix(stone, Rgb(255, 150, 80), 0.35f * Clamp01(u) * (1 - v));
                stone = Scale(stone, 1.0f - 0.5f * Smooth(0.6f, 1.0f, v));
                img.Blend(x, y, stone, Clamp01((edge - std::fabs(u)) * w));
            }
    }
    PaintSockets(img, cfg, kSection, 8, Rgb(230, 170, 96));
    // Grass in the foreground.
    Rng rng(250);
    for (int i = 0; i < 500; ++i) {
        const float x = rng.Range(0, 1024), y = rng.Range(690, 775), h = rng.Range(10, 30);
        StrokeSegment(img, {x, y}, {x + rng.Range(-6, 6), y - h}, 1.2f, Rgb(14, 14, 22), 0.9f);
    }
    Vignette(img, 0.4f);
    return img;
}

// Clouds that tile, dark above and lit warm from below.
Image MakeClouds()
{
    Image img(512, 512, Color{0, 0, 0, 1});
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const float d = Fbm(x / 128.0f, y / 128.0f, 260, 5, 4);
            const float below = Fbm(x / 128.0f, (y + 16) / 128.0f, 260, 5, 4);
            const float cloud = Smooth(0.35f, 0.65f, d);
            const float lit = Clamp01((d - below) * 5 + 0.45f);
            Color c = Mix(Rgb(14, 10, 30), Mix(Rgb(56, 40, 80), Rgb(236, 140, 96), lit), cloud);
            // The sheet's far edge (its top rows) fades into the dark, so the
            // clouds meet the horizon without a seam.
            img.At(x, y) = Scale(c, Smooth(0, 96, y));
        }
    return img;
}

bool WriteValley(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    Image scene = MakeValley(cfg);
    if (!PaintProgressBand(scene, cfg, kSection, 8, 8))
        return false;
    const Image rays = MakeLightRays(512, 271, Rgb(255, 170, 100));
    // Darkens the top of the sky over the clouds: white is darkest.
    const Image mask = MakeMask(256, 64, [](float, float v) { return 0.8f * Smooth(62.0f / 64, 0.0f, v); });
    return out.Save("Valley.jpg", scene) && out.Save("ValleyCloud.jpg", MakeClouds()) &&
           out.Save("ValleyMask.tga", mask) && out.Save("ValleyFlareRays.tga", rays) &&
           out.Save("ValleyFlareRays_alpha.tga", rays.AlphaAsGrey());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "valley", WriteValley); }
