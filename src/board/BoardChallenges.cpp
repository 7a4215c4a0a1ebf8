// What a bonus level's challenge leaves on the board: a plate the challenge
// is done with does not simply vanish. Its picture cracks into pieces that
// fly apart and fall, a puff of pale sand with a trail of dust pours where
// it lay, and the sand box takes the plate's share of sand. One explosion
// sounds for all the plates of a call.
#include "board/GameBoard.h"

#include "audio/SoundManager.h"
#include "challenges/Challenges.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/keepers/SpriteCrackKeeper.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "tokens/CapsRenderer.h"

#include <algorithm>
#include <utility>

namespace {
// The sand of a shattered plate is paler than a strike's.
constexpr uint32_t kPlateSandColour = 0xfff7d96b;
// The plate's puff of sand lives as long as any burst of grains.
constexpr float kPlateSandLife = 10.0f;
// A Memory plate is cut into 4 x 4 pieces, a plate of the other two
// challenges into 6 x 6.
constexpr int kMemoryPieces = 4, kMemoryPieceParticles = 20;
constexpr int kPlatePieces = 6, kPlatePieceParticles = 40;
} // namespace

void CGameBoard::SpawnMemoryEffects(CMemoryChallenge& memory, float sand)
{
    ShatterPlates(memory.TakeFoundPlates(), kMemoryPieces, kMemoryPieceParticles, sand);
}

void CGameBoard::SpawnAttentionEffects(CAttentionChallenge& attention, float sand)
{
    std::vector<CountedHandle<CPlate>> plates;
    if (CountedHandle<CPlate> plate = attention.TakeTokenPlate())
        plates.push_back(std::move(plate));
    ShatterPlates(plates, kPlatePieces, kPlatePieceParticles, sand);
}

// The catches were counted when they were judged; the plates only go.
void CGameBoard::SpawnReactionEffects(CReactionChallenge& reaction, float sand)
{
    ShatterPlates(reaction.TakeCaughtPlates(), kPlatePieces, kPlatePieceParticles, sand);
}

void CGameBoard::ShatterPlates(const std::vector<CountedHandle<CPlate>>& plates, int pieces, int particles,
                               float sand)
{
    int shattered = 0;
    for (const CountedHandle<CPlate>& plate : plates) {
        if (!plate)
            continue;
        ++shattered;
        const Vec3 p = plate->Position();
        ShatterPicture(*plate, pieces, particles);
        CountedHandle<CSandKeeper> grains = MakeCountedHandle(new CSandKeeper());
        grains->colour = kPlateSandColour;
        // A puff where the plate lay, not a pour.
        grains->rate = 0.0f;
        const SandboxGeometry& box = *m_sandbox->Geometry();
        grains->groundLine = box.top - box.height;
        ThrowSand(Vec3{p.x, p.y, m_mesh->OffsetZ() + 1.0f}, grains, m_sandTexture, kPlateSandLife);
        m_sandbox->DropGrain(sand, p.x, p.y, p.z, 0.5f * grains->height, 0.0f, grains->speed,
                             grains->terminalSpeed, grains->gravity);
    }
    if (shattered > 0 && m_sounds)
        m_sounds->Play(m_sounds->Sample("Explode.wav"), 0, 0);
}

// The picture the plate shows cracks into pieces cut from the frame its
// token cap shows.
void CGameBoard::ShatterPicture(const CPlate& plate, int pieces, int particles)
{
    const CountedHandle<CCap>& cap = plate.TokenCap();
    if (!m_particles || !cap || !m_caps)
        return;
    const int index = m_caps->AnimationIndex(cap->type);
    if (index < 0)
        return;
    const CCapsAnimation& animation = m_caps->Animations()[static_cast<size_t>(index)];
    if (animation.track.empty())
        return;
    const int last = static_cast<int>(animation.track.size()) - 1;
    const int position = std::clamp(cap->trackPosition, 0, last);
    const CapFrame& frame = animation.frames[static_cast<size_t>(animation.track[static_cast<size_t>(position)])];
    CountedHandle<CSpriteCrackKeeper> keeper = MakeCountedHandle(new CSpriteCrackKeeper());
    keeper->Configure(2.0f * plate.Size(), 2.0f * plate.Size(), frame.uLeft, frame.vTop, frame.uRight,
                      frame.vBottom, pieces, pieces, 0.25f);
    keeper->floor = -400.0f;
    keeper->speed = 300.0f;
    keeper->speedSpread = 150.0f;
    keeper->gravity = 2500.0f;
    keeper->BuildCracks();
    const Vec3 p = plate.Position();
    CCollection2Parametres params(p.x, p.y, p.z, nullptr, keeper, kCollectionAlphaBlend);
    params.keeperFlag = true;
    m_particles->AddCollection2(&params, particles, cap->baseTexture);
}
