// The board's frame: shake, moving tokens, swaps, sand, totems, strikes and
// their scoring, refill, bonuses, challenges and the no-move test.
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
    movingTokens.Update(dt, mouseX, mouseY);
    HandleArrivals();
    MoveRidingBonuses();
    ResolveSwaps();
    selectionMarker->Update(dt);
    mesh->Update(dt);
    if (boardMode == 0 && sandbox->Heightfield()) {
        CSandHeightfield& field = *sandbox->Heightfield();
        field.Update(dt);
        const bool inPlay = !locked && enabled && !ended;
        using State = CSandHeightfield::State;
        const State state = field.StateCode();
        if (state == State::Empty && field.IsFull())
            SetSandFlowing(false);
        else if (state == State::Full && playState == 100 && inPlay)
            SetSandFlowing(true);
        else if (state == State::Full && playState == 101)
            Push(kEventSandOtherMode);
        else if (state == State::MeterFull && inPlay)
            Push(kEventSandState);
    }
    sandbox->Update(dt);
    gemsBar->Update(dt);
    if (totems.Update(dt))
        ApplyTotemActions();
    terminators->Update(dt);
    if (!terminators->Finished().empty())
        ScoreFinishedStrikes();
    RefillOrCheck();
    bonuses->Update(dt);
    ApplyBonusEvents();
    if (enabled && adviser.Update(dt) < 0.0f)
        ShowMoveHints();
    if (boardMode == 0 && playState != 100 && !locked)
        UpdateChallenges(dt);
    capsRenderer->SetMouse(static_cast<int>(mouseX), static_cast<int>(mouseY));
    TestForMoves(dt);
    terminators->PlayQueuedSounds();
}

// The tokens follow half the shake, the mesh all of it.
void CGameBoard::MoveWithShake(float dt)
{
    const bool endedNow = shake.Update(dt);
    if (!shake.IsShaking() && !endedNow)
        return;
    const Vec3 offset = shake.Offset();
    originX = baseOriginX + 0.5f * offset.x;
    originY = baseOriginY + 0.5f * offset.y;
    originZ = baseOriginZ + 0.5f * offset.z;
    ApplyHalfCellCorrection();
    mesh->SetOffset(baseOriginX + offset.x, baseOriginY + offset.y, baseOriginZ + offset.z);
    PlaceSandbox(offset.x, offset.y);
    gemsBar->SetPosition(mesh->OffsetX(), mesh->OffsetY(), mesh->OffsetZ());
    movingTokens.SetOffset(originX, originY, originZ, 1);
}

void CGameBoard::HandleArrivals()
{
    for (const TokenResult& result : movingTokens.Results()) {
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
                bonuses->RemoveBonus(t.bonus);
            movingTokens.Remove(result.token, true);
        }
    }
}

// Bonuses ride on their tokens: they are drawn where the token's cap is.
void CGameBoard::MoveRidingBonuses()
{
    for (const CountedHandle<CToken>& token : movingTokens.Tokens())
        if (token->bonus && token->cap)
            token->bonus->MoveTo(token->cap->x, token->cap->y, token->cap->z, token->column, token->row, 0);
}

void CGameBoard::ScoreFinishedStrikes()
{
    std::vector<CountedHandle<CBonus>> fired;
    fired.reserve(40);
    int best = 0;
    int32_t total = 0;
    const bool flowing = sandbox->Heightfield() && sandbox->Heightfield()->IsFull();
    for (const CountedHandle<CTerminator>& handle : terminators->Finished()) {
        const CTerminator& strike = *handle;
        const int extra = static_cast<int>(strike.Bonuses().size());
        const std::vector<CellPair>& cells = strike.Path().cells;
        if (sandEnabled)
            SpawnStrikeSand(strike, balance.MatchValue(static_cast<int>(cells.size()), 1, extra, 0));
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
        if (balance.CountsAsCascade(n)) {
            ++cascadeCount;
            if (cascadeCount > 1)
                best = std::max(best, cascadeCount);
        }
        int style = 0;
        int32_t points = balance.MatchPoints(n, cascadeCount, extra, &style);
        // While the sand flows, strikes of three or more shake the board
        // and score double.
        if (flowing && n >= 3) {
            shake.AddImpulse(1.5f);
            points *= 2;
        }
        stats.AddToRunTables(cascadeCount, StatLongestCascade);
        stats.AddToRunTables(n, StatLargestMatch);
        const Vec2 centre = CentreOfCells(cells, true);
        if (sum > 0) {
            popups.AddEquationPopup(points, points * sum, style, centre.x, centre.y, popupDepth, positions,
                                    values);
            points *= sum;
        } else {
            popups.AddNumberPopup(points, style, centre.x, centre.y, popupDepth);
        }
        stats.AddToRunTables(points, StatScore);
        total += points;
    }
    terminators->ClearFinished();
    if (best > 1 && sounds)
        sounds->PlayCombo(best);
    for (const CountedHandle<CBonus>& bonus : bonuses->bonuses)
        if (std::find(fired.begin(), fired.end(), bonus) != fired.end())
            ApplyBonusFire(bonus);
    Push(kEventStrikesScored, total);
}

bool CGameBoard::IsTutorialRefill() const
{
    return (levelState == 1 && levelSubState == 2) || (levelState == 6 && levelSubState == 2) ||
           (levelState == 7 && levelSubState == 4);
}

void CGameBoard::RefillOrCheck()
{
    if (!enabled || boardMode != 0 || !terminators->Active().empty() || !terminators->Finished().empty())
        return;
    if (!totems.IsIdle() || !bonuses->IsIdle())
        return;
    for (const CountedHandle<CToken>& t : movingTokens.Tokens())
        if (t->kind == kBoardToken && !t->active)
            return;
    if (!IsFull()) {
        if (firstFill) {
            Refill(true, true);
            firstFill = 0;
            fillFlag2 = 0;
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
    int argument = levelSubState;
    if (const int prompt = QueryLevelOutcome(&argument))
        SetLevelState(prompt, argument);
}

void CGameBoard::UpdateChallenges(float dt)
{
    auto push = [this](int32_t kind, int32_t value, const Vec2& at) {
        BoardEvent event;
        event.kind = kind;
        event.value = value;
        event.a = plat::FloatBits(at.x);
        event.sender = plat::FloatBits(at.y);
        events.Push(event);
    };
    switch (playState) {
    case 101:
        if (!memoryChallenge)
            return;
        switch (memoryChallenge->Update(dt)) {
        case 106:
            push(kEventChallengePoints, 100, memoryChallenge->firstItem);
            push(kEventChallengePoints, 100, memoryChallenge->secondItem);
            Push(kEventChallengeResult);
            break;
        case 105:
            push(kEventChallengePoints, 100, memoryChallenge->firstItem);
            push(kEventChallengePoints, 100, memoryChallenge->secondItem);
            break;
        case 103:
            Push(kEventChallengeOver);
            break;
        }
        break;
    case 102:
        if (accuracyChallenge && accuracyChallenge->Update(dt) == 107)
            Push(kEventChallengeOver);
        break;
    case 103:
        if (!attentionChallenge)
            return;
        switch (attentionChallenge->Update(dt)) {
        case 101:
            if (attentionChallenge->chosenPlate == 1)
                push(kEventChallengePoints, 500, attentionChallenge->plate);
            Push(kEventChallengeResult);
            break;
        case 109:
            Push(kEventChallengePrompt, 1);
            break;
        case 108:
            Push(kEventChallengeOver);
            break;
        }
        break;
    case 104:
        if (!reactionChallenge)
            return;
        switch (reactionChallenge->Update(dt)) {
        case 101:
            ++reactionChallenge->hits;
            reactionChallenge->SpeedUp();
            reactionChallenge->mode = 2;
            reactionChallenge->timer = 0.0f;
            push(kEventChallengePoints, 500, reactionChallenge->plate);
            Push(kEventChallengeResult);
            break;
        case 102:
            reactionChallenge->mode = 1;
            reactionChallenge->timer = 0.0f;
            reactionChallenge->PlayMissSound();
            Push(kEventChallengePrompt, 2);
            break;
        case 110:
            Push(kEventChallengeOver);
            break;
        }
        break;
    }
}

void CGameBoard::TestForMoves(float dt)
{
    if (boardMode < 0 || boardMode > 2 || locked || !enabled || ended)
        return;
    noMoveTimer += dt;
    if (noMoveTimer < kNoMoveInterval)
        return;
    noMoveTimer = 0.0f;
    if (!IsIdle(true))
        return;
    CopyToAnalyser();
    if (!analyser.HasReadyRun(3, false) && !analyser.HasPossibleMove(3, false))
        Push(kEventNoMoveLeft);
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
    const bool flowing = sandbox->Heightfield() && sandbox->Heightfield()->IsFull();
    const SandboxGeometry& box = *sandbox->Geometry();
    const float ground = sandDropEnabled ? box.top - box.height : -440.0f;
    for (const CountedHandle<CToken>& target : strike.Targets()) {
        if (!target)
            continue;
        const Vec3 at{target->x + target->offsetX, target->y + target->offsetY, mesh->OffsetZ() + 1.0f};
        CountedHandle<CSandKeeper> sand = MakeCountedHandle(new CSandKeeper());
        sand->groundLine = ground;
        if (particlesFront) {
            CCollection2Parametres burst(at.x, at.y, at.z, nullptr, sand, kCollectionAlphaBlend);
            burst.keeperFlag = true;
            const CountedHandle<CParticleSystem> grains =
                particlesFront->AddCollection2(&burst, 40, textures[flowing ? 2 : 0]);
            CountedHandle<CDustTrackKeeper> dust = MakeCountedHandle(new CDustTrackKeeper(*sand, grains));
            dust->floorOffset = 2.0f;
            CCollection2Parametres trail(-400.0f, 0.0f, 1.0f, nullptr, dust, kCollectionAlphaBlend);
            trail.keeperFlag = true;
            trail.duration = 100.0f;
            trail.alphaFactor = 0.5f;
            particlesFront->AddCollection2(&trail, 200, textures[1]);
        }
        // The grain falls as the burst's grains do, from half their size
        // above the token.
        if (flowing && sandDropEnabled)
            sandbox->DropGrain(share, at.x, at.y, at.z, 0.5f * sand->height, 0.0f, sand->speed,
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
    const GameEventVector& pending = bonuses->pendingEvents;
    for (size_t i = 0; i < pending.Size(); ++i) {
        const GameEvent& e = pending.At(i);
        auto* bonus = static_cast<CBonus*>(e.sender.Get());
        if (e.kind != CBonusManager::kGemArrived || !bonus)
            continue;
        gemsBar->AddGem(bonus->colour);
        bonus->state = kBonusCollected;
        --gemsToCollect;
        if (sounds)
            sounds->PlayPanned(sounds->Sample("GemBar.wav"), bonus->x, 0, 0);
    }
}

// A bonus whose token a strike destroyed fires; a gem first learns where in
// the gems bar it lands, after the gems already on their way.
void CGameBoard::ApplyBonusFire(const CountedHandle<CBonus>& bonus)
{
    if (bonus->kind == kBonusGem) {
        int n = 1;
        for (const CountedHandle<CBonus>& other : bonuses->bonuses)
            n += other->kind == kBonusGem && other->state == kBonusFired ? 1 : 0;
        bonus->destination = gemsBar->GetGemTarget(bonus->colour, n);
        if (sounds)
            sounds->PlayPanned(sounds->Sample("GemOut.wav"), bonus->x, 0, 0);
        timerB = 0.0f;
    }
    bonus->Fire();
    stats.AddToRunTables(1, StatRemovals);
}
