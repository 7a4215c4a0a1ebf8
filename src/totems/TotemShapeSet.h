// One colour's sprite shapes from "Totems.cfg": per level the small totem,
// the shadow, the large totem and the shop picture, and the three lamps.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/SpriteSet.h"

#include <string>
#include <vector>

class CTotemShapeSet {
public:
    static constexpr int kLevels = 4;
    static constexpr int kLights = 3;

    CTotemShapeSet();

    // The shape of a list for a level 1..4; a level out of range gets the
    // nearest one, and a list without entries gives null.
    const CSpriteSet* Small(int level) const { return Entry(small, level); }
    const CSpriteSet* Shadow(int level) const { return Entry(shadow, level); }
    const CSpriteSet* Main(int level) const { return Entry(main, level); }
    const CSpriteSet* Shop(int level) const { return Entry(shop, level); }
    const CSpriteSet* Light() const { return light.Get(); }

    std::vector<CountedHandle<CSpriteSet>> small;
    std::vector<CountedHandle<CSpriteSet>> shadow;
    std::vector<CountedHandle<CSpriteSet>> main;
    CountedHandle<CSpriteSet> light;
    std::vector<CountedHandle<CSpriteSet>> shop;
    int levelCount = kLevels;

private:
    static const CSpriteSet* Entry(const std::vector<CountedHandle<CSpriteSet>>& list, int level);
};

// Picture and texture sizes of one colour's shapes, in pixels.
struct TotemShapeSizes {
    float smallPicture[2], smallTexture[2];
    float shadowTexture[2];
    float mainPicture[2], mainTexture[2];
    float lightTexture[2];
    float shopPicture[2], shopTexture[2];
};

// Reads the colour's section: Small, Shadow, Main (levels 1..4), Light,
// Shop (levels 1..4). A shape without a sprite is logged and kept empty.
void LoadTotemShapes(const std::string& path, const char* section, const TotemShapeSizes& sizes,
                     CTotemShapeSet* set);
