// The totem powers on GL (offscreen) over the quest board's caps and the
// quest screen's panel, as the game draws them: one frame in the middle of
// each colour's power (blue, red, violet, orange, green, white, yellow as
// -1 ... -7 of the PNG named by GALVORINE_DRAWING_PNG), each showing the
// power where its bolt, fireball, glow, swirl, ray, paint or number is.
#include "StubBoard.h"

#include "balance/BalanceState.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/DrawingFixture.h"
#include "engine/Sprite.h"
#include "platform/System.h"
#include "tokens/BoardGrid.h"
#include "tokens/CapsRenderer.h"
#include "totems/TotemsManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

using namespace d3d;
using namespace drawing_test;
using namespace totems_rig;

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr float kTokenSize = 36.0f;

class PowersDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // The quest board as the shipped layout places it.
        BoardGrid().Set(-144.5f, 367.5f, 0.0f, 8, 8, 80.0f, 80.0f);
        renderer->clearColor = 0x001A1430;
        const auto vb = renderer->vertexBuffer;
        const auto ib = renderer->indexBuffer;
        caps = MakeCountedHandle(new CCapsRenderer(device, vb, ib));
        ASSERT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        ASSERT_TRUE(caps->LoadAnimations("Data\\"));
        caps->SetShown(true);
        renderer->caps = caps;
        panel = MakeCountedHandle(new CSpriteRenderer(device, vb, ib));
        renderer->spriteLayers[1] = panel;
        auto hud = MakeCountedHandle(
            new CSprite(-512.0f + 176.0f, 0.0f, 0.0f, 352.0f, 768.0f, 0xFFFFFFFF, Picture("PanelQuest.png"), 1));
        hud->SetFrameRect(0, 0.0f, 0.0f, 352.0f / 512.0f, 768.0f / 1024.0f);
        panel->Add(hud);
        const char* files[CTotemsManager::kChain] = {
            "Halo1.tga",      "SpellFuzzy.bmp", "FireCloud.jpg", "StarParticle.bmp", "Twirl.tga",
            "PanelGlass.png", "GemFlares.tga",  "Lightning.jpg", "Spark.bmp",        "Cloud.jpg"};
        for (int i = 0; i < CTotemsManager::kChain; ++i)
            shared[static_cast<size_t>(i)] = Picture(files[i]);
        shared[CTotemsManager::kChain] = caps->ChainTexture();
        shared[CTotemsManager::kChainAlpha] = caps->ChainAlphaTexture();
    }
    void TearDown() override
    {
        totems.reset();
        sprites.Reset();
        particles.Reset();
        flares.Reset();
        panel.Reset();
        caps.Reset();
        BoardGrid() = CBoardGrid();
        Drawing::TearDown();
    }
    CountedHandle<CTexture> Picture(const std::string& file)
    {
        auto texture = device->LoadTexture("Data\\Gfx\\" + file, file.substr(0, file.find('.')), 0, 0,
                                           D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        EXPECT_TRUE(texture) << file;
        return texture;
    }
    // A fresh board of caps, a fresh manager with every colour owned at
    // `level`, and the colour's totem in front.
    void Stage(int colour, int level)
    {
        plat::SeedRandom(17);
        totems.reset();
        const auto vb = renderer->vertexBuffer;
        const auto ib = renderer->indexBuffer;
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vb, ib));
        renderer->spriteLayers[2] = sprites;
        particles = MakeCountedHandle(new CParticleSystemsManager(device, vb, ib));
        particles->Environment().killMin = Vec3{-1000, -1000, -1000};
        particles->Environment().killMax = Vec3{1000, 1000, 1000};
        particles->Environment().view->eye.z = 10000.0f;
        renderer->particleLayers[4] = particles;
        flares = MakeCountedHandle(new CFlareRenderer(device, vb, ib));
        renderer->flareLayers[2] = flares;
        totems = std::make_unique<CTotemsManager>();
        totems->SetRenderers(device, sprites, particles, flares, &balance);
        totems->LoadConfig("Data\\Config\\Totems.cfg");
        ASSERT_TRUE(totems->LoadTextures("Data\\Gfx\\"));
        totems->SetTextures(shared);
        balance.bonusSlots.assign(6, 2);
        totems->levels.fill(level);
        totems->levels[kBlueTotem] = std::min(level, 3);
        board = StubBoard();
        board.gemsToPlace = 6;
        for (auto& cap : capsShown)
            caps->RemoveCap(cap);
        capsShown.clear();
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column) {
                StubToken& t = board.At(column, row);
                // Steel here and there, a few gems.
                if ((column * 3 + row * 5) % 11 == 0)
                    t.colour = kSteel;
                t.gem = t.colour < kSteel && (column * 7 + row) % 9 == 0;
                const Vec3 at = BoardGrid().CellCenter(column, row);
                capsShown.push_back(caps->CreateCap(t.colour >= kSteel ? kSteel : t.colour + (t.gem ? 50 : 0),
                                                    at.x, at.y, 0, kTokenSize, 0));
            }
        totems->Reset();
        totems->BuildPanel(true);
        totems->QueueTotem(colour);
        Run(0.8f);
    }
    void Run(float seconds)
    {
        for (float t = 0; t < seconds - 1e-4f; t += kFrame) {
            if (totems->Update(kFrame))
                board.Apply(*totems);
            sprites->Update(kFrame, 0);
            particles->Update(kFrame);
            flares->Update(kFrame);
        }
    }
    Frame Draw(const char* name)
    {
        EXPECT_EQ(renderer->RenderFrame(), D3D_OK);
        const Frame frame = Grab(name);
        renderer->Present();
        return frame;
    }
    // How far two frames differ about a point of the virtual screen: the
    // mean of the channels' absolute differences over a square.
    static double Change(const Frame& a, const Frame& b, const Vec3& at, int half = 6)
    {
        double sum = 0;
        int n = 0;
        for (int py = Py(at.y) - half; py <= Py(at.y) + half; ++py)
            for (int px = Px(at.x) - half; px <= Px(at.x) + half; ++px) {
                if (px < 0 || py < 0 || px >= a.width || py >= a.height)
                    continue;
                for (int shift : {16, 8, 0})
                    sum += std::abs(Channel(a.At(px, py), shift) - Channel(b.At(px, py), shift));
                n += 3;
            }
        return n ? sum / n : 0.0;
    }

    CountedHandle<CCapsRenderer> caps;
    std::vector<CountedHandle<CCap>> capsShown;
    CountedHandle<CSpriteRenderer> panel, sprites;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CFlareRenderer> flares;
    std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
    CBalanceState balance;
    std::unique_ptr<CTotemsManager> totems;
    StubBoard board;
};

template <class T>
T& As(const CountedHandle<CTotem>& totem)
{
    return static_cast<T&>(*totem);
}

} // namespace

TEST_F(PowersDrawing, EachPowerInTheMiddle)
{
    struct Shot {
        int colour;
        float into; // seconds into the power
    };
    const Shot shots[7] = {{kBlueTotem, 0.72f},  {kRedTotem, 0.32f},  {kVioletTotem, 0.4f}, {kOrangeTotem, 0.4f},
                           {kGreenTotem, 0.55f}, {kWhiteTotem, 0.4f}, {kYellowTotem, 0.5f}};
    for (int i = 0; i < 7; ++i) {
        const Shot& shot = shots[i];
        SCOPED_TRACE(shot.colour);
        Stage(shot.colour, 3);
        if (HasFatalFailure())
            return;
        const CountedHandle<CTotem> totem = totems->Placed(shot.colour);
        const Frame before = Draw(nullptr);
        totems->QueueTotem(shot.colour);
        Run(shot.into);
        ASSERT_TRUE(totem->PowerRuns());
        // Where the power shows at this moment.
        Vec3 where;
        switch (shot.colour) {
        case kBlueTotem: {
            const CBlueTotem& blue = As<CBlueTotem>(totem);
            ASSERT_FALSE(blue.flying.empty());
            const CStrikeBolt& bolt = *blue.flying[0];
            const float middle = std::clamp(bolt.travelled - 0.5f * bolt.length, 0.0f, bolt.distance);
            where = Vec3{bolt.origin.x + bolt.direction.x * middle, bolt.origin.y + bolt.direction.y * middle, 0};
            break;
        }
        case kRedTotem:
            ASSERT_FALSE(As<CRedTotem>(totem).fireballs.empty());
            where = As<CRedTotem>(totem).fireballs[0]->position;
            break;
        case kVioletTotem:
            ASSERT_EQ(As<CVioletTotem>(totem).parts.size(), 3u);
            where = {As<CVioletTotem>(totem).parts[0]->x, As<CVioletTotem>(totem).parts[0]->y, 0};
            break;
        case kOrangeTotem:
            ASSERT_TRUE(As<COrangeTotem>(totem).effectSystems[0]);
            where = As<COrangeTotem>(totem).effectSystems[0]->Position();
            break;
        case kGreenTotem:
            ASSERT_FALSE(As<CGreenTotem>(totem).rays.empty());
            where = {As<CGreenTotem>(totem).rays[0]->head->x, As<CGreenTotem>(totem).rays[0]->head->y, 0};
            break;
        case kWhiteTotem:
            ASSERT_FALSE(As<CWhiteTotem>(totem).streams.empty());
            where = As<CWhiteTotem>(totem).streams[0]->head;
            break;
        default:
            ASSERT_TRUE(As<CYellowTotem>(totem).number);
            where = {As<CYellowTotem>(totem).number->x, As<CYellowTotem>(totem).number->y, 0};
            break;
        }
        const Frame middle = Draw(std::to_string(i + 1).c_str());
        EXPECT_GT(Change(before, middle, where, 10), 8.0) << where.x << ", " << where.y;
    }
}

namespace {

// What a cut of a picture has to show, read from its tile of the frame.
enum class Look {
    kLight,     // a glow: a bright heart inside, dark at the rim
    kSpot,      // a small shine: a bright point, little covered
    kBeam,      // a beam running down: bright down the middle, even along
    kRay,       // a ray across: bright in the middle, fading to its ends
    kCover,     // something solid: a good part of the tile covered
    kDropRight, // a drop whose head is at its right
    kCross,     // the plus sign: bright middle, dark corners
    kText,      // a number or sign: covered in part, not all over
};

struct Cut {
    const char* picture;
    float u0, v0, u1, v1;
    Look look;
};

// Means of a tile's brightness (the sum of the channels / 3) over parts.
struct Tile {
    const Frame* frame;
    int x0, y0, size;
    double Mean(double fx0, double fy0, double fx1, double fy1) const
    {
        double sum = 0;
        int n = 0;
        for (int y = y0 + static_cast<int>(fy0 * size); y < y0 + static_cast<int>(fy1 * size); ++y)
            for (int x = x0 + static_cast<int>(fx0 * size); x < x0 + static_cast<int>(fx1 * size); ++x) {
                const uint32_t p = frame->At(x, y);
                sum += (Channel(p, 16) + Channel(p, 8) + Channel(p, 0)) / 3.0;
                ++n;
            }
        return n ? sum / n : 0.0;
    }
    double Covered(double fx0 = 0, double fx1 = 1) const
    {
        int lit = 0, n = 0;
        for (int y = y0; y < y0 + size; ++y)
            for (int x = x0 + static_cast<int>(fx0 * size); x < x0 + static_cast<int>(fx1 * size); ++x) {
                const uint32_t p = frame->At(x, y);
                lit += Channel(p, 16) + Channel(p, 8) + Channel(p, 0) > 120 ? 1 : 0;
                ++n;
            }
        return static_cast<double>(lit) / n;
    }
    // The brightness-weighted middle of the tile, in fractions of it.
    void Centroid(double* fx, double* fy) const
    {
        double sum = 0, sx = 0, sy = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const uint32_t p = frame->At(x0 + x, y0 + y);
                const double b = Channel(p, 16) + Channel(p, 8) + Channel(p, 0);
                sum += b;
                sx += b * (x + 0.5);
                sy += b * (y + 0.5);
            }
        *fx = sum > 0 ? sx / sum / size : 0.5;
        *fy = sum > 0 ? sy / sum / size : 0.5;
    }
    double Brightest() const
    {
        double most = 0;
        for (int y = y0; y < y0 + size; ++y)
            for (int x = x0; x < x0 + size; ++x) {
                const uint32_t p = frame->At(x, y);
                most = std::max(most, (Channel(p, 16) + Channel(p, 8) + Channel(p, 0)) / 3.0);
            }
        return most;
    }
    double Rim() const
    {
        const double band = 0.1;
        return (Mean(0, 0, 1, band) + Mean(0, 1 - band, 1, 1) + Mean(0, band, band, 1 - band) +
                Mean(1 - band, band, 1, 1 - band)) /
               4;
    }
};

} // namespace

// Every cell of a picture a power cuts shows what the power draws with it:
// the unigem's beam, glow and sparkles, the paint's drops and shines, the
// steel cap, yellow's numbers and plus sign, violet's glow and ray, the
// time digits, the clock's flash and the chain light of the gem flares.
TEST_F(PowersDrawing, ThePicturesCutsShowWhatThePowersDrawWithThem)
{
    CTotemsManager config;
    config.LoadConfig("Data\\Config\\Totems.cfg");
    panel->Remove(panel->sprites[0]);
    sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
    renderer->spriteLayers[2] = sprites;
    std::vector<Cut> cuts = {
        {"Unigem.tga", 0, 0, 0.5f, 1, Look::kBeam},
        {"Unigem.tga", 0.5f, 0, 1, 0.5f, Look::kLight},
        {"PaintDrop.png", 0, 0, 0.5f, 0.5f, Look::kDropRight},
        {"PaintDrop.png", 0.5f, 0, 1, 0.5f, Look::kSpot},
        {"PaintDrop.png", 0, 0.5f, 0.5f, 1, Look::kCover},
        {"PaintDrop.png", 0.5f, 0.5f, 1, 1, Look::kSpot},
        {"SteelCapsT.png", 0, 0, 0.65625f, 1, Look::kCover},
        {"YellowTotem.png", 0.9375f, 0.875f, 1, 1, Look::kCross},
        {"VioletGlowRays.tga", 0, 0.5f, 1, 1, Look::kLight},
        {"VioletGlowRays.tga", 0, 0, 0.734375f, 0.5f, Look::kRay},
        {"PanelGlass.png", 0, 0, 0.546875f, 0.546875f, Look::kLight},
        {"GemFlares.tga", 0.734375f, 0.25f, 0.984375f, 0.75f, Look::kLight},
    };
    for (int i = 0; i < 4; ++i) {
        const float u = 0.5f + 0.25f * static_cast<float>(i % 2), v = 0.5f + 0.25f * static_cast<float>(i / 2);
        cuts.push_back({"Unigem.tga", u, v, u + 0.25f, v + 0.25f, Look::kLight});
    }
    for (const TextureRect& r : config.yellowParams.numbers)
        cuts.push_back({"YellowTotem.png", r.u0, r.v0, r.u1, r.v1, Look::kText});
    // The digits swirl's twelve cells: 0-9, the plus and the colon.
    for (int i = 0; i < 12; ++i) {
        const float u = 0.25f * static_cast<float>(i % 4), v = 0.25f * static_cast<float>(i / 4);
        cuts.push_back({"TimeDigits.png", u, v, u + 0.25f, v + 0.25f, Look::kText});
    }
    // Tiles of 112 pixels in rows of eight, over black.
    renderer->clearColor = 0;
    const int size = 112, step = 128;
    std::vector<CountedHandle<CTexture>> held;
    for (size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        held.push_back(Picture(c.picture));
        const int col = static_cast<int>(i % 8), row = static_cast<int>(i / 8);
        auto tile = MakeCountedHandle(new CSprite(-512.0f + 8 + step * col + size / 2.0f,
                                                  384.0f - 8 - step * row - size / 2.0f, 0.0f, size, size,
                                                  0xFFFFFFFF, held.back(), 1));
        tile->SetBlendMode(1, 0);
        tile->SetFrameRect(0, c.u0, c.v0, c.u1, c.v1);
        sprites->Add(tile);
    }
    const Frame frame = Draw("cells");
    std::vector<Tile> tiles;
    for (size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        const Tile t{&frame, 8 + step * static_cast<int>(i % 8), 8 + step * static_cast<int>(i / 8), size};
        tiles.push_back(t);
        SCOPED_TRACE(testing::Message() << c.picture << " " << c.u0 << " " << c.v0);
        const double middle = t.Mean(0.35, 0.35, 0.65, 0.65), rim = t.Rim();
        switch (c.look) {
        case Look::kLight: {
            double fx = 0, fy = 0;
            t.Centroid(&fx, &fy);
            EXPECT_TRUE(fx > 0.3 && fx < 0.7 && fy > 0.3 && fy < 0.75) << fx << ", " << fy;
            const double heart = t.Mean(fx - 0.15, fy - 0.15, fx + 0.15, fy + 0.15);
            EXPECT_GT(heart, 50.0);
            EXPECT_LT(rim, heart / 3);
            break;
        }
        case Look::kSpot:
            EXPECT_GT(t.Brightest(), 150.0);
            EXPECT_LT(t.Covered(), 0.1);
            break;
        case Look::kBeam:
            EXPECT_GT(t.Mean(0.4, 0, 0.6, 1), 2 * (t.Mean(0, 0, 0.1, 1) + t.Mean(0.9, 0, 1, 1)) / 2 + 30);
            EXPECT_NEAR(t.Mean(0.4, 0, 0.6, 0.2), t.Mean(0.4, 0.8, 0.6, 1), 0.3 * t.Mean(0.4, 0, 0.6, 1));
            break;
        case Look::kRay:
            EXPECT_GT(middle, 2 * (t.Mean(0, 0.35, 0.1, 0.65) + t.Mean(0.9, 0.35, 1, 0.65)) / 2 + 30);
            break;
        case Look::kCover:
            EXPECT_GT(t.Covered(), 0.15);
            break;
        case Look::kDropRight:
            EXPECT_GT(t.Covered(), 0.15);
            EXPECT_GT(t.Covered(0.5, 1), t.Covered(0, 0.5));
            break;
        case Look::kCross:
            EXPECT_GT(middle, 100.0);
            EXPECT_LT(t.Mean(0, 0, 0.2, 0.2) + t.Mean(0.8, 0.8, 1, 1), 20.0);
            break;
        case Look::kText:
            EXPECT_GT(t.Covered(), 0.01);
            EXPECT_LT(t.Covered(), 0.6);
            break;
        }
    }
    // The five numbers and the twelve digits each differ from the others.
    auto differ = [&](size_t a, size_t b) {
        double sum = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                for (int shift : {16, 8, 0})
                    sum += std::abs(Channel(frame.At(tiles[a].x0 + x, tiles[a].y0 + y), shift) -
                                    Channel(frame.At(tiles[b].x0 + x, tiles[b].y0 + y), shift));
        return sum / (3.0 * size * size);
    };
    for (size_t first : {size_t{16}, size_t{21}})
        for (size_t a = first; a < (first == 16 ? 21 : 33); ++a)
            for (size_t b = a + 1; b < (first == 16 ? 21 : 33); ++b)
                EXPECT_GT(differ(a, b), 3.0) << a << " " << b;
}
