#include "challenges/ReactionChallenge.h"

#include "challenges/ChallengeSounds.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

int RandomBelow(int n)
{
    return std::clamp(static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n))), 0, n - 1);
}

constexpr int kColumns = 6, kRows = 3, kTokens = 12;

} // namespace

CReactionChallenge::CReactionChallenge() { m_plates.reserve(16); }

CReactionChallenge::~CReactionChallenge()
{
    ClearPlates();
    m_plates.clear();
}

void CReactionChallenge::Start(int group)
{
    m_timer = 0.0f;
    m_step = 0;
    m_openPlate.Reset();
    m_emptyStreak = 0;
    m_openTime = 0.85f - 0.1f * static_cast<float>(group - 1);
    m_interval = 0.25f;
    m_catchPause = 1.0f;
    m_missPause = 3.0f;
    m_penalty = 5.0f;

    // Twelve distinct cells get a token picture (pictures may repeat).
    int cells[kColumns * kRows] = {};
    for (int i = 0; i < kTokens; ++i) {
        int c;
        do
            c = RandomBelow(kColumns * kRows);
        while (cells[c] != 0);
        cells[c] = RandomBelow(7) + 1;
    }
    // Board columns 1..6 and rows 2..4; each plate falls from ten rows up.
    m_plates.clear();
    for (int r = 0; r < kRows; ++r)
        for (int j = 0; j < kColumns; ++j) {
            const int cell = cells[r * kColumns + j];
            const float column = static_cast<float>(j + 1), row = static_cast<float>(r + 2);
            CountedHandle<CPlate> plate =
                AddPlate(cell ? cell - 1 : CPlate::kEmptyCode, m_cells.Centre(column, row - 10.0f));
            if (!plate)
                continue;
            plate->ShowFrame(0);
            plate->MoveTo(m_cells.Centre(column, row), kPlateArriving);
            m_plates.push_back(plate);
        }
    m_state = kFalling;
}

bool CReactionChallenge::ListIdle() const
{
    return std::all_of(m_plates.begin(), m_plates.end(),
                       [](const CountedHandle<CPlate>& p) { return !p || p->IsIdle(); });
}

// Any plate may open, but after three empty ones in a row only a token
// plate, while one is left; with none left an empty plate opens after all,
// and with no plate at all nothing does.
void CReactionChallenge::OpenNextPlate()
{
    const int n = static_cast<int>(m_plates.size());
    if (n == 0)
        return;
    const bool tokenLeft = std::any_of(m_plates.begin(), m_plates.end(),
                                       [](const CountedHandle<CPlate>& p) { return p && !p->IsEmpty(); });
    const bool tokenDue = tokenLeft && m_emptyStreak >= m_emptyStreakLimit;
    int i;
    do
        i = std::min(static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n))), n - 1);
    while (!m_plates[static_cast<size_t>(i)] || (tokenDue && m_plates[static_cast<size_t>(i)]->IsEmpty()));
    CPlate& plate = *m_plates[static_cast<size_t>(i)];
    m_emptyStreak = plate.IsEmpty() ? m_emptyStreak + 1 : 0;
    plate.Flip(true);
    m_timer = 0.0f;
    m_openPlate = m_plates[static_cast<size_t>(i)];
    m_step = kOpen;
    challenge_sounds::PlayAt(m_sounds, challenge_sounds::kClick, plate.Position().x);
}

ChallengeResult CReactionChallenge::Flash(float dt)
{
    m_timer += dt;
    if (m_step == kClosed) {
        if (m_timer >= m_interval)
            OpenNextPlate();
        return kResultNothing;
    }
    if (m_timer >= m_openTime) {
        if (m_openPlate) {
            m_openPlate->Flip(false);
            challenge_sounds::PlayAt(m_sounds, challenge_sounds::kClick, m_openPlate->Position().x);
        }
        m_timer = 0.0f;
        m_openPlate.Reset();
        m_step = kClosed;
    }
    return kResultNothing;
}

ChallengeResult CReactionChallenge::AfterStop(float dt)
{
    switch (m_step) {
    case kJudging:
        if (!ListIdle())
            return kResultNothing;
        return m_openPlate && !m_openPlate->IsEmpty() ? kResultTokenCaught : kResultStopMissed;
    case kAfterMiss:
        m_timer += dt;
        if (m_timer >= m_missPause) {
            for (const CountedHandle<CPlate>& plate : m_plates)
                if (plate && plate->ShownFrame() != 0)
                    plate->Flip(false);
            m_timer = 0.0f;
            m_step = kClosed;
            m_state = kRunning;
        }
        return kResultNothing;
    default:
        m_timer += dt;
        if (m_timer >= m_catchPause) {
            m_timer = 0.0f;
            m_step = 0;
            if (m_caught >= m_needed) {
                DismissPlates();
                m_state = kOver;
            } else {
                m_state = kRunning;
            }
        }
        return kResultNothing;
    }
}

ChallengeResult CReactionChallenge::Update(float dt)
{
    UpdatePlates(dt);
    switch (m_state) {
    case kFalling:
        if (AllPlatesIdle()) {
            m_timer = 0.0f;
            m_state = kRunning;
            m_step = kClosed;
            challenge_sounds::Play(m_sounds, challenge_sounds::kDrop);
        }
        return kResultNothing;
    case kRunning:
        return Flash(dt);
    case kStopped:
        return AfterStop(dt);
    case kOver:
        return m_step == 0 && NoPlatesLeft() ? kResultReactionOver : kResultNothing;
    default:
        return kResultNothing;
    }
}

ChallengeResult CReactionChallenge::OnStop()
{
    if (m_state == kRunning) {
        // A plate that is opening goes on opening: the judgement waits.
        m_state = kStopped;
        m_timer = 0.0f;
        m_step = kJudging;
    }
    return kResultNothing;
}

void CReactionChallenge::SpeedUp()
{
    m_openTime *= 0.95f;
    m_interval *= 0.98f;
}

void CReactionChallenge::CountCatch()
{
    ++m_caught;
    SpeedUp();
    m_step = kAfterCatch;
    m_timer = 0.0f;
}

void CReactionChallenge::TakeMiss()
{
    m_step = kAfterMiss;
    m_timer = 0.0f;
    challenge_sounds::Play(m_sounds, challenge_sounds::kWrong);
}

void CReactionChallenge::DismissPlates()
{
    for (const CountedHandle<CPlate>& plate : m_plates)
        if (plate) {
            const Vec3 p = plate->Position();
            plate->MoveTo(Vec3{p.x, p.y + 10.0f * m_cells.cellHeight, m_cells.origin.z}, kPlateLeaving);
        }
    m_plates.clear();
}

bool CReactionChallenge::EndOnTimeOut()
{
    if (m_state != kRunning)
        return false;
    m_state = kOver;
    DismissPlates();
    m_step = 0;
    m_timer = 0.0f;
    return true;
}

std::vector<CountedHandle<CPlate>> CReactionChallenge::TakeCaughtPlates()
{
    std::vector<CountedHandle<CPlate>> taken;
    // Only a catch that was taken hands its plate over: a plate open in the
    // flashing, or after a miss, stays.
    if (m_state != kStopped || m_step != kAfterCatch)
        return taken;
    for (size_t i = 0; i < m_plates.size();) {
        const CountedHandle<CPlate> plate = m_plates[i];
        if (!plate || !plate->IsShowingPicture()) {
            ++i;
            continue;
        }
        RemovePlate(plate);
        m_plates.erase(m_plates.begin() + static_cast<std::ptrdiff_t>(i));
        if (plate == m_openPlate)
            m_openPlate.Reset();
        taken.push_back(plate);
    }
    return taken;
}
