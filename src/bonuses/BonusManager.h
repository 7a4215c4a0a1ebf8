// The owner of every live bonus of the board. It keeps the shared drawing
// services and the pictures the bonuses draw with, makes bonuses of each
// kind and hands them their resources, updates the shown ones once a frame,
// drops those that are done, and gathers what they raised into one list of
// pending events, each stamped with its bonus, for the board to read right
// after the update.
//
// The start-up makes it once: SetResources, LoadTextures, SetTextures. The
// board holds it through a counted handle; the shop makes bonuses with it
// for its previews.
#pragma once

#include "bonuses/Bonus.h"
#include "bonuses/BonusKit.h"
#include "engine/RenderDevice.h"
#include "events/GameEvent.h"

#include <string>
#include <vector>

class CBonusManager {
public:
    CBonusManager();
    ~CBonusManager();
    CBonusManager(const CBonusManager&) = delete;
    CBonusManager& operator=(const CBonusManager&) = delete;

    // The pictures, in the order of the manager's slots (a member of the
    // class: the totems name some of their own shared pictures alike).
    enum BonusTexture : int {
        kAllGemLights,
        kAllGems,
        kGemFlares,
        kStarParticle,
        kBonus1,
        kBonus2,
        kBonus3,
        kBonus4,
        kBonus5,
        kRing,
        kHalo1,
        kSpark,
        kLightning,
        kTwirl,
        kSecondTwirl,
        kPanelGlass,
        kBonusTextureCount
    };

    // Renderers 1 and flare renderer 1 draw riding bonuses over the caps,
    // renderer 2 fired gems over the gems bar, renderer 3 with the second
    // particles and flare renderer what flies over the HUD.
    void SetResources(CountedHandle<CSpriteRenderer> sprites1, CountedHandle<CFlareRenderer> flares1,
                      CountedHandle<CParticleSystemsManager> particlesOne, CountedHandle<CSpriteRenderer> sprites2,
                      CountedHandle<CParticleSystemsManager> particlesTwo, CountedHandle<CFlareRenderer> flares2,
                      CountedHandle<CSpriteRenderer> sprites3);
    // The manager's own eight pictures from the graphics folder, registered
    // with the device. The first that cannot be loaded is logged ("Unable
    // to load Bonus3 Texture!") and ends the loading with false, its path in
    // `failedPicture` when given.
    bool LoadTextures(const CountedHandle<CRenderDevice>& device, const std::string& graphicsFolder,
                      std::string* failedPicture = nullptr);
    // The pictures the game loaded for everyone.
    void SetTextures(CountedHandle<CTexture> starParticle, CountedHandle<CTexture> halo1,
                     CountedHandle<CTexture> ring, CountedHandle<CTexture> spark,
                     CountedHandle<CTexture> lightning, CountedHandle<CTexture> twirl,
                     CountedHandle<CTexture> secondTwirl, CountedHandle<CTexture> panelGlass);

    // A gem of value 0 .. 7 (any other value makes none), built; with `add`
    // also in the list.
    CountedHandle<CBonus> CreateGem(int32_t value, int add);
    // A bonus of kind 2 .. 7 at level `param` (any other kind makes none),
    // built in the riding renderers unless `overHud` is set; with `add` also
    // in the list.
    CountedHandle<CBonus> CreateBonus(int32_t kind, int32_t param, int overHud, int add);
    // Appends it with the manager's factor; its index.
    int AddBonus(const CountedHandle<CBonus>& bonus);
    // The first entry holding this bonus (or the first empty entry for an
    // empty handle) leaves the list; its former index, or -1.
    int RemoveBonus(const CountedHandle<CBonus>& bonus);
    void RemoveAll();

    void Update(float dt);
    // No event waits and every bonus, shown or not, is idle.
    bool IsIdle() const;
    // No event waits and every bonus rests on its token.
    bool AllPlaced() const;

    CountedHandle<CSpriteRenderer> spriteRenderer1;
    CountedHandle<CFlareRenderer> flareRenderer1;
    CountedHandle<CParticleSystemsManager> particles1;
    CountedHandle<CSpriteRenderer> spriteRenderer2;
    CountedHandle<CParticleSystemsManager> particles2;
    CountedHandle<CFlareRenderer> flareRenderer2;
    CountedHandle<CSpriteRenderer> spriteRenderer3;
    CountedHandle<CTexture> textures[kBonusTextureCount];
    std::vector<CountedHandle<CBonus>> bonuses; // in the order they were made
    float factor = 1.0f;
    GameEventVector pending; // this frame's events, bonus by bonus

private:
    // Resources, draw group, factor, Build and the list: what every kind
    // gets after its own SetResources.
    template <class Kind>
    CountedHandle<CBonus> Finish(const CountedHandle<Kind>& bonus, int32_t param, int overHud, int add);
};
