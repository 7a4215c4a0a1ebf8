#include "challenges/MemoryChallenge.h"

#include "challenges/ChallengeSounds.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A layout: its rows top first ('#' a plate, '.' none), where its top-left
// cell lies on the board, and how many plates show each picture (picture k
// is token code k). The plates always number the sum of the counts.
struct Layout {
    int columnOffset, rowOffset;
    std::vector<const char*> cells;
    std::vector<int> counts;
};

const Layout& LayoutFor(int n)
{
    static const Layout layouts[CMemoryChallenge::kLayouts] = {
        {2, 3, {"####", "####", "####"}, {4, 4, 4}},
        {1, 3, {"######", "######", "######"}, {4, 4, 4, 6}},
        {1, 2, {".####.", "######", "#.##.#", "######", "##..##", ".####."}, {6, 6, 6, 6, 4}},
        {1, 3, {".#####", ".#...#", "##.#.#", "##.###"}, {4, 4, 4, 4}},
        {0, 3, {"...##...", "..####..", ".##..##.", "########"}, {4, 4, 4, 6}},
        {0, 3, {"...##...", ".#####.#", "#.######", "########", ".####..#"}, {6, 6, 6, 6, 4}},
    };
    return layouts[std::clamp(n, 1, CMemoryChallenge::kLayouts) - 1];
}

int RandomBelow(int n)
{
    return std::clamp(static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n))), 0, n - 1);
}

} // namespace

CMemoryChallenge::CMemoryChallenge()
{
    m_plates.reserve(8);
    m_found.reserve(8);
}

CMemoryChallenge::~CMemoryChallenge()
{
    m_plates.clear();
    m_found.clear();
}

void CMemoryChallenge::StartRound(int n)
{
    m_plates.clear();
    m_found.clear();
    m_timer = 0.0f;
    ClearPicks();
    m_checkPhase = 0;

    const Layout& layout = LayoutFor(n);
    m_columnOffset = layout.columnOffset;
    m_rowOffset = layout.rowOffset;
    m_rows = static_cast<int32_t>(layout.cells.size());
    m_columns = static_cast<int32_t>(std::char_traits<char>::length(layout.cells[0]));

    // Deal the pictures over the marked cells, top row first.
    std::vector<int> remaining = layout.counts;
    const int pictures = static_cast<int>(remaining.size());
    std::vector<std::vector<int>> pictureAt(static_cast<size_t>(m_rows));
    for (int r = 0; r < m_rows; ++r) {
        std::vector<int>& row = pictureAt[static_cast<size_t>(r)];
        row.assign(static_cast<size_t>(m_columns), -1);
        for (int c = 0; c < m_columns; ++c) {
            if (layout.cells[static_cast<size_t>(r)][c] != '#')
                continue;
            int k;
            do
                k = RandomBelow(pictures);
            while (remaining[static_cast<size_t>(k)] < 1);
            row[static_cast<size_t>(c)] = k;
            --remaining[static_cast<size_t>(k)];
        }
    }

    // The plates start ten rows above their cells, bottom row first.
    m_plates.resize(static_cast<size_t>(m_rows));
    m_found.resize(static_cast<size_t>(m_rows));
    for (int r = m_rows - 1; r >= 0; --r) {
        auto& plates = m_plates[static_cast<size_t>(r)];
        plates.assign(static_cast<size_t>(m_columns), {});
        m_found[static_cast<size_t>(r)].assign(static_cast<size_t>(m_columns), 0);
        for (int c = 0; c < m_columns; ++c) {
            const int picture = pictureAt[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (picture < 0)
                continue;
            const float column = static_cast<float>(m_columnOffset + c);
            const float row = static_cast<float>(m_rowOffset + r);
            CountedHandle<CPlate> plate = AddPlate(picture, m_cells.Centre(column, row - 10.0f));
            if (!plate)
                continue;
            plate->ShowFrame(0);
            plate->MoveTo(m_cells.Centre(column, row), kPlateArriving);
            plates[static_cast<size_t>(c)] = plate;
        }
    }
    m_state = kDealing;
}

CountedHandle<CPlate> CMemoryChallenge::PlateAt(int column, int row) const
{
    if (row < 0 || row >= static_cast<int>(m_plates.size()) || column < 0 || column >= m_columns)
        return {};
    const auto& plates = m_plates[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < plates.size() ? plates[static_cast<size_t>(column)]
                                                       : CountedHandle<CPlate>();
}

bool CMemoryChallenge::IsFound(int column, int row) const
{
    if (row < 0 || row >= static_cast<int>(m_found.size()) || column < 0 ||
        column >= static_cast<int>(m_found[static_cast<size_t>(row)].size()))
        return false;
    return m_found[static_cast<size_t>(row)][static_cast<size_t>(column)] == 1;
}

CountedHandle<CPlate> CMemoryChallenge::PlateOf(const Pick& pick) const { return PlateAt(pick.column, pick.row); }

ChallengeResult CMemoryChallenge::OnClick(float x, float y)
{
    if (m_state != kWaiting)
        return kResultNothing;
    int column = 0, row = 0;
    if (!m_cells.CellAt(x, y, &column, &row))
        return kResultNothing;
    column -= m_columnOffset;
    row -= m_rowOffset;
    const CountedHandle<CPlate> plate = PlateAt(column, row);
    if (!plate)
        return kResultNothing;
    if (IsFound(column, row) || (m_first.column == column && m_first.row == row)) {
        challenge_sounds::PlayAt(m_sounds, challenge_sounds::kWrong, x);
        return kResultAlreadyOpen;
    }
    Pick& pick = m_first.IsSet() ? m_second : m_first;
    pick.column = column;
    pick.row = row;
    plate->Flip(true);
    m_checkPhase = 0;
    m_state = kChecking;
    challenge_sounds::PlayAt(m_sounds, challenge_sounds::kClick, plate->Position().x);
    return kResultTurnedOver;
}

bool CMemoryChallenge::AnyLeftToFind() const
{
    for (size_t r = 0; r < m_plates.size(); ++r)
        for (size_t c = 0; c < m_plates[r].size(); ++c)
            if (m_plates[r][c] && m_found[r][c] == 0)
                return true;
    return false;
}

ChallengeResult CMemoryChallenge::CheckPicks(float dt)
{
    switch (m_checkPhase) {
    case 0: {
        if (!AllPlatesIdle())
            return kResultNothing;
        if (!m_second.IsSet()) {
            m_state = kWaiting;
            return kResultNothing;
        }
        const CountedHandle<CPlate> a = PlateOf(m_first), b = PlateOf(m_second);
        if (!a || !b) {
            // The picks left the layout under the challenge's feet.
            ClearPicks();
            m_state = kWaiting;
            return kResultNothing;
        }
        if (a->TokenCode() == b->TokenCode()) {
            m_lastPair[0] = Vec2{a->Position().x, a->Position().y};
            m_lastPair[1] = Vec2{b->Position().x, b->Position().y};
            m_found[static_cast<size_t>(m_first.row)][static_cast<size_t>(m_first.column)] = 1;
            m_found[static_cast<size_t>(m_second.row)][static_cast<size_t>(m_second.column)] = 1;
            ClearPicks();
            if (AnyLeftToFind()) {
                m_state = kWaiting;
                challenge_sounds::Play(m_sounds, challenge_sounds::kGood);
                return kResultPairFound;
            }
            // The state stays: the next update with the plates idle waits
            // for a click again, unless the plates have been sent away.
            return kResultLastPairFound;
        }
        m_checkPhase = 1;
        m_timer = 0.0f;
        return kResultNothing;
    }
    case 1: {
        m_timer += dt;
        if (m_timer < m_mismatchWait)
            return kResultNothing;
        const CountedHandle<CPlate> a = PlateOf(m_first), b = PlateOf(m_second);
        float middle = 0.0f;
        for (const CountedHandle<CPlate>& plate : {a, b})
            if (plate) {
                plate->Flip(false);
                middle += 0.5f * plate->Position().x;
            }
        challenge_sounds::PlayAt(m_sounds, challenge_sounds::kClick, middle);
        m_timer = 0.0f;
        m_checkPhase = 2;
        ClearPicks();
        return kResultMismatchClosed;
    }
    default:
        if (AllPlatesIdle()) {
            m_checkPhase = 0;
            m_timer = 0.0f;
            m_state = kWaiting;
        }
        return kResultNothing;
    }
}

ChallengeResult CMemoryChallenge::Update(float dt)
{
    UpdatePlates(dt);
    switch (m_state) {
    case kDealing:
        if (AllPlatesIdle()) {
            m_state = kWaiting;
            m_checkPhase = 0;
            m_timer = 0.0f;
            challenge_sounds::Play(m_sounds, challenge_sounds::kDrop);
        }
        return kResultNothing;
    case kClearing:
        return NoPlatesLeft() ? kResultPlatesCleared : kResultNothing;
    case kChecking:
        return CheckPicks(dt);
    default:
        return kResultNothing;
    }
}

void CMemoryChallenge::DismissPlates()
{
    for (size_t r = 0; r < m_plates.size(); ++r)
        for (size_t c = 0; c < m_plates[r].size(); ++c) {
            CountedHandle<CPlate>& plate = m_plates[r][c];
            if (!plate)
                continue;
            const float column = static_cast<float>(m_columnOffset) + static_cast<float>(c);
            const float row = static_cast<float>(m_rowOffset) + static_cast<float>(r) - 10.0f;
            plate->MoveTo(m_cells.Centre(column, row), kPlateLeaving);
            plate.Reset();
        }
    m_state = kClearing;
}

std::vector<CountedHandle<CPlate>> CMemoryChallenge::TakeFoundPlates()
{
    std::vector<CountedHandle<CPlate>> taken;
    for (size_t r = 0; r < m_plates.size(); ++r)
        for (size_t c = 0; c < m_plates[r].size(); ++c) {
            CountedHandle<CPlate>& plate = m_plates[r][c];
            if (!plate || m_found[r][c] != 1)
                continue;
            RemovePlate(plate);
            taken.push_back(plate);
            plate.Reset();
            ++m_collected;
        }
    return taken;
}
