// The board's set-up, geometry and the small queries and setters the game
// and the other board files use.
#include "board/GameBoard.h"

#include "balance/BalanceState.h"
#include "engine/DataPaths.h"
#include "engine/Random.h"
#include "layout/QuestLayout.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"
#include "records/Options.h"
#include "tokens/CapsRenderer.h"

#include <cmath>

// The board owns its bonus manager, gems bar, strikes and selection marker
// from the start, so that it can play on its own; the game's load sequence
// hands it the ones equipped with renderers and textures.
CGameBoard::CGameBoard(CountedHandle<CCapsRenderer> caps, const CQuestLayout& questLayout,
                       const CDataPaths& dataPaths, CBalanceState& balanceState, const CGameOptions& options)
    : capsRenderer(caps), layout(questLayout), paths(dataPaths), tuning(options), balance(balanceState)
{
    movingTokens.SetCapsRenderer(capsRenderer);
    mesh = MakeCountedHandle(new CBoardMesh());
    sandbox = MakeCountedHandle(new CSandbox());
    gemsBar = MakeCountedHandle(new CGemsBar());
    bonuses = MakeCountedHandle(new CBonusManager());
    terminators = MakeCountedHandle(new CTerminatorsManager(&movingTokens, {}, {}, {}, {}));
    terminators->SetCapsRenderer(capsRenderer);
    selectionMarker = MakeCountedHandle(new CTokenHighlight({}, {}, {}, {}, {}));
    swapsActive.reserve(16);
    swapsBack.reserve(16);
    Reset(0);
    SetLevelDifficulty(1);
    firstFill = 1;
    gemsToPlace = gemsToCollect = 5;
    sandEnabled = sandDropEnabled = false;
    levelSetting = 0;
    hardMode = false;
}

CGameBoard::~CGameBoard()
{
    // The tokens' caps leave the caps renderer, which outlives the board.
    movingTokens.Clear();
}

void CGameBoard::Reset(int mode)
{
    firstFill = 1;
    fillFlag2 = 0;
    Clear();
    savedCounter = 0;
    boardMode = mode;
    playState = 100;
    if (mode >= 0 && mode <= 2) {
        baseOriginX = originX = layout.boardOrigin.x;
        baseOriginY = originY = layout.boardOrigin.y;
        baseOriginZ = originZ = 0.0f;
        columns = rows = 8;
        cellWidth = cellHeight = layout.cellSize;
        tokenSize = layout.tokenRadius;
        mesh->Rebuild(layout.framePieces);
        mesh->SetOffset(originX, originY, originZ);
        mesh->SetScale(1.0f, 1.0f);
        mesh->Show(false, 0.0f);
        // The gems bar stands with the mesh from the start, not only once a
        // shake has moved them.
        gemsBar->SetPosition(mesh->OffsetX(), mesh->OffsetY(), mesh->OffsetZ());
        ApplyHalfCellCorrection();
        if (mode == 0) {
            CountedHandle<CSandHeightfield> field = MakeCountedHandle(new CSandHeightfield());
            field->SetColumnCount(layout.sandbox.columns);
            field->drainRate = balance.sandRate;
            field->draining = balance.sandRate > 0.0f;
            sandbox->SetHeightfield(field);
            PlaceSandbox(0.0f, 0.0f);
            sandbox->Show(false, 0.0f);
            sandEnabled = sandDropEnabled = true;
            levelSetting = 0;
            hardMode = false;
        }
        totems.SetBoardGrid(originX, originY, originZ, columns, rows, cellWidth, cellHeight);
    }
    grid.assign(static_cast<size_t>(rows), std::vector<CountedHandle<CToken>>(static_cast<size_t>(columns)));
    analyser.Resize(columns, rows);
    timerA = timerB = 0.0f;
    levelState = 0;
    swapRefused = false;
    outcomeCount = 0;
    refillLimitFlag = false;
}

void CGameBoard::Clear()
{
    swapsActive.clear();
    swapsBack.clear();
    terminators->Clear();
    for (auto& row : grid)
        for (CountedHandle<CToken>& cell : row)
            cell.Reset();
    movingTokens.Clear();
    bonuses->RemoveAll();
    shake.Stop();
    totemActionPending = false;
    events.Clear();
    cascadeCount = 0;
    memoryChallenge.Reset();
    accuracyChallenge.Reset();
    attentionChallenge.Reset();
    reactionChallenge.Reset();
    swapRefused = false;
    levelState = 0;
    selectionMarker->Hide();
}

// Tokens are centred on whole pixels: with an odd cell size the origin
// moves by half a pixel (the base origin keeps the layout's value).
void CGameBoard::ApplyHalfCellCorrection()
{
    if (std::fmod(cellWidth / 2.0f, 1.0f) != 0.0f)
        originX += 0.5f;
    if (std::fmod(cellHeight / 2.0f, 1.0f) != 0.0f)
        originY += 0.5f;
}

void CGameBoard::PlaceSandbox(float shiftX, float shiftY)
{
    const SandboxSettings& place = layout.sandbox;
    sandbox->SetGeometry(place.origin.x + shiftX, place.origin.y + shiftY, 0.0f, place.size.x, place.size.y);
}

Vec2 CGameBoard::CellToPoint(int column, int row, bool addOrigin) const
{
    Vec2 p{(static_cast<float>(column) + 0.5f) * cellWidth, -(static_cast<float>(row) + 0.5f) * cellHeight};
    if (addOrigin) {
        p.x += originX;
        p.y += originY;
    }
    return p;
}

MatchCell CGameBoard::PointToCell(float x, float y) const
{
    return MatchCell{static_cast<int32_t>(std::floor((x - originX) / cellWidth)),
                     static_cast<int32_t>(std::floor((originY - y) / cellHeight))};
}

Vec2 CGameBoard::CentreOfCells(const std::vector<std::pair<int32_t, int32_t>>& cells, bool addOrigin) const
{
    Vec2 sum;
    for (const auto& [column, row] : cells) {
        const Vec2 p = CellToPoint(column, row, false);
        sum.x += p.x;
        sum.y += p.y;
    }
    if (!cells.empty()) {
        const float k = 1.0f / static_cast<float>(cells.size());
        sum.x *= k;
        sum.y *= k;
    }
    if (addOrigin) {
        sum.x += originX;
        sum.y += originY;
    }
    return sum;
}

bool CGameBoard::GemGoalReached() const { return boardMode == 0 && levelState == 0 && gemsToCollect <= 0; }

int CGameBoard::DrawColour()
{
    // Without steel in the level no draw is spent on it.
    if (steelRate > 0.0f && RandomUnit() < steelRate)
        return kSteelColour;
    return DrawPlainColour();
}

int CGameBoard::DrawPlainColour()
{
    if (colours.empty())
        return 0;
    const int n = static_cast<int>(colours.size());
    // The product is never negative: truncation is its floor, and far cheaper.
    const int index = static_cast<int>(RandomUnit() * static_cast<float>(n));
    return colours[static_cast<size_t>(index >= n ? n - 1 : index)];
}

void CGameBoard::Show(bool visible, bool capsVisible, float seconds)
{
    const float rate = seconds > 0.0f ? 1.0f / seconds : 0.0f;
    mesh->Show(visible, rate);
    capsRenderer->SetShown(capsVisible);
    if (visible && boardMode == 0) {
        sandbox->Show(true, rate);
        gemsBar->Show(true, rate);
    }
    swapRefused = false;
}

void CGameBoard::SetLocked(bool on)
{
    locked = on;
    if (playState != 100)
        return;
    enabled = !on;
    if (boardMode == 0 && sandbox->Heightfield())
        sandbox->Heightfield()->draining = !on;
}

bool CGameBoard::CanSelect(int column, int row) const
{
    if (!IsOnBoard(column, row))
        return false;
    const CountedHandle<CToken>& t = Cell(column, row);
    return t && t->active && t->state == kTokenResting && !t->chained;
}

int32_t CGameBoard::AnalyserCode(const CToken& t) { return t.chained ? ~t.colour : t.colour + 1; }

void CGameBoard::CopyToAnalyser()
{
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const CountedHandle<CToken>& t = Cell(c, r);
            analyser.Cell(c, r) = t && t->active ? AnalyserCode(*t) : 0;
        }
}

bool CGameBoard::IsFull() const
{
    for (const auto& row : grid)
        for (const CountedHandle<CToken>& cell : row)
            if (!cell)
                return false;
    return true;
}

bool CGameBoard::IsIdle(bool requireFull) const
{
    if (!bonuses->AllPlaced() || !totems.IsIdle() || !movingTokens.AllBoardTokensIdle())
        return false;
    if (!terminators->Active().empty() || !terminators->Finished().empty())
        return false;
    if (!swapsActive.empty() || !swapsBack.empty())
        return false;
    return !requireFull || IsFull();
}

bool CGameBoard::HasMarkedTokenInBottomRows(int n) const
{
    for (int r = rows - 1; r >= rows - n && r >= 0; --r)
        for (int c = 0; c < columns; ++c)
            if (Cell(c, r) && Cell(c, r)->gem)
                return true;
    return false;
}

void CGameBoard::EndPlay()
{
    adviser.Reset();
    ended = true;
    selectionMarker->Hide();
    enabled = false;
}

// When a level ends the blue totems go out and a totem still on its way
// takes its place at once.
void CGameBoard::SettleTotems()
{
    if (totems.blueTotemsActive)
        totems.SetBlueTotemsActive(false);
    totems.PlacePendingTotem();
}

void CGameBoard::FlushTokens()
{
    EndPlay();
    DropAllTokens();
    swapsActive.clear();
    swapsBack.clear();
    if (boardMode == 0) {
        if (sandbox->Heightfield())
            sandbox->Heightfield()->ClearFallingGrains();
        SettleTotems();
    }
}

void CGameBoard::Push(int32_t kind, int32_t value)
{
    BoardEvent event;
    event.kind = kind;
    event.value = value;
    events.Push(event);
}

// Every level-won, then every no-move, then every sand event moves to the
// back of the queue, each keeping its order.
int CGameBoard::DeferEvents()
{
    for (int32_t kind : {kEventLevelWon, kEventNoMoveLeft, kEventSandState}) {
        const size_t n = events.Size();
        size_t i = 0;
        for (size_t seen = 0; seen < n; ++seen) {
            if (events.At(i).kind != kind) {
                ++i;
                continue;
            }
            const BoardEvent moved = events.At(i);
            events.Erase(i);
            events.Push(moved);
        }
    }
    return static_cast<int>(events.Size());
}

void CGameBoard::SetSandFlowing(bool on)
{
    if (!on) {
        sandbox->SetFull(false, 0.0f);
        return;
    }
    sandbox->SetFull(true, sandbox->Heightfield() ? sandbox->Heightfield()->Meter() : 0.0);
    Push(kEventSandFull);
    shake.AddImpulse(8.0f);
    stats.AddToRunTables(1, StatSandFlows);
}

// One arrow over every cell of every possible move, each cell once.
void CGameBoard::ShowMoveHints()
{
    CopyToAnalyser();
    if (analyser.HasReadyRun(3, false))
        return;
    std::vector<MatchMove> moves;
    moves.reserve(64);
    analyser.ListMoves(&moves, 3, false);
    std::vector<Vec2> points;
    points.reserve(64);
    auto add = [&](int column, int row) {
        Vec2 p = CellToPoint(column, row, true);
        p.y += 0.3f * cellHeight;
        for (const Vec2& q : points)
            if (q.x == p.x && q.y == p.y)
                return;
        points.push_back(p);
    };
    for (const MatchMove& move : moves) {
        add(move.column1, move.row1);
        add(move.column2, move.row2);
    }
    adviser.ShowHints(points);
}
