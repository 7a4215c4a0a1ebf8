// The upgrade shop between quest levels: Golden Stars buy, upgrade and sell
// the sixteen items. The shop form (its cards, bars and buttons) is the
// menu screens'; the shop recolours, shows and fills its controls and puts
// everything else on it: the stars in the panel and on the bars, the stars
// flying between them, the stubs over slots not yet for sale and their
// cracking, the rings over slots that can still be bought, the sand glass
// with its dust and note, the bonus and totem previews, the tip texts.
//
// The game makes one shop at start-up, gives it its skin, textures and
// texts, opens it after a won level (Show), runs it every frame (Update),
// passes it the left button's presses and releases and the form's "+" and
// "-" commands, and closes it when the player is done.
//
// The parts live in files of their own: the item table's operations
// (ShopItems.cpp), the slots and the drop (ShopSlots.cpp), the look, the
// positions and the opening and closing (ShopScreen.cpp), the frame and the
// input (ShopInput.cpp).
#pragma once

#include "bonuses/BonusManager.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/BitmapFont.h"
#include "engine/CountedHandle.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "screens/GameScreens.h"
#include "shop/ShopItemTable.h"
#include "shop/ShopSkin.h"
#include "shop/ShopStar.h"
#include "totems/TotemsManager.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CBalanceState;

// What the shop reaches of the board: the totems manager whose shop
// displays and owned levels it sets, the bonus manager that makes its bonus
// previews and the size they are shown at, and the balance state it writes
// the bought levels into. Any of them may be missing; the steps that need
// it are skipped. The board that owns them outlives the shop.
struct ShopBoardLinks {
    CTotemsManager* totems = nullptr;
    CountedHandle<CBonusManager> bonuses;
    float bonusSize = 32.0f;
    CBalanceState* balance = nullptr;
};

class CShop {
public:
    // The textures, in the order SetTextures takes them.
    enum TextureSlot : int {
        kSandboxFrontTexture,
        kSandboxGlassTexture,
        kDustTexture,
        kStarTexture1, // the bar star and the stub
        kStarTexture2, // the panel star and the turning star
        kStarTexture3, // the sparkles of a star's tail
        kHaloTexture,
        kPointerTexture,
        kTextureCount
    };
    // The sound slots the shop plays.
    static constexpr int kUpgradeSound = 2;
    static constexpr int kExplodeSound = 43;
    static constexpr int kTipString = 14;
    static constexpr int kNoteString = 11;

    CShop(CountedHandle<CGameScreens> screens, ShopBoardLinks board,
          CountedHandle<CParticleSystemsManager> dustParticles, CountedHandle<CSpriteRenderer> sprites,
          CountedHandle<CParticleSystemsManager> starParticles, CountedHandle<CTextBatch> texts,
          CountedHandle<CBitmapFont> font);
    ~CShop();
    CShop(const CShop&) = delete;
    CShop& operator=(const CShop&) = delete;

    // ---- The look (ShopScreen.cpp) ----
    // The section of the skin file, and string 11 as the sand glass's note.
    void LoadSettings(const std::string& path, const char* section);
    void SetTextures(CountedHandle<CTexture> sandboxFront, CountedHandle<CTexture> sandboxGlass,
                     CountedHandle<CTexture> dust, CountedHandle<CTexture> star1, CountedHandle<CTexture> star2,
                     CountedHandle<CTexture> star3, CountedHandle<CTexture> halo, CountedHandle<CTexture> pointer);

    // ---- The items (ShopItems.cpp) ----
    // The stars on hand and those not bound to an item (flying back or
    // dragged).
    int CountAvailableStars() const;
    // Some item can still take a star.
    bool CanStillUpgrade() const;
    // Bars and "-" enabled with a star to take back; "+" enabled while the
    // item can take a star.
    void UpdateButtons();
    // The totem items' levels as the totems' owned levels (0: not owned).
    void ApplyTotemLevels();
    // The limits of a quest level: what they unlock is offered, uncovered
    // and its stubs queued to crack.
    void UnlockItems(int levelNumber);
    // An item's level and everything the shop shows of it; `animated` fades
    // and flies slowly.
    void SetItemLevel(int item, int level, bool animated);

    // ---- Opening and closing ----
    // open 1 opens the shop for the quest level it comes before, 0 closes
    // it; over 1 / fadeSpeed seconds, or at once for 0 or less.
    void Show(int open, float fadeSpeed, int levelNumber);
    void RebuildStars(float fadeSpeed);
    void RebuildPanelStars();
    // While the shop is on screen: opening, open or closing.
    bool IsShown() const { return m_fadeDirection != 0 || m_openFraction > 0.0f; }

    // ---- Slots and the drop (ShopSlots.cpp) ----
    void BuildStubs(float fadeSpeed);
    void OnMouseUp(float x, float y);

    // ---- The frame and the input (ShopInput.cpp) ----
    // 1 on the frame the opening completes.
    int Update(float dt, float x, float y);
    void OnMouseDown(float x, float y);
    // up: "+" sends a star to the item, else "-" takes its last one back;
    // false when refused.
    bool ChangeLevel(int item, int up);
    // Every moving star comes to rest at once, its level counted.
    void SettleStars();

    // ---- Positions ----
    // Star k of n stars on hand in the panel.
    Vec2 PanelSlot(int k, int n) const;
    // Where a star leaves the panel (slot n - 1 of n on hand) or joins it
    // (slot n), shifted by StarStationToFly.
    Vec2 PanelStation(int slot) const;
    // Bar slot s of an item.
    Vec2 BarSlot(int item, int slot) const;
    float RestDepth() const;
    int32_t RestZOrder() const;

    // The item levels, limits, stars on hand and texts; the game restores
    // and stores the levels and stars with the quest.
    CShopItemTable items;

    // ---- What tests and the game read ----
    const ShopSkin& Skin() const { return m_skin; }
    const std::string& NoteFormat() const { return m_noteFormat; }
    const CountedHandle<CTexture>& Texture(int slot) const { return m_textures[static_cast<size_t>(slot)]; }
    const std::vector<CountedHandle<CShopStar>>& Stars() const { return m_stars; }
    const std::vector<CountedHandle<CSprite>>& StubSprites() const { return m_stubSprites; }
    const std::vector<CountedHandle<CSprite>>& CrackingStubs() const { return m_crackingStubs; }
    const std::vector<CountedHandle<CSprite>>& SandboxSprites() const { return m_sandboxSprites; }
    const CountedHandle<CParticleSystem>& SandboxDust() const { return m_sandboxDust; }
    const CountedHandle<CText>& SandboxNote() const { return m_sandboxNote; }
    const std::array<CountedHandle<CBonus>, 6>& BonusPreviews() const { return m_bonusPreviews; }
    const std::array<CountedHandle<CTotem>, 7>& ShopTotems() const { return m_shopTotems; }
    float OpenFraction() const { return m_openFraction; }
    int FadeDirection() const { return m_fadeDirection; }
    int LevelNumber() const { return m_levelNumber; }
    float RaysAngle() const { return m_raysAngle; }
    float StubTimer() const { return m_stubTimer; }
    float PointerTimer() const { return m_pointerTimer; }
    int HoveredItem() const { return m_hoveredItem; }
    int HoveredEntry() const { return m_hoveredEntry; }
    int HoveredTextKind() const { return m_hoveredTextKind; }

private:
    using StarHandle = CountedHandle<CShopStar>;

    // The point lies on the control's rectangle, edges included.
    static bool Hit(const CQoWindow* control, float x, float y);
    const CGameScreens::ShopForm* Form() const;
    CQoForm* FormWindow() const;
    bool FormActive() const;
    bool FormTakesInput() const;
    // A new star with the shop's resources and tail.
    StarHandle NewStar() const;
    // The number of stars on their way to an item.
    int StarsFlyingTo(int item) const;
    // The resting star on an item's bar furthest right, or -1.
    int RightmostStarOn(int item) const;
    int FirstStarOfKind(CShopStar::Kind kind) const;
    int IndexOf(const CShopStar* star) const;
    void SetNoStarsMarker() const;
    // A star landing on an item or in the panel, as a flight's end or a
    // settling has it.
    void LandOnItem(size_t index, bool withSound);
    void LandInPanel(size_t index);
    void PlaySound(int slot, float x) const;
    std::string NoteText(int level) const;
    // An item's first picture, bar and buttons, which a locked item shows
    // half transparent.
    void ColourItemControls(int item, uint32_t colour) const;
    // A locked rule item wears a lock over its card. What its well shows
    // (the clock, the sand glass with its dust and note, the gem count and
    // the form's words) would draw over that lock, so it waits unseen until
    // the item unlocks: the colour with no alpha.
    static uint32_t UnderLock(uint32_t argb, bool locked);
    // The colours of a rule item's list (6, 7 or 8), under its lock while it
    // is locked.
    void ColourRuleItem(int item, bool locked) const;
    void FadeSprite(const CountedHandle<CSprite>& sprite, float fadeSpeed) const;
    void OpenSandGlass(float fadeSpeed);
    // A bonus item's preview flies in where its cover is over `seconds`, and
    // fades out over `seconds` (none: it goes at once).
    void MakeBonusPreview(int group, int level, float seconds);
    void ReleaseBonusPreview(int group, float seconds);
    void CloseAtOnce();
    void DestroyStars();
    // Fade step of the frame; true on the frame the opening completes.
    bool StepFade(float dt);
    void StepHover(float x, float y);
    void StepStars(float dt, float x, float y);
    void StepRaysAndBackground(float dt);
    void StepStubs(float dt);
    void StepPointers(float dt);
    void CrackStub(const CountedHandle<CSprite>& stub);

    CountedHandle<CGameScreens> m_screens;
    ShopBoardLinks m_board;
    CountedHandle<CParticleSystemsManager> m_dustParticles;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CParticleSystemsManager> m_starParticles;
    CountedHandle<CTextBatch> m_texts;
    CountedHandle<CBitmapFont> m_font;
    std::array<CountedHandle<CTexture>, kTextureCount> m_textures;
    std::array<CountedHandle<CTotem>, 7> m_shopTotems;
    std::array<CountedHandle<CBonus>, 6> m_bonusPreviews;
    std::vector<CountedHandle<CSprite>> m_sandboxSprites;
    CountedHandle<CParticleSystem> m_sandboxDust;
    CountedHandle<CText> m_sandboxNote;
    float m_raysAngle = 0.0f;
    int m_fadeDirection = 0;
    float m_openFraction = 0.0f;
    float m_fadeSpeed = 0.0f;
    int m_levelNumber = 0;
    float m_stubTimer = 0.0f;
    std::vector<StarHandle> m_stars;
    // A frame's stars as they were when it began: arrivals rebuild the
    // panel and move the others in `m_stars`.
    std::vector<StarHandle> m_frameStars;
    std::vector<CountedHandle<CSprite>> m_stubSprites;
    std::vector<CountedHandle<CSprite>> m_crackingStubs;
    ShopSkin m_skin;
    std::string m_noteFormat = "%d sec";
    int m_hoveredItem = -1, m_hoveredEntry = -1, m_hoveredTextKind = -1;
    float m_pointerTimer = 0.0f;
    // An opening at once completes on the next frame.
    bool m_openedAtOnce = false;
    // The pictures the shop turns and scrolls, as the form drew them first:
    // the rays' texture rectangle and the background's first corner.
    bool m_picturesKnown = false;
    float m_raysRect[4] = {0, 0, 1, 1};
    Vec2 m_backgroundCorner;
};
