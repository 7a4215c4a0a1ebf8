// The bonuses on the recording null device: the manager with its three
// sprite renderers, two flare renderers and two particle managers, and
// stand-in pictures for all sixteen slots, so that every kind can be built,
// run and fired without a window. The parameter records are put back to
// their defaults for each test.
#pragma once

#include "QuestBoardGrid.h"
#include "bonuses/Bonus.h"
#include "bonuses/BonusManager.h"
#include "bonuses/BonusParameters.h"
#include "engine/RenderTestSupport.h"
#include "platform/System.h"
#include "tokens/BoardGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace bonus_test {

struct BonusRig : NullRig {
    BonusRig()
    {
        GemParams() = GemParameters();
        BonusParams() = BonusParameters();
        UseQuestBoardGrid();
        sprites1 = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        sprites2 = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        sprites3 = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        flares1 = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        flares2 = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        particles1 = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        particles2 = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        for (auto* p : {&particles1, &particles2}) {
            (*p)->Environment().killMin = Vec3{-1000, -1000, -1000};
            (*p)->Environment().killMax = Vec3{1000, 1000, 1000};
            (*p)->Environment().view->eye.z = 10000.0f;
        }
        manager = MakeCountedHandle(new CBonusManager());
        manager->SetResources(sprites1, flares1, particles1, sprites2, particles2, flares2, sprites3);
        for (int i = 0; i < CBonusManager::kBonusTextureCount; ++i)
            manager->textures[i] = device->CreateTexture("Picture" + std::to_string(i), 256, 256, 1, 0,
                                                         d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
    }
    ~BonusRig()
    {
        manager.Reset();
        GemParams() = GemParameters();
        BonusParams() = BonusParameters();
        BoardGrid() = CBoardGrid();
    }

    // A bonus of the kind resting on the cell's centre of the default board,
    // come to rest as the board brings it: a gem placed, the others flown
    // in where they are.
    CountedHandle<CBonus> Placed(int32_t kind, int32_t param, int32_t column, int32_t row, float size = 38.0f)
    {
        CountedHandle<CBonus> bonus =
            kind == kBonusGem ? manager->CreateGem(param, 1) : manager->CreateBonus(kind, param, 0, 1);
        const Vec2 at = CellPoint(column, row);
        if (kind == kBonusGem) {
            bonus->Place(at.x, at.y, 0.0f, size, column, row);
        } else {
            bonus->position = Vec3{at.x, at.y, 0.0f};
            bonus->FlyIn(at.x, at.y, 0.0f, size, column, row, 1, 0.0f);
        }
        return bonus;
    }
    // The events the manager gathered in this update.
    std::vector<GameEvent> Step(float dt)
    {
        manager->Update(dt);
        std::vector<GameEvent> out;
        for (size_t i = 0; i < manager->pending.Size(); ++i)
            out.push_back(manager->pending.At(i));
        return out;
    }
    // Every sprite of the three renderers, shown or hidden.
    size_t SpriteCount() const
    {
        size_t n = 0;
        for (const auto* r : {&sprites1, &sprites2, &sprites3})
            n += (*r)->sprites.size() + (*r)->hiddenSprites.size();
        return n;
    }

    CountedHandle<CSpriteRenderer> sprites1, sprites2, sprites3;
    CountedHandle<CFlareRenderer> flares1, flares2;
    CountedHandle<CParticleSystemsManager> particles1, particles2;
    CountedHandle<CBonusManager> manager;
};

// The (column, row) cells of the destroy events, in order.
inline std::vector<std::pair<int, int>> Cells(const std::vector<GameEvent>& events)
{
    std::vector<std::pair<int, int>> cells;
    for (const GameEvent& e : events)
        if (e.kind == kEventDestroyCell)
            cells.emplace_back(EventColumn(e), EventRow(e));
    return cells;
}

inline int CountKind(const std::vector<GameEvent>& events, int32_t kind)
{
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [&](const GameEvent& e) { return e.kind == kind; }));
}

} // namespace bonus_test
