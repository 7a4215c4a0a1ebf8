// The particle pictures as the build installs them: the atlases hold sixteen
// cells, each see-through at its border and visible in its middle, and the
// lightning strip runs its bolt along v.
#include "platform/D3DX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace d3d;

namespace {

// The coverage of a picture: the alpha channel, or the grey of its "_alpha"
// companion.
struct Coverage {
    uint32_t size = 0;
    std::vector<int> alpha;
    int At(uint32_t x, uint32_t y) const { return alpha[y * size + x]; }
};

Coverage Load(const std::string& file, const std::string& companion)
{
    Coverage c;
    DecodedImage image;
    EXPECT_TRUE(DecodeImageFile("Data\\Gfx\\" + (companion.empty() ? file : companion), &image)) << file;
    EXPECT_EQ(image.width, image.height) << file;
    c.size = image.width;
    for (uint32_t p : image.pixels)
        c.alpha.push_back(companion.empty() ? static_cast<int>(p >> 24) : static_cast<int>((p >> 8) & 0xFF));
    if (!companion.empty()) {
        DecodedImage colour;
        EXPECT_TRUE(DecodeImageFile("Data\\Gfx\\" + file, &colour)) << file;
        EXPECT_EQ(colour.width, image.width) << file;
        EXPECT_EQ(colour.height, image.height) << file;
    }
    return c;
}

} // namespace

TEST(ParticleAtlases, SixteenCellsWithClearBordersAndVisibleMiddles)
{
    const struct {
        const char* file;
        const char* companion;
        uint32_t size;
        uint32_t margin;
    } atlases[] = {{"Cloud.jpg", "Cloud_alpha.jpg", 256, 4},
                   {"FireCloud.jpg", "FireCloud_alpha.jpg", 256, 4},
                   {"Sand.jpg", "Sand_alpha.jpg", 256, 4},
                   {"StarSand.tga", "", 256, 4},
                   {"SmallSand.tga", "", 128, 2}};
    for (const auto& a : atlases) {
        const Coverage c = Load(a.file, a.companion);
        ASSERT_EQ(c.size, a.size) << a.file;
        const uint32_t cell = a.size / 4;
        // Compression may leave a trace; a neighbour's bleed would be far
        // stronger.
        const int clear = a.companion[0] ? 12 : 0;
        for (int n = 0; n < 16; ++n) {
            const uint32_t x0 = static_cast<uint32_t>(n % 4) * cell, y0 = static_cast<uint32_t>(n / 4) * cell;
            int border = 0;
            for (uint32_t i = 0; i < cell; ++i)
                for (uint32_t m = 0; m < a.margin; ++m)
                    border = std::max({border, c.At(x0 + i, y0 + m), c.At(x0 + i, y0 + cell - 1 - m),
                                       c.At(x0 + m, y0 + i), c.At(x0 + cell - 1 - m, y0 + i)});
            EXPECT_LE(border, clear) << a.file << " cell " << n;
            int middle = 0;
            for (uint32_t y = y0 + cell / 2 - 2; y < y0 + cell / 2 + 2; ++y)
                for (uint32_t x = x0 + cell / 2 - 2; x < x0 + cell / 2 + 2; ++x)
                    middle = std::max(middle, c.At(x, y));
            EXPECT_GE(middle, 128) << a.file << " cell " << n;
        }
    }
}

TEST(ParticleAtlases, LightningGlowsAlongVAndFadesToBlack)
{
    DecodedImage strip;
    ASSERT_TRUE(DecodeImageFile("Data\\Gfx\\Lightning.jpg", &strip));
    ASSERT_GT(strip.height, strip.width);
    auto grey = [&](uint32_t x, uint32_t y) {
        const uint32_t p = strip.pixels[y * strip.width + x];
        return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
    };
    const uint32_t mid = strip.height / 2, centre = strip.width / 2;
    EXPECT_GE(grey(centre, mid), 230); // white core
    const uint32_t halo = strip.pixels[mid * strip.width + centre - strip.width / 8];
    EXPECT_GT(halo & 0xFF, (halo >> 8) & 0xFF); // bluer than green: the violet halo
    for (uint32_t y : {0u, mid, strip.height - 1}) {
        EXPECT_LE(grey(0, y), 8);
        EXPECT_LE(grey(strip.width - 1, y), 8);
    }
    EXPECT_LE(grey(centre, 0), 8);
    EXPECT_LE(grey(centre, strip.height - 1), 8);
}
