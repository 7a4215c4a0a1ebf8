// The door, the fourth stage's scene: a temple wall at dusk, the closed
// stone door under an arch of ten sockets, torches, steps; the leaf shadows
// over the steps and their mask; and the foliage texture, which also holds
// the door's pieces for its opening: the sanctum beyond it, the door leaf
// exactly as the wall picture paints it, and the lintel's shade.
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const char* const kSection = "Door";

void PaintWall(Image& img)
{
    PaintStoneBlocks(
        img, Box{-40, 0, 1100, 470}, [](int, int) { return true; }, Rgb(132, 108, 92), 118, 54, 300);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            Color& c = img.At(x, y);
            if (y >= 470) {
                // Steps, then the court's flagstones.
                const int step = y < 600 ? (y - 470) / 42 : 3;
                const float inset = 180.0f - 60.0f * static_cast<float>(step);
                Color s = Rgb(120, 100, 88);
                if (y < 600 && (x < 300 + inset - 180 || x > 724 - inset + 180))
                    s = Rgb(96, 82, 76);
                s = Scale(s, 0.8f + 0.3f * Fbm(x / 18.0f, y / 6.0f, 310, 3));
                if (y < 600 && (y - 470) % 42 < 5)
                    s = Scale(s, 1.25f); // the lit nose of each step
                if (y >= 600 && (static_cast<int>(x + (y - 600) * 0.3f) % 110 < 3 || (y - 600) % 44 < 2))
                    s = Scale(s, 0.6f);
                c = s;
            }
            // Dusk on the stone, and the torches' warmth.
            c = Mix(c, Rgb(34, 28, 72), 0.42f + 0.2f * Smooth(0, 768, y) + 0.25f * Smooth(200, 0, y));
            c = Scale(c, 0.8f + 0.3f * Fbm(x / 60.0f, y / 60.0f, 305, 4)); // weathering
            const float torch = std::exp(-std::hypot(x - 160.0f, y - 280.0f) / 220.0f) +
                                std::exp(-std::hypot(x - 864.0f, y - 280.0f) / 220.0f);
            c = Mix(c, Rgb(255, 170, 80), 0.45f * Clamp01(torch));
        }
}

void PaintPillar(Image& img, float cx)
{
    for (int y = 0; y < 560; ++y)
        for (int x = static_cast<int>(cx) - 40; x < static_cast<int>(cx) + 40; ++x) {
            const float u = (x - cx) / 40.0f;
            Color c = Scale(Rgb(150, 124, 104), 0.55f + 0.5f * std::sqrt(Clamp01(1 - u * u)) * (0.8f - 0.3f * u));
            c = Scale(c, 0.85f + 0.25f * Fbm(x / 12.0f, y / 40.0f, 320, 3));
            c = Mix(c, Rgb(50, 40, 80), 0.3f);
            img.At(x, y) = c;
        }
    // The torch in its bracket.
    img.RoundRect(cx - 8, 290, cx + 8, 330, 3, Rgb(60, 44, 36));
    FillEllipse(img, cx, 288, 16, 7, Rgb(90, 64, 40));
    img.Glow(cx, 262, 70, Rgb(255, 140, 50), 0.9f, 1.4f, true);
    img.Glow(cx, 268, 26, Rgb(255, 230, 170), 1.0f, 1.2f, true);
}

// The closed door in its frame, and the carved arch the sockets sit in.
void PaintDoor(Image& img, const Box& door, const SceneConfig& cfg)
{
    const float cx = door.Cx(), cy = door.y + door.h / 2;
    // The arch band behind the sockets.
    const Box top = BoxOf(cfg.Numbers(kSection, "Gem5"));
    const float r = cy + 14 - top.Cy();
    for (int y = 80; y < 470; ++y)
        for (int x = static_cast<int>(cx - r - 50); x < static_cast<int>(cx + r + 50); ++x) {
            const float d = std::hypot(x - cx, y - (cy + 14));
            if (std::fabs(d - r) < 40 && y < cy + 120) {
                Color c = Scale(Rgb(110, 90, 84), 0.8f + 0.2f * Fbm(x / 9.0f, y / 9.0f, 330, 3));
                c = Scale(c, std::fabs(d - r) > 34 ? 0.6f : 1.0f);
                if (std::fabs(std::fabs(d - r) - 30) < 1.5f)
                    c = Rgb(214, 166, 80); // gold inlay
                img.Blend(x, y, Mix(c, Rgb(40, 34, 80), 0.3f), Clamp01(40 - std::fabs(d - r)));
            }
        }
    // Frame: jambs and lintel.
    img.RoundRect(door.x - 26, door.y - 30, door.x + door.w + 26, door.y + door.h + 6, 4, Rgb(60, 48, 50));
    img.RoundRect(door.x - 22, door.y - 26, door.x + door.w + 22, door.y + door.h + 2, 3, Rgb(150, 120, 96));
    img.RoundRect(door.x - 30, door.y - 34, door.x + door.w + 30, door.y - 8, 3, Rgb(170, 136, 100));
    // The leaf: one slab with carved panels and a sun disc.
    for (int y = static_cast<int>(door.y); y < static_cast<int>(door.y + door.h); ++y)
        for (int x = static_cast<int>(door.x); x < static_cast<int>(door.x + door.w); ++x) {
            const float u = (x - door.x) / door.w, v = (y - door.y) / door.h;
            Color c = Scale(Rgb(120, 98, 84), 0.8f + 0.3f * Fbm(x / 10.0f, y / 14.0f, 340, 4));
            const float pu = std::fabs(u - 0.5f), pv = std::fabs(v - 0.55f);
            if ((pu > 0.36f && pu < 0.4f && pv < 0.38f) || (pv > 0.38f && pv < 0.41f && pu < 0.4f))
                c = Scale(c, 0.6f); // the panel's groove
            const float sun = std::hypot(u - 0.5f, (v - 0.3f) * door.h / door.w);
            if (sun < 0.16f)
                c = Mix(c, Rgb(220, 170, 80), sun < 0.12f ? 0.8f : 0.4f);
            c = Mix(c, Rgb(40, 34, 80), 0.3f);
            c = Scale(c, 1.0f - 0.35f * Smooth(0.5f, 0.0f, v) * 0.5f);
            img.At(x, y) = c;
        }
}

Image MakeDoorScene(const SceneConfig& cfg, const Box& door)
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    PaintWall(img);
    PaintPillar(img, 160);
    PaintPillar(img, 864);
    PaintDoor(img, door, cfg);
    PaintSockets(img, cfg, kSection, 10, Rgb(224, 176, 90));
    Vignette(img, 0.35f);
    return img;
}

// Curtains of foliage from the top corners, transparent below and inwards,
// and under them the door's pieces.
Image MakeFoliage(const Image& scene, const Box& door)
{
    Image img(512, 1024, Color{0.1f, 0.2f, 0.1f, 0});
    // The left curtain fills texels (0, 0)-(508, 348); its top-left is the
    // screen's corner (less the shift). The right one is its mirror below.
    for (int side = 0; side < 2; ++side) {
        Image curtain(508, 348, Color{0.1f, 0.2f, 0.1f, 0});
        Rng rng(350 + side);
        for (int i = 0; i < 26; ++i) {
            const float x = rng.Range(20, 480), length = rng.Range(60, 300) * (1.2f - x / 500.0f);
            Pt last{x, 0};
            for (int k = 1; k <= 12; ++k) {
                const Pt p{x + 14 * std::sin(k * 0.7f + i), length * k / 12.0f};
                StrokeSegment(curtain, last, p, 2.5f, Rgb(30, 50, 26));
                PaintLeaf(curtain, p.x + rng.Range(-8, 8), p.y, rng.Range(16, 26), 9, rng.Range(0.8f, 2.3f),
                          Mix(Rgb(40, 84, 40), Rgb(120, 150, 70), rng.Unit() * 0.5f));
                last = p;
            }
        }
        for (int i = 0; i < 22; ++i)
            PaintFoliageClump(curtain, rng.Range(0, 500) * (i < 12 ? 1.0f : 0.25f),
                              rng.Range(0, i < 12 ? 50 : 300), 60, 30, Rgb(46, 92, 44), 360 + side * 40 + i, 30);
        for (int y = 0; y < 348; ++y)
            for (int x = 0; x < 508; ++x) {
                const Color c = curtain.At(side == 0 ? x : 507 - x, y);
                img.At(side == 0 ? x : x + 4, side == 0 ? y : y + 352) = Color{c.r, c.g, c.b, c.a};
            }
    }
    // Beyond the door: the sanctum's golden light.
    for (int y = 714; y < 978; ++y)
        for (int x = 2; x < 168; ++x) {
            const float u = (x - 85.0f) / 83.0f, v = (y - 714) / 264.0f;
            Color c = Mix(Rgb(255, 226, 150), Rgb(120, 60, 30), Clamp01(std::fabs(u) * 0.8f + v * 0.5f));
            c = Mix(c, Rgb(255, 250, 220), 0.6f * std::exp(-(u * u * 4 + (v - 0.4f) * (v - 0.4f) * 10)));
            img.At(x, y) = Color{c.r, c.g, c.b, 1};
        }
    // The leaf, exactly as the wall picture paints it.
    CopyResampled(scene, door, img, Box{170, 712, door.w, door.h});
    for (int y = 712; y < 712 + static_cast<int>(door.h); ++y)
        for (int x = 170; x < 170 + static_cast<int>(door.w); ++x)
            img.At(x, y).a = 1;
    // The lintel's shade on the leaf as it sinks: darkest at the top, and a
    // little at the sides.
    for (int y = 712; y < 712 + static_cast<int>(door.h); ++y)
        for (int x = 340; x < 340 + static_cast<int>(door.w); ++x) {
            const float v = (y - 712) / door.h, u = (x - 340) / door.w;
            const float k =
                Clamp01(0.75f * Smooth(0.25f, 0.0f, v) + 0.3f * Smooth(0.15f, 0.0f, std::min(u, 1 - u)));
            img.At(x, y) = Color{k, k, k, k};
        }
    return img;
}

// Dappled light: the shade of leaves, white where it is deepest.
Image MakeShadow()
{
    Image img(512, 128, Color{0, 0, 0, 1});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            // Clumps of shade, broken into dapples by the leaves.
            const float clumps = Smooth(0.35f, 0.65f, Fbm(x / 64.0f, y / 32.0f, 370, 4, 8));
            const float dapples = Smooth(0.4f, 0.6f, Fbm(x / 12.0f, y / 8.0f, 371, 3, 0));
            const float k = Clamp01(0.5f * clumps * (0.4f + 0.6f * dapples));
            img.At(x, y) = Color{k, k, k, 1};
        }
    return img;
}

bool WriteDoor(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    const Box door = BoxOf(cfg.Numbers(kSection, "Door", "366 187 170 268"));
    Image scene = MakeDoorScene(cfg, door);
    const Image foliage = MakeFoliage(scene, door);
    if (!PaintProgressBand(scene, cfg, kSection, 10, 10))
        return false;
    const Image mask = MakeMask(256, 128, [](float u, float v) {
        return Smooth(0.0f, 0.35f, v) * Smooth(0.0f, 0.1f, u) * Smooth(1.0f, 0.9f, u);
    });
    return out.Save("Door.jpg", scene) && out.Save("DoorShadow.jpg", MakeShadow()) &&
           out.Save("DoorMask.tga", mask) && out.Save("DoorFoliage.tga", foliage) &&
           out.Save("DoorFoliage_alpha.tga", foliage.AlphaAsGrey());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "door", WriteDoor); }
