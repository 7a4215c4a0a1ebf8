// What the totems' powers do to the board: the manager leaves its records of
// the frame, and the board carries them out in order: green's rays take the
// gems and its unigems secure new ones, yellow's points and frenzy, red's
// blasts, blue's bolts on the steel, orange's seconds, white's paint and
// violet's bonuses flying in; every power started counts for the player's
// statistics.
#include "board/GameBoard.h"

#include "audio/SoundManager.h"
#include "balance/BalanceState.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <algorithm>
#include <cmath>

namespace {
bool IsSteel(const CToken& token) { return token.colour > 98; }
} // namespace

// The answers to the records add no record: the manager's list stands
// still under the walk.
void CGameBoard::ApplyTotemActions() { ApplyTotemActions(m_totems->Actions()); }

void CGameBoard::ApplyTotemActions(const std::vector<TotemAction>& actions)
{
    TotemHits hits;
    for (size_t i = 0; i < actions.size(); ++i) {
        const TotemAction& a = actions[i];
        switch (a.type) {
        case kGreenTotem:
            if (a.value != 0)
                PlaceTotemGems();
            else
                StrikeTotemGems();
            break;
        case kYellowTotem: {
            Push(BoardEventKind::StrikesScored, CBalanceState::ComboBonus(a.column, a.row));
            if (a.column >= 2) {
                PlayTotemSound(TotemSound::Coins, nullptr);
                SetSandFlowing(true);
            }
            break;
        }
        case kRedTotem:
            BlastTotemCells(a.column, a.row, a.value);
            break;
        case kBlueTotem:
            StrikeTotemSteel(a, &hits);
            break;
        case kOrangeTotem: {
            BoardEvent time;
            time.kind = BoardEventKind::TimeBonus;
            time.seconds = BalanceTotemSeconds(a.amount, a.value);
            m_events.Push(time);
            break;
        }
        case kWhiteTotem:
            PaintTotemTokens(a, &hits);
            break;
        case kVioletTotem:
            FlyInTotemBonus(a);
            break;
        case TotemAction::kPowerStarted:
            Count(StatTotemActions, 1);
            break;
        default:
            break;
        }
    }
    if (hits.struck > 0) {
        const float x = hits.struckX / static_cast<float>(hits.struck);
        PlayTotemSound(TotemSound::Crackle, &x);
    }
    if (hits.painted > 0) {
        const float x = hits.paintedX / static_cast<float>(hits.painted);
        PlayTotemSound(TotemSound::Splash, &x);
    }
}

void CGameBoard::PlayTotemSound(TotemSound sound, const float* pannedX)
{
    if (!m_sounds)
        return;
    const CountedHandle<CSoundSample>& sample = m_totemSounds[static_cast<size_t>(sound)];
    if (pannedX)
        m_sounds->PlayPanned(sample, *pannedX, 0, 0);
    else
        m_sounds->Play(sample, 0, 0);
}

bool CGameBoard::IsFreeForGem(int column, int row) const
{
    if (!IsOnBoard(column, row))
        return false;
    const CountedHandle<CToken>& t = Cell(column, row);
    return t && t->active && !IsSteel(*t) && !t->gem && !t->bonus;
}

std::vector<int> CGameBoard::DrawDistinct(int count, int n)
{
    std::vector<int> chosen;
    chosen.reserve(static_cast<size_t>(std::max(count, 0)));
    if (count >= n) {
        for (int i = 0; i < n; ++i)
            chosen.push_back(i);
        return chosen;
    }
    while (static_cast<int>(chosen.size()) < count) {
        const int i = Pick(n);
        if (std::find(chosen.begin(), chosen.end(), i) == chosen.end())
            chosen.push_back(i);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void CGameBoard::PlaceGemBonus(CToken& token, int colour)
{
    if (CountedHandle<CBonus> gem = m_bonuses->CreateGem(colour, 1)) {
        gem->Place(token.anchorX + m_originX, token.anchorY + m_originY, token.anchorZ + m_originZ, token.size,
                   token.column, token.row);
        GiveBonus(token, gem);
    }
}

// The landed unigems: a gem on every cell whose token can still take one,
// while the level has gems to place. Every unigem fades out and the list is
// emptied.
void CGameBoard::PlaceTotemGems()
{
    std::vector<CountedHandle<CFlareList>>* unigems = m_totems->GreenUnigems();
    if (!unigems)
        return;
    for (const CountedHandle<CFlareList>& unigem : *unigems) {
        if (!unigem)
            continue;
        if (m_gemsToPlace > 0 && IsFreeForGem(unigem->column, unigem->row)) {
            CToken& t = *Cell(unigem->column, unigem->row);
            m_movingTokens.SetGem(t, true);
            PlaceGemBonus(t, t.colour);
            --m_gemsToPlace;
        }
        unigem->FadeOutAll();
    }
    if (!unigems->empty())
        PlayTotemSound(TotemSound::GemIn, nullptr);
    unigems->clear();
}

// A single-cell ray of the matches' kind on the token.
CountedHandle<CTerminator> CGameBoard::TotemRay(const CountedHandle<CToken>& token, int column, int row,
                                                int32_t mode)
{
    TerminatorPath path;
    path.cells.emplace_back(column, row);
    const CountedHandle<CTerminator> ray =
        m_rays->Spawn(1, path, token->cap ? token->cap->baseTexture : CountedHandle<CTexture>(), false);
    if (ray)
        ray->AddTarget(token, mode);
    if (m_marker->Token() == token)
        m_marker->Hide();
    token->active = 0;
    token->state = kTokenDestroyed;
    return ray;
}

// Green's strike: at full strength the chains go first; every gem token is
// taken by a ray that waits for the totem's ray to reach it; new gem cells
// are drawn among the free tokens and handed to the totem.
void CGameBoard::StrikeTotemGems()
{
    const CTotem* green = m_totems->Placed(kGreenTotem).Get();
    const int type = green ? green->level : 0;
    const int strength = green ? green->strength : 0;
    const bool full = strength == 3;
    if (full)
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c) {
                const CountedHandle<CToken> t = Cell(c, r);
                if (!t || !t->active || t->gem || !t->chained)
                    continue;
                if (const CountedHandle<CTerminator> ray = TotemRay(t, c, r, kBreakAllChains)) {
                    m_rays->QueueHitSound(ray);
                    BookDestroyed(*ray);
                }
            }
    std::vector<Vec2> gemPoints;
    std::vector<CountedHandle<CTerminator>> gemRays;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const CountedHandle<CToken> t = Cell(c, r);
            if (!t || !t->active || IsSteel(*t) || !t->gem)
                continue;
            PassOnBonus(t);
            const bool chained = t->chained != 0;
            const CountedHandle<CTerminator> ray = TotemRay(t, c, r, full ? kDestroyEvenChained : kRemoveOneChain);
            if (ray)
                BookDestroyed(*ray);
            gemPoints.push_back(CellToPoint(c, r, true));
            gemRays.push_back(ray);
            if (!chained || full)
                CellRef(c, r).Reset();
        }
    std::vector<int32_t> free;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c)
            if (IsFreeForGem(c, r))
                free.push_back(r * m_columns + c);
    const int wanted = green ? CBalanceState::TotemLevelCount(type, strength) : 0;
    const int n = std::min({wanted, static_cast<int>(free.size()), m_gemsToPlace});
    std::vector<Vec2> points;
    std::vector<TotemCell> cells;
    if (n > 0)
        for (int i : DrawDistinct(n, static_cast<int>(free.size()))) {
            const int cell = free[static_cast<size_t>(i)];
            const int c = cell % m_columns, r = cell / m_columns;
            points.push_back(CellToPoint(c, r, true));
            cells.push_back(TotemCell{c, r});
        }
    std::vector<float> delays;
    delays.reserve(gemPoints.size());
    m_totems->StrikeGreen(gemPoints, points, cells, &delays);
    for (size_t i = 0; i < gemRays.size(); ++i)
        if (gemRays[i])
            gemRays[i]->elapsed = -(i < delays.size() ? std::max(delays[i], 0.0f) : 0.0f);
}

// A fireball lands: strength 1 takes the 2 x 2 block whose corner is the
// cell, any other strength the cell and its four neighbours.
void CGameBoard::BlastTotemCells(int column, int row, int strength)
{
    const bool block = strength == 1;
    const float x = static_cast<float>(column) + (block ? 0.5f : 0.0f);
    const float y = static_cast<float>(row) + (block ? 0.5f : 0.0f);
    const float radius = block ? 0.75f : 1.1f;
    const int c0 = static_cast<int>(std::floor(x)), r0 = static_cast<int>(std::floor(y));
    for (int r = std::max(r0 - 1, 0); r <= std::min(r0 + 1, m_rows - 1); ++r)
        for (int c = std::max(c0 - 1, 0); c <= std::min(c0 + 1, m_columns - 1); ++c) {
            const float dx = static_cast<float>(c) - x, dy = static_cast<float>(r) - y;
            if (dx * dx + dy * dy <= radius * radius)
                DestroyCellToken(c, r, 0.0f, true);
        }
    m_shake.AddImpulse(static_cast<float>(strength - 1) * 0.5f + 1.25f);
    const float at = CellToPoint(column, row, true).x;
    PlayTotemSound(TotemSound::Blast, &at);
}

// Blue's request hands the totem every steel token; at full strength no
// steel comes for the rest of the level. A bolt's hit takes its cell.
void CGameBoard::StrikeTotemSteel(const TotemAction& a, TotemHits* hits)
{
    if (a.value != 0) {
        std::vector<Vec2> points;
        std::vector<TotemCell> cells;
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c) {
                const CountedHandle<CToken>& t = Cell(c, r);
                if (t && t->active && IsSteel(*t)) {
                    points.push_back(CellToPoint(c, r, true));
                    cells.push_back(TotemCell{c, r});
                }
            }
        m_totems->StrikeBlue(points, cells);
        if (a.value == 3) {
            m_steelRate = 0.0f;
            m_steelCap = 0;
            PlayTotemSound(TotemSound::Charge, nullptr);
        }
        return;
    }
    if (!IsOnBoard(a.column, a.row))
        return;
    const CountedHandle<CToken> t = Cell(a.column, a.row);
    if (!t || !t->active)
        return;
    const float x = t->anchorX + t->offsetX;
    DestroyCellToken(a.column, a.row, 0.0f, true);
    m_shake.AddImpulse(a.weight > 0.0f ? 0.25f : 0.75f);
    hits->struckX += x;
    ++hits->struck;
}

// White: a request draws the tokens to paint and hands them to the totem;
// a drop that lands recolours its token (a gem keeps a gem of the new
// colour); the end of the power has the board look for runs.
void CGameBoard::PaintTotemTokens(const TotemAction& a, TotemHits* hits)
{
    if (a.value < 0) {
        m_totemActionPending = true;
        return;
    }
    if (a.value == 0) {
        if (!IsOnBoard(a.column, a.row))
            return;
        const CountedHandle<CToken> t = Cell(a.column, a.row);
        if (!t || !t->active)
            return;
        m_movingTokens.SetColour(*t, a.amount);
        if (t->gem && t->bonus && t->bonus->kind == kBonusGem) {
            m_bonuses->RemoveBonus(t->bonus);
            t->SetBonus({});
            PlaceGemBonus(*t, a.amount);
        } else if (t->bonus) {
            t->bonus->colour = a.amount;
        }
        hits->paintedX += t->anchorX + t->offsetX;
        ++hits->painted;
        return;
    }
    std::vector<int32_t> active;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c)
            if (Cell(c, r) && Cell(c, r)->active)
                active.push_back(r * m_columns + c);
    const int n = std::min(a.value, static_cast<int>(active.size()));
    if (n <= 0)
        return;
    std::vector<Vec2> points;
    std::vector<TotemCell> cells;
    for (int i : DrawDistinct(n, static_cast<int>(active.size()))) {
        const int cell = active[static_cast<size_t>(i)];
        const int c = cell % m_columns, r = cell / m_columns;
        points.push_back(CellToPoint(c, r, true));
        cells.push_back(TotemCell{c, r});
    }
    m_totems->StrikeWhite(points, cells);
}

// Violet's bonus leaves the totem in a swoop; once there the board gives it
// to a token as it does a bonus that flew off, and it flies on from there.
void CGameBoard::FlyInTotemBonus(const TotemAction& a)
{
    const CountedHandle<CBonus> bonus = m_bonuses->CreateBonus(a.bonusCode, a.column, 1, 1);
    if (!bonus)
        return;
    bonus->eventsEnabled = 1;
    bonus->position = Vec3{a.weight, a.startY, a.startZ};
    bonus->target = Vec3{a.controlX, a.controlY, a.controlZ};
    bonus->SetZOrder(a.row);
    // It grows out of the glow to the size it rides a token at and stays
    // opaque, so the whole way to its token is one flight of one look.
    bonus->SetSize(m_tokenSize);
    bonus->flightOpacity = 1.0f;
    bonus->flightScale = 1.0f;
    bonus->FlyOff(a.flyTime);
}
