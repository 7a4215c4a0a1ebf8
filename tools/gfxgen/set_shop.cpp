// The shop's pictures, in the gold and night of the Shop form:
//   ShopCtrls1.png, 512 x 512:
//     totem pictures  104 x 104 each, colour c (0 green .. 6 violet) at
//                     x 104 (c mod 3), y 104 (c div 3): the totem items' cards
//     bar star        x 336-391, y 392-447: a Golden Star resting on a bar
//     stub            x 392-447, y 392-447: the stone plug over a slot that
//                     is not for sale yet; it reads "closed"
//   ShopCtrls2.png, 512 x 512:
//     bonus pictures  104 x 104 each, kind k (2 TNT .. 7 Solidarity) at
//                     x 104 ((k - 2) mod 3), y 104 ((k - 2) div 3)
//     turning star    eight 84 x 84 frames from x 336, y 0: frame k in column
//                     k div 4, row k mod 4; a fifth of a turn over the eight,
//                     with a glint running across
//     panel star      x 336-431, y 336-431
//   ShopPointer.tga, 64 x 64: a soft bright ring with a clear centre, drawn
//     additively over the slots still for sale, growing as it fades.
//   SandboxFront.png and SandboxGlass.tga, 512 x 512: the sand box's bands
//     (the board's) and, inside the rectangles the "Shop" section of
//     "Skin.cfg" gives (SandboxFrontT, SandboxGlassT), the shop's sand glass:
//     its gold frame with the sand, and its glass.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "board_art.h"
#include "output.h"
#include "scenery.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::art;

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kIconCell = 104;

const Color kStarDeep = Rgb(168, 98, 18);
const Color kStarLight = Rgb(255, 242, 184);
const Color kStarGold = Rgb(255, 204, 84);
const Color kStarOutline = Rgb(74, 30, 8);
const Color kStoneLight = Rgb(186, 180, 170);
const Color kStoneDark = Rgb(84, 78, 74);
const Color kSand = Rgb(240, 200, 128);
const Color kSandDeep = Rgb(196, 140, 70);

// The token of colour c that crowns a totem, r its outer radius: the board's
// own silhouette and colours, outlined dark, lit from above.
void Crown(Image& img, int c, float cx, float cy, float r)
{
    const board_art::TokenLook& look = board_art::kLooks[c];
    for (int y = static_cast<int>(cy - r - 3); y <= static_cast<int>(cy + r + 3); ++y)
        for (int x = static_cast<int>(cx - r - 3); x <= static_cast<int>(cx + r + 3); ++x) {
            const float d = board_art::Silhouette(c, (x + 0.5f - cx) / r, (y + 0.5f - cy) / r) * r;
            const float outline = Clamp01(2.5f - d);
            if (outline <= 0)
                continue;
            img.Blend(x, y, Rgb(20, 10, 30), outline * 0.85f);
            const float body = Clamp01(0.5f - d);
            if (body <= 0)
                continue;
            const float t = Clamp01((y + 0.5f - (cy - r)) / (2 * r));
            img.Blend(x, y, board_art::Shade3(look.dark, look.base, look.light, 0.6f - 1.2f * t), body);
        }
    img.Glow(cx - 0.3f * r, cy - 0.4f * r, 0.35f * r, kWhite, 0.7f, 2.0f, false);
}

// A faceted gold star of outer radius r, turned by `turn` radians, with a
// bevelled rim and a dark outline; each ray is lit on the side facing the
// upper left. `glow` adds a warm halo behind it.
void GoldStar(Image& img, float cx, float cy, float r, float turn, float glow)
{
    if (glow > 0)
        img.Glow(cx, cy, r * 1.25f, Rgb(255, 190, 70), glow, 1.6f, false);
    const std::vector<Pt> star = StarPoly(cx, cy, r, r * 0.46f, 5, turn);
    const int x0 = std::max(0, static_cast<int>(cx - r - 2)),
              x1 = std::min(img.Width() - 1, static_cast<int>(cx + r + 2));
    const int y0 = std::max(0, static_cast<int>(cy - r - 2)),
              y1 = std::min(img.Height() - 1, static_cast<int>(cy + r + 2));
    const float sector = 2 * kPi / 5;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = PolyDist(star, px, py);
            if (d > 1.0f)
                continue;
            // Which half of its ray the texel is on, from the ray's axis.
            const float a = std::atan2(px - cx, cy - py) - turn;
            const float within = std::fmod(a + 4 * kPi + sector / 2, sector) / sector; // 0 .. 1, 0.5 on the axis
            // The split along the axis is smoothed over a texel.
            const float toAxis = (0.5f - within) * sector * std::hypot(px - cx, py - cy);
            const float lit = 0.35f + 0.6f * Clamp01(0.5f + toAxis);
            const float light = Clamp01(0.5f - ((px - cx) + (py - cy)) / (3.0f * r));
            const float depth = Clamp01(-d / (0.3f * r));
            Color c = Mix(kStarDeep, kStarLight, Clamp01(lit * (0.45f + 0.55f * depth) * (0.6f + 0.6f * light)));
            c = Mix(c, kStarGold, 0.35f);
            const float rimWidth = std::max(1.2f, r * 0.09f);
            c = Mix(c, kStarLight,
                    0.5f * Smooth(-2.2f * rimWidth, -rimWidth, d) * (1 - Smooth(-rimWidth, -0.8f, d)));
            c = Mix(c, kStarOutline, Smooth(-std::max(1.0f, r * 0.05f) - 0.6f, -0.3f, d));
            c.a = 1.0f;
            img.Blend(x, y, c, Clamp01(0.5f - d));
        }
}

// The stone plug over a locked slot: a round stone with a rim, "closed" cut
// into it.
void Stub(Image& img, float cx, float cy, float r)
{
    img.Glow(cx, cy + r * 0.12f, r * 1.05f, Rgb(0, 0, 0, 0.7f), 0.6f, 2.0f, false);
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
            const float cover = Clamp01(r * 0.92f - d + 0.5f);
            if (cover <= 0)
                continue;
            const float grain = Fbm(x * 0.35f, y * 0.35f, 77, 3);
            const float light = Clamp01(0.55f - (dx + dy) / (2.6f * r));
            Color c = Mix(kStoneDark, kStoneLight, Clamp01(light * 0.8f + grain * 0.35f));
            // The rim: a bevel lit at the top left, shaded at the bottom right.
            if (d > r * 0.72f)
                c = Mix(c, light > 0.5f ? kStoneLight : kStoneDark, 0.6f);
            if (d > r * 0.86f)
                c = Mix(c, Rgb(40, 36, 34), 0.6f);
            c.a = 1.0f;
            img.Blend(x, y, c, cover);
        }
    const int size = static_cast<int>(r * 0.4f);
    const float top = cy - size * 0.62f;
    DrawLine(img, SansBold(), size, "closed", cx + 0.8f, top + 0.8f, Rgb(230, 226, 216, 0.5f), Align::Center);
    DrawLine(img, SansBold(), size, "closed", cx, top, Rgb(40, 34, 30), Align::Center);
}

// A soft bright ring: transparent in the middle and outside, brightest at
// 0.72 of the radius.
Image MakePointerRing()
{
    Image img(64, 64, Color{1, 1, 1, 0});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float r = std::hypot(x + 0.5f - 32, y + 0.5f - 32) / 32;
            float k = std::exp(-std::pow((r - 0.72f) / 0.11f, 2.0f));
            k += 0.25f * std::exp(-std::pow((r - 0.72f) / 0.3f, 2.0f));
            k *= Smooth(1.0f, 0.92f, r);
            Color c = Mix(Rgb(255, 226, 150), kWhite, Clamp01(k));
            c.a = Clamp01(k);
            img.At(x, y) = c;
        }
    return img;
}

Image MakeShopCtrls1()
{
    Image img(512, 512, Color{1, 1, 1, 0});
    for (int c = 0; c < kTokenColours; ++c) {
        const float x0 = static_cast<float>(kIconCell * (c % 3)), y0 = static_cast<float>(kIconCell * (c / 3));
        const float cx = x0 + kIconCell / 2.0f, by = y0 + kIconCell - 3;
        Totem(img, cx, by, 25, c, 6, 2);
        Crown(img, c, cx, by - 3 * 25 - 25 * 0.45f, 25 * 0.42f);
    }
    GoldStar(img, 364, 420, 25, 0, 0.0f);
    Stub(img, 420, 420, 26);
    return img;
}

Image MakeShopCtrls2()
{
    Image img(512, 512, Color{1, 1, 1, 0});
    // The help page's bonus icons, numbered from the gem.
    for (int kind = 2; kind <= 7; ++kind) {
        const int k = kind - 2;
        const float x0 = static_cast<float>(kIconCell * (k % 3)), y0 = static_cast<float>(kIconCell * (k / 3));
        BonusIcon(img, kind - 1, x0 + kIconCell / 2.0f, y0 + kIconCell / 2.0f, 44);
    }
    constexpr int kFrame = 84;
    for (int k = 0; k < 8; ++k) {
        const float cx = 336 + kFrame * (k / 4) + kFrame / 2.0f, cy = kFrame * (k % 4) + kFrame / 2.0f;
        const float turn = 2 * kPi / 5 * static_cast<float>(k) / 8;
        GoldStar(img, cx, cy, 34, turn, 0.35f);
        // The glint runs along the upper left ray and back.
        const float t = std::sin(kPi * static_cast<float>(k) / 8);
        Glint(img, cx - 14 + 10 * t, cy - 16 + 4 * t, 11 + 6 * t, kWhite, 0.7f + 0.3f * t, false);
    }
    GoldStar(img, 384, 384, 40, 0, 0.4f);
    Glint(img, 372, 364, 14, kWhite, 0.7f, false);
    return img;
}

// The half width of the sand glass's bulbs at u (-1 at the top, 1 at the
// bottom), as a share of the widest.
float BulbWidth(float u)
{
    const float a = std::fabs(u);
    return 0.14f + 0.86f * std::pow(std::sin(a * kPi / 2), 0.8f) * (1 - 0.25f * std::pow(a, 10.0f));
}

// The sand glass in its box (x0, y0, w, h): a plate above and below, the
// bulbs between them.
struct GlassBox {
    GlassBox(float bx, float by, float bw, float bh)
        : x0(bx), y0(by), w(bw), h(bh), plate(std::max(5.0f, bh * 0.09f)), cx(bx + bw / 2), innerTop(by + plate),
          half((bh - 2 * plate) / 2), widest(bw / 2 - 7)
    {}
    // -1 at the top of the bulbs, 1 at their bottom.
    float U(float py) const { return (py - (innerTop + half)) / half; }
    float Edge(float u) const { return widest * BulbWidth(u); }
    float x0, y0, w, h, plate, cx, innerTop, half, widest;
};

// The sand glass's frame and sand: a gold plate above and below, two rods,
// sand heaped in the lower bulb, a little left in the upper one and a thin
// stream between.
void SandGlassFront(Image& img, const GlassBox& box)
{
    const float x0 = box.x0, y0 = box.y0, w = box.w, h = box.h, plate = box.plate, cx = box.cx;
    const float innerTop = box.innerTop, innerBottom = box.innerTop + 2 * box.half, widest = box.widest;
    for (int y = static_cast<int>(y0); y < static_cast<int>(y0 + h); ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x0 + w); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float u = box.U(py);
            if (std::fabs(u) >= 1)
                continue;
            const float edge = box.Edge(u) - 1.5f;
            const float off = std::fabs(px - cx);
            float sand = 0;
            if (u > 0.3f) { // the heap in the lower bulb, rounded at its top
                const float heapTop = 0.3f + 0.25f * (off / widest) * (off / widest);
                sand = u > heapTop ? Clamp01(edge - off + 0.5f) : 0;
            } else if (u < -0.04f) { // what is left above: a funnel over the neck
                const float surface = -0.45f + 0.22f * (1 - (off / widest) * (off / widest));
                sand = u >= surface ? Clamp01(edge - off + 0.5f) : 0;
            }
            if (off < 1.2f && u >= -0.1f && u <= 0.5f) // the stream
                sand = std::max(sand, Clamp01(1.2f - off));
            if (sand <= 0)
                continue;
            const float grain = Noise(px * 0.9f, py * 0.9f, 31);
            Color c = Mix(kSand, kSandDeep, Clamp01(0.25f + 0.5f * grain + 0.3f * (off / widest)));
            c.a = 1;
            img.Blend(x, y, c, sand);
        }
    // The rods, then the plates over their ends.
    for (float rx : {x0 + 4.5f, x0 + w - 4.5f})
        for (int y = static_cast<int>(innerTop - 1); y <= static_cast<int>(innerBottom + 1); ++y)
            for (int x = static_cast<int>(rx - 3); x <= static_cast<int>(rx + 3); ++x) {
                const float d = std::fabs(x + 0.5f - rx);
                const float cover = Clamp01(2.3f - d);
                if (cover > 0)
                    img.Blend(x, y, Mix(kGoldLight, kGoldDark, Clamp01((x + 0.5f - rx + 2) / 4)), cover);
            }
    for (float top : {y0, y0 + h - plate}) {
        for (int y = static_cast<int>(top); y < static_cast<int>(top + plate); ++y)
            for (int x = static_cast<int>(x0); x < static_cast<int>(x0 + w); ++x) {
                const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, x0 + 0.5f, top + 0.5f, x0 + w - 0.5f,
                                                     top + plate - 0.5f, plate * 0.4f);
                const float cover = Clamp01(0.5f - d);
                if (cover <= 0)
                    continue;
                Color c = Mix(kGoldLight, kGoldDark, Clamp01((y + 0.5f - top) / plate));
                if (d > -1.2f)
                    c = Mix(c, Rgb(110, 60, 16), 0.55f);
                c.a = 1;
                img.Blend(x, y, c, cover);
            }
        // A turquoise stud in the middle of each plate, as on the sand box.
        const float sy = top + plate / 2;
        for (int y = static_cast<int>(sy - 3); y <= static_cast<int>(sy + 3); ++y)
            for (int x = static_cast<int>(cx - 3); x <= static_cast<int>(cx + 3); ++x) {
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - sy);
                if (d < 2.4f)
                    img.Blend(x, y, Mix(Rgb(190, 255, 250), kTurquoise, d / 2.4f), Clamp01(2.4f - d));
            }
    }
}

// The glass of the sand glass: faint inside, its rim and a reflection
// brighter; white, for the shop tints it.
void SandGlassGlass(Image& img, const GlassBox& box)
{
    for (int y = static_cast<int>(box.y0); y < static_cast<int>(box.y0 + box.h); ++y)
        for (int x = static_cast<int>(box.x0); x < static_cast<int>(box.x0 + box.w); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float u = box.U(py);
            if (std::fabs(u) > 1)
                continue;
            const float inside = box.Edge(u) - std::fabs(px - box.cx); // > 0 inside the glass
            if (inside < -1)
                continue;
            float k = 0.12f;
            k += 0.65f * std::exp(-inside / 1.1f) * Clamp01(inside + 1);
            const float reflection = px - (box.cx - box.Edge(u) * 0.55f);
            k += 0.5f * std::exp(-reflection * reflection / 2.0f) * Clamp01(1 - std::fabs(u) * 1.1f + 0.3f);
            Color c = kWhite;
            c.a = Clamp01(k) * Clamp01(inside + 1);
            img.At(x, y) = c;
        }
}

bool WriteShopSet(Output& out)
{
    const SceneConfig skin(GALVORINE_SKIN_CFG);
    if (!skin.Ok())
        return false;
    auto rect = [&](const char* key, const char* fallback) {
        const std::vector<float> n = skin.Numbers("Shop", key, fallback);
        return n.size() >= 4 ? Box{n[0], n[1], n[2] - n[0], n[3] - n[1]} : Box{};
    };
    const Box front = rect("SandboxFrontT", "162 440 340 500");
    const Box glass = rect("SandboxGlassT", "0 380 178 440");
    Image sandboxFront = MakeSandboxFront();
    Image sandboxGlass = MakeSandboxGlass();
    SandGlassFront(sandboxFront, GlassBox(front.x, front.y, front.w, front.h));
    SandGlassGlass(sandboxGlass, GlassBox(glass.x, glass.y, glass.w, glass.h));
    return out.Save("ShopCtrls1.png", MakeShopCtrls1()) && out.Save("ShopCtrls2.png", MakeShopCtrls2()) &&
           out.Save("ShopPointer.tga", MakePointerRing()) && out.Save("SandboxFront.png", sandboxFront) &&
           out.Save("SandboxGlass.tga", sandboxGlass);
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "shop", WriteShopSet); }
