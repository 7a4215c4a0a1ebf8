// The challenges' pictures as the game reads them: the open tiles under the
// plates tell the seven tokens apart by hue and leave the empty tile bare,
// and the Accuracy star fills the one cell its sprites show.
#include "ChallengeRig.h"
#include "platform/D3DX.h"

#include <cstdlib>
#include <string>

using challenge_rig::Rig;

namespace {

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

int Distance(uint32_t a, uint32_t b)
{
    return std::abs(Channel(a, 16) - Channel(b, 16)) + std::abs(Channel(a, 8) - Channel(b, 8)) +
           std::abs(Channel(a, 0) - Channel(b, 0));
}

class Pictures : public Rig {};

} // namespace

TEST_F(Pictures, OpenTilesShowSevenTokensEachItsOwnHueAndAnEmptyOneShowsNothing)
{
    // The centre of each open tile, and a point on the same shading line of
    // its face (the face shades along the diagonal) a fifth of a tile away.
    uint32_t centres[8], aside[8];
    for (int code = 0; code < 8; ++code) {
        const int type = 20 + code;
        const CCapsAnimation& animation = caps->Animations()[static_cast<size_t>(caps->AnimationIndex(type))];
        const CapFrame& open = animation.frames[static_cast<size_t>(animation.track.back())];
        d3d::DecodedImage image;
        ASSERT_TRUE(d3d::DecodeImageFile("Data\\Gfx\\MemCaps" + std::to_string(1 + code / 3) + ".tga", &image));
        const float w = static_cast<float>(image.width), h = static_cast<float>(image.height);
        const int x = static_cast<int>((open.uLeft + open.uRight) * 0.5f * w);
        const int y = static_cast<int>((open.vTop + open.vBottom) * 0.5f * h);
        const int step = static_cast<int>((open.uRight - open.uLeft) * w * 0.2f);
        centres[code] = image.pixels[static_cast<size_t>(y) * image.width + static_cast<size_t>(x)];
        aside[code] = image.pixels[static_cast<size_t>(y - step) * image.width + static_cast<size_t>(x + step)];
    }
    for (int a = 0; a < 7; ++a) {
        EXPECT_GT(Distance(centres[a], aside[a]), 60) << a; // something lies on the tile
        for (int b = a + 1; b < 8; ++b)
            EXPECT_GT(Distance(centres[a], centres[b]), 60) << a << " " << b;
    }
    EXPECT_LT(Distance(centres[7], aside[7]), 12); // the empty tile is bare
}

TEST_F(Pictures, TheArcadeStarFillsTheCellItsSpritesShow)
{
    d3d::DecodedImage image;
    ASSERT_TRUE(d3d::DecodeImageFile("Data\\Gfx\\ArcadeStar.tga", &image));
    ASSERT_EQ(image.width, 256u);
    ASSERT_EQ(image.height, 256u);
    // The sprites show u 0 to 0.25 and v 0.75 to 1: texels 0..63 x 192..255.
    for (uint32_t y = 0; y < 256; ++y)
        for (uint32_t x = 0; x < 256; ++x)
            if (x >= 64 || y < 192) {
                ASSERT_EQ(image.pixels[y * 256 + x] >> 24, 0u) << x << " " << y;
            }
    const uint32_t heart = image.pixels[224 * 256 + 32];
    EXPECT_EQ(heart >> 24, 255u);
    const uint32_t arm = image.pixels[200 * 256 + 32]; // the upper arm, gold
    EXPECT_GT(Channel(arm, 16), Channel(arm, 8));
    EXPECT_GT(Channel(arm, 8), Channel(arm, 0));
}
