// The plug-in behaviour of a keeper-driven particle system
// (CCollection2ParticleSystem). The system owns the particles, the time
// limit, the vertex filling and the drawing; the keeper decides how many
// particles are born each frame, where and how each one starts, how it moves
// and when it dies.
//
// Once per frame the system calls, in this order: FollowOrigin (a false ends
// emission for good), then while it emits IsEmitting (false ends emission)
// and GetEmitCount, InitParticle for each new particle, and finally
// UpdateParticle for every live particle (false kills it). The slot passed
// is the particle's index in the system's array; several keepers index their
// own per-particle tables with it.
//
// An owner makes a keeper, configures it, puts a handle to it into a
// CCollection2Parametres record and hands that to the manager's collection
// factory; it may keep its own handle to re-aim or move the keeper. The
// system's MoveBy does not move the keeper: owners moving an effect call
// both.
#pragma once

#include "effects/particles/Particles.h"
#include "engine/Settings.h"

class CCollection2Keeper {
public:
    virtual ~CCollection2Keeper() = default;

    virtual bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z);
    virtual bool IsEmitting();
    virtual int GetEmitCount(float dt);
    virtual bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z);
    virtual bool FollowOrigin(float x, float y, float z, float dt);
    void MoveBy(float dx, float dy, float dz);

    // Where the keeper thinks the effect stands; most keepers take the
    // system's position here every frame.
    Vec3 origin;
};
