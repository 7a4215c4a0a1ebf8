// The board's frame: shake, moving tokens, swaps, sand, totems, strikes and
// their scoring, refill, bonuses and the no-move test.
#include "board/GameBoard.h"

#include "audio/SoundManager.h"
#include "balance/BalanceState.h"
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

// Bonuses ride on their tokens: they are drawn where the token's cap is.
void CGameBoard::MoveRidingBonuses()
{
    for (const CountedHandle<CToken>& token : m_movingTokens.Tokens())
        if (token->bonus && token->cap)
            token->bonus->MoveTo(token->cap->x, token->cap->y, token->cap->z, token->column, token->row, 0);
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
            sum += CBalanceState::TokenValue(target->bonus->value);
            positions.push_back(Vec3{target->x + target->offsetX, target->y + target->offsetY, popupDepth});
            values.push_back(target->bonus->value);
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
    for (const CountedHandle<CBonus>& bonus : m_bonuses->bonuses)
        if (std::find(fired.begin(), fired.end(), bonus) != fired.end())
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
    if (!m_totems->IsIdle() || !m_bonuses->IsIdle())
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
        if (m_particlesFront) {
            CCollection2Parametres burst(at.x, at.y, at.z, nullptr, sand, kCollectionAlphaBlend);
            burst.keeperFlag = true;
            const CountedHandle<CParticleSystem> grains =
                m_particlesFront->AddCollection2(&burst, 40, flowing ? m_starSandTexture : m_sandTexture);
            CountedHandle<CDustTrackKeeper> dust = MakeCountedHandle(new CDustTrackKeeper(*sand, grains));
            dust->floorOffset = 2.0f;
            CCollection2Parametres trail(-400.0f, 0.0f, 1.0f, nullptr, dust, kCollectionAlphaBlend);
            trail.keeperFlag = true;
            trail.duration = 100.0f;
            trail.alphaFactor = 0.5f;
            m_particlesFront->AddCollection2(&trail, 200, m_cloudTexture);
        }
        // The grain falls as the burst's grains do, from half their size
        // above the token.
        if (flowing && m_sandDropEnabled)
            m_sandbox->DropGrain(share, at.x, at.y, at.z, 0.5f * sand->height, 0.0f, sand->speed,
                                 sand->terminalSpeed, sand->gravity);
    }
}

// Totem actions act on the board once the totems are built; their stand-in
// produces none.
void CGameBoard::ApplyTotemActions() {}

// What the bonuses ask of the board. Of the bonuses only gems exist yet: a
// gem that reached the gems bar goes into it and off the level's goal.
void CGameBoard::ApplyBonusEvents()
{
    const GameEventVector& pending = m_bonuses->pendingEvents;
    for (size_t i = 0; i < pending.Size(); ++i) {
        const GameEvent& e = pending.At(i);
        auto* bonus = static_cast<CBonus*>(e.sender.Get());
        if (e.kind != CBonusManager::kGemArrived || !bonus)
            continue;
        m_gemsBar->AddGem(bonus->colour);
        bonus->state = kBonusCollected;
        --m_gemsToCollect;
        if (m_sounds)
            m_sounds->PlayPanned(m_sounds->Sample("GemBar.wav"), bonus->x, 0, 0);
    }
}

// A bonus whose token a strike destroyed fires; a gem first learns where in
// the gems bar it lands, after the gems already on their way.
void CGameBoard::ApplyBonusFire(const CountedHandle<CBonus>& bonus)
{
    if (bonus->kind == kBonusGem) {
        int n = 1;
        for (const CountedHandle<CBonus>& other : m_bonuses->bonuses)
            n += other->kind == kBonusGem && other->state == kBonusFired ? 1 : 0;
        bonus->destination = m_gemsBar->GetGemTarget(bonus->colour, n);
        if (m_sounds)
            m_sounds->PlayPanned(m_sounds->Sample("GemOut.wav"), bonus->x, 0, 0);
    }
    bonus->Fire();
    Count(StatRemovals, 1);
}
