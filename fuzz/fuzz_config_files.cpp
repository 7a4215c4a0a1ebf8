// The settings files a damaged installation can hand the game ("Gems.cfg",
// "Bonus.cfg", "Totems.cfg", "Skin.cfg" with its [Shop] section): any text
// is read by each of their readers without fault, and what they keep is
// what the game can draw and count with: finite numbers, and times, sizes
// and speeds that something divides by above 0.
#include "FuzzInput.h"
#include "bonuses/BonusParameters.h"
#include "engine/Log.h"
#include "layout/QuestLayout.h"
#include "platform/Profile.h"
#include "shop/ShopSkin.h"
#include "totems/TotemsManager.h"

#include <cmath>
#include <string>

using fuzz_input::Check;

namespace {

void Finite(float v) { Check(std::isfinite(v)); }
void Finite(const Vec2& v)
{
    Finite(v.x);
    Finite(v.y);
}
void Finite(const Vec3& v)
{
    Finite(v.x);
    Finite(v.y);
    Finite(v.z);
}
void Finite(const Vec4& v)
{
    Finite(v.x);
    Finite(v.y);
    Finite(v.z);
    Finite(v.w);
}
void Finite(const TextureRect& r)
{
    Finite(r.u0);
    Finite(r.v0);
    Finite(r.u1);
    Finite(r.v1);
}
void Positive(float v) { Check(std::isfinite(v) && v > 0.0f); }

void CheckGems(const GemParameters& g)
{
    Finite(g.targetPos);
    Positive(g.flyTime);
    Finite(g.gemSize);
    Finite(g.haloSize);
    Positive(g.haloT);
    Positive(g.smallFlareT);
    Positive(g.bigFlareT);
    Positive(g.standardRadius);
    for (int i = 0; i < GemParameters::kValues; ++i) {
        Finite(g.smallFlareOrigins[i]);
        Finite(g.bigFlareOrigins[i]);
    }
}

void CheckBonuses(const BonusParameters& b)
{
    for (int i = 0; i < 3; ++i) {
        Finite(b.wireCentres[i]);
        Finite(b.wireAxes[i]);
        Finite(b.wireNormals[i]);
    }
    for (float size : b.tntRingSizes)
        Finite(size);
    Finite(b.expSparkCount);
    Finite(b.timeTarget);
    Finite(b.adviserTarget);
    Finite(b.tailSize);
    Finite(b.boltSpeed);
    Finite(b.hintRefresh);
}

void CheckLayout(const CQuestLayout& l)
{
    Finite(l.boardOrigin);
    Positive(l.cellSize);
    Positive(l.tokenRadius);
    Check(l.framePieces.size() <= 64);
    for (const FramePiece& p : l.framePieces)
        Finite(p.rect);
    Finite(l.comboMessagePos);
    Finite(l.arrowWinSize);
    Finite(l.flagMoveTime);
}

void CheckShopSkin(const ShopSkin& s)
{
    Finite(s.backgroundSpeed);
    Finite(s.sandboxFront);
    Finite(s.sandboxFrontT);
    Check(s.sandboxDustSize >= 0.0f);
    Positive(s.starFlySpeed);
    Positive(s.stubHaloLifeTime);
    Positive(s.stubT);
    Positive(s.pointersT);
    Positive(s.pointersLifeTime);
    Check(s.starTailIntensity >= 0.0f && s.starTailIntensity <= 1000.0f);
    Check(s.disabledAlpha >= 0.0f && s.disabledAlpha <= 1.0f);
}

void CheckTotems(const CTotemsManager& t)
{
    Finite(t.layout.center);
    Positive(t.layout.inTime);
    Positive(t.layout.outTime);
    Positive(t.layout.switchInTime);
    Positive(t.layout.backTime);
    for (int c = 0; c < CTotemsManager::kColours; ++c) {
        const size_t k = static_cast<size_t>(c);
        Finite(t.layout.pos[k]);
        Finite(t.panelLayout.dark[k]);
        Finite(t.panelLayout.contourT[k]);
        for (float v : t.panelLayout.darkT[k])
            Finite(v);
        Finite(t.shopLayout.pic[k]);
        Finite(t.shopLayout.picT[k]);
        Finite(t.shopLayout.totem[k]);
    }
    Finite(t.panelLayout.baseT);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    const std::string path = fuzz_input::WriteSettled("Settings.cfg", data, size);
    plat::ForgetParsedFiles(path);

    GemParameters gems;
    gems.Load(path);
    CheckGems(gems);
    BonusParameters bonuses;
    bonuses.Load(path);
    CheckBonuses(bonuses);
    CQuestLayout layout;
    layout.Load(path);
    CheckLayout(layout);
    CheckShopSkin(ReadShopSkin(path, "Shop"));
    CTotemsManager totems;
    totems.LoadConfig(path);
    CheckTotems(totems);
    return 0;
}
