// After tokens have left the board: the tokens above fall into the gaps, a
// colour is drawn for every cell still empty, gems are attached, and the new
// tokens drop in from above. Also the tokens in flight: which one is under
// the pointer, one arriving, one leaving with a bonus, and the level's end.
//
// The level files, the animated shuffle and saved boards bring their own
// fill modes with the levels; until then every fill draws at random.
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

} // namespace

// A fall of distance d under the game's gravity takes sqrt(|2 d / g|); a
// fall into a cell overshoots upwards by the rebound fraction of its drop
// and settles.
void CGameBoard::FallTo(CToken& token, float targetX, float targetY, bool rebound)
{
    const float g = paths.tuning[0] > 0.0f ? paths.tuning[0] : 2000.0f;
    const float drop = token.y - targetY;
    const float t = std::max(std::sqrt(std::fabs(2.0f * drop / g)), 0.001f);
    const Vec3 target{targetX, targetY, 0.0f};
    movingTokens.StartPath(token, target, t, Vec3{1, 0, 1}, Vec3{1, 2, 1});
    if (!rebound)
        return;
    const float r = paths.tuning[1];
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

void CGameBoard::Refill(bool requireNoRun, bool requireMove)
{
    // Gravity: the lowest empty cells fill first.
    for (int c = 0; c < columns; ++c)
        for (int r = rows - 1; r >= 0; --r) {
            if (Cell(c, r))
                continue;
            int above = r - 1;
            while (above >= 0 && !Cell(c, above))
                --above;
            if (above < 0)
                break;
            CountedHandle<CToken> token = Cell(c, above);
            Cell(c, above).Reset();
            Cell(c, r) = token;
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
    for (const auto& row : grid)
        for (const CountedHandle<CToken>& t : row) {
            if (!t)
                continue;
            steelOnBoard += t->colour > 99 ? 1 : 0;
            chainedOnBoard += t->chained ? 1 : 0;
            gemsOnBoard += t->bonus && t->bonus->kind == kBonusGem ? 1 : 0;
        }

    // Long chain reactions make the refill avoid handing out new runs.
    bool checkRuns = requireNoRun, forced = false;
    if (colours.size() < 7) {
        CopyToAnalyser();
        const bool keepPolicy =
            analyser.HasReadyRun(3, false) || cascadeCount < 6 || (cascadeCount < 10 && RandomUnit() < 0.5f);
        if (!keepPolicy)
            checkRuns = forced = true;
    }
    DrawCodes(checkRuns, forced, requireMove, steelOnBoard, chainedOnBoard);

    int newOrdinary = 0;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            newOrdinary += !Cell(c, r) && IsOrdinary(analyser.Cell(c, r)) ? 1 : 0;
    int gems = 0;
    if (levelState != 7) {
        if (refillLimitFlag) {
            gems = std::min(refillLimit - gemsOnBoard, newOrdinary);
            refillLimitFlag = false;
        } else {
            gems = std::min(static_cast<int>(std::floor(balance.shareValue * static_cast<float>(newOrdinary))),
                            balance.item8Value - gemsOnBoard);
        }
        gems = std::min({std::max(gems, 0), newOrdinary, gemsToPlace});
        gemsToPlace -= gems;
    }
    DropNewTokens(ChooseGemCells(gems, newOrdinary));
}

// Draws a code for every empty cell into the analyser, again and again
// until the draw suits the refill.
void CGameBoard::DrawCodes(bool checkRuns, bool forced, bool requireMove, int steelOnBoard, int chainedOnBoard)
{
    int retries = 0;
    for (int pass = 1;; ++pass) {
        int steel = steelOnBoard, chained = chainedOnBoard;
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r) {
                if (const CountedHandle<CToken>& t = Cell(c, r)) {
                    analyser.Cell(c, r) = AnalyserCode(*t);
                    continue;
                }
                int colour = DrawColour();
                // Steel beyond the cap is drawn again as a colour, so that
                // a steel rate of 1 cannot stall the draw.
                if (colour > 97 && steel >= steelCap)
                    colour = DrawPlainColour();
                if (colour > 97) {
                    analyser.Cell(c, r) = kSteelCode;
                    ++steel;
                } else if (chained < lockCap && RandomUnit() < lockRate) {
                    analyser.Cell(c, r) = ~colour;
                    ++chained;
                } else {
                    analyser.Cell(c, r) = colour + 1;
                }
            }
        if (pass >= kMaxDrawPasses)
            return;
        if (requireMove && !analyser.HasPossibleMove(3, false))
            continue;
        if (checkRuns && analyser.HasReadyRun(3, false)) {
            if (forced && ++retries > kMaxForcedRetries)
                return;
            continue;
        }
        return;
    }
}

// `count` distinct numbers of the new ordinary cells, which count column by
// column from the left, bottom-up within a column.
std::vector<int32_t> CGameBoard::ChooseGemCells(int count, int newOrdinary)
{
    std::vector<int32_t> chosen;
    chosen.reserve(32);
    while (static_cast<int>(chosen.size()) < count) {
        int index = static_cast<int>(std::floor(RandomUnit() * static_cast<float>(newOrdinary)));
        index = std::min(index, newOrdinary - 1);
        if (std::find(chosen.begin(), chosen.end(), index) == chosen.end())
            chosen.push_back(index);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

// New tokens start two rows above the board, a random part of a cell
// higher, and each next one of the column one to two cells higher still.
void CGameBoard::DropNewTokens(const std::vector<int32_t>& gemCells)
{
    size_t nextGem = 0;
    int ordinary = 0;
    for (int c = 0; c < columns; ++c) {
        float spawnY = CellToPoint(c, -2, false).y + RandomUnit() * cellHeight;
        for (int r = rows - 1; r >= 0; --r) {
            if (Cell(c, r))
                continue;
            const int32_t code = analyser.Cell(c, r);
            bool gem = false;
            if (IsOrdinary(code)) {
                gem = nextGem < gemCells.size() && gemCells[nextGem] == ordinary;
                nextGem += gem ? 1 : 0;
                ++ordinary;
            }
            const Vec2 centre = CellToPoint(c, r, false);
            CountedHandle<CToken> token = movingTokens.CreateToken(std::abs(code) - 1, gem, centre.x, spawnY, 0.0f,
                                                                   tokenSize, 1, originX, originY, originZ);
            CToken& t = *token;
            Cell(c, r) = token;
            t.column = c;
            t.row = r;
            if (gem) {
                // A gem the bonus manager cannot make leaves the token
                // marked but without a gem bonus.
                if (CountedHandle<CBonus> bonus = bonuses->CreateGem(t.colour, 1)) {
                    bonus->Place(t.x + originX, t.y + originY, t.z + originZ, t.size, c, r);
                    GiveBonus(t, bonus);
                }
            }
            if (code < 0)
                t.SetChained(1);
            t.kind = kBoardToken;
            t.moveKind = 1;
            if (t.cap)
                t.cap->hoverLight = 1;
            t.active = 0;
            t.ArmDropSound();
            FallTo(t, centre.x, centre.y, true);
            spawnY += (1.0f + RandomUnit()) * cellHeight;
        }
    }
}

void CGameBoard::OnTokenArrived(const CountedHandle<CToken>& token)
{
    for (const std::vector<SwapPair>* list : {&swapsActive, &swapsBack})
        for (const SwapPair& pair : *list) {
            if (pair.first == token) {
                token->state = kTokenResting;
                if (token->cap) {
                    token->cap->layer += 1;
                    capsRenderer->ResortCap(token->cap);
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
    if (CountedHandle<CToken> taker = movingTokens.PickFreeToken()) {
        GiveBonus(*taker, bonus);
        return 1;
    }
    bonus->FlyToTarget(0.5f);
    return 0;
}

void CGameBoard::DropAllTokens()
{
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            CountedHandle<CToken>& cell = Cell(c, r);
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
    if (boardMode == 0) {
        DropFallingSand();
        SettleTotems();
    }
    Push(kEventLevelWon);
}
