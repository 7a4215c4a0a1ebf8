// The bonuses drawn by the real frame renderer on GL (offscreen), from the
// installed pictures and configuration, on token caps of the quest board:
// the six kinds riding at level 3 (with a gem beside them), then each kind
// fired. Frames go to the PNG named by GALVORINE_DRAWING_PNG, numbered 1 to
// 7 before its extension.
#include "engine/DrawingFixture.h"

#include "QuestBoardGrid.h"
#include "bonuses/BonusGem.h"
#include "bonuses/BonusManager.h"
#include "bonuses/BonusParameters.h"
#include "bonuses/BonusSolidarity.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "platform/System.h"
#include "tokens/BoardGrid.h"
#include "tokens/CapsRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace d3d;
using namespace drawing_test;
using bonus_test::CellPoint;
using bonus_test::UseQuestBoardGrid;

namespace {

// The token radius of the quest board.
constexpr float kTokenSize = 36.0f;

class BonusDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        plat::SeedRandom(5);
        UseQuestBoardGrid();
        LoadBonusParameters("Data\\Config\\Gems.cfg", "Data\\Config\\Bonus.cfg");
        auto vb = renderer->vertexBuffer;
        auto ib = renderer->indexBuffer;
        for (int i = 0; i < 3; ++i) {
            sprites[i] = MakeCountedHandle(new CSpriteRenderer(device, vb, ib));
            renderer->spriteLayers[i] = sprites[i];
        }
        // Riding flares over the caps, flying ones over the HUD; sparkles
        // in the particle layers of the board and over everything.
        for (int i = 0; i < 2; ++i) {
            flares[i] = MakeCountedHandle(new CFlareRenderer(device, vb, ib));
            renderer->flareLayers[i + 1] = flares[i];
            particles[i] = MakeCountedHandle(new CParticleSystemsManager(device, vb, ib));
            particles[i]->Environment().killMin = Vec3{-1000, -1000, -1000};
            particles[i]->Environment().killMax = Vec3{1000, 1000, 1000};
            particles[i]->Environment().view->eye.z = 10000.0f;
        }
        renderer->particleLayers[2] = particles[0];
        renderer->particleLayers[5] = particles[1];
        renderer->clearColor = 0x001A1430;
        caps = MakeCountedHandle(new CCapsRenderer(device, vb, ib));
        ASSERT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        ASSERT_TRUE(caps->LoadAnimations("Data\\"));
        caps->SetShown(true);
        renderer->caps = caps;
        // A board of tokens, each colour in turn.
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column) {
                const Vec2 at = CellPoint(column, row);
                caps->CreateCap((column + row) % 7, at.x, at.y, 0, kTokenSize, 0);
            }

        manager = MakeCountedHandle(new CBonusManager());
        manager->SetResources(sprites[0], flares[0], particles[0], sprites[1], particles[1], flares[1],
                              sprites[2]);
        ASSERT_TRUE(manager->LoadTextures(device, "Data\\Gfx\\"));
        auto load = [&](const char* file, const char* name) {
            auto t = device->LoadTexture(std::string("Data\\Gfx\\") + file, name, 0, 0, D3DPOOL_MANAGED,
                                         D3DFMT_UNKNOWN);
            EXPECT_TRUE(t) << file;
            return t;
        };
        auto twirl = load("Twirl.tga", "Twirl");
        manager->SetTextures(load("StarParticle.bmp", "StarParticle"), load("Halo1.tga", "Halo1"),
                             load("Ring.jpg", "Ring"), load("Spark.bmp", "Spark"),
                             load("Lightning.jpg", "Lightning"), twirl, twirl,
                             load("PanelGlass.png", "PanelGlass"));
    }
    void TearDown() override
    {
        manager.Reset();
        caps.Reset();
        for (auto& p : particles)
            p.Reset();
        for (auto& f : flares)
            f.Reset();
        for (auto& s : sprites)
            s.Reset();
        GemParams() = GemParameters();
        BonusParams() = BonusParameters();
        Drawing::TearDown();
    }

    // A bonus flown in to rest on its cell's token.
    CountedHandle<CBonus> Ride(int32_t kind, int column, int row)
    {
        CountedHandle<CBonus> bonus = manager->CreateBonus(kind, 3, 0, 1);
        const Vec2 at = CellPoint(column, row);
        bonus->position = Vec3{at.x, at.y, 0};
        bonus->FlyIn(at.x, at.y, 0, kTokenSize, column, row, 1, 0.0f);
        return bonus;
    }
    void Run(float seconds)
    {
        const float dt = 1.0f / 60.0f;
        for (float t = 0; t < seconds; t += dt) {
            manager->Update(dt);
            for (auto& s : sprites)
                s->Update(dt, 0);
            for (auto& f : flares)
                f->Update(dt);
            for (auto& p : particles)
                p->Update(dt);
        }
    }
    Frame Draw(const char* name)
    {
        EXPECT_EQ(renderer->RenderFrame(), D3D_OK);
        Frame frame = Grab(name);
        renderer->Present();
        return frame;
    }
    // How far two frames differ about a point of the virtual screen: the
    // mean of the channels' absolute differences over a square.
    static double Change(const Frame& a, const Frame& b, float x, float y, int half = 8)
    {
        double sum = 0;
        int n = 0;
        for (int py = Py(y) - half; py <= Py(y) + half; ++py)
            for (int px = Px(x) - half; px <= Px(x) + half; ++px) {
                if (px < 0 || py < 0 || px >= a.width || py >= a.height)
                    continue;
                for (int shift : {16, 8, 0})
                    sum += std::abs(Channel(a.At(px, py), shift) - Channel(b.At(px, py), shift));
                n += 3;
            }
        return n ? sum / n : 0.0;
    }

    CountedHandle<CSpriteRenderer> sprites[3];
    CountedHandle<CFlareRenderer> flares[2];
    CountedHandle<CParticleSystemsManager> particles[2];
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CBonusManager> manager;
};

} // namespace

TEST_F(BonusDrawing, EachKindRidesAndFires)
{
    const Frame board = Draw(nullptr);
    const int32_t kinds[6] = {kBonusTnt, kBonusFlash, kBonusTime, kBonusAdviser, kBonusScore, kBonusSolidarity};
    CountedHandle<CBonus> riding[6];
    for (int i = 0; i < 6; ++i)
        riding[i] = Ride(kinds[i], i + 1, 3);
    CountedHandle<CBonus> gem = manager->CreateGem(2, 1);
    const Vec2 gemCell = CellPoint(3, 5);
    gem->Place(gemCell.x, gemCell.y, 0, kTokenSize, 3, 5);
    Run(0.5f);
    const Frame ride = Draw("1");
    for (int i = 0; i < 6; ++i) {
        const Vec2 at = CellPoint(i + 1, 3);
        EXPECT_GT(Change(board, ride, at.x, at.y), 12.0) << "kind " << kinds[i];
    }
    EXPECT_GT(Change(board, ride, gemCell.x, gemCell.y, 30), 4.0);

    // Each kind fired on its own, a moment into its effect.
    struct Fired {
        int32_t kind;
        float seconds; // into the effect
        Vec2 where;    // a point the effect lights
    };
    const CBoardGrid& grid = BoardGrid();
    const Vec2 cell = CellPoint(3, 3);
    const Vec3 clock = BonusParams().timeTarget;
    const Fired fired[6] = {
        {kBonusTnt, 0.2f, CellPoint(5, 3)},                               // two steps away
        {kBonusFlash, 0.1f, Vec2{grid.originX + 10.0f, cell.y}},          // the row's end
        {kBonusTime, 0.42f, Vec2{clock.x, clock.y}},                      // the time display
        {kBonusAdviser, 0.0f, Vec2{BonusParams().adviserTarget.x, 0.0f}}, // placed below
        {kBonusScore, 0.15f, cell},                                       // the coins' burst
        {kBonusSolidarity, 0.2f, CellPoint(3, 1)},                        // along its bolt
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(fired[i].kind);
        manager->RemoveAll();
        for (auto& r : riding)
            r.Reset();
        gem.Reset();
        Run(0.5f); // what the last frame left dies away
        CountedHandle<CBonus> bonus = Ride(fired[i].kind, 3, 3);
        Run(0.2f);
        if (fired[i].kind == kBonusSolidarity) {
            std::vector<float> delays;
            static_cast<CBonusSolidarity&>(*bonus).SetTargets({CellPoint(3, 1), CellPoint(3, 0), CellPoint(6, 0)},
                                                              &delays);
        }
        const Frame before = Draw(nullptr);
        bonus->Fire();
        Vec2 where = fired[i].where;
        if (fired[i].kind == kBonusAdviser) {
            // It flies to the hint counter: a third of the way there.
            Run(0.33f * bonus->pathDuration);
            where = Vec2{bonus->position.x, bonus->position.y};
        } else {
            Run(fired[i].seconds);
        }
        const std::string name = std::to_string(i + 2);
        const Frame after = Draw(name.c_str());
        EXPECT_GT(Change(before, after, where.x, where.y, 10), 6.0);
    }
}
