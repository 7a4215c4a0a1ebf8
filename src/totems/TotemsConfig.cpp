// Reading "Totems.cfg" into the manager: the shared layout, every colour's
// record and shapes, and the shop's pictures. A missing file or key takes
// the default, a value that is not a finite number too, and a time or
// speed that would never end a flight or a fade keeps its default.
#include "totems/TotemsManager.h"

#include "engine/CheckedSettings.h"

namespace {

Vec3 ScreenRect(const float r[5], Vec2* size)
{
    *size = {r[3], r[4]};
    return {r[0] + r[3] * 0.5f - 512.5f, 384.5f - r[1] - r[4] * 0.5f, r[2]};
}

TextureRect TexelRect(const float r[4], float width, float height)
{
    return {r[0] / width, r[1] / height, r[2] / width, r[3] / height};
}

} // namespace

void CTotemsManager::LoadConfig(const std::string& path)
{
    CheckSettingsFile(path);
    float r[8];
    CTotemSection shared(path, "Shared");
    shared.Floats("Center", "152 600 -45", r, 3);
    layout.center = ScreenPoint(r[0], r[1], r[2]);
    layout.mainSize = shared.Size("MainSize", "128 128");
    for (int c = 0; c < kColours; ++c) {
        shared.Floats(KeyOf("Pos%d", c).c_str(), "20 512 -40", r, 3);
        layout.pos[static_cast<size_t>(c)] = ScreenPoint(r[0], r[1], r[2]);
    }
    layout.smallSize = shared.Pair("SmallSize", "48 48");
    layout.pixSmallSize = shared.Size("PixSmallSize", "80 80");
    for (int c = 0; c < kColours; ++c) {
        shared.Floats(KeyOf("SmallPos%d", c).c_str(), "20 512 -40", r, 3);
        layout.smallPos[static_cast<size_t>(c)] = ScreenPoint(r[0], r[1], r[2]);
    }
    layout.bottomZOrder = shared.Int("BottomZOrder", "40");
    layout.inTime = shared.Positive("InTime", "0.5");
    layout.outTime = shared.Positive("OutTime", "0.25");
    // The flight back has no key of its own: "SwitchInTime" times both.
    layout.switchInTime = shared.Positive("SwitchInTime", "0.5");
    layout.backTime = shared.Positive("SwitchInTime", "0.25");
    layout.smallTextureSize = shared.Size("SmallTextureSize", "256 256");
    layout.shadowTextureSize = shared.Size("ShadowTextureSize", "512 512");
    layout.lightTextureSize = shared.Size("LightTextureSize", "256 128");

    shared.Floats("Base", "48 474 -37 192 192", r, 5);
    panelLayout.base = ScreenRect(r, &panelLayout.baseSize);
    shared.Floats("BaseT", "0 0 192 192", r, 4);
    panelLayout.baseT = TexelRect(r, 256.0f, 256.0f);
    for (int c = 0; c < kColours; ++c) {
        const size_t k = static_cast<size_t>(c);
        shared.Floats(KeyOf("Dark%d", c).c_str(), "217 560 -38 60 76", r, 5);
        panelLayout.dark[k] = ScreenRect(r, &panelLayout.darkSize[k]);
        panelLayout.contour[k] = {panelLayout.dark[k].x, panelLayout.dark[k].y, panelLayout.dark[k].z - 1.0f};
        panelLayout.darkTexture[k] = shared.Int(KeyOf("DarkTexture%d", c).c_str(), "0");
        const float side = panelLayout.darkTexture[k] ? 128.0f : 256.0f;
        shared.Floats(KeyOf("DarkT%d", c).c_str(), "194 0 254 0 254 76 194 76", r, 8);
        for (int i = 0; i < 8; ++i)
            panelLayout.darkT[k][static_cast<size_t>(i)] = r[i] / side;
        shared.Floats(KeyOf("ContourT%d", c).c_str(), "120 0 180 76", r, 4);
        panelLayout.contourT[k] = TexelRect(r, 256.0f, 256.0f);
    }
    panelLayout.contourColor = shared.Color("ContourColor", "255 255 72 255");
    panelLayout.shopSize = shared.Size("ShopSize", "192 192");
    panelLayout.shopTexturesSize = shared.Size("ShopTexturesSize", "512 512");

    // The colours, in the file's order.
    struct Colour {
        const char* section;
        int colour;
    };
    static const Colour kSections[] = {{"Red", kRedTotem},     {"Orange", kOrangeTotem}, {"Violet", kVioletTotem},
                                       {"Green", kGreenTotem}, {"Yellow", kYellowTotem}, {"Blue", kBlueTotem},
                                       {"White", kWhiteTotem}};
    const float mainW = layout.mainSize.x, mainH = layout.mainSize.y;
    for (const Colour& entry : kSections) {
        CTotemSection s(path, entry.section);
        const Vec2 mainTexture = s.Size("MainTextureSize", "512 256");
        const Vec2 shopTexture = s.Size("ShopTextureSize", "512 256");
        const PictureScale picture{mainW, mainH, mainTexture.x, mainTexture.y};
        const PictureScale smallPicture{layout.pixSmallSize.x, layout.pixSmallSize.y, mainTexture.x,
                                        mainTexture.y};
        switch (entry.colour) {
        case kRedTotem:
            LoadRedTotemParameters(s, &redParams);
            break;
        case kOrangeTotem:
            LoadOrangeTotemParameters(s, &orangeParams);
            break;
        case kVioletTotem:
            LoadVioletTotemParameters(s, picture, &violetParams);
            break;
        case kGreenTotem:
            LoadGreenTotemParameters(s, picture, layout.shadowTextureSize.x, layout.shadowTextureSize.y,
                                     &greenParams);
            break;
        case kYellowTotem:
            LoadYellowTotemParameters(s, picture, &yellowParams);
            break;
        case kBlueTotem:
            LoadBlueTotemParameters(s, picture, smallPicture, &blueParams);
            break;
        default:
            LoadWhiteTotemParameters(s, picture, &whiteParams);
            break;
        }
        TotemShapeSizes sizes{};
        sizes.smallPicture[0] = layout.pixSmallSize.x;
        sizes.smallPicture[1] = layout.pixSmallSize.y;
        sizes.smallTexture[0] = layout.smallTextureSize.x;
        sizes.smallTexture[1] = layout.smallTextureSize.y;
        sizes.shadowTexture[0] = layout.shadowTextureSize.x;
        sizes.shadowTexture[1] = layout.shadowTextureSize.y;
        sizes.mainPicture[0] = mainW;
        sizes.mainPicture[1] = mainH;
        sizes.mainTexture[0] = mainTexture.x;
        sizes.mainTexture[1] = mainTexture.y;
        sizes.lightTexture[0] = layout.lightTextureSize.x;
        sizes.lightTexture[1] = layout.lightTextureSize.y;
        sizes.shopPicture[0] = panelLayout.shopSize.x;
        sizes.shopPicture[1] = panelLayout.shopSize.y;
        sizes.shopTexture[0] = shopTexture.x;
        sizes.shopTexture[1] = shopTexture.y;
        auto shapes = MakeCountedHandle(new CTotemShapeSet());
        LoadTotemShapes(path, entry.section, sizes, shapes.Get());
        shapeSets[static_cast<size_t>(entry.colour)] = shapes;
    }

    CTotemSection shop(path, "Shop");
    shopLayout.z = shop.Float("Z", "-10");
    shopLayout.zOrder = shop.Int("ZOrder", "-10");
    for (int c = 0; c < kColours; ++c) {
        const size_t k = static_cast<size_t>(c);
        shop.Floats(KeyOf("Pic%d", c).c_str(), "834 251 140 176", r, 4);
        shopLayout.pic[k] = {r[0] + r[2] * 0.5f - 511.5f, 384.5f - r[1] - r[3] * 0.5f, shopLayout.z};
        shopLayout.picSize[k] = {r[2], r[3]};
        shop.Floats(KeyOf("PicT%d", c).c_str(), "180 184 320 360", r, 4);
        shopLayout.picT[k] = TexelRect(r, panelLayout.shopTexturesSize.x, panelLayout.shopTexturesSize.y);
        const Vec2 q = shop.Pair(KeyOf("QShift%d", c).c_str(), "0 0");
        shopLayout.qSign[k] = {shopLayout.pic[k].x + q.x, shopLayout.pic[k].y - q.y, shopLayout.z - 2.0f};
        const Vec2 t = shop.Pair(KeyOf("TotemShift%d", c).c_str(), "0 0");
        shopLayout.totem[k] = {shopLayout.pic[k].x + t.x, shopLayout.pic[k].y - t.y, shopLayout.z - 5.0f};
    }
    shopLayout.contourColor = shop.Color("ContourColor", "255 255 72 255");
    shopLayout.contourDarkColor = shop.Color("ContourDarkColor", "255 255 255 128");
    shopLayout.availableColor = shop.Color("AvailableColor", "255 255 255 192");
    shopLayout.qSignColor = shop.Color("QSignColor", "255 255 255 89");
}
