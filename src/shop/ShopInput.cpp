// The shop screen's frame and input: the tip that follows the pointer, the
// stars that fly, land and follow a drag, the turning rays and scrolling
// background, the stubs cracking open one by one, the rings over the slots
// still for sale; the presses that pick a star up, "+" and "-", and the
// settling of every moving star before the shop's state is stored.
#include "shop/Shop.h"

#include "effects/keepers/SpriteCrackKeeper.h"
#include "engine/Random.h"
#include "engine/StringTable.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831855f;
// Half the side of the square of the rays' picture that is shown, in units
// of the picture: it stays inside the picture's circle however it turns.
constexpr float kRaysHalfSide = 0.3515625f;
// A stub's pieces, as the stub's picture in the first star texture.
constexpr float kStubU0 = 0.765625f, kStubV0 = 0.765625f, kStubU1 = 0.875f, kStubV1 = 0.875f;
constexpr float kRingStart = 24.0f, kRingEnd = 72.0f;

} // namespace

bool CShop::Hit(const CQoWindow* control, float x, float y)
{
    if (!control)
        return false;
    const Vec3& c = control->Position();
    const GuiSize& s = control->Size();
    return std::abs(x - c.x) <= s.w / 2 && std::abs(y - c.y) <= s.h / 2;
}

int CShop::FirstStarOfKind(CShopStar::Kind kind) const
{
    for (size_t i = 0; i < m_stars.size(); ++i)
        if (m_stars[i]->GetKind() == kind)
            return static_cast<int>(i);
    return -1;
}

int CShop::RightmostStarOn(int item) const
{
    int best = -1;
    for (size_t i = 0; i < m_stars.size(); ++i) {
        const CShopStar& s = *m_stars[i];
        if (s.GetKind() != CShopStar::kOnItem || s.TargetItem() != item)
            continue;
        if (best < 0 || s.Position().x > m_stars[static_cast<size_t>(best)]->Position().x)
            best = static_cast<int>(i);
    }
    return best;
}

int CShop::IndexOf(const CShopStar* star) const
{
    for (size_t i = 0; i < m_stars.size(); ++i)
        if (m_stars[i].Get() == star)
            return static_cast<int>(i);
    return -1;
}

void CShop::PlaySound(int slot, float x) const
{
    if (!m_screens)
        return;
    if (const CountedHandle<CSoundManager>& sounds = m_screens->Sounds())
        sounds->PlayPanned(sounds->slots[slot], x, 0, 0);
}

void CShop::LandOnItem(size_t index, bool withSound)
{
    const int item = m_stars[index]->TargetItem();
    if (item < 0 || item >= CShopItemTable::kItems) {
        m_stars.erase(m_stars.begin() + static_cast<std::ptrdiff_t>(index));
        return;
    }
    const size_t at = static_cast<size_t>(item);
    const int32_t level = std::max(items.levels[at], 0);
    const Vec2 slot = BarSlot(item, level);
    StarHandle star = NewStar();
    star->PlaceOnItem(slot.x, slot.y, RestDepth(), RestZOrder());
    star->SetTargetItem(item);
    m_stars[index] = star;
    SetItemLevel(item, std::min(level + 1, items.maxLevels[at]), false);
    UpdateButtons();
    if (withSound)
        PlaySound(kUpgradeSound, slot.x);
}

void CShop::LandInPanel(size_t index)
{
    // The panel is laid out again for one more star.
    m_stars.erase(m_stars.begin() + static_cast<std::ptrdiff_t>(index));
    items.goldenStars = std::min(items.goldenStars + 1, CShopItemTable::kMostStars);
    RebuildPanelStars();
    UpdateButtons();
}

int CShop::Update(float dt, float x, float y)
{
    if (FormActive())
        StepHover(x, y);
    StepStars(dt, x, y);
    const bool opened = StepFade(dt);
    const CQoForm* form = FormWindow();
    if (form && form->IsVisible())
        StepRaysAndBackground(dt);
    if (!m_crackingStubs.empty())
        StepStubs(dt);
    if (form && form->IsVisible() && FormTakesInput())
        StepPointers(dt);
    return opened ? 1 : 0;
}

void CShop::StepHover(float x, float y)
{
    const CGameScreens::ShopForm* form = Form();
    int item = -1, kind = 0;
    for (size_t i = 0; i < CShopItemTable::kItems && item < 0; ++i)
        if (Hit(form->secondPictures[i].Get(), x, y) || Hit(form->firstPictures[i].Get(), x, y))
            item = static_cast<int>(i);
    for (size_t i = 0; i < CShopItemTable::kItems; ++i) {
        if (Hit(form->bars[i].Get(), x, y)) {
            item = static_cast<int>(i);
            kind = -1;
            break;
        }
        if (Hit(form->plusButtons[i].Get(), x, y)) {
            item = static_cast<int>(i);
            kind = 1;
            break;
        }
    }
    int entry = -1, textKind = -1;
    if (item >= 0) {
        const int32_t level = items.levels[static_cast<size_t>(item)];
        const int32_t limit = items.limits[static_cast<size_t>(item)];
        if (kind <= 0) {
            textKind = kind + 1;
            entry = limit < 0 ? 0 : level + 1;
        } else {
            entry = level + 1;
            textKind = level < limit ? 2 : 1;
        }
    }
    if (item == m_hoveredItem && entry == m_hoveredEntry && textKind == m_hoveredTextKind)
        return;
    if (form->tip)
        form->tip->SetText(item < 0 ? GetString(kTipString) : items.Description(textKind, item, entry));
    m_hoveredItem = item;
    m_hoveredEntry = entry;
    m_hoveredTextKind = textKind;
}

void CShop::StepStars(float dt, float x, float y)
{
    // Landings rebuild the panel, which moves the stars in the list: the
    // frame walks the stars it began with.
    m_frameStars.assign(m_stars.begin(), m_stars.end());
    for (const StarHandle& star : m_frameStars) {
        if (star->GetKind() == CShopStar::kDragged)
            star->MoveTo(std::floor(x) - 0.5f, std::floor(y) + 0.5f, star->Position().z);
        if (!star->Update(dt))
            continue;
        const int index = IndexOf(star.Get());
        if (index < 0)
            continue;
        if (star->GetKind() == CShopStar::kToItem)
            LandOnItem(static_cast<size_t>(index), true);
        else
            LandInPanel(static_cast<size_t>(index));
    }
    m_frameStars.clear();
}

void CShop::StepRaysAndBackground(float dt)
{
    const CGameScreens::ShopForm* form = Form();
    CSprite* rays = form->rays && form->rays->SpriteCount() > 0 ? form->rays->Sprite(0).Get() : nullptr;
    CSprite* backdrop =
        form->backdrop && form->backdrop->SpriteCount() > 0 ? form->backdrop->Sprite(0).Get() : nullptr;
    // The pictures as the form drew them: the rays turn about the middle of
    // their rectangle, the background scrolls from its first corner.
    if (!m_picturesKnown) {
        m_picturesKnown = true;
        if (rays && rays->frames.size() >= 8) {
            const float* uv = rays->frames.data();
            m_raysRect[0] = std::min({uv[0], uv[2], uv[4], uv[6]});
            m_raysRect[1] = std::min({uv[1], uv[3], uv[5], uv[7]});
            m_raysRect[2] = std::max({uv[0], uv[2], uv[4], uv[6]});
            m_raysRect[3] = std::max({uv[1], uv[3], uv[5], uv[7]});
        }
        if (backdrop && backdrop->frames.size() >= 8)
            m_backgroundCorner = {backdrop->frames.data()[0], backdrop->frames.data()[1]};
    }
    m_raysAngle = std::fmod(m_raysAngle + dt * m_skin.raysSpeed, kTwoPi);
    if (m_raysAngle < 0.0f)
        m_raysAngle += kTwoPi;
    if (rays) {
        const float w = m_raysRect[2] - m_raysRect[0], h = m_raysRect[3] - m_raysRect[1];
        const float cu = m_raysRect[0] + w / 2, cv = m_raysRect[1] + h / 2;
        const float c = kRaysHalfSide * std::cos(m_raysAngle), s = kRaysHalfSide * std::sin(m_raysAngle);
        const float uv[8] = {cu + (-c - s) * w, cv + (s - c) * h,  cu + (c - s) * w,  cv + (-s - c) * h,
                             cu + (c + s) * w,  cv + (-s + c) * h, cu + (-c + s) * w, cv + (s + c) * h};
        rays->SetFrameQuad(0, uv);
    }
    if (backdrop) {
        Vec2& corner = m_backgroundCorner;
        corner.x += dt * m_skin.backgroundSpeed.x;
        corner.y += dt * m_skin.backgroundSpeed.y;
        corner.x -= std::floor(corner.x);
        corner.y -= std::floor(corner.y);
        const float w = m_skin.backgroundSize.x, h = m_skin.backgroundSize.y;
        const float uv[8] = {corner.x,     corner.y,     corner.x + w, corner.y,
                             corner.x + w, corner.y + h, corner.x,     corner.y + h};
        backdrop->SetFrameQuad(0, uv);
    }
}

void CShop::StepStubs(float dt)
{
    m_stubTimer += dt;
    const float due = std::floor(m_stubTimer / m_skin.stubT);
    if (due < 1.0f)
        return;
    m_stubTimer -= due * m_skin.stubT;
    for (float k = 0; k < due && !m_crackingStubs.empty(); ++k) {
        CrackStub(m_crackingStubs.front());
        m_crackingStubs.erase(m_crackingStubs.begin());
    }
}

void CShop::CrackStub(const CountedHandle<CSprite>& stub)
{
    const float x = stub->x, y = stub->y, z = stub->z;
    const CQoForm* form = FormWindow();
    const int64_t formZOrder = form ? form->zOrder : 0;
    const float size = m_skin.stubHaloSize, life = m_skin.stubHaloLifeTime;
    for (float spin : {kPi, -kPi}) {
        auto halo = MakeCountedHandle(new CSprite(x, y, z - 3.0f, 0.1f * size, 0.1f * size, m_skin.stubHaloColor,
                                                  m_textures[kHaloTexture], 1));
        halo->SetBlendMode(1, 3);
        halo->zOrder = ClampedZOrder(formZOrder + m_skin.starsZOrderShift - 2);
        halo->fadeSpeed = 1.0f / life;
        halo->FadeTo(0.0f);
        halo->widthSpeed = halo->heightSpeed = size * 1.9f / life;
        halo->ResizeTo(size, size);
        halo->SetAngle(RandomUnit() * kTwoPi);
        halo->spinning = 1;
        halo->spinSpeed = spin;
        halo->timed = 1;
        halo->timeLeft = life;
        if (m_sprites)
            m_sprites->Add(halo);
    }
    if (m_starParticles) {
        auto crack = MakeCountedHandle(new CSpriteCrackKeeper());
        crack->Configure(28.0f, 28.0f, kStubU0, kStubV0, kStubU1, kStubV1, 4, 4, 0.25f);
        crack->floor = -400.0f;
        crack->gravity = 2500.0f;
        crack->speed = 300.0f;
        crack->speedSpread = 150.0f;
        crack->BuildCracks();
        CCollection2Parametres pieces(x, y, z - 4.0f, nullptr, crack, kCollectionAlphaBlend);
        pieces.keeperFlag = true;
        m_starParticles->AddCollection2(&pieces, 40, m_textures[kStarTexture1]);
    }
    PlaySound(kExplodeSound, x);
    if (m_sprites)
        m_sprites->Remove(stub);
}

void CShop::StepPointers(float dt)
{
    m_pointerTimer += dt;
    if (m_pointerTimer < m_skin.pointersT)
        return;
    m_pointerTimer -= m_skin.pointersT;
    const CQoForm* form = FormWindow();
    const float z = RestDepth() - 1.0f;
    const int32_t zOrder =
        ClampedZOrder(static_cast<int64_t>(form ? form->zOrder : 0) + m_skin.starsZOrderShift - 4);
    const float life = m_skin.pointersLifeTime;
    for (int i = 0; i < CShopItemTable::kItems; ++i) {
        const size_t at = static_cast<size_t>(i);
        const int32_t level = items.levels[at], limit = std::min(items.limits[at], items.maxLevels[at]);
        for (int32_t s = std::max(level, 0); s < limit; ++s) {
            const Vec2 at2 = BarSlot(i, s);
            auto ring = MakeCountedHandle(new CSprite(at2.x, at2.y, z, kRingStart, kRingStart,
                                                      m_skin.pointersColor, m_textures[kPointerTexture], 1));
            ring->SetBlendMode(1, 1);
            ring->zOrder = zOrder;
            ring->fadeSpeed = 1.0f / life;
            ring->FadeTo(0.0f);
            ring->widthSpeed = ring->heightSpeed = (kRingEnd - kRingStart) / life;
            ring->ResizeTo(kRingEnd, kRingEnd);
            ring->timed = 1;
            ring->timeLeft = life;
            if (m_sprites)
                m_sprites->Add(ring);
        }
    }
}

void CShop::OnMouseDown(float x, float y)
{
    const CGameScreens::ShopForm* form = Form();
    if (!form || !FormTakesInput())
        return;
    const float moving = RestDepth() - 1.0f;
    const int32_t movingZOrder = ClampedZOrder(static_cast<int64_t>(RestZOrder()) - 1);
    if (items.goldenStars > 0 && Hit(form->starsPanel.Get(), x, y)) {
        const int first = FirstStarOfKind(CShopStar::kInPanel);
        if (first < 0)
            return;
        StarHandle star = NewStar();
        star->StartDrag(x, y, moving, movingZOrder);
        m_stars[static_cast<size_t>(first)] = star;
        --items.goldenStars;
        RebuildPanelStars();
        return;
    }
    for (int i = 0; i < CShopItemTable::kItems; ++i) {
        const size_t at = static_cast<size_t>(i);
        if (!Hit(form->firstPictures[at].Get(), x, y) && !Hit(form->secondPictures[at].Get(), x, y))
            continue;
        const int taken = RightmostStarOn(i);
        if (taken < 0)
            continue;
        StarHandle star = NewStar();
        star->StartDrag(x, y, moving, movingZOrder);
        m_stars[static_cast<size_t>(taken)] = star;
        SetItemLevel(i, items.levels[at] - 1, false);
        UpdateButtons();
        PlaySound(kUpgradeSound, x);
        return;
    }
}

bool CShop::ChangeLevel(int item, int up)
{
    if (item < 0 || item >= CShopItemTable::kItems)
        return false;
    const size_t at = static_cast<size_t>(item);
    const int32_t level = items.levels[at], limit = items.limits[at];
    const float moving = RestDepth() - 1.0f;
    const int32_t movingZOrder = ClampedZOrder(static_cast<int64_t>(RestZOrder()) - 1);
    if (up != 0) {
        // An item not offered takes no star, as a drop on it is refused.
        if (level < 0 || level >= limit)
            return false;
        const int flying = StarsFlyingTo(item);
        if (level + flying >= limit)
            return false;
        const bool fromPanel = items.goldenStars >= 1;
        int source = -1;
        if (fromPanel) {
            source = FirstStarOfKind(CShopStar::kInPanel);
        } else {
            for (size_t i = 0; i < m_stars.size() && source < 0; ++i) {
                const CShopStar::Kind kind = m_stars[i]->GetKind();
                if (kind == CShopStar::kFlyingBack || kind == CShopStar::kToPanel)
                    source = static_cast<int>(i);
            }
        }
        if (source < 0)
            return false;
        Vec3 from = m_stars[static_cast<size_t>(source)]->Position();
        if (fromPanel) {
            const Vec2 station = PanelStation(items.goldenStars - 1);
            from = {station.x, station.y, moving};
        }
        const Vec2 to = BarSlot(item, level + flying);
        StarHandle star = NewStar();
        star->FlyToItem(from.x, from.y, from.z, to.x, to.y, moving, m_skin.starFlySpeed, movingZOrder);
        star->SetTargetItem(item);
        m_stars[static_cast<size_t>(source)] = star;
        if (fromPanel) {
            --items.goldenStars;
            RebuildPanelStars();
        }
        UpdateButtons();
        return true;
    }
    if (level < 1)
        return false;
    const int taken = RightmostStarOn(item);
    if (taken < 0)
        return false;
    const Vec2 from = BarSlot(item, level - 1);
    const Vec2 to = PanelStation(items.goldenStars);
    StarHandle star = NewStar();
    star->FlyToPanel(from.x, from.y, moving, to.x, to.y, moving, m_skin.starFlySpeed, movingZOrder);
    m_stars[static_cast<size_t>(taken)] = star;
    SetItemLevel(item, level - 1, false);
    PlaySound(kUpgradeSound, from.x);
    UpdateButtons();
    return true;
}

void CShop::SettleStars()
{
    m_frameStars.assign(m_stars.begin(), m_stars.end());
    for (const StarHandle& star : m_frameStars) {
        const CShopStar::Kind kind = star->GetKind();
        if (kind == CShopStar::kInPanel || kind == CShopStar::kOnItem)
            continue;
        const int index = IndexOf(star.Get());
        if (index < 0)
            continue;
        if (kind == CShopStar::kToItem)
            LandOnItem(static_cast<size_t>(index), false);
        else
            LandInPanel(static_cast<size_t>(index));
    }
    m_frameStars.clear();
}
