// Bitmap fonts: a glyph atlas (32-bit TGA, white glyphs with a dark rim in
// alpha so texts can be tinted) and its ".vfd" descriptor.
//
// ".vfd" layout as written here (little-endian, packed, exactly 12,312 bytes):
//   offset  0  int32  atlas width in texels
//   offset  4  int32  atlas height in texels
//   offset  8  int32  line height in pixels at the design size (ascender - descender)
//   offset 12  int32  design size in pixels: the character size at which a text
//                     shows the glyphs texel for texel
//   offset 16  float  advance of the space (the reader replaces it by glyph 32's)
//   offset 20  float  fixed advance: the widest digit, for fixed-spacing texts
//   offset 24  256 glyph records of 48 bytes, byte value 0 first:
//     +0 width  +4 height  +8 xOffset  (+12, +16, +20 written as 0)
//     +24 advance  +28 u0  +32 v0  +36 u1  +40 v1  +44 yOffset
// Widths, heights, offsets and advances are in units of the design size (a
// value of 1 spans `size` pixels), so a text's character size scales them
// to screen units. The pen stands at the top of the line: yOffset is how far
// below the pen the glyph quad's top edge lies (ascender minus the glyph's
// top bearing, padding included). Byte values map to characters through
// Windows-1252; unmapped bytes get an empty record.
#include "fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "image.h"

namespace gfx {
namespace {

uint32_t Cp1252(int byte)
{
    static const uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte < 32 || byte == 127)
        return 0;
    if (byte >= 0x80 && byte < 0xA0)
        return high[byte - 0x80];
    return static_cast<uint32_t>(byte);
}

struct Glyph {
    int w = 0, h = 0;         // padded cell size in texels
    int left = 0, top = 0;    // bearings of the unpadded bitmap
    float advance = 0;        // pixels
    std::vector<float> cover; // padded glyph coverage, w * h
    int ax = 0, ay = 0;       // position in the atlas
    bool present = false;
};

void PutU32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}
void PutF32(std::vector<uint8_t>& b, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(b, v);
}

// Shelf packing; returns false when the glyphs do not fit.
bool Pack(std::vector<Glyph>& glyphs, int aw, int ah)
{
    std::vector<int> order;
    for (int i = 0; i < 256; ++i)
        if (glyphs[i].present && glyphs[i].w > 0)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return glyphs[a].h > glyphs[b].h; });
    int x = 1, y = 1, shelf = 0;
    for (int i : order) {
        Glyph& g = glyphs[i];
        if (x + g.w + 1 > aw) {
            x = 1;
            y += shelf + 1;
            shelf = 0;
        }
        if (y + g.h + 1 > ah)
            return false;
        g.ax = x;
        g.ay = y;
        x += g.w + 1;
        shelf = std::max(shelf, g.h);
    }
    return true;
}

} // namespace

bool MakeFont(const FontStyle& style, const std::string& fontsDir)
{
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) {
        std::fprintf(stderr, "gfxgen: FreeType init failed\n");
        return false;
    }
    FT_Face face;
    if (FT_New_Face(lib, style.ttf.c_str(), 0, &face)) {
        std::fprintf(stderr, "gfxgen: cannot open font %s\n", style.ttf.c_str());
        FT_Done_FreeType(lib);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.size));
    const int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    const int descender = static_cast<int>(face->size->metrics.descender >> 6);
    const int pad = static_cast<int>(std::ceil(style.outline)) + style.shadow + 1;

    std::vector<Glyph> glyphs(256);
    for (int c = 0; c < 256; ++c) {
        const uint32_t cp = Cp1252(c);
        if (cp == 0)
            continue;
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL))
            continue;
        const FT_GlyphSlot slot = face->glyph;
        Glyph& g = glyphs[c];
        g.present = true;
        g.advance = static_cast<float>(slot->advance.x) / 64.0f;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.width == 0 || bm.rows == 0)
            continue; // the space: advance only
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.w = static_cast<int>(bm.width) + 2 * pad;
        g.h = static_cast<int>(bm.rows) + 2 * pad;
        g.cover.assign(static_cast<size_t>(g.w) * g.h, 0.0f);
        for (unsigned y = 0; y < bm.rows; ++y)
            for (unsigned x = 0; x < bm.width; ++x)
                g.cover[(y + pad) * g.w + x + pad] = bm.buffer[y * bm.pitch + x] / 255.0f;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);

    static const int sizes[][2] = {{256, 256}, {512, 256}, {512, 512}, {1024, 512}, {1024, 1024}};
    int aw = 0, ah = 0;
    for (const auto& s : sizes)
        if (Pack(glyphs, s[0], s[1])) {
            aw = s[0];
            ah = s[1];
            break;
        }
    if (aw == 0) {
        std::fprintf(stderr, "gfxgen: glyphs of %s do not fit an atlas\n", style.name.c_str());
        return false;
    }

    // Compose each glyph: soft shadow, then the dark rim, then the white glyph.
    const Color rim = Rgb(14, 8, 28);
    Image atlas(aw, ah, Color{1, 1, 1, 0});
    const int r = static_cast<int>(std::ceil(style.outline));
    for (const Glyph& g : glyphs) {
        if (!g.present || g.w == 0)
            continue;
        std::vector<float> rimCover(g.cover.size(), 0.0f);
        for (int y = 0; y < g.h; ++y)
            for (int x = 0; x < g.w; ++x) {
                float best = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        const int sx = x + dx, sy = y + dy;
                        if (sx < 0 || sy < 0 || sx >= g.w || sy >= g.h)
                            continue;
                        const float k = Clamp01(style.outline + 0.5f -
                                                std::hypot(static_cast<float>(dx), static_cast<float>(dy)));
                        best = std::max(best, g.cover[sy * g.w + sx] * k);
                    }
                rimCover[y * g.w + x] = best;
            }
        for (int y = 0; y < g.h; ++y)
            for (int x = 0; x < g.w; ++x) {
                Color out{1, 1, 1, 0};
                auto over = [&out](const Color& c, float a) {
                    const float oa = a + out.a * (1 - a);
                    if (oa <= 0)
                        return;
                    out.r = (c.r * a + out.r * out.a * (1 - a)) / oa;
                    out.g = (c.g * a + out.g * out.a * (1 - a)) / oa;
                    out.b = (c.b * a + out.b * out.a * (1 - a)) / oa;
                    out.a = oa;
                };
                if (style.shadow > 0) {
                    const int sx = x - style.shadow, sy = y - style.shadow;
                    if (sx >= 0 && sy >= 0)
                        over(rim, 0.45f * rimCover[sy * g.w + sx]);
                }
                over(rim, style.rimAlpha * rimCover[y * g.w + x]);
                over(Color{1, 1, 1, 1}, g.cover[y * g.w + x]);
                if (out.a <= 0)
                    out = Color{1, 1, 1, 0};
                atlas.At(g.ax + x, g.ay + y) = out;
            }
    }
    if (!WriteTga(fontsDir + "/" + style.name + ".tga", atlas, true))
        return false;

    const float s = static_cast<float>(style.size);
    float fixedAdvance = 0;
    for (int c = '0'; c <= '9'; ++c)
        fixedAdvance = std::max(fixedAdvance, glyphs[c].advance / s);

    std::vector<uint8_t> vfd;
    vfd.reserve(12312);
    PutU32(vfd, static_cast<uint32_t>(aw));
    PutU32(vfd, static_cast<uint32_t>(ah));
    PutU32(vfd, static_cast<uint32_t>(ascender - descender));
    PutU32(vfd, static_cast<uint32_t>(style.size));
    PutF32(vfd, glyphs[' '].advance / s);
    PutF32(vfd, fixedAdvance);
    for (const Glyph& g : glyphs) {
        const bool quad = g.present && g.w > 0;
        PutF32(vfd, quad ? g.w / s : 0.0f);
        PutF32(vfd, quad ? g.h / s : 0.0f);
        PutF32(vfd, quad ? (g.left - pad) / s : 0.0f);
        PutU32(vfd, 0);
        PutU32(vfd, 0);
        PutU32(vfd, 0);
        PutF32(vfd, g.advance / s);
        PutF32(vfd, quad ? static_cast<float>(g.ax) / aw : 0.0f);
        PutF32(vfd, quad ? static_cast<float>(g.ay) / ah : 0.0f);
        PutF32(vfd, quad ? static_cast<float>(g.ax + g.w) / aw : 0.0f);
        PutF32(vfd, quad ? static_cast<float>(g.ay + g.h) / ah : 0.0f);
        PutF32(vfd, quad ? (ascender - g.top - pad) / s : 0.0f);
    }
    if (vfd.size() != 12312) {
        std::fprintf(stderr, "gfxgen: %s.vfd has %zu bytes\n", style.name.c_str(), vfd.size());
        return false;
    }
    return WriteBytes(fontsDir + "/" + style.name + ".vfd", vfd);
}

} // namespace gfx

namespace gfx {

Image TextMask(const std::string& ttf, int size, const std::string& text, int pad)
{
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib))
        return Image(1, 1);
    if (FT_New_Face(lib, ttf.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        return Image(1, 1);
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    const int asc = static_cast<int>(face->size->metrics.ascender >> 6);
    const int desc = static_cast<int>(face->size->metrics.descender >> 6);
    // First pass measures, second draws.
    int width = 0;
    FT_UInt prev = 0;
    for (unsigned char ch : text) {
        const FT_UInt gi = FT_Get_Char_Index(face, ch);
        if (prev && gi) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
            width += static_cast<int>(k.x >> 6);
        }
        FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT);
        width += static_cast<int>(face->glyph->advance.x >> 6);
        prev = gi;
    }
    Image out(width + 2 * pad, asc - desc + 2 * pad, Color{1, 1, 1, 0});
    int pen = pad;
    prev = 0;
    for (unsigned char ch : text) {
        const FT_UInt gi = FT_Get_Char_Index(face, ch);
        if (prev && gi) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += static_cast<int>(k.x >> 6);
        }
        FT_Load_Glyph(face, gi, FT_LOAD_RENDER);
        const FT_Bitmap& bm = face->glyph->bitmap;
        for (unsigned y = 0; y < bm.rows; ++y)
            for (unsigned x = 0; x < bm.width; ++x) {
                const int ox = pen + face->glyph->bitmap_left + static_cast<int>(x);
                const int oy = pad + asc - face->glyph->bitmap_top + static_cast<int>(y);
                if (ox < 0 || oy < 0 || ox >= out.Width() || oy >= out.Height())
                    continue;
                Color& c = out.At(ox, oy);
                c.a = std::max(c.a, bm.buffer[y * bm.pitch + x] / 255.0f);
            }
        pen += static_cast<int>(face->glyph->advance.x >> 6);
        prev = gi;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return out;
}

} // namespace gfx
