// The shop's work on its item table: counting the stars a player can still
// spend, the buttons that follow the levels, unlocking what a new quest
// level opens, and setting a level with everything the shop shows of it.
#include "shop/Shop.h"

#include "balance/BalanceState.h"

#include <algorithm>

namespace {

constexpr uint32_t kOpaque = 0xFFFFFFFF;
// A rule item's level groups always fade at this speed.
constexpr float kGroupFadeSpeed = 5.0f;
// What an unlocking uncovers fades in (or its cover out) at this speed.
constexpr float kUnlockFadeSpeed = 0.5f;

} // namespace

int CShop::StarsFlyingTo(int item) const
{
    int n = 0;
    for (const StarHandle& star : m_stars)
        n += star->GetKind() == CShopStar::kToItem && star->TargetItem() == item ? 1 : 0;
    return n;
}

int CShop::CountAvailableStars() const
{
    int n = items.goldenStars;
    for (const StarHandle& star : m_stars) {
        const CShopStar::Kind kind = star->GetKind();
        n += kind == CShopStar::kFlyingBack || kind == CShopStar::kToPanel || kind == CShopStar::kDragged ? 1 : 0;
    }
    return n;
}

bool CShop::CanStillUpgrade() const
{
    for (int i = 0; i < CShopItemTable::kItems; ++i)
        if (items.levels[static_cast<size_t>(i)] + StarsFlyingTo(i) < items.limits[static_cast<size_t>(i)])
            return true;
    return false;
}

void CShop::UpdateButtons()
{
    const CGameScreens::ShopForm* form = Form();
    if (!form)
        return;
    for (size_t i = 0; i < CShopItemTable::kItems; ++i) {
        const int32_t level = items.levels[i], limit = items.limits[i];
        // "-" goes with the bar: both are live while a star is there to take
        // back, so an item with nothing bought offers nothing to sell.
        for (const CountedHandle<CQoStatic>* c : {&form->bars[i], &form->minusButtons[i]})
            if (*c)
                (*c)->SetEnabled(level > 0);
        if (form->plusButtons[i])
            form->plusButtons[i]->SetEnabled(level >= 0 && limit > 0 &&
                                             level + StarsFlyingTo(static_cast<int>(i)) < limit);
    }
}

void CShop::ApplyTotemLevels()
{
    if (!m_board.totems)
        return;
    for (size_t i = 0; i < CShopItemTable::kItems; ++i) {
        const int32_t colour = items.targets[i];
        if (items.kinds[i] == kTotemItem && colour >= 0 && colour < CTotemsManager::kColours)
            m_board.totems->levels[static_cast<size_t>(colour)] = std::max(items.levels[i], 0);
    }
}

void CShop::UnlockItems(int levelNumber)
{
    const std::array<int32_t, CShopItemTable::kItems> oldLimits = items.limits;
    items.SetLimits(levelNumber);
    const CGameScreens::ShopForm* form = Form();
    size_t r = 0; // the first stub of item i in the list
    for (int i = 0; i < CShopItemTable::kItems; ++i) {
        const size_t at = static_cast<size_t>(i);
        const int32_t oldLimit = oldLimits[at], newLimit = items.limits[at], m = items.maxLevels[at];
        if (newLimit > oldLimit) {
            if (items.levels[at] < 0)
                SetItemLevel(i, 0, true);
            if (oldLimit < 1 && form)
                ColourItemControls(i, kOpaque);
        }
        const int32_t a = std::clamp(oldLimit, 0, m), b = std::clamp(newLimit, 0, m);
        if (a < b) {
            // A locked item's stubs were dimmed; all its m stubs come first.
            if (oldLimit < 1)
                for (size_t s = r; s < std::min(r + static_cast<size_t>(m), m_stubSprites.size()); ++s)
                    m_stubSprites[s]->SetColor(kOpaque);
            // Only the stubs the list holds: a list built for other limits
            // may be shorter.
            const size_t take =
                std::min(static_cast<size_t>(b - a), m_stubSprites.size() - std::min(r, m_stubSprites.size()));
            for (size_t k = 0; k < take; ++k) {
                m_crackingStubs.push_back(m_stubSprites[r]);
                m_stubSprites.erase(m_stubSprites.begin() + static_cast<std::ptrdiff_t>(r));
            }
        }
        r += static_cast<size_t>(m - b);
    }
    // The rule items' displays come back to full colour once they open, and
    // their locks go as a bonus's cover goes.
    for (int item = CShopItemTable::kTimeItem; item <= CShopItemTable::kGemsItem; ++item) {
        const size_t at = static_cast<size_t>(item);
        if (oldLimits[at] > 0 || items.limits[at] <= 0)
            continue;
        ColourRuleItem(item, false);
        if (form && m_screens)
            m_screens->FadeOutControls(form->ruleLocks[at - CShopItemTable::kTimeItem], kUnlockFadeSpeed);
    }
    if (oldLimits[CShopItemTable::kSandGlassItem] <= 0 && items.limits[CShopItemTable::kSandGlassItem] > 0) {
        if (m_sandboxSprites.size() >= 1)
            m_sandboxSprites[0]->SetColor(kOpaque);
        if (m_sandboxSprites.size() >= 2)
            m_sandboxSprites[1]->SetColor(m_skin.sandboxGlassColor);
        if (m_sandboxDust)
            m_sandboxDust->SetOpacityFactor(m_skin.sandboxDustAlpha);
        if (m_sandboxNote) {
            m_sandboxNote->colour = m_skin.sandboxNoteColor;
            m_sandboxNote->ApplyColor();
        }
    }
    UpdateButtons();
}

void CShop::SetItemLevel(int item, int level, bool animated)
{
    if (item < 0 || item >= CShopItemTable::kItems)
        return;
    const size_t at = static_cast<size_t>(item);
    const float fadeSpeed = animated ? kUnlockFadeSpeed : 5.0f;
    const float flightSeconds = animated ? 2.0f : 0.05f;
    const int32_t oldLevel = items.levels[at];
    const CGameScreens::ShopForm* form = Form();
    switch (items.kinds[at]) {
    case kTotemItem: {
        items.levels[at] = level;
        const int32_t colour = items.targets[at];
        if (m_board.totems && colour >= 0 && colour < CTotemsManager::kColours) {
            m_board.totems->SetShopLevel(colour, level, fadeSpeed);
            m_shopTotems[static_cast<size_t>(colour)] = m_board.totems->shopTotems[static_cast<size_t>(colour)];
        }
        break;
    }
    case kBonusItem: {
        const int group = item - CShopItemTable::kFirstBonusItem;
        if (oldLevel < 0 && form && m_screens)
            m_screens->FadeOutControls(form->bonusGroups[static_cast<size_t>(group)], fadeSpeed);
        ReleaseBonusPreview(group, 0.05f);
        items.levels[at] = level;
        MakeBonusPreview(group, level, flightSeconds);
        break;
    }
    default:
        items.levels[at] = level;
        if (item == CShopItemTable::kTimeItem) {
            if (m_screens)
                m_screens->SetClockWipe(LevelTimeLimit(level) /
                                        (m_board.balance ? m_board.balance->timeGaugeScale : 720.0f));
        } else if (item == CShopItemTable::kSandGlassItem) {
            if (m_sandboxNote)
                m_sandboxNote->SetText(NoteText(level));
        } else if (item == CShopItemTable::kGemsItem && form && m_screens) {
            for (size_t g = 0; g < form->levelGroups.size(); ++g) {
                if (static_cast<int>(g) == level)
                    m_screens->FadeInControls(form->levelGroups[g], kGroupFadeSpeed);
                else
                    m_screens->FadeOutControls(form->levelGroups[g], kGroupFadeSpeed);
            }
        }
        break;
    }
    // A purchase counts for play at once: the balance and the owned totems
    // follow the levels (a level start applies them again).
    if (m_board.balance)
        items.ApplyToBalance(*m_board.balance);
    if (items.kinds[at] == kTotemItem)
        ApplyTotemLevels();
}

void CShop::MakeBonusPreview(int group, int level, float seconds)
{
    const CGameScreens::ShopForm* form = Form();
    if (level < 0 || !m_board.bonuses || !form || form->bonusGroups[static_cast<size_t>(group)].Empty())
        return;
    const int item = CShopItemTable::kFirstBonusItem + group;
    CountedHandle<CBonus> preview =
        m_board.bonuses->CreateBonus(items.targets[static_cast<size_t>(item)], level, 0, 1);
    if (!preview)
        return;
    const Vec3& at = form->bonusGroups[static_cast<size_t>(group)].At(0)->Position();
    preview->position = Vec3{at.x, at.y, at.z + m_skin.bonusZShift};
    preview->SetDrawGroup(0);
    preview->flightScale = 1.0f;
    const Vec3& p = preview->position;
    preview->FlyIn(p.x, p.y, p.z, m_board.bonusSize, 0, 0, 1, seconds);
    m_bonusPreviews[static_cast<size_t>(group)] = preview;
}

void CShop::ReleaseBonusPreview(int group, float seconds)
{
    CountedHandle<CBonus>& preview = m_bonusPreviews[static_cast<size_t>(group)];
    if (!preview)
        return;
    if (seconds > 0.0f) {
        preview->flightScale = 1.0f;
        preview->FlyToTarget(seconds);
    } else if (m_board.bonuses) {
        m_board.bonuses->RemoveBonus(preview);
    }
    preview.Reset();
}

void CShop::ColourItemControls(int item, uint32_t colour) const
{
    const CGameScreens::ShopForm* form = Form();
    if (!form)
        return;
    const size_t at = static_cast<size_t>(item);
    for (const CountedHandle<CQoStatic>* c :
         {&form->firstPictures[at], &form->bars[at], &form->plusButtons[at], &form->minusButtons[at]})
        if (*c)
            (*c)->SetColor(colour);
}

uint32_t CShop::UnderLock(uint32_t argb, bool locked) { return locked ? argb & 0x00FFFFFF : argb; }

void CShop::ColourRuleItem(int item, bool locked) const
{
    const CGameScreens::ShopForm* form = Form();
    if (!form)
        return;
    const ControlRow& list = item == CShopItemTable::kTimeItem        ? form->item6
                             : item == CShopItemTable::kSandGlassItem ? form->item7
                                                                      : form->item8;
    const std::vector<uint32_t>& colors = item == CShopItemTable::kTimeItem        ? form->item6Colors
                                          : item == CShopItemTable::kSandGlassItem ? form->item7Colors
                                                                                   : form->item8Colors;
    const int32_t level = items.levels[static_cast<size_t>(item)];
    for (size_t k = 0; k < list.Size(); ++k) {
        const CountedHandle<CQoStatic>& control = list.At(k);
        control->SetColor(UnderLock(k < colors.size() ? colors[k] : kOpaque, locked));
        // A colour does not reach a control's words: they are hidden. Of the
        // gem item's level groups only the one of its level shows.
        if (!control->MainText())
            continue;
        bool shown = !locked;
        for (size_t g = 0; g < form->levelGroups.size(); ++g)
            if (std::find(form->levelGroups[g].begin(), form->levelGroups[g].end(), control) !=
                form->levelGroups[g].end())
                shown = shown && static_cast<int32_t>(g) == level;
        control->SetVisible(shown);
    }
}
