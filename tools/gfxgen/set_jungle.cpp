// The jungle, the second stage's scene: overgrown ruins at dusk, a broken
// arch ringed with six sockets, a turquoise stream across the clearing; its
// drifting mist and the mist's mask, the canopy's rays, and the mask of
// where the water glitters.
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const float kPi = 3.14159265f;
const char* const kSection = "Jungle";

// The stream runs along the middle of the slanted parallelogram the glints
// start in ("FlashArea" and "FlashBasis"), in screen pixels.
struct Stream {
    float left, top, width, height; // the glints' area
    float originY, slope;           // the centre line: y at the area's left, and its slope
    float Centre(float x) const { return originY + slope * (x - left); }
    float HalfWidth(float x) const { return 24.0f + 8.0f * std::sin((x - left) / 60.0f); }
};

Stream StreamOf(const SceneConfig& cfg)
{
    const std::vector<float> area = cfg.Numbers(kSection, "FlashArea", "300 470 420 170");
    const std::vector<float> basis = cfg.Numbers(kSection, "FlashBasis", "420 -70 0 -100");
    return Stream{area[0], area[1], area[2], area[3], area[1] + area[3] + basis[3] / 2, basis[1] / basis[0]};
}

void PaintSkyAndTrees(Image& img)
{
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float t = y / 767.0f;
            Color c = Mix(Rgb(10, 24, 40), Rgb(44, 92, 88), Smooth(0.0f, 0.45f, t));
            c = Mix(c, Rgb(255, 190, 110), 0.55f * std::exp(-std::hypot(x - 880.0f, y - 30.0f) / 260.0f));
            // Three ranks of trees, the far ones lost in the haze.
            const float ranks[3][3] = {{230, 60, 0.35f}, {300, 90, 0.6f}, {390, 120, 0.85f}};
            for (int r = 0; r < 3; ++r) {
                const float top = ranks[r][0] - ranks[r][1] * Fbm(x / 70.0f, r * 3.0f, 100 + r, 4);
                if (y > top) {
                    Color tree = Mix(Rgb(46, 86, 82), Rgb(10, 26, 26), ranks[r][2]);
                    tree = Scale(tree, 0.85f + 0.3f * Fbm(x / 18.0f, y / 18.0f, 110 + r, 3));
                    c = Mix(c, tree, Smooth(top, top + 6, y));
                }
            }
            img.At(x, y) = c;
        }
}

void PaintGround(Image& img, const Stream& s)
{
    for (int y = 440; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float edge = 470 + 40 * Fbm(x / 90.0f, 0.5f, 120, 3);
            if (y < edge)
                continue;
            Color c = Mix(Rgb(40, 58, 34), Rgb(18, 24, 18), Smooth(edge, 768, y));
            c = Scale(c, 0.75f + 0.45f * Fbm(x / 16.0f, y / 10.0f, 121, 4));
            // Old paving shows through the moss here and there.
            c = Mix(c, Rgb(84, 92, 78), 0.35f * Smooth(0.55f, 0.75f, Fbm(x / 40.0f, y / 18.0f, 122, 4)));
            // Mist lies low over the clearing.
            c = Mix(c, Rgb(80, 140, 130), 0.3f * Smooth(560, 470, y));
            const float d = std::fabs(y - s.Centre(x)), w = s.HalfWidth(x);
            if (d < w) {
                // The stream: turquoise, brighter along its middle, rippled.
                const float v = d / w;
                Color water = Mix(Rgb(80, 220, 210), Rgb(16, 80, 96), v * v);
                water = Scale(water, 0.8f + 0.35f * Fbm(x / 8.0f, y / 3.0f, 123, 3));
                c = Mix(c, water, Smooth(1.0f, 0.85f, v));
            } else if (d < w + 8) {
                c = Scale(c, 0.6f); // the wet bank
            }
            c.a = 1;
            img.At(x, y) = c;
        }
}

// The broken arch the sockets ring: stone blocks along an arc on two piers.
void PaintArch(Image& img, const SceneConfig& cfg)
{
    const Box first = BoxOf(cfg.Numbers(kSection, "Gem1"));
    const std::vector<float> closing = cfg.Numbers(kSection, "Flare7", "214 316 320");
    const float cx = closing[0], cy = closing[1] + 14;
    const float rx = cx - first.Cx(), ry = rx * 0.87f;
    // The light beyond the arch.
    img.Glow(cx, cy + 20, rx * 0.9f, Rgb(120, 230, 200), 0.35f, 1.6f, true);
    auto inArch = [&](int x, int y) {
        const float dx = (x - cx) / rx, dy = (y - cy) / ry;
        const float r = std::hypot(dx, dy);
        if (y <= cy)
            return r > 0.78f && r < 1.22f && !(x > cx + rx * 0.55f && y < cy - ry * 0.75f); // broken on the right
        return std::fabs(std::fabs(dx) - 1.0f) < 0.22f && y < 600;
    };
    PaintStoneBlocks(img, Box{cx - rx * 1.3f, cy - ry * 1.3f, rx * 2.6f, 620 - (cy - ry * 1.3f)}, inArch,
                     Rgb(86, 92, 84), 44, 28, 130);
    // Moss and the dusk's teal on the stones; the piers darken into the ground.
    for (int y = 0; y < 620; ++y)
        for (int x = 0; x < 500; ++x) {
            if (!inArch(x, y))
                continue;
            img.Blend(x, y, Rgb(30, 70, 40), 0.7f * Smooth(0.45f, 0.7f, Fbm(x / 14.0f, y / 10.0f, 131, 4)));
            img.Blend(x, y, Rgb(10, 30, 34), 0.5f * Smooth(420, 600, y));
        }
}

void PaintVines(Image& img)
{
    Rng rng(140);
    for (int i = 0; i < 9; ++i) {
        const float x0 = rng.Range(0, 1024), length = rng.Range(120, 360), sway = rng.Range(-30, 30);
        Pt last{x0, 0};
        for (int k = 1; k <= 20; ++k) {
            const float t = k / 20.0f;
            const Pt p{x0 + sway * t * t, length * t};
            StrokeSegment(img, last, p, 3, Rgb(24, 44, 28));
            if (k % 3 == 0)
                PaintLeaf(img, p.x + 6, p.y, 18, 8, rng.Range(-0.5f, 0.5f), Rgb(50, 96, 50));
            last = p;
        }
    }
}

Image MakeJungle(const SceneConfig& cfg)
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    const Stream stream = StreamOf(cfg);
    PaintSkyAndTrees(img);
    PaintGround(img, stream);
    PaintArch(img, cfg);
    // A great trunk on the right, roots in the ground.
    for (int y = 0; y < 640; ++y)
        for (int x = 900; x < 1024; ++x) {
            const float edge = 930 + 18 * std::sin(y / 80.0f) + (y > 520 ? (y - 520) * -0.5f : 0);
            if (x < edge)
                continue;
            Color c = Scale(Rgb(60, 46, 36), 0.6f + 0.5f * Fbm(x / 6.0f, y / 40.0f, 150, 4));
            c = Scale(c, 0.7f + 0.3f * Smooth(edge + 50, edge, x));
            img.At(x, y) = c;
        }
    PaintVines(img);
    PaintFoliageClump(img, 60, 700, 110, 70, Rgb(40, 90, 46), 160, 40);
    PaintFoliageClump(img, 990, 690, 120, 70, Rgb(36, 84, 52), 161, 44);
    PaintFoliageClump(img, 960, 80, 130, 80, Rgb(34, 70, 46), 162, 36);
    // Shafts of evening light through the canopy.
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float a = std::atan2(y + 40.0f, x - 900.0f);
            const float shaft = std::pow(0.5f + 0.5f * std::sin(a * 14 + 1.0f), 4.0f) * Smooth(1.2f, 2.2f, a);
            img.Add(x, y, Rgb(255, 210, 140),
                    0.08f * shaft * std::exp(-std::hypot(x - 900.0f, y + 40.0f) / 600.0f));
        }
    PaintSockets(img, cfg, kSection, 6, Rgb(150, 214, 190));
    Vignette(img, 0.4f);
    return img;
}

// Soft mist, seamless in u.
Image MakeFog()
{
    Image img(512, 256, Color{0, 0, 0, 1});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            const float k = std::pow(Fbm(x / 64.0f, y / 48.0f, 170, 5, 8), 1.6f) * 0.55f;
            img.At(x, y) = Color{k * 0.75f, k * 0.95f, k * 0.9f, 1};
        }
    return img;
}

// Where the glints may start (above 16) and end (above 128): the stream's
// water, brightest along its middle.
Image MakeFlashMask(const Stream& s)
{
    Image img(256, 102, Color{0, 0, 0, 1});
    for (int row = 0; row < 102; ++row)
        for (int col = 0; col < 256; ++col) {
            const float x = s.left + (col + 0.5f) / 256 * s.width, y = s.top + (row + 0.5f) / 102 * s.height;
            const float v = std::fabs(y - s.Centre(x)) / s.HalfWidth(x);
            const float k = Clamp01(1 - v) * (0.75f + 0.35f * Fbm(x / 10.0f, y / 4.0f, 180, 3));
            const float g = Clamp01(k);
            img.At(col, row) = Color{g, g, g, 1};
        }
    return img;
}

bool WriteJungle(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    Image scene = MakeJungle(cfg);
    if (!PaintProgressBand(scene, cfg, kSection, 6, 6))
        return false;
    const Image rays = MakeLightRays(512, 181, Rgb(190, 255, 200));
    const Image mask = MakeMask(256, 128, [](float u, float v) {
        return std::sin(kPi * u) * std::pow(std::sin(kPi * v), 1.5f) * (0.6f + 0.5f * Fbm(u * 5, v * 3, 190, 3));
    });
    out.AllowAnySize("JungleFlashMask.bmp");
    return out.Save("Jungle.jpg", scene) && out.Save("JungleFog.jpg", MakeFog()) &&
           out.Save("JungleMask.tga", mask) && out.Save("JungleFlareRays.tga", rays) &&
           out.Save("JungleFlareRays_alpha.tga", rays.AlphaAsGrey()) &&
           out.Save("JungleFlashMask.bmp", MakeFlashMask(StreamOf(cfg)));
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "jungle", WriteJungle); }
