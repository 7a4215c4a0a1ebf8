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
    ShowPictures(false);
    OnHide();
}

void CDrawnBonus::Show()
{
    visible = 1;
    ShowPictures(true);
    OnShow();
}

void CDrawnBonus::ShowPictures(bool shown)
{
    ForEachSprite([this, shown](CountedHandle<CSprite>& s) { SetVisible(Holder(), s, shown ? 1 : 0); });
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
