// The red totem's charge balls and its power.
#include "totems/RedTotem.h"

#include "balance/BalanceState.h"
#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "tokens/BoardGrid.h"
#include "totems/TotemEffects.h"

#include <algorithm>

using namespace fx;

namespace {

enum RedPicture { kBallPicture = 5, kExplosionPicture = 6 };

// A ball's radius on a totem of width `width`.
float BallRadius(int sizeClass, float width) { return (0.05f * static_cast<float>(sizeClass) + 0.05f) * width; }

} // namespace

Vec3 CRedTotem::BallPoint(int i) const
{
    const Vec3& point = params.points[static_cast<size_t>(i) % 4];
    return Place(point.x, point.y, point.z);
}

// The balls on their points: a core that flickers and a halo that rises,
// larger for a big ball.
void CRedTotem::SetTargets(bool on, int ballStrength)
{
    for (const auto& system : runningSystems)
        if (system)
            system->Kill();
    runningSystems.clear();
    if (!on)
        return;
    int32_t classes[4];
    CBalanceState::RedTotemCounts(level, ballStrength, classes);
    for (int i = 0; i < BallCount(); ++i) {
        const float r = BallRadius(classes[i], scale[0]);
        const Vec3 at = BallPoint(i);
        CountedHandle<CParticleSystem> core, halo;
        if (particleSystems) {
            CSpellsSpringParametres c(at.x, at.y, at.z, 0, 0, 0, r, r / 2.0f, r / 8.0f, r / 4.0f, params.color1);
            c.duration = kForever;
            c.rate = 8.0f * factor;
            c.fadeRate = 2.0f;
            c.randomRotation = true;
            core = particleSystems->AddSpells(&c, 40, Texture(kBallPicture));
            CSpellsSpringParametres h(at.x, at.y, at.z, 0, 25.0f, 0, r / 4.0f, r / 8.0f, 0.75f * r, r / 4.0f,
                                      params.color2);
            h.duration = kForever;
            h.rate = 16.0f * factor;
            h.fadeRate = 1.5f;
            h.randomRotation = true;
            halo = particleSystems->AddSpells(&h, 40, Texture(kBallPicture));
        }
        runningSystems.push_back(core);
        runningSystems.push_back(halo);
    }
}

int CRedTotem::Activate(int a)
{
    const int result = CTotem::Activate(a);
    int32_t classes[4];
    CBalanceState::RedTotemCounts(level, strength, classes);
    const CBoardGrid& grid = BoardGrid();
    for (int i = 0; i < BallCount(); ++i) {
        const int sizeClass = std::max(classes[i], 1);
        // A small ball takes the 2 x 2 block from its cell, a big one the
        // plus round its cell: either lies whole on the board.
        const int k = sizeClass == 1 ? 1 : 2;
        int column = RandomBelow(grid.columns - k), row = RandomBelow(grid.rows - k);
        Vec3 aim;
        if (sizeClass == 1) {
            aim = grid.CellCenter(column, row);
            aim.x += 0.5f * grid.cellWidth;
            aim.y -= 0.5f * grid.cellHeight;
        } else {
            ++column;
            ++row;
            aim = grid.CellCenter(column, row);
        }
        // A ball whose systems were never made starts from its point.
        const size_t core = 2 * static_cast<size_t>(i);
        const Vec3 from =
            core < runningSystems.size() && runningSystems[core] ? runningSystems[core]->Position() : BallPoint(i);
        CountedHandle<CParticleSystem> halo;
        if (core + 1 < runningSystems.size())
            halo = runningSystems[core + 1];
        auto fireball = MakeCountedHandle(new CRedFireball());
        fireball->SetServices(particleSystems, flareRenderer, Texture(kExplosionPicture), Texture(kBallPicture),
                              params.color2, factor);
        fireball->Launch(sizeClass, column, row, from, aim, Length(aim - from) / params.flySpeed, params.expColor,
                         halo);
        const float r = BallRadius(sizeClass, scale[0]);
        fireball->Dress(1.5f * r);
        fireballs.push_back(fireball);
        if (particleSystems) {
            CSpellsSpringParametres burst(from.x, from.y, from.z, 0, 25.0f, 0, 15.0f * r / 4.0f, 15.0f * r / 8.0f,
                                          15.0f * 0.75f * r / 4.0f, 15.0f * r / 16.0f, params.color2);
            burst.duration = 0.2f;
            burst.rate = 80.0f * factor;
            burst.fadeRate = 4.0f;
            burst.randomRotation = true;
            particleSystems->AddSpells(&burst, 40, Texture(kBallPicture));
        }
        if (core < runningSystems.size() && runningSystems[core])
            runningSystems[core]->Kill();
    }
    runningSystems.clear();
    return result;
}

int CRedTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (state == kTotemMoving)
        return MoveStep(dt);
    if (!PowerRuns())
        return 0;
    AdvanceAll(fireballs, dt, &hits);
    if (!fireballs.empty() || !hits.empty())
        return 0;
    const bool stays = StaysAfterPower();
    EndPower(stays);
    if (stays)
        SetTargets(true, 3);
    return 1;
}
