// The board's strikes: it spawns the rays, updates them every frame, keeps
// the finished ones until the board has scored them, and plays the hit
// sounds, one sound per distinct sample a frame, panned to the mean place of
// the tokens that asked for it.
#pragma once

#include "engine/CountedHandle.h"
#include "rays/Terminator.h"

#include <string>
#include <vector>

class CSoundManager;
class CSoundSample;

// One queued hit sound: the x positions of the tokens that asked for it,
// summed per slot (the game uses one slot, so it is a plain sum and count).
struct HitSoundQueueEntry {
    void AddValue(float value);

    std::string name; // the sample's file; equal names merge
    CountedHandle<CSoundSample> sample;
    std::vector<float> values;
    std::vector<int32_t> counts;
    int32_t nextSlot = 0;
    int32_t slotCount = 1;
};

class CTerminatorsManager {
public:
    CTerminatorsManager(CMovingTokens* movingTokens, CountedHandle<CParticleSystemsManager> particles,
                        CountedHandle<CFlareRenderer> glowFlares, CountedHandle<CFlareRenderer> sparkleFlares,
                        CountedHandle<CSpriteRenderer> sprites);

    void SetTextures(CountedHandle<CTexture> glow, CountedHandle<CTexture> chain, CountedHandle<CTexture> sparkle,
                     CountedHandle<CTexture> bolt);
    // The caps whose animations say where each colour's picture lies, for
    // the pieces a struck token bursts into.
    void SetCapsRenderer(const CountedHandle<CCapsRenderer>& caps) { m_resources.caps = caps; }
    // Where those pieces fall: a layer drawn under the tokens, so that they
    // pass behind the tokens below the struck one.
    void SetDebrisParticles(const CountedHandle<CParticleSystemsManager>& debris) { m_resources.debris = debris; }
    void SetSoundManager(const CountedHandle<CSoundManager>& sounds) { m_sounds = sounds; }

    // Kind 1 makes an electric ray over the path, drawn with the token
    // texture; any other kind makes nothing and gives an empty handle.
    CountedHandle<CTerminator> Spawn(int kind, const TerminatorPath& path, CountedHandle<CTexture> tokenTexture,
                                     bool quick);
    void QueueHitSound(const CountedHandle<CTerminator>& terminator);
    // The number of finished terminators waiting to be scored.
    int Update(float dt);
    void PlayQueuedSounds();
    void Clear();

    const std::vector<CountedHandle<CTerminator>>& Active() const { return m_active; }
    const std::vector<CountedHandle<CTerminator>>& Finished() const { return m_finished; }
    void ClearFinished() { m_finished.clear(); }
    const std::vector<HitSoundQueueEntry>& SoundQueue() const { return m_soundQueue; }

private:
    void Queue(const char* sampleName, float x);

    std::vector<CountedHandle<CTerminator>> m_active;
    std::vector<CountedHandle<CTerminator>> m_finished;
    CMovingTokens* m_movingTokens;
    RayResources m_resources;
    CountedHandle<CSoundManager> m_sounds;
    std::vector<HitSoundQueueEntry> m_soundQueue;
};
