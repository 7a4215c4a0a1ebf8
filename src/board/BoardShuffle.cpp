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
constexpr int kGroupLetters = 7; // "A".."G"

// floor(random x n), clamped to n - 1.
int Pick(int n)
{
    const int i = static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n)));
    return std::min(i, n - 1);
}

// Forty exchanges of two random entries, from `first` on.
void Mix(std::vector<int32_t>& list, size_t first)
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

// A random member of a list, or -1 for an empty one.
int32_t Member(const std::vector<int32_t>& list)
{
    return list.empty() ? -1 : list[static_cast<size_t>(Pick(static_cast<int>(list.size())))];
}

} // namespace

bool CGameBoard::Shuffle(int steelOnBoard, int chainedOnBoard)
{
    for (int attempt = 0; attempt < kLayoutAttempts; ++attempt)
        if (DrawStartLayout(steelOnBoard, chainedOnBoard, false))
            return true;
    WriteLog("Warning! The start layout of " + levelData->path +
             " cannot be played; its letters are drawn at random\n");
    for (int attempt = 0; attempt < kLayoutAttempts; ++attempt)
        if (DrawStartLayout(steelOnBoard, chainedOnBoard, true))
            return false;
    WriteLog("Warning! The start layout of " + levelData->path + " is kept as drawn\n");
    return false;
}

// Equal letters get equal colours and different letters different ones;
// the group letters share out colours of their own; digits and "s" stand as
// written. Letters with no colour to take (beyond the colours in play, a
// group the colours could not be dealt to, a list the file never gave) are
// drawn like "x".
bool CGameBoard::DrawStartLayout(int steelOnBoard, int chainedOnBoard, bool lettersAsRandom)
{
    const CLevelData& level = *levelData;
    const int n = static_cast<int>(colours.size());

    std::array<std::vector<int32_t>, kGroupLetters> groups;
    if (!level.groupLetters.empty() && level.CheckGroups(n)) {
        std::vector<int32_t> dealt = colours;
        Mix(dealt, 0);
        size_t next = 0;
        for (size_t i = 0; i < level.groupLetters.size(); ++i)
            for (int32_t k = 0; k < level.groupSizes[i] && next < dealt.size(); ++k)
                groups[static_cast<size_t>(level.groupLetters[i] - 'A')].push_back(dealt[next++]);
    }

    // In the totem lesson "a" is the colour of the first totem the player
    // owns.
    std::vector<int32_t> letters = colours;
    size_t first = 0;
    if (levelState == 7) {
        const auto owned = std::find_if(letters.begin(), letters.end(), [this](int32_t c) {
            return c >= 0 && c < CTotemsManager::kColours && totems.levels[static_cast<size_t>(c)] > 0;
        });
        if (owned != letters.end()) {
            std::rotate(letters.begin(), owned, owned + 1);
            tutorialColour = letters[0];
            first = 1;
        }
    }
    Mix(letters, first);

    int steel = steelOnBoard, chained = chainedOnBoard;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            if (const CountedHandle<CToken>& t = Cell(c, r)) {
                analyser.Cell(c, r) = AnalyserCode(*t);
                continue;
            }
            const bool inFile = r < CLevelData::kRows && c < CLevelData::kRowLength;
            const char ch = inFile ? level.beginRows[static_cast<size_t>(r)][static_cast<size_t>(c)] : 'x';
            const char lock = inFile ? level.lockRows[static_cast<size_t>(r)][static_cast<size_t>(c)] : '-';
            int32_t colour = -1;
            if (ch >= '0' && ch <= '6') {
                colour = ch - '0';
            } else if (ch == 's') {
                colour = kSteelColour;
            } else if (!lettersAsRandom) {
                if (ch >= 'a' && ch <= 'z' && ch - 'a' < n)
                    colour = letters[static_cast<size_t>(ch - 'a')];
                else if (ch >= 'A' && ch <= 'G')
                    colour = Member(groups[static_cast<size_t>(ch - 'A')]);
                else if (ch >= 'I' && ch <= 'O')
                    for (size_t i = 0; i < level.listLetters.size() && colour < 0; ++i)
                        if (level.listLetters[i] == ch)
                            colour = Member(level.lists[i]);
            }
            if (colour < 0)
                colour = DrawColourUnderCap(steel);
            int32_t code = colour + 1;
            if (colour > 97) {
                code = kSteelCode;
                ++steel;
            }
            if ((lock >= '1' && lock <= '9') ||
                (!(lock >= '0' && lock <= '9') && chained < lockCap && RandomUnit() < lockRate)) {
                code = -code;
                ++chained;
            }
            analyser.Cell(c, r) = code;
        }
    return !analyser.HasReadyRun(3, false) && analyser.HasPossibleMove(3, false);
}

void CGameBoard::ShuffleAnimated(float duration, int steps)
{
    const float stepTime = steps > 1 ? duration / static_cast<float>(steps - 1) : duration;
    const float g = paths.tuning[0] > 0.0f ? paths.tuning[0] : 2000.0f;
    SetLocked(true);
    cellInfo.clear();
    if (boardMode == 0)
        cellInfo.assign(static_cast<size_t>(rows), std::vector<ShuffleCell>(static_cast<size_t>(columns)));
    selectionMarker->Hide();
    bool remembered = false;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            CountedHandle<CToken>& cell = Cell(c, r);
            if (!cell)
                continue;
            CToken& t = *cell;
            // The refill places the gem again.
            if (t.gem)
                ++gemsToPlace;
            if (boardMode == 0 && t.settled) {
                ShuffleCell& info = cellInfo[static_cast<size_t>(r)][static_cast<size_t>(c)];
                info.free = 0;
                info.column = c;
                info.row = r;
                info.colour = t.colour;
                info.lock = t.chained;
                info.gem = t.gem;
                info.hasBonus = t.bonus ? 1 : 0;
                if (t.bonus) {
                    info.bonusKind = t.bonus->kind;
                    info.bonusValue = t.bonus->value;
                }
                remembered = true;
            }
            // The token trembles where it is, then falls off the board.
            const float shift = 0.3f * t.size;
            auto jitter = [&t, shift] {
                return Vec3{t.x + (RandomUnit() - 0.5f) * shift, t.y + (RandomUnit() - 0.5f) * shift, t.z};
            };
            const Vec3 firstPoint = jitter();
            movingTokens.StartPath(t, firstPoint, stepTime, Vec3{1, 1, 1}, Vec3{1, 1, 1});
            for (int i = 1; i < steps; ++i)
                t.path.AppendSmooth(jitter(), Vec3{1, 1, 1}, stepTime);
            const int side = static_cast<int>(std::floor(6.0f * RandomUnit() - 1.0f));
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
    firstFill = 2;
    if (!remembered)
        cellInfo.clear();
    swapsActive.clear();
    swapsBack.clear();
}
