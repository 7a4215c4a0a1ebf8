// The particle engine without a device: records, the emission step, the six
// system kinds and their vertex filling.
#include "EffectsTestSupport.h"

#include "effects/particles/Collection2ParticleSystem.h"
#include "effects/particles/ExplosionParticleSystem.h"
#include "effects/particles/ParticleMath.h"
#include "effects/particles/SmokesParticleSystem.h"
#include "effects/particles/SparksParticleSystem.h"
#include "effects/particles/SpellsParticleSystem.h"
#include "effects/particles/ThunderboltParticleSystem.h"
#include "engine/Log.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace effects_test;
using namespace fx;

namespace {

// Sparks standing still where they are born, living until killed by count.
CSparksSpringParametres StillSparks()
{
    CSparksSpringParametres p(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0x123456);
    p.fadeRate = 0.0f;
    return p;
}

int LiveAfter(CParticleSystem& system, std::initializer_list<float> steps)
{
    for (float dt : steps)
        system.Update(dt);
    return system.LiveCount();
}

} // namespace

TEST(ParticleEnvironment, TablesAndKillBox)
{
    CParticleEnvironment env;
    float s = 0, c = 0;
    env.SinCos(1024.0f, &s, &c);
    EXPECT_FLOAT_EQ(s, 0.0f);
    EXPECT_FLOAT_EQ(c, 1.0f);
    env.SinCos(256.0f, &s, &c);
    EXPECT_NEAR(s, 1.0f, 1e-6);
    EXPECT_NEAR(c, 0.0f, 1e-6);
    float u = 0, v = 0;
    env.AtlasCell(6.0f, &u, &v);
    EXPECT_FLOAT_EQ(u, 0.5f);
    EXPECT_FLOAT_EQ(v, 0.25f);
    // Past the sixteen cells (and a NaN) the lookup stays inside the table.
    env.AtlasCell(16.0f, &u, &v);
    EXPECT_FLOAT_EQ(u, 0.75f);
    EXPECT_FLOAT_EQ(v, 0.75f);
    env.AtlasCell(std::numeric_limits<float>::quiet_NaN(), &u, &v);
    EXPECT_FLOAT_EQ(u + v, 0.0f);
    EXPECT_TRUE(env.InsideKillBox(Vec3{10.0f, 0, 0}));
    EXPECT_FALSE(env.InsideKillBox(Vec3{10.5f, 0, 0}));
    EXPECT_FALSE(GameEnvironment()->InsideKillBox(Vec3{0, 1000.5f, 0}));
    EXPECT_FLOAT_EQ(GameEnvironment()->Depth(Vec3{0, 0, 5}), 5.0f - 10000.0f);
}

TEST(ParticleRecords, UpdatesFollowTheirFormulas)
{
    const CParticleEnvironment env;
    CSpark spark;
    spark.Init(0xFF112233, 0.75f, 0, 0, 0, 0, 0, 0, 0.005f, 1.5f, 0.02f);
    EXPECT_EQ(spark.colour, 0x112233u);
    spark.Update(0.5f, env);
    EXPECT_FLOAT_EQ(spark.alpha, 0.625f);
    spark.Update(2.0f, env);
    EXPECT_FLOAT_EQ(spark.alpha, 0.0f);

    // A smoke fading in past its peak spends the overshoot fading out.
    CSmoke smoke;
    smoke.Init(0x808080, -2.0f, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0);
    smoke.alpha = 0.9f;
    smoke.fadeOutRate = 0.5f;
    smoke.Update(0.1f, env);
    EXPECT_NEAR(smoke.alpha, 0.975f, 1e-6);
    EXPECT_FLOAT_EQ(smoke.fadeRate, 0.5f);
    // Drag that would reverse the puff stops it dead; damping that would turn
    // the spin round stops it.
    smoke.spin = 300.0f;
    smoke.Update(3.0f, env);
    EXPECT_FLOAT_EQ(Length(smoke.velocity), 0.0f);
    smoke.spin = 300.0f;
    smoke.Update(20.0f, env);
    EXPECT_FLOAT_EQ(smoke.spin, 0.0f);

    CSpell spell;
    spell.Init(0xFFFFFF, 0.5f, 0, 0, 0, 0, 0, 0, 1, 0, 0);
    spell.phaseSpeed = 5.0f;
    spell.phase = 0.0f;
    spell.Update(0.1f);
    EXPECT_NEAR(spell.alpha, 0.5f, 1e-6);
    spell.Update(0.1f);
    EXPECT_NEAR(spell.alpha, 1.0f, 1e-6);
    EXPECT_FALSE(spell.ended);

    CThunderbolt point;
    point.Init(0xFFFFFF, 1, 2, 3, 5.0f, 1.0f);
    point.Update(0.0f);
    EXPECT_FLOAT_EQ(point.shown.x, 1.0f);
    for (int i = 0; i < 10; ++i) {
        const Vec3 before = point.shown;
        point.Update(0.05f);
        EXPECT_NE(before.x + before.y + before.z, point.shown.x + point.shown.y + point.shown.z);
        EXPECT_NEAR(Length(point.shown - point.position), 5.0f, 1e-4);
    }
}

TEST(ParticleRecords, AnglesWrapIntoOneTurn)
{
    const struct {
        float in, out;
    } cases[] = {{-10.0f, 1014.0f}, {2050.0f, 2.0f}, {1024.0f, 0.0f}, {-1024.0f, 0.0f}, {512.0f, 512.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(fx::WrapAngle(c.in), c.out) << c.in;
}

// The random draw can be exactly 1.0, which must still pick cell 15.
TEST(ParticleRecords, AFullDrawPicksTheLastAtlasCell)
{
    CSmoke smoke;
    ScriptDraw(3, 32767); // rotation, spin, then the cell
    smoke.Init(0xFFFFFF, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(smoke.frame, 15);
    CFireball fireball;
    ScriptDraw(4, 32767); // rotation, spin side, spin, then the cell
    fireball.Init(0xFFFFFF, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(fireball.frame, 15);
}

TEST(EmissionStep, CountsFollowRateTimeAndTotal)
{
    plat::SeedRandom(1);
    CSparksSpringParametres p = StillSparks();
    p.rate = 60.0f;
    p.duration = 100.0f;
    auto sparks = MakeSystem<CSparksParticleSystem>(p, 200);
    EXPECT_EQ(LiveAfter(*sparks, {0.01f}), 0);
    EXPECT_EQ(LiveAfter(*sparks, {0.01f}), 1);

    // A total of 50 over uneven frames: exactly 50, then emission ends.
    p.timeLimited = false;
    p.totalCount = 50;
    p.rate = 37.0f;
    auto counted = MakeSystem<CSparksParticleSystem>(p, 200);
    const float steps[] = {0.013f, 0.5f, 0.071f, 0.29f, 0.004f, 0.33f};
    for (int i = 0; i < 40; ++i)
        counted->Update(steps[i % 6]);
    EXPECT_EQ(counted->LiveCount(), 50);
    EXPECT_FALSE(counted->IsEmitting());
    counted->StopEmitting(); // a count-limited system is not affected
    counted->Update(0.1f);
    EXPECT_EQ(counted->LiveCount(), 50);

    // A duration of 0 emits nothing and ends at once.
    p.timeLimited = true;
    p.duration = 0.0f;
    auto instant = MakeSystem<CSparksParticleSystem>(p, 10);
    EXPECT_FALSE(instant->Update(0.5f));
    EXPECT_EQ(instant->LiveCount(), 0);
}

TEST(EmissionStep, TheDurationCutShortensTheParticleUpdates)
{
    plat::SeedRandom(2);
    CSparksSpringParametres p(0, 0, 0, 0, 0, 0, 1, 0, 0, 100.0f, 0.0f, 0xFFFFFF);
    p.rate = 64.0f;
    p.duration = 0.0625f;
    auto sparks = MakeSystem<CSparksParticleSystem>(p, 10);
    sparks->Update(1.0f / 64.0f);
    ASSERT_EQ(sparks->LiveCount(), 1);
    const CSpark before = sparks->Particle(0);
    // 0.25 s asked, 0.046875 s left before the time is up.
    sparks->Update(0.25f);
    const Vec3 moved = sparks->Particle(0).position - before.position;
    EXPECT_NEAR(Length(moved - before.velocity * 0.046875f), 0.0f, 1e-4);
    EXPECT_FALSE(sparks->IsEmitting());
}

TEST(EmissionStep, AFullArrayRestartsSlotsFromZero)
{
    CSparksSpringParametres p = StillSparks();
    p.fadeRate = 1.0f;
    p.rate = 64.0f;
    p.duration = 100.0f;
    auto sparks = MakeSystem<CSparksParticleSystem>(p, 3);
    sparks->Update(3.0f / 64.0f); // slots 0, 1, 2
    sparks->Update(2.0f / 64.0f); // full: slots 0 and 1 start again
    EXPECT_FLOAT_EQ(sparks->Particle(0).alpha, 1.0f - 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(sparks->Particle(1).alpha, 1.0f - 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(sparks->Particle(2).alpha, 1.0f - 5.0f / 64.0f);
    EXPECT_EQ(sparks->HighWater(), 3);
}

// A rate of 0 would make the accumulator NaN; it must simply never emit.
TEST(EmissionStep, RateZeroEmitsNothingAndStaysFinite)
{
    CSparksSpringParametres p = StillSparks();
    p.rate = 0.0f;
    p.duration = 100.0f;
    auto sparks = MakeSystem<CSparksParticleSystem>(p, 10);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(sparks->Update(0.1f));
    EXPECT_EQ(sparks->LiveCount(), 0);
    EXPECT_TRUE(std::isfinite(sparks->Accumulator()));
}

TEST(ParticleSystems, SparksFanAndRestingStreak)
{
    plat::SeedRandom(3);
    CSparksSpringParametres p(0, 0, 0, 0, 100, 0, 1, 0, 0, 50, 0, 0xFF00FF00);
    p.rate = 6400.0f;
    auto sparks = MakeSystem<CSparksParticleSystem>(p, 100);
    sparks->Update(1.0f / 64.0f);
    ASSERT_EQ(sparks->LiveCount(), 100);
    for (int i = 0; i < 100; ++i) {
        // The velocity after one frame of gravity, back at its start.
        const Vec3 v = sparks->Particle(i).velocity;
        const float factor = (v.y + 9.8f / 64.0f) / 100.0f;
        EXPECT_GE(factor, 0.5f - 1e-5f);
        EXPECT_LE(factor, 1.0f + 1e-5f);
        EXPECT_LE(std::fabs(v.x), 25.0f * factor + 1e-4f);
    }

    // A spark at rest is a width-long streak along +x, head first.
    CSparksSpringParametres q = StillSparks();
    q.width = 4.0f;
    q.rate = 64.0f;
    q.duration = 100.0f;
    auto one = MakeSystem<CSparksParticleSystem>(q, 1);
    one->gravityFactor = 0.0f;
    one->MoveBy(10, 20, 0);
    one->Update(1.0f / 64.0f);
    const Filled f = Fill(*one, 8, 12);
    ASSERT_EQ(f.vertices.size(), 4u);
    EXPECT_FLOAT_EQ(f.vertices[0].x, 12.0f); // head: v = 0 edge at +x
    EXPECT_FLOAT_EQ(f.vertices[2].x, 8.0f);
    EXPECT_FLOAT_EQ(f.vertices[0].y - f.vertices[1].y, 4.0f);
    EXPECT_FLOAT_EQ(f.vertices[0].v, 0.0f);
    EXPECT_EQ(f.vertices[0].color, 0xFF000000u | 0x123456u);
    // Indices are absolute vertex numbers from the first vertex given.
    const std::vector<uint16_t> expected = {8, 9, 10, 8, 10, 11};
    EXPECT_EQ(f.indices, expected);

    // At speed 10 with width 0.005 and factor 1.5 the length 0.075 is held
    // to the longest allowed.
    CSparksSpringParametres fast(0, 0, 0, 10, 0, 0, 1, 0, 0, 0, 0, 0xFFFFFF);
    fast.rate = 64.0f;
    auto moving = MakeSystem<CSparksParticleSystem>(fast, 1);
    moving->gravityFactor = 0.0f;
    moving->Update(1.0f / 64.0f); // speed 5 to 10 with the random start factor
    Fill(*moving);
    EXPECT_FLOAT_EQ(moving->Particle(0).length, 0.02f);
}

TEST(ParticleSystems, SmokeColoursAndPath)
{
    // Darkening smoke is premultiplied and opaque: half of 0x80 is 0x40.
    CSmokesSpringParametres p(0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 0xFF808080, kSmokeDarken);
    p.rate = 64.0f;
    p.fadeRate = 32.0f; // half gone after its first frame of 1/64 s
    p.fadeSpread = 0.0f;
    auto darken = MakeSystem<CSmokesParticleSystem>(p, 1);
    darken->Update(1.0f / 64.0f);
    EXPECT_EQ(darken->SourceBlend(), uint32_t{d3d::D3DBLEND_ZERO});
    EXPECT_EQ(darken->DestBlend(), uint32_t{d3d::D3DBLEND_INVSRCCOLOR});
    EXPECT_FLOAT_EQ(darken->Particle(0).alpha, 0.5f);
    EXPECT_EQ(Fill(*darken).vertices[0].color, 0xFF404040u);
    // A factor dims the whole system as it draws; one that is not a number
    // leaves it whole.
    darken->SetOpacityFactor(0.5f);
    EXPECT_EQ(Fill(*darken).vertices[0].color, 0xFF202020u);
    darken->SetOpacityFactor(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(Fill(*darken).vertices[0].color, 0xFF404040u);

    // Along a path that has not moved, every puff starts at the old position.
    CSmokesSpringParametres path(5, 6, 7, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xFFFFFF,
                                 kSmokeAlongPath | kSmokeAdditive);
    path.rate = 64.0f;
    auto trail = MakeSystem<CSmokesParticleSystem>(path, 10);
    trail->Update(4.0f / 64.0f);
    ASSERT_EQ(trail->LiveCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(trail->Particle(i).position.x, 5.0f, 0.01f);
    // After a move they spread evenly towards the new position.
    trail->SetPosition(9, 6, 7);
    trail->Update(4.0f / 64.0f);
    EXPECT_NEAR(trail->Particle(4).position.x, 6.0f, 0.01f);
    EXPECT_NEAR(trail->Particle(7).position.x, 9.0f, 0.01f);
}

TEST(ParticleSystems, ExplosionBurstRingAndCentre)
{
    plat::SeedRandom(4);
    CExplosionParametres zero(0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 10, 0, kExplosionScatter);
    EXPECT_FLOAT_EQ(zero.direction.y, 1.0f);
    CExplosionParametres slanted(0, 0, 0, 0, 0, 0, 0, 3, 4, 1, 0, 10, 0, kExplosionScatter);
    EXPECT_FLOAT_EQ(slanted.direction.y, 0.6f);
    EXPECT_FLOAT_EQ(slanted.direction.z, 0.8f);

    CExplosionParametres ring(50, 60, 0, 3, 7, 0, 0, 1, 0, 5, 0, 100, 0xFFFFFF, kExplosionRing);
    auto burst = MakeSystem<CExplosionParticleSystem>(ring, 40);
    EXPECT_FLOAT_EQ(burst->Position().x, 50.0f); // sorted where it stands
    burst->Update(0.0f);
    EXPECT_EQ(burst->LiveCount(), 40);
    for (int i = 0; i < 40; ++i)
        EXPECT_NEAR(burst->Particle(i).velocity.y, 7.0f, 1e-4);
    burst->MoveBy(10, 0, 0);
    EXPECT_FLOAT_EQ(burst->Position().x, 60.0f);
    // It ends with its last fireball.
    int frames = 0;
    while (burst->Update(0.1f))
        ++frames;
    EXPECT_GT(frames, 2);
    EXPECT_LT(frames, 30);
}

TEST(ParticleSystems, ThunderboltSlotsQuadsAndStraightBolts)
{
    plat::SeedRandom(5);
    CThunderboltParametres p(0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 100, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 4, 3,
                             0xFF8080FF);
    p.particleSize = 6.0f;
    p.delay = 1.0f;
    auto bolt = MakeSystem<CThunderboltParticleSystem>(p, 15);
    EXPECT_TRUE(bolt->Update(0.5f));
    EXPECT_EQ(bolt->LiveCount(), 0); // still waiting
    EXPECT_TRUE(bolt->Update(0.6f));
    EXPECT_EQ(bolt->HighWater(), 15);
    EXPECT_EQ(bolt->LiveCount(), 12);
    const Filled f = Fill(*bolt);
    EXPECT_EQ(f.vertices.size(), 48u);
    // No wandering and no jitter: every point lies on the line and stays.
    for (int frame = 0; frame < 5; ++frame) {
        bolt->Update(0.05f);
        for (int i = 0; i < 15; ++i) {
            EXPECT_FLOAT_EQ(bolt->Particle(i).shown.y, 0.0f);
            EXPECT_FLOAT_EQ(bolt->Particle(i).shown.x, 25.0f * static_cast<float>(i % 5));
        }
    }
    // A segment quad reaches half a size beyond both of its points.
    const Filled g = Fill(*bolt);
    EXPECT_FLOAT_EQ(g.vertices[0].x, -3.0f);
    EXPECT_FLOAT_EQ(g.vertices[2].x, 28.0f);
    EXPECT_FLOAT_EQ(g.vertices[0].v, 0.0f);
    EXPECT_FLOAT_EQ(g.vertices[2].v, 1.0f);
    EXPECT_FLOAT_EQ(std::fabs(g.vertices[0].y - g.vertices[1].y), 6.0f);
    // Aim re-lays the bolts at once without advancing the time.
    const float elapsed = bolt->Elapsed();
    bolt->Aim(0, 50, 0, 1, 0, 0, 0, 100, 50, 0, 1, 0, 0, 0);
    EXPECT_FLOAT_EQ(bolt->Elapsed(), elapsed);
    EXPECT_FLOAT_EQ(bolt->Particle(2).shown.y, 50.0f);
    // Its life is its duration, delay included.
    while (bolt->Update(0.5f)) {
    }
    EXPECT_NEAR(bolt->Elapsed(), 5.0f, 0.51f);
}

// Owners scale the segments by settings; a bolt that does not fit its
// capacity must not write past the particle array.
TEST(ParticleSystems, ThunderboltsFitTheirCapacity)
{
    testing_support::ScratchDir dir;
    SetDataFoldersForTests(dir.Path(), dir.Path());
    SetLogName("cut.log");
    CThunderboltParticleSystem::ForgetTheCutSaidForTests(); // whatever cut a bolt before in this process
    const struct {
        int segments, bolts, capacity;
        int keptSegments, keptBolts;
    } cases[] = {{4, 3, 15, 4, 3}, {4, 3, 12, 4, 2}, {9, 2, 6, 5, 1}, {0, 2, 10, 0, 0}, {3, 1, 1, 0, 0}};
    for (const auto& c : cases) {
        CThunderboltParametres p(0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 100, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1,
                                 c.segments, c.bolts, 0xFFFFFF);
        auto bolt = MakeSystem<CThunderboltParticleSystem>(p, c.capacity);
        EXPECT_EQ(bolt->Segments(), c.keptSegments) << c.segments << "x" << c.bolts << " in " << c.capacity;
        EXPECT_EQ(bolt->Bolts(), c.keptBolts);
        EXPECT_TRUE(bolt->Update(0.1f));
        EXPECT_EQ(bolt->LiveCount(), c.keptSegments * c.keptBolts);
        EXPECT_LE(bolt->HighWater(), c.capacity);
    }
    const std::string log = testing_support::ReadText(dir.File("cut.log"));
    EXPECT_NE(log.find("does not fit"), std::string::npos);
    EXPECT_EQ(log.find("does not fit"), log.rfind("does not fit")); // once
    testing_support::ResetDataFolders();
}

TEST(ParticleSystems, InwardSparklesArriveOnThePoint)
{
    plat::SeedRandom(6);
    CSpellsSpringParametres p(0, 0, 0, 0, 0, 0, 100, 0, 4, 0, 0xFFFFFF);
    p.inward = true;
    p.twoPhase = true;
    p.fadeRate = 1.0f;
    p.fadeSpread = 0.0f;
    p.phaseSpeed = 5.0f;
    p.timeLimited = false;
    p.totalCount = 1;
    p.rate = 1024.0f;
    auto spells = MakeSystem<CSpellsParticleSystem>(p, 4);
    spells->Update(1.0f / 1024.0f);
    ASSERT_EQ(spells->LiveCount(), 1);
    const CSpell& s = spells->Particle(0);
    const float flown = 100.0f / 1024.0f;
    EXPECT_NEAR(Length(s.position), 120.0f - flown, 1e-3);
    float t = 1.0f / 1024.0f;
    while (spells->Update(1.0f / 1024.0f))
        t += 1.0f / 1024.0f;
    EXPECT_NEAR(t, 1.2f, 2.0f / 1024.0f);
    EXPECT_LT(Length(s.position), 0.2f);
}

TEST(ParticleSystems, CollectionAlphaFactorAndAlphaByteBounds)
{
    std::vector<CCollectedParticle2> prepared(1);
    prepared[0].InitQuad(0x00102030, 0, 0, 0, 0, 1.0f, 10, 10, 0);
    CCollection2Parametres p(0, 0, 0, &prepared, {}, kCollectionAlphaBlend);
    p.alphaFactor = 0.5f;
    auto system = MakeSystem<CCollection2ParticleSystem>(p, 4);
    system->Update(0.1f);
    EXPECT_EQ(Fill(*system).vertices[0].color, 0x80102030u); // 127.5 goes to the even 128
    // Beyond 1 and for NaN the byte stays a byte and the colour stays intact.
    const struct {
        float factor;
        uint32_t colour;
    } cases[] = {
        {3.0f, 0xFF102030u}, {-1.0f, 0x00102030u}, {std::numeric_limits<float>::quiet_NaN(), 0x00102030u}};
    for (const auto& c : cases) {
        system->alphaFactor = c.factor;
        EXPECT_EQ(Fill(*system).vertices[0].color, c.colour) << c.factor;
    }
}
