// The board's frame: shake, moving tokens, swaps, sand, totems, strikes and
// their scoring, refill, bonuses and the no-move test.
#include "board/GameBoard.h"

#include "audio/SoundManager.h"
#include "balance/BalanceState.h"
#include "bonuses/BonusGem.h"
#include "bonuses/BonusSolidarity.h"
#include "effects/keepers/DustTrackKeeper.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <algorithm>

namespace {
// The no-move test runs four times a second.
constexpr float kNoMoveInterval = 0.25f;
// A struck token's sand pours this long after its burst: a short fall past
// the tokens below, not a stream down their column for seconds after the
// token has gone and others have fallen into its place.
constexpr float kStrikeSandPour = 0.25f;
} // namespace

void CGameBoard::Update(float dt, float mouseX, float mouseY)
{
    MoveWithShake(dt);
    m_movingTokens.Update(dt, mouseX, mouseY);
    HandleArrivals();
    MoveRidingBonuses();
    ResolveSwaps();
    m_marker->Update(dt);
    m_mesh->Update(dt);
    if (m_boardMode == 0 && m_sandbox->Heightfield()) {
        CSandHeightfield& field = *m_sandbox->Heightfield();
        field.Update(dt);
        const bool inPlay = !m_locked && m_enabled && !m_ended;
        using State = CSandHeightfield::State;
        const State state = field.StateCode();
        if (state == State::Empty && field.IsFull())
            SetSandFlowing(false);
        else if (state == State::Full && !m_challengePlay && inPlay)
            SetSandFlowing(true);
        else if (state == State::Full && m_challengePlay)
            Push(BoardEventKind::SandFullInChallenge);
        else if (state == State::MeterFull && inPlay)
            Push(BoardEventKind::FrenzyMeterFull);
    }
    m_sandbox->Update(dt);
    m_gemsBar->Update(dt);
    if (m_totems->Update(dt))
        ApplyTotemActions();
    m_rays->Update(dt);
    if (!m_rays->Finished().empty())
        ScoreFinishedStrikes();
    RefillOrCheck();
    m_bonuses->Update(dt);
    ApplyBonusEvents();
    if (m_enabled && m_adviser->Update(dt) < 0.0f)
        ShowMoveHints();
    m_caps->SetMouse(static_cast<int>(mouseX), static_cast<int>(mouseY));
    TestForMoves(dt);
    m_rays->PlayQueuedSounds();
}

// The tokens follow half the shake, the mesh all of it.
void CGameBoard::MoveWithShake(float dt)
{
    const bool endedNow = m_shake.Update(dt);
    if (!m_shake.IsShaking() && !endedNow)
        return;
    const Vec3 offset = m_shake.Offset();
    m_originX = m_baseOriginX + 0.5f * offset.x;
    m_originY = m_baseOriginY + 0.5f * offset.y;
    m_originZ = m_baseOriginZ + 0.5f * offset.z;
    ApplyHalfCellCorrection();
    m_mesh->SetOffset(m_baseOriginX + offset.x, m_baseOriginY + offset.y, m_baseOriginZ + offset.z);
    PlaceSandbox(offset.x, offset.y);
    m_gemsBar->SetPosition(m_mesh->OffsetX(), m_mesh->OffsetY(), m_mesh->OffsetZ());
    m_movingTokens.SetOffset(m_originX, m_originY, m_originZ, 1);
    ClipCapsToBoard();
}

void CGameBoard::HandleArrivals()
{
    for (const TokenResult& result : m_movingTokens.Results()) {
        if (result.state == kSwapOver) {
            OnTokenArrived(result.token);
            continue;
        }
        CToken& t = *result.token;
        t.state = kTokenResting;
        if (t.kind != kBoardToken)
            continue;
        if (t.moveKind == 1) {
            t.active = 1;
        } else if (t.moveKind == 2) {
            // Fallen off the board: it leaves play, and hands its bonus back.
            if (t.bonus)
                m_bonuses->RemoveBonus(t.bonus);
            m_movingTokens.Remove(result.token, true);
        }
    }
}

// Bonuses ride on their tokens: they are drawn where the token's cap is. A
// token falling off the board takes its bonus's pictures out of sight as it
// starts to slide out under the board's edge; the bonus goes on as it was
// until the token has left.
void CGameBoard::MoveRidingBonuses()
{
    const float bottom = m_originY - static_cast<float>(m_rows) * m_cellHeight;
    for (const CountedHandle<CToken>& token : m_movingTokens.Tokens()) {
        if (!token->bonus || !token->cap)
            continue;
        const CCap& cap = *token->cap;
        token->bonus->MoveTo(cap.x, cap.y, cap.z, token->column, token->row, 0);
        if (token->moveKind == 2 && cap.y - cap.size < bottom)
            token->bonus->ShowPictures(false);
    }
}

void CGameBoard::ScoreFinishedStrikes()
{
    std::vector<CountedHandle<CBonus>> fired;
    fired.reserve(40);
    int best = 0;
    int32_t total = 0;
    const bool flowing = m_sandbox->Heightfield() && m_sandbox->Heightfield()->IsFull();
    for (const CountedHandle<CTerminator>& handle : m_rays->Finished()) {
        const CTerminator& strike = *handle;
        const int extra = static_cast<int>(strike.Bonuses().size());
        const std::vector<CellPair>& cells = strike.Path().cells;
        if (m_sandActive)
            SpawnStrikeSand(strike, m_balance.MatchValue(static_cast<int>(cells.size()), 1, extra, 0));
        const int n = static_cast<int>(strike.Targets().size());
        // Score bonuses multiply the strike's points; the popup shows them
        // where their tokens were.
        int32_t sum = 0;
        const float popupDepth = ScoreMessageSettings().z;
        std::vector<Vec3> positions;
        std::vector<int> values;
        for (const CountedHandle<CToken>& target : strike.Targets()) {
            if (!target || !target->bonus)
                continue;
            fired.push_back(target->bonus);
            if (target->bonus->kind != kBonusScore)
                continue;
            sum += CBalanceState::TokenValue(target->bonus->Level());
            positions.push_back(Vec3{target->x + target->offsetX, target->y + target->offsetY, popupDepth});
            values.push_back(target->bonus->Level());
        }
        if (m_balance.CountsAsCascade(n)) {
            ++m_cascadeCount;
            if (m_cascadeCount > 1)
                best = std::max(best, m_cascadeCount);
        }
        int style = 0;
        int32_t points = m_balance.MatchPoints(n, m_cascadeCount, extra, &style);
        // While the sand flows, strikes of three or more shake the board
        // and score double.
        if (flowing && n >= 3) {
            m_shake.AddImpulse(1.5f);
            points *= 2;
        }
        Count(StatLongestCascade, m_cascadeCount);
        Count(StatLargestMatch, n);
        const Vec2 centre = CentreOfCells(cells, true);
        if (sum > 0) {
            m_popups->AddEquationPopup(points, points * sum, style, centre.x, centre.y, popupDepth, positions,
                                       values);
            points *= sum;
        } else {
            m_popups->AddNumberPopup(points, style, centre.x, centre.y, popupDepth);
        }
        total += points;
    }
    m_rays->ClearFinished();
    if (best > 1 && m_sounds)
        m_sounds->PlayCombo(best);
    // Firing never adds to the manager's list nor takes from it.
    for (const CountedHandle<CBonus>& bonus : m_bonuses->bonuses)
        if (bonus && std::find(fired.begin(), fired.end(), bonus) != fired.end())
            ApplyBonusFire(bonus);
    Push(BoardEventKind::StrikesScored, total);
}

bool CGameBoard::IsTutorialRefill() const
{
    using namespace lesson_step;
    return ((m_lesson == Lesson::Base || m_lesson == Lesson::Bonus) && m_lessonStep == kSwapped) ||
           (m_lesson == Lesson::Totem && m_lessonStep == kTotemCharged);
}

void CGameBoard::RefillOrCheck()
{
    if (!m_enabled || m_boardMode != 0 || !m_rays->Active().empty() || !m_rays->Finished().empty())
        return;
    // The manager's events of the last frame were applied when they came:
    // only a busy bonus holds the board back, or it would rest for a frame
    // with a run standing.
    if (!m_totems->IsIdle() || !std::all_of(m_bonuses->bonuses.begin(), m_bonuses->bonuses.end(),
                                            [](const CountedHandle<CBonus>& b) { return !b || b->IsIdle(); }))
        return;
    for (const CountedHandle<CToken>& t : m_movingTokens.Tokens())
        if (t->kind == kBoardToken && !t->active)
            return;
    if (!IsFull()) {
        if (m_firstFill) {
            FillNow();
        } else if (IsTutorialRefill()) {
            Refill(true, true);
        } else if (GemGoalReached()) {
            FinishLevel();
        } else {
            Refill(false, false);
        }
        return;
    }
    if (CheckMatches() > 0)
        return;
    if (GemGoalReached()) {
        FinishLevel();
        return;
    }
    int step = m_lessonStep;
    if (const Lesson lesson = DueLesson(&step); lesson != Lesson::None)
        SetLessonState(lesson, step);
}

void CGameBoard::FillNow()
{
    Refill(true, true);
    m_firstFill = 0;
}

void CGameBoard::TestForMoves(float dt)
{
    if (m_boardMode < 0 || m_boardMode > 2 || m_locked || !m_enabled || m_ended)
        return;
    m_noMoveTimer += dt;
    if (m_noMoveTimer < kNoMoveInterval)
        return;
    m_noMoveTimer = 0.0f;
    if (!IsIdle(true))
        return;
    CopyToAnalyser();
    if (!m_analyser.HasReadyRun(3, false) && !m_analyser.HasPossibleMove(3, false))
        Push(BoardEventKind::NoMoveLeft);
}

// Every struck token throws sand that falls towards the sand box, with a
// trail of dust; while the box is full and the sand flows, the grains are
// the sand box's own and drop into it.
void CGameBoard::SpawnStrikeSand(const CTerminator& strike, float value)
{
    int k = 0;
    for (const CountedHandle<CToken>& target : strike.Targets())
        k += target ? 1 : 0;
    const float share = k > 0 ? value / static_cast<float>(k) : 0.0f;
    const bool flowing = m_sandbox->Heightfield() && m_sandbox->Heightfield()->IsFull();
    const SandboxGeometry& box = *m_sandbox->Geometry();
    const float ground = m_sandDropEnabled ? box.top - box.height : -440.0f;
    for (const CountedHandle<CToken>& target : strike.Targets()) {
        if (!target)
            continue;
        const Vec3 at{target->x + target->offsetX, target->y + target->offsetY, m_mesh->OffsetZ() + 1.0f};
        CountedHandle<CSandKeeper> sand = MakeCountedHandle(new CSandKeeper());
        sand->groundLine = ground;
        ThrowSand(at, sand, flowing ? m_starSandTexture : m_sandTexture, kStrikeSandPour);
        // The grain falls as the burst's grains do, from half their size
        // above the token.
        if (flowing && m_sandDropEnabled)
            m_sandbox->DropGrain(share, at.x, at.y, at.z, 0.5f * sand->height, 0.0f, sand->speed,
                                 sand->terminalSpeed, sand->gravity);
    }
}

// A burst of sand grains at `at` on the front layer, pouring for `pour`
// seconds, with a trail of dust that follows them.
void CGameBoard::ThrowSand(const Vec3& at, const CountedHandle<CSandKeeper>& sand,
                           const CountedHandle<CTexture>& texture, float pour)
{
    if (!m_particlesFront)
        return;
    CCollection2Parametres burst(at.x, at.y, at.z, nullptr, sand, kCollectionAlphaBlend);
    burst.keeperFlag = true;
    burst.duration = pour;
    const CountedHandle<CParticleSystem> grains = m_particlesFront->AddCollection2(&burst, 40, texture);
    CountedHandle<CDustTrackKeeper> dust = MakeCountedHandle(new CDustTrackKeeper(*sand, grains));
    dust->floorOffset = 2.0f;
    CCollection2Parametres trail(-400.0f, 0.0f, 1.0f, nullptr, dust, kCollectionAlphaBlend);
    trail.keeperFlag = true;
    trail.duration = 100.0f;
    trail.alphaFactor = 0.5f;
    m_particlesFront->AddCollection2(&trail, 200, m_cloudTexture);
}

void CGameBoard::PlayBonusSound(BonusSound sound, float x)
{
    if (m_sounds)
        m_sounds->PlayPanned(m_bonusSounds[static_cast<size_t>(sound)], x, 0, 0);
}

// The manager's events of this frame, in order. Extra time and the hint
// display are the level's: once it has ended they come to nothing.
void CGameBoard::ApplyBonusEvents()
{
    const GameEventVector& pending = m_bonuses->pending;
    for (size_t i = 0; i < pending.Size(); ++i) {
        const GameEvent& e = pending.At(i);
        // Every sender is a bonus of the manager's list.
        auto* bonus = static_cast<CBonus*>(e.sender.Get());
        switch (e.kind) {
        case kEventGemArrived:
            if (!bonus || bonus->kind != kBonusGem)
                break;
            m_gemsBar->AddGem(static_cast<CBonusGem&>(*bonus).value);
            bonus->state = kBonusCollected;
            --m_gemsToCollect;
            PlayBonusSound(BonusSound::GemBar, bonus->position.x);
            break;
        case kEventDestroyCell:
            DestroyCellToken(EventColumn(e), EventRow(e), 0.0f, true);
            break;
        case kEventFlownOff: {
            const auto& list = m_bonuses->bonuses;
            const auto it = std::find_if(list.begin(), list.end(),
                                         [bonus](const CountedHandle<CBonus>& b) { return b.Get() == bonus; });
            if (!bonus || it == list.end())
                break;
            if (const CountedHandle<CToken> carrier = m_movingTokens.PickFreeToken(m_random)) {
                bonus->SetDrawGroup(1);
                FlyInOnToken(*carrier, *it, BonusStart::WhereItIs);
            } else {
                bonus->FlyToTarget(0.5f);
            }
            break;
        }
        case kEventTimeArrived:
            if (!m_ended) {
                BoardEvent time;
                time.kind = BoardEventKind::TimeBonus;
                time.seconds = BalanceFivePlusTen(EventLevel(e));
                m_events.Push(time);
            }
            break;
        case kEventAdviserArrived:
            if (!m_ended) {
                m_adviser->AddTime(BalanceFivePlusFifteen(EventLevel(e)));
                ShowMoveHints();
                PlayBonusSound(BonusSound::AdviserAct, m_adviser->CounterX());
            }
            break;
        case kEventSolidarityStrike:
            PlayBonusSound(BonusSound::SolidarityRedir, EventPosition(e));
            m_shake.AddImpulse(0.75f);
            break;
        case kEventBonusPlaced:
            PlayBonusSound(BonusSound::BonusDrop, EventPosition(e));
            break;
        default:
            break;
        }
    }
}

// A bonus whose token a strike destroyed fires. The board reads its level
// (shakes, what solidarity takes) as the bonus acts with it: 0 .. 3.
void CGameBoard::ApplyBonusFire(const CountedHandle<CBonus>& bonus)
{
    CBonus& b = *bonus;
    const float x = b.position.x;
    switch (b.kind) {
    case kBonusGem: {
        // The gem lands in the gems bar after the gems already on their way.
        int n = 1;
        for (const CountedHandle<CBonus>& other : m_bonuses->bonuses)
            n += other && other->kind == kBonusGem && other->state == kBonusFired ? 1 : 0;
        auto& gem = static_cast<CBonusGem&>(b);
        gem.destination = m_gemsBar->GetGemTarget(gem.value, n);
        PlayBonusSound(BonusSound::GemOut, x);
        break;
    }
    case kBonusTnt:
    case kBonusFlash:
        // The cells they strike come back as events.
        m_shake.AddImpulse(static_cast<float>(b.Level()) * 0.25f + 2.0f);
        PlayBonusSound(b.kind == kBonusTnt ? BonusSound::Tnt : BonusSound::Flash, x);
        break;
    case kBonusTime:
        PlayBonusSound(BonusSound::Clock, x);
        break;
    case kBonusAdviser:
        PlayBonusSound(BonusSound::AdviserGet, x);
        break;
    case kBonusScore:
        PlayBonusSound(BonusSound::Multiplier, x);
        break;
    case kBonusSolidarity:
        FireSolidarity(b);
        PlayBonusSound(BonusSound::Solidarity, x);
        break;
    default:
        break;
    }
    b.Fire();
    Count(StatRemovals, 1);
}

// Solidarity takes every token of its colour, steel too from level 2, a
// random third of them spared at level 0; at level 3 its neighbours go
// first. Each is struck when the bonus's bolt reaches it.
void CGameBoard::FireSolidarity(CBonus& bonus)
{
    const int level = bonus.Level();
    if (level > 2 && IsOnBoard(bonus.column, bonus.row)) {
        for (int r = std::max(bonus.row - 1, 0); r <= std::min(bonus.row + 1, m_rows - 1); ++r)
            for (int c = std::max(bonus.column - 1, 0); c <= std::min(bonus.column + 1, m_columns - 1); ++c)
                DestroyCellToken(c, r, 0.0f, true);
    }
    std::vector<MatchCell> targets;
    targets.reserve(static_cast<size_t>(m_columns * m_rows));
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const CountedHandle<CToken>& t = Cell(c, r);
            if (t && t->active && (t->colour == bonus.colour || (level >= 2 && t->colour >= 99)))
                targets.push_back(MatchCell{c, r});
        }
    if (level == 0) {
        const int spared = static_cast<int>(targets.size()) / 3;
        for (int k = 0; k < spared; ++k)
            targets.erase(targets.begin() + Pick(static_cast<int>(targets.size())));
    }
    std::vector<Vec2> points;
    points.reserve(targets.size());
    for (const MatchCell& cell : targets)
        points.push_back(CellToPoint(cell.column, cell.row, true));
    std::vector<float> delays(targets.size(), 0.0f);
    if (bonus.kind == kBonusSolidarity)
        static_cast<CBonusSolidarity&>(bonus).SetTargets(points, &delays);
    for (size_t i = 0; i < targets.size(); ++i)
        DestroyCellToken(targets[i].column, targets[i].row, delays[i], false);
    if (level > 2)
        m_shake.AddImpulse(2.25f);
}

bool CGameBoard::DestroyCellToken(int column, int row, float delay, bool hitSound)
{
    if (!IsOnBoard(column, row))
        return false;
    const CountedHandle<CToken> t = Cell(column, row);
    if (!t || !t->active)
        return false;
    TerminatorPath path;
    path.cells.emplace_back(column, row);
    PassOnBonus(t);
    const CountedHandle<CTerminator> ray =
        m_rays->Spawn(1, path, t->cap ? t->cap->baseTexture : CountedHandle<CTexture>(), true);
    if (ray) {
        ray->AddTarget(t, kRemoveOneChain);
        ray->elapsed = -std::max(delay, 0.0f);
        if (hitSound)
            m_rays->QueueHitSound(ray);
        BookDestroyed(*ray);
    }
    if (m_marker->Token() == t)
        m_marker->Hide();
    t->active = 0;
    t->state = kTokenDestroyed;
    if (!t->chained)
        CellRef(column, row).Reset();
    return true;
}
