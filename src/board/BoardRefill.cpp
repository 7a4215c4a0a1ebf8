// After tokens have left the board: the tokens above fall into the gaps, a
// colour is chosen for every cell still empty, gems, chains, fixed marks
// and bonuses are attached, and the new tokens drop in from above. Also the
// tokens in flight: which one is under the pointer, one arriving, one
// leaving with a bonus, and the level's end.
//
// Colours are drawn at random in play. A level's first fill takes them from
// the level's file (through the shuffle of its start layout), the fill after
// an animated shuffle brings back the tokens the level fixed, and a resumed
// level's first fill restores the saved board.
#include "board/GameBoard.h"

#include "balance/BalanceState.h"
#include "engine/Log.h"
#include "engine/Random.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A draw that can never satisfy the board (no move can arise, or a
// run-free board of one colour is asked for) stops trying after this many
// passes and keeps its last draw; the no-move test then reports it.
constexpr int kMaxDrawPasses = 1000;
// A refill that must avoid new runs after a long chain reaction gives up
// after this many retries and keeps a run.
constexpr int kMaxForcedRetries = 100;
constexpr int32_t kSteelCode = kSteelColour + 1;

bool IsOrdinary(int32_t code) { return std::abs(code) < 99; }

// The bonus kind of a level file's bonus digit.
constexpr int32_t kBonusOfDigit[CLevelData::kBonusDigits] = {kBonusTnt,   kBonusScore,      kBonusTime,
                                                             kBonusFlash, kBonusSolidarity, kBonusAdviser};

// A saved code the board can hold: a colour, chained or not, or steel. An
// empty cell saves 1000.
bool IsTokenCode(int32_t code)
{
    const int32_t a = std::abs(code);
    return (a >= 1 && a <= 7) || a == kSteelCode;
}

} // namespace

// A fall of distance d under the game's gravity takes sqrt(|2 d / g|); a
// fall into a cell overshoots upwards by the rebound fraction of its drop
// and settles.
void CGameBoard::FallTo(CToken& token, float targetX, float targetY, bool rebound)
{
    const float g = m_tuning.gravity > 0.0f ? m_tuning.gravity : 2000.0f;
    const float drop = token.y - targetY;
    const float t = std::max(std::sqrt(std::fabs(2.0f * drop / g)), 0.001f);
    const Vec3 target{targetX, targetY, 0.0f};
    m_movingTokens.StartPath(token, target, t, Vec3{1, 0, 1}, Vec3{1, 2, 1});
    if (!rebound)
        return;
    const float r = m_tuning.rebound;
    if (r <= 0.0f)
        return;
    token.path.AppendCurve(Vec3{targetX, targetY + r * drop, 0.0f}, Vec3{1, 2, 1}, Vec3{1, 0, 1}, r * t);
    token.path.AppendCurve(target, Vec3{1, 0, 1}, Vec3{1, 2, 1}, r * t);
    token.pathDuration = (2.0f * r + 1.0f) * t;
}

void CGameBoard::GiveBonus(CToken& token, const CountedHandle<CBonus>& bonus)
{
    token.SetBonus(bonus);
    if (bonus)
        bonus->colour = token.colour;
}

void CGameBoard::FlyInOnToken(CToken& carrier, const CountedHandle<CBonus>& bonus, BonusStart start)
{
    const Vec3 at{carrier.anchorX + m_originX, carrier.anchorY + m_originY, carrier.anchorZ + m_originZ};
    if (start == BonusStart::OnToken)
        bonus->position = at;
    bonus->FlyIn(at.x, at.y, at.z, carrier.size, carrier.column, carrier.row, 1, 0.5f);
    GiveBonus(carrier, bonus);
}

void CGameBoard::Refill(bool requireNoRun, bool requireMove)
{
    // Gravity: the lowest empty cells fill first.
    for (int c = 0; c < m_columns; ++c)
        for (int r = m_rows - 1; r >= 0; --r) {
            if (Cell(c, r))
                continue;
            int above = r - 1;
            while (above >= 0 && !Cell(c, above))
                --above;
            if (above < 0)
                break;
            CountedHandle<CToken> token = Cell(c, above);
            CellRef(c, above).Reset();
            CellRef(c, r) = token;
            token->fromColumn = token->column;
            token->fromRow = token->row;
            token->row = r;
            token->moveKind = 1;
            token->active = 0;
            token->ArmDropSound();
            const Vec2 centre = CellToPoint(c, r, false);
            FallTo(*token, centre.x, centre.y, true);
        }

    int steelOnBoard = 0, chainedOnBoard = 0, gemsOnBoard = 0;
    for (const auto& row : m_grid)
        for (const CountedHandle<CToken>& t : row) {
            if (!t)
                continue;
            steelOnBoard += t->colour > 99 ? 1 : 0;
            chainedOnBoard += t->chained ? 1 : 0;
            gemsOnBoard += t->bonus && t->bonus->kind == kBonusGem ? 1 : 0;
        }

    const FillSource source = SourceOfFill();
    if (source == FillSource::Level) {
        Shuffle(steelOnBoard, chainedOnBoard);
    } else if (source == FillSource::Saved) {
        // The saved board is taken as it stands; only cells it holds no
        // token for are drawn.
        DrawCodes(false, false, false, steelOnBoard, chainedOnBoard, source);
    } else {
        // Long chain reactions make the refill avoid handing out new runs.
        bool checkRuns = requireNoRun, forced = false;
        if (m_colours.size() < 7) {
            CopyToAnalyser();
            const bool keepPolicy = m_analyser.HasReadyRun(3, false) || m_cascadeCount < 6 ||
                                    (m_cascadeCount < 10 && m_random.Unit() < 0.5f);
            if (!keepPolicy)
                checkRuns = forced = true;
        }
        DrawCodes(checkRuns, forced, requireMove, steelOnBoard, chainedOnBoard, source);
    }

    std::vector<int32_t> gemCells;
    if (source == FillSource::Drawn) {
        int newOrdinary = 0;
        for (int c = 0; c < m_columns; ++c)
            for (int r = 0; r < m_rows; ++r)
                newOrdinary += !Cell(c, r) && IsOrdinary(m_analyser.Cell(c, r)) ? 1 : 0;
        int gems = 0;
        if (m_lesson != Lesson::Totem) {
            if (m_refillLimitFlag) {
                gems = std::min(m_refillLimit - gemsOnBoard, newOrdinary);
                m_refillLimitFlag = false;
            } else {
                gems =
                    std::min(static_cast<int>(std::floor(m_balance.shareValue * static_cast<float>(newOrdinary))),
                             m_balance.item8Value - gemsOnBoard);
            }
            gems = std::min({std::max(gems, 0), newOrdinary, m_gemsToPlace});
            m_gemsToPlace -= gems;
        }
        gemCells = ChooseGemCells(gems, newOrdinary);
    } else {
        gemCells = PresetGemCells(source);
    }
    DropNewTokens(gemCells, source);
    if (source == FillSource::Drawn)
        return;
    AttachPresetBonuses(source);
    if (source == FillSource::Saved)
        RestoreSavedExtras();
}

CGameBoard::FillSource CGameBoard::SourceOfFill() const
{
    switch (m_firstFill) {
    case 1:
        return m_boardMode == 0 && m_levelData && !m_levelData->notParsed ? FillSource::Level : FillSource::Drawn;
    case 2:
        return m_boardMode == 0 && !m_cellInfo.empty() ? FillSource::Remembered : FillSource::Drawn;
    case 3:
        // A save taken outside board play (in the shop or after the level
        // was won) carries no board.
        return m_restore.hasCells ? FillSource::Saved : FillSource::Drawn;
    default:
        return FillSource::Drawn;
    }
}

int32_t CGameBoard::PresetCode(FillSource source, int column, int row) const
{
    if (source == FillSource::Remembered) {
        const ShuffleCell& cell = m_cellInfo[static_cast<size_t>(row)][static_cast<size_t>(column)];
        if (cell.free)
            return 0;
        const int32_t code = cell.colour + 1 > 98 ? kSteelCode : cell.colour + 1;
        return cell.lock > 0 ? -code : code;
    }
    if (source == FillSource::Saved) {
        const BoardSnapshot::Cell& saved = SavedCell(column, row);
        if (!IsTokenCode(saved.code))
            return 0;
        const int32_t code = std::abs(saved.code);
        return saved.chains > 0 ? -code : code;
    }
    return 0;
}

bool CGameBoard::IsPresetGem(FillSource source, int column, int row) const
{
    const size_t r = static_cast<size_t>(row), c = static_cast<size_t>(column);
    switch (source) {
    case FillSource::Level:
        return r < CLevelData::kRows && c < CLevelData::kRowLength && m_levelData->gemRows[r][c] == 'g';
    case FillSource::Remembered:
        return !m_cellInfo[r][c].free && m_cellInfo[r][c].gem;
    case FillSource::Saved: {
        const int32_t saved = SavedCell(column, row).code;
        return saved < 0 && IsTokenCode(saved);
    }
    default:
        return false;
    }
}

int32_t CGameBoard::PresetLock(FillSource source, int column, int row) const
{
    const size_t r = static_cast<size_t>(row), c = static_cast<size_t>(column);
    switch (source) {
    case FillSource::Level:
        if (r < CLevelData::kRows && c < CLevelData::kRowLength) {
            const char digit = m_levelData->lockRows[r][c];
            if (digit >= '1' && digit <= '9')
                return digit - '0';
        }
        return 1;
    case FillSource::Remembered:
        return !m_cellInfo[r][c].free && m_cellInfo[r][c].lock > 0 ? m_cellInfo[r][c].lock : 1;
    case FillSource::Saved:
        return std::max(SavedCell(column, row).chains, 1);
    default:
        return 1;
    }
}

bool CGameBoard::IsPresetFixed(FillSource source, int column, int row) const
{
    const size_t r = static_cast<size_t>(row), c = static_cast<size_t>(column);
    switch (source) {
    case FillSource::Level:
        return r < CLevelData::kRows && c < CLevelData::kRowLength && m_levelData->fixedRows[r][c] == 'f';
    case FillSource::Remembered:
        return !m_cellInfo[r][c].free;
    case FillSource::Saved:
        return SavedCell(column, row).fixed;
    default:
        return false;
    }
}

// Only gems that land on a coloured token are placed, and only those count
// against the gems still to place: a gem cell that holds steel has none.
std::vector<int32_t> CGameBoard::PresetGemCells(FillSource source)
{
    std::vector<int32_t> cells;
    cells.reserve(32);
    int ordinary = 0;
    for (int c = 0; c < m_columns; ++c)
        for (int r = m_rows - 1; r >= 0; --r) {
            if (Cell(c, r) || !IsOrdinary(m_analyser.Cell(c, r)))
                continue;
            if (IsPresetGem(source, c, r)) {
                cells.push_back(ordinary);
                if (source != FillSource::Saved && m_gemsToPlace > 0)
                    --m_gemsToPlace;
            }
            ++ordinary;
        }
    return cells;
}

// Bonuses the level's file or the remembered tokens carry, and those of a
// saved board, ride in on their tokens.
void CGameBoard::AttachPresetBonuses(FillSource source)
{
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r) {
            const CountedHandle<CToken>& token = Cell(c, r);
            if (!token || token->gem || token->bonus)
                continue;
            CToken& t = *token;
            int32_t kind = 0, value = 0;
            const size_t rr = static_cast<size_t>(r), cc = static_cast<size_t>(c);
            if (source == FillSource::Level && rr < CLevelData::kRows && cc < CLevelData::kRowLength) {
                const char digit = m_levelData->bonusRows[rr][cc];
                if (digit < '0' || digit > '5')
                    continue;
                const int d = digit - '0';
                kind = kBonusOfDigit[d];
                value = m_levelData->bonusLevels[static_cast<size_t>(d)];
                if (value < 0)
                    value = std::max(m_balance.bonusSlots[static_cast<size_t>(kind - 2)], 0);
            } else if (source == FillSource::Remembered) {
                const ShuffleCell& cell = m_cellInfo[rr][cc];
                if (!t.settled || !cell.hasBonus)
                    continue;
                kind = cell.bonusKind;
                value = cell.bonusValue;
            } else if (source == FillSource::Saved) {
                kind = SavedCell(c, r).bonusKind;
                value = SavedCell(c, r).bonusValue;
                if (kind == 0)
                    continue;
            } else {
                continue;
            }
            CountedHandle<CBonus> bonus = m_bonuses->CreateBonus(kind, value, 0, 1);
            if (!bonus)
                continue;
            bonus->eventsEnabled = 1;
            FlyInOnToken(t, bonus, BonusStart::OnToken);
        }
}

// What a saved board brings beside its tokens: the hint display's time and
// the totems' state.
void CGameBoard::RestoreSavedExtras()
{
    const BoardSnapshot& save = m_restore;
    if (save.hintSeconds > 0.0f) {
        m_adviser->AddTime(save.hintSeconds);
        ShowMoveHints();
    }
    if (m_boardMode != 0)
        return;
    if (save.blueTotems) {
        m_totems->SetBlueTotemsActive(true);
        m_steelRate = 0.0f;
        m_steelCap = 0;
    }
    if (save.waitingTotem >= 0 && save.waitingTotem < CTotemsManager::kColours)
        m_totems->QueueTotem(save.waitingTotem);
}

// Draws a code for every empty cell into the analyser, again and again
// until the draw suits the refill. Cells the source presets keep their code.
void CGameBoard::DrawCodes(bool checkRuns, bool forced, bool requireMove, int steelOnBoard, int chainedOnBoard,
                           FillSource source)
{
    int retries = 0;
    for (int pass = 1;; ++pass) {
        int steel = steelOnBoard, chained = chainedOnBoard;
        for (int c = 0; c < m_columns; ++c)
            for (int r = 0; r < m_rows; ++r) {
                if (const CountedHandle<CToken>& t = Cell(c, r)) {
                    m_analyser.Cell(c, r) = AnalyserCode(*t);
                    continue;
                }
                if (const int32_t preset = PresetCode(source, c, r)) {
                    m_analyser.Cell(c, r) = preset;
                    steel += std::abs(preset) == kSteelCode ? 1 : 0;
                    chained += preset < 0 ? 1 : 0;
                    continue;
                }
                const int colour = DrawColourUnderCap(steel);
                if (colour > 97) {
                    m_analyser.Cell(c, r) = kSteelCode;
                    ++steel;
                } else if (chained < m_lockCap && m_random.Unit() < m_lockRate) {
                    m_analyser.Cell(c, r) = ~colour;
                    ++chained;
                } else {
                    m_analyser.Cell(c, r) = colour + 1;
                }
            }
        if (pass >= kMaxDrawPasses)
            return;
        if (requireMove && !m_analyser.HasPossibleMove(3, false))
            continue;
        if (checkRuns && m_analyser.HasReadyRun(3, false)) {
            if (forced && ++retries > kMaxForcedRetries)
                return;
            continue;
        }
        return;
    }
}

// Steel beyond the cap is drawn again as a colour, so that a steel rate of
// 1 cannot stall the draw.
int CGameBoard::DrawColourUnderCap(int steel)
{
    const int colour = DrawColour();
    return colour > 97 && steel >= m_steelCap ? DrawPlainColour() : colour;
}

// `count` distinct numbers of the new ordinary cells, which count column by
// column from the left, bottom-up within a column.
std::vector<int32_t> CGameBoard::ChooseGemCells(int count, int newOrdinary)
{
    std::vector<int32_t> chosen;
    chosen.reserve(32);
    while (static_cast<int>(chosen.size()) < count) {
        int index = static_cast<int>(std::floor(m_random.Unit() * static_cast<float>(newOrdinary)));
        index = std::min(index, newOrdinary - 1);
        if (std::find(chosen.begin(), chosen.end(), index) == chosen.end())
            chosen.push_back(index);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

// New tokens start two rows above the board, a random part of a cell
// higher, and each next one of the column one to two cells higher still.
void CGameBoard::DropNewTokens(const std::vector<int32_t>& gemCells, FillSource source)
{
    size_t nextGem = 0;
    int ordinary = 0;
    for (int c = 0; c < m_columns; ++c) {
        float spawnY = CellToPoint(c, -2, false).y + m_random.Unit() * m_cellHeight;
        for (int r = m_rows - 1; r >= 0; --r) {
            if (Cell(c, r))
                continue;
            const int32_t code = m_analyser.Cell(c, r);
            bool gem = false;
            if (IsOrdinary(code)) {
                gem = nextGem < gemCells.size() && gemCells[nextGem] == ordinary;
                nextGem += gem ? 1 : 0;
                ++ordinary;
            }
            const Vec2 centre = CellToPoint(c, r, false);
            CountedHandle<CToken> token = m_movingTokens.CreateToken(
                std::abs(code) - 1, gem, centre.x, spawnY, 0.0f, m_tokenSize, 1, m_originX, m_originY, m_originZ);
            CToken& t = *token;
            CellRef(c, r) = token;
            t.column = c;
            t.row = r;
            if (gem) {
                // A gem the bonus manager cannot make leaves the token
                // marked but without a gem bonus.
                if (CountedHandle<CBonus> bonus = m_bonuses->CreateGem(t.colour, 1)) {
                    bonus->Place(t.x + m_originX, t.y + m_originY, t.z + m_originZ, t.size, c, r);
                    GiveBonus(t, bonus);
                }
            }
            if (code < 0)
                t.SetChained(PresetLock(source, c, r));
            t.settled = IsPresetFixed(source, c, r) ? 1 : 0;
            t.kind = kBoardToken;
            t.moveKind = 1;
            if (t.cap)
                t.cap->hoverLight = 1;
            t.active = 0;
            t.ArmDropSound();
            FallTo(t, centre.x, centre.y, true);
            spawnY += (1.0f + m_random.Unit()) * m_cellHeight;
        }
    }
}

void CGameBoard::OnTokenArrived(const CountedHandle<CToken>& token)
{
    for (const std::vector<SwapPair>* list : {&m_swapsActive, &m_swapsBack})
        for (const SwapPair& pair : *list) {
            if (pair.first == token) {
                token->state = kTokenResting;
                if (token->cap) {
                    token->cap->layer += 1;
                    m_caps->ResortCap(token->cap);
                }
                return;
            }
            if (pair.second == token) {
                token->state = kTokenResting;
                return;
            }
        }
}

int CGameBoard::PassOnBonus(const CountedHandle<CToken>& token)
{
    if (!token->bonus || token->bonus->state != 1)
        return 1;
    const CountedHandle<CBonus> bonus = token->bonus;
    token->bonus.Reset();
    if (CountedHandle<CToken> taker = m_movingTokens.PickFreeToken(m_random)) {
        GiveBonus(*taker, bonus);
        return 1;
    }
    bonus->FlyToTarget(0.5f);
    return 0;
}

void CGameBoard::DropAllTokens()
{
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r) {
            CountedHandle<CToken>& cell = CellRef(c, r);
            if (!cell)
                continue;
            CToken& t = *cell;
            const Vec2 target = CellToPoint(c, r + 10, false);
            FallTo(t, target.x, target.y, false);
            t.active = 0;
            t.fromColumn = c;
            t.fromRow = r;
            t.moveKind = 2;
            cell.Reset();
        }
}

void CGameBoard::FinishLevel()
{
    EndPlay();
    DropAllTokens();
    if (m_boardMode == 0) {
        DropFallingSand();
        SettleTotems();
    }
    Push(BoardEventKind::LevelWon);
}
