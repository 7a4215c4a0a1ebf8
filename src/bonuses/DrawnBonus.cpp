#include "bonuses/DrawnBonus.h"

using namespace bonus_kit;

void CDrawnBonus::SetGroups(BonusDrawSet riding, BonusDrawSet overHud)
{
    group1 = std::move(riding);
    group0 = std::move(overHud);
    current = group1;
}

void CDrawnBonus::RemoveSprites()
{
    ForEachSprite([this](CountedHandle<CSprite>& s) { Remove(Holder(), s); });
}

void CDrawnBonus::Hide()
{
    visible = 0;
    ForEachSprite([this](CountedHandle<CSprite>& s) { SetVisible(Holder(), s, 0); });
    OnHide();
}

void CDrawnBonus::Show()
{
    visible = 1;
    ForEachSprite([this](CountedHandle<CSprite>& s) { SetVisible(Holder(), s, 1); });
    OnShow();
}

void CDrawnBonus::SetZOrder(int32_t z)
{
    const int32_t delta = z - zOrder;
    zOrder = z;
    ForEachSprite([delta](CountedHandle<CSprite>& s) { s->zOrder += delta; });
    Resort(current.sprites);
}

void CDrawnBonus::SetDrawGroup(int32_t group)
{
    if (group == drawGroup)
        return;
    const BonusDrawSet& from = group == 1 ? group0 : group1;
    const BonusDrawSet& to = group == 1 ? group1 : group0;
    ForEachSprite([&](CountedHandle<CSprite>& s) { Move(from.sprites, to.sprites, s); });
    current = to;
    drawGroup = group;
    OnDrawGroupChanged();
}
