// The particle pictures: the 4 x 4 atlases that smoke, fireballs, sand grains
// and dust pick a random cell of (Cloud, FireCloud, Sand, StarSand,
// SmallSand), and the lightning strip a bolt segment is drawn with.
//
// Every atlas cell keeps a see-through margin so that filtering and the
// smaller mip levels never bleed a neighbour in, and every cell differs in
// shape and shade, so that a cloud of them never looks stamped.
#include <algorithm>
#include <cmath>
#include <vector>

#include "output.h"

using namespace gfx;

namespace {

constexpr float kPi = 3.14159265f;

// Where a texel lies in its cell: -1 .. 1 across the part inside the margin,
// y down.
struct CellPoint {
    int cell;
    float x, y;
    float texel; // one texel in these units
};

// How the colour of an atlas meets its see-through parts.
enum class Rim {
    Plain,   // the colour runs on under the coverage (for alpha blending)
    ToBlack, // the colour fades to black with the coverage, so that puffs
             // drawn darkening or multiplying, which ignore coverage, stay soft
};

// A 4 x 4 atlas of `size` texels: paint(point) gives each texel of cell n
// its colour and coverage. Coverage fades out over the last tenth before
// the margin, whatever the painter does.
template <typename Paint>
Image Atlas(int size, int margin, Rim rim, Paint paint)
{
    Image img(size, size, rim == Rim::ToBlack ? Color{0, 0, 0, 0} : Color{1, 1, 1, 0});
    const int cell = size / 4;
    const float inner = static_cast<float>(cell - 2 * margin);
    for (int n = 0; n < 16; ++n)
        for (int y = margin; y < cell - margin; ++y)
            for (int x = margin; x < cell - margin; ++x) {
                const float px = (x - margin + 0.5f) / inner * 2 - 1;
                const float py = (y - margin + 0.5f) / inner * 2 - 1;
                Color c = paint(CellPoint{n, px, py, 2 / inner});
                c.a *= Smooth(1.0f, 0.88f, std::max(std::fabs(px), std::fabs(py)));
                if (rim == Rim::ToBlack) {
                    const float k = Smooth(0.0f, 0.35f, c.a);
                    c = Color{c.r * k, c.g * k, c.b * k, c.a};
                }
                img.At((n % 4) * cell + x, (n / 4) * cell + y) = c;
            }
    return img;
}

// A lumpy body made of a few overlapping soft blobs, one of them on the
// centre so that every cell shows something in its middle.
struct Blobs {
    Blobs(uint32_t seed, int count, float spread, float minRadius, float maxRadius)
    {
        Rng rng(seed);
        for (int i = 0; i < count; ++i) {
            const float a = rng.Range(0, 2 * kPi), d = i == 0 ? 0.0f : rng.Range(0.1f, spread);
            blobs.push_back({d * std::cos(a), d * std::sin(a), rng.Range(minRadius, maxRadius)});
        }
    }
    // 0 outside every blob, growing to about 1 in the thick of them.
    float Density(float x, float y) const
    {
        float sum = 0;
        for (const Blob& b : blobs)
            sum += Smooth(1.0f, 0.15f, std::hypot(x - b.x, y - b.y) / b.r);
        return Clamp01(sum);
    }

    struct Blob {
        float x, y, r;
    };
    std::vector<Blob> blobs;
};

// A puff of smoke or fire: blobs roughened into wisps by fractal noise.
float PuffDensity(const Blobs& blobs, const CellPoint& p, uint32_t seed)
{
    const float n = Fbm(p.x * 2.6f + p.cell * 7.3f, p.y * 2.6f, seed, 5);
    return Clamp01(blobs.Density(p.x, p.y) * (0.55f + 0.9f * n) * 1.1f);
}

// Light and shadow folded through a puff, 0 .. 1.
float PuffShade(const CellPoint& p, uint32_t seed)
{
    return Fbm(p.x * 1.8f + p.cell * 3.1f, p.y * 1.8f - p.cell, seed, 4);
}

// Sixteen soft dust and smoke puffs, warm white.
Image MakeCloudAtlas()
{
    std::vector<Blobs> shapes;
    for (uint32_t n = 0; n < 16; ++n)
        shapes.emplace_back(2100 + n, 4 + n % 4, 0.5f, 0.35f, 0.65f);
    return Atlas(256, 4, Rim::ToBlack, [&](const CellPoint& p) {
        const float k = PuffDensity(shapes[static_cast<size_t>(p.cell)], p, 21);
        const float light = PuffShade(p, 22);
        // Some puffs lean grey like smoke, some warm like dust.
        const float warmth = static_cast<float>(p.cell % 5) / 4.0f;
        const Color shadow = Mix(Rgb(168, 160, 160), Rgb(206, 178, 140), warmth);
        Color c = Mix(shadow, Rgb(255, 250, 238), Clamp01(0.25f + 0.5f * k + 0.6f * (light - 0.4f)));
        c.a = k;
        return c;
    });
}

// Sixteen fireball puffs: a white-gold core through gold to a dark ember rim.
Image MakeFireCloudAtlas()
{
    std::vector<Blobs> shapes;
    for (uint32_t n = 0; n < 16; ++n)
        shapes.emplace_back(3100 + n, 4 + n % 3, 0.45f, 0.4f, 0.7f);
    return Atlas(256, 4, Rim::ToBlack, [&](const CellPoint& p) {
        const float k = PuffDensity(shapes[static_cast<size_t>(p.cell)], p, 31);
        const float heat = Clamp01(k * (0.6f + 0.8f * PuffShade(p, 32)));
        Color c = heat > 0.55f ? Mix(Rgb(255, 190, 72), Rgb(255, 246, 210), (heat - 0.55f) / 0.45f)
                               : Mix(Rgb(140, 30, 10), Rgb(255, 190, 72), heat / 0.55f);
        c.a = Clamp01(k * 1.15f);
        return c;
    });
}

// A clump of sand: grains packed in the middle, loose towards the rim.
// `gold` turns it into the glittering sand of the flowing box.
Image MakeSandAtlas(bool gold)
{
    std::vector<Blobs> shapes;
    for (uint32_t n = 0; n < 16; ++n)
        shapes.emplace_back((gold ? 5100 : 4100) + n, 4 + n % 3, 0.5f, 0.3f, 0.55f);
    std::vector<std::vector<float>> glints(16);
    if (gold)
        for (uint32_t n = 0; n < 16; ++n) {
            Rng rng(5200 + n);
            for (int i = 0; i < 3; ++i) {
                glints[n].push_back(rng.Range(-0.45f, 0.45f));
                glints[n].push_back(rng.Range(-0.45f, 0.45f));
                glints[n].push_back(rng.Range(0.12f, 0.25f));
            }
        }
    return Atlas(256, 4, Rim::Plain, [&](const CellPoint& p) {
        const Blobs& shape = shapes[static_cast<size_t>(p.cell)];
        const float body = shape.Density(p.x, p.y);
        // Grains about two texels across.
        const float gx = p.x / p.texel, gy = p.y / p.texel;
        const float grain = Noise(gx * 0.55f + p.cell * 31.0f, gy * 0.55f, gold ? 52 : 42);
        const float k = Clamp01(body * 1.6f * (0.35f + 0.9f * grain) - 0.05f);
        const float shade = static_cast<float>((p.cell * 7) % 16) / 15.0f;
        Color c;
        if (gold) {
            c = Mix(Rgb(196, 126, 28), Rgb(255, 214, 96), Clamp01(grain * 1.2f));
            c = Mix(c, Rgb(255, 244, 190), 0.35f * shade * body);
        } else {
            const Color dark = Mix(Rgb(150, 98, 46), Rgb(184, 128, 64), shade);
            const Color light = Mix(Rgb(236, 200, 142), Rgb(250, 226, 176), shade);
            c = Mix(dark, light, Clamp01(grain * 1.25f));
        }
        float a = k;
        const std::vector<float>& g = glints[static_cast<size_t>(p.cell)];
        for (size_t i = 0; i + 2 < g.size(); i += 3) {
            const float dx = std::fabs(p.x - g[i]) / g[i + 2], dy = std::fabs(p.y - g[i + 1]) / g[i + 2];
            const float d = std::hypot(dx, dy);
            if (d >= 1)
                continue;
            float s = std::pow(1 - d, 3.0f);
            s += std::exp(-dy * 30.0f) * (1 - dx) * 0.8f + std::exp(-dx * 30.0f) * (1 - dy) * 0.8f;
            s = Clamp01(s);
            c = Mix(c, Rgb(255, 252, 236), s);
            a = std::max(a, s);
        }
        c.a = a;
        return c;
    });
}

// Sixteen small grains, 32 x 32 cells: rounded lumps of varied outline,
// size and shade, lit from the top left.
Image MakeSmallSandAtlas()
{
    struct Grain {
        float rx, ry, turn, lump, phase;
        Color dark, light;
    };
    std::vector<Grain> grains;
    for (uint32_t n = 0; n < 16; ++n) {
        Rng rng(6100 + n);
        const float shade = rng.Unit();
        grains.push_back({rng.Range(0.5f, 0.85f), rng.Range(0.4f, 0.75f), rng.Range(0, kPi),
                          rng.Range(0.05f, 0.18f), rng.Range(0, 2 * kPi),
                          Mix(Rgb(120, 78, 36), Rgb(176, 124, 64), shade),
                          Mix(Rgb(226, 184, 120), Rgb(252, 230, 184), shade)});
    }
    return Atlas(128, 2, Rim::Plain, [&](const CellPoint& p) {
        const Grain& g = grains[static_cast<size_t>(p.cell)];
        const float c = std::cos(g.turn), s = std::sin(g.turn);
        const float u = (p.x * c + p.y * s) / g.rx, v = (-p.x * s + p.y * c) / g.ry;
        const float angle = std::atan2(v, u);
        const float outline = 1 + g.lump * std::sin(3 * angle + g.phase) + 0.5f * g.lump * std::sin(5 * angle);
        const float d = std::hypot(u, v) / outline;
        // Light from the top left, a darker rim.
        const float lit = Clamp01(0.55f - 0.35f * (p.x + p.y) - 0.3f * d * d);
        Color col = Mix(g.dark, g.light, lit);
        col.a = Smooth(1.0f, 0.82f, d);
        return col;
    });
}

// A glowing line along v at u = 0.5: white core, blue-violet halo, black at
// both sides and towards both ends, so that the overlapping quads of a
// bolt's segments join without seams.
Image MakeLightningStrip()
{
    Image img(64, 256, Color{0, 0, 0, 1});
    for (int y = 0; y < 256; ++y) {
        const float v = (y + 0.5f) / 256.0f;
        const float ends = Smooth(0.0f, 0.22f, v) * Smooth(1.0f, 0.78f, v);
        for (int x = 0; x < 64; ++x) {
            const float d = std::fabs((x + 0.5f) / 64.0f - 0.5f) * 2; // 0 on the line, 1 at the sides
            const float core = std::exp(-d * d / 0.004f);
            const float halo = std::exp(-d * d / 0.06f) * 0.8f + std::exp(-d / 0.25f) * 0.25f;
            const float sides = Smooth(1.0f, 0.8f, d);
            Color c = Mix(Rgb(0, 0, 0), Rgb(120, 104, 255), Clamp01(halo));
            c = Mix(c, Rgb(255, 255, 255), Clamp01(core));
            const float k = ends * sides;
            img.At(x, y) = Color{c.r * k, c.g * k, c.b * k, 1};
        }
    }
    return img;
}

bool WriteParticleSet(Output& out)
{
    bool ok = true;
    ok = ok && out.Save("Lightning.jpg", MakeLightningStrip());
    ok = ok && out.SaveWithAlpha("Sand", MakeSandAtlas(false));
    ok = ok && out.SaveWithAlpha("Cloud", MakeCloudAtlas());
    ok = ok && out.Save("SmallSand.tga", MakeSmallSandAtlas());
    ok = ok && out.SaveWithAlpha("FireCloud", MakeFireCloudAtlas());
    ok = ok && out.Save("StarSand.tga", MakeSandAtlas(true));
    return ok;
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "particles", WriteParticleSet); }
