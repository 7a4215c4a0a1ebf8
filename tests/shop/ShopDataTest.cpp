// What the installation gives the shop: "Shop.txt" with every tip, the
// shop's texts in "Strings.txt", the pictures, and the "Shop" section of
// "Skin.cfg" fitted to "Shop.qof" and to the pictures.
#include "ShopTestSupport.h"

#include "engine/StringTable.h"
#include "platform/D3DX.h"

#include <set>

namespace {

struct Picture {
    d3d::DecodedImage image;
    uint32_t Alpha(int x, int y) const
    {
        return image.pixels[static_cast<size_t>(y) * image.width + static_cast<size_t>(x)] >> 24;
    }
};

Picture Read(const char* file)
{
    Picture p;
    EXPECT_TRUE(d3d::DecodeImageFile(std::string("Data\\Gfx\\") + file, &p.image)) << file;
    return p;
}

bool Inside(const CQoStatic& control, float x, float y, float margin = 0.0f)
{
    const Vec3& c = control.Position();
    const GuiSize& s = control.Size();
    return std::abs(x - c.x) + margin <= s.w / 2 && std::abs(y - c.y) + margin <= s.h / 2;
}

TEST(ShopData, EveryTipIsWrittenAndTheShopsStringsAreThere)
{
    ShopRig rig; // reads "Shop.txt"
    EXPECT_EQ(rig.log.Text(), "");
    const CShopItemTable& table = rig.shop->items;
    int texts = 0;
    for (int item = 0; item < CShopItemTable::kItems; ++item)
        for (int entry = 0; entry < table.Entries(item); ++entry)
            for (int kind = 0; kind < CShopItemTable::kTextKinds; ++kind) {
                ++texts;
                EXPECT_FALSE(table.Description(kind, item, entry).empty()) << item << " " << entry << " " << kind;
            }
    EXPECT_EQ(texts, 267);
    EXPECT_EQ(GetString(11), "%d sec");
    EXPECT_EQ(rig.shop->NoteFormat(), "%d sec");
    EXPECT_EQ(GetString(14),
              "Click \"+\" to upgrade an item. Click \"-\" to downgrade an item. Or just drag and drop "
              "Golden Stars to and from items.");
    EXPECT_EQ(GetString(44),
              "\nYou're awarded a Golden Star for each level you complete. Golden Stars are used to "
              "buy and then upgrade bonuses and Power Totems. To upgrade an item, click \"+\" or drag a "
              "Golden Star onto its status bar. To downgrade an item, click \"-\".");
}

TEST(ShopData, ThePicturesAreWhereTheShopLooksForThem)
{
    ShopRig rig;
    for (const char* name : {"ShopCtrls1", "ShopCtrls2"}) {
        EXPECT_TRUE(rig.device->FindTexture(name)) << name;
        const Picture p = Read((std::string(name) + ".png").c_str());
        EXPECT_EQ(p.image.width, 512u);
        EXPECT_EQ(p.image.height, 512u);
    }
    // The pointer: a ring, clear in its middle and outside.
    const Picture pointer = Read("ShopPointer.tga");
    ASSERT_EQ(pointer.image.width, 64u);
    EXPECT_EQ(pointer.Alpha(32, 32), 0u);
    EXPECT_EQ(pointer.Alpha(0, 0), 0u);
    EXPECT_GT(pointer.Alpha(32 + 23, 32), 200u);
}

// Every item's name stands whole on its card, at 640 x 480 too: its words
// inside its box with a screen pixel to spare at that size on either side,
// and the box between the card's well and the right end of its bar and
// buttons, clear of the card's frame.
TEST(ShopData, EveryNameFitsItsCard)
{
    ShopRig rig;
    const auto& form = rig.Form();
    const float pixel = 1024.0f / 640.0f;
    for (size_t i = 0; i < CShopItemTable::kItems; ++i) {
        const CQoStatic& name = *form.secondPictures[i];
        SCOPED_TRACE(name.MainText()->text);
        const float left = name.Position().x - name.Size().w / 2, right = name.Position().x + name.Size().w / 2;
        EXPECT_LE(name.MainText()->maxWidth + 2.0f * pixel, name.Size().w);
        const CQoStatic& well = *form.firstPictures[i];
        EXPECT_GE(left, well.Position().x + well.Size().w / 2);
        float end = 0.0f;
        for (const CountedHandle<CQoStatic>* c : {&form.bars[i], &form.plusButtons[i], &form.minusButtons[i]})
            end = std::max(end, (*c)->Position().x + (*c)->Size().w / 2);
        EXPECT_LE(right, end);
    }
}

TEST(ShopData, TheSkinFitsTheFormAndThePictures)
{
    ShopRig rig;
    const CShop& shop = *rig.shop;
    const ShopSkin& skin = shop.Skin();
    const auto& form = rig.Form();
    // The bars' slots: distinct and on their bar, for the stars and the stubs.
    for (int i = 0; i < CShopItemTable::kItems; ++i) {
        const int m = shop.items.maxLevels[static_cast<size_t>(i)];
        std::set<float> xs;
        for (int s = 0; s < m; ++s) {
            const Vec2 slot = shop.BarSlot(i, s);
            xs.insert(slot.x);
            EXPECT_TRUE(Inside(*form.bars[static_cast<size_t>(i)], slot.x, slot.y, 10.0f)) << i << " " << s;
            const Vec2& stub = skin.stubShifts[m - 3][static_cast<size_t>(s)];
            const Vec2& star = skin.starShifts[m - 3][static_cast<size_t>(s)];
            EXPECT_EQ(stub.x, star.x);
            EXPECT_EQ(stub.y, star.y);
        }
        EXPECT_EQ(xs.size(), static_cast<size_t>(m)) << i;
    }
    // The panel's stars, from one to many, inside the panel.
    for (int n : {1, 5, 9})
        for (int k : {0, n - 1}) {
            const Vec2 at = shop.PanelSlot(k, n);
            EXPECT_TRUE(Inside(*form.starsPanel, at.x, at.y, 24.0f)) << n << " " << k;
        }
    // The sand glass and its note on item 7's picture.
    const CQoStatic& picture = *form.firstPictures[CShopItemTable::kSandGlassItem];
    const Vec3& front = skin.sandboxFront;
    EXPECT_TRUE(Inside(picture, front.x, front.y, skin.sandboxFrontSize.x / 2));
    EXPECT_TRUE(Inside(picture, front.x, front.y, skin.sandboxFrontSize.y / 2));
    EXPECT_TRUE(Inside(picture, skin.sandboxNote.x, skin.sandboxNote.y, 8.0f));
    // The note hangs below the glass and the rays behind it.
    EXPECT_LE(skin.sandboxNote.y, front.y - skin.sandboxFrontSize.y / 2);
    EXPECT_LE(skin.sandboxNote.y, form.rays->Position().y - form.rays->Size().h / 2);
    // The rule items' captions stand whole in their picture wells, clear of
    // the cards' frames; the sand glass's under its note.
    const struct {
        const ControlRow& list;
        int item;
        const char* text;
    } captions[] = {{form.item6, CShopItemTable::kTimeItem, "of play"},
                    {form.item7, CShopItemTable::kSandGlassItem, "of frenzy"},
                    {form.item8, CShopItemTable::kGemsItem, "at a time"}};
    for (const auto& c : captions) {
        SCOPED_TRACE(c.text);
        const CQoStatic* caption = nullptr;
        for (size_t k = 0; k < c.list.Size(); ++k) {
            if (c.list.At(k)->MainText() && c.list.At(k)->MainText()->text == c.text)
                caption = c.list.At(k).Get();
        }
        ASSERT_TRUE(caption);
        const CQoStatic& well = *form.firstPictures[static_cast<size_t>(c.item)];
        const Vec3& at = caption->Position();
        const GuiSize& size = caption->Size();
        EXPECT_TRUE(Inside(well, at.x - size.w / 2, at.y - size.h / 2));
        EXPECT_TRUE(Inside(well, at.x + size.w / 2, at.y + size.h / 2));
        if (c.item == CShopItemTable::kSandGlassItem) {
            EXPECT_LE(at.y + size.h / 2, skin.sandboxNote.y - 16.0f); // the note writes downwards
        }
    }
    // Its pictures: inside the textures and not empty.
    const struct {
        const char* file;
        Vec4 rect;
    } glass[] = {{"SandboxFront.png", skin.sandboxFrontT}, {"SandboxGlass.tga", skin.sandboxGlassT}};
    for (const auto& g : glass) {
        SCOPED_TRACE(g.file);
        const Picture p = Read(g.file);
        ASSERT_EQ(p.image.width, 512u);
        const int x0 = static_cast<int>(g.rect.x * 512), y0 = static_cast<int>(g.rect.y * 512);
        const int x1 = static_cast<int>(g.rect.z * 512), y1 = static_cast<int>(g.rect.w * 512);
        ASSERT_TRUE(x0 >= 0 && y0 >= 0 && x1 <= 512 && y1 <= 512 && x0 < x1 && y0 < y1);
        EXPECT_NEAR(static_cast<float>(x1 - x0), skin.sandboxFrontSize.x, 0.5f);
        EXPECT_NEAR(static_cast<float>(y1 - y0), skin.sandboxFrontSize.y, 0.5f);
        int shown = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                shown += p.Alpha(x, y) > 0 ? 1 : 0;
        EXPECT_GT(shown, (x1 - x0) * (y1 - y0) / 4);
        // The sand box's own bands stay clear of it.
        for (int y = y0 - 2; y < y1 + 2; ++y)
            EXPECT_EQ(p.Alpha(x1 + 4, y), 0u) << y;
    }
}

} // namespace
