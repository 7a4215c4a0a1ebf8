// The tremble of the whole board after strong events (the sand starting to
// flow, strikes, blasts). Impulses add up to a cap and die away; the
// direction jumps roughly backwards many times a second. The board moves
// itself, its mesh, sand box, gems bar and tokens by the offset.
#pragma once

#include "engine/Settings.h" // Vec3

class CBoardShake {
public:
    CBoardShake();

    void AddImpulse(float strength);
    // True in the frame the shake ends.
    bool Update(float dt);
    Vec3 Offset() const;
    // The shake ends at the next update, whatever its amplitude.
    void Stop() { m_stopRequested = true; }

    bool IsShaking() const { return m_shaking; }
    float Amplitude() const { return m_amplitude; }
    float Angle() const { return m_angle; }

private:
    bool m_shaking = false;
    float m_amplitude = 0.0f;
    float m_angle = 0.0f; // 0 .. 2 pi
    float m_phase = 0.0f; // fraction of the time to the next change of direction
    bool m_stopRequested = false;
    float m_maxAmplitude = 8.0f;
    float m_decay = 8.0f; // amplitude lost per second
    float m_changesPerSecond = 30.0f;
};
