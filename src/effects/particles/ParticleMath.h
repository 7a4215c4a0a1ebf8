// The small vector and number helpers the particle systems and keepers share:
// arithmetic on the engine's float triple, the fallback rule for normalising
// a zero vector, spreads, angle wrapping and the colour bytes of a vertex.
//
// The operators live in namespace fx so that they reach only the files that
// ask for them (`using namespace fx;`), not every user of Vec3.
#pragma once

#include "engine/Random.h"
#include "engine/Settings.h"
#include "engine/VectorMath.h"

#include <cmath>
#include <cstdint>

namespace fx {

constexpr float kPi = kTwoPi / 2.0f;

inline Vec3 V3(float x, float y, float z) { return Vec3{x, y, z}; }
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, Vec3 a) { return a * s; }
inline Vec3 operator/(Vec3 a, float s) { return {a.x / s, a.y / s, a.z / s}; }
inline Vec3& operator+=(Vec3& a, Vec3 b) { return a = a + b; }
inline Vec3& operator-=(Vec3& a, Vec3 b) { return a = a - b; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

// Unit length; a vector of length 0 becomes `fallback`.
inline Vec3 Normalised(Vec3 a, Vec3 fallback = Vec3{0.0f, 1.0f, 0.0f})
{
    const float length = Length(a);
    return length == 0.0f ? fallback : a / length;
}

// A value with spread s: value + (2 · random − 1) · s.
inline float Spread(float value, float s) { return value + (2.0f * RandomUnit() - 1.0f) * s; }

// A random index below n: floor(random · n), kept below n because the
// random draw can be exactly 1.
inline int RandomIndex(int n)
{
    if (n <= 0)
        return 0;
    const int i = static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n)));
    return i < n ? i : n - 1;
}

// An angle in 1024ths of a turn wrapped into [0, 1024).
inline float WrapAngle(float r)
{
    if (r < 0.0f) {
        const float w = 1024.0f - std::fmod(-r, 1024.0f);
        return w >= 1024.0f ? 0.0f : w;
    }
    return r >= 1024.0f ? std::fmod(r, 1024.0f) : r;
}

// The nearest byte to v (ties to even), held to 0..255; NaN gives 0.
inline uint32_t ByteOf(float v)
{
    if (!(v > 0.0f))
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<uint32_t>(std::lrint(v));
}

// A vertex colour: the opacity as the top byte over a 0x00RRGGBB colour.
inline uint32_t WithAlpha(float alpha, uint32_t rgb) { return ByteOf(alpha * 255.0f) << 24 | (rgb & 0x00FFFFFFu); }

} // namespace fx
