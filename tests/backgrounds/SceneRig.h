// The services a scene needs, on the recording null device: the shared
// buffers, the background sprite renderer, a flare renderer, a particle
// manager and a sound manager whose scene slots count their plays.
#pragma once

#include "engine/RenderTestSupport.h"

#include "audio/SoundManager.h"
#include "backgrounds/SceneKit.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Flare.h"
#include "engine/Sprite.h"
#include "platform/System.h"

struct SceneRig : NullRig {
    SceneRig()
    {
        plat::SeedRandom(7);
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        flares = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        particles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        sounds = MakeCountedHandle(new CSoundManager());
        sounds->initialised = 1;
        for (int slot = kSoundBackground; slot <= kSoundTreasure; ++slot)
            sounds->slots[slot] = MakeCountedHandle(new CSoundSample(1, 1024));
    }
    // How often the sound of a slot has played.
    int Plays(SceneSound slot) const { return sounds->slots[slot]->ringIndex; }

    // Runs `scene` for `frames` frames of `dt`, the renderers first, as the
    // manager and the game's frame do.
    template <typename Scene>
    void Run(Scene& scene, int frames, float dt = 0.05f)
    {
        for (int i = 0; i < frames; ++i) {
            sprites->Update(dt, 0);
            flares->Update(dt);
            particles->Update(dt);
            scene.Update(dt);
        }
    }

    // The shared resources as the manager hands them over, without
    // textures; the particle manager only for the scenes that make particles.
    BackgroundResources Shared(bool withParticles) const
    {
        BackgroundResources shared;
        shared.sprites = sprites;
        shared.particles = withParticles ? particles : CountedHandle<CParticleSystemsManager>();
        shared.flares = flares;
        return shared;
    }

    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CSoundManager> sounds;
};
