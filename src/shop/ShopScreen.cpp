// The shop screen's making and unmaking, its look, where its stars stand,
// and its opening and closing: on opening it shows every item as its level
// and limit have it (the totems, the clock, the sand glass, the gem groups,
// the bonus previews, the stars, the stubs); on closing it settles the
// stars and lets everything fade away.
#include "shop/Shop.h"

#include "balance/BalanceState.h"
#include "effects/particles/EffectParametres.h"
#include "engine/StringTable.h"
#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr uint32_t kOpaque = 0xFFFFFFFF;
constexpr uint32_t kHalfShown = 0x80FFFFFF;
// Every star slot of the panel is this wide.
constexpr float kPanelStep = 48.0f;
// A fade of no time still has to end: what the shop hands to the totems
// and the bonus previews for an opening or closing at once.
constexpr float kAtOnceSeconds = 0.05f;

float SecondsOf(float fadeSpeed) { return fadeSpeed > 0.0f ? 1.0f / fadeSpeed : kAtOnceSeconds; }
float SpeedOf(float fadeSpeed) { return fadeSpeed > 0.0f ? fadeSpeed : 1.0f / kAtOnceSeconds; }

} // namespace

CShop::CShop(CountedHandle<CGameScreens> screens, ShopBoardLinks board,
             CountedHandle<CParticleSystemsManager> dustParticles, CountedHandle<CSpriteRenderer> sprites,
             CountedHandle<CParticleSystemsManager> starParticles, CountedHandle<CTextBatch> texts,
             CountedHandle<CBitmapFont> font)
    : m_screens(std::move(screens)), m_board(std::move(board)), m_dustParticles(std::move(dustParticles)),
      m_sprites(std::move(sprites)), m_starParticles(std::move(starParticles)), m_texts(std::move(texts)),
      m_font(std::move(font))
{
    m_sandboxSprites.reserve(2);
    m_stars.reserve(80);
    m_frameStars.reserve(80);
    m_stubSprites.reserve(60);
}

CShop::~CShop()
{
    DestroyStars();
    if (m_sprites) {
        for (auto* list : {&m_sandboxSprites, &m_stubSprites, &m_crackingStubs})
            for (const auto& sprite : *list)
                m_sprites->Remove(sprite);
    }
    if (m_sandboxDust)
        m_sandboxDust->StopEmitting();
    if (m_texts && m_sandboxNote)
        m_texts->Remove(m_sandboxNote);
}

void CShop::LoadSettings(const std::string& path, const char* section)
{
    const std::string format = GetString(kNoteString);
    if (!format.empty())
        m_noteFormat = format.substr(0, 79);
    m_skin = ReadShopSkin(path, section);
}

void CShop::SetTextures(CountedHandle<CTexture> sandboxFront, CountedHandle<CTexture> sandboxGlass,
                        CountedHandle<CTexture> dust, CountedHandle<CTexture> star1, CountedHandle<CTexture> star2,
                        CountedHandle<CTexture> star3, CountedHandle<CTexture> halo,
                        CountedHandle<CTexture> pointer)
{
    m_textures = {std::move(sandboxFront), std::move(sandboxGlass), std::move(dust), std::move(star1),
                  std::move(star2),        std::move(star3),        std::move(halo), std::move(pointer)};
}

// ---- The form ----

const CGameScreens::ShopForm* CShop::Form() const
{
    return m_screens && m_screens->shop.form ? &m_screens->shop : nullptr;
}

CQoForm* CShop::FormWindow() const { return m_screens ? m_screens->shop.form.Get() : nullptr; }

bool CShop::FormActive() const
{
    const CQoForm* form = FormWindow();
    return form && form->active;
}

bool CShop::FormTakesInput() const
{
    const CQoForm* form = FormWindow();
    return form && form->active && form->IsEnabled();
}

// ---- Positions ----

float CShop::RestDepth() const
{
    const CQoForm* form = FormWindow();
    return (form ? form->Position().z : 0.0f) + m_skin.starsZShift;
}

int32_t CShop::RestZOrder() const
{
    const CQoForm* form = FormWindow();
    return ClampedZOrder(static_cast<int64_t>(form ? form->zOrder : 0) + m_skin.starsZOrderShift);
}

Vec2 CShop::PanelSlot(int k, int n) const
{
    const float left = m_skin.panelLeft.x, width = m_skin.panelWidth;
    float spacing = kPanelStep;
    // One star stands at the panel's first slot, however narrow the panel.
    if (n > 1 && static_cast<float>(n) * kPanelStep > width)
        spacing = std::max((width - kPanelStep) / static_cast<float>(n - 1), 0.0f);
    const float x = left + kPanelStep / 2 + static_cast<float>(k) * spacing;
    return {std::floor(x) + 0.5f, m_skin.panelLeft.y};
}

Vec2 CShop::PanelStation(int slot) const
{
    const float left = m_skin.panelLeft.x, width = m_skin.panelWidth;
    slot = std::max(slot, 0);
    float x = left + kPanelStep / 2 + kPanelStep * static_cast<float>(slot);
    if (static_cast<float>(slot + 1) * kPanelStep > width)
        x = std::max(left + width - kPanelStep / 2, left + kPanelStep / 2);
    return {x + m_skin.starStationToFly.x, m_skin.panelLeft.y + m_skin.starStationToFly.y};
}

Vec2 CShop::BarSlot(int item, int slot) const
{
    const CGameScreens::ShopForm* form = Form();
    const size_t at = static_cast<size_t>(item);
    const int32_t m = items.maxLevels[at];
    const size_t table = m <= 3 ? 0 : 1;
    const size_t s = static_cast<size_t>(std::clamp(slot, 0, std::max(m, 1) - 1));
    const Vec2& shift = m_skin.starShifts[table][s];
    if (!form || !form->bars[at])
        return shift;
    const Vec3& centre = form->bars[at]->Position();
    return {centre.x + shift.x, centre.y + shift.y};
}

// ---- Stars ----

CShop::StarHandle CShop::NewStar() const
{
    StarHandle star = MakeCountedHandle(new CShopStar());
    star->SetResources(m_starParticles, m_sprites, m_textures[kStarTexture1], m_textures[kStarTexture2],
                       m_textures[kStarTexture3]);
    star->SetTail(m_skin.starTailSize, m_skin.starTailIntensity, m_skin.starTailColor);
    return star;
}

void CShop::DestroyStars() { m_stars.clear(); }

void CShop::SetNoStarsMarker() const
{
    const CGameScreens::ShopForm* form = Form();
    if (form && form->noStars)
        form->noStars->SetVisible(items.goldenStars < 1);
}

void CShop::RebuildStars(float fadeSpeed)
{
    DestroyStars();
    const float z = RestDepth();
    const int32_t zOrder = RestZOrder();
    for (int i = 0; i < CShopItemTable::kItems; ++i) {
        const int32_t bought =
            std::min(items.levels[static_cast<size_t>(i)], items.maxLevels[static_cast<size_t>(i)]);
        for (int s = 0; s < bought; ++s) {
            StarHandle star = NewStar();
            const Vec2 at = BarSlot(i, s);
            star->PlaceOnItem(at.x, at.y, z, zOrder);
            star->SetTargetItem(i);
            star->Show(true, fadeSpeed);
            m_stars.push_back(star);
        }
    }
    const int n = items.goldenStars;
    for (int k = 0; k < n; ++k) {
        StarHandle star = NewStar();
        const Vec2 at = PanelSlot(k, n);
        star->PlaceInPanel(at.x, at.y, z, zOrder);
        star->Show(true, fadeSpeed);
        m_stars.push_back(star);
    }
    SetNoStarsMarker();
}

void CShop::RebuildPanelStars()
{
    m_stars.erase(std::remove_if(m_stars.begin(), m_stars.end(),
                                 [](const StarHandle& s) { return s->GetKind() == CShopStar::kInPanel; }),
                  m_stars.end());
    const float z = RestDepth();
    const int32_t zOrder = RestZOrder();
    const int n = items.goldenStars;
    for (int k = 0; k < n; ++k) {
        StarHandle star = NewStar();
        const Vec2 at = PanelSlot(k, n);
        star->PlaceInPanel(at.x, at.y, z, zOrder);
        m_stars.push_back(star);
    }
    SetNoStarsMarker();
}

// ---- Opening and closing ----

void CShop::FadeSprite(const CountedHandle<CSprite>& sprite, float fadeSpeed) const
{
    if (fadeSpeed <= 0.0f) {
        sprite->SetAlphaNow(1.0f);
        return;
    }
    sprite->SetAlphaNow(0.0f);
    sprite->fadeSpeed = fadeSpeed;
    sprite->FadeTo(1.0f);
}

void CShop::OpenSandGlass(float fadeSpeed)
{
    if (m_sprites)
        for (const auto& sprite : m_sandboxSprites)
            m_sprites->Remove(sprite);
    m_sandboxSprites.clear();
    const CQoForm* form = FormWindow();
    const float formZ = form ? form->Position().z : 0.0f;
    const int64_t formZOrder = form ? form->zOrder : 0;
    const bool locked = items.limits[CShopItemTable::kSandGlassItem] < 1;
    const Vec3& front = m_skin.sandboxFront;
    const Vec2& size = m_skin.sandboxFrontSize;

    const int32_t frontZOrder = ClampedZOrder(formZOrder + m_skin.sandboxFrontZOrderShift);
    auto make = [&](int texture, float z, uint32_t colour, const Vec4& rect, int32_t zOrder) {
        auto sprite = MakeCountedHandle(
            new CSprite(front.x, front.y, z, size.x, size.y, colour, m_textures[static_cast<size_t>(texture)], 1));
        sprite->SetBlendMode(1, 0);
        sprite->SetFrameRect(0, rect.x, rect.y, rect.z, rect.w);
        sprite->zOrder = zOrder;
        FadeSprite(sprite, fadeSpeed);
        if (m_sprites)
            m_sprites->Add(sprite);
        m_sandboxSprites.push_back(sprite);
    };
    const float frontZ = formZ + front.z;
    make(kSandboxFrontTexture, frontZ, UnderLock(kOpaque, locked), m_skin.sandboxFrontT, frontZOrder);
    make(kSandboxGlassTexture, frontZ - 0.1f, UnderLock(m_skin.sandboxGlassColor, locked), m_skin.sandboxGlassT,
         ClampedZOrder(static_cast<int64_t>(frontZOrder) - 1));

    if (m_sandboxDust)
        m_sandboxDust->StopEmitting();
    m_sandboxDust.Reset();
    if (m_dustParticles) {
        const float dust = m_skin.sandboxDustSize, a = m_skin.sandboxDustAlpha;
        CSmokesSpringParametres p(front.x, front.y, frontZ + 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                                  size.x - 1.5f * dust, 0.001f, 0.25f, 0.25f, m_skin.sandboxDustColor,
                                  kSmokeAlphaBlend);
        p.rise = 12.0f;
        p.riseSpread = 3.0f;
        p.size = dust;
        p.sizeSpread = dust * 0.5f;
        p.growth = dust * 0.1f;
        p.growthSpread = dust * 0.025f;
        p.fadeRate = a;
        p.fadeSpread = a * 0.25f;
        p.fadeInRate = a * 2.0f;
        p.duration = 10000000.0f;
        p.rate = 40.0f;
        m_sandboxDust = m_dustParticles->AddSmokes(&p, 160, m_textures[kDustTexture]);
        if (m_sandboxDust) {
            m_sandboxDust->SetOpacityFactor(locked ? 0.0f : a);
            // The glass starts with its dust already in the air.
            m_sandboxDust->Update(0.5f);
        }
    }

    if (m_texts && m_sandboxNote)
        m_texts->Remove(m_sandboxNote);
    m_sandboxNote.Reset();
    if (m_font && m_texts) {
        auto note = MakeCountedHandle(new CText(m_font));
        note->SetBoxSize(1.0f, 1.0f);
        note->layer = kTextLayerOverlay;
        note->colour = UnderLock(m_skin.sandboxNoteColor, locked);
        note->SetCharSize(m_font->header3f, m_font->header3f);
        note->alignment = CText::CENTER;
        note->SetText(NoteText(items.levels[CShopItemTable::kSandGlassItem]));
        note->origin[0] = m_skin.sandboxNote.x;
        note->origin[1] = m_skin.sandboxNote.y;
        note->origin[2] = formZ + m_skin.sandboxNote.z;
        note->fadeFactor = m_skin.sandboxNoteAlpha * m_openFraction;
        note->ApplyColor();
        m_sandboxNote = m_texts->Add(note);
    }
}

std::string CShop::NoteText(int level) const
{
    const int seconds = static_cast<int>(BalanceFivePlusTen(level));
    // The format is the string table's, which a player may edit: it is
    // filled only when it takes exactly the one number.
    if (!FormatTakes(m_noteFormat, "d"))
        return m_noteFormat;
    char text[80];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, m_noteFormat.c_str(), seconds);
#pragma GCC diagnostic pop
    return text;
}

void CShop::Show(int open, float fadeSpeed, int levelNumber)
{
    m_pointerTimer = 0.0f;
    m_levelNumber = levelNumber;
    const CGameScreens::ShopForm* form = Form();
    if (open == 0) {
        m_openedAtOnce = false;
        SettleStars();
        m_shopTotems = {};
        if (m_board.totems)
            m_board.totems->FadeOutAll(SpeedOf(fadeSpeed));
        if (fadeSpeed <= 0.0f) {
            CloseAtOnce();
            return;
        }
        m_fadeDirection = -1;
        m_fadeSpeed = fadeSpeed;
        const float life = 1.0f / fadeSpeed;
        auto fadeAway = [&](const CountedHandle<CSprite>& sprite) {
            sprite->fadeSpeed = fadeSpeed;
            sprite->FadeTo(0.0f);
            sprite->timed = 1;
            sprite->timeLeft = life;
        };
        for (const auto& sprite : m_sandboxSprites)
            fadeAway(sprite);
        m_sandboxSprites.clear();
        if (m_sandboxDust)
            m_sandboxDust->StopEmitting();
        m_sandboxDust.Reset();
        for (int b = 0; b < 6; ++b)
            ReleaseBonusPreview(b, life);
        for (const StarHandle& star : m_stars)
            star->Show(false, fadeSpeed);
        for (const auto& stub : m_stubSprites)
            fadeAway(stub);
        m_stubSprites.clear();
        if (m_sprites)
            for (const auto& stub : m_crackingStubs)
                m_sprites->Remove(stub);
        m_crackingStubs.clear();
        return;
    }

    if (fadeSpeed > 0.0f) {
        m_fadeDirection = 1;
        m_fadeSpeed = fadeSpeed;
    } else {
        m_fadeDirection = 0;
        m_fadeSpeed = 0.0f;
        m_openFraction = 1.0f;
        m_openedAtOnce = true;
    }
    ApplyTotemLevels();
    if (m_board.totems) {
        m_board.totems->RefreshShopLevels(SpeedOf(fadeSpeed));
        m_shopTotems = m_board.totems->shopTotems;
    }
    if (m_screens)
        m_screens->SetClockWipe(LevelTimeLimit(items.levels[CShopItemTable::kTimeItem]) /
                                (m_board.balance ? m_board.balance->timeGaugeScale : 720.0f));
    OpenSandGlass(fadeSpeed);
    if (form)
        for (size_t g = 0; g < form->levelGroups.size(); ++g)
            form->levelGroups[g].SetVisible(static_cast<int>(g) == items.levels[CShopItemTable::kGemsItem]);
    for (int item = CShopItemTable::kTimeItem; item <= CShopItemTable::kGemsItem; ++item) {
        const bool locked = items.limits[static_cast<size_t>(item)] < 1;
        ColourRuleItem(item, locked);
        if (form)
            form->ruleLocks[static_cast<size_t>(item - CShopItemTable::kTimeItem)].SetVisible(locked);
    }
    for (int b = 0; b < 6; ++b) {
        const int32_t level = items.levels[static_cast<size_t>(CShopItemTable::kFirstBonusItem + b)];
        ReleaseBonusPreview(b, kAtOnceSeconds);
        if (form)
            form->bonusGroups[static_cast<size_t>(b)].SetVisible(level < 0);
        MakeBonusPreview(b, level, SecondsOf(fadeSpeed));
    }
    RebuildStars(fadeSpeed);
    BuildStubs(fadeSpeed);
    UpdateButtons();
    for (int i = 0; i < CShopItemTable::kItems; ++i)
        ColourItemControls(i, items.limits[static_cast<size_t>(i)] >= 1 ? kOpaque : kHalfShown);
    m_hoveredItem = m_hoveredEntry = m_hoveredTextKind = -1;
    if (form && form->tip)
        form->tip->SetText(GetString(kTipString));
}

void CShop::CloseAtOnce()
{
    m_fadeDirection = 0;
    m_fadeSpeed = 0.0f;
    m_openFraction = 0.0f;
    if (m_sprites)
        for (auto* list : {&m_sandboxSprites, &m_stubSprites, &m_crackingStubs})
            for (const auto& sprite : *list)
                m_sprites->Remove(sprite);
    m_sandboxSprites.clear();
    m_stubSprites.clear();
    m_crackingStubs.clear();
    if (m_sandboxDust)
        m_sandboxDust->Kill();
    m_sandboxDust.Reset();
    for (int b = 0; b < 6; ++b)
        ReleaseBonusPreview(b, 0.0f);
    if (m_texts && m_sandboxNote)
        m_texts->Remove(m_sandboxNote);
    m_sandboxNote.Reset();
    DestroyStars();
}

bool CShop::StepFade(float dt)
{
    if (m_openedAtOnce) {
        m_openedAtOnce = false;
        UnlockItems(m_levelNumber);
        return true;
    }
    if (m_fadeDirection > 0) {
        if (m_fadeSpeed <= 0.0f || m_openFraction + dt * m_fadeSpeed >= 1.0f) {
            m_fadeDirection = 0;
            m_openFraction = 1.0f;
            m_fadeSpeed = 0.0f;
        } else {
            m_openFraction += dt * m_fadeSpeed;
        }
        if (m_sandboxNote) {
            m_sandboxNote->fadeFactor = m_skin.sandboxNoteAlpha * m_openFraction;
            m_sandboxNote->ApplyColor();
        }
        if (m_openFraction >= 1.0f) {
            UnlockItems(m_levelNumber);
            return true;
        }
    } else if (m_fadeDirection < 0) {
        if (m_fadeSpeed <= 0.0f || m_openFraction - dt * m_fadeSpeed <= 0.0f) {
            m_openFraction = 0.0f;
            m_fadeDirection = 0;
            m_fadeSpeed = 0.0f;
        } else {
            m_openFraction -= dt * m_fadeSpeed;
        }
        if (m_sandboxNote && m_openFraction > 0.0f) {
            m_sandboxNote->fadeFactor = m_skin.sandboxNoteAlpha * m_openFraction;
            m_sandboxNote->ApplyColor();
        } else if (m_sandboxNote) {
            if (m_texts)
                m_texts->Remove(m_sandboxNote);
            m_sandboxNote.Reset();
        }
        if (m_openFraction <= 0.0f)
            DestroyStars();
    }
    return false;
}
