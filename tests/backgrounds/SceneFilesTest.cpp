// The installed scene files: every picture at its size and format with its
// alpha companion, the menu's pieces with every texel's own colour, and
// "Background.cfg" against the pictures (every gem and ray picture in the
// lower band and not blank, everything placed on screen).
#include "engine/Settings.h"
#include "platform/D3DX.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kGfx = "Data\\Gfx\\";
const std::string kCfg = "Data\\Config\\Background.cfg";

bool Decode(const std::string& file, d3d::DecodedImage* image) { return d3d::DecodeImageFile(kGfx + file, image); }

std::vector<uint8_t> Head(const std::string& file)
{
    std::vector<uint8_t> bytes;
    uint64_t size = 0;
    plat::ReadFileHead(kGfx + file, 64, &bytes, &size);
    bytes.resize(64);
    return bytes;
}

} // namespace

TEST(SceneFiles, EveryPictureAtItsSizeWithItsCompanion)
{
    struct Picture {
        const char* file;
        uint32_t width, height;
        bool companion; // loaded with an "_alpha" picture of the same size
    } const pictures[] = {
        {"Museum.jpg", 1024, 1024, false},        {"MuseumDust.tga", 256, 256, true},
        {"MuseumDustMask.tga", 256, 256, false},  {"MuseumFlareRays.tga", 512, 512, true},
        {"Jungle.jpg", 1024, 1024, false},        {"JungleFog.jpg", 512, 256, false},
        {"JungleMask.tga", 256, 128, false},      {"JungleFlareRays.tga", 512, 512, true},
        {"JungleFlashMask.bmp", 256, 102, false}, {"Valley.jpg", 1024, 1024, false},
        {"ValleyCloud.jpg", 512, 512, false},     {"ValleyMask.tga", 256, 64, false},
        {"ValleyFlareRays.tga", 512, 512, true},  {"Door.jpg", 1024, 1024, false},
        {"DoorShadow.jpg", 512, 128, false},      {"DoorMask.tga", 256, 128, false},
        {"DoorFoliage.tga", 512, 1024, true},     {"Treasury.jpg", 1024, 1024, false},
        {"TreasuryDust.tga", 256, 256, true},     {"TreasuryMask.tga", 256, 256, false},
        {"TreasuryElements.tga", 512, 512, true}, {"TreasuryRays.jpg", 256, 256, false},
        {"MainBack.jpg", 1024, 1024, false},      {"MainSkyMask.tga", 256, 128, false},
        {"MainLeafMask.tga", 256, 256, false},    {"MainElements.jpg", 512, 1024, true},
        {"MainFoliage.jpg", 512, 256, true},
    };
    for (const Picture& p : pictures) {
        const std::string file = p.file, ext = file.substr(file.size() - 3);
        d3d::DecodedImage image;
        ASSERT_TRUE(Decode(file, &image)) << file;
        EXPECT_EQ(image.width, p.width) << file;
        EXPECT_EQ(image.height, p.height) << file;
        const std::vector<uint8_t> head = Head(file);
        if (ext == "jpg") {
            EXPECT_TRUE(head[0] == 0xFF && head[1] == 0xD8) << file;
        } else if (ext == "bmp") {
            EXPECT_TRUE(head[0] == 'B' && head[1] == 'M' && head[28] == 24) << file;
        } else {
            EXPECT_EQ(head[2], 2) << file; // an uncompressed true-colour TGA
        }
        if (p.companion) {
            const std::string companion = file.substr(0, file.size() - 4) + "_alpha." + ext;
            d3d::DecodedImage alpha;
            ASSERT_TRUE(Decode(companion, &alpha)) << companion;
            EXPECT_EQ(alpha.width, p.width) << companion;
            EXPECT_EQ(alpha.height, p.height) << companion;
        }
    }
    EXPECT_TRUE(plat::FileExists(kCfg));
}

// The menu's pieces are seen up close on a large window: no component of
// their JPEGs is sampled at less than every texel, which shows as blocks of
// colour along the leaves.
TEST(SceneFiles, TheMenuPiecesKeepEveryTexelsColour)
{
    for (const char* file :
         {"MainElements.jpg", "MainElements_alpha.jpg", "MainFoliage.jpg", "MainFoliage_alpha.jpg"}) {
        std::vector<uint8_t> b;
        ASSERT_TRUE(plat::ReadWholeFile(kGfx + file, &b)) << file;
        // The markers up to the first start of frame, which lists each
        // component's sampling factors (horizontal and vertical in a byte).
        size_t at = 2;
        while (at + 10 <= b.size() && b[at] == 0xFF && !(b[at + 1] >= 0xC0 && b[at + 1] <= 0xC2))
            at += 2 + static_cast<size_t>(b[at + 2] << 8 | b[at + 3]);
        ASSERT_LE(at + 10, b.size()) << file << " has no frame";
        const size_t components = b[at + 9];
        ASSERT_LE(at + 10 + 3 * components, b.size()) << file;
        for (size_t c = 0; c < components; ++c)
            EXPECT_EQ(b[at + 10 + 3 * c + 1], 0x11) << file << " component " << c;
    }
}

TEST(SceneFiles, TheSettingsAgreeWithThePictures)
{
    struct Stage {
        const char* section;
        const char* picture;
        int sets, rays;
    } const stages[] = {{"Museum", "Museum.jpg", 5, 6},
                        {"Jungle", "Jungle.jpg", 6, 6},
                        {"Valley", "Valley.jpg", 8, 8},
                        {"Door", "Door.jpg", 10, 10},
                        {"Treasury", "Treasury.jpg", 12, 12}};
    for (const Stage& s : stages) {
        d3d::DecodedImage picture;
        ASSERT_TRUE(Decode(s.picture, &picture));
        // A texture rectangle lies in the band below the scene and shows
        // something.
        auto inBand = [&](const std::string& key) {
            Vec4 r;
            ReadIniVec4(kCfg, s.section, key.c_str(), "", &r);
            ASSERT_TRUE(r.x >= 0 && r.z <= 1024 && r.y >= 768 && r.w <= 1024 && r.z > r.x && r.w > r.y)
                << s.section << " " << key;
            int lit = 0;
            for (int y = static_cast<int>(r.y); y < static_cast<int>(r.w); ++y)
                for (int x = static_cast<int>(r.x); x < static_cast<int>(r.z); ++x) {
                    const uint32_t c =
                        picture.pixels[static_cast<size_t>(y) * picture.width + static_cast<size_t>(x)];
                    lit += ((c >> 16) & 0xFF) > 40 || ((c >> 8) & 0xFF) > 40 || (c & 0xFF) > 40;
                }
            EXPECT_GT(lit, (r.z - r.x) * (r.w - r.y) / 20) << s.section << " " << key << " is blank";
        };
        auto onScreen = [&](const std::string& key, bool box) {
            Vec4 r;
            ReadIniVec4(kCfg, s.section, key.c_str(), "-1 -1 -1 -1", &r);
            const float x = box ? r.x + r.z / 2 : r.x, y = box ? r.y + r.w / 2 : r.y;
            EXPECT_TRUE(x >= 0 && x <= 1024 && y >= 0 && y <= 768) << s.section << " " << key;
        };
        for (int i = 1; i <= s.sets; ++i) {
            inBand("GemT" + std::to_string(i));
            onScreen("Gem" + std::to_string(i), true);
        }
        for (int i = 1; i <= s.rays; ++i) {
            inBand("RayT" + std::to_string(i));
            onScreen("Ray" + std::to_string(i), true);
        }
        for (int i = 1; i <= s.sets + 1; ++i)
            onScreen("Flare" + std::to_string(i), false);
        // Distinct gems.
        for (int i = 2; i <= s.sets; ++i) {
            Vec4 a, b;
            ReadIniVec4(kCfg, s.section, ("GemT" + std::to_string(i - 1)).c_str(), "", &a);
            ReadIniVec4(kCfg, s.section, ("GemT" + std::to_string(i)).c_str(), "", &b);
            EXPECT_FALSE(a.x == b.x && a.y == b.y) << s.section << " " << i;
        }
    }
    EXPECT_EQ(ReadIniInt(kCfg, "Door", "UseSand", "0"), 1);
    IntPair crack;
    ReadIniIntPair(kCfg, "Treasury", "ChestCrack", "", &crack);
    EXPECT_GE(crack.b, 2);
}
