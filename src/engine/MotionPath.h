// Motion paths: chains of per-axis cubic segments evaluated by time.
#pragma once

#include "engine/Settings.h" // Vec3

#include <vector>

struct PathSegment {
    Vec3 start, end, startTangent, endTangent;
    Vec3 cubic, square, linear, span;
    void Set(const Vec3& from, const Vec3& to, const Vec3& tangentIn, const Vec3& tangentOut);
    Vec3 At(float u) const;
};

class CMotionPath {
public:
    CMotionPath();

    void Reset(const Vec3& start, const Vec3& end, const Vec3& startTangent, const Vec3& endTangent,
               float duration);
    void ResetLinear(const Vec3& start, const Vec3& end, float duration);
    void AppendSegment(const Vec3& end, float duration);
    void AppendSmooth(const Vec3& end, const Vec3& endTangent, float duration);
    void AppendCurve(const Vec3& end, const Vec3& startTangent, const Vec3& endTangent, float duration);
    Vec3 GetPoint(float time) const;
    Vec3 Evaluate(float time) const;

    std::vector<PathSegment> segments;
    std::vector<float> durations;
    float totalDuration = 0.0f;
};
