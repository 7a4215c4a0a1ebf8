#include "totems/TotemShapeSet.h"

#include "engine/Log.h"

#include <algorithm>

CTotemShapeSet::CTotemShapeSet()
{
    small.reserve(kLevels);
    shadow.reserve(kLevels);
    main.reserve(kLevels);
    shop.reserve(kLevels);
}

const CSpriteSet* CTotemShapeSet::Entry(const std::vector<CountedHandle<CSpriteSet>>& list, int level)
{
    if (list.empty())
        return nullptr;
    const size_t i = static_cast<size_t>(std::clamp(level, 1, static_cast<int>(list.size())) - 1);
    return list[i].Get();
}

namespace {

// One shape: its mapping, then its sprites; `count` 0 reads the count key.
CountedHandle<CSpriteSet> LoadShape(const std::string& path, const char* section, const std::string& prefix,
                                    const float picture[2], const float texture[2], int count)
{
    auto shape = MakeCountedHandle(new CSpriteSet());
    shape->SetMapping(picture[0], picture[1], texture[0], texture[1], 0.5f, 0.5f, 0.0f);
    if (shape->LoadFromIni(path, section, prefix, count) < 1)
        WriteLog("Warning! Some Totem SpriteShape can not be loaded! " + path + " [" + section + "] " + prefix +
                 "\n");
    return shape;
}

} // namespace

void LoadTotemShapes(const std::string& path, const char* section, const TotemShapeSizes& sizes,
                     CTotemShapeSet* set)
{
    auto levels = [&](const char* name, const float picture[2], const float texture[2],
                      std::vector<CountedHandle<CSpriteSet>>& list) {
        for (int level = 1; level <= CTotemShapeSet::kLevels; ++level)
            list.push_back(LoadShape(path, section, name + std::to_string(level), picture, texture, 0));
    };
    levels("Small", sizes.smallPicture, sizes.smallTexture, set->small);
    levels("Shadow", sizes.mainPicture, sizes.shadowTexture, set->shadow);
    levels("Main", sizes.mainPicture, sizes.mainTexture, set->main);
    set->light = LoadShape(path, section, "Light", sizes.mainPicture, sizes.lightTexture, CTotemShapeSet::kLights);
    levels("Shop", sizes.shopPicture, sizes.shopTexture, set->shop);
}
