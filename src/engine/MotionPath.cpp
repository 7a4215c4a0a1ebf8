#include "engine/MotionPath.h"

#include <cstddef>

void PathSegment::Set(const Vec3& from, const Vec3& to, const Vec3& tangentIn, const Vec3& tangentOut)
{
    start = from;
    end = to;
    startTangent = tangentIn;
    endTangent = tangentOut;
    auto axis = [](float s, float e, float a, float b, float* c, float* q, float* l, float* spanOut) {
        *c = a + b - 2.0f;
        *q = 3.0f - 2.0f * a - b;
        *l = a;
        *spanOut = e - s;
    };
    axis(from.x, to.x, tangentIn.x, tangentOut.x, &cubic.x, &square.x, &linear.x, &span.x);
    axis(from.y, to.y, tangentIn.y, tangentOut.y, &cubic.y, &square.y, &linear.y, &span.y);
    axis(from.z, to.z, tangentIn.z, tangentOut.z, &cubic.z, &square.z, &linear.z, &span.z);
}

Vec3 PathSegment::At(float u) const
{
    auto f = [u](float c, float q, float l) { return ((c * u + q) * u + l) * u; };
    return Vec3{start.x + span.x * f(cubic.x, square.x, linear.x),
                start.y + span.y * f(cubic.y, square.y, linear.y),
                start.z + span.z * f(cubic.z, square.z, linear.z)};
}

CMotionPath::CMotionPath()
{
    segments.reserve(40);
    durations.reserve(40);
    Reset(Vec3{0, 0, 0}, Vec3{1, 1, 1}, Vec3{0, 0, 0}, Vec3{0, 0, 0}, 1.0f);
}

void CMotionPath::Reset(const Vec3& start, const Vec3& end, const Vec3& startTangent, const Vec3& endTangent,
                        float duration)
{
    segments.clear();
    durations.clear();
    PathSegment segment;
    segment.Set(start, end, startTangent, endTangent);
    segments.push_back(segment);
    durations.push_back(duration);
    totalDuration = duration;
}

void CMotionPath::ResetLinear(const Vec3& start, const Vec3& end, float duration)
{
    Reset(start, end, Vec3{1, 1, 1}, Vec3{1, 1, 1}, duration);
}

void CMotionPath::AppendCurve(const Vec3& end, const Vec3& startTangent, const Vec3& endTangent, float duration)
{
    PathSegment segment;
    segment.Set(segments.back().end, end, startTangent, endTangent);
    segments.push_back(segment);
    durations.push_back(duration);
    totalDuration += duration;
}

void CMotionPath::AppendSegment(const Vec3& end, float duration)
{
    AppendCurve(end, Vec3{1, 1, 1}, Vec3{1, 1, 1}, duration);
}

void CMotionPath::AppendSmooth(const Vec3& end, const Vec3& endTangent, float duration)
{
    AppendCurve(end, segments.back().endTangent, endTangent, duration);
}

Vec3 CMotionPath::GetPoint(float time) const
{
    if (segments.size() >= 2 && durations[0] < time)
        return Evaluate(time);
    return segments[0].At(time / durations[0]);
}

Vec3 CMotionPath::Evaluate(float time) const
{
    if (segments.size() < 2)
        return segments[0].At(time / durations[0]);
    float t = time - durations[0];
    std::size_t i = 1;
    while (i < segments.size() - 1 && durations[i] <= t) {
        t -= durations[i];
        ++i;
    }
    return segments[i].At(t / durations[i]);
}
