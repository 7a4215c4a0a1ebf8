#include "StubBoard.h"

#include "balance/BalanceState.h"
#include "tokens/BoardGrid.h"
#include "totems/TotemEffects.h"

#include <algorithm>
#include <cmath>

namespace totems_rig {

std::vector<int> DrawDistinct(int count, int n)
{
    std::vector<int> chosen;
    if (count >= n) {
        for (int i = 0; i < n; ++i)
            chosen.push_back(i);
        return chosen;
    }
    while (static_cast<int>(chosen.size()) < count) {
        const int i = RandomBelow(n);
        if (std::find(chosen.begin(), chosen.end(), i) == chosen.end())
            chosen.push_back(i);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

StubBoard::StubBoard() : cells(64)
{
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            At(column, row).colour = (column + row) % 7;
}

Vec2 StubBoard::Point(int column, int row) const
{
    const Vec3 c = BoardGrid().CellCenter(column, row);
    return {c.x, c.y};
}

void StubBoard::Destroy(int column, int row)
{
    StubToken& t = At(column, row);
    if (!t.present || !t.active)
        return;
    t.active = false;
    destroyed.push_back({column, row});
    if (!t.chained)
        t.present = false;
}

void StubBoard::Apply(CTotemsManager& totems)
{
    // The answers add no record, so the list stands still under the walk.
    for (size_t i = 0; i < totems.Actions().size(); ++i) {
        const TotemAction& a = totems.Actions()[i];
        switch (a.type) {
        case kGreenTotem:
            Green(totems, a);
            break;
        case kYellowTotem:
            score += CBalanceState::ComboBonus(a.column, a.row);
            frenzies += a.column >= 2 ? 1 : 0;
            break;
        case kRedTotem: {
            const float cx = static_cast<float>(a.column) + (a.value == 1 ? 0.5f : 0.0f);
            const float cy = static_cast<float>(a.row) + (a.value == 1 ? 0.5f : 0.0f);
            const float r = a.value == 1 ? 0.75f : 1.1f;
            const int c0 = static_cast<int>(std::floor(cx)), r0 = static_cast<int>(std::floor(cy));
            for (int row = std::max(r0 - 1, 0); row <= std::min(r0 + 1, 7); ++row)
                for (int column = std::max(c0 - 1, 0); column <= std::min(c0 + 1, 7); ++column) {
                    const float dx = static_cast<float>(column) - cx, dy = static_cast<float>(row) - cy;
                    if (dx * dx + dy * dy <= r * r)
                        Destroy(column, row);
                }
            break;
        }
        case kBlueTotem:
            Blue(totems, a);
            break;
        case kOrangeTotem:
            seconds += BalanceTotemSeconds(a.amount, a.value);
            break;
        case kWhiteTotem:
            White(totems, a);
            break;
        case kVioletTotem:
            deliveries.push_back(a);
            break;
        case TotemAction::kPowerStarted:
            ++powers;
            break;
        default:
            break;
        }
    }
}

void StubBoard::Green(CTotemsManager& totems, const TotemAction& a)
{
    const CTotem* green = totems.Placed(kGreenTotem).Get();
    if (a.value != 0) {
        std::vector<CountedHandle<CFlareList>>* unigems = totems.GreenUnigems();
        if (!unigems)
            return;
        for (const auto& unigem : *unigems) {
            StubToken& t = At(unigem->column, unigem->row);
            if (!t.present || !t.active || t.colour >= kSteel || t.gem || t.bonus || gemsToPlace <= 0)
                continue;
            t.gem = true;
            --gemsToPlace;
            placedGems.push_back({unigem->column, unigem->row});
            unigem->FadeOutAll();
        }
        unigems->clear();
        return;
    }
    const int strength = green ? green->strength : 2;
    std::vector<Vec2> gems, points;
    std::vector<TotemCell> chosen;
    std::vector<int> eligible;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            StubToken& t = At(column, row);
            if (!t.present || !t.active)
                continue;
            if (strength == 3 && t.chained && !t.gem) {
                t.active = false;
                continue;
            }
            if (t.gem && t.colour < kSteel) {
                gems.push_back(Point(column, row));
                struckGems.push_back({column, row});
                t.active = false;
                if (!t.chained || strength == 3)
                    t.present = false;
                continue;
            }
            if (t.colour < kSteel && !t.gem && !t.bonus)
                eligible.push_back(row * 8 + column);
        }
    const int wanted = green ? CBalanceState::TotemLevelCount(green->level, strength) : 0;
    const int count = std::min({wanted, static_cast<int>(eligible.size()), gemsToPlace});
    if (count > 0)
        for (int i : DrawDistinct(count, static_cast<int>(eligible.size()))) {
            const int cell = eligible[static_cast<size_t>(i)];
            points.push_back(Point(cell % 8, cell / 8));
            chosen.push_back({cell % 8, cell / 8});
        }
    greenDelays.clear();
    totems.StrikeGreen(gems, points, chosen, &greenDelays);
}

void StubBoard::Blue(CTotemsManager& totems, const TotemAction& a)
{
    if (a.value == 0) {
        Destroy(a.column, a.row);
        return;
    }
    std::vector<Vec2> points;
    std::vector<TotemCell> steel;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const StubToken& t = At(column, row);
            if (t.present && t.active && t.colour >= kSteel) {
                points.push_back(Point(column, row));
                steel.push_back({column, row});
            }
        }
    if (a.value == 3)
        steelStopped = true;
    totems.StrikeBlue(points, steel);
}

void StubBoard::White(CTotemsManager& totems, const TotemAction& a)
{
    if (a.value < 0) {
        ++matchChecks;
        return;
    }
    if (a.value == 0) {
        StubToken& t = At(a.column, a.row);
        if (t.present && t.active) {
            t.colour = a.amount;
            recoloured.push_back({a.column, a.row});
        }
        return;
    }
    std::vector<int> active;
    for (int i = 0; i < 64; ++i)
        if (cells[static_cast<size_t>(i)].present && cells[static_cast<size_t>(i)].active)
            active.push_back(i);
    std::vector<Vec2> points;
    std::vector<TotemCell> chosen;
    for (int i :
         DrawDistinct(std::min(a.value, static_cast<int>(active.size())), static_cast<int>(active.size()))) {
        const int cell = active[static_cast<size_t>(i)];
        points.push_back(Point(cell % 8, cell / 8));
        chosen.push_back({cell % 8, cell / 8});
    }
    totems.StrikeWhite(points, chosen);
}

} // namespace totems_rig
