// The star slots of the item bars: the stone stubs over the slots that are
// not for sale yet, and a dragged star's drop onto an item or back into the
// panel.
#include "shop/Shop.h"

#include <algorithm>

namespace {

// The stub's picture in the first star texture.
constexpr float kStubU0 = 0.765625f, kStubV0 = 0.765625f, kStubU1 = 0.875f, kStubV1 = 0.875f;
constexpr float kStubSize = 28.0f;

} // namespace

void CShop::BuildStubs(float fadeSpeed)
{
    // Stubs of an earlier opening that was never closed go first.
    if (m_sprites)
        for (auto* list : {&m_stubSprites, &m_crackingStubs})
            for (const auto& stub : *list)
                m_sprites->Remove(stub);
    m_stubSprites.clear();
    m_crackingStubs.clear();
    m_stubTimer = 0.0f;
    const CGameScreens::ShopForm* form = Form();
    const CQoForm* window = FormWindow();
    const float z = (window ? window->Position().z : 0.0f) + m_skin.starsZShift + 0.1f;
    const int64_t formZOrder = window ? window->zOrder : 0;
    const auto dimmed = static_cast<uint32_t>(std::clamp(m_skin.disabledAlpha * 255.0f, 0.0f, 255.0f));
    for (int i = 0; i < CShopItemTable::kItems; ++i) {
        const size_t at = static_cast<size_t>(i);
        const int32_t m = items.maxLevels[at], limit = items.limits[at];
        const uint32_t colour = limit >= 1 ? 0xFFFFFFFF : (dimmed << 24 | 0x00FFFFFF);
        const size_t table = m <= 3 ? 0 : 1;
        // The stubs of item 1 lie under those of the others.
        const int32_t zOrder = ClampedZOrder(formZOrder + m_skin.starsZOrderShift + (i == 1 ? 1 : 2));
        Vec2 centre;
        if (form && form->bars[at])
            centre = {form->bars[at]->Position().x, form->bars[at]->Position().y};
        for (int32_t s = std::clamp(limit, 0, m); s < m; ++s) {
            const Vec2& shift = m_skin.stubShifts[table][static_cast<size_t>(s)];
            auto stub = MakeCountedHandle(new CSprite(centre.x + shift.x, centre.y + shift.y, z, kStubSize,
                                                      kStubSize, colour, m_textures[kStarTexture1], 1));
            stub->SetFrameRect(0, kStubU0, kStubV0, kStubU1, kStubV1);
            stub->zOrder = zOrder;
            // A stub fades in with the form, the stars and the sand glass
            // around it: at full opacity from the first frame it would stand
            // alone over the screen the shop opens on.
            if (fadeSpeed > 0.0f) {
                stub->SetAlphaNow(0.0f);
                stub->fadeSpeed = fadeSpeed;
                stub->FadeTo(1.0f);
            }
            if (m_sprites)
                m_sprites->Add(stub);
            m_stubSprites.push_back(stub);
        }
    }
}

void CShop::OnMouseUp(float x, float y)
{
    const CGameScreens::ShopForm* form = Form();
    if (!form || !FormTakesInput())
        return;
    const int first = FirstStarOfKind(CShopStar::kDragged);
    if (first < 0)
        return;
    const float moving = RestDepth() - 1.0f;
    const int32_t movingZOrder = ClampedZOrder(static_cast<int64_t>(RestZOrder()) - 1);
    // Every dragged star from the first one on flies back to the panel.
    auto sendAllBack = [&](int from) {
        const Vec2 to = PanelStation(items.goldenStars);
        for (size_t i = static_cast<size_t>(from); i < m_stars.size(); ++i) {
            if (m_stars[i]->GetKind() != CShopStar::kDragged)
                continue;
            const Vec3 at = m_stars[i]->Position();
            StarHandle back = NewStar();
            back->FlyBackToPanel(at.x, at.y, at.z, to.x, to.y, moving, m_skin.starFlySpeed, movingZOrder);
            m_stars[i] = back;
        }
    };
    if (Hit(form->starsPanel.Get(), x, y)) {
        sendAllBack(first);
        return;
    }
    for (int k = 0; k < CShopItemTable::kItems; ++k) {
        const size_t at = static_cast<size_t>(k);
        if (!Hit(form->secondPictures[at].Get(), x, y) && !Hit(form->firstPictures[at].Get(), x, y) &&
            !Hit(form->bars[at].Get(), x, y) && !Hit(form->plusButtons[at].Get(), x, y))
            continue;
        const int32_t level = items.levels[at], limit = items.limits[at];
        if (level < 0 || level >= limit)
            continue;
        const int j = level + StarsFlyingTo(k);
        if (j >= limit)
            continue;
        const Vec3 from = m_stars[static_cast<size_t>(first)]->Position();
        const Vec2 to = BarSlot(k, j);
        StarHandle star = NewStar();
        star->FlyToItem(from.x, from.y, from.z, to.x, to.y, moving, m_skin.starFlySpeed, movingZOrder);
        star->SetTargetItem(k);
        m_stars[static_cast<size_t>(first)] = star;
        break;
    }
    if (const int left = FirstStarOfKind(CShopStar::kDragged); left >= 0)
        sendAllBack(left);
}
