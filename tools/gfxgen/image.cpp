#include "image.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace gfx {

Color Rgb(int r, int g, int b, float a) { return Color{r / 255.0f, g / 255.0f, b / 255.0f, a}; }

Color Mix(const Color& x, const Color& y, float t)
{
    return Color{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

uint64_t Rng::Next()
{
    // splitmix64: tiny, well mixed and identical on every platform.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Rng::Unit() { return static_cast<float>(Next() >> 40) / static_cast<float>(1u << 24); }

static float Lattice(int x, int y, uint32_t seed)
{
    uint32_t h =
        static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Noise(float x, float y, uint32_t seed, int period)
{
    const float fx = std::floor(x), fy = std::floor(y);
    int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    int x1 = x0 + 1, y1 = y0 + 1;
    if (period > 0) {
        auto wrap = [period](int v) { return ((v % period) + period) % period; };
        x0 = wrap(x0);
        x1 = wrap(x1);
        y0 = wrap(y0);
        y1 = wrap(y1);
    }
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const float a = Lattice(x0, y0, seed), b = Lattice(x1, y0, seed);
    const float c = Lattice(x0, y1, seed), d = Lattice(x1, y1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Fbm(float x, float y, uint32_t seed, int octaves, int period)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * Noise(x, y, seed + static_cast<uint32_t>(i) * 101u, period);
        norm += amp;
        x *= 2;
        y *= 2;
        if (period > 0)
            period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Smooth(float e0, float e1, float x)
{
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Image::Image(int w, int h, Color fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

void Image::Blend(int x, int y, const Color& c, float k)
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    const float a = Clamp01(c.a * k);
    if (a <= 0)
        return;
    Color& d = At(x, y);
    const float outA = a + d.a * (1 - a);
    if (outA <= 0)
        return;
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Image::Add(int x, int y, const Color& c, float k)
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || k <= 0)
        return;
    Color& d = At(x, y);
    d.r += c.r * k;
    d.g += c.g * k;
    d.b += c.b * k;
    d.a = d.a + (1 - d.a) * Clamp01(k * c.a);
}

void Image::Glow(float cx, float cy, float radius, const Color& c, float strength, float falloff, bool additive)
{
    const int x0 = std::max(0, static_cast<int>(cx - radius - 1)),
              x1 = std::min(w_ - 1, static_cast<int>(cx + radius + 1));
    const int y0 = std::max(0, static_cast<int>(cy - radius - 1)),
              y1 = std::min(h_ - 1, static_cast<int>(cy + radius + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            if (d >= 1)
                continue;
            const float k = strength * std::pow(1 - d, falloff);
            if (additive)
                Add(x, y, c, k);
            else
                Blend(x, y, c, k);
        }
}

float Image::RoundRectDist(float px, float py, float x0, float y0, float x1, float y1, float radius)
{
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

void Image::RoundRect(float x0, float y0, float x1, float y1, float radius, const Color& c, float k)
{
    for (int y = std::max(0, static_cast<int>(y0) - 1); y < std::min(h_, static_cast<int>(y1) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(x0) - 1); x < std::min(w_, static_cast<int>(x1) + 2); ++x) {
            const float d = RoundRectDist(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            const float cover = Clamp01(0.5f - d);
            if (cover > 0)
                Blend(x, y, c, cover * k);
        }
}

Image Image::AlphaAsGrey() const
{
    Image out(w_, h_);
    for (size_t i = 0; i < px_.size(); ++i) {
        const float a = Clamp01(px_[i].a);
        out.px_[i] = Color{a, a, a, 1};
    }
    return out;
}

Image Image::OverBlack() const
{
    Image out(w_, h_);
    for (size_t i = 0; i < px_.size(); ++i) {
        const Color& c = px_[i];
        const float a = Clamp01(c.a);
        out.px_[i] = Color{c.r * a, c.g * a, c.b * a, 1};
    }
    return out;
}

static uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) {
        std::fprintf(stderr, "gfxgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Image& img, bool withAlpha)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "gfxgen: cannot open %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        std::fprintf(stderr, "gfxgen: PNG encoding failed for %s\n", path.c_str());
        return false;
    }
    const int ch = withAlpha ? 4 : 3;
    std::vector<uint8_t> row(static_cast<size_t>(img.Width()) * ch);
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(img.Width()), static_cast<png_uint_32>(img.Height()), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            const Color& c = img.At(x, y);
            uint8_t* p = &row[static_cast<size_t>(x) * ch];
            p[0] = ToByte(c.r);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.b);
            if (withAlpha)
                p[3] = ToByte(c.a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool WriteJpeg(const std::string& path, const Image& img, int quality, bool fullChroma)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "gfxgen: cannot open %s\n", path.c_str());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr); // fatal errors exit the tool, which fails the build
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(img.Width());
    cinfo.image_height = static_cast<JDIMENSION>(img.Height());
    // Alpha companions are grey but stored as three channels: every JPEG
    // reader turns those into RGB without asking for colour conversion.
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (fullChroma)
        for (int i = 0; i < cinfo.num_components; ++i)
            cinfo.comp_info[i].h_samp_factor = cinfo.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(img.Width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < img.Width(); ++x) {
            const Color& c = img.At(x, y);
            row[x * 3 + 0] = ToByte(c.r);
            row[x * 3 + 1] = ToByte(c.g);
            row[x * 3 + 2] = ToByte(c.b);
        }
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

bool ReadJpeg(const std::string& path, std::vector<uint8_t>& rgb, int& w, int& h)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr); // fatal errors exit the tool, which fails the build
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    w = static_cast<int>(cinfo.output_width);
    h = static_cast<int>(cinfo.output_height);
    rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rp = &rgb[static_cast<size_t>(cinfo.output_scanline) * w * 3];
        jpeg_read_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return true;
}

bool MeasureJpegPair(const Image& img, const std::string& colourPath, const std::string& alphaPath,
                     JpegPairError& error)
{
    std::vector<uint8_t> colour, alpha;
    int cw = 0, ch = 0, aw = 0, ah = 0;
    if (!ReadJpeg(colourPath, colour, cw, ch) || !ReadJpeg(alphaPath, alpha, aw, ah) || cw != img.Width() ||
        ch != img.Height() || aw != cw || ah != ch)
        return false;
    // The error a texel shows over a background b is (c'a' - ca) + b (a - a')
    // with colours and alpha in 0..1: it is largest over black or over white.
    // Sums per 8 x 8 block (one block of every channel without subsampling)
    // keep each block's mean error, its shift against the picture.
    const int blocksX = (cw + 7) / 8, blocksY = (ch + 7) / 8;
    std::vector<double> shift(static_cast<size_t>(blocksX) * blocksY * 6, 0.0);
    double squares = 0;
    int largest = 0;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
            const Color& c = img.At(x, y);
            const size_t at = (static_cast<size_t>(y) * cw + x) * 3;
            const int a0 = ToByte(c.a), a1 = alpha[at + 1];
            const uint8_t c0[3] = {ToByte(c.r), ToByte(c.g), ToByte(c.b)};
            double* block = &shift[(static_cast<size_t>(y / 8) * blocksX + x / 8) * 6];
            for (int k = 0; k < 3; ++k) {
                const double overBlack = (colour[at + k] * a1 - c0[k] * a0) / 255.0;
                const double overWhite = overBlack + (a0 - a1);
                for (const double e : {overBlack, overWhite}) {
                    squares += e * e;
                    largest = std::max(largest, static_cast<int>(std::lround(std::fabs(e))));
                }
                block[k] += overBlack;
                block[k + 3] += overWhite;
            }
        }
    const double mean = squares / (static_cast<double>(cw) * ch * 6);
    error.psnr = mean > 0 ? 10 * std::log10(255.0 * 255.0 / mean) : 99.0;
    error.largest = largest;
    error.worstBlockShift = 0;
    for (int by = 0; by < blocksY; ++by)
        for (int bx = 0; bx < blocksX; ++bx) {
            const double texels = std::min(8, cw - bx * 8) * std::min(8, ch - by * 8);
            for (int k = 0; k < 6; ++k)
                error.worstBlockShift =
                    std::max(error.worstBlockShift,
                             std::fabs(shift[(static_cast<size_t>(by) * blocksX + bx) * 6 + k]) / texels);
        }
    return true;
}

static void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
static void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

bool WriteTga(const std::string& path, const Image& img, bool withAlpha)
{
    // Uncompressed true-colour, rows bottom-up (the format's usual origin).
    const int bpp = withAlpha ? 4 : 3;
    std::vector<uint8_t> b(18 + static_cast<size_t>(img.Width()) * img.Height() * bpp, 0);
    b[2] = 2;
    Put16(b, 12, static_cast<uint32_t>(img.Width()));
    Put16(b, 14, static_cast<uint32_t>(img.Height()));
    b[16] = static_cast<uint8_t>(bpp * 8);
    b[17] = withAlpha ? 8 : 0;
    size_t o = 18;
    for (int y = img.Height() - 1; y >= 0; --y)
        for (int x = 0; x < img.Width(); ++x) {
            const Color& c = img.At(x, y);
            b[o++] = ToByte(c.b);
            b[o++] = ToByte(c.g);
            b[o++] = ToByte(c.r);
            if (withAlpha)
                b[o++] = ToByte(c.a);
        }
    return WriteBytes(path, b);
}

bool WriteBmp(const std::string& path, const Image& img)
{
    // 24-bit uncompressed, bottom-up, rows padded to 4 bytes.
    const size_t stride = (static_cast<size_t>(img.Width()) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t dataSize = stride * img.Height();
    std::vector<uint8_t> b(54 + dataSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(img.Width()));
    Put32(b, 22, static_cast<uint32_t>(img.Height()));
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    Put32(b, 34, static_cast<uint32_t>(dataSize));
    Put32(b, 38, 2835);
    Put32(b, 42, 2835);
    for (int y = 0; y < img.Height(); ++y) {
        size_t o = 54 + stride * static_cast<size_t>(img.Height() - 1 - y);
        for (int x = 0; x < img.Width(); ++x) {
            const Color& c = img.At(x, y);
            b[o++] = ToByte(c.b);
            b[o++] = ToByte(c.g);
            b[o++] = ToByte(c.r);
        }
    }
    return WriteBytes(path, b);
}

static bool EndsWith(const std::string& s, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool ProbeSize(const std::string& path, int& w, int& h)
{
    std::ifstream f(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (b.size() < 26)
        return false;
    auto u16 = [&b](size_t at) { return static_cast<int>(b[at] | (b[at + 1] << 8)); };
    auto u32le = [&b](size_t at) {
        return static_cast<int>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24));
    };
    auto u32be = [&b](size_t at) {
        return static_cast<int>((b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]);
    };
    if (EndsWith(path, ".png")) {
        static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (std::memcmp(b.data(), sig, 8) != 0)
            return false;
        w = u32be(16);
        h = u32be(20);
        return true;
    }
    if (EndsWith(path, ".bmp")) {
        if (b[0] != 'B' || b[1] != 'M')
            return false;
        w = u32le(18);
        h = u32le(22);
        const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
        return b.size() == 54 + stride * static_cast<size_t>(h);
    }
    if (EndsWith(path, ".tga")) {
        w = u16(12);
        h = u16(14);
        return b[2] == 2 && b.size() == 18 + static_cast<size_t>(w) * h * (b[16] / 8);
    }
    if (EndsWith(path, ".jpg")) {
        // Walk the markers up to the first start-of-frame.
        size_t i = 2;
        if (b[0] != 0xFF || b[1] != 0xD8)
            return false;
        while (i + 9 < b.size()) {
            if (b[i] != 0xFF)
                return false;
            const uint8_t m = b[i + 1];
            const size_t len = static_cast<size_t>((b[i + 2] << 8) | b[i + 3]);
            if (m >= 0xC0 && m <= 0xC3) {
                h = (b[i + 5] << 8) | b[i + 6];
                w = (b[i + 7] << 8) | b[i + 8];
                return true;
            }
            i += 2 + len;
        }
    }
    return false;
}

bool Inside(const std::vector<Pt>& poly, float x, float y)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Pt& a = poly[i];
        const Pt& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

float SegDist(float px, float py, const Pt& a, const Pt& b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? Clamp01(((px - a.x) * dx + (py - a.y) * dy) / len2) : 0.0f;
    return std::hypot(px - a.x - t * dx, py - a.y - t * dy);
}

float PolyDist(const std::vector<Pt>& poly, float x, float y)
{
    float d = 1e9f;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        d = std::min(d, SegDist(x, y, poly[j], poly[i]));
    return Inside(poly, x, y) ? -d : d;
}

void FillPolygon(Image& img, const std::vector<Pt>& poly, const Color& c, float k)
{
    if (poly.size() < 3)
        return;
    float x0 = poly[0].x, x1 = x0, y0 = poly[0].y, y1 = y0;
    for (const Pt& p : poly) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    for (int y = std::max(0, static_cast<int>(y0) - 1); y <= std::min(img.Height() - 1, static_cast<int>(y1) + 1);
         ++y)
        for (int x = std::max(0, static_cast<int>(x0) - 1);
             x <= std::min(img.Width() - 1, static_cast<int>(x1) + 1); ++x) {
            const float cover = Clamp01(0.5f - PolyDist(poly, x + 0.5f, y + 0.5f));
            if (cover > 0)
                img.Blend(x, y, c, cover * k);
        }
}

} // namespace gfx
