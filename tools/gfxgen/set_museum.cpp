// The museum, the first stage's scene: a lamplit gallery with a high window,
// the display shelf of five sockets and the map's rod above it; its dust
// motes, the mask that keeps them in the window's light, and the window's
// turning rays.
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const float kPi = 3.14159265f;
const char* const kSection = "Museum";

// The gallery's back wall: violet plaster warmed by the window and lamps.
void PaintWall(Image& img)
{
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float t = y / 767.0f;
            Color c = Mix(Rgb(22, 16, 48), Rgb(62, 40, 72), Smooth(0.0f, 0.8f, t));
            const float plaster = Fbm(x / 90.0f, y / 70.0f, 11, 5);
            c = Scale(c, 0.86f + 0.28f * plaster);
            // Warmth from the window on the upper left.
            const float window = std::exp(-std::hypot(x - 120.0f, y - 60.0f) / 380.0f);
            c = Mix(c, Rgb(214, 150, 84), 0.45f * window);
            // The dado: darker panels below a gilded rail.
            if (y >= 470) {
                c = Scale(c, 0.62f);
                const int panel = (x + 30) % 150;
                if (panel > 14 && panel < 136 && y > 492 && y < 630)
                    c = Scale(c, 1.25f - 0.25f * Smooth(0.0f, 1.0f, (y - 492) / 138.0f));
                else if (panel == 14 || panel == 136 || y == 492 || y == 630)
                    c = Rgb(150, 110, 60);
            }
            img.At(x, y) = c;
        }
    img.RoundRect(0, 462, 1024, 472, 2, Rgb(206, 156, 72));
    img.RoundRect(0, 52, 1024, 60, 2, Rgb(150, 108, 54));
    img.RoundRect(0, 60, 1024, 64, 1, Rgb(40, 28, 44));
}

// A framed painting: a dim landscape in a gilded frame.
void PaintPainting(Image& img, float x0, float y0, float x1, float y1, uint32_t seed, const Color& sky)
{
    img.RoundRect(x0 - 4, y0 - 4, x1 + 8, y1 + 10, 6, Rgb(0, 0, 0, 0.45f));
    img.RoundRect(x0, y0, x1, y1, 3, Rgb(150, 104, 34));
    img.RoundRect(x0 + 4, y0 + 4, x1 - 4, y1 - 4, 2, Rgb(236, 190, 96));
    img.RoundRect(x0 + 9, y0 + 9, x1 - 9, y1 - 9, 1, Rgb(120, 80, 26));
    const float sunX = x0 + (x1 - x0) * 0.68f, sunY = y0 + (y1 - y0) * 0.45f;
    for (int y = static_cast<int>(y0) + 12; y < static_cast<int>(y1) - 12; ++y)
        for (int x = static_cast<int>(x0) + 12; x < static_cast<int>(x1) - 12; ++x) {
            const float v = (y - y0) / (y1 - y0);
            const float far = 0.55f + 0.1f * (Fbm(x / 50.0f, 1.5f, seed, 3) - 0.5f);
            const float near = 0.7f + 0.14f * (Fbm(x / 30.0f, 4.5f, seed + 1, 3) - 0.5f);
            Color c = Mix(Scale(sky, 0.55f), Mix(sky, Rgb(255, 200, 130), 0.5f), Smooth(0.1f, far, v));
            c = Mix(c, Rgb(255, 226, 160), 0.7f * std::exp(-std::hypot(x - sunX, y - sunY) / 14.0f));
            if (v > far)
                c = Mix(Rgb(70, 60, 96), Rgb(50, 40, 70), (v - far) * 4);
            if (v > near)
                c = Mix(Rgb(40, 46, 36), Rgb(20, 18, 24), (v - near) * 3);
            c = Scale(c, 0.85f + 0.25f * Fbm(x / 9.0f, y / 9.0f, seed + 3, 2));
            img.At(x, y) = c;
        }
    img.Glow((x0 + x1) / 2, y1 + 30, (x1 - x0) * 0.7f, Rgb(255, 200, 120), 0.12f, 2.0f, true);
}

void PaintPilaster(Image& img, float x0, float x1)
{
    for (int y = 0; y < 660; ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const float u = (x - x0) / (x1 - x0);
            const float flute = 0.8f + 0.2f * std::cos(u * kPi * 10);
            Color c = Scale(Rgb(98, 84, 104),
                            flute * (0.7f + 0.4f * u) * (0.9f + 0.15f * Fbm(x / 20.0f, y / 60.0f, 21, 3)));
            img.At(x, y) = c;
        }
    // Gilded capital and base.
    img.RoundRect(x0 - 10, 0, x1 + 10, 36, 4, Rgb(196, 146, 60));
    img.RoundRect(x0 - 6, 36, x1 + 6, 46, 2, Rgb(120, 82, 30));
    img.RoundRect(x0 - 10, 630, x1 + 10, 660, 3, Rgb(150, 110, 50));
}

void PaintWindow(Image& img)
{
    // A tall arched window, cut by the top of the picture, full of evening.
    for (int y = 0; y < 190; ++y)
        for (int x = 20; x < 230; ++x) {
            const float cx = 125.0f;
            if (x < 30 || x > 220)
                continue;
            const float t = y / 190.0f;
            Color c = Mix(Rgb(255, 236, 186), Rgb(236, 150, 80), t);
            const bool bar = std::fabs(x - cx) < 3 || std::fabs(y - 95.0f) < 3;
            if (bar)
                c = Rgb(60, 40, 40);
            img.At(x, y) = c;
        }
    img.RoundRect(18, 186, 232, 200, 3, Rgb(170, 126, 58));
    for (float fx : {22.0f, 222.0f})
        img.RoundRect(fx - 6, 0, fx + 6, 190, 2, Rgb(92, 70, 76));
    img.Glow(125, 90, 260, Rgb(255, 200, 130), 0.25f, 2.0f, true);
    // The light it pours into the room.
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float dx = x - 125.0f, dy = y + 20.0f;
            const float a = std::atan2(dy, dx);
            const float shaft = std::exp(-std::pow((a - 0.95f) / 0.16f, 2.0f)) +
                                0.7f * std::exp(-std::pow((a - 1.35f) / 0.1f, 2.0f));
            const float fade = std::exp(-std::hypot(dx, dy) / 520.0f);
            img.Add(x, y, Rgb(255, 196, 120), 0.22f * shaft * fade);
        }
}

void PaintLamp(Image& img, float cx, float cy)
{
    StrokeSegment(img, {cx, 0}, {cx, cy - 30}, 2, Rgb(70, 52, 30));
    img.Glow(cx, cy, 230, Rgb(255, 170, 70), 0.35f, 1.6f, true);
    FillEllipse(img, cx, cy - 12, 22, 16, Rgb(150, 104, 40));
    FillEllipse(img, cx, cy - 16, 16, 8, Rgb(220, 170, 80));
    img.Glow(cx, cy - 26, 26, Rgb(255, 230, 160), 1.0f, 1.4f, true);
    FillEllipse(img, cx, cy + 4, 14, 8, Rgb(110, 74, 30));
}

// The panel the map unrolls over, and the rod it hangs from.
void PaintMapRod(Image& img, const Box& map)
{
    img.RoundRect(map.x - 14, map.y - 10, map.x + map.w + 14, map.y + map.h + 16, 8, Rgb(0, 0, 0, 0.35f));
    img.RoundRect(map.x - 10, map.y - 8, map.x + map.w + 10, map.y + map.h + 12, 6, Rgb(96, 66, 36));
    img.RoundRect(map.x - 5, map.y - 3, map.x + map.w + 5, map.y + map.h + 7, 4, Rgb(14, 10, 22));
    const float cx = map.Cx();
    StrokeSegment(img, {cx, map.y - 46}, {map.x + 10, map.y - 2}, 1.5f, Rgb(150, 120, 80));
    StrokeSegment(img, {cx, map.y - 46}, {map.x + map.w - 10, map.y - 2}, 1.5f, Rgb(150, 120, 80));
    FillEllipse(img, cx, map.y - 46, 5, 5, Rgb(220, 180, 90));
    for (int y = static_cast<int>(map.y) - 6; y < static_cast<int>(map.y) + 6; ++y)
        for (int x = static_cast<int>(map.x) - 8; x < static_cast<int>(map.x + map.w) + 8; ++x) {
            const float v = (y - (map.y - 6)) / 12.0f;
            img.At(x, y) = Scale(Rgb(150, 96, 44), 0.6f + 0.6f * std::sin(v * kPi));
        }
    FillEllipse(img, map.x - 10, map.y, 8, 8, Rgb(230, 186, 90));
    FillEllipse(img, map.x + map.w + 10, map.y, 8, 8, Rgb(230, 186, 90));
}

// The display shelf: a marble plinth with a gilded trim across its face.
void PaintShelf(Image& img)
{
    for (int y = 516; y < 668; ++y)
        for (int x = 14; x < 414; ++x) {
            Color c;
            if (y < 536) {
                c = Mix(Rgb(196, 176, 170), Rgb(140, 120, 130), (y - 516) / 20.0f);
            } else {
                const float v = (y - 536) / 132.0f;
                c = Mix(Rgb(92, 70, 90), Rgb(44, 30, 50), v);
                c = Scale(c, 0.85f + 0.3f * Fbm(x / 30.0f, y / 14.0f, 31, 4));
            }
            img.At(x, y) = c;
        }
    img.RoundRect(14, 536, 414, 542, 1, Rgb(230, 184, 90));
    // Carved scrolls at the shelf's ends.
    for (float ex : {30.0f, 398.0f}) {
        FillEllipse(img, ex, 590, 13, 40, Rgb(70, 50, 70));
        FillEllipse(img, ex, 568, 11, 11, Rgb(210, 166, 84));
        FillEllipse(img, ex, 568, 6, 6, Rgb(90, 60, 40));
    }
    img.RoundRect(14, 640, 414, 646, 1, Rgb(200, 150, 70));
    img.RoundRect(10, 664, 418, 672, 2, Rgb(20, 14, 26));
    img.Glow(214, 690, 240, Rgb(0, 0, 0), 0.5f, 1.0f, false);
}

void PaintFloor(Image& img)
{
    const float vx = 600.0f, vy = 420.0f;
    for (int y = 660; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float depth = (y - vy) / (768.0f - vy);
            const float u = (x - vx) / depth / 70.0f, w = 1.0f / depth * 6.0f;
            const bool dark = (static_cast<int>(std::floor(u)) + static_cast<int>(std::floor(w))) & 1;
            Color c = dark ? Rgb(34, 26, 46) : Rgb(74, 60, 86);
            c = Scale(c, 0.8f + 0.3f * Fbm(x / 25.0f, y / 8.0f, 41, 3));
            // The lamps and the window shine in the polish.
            c = Mix(c, Rgb(255, 190, 110), 0.25f * std::exp(-std::fabs(x - 640.0f) / 60.0f));
            c = Mix(c, Rgb(255, 210, 150), 0.18f * std::exp(-std::fabs(x - 900.0f) / 50.0f));
            img.At(x, y) = c;
        }
}

Image MakeMuseum(const SceneConfig& cfg)
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    PaintWall(img);
    PaintPainting(img, 478, 140, 628, 330, 51, Rgb(200, 120, 90));
    PaintPainting(img, 690, 110, 850, 330, 52, Rgb(110, 120, 190));
    PaintPilaster(img, 430, 472);
    PaintPilaster(img, 906, 950);
    PaintFloor(img);
    PaintLamp(img, 640, 420);
    PaintLamp(img, 880, 372);
    PaintWindow(img);
    PaintMapRod(img, BoxOf(cfg.Numbers(kSection, "Ray6")));
    PaintShelf(img);
    PaintSockets(img, cfg, kSection, 5, Rgb(226, 176, 84));
    Vignette(img, 0.35f);
    return img;
}

// The map that unrolls over the panel: parchment with a coast, the route
// and the treasure's star; the lower roll at its foot.
void PaintMap(Image& img, const Box& box)
{
    const int x0 = static_cast<int>(box.x), y0 = static_cast<int>(box.y);
    const int w = static_cast<int>(box.w), h = static_cast<int>(box.h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = x / (w - 1.0f), v = y / (h - 1.0f);
            Color c = Rgb(226, 198, 144);
            c = Scale(c, 0.82f + 0.25f * Fbm(u * 6, v * 5, 61, 5));
            const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            c = Scale(c, 0.65f + 0.35f * Smooth(0.0f, 0.08f, edge));
            // Land where the noise rises, the coast inked.
            const float land = Fbm(u * 3 + 1.3f, v * 3 + 0.4f, 62, 4) + 0.15f * (1 - std::fabs(u - 0.5f) * 2);
            if (land > 0.56f)
                c = Mix(c, Rgb(170, 150, 96), 0.45f);
            if (std::fabs(land - 0.56f) < 0.008f)
                c = Rgb(70, 46, 30);
            img.At(x0 + x, y0 + y) = c;
        }
    // The route, dotted, to the star.
    for (int i = 0; i < 18; ++i) {
        const float t = i / 17.0f;
        const float x = x0 + w * (0.15f + 0.65f * t), y = y0 + h * (0.28f + 0.45f * t + 0.1f * std::sin(t * 6));
        FillEllipse(img, x, y, 1.6f, 1.6f, Rgb(150, 40, 30));
    }
    const float sx = x0 + w * 0.82f, sy = y0 + h * 0.76f;
    img.Glow(sx, sy, 18, Rgb(255, 200, 80), 0.8f, 1.5f, false);
    StrokeSegment(img, {sx - 7, sy - 7}, {sx + 7, sy + 7}, 2, Rgb(170, 30, 24));
    StrokeSegment(img, {sx - 7, sy + 7}, {sx + 7, sy - 7}, 2, Rgb(170, 30, 24));
    // A compass rose in the corner.
    const float cx = x0 + w * 0.2f, cy = y0 + h * 0.72f;
    for (int k = 0; k < 4; ++k) {
        const float a = k * kPi / 2;
        FillPolygon(img,
                    {{cx + 14 * std::cos(a), cy + 14 * std::sin(a)},
                     {cx + 3 * std::cos(a + kPi / 2), cy + 3 * std::sin(a + kPi / 2)},
                     {cx, cy}},
                    Rgb(90, 60, 36));
    }
    // The lower roll.
    for (int y = h - 12; y < h; ++y)
        for (int x = -2; x < w + 2; ++x) {
            const float v = (y - (h - 12)) / 12.0f;
            img.At(x0 + std::clamp(x, 0, w - 1), y0 + y) =
                Scale(Rgb(190, 160, 110), 0.5f + 0.6f * std::sin(v * kPi));
        }
}

// Bright where the window's light falls; the screen is its top 192 rows.
Image MakeDustMask()
{
    return MakeMask(256, 256, [](float u, float v) {
        if (v > 0.75f)
            return 0.0f;
        const float x = u * 1024, y = v / 0.75f * 768;
        const float a = std::atan2(y + 20.0f, x - 125.0f);
        const float shaft =
            std::exp(-std::pow((a - 0.95f) / 0.2f, 2.0f)) + 0.8f * std::exp(-std::pow((a - 1.35f) / 0.13f, 2.0f));
        return 0.18f + 0.82f * shaft * std::exp(-std::hypot(x - 125.0f, y) / 700.0f);
    });
}

bool WriteMuseum(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    Image scene = MakeMuseum(cfg);
    if (!PaintProgressBand(scene, cfg, kSection, 5, 5))
        return false;
    PaintMap(scene, CornersOf(cfg.Numbers(kSection, "RayT6")));
    const Image dust = MakeMotes(256, 300, 71, Rgb(255, 242, 216), 1.0f, 3.2f);
    const Image rays = MakeLightRays(512, 81, Rgb(255, 200, 130));
    return out.Save("Museum.jpg", scene) && out.Save("MuseumDust.tga", dust) &&
           out.Save("MuseumDust_alpha.tga", dust.AlphaAsGrey()) &&
           out.Save("MuseumDustMask.tga", MakeDustMask()) && out.Save("MuseumFlareRays.tga", rays) &&
           out.Save("MuseumFlareRays_alpha.tga", rays.AlphaAsGrey());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "museum", WriteMuseum); }
