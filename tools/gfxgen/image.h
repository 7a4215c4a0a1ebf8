// Small floating-point RGBA canvas with the drawing helpers the generated
// pictures share, plus the writers for every file format the game reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};

Color Rgb(int r, int g, int b, float a = 1.0f);
Color Mix(const Color& x, const Color& y, float t);

// Deterministic generator: every picture seeds its own so adding a picture
// never changes the others.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next();
    float Unit(); // [0, 1)
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

private:
    uint64_t state_;
};

// Value noise on an integer lattice; `period` > 0 makes it tile.
float Noise(float x, float y, uint32_t seed, int period = 0);
// Fractal sum of octaves, roughly in [0, 1].
float Fbm(float x, float y, uint32_t seed, int octaves, int period = 0);

float Smooth(float e0, float e1, float x);
float Clamp01(float v);

class Image {
public:
    Image(int w, int h, Color fill = Color{0, 0, 0, 0});

    int Width() const { return w_; }
    int Height() const { return h_; }
    Color& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    const Color& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

    // Source-over blend of colour c with coverage k (0..1) at one texel.
    void Blend(int x, int y, const Color& c, float k);
    // Adds light: rgb += c.rgb * k, alpha grows towards 1 with k.
    void Add(int x, int y, const Color& c, float k);

    // Soft radial glow centred at (cx, cy): intensity (1 - d/r)^falloff.
    void Glow(float cx, float cy, float radius, const Color& c, float strength, float falloff, bool additive);
    // Anti-aliased filled rounded rectangle.
    void RoundRect(float x0, float y0, float x1, float y1, float radius, const Color& c, float k = 1.0f);
    // Distance (negative inside) to a rounded rectangle, for rims and bevels.
    static float RoundRectDist(float px, float py, float x0, float y0, float x1, float y1, float radius);

    // Copies this picture's alpha into a grey opaque picture (alpha companion files).
    Image AlphaAsGrey() const;
    // Multiplies colour by alpha over black: for files without alpha that are
    // drawn additively.
    Image OverBlack() const;

private:
    int w_, h_;
    std::vector<Color> px_;
};

// Writers. Each returns false (and prints why) on failure.
bool WritePng(const std::string& path, const Image& img, bool withAlpha);
// `fullChroma` keeps every texel's own colour (4:4:4) where the default
// shares one colour among 2 x 2 texels.
bool WriteJpeg(const std::string& path, const Image& img, int quality = 90, bool fullChroma = false);
bool WriteTga(const std::string& path, const Image& img, bool withAlpha);
bool WriteBmp(const std::string& path, const Image& img);
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Reads a JPEG back as the game decodes it: RGB, three bytes a texel.
bool ReadJpeg(const std::string& path, std::vector<uint8_t>& rgb, int& w, int& h);

// How far a JPEG picture and its grey alpha companion, decoded, stray from
// the picture they were written from, in what they show over any background
// (in levels of 0..255): the peak signal-to-noise ratio, the largest error of
// one texel, and the largest mean error of an 8 x 8 block, which shows as
// the block itself.
struct JpegPairError {
    double psnr = 0;
    int largest = 0;
    double worstBlockShift = 0;
};
bool MeasureJpegPair(const Image& img, const std::string& colourPath, const std::string& alphaPath,
                     JpegPairError& error);

// Reads back only the picture size of a written file, to check the outputs.
bool ProbeSize(const std::string& path, int& w, int& h);

// Polygons: points in texels, y down.
struct Pt {
    float x, y;
};
bool Inside(const std::vector<Pt>& poly, float x, float y);
// Distance from (px, py) to the segment a-b.
float SegDist(float px, float py, const Pt& a, const Pt& b);
// Signed distance to a polygon: negative inside.
float PolyDist(const std::vector<Pt>& poly, float x, float y);
// Anti-aliased filled polygon, blended with coverage k.
void FillPolygon(Image& img, const std::vector<Pt>& poly, const Color& c, float k = 1.0f);

} // namespace gfx
