#include "challenges/Plate.h"

#include <algorithm>
#include <cmath>
#include <utility>

CPlate::CPlate(int tokenCode, CountedHandle<CCap> plateCap, CountedHandle<CCap> tokenCap)
    : m_tokenCode(tokenCode), m_plateCap(std::move(plateCap)), m_tokenCap(std::move(tokenCap))
{}

void CPlate::Flip(bool open) { m_state = open ? kPlateOpening : kPlateClosing; }

void CPlate::SetPosition(float x, float y, float z)
{
    m_position = Vec3{x, y, z};
    for (CCap* cap : {m_plateCap.Get(), m_tokenCap.Get()})
        if (cap) {
            cap->x = x;
            cap->y = y;
            cap->z = z;
        }
}

void CPlate::SetFrame(int n)
{
    if (n == m_shownFrame)
        return;
    CCap* plate = m_plateCap.Get();
    CCap* token = m_tokenCap.Get();
    if (n >= 2) {
        if (m_shownFrame < 2) {
            if (plate)
                plate->visible = 0;
            if (token)
                token->visible = 1;
        }
        m_shownFrame = n;
        if (token)
            token->trackPosition = n - 2;
        return;
    }
    if (m_shownFrame >= 2) {
        if (token)
            token->visible = 0;
        if (plate)
            plate->visible = 1;
    }
    m_shownFrame = n;
    if (plate)
        plate->trackPosition = n;
}

void CPlate::ShowFrame(int n)
{
    SetFrame(n);
    m_flip = static_cast<float>(n);
}

void CPlate::MoveTo(const Vec3& target, PlateState state)
{
    const Vec3 along{1.0f, 0.0f, 1.0f};
    m_path.Reset(m_position, target, along, along, kMoveTime);
    m_moveTime = kMoveTime;
    m_moveElapsed = 0.0f;
    m_state = state;
}

namespace {

int FrameOf(float flip) { return std::clamp(static_cast<int>(std::floor(flip)), 0, CPlate::kOpenFrame); }

} // namespace

int CPlate::Update(float dt)
{
    switch (m_state) {
    case kPlateArriving:
    case kPlateLeaving: {
        m_moveElapsed = std::min(m_moveElapsed + dt, m_moveTime);
        const Vec3 p = m_path.GetPoint(m_moveElapsed);
        SetPosition(p.x, p.y, p.z);
        return m_moveElapsed >= m_moveTime ? kPlateMoveEnded : kPlateNothing;
    }
    case kPlateOpening:
        m_flip = std::min(m_flip + dt * m_flipSpeed, kOpenFlip);
        SetFrame(FrameOf(m_flip));
        return m_flip >= kOpenFlip ? kPlateFlipEnded : kPlateNothing;
    case kPlateClosing:
        m_flip = std::max(m_flip - dt * m_flipSpeed, 0.0f);
        SetFrame(FrameOf(m_flip));
        return m_flip <= 0.0f ? kPlateFlipEnded : kPlateNothing;
    default:
        return kPlateNothing;
    }
}
