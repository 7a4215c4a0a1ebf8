// The seven power totems of a level and their life: the owned levels, a
// small totem beside the board for every owned colour, the colour of a
// match brought forward as a large totem, consecutive matches counted as its
// charge, the power started when the charge is complete and the totem sent
// back afterwards; what the powers do reaches the board as action records.
// The manager also reads "Totems.cfg", holds the totems' pictures, and draws
// the panel beside the board and the shop's pictures.
//
// Without a sprite renderer or without its pictures (tests, the level lab)
// the totems run their logic and make no sprite.
#pragma once

#include "audio/SoundManager.h"
#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/RenderDevice.h"
#include "engine/Sprite.h"
#include "totems/BlueTotem.h"
#include "totems/GreenTotem.h"
#include "totems/OrangeTotem.h"
#include "totems/RedTotem.h"
#include "totems/Totem.h"
#include "totems/TotemAction.h"
#include "totems/VioletTotem.h"
#include "totems/WhiteTotem.h"
#include "totems/YellowTotem.h"

#include <array>
#include <deque>
#include <string>
#include <vector>

class CBalanceState;
class CParticleSystemsManager;

// Section "Shared": where the totems stand and how long they fly.
struct TotemsLayout {
    Vec3 center{0, 0, -45}; // the totem in front
    Vec2 mainSize{128, 128};
    std::array<Vec3, kTotemColours> pos; // where a large totem starts and ends its flights
    Vec2 smallSize{48, 48};
    Vec2 pixSmallSize{80, 80};
    std::array<Vec3, kTotemColours> smallPos; // the small totems beside the board
    int32_t bottomZOrder = -40;
    Vec2 smallTextureSize{256, 256}, shadowTextureSize{512, 512}, lightTextureSize{256, 128};
    float inTime = 0.5f, outTime = 0.25f, switchInTime = 0.5f, backTime = 0.25f;
};

// The panel beside the board: its base, and a dark picture with a contour
// for every colour not owned.
struct TotemsPanelLayout {
    Vec3 base;
    Vec2 baseSize;
    TextureRect baseT;
    std::array<Vec3, kTotemColours> dark, contour;
    std::array<Vec2, kTotemColours> darkSize;
    std::array<int32_t, kTotemColours> darkTexture{}; // 0: TotemBase's, else TotemDark2's
    std::array<std::array<float, 8>, kTotemColours> darkT{};
    std::array<TextureRect, kTotemColours> contourT;
    uint32_t contourColor = 0;
    Vec2 shopSize{192, 192};
    Vec2 shopTexturesSize{512, 512};
};

// Section "Shop": every colour's picture in its item card.
struct TotemsShopLayout {
    float z = -10;
    int32_t zOrder = -10;
    std::array<Vec3, kTotemColours> pic; // centre, at depth z
    std::array<Vec2, kTotemColours> picSize;
    std::array<TextureRect, kTotemColours> picT;
    std::array<Vec3, kTotemColours> qSign; // the question sign
    std::array<Vec3, kTotemColours> totem; // the shop totem
    uint32_t contourColor = 0, contourDarkColor = 0, availableColor = 0, qSignColor = 0;
};

class CTotemsManager {
public:
    static constexpr int kColours = kTotemColours;

    CTotemsManager();
    ~CTotemsManager();
    CTotemsManager(const CTotemsManager&) = delete;
    CTotemsManager& operator=(const CTotemsManager&) = delete;

    // ---- Start-up ----
    void SetRenderers(CountedHandle<CRenderDevice> device, CountedHandle<CSpriteRenderer> sprites,
                      CountedHandle<CParticleSystemsManager> particles, CountedHandle<CFlareRenderer> flares,
                      CBalanceState* balance);
    void LoadConfig(const std::string& path);
    // False at the first picture that does not load (its line is logged),
    // its path in `failedPicture` when given. The shop's pictures of the
    // colours are read as well, though they are put on the device only when
    // the shop shows: a picture the totems cannot show ends the start-up
    // whether the level or the shop shows it.
    bool LoadTextures(const std::string& folder, std::string* failedPicture = nullptr);
    // The game's twelve shared pictures, in this order: Halo1, SpellFuzzy,
    // FireCloud, StarParticle, Twirl, PanelGlass (may be empty), GemFlares,
    // Lightning, Spark, Cloud, the chain picture and its second texture;
    // then the shop's ShopColor, ShopMul and ShopBW.
    enum SharedPicture {
        kHalo1,
        kSpellFuzzy,
        kFireCloud,
        kStarParticle,
        kTwirl,
        kPanelGlass,
        kGemFlares,
        kLightning,
        kSpark,
        kCloud,
        kChain,
        kChainAlpha,
        kShopColor,
        kShopMul,
        kShopBW,
        kSharedPictures
    };
    void SetTextures(const std::array<CountedHandle<CTexture>, kSharedPictures>& shared);

    // ---- Play ----
    // A level starts: nothing pending, a small totem for every owned colour.
    void Reset();
    // The board found a run of a colour 0..6.
    void QueueTotem(int colour);
    // The frame: at most one queued colour taken, every totem processed;
    // the number of action records made.
    int Update(float dt);
    bool IsIdle() const { return ready && m_queue.empty(); }
    // Play stops: the totem in front goes back.
    void PlacePendingTotem();
    void SetBlueTotemsActive(bool on);
    int CountOwnedColours() const;
    const std::vector<TotemAction>& Actions() const { return m_actions; }

    // ---- The board's answers to the powers' requests ----
    // Each reaches the colour's totem only while its power runs.
    // Green: the gem tokens' points (a ray to each), the points and cells
    // of the plain tokens to secure gems on; one delay per ray is appended
    // to `delays`: the time until the ray takes its gem.
    void StrikeGreen(const std::vector<Vec2>& gems, const std::vector<Vec2>& points,
                     const std::vector<TotemCell>& cells, std::vector<float>* delays);
    // Blue: the steel tokens' points and cells.
    void StrikeBlue(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells);
    // White: the chosen tokens' points and cells.
    void StrikeWhite(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells);
    // The green unigems in flight or landed, in the order launched; the
    // board places the gems of the landed ones and empties the list.
    std::vector<CountedHandle<CFlareList>>* GreenUnigems();

    // ---- Panel and shop ----
    void BuildPanel(bool shown);
    // Fades are speeds in opacity a second; 0 or less is at once.
    void ShowPanel(bool shown, float speed);
    // Every totem fades out and leaves, and the shop's pictures with them.
    void FadeOutAll(float speed);
    // The colour's shop picture for an item level: -1 not offered, 0 for
    // sale, above 0 the totem itself.
    void SetShopLevel(int colour, int level, float speed);
    void RefreshShopLevels(float speed);
    // Swaps the colour pictures between the play and the shop atlases.
    bool RecreateTextures(bool toShop, const std::string& folder);

    // ---- Totems ----
    CountedHandle<CTotem> CreateTotem(int colour, int mode, int level, bool registerIt);
    void RegisterTotem(const CountedHandle<CTotem>& totem);
    void RemoveFromList(const CountedHandle<CTotem>& totem);
    void RemoveTotem(const CountedHandle<CTotem>& totem, float speed);
    // The level a colour's totems are built at: 0 when not owned (0 or
    // less), and never above the colour's highest (blue 3, the others 4).
    int OwnedLevel(int colour) const;
    const std::vector<CountedHandle<CTotem>>& Totems() const { return m_totems; }
    const CountedHandle<CTotem>& Placed(int colour) const { return m_placed[static_cast<size_t>(colour)]; }
    size_t QueuedCount() const { return m_queue.size(); }
    const std::vector<CountedHandle<CSprite>>& PanelSprites() const { return m_panel; }
    const std::vector<CountedHandle<CSprite>>& ShopSprites(int colour) const
    {
        return m_shopSprites[static_cast<size_t>(colour)];
    }
    bool ShopPicturesLoaded() const { return m_shopPictures; }

    TotemsLayout layout;
    TotemsPanelLayout panelLayout;
    TotemsShopLayout shopLayout;
    RedTotemParametres redParams;
    OrangeTotemParametres orangeParams;
    VioletTotemParametres violetParams;
    GreenTotemParametres greenParams;
    YellowTotemParametres yellowParams;
    BlueTotemParametres blueParams;
    WhiteTotemParametres whiteParams;
    std::array<CountedHandle<CTotemShapeSet>, kColours> shapeSets;

    std::array<int32_t, kColours> levels{}; // owned level per colour; 0 or less: not owned
    int32_t pendingColour = -1;             // the totem in front, -1 none
    int32_t charge = 0;
    bool ready = true; // a queued colour may be taken
    bool blueActive = false;
    bool panelShown = false;
    float totemFactor = 1.0f;
    std::array<CountedHandle<CTotem>, kColours> shopTotems;
    CountedHandle<CSoundManager> sounds;

private:
    static void SwitchTargets(CTotem& totem, bool on);
    static void Dismiss(CTotem& totem, float speed);
    void TakeQueued(int colour);
    void BringForward(int colour, int zOrder, float time);
    void SendBack();
    void OnEvent(const CountedHandle<CTotem>& totem);
    // What the totem's power asks of the board in this frame, as records.
    void Collect(CTotem& totem);
    void Record(int type, int column, int row, int value, int amount = 0, float weight = 0.0f);
    void CollectBlue(CBlueTotem& blue);
    void CollectWhite(CWhiteTotem& white);
    // The colour's current totem while its power runs, else null.
    CTotem* Powering(int colour) const;
    void PlaySound(const char* name, const float* pannedX = nullptr) const;
    TotemResources Resources(int colour) const;
    bool CanDraw() const { return m_sprites && m_texturesLoaded; }
    CountedHandle<CSprite> MakeShopSprite(const Vec3& at, float w, float h, uint32_t colour,
                                          const CountedHandle<CTexture>& texture, const TextureRect& r, int zOrder,
                                          float speed, int blend);
    void FadeSprite(const CountedHandle<CSprite>& sprite, float speed) const;

    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CFlareRenderer> m_flares;
    // The balance state it stored for the powers (TotemBalance.h).
    CBalanceState* m_balance = nullptr;
    std::deque<int> m_queue;
    // The manager's own pictures in loading order, then the shared ones.
    std::vector<CountedHandle<CTexture>> m_pictures;
    std::array<CountedHandle<CTexture>, kSharedPictures> m_shared;
    bool m_texturesLoaded = false;
    bool m_shopPictures = false;
    std::vector<CountedHandle<CTotem>> m_totems;
    std::array<CountedHandle<CTotem>, kColours> m_placed;
    std::vector<TotemAction> m_actions;
    std::vector<CountedHandle<CSprite>> m_panel;
    std::array<std::vector<CountedHandle<CSprite>>, kColours> m_shopSprites;
    bool m_resort = false;
};
