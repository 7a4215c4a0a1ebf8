// The treasury, the scene of the fifth and every later stage: a vault with
// twelve sockets arching over a great chest painted open, gold glowing in
// it; the elements drawn over it (the carved arch at the top, the closed lid
// that hides the gold until the chest bursts, and the lid's shadow band);
// its dust, the mask of the sun shafts, and the shafts themselves.
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const float kPi = 3.14159265f;
const char* const kSection = "Treasury";

void PaintVault(Image& img)
{
    PaintStoneBlocks(
        img, Box{-30, 0, 1100, 560}, [](int, int) { return true; }, Rgb(100, 84, 80), 120, 60, 400);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            Color& c = img.At(x, y);
            if (y >= 560) {
                c = Scale(Rgb(92, 74, 62), 0.7f + 0.4f * Fbm(x / 30.0f, y / 8.0f, 410, 4));
            }
            // A vaulted recess behind the chest, deep and warm.
            const float recess = std::hypot((x - 480.0f) / 300.0f, (y - 560.0f) / 420.0f);
            if (recess < 1.0f && y < 560)
                c = Mix(c, Rgb(20, 14, 30), 0.6f * Smooth(1.0f, 0.8f, recess));
            c = Mix(c, Rgb(28, 22, 66), 0.45f + 0.2f * Smooth(300, 0, y));
            // Gold light from the chest.
            c = Mix(c, Rgb(255, 190, 80), 0.45f * std::exp(-std::hypot(x - 480.0f, y - 420.0f) / 240.0f));
        }
}

// A heap of coins: a dome of gold, coins scattered over its surface,
// brightest on top.
void PaintGoldHeap(Image& img, float cx, float cy, float rx, float ry, int coins, uint32_t seed)
{
    Rng rng(seed);
    img.Glow(cx, cy + ry * 0.2f, rx * 1.2f, Rgb(0, 0, 0), 0.5f, 1.0f, false);
    for (int y = static_cast<int>(cy - ry); y < static_cast<int>(cy + ry * 0.25f); ++y)
        for (int x = static_cast<int>(cx - rx); x < static_cast<int>(cx + rx); ++x) {
            const float u = (x - cx) / rx;
            const float top = cy - ry * std::sqrt(Clamp01(1 - u * u)) + ry * 0.1f * Noise(x / 9.0f, 0.5f, seed, 0);
            if (y < top)
                continue;
            const float v = (y - top) / (cy + ry * 0.25f - top + 1);
            Color c = Mix(Rgb(250, 200, 90), Rgb(120, 70, 20), Clamp01(v * 1.2f + 0.3f * u));
            img.Blend(x, y, c, Clamp01((y - top) * 2) * Clamp01((cy + ry * 0.25f - y) * 0.3f));
        }
    for (int i = 0; i < coins; ++i) {
        const float u = rng.Range(-1, 1);
        const float top = cy - ry * std::sqrt(Clamp01(1 - u * u));
        const float y = top + rng.Range(0, ry * 1.2f) * rng.Unit(), x = cx + u * rx;
        const float lit = Clamp01(1.1f - (y - top) / ry - 0.3f * u);
        FillEllipse(img, x, y, rng.Range(3, 6), rng.Range(1.5f, 3),
                    Mix(Rgb(150, 96, 26), Rgb(255, 236, 140), lit));
    }
    img.Glow(cx - rx * 0.2f, cy - ry * 0.6f, rx * 0.8f, Rgb(255, 210, 110), 0.2f, 2.0f, true);
}

// The chest, open: its lid thrown back, gold heaped and glowing inside.
void PaintOpenChest(Image& img, const Box& lid)
{
    const float x0 = lid.x + 12, x1 = lid.x + lid.w - 12;
    // The lid, thrown back and seen nearly edge-on.
    img.RoundRect(x0 - 6, lid.y + 6, x1 + 6, lid.y + 44, 10, Rgb(80, 40, 30));
    img.RoundRect(x0, lid.y + 12, x1, lid.y + 38, 8, Rgb(120, 64, 40));
    // The inside, heaped with gold.
    img.RoundRect(x0, lid.y + 40, x1, lid.y + 132, 6, Rgb(60, 30, 20));
    PaintGoldHeap(img, lid.Cx(), lid.y + 122, (x1 - x0) / 2 - 6, 60, 300, 420);
    for (int i = 0; i < 6; ++i)
        PaintGem(img, x0 + 40 + i * 42.0f, lid.y + 86 + 14 * std::sin(i * 1.7f), 8, i * 2 + 1, GemColour(i * 2));
    img.Glow(lid.Cx(), lid.y + 90, 170, Rgb(255, 220, 120), 0.6f, 1.6f, true);
    // The front: dark wood, gilded bands and the lock.
    for (int y = static_cast<int>(lid.y) + 132; y < static_cast<int>(lid.y + lid.h) - 4; ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            Color c = Scale(Rgb(110, 60, 36), 0.7f + 0.35f * Fbm(x / 40.0f, y / 4.0f, 430, 3));
            if (std::fabs(x - x0 - 30) < 10 || std::fabs(x1 - 30 - x) < 10 || std::fabs(y - lid.y - 140) < 6)
                c = Scale(Rgb(220, 170, 70), 0.8f + 0.3f * Fbm(x / 6.0f, y / 6.0f, 431, 2));
            c = Mix(c, Rgb(255, 200, 100), 0.3f * Smooth(lid.y + 200, lid.y + 132, y));
            img.At(x, y) = c;
        }
    img.RoundRect(lid.Cx() - 18, lid.y + 150, lid.Cx() + 18, lid.y + 190, 6, Rgb(230, 180, 80));
    FillEllipse(img, lid.Cx(), lid.y + 166, 5, 7, Rgb(40, 20, 10));
}

// The chest, closed, over a copy of the open chest's surroundings: its lid
// hides the gold.
void PaintClosedChest(Image& img, const Box& at)
{
    const float x0 = at.x + 12, x1 = at.x + at.w - 12, top = at.y + 30;
    for (int y = static_cast<int>(top); y < static_cast<int>(at.y) + 140; ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const float v = (y - top) / (at.y + 140 - top);
            // The lid's curve: lit along its crown.
            const float curve = std::sin(kPi * (0.15f + 0.85f * v));
            Color c = Scale(Rgb(124, 68, 42), 0.55f + 0.5f * curve);
            c = Scale(c, 0.8f + 0.3f * Fbm(x / 50.0f, y / 5.0f, 440, 3));
            if (std::fabs(x - x0 - 30) < 10 || std::fabs(x1 - 30 - x) < 10 || (y - top) < 8)
                c = Scale(Rgb(226, 176, 74), 0.6f + 0.5f * curve);
            img.At(x, y) = c;
        }
    img.RoundRect(x0 - 4, at.y + 136, x1 + 4, at.y + 146, 3, Rgb(200, 150, 60));
    // Gold light leaks through the seam.
    img.Glow((x0 + x1) / 2, at.y + 140, 120, Rgb(255, 210, 110), 0.25f, 2.5f, true);
}

Image MakeTreasury(const SceneConfig& cfg, const Box& lid)
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    PaintVault(img);
    PaintGoldHeap(img, 140, 700, 190, 110, 600, 450);
    PaintGoldHeap(img, 890, 690, 200, 120, 600, 451);
    PaintOpenChest(img, lid);
    PaintSockets(img, cfg, kSection, 12, Rgb(236, 190, 96));
    Vignette(img, 0.45f);
    return img;
}

// The elements over the vault: the carved arch at its top (texels 0..482 x
// 0..232), the closed lid (0..302 x 232..496) and the lid's shadow band,
// standing upright in 306..338 x 236..396.
Image MakeElements(const Image& scene, const Box& lid)
{
    Image img(512, 512, Color{0, 0, 0, 0});
    // The arch's underside curves up from the sides.
    auto soffit = [](int x) {
        const float u = (x - 241.0f) / 241.0f;
        return 232.0f * (0.55f + 0.35f * (1 - u * u));
    };
    PaintStoneBlocks(
        img, Box{0, 0, 482, 232}, [&](int x, int y) { return y < soffit(x) + 23; }, Rgb(112, 94, 88), 60, 30, 465);
    for (int y = 0; y < 232; ++y)
        for (int x = 0; x < 482; ++x) {
            const float edge = soffit(x) + 23 - y;
            if (edge < -1)
                continue;
            Color c = Mix(img.At(x, y), Rgb(28, 22, 66), 0.35f + 0.25f * Smooth(0, 120, edge));
            if (std::fabs(edge - 14) < 4)
                c = Scale(Rgb(226, 176, 84), 0.8f + 0.2f * std::sin(x * 0.5f)); // gilded moulding
            c.a = Clamp01(edge + 0.5f);
            img.At(x, y) = c;
        }
    // The keystone's emblem.
    img.Glow(241, 40, 40, Rgb(255, 210, 110), 0.5f, 2.0f, false);
    PaintGem(img, 241, 40, 16, 0, Rgb(232, 36, 70));
    // Chains with lamps hanging from the arch.
    for (float lx : {120.0f, 362.0f}) {
        StrokeSegment(img, {lx, 150}, {lx, 196}, 2, Rgb(180, 140, 70));
        FillEllipse(img, lx, 204, 12, 10, Rgb(200, 150, 60));
        img.Glow(lx, 210, 22, Rgb(255, 220, 140), 1.0f, 1.5f, false);
    }
    // The closed lid, over the picture as it stands round it.
    Image closed = scene;
    PaintClosedChest(closed, lid);
    CopyResampled(closed, lid, img, Box{0, 232, lid.w, lid.h});
    for (int y = 232; y < 232 + static_cast<int>(lid.h); ++y)
        for (int x = 0; x < static_cast<int>(lid.w); ++x)
            img.At(x, y).a = 1;
    // The shadow band: darkest along its middle, white meaning shade.
    for (int y = 236; y < 396; ++y)
        for (int x = 306; x < 338; ++x) {
            const float across = (x - 306) / 32.0f, along = (y - 236) / 160.0f;
            const float k = 0.6f * std::exp(-std::pow((across - 0.4f) * 3, 2.0f)) * Smooth(0.0f, 0.15f, along) *
                            Smooth(1.0f, 0.85f, along);
            img.At(x, y) = Color{k, k, k, k};
        }
    return img;
}

// Sun shafts: bands along v, seamless in v, black at both u edges.
Image MakeSunRays()
{
    Image img(256, 256, Color{0, 0, 0, 1});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float u = (x + 0.5f) / 256;
            const float bands = std::pow(Fbm(u * 9, y / 256.0f * 2, 470, 3, 2), 2.5f) * 2.2f;
            const float k = Clamp01(bands) * std::sin(kPi * u) * 0.4f;
            img.At(x, y) = Color{k, k * 0.85f, k * 0.6f, 1};
        }
    return img;
}

bool WriteTreasury(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    const Box lid = BoxOf(cfg.Numbers(kSection, "ChestForm", "329 302 302 264"));
    Image scene = MakeTreasury(cfg, lid);
    const Image elements = MakeElements(scene, lid);
    if (!PaintProgressBand(scene, cfg, kSection, 12, 12))
        return false;
    // The shafts fall from the upper left; the gold glows round the chest.
    const Image mask = MakeMask(256, 256, [](float u, float v) {
        if (v > 0.75f)
            return 0.0f;
        const float x = u * 1024, y = v / 0.75f * 768;
        const float shafts = Smooth(0.8f, 0.2f, std::fabs((x - 200) - y * 0.6f) / 400.0f);
        const float gold = std::exp(-std::hypot(x - 480, y - 430) / 260.0f);
        return 0.12f + 0.5f * shafts + 0.2f * gold;
    });
    const Image dust = MakeMotes(256, 240, 480, Rgb(255, 255, 255), 0.8f, 2.6f);
    return out.Save("Treasury.jpg", scene) && out.Save("TreasuryDust.tga", dust) &&
           out.Save("TreasuryDust_alpha.tga", dust.AlphaAsGrey()) && out.Save("TreasuryMask.tga", mask) &&
           out.Save("TreasuryElements.tga", elements) &&
           out.Save("TreasuryElements_alpha.tga", elements.AlphaAsGrey()) &&
           out.Save("TreasuryRays.jpg", MakeSunRays());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "treasury", WriteTreasury); }
