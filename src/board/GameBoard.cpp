// The board's set-up, geometry and the small queries and setters the game
// and the other board files use.
#include "board/GameBoard.h"

#include "audio/SoundManager.h"
#include "balance/BalanceState.h"
#include "engine/DataPaths.h"
#include "engine/Random.h"
#include "layout/QuestLayout.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"
#include "tokens/BoardGrid.h"
#include "tokens/CapsRenderer.h"

#include <cmath>
#include <iterator>

// The board makes its own bonus manager, hint display, totems, popups,
// gems bar, rays and selection marker, so that it can play on its own
// (tests, the level lab); the game's load sequence hands it the ones made
// with renderers and textures.
CGameBoard::CGameBoard(CountedHandle<CCapsRenderer> caps, const CQuestLayout& layout, CBalanceState& balance,
                       CRandomStream& random, const BoardTuning& tuning)
    : m_caps(std::move(caps)), m_layout(layout), m_balance(balance), m_random(random), m_tuning(tuning)
{
    m_movingTokens.SetCapsRenderer(m_caps);
    m_mesh = MakeCountedHandle(new CBoardMesh());
    m_sandbox = MakeCountedHandle(new CSandbox());
    m_gemsBar = MakeCountedHandle(new CGemsBar());
    m_bonuses = MakeCountedHandle(new CBonusManager());
    m_adviser = MakeCountedHandle(new CAdviserInterface());
    m_totems = MakeCountedHandle(new CTotemsManager());
    m_popups = MakeCountedHandle(new CPopupManager());
    m_rays = MakeCountedHandle(new CTerminatorsManager(&m_movingTokens, {}, {}, {}, {}));
    m_rays->SetCapsRenderer(m_caps);
    m_marker = MakeCountedHandle(new CTokenHighlight({}, {}, {}, {}, {}));
    m_swapsActive.reserve(16);
    m_swapsBack.reserve(16);
    Reset(0);
    TakeSetup(LevelSetup(1, false, 5));
    m_sandActive = m_sandDropEnabled = false;
}

CGameBoard::~CGameBoard()
{
    // The tokens' caps leave the caps renderer, which outlives the board.
    m_movingTokens.Clear();
}

void CGameBoard::SetLooks(const BoardLooks& looks)
{
    m_particles = looks.particles;
    m_particlesFront = looks.particlesFront;
    m_sandTexture = looks.sand;
    m_cloudTexture = looks.cloud;
    m_starSandTexture = looks.starSand;
    m_mesh->textures = looks.mesh;
    m_sandbox->SetTextures(looks.sandbox, looks.sandboxGrains, looks.sandboxDust, looks.sandboxFront,
                           looks.sandboxGlass, looks.frenzyStar);
    m_sandbox->SetParticleManager(looks.sandboxParticles);
    m_sandbox->ApplySettings(m_layout.sandbox);
}

void CGameBoard::SetGemsBar(const CountedHandle<CGemsBar>& bar)
{
    m_gemsBar = bar;
    m_gemsBar->SetPosition(m_mesh->OffsetX(), m_mesh->OffsetY(), m_mesh->OffsetZ());
}

void CGameBoard::SetSelectionMarker(const CountedHandle<CTokenHighlight>& marker) { m_marker = marker; }

void CGameBoard::EquipRays(const CountedHandle<CParticleSystemsManager>& particles,
                           const CountedHandle<CParticleSystemsManager>& debris,
                           const CountedHandle<CFlareRenderer>& glows,
                           const CountedHandle<CFlareRenderer>& sparkles,
                           const CountedHandle<CSpriteRenderer>& sprites, const CountedHandle<CTexture>& spark,
                           const CountedHandle<CTexture>& chain, const CountedHandle<CTexture>& lightning)
{
    m_rays = MakeCountedHandle(new CTerminatorsManager(&m_movingTokens, particles, glows, sparkles, sprites));
    m_rays->SetTextures(spark, chain, chain, lightning);
    m_rays->SetCapsRenderer(m_caps);
    m_rays->SetDebrisParticles(debris);
    if (m_sounds)
        m_rays->SetSoundManager(m_sounds);
}

void CGameBoard::SetSounds(const CountedHandle<CSoundManager>& sounds)
{
    static constexpr const char* kBonusSoundFiles[] = {"GemOut.wav",          "GemBar.wav",     "TNT.wav",
                                                       "Flash.wav",           "Clock.wav",      "AdviserGet.wav",
                                                       "AdviserAct.wav",      "Multiplier.wav", "Solidarity.wav",
                                                       "SolidarityRedir.wav", "BonusDrop.wav"};
    static_assert(std::size(kBonusSoundFiles) == static_cast<size_t>(BonusSound::Count));
    m_sounds = sounds;
    for (size_t i = 0; i < m_bonusSounds.size(); ++i)
        m_bonusSounds[i] = sounds ? sounds->Sample(kBonusSoundFiles[i]) : CountedHandle<CSoundSample>();
    static constexpr const char* kTotemSoundFiles[] = {"GemIn.wav",      "TotemYellow2.wav", "TotemRed2.wav",
                                                       "TotemBlue3.wav", "TotemBlue2.wav",   "TotemWhite2.wav"};
    static_assert(std::size(kTotemSoundFiles) == static_cast<size_t>(TotemSound::Count));
    for (size_t i = 0; i < m_totemSounds.size(); ++i)
        m_totemSounds[i] = sounds ? sounds->Sample(kTotemSoundFiles[i]) : CountedHandle<CSoundSample>();
    m_movingTokens.SetSoundManager(sounds);
    m_rays->SetSoundManager(sounds);
}

void CGameBoard::SetPopups(const CountedHandle<CPopupManager>& popups) { m_popups = popups; }

void CGameBoard::SetBonuses(const CountedHandle<CBonusManager>& bonuses,
                            const CountedHandle<CAdviserInterface>& adviser)
{
    m_bonuses = bonuses;
    m_adviser = adviser;
}

void CGameBoard::SetTotems(const CountedHandle<CTotemsManager>& totems) { m_totems = totems; }

CountedHandle<IBufferLayer> CGameBoard::MeshLayer() const { return m_mesh; }

CountedHandle<IBufferLayer> CGameBoard::SandLayer() const { return m_sandbox; }

void CGameBoard::Reset(int mode)
{
    m_firstFill = 1;
    Clear();
    m_locked = false;
    m_boardMode = mode;
    m_challengePlay = false;
    if (mode >= 0 && mode <= 2) {
        m_baseOriginX = m_originX = m_layout.boardOrigin.x;
        m_baseOriginY = m_originY = m_layout.boardOrigin.y;
        m_baseOriginZ = m_originZ = 0.0f;
        m_columns = m_rows = 8;
        m_cellWidth = m_cellHeight = m_layout.cellSize;
        m_tokenSize = m_layout.tokenRadius;
        m_mesh->Rebuild(m_layout.framePieces);
        m_mesh->SetOffset(m_originX, m_originY, m_originZ);
        m_mesh->SetScale(1.0f, 1.0f);
        m_mesh->Show(false, 0.0f);
        // The gems bar stands with the mesh from the start, not only once a
        // shake has moved them.
        m_gemsBar->SetPosition(m_mesh->OffsetX(), m_mesh->OffsetY(), m_mesh->OffsetZ());
        ApplyHalfCellCorrection();
        if (mode == 0) {
            CountedHandle<CSandHeightfield> field = MakeCountedHandle(new CSandHeightfield());
            field->SetColumnCount(m_layout.sandbox.columns);
            field->drainRate = m_balance.sandRate;
            field->draining = m_balance.sandRate > 0.0f;
            m_sandbox->SetHeightfield(field);
            PlaceSandbox(0.0f, 0.0f);
            m_sandbox->Show(false, 0.0f);
            m_sandActive = m_sandDropEnabled = true;
            m_hardMode = false;
        }
        SetBoardGrid(m_originX, m_originY, m_originZ, m_columns, m_rows, m_cellWidth, m_cellHeight);
        ClipCapsToBoard();
    }
    m_grid.assign(static_cast<size_t>(m_rows), std::vector<CountedHandle<CToken>>(static_cast<size_t>(m_columns)));
    m_analyser.Resize(m_columns, m_rows);
    m_lesson = Lesson::None;
    m_swapRefused = false;
    m_wrongSwapPrompts = 0;
    m_refillLimitFlag = false;
    m_restore = BoardSnapshot{};
}

void CGameBoard::TakeSetup(const BoardSetup& setup)
{
    m_levelNumber = setup.level;
    m_hardMode = setup.hardMode;
    m_colours = setup.colours;
    m_steelRate = setup.steelRate;
    m_steelCap = setup.steelCap;
    m_lockRate = setup.lockRate;
    m_lockCap = setup.lockCap;
    m_gemsToPlace = m_gemsToCollect = setup.gemGoal;
    m_levelData = setup.levelData;
    m_plainCells = setup.plainCells;
    m_firstFill = 1;
    m_restore = BoardSnapshot{};
}

void CGameBoard::StartLevel(const BoardSetup& setup)
{
    TakeSetup(setup);
    m_secondsPlayed = 0.0f;
    m_enabled = false;
    m_ended = false;
    if (m_boardMode == 0) {
        m_gemsBar->goal = m_gemsToPlace;
        m_gemsBar->ResetLevel();
        if (CSandHeightfield* field = m_sandbox->Heightfield().Get()) {
            field->Reset();
            field->draining = false;
        }
    }
    // A guided lesson on a board of its own starts over without news for the
    // game: the game started it.
    if (setup.lesson != Lesson::None) {
        SetLessonState(setup.lesson, 0);
        m_events.DropLast();
    }
}

void CGameBoard::Restore(const BoardSnapshot& snapshot)
{
    m_restore = snapshot;
    SetGemCounts(snapshot.gemsToCollect, snapshot.gemsToPlace);
    m_firstFill = 3;
}

BoardSnapshot CGameBoard::Snapshot() const
{
    BoardSnapshot snapshot;
    snapshot.hasCells = true;
    for (int r = 0; r < BoardSnapshot::kRows; ++r)
        for (int c = 0; c < BoardSnapshot::kColumns; ++c) {
            BoardSnapshot::Cell& cell = snapshot.cells[static_cast<size_t>(r)][static_cast<size_t>(c)];
            const CountedHandle<CToken>* token = IsOnBoard(c, r) ? &Cell(c, r) : nullptr;
            if (!token || !*token)
                continue;
            const CToken& t = **token;
            const bool marked = t.gem != 0;
            const bool rider = t.bonus && !marked;
            cell.code = marked ? ~t.colour : t.colour + 1;
            cell.chains = t.chained;
            cell.bonusKind = rider ? t.bonus->kind : 0;
            cell.bonusValue = rider ? t.bonus->param : 0;
            cell.fixed = t.settled != 0;
        }
    snapshot.gemsToCollect = m_gemsToCollect;
    snapshot.gemsToPlace = m_gemsToPlace;
    snapshot.waitingTotem = m_totems->pendingColour;
    snapshot.blueTotems = m_totems->blueActive;
    return snapshot;
}

void CGameBoard::SetGemCounts(int32_t toCollect, int32_t toPlace)
{
    m_gemsToCollect = toCollect;
    m_gemsToPlace = toPlace;
}

void CGameBoard::SetLessons(const LessonPlan& plan) { m_lessons = plan; }

void CGameBoard::SetSecondsPlayed(float seconds) { m_secondsPlayed = seconds; }

// A challenge is a play of its own: the level that ended before it does not
// end it (its clock and clicks wait for a board that has not ended).
void CGameBoard::SetChallengePlay(bool on)
{
    m_challengePlay = on;
    if (on)
        m_ended = false;
}

void CGameBoard::Clear()
{
    m_swapsActive.clear();
    m_swapsBack.clear();
    m_rays->Clear();
    for (auto& row : m_grid)
        for (CountedHandle<CToken>& cell : row)
            cell.Reset();
    m_movingTokens.Clear();
    m_bonuses->RemoveAll();
    m_shake.Stop();
    m_totemActionPending = false;
    m_events.Clear();
    m_cascadeCount = 0;
    m_swapRefused = false;
    m_lesson = Lesson::None;
    m_marker->Hide();
}

// Tokens are centred on whole pixels: with an odd cell size the origin
// moves by half a pixel (the base origin keeps the layout's value).
// Tokens that fall off the board (a reshuffle, a level's end) slide out
// under its edge rather than over the gems bar and the HUD beside it, and
// new ones come in from under its top edge.
void CGameBoard::ClipCapsToBoard()
{
    m_caps->SetClip(m_originX, m_originY, m_originX + static_cast<float>(m_columns) * m_cellWidth,
                    m_originY - static_cast<float>(m_rows) * m_cellHeight);
}

void CGameBoard::ApplyHalfCellCorrection()
{
    if (std::fmod(m_cellWidth / 2.0f, 1.0f) != 0.0f)
        m_originX += 0.5f;
    if (std::fmod(m_cellHeight / 2.0f, 1.0f) != 0.0f)
        m_originY += 0.5f;
}

void CGameBoard::PlaceSandbox(float shiftX, float shiftY)
{
    const SandboxSettings& place = m_layout.sandbox;
    m_sandbox->SetGeometry(place.origin.x + shiftX, place.origin.y + shiftY, 0.0f, place.size.x, place.size.y);
}

Vec2 CGameBoard::CellToPoint(int column, int row, bool addOrigin) const
{
    Vec2 p{(static_cast<float>(column) + 0.5f) * m_cellWidth, -(static_cast<float>(row) + 0.5f) * m_cellHeight};
    if (addOrigin) {
        p.x += m_originX;
        p.y += m_originY;
    }
    return p;
}

MatchCell CGameBoard::PointToCell(float x, float y) const
{
    return MatchCell{static_cast<int32_t>(std::floor((x - m_originX) / m_cellWidth)),
                     static_cast<int32_t>(std::floor((m_originY - y) / m_cellHeight))};
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
        sum.x += m_originX;
        sum.y += m_originY;
    }
    return sum;
}

bool CGameBoard::GemGoalReached() const
{
    return m_boardMode == 0 && m_lesson == Lesson::None && m_gemsToCollect <= 0;
}

int CGameBoard::DrawColour()
{
    // Without steel in the level no draw is spent on it.
    if (m_steelRate > 0.0f && m_random.Unit() < m_steelRate)
        return kSteelColour;
    return DrawPlainColour();
}

int CGameBoard::DrawPlainColour()
{
    if (m_colours.empty())
        return 0;
    const int n = static_cast<int>(m_colours.size());
    // The product is never negative: truncation is its floor, and far cheaper.
    const int index = static_cast<int>(m_random.Unit() * static_cast<float>(n));
    return m_colours[static_cast<size_t>(index >= n ? n - 1 : index)];
}

void CGameBoard::Show(bool visible, bool capsVisible, float speed)
{
    const float rate = speed > 0.0f ? speed : 0.0f;
    m_mesh->Show(visible, rate);
    m_caps->SetShown(capsVisible);
    if (!visible || m_boardMode == 0) {
        m_sandbox->Show(visible, rate);
        m_gemsBar->Show(visible, rate);
    }
    for (const CountedHandle<CBonus>& bonus : m_bonuses->bonuses) {
        if (!bonus)
            continue;
        if (visible)
            bonus->Show();
        else
            bonus->Hide();
    }
    m_swapRefused = false;
}

bool CGameBoard::IsShown() const { return m_mesh->IsShown(); }

bool CGameBoard::SandboxShown() const { return m_sandbox->IsShown(); }

// A level that has ended takes no play again until the next one starts:
// unlocked, its cleared board would finish the level a second time.
void CGameBoard::SetLocked(bool on)
{
    m_locked = on;
    if (m_challengePlay)
        return;
    m_enabled = !on && !m_ended;
    if (m_boardMode == 0 && m_sandbox->Heightfield())
        m_sandbox->Heightfield()->draining = !on;
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
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const CountedHandle<CToken>& t = Cell(c, r);
            m_analyser.Cell(c, r) = t && t->active ? AnalyserCode(*t) : 0;
        }
}

bool CGameBoard::IsFull() const
{
    for (const auto& row : m_grid)
        for (const CountedHandle<CToken>& cell : row)
            if (!cell)
                return false;
    return true;
}

bool CGameBoard::IsIdle(bool requireFull) const
{
    if (!m_bonuses->AllPlaced() || !m_totems->IsIdle() || !m_movingTokens.AllBoardTokensIdle())
        return false;
    if (!m_rays->Active().empty() || !m_rays->Finished().empty())
        return false;
    if (!m_swapsActive.empty() || !m_swapsBack.empty())
        return false;
    return !requireFull || IsFull();
}

BoardStatus CGameBoard::Status() const
{
    BoardStatus status;
    status.enabled = m_enabled;
    status.locked = m_locked;
    status.ended = m_ended;
    status.inPlay = m_enabled && !m_locked && !m_ended;
    status.sandActive = m_sandActive;
    status.challengePlay = m_challengePlay;
    status.swapRefused = m_swapRefused;
    status.cascade = m_cascadeCount;
    return status;
}

bool CGameBoard::TokensMoving() const { return !m_movingTokens.AllBoardTokensIdle(); }

const std::vector<CountedHandle<CToken>>& CGameBoard::LiveTokens() const { return m_movingTokens.Tokens(); }

BoardGeometry CGameBoard::Geometry() const
{
    BoardGeometry g;
    g.originX = m_originX;
    g.originY = m_originY;
    g.originZ = m_originZ;
    g.baseOriginX = m_baseOriginX;
    g.baseOriginY = m_baseOriginY;
    g.baseOriginZ = m_baseOriginZ;
    g.cellWidth = m_cellWidth;
    g.cellHeight = m_cellHeight;
    g.columns = m_columns;
    g.rows = m_rows;
    g.tokenSize = m_tokenSize;
    return g;
}

CMatchAnalyser CGameBoard::Analysis() const
{
    CMatchAnalyser analyser;
    analyser.Resize(m_columns, m_rows);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const CountedHandle<CToken>& t = Cell(c, r);
            analyser.Cell(c, r) = t && t->active ? AnalyserCode(*t) : 0;
        }
    return analyser;
}

bool CGameBoard::FindRestingToken(bool (*test)(const CToken&), MatchCell* at) const
{
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const CountedHandle<CToken>& t = Cell(c, r);
            if (t && t->state == kTokenResting && test(*t)) {
                *at = MatchCell{c, r};
                return true;
            }
        }
    return false;
}

bool CGameBoard::HasMarkedTokenInBottomRows(int n) const
{
    for (int r = m_rows - 1; r >= m_rows - n && r >= 0; --r)
        for (int c = 0; c < m_columns; ++c)
            if (Cell(c, r) && Cell(c, r)->gem)
                return true;
    return false;
}

void CGameBoard::EndPlay()
{
    m_adviser->Reset();
    m_ended = true;
    m_marker->Hide();
    m_enabled = false;
}

// When a level ends the blue totems go out and a totem still on its way
// takes its place at once.
void CGameBoard::SettleTotems()
{
    if (m_totems->blueActive)
        m_totems->SetBlueTotemsActive(false);
    m_totems->PlacePendingTotem();
}

void CGameBoard::FlushTokens()
{
    EndPlay();
    DropAllTokens();
    m_swapsActive.clear();
    m_swapsBack.clear();
    if (m_boardMode == 0) {
        if (m_sandbox->Heightfield())
            m_sandbox->Heightfield()->ClearFallingGrains();
        SettleTotems();
    }
}

void CGameBoard::LetFallenTokensGo()
{
    const std::vector<CountedHandle<CToken>> tokens = m_movingTokens.Tokens();
    for (const CountedHandle<CToken>& t : tokens)
        if (t->moveKind == 2) {
            if (t->bonus)
                m_bonuses->RemoveBonus(t->bonus);
            m_movingTokens.Remove(t, true);
        }
}

void CGameBoard::Push(BoardEventKind kind, int32_t value)
{
    BoardEvent event;
    event.kind = kind;
    event.value = value;
    m_events.Push(event);
}

void CGameBoard::Count(StatCounter counter, int32_t amount)
{
    BoardEvent event;
    event.kind = BoardEventKind::Counted;
    event.counter = counter;
    event.value = amount;
    m_events.Push(event);
}

void CGameBoard::SetSandFlowing(bool on)
{
    if (!on) {
        m_sandbox->SetFull(false, 0.0f);
        return;
    }
    CSandHeightfield* field = m_sandbox->Heightfield().Get();
    // One frenzy at a time: a second start (yellow's power while the sand
    // flows) would fill the box again and count a second frenzy.
    if (field && field->IsFull())
        return;
    if (field)
        field->fullDrainRate = 1.0 / static_cast<double>(FrenzySeconds());
    m_sandbox->SetFull(true, field ? field->Meter() : 0.0);
    Push(BoardEventKind::SandFull);
    m_shake.AddImpulse(8.0f);
    Count(StatSandFlows, 1);
}

// The sand glass the shop sells measures the frenzy: the full box runs out
// over its seconds. A value that is no time reads as the glass nobody has
// upgraded.
float CGameBoard::FrenzySeconds() const
{
    const float seconds = m_balance.item7Value;
    return std::isfinite(seconds) && seconds > 0.0f ? seconds : BalanceFivePlusTen(0);
}

// One arrow over every cell of every possible move, each cell once.
void CGameBoard::ShowMoveHints()
{
    CopyToAnalyser();
    if (m_analyser.HasReadyRun(3, false))
        return;
    std::vector<MatchMove> moves;
    moves.reserve(64);
    m_analyser.ListMoves(&moves, 3, false);
    std::vector<Vec2> points;
    points.reserve(64);
    auto add = [&](int column, int row) {
        Vec2 p = CellToPoint(column, row, true);
        p.y += 0.3f * m_cellHeight;
        for (const Vec2& q : points)
            if (q.x == p.x && q.y == p.y)
                return;
        points.push_back(p);
    };
    for (const MatchMove& move : moves) {
        add(move.column1, move.row1);
        add(move.column2, move.row2);
    }
    m_adviser->ShowHints(points);
}
