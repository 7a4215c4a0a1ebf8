// Turning found runs into strikes: every group becomes an electric ray over
// its tokens, which leave the grid at once (chained ones stay until the ray
// breaks their chain), and a group of four or more may bring a new bonus.
// A search that finds nothing ends the cascade.
#include "board/GameBoard.h"

#include "balance/BalanceState.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"

int CGameBoard::CheckMatches()
{
    CopyToAnalyser();
    const int groups = m_analyser.FindRuns(3, false);
    if (groups == 0) {
        if (m_cascadeCount > 1)
            Push(BoardEventKind::Combo, m_cascadeCount);
        m_cascadeCount = 0;
        return 0;
    }
    ProcessMatchGroups();
    return groups;
}

void CGameBoard::ProcessMatchGroups()
{
    for (const CMatchGroup& group : m_analyser.Groups()) {
        const CountedHandle<CToken>& first = Cell(group.cells.front().column, group.cells.front().row);
        TerminatorPath path;
        for (const MatchCell& cell : group.cells)
            path.cells.emplace_back(cell.column, cell.row);
        path.links = group.links;
        // Match rays take their time: the quick flag is for bonus blasts.
        CountedHandle<CTerminator> ray = m_rays->Spawn(
            1, path, first && first->cap ? first->cap->baseTexture : CountedHandle<CTexture>(), false);
        for (const MatchCell& cell : group.cells) {
            CountedHandle<CToken> t = Cell(cell.column, cell.row);
            if (!t)
                continue;
            PassOnBonus(t);
            ray->AddTarget(t, kRemoveOneChain);
            if (m_marker->Token() == t)
                m_marker->Hide();
            t->active = 0;
            t->state = kTokenDestroyed;
            if (!t->chained)
                CellRef(cell.column, cell.row).Reset();
        }
        m_rays->QueueHitSound(ray);
        BookDestroyed(*ray);
        if (group.cells.size() <= 3)
            continue;
        int32_t kind = 0, value = 0;
        if (!m_balance.PickSlot(group.cells.size() > 4, &kind, &value, m_random))
            continue;
        // In the bonus lesson the new bonus lands on the same token, unless
        // that one carries a gem already: the gem would be lost, and the
        // level with it.
        const CountedHandle<CToken>& lessonCarrier = Cell(4, 4);
        const CountedHandle<CToken> carrier = m_lesson == Lesson::Bonus && !(lessonCarrier && lessonCarrier->bonus)
                                                  ? lessonCarrier
                                                  : m_movingTokens.PickFreeToken(m_random);
        if (!carrier)
            continue;
        // A bonus the manager cannot make is skipped.
        CountedHandle<CBonus> bonus = m_bonuses->CreateBonus(kind, value, 0, 1);
        if (!bonus)
            continue;
        bonus->eventsEnabled = 1;
        FlyInOnToken(*carrier, bonus, BonusStart::OnToken);
    }
}
