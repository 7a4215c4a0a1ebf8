// The board with the real bonuses on the recording null device: the bonus
// manager with its renderers and the installed pictures and parameter
// files, the hint display with a counter and a hint button of its own, and
// a sound manager whose every slot counts its plays, so that a test hears
// which sample the board played and how often.
#pragma once

#include "BoardRig.h"
#include "audio/SoundManager.h"
#include "bonuses/BonusManager.h"
#include "bonuses/BonusParameters.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Flare.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "gui/GuiTestSupport.h"
#include "gui/QoStatic.h"

#include <functional>

namespace board_rig {

struct BonusBoardRig : BoardRig {
    BonusBoardRig()
    {
        GemParams() = GemParameters();
        BonusParams() = BonusParameters();
        LoadBonusParameters("Data\\Config\\Gems.cfg", "Data\\Config\\Bonus.cfg");
        const auto sprites = [&] {
            return MakeCountedHandle(new CSpriteRenderer(gpu.device, gpu.vertices, gpu.indices));
        };
        const auto flares = [&] {
            return MakeCountedHandle(new CFlareRenderer(gpu.device, gpu.vertices, gpu.indices));
        };
        const auto particles = [&] {
            return MakeCountedHandle(new CParticleSystemsManager(gpu.device, gpu.vertices, gpu.indices));
        };
        sprites1 = sprites();
        sprites2 = sprites();
        sprites3 = sprites();
        flares1 = flares();
        flares2 = flares();
        particles1 = particles();
        particles2 = particles();
        bonuses = MakeCountedHandle(new CBonusManager());
        bonuses->SetResources(sprites1, flares1, particles1, sprites2, particles2, flares2, sprites3);
        EXPECT_TRUE(bonuses->LoadTextures(gpu.device, "Data\\Gfx\\"));
        const auto picture = [&](const char* name) {
            return gpu.device->CreateTexture(name, 64, 64, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        };
        bonuses->SetTextures(picture("StarParticle"), picture("Halo1"), picture("Ring"), picture("Spark"),
                             picture("Lightning"), picture("Twirl"), picture("Twirl"), picture("PanelGlass"));

        guiSprites = sprites();
        texts = MakeCountedHandle(new CTextBatch(gpu.device, gpu.vertices, gpu.indices));
        counter = MakeCountedHandle(new CQoStatic(guiSprites, texts));
        counter->SetBaseSize(48, 48);
        counter->CreateText(MakeTestFont(24), 4, 4, "", false);
        counter->SetTextureRect({}, 0, 0, 1, 1);
        hintButton = MakeCountedHandle(new CQoWindow(guiSprites, texts));
        adviser = MakeCountedHandle(new CAdviserInterface());
        adviser->SetResources(counter, hintButton, bonuses->textures[CBonusManager::kBonus4], sprites2);

        sounds = MakeCountedHandle(new CSoundManager());
        sounds->initialised = 1;
        for (CountedHandle<CSoundSample>& slot : sounds->slots)
            slot = MakeCountedHandle(new CSoundSample(1, 1024));
        board->SetSounds(sounds);
        board->SetBonuses(bonuses, adviser);
    }
    ~BonusBoardRig()
    {
        board->Clear();
        GemParams() = GemParameters();
        BonusParams() = BonusParameters();
    }

    // How often the sample of a file has played.
    int Plays(const char* file) const { return sounds->Sample(file)->ringIndex; }

    // A bonus of the kind (a gem of the token's colour) resting on the token
    // of the cell, as the board would have placed it; its landing is no
    // news.
    CountedHandle<CBonus> Ride(int32_t kind, int32_t level, int column, int row)
    {
        const CountedHandle<CToken>& token = board->Cell(column, row);
        CountedHandle<CBonus> bonus =
            kind == kBonusGem ? bonuses->CreateGem(token->colour, 1) : bonuses->CreateBonus(kind, level, 0, 1);
        bonus->eventsEnabled = kind == kBonusGem ? 0 : 1;
        const Vec2 at = board->CellToPoint(column, row, true);
        bonus->Place(at.x, at.y, 0.0f, token->size, column, row);
        bonus->events.Clear();
        Probe().GiveBonus(column, row, bonus);
        return bonus;
    }

    // Frames until the test holds (false after `seconds` without).
    bool RunUntil(const std::function<bool()>& done, float seconds = 5.0f)
    {
        for (float t = 0; t < seconds; t += 1.0f / 60.0f) {
            if (done())
                return true;
            Frame();
        }
        return done();
    }

    CountedHandle<CSpriteRenderer> sprites1, sprites2, sprites3, guiSprites;
    CountedHandle<CFlareRenderer> flares1, flares2;
    CountedHandle<CParticleSystemsManager> particles1, particles2;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CQoStatic> counter;
    CountedHandle<CQoWindow> hintButton;
    CountedHandle<CBonusManager> bonuses;
    CountedHandle<CAdviserInterface> adviser;
    CountedHandle<CSoundManager> sounds;
};

} // namespace board_rig
