// The manager's pictures: its own textures and their swap between the play
// and shop atlases, the panel beside the board (a base, and a dark
// silhouette with a contour for every colour not owned), the shop's
// pictures per colour, and the fades that take all of it off the screen.
#include "totems/TotemsManager.h"

#include "engine/Log.h"
#include "platform/D3DX.h"

#include <cmath>

namespace {

// The manager's own pictures, in loading order.
enum OwnPicture {
    kSmallTotems,
    kShadows,
    kLights,
    kTimeDigits,
    kVioletGlowRays,
    kUnigem,
    kSteelCaps,
    kPaintStream,
    kPaintDrop,
    kRedPicture,
    kOrangePicture,
    kVioletPicture,
    kGreenPicture,
    kYellowPicture,
    kBluePicture,
    kWhitePicture,
    kTotemBase,
    kTotemDark,
    kTotemContour,
    kOwnPictures
};

const char* const kFiles[kOwnPictures] = {
    "SmallTotem1.png", "TotemShadows.jpg", "TotemLights.png", "TimeDigits.png",  "VioletGlowRays.tga",
    "Unigem.tga",      "SteelCapsT.png",   "PaintStream.png", "PaintDrop.png",   "RedTotem.png",
    "OrangeTotem.png", "VioletTotem.png",  "GreenTotem.png",  "YellowTotem.png", "BlueTotem.png",
    "WhiteTotem.png",  "TotemBase.tga",    "TotemDark2.tga",  "TotemContour.png"};

// The colour pictures in the order they are swapped.
struct Atlas {
    int picture;
    const char* play;
    const char* shop;
    const char* name;
};
const Atlas kAtlases[] = {{kRedPicture, "RedTotem.png", "RedTotemShop.png", "RedTotem"},
                          {kOrangePicture, "OrangeTotem.png", "OrangeTotemShop.png", "OrangeTotem"},
                          {kVioletPicture, "VioletTotem.png", "VioletTotemShop.png", "VioletTotem"},
                          {kGreenPicture, "GreenTotem.png", "GreenTotemShop.png", "GreenTotem"},
                          {kYellowPicture, "YellowTotem.png", "YellowTotemShop.png", "YellowTotem"},
                          {kBluePicture, "BlueTotem.png", "BlueTotemShop.png", "BlueTotem"},
                          {kWhitePicture, "WhiteTotem.png", "WhiteTotemShop.png", "WhiteTotem"}};

// Each colour's own picture.
constexpr int kColourPictures[kTotemColours] = {kGreenPicture,  kYellowPicture, kRedPicture,   kBluePicture,
                                                kOrangePicture, kWhitePicture,  kVioletPicture};

// The question sign in ShopColor.
const TextureRect kQuestionSign{0.8828125f, 0.359375f, 0.953125f, 0.46875f};

std::string NameOf(const char* file)
{
    const std::string name(file);
    return name.substr(0, name.find('.'));
}

// A picture that cannot be decoded (start-up read only its header) leaves
// the texture empty but keeps its name and file, so that the next swap
// still finds it and brings back the other picture.
void Recreate(CRenderDevice& device, CTexture* texture, const std::string& file, const char* name)
{
    if (!texture)
        return;
    if (!file.empty())
        texture->fileName = file;
    const std::string keptName = texture->name;
    const std::string keptFile = texture->fileName;
    if (texture->Recreate(device.Device()) < 0) {
        WriteLog(std::string("Error! ") + name + " Texture Recreate\n");
        texture->name = keptName;
        texture->fileName = keptFile;
    }
}

} // namespace

bool CTotemsManager::LoadTextures(const std::string& folder, std::string* failedPicture)
{
    m_texturesLoaded = false;
    m_pictures.assign(kOwnPictures, {});
    if (!m_device)
        return false;
    auto fail = [&](const char* file) {
        WriteLog(std::string("Unable to load ") + file + " Texture!\n");
        if (failedPicture)
            *failedPicture = folder + file;
        return false;
    };
    // Registered by their headers: they come into memory when the totems
    // are first drawn, which the main menu never does.
    for (int i = 0; i < kOwnPictures; ++i) {
        m_pictures[static_cast<size_t>(i)] = m_device->RegisterTexture(folder + kFiles[i], NameOf(kFiles[i]), 0, 0,
                                                                       d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
        // The violet glow is only a decoration: the totems go on without it.
        if (!m_pictures[static_cast<size_t>(i)] && i != kVioletGlowRays)
            return fail(kFiles[i]);
    }
    // The shop's pictures take the place of the level's when the shop shows
    // and are decoded then; their headers are read now, as the level's are,
    // so that one missing or damaged is found at start-up.
    for (const Atlas& atlas : kAtlases) {
        d3d::D3DXIMAGE_INFO header;
        if (!d3d::D3DXGetImageInfoFromFile(folder + atlas.shop, &header))
            return fail(atlas.shop);
    }
    m_texturesLoaded = true;
    return true;
}

void CTotemsManager::SetTextures(const std::array<CountedHandle<CTexture>, kSharedPictures>& shared)
{
    m_shared = shared;
}

TotemResources CTotemsManager::Resources(int colour) const
{
    TotemResources r;
    if (!CanDraw())
        return r; // the totem runs unseen
    r.sprites = m_sprites;
    r.particles = m_particles;
    r.flares = m_flares;
    auto own = [&](int i) { return m_pictures[static_cast<size_t>(i)]; };
    auto shared = [&](SharedPicture i) { return m_shared[static_cast<size_t>(i)]; };
    r.textures = {own(kSmallTotems), own(kShadows), own(kLights), own(kColourPictures[colour]), shared(kHalo1)};
    switch (colour) {
    case kRedTotem:
        r.textures.insert(r.textures.end(), {shared(kSpellFuzzy), shared(kFireCloud)});
        break;
    case kOrangeTotem:
        r.textures.insert(r.textures.end(),
                          {own(kTimeDigits), shared(kStarParticle), shared(kTwirl), shared(kPanelGlass)});
        break;
    case kVioletTotem:
        r.textures.push_back(own(kVioletGlowRays));
        break;
    case kGreenTotem:
        r.textures.insert(r.textures.end(), {shared(kStarParticle), shared(kGemFlares), own(kUnigem),
                                             shared(kChain), shared(kChainAlpha)});
        break;
    case kYellowTotem:
        r.textures.insert(r.textures.end(), {shared(kGemFlares), shared(kFireCloud), shared(kLightning)});
        break;
    case kBlueTotem:
        r.textures.insert(r.textures.end(), {own(kSteelCaps), shared(kLightning), shared(kSpark)});
        break;
    default:
        r.textures.insert(r.textures.end(), {own(kPaintStream), shared(kCloud), own(kPaintDrop)});
        break;
    }
    return r;
}

bool CTotemsManager::RecreateTextures(bool toShop, const std::string& folder)
{
    if (!m_device || !m_texturesLoaded)
        return true;
    CRenderDevice& device = *m_device;
    auto own = [&](int i) { return m_pictures[static_cast<size_t>(i)].Get(); };
    auto shared = [&](SharedPicture i) { return m_shared[static_cast<size_t>(i)].Get(); };
    for (const Atlas& atlas : kAtlases)
        Recreate(device, own(atlas.picture), folder + (toShop ? atlas.shop : atlas.play), atlas.name);
    if (toShop) {
        own(kTotemDark)->ReleaseD3DResource();
        own(kTotemContour)->ReleaseD3DResource();
        Recreate(device, shared(kShopColor), "", "ShopColor");
        Recreate(device, shared(kShopMul), "", "ShopMul");
        Recreate(device, shared(kShopBW), "", "ShopBW");
    } else {
        for (SharedPicture shop : {kShopColor, kShopMul, kShopBW})
            if (shared(shop))
                shared(shop)->ReleaseD3DResource();
        Recreate(device, own(kTotemDark), "", "TotemDark2");
        Recreate(device, own(kTotemContour), "", "TotemContour");
    }
    device.ForgetBindings();
    m_shopPictures = toShop;
    return true;
}

// ---- The panel ----

void CTotemsManager::BuildPanel(bool shown)
{
    if (m_sprites)
        for (const auto& sprite : m_panel)
            m_sprites->Remove(sprite);
    m_panel.clear();
    panelShown = shown;
    if (!CanDraw())
        return;
    auto add = [&](const Vec3& at, const Vec2& size, uint32_t colour, int picture, int zOrder) {
        auto sprite = MakeCountedHandle(
            new CSprite(at.x, at.y, at.z, size.x, size.y, colour, m_pictures[static_cast<size_t>(picture)], 1));
        sprite->zOrder = zOrder;
        sprite->visible = shown;
        m_panel.push_back(sprite);
        return sprite;
    };
    const TextureRect& b = panelLayout.baseT;
    auto base = add(panelLayout.base, panelLayout.baseSize, 0xFFFFFFFF, kTotemBase, layout.bottomZOrder + 3);
    base->SetFrameRect(0, b.u0, b.v0, b.u1, b.v1);
    base->SetBlendMode(1, 3);
    for (int c = 0; c < kColours; ++c) {
        const size_t k = static_cast<size_t>(c);
        if (OwnedLevel(c) > 0)
            continue;
        auto dark = add(panelLayout.dark[k], panelLayout.darkSize[k], 0xFFFFFFFF,
                        panelLayout.darkTexture[k] ? kTotemDark : kTotemBase, layout.bottomZOrder + 2);
        dark->SetFrameQuad(0, panelLayout.darkT[k].data());
        dark->SetBlendMode(1, 2);
    }
    for (int c = 0; c < kColours; ++c) {
        const size_t k = static_cast<size_t>(c);
        if (OwnedLevel(c) > 0)
            continue;
        auto contour = add(panelLayout.contour[k], panelLayout.darkSize[k], panelLayout.contourColor,
                           kTotemContour, layout.bottomZOrder + 1);
        const TextureRect& t = panelLayout.contourT[k];
        contour->SetFrameRect(0, t.u0, t.v0, t.u1, t.v1);
    }
    for (const auto& sprite : m_panel)
        m_sprites->Add(sprite);
}

void CTotemsManager::ShowPanel(bool shown, float speed)
{
    panelShown = shown;
    if (!m_sprites)
        return;
    const bool fade = std::isfinite(speed) && speed > 0.0f;
    for (const auto& sprite : m_panel) {
        if (fade) {
            sprite->fadeSpeed = speed;
            if (shown && !sprite->visible) {
                sprite->SetAlphaNow(0.0f);
                m_sprites->SetVisible(sprite, true);
            }
            sprite->FadeTo(shown ? 1.0f : 0.0f);
            continue;
        }
        if ((sprite->visible != 0) != shown)
            m_sprites->SetVisible(sprite, shown);
        if (shown)
            sprite->SetAlphaNow(1.0f);
    }
}

// ---- Leaving the screen ----

void CTotemsManager::FadeSprite(const CountedHandle<CSprite>& sprite, float speed) const
{
    if (!std::isfinite(speed) || speed <= 0.0f) {
        if (m_sprites)
            m_sprites->Remove(sprite);
        return;
    }
    sprite->fadeSpeed = speed;
    sprite->FadeTo(0.0f);
    sprite->dropWhenFaded = 1;
}

void CTotemsManager::FadeOutAll(float speed)
{
    for (auto& entry : m_placed)
        entry.Reset();
    for (auto& entry : shopTotems)
        entry.Reset();
    // Nothing stands in front any more: a later match starts afresh.
    pendingColour = -1;
    charge = 0;
    ready = true;
    m_queue.clear();
    for (const auto& totem : m_totems)
        Dismiss(*totem, speed);
    for (auto& list : m_shopSprites) {
        for (const auto& sprite : list)
            FadeSprite(sprite, speed);
        list.clear();
    }
}

// ---- The shop ----

CountedHandle<CSprite> CTotemsManager::MakeShopSprite(const Vec3& at, float w, float h, uint32_t colour,
                                                      const CountedHandle<CTexture>& texture, const TextureRect& r,
                                                      int zOrder, float speed, int blend)
{
    auto sprite = MakeCountedHandle(new CSprite(at.x, at.y, at.z, w, h, colour, texture, 1));
    sprite->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
    sprite->SetBlendMode(1, blend);
    sprite->zOrder = zOrder;
    if (std::isfinite(speed) && speed > 0.0f) {
        sprite->SetAlphaNow(0.0f);
        sprite->fadeSpeed = speed;
        sprite->FadeTo(1.0f);
    }
    m_sprites->Add(sprite);
    return sprite;
}

void CTotemsManager::SetShopLevel(int colour, int level, float speed)
{
    if (colour < 0 || colour >= kColours)
        return;
    const size_t c = static_cast<size_t>(colour);
    if (shopTotems[c])
        RemoveTotem(shopTotems[c], speed);
    for (const auto& sprite : m_shopSprites[c])
        FadeSprite(sprite, speed);
    m_shopSprites[c].clear();
    levels[c] = level;
    if (level > 0) {
        shopTotems[c] = CreateTotem(colour, kShopTotem, level, true);
        const Vec3& at = shopLayout.totem[c];
        shopTotems[c]->SetPosition(at.x, at.y, at.z);
        return;
    }
    if (!CanDraw())
        return;
    const Vec3& at = shopLayout.pic[c];
    const Vec2& size = shopLayout.picSize[c];
    const TextureRect& t = shopLayout.picT[c];
    std::vector<CountedHandle<CSprite>>& list = m_shopSprites[c];
    const int z = shopLayout.zOrder;
    if (level < 0) {
        list.push_back(
            MakeShopSprite(at, size.x, size.y, shopLayout.contourDarkColor, m_shared[kShopMul], t, z, speed, 2));
        list.push_back(
            MakeShopSprite(at, size.x, size.y, shopLayout.contourColor, m_shared[kShopBW], t, z - 1, speed, 0));
        list.push_back(MakeShopSprite(shopLayout.qSign[c], 36.0f, 56.0f, shopLayout.qSignColor,
                                      m_shared[kShopColor], kQuestionSign, z - 2, speed, 0));
        return;
    }
    list.push_back(
        MakeShopSprite(at, size.x, size.y, shopLayout.availableColor, m_shared[kShopColor], t, z, speed, 0));
}

void CTotemsManager::RefreshShopLevels(float speed)
{
    for (int c = 0; c < kColours; ++c)
        SetShopLevel(c, levels[static_cast<size_t>(c)], speed);
}
