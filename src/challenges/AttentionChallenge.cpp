#include "challenges/AttentionChallenge.h"

#include "challenges/ChallengeSounds.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>

namespace {

int RandomBelow(int n)
{
    return std::min(static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n))), n - 1);
}

} // namespace

CAttentionChallenge::CAttentionChallenge() { m_plates.reserve(3); }

CAttentionChallenge::~CAttentionChallenge()
{
    ClearPlates();
    m_plates.clear();
}

// The slots stand on the board's column lines 2, 4 and 6, across the middle
// of row 3.
Vec3 CAttentionChallenge::SlotPoint(int slot) const
{
    return Vec3{m_cells.origin.x + 2.0f * static_cast<float>(slot + 1) * m_cells.cellWidth,
                m_cells.origin.y - 3.5f * m_cells.cellHeight, m_cells.origin.z};
}

// Where the plates come from and leave to: 3.5 cells above the board.
Vec3 CAttentionChallenge::Above(float x) const
{
    return Vec3{x, m_cells.origin.y + 3.5f * m_cells.cellHeight, m_cells.origin.z};
}

void CAttentionChallenge::StartRound(int group)
{
    m_timer = 0.0f;
    m_step = 0;
    m_swapsDone = 0;
    m_swaps = m_rightAnswers + 3;
    m_swapTime = 0.75f - 0.1f * static_cast<float>(group - 1);
    m_pause = 0.25f;
    for (int i = 0; i < m_rightAnswers; ++i) {
        m_swapTime *= 0.85f;
        m_pause *= 0.85f;
    }
    // Plates of an earlier round still in the set leave on their own.
    m_plates.clear();
    for (int s = 0; s < 3; ++s) {
        const int code = s == kTokenPlate ? std::clamp(static_cast<int>(std::floor(RandomUnit() * 7.0f)), 0, 6)
                                          : CPlate::kEmptyCode;
        const Vec3 slot = SlotPoint(s);
        CountedHandle<CPlate> plate = AddPlate(code, Above(slot.x));
        if (plate) {
            plate->ShowFrame(CPlate::kOpenFrame); // the picture shows as it falls
            plate->MoveTo(slot, kPlateArriving);
        }
        m_plates.push_back(plate);
        m_order[static_cast<size_t>(s)] = s;
    }
    m_phase = kFalling;
}

CountedHandle<CPlate> CAttentionChallenge::PlateNumber(int i) const
{
    return i >= 0 && static_cast<size_t>(i) < m_plates.size() ? m_plates[static_cast<size_t>(i)]
                                                              : CountedHandle<CPlate>();
}

bool CAttentionChallenge::ListIdle() const
{
    return std::all_of(m_plates.begin(), m_plates.end(),
                       [](const CountedHandle<CPlate>& p) { return !p || p->IsIdle(); });
}

ChallengeResult CAttentionChallenge::Shuffle(float dt)
{
    m_timer += dt;
    if (m_timer >= m_swapTime && m_step == 0) {
        // A swap has just ended: every plate stands exactly on its slot.
        challenge_sounds::Play(m_sounds, challenge_sounds::kDrop);
        for (int s = 0; s < 3; ++s) {
            const CountedHandle<CPlate> plate = PlateNumber(m_order[static_cast<size_t>(s)]);
            const Vec3 p = SlotPoint(s);
            if (plate)
                plate->SetPosition(p.x, p.y, p.z);
        }
        m_step = 1;
    }
    if (m_swapsDone <= 0 || (m_timer >= m_swapTime + m_pause && m_step == 1)) {
        if (++m_swapsDone > m_swaps) {
            m_phase = kWaiting;
            return kResultChoiceAwaited;
        }
        const int first = RandomBelow(3);
        int second;
        do
            second = RandomBelow(3);
        while (second == first);
        m_highSlot = std::max(first, second);
        m_lowSlot = std::min(first, second);
        m_plateA = m_order[static_cast<size_t>(m_highSlot)];
        m_plateB = m_order[static_cast<size_t>(m_lowSlot)];
        m_order[static_cast<size_t>(m_highSlot)] = m_plateB;
        m_order[static_cast<size_t>(m_lowSlot)] = m_plateA;
        m_timer = 0.0f;
        m_step = 0;
        return kResultNothing;
    }
    if (m_timer < m_swapTime) {
        // The two trade places, A passing 1.5 cells above the line and B
        // 1.5 cells below it.
        const float u = m_timer / m_swapTime;
        const float w = 1.0f - 4.0f * (u - 0.5f) * (u - 0.5f);
        const Vec3 low = SlotPoint(m_lowSlot), high = SlotPoint(m_highSlot);
        const float lift = 1.5f * m_cells.cellHeight * w;
        if (const CountedHandle<CPlate> a = PlateNumber(m_plateA))
            a->SetPosition(low.x * u + high.x * (1.0f - u), low.y + lift, low.z);
        if (const CountedHandle<CPlate> b = PlateNumber(m_plateB))
            b->SetPosition(high.x * u + low.x * (1.0f - u), low.y - lift, low.z);
    }
    return kResultNothing;
}

ChallengeResult CAttentionChallenge::Reveal(float dt)
{
    switch (m_step) {
    case 0: {
        m_timer += dt;
        const CountedHandle<CPlate> chosen = PlateNumber(m_chosen);
        if (m_timer <= 0.5f || (chosen && !chosen->IsIdle()))
            return kResultNothing;
        m_timer = 0.0f;
        if (m_chosen == kTokenPlate) {
            m_step = 1;
            return kResultChoiceShown;
        }
        // Wrong: the other two open together.
        m_step = 2;
        float middle = 0.0f;
        for (int i = 0; i < 3; ++i) {
            const CountedHandle<CPlate> plate = PlateNumber(i);
            if (i == m_chosen || !plate)
                continue;
            plate->Flip(true);
            middle += 0.5f * plate->Position().x;
        }
        challenge_sounds::PlayAt(m_sounds, challenge_sounds::kClick, middle);
        return kResultChoiceShown;
    }
    case 1:
        return NoPlatesLeft() ? kResultRoundGone : kResultNothing;
    default:
        m_timer += dt;
        if (m_timer > 0.5f && ListIdle()) {
            DismissPlates();
            m_timer = 0.0f;
            m_step = 1;
        }
        return kResultNothing;
    }
}

ChallengeResult CAttentionChallenge::Update(float dt)
{
    UpdatePlates(dt);
    switch (m_phase) {
    case kFalling:
        if (AllPlatesIdle()) {
            m_timer = 0.0f;
            m_phase = kShowing;
            m_step = 0;
            challenge_sounds::Play(m_sounds, challenge_sounds::kDrop);
        }
        return kResultNothing;
    case kShowing:
        m_timer += dt;
        if (m_step == 0) {
            if (m_timer >= m_showTime) {
                m_step = 1;
                m_timer = 0.0f;
                for (const CountedHandle<CPlate>& plate : m_plates)
                    if (plate)
                        plate->Flip(false);
                challenge_sounds::Play(m_sounds, challenge_sounds::kClick);
            }
        } else if (ListIdle() && m_timer > 0.4f) {
            m_phase = kShuffling;
            m_timer = 0.0f;
            m_step = 0;
            m_swapsDone = 0;
        }
        return kResultNothing;
    case kShuffling:
        return Shuffle(dt);
    case kRevealing:
        return Reveal(dt);
    default:
        return kResultNothing;
    }
}

ChallengeResult CAttentionChallenge::OnClick(float x, float y)
{
    if (m_phase != kWaiting)
        return kResultNothing;
    for (size_t i = 0; i < m_plates.size(); ++i) {
        const CountedHandle<CPlate>& plate = m_plates[i];
        if (!plate)
            continue;
        const Vec3 p = plate->Position();
        const float size = plate->Size();
        if (!(p.x - size < x && x < p.x + size && p.y - size < y && y < p.y + size))
            continue;
        plate->Flip(true);
        m_timer = 0.0f;
        m_chosen = static_cast<int32_t>(i);
        m_step = 0;
        m_phase = kRevealing;
        challenge_sounds::PlayAt(m_sounds, challenge_sounds::kClick, x);
        return kResultPlateChosen;
    }
    return kResultNothing;
}

void CAttentionChallenge::DismissPlates()
{
    for (const CountedHandle<CPlate>& plate : m_plates)
        if (plate)
            plate->MoveTo(Above(plate->Position().x), kPlateLeaving);
    m_plates.clear();
}

CountedHandle<CPlate> CAttentionChallenge::TakeTokenPlate()
{
    if (m_plates.size() <= static_cast<size_t>(kTokenPlate))
        return {};
    CountedHandle<CPlate>& slot = m_plates[static_cast<size_t>(kTokenPlate)];
    if (!slot || !slot->IsShowingPicture())
        return {};
    CountedHandle<CPlate> plate = slot;
    RemovePlate(plate);
    slot.Reset();
    return plate;
}
