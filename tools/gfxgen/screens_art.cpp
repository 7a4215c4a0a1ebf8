#include "screens_art.h"

#include <algorithm>
#include <cmath>

namespace gfx::art {

const Color kIndigo = Rgb(16, 12, 44);
const Color kNight = Rgb(34, 26, 86);
const Color kDusk = Rgb(70, 40, 104);
const Color kGold = Rgb(255, 204, 84);
const Color kGoldLight = Rgb(255, 240, 178);
const Color kGoldDark = Rgb(150, 92, 22);
const Color kAmber = Rgb(232, 146, 48);
const Color kTurquoise = Rgb(58, 206, 214);
const Color kTeal = Rgb(20, 110, 120);
const Color kInk = Rgb(52, 32, 22);
const Color kSepia = Rgb(112, 72, 40);
const Color kPaper = Rgb(240, 222, 180);
const Color kPaperDark = Rgb(196, 160, 108);
const Color kWhite = Rgb(255, 255, 255);
const Color kWarmWhite = Rgb(255, 246, 222);

namespace {
const float kPi = 3.14159265f;

std::string Font(const char* file) { return std::string(kFontDir) + "/" + file; }
} // namespace

std::string Serif() { return Font("DejaVuSerif.ttf"); }
std::string SerifBold() { return Font("DejaVuSerif-Bold.ttf"); }
std::string Sans() { return Font("DejaVuSans.ttf"); }
std::string SansBold() { return Font("DejaVuSans-Bold.ttf"); }

int TextWidth(const std::string& ttf, int size, const std::string& text)
{
    return text.empty() ? 0 : TextMask(ttf, size, text, 0).Width();
}

void DrawLine(Image& img, const std::string& ttf, int size, const std::string& text, float x, float y,
              const Color& c, Align align)
{
    if (text.empty())
        return;
    const Image mask = TextMask(ttf, size, text, 0);
    float left = x;
    if (align == Align::Center)
        left = x - mask.Width() / 2.0f;
    else if (align == Align::Right)
        left = x - static_cast<float>(mask.Width());
    const int ox = static_cast<int>(std::lround(left)), oy = static_cast<int>(std::lround(y));
    for (int my = 0; my < mask.Height(); ++my)
        for (int mx = 0; mx < mask.Width(); ++mx) {
            const float a = mask.At(mx, my).a;
            if (a > 0)
                img.Blend(ox + mx, oy + my, c, a);
        }
}

std::vector<std::string> Wrap(const std::string& ttf, int size, const std::string& text, int width)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string para = text.substr(start, end - start);
        std::string line;
        size_t pos = 0;
        while (pos < para.size()) {
            const size_t space = std::min(para.find(' ', pos), para.size());
            const std::string word = para.substr(pos, space - pos);
            const std::string trial = line.empty() ? word : line + " " + word;
            if (!line.empty() && TextWidth(ttf, size, trial) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = trial;
            }
            pos = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

float DrawParagraph(Image& img, const std::string& ttf, int size, const std::string& text, float x, float y,
                    int width, float step, const Color& c, Align align)
{
    const float anchor = align == Align::Center ? x + width / 2.0f : (align == Align::Right ? x + width : x);
    for (const std::string& line : Wrap(ttf, size, text, width)) {
        DrawLine(img, ttf, size, line, anchor, y, c, align);
        y += step;
    }
    return y;
}

void GlowBehind(Image& img, const Image& mask, int ox, int oy, int radius, const Color& c, float strength)
{
    // Coverage blurred by a coarse box sampled every other texel; cheap and
    // soft enough for a halo.
    const int w = mask.Width(), h = mask.Height();
    for (int y = -radius; y < h + radius; ++y)
        for (int x = -radius; x < w + radius; ++x) {
            float sum = 0, weight = 0;
            for (int dy = -radius; dy <= radius; dy += 3)
                for (int dx = -radius; dx <= radius; dx += 3) {
                    const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy)) / radius;
                    if (d > 1)
                        continue;
                    const float k = 1 - d;
                    weight += k;
                    const int sx = x + dx, sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                        sum += mask.At(sx, sy).a * k;
                }
            if (weight > 0 && sum > 0)
                img.Blend(ox + x, oy + y, c, Clamp01(strength * sum / weight * 2.2f));
        }
}

void Parchment(Image& img, int x0, int y0, int x1, int y1, uint32_t seed, float age)
{
    const float w = static_cast<float>(x1 - x0), h = static_cast<float>(y1 - y0);
    for (int y = std::max(0, y0); y < std::min(img.Height(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.Width(), x1); ++x) {
            const float u = (x - x0) / w, v = (y - y0) / h;
            const float blotch = Fbm(x / 90.0f, y / 90.0f, seed, 5);
            const float fibre =
                Noise(x / 2.5f, y / 14.0f, seed + 7) * 0.5f + Noise(x / 1.2f, y / 1.2f, seed + 9) * 0.5f;
            const float edge = std::min(std::min(u, 1 - u) * w, std::min(v, 1 - v) * h);
            Color c = Mix(kPaper, kPaperDark, Clamp01(0.15f + age * (blotch - 0.3f)));
            c = Mix(c, Rgb(250, 238, 206), 0.12f * fibre);
            c = Mix(c, kSepia, age * 0.55f * (1 - Smooth(0.0f, 46.0f, edge)));
            c = Mix(c, kSepia, 0.18f * age * Smooth(0.62f, 0.8f, Fbm(x / 30.0f, y / 30.0f, seed + 3, 4)));
            c.a = 1;
            img.Blend(x, y, c, 1);
        }
}

void Plate(Image& img, float x0, float y0, float x1, float y1, float radius, const Color& face, float rim)
{
    // Shadow first, offset down and a little to the right.
    for (int y = static_cast<int>(y0) - 2; y < static_cast<int>(y1) + 12; ++y)
        for (int x = static_cast<int>(x0) - 6; x < static_cast<int>(x1) + 10; ++x) {
            if (x < 0 || y < 0 || x >= img.Width() || y >= img.Height())
                continue;
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, x0 + 3, y0 + 6, x1 + 3, y1 + 6, radius);
            const float k = 0.45f * (1 - Smooth(-2.0f, 9.0f, d));
            if (k > 0)
                img.Blend(x, y, Rgb(6, 2, 16), k);
        }
    const float h = y1 - y0;
    for (int y = std::max(0, static_cast<int>(y0) - 1); y < std::min(img.Height(), static_cast<int>(y1) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(x0) - 1); x < std::min(img.Width(), static_cast<int>(x1) + 2);
             ++x) {
            const float d = Image::RoundRectDist(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            const float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                continue;
            const float t = (y + 0.5f - y0) / h;
            Color c;
            if (d > -rim) {
                // Gold rim: bright on the upper edge, deep at the foot.
                const float bevel = Clamp01(-d / rim);
                c = Mix(kGoldLight, kGoldDark, Smooth(0.0f, 1.0f, t));
                c = Mix(c, kGold, 0.35f + 0.3f * std::sin(bevel * kPi));
            } else {
                const float inner = Clamp01((-d - rim) / 10.0f);
                c = Mix(Mix(face, kWhite, 0.12f), Mix(face, Rgb(0, 0, 0), 0.35f), Smooth(0.0f, 1.0f, t));
                c = Mix(Rgb(0, 0, 0), c, 0.55f + 0.45f * inner); // inset shade along the rim
                c = Mix(c, Rgb(0, 0, 0), 0.08f * Fbm(x / 40.0f, y / 12.0f, 61, 3));
            }
            c.a = 1;
            img.Blend(x, y, c, cover);
        }
}

void Ring(Image& img, float cx, float cy, float r0, float r1, const Color& c, float k)
{
    for (int y = static_cast<int>(cy - r1 - 1); y <= static_cast<int>(cy + r1 + 1); ++y)
        for (int x = static_cast<int>(cx - r1 - 1); x <= static_cast<int>(cx + r1 + 1); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float cover = Clamp01(std::min(d - r0, r1 - d) + 0.5f);
            if (cover > 0)
                img.Blend(x, y, c, cover * k);
        }
}

void Stroke(Image& img, Pt a, Pt b, float width, const Color& c, float k)
{
    const float r = width / 2;
    const int x0 = static_cast<int>(std::min(a.x, b.x) - r - 1), x1 = static_cast<int>(std::max(a.x, b.x) + r + 1);
    const int y0 = static_cast<int>(std::min(a.y, b.y) - r - 1), y1 = static_cast<int>(std::max(a.y, b.y) + r + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float cover = Clamp01(r - SegDist(x + 0.5f, y + 0.5f, a, b) + 0.5f);
            if (cover > 0)
                img.Blend(x, y, c, cover * k);
        }
}

namespace {
struct Bounds {
    int x0, y0, x1, y1;
};
Bounds BoundsOf(const std::vector<Pt>& poly)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Pt& p : poly) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return {static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 1,
            static_cast<int>(y1) + 1};
}
} // namespace

void FillPoly(Image& img, const std::vector<Pt>& poly, const Color& c, float k)
{
    const Bounds b = BoundsOf(poly);
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) {
            const float cover = Clamp01(0.5f - PolyDist(poly, x + 0.5f, y + 0.5f));
            if (cover > 0)
                img.Blend(x, y, c, cover * k);
        }
}

void Hatch(Image& img, const std::vector<Pt>& poly, float spacing, float angle, float weight, const Color& c,
           float k)
{
    const Bounds b = BoundsOf(poly);
    const float ca = std::cos(angle), sa = std::sin(angle);
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) {
            const float inside = Clamp01(0.5f - PolyDist(poly, x + 0.5f, y + 0.5f));
            if (inside <= 0)
                continue;
            const float t = (x * ca + y * sa) / spacing;
            const float line = Clamp01(weight - std::fabs(t - std::round(t)) * spacing);
            if (line > 0)
                img.Blend(x, y, c, line * inside * k);
        }
}

std::vector<Pt> RectPoly(float x0, float y0, float x1, float y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

void Disc(Image& img, float cx, float cy, float r, const Color& c)
{
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float cover = Clamp01(r - std::hypot(dx, dy) + 0.5f);
            if (cover <= 0)
                continue;
            Color s = Mix(Mix(c, kWhite, 0.3f), Mix(c, Rgb(0, 0, 0), 0.35f), Clamp01(0.5f + dy / (2 * r)));
            s.a = c.a;
            img.Blend(x, y, s, cover);
        }
}

Color TokenColour(int colour)
{
    static const Color colours[kTokenColours] = {Rgb(64, 196, 92),  Rgb(250, 214, 60), Rgb(226, 56, 52),
                                                 Rgb(56, 120, 232), Rgb(246, 140, 36), Rgb(236, 236, 240),
                                                 Rgb(160, 84, 220)};
    return colours[std::clamp(colour, 0, kTokenColours - 1)];
}

void Paste(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int tx = dx + x, ty = dy + y;
            if (tx < 0 || ty < 0 || tx >= dst.Width() || ty >= dst.Height())
                continue;
            dst.At(tx, ty) = src.At(sx + x, sy + y);
        }
}

// A faceted gem seen from above: the gems the levels ask for.
void Gem(Image& img, float cx, float cy, float r, const Color& c)
{
    const std::vector<Pt> outline = {{cx - r, cy - r * 0.3f},
                                     {cx - r * 0.5f, cy - r * 0.8f},
                                     {cx + r * 0.5f, cy - r * 0.8f},
                                     {cx + r, cy - r * 0.3f},
                                     {cx, cy + r}};
    FillPoly(img, outline, Mix(c, Rgb(0, 0, 0), 0.3f));
    FillPoly(img,
             {{cx - r * 0.5f, cy - r * 0.8f},
              {cx + r * 0.5f, cy - r * 0.8f},
              {cx + r * 0.35f, cy - r * 0.3f},
              {cx - r * 0.35f, cy - r * 0.3f}},
             Mix(c, kWhite, 0.5f));
    FillPoly(img, {{cx - r, cy - r * 0.3f}, {cx + r, cy - r * 0.3f}, {cx, cy + r}}, c, 0.7f);
    for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++)
        Stroke(img, outline[j], outline[i], 1.5f, Rgb(20, 10, 30), 0.8f);
    Glint(img, cx - r * 0.3f, cy - r * 0.45f, r * 0.7f, kWhite, 0.9f, false);
}

void BonusIcon(Image& img, int kind, float cx, float cy, float r)
{
    Disc(img, cx, cy, r, Rgb(40, 30, 90));
    Ring(img, cx, cy, r - 3, r, kGold);
    const float s = r * 0.62f;
    switch (kind) {
    case 0: // gem
        Gem(img, cx, cy, s, Rgb(250, 210, 90));
        break;
    case 1: // TNT
        img.RoundRect(cx - s * 0.5f, cy - s * 0.6f, cx + s * 0.5f, cy + s * 0.9f, 6, Rgb(210, 40, 30));
        Stroke(img, {cx, cy - s * 0.6f}, {cx + s * 0.3f, cy - s}, 2.5f, kWarmWhite);
        img.Glow(cx + s * 0.35f, cy - s * 1.05f, s * 0.45f, kGold, 0.9f, 1.0f, true);
        DrawLine(img, SansBold(), static_cast<int>(s * 0.55f), "TNT", cx, cy - s * 0.1f, kWarmWhite,
                 Align::Center);
        break;
    case 2: // flash
        FillPoly(img,
                 {{cx + s * 0.2f, cy - s},
                  {cx - s * 0.55f, cy + s * 0.1f},
                  {cx - s * 0.05f, cy + s * 0.1f},
                  {cx - s * 0.25f, cy + s},
                  {cx + s * 0.55f, cy - s * 0.15f},
                  {cx + s * 0.05f, cy - s * 0.15f}},
                 Rgb(255, 230, 80));
        break;
    case 3: // time
        Disc(img, cx, cy, s, kWarmWhite);
        Ring(img, cx, cy, s - 3, s, kGoldDark);
        Stroke(img, {cx, cy}, {cx, cy - s * 0.75f}, 3, kInk);
        Stroke(img, {cx, cy}, {cx + s * 0.5f, cy + s * 0.1f}, 3, kInk);
        break;
    case 4: { // adviser: an eye that shows the way
        std::vector<Pt> eye;
        for (int i = 0; i <= 16; ++i) {
            const float t = static_cast<float>(i) / 16;
            eye.push_back({cx - s + 2 * s * t, cy - s * 0.55f * std::sin(t * kPi)});
        }
        for (int i = 15; i > 0; --i) {
            const float t = static_cast<float>(i) / 16;
            eye.push_back({cx - s + 2 * s * t, cy + s * 0.55f * std::sin(t * kPi)});
        }
        FillPoly(img, eye, kWarmWhite);
        Disc(img, cx, cy, s * 0.38f, kTurquoise);
        Disc(img, cx, cy, s * 0.16f, kInk);
        break;
    }
    case 5: // score: a golden coin
        Disc(img, cx, cy, s, kGold);
        Ring(img, cx, cy, s * 0.75f, s * 0.82f, kGoldDark);
        FillPoly(img, StarPoly(cx, cy, s * 0.55f, s * 0.24f, 5, 0), kGoldLight);
        break;
    default: // solidarity: two linked rings
        Ring(img, cx - s * 0.35f, cy, s * 0.45f, s * 0.62f, kTurquoise);
        Ring(img, cx + s * 0.35f, cy, s * 0.45f, s * 0.62f, kGold);
        break;
    }
}

void Totem(Image& img, float cx, float by, float s, int colour, float corner, float rim)
{
    const Color wood = Rgb(120, 70, 40), c = TokenColour(colour);
    for (int k = 0; k < 3; ++k) {
        const float top = by - (k + 1) * s;
        Plate(img, cx - s * 0.55f, top, cx + s * 0.55f, top + s - 4, corner, Mix(wood, c, 0.25f), rim);
        Disc(img, cx - s * 0.2f, top + s * 0.35f, s * 0.09f, kWarmWhite);
        Disc(img, cx + s * 0.2f, top + s * 0.35f, s * 0.09f, kWarmWhite);
        Stroke(img, {cx - s * 0.18f, top + s * 0.68f}, {cx + s * 0.18f, top + s * 0.68f}, 4, kInk);
    }
    // The token of its colour that crowns it is drawn by the caller (the help
    // pages lay the board's own cap there): s wide, 0.45 s above the top block.
    // The two charge lamps, both lit: the power strikes.
    for (int i = 0; i < 2; ++i) {
        const float lx = cx + (i == 0 ? -1 : 1) * s * 0.9f, ly = by - 2.2f * s;
        img.Glow(lx, ly, s * 0.4f, c, 0.8f, 1.4f, true);
        Disc(img, lx, ly, s * 0.14f, Mix(c, kWhite, 0.5f));
    }
}

} // namespace gfx::art
