// The two ways the board gets a new set of colours: the first fill of a
// level from its file's start layout, and the animated reshuffle when no
// move is left, after which the refill drops a new board in with the
// level's fixed tokens back in their places.
#include "board/GameBoard.h"

#include "engine/Log.h"
#include "engine/Random.h"
#include "rays/TokenHighlight.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A start layout is drawn again until it can be played. One that cannot
// within this many draws has its letters drawn at random for as many more;
// after that the last draw stands.
constexpr int kLayoutAttempts = 1000;
constexpr int kMixExchanges = 40;
constexpr int32_t kSteelCode = kSteelColour + 1;

} // namespace

int CGameBoard::Pick(int n)
{
    const int i = static_cast<int>(std::floor(m_random.Unit() * static_cast<float>(n)));
    return std::min(i, n - 1);
}

void CGameBoard::Mix(std::vector<int32_t>& list, size_t first)
{
    if (list.size() <= first)
        return;
    const int n = static_cast<int>(list.size() - first);
    for (int i = 0; i < kMixExchanges; ++i) {
        const size_t a = first + static_cast<size_t>(Pick(n));
        const size_t b = first + static_cast<size_t>(Pick(n));
        std::swap(list[a], list[b]);
    }
}

int32_t CGameBoard::Member(const std::vector<int32_t>& list)
{
    return list.empty() ? -1 : list[static_cast<size_t>(Pick(static_cast<int>(list.size())))];
}

bool CGameBoard::Shuffle(int steelOnBoard, int chainedOnBoard)
{
    ReadStartLayout(false);
    for (int attempt = 0; attempt < kLayoutAttempts; ++attempt)
        if (DrawStartLayout(steelOnBoard, chainedOnBoard))
            return true;
    WriteLog("Warning! The start layout of " + m_levelData->path +
             " cannot be played; its letters are drawn at random\n");
    ReadStartLayout(true);
    for (int attempt = 0; attempt < kLayoutAttempts; ++attempt)
        if (DrawStartLayout(steelOnBoard, chainedOnBoard))
            return false;
    // A draw that stops at its first run leaves cells undrawn: the one kept
    // is drawn whole.
    DrawStartLayout(steelOnBoard, chainedOnBoard, false);
    WriteLog("Warning! The start layout of " + m_levelData->path + " is kept as drawn\n");
    return false;
}

// What each cell of the start layout asks for, column by column, top down.
// Equal letters get equal colours and different letters different ones;
// the group letters share out colours of their own; digits and "s" stand as
// written. Letters with no colour to take (beyond the colours in play, a
// list the file never gave), or every letter with `lettersAsRandom`, are
// drawn like "x". The plain cells are never chained, and draw a colour where
// the layout has steel.
void CGameBoard::ReadStartLayout(bool lettersAsRandom)
{
    const CLevelData& level = *m_levelData;
    const int n = static_cast<int>(m_colours.size());
    auto isLetter = [&level, n](char ch) {
        return (ch >= 'a' && ch <= 'z' && ch != 's' && ch - 'a' < n) || (ch >= 'A' && ch <= 'G') ||
               (ch >= 'I' && ch <= 'O' &&
                std::find(level.listLetters.begin(), level.listLetters.end(), ch) != level.listLetters.end());
    };
    m_layoutCells.clear();
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r) {
            LayoutCell cell;
            if (const CountedHandle<CToken>& t = Cell(c, r)) {
                cell.kind = LayoutCell::Token;
                cell.code = AnalyserCode(*t);
                m_layoutCells.push_back(cell);
                continue;
            }
            const bool inFile = r < CLevelData::kRows && c < CLevelData::kRowLength;
            const char ch = inFile ? level.beginRows[static_cast<size_t>(r)][static_cast<size_t>(c)] : 'x';
            const char lock = inFile ? level.lockRows[static_cast<size_t>(r)][static_cast<size_t>(c)] : '-';
            cell.plain =
                std::find(m_plainCells.begin(), m_plainCells.end(), MatchCell{c, r}) != m_plainCells.end();
            if (ch >= '0' && ch <= '6') {
                cell.kind = LayoutCell::Fixed;
                cell.code = ch - '0' + 1;
            } else if (ch == 's' && !cell.plain) {
                cell.kind = LayoutCell::Fixed;
                cell.code = kSteelCode;
            } else if (!lettersAsRandom && isLetter(ch)) {
                cell.kind = LayoutCell::Letter;
                cell.letter = ch;
            }
            cell.lock = cell.plain                   ? LayoutCell::Free
                        : lock >= '1' && lock <= '9' ? LayoutCell::Chain
                        : lock == '0'                ? LayoutCell::Free
                                                     : LayoutCell::Chance;
            m_layoutCells.push_back(cell);
        }
}

// Most draws of a start layout hold a run. A draw stops at the first drawn
// cell that completes one with the cells before it; the letters are dealt
// their colours only when the rest of the layout stands, and the whole is
// judged then. The layouts that stand are drawn just as often as if every
// draw were made whole.
bool CGameBoard::DrawStartLayout(int steelOnBoard, int chainedOnBoard, bool stopAtRun)
{
    m_layoutCodes.resize(m_layoutCells.size());
    int32_t* codes = m_layoutCodes.data();
    const int32_t* palette = m_colours.data();
    const int n = static_cast<int>(m_colours.size());
    const bool noSteel = m_steelRate <= 0.0f || n == 0;
    // A run closes at cell i (column-major) with the two cells above it or
    // the two cells left of it.
    auto run = [this, codes](int c, int r, size_t i, int32_t code) {
        const int32_t a = std::abs(code);
        const size_t column = static_cast<size_t>(m_rows);
        return a < 99 && ((r >= 2 && std::abs(codes[i - 1]) == a && std::abs(codes[i - 2]) == a) ||
                          (c >= 2 && std::abs(codes[i - column]) == a && std::abs(codes[i - 2 * column]) == a));
    };
    m_letterCells.clear();
    int steel = steelOnBoard, chained = chainedOnBoard;
    size_t i = 0;
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r, ++i) {
            const LayoutCell& cell = m_layoutCells[i];
            int32_t code = cell.code;
            switch (cell.kind) {
            case LayoutCell::Token:
                codes[i] = code;
                if (stopAtRun && run(c, r, i, code))
                    return false;
                continue;
            case LayoutCell::Fixed:
                steel += code == kSteelCode ? 1 : 0;
                break;
            case LayoutCell::Drawn:
                if (noSteel || cell.plain) {
                    const int k = static_cast<int>(m_random.Unit() * static_cast<float>(n));
                    code = palette[k < n ? k : n - 1] + 1;
                } else {
                    const int colour = DrawColourUnderCap(steel);
                    code = colour > 97 ? kSteelCode : colour + 1;
                    steel += colour > 97 ? 1 : 0;
                }
                break;
            case LayoutCell::Letter:
                break;
            }
            const bool chain =
                cell.lock == LayoutCell::Chain ||
                (cell.lock == LayoutCell::Chance && chained < m_lockCap && m_random.Unit() < m_lockRate);
            chained += chain ? 1 : 0;
            if (cell.kind == LayoutCell::Letter) {
                m_letterCells.push_back({c, r, cell.letter, chain});
                codes[i] = 0;
                continue;
            }
            codes[i] = chain ? -code : code;
            if (stopAtRun && run(c, r, i, code))
                return false;
        }
    i = 0;
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r)
            m_analyser.Cell(c, r) = codes[i++];
    if (!m_letterCells.empty() && !PlaceLetters())
        return false;
    return m_analyser.HasPossibleMove(3, false);
}

// The letters' cells take their colours; false when a run stands then.
bool CGameBoard::PlaceLetters()
{
    const CLevelData& level = *m_levelData;
    bool lettersDealt = false, groupsDealt = false;
    for (const LetterCell& cell : m_letterCells) {
        int32_t colour = -1;
        if (cell.letter >= 'a' && cell.letter <= 'z') {
            if (!lettersDealt)
                DealLetters();
            lettersDealt = true;
            colour = m_letterColours[static_cast<size_t>(cell.letter - 'a')];
        } else if (cell.letter >= 'A' && cell.letter <= 'G') {
            if (!groupsDealt)
                DealGroups();
            groupsDealt = true;
            colour = Member(m_groupColours[static_cast<size_t>(cell.letter - 'A')]);
        } else {
            for (size_t i = 0; i < level.listLetters.size() && colour < 0; ++i)
                if (level.listLetters[i] == cell.letter)
                    colour = Member(level.lists[i]);
        }
        // A group dealt nothing is drawn like "x" (never steel).
        if (colour < 0)
            colour = DrawPlainColour();
        m_analyser.Cell(cell.column, cell.row) = cell.chained ? ~colour : colour + 1;
    }
    return !m_analyser.HasReadyRun(3, false);
}

// The letters' colours: a mix of the colours in play. In the totem lesson
// "a" is the colour of the first totem the player owns.
void CGameBoard::DealLetters()
{
    m_letterColours = m_colours;
    size_t first = 0;
    if (m_lesson == Lesson::Totem) {
        const auto owned = std::find_if(m_letterColours.begin(), m_letterColours.end(), [this](int32_t c) {
            return c >= 0 && c < CTotemsManager::kColours && m_totems->levels[static_cast<size_t>(c)] > 0;
        });
        if (owned != m_letterColours.end()) {
            std::rotate(m_letterColours.begin(), owned, owned + 1);
            m_tutorialColour = m_letterColours[0];
            first = 1;
        }
    }
    Mix(m_letterColours, first);
}

// Each group letter is dealt colours of its own from a mix of the colours
// in play, when there are enough of them for every group.
void CGameBoard::DealGroups()
{
    const CLevelData& level = *m_levelData;
    for (std::vector<int32_t>& group : m_groupColours)
        group.clear();
    if (level.groupLetters.empty() || !level.CheckGroups(static_cast<int>(m_colours.size())))
        return;
    m_dealtColours = m_colours;
    Mix(m_dealtColours, 0);
    size_t next = 0;
    for (size_t i = 0; i < level.groupLetters.size(); ++i)
        for (int32_t k = 0; k < level.groupSizes[i] && next < m_dealtColours.size(); ++k)
            m_groupColours[static_cast<size_t>(level.groupLetters[i] - 'A')].push_back(m_dealtColours[next++]);
}

void CGameBoard::ShuffleAnimated(float duration, int steps)
{
    const float stepTime = steps > 1 ? duration / static_cast<float>(steps - 1) : duration;
    const float g = m_tuning.gravity > 0.0f ? m_tuning.gravity : 2000.0f;
    SetLocked(true);
    m_cellInfo.clear();
    if (m_boardMode == 0)
        m_cellInfo.assign(static_cast<size_t>(m_rows), std::vector<ShuffleCell>(static_cast<size_t>(m_columns)));
    m_marker->Hide();
    bool remembered = false;
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r) {
            CountedHandle<CToken>& cell = CellRef(c, r);
            if (!cell)
                continue;
            CToken& t = *cell;
            // The refill places the gem again.
            if (t.gem)
                ++m_gemsToPlace;
            if (m_boardMode == 0 && t.settled) {
                ShuffleCell& info = m_cellInfo[static_cast<size_t>(r)][static_cast<size_t>(c)];
                info.free = 0;
                info.column = c;
                info.row = r;
                info.colour = t.colour;
                info.lock = t.chained;
                info.gem = t.gem;
                info.hasBonus = t.bonus ? 1 : 0;
                if (t.bonus) {
                    info.bonusKind = t.bonus->kind;
                    info.bonusValue = t.bonus->param;
                }
                remembered = true;
            }
            // The token trembles where it is, then falls off the board.
            const float shift = 0.3f * t.size;
            auto jitter = [this, &t, shift] {
                return Vec3{t.x + (m_random.Unit() - 0.5f) * shift, t.y + (m_random.Unit() - 0.5f) * shift, t.z};
            };
            const Vec3 firstPoint = jitter();
            m_movingTokens.StartPath(t, firstPoint, stepTime, Vec3{1, 1, 1}, Vec3{1, 1, 1});
            for (int i = 1; i < steps; ++i)
                t.path.AppendSmooth(jitter(), Vec3{1, 1, 1}, stepTime);
            const int side = static_cast<int>(std::floor(6.0f * m_random.Unit() - 1.0f));
            const Vec2 target = CellToPoint(c + side, r + 10, false);
            const float fall = std::sqrt(std::fabs(2.0f * (t.y - target.y) / g));
            t.path.AppendCurve(Vec3{target.x, target.y, 0.0f}, Vec3{1, 0, 1}, Vec3{1, 2, 1}, fall);
            t.pathDuration = fall + duration;
            t.active = 0;
            t.fromColumn = c;
            t.fromRow = r;
            t.moveKind = 2;
            cell.Reset();
        }
    m_firstFill = 2;
    if (!remembered)
        m_cellInfo.clear();
    m_swapsActive.clear();
    m_swapsBack.clear();
}
