#include "bonuses/BonusManager.h"

#include "bonuses/BonusAdviser.h"
#include "bonuses/BonusFlash.h"
#include "bonuses/BonusGem.h"
#include "bonuses/BonusScore.h"
#include "bonuses/BonusSolidarity.h"
#include "bonuses/BonusTNT.h"
#include "bonuses/BonusTime.h"
#include "engine/Log.h"

#include <algorithm>

using namespace d3d;

CBonusManager::CBonusManager() : pending(128) { bonuses.reserve(64); }

CBonusManager::~CBonusManager()
{
    pending.Clear();
    bonuses.clear();
}

void CBonusManager::SetResources(CountedHandle<CSpriteRenderer> sprites1, CountedHandle<CFlareRenderer> flares1,
                                 CountedHandle<CParticleSystemsManager> particlesOne,
                                 CountedHandle<CSpriteRenderer> sprites2,
                                 CountedHandle<CParticleSystemsManager> particlesTwo,
                                 CountedHandle<CFlareRenderer> flares2, CountedHandle<CSpriteRenderer> sprites3)
{
    spriteRenderer1 = std::move(sprites1);
    flareRenderer1 = std::move(flares1);
    particles1 = std::move(particlesOne);
    spriteRenderer2 = std::move(sprites2);
    particles2 = std::move(particlesTwo);
    flareRenderer2 = std::move(flares2);
    spriteRenderer3 = std::move(sprites3);
}

bool CBonusManager::LoadTextures(const CountedHandle<CRenderDevice>& device, const std::string& graphicsFolder,
                                 std::string* failedPicture)
{
    enum Loader { ForAlpha, Plain, AutoFormat };
    struct Entry {
        const char* file;
        const char* name;
        Loader loader;
        BonusTexture slot;
    };
    static const Entry kTable[] = {
        {"AllGemLights.jpg", "AllGemLights", ForAlpha, kAllGemLights},
        {"AllGems.png", "AllGems", Plain, kAllGems},
        {"GemFlares.tga", "GemFlares", AutoFormat, kGemFlares},
        {"Bonus1.png", "Bonus1", Plain, kBonus1},
        {"Bonus2.tga", "Bonus2", Plain, kBonus2},
        {"Bonus3.tga", "Bonus3", Plain, kBonus3},
        {"Bonus4.tga", "Bonus4", Plain, kBonus4},
        {"Bonus5.tga", "Bonus5", Plain, kBonus5},
    };
    static const std::vector<D3DFORMAT> kFlareFormats = {D3DFMT_A1R5G5B5, D3DFMT_A4L4, D3DFMT_A8R3G3B2,
                                                         D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_A8R8G8B8};
    for (const Entry& e : kTable) {
        const std::string file = graphicsFolder + e.file;
        CountedHandle<CTexture> texture;
        if (device) {
            switch (e.loader) {
            case ForAlpha:
                texture = device->LoadTextureForAlpha(file, e.name, 1, 0, D3DPOOL_MANAGED);
                break;
            case Plain:
                texture = device->LoadTexture(file, e.name, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
                break;
            case AutoFormat:
                texture = device->LoadTextureAutoFormat(file, e.name, kFlareFormats, 0, 0, D3DPOOL_MANAGED);
                break;
            }
        }
        if (!texture) {
            WriteLog(std::string("Unable to load ") + e.name + " Texture!\n");
            if (failedPicture)
                *failedPicture = file;
            return false;
        }
        textures[e.slot] = texture;
    }
    return true;
}

void CBonusManager::SetTextures(CountedHandle<CTexture> starParticle, CountedHandle<CTexture> halo1,
                                CountedHandle<CTexture> ring, CountedHandle<CTexture> spark,
                                CountedHandle<CTexture> lightning, CountedHandle<CTexture> twirl,
                                CountedHandle<CTexture> secondTwirl, CountedHandle<CTexture> panelGlass)
{
    textures[kStarParticle] = std::move(starParticle);
    textures[kHalo1] = std::move(halo1);
    textures[kRing] = std::move(ring);
    textures[kSpark] = std::move(spark);
    textures[kLightning] = std::move(lightning);
    textures[kTwirl] = std::move(twirl);
    textures[kSecondTwirl] = std::move(secondTwirl);
    textures[kPanelGlass] = std::move(panelGlass);
}

CountedHandle<CBonus> CBonusManager::CreateGem(int32_t value, int add)
{
    // The value picks the gem's colour in every table and atlas.
    if (value < 0 || value > 7)
        return {};
    auto gem = MakeCountedHandle(new CBonusGem());
    gem->value = value;
    gem->SetResources(spriteRenderer1, flareRenderer1, spriteRenderer2, particles2, flareRenderer2,
                      textures[kAllGemLights], textures[kAllGems], textures[kGemFlares], textures[kStarParticle]);
    gem->factor = factor;
    gem->Build();
    CountedHandle<CBonus> bonus = gem;
    if (add)
        AddBonus(bonus);
    return bonus;
}

template <class Kind>
CountedHandle<CBonus> CBonusManager::Finish(const CountedHandle<Kind>& made, int32_t param, int overHud, int add)
{
    CountedHandle<CBonus> bonus = made;
    bonus->param = param;
    bonus->SetDrawGroup(overHud ? 0 : 1);
    bonus->factor = factor;
    bonus->Build();
    if (add)
        AddBonus(bonus);
    return bonus;
}

CountedHandle<CBonus> CBonusManager::CreateBonus(int32_t kind, int32_t param, int overHud, int add)
{
    const CountedHandle<CTexture>* t = textures;
    switch (kind) {
    case kBonusTnt: {
        auto tnt = MakeCountedHandle(new CBonusTNT());
        tnt->param = param;
        tnt->SetResources(spriteRenderer1, particles1, spriteRenderer3, particles2, t[kBonus1], t[kHalo1],
                          t[kRing], t[kSpark]);
        return Finish(tnt, param, overHud, add);
    }
    case kBonusFlash: {
        auto flash = MakeCountedHandle(new CBonusFlash());
        flash->param = param;
        flash->SetResources(spriteRenderer1, particles1, flareRenderer1, spriteRenderer3, particles2,
                            flareRenderer2, t[kBonus2], t[kHalo1], t[kLightning], t[kSpark]);
        return Finish(flash, param, overHud, add);
    }
    case kBonusTime: {
        auto time = MakeCountedHandle(new CBonusTime());
        time->param = param;
        time->SetResources(spriteRenderer1, particles1, flareRenderer1, spriteRenderer3, particles2,
                           flareRenderer2, t[kBonus3], t[kTwirl], t[kSecondTwirl], t[kStarParticle],
                           t[kPanelGlass]);
        return Finish(time, param, overHud, add);
    }
    case kBonusAdviser: {
        auto adviser = MakeCountedHandle(new CBonusAdviser());
        adviser->param = param;
        adviser->SetResources(spriteRenderer1, particles1, flareRenderer1, spriteRenderer3, particles2,
                              flareRenderer2, t[kBonus4], t[kGemFlares], t[kSpark]);
        return Finish(adviser, param, overHud, add);
    }
    case kBonusScore: {
        auto score = MakeCountedHandle(new CBonusScore());
        score->param = param;
        score->SetResources(spriteRenderer1, particles1, flareRenderer1, spriteRenderer3, particles2,
                            flareRenderer2, t[kBonus3], t[kStarParticle]);
        return Finish(score, param, overHud, add);
    }
    case kBonusSolidarity: {
        auto solidarity = MakeCountedHandle(new CBonusSolidarity());
        solidarity->param = param;
        solidarity->SetResources(spriteRenderer1, particles1, flareRenderer1, spriteRenderer3, particles2,
                                 flareRenderer2, t[kBonus5]);
        return Finish(solidarity, param, overHud, add);
    }
    default:
        // Gems come only from CreateGem.
        return {};
    }
}

int CBonusManager::AddBonus(const CountedHandle<CBonus>& bonus)
{
    bonuses.push_back(bonus);
    if (bonus)
        bonus->factor = factor;
    return static_cast<int>(bonuses.size()) - 1;
}

int CBonusManager::RemoveBonus(const CountedHandle<CBonus>& bonus)
{
    const auto it = std::find(bonuses.begin(), bonuses.end(), bonus);
    if (it == bonuses.end())
        return -1;
    const int index = static_cast<int>(it - bonuses.begin());
    bonuses.erase(it);
    return index;
}

void CBonusManager::RemoveAll() { bonuses.clear(); }

void CBonusManager::Update(float dt)
{
    pending.Clear();
    for (size_t i = 0; i < bonuses.size();) {
        CBonus* bonus = bonuses[i].Get();
        // A hidden bonus waits, its events with it.
        if (!bonus || !bonus->visible) {
            ++i;
            continue;
        }
        if (!bonus->Update(dt)) {
            // What it raised in its last update goes with it.
            bonuses.erase(bonuses.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const size_t n = bonus->events.Size();
        for (size_t k = 0; k < n; ++k) {
            GameEvent e = bonus->events.At(k);
            e.sender = bonuses[i];
            pending.Push(e);
        }
        bonus->events.Clear();
        ++i;
    }
}

bool CBonusManager::IsIdle() const
{
    if (!pending.Empty())
        return false;
    return std::all_of(bonuses.begin(), bonuses.end(),
                       [](const CountedHandle<CBonus>& b) { return !b || b->IsIdle(); });
}

bool CBonusManager::AllPlaced() const
{
    if (!pending.Empty())
        return false;
    return std::all_of(bonuses.begin(), bonuses.end(),
                       [](const CountedHandle<CBonus>& b) { return !b || b->state == kBonusPlaced; });
}
