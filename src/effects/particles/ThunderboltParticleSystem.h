// Thunderbolts: one or more flickering lightning bolts between a start and
// an end point that both wander. Each bolt is a chain of points drawn as
// overlapping segment quads; bolt b owns the slots b x (segments + 1) up to
// b x (segments + 1) + segments.
//
// A capacity too small for every bolt keeps the bolts that fit (or one bolt
// of fewer segments); a bolt of no segment draws nothing. The system lives
// for its duration whatever its points do.
#pragma once

#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/particles/Particles.h"

class CThunderboltParticleSystem : public TParticleSystem<CThunderbolt> {
public:
    CThunderboltParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                               CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                               CountedHandle<CParticleEnvironment> environment,
                               const CThunderboltParametres* params);

    bool Update(float dt) override;
    void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex) override;
    void MoveBy(float dx, float dy, float dz) override;
    // New end points and first wandering vectors (the second ones stay); the
    // bolts are laid out anew at once without advancing the time.
    bool Aim(float startX, float startY, float startZ, float startVectorX, float startVectorY, float startVectorZ,
             float startLength, float endX, float endY, float endZ, float endVectorX, float endVectorY,
             float endVectorZ, float endLength) override;

    int Segments() const { return m_segments; }
    int Bolts() const { return m_bolts; }

    // A cut is said in the log once a run; for tests, the next one is said
    // again, as in a fresh run.
    static void ForgetTheCutSaidForTests();

private:
    // Where the points of one bolt stand this frame.
    void LayOut(Vec3* points, float* jitters) const;

    Vec3 m_a1, m_a2; // scaled wandering vectors of the start point
    float m_startJitter;
    Vec3 m_end;
    Vec3 m_b1, m_b2;
    float m_endJitter;
    uint32_t m_colour;
    float m_size;
    int m_segments;
    int m_bolts;
    float m_delay;
    std::vector<Vec3> m_points; // scratch for one bolt's lay-out
    std::vector<float> m_jitters;
};
