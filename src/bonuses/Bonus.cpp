#include "bonuses/Bonus.h"

#include "bonuses/BonusParameters.h"
#include "platform/BinaryFile.h" // FloatBits

#include <algorithm>
#include <cmath>

namespace {

// A move of no time (or of a time that is no number) is over at once.
float MoveTime(float seconds) { return std::isfinite(seconds) && seconds > 0.0f ? seconds : 0.0f; }

// A flying-in bonus re-aimed at its falling token arrives at least this
// long after, so it never jumps.
constexpr float kShortestReaim = 0.1f;

// Tangent factors of the moves: a drop that lands softly in depth, a lift
// that leaves softly, and a fly-off that swings up before it goes.
const Vec3 kDropStart{1, 1, 0}, kDropEnd{1, 1, 5};
const Vec3 kLiftStart{1, 1, 5}, kLiftEnd{1, 1, 0};
const Vec3 kSwoopStart{1, 3, 1}, kSwoopEnd{1, 0, 1};

} // namespace

CBonus::CBonus() : events(25) {}

CBonus::~CBonus() = default;

int CBonus::Update(float) { return finished ? 0 : 1; }

void CBonus::StartMove(const Vec3& to, const Vec3& startTangent, const Vec3& endTangent, float time)
{
    // The path is only read while the move lasts, so a move of no time
    // keeps a harmless duration of its own.
    path.Reset(position, to, startTangent, endTangent, time > 0.0f ? time : 1.0f);
}

float CBonus::AdvancePath(float dt)
{
    pathTime = std::min(pathTime + dt, pathDuration);
    if (!(pathDuration > 0.0f)) {
        pathTime = pathDuration;
        position = path.segments.back().end;
        return 1.0f;
    }
    position = path.GetPoint(pathTime);
    return pathTime / pathDuration;
}

CBonus::FlightLook CBonus::LookInFlight(float p) const
{
    const float g = flightScale, f = flightOpacity;
    FlightLook look;
    switch (state) {
    case kBonusFlyingIn:
        look.scale = g - (g - 1.0f) * p;
        look.opacity = p > 0.5f ? 1.0f : f + p * 2.0f * (1.0f - f);
        break;
    case kBonusToTarget:
        look.scale = (g - 1.0f) * p + 1.0f;
        look.opacity = p < 0.5f ? 1.0f : f + (1.0f - f) * 2.0f * (1.0f - p);
        break;
    case kBonusFlyingOff:
        look.scale = (g - 0.1f) * p + 0.1f;
        look.opacity = p < 0.125f ? 8.0f * p : p < 0.5f ? 1.0f : f + (1.0f - f) * 2.0f * (1.0f - p);
        break;
    default:
        break;
    }
    return look;
}

void CBonus::Raise(int32_t eventKind, int32_t value, int32_t wordA, int32_t wordX, float argument)
{
    GameEvent e;
    e.kind = eventKind;
    e.value = value;
    e.a = static_cast<uint32_t>(wordA);
    e.x = static_cast<uint32_t>(wordX);
    e.arg = plat::FloatBits(argument);
    events.Push(e);
}

void CBonus::MoveTo(float x, float y, float z, int32_t cellColumn, int32_t cellRow, int smooth)
{
    column = cellColumn;
    row = cellRow;
    target = Vec3{x, y, z};
    if (state == kBonusIdle || state == kBonusPlaced) {
        position = target;
    } else if (state == kBonusFlyingIn && smooth) {
        const float remaining = pathDuration - pathTime;
        const float time = remaining >= kShortestReaim ? remaining : kShortestReaim;
        StartMove(target, kDropStart, kDropEnd, time);
        pathTime = 0.0f;
        pathDuration = time;
    } else if (state == kBonusFlyingIn) {
        // The drop keeps its start, its bends and its time; only where it
        // lands follows the token.
        PathSegment& segment = path.segments.front();
        segment.Set(segment.start, target, segment.startTangent, segment.endTangent);
    }
    Update(0.0f);
}

void CBonus::SetSize(float newSize)
{
    size = newSize;
    scale = GemParams().Scale(size);
    Update(0.0f);
}

int CBonus::FlyIn(float x, float y, float z, float newSize, int32_t cellColumn, int32_t cellRow, int inPlace,
                  float time)
{
    size = newSize;
    target = Vec3{x, y, z};
    column = cellColumn;
    row = cellRow;
    scale = GemParams().Scale(size);
    // From straight above, beyond the top of the screen.
    if (!inPlace)
        position = Vec3{x, 440.0f + size, z - 1.0f};
    pathTime = 0.0f;
    pathDuration = MoveTime(time);
    state = kBonusFlyingIn;
    StartMove(target, kDropStart, kDropEnd, pathDuration);
    return Update(0.0f);
}

void CBonus::Place(float x, float y, float z, float newSize, int32_t cellColumn, int32_t cellRow)
{
    size = newSize;
    position = target = Vec3{x, y, z};
    state = kBonusPlaced;
    column = cellColumn;
    row = cellRow;
    scale = GemParams().Scale(size);
    SetZOrder(static_cast<int32_t>(std::floor(z)));
    if (eventsEnabled)
        Raise(kEventBonusPlaced, 0, 0, 0, x);
}

void CBonus::Stop()
{
    state = kBonusIdle;
    target = position;
}

int CBonus::FlyToTarget(float time)
{
    const float t = MoveTime(time);
    if (state == kBonusFlyingIn) {
        pathTime = 2.0f * t * pathTime;
        pathDuration = t;
    } else {
        pathTime = 0.0f;
        pathDuration = t;
    }
    state = kBonusToTarget;
    StartMove(target, kLiftStart, kLiftEnd, pathDuration);
    return Update(0.0f);
}

int CBonus::FlyOff(float time)
{
    pathTime = 0.0f;
    pathDuration = MoveTime(time);
    state = kBonusFlyingOff;
    StartMove(target, kSwoopStart, kSwoopEnd, pathDuration);
    return Update(0.0f);
}
