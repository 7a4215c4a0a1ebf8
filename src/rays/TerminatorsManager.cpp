#include "rays/TerminatorsManager.h"

#include "audio/SoundManager.h"

void HitSoundQueueEntry::AddValue(float value)
{
    if (static_cast<int32_t>(values.size()) < slotCount) {
        values.push_back(value);
        counts.push_back(1);
        nextSlot = static_cast<int32_t>(values.size()) % slotCount;
        return;
    }
    values[static_cast<size_t>(nextSlot)] += value;
    counts[static_cast<size_t>(nextSlot)] += 1;
    nextSlot = (nextSlot + 1) % slotCount;
}

CTerminatorsManager::CTerminatorsManager(CMovingTokens* movingTokens,
                                         CountedHandle<CParticleSystemsManager> particles,
                                         CountedHandle<CFlareRenderer> glowFlares,
                                         CountedHandle<CFlareRenderer> sparkleFlares,
                                         CountedHandle<CSpriteRenderer> sprites)
    : m_movingTokens(movingTokens)
{
    m_resources.particles = particles;
    m_resources.glowFlares = glowFlares;
    m_resources.sparkleFlares = sparkleFlares;
    m_resources.sprites = sprites;
    m_active.reserve(16);
    m_finished.reserve(16);
    m_soundQueue.reserve(8);
}

void CTerminatorsManager::SetTextures(CountedHandle<CTexture> glow, CountedHandle<CTexture> chain,
                                      CountedHandle<CTexture> sparkle, CountedHandle<CTexture> bolt)
{
    m_resources.glowTexture = glow;
    m_resources.chainTexture = chain;
    m_resources.sparkleTexture = sparkle;
    m_resources.boltTexture = bolt;
}

CountedHandle<CTerminator> CTerminatorsManager::Spawn(int kind, const TerminatorPath& path,
                                                      CountedHandle<CTexture> tokenTexture, bool quick)
{
    if (kind != 1)
        return {};
    CountedHandle<CTerminator> ray(
        MakeCountedHandle(new CTerminatorElectro(quick, m_movingTokens, m_resources, std::move(tokenTexture))));
    ray->SetPath(path);
    m_active.push_back(ray);
    return ray;
}

// The chain sound for chained targets, after the ray's own sound unless
// the ray has a single (chained) target.
void CTerminatorsManager::QueueHitSound(const CountedHandle<CTerminator>& terminator)
{
    const CTerminator& t = *terminator;
    if (t.Targets().empty() || !t.Targets().front())
        return;
    const CToken& first = *t.Targets().front();
    const float x = first.x + first.offsetX;
    const char* ray = t.Quick() ? "Terminator0_s.wav" : "Terminator%d.wav";
    if (!t.HasLiveTargets()) {
        Queue(ray, x);
        return;
    }
    if (t.Targets().size() != 1)
        Queue(t.Quick() && first.colour >= 99 ? "TerminatorSteel.wav" : ray, x);
    Queue(t.Quick() ? "ChainOut_s.wav" : "ChainOut.wav", x);
}

void CTerminatorsManager::Queue(const char* sampleName, float x)
{
    for (HitSoundQueueEntry& entry : m_soundQueue)
        if (entry.name == sampleName) {
            entry.AddValue(x);
            return;
        }
    m_soundQueue.emplace_back();
    HitSoundQueueEntry& entry = m_soundQueue.back();
    entry.name = sampleName;
    if (m_sounds)
        entry.sample = m_sounds->Sample(sampleName);
    entry.AddValue(x);
}

int CTerminatorsManager::Update(float dt)
{
    for (size_t i = 0; i < m_active.size();) {
        if (m_active[i]->Update(dt) == 0) {
            m_finished.push_back(m_active[i]);
            m_active.erase(m_active.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return static_cast<int>(m_finished.size());
}

void CTerminatorsManager::PlayQueuedSounds()
{
    if (m_sounds)
        for (const HitSoundQueueEntry& entry : m_soundQueue)
            for (size_t j = 0; j < entry.values.size(); ++j)
                m_sounds->PlayPanned(entry.sample, entry.values[j] / static_cast<float>(entry.counts[j]), -1, 0);
    m_soundQueue.clear();
}

void CTerminatorsManager::Clear()
{
    m_active.clear();
    m_finished.clear();
    m_soundQueue.clear();
}
