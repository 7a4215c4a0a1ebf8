#include "scenery.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace gfx {
namespace {

const float kPi = 3.14159265f;
const Color kWhite = Rgb(255, 255, 255);

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return "";
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::vector<float> Parse(const std::string& text)
{
    std::vector<float> n;
    std::istringstream in(text);
    float v;
    while (in >> v)
        n.push_back(v);
    return n;
}

// The outline of a gem cut, around the origin, of radius 1 (y down).
std::vector<Pt> GemOutline(int cut)
{
    std::vector<Pt> p;
    auto polar = [&](int n, float sx, float sy, float rotation, const std::function<float(float)>& radius) {
        for (int i = 0; i < n; ++i) {
            const float a = rotation + 2 * kPi * static_cast<float>(i) / static_cast<float>(n);
            const float r = radius(a);
            p.push_back({sx * r * std::cos(a), sy * r * std::sin(a)});
        }
    };
    auto one = [](float) { return 1.0f; };
    switch (cut % 12) {
    case 0: // round brilliant
        polar(16, 1, 1, 0, one);
        break;
    case 1: // oval
        polar(20, 1, 0.74f, 0, one);
        break;
    case 2: // emerald: a rectangle with cut corners
        p = {{-0.62f, -0.9f}, {0.62f, -0.9f}, {0.85f, -0.6f}, {0.85f, 0.6f},
             {0.62f, 0.9f},   {-0.62f, 0.9f}, {-0.85f, 0.6f}, {-0.85f, -0.6f}};
        break;
    case 3: // marquise
        for (int i = 0; i <= 16; ++i) {
            const float t = -1 + 2 * static_cast<float>(i) / 16;
            p.push_back({t, -0.55f * std::sqrt(std::max(0.0f, 1 - t * t)) * (1.1f - 0.1f * t * t)});
        }
        for (int i = 15; i > 0; --i) {
            const float t = -1 + 2 * static_cast<float>(i) / 16;
            p.push_back({t, 0.55f * std::sqrt(std::max(0.0f, 1 - t * t)) * (1.1f - 0.1f * t * t)});
        }
        break;
    case 4: // pear: round below, pointed above
        polar(24, 0.8f, 1, -kPi / 2, [](float a) {
            const float up = Clamp01(-std::sin(a));
            return 0.78f + 0.22f * up * up * up;
        });
        for (Pt& q : p)
            q.y += 0.1f;
        break;
    case 5: // heart
        for (int i = 0; i < 28; ++i) {
            const float t = 2 * kPi * static_cast<float>(i) / 28;
            const float x = 16 * std::pow(std::sin(t), 3.0f);
            const float y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
            p.push_back({x / 17.0f, -y / 17.0f - 0.1f});
        }
        break;
    case 6: // princess
        p = {{-0.78f, -0.78f}, {0.78f, -0.78f}, {0.78f, 0.78f}, {-0.78f, 0.78f}};
        break;
    case 7: // trillion
        polar(3, 1, 1, -kPi / 2, one);
        for (Pt& q : p)
            q.y += 0.12f;
        break;
    case 8: // cushion
        polar(24, 0.9f, 0.9f, 0, [](float a) {
            const float c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
            return 1.0f / std::pow(std::pow(c, 4.0f) + std::pow(s, 4.0f), 0.25f) * 0.86f;
        });
        break;
    case 9: // hexagon
        polar(6, 1, 0.92f, 0, one);
        break;
    case 10: // shield
        p = {{-0.75f, -0.85f}, {0.75f, -0.85f}, {0.8f, 0.1f}, {0.0f, 0.95f}, {-0.8f, 0.1f}};
        break;
    default: // baguette
        p = {{-0.95f, -0.5f}, {0.95f, -0.5f}, {0.95f, 0.5f}, {-0.95f, 0.5f}};
        break;
    }
    return p;
}

} // namespace

SceneConfig::SceneConfig(const std::string& path)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "gfxgen: cannot read %s\n", path.c_str());
        return;
    }
    ok_ = true;
    std::string line, section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            section = Trim(line.substr(1, line.find(']') - 1));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            entries_.push_back({section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
    }
}

std::vector<float> SceneConfig::Numbers(const std::string& section, const std::string& key,
                                        const char* fallback) const
{
    for (const Entry& e : entries_)
        if (e.section == section && e.key == key)
            return Parse(e.value);
    return Parse(fallback);
}

float SceneConfig::Number(const std::string& section, const std::string& key, float fallback) const
{
    const std::vector<float> n = Numbers(section, key);
    return n.empty() ? fallback : n[0];
}

Box BoxOf(const std::vector<float>& n) { return n.size() >= 4 ? Box{n[0], n[1], n[2], n[3]} : Box{}; }

Box CornersOf(const std::vector<float>& n)
{
    return n.size() >= 4 ? Box{n[0], n[1], n[2] - n[0], n[3] - n[1]} : Box{};
}

Color Scale(const Color& c, float f) { return Color{c.r * f, c.g * f, c.b * f, c.a}; }

float Hash01(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 362437u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

void FillEllipse(Image& img, float cx, float cy, float rx, float ry, const Color& c, float k)
{
    for (int y = std::max(0, static_cast<int>(cy - ry) - 1);
         y <= std::min(img.Height() - 1, static_cast<int>(cy + ry) + 1); ++y)
        for (int x = std::max(0, static_cast<int>(cx - rx) - 1);
             x <= std::min(img.Width() - 1, static_cast<int>(cx + rx) + 1); ++x) {
            const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            const float d = (std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry);
            const float cover = Clamp01(0.5f - d);
            if (cover > 0)
                img.Blend(x, y, c, cover * k);
        }
}

void StrokeSegment(Image& img, Pt a, Pt b, float width, const Color& c, float k, float soft)
{
    const float r = width / 2 + soft;
    const int x0 = std::max(0, static_cast<int>(std::min(a.x, b.x) - r) - 1);
    const int x1 = std::min(img.Width() - 1, static_cast<int>(std::max(a.x, b.x) + r) + 1);
    const int y0 = std::max(0, static_cast<int>(std::min(a.y, b.y) - r) - 1);
    const int y1 = std::min(img.Height() - 1, static_cast<int>(std::max(a.y, b.y) + r) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = SegDist(x + 0.5f, y + 0.5f, a, b) - width / 2;
            const float cover = Clamp01(0.5f - d / std::max(soft, 0.01f));
            if (cover > 0)
                img.Blend(x, y, c, cover * k);
        }
}

void ShadeImage(Image& img, const std::function<float(int, int)>& shade)
{
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            Color& c = img.At(x, y);
            const float f = shade(x, y);
            c.r *= f;
            c.g *= f;
            c.b *= f;
        }
}

void CopyResampled(const Image& from, const Box& source, Image& to, const Box& target)
{
    for (int y = 0; y < static_cast<int>(target.h); ++y)
        for (int x = 0; x < static_cast<int>(target.w); ++x) {
            const float sx = source.x + (x + 0.5f) * source.w / target.w - 0.5f;
            const float sy = source.y + (y + 0.5f) * source.h / target.h - 0.5f;
            const int ix = std::clamp(static_cast<int>(std::floor(sx)), 0, from.Width() - 2);
            const int iy = std::clamp(static_cast<int>(std::floor(sy)), 0, from.Height() - 2);
            const float fx = Clamp01(sx - ix), fy = Clamp01(sy - iy);
            const Color top = Mix(from.At(ix, iy), from.At(ix + 1, iy), fx);
            const Color bottom = Mix(from.At(ix, iy + 1), from.At(ix + 1, iy + 1), fx);
            const int tx = static_cast<int>(target.x) + x, ty = static_cast<int>(target.y) + y;
            if (tx >= 0 && ty >= 0 && tx < to.Width() && ty < to.Height())
                to.At(tx, ty) = Mix(top, bottom, fy);
        }
}

void PaintGem(Image& img, float cx, float cy, float radius, int cut, const Color& body)
{
    std::vector<Pt> poly = GemOutline(cut);
    for (Pt& q : poly)
        q = {cx + q.x * radius, cy + q.y * radius};
    // A soft shadow where the gem sits.
    img.Glow(cx + radius * 0.12f, cy + radius * 0.2f, radius * 1.25f, Rgb(0, 0, 0), 0.55f, 1.5f, false);
    const float lx = -0.55f, ly = -0.83f; // light from the upper left
    const int facets = 16;
    for (int y = std::max(0, static_cast<int>(cy - radius) - 2);
         y <= std::min(img.Height() - 1, static_cast<int>(cy + radius) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(cx - radius) - 2);
             x <= std::min(img.Width() - 1, static_cast<int>(cx + radius) + 2); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = PolyDist(poly, px, py);
            const float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                continue;
            const float depth = -d / radius; // 0 at the girdle, growing inwards
            const float dx = (px - cx) / radius, dy = (py - cy) / radius;
            const float angle = std::atan2(dy, dx);
            const int facet = static_cast<int>(std::floor((angle + kPi) / (2 * kPi) * facets)) % facets;
            const float mid = (static_cast<float>(facet) + 0.5f) / facets * 2 * kPi - kPi;
            float shade;
            Color c = body;
            if (depth > 0.34f) {
                // The table: a clear window with a soft gradient.
                shade = 1.0f + 0.35f * (-dx * 0.5f - dy * 0.7f);
                c = Mix(body, kWhite, 0.18f);
            } else {
                const float facing = std::cos(mid) * lx + std::sin(mid) * ly;
                shade = 0.55f + 0.6f * std::max(0.0f, facing) + ((facet & 1) ? 0.1f : -0.12f);
                if (depth > 0.17f) // the star facets, a band lighter
                    shade += 0.15f;
                if (depth < 0.05f) // the girdle's dark edge
                    shade *= 0.55f;
            }
            c = Scale(c, std::max(0.15f, shade));
            // Light caught on facet edges.
            const float edge = std::fabs(std::fmod(angle + kPi, 2 * kPi / facets) - kPi / facets) / (kPi / facets);
            if (edge > 0.9f && depth < 0.34f)
                c = Mix(c, kWhite, 0.25f * (edge - 0.9f) * 10 * Clamp01(1 + dx * lx + dy * ly));
            c.a = 1;
            img.Blend(x, y, c, cover);
        }
    // Sparkles on the lit side.
    const float gx = cx - radius * 0.38f, gy = cy - radius * 0.42f;
    img.Glow(gx, gy, radius * 0.5f, kWhite, 0.8f, 3.0f, true);
    for (int i = 0; i < 2; ++i) {
        const float s = radius * (0.55f - 0.2f * static_cast<float>(i));
        const float ox = gx + static_cast<float>(i) * radius * 0.7f,
                    oy = gy + static_cast<float>(i) * radius * 0.55f;
        StrokeSegment(img, {ox - s, oy}, {ox + s, oy}, 0.8f, kWhite, 0.7f, 1.2f);
        StrokeSegment(img, {ox, oy - s}, {ox, oy + s}, 0.8f, kWhite, 0.7f, 1.2f);
    }
}

void PaintSocket(Image& img, float cx, float cy, float radius, const Color& rim)
{
    img.Glow(cx + 2, cy + 3, radius * 1.25f, Rgb(0, 0, 0), 0.6f, 1.2f, false);
    for (int y = std::max(0, static_cast<int>(cy - radius) - 2);
         y <= std::min(img.Height() - 1, static_cast<int>(cy + radius) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(cx - radius) - 2);
             x <= std::min(img.Width() - 1, static_cast<int>(cx + radius) + 2); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float r = std::hypot(dx, dy);
            const float cover = Clamp01(radius + 0.5f - r);
            if (cover <= 0)
                continue;
            const float t = r / radius;
            Color c;
            if (t > 0.78f) {
                // The rim, bevelled: lit above left, shaded below right.
                const float bevel = (-dx * 0.55f - dy * 0.83f) / r * (t > 0.89f ? 1.0f : -1.0f);
                c = Scale(rim, 0.75f + 0.45f * bevel + 0.15f * Fbm(x * 0.3f, y * 0.3f, 5, 2));
            } else {
                // The hollow: deep in the middle, catching light on its lower lip.
                const float lip = Clamp01((dx * 0.55f + dy * 0.83f) / (radius * 0.78f));
                c = Mix(Rgb(14, 10, 24), Scale(rim, 0.35f), 0.25f * t + 0.4f * lip * t);
            }
            c.a = 1;
            img.Blend(x, y, c, cover);
        }
}

void PaintBeam(Image& img, const Box& box, const Color& tint)
{
    for (int y = static_cast<int>(box.y); y < static_cast<int>(box.y + box.h); ++y)
        for (int x = static_cast<int>(box.x); x < static_cast<int>(box.x + box.w); ++x) {
            const float u = (x + 0.5f - box.x) / box.w;
            const float v = (y + 0.5f - box.Cy()) / (box.h / 2);
            const float taper = std::pow(std::sin(kPi * u), 0.7f) * (0.85f + 0.15f * Noise(u * 18, 0.5f, 3));
            const float core = std::exp(-v * v * 30), glow = std::exp(-v * v * 4);
            const float k = Clamp01(taper * (core + 0.45f * glow) * Smooth(1.0f, 0.8f, std::fabs(v)));
            Color c = Mix(Scale(tint, k), kWhite, Clamp01(core * taper * 0.8f));
            c = Scale(c, k);
            c.a = 1;
            img.At(x, y) = c;
        }
}

void PaintLeaf(Image& img, float cx, float cy, float length, float width, float angle, const Color& c, float k)
{
    std::vector<Pt> poly;
    const float ca = std::cos(angle), sa = std::sin(angle);
    for (int i = 0; i <= 24; ++i) {
        const float t = static_cast<float>(i) / 24;
        const float along = (t - 0.5f) * length;
        const float across = width / 2 * std::pow(std::max(0.0f, std::sin(kPi * t)), 0.8f) * (1 - 0.3f * t);
        poly.push_back({cx + along * ca - across * sa, cy + along * sa + across * ca});
    }
    for (int i = 23; i > 0; --i) {
        const float t = static_cast<float>(i) / 24;
        const float along = (t - 0.5f) * length;
        const float across = -width / 2 * std::pow(std::max(0.0f, std::sin(kPi * t)), 0.8f) * (1 - 0.3f * t);
        poly.push_back({cx + along * ca - across * sa, cy + along * sa + across * ca});
    }
    FillPolygon(img, poly, c, k);
    // The midrib, a little lighter.
    StrokeSegment(img, {cx - 0.45f * length * ca, cy - 0.45f * length * sa},
                  {cx + 0.45f * length * ca, cy + 0.45f * length * sa}, std::max(0.6f, width * 0.06f),
                  Mix(c, Rgb(255, 240, 180), 0.35f), 0.6f * k, 0.8f);
}

Color GemColour(int index)
{
    static const Color colours[12] = {Rgb(232, 36, 70),   Rgb(40, 110, 240), Rgb(30, 200, 110),
                                      Rgb(170, 80, 230),  Rgb(255, 170, 40), Rgb(70, 220, 225),
                                      Rgb(250, 215, 60),  Rgb(190, 30, 60),  Rgb(160, 225, 50),
                                      Rgb(255, 130, 180), Rgb(40, 190, 170), Rgb(225, 235, 255)};
    return colours[((index % 12) + 12) % 12];
}

bool PaintProgressBand(Image& scene, const SceneConfig& cfg, const std::string& section, int sets, int beams)
{
    auto inBand = [&](const Box& b, const std::string& key) {
        if (b.w >= 1 && b.h >= 1 && b.x >= 0 && b.y >= 768 && b.x + b.w <= 1024 && b.y + b.h <= 1024)
            return true;
        std::fprintf(stderr, "gfxgen: [%s] %s lies outside the picture's lower band\n", section.c_str(),
                     key.c_str());
        return false;
    };
    // The band holds only what is painted into it.
    for (int y = 768; y < scene.Height(); ++y)
        for (int x = 0; x < scene.Width(); ++x)
            scene.At(x, y) = Color{0, 0, 0, 1};
    // Each stage starts its gems at another cut and colour.
    int offset = 0;
    for (char ch : section)
        offset += ch;
    for (int i = 1; i <= sets; ++i) {
        const std::string key = "GemT" + std::to_string(i);
        const Box cell = CornersOf(cfg.Numbers(section, key));
        if (!inBand(cell, key))
            return false;
        // The socket as the scene shows it, with the gem set in. Two more
        // texels of the scene round the cell keep its filtered edge clean.
        const Box source = BoxOf(cfg.Numbers(section, "Gem" + std::to_string(i)));
        const float mx = 2 * source.w / cell.w, my = 2 * source.h / cell.h;
        CopyResampled(scene, Box{source.x - mx, source.y - my, source.w + 2 * mx, source.h + 2 * my}, scene,
                      Box{cell.x - 2, cell.y - 2, cell.w + 4, cell.h + 4});
        PaintGem(scene, cell.Cx(), cell.Cy(), std::min(cell.w, cell.h) * 0.34f, i - 1 + offset,
                 GemColour(i - 1 + offset));
    }
    std::vector<std::vector<float>> painted;
    const Color tints[3] = {Rgb(255, 200, 110), Rgb(120, 235, 230), Rgb(255, 160, 200)};
    for (int i = 1; i <= beams; ++i) {
        const std::string key = "RayT" + std::to_string(i);
        const std::vector<float> rect = cfg.Numbers(section, key);
        if (!inBand(CornersOf(rect), key))
            return false;
        if (std::find(painted.begin(), painted.end(), rect) != painted.end())
            continue;
        PaintBeam(scene, CornersOf(rect), tints[painted.size() % 3]);
        painted.push_back(rect);
    }
    return true;
}

void PaintSockets(Image& scene, const SceneConfig& cfg, const std::string& section, int sets, const Color& rim)
{
    for (int i = 1; i <= sets; ++i) {
        const Box b = BoxOf(cfg.Numbers(section, "Gem" + std::to_string(i)));
        PaintSocket(scene, b.Cx(), b.Cy(), std::min(b.w, b.h) * 0.42f, rim);
    }
}

Image MakeMask(int w, int h, const std::function<float(float u, float v)>& shape)
{
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float k = Clamp01(shape((x + 0.5f) / w, (y + 0.5f) / h));
            img.At(x, y) = Color{k, k, k, k};
        }
    return img;
}

void PaintStoneBlocks(Image& img, const Box& area, const std::function<bool(int, int)>& inside, const Color& base,
                      float blockW, float blockH, uint32_t seed)
{
    for (int y = std::max(0, static_cast<int>(area.y));
         y < std::min(img.Height(), static_cast<int>(area.y + area.h)); ++y)
        for (int x = std::max(0, static_cast<int>(area.x));
             x < std::min(img.Width(), static_cast<int>(area.x + area.w)); ++x) {
            if (!inside(x, y))
                continue;
            const int course = static_cast<int>(std::floor((y - area.y) / blockH));
            const float shift = (course & 1) ? blockW / 2 : 0.0f;
            const int column = static_cast<int>(std::floor((x - area.x + shift) / blockW));
            const float bx = std::fmod(x - area.x + shift, blockW), by = std::fmod(y - area.y, blockH);
            const float joint = std::min(std::min(bx, blockW - bx), std::min(by, blockH - by));
            Color c = Scale(base, 0.78f + 0.35f * Hash01(column, course, seed));
            c = Scale(c, 0.85f + 0.3f * Fbm(x / 14.0f, y / 14.0f, seed + 1, 3));
            // Lit top edges, shaded lower edges, dark joints.
            if (by < 3)
                c = Scale(c, 1.15f);
            if (blockH - by < 3)
                c = Scale(c, 0.75f);
            c = Scale(c, 0.35f + 0.65f * Smooth(0.5f, 2.5f, joint));
            c.a = 1;
            img.At(x, y) = c;
        }
}

void PaintFoliageClump(Image& img, float cx, float cy, float radius, int count, const Color& colour, uint32_t seed,
                       float leafLength)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float a = rng.Range(0, 2 * kPi), r = radius * std::sqrt(rng.Unit());
        const float x = cx + r * std::cos(a), y = cy + r * std::sin(a) * 0.8f;
        const float light = Clamp01(0.55f - 0.45f * (y - cy) / radius + 0.2f * rng.Unit());
        const Color c = Mix(Scale(colour, 0.45f), Mix(colour, Rgb(255, 230, 150), 0.18f), light);
        const float len = leafLength * rng.Range(0.7f, 1.3f);
        PaintLeaf(img, x, y, len, len * rng.Range(0.35f, 0.5f), a + rng.Range(-0.6f, 0.6f), c);
    }
}

void Vignette(Image& img, float strength)
{
    ShadeImage(img, [strength](int x, int y) {
        if (y >= 768)
            return 1.0f;
        const float dx = (x - 512.0f) / 512.0f, dy = (y - 384.0f) / 384.0f;
        return 1.0f - strength * Smooth(0.6f, 1.5f, std::hypot(dx, dy));
    });
}

Image MakeLightRays(int size, uint32_t seed, const Color& tint)
{
    Image img(size, size, Color{0, 0, 0, 1});
    const float half = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - half, dy = y + 0.5f - half;
            const float r = std::hypot(dx, dy) / half, a = std::atan2(dy, dx) / (2 * kPi) + 0.5f;
            const float rays = std::pow(Noise(a * 22, 0.5f, seed, 22), 2.2f) * 0.8f +
                               0.35f * std::pow(Noise(a * 57, 7.5f, seed + 1, 57), 3.0f);
            const float k = Clamp01(rays * std::pow(Clamp01(1 - r), 1.3f) * 1.3f + 0.5f * std::exp(-r * r * 20)) *
                            Smooth(1.0f, 0.9f, r);
            Color c = Mix(Scale(tint, k), kWhite, 0.4f * k * k);
            c.a = k;
            img.At(x, y) = c;
        }
    return img;
}

Image MakeMotes(int size, int count, uint32_t seed, const Color& colour, float minRadius, float maxRadius)
{
    Image img(size, size, Color{colour.r, colour.g, colour.b, 0});
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float cx = rng.Range(0, size), cy = rng.Range(0, size), r = rng.Range(minRadius, maxRadius);
        const float strength = rng.Range(0.35f, 1.0f);
        // Drawn at each of its wrapped places, so the texture tiles.
        for (int oy = -size; oy <= size; oy += size)
            for (int ox = -size; ox <= size; ox += size)
                for (int y = static_cast<int>(cy + oy - r - 1); y <= static_cast<int>(cy + oy + r + 1); ++y)
                    for (int x = static_cast<int>(cx + ox - r - 1); x <= static_cast<int>(cx + ox + r + 1); ++x) {
                        if (x < 0 || y < 0 || x >= size || y >= size)
                            continue;
                        const float d = std::hypot(x + 0.5f - cx - ox, y + 0.5f - cy - oy) / r;
                        const float k = strength * std::pow(Clamp01(1 - d), 1.5f);
                        img.At(x, y).a = std::max(img.At(x, y).a, k);
                    }
    }
    return img;
}

} // namespace gfx
