// The quest map: a parchment chart of the five stages (museum town, jungle,
// valley, temple door, treasury) along one route, and the pictures that
// reveal the later regions in place as the quest reaches them.
//
// Every picture is cut from the map painted in one state, so overlays meet
// the base map without a seam:
//   Map.jpg, 1024 x 1024: rows 0-767 the map at stage 1 (rows 600-767 the
//     story scroll); rows 768-1023 the jungle revealed at stage 2, as two
//     strips: texels x 0-511 = map x 0-511, y 0-255; texels x 512-1023 = map
//     x 0-511, y 256-511.
//   MapDiff3.jpg, 1024 x 512: map x 0-1023, y 0-511 at stage 3.
//   MapDiff4_1.jpg, MapDiff4_2.jpg, 512 x 512: the left and right halves of
//     map rows 0-511 at stage 4 (the left half stays so at stage 5).
//   MapDiff5_1.jpg, MapDiff5_2.jpg, 512 x 256: map x 512-1023, y 0-255 and
//     y 256-511 at stage 5.
// The level spots (forms draw them from MapIcons.png) stand on the route at
// the points of kSpots; the map's forms quote them.
#include <algorithm>
#include <cmath>

#include "output.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::art;

namespace {

const float kPi = 3.14159265f;

// The level spots of the five stages, in map pixels (y down): 5, 6, 8, 10
// and 12 of them, one per level of the stage.
const Pt kSpots[] = {
    {92, 556},  {150, 546}, {208, 536}, {262, 518}, {310, 490},                                     // museum town
    {330, 446}, {286, 398}, {246, 344}, {238, 282}, {276, 222}, {340, 182},                         // jungle
    {420, 160}, {480, 186}, {526, 232}, {556, 288}, {590, 338}, {636, 376}, {692, 396}, {752, 392}, // valley
    {808, 418}, {858, 440}, {910, 436}, {948, 406}, {964, 362}, {954, 318}, {922, 284}, {880, 262},
    {834, 250}, {790, 238}, // temple door
    {752, 212}, {720, 176}, {702, 134}, {706, 92},  {736, 58},  {780, 40},  {826, 44},  {866, 64},
    {902, 86},  {940, 84},  {968, 62},  {988, 36}, // treasury
};
const int kStageSizes[] = {5, 6, 8, 10, 12};
constexpr int kStages = 5;
constexpr int kMapH = 768;
constexpr int kScrollTop = 600;

// Where each stage may change the map: later pictures cover only these.
struct Box {
    float x0, y0, x1, y1;
};
const Box kStageBox[kStages] = {
    {0, 0, 1024, 768}, {0, 0, 500, 500}, {0, 0, 1024, 500}, {0, 0, 1024, 500}, {524, 0, 1024, 500}};

int FirstSpot(int stage)
{
    int first = 0;
    for (int s = 0; s < stage; ++s)
        first += kStageSizes[s];
    return first;
}

// A painted region: full colour in its own layer, so that the same picture
// can be laid down as a faint pencil sketch before the stage is reached.
class Layer {
public:
    Layer() : img(1024, kMapH, Color{0, 0, 0, 0}) {}
    Image img;
};

float BoxMask(const Box& b, float x, float y)
{
    const float d = std::min(std::min(x - b.x0, b.x1 - x), std::min(y - b.y0, b.y1 - y));
    return Smooth(0.0f, 14.0f, d);
}

// Watercolour wash: a soft blob of colour with a darker rim, like pigment
// drying at its edge.
void Wash(Image& img, float cx, float cy, float rx, float ry, const Color& c, float k, uint32_t seed)
{
    for (int y = static_cast<int>(cy - ry - 20); y < static_cast<int>(cy + ry + 20); ++y)
        for (int x = static_cast<int>(cx - rx - 20); x < static_cast<int>(cx + rx + 20); ++x) {
            const float dx = (x - cx) / rx, dy = (y - cy) / ry;
            const float wobble = 0.25f * (Fbm(x / 40.0f, y / 40.0f, seed, 4) - 0.5f);
            const float d = std::hypot(dx, dy) + wobble;
            if (d >= 1)
                continue;
            const float rim = Smooth(0.75f, 0.97f, d) * (1 - Smooth(0.97f, 1.0f, d));
            const float body = 1 - Smooth(0.9f, 1.0f, d);
            img.Blend(x, y, c, k * (0.55f * body + 0.45f * rim));
        }
}

void Tree(Image& img, float x, float y, float r, const Color& leaf, uint32_t seed)
{
    Stroke(img, {x, y + r * 0.6f}, {x, y + r * 1.3f}, std::max(1.5f, r * 0.2f), kInk, 0.8f);
    Rng rng(seed);
    for (int i = 0; i < 3; ++i) {
        const float ox = rng.Range(-0.35f, 0.35f) * r, oy = rng.Range(-0.3f, 0.2f) * r;
        Disc(img, x + ox, y + oy, r * rng.Range(0.6f, 0.8f), Mix(leaf, Rgb(20, 60, 20), rng.Range(0, 0.35f)));
    }
    Ring(img, x, y, r * 0.85f, r * 0.85f + 1.3f, kInk, 0.55f);
}

void House(Image& img, float x, float y, float w, const Color& roof)
{
    img.RoundRect(x - w / 2, y - w * 0.3f, x + w / 2, y + w * 0.4f, 1, Rgb(236, 214, 170));
    FillPoly(img, {{x - w * 0.62f, y - w * 0.28f}, {x, y - w * 0.8f}, {x + w * 0.62f, y - w * 0.28f}}, roof);
    Stroke(img, {x - w / 2, y + w * 0.4f}, {x + w / 2, y + w * 0.4f}, 1.2f, kInk, 0.7f);
    Stroke(img, {x - w * 0.62f, y - w * 0.28f}, {x, y - w * 0.8f}, 1.2f, kInk, 0.7f);
    Stroke(img, {x, y - w * 0.8f}, {x + w * 0.62f, y - w * 0.28f}, 1.2f, kInk, 0.7f);
}

void Label(Image& img, const char* text, float x, float y, int size)
{
    DrawLine(img, SerifBold(), size, text, x + 1, y + 1, Rgb(250, 236, 200, 0.8f), Align::Center);
    DrawLine(img, SerifBold(), size, text, x, y, kInk, Align::Center);
}

void PaintTown(Layer& l)
{
    Image& img = l.img;
    Wash(img, 190, 520, 170, 82, Rgb(150, 180, 100), 0.45f, 11);
    Wash(img, 130, 585, 120, 26, Rgb(96, 150, 196), 0.5f, 12); // the harbour
    Rng rng(5);
    for (int i = 0; i < 34; ++i) {
        const float a = rng.Range(0, 2 * kPi), r = std::sqrt(rng.Unit());
        const float x = 190 + 130 * r * std::cos(a), y = 520 + 56 * r * std::sin(a);
        if (std::hypot(x - 176, y - 506) < 46)
            continue;
        House(img, x, y, rng.Range(9, 14), rng.Unit() < 0.6f ? Rgb(192, 74, 50) : Rgb(90, 104, 150));
    }
    // The museum: a colonnade under a gold dome.
    img.RoundRect(146, 498, 206, 526, 1, Rgb(244, 228, 196));
    for (int c = 0; c < 6; ++c)
        Stroke(img, {151 + c * 10.0f, 502}, {151 + c * 10.0f, 524}, 2.2f, kSepia);
    FillPoly(img, {{140, 500}, {176, 486}, {212, 500}}, Rgb(226, 204, 160));
    Disc(img, 176, 484, 16, kGold);
    img.RoundRect(152, 484, 200, 490, 1, Rgb(226, 204, 160));
    Stroke(img, {140, 527}, {212, 527}, 2, kInk);
    img.Glow(176, 480, 10, kGoldLight, 0.8f, 1.5f, false);
    for (int i = 0; i < 14; ++i)
        Tree(img, rng.Range(60, 340), rng.Range(450, 590), rng.Range(5, 8), Rgb(70, 130, 60), 100 + i);
}

void PaintJungle(Layer& l)
{
    Image& img = l.img;
    Wash(img, 250, 250, 230, 220, Rgb(60, 140, 70), 0.55f, 21);
    Wash(img, 330, 200, 150, 120, Rgb(40, 110, 60), 0.35f, 22);
    // A river from the hills down to the west.
    std::vector<Pt> river;
    for (int i = 0; i <= 40; ++i) {
        const float t = i / 40.0f;
        river.push_back({30 + 440 * t, 330 - 260 * t + 30 * std::sin(t * 9)});
    }
    for (size_t i = 1; i < river.size(); ++i) {
        Stroke(img, river[i - 1], river[i], 11, Rgb(70, 140, 190), 0.85f);
        Stroke(img, river[i - 1], river[i], 3, Rgb(200, 236, 250), 0.5f);
    }
    Rng rng(23);
    for (int i = 0; i < 190; ++i) {
        const float x = rng.Range(30, 480), y = rng.Range(40, 460);
        if (std::hypot(x - 250, y - 250) > 235)
            continue;
        Tree(img, x, y, rng.Range(8, 15), Mix(Rgb(40, 140, 60), Rgb(120, 180, 60), rng.Unit()), 300 + i);
    }
    // A stone head overgrown in the forest.
    Disc(img, 120, 180, 16, Rgb(150, 150, 140));
    img.RoundRect(108, 176, 116, 180, 1, kInk);
    img.RoundRect(124, 176, 132, 180, 1, kInk);
    Stroke(img, {114, 190}, {126, 190}, 2, kInk);
}

void PaintValley(Layer& l)
{
    Image& img = l.img;
    Wash(img, 600, 290, 190, 150, Rgb(200, 150, 96), 0.45f, 31);
    // Two ridges along a river through the canyon.
    std::vector<Pt> north, south, river;
    for (int i = 0; i <= 30; ++i) {
        const float t = i / 30.0f;
        const float x = 430 + 350 * t, y = 150 + 250 * t + 22 * std::sin(t * 7);
        river.push_back({x, y});
        north.push_back({x + 44, y - 40 - 14 * std::sin(t * 13)});
        south.push_back({x - 44, y + 40 + 12 * std::sin(t * 11 + 1)});
    }
    auto ridge = [&](const std::vector<Pt>& edge, float dx, float dy) {
        std::vector<Pt> poly = edge;
        for (auto it = edge.rbegin(); it != edge.rend(); ++it)
            poly.push_back({it->x + dx, it->y + dy});
        FillPoly(img, poly, Rgb(170, 110, 70), 0.6f);
        Hatch(img, poly, 5, 0.9f, 1.0f, kInk, 0.35f);
        for (size_t i = 1; i < edge.size(); ++i)
            Stroke(img, edge[i - 1], edge[i], 1.6f, kInk, 0.8f);
    };
    ridge(north, 38, -34);
    ridge(south, -36, 36);
    for (size_t i = 1; i < river.size(); ++i) {
        Stroke(img, river[i - 1], river[i], 9, Rgb(70, 140, 190), 0.85f);
        Stroke(img, river[i - 1], river[i], 2.5f, Rgb(200, 236, 250), 0.5f);
    }
    // The rope bridge at the canyon's narrows.
    Stroke(img, {540, 270}, {574, 306}, 4, kSepia);
    for (int i = 0; i < 6; ++i)
        Stroke(img, {542 + i * 6.0f, 276 + i * 6.0f}, {550 + i * 6.0f, 268 + i * 6.0f}, 1.5f, kInk, 0.8f);
    Rng rng(33);
    for (int i = 0; i < 24; ++i)
        Disc(img, rng.Range(460, 780), rng.Range(150, 440), rng.Range(3, 6), Rgb(150, 130, 110));
}

void PaintDoor(Layer& l)
{
    Image& img = l.img;
    Wash(img, 880, 350, 140, 110, Rgb(226, 180, 100), 0.5f, 41);
    for (int i = 0; i < 7; ++i) {
        const float y = 300 + i * 22.0f;
        for (int k = 0; k < 20; ++k) {
            const float x0 = 760 + k * 12.0f;
            Stroke(img, {x0, y + 6 * std::sin(x0 * 0.05f + i)}, {x0 + 12, y + 6 * std::sin((x0 + 12) * 0.05f + i)},
                   1.2f, kSepia, 0.5f);
        }
    }
    // The temple: five steps, a door of turquoise light.
    for (int s = 0; s < 5; ++s) {
        const float half = 70 - s * 11.0f, top = 380 - s * 16.0f;
        img.RoundRect(870 - half, top - 16, 870 + half, top, 1,
                      Mix(Rgb(190, 150, 100), Rgb(150, 110, 70), s / 5.0f));
        Stroke(img, {870 - half, top}, {870 + half, top}, 1.4f, kInk, 0.8f);
        Stroke(img, {870 - half, top - 16}, {870 - half, top}, 1.4f, kInk, 0.8f);
        Stroke(img, {870 + half, top - 16}, {870 + half, top}, 1.4f, kInk, 0.8f);
    }
    img.Glow(870, 356, 26, kTurquoise, 0.7f, 1.5f, false);
    img.RoundRect(860, 344, 880, 380, 3, Rgb(40, 150, 160));
    Stroke(img, {870, 346}, {870, 378}, 1.2f, kInk, 0.7f);
}

void PaintTreasury(Layer& l)
{
    Image& img = l.img;
    Wash(img, 850, 110, 170, 100, Rgb(180, 160, 200), 0.4f, 51);
    Rng rng(53);
    for (int i = 0; i < 9; ++i) {
        const float x = 600 + i * 48.0f + rng.Range(-10, 10), base = 200 + rng.Range(-20, 20),
                    h = rng.Range(50, 90);
        const std::vector<Pt> peak = {{x - 34, base}, {x, base - h}, {x + 34, base}};
        FillPoly(img, peak, Rgb(160, 140, 170), 0.7f);
        Hatch(img, {{x, base - h}, {x + 34, base}, {x + 6, base}}, 4, -0.6f, 1.0f, kInk, 0.45f);
        Stroke(img, peak[0], peak[1], 1.6f, kInk);
        Stroke(img, peak[1], peak[2], 1.6f, kInk);
    }
    // The treasury on its crag, shining.
    img.Glow(960, 60, 70, kGold, 0.5f, 1.5f, false);
    for (int r = 0; r < 16; ++r) {
        const float a = 2 * kPi * r / 16;
        Stroke(img, {960 + 24 * std::cos(a), 60 + 24 * std::sin(a)},
               {960 + 56 * std::cos(a), 60 + 56 * std::sin(a)}, 2, kGold, 0.55f);
    }
    img.RoundRect(936, 52, 984, 80, 2, Rgb(220, 180, 90));
    FillPoly(img, {{930, 54}, {960, 30}, {990, 54}}, Rgb(240, 200, 100));
    for (int c = 0; c < 4; ++c)
        Stroke(img, {942 + c * 12.0f, 56}, {942 + c * 12.0f, 78}, 2, kSepia);
    Stroke(img, {930, 80}, {990, 80}, 2, kInk);
}

// The chart's parchment, frame, compass and the scroll for the story.
Image BaseParchment()
{
    Image img(1024, kMapH, Color{0, 0, 0, 1});
    Parchment(img, 0, 0, 1024, kScrollTop, 71, 0.7f);
    // Double ink frame.
    for (int y = 0; y < kScrollTop; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float d = -Image::RoundRectDist(x + 0.5f, y + 0.5f, 0, 0, 1024, kScrollTop, 0);
            const float a = Clamp01(1.2f - std::fabs(d - 8)) + 0.6f * Clamp01(1 - std::fabs(d - 13));
            if (a > 0)
                img.Blend(x, y, kInk, a * 0.8f);
        }
    // Compass rose in the upper left.
    const Pt c{70, 84};
    Ring(img, c.x, c.y, 30, 31.5f, kInk, 0.7f);
    for (int i = 0; i < 8; ++i) {
        const float a = kPi * i / 4, r = i % 2 == 0 ? 40.0f : 24.0f;
        const Pt tip{c.x + r * std::sin(a), c.y - r * std::cos(a)};
        const Pt l{c.x + 6 * std::sin(a - kPi / 2), c.y - 6 * std::cos(a - kPi / 2)};
        const Pt rr{c.x + 6 * std::sin(a + kPi / 2), c.y - 6 * std::cos(a + kPi / 2)};
        FillPoly(img, {c, l, tip}, i % 2 == 0 ? kInk : kSepia, 0.85f);
        FillPoly(img, {c, tip, rr}, i == 0 ? Rgb(180, 40, 30) : kPaperDark, 0.85f);
    }
    DrawLine(img, SerifBold(), 16, "N", c.x, c.y - 64, kInk, Align::Center);

    // The story scroll under the chart.
    for (int y = kScrollTop; y < kMapH; ++y)
        for (int x = 0; x < 1024; ++x) {
            Color shade = Mix(Rgb(26, 18, 40), Rgb(12, 8, 22), (y - kScrollTop) / 168.0f);
            img.At(x, y) = shade;
        }
    Image scroll(1024, kMapH, Color{0, 0, 0, 0});
    Parchment(scroll, 28, kScrollTop + 10, 996, kMapH - 10, 72, 0.45f);
    for (int y = kScrollTop + 10; y < kMapH - 10; ++y)
        for (int x = 28; x < 996; ++x) {
            Color s = scroll.At(x, y);
            const float shadeEdge = std::min(x - 28, 995 - x) / 30.0f;
            s = Mix(s, kSepia, 0.4f * (1 - Clamp01(shadeEdge)));
            img.Blend(x, y, s, 1);
        }
    for (float x : {28.0f, 996.0f})
        for (int y = kScrollTop + 4; y < kMapH - 4; ++y)
            for (int dx = -12; dx <= 12; ++dx) {
                const float t = dx / 12.0f;
                Color roll = Mix(kPaper, kSepia, std::fabs(t) * 0.8f + 0.1f);
                img.Blend(static_cast<int>(x) + dx, y, roll, Clamp01(12.5f - std::fabs(static_cast<float>(dx))));
            }
    // The medal where the level caption stands.
    Disc(img, 104, 684, 52, kGoldDark);
    Disc(img, 104, 684, 48, kGold);
    Disc(img, 104, 684, 39, Rgb(250, 236, 196));
    Ring(img, 104, 684, 39, 41, kGoldDark);
    for (int i = 0; i < 24; ++i) {
        const float a = 2 * kPi * i / 24;
        Disc(img, 104 + 45 * std::sin(a), 684 - 45 * std::cos(a), 1.8f, kGoldLight);
    }
    return img;
}

// Turns a painted layer into a faint pencil sketch of itself.
Color Sketch(const Color& c)
{
    const float grey = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
    Color s = Mix(Color{grey, grey, grey, 1}, kSepia, 0.3f);
    s.a = c.a * 0.28f;
    return s;
}

void DashedRoute(Image& img, int from, int to, float k)
{
    for (int i = std::max(1, from); i <= to; ++i) {
        const Pt a = kSpots[i - 1], b = kSpots[i];
        const float len = std::hypot(b.x - a.x, b.y - a.y);
        const int dashes = std::max(1, static_cast<int>(len / 9));
        for (int d = 0; d < dashes; d += 2) {
            const float t0 = static_cast<float>(d) / dashes, t1 = static_cast<float>(d + 1) / dashes;
            Stroke(img, {a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0},
                   {a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1}, 2.6f, Rgb(150, 30, 24), k);
        }
    }
}

// The whole chart with stages 1..reached painted and the rest sketched.
Image MapState(int reached, const std::vector<Layer>& layers, const Image& base)
{
    Image img = base;
    for (int s = 0; s < kStages; ++s) {
        const Layer& l = layers[static_cast<size_t>(s)];
        for (int y = 0; y < kScrollTop; ++y)
            for (int x = 0; x < 1024; ++x) {
                const Color& c = l.img.At(x, y);
                if (c.a <= 0)
                    continue;
                const float clip = BoxMask(kStageBox[s], x + 0.5f, y + 0.5f);
                if (s < reached)
                    img.Blend(x, y, c, clip);
                else
                    img.Blend(x, y, Sketch(c), clip);
            }
        const int first = FirstSpot(s), last = first + kStageSizes[s] - 1;
        DashedRoute(img, first, last, s < reached ? 0.9f : 0.25f);
    }
    // Names over the lands reached, question marks over the others.
    struct Name {
        const char* text;
        Pt at;
    };
    const Name names[kStages] = {{"Museum Town", {196, 420}},
                                 {"The Green Deep", {190, 118}},
                                 {"Valley of Echoes", {640, 452}},
                                 {"The Sealed Door", {880, 462}},
                                 {"The Treasury", {800, 226}}};
    for (int s = 0; s < reached; ++s)
        Label(img, names[s].text, names[s].at.x, names[s].at.y, s == 0 ? 20 : 22);
    // Question marks over the lands not yet reached.
    const Pt unknown[kStages] = {{0, 0}, {240, 150}, {600, 250}, {880, 320}, {800, 140}};
    for (int s = std::max(1, reached); s < kStages; ++s)
        DrawLine(img, SerifBold(), 64, "?", unknown[s].x, unknown[s].y, Rgb(112, 72, 40, 0.35f), Align::Center);
    return img;
}

Image Cut(const Image& src, int x, int y, int w, int h)
{
    Image out(w, h);
    Paste(out, src, x, y, w, h, 0, 0);
    return out;
}

bool WriteMapSet(Output& out)
{
    std::vector<Layer> layers(kStages);
    PaintTown(layers[0]);
    PaintJungle(layers[1]);
    PaintValley(layers[2]);
    PaintDoor(layers[3]);
    PaintTreasury(layers[4]);
    const Image base = BaseParchment();

    const Image stage1 = MapState(1, layers, base);
    const Image stage2 = MapState(2, layers, base);
    Image map(1024, 1024, Color{0, 0, 0, 1});
    Paste(map, stage1, 0, 0, 1024, kMapH, 0, 0);
    Paste(map, stage2, 0, 0, 512, 256, 0, 768);
    Paste(map, stage2, 0, 256, 512, 256, 512, 768);
    const Image stage3 = MapState(3, layers, base);
    const Image stage4 = MapState(4, layers, base);
    const Image stage5 = MapState(5, layers, base);
    return out.Save("Map.jpg", map) && out.Save("MapDiff3.jpg", Cut(stage3, 0, 0, 1024, 512)) &&
           out.Save("MapDiff4_1.jpg", Cut(stage4, 0, 0, 512, 512)) &&
           out.Save("MapDiff4_2.jpg", Cut(stage4, 512, 0, 512, 512)) &&
           out.Save("MapDiff5_1.jpg", Cut(stage5, 512, 0, 512, 256)) &&
           out.Save("MapDiff5_2.jpg", Cut(stage5, 512, 256, 512, 256));
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "screens_map", WriteMapSet); }
