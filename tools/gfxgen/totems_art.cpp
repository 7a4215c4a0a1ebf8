#include "totems_art.h"

#include <algorithm>
#include <cmath>

#include "screens_art.h"

namespace gfx::totems {

namespace {

const float kPi = 3.14159265f;

struct Material {
    Color dark, base, light;
    uint32_t seed;
    float grain; // how much the stone's grain shows
};

// The stone of each colour: saturated enough to tell at a glance.
const Material kStones[kColours] = {
    {Rgb(12, 62, 36), Rgb(44, 156, 82), Rgb(160, 236, 170), 11, 0.35f},      // green jade
    {Rgb(122, 78, 10), Rgb(230, 182, 46), Rgb(255, 240, 160), 12, 0.30f},    // yellow sandstone
    {Rgb(86, 10, 14), Rgb(194, 42, 38), Rgb(255, 146, 116), 13, 0.35f},      // red jasper
    {Rgb(14, 30, 92), Rgb(46, 94, 204), Rgb(150, 196, 255), 14, 0.35f},      // blue lapis
    {Rgb(124, 48, 6), Rgb(236, 124, 30), Rgb(255, 206, 126), 15, 0.30f},     // orange amber
    {Rgb(132, 128, 136), Rgb(226, 222, 214), Rgb(255, 255, 255), 16, 0.25f}, // white marble
    {Rgb(52, 16, 92), Rgb(138, 62, 204), Rgb(218, 168, 255), 17, 0.35f},     // violet amethyst
};
const Material kGoldMetal{Rgb(140, 84, 18), Rgb(236, 178, 62), Rgb(255, 244, 190), 21, 0.08f};
const Material kSteel{Rgb(70, 78, 96), Rgb(176, 188, 204), Rgb(250, 252, 255), 22, 0.10f};

Color Gain(Color c, const Light& light)
{
    c.r = Clamp01(c.r * light.gain);
    c.g = Clamp01(c.g * light.gain);
    c.b = Clamp01(c.b * light.gain);
    return c;
}

struct Frame {
    Rect r;
    float dw, dh; // the design frame the coordinates are given in
    bool mirror = false;
    Pt operator()(float u, float v) const
    {
        const float x = mirror ? dw - u : u;
        return {r.x + x * r.w / dw, r.y + v * r.h / dh};
    }
    float Scale() const { return r.w / dw; }
    std::vector<Pt> Poly(std::initializer_list<Pt> points) const
    {
        std::vector<Pt> out;
        for (const Pt& p : points)
            out.push_back((*this)(p.x, p.y));
        if (mirror)
            std::reverse(out.begin(), out.end());
        return out;
    }
};

void Bounds(const std::vector<Pt>& poly, float pad, int* x0, int* y0, int* x1, int* y1)
{
    float ax = poly[0].x, bx = ax, ay = poly[0].y, by = ay;
    for (const Pt& p : poly) {
        ax = std::min(ax, p.x);
        bx = std::max(bx, p.x);
        ay = std::min(ay, p.y);
        by = std::max(by, p.y);
    }
    *x0 = static_cast<int>(std::floor(ax - pad));
    *y0 = static_cast<int>(std::floor(ay - pad));
    *x1 = static_cast<int>(std::ceil(bx + pad));
    *y1 = static_cast<int>(std::ceil(by + pad));
}

// A carved piece: the material with its grain, a bevel along the edge lit
// from the top left, darker toward its foot.
void Carve(Image& img, const std::vector<Pt>& poly, const Material& m, float bevel, const Light& light,
           float k = 1.0f)
{
    if (poly.size() < 3)
        return;
    int x0, y0, x1, y1;
    Bounds(poly, 1, &x0, &y0, &x1, &y1);
    const float height = std::max(1.0f, static_cast<float>(y1 - y0));
    for (int y = std::max(0, y0); y <= std::min(img.Height() - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(img.Width() - 1, x1); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = PolyDist(poly, px, py);
            const float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                continue;
            const float grain = Fbm(px / 7.0f, py / 11.0f, m.seed, 4);
            const float vein =
                std::fabs(std::sin(px * 0.09f + py * 0.05f + 6 * Fbm(px / 20.0f, py / 20.0f, m.seed + 3, 3)));
            Color c = Mix(m.dark, m.base, 0.72f + m.grain * (grain - 0.5f) * 1.6f);
            c = Mix(c, m.light, 0.25f * m.grain * Smooth(0.93f, 1.0f, 1 - vein));
            c = Mix(c, m.dark, 0.28f * Smooth(0.3f, 1.0f, (py - y0) / height));
            const float inside = -d;
            if (inside < bevel) {
                const float gx = PolyDist(poly, px + 1, py) - PolyDist(poly, px - 1, py);
                const float gy = PolyDist(poly, px, py + 1) - PolyDist(poly, px, py - 1);
                const float len = std::hypot(gx, gy);
                if (len > 0) {
                    // The outward normal of the rim, against a light from the top left.
                    const float lit = (-gx - gy) / (len * 1.41421f);
                    const float f = 1 - Clamp01(inside / bevel);
                    c = lit > 0 ? Mix(c, m.light, 0.7f * lit * f) : Mix(c, m.dark, -0.75f * lit * f);
                }
            }
            if (light.rim > 0 && inside < 2.5f)
                c = Mix(c, Rgb(255, 236, 180), light.rim * (1 - Clamp01(inside / 2.5f)));
            c.a = 1;
            img.Blend(x, y, Gain(c, light), cover * k);
        }
}

// A line cut into the stone: its shade on the upper side, the light catching
// its lower lip.
void Groove(Image& img, Pt a, Pt b, float width, const Material& m, const Light& light, float k = 1.0f)
{
    art::Stroke(img, a, b, width, Gain(Mix(m.dark, Rgb(0, 0, 0), 0.35f), light), 0.85f * k);
    const float o = std::max(0.6f, width * 0.45f);
    art::Stroke(img, {a.x + o * 0.5f, a.y + o}, {b.x + o * 0.5f, b.y + o}, width * 0.45f, Gain(m.light, light),
                0.45f * k);
}

void GroovePath(Image& img, const std::vector<Pt>& path, float width, const Material& m, const Light& light,
                float k = 1.0f)
{
    for (size_t i = 0; i + 1 < path.size(); ++i)
        Groove(img, path[i], path[i + 1], width, m, light, k);
}

// The shape of the colour's token on the board: a hexagon, a disc, a tall
// diamond, a drop, a triangle, a square, a five-pointed star.
std::vector<Pt> Emblem(int colour, float cx, float cy, float r)
{
    std::vector<Pt> p;
    auto regular = [&](int n, float turn, float scale) {
        for (int i = 0; i < n; ++i) {
            const float a = turn + 2 * kPi * i / n;
            p.push_back({cx + r * scale * std::sin(a), cy - r * scale * std::cos(a)});
        }
    };
    switch (colour) {
    case 0:
        regular(6, kPi / 6, 0.95f);
        break;
    case 1:
        regular(20, 0, 0.9f);
        break;
    case 2:
        p = {{cx, cy - r}, {cx + 0.66f * r, cy}, {cx, cy + r}, {cx - 0.66f * r, cy}};
        break;
    case 3:
        for (int i = 0; i <= 16; ++i) {
            const float a = kPi * (0.2f + 1.6f * i / 16);
            p.push_back({cx + 0.7f * r * std::sin(a), cy + 0.3f * r - 0.7f * r * std::cos(a)});
        }
        p.push_back({cx, cy - r});
        break;
    case 4:
        regular(3, 0, 1.0f);
        for (Pt& q : p)
            q.y += 0.2f * r;
        break;
    case 5:
        p = {{cx - 0.75f * r, cy - 0.75f * r},
             {cx + 0.75f * r, cy - 0.75f * r},
             {cx + 0.75f * r, cy + 0.75f * r},
             {cx - 0.75f * r, cy + 0.75f * r}};
        break;
    default:
        for (int i = 0; i < 10; ++i) {
            const float a = kPi * i / 5, k = i % 2 ? 0.48f : 1.0f;
            p.push_back({cx + r * k * std::sin(a), cy + 0.06f * r - r * k * std::cos(a)});
        }
        break;
    }
    return p;
}

// A polished stone set in the piece: the token's own shape, faceted.
void Gem(Image& img, int colour, Pt c, float r, const Light& light, bool polished)
{
    std::vector<Pt> shape = Emblem(colour, c.x, c.y, r);
    const Material& m = kStones[colour];
    if (!polished) {
        Carve(img, shape, m, r * 0.5f, light);
        return;
    }
    art::FillPoly(img, Emblem(colour, c.x, c.y, r * 1.2f), Gain(kGoldMetal.dark, light));
    art::FillPoly(img, Emblem(colour, c.x, c.y, r * 1.1f), Gain(kGoldMetal.base, light));
    art::FillPoly(img, shape, Gain(Mix(m.base, m.dark, 0.25f), light));
    const size_t n = shape.size();
    for (size_t i = 0; i < n; ++i) {
        const Pt a = shape[i], b = shape[(i + 1) % n];
        const float mid = std::atan2((a.y + b.y) / 2 - c.y, (a.x + b.x) / 2 - c.x);
        const float lit = 0.5f - 0.5f * std::cos(mid + kPi * 0.75f);
        art::FillPoly(img, {c, a, b}, Gain(Mix(m.base, m.light, lit * 0.8f), light), 0.9f);
    }
    art::FillPoly(img, Emblem(colour, c.x, c.y, r * 0.45f), Gain(Mix(m.base, m.light, 0.4f), light), 0.85f);
    img.Glow(c.x - r * 0.35f, c.y - r * 0.4f, r * 0.45f, Rgb(255, 255, 255), 0.9f, 1.5f, false);
}

// Eyes: dark almond sockets for the lamps to light.
void Eyes(Image& img, const Frame& f, const Material& m, const Light& light, bool slits)
{
    for (float u : {35.0f, 65.0f}) {
        const Pt c = f(u, 44);
        const float s = f.Scale();
        std::vector<Pt> eye;
        for (int i = 0; i < 16; ++i) {
            const float a = 2 * kPi * i / 16;
            eye.push_back({c.x + 8.5f * s * std::cos(a), c.y + (slits ? 3.0f : 5.0f) * s * std::sin(a)});
        }
        art::FillPoly(img, eye, Gain(Mix(m.dark, Rgb(0, 0, 0), 0.6f), light));
        Groove(img, {c.x - 9 * s, c.y - 5.5f * s}, {c.x + 9 * s, c.y - 5.5f * s}, 1.6f * s, m, light, 0.7f);
    }
}

// The plinth under every body, and the line where it meets the torso.
void PlinthLines(Image& img, const Frame& f, const Material& m, const Light& light)
{
    const float s = f.Scale();
    Groove(img, f(12, 176), f(88, 176), 1.6f * s, m, light);
    Groove(img, f(8, 186), f(92, 186), 1.6f * s, m, light);
}

// A metal band across the body at height v, `t` thick.
void Band(Image& img, const Frame& f, float u0, float u1, float v, float t, const Material& metal,
          const Light& light)
{
    Carve(img, f.Poly({{u0, v}, {u1, v}, {u1, v + t}, {u0, v + t}}), metal, 2.0f * f.Scale(), light);
}

// Studs along a band.
void Studs(Image& img, const Frame& f, float u0, float u1, float v, int n, const Light& light)
{
    for (int i = 0; i < n; ++i) {
        const Pt p = f(u0 + (u1 - u0) * (i + 0.5f) / n, v);
        art::Disc(img, p.x, p.y, 1.8f * f.Scale(), Gain(kGoldMetal.light, light));
    }
}

std::vector<Pt> Silhouette(const Frame& f, int colour)
{
    switch (colour) {
    case 0: // green: a hexagonal head over a leaf-carved pillar
        return f.Poly({{29, 2},
                       {71, 2},
                       {92, 32},
                       {74, 60},
                       {82, 68},
                       {82, 172},
                       {88, 176},
                       {88, 186},
                       {94, 186},
                       {94, 200},
                       {6, 200},
                       {6, 186},
                       {12, 186},
                       {12, 176},
                       {18, 172},
                       {18, 68},
                       {26, 60},
                       {8, 32}});
    case 1: { // yellow: a round dome over stacked coins
        std::vector<Pt> p;
        for (int i = 0; i <= 12; ++i) {
            const float a = kPi * (1.1f + 0.8f * i / 12);
            p.push_back(f(50 + 34 * std::cos(a), 38 + 34 * std::sin(a)));
        }
        for (Pt q : f.Poly({{80, 58},
                            {86, 66},
                            {86, 172},
                            {90, 176},
                            {90, 186},
                            {95, 186},
                            {95, 200},
                            {5, 200},
                            {5, 186},
                            {10, 186},
                            {10, 176},
                            {14, 172},
                            {14, 66},
                            {20, 58}}))
            p.push_back(q);
        return p;
    }
    case 2: // red: a diamond brow between two flame horns
        return f.Poly({{14, 2},  {32, 24},  {50, 4},   {68, 24},  {86, 2},   {84, 36},  {66, 62},
                       {80, 68}, {84, 172}, {90, 176}, {90, 186}, {95, 186}, {95, 200}, {5, 200},
                       {5, 186}, {10, 186}, {10, 176}, {16, 172}, {20, 68},  {34, 62},  {16, 36}});
    case 3: // blue: a square-shouldered knight (its head is drawn apart)
        return f.Poly({{18, 54},
                       {82, 54},
                       {86, 64},
                       {86, 172},
                       {90, 176},
                       {90, 186},
                       {95, 186},
                       {95, 200},
                       {5, 200},
                       {5, 186},
                       {10, 186},
                       {10, 176},
                       {14, 172},
                       {14, 64}});
    case 4: // orange: a triangular hood over an hourglass waist
        return f.Poly({{50, 0},
                       {82, 52},
                       {70, 60},
                       {84, 66},
                       {70, 116},
                       {84, 170},
                       {90, 176},
                       {90, 186},
                       {95, 186},
                       {95, 200},
                       {5, 200},
                       {5, 186},
                       {10, 186},
                       {10, 176},
                       {16, 170},
                       {30, 116},
                       {16, 66},
                       {30, 60},
                       {18, 52}});
    case 5: // white: a square block with a channel for its paint
        return f.Poly({{22, 2},   {78, 2},   {86, 10},  {86, 56},  {80, 62}, {86, 68}, {86, 172},
                       {90, 176}, {90, 186}, {95, 186}, {95, 200}, {5, 200}, {5, 186}, {10, 186},
                       {10, 176}, {14, 172}, {14, 68},  {20, 62},  {14, 56}, {14, 10}});
    default: // violet: a crown of star points over a faceted pillar
        return f.Poly({{20, 6},  {32, 24},  {50, 0},   {68, 24},  {80, 6},   {88, 30},  {78, 58},
                       {86, 68}, {82, 172}, {90, 176}, {90, 186}, {95, 186}, {95, 200}, {5, 200},
                       {5, 186}, {10, 186}, {10, 176}, {18, 172}, {14, 68},  {22, 58},  {12, 30}});
    }
}

// Cuts a hole: the texels inside the polygon lose their cover.
void Cut(Image& img, const std::vector<Pt>& poly)
{
    int x0, y0, x1, y1;
    Bounds(poly, 1, &x0, &y0, &x1, &y1);
    for (int y = std::max(0, y0); y <= std::min(img.Height() - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(img.Width() - 1, x1); ++x) {
            const float inside = Clamp01(0.5f - PolyDist(poly, x + 0.5f, y + 0.5f));
            img.At(x, y).a *= 1 - inside;
        }
}

std::vector<Pt> Ellipse(Pt c, float rx, float ry, int n, float turn = 0)
{
    std::vector<Pt> p;
    for (int i = 0; i < n; ++i) {
        const float a = turn + 2 * kPi * i / n;
        p.push_back({c.x + rx * std::cos(a), c.y + ry * std::sin(a)});
    }
    return p;
}

std::vector<Pt> Window(const Frame& f)
{
    return f.Poly({{28, 104}, {39, 78}, {61, 78}, {72, 104}, {61, 130}, {39, 130}});
}

void Hourglass(Image& img, const Frame& f, const Light& light, bool gilded)
{
    const Material& metal = gilded ? kGoldMetal : kStones[4];
    const float s = f.Scale();
    Carve(img, f.Poly({{34, 88}, {66, 88}, {66, 94}, {34, 94}}), kGoldMetal, 1.5f * s, light);
    Carve(img, f.Poly({{34, 128}, {66, 128}, {66, 134}, {34, 134}}), kGoldMetal, 1.5f * s, light);
    const std::vector<Pt> glass = f.Poly({{38, 94}, {62, 94}, {53, 111}, {62, 128}, {38, 128}, {47, 111}});
    art::FillPoly(img, glass, Gain(Rgb(255, 236, 200, 0.9f), light));
    art::FillPoly(img, f.Poly({{42, 100}, {58, 100}, {52, 110}, {48, 110}}), Gain(Rgb(255, 186, 60), light));
    art::FillPoly(img, f.Poly({{41, 128}, {59, 128}, {54, 118}, {46, 118}}), Gain(Rgb(250, 170, 40), light));
    art::Stroke(img, f(50, 110), f(50, 119), 0.8f * s, Gain(Rgb(255, 190, 70), light));
    for (float u : {36.0f, 64.0f})
        Carve(img, f.Poly({{u - 1.5f, 94}, {u + 1.5f, 94}, {u + 1.5f, 128}, {u - 1.5f, 128}}), metal, 1.0f * s,
              light);
}

} // namespace

Color LampColour(int colour)
{
    static const Color lamps[kColours] = {Rgb(150, 255, 150), Rgb(255, 250, 150), Rgb(255, 150, 90),
                                          Rgb(130, 230, 255), Rgb(255, 210, 100), Rgb(210, 235, 255),
                                          Rgb(240, 150, 255)};
    return lamps[std::clamp(colour, 0, kColours - 1)];
}

namespace {
void Helm(Image& img, const Rect& r, const Light& light)
{
    const Frame f{r, 100, 54};
    const float s = f.Scale();
    const std::vector<Pt> helm =
        f.Poly({{50, 0}, {64, 10}, {78, 28}, {86, 46}, {82, 52}, {18, 52}, {14, 46}, {22, 28}, {36, 10}});
    Carve(img, helm, kSteel, 4 * s, light);
    Groove(img, f(50, 3), f(50, 34), 1.4f * s, kSteel, light);
    for (float u : {35.0f, 65.0f})
        art::FillPoly(img, Ellipse(f(u, 40), 9 * s, 2.6f * s, 12), Rgb(10, 14, 30));
    for (Pt p : {f(24, 46), f(37, 48), f(50, 48.5f), f(63, 48), f(76, 46)})
        art::Disc(img, p.x, p.y, 1.6f * s, Gain(kSteel.light, light));
}
} // namespace

void DrawHelm(Image& img, const Rect& r) { Helm(img, r, Light{}); }

void DrawBody(Image& img, const Rect& r, int colour, Look look, const Light& light, bool helm)
{
    const Frame f{r, 100, 200};
    const Material& m = kStones[colour];
    const float s = f.Scale();
    const bool banded = look != kPlain, gilded = look == kGilded;
    const std::vector<Pt> body = Silhouette(f, colour);
    Carve(img, body, m, 5 * s, light);
    if (colour == 3) {
        // The bare head under the helm; the helm's own rows end above the
        // place the picture is split for it.
        const std::vector<Pt> head = f.Poly({{24, 14}, {76, 14}, {80, 24}, {78, 58}, {22, 58}, {20, 24}});
        Carve(img, head, m, 4 * s, light);
    }
    if (gilded)
        for (size_t i = 0; i < body.size(); ++i)
            art::Stroke(img, body[i], body[(i + 1) % body.size()], 1.3f * s, Gain(kGoldMetal.base, light), 0.9f);
    PlinthLines(img, f, m, light);
    // Carvings of the torso, by colour.
    switch (colour) {
    case 0:
        for (float v : {150.0f, 160.0f})
            GroovePath(img, {f(26, v + 10), f(50, v - 8), f(74, v + 10)}, 1.5f * s, m, light);
        GroovePath(img, {f(50, 142), f(50, 170)}, 1.4f * s, m, light);
        break;
    case 1:
        for (float v : {76.0f, 146.0f, 158.0f})
            Groove(img, f(16, v), f(84, v), 1.6f * s, m, light);
        break;
    case 2:
        GroovePath(img, {f(50, 92), f(40, 106), f(50, 122), f(60, 106), f(50, 92)}, 1.4f * s, m, light);
        GroovePath(img, {f(26, 160), f(50, 150), f(74, 160)}, 1.4f * s, m, light);
        break;
    case 3:
        Groove(img, f(16, 66), f(84, 66), 1.5f * s, m, light);
        for (float u : {22.0f, 78.0f})
            Groove(img, f(u, 72), f(u, 168), 1.3f * s, m, light);
        break;
    case 4:
        GroovePath(img, {f(24, 70), f(50, 60), f(76, 70)}, 1.4f * s, m, light);
        GroovePath(img, {f(24, 156), f(50, 146), f(76, 156)}, 1.4f * s, m, light);
        break;
    case 5:
        for (float v : {70.0f, 168.0f})
            Groove(img, f(16, v), f(84, v), 1.4f * s, m, light);
        break;
    default:
        for (float u : {30.0f, 70.0f})
            GroovePath(img, {f(50, 70), f(u, 120), f(50, 170)}, 1.3f * s, m, light);
        break;
    }
    // Metal bands from the banded look on.
    if (banded) {
        const Material& metal = colour == 3 ? kSteel : kGoldMetal;
        Band(img, f, 16, 84, 62, 6, metal, light);
        Band(img, f, 12, 88, 170, 6, metal, light);
        Studs(img, f, 16, 84, 65, 6, light);
        if (gilded)
            Studs(img, f, 12, 88, 173, 7, light);
    }
    // The emblem of the colour's power.
    switch (colour) {
    case 0:
        if (banded) {
            const std::vector<Pt> window = Window(f);
            Cut(img, window);
            for (size_t i = 0; i < window.size(); ++i)
                art::Stroke(img, window[i], window[(i + 1) % window.size()], 2.6f * s,
                            Gain(kGoldMetal.base, light));
        } else {
            Gem(img, 0, f(50, 108), 14 * s, light, false);
        }
        break;
    case 1:
        art::Ring(img, f(50, 112).x, f(50, 112).y, 12 * s, 16 * s, Gain(kGoldMetal.base, light));
        Gem(img, 1, f(50, 112), 11 * s, light, banded);
        break;
    case 2:
        for (Pt p : {f(30, 72), f(70, 72), f(30, 140), f(70, 140)}) {
            art::Disc(img, p.x, p.y, 8 * s, Gain(m.dark, light));
            art::Ring(img, p.x, p.y, 7 * s, 9 * s, Gain(banded ? kGoldMetal.base : m.light, light));
            img.Glow(p.x, p.y, 6 * s, Rgb(255, 120, 60), 0.45f, 1.5f, false);
        }
        Gem(img, 2, f(50, 24), 9 * s, light, banded);
        break;
    case 3:
        Carve(img, f.Poly({{36, 92}, {64, 92}, {64, 116}, {50, 134}, {36, 116}}), banded ? kSteel : m, 3 * s,
              light);
        Groove(img, f(50, 96), f(50, 126), 1.3f * s, kSteel, light);
        break;
    case 4:
        Hourglass(img, f, light, gilded);
        Gem(img, 4, f(50, 24), 7 * s, light, banded);
        break;
    case 5: {
        const std::vector<Pt> channel = PaintChannel(look == kPlain ? 2 : (look == kBanded ? 3 : 4));
        std::vector<Pt> path;
        for (const Pt& p : channel)
            path.push_back(f(p.x, p.y));
        for (size_t i = 0; i + 1 < path.size(); ++i)
            art::Stroke(img, path[i], path[i + 1], 11 * s, Gain(Mix(m.dark, Rgb(90, 96, 120), 0.4f), light));
        for (size_t i = 0; i + 1 < path.size(); ++i)
            art::Stroke(img, path[i], path[i + 1], 7 * s, Gain(Rgb(168, 172, 190), light));
        Gem(img, 5, f(30, 22), 5 * s, light, banded);
        Gem(img, 5, f(70, 22), 5 * s, light, banded);
        break;
    }
    default:
        Gem(img, 6, f(50, 26), 10 * s, light, true);
        break;
    }
    if (colour == 3 && helm)
        Helm(img, {r.x, r.y, r.w, r.h * 50.0f / 200.0f}, light);
    else
        Eyes(img, f, m, light, false);
}

void DrawWing(Image& img, const Rect& r, int colour, Look look, const Light& light, bool mirror)
{
    Frame f{r, 40, 104, mirror};
    const Material& m =
        look == kGilded && colour != 3 ? kGoldMetal : (colour == 3 && look != kPlain ? kSteel : kStones[colour]);
    const float s = f.Scale();
    std::vector<Pt> wing;
    switch (colour) {
    case 0: // a leaf
        wing = f.Poly({{40, 30}, {26, 10}, {6, 20}, {0, 52}, {10, 84}, {30, 96}, {40, 74}});
        break;
    case 1: // rays of the sun
        wing = f.Poly({{40, 34}, {4, 10}, {16, 40}, {0, 52}, {16, 64}, {4, 94}, {40, 70}});
        break;
    case 2: // a flame
        wing = f.Poly({{40, 34}, {22, 30}, {8, 4}, {2, 42}, {12, 60}, {0, 88}, {24, 80}, {40, 70}});
        break;
    case 3: // a pauldron
        wing = f.Poly({{40, 26}, {16, 20}, {6, 30}, {6, 78}, {16, 88}, {40, 80}});
        break;
    case 4: // a curled scroll
        wing = f.Poly({{40, 34}, {16, 26}, {4, 34}, {0, 48}, {8, 60}, {20, 58}, {16, 68}, {40, 72}});
        break;
    case 5: // a feather
        wing = f.Poly({{40, 30}, {16, 12}, {0, 18}, {10, 38}, {2, 56}, {14, 74}, {6, 94}, {40, 74}});
        break;
    default: // crystal shards
        wing = f.Poly({{40, 40}, {18, 6}, {8, 30}, {14, 50}, {0, 70}, {22, 92}, {40, 68}});
        break;
    }
    Carve(img, wing, m, 3.5f * s, light);
    const Material& line = kStones[colour];
    GroovePath(img, {f(38, 52), f(20, 50), f(8, 46)}, 1.3f * s, line, light, 0.8f);
    if (look != kPlain)
        art::Disc(img, f(32, 52).x, f(32, 52).y, 3.2f * s, Gain(kGoldMetal.base, light));
    if (look == kGilded)
        Gem(img, colour, f(32, 52), 2.6f * s, light, true);
}

void DrawCrest(Image& img, const Rect& r, int colour, Look look, const Light& light)
{
    const Frame f{r, 104, 48};
    const Material& m = colour == 3 ? kSteel : (look == kGilded ? kGoldMetal : kStones[colour]);
    const float s = f.Scale();
    std::vector<Pt> crest;
    // Every crest rises from a narrow neck over the middle of the head, so
    // that it meets every head's top without covering it.
    switch (colour) {
    case 0: // three leaves
        crest = f.Poly({{42, 48},
                        {40, 38},
                        {14, 22},
                        {30, 26},
                        {40, 6},
                        {52, 26},
                        {64, 6},
                        {74, 26},
                        {90, 22},
                        {64, 38},
                        {62, 48}});
        break;
    case 1: // a sun disc
        crest = f.Poly({{42, 48}, {40, 40}, {20, 30}, {24, 16}, {52, 8}, {80, 16}, {84, 30}, {64, 40}, {62, 48}});
        break;
    case 2: // a crown of flames
        crest = f.Poly({{42, 48},
                        {38, 36},
                        {14, 12},
                        {30, 24},
                        {40, 2},
                        {52, 22},
                        {64, 2},
                        {74, 24},
                        {90, 12},
                        {66, 36},
                        {62, 48}});
        break;
    case 3: // the helm's comb
        crest = f.Poly({{38, 48}, {42, 18}, {52, 2}, {62, 18}, {66, 48}});
        break;
    case 4: // a sun over the hood
        crest = Ellipse(f(52, 24), 20 * s, 20 * s, 18);
        break;
    case 5: // a capstone
        crest = f.Poly({{40, 48}, {40, 38}, {22, 30}, {30, 18}, {74, 18}, {82, 30}, {64, 38}, {64, 48}});
        break;
    default: // a crystal cluster
        crest = f.Poly({{40, 48},
                        {34, 30},
                        {24, 24},
                        {40, 30},
                        {44, 4},
                        {52, 0},
                        {60, 4},
                        {64, 30},
                        {80, 24},
                        {70, 30},
                        {64, 48}});
        break;
    }
    Carve(img, crest, m, 3.5f * s, light);
    if (colour == 4)
        for (int i = 0; i < 8; ++i) {
            const float a = 2 * kPi * i / 8;
            Groove(img, f(52 + 8 * std::cos(a), 24 + 8 * std::sin(a)),
                   f(52 + 17 * std::cos(a), 24 + 17 * std::sin(a)), 1.2f * s, kGoldMetal, light, 0.7f);
        }
    if (colour == 6)
        Gem(img, 6, f(52, 20), 8 * s, light, true);
    else if (colour != 3 && colour != 4)
        Gem(img, colour, f(52, 26), 6 * s, light, look == kGilded);
}

void DrawHangingGem(Image& img, const Rect& r, bool chain, const Light& light)
{
    const Frame f{r, 56, 72};
    const float s = f.Scale();
    if (chain) {
        // Links from the window's two top corners down to the gem.
        for (float side : {0.0f, 1.0f}) {
            const Pt a = side ? f(50, 9) : f(6, 9), b = f(28, 27);
            for (int i = 0; i < 5; ++i) {
                const float t = (i + 0.5f) / 5;
                const Pt c{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                const bool flat = i % 2 == 0;
                art::Ring(img, c.x, c.y, (flat ? 1.2f : 0.8f) * s, (flat ? 2.6f : 2.0f) * s,
                          Gain(Rgb(214, 196, 150), light));
            }
        }
        art::Ring(img, f(28, 27).x, f(28, 27).y, 1.5f * s, 3.2f * s, Gain(kGoldMetal.light, light));
    }
    Gem(img, 0, f(28, 46), 17 * s, light, true);
}

void DrawNugget(Image& img, const Rect& r, const Light& light)
{
    const Frame f{r, 64, 40};
    const float s = f.Scale();
    const std::vector<Pt> lump =
        f.Poly({{8, 36}, {4, 24}, {14, 10}, {28, 4}, {42, 6}, {56, 14}, {60, 26}, {54, 36}});
    Carve(img, lump, kGoldMetal, 6 * s, light);
    for (Pt p : {f(22, 18), f(40, 14), f(32, 28)})
        img.Glow(p.x, p.y, 5 * s, Rgb(255, 250, 220), 0.8f, 1.5f, false);
}

void DrawSpike(Image& img, const Rect& r, const Light& light)
{
    const Frame f{r, 104, 24};
    const float s = f.Scale();
    Carve(img, f.Poly({{45, 24}, {52, 0}, {59, 24}}), kSteel, 2 * s, light);
    art::Disc(img, f(52, 22).x, f(52, 22).y, 4 * s, Gain(kSteel.base, light));
}

void DrawShield(Image& img, const Rect& r)
{
    const Frame f{r, 48, 64};
    const float s = f.Scale();
    const std::vector<Pt> shield = f.Poly({{4, 4}, {44, 4}, {44, 34}, {24, 60}, {4, 34}});
    img.Glow(f(24, 30).x, f(24, 30).y, 30 * s, Rgb(180, 230, 255), 0.6f, 1.2f, false);
    for (size_t i = 0; i < shield.size(); ++i)
        art::Stroke(img, shield[i], shield[(i + 1) % shield.size()], 3 * s, Rgb(230, 250, 255));
    art::Stroke(img, f(24, 10), f(24, 52), 2 * s, Rgb(230, 250, 255), 0.8f);
    art::Stroke(img, f(10, 24), f(38, 24), 2 * s, Rgb(230, 250, 255), 0.8f);
}

std::vector<Pt> PaintChannel(int level)
{
    // From the forehead (levels 3 and 4) or the neck down to the plinth, in
    // a slow S.
    std::vector<Pt> path = {{50, 72}, {42, 92}, {40, 110}, {50, 128}, {60, 144}, {56, 160}, {50, 172}};
    if (level >= 2)
        path.insert(path.begin(), {50, 58});
    if (level >= 3)
        path.insert(path.begin(), {50, 36});
    return path;
}

// Where the pieces stand in a 224-pixel frame.
Rect BodyPlace() { return {86, 72, 52, 104}; }
Rect HelmPlace() { return {86, 72, 52, 27}; }
Rect WingPlace(bool right) { return {right ? 131.0f : 73.0f, 92, 20, 52}; }
Rect CrestPlace() { return {86, 51, 52, 24}; }
Rect SpikePlace() { return {86, 61, 52, 12}; }
Rect GemPlace() { return {98, 108, 28, 36}; }
Rect NuggetPlace(int level) { return level >= 3 ? Rect{96, 36, 32, 20} : Rect{96, 57, 32, 20}; }

void DrawTotem(Image& img, int colour, int level, float cx, float cy, float size, const Light& light, float sx,
               float sy, bool chain)
{
    const float k = size / 224.0f;
    auto place = [&](const Rect& r) {
        return Rect{cx + (r.x - 112) * k * sx, cy + (r.y - 112) * k * sy, r.w * k * sx, r.h * k * sy};
    };
    const Look look = level <= 2 ? kPlain : (level == 3 ? kBanded : kGilded);
    if (level >= 2) {
        DrawWing(img, place(WingPlace(false)), colour, look, light, false);
        DrawWing(img, place(WingPlace(true)), colour, look, light, true);
    }
    DrawBody(img, place(BodyPlace()), colour, look, light, true);
    if (level >= 3)
        DrawCrest(img, place(CrestPlace()), colour, look, light);
    if (colour == 0 && level >= 3)
        DrawHangingGem(img, place(GemPlace()), chain, light);
    if (colour == 1)
        DrawNugget(img, place(NuggetPlace(level)), light);
    if (colour == 3 && level <= 2)
        DrawSpike(img, place(SpikePlace()), light);
}

} // namespace gfx::totems
