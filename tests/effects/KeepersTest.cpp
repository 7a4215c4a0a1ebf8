// The keeper protocol as the keeper-driven system runs it, and each keeper's
// decisive cases.
#include "EffectsTestSupport.h"
#include "engine/RenderTestSupport.h"

#include "effects/keepers/DropsSprayKeeper.h"
#include "effects/keepers/DustTrackKeeper.h"
#include "effects/keepers/MultiOriginSystemKeeper.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/keepers/SimpleSpriteSystemKeeper.h"
#include "effects/keepers/SpriteCrackKeeper.h"
#include "effects/keepers/VortexKeeper.h"
#include "effects/particles/Collection2ParticleSystem.h"
#include "effects/particles/ParticleMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace effects_test;
using namespace fx;

namespace {

// Writes down every call the system makes.
class RecordingKeeper : public CCollection2Keeper {
public:
    bool UpdateParticle(int slot, CCollectedParticle2&, float, float, float, float) override
    {
        calls += "U" + std::to_string(slot) + " ";
        return true;
    }
    bool IsEmitting() override
    {
        calls += "E ";
        return true;
    }
    int GetEmitCount(float) override
    {
        calls += "C ";
        return emit;
    }
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override
    {
        calls += "I" + std::to_string(slot) + " ";
        p.InitQuad(0xFFFFFF, x, y, z, 0, 1, 1, 1, 0);
        return true;
    }
    bool FollowOrigin(float, float, float, float) override
    {
        calls += "F ";
        return follow;
    }

    std::string calls;
    int emit = 0;
    bool follow = true;
};

// A keeper-driven system at (x, y) running `keeper`.
template <class Keeper>
CountedHandle<CCollection2ParticleSystem> RunKeeper(const CountedHandle<Keeper>& keeper, int capacity, float x = 0,
                                                    float y = 0, float duration = 10.0f)
{
    CCollection2Parametres p(x, y, 0, nullptr, keeper, kCollectionAdditive);
    p.keeperFlag = true;
    p.duration = duration;
    return MakeSystem<CCollection2ParticleSystem>(p, capacity);
}

} // namespace

TEST(KeeperProtocol, CallsComeInTheirOrderAndTheCapacityCutsTheCount)
{
    auto keeper = MakeCountedHandle(new RecordingKeeper());
    keeper->emit = 3;
    auto system = RunKeeper(keeper, 2);
    EXPECT_TRUE(system->Update(0.1f));
    EXPECT_EQ(keeper->calls, "F E C I0 I1 U0 U1 ");
    // Every slot is live: the new particle restarts slot 0.
    keeper->calls.clear();
    keeper->emit = 1;
    system->Update(0.1f);
    EXPECT_EQ(keeper->calls, "F E C I0 U0 U1 ");
    // After its time the system asks for no more, yet its particles move on.
    keeper->calls.clear();
    system->Update(10.0f);
    EXPECT_EQ(keeper->calls, "F U0 U1 ");
}

TEST(KeeperProtocol, KeepersThatDoNotEmit)
{
    // FollowOrigin saying no on the first frame: nothing, and over at once.
    auto refusing = MakeCountedHandle(new RecordingKeeper());
    refusing->emit = 5;
    refusing->follow = false;
    EXPECT_FALSE(RunKeeper(refusing, 4)->Update(0.1f));
    EXPECT_EQ(refusing->calls, "F ");
    // The base keeper as it is never emits.
    auto base = MakeCountedHandle(new CCollection2Keeper());
    auto idle = RunKeeper(base, 4);
    EXPECT_FALSE(idle->Update(0.1f));
    EXPECT_EQ(idle->LiveCount(), 0);
    // Without the keeper flag and without prepared records the keeper is only
    // followed.
    auto follower = MakeCountedHandle(new RecordingKeeper());
    follower->emit = 5;
    CCollection2Parametres p(0, 0, 0, nullptr, follower, kCollectionAdditive);
    EXPECT_FALSE(MakeSystem<CCollection2ParticleSystem>(p, 4)->Update(0.1f));
    EXPECT_EQ(follower->calls, "F ");
    // Prepared records with alive flag 0 are copied but never drawn.
    std::vector<CCollectedParticle2> prepared(2);
    prepared[1].InitQuad(0xFFFFFF, 0, 0, 0, 0, 1, 1, 1, 0);
    CCollection2Parametres shown(0, 0, 0, &prepared, {}, kCollectionAdditive);
    auto once = MakeSystem<CCollection2ParticleSystem>(shown, 4);
    EXPECT_TRUE(once->Update(0.1f));
    EXPECT_EQ(once->LiveCount(), 1);
    EXPECT_FALSE(once->IsEmitting());
}

TEST(KeeperProtocol, MoveByShiftsParticlesAndAFollowingKeeperCatchesUp)
{
    auto sand = MakeCountedHandle(new CSandKeeper());
    sand->burstCount = 1;
    sand->rate = 0.0f;
    sand->gravity = 0.0f;
    sand->speed = 0.0f;
    sand->speedSpread = 0.0f;
    auto system = RunKeeper(sand, 4, 5, 5);
    system->Update(0.0f);
    system->MoveBy(10, 0, 0);
    EXPECT_FLOAT_EQ(system->Particles()[0].position.x, 15.0f);
    EXPECT_FLOAT_EQ(sand->origin.x, 5.0f);
    system->Update(0.0f);
    EXPECT_FLOAT_EQ(sand->origin.x, 15.0f);
}

TEST(DropsSpray, AllDropsOnTheFirstFrameAndASharedSet)
{
    plat::SeedRandom(21);
    auto spray = MakeCountedHandle(new CDropsSprayKeeper());
    spray->Configure(6, 40, 40, 0, 0, 0, 1, 1);
    spray->speed = 300.0f;
    spray->gravity = 2500.0f;
    spray->floor = -400.0f;
    spray->Generate();
    auto copy = MakeCountedHandle(new CDropsSprayKeeper());
    copy->gravity = spray->gravity;
    copy->CopyDrops(spray);
    EXPECT_EQ(copy->count, 6);
    auto first = RunKeeper(spray, 6, 100, 0);
    auto second = RunKeeper(copy, 6, 100, 0);
    first->Update(0.01f);
    second->Update(0.01f);
    EXPECT_EQ(first->LiveCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(first->Particles()[static_cast<size_t>(i)].position.x,
                        second->Particles()[static_cast<size_t>(i)].position.x);
        EXPECT_FLOAT_EQ(first->Particles()[static_cast<size_t>(i)].velocity.y,
                        second->Particles()[static_cast<size_t>(i)].velocity.y);
    }
    // Later frames start none; the drops die below the floor.
    EXPECT_EQ(spray->GetEmitCount(0.01f), 0);
    int frames = 0;
    while (first->LiveCount() > 0 && frames < 1000) {
        first->Update(0.02f);
        ++frames;
    }
    EXPECT_GT(frames, 5);
    EXPECT_LT(frames, 100);
}

// Tables filled for fewer drops than the count later asks for must not be
// read past their end.
TEST(DropsSpray, ACountRaisedAfterGeneratingStartsNothingForTheExtraSlots)
{
    plat::SeedRandom(29);
    auto spray = MakeCountedHandle(new CDropsSprayKeeper());
    spray->Configure(4, 40, 40, 0, 0, 0, 1, 1);
    spray->floor = -1000.0f;
    spray->Generate();
    spray->count = 10;
    auto system = RunKeeper(spray, 10);
    system->Update(0.01f);
    EXPECT_EQ(system->LiveCount(), 4);
    EXPECT_TRUE(spray->finished);
    auto never = MakeCountedHandle(new CDropsSprayKeeper()); // never generated
    auto empty = RunKeeper(never, 16);
    empty->Update(0.01f);
    EXPECT_EQ(empty->LiveCount(), 0);
}

TEST(MultiOrigin, RatesFirstParticlesCirclesAndPhases)
{
    plat::SeedRandom(22);
    MultiOriginEmission e;
    e.phaseBase[0] = 0.0f; // full opacity from the first update
    e.phaseSpread[0] = 0.0f;
    e.colour = 0x80FFFFFF;
    auto keeper = MakeCountedHandle(new CMultiOriginSystemKeeper());
    keeper->SetOrigin(0, 0, 0, 0, 0, 0, 0, 0.0f, e);  // rate 0: never
    keeper->SetOrigin(1, 50, 0, 0, 0, 0, 0, 2.0f, e); // first on the next frame
    EXPECT_EQ(keeper->OriginCount(), 2);
    auto system = RunKeeper(keeper, 32);
    system->Update(0.01f);
    ASSERT_EQ(system->LiveCount(), 1);
    const CCollectedParticle2& p = system->Particles()[0];
    EXPECT_NEAR(p.position.x, 50.0f, 60.0f * 0.01f);
    EXPECT_NEAR(p.alpha, 128.0f / 255.0f, 1e-6);
    for (int i = 0; i < 200; ++i)
        system->Update(0.01f);
    EXPECT_LE(system->LiveCount(), 6); // two a second, each living at most 1.25 s
    EXPECT_TRUE(std::isfinite(system->Particles()[0].position.x));

    // With keep set, a circle replaces the first origins and leaves the rest.
    keeper->SetOrigin(2, 0, -50, 0, 0, 0, 0, 7.0f, e);
    keeper->SetOriginsOnCircle(10, 2, 0, 4, 1, e, true);
    EXPECT_EQ(keeper->OriginCount(), 3);
    keeper->SetOriginsOnCircle(10, 2, 0, 4, 1, e, false);
    EXPECT_EQ(keeper->OriginCount(), 2);
    keeper->SetOriginsOnLine(0, 0, 0, 10, 0, 0, 0, 1, 0, 1, 1, 1, e, false);
    EXPECT_EQ(keeper->OriginCount(), 1);
}

// An origin that rides on something moving is moved every frame; its
// emission keeps its rate, and each particle starts where the origin is.
TEST(MultiOrigin, AMovedOriginKeepsItsRate)
{
    plat::SeedRandom(25);
    MultiOriginEmission e;
    e.speed = e.speedSpread = 0.0f;
    auto keeper = MakeCountedHandle(new CMultiOriginSystemKeeper());
    keeper->SetOrigin(0, 0, 0, 0, 0, 0, 0, 10.0f, e);
    auto system = RunKeeper(keeper, 64);
    int born = 0;
    for (int i = 1; i <= 100; ++i) {
        keeper->MoveOrigin(0, static_cast<float>(i), 0, 0);
        const int before = system->LiveCount();
        system->Update(0.01f);
        bool here = false;
        for (int k = 0; k < system->HighWater(); ++k) {
            const CCollectedParticle2& p = system->Particles()[static_cast<size_t>(k)];
            here = here || (p.alive && std::fabs(p.position.x - static_cast<float>(i)) < 1e-3f);
        }
        if (system->LiveCount() > before || here) {
            ++born;
            EXPECT_TRUE(here) << i;
        }
    }
    EXPECT_GE(born, 9);
    EXPECT_LE(born, 11);
    keeper->MoveOrigin(5, 0, 0, 0); // no such origin
    EXPECT_EQ(keeper->OriginCount(), 1);
}

TEST(SandAndDust, GrainsSinkIntoTheGroundLine)
{
    plat::SeedRandom(23);
    auto sand = MakeCountedHandle(new CSandKeeper());
    sand->burstCount = 1;
    sand->rate = 0.0f;
    sand->speed = 0.0f;
    sand->speedSpread = 0.0f;
    sand->gravity = 0.0f;
    sand->groundLine = -38.0f; // the top of a 76 high grain at y = -76
    auto system = RunKeeper(sand, 4);
    system->Update(0.0f);
    // A grain as it was made, put at a height (grains only sink: each case
    // starts from a whole one).
    auto at = [&](float y) {
        CCollectedParticle2 grain = system->Particles()[0];
        grain.position.y = y;
        return grain;
    };
    CCollectedParticle2 grain = at(-76.0f);
    EXPECT_TRUE(sand->UpdateParticle(0, grain, 0.0f, 0, 0, 0));
    EXPECT_FLOAT_EQ(grain.corners[2][1], grain.corners[1][1]); // zero height
    EXPECT_FLOAT_EQ(grain.uv[2][1], grain.uv[1][1]);
    grain = at(-76.5f);
    EXPECT_FALSE(sand->UpdateParticle(0, grain, 0.0f, 0, 0, 0));
    // Half under the line: the lower half of the quad and of its cell go.
    grain = at(-38.0f);
    sand->UpdateParticle(0, grain, 0.0f, 0, 0, 0);
    EXPECT_FLOAT_EQ(grain.corners[3][1], 0.0f);
    EXPECT_FLOAT_EQ(grain.uv[3][1] - grain.uv[0][1], 0.125f);
}

TEST(SandAndDust, DustFollowsLiveGrainsAndEndsWithThem)
{
    plat::SeedRandom(24);
    auto sand = MakeCountedHandle(new CSandKeeper());
    sand->rate = 0.0f;
    sand->groundLine = -200.0f;
    auto grains = RunKeeper(sand, 16, 0, 0, 1.0f); // the sand stops after a second
    auto dust = MakeCountedHandle(new CDustTrackKeeper(*sand, grains));
    dust->rate = 20.0f;
    auto puffs = RunKeeper(dust, 64, 0, 0);
    // A zero frame time neither emits nor changes anything.
    grains->Update(0.0f);
    EXPECT_EQ(grains->LiveCount(), 8);
    puffs->Update(0.0f);
    EXPECT_EQ(puffs->LiveCount(), 0);
    int frames = 0;
    while (puffs->Update(1.0f / 60.0f) && frames < 600) {
        grains->Update(1.0f / 60.0f);
        ++frames;
        for (const CCollectedParticle2& p : puffs->Particles()) {
            if (p.alive) {
                EXPECT_GE(p.position.y - p.height / 2.0f, -200.0f + dust->floorOffset - 1.0f);
            }
        }
    }
    // The dust ran out soon after the sand, long before its own time.
    EXPECT_GT(frames, 60);
    EXPECT_LT(frames, 360);
    EXPECT_EQ(grains->LiveCount(), 0);
    EXPECT_FALSE(dust->FollowOrigin(0, 0, 0, 0.1f));
}

TEST(SpriteBurst, SeedingOnCirclesAndLines)
{
    plat::SeedRandom(25);
    CSimpleSpriteSystemKeeper keeper;
    keeper.SeedCircle(10, 4, 0);
    const float rotations[] = {0, 256, 512, 768};
    for (int i = 0; i < 4; ++i) {
        const auto& seed = keeper.Seeds()[static_cast<size_t>(i)];
        EXPECT_NEAR(seed.rotation, rotations[i], 1e-3);
        EXPECT_NEAR(seed.offset.x, 10.0f * std::cos(kTwoPi / 4 * static_cast<float>(i)), 1e-4);
        // They fly away from the centre.
        EXPECT_GT(Dot(seed.velocity, seed.offset), 0.0f);
    }
    keeper.SeedLine(3, 4, 0, 9, 9, 0, 1);
    ASSERT_EQ(keeper.Seeds().size(), 1u);
    EXPECT_FLOAT_EQ(keeper.Seeds()[0].offset.x, 3.0f);
    keeper.SeedLine(0, 0, 0, 0, -5, 0, 3);
    EXPECT_FLOAT_EQ(keeper.Seeds()[2].offset.y, -5.0f);
    EXPECT_FLOAT_EQ(keeper.Seeds()[2].rotation, 768.0f);
}

TEST(SpriteBurst, ACountRaisedAfterSeedingStartsNothingForTheExtraSlots)
{
    plat::SeedRandom(30);
    auto keeper = MakeCountedHandle(new CSimpleSpriteSystemKeeper());
    keeper->Configure(3, 10, 10, 0);
    keeper->SeedEllipsoid();
    keeper->count = 12;
    auto system = RunKeeper(keeper, 12);
    system->Update(0.01f);
    EXPECT_EQ(system->LiveCount(), 3);
    EXPECT_EQ(keeper->GetEmitCount(0.01f), 0);
}

TEST(SpriteCrack, PiecesCoverThePicture)
{
    plat::SeedRandom(26);
    CSpriteCrackKeeper whole;
    whole.Configure(64, 32, 0.25f, 0.5f, 0.75f, 1.0f, 1, 1, 0.25f);
    whole.BuildCracks();
    ASSERT_EQ(whole.Pieces().size(), 1u);
    const auto& piece = whole.Pieces()[0];
    const float corners[4][2] = {{-0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}, {-0.5f, -0.5f}};
    const float uv[4][2] = {{0.25f, 0.5f}, {0.75f, 0.5f}, {0.75f, 1.0f}, {0.25f, 1.0f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(piece.corners[k][0], corners[k][0]);
        EXPECT_FLOAT_EQ(piece.corners[k][1], corners[k][1]);
        EXPECT_FLOAT_EQ(piece.uv[k][0], uv[k][0]);
        EXPECT_FLOAT_EQ(piece.uv[k][1], uv[k][1]);
    }
    EXPECT_FLOAT_EQ(piece.centre[0], 0.0f);

    // Without irregularity the grid is regular; the first piece is the
    // top-left cell.
    CSpriteCrackKeeper grid;
    grid.Configure(1, 1, 0, 0, 1, 1, 4, 2, 0.0f);
    grid.BuildCracks();
    ASSERT_EQ(grid.Pieces().size(), 8u);
    EXPECT_FLOAT_EQ(grid.Pieces()[0].centre[0], -0.375f);
    EXPECT_FLOAT_EQ(grid.Pieces()[0].centre[1], 0.25f);
    EXPECT_FLOAT_EQ(grid.Pieces()[0].uv[2][0], 0.25f);
    EXPECT_FLOAT_EQ(grid.Pieces()[0].uv[2][1], 0.5f);
}

// The first frame asks for every piece; a capacity below that must not make
// the next frames ask for pieces that do not exist.
TEST(SpriteCrack, ASmallCapacityStartsTheRestOfThePiecesLater)
{
    plat::SeedRandom(27);
    auto crack = MakeCountedHandle(new CSpriteCrackKeeper());
    crack->Configure(100, 100, 0, 0, 1, 1, 3, 3, 0.25f);
    crack->BuildCracks();
    auto system = RunKeeper(crack, 4);
    system->Update(0.01f);
    EXPECT_EQ(crack->GetEmitCount(0.01f), 5);
    for (int i = 0; i < 5; ++i)
        system->Update(0.01f);
    EXPECT_TRUE(crack->finished);
    EXPECT_EQ(crack->nextPiece, 9);
    EXPECT_EQ(crack->GetEmitCount(0.01f), 0);
}

TEST(Vortex, SwirlsCounterClockwiseAtItsSpeed)
{
    plat::SeedRandom(28);
    CVortexKeeper vortex;
    vortex.SetVortex(16, 40, 20, 20, 16);
    vortex.tangentialGain = 50.0f;
    vortex.radialDamping = 20.0f;
    for (float radius : {10.0f, 30.0f}) {
        CCollectedParticle2 p;
        p.InitQuad(0xFFFFFF, radius, 0, 0, 0, 1, 8, 8, 0);
        p.alphaSpeed = 0.0f;
        p.spare = 100.0f; // holding
        vortex.UpdateParticle(0, p, 0.01f, 0, 0, 0);
        // At (r, 0) the tangent is (-ny, nx, 0) = (0, 1, 0).
        EXPECT_NEAR(p.velocity.x, 0.0f, 1e-4);
        EXPECT_GT(p.velocity.y, 0.0f);
        // With equal speeds every particle inside converges to the one
        // tangential speed.
        for (int i = 0; i < 60; ++i)
            vortex.UpdateParticle(0, p, 0.01f, 0, 0, 0);
        const Vec3 n = Normalised(p.position);
        EXPECT_LT(Length(p.position), 40.0f);
        EXPECT_NEAR(Dot(p.velocity, V3(-n.y, n.x, 0)), 20.0f, 0.5f) << radius;
    }

    // Outside the outer radius the velocity stays as it is.
    CCollectedParticle2 far;
    far.InitQuad(0xFFFFFF, 100, 0, 0, 0, 1, 8, 8, 0);
    far.spare = 100.0f;
    far.velocity = V3(3, 4, 0);
    vortex.UpdateParticle(0, far, 0.01f, 0, 0, 0);
    EXPECT_FLOAT_EQ(far.velocity.x, 3.0f);
    EXPECT_FLOAT_EQ(far.velocity.y, 4.0f);

    // A hold drawn at or below the overshoot goes straight into fading out.
    vortex.holdTime = 0.0f;
    vortex.holdSpread = 0.0f;
    CCollectedParticle2 fading;
    fading.InitQuad(0xFFFFFF, 100, 0, 0, 0, 0.95f, 8, 8, 0);
    fading.alphaSpeed = -10.0f;
    vortex.UpdateParticle(0, fading, 0.01f, 0, 0, 0);
    EXPECT_GT(fading.alphaSpeed, 0.0f);
    EXPECT_LT(fading.alpha, 1.0f);
}

// A grain of an atlas whose cells are mostly see-through covers only the part
// of its cell that shows, at the same place on the screen; an atlas without
// alpha keeps the whole square.
TEST(SandAndDust, AGrainCoversOnlyTheVisiblePartOfItsCell)
{
    using namespace d3d;
    NullRig rig;
    // A 16 x 16 atlas: in every 4 x 4 cell only the texel at (2, 1) shows.
    auto atlas = rig.device->CreateTexture("Atlas", 16, 16, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    ASSERT_TRUE(atlas);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(atlas->texture->LockRect(0, &locked, 0), D3D_OK);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] =
                x % 4 == 2 && y % 4 == 1 ? 0xFFFFFFFFu : 0x00FFFFFFu;
    atlas->texture->UnlockRect(0);
    auto opaque = rig.device->CreateTexture("Opaque", 16, 16, 1, 0, D3DPOOL_MANAGED, D3DFMT_X8R8G8B8);
    ASSERT_TRUE(opaque);
    for (const auto& texture : {atlas, opaque}) {
        plat::SeedRandom(23);
        auto sand = MakeCountedHandle(new CSandKeeper());
        sand->burstCount = 1;
        sand->rate = 0.0f;
        CCollection2Parametres p(0, 0, 0, nullptr, sand, kCollectionAdditive);
        p.keeperFlag = true;
        p.duration = 10.0f;
        auto system = MakeCountedHandle(
            new CCollection2ParticleSystem({}, 4, texture, {}, {}, effects_test::GameEnvironment(), &p));
        system->Update(0.0f);
        const CCollectedParticle2& grain = system->Particles()[0];
        const float cellU = std::floor(grain.uv[0][0] * 4.0f) / 4.0f,
                    cellV = std::floor(grain.uv[0][1] * 4.0f) / 4.0f;
        if (texture == opaque) {
            EXPECT_FLOAT_EQ(grain.corners[0][0], -0.5f);
            EXPECT_FLOAT_EQ(grain.uv[2][1], cellV + 0.25f);
            continue;
        }
        // Texels 1 .. 3 across and 0 .. 2 down of the cell: the one that shows
        // and its neighbours for filtering.
        EXPECT_FLOAT_EQ(grain.uv[0][0], cellU + 1.0f / 16.0f);
        EXPECT_FLOAT_EQ(grain.uv[2][0], cellU + 4.0f / 16.0f);
        EXPECT_FLOAT_EQ(grain.uv[0][1], cellV);
        EXPECT_FLOAT_EQ(grain.uv[2][1], cellV + 3.0f / 16.0f);
        EXPECT_FLOAT_EQ(grain.corners[0][0], -0.25f);
        EXPECT_FLOAT_EQ(grain.corners[2][0], 0.5f);
        EXPECT_FLOAT_EQ(grain.corners[0][1], 0.5f);
        EXPECT_FLOAT_EQ(grain.corners[2][1], -0.25f);
    }
}
