// The board on GL (the offscreen driver under the tests) through the real
// frame renderer: the caps, the mesh, the rays and the selection highlight
// in their frame layers, as the game's start-up makes them, and the pixel
// helpers the board's drawing tests judge by.
#pragma once

#include "BoardRig.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/DrawingFixture.h"
#include "engine/Flare.h"
#include "engine/Sprite.h"

#include <cmath>

namespace board_drawing {

using drawing_test::Channel;
using drawing_test::Frame;
using drawing_test::Near;

class BoardDrawing : public drawing_test::Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        layout.Load("Data\\Config\\Skin.cfg");
        caps = MakeCountedHandle(new CCapsRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        ASSERT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        ASSERT_TRUE(caps->LoadAnimations("Data\\"));
        board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
        sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        glows = MakeCountedHandle(new CFlareRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        sparkles = MakeCountedHandle(new CFlareRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        // The particles of the board and its rays in their frame layers, as
        // the game's start-up makes them.
        for (CountedHandle<CParticleSystemsManager>& manager : particles) {
            manager = MakeCountedHandle(
                new CParticleSystemsManager(device, renderer->vertexBuffer, renderer->indexBuffer));
            manager->Environment().killMin = Vec3{-1000.0f, -1000.0f, -1000.0f};
            manager->Environment().killMax = Vec3{1000.0f, 1000.0f, 1000.0f};
            manager->Environment().view->eye.z = 10000.0f;
        }
        renderer->particleLayers[1] = particles[0];
        renderer->particleLayers[2] = particles[1];
        BoardLooks looks;
        looks.particlesFront = particles[0];
        looks.particles = particles[1];
        looks.mesh = {Load("Frame.png"), Load("FrameBack.tga")};
        board->SetLooks(looks);
        board->SetSelectionMarker(MakeCountedHandle(
            new CTokenHighlight(particles[1], sprites, glows, Load("Selector.png"), Load("StarParticle.bmp"))));
        board->EquipRays(particles[1], particles[0], glows, sparkles, sprites, Load("Spark.bmp"),
                         device->FindTexture("Chain"), Load("Lightning.jpg"));
        renderer->caps = caps;
        renderer->boardMesh = board->MeshLayer();
        renderer->spriteLayers[0] = sprites;
        renderer->flareLayers[1] = glows;
        renderer->flareLayers[2] = sparkles;
        board->Show(true, true, 0.0f);
    }
    // Everything that holds the device goes before the window does.
    void TearDown() override
    {
        board.Reset();
        caps.Reset();
        sprites.Reset();
        glows.Reset();
        sparkles.Reset();
        for (CountedHandle<CParticleSystemsManager>& manager : particles)
            manager.Reset();
        Drawing::TearDown();
    }
    CountedHandle<CTexture> Load(const char* file)
    {
        const std::string name(file);
        return device->LoadTexture("Data\\Gfx\\" + name, name.substr(0, name.find('.')), 0, 0,
                                   d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
    }
    Vec2 Centre(int column, int row) const { return board->CellToPoint(column, row, true); }
    uint32_t At(const Frame& f, Vec2 p, float dx = 0, float dy = 0) const
    {
        return f.At(Px(p.x + dx), Py(p.y + dy));
    }
    // The mean brightness of a square patch round a point.
    static double Brightness(const Frame& f, int x, int y, int half)
    {
        double sum = 0;
        for (int j = -half; j <= half; ++j)
            for (int i = -half; i <= half; ++i) {
                const uint32_t p = f.At(x + i, y + j);
                sum += Channel(p, 16) + Channel(p, 8) + Channel(p, 0);
            }
        return sum / ((2 * half + 1) * (2 * half + 1) * 3);
    }
    // The picture of token kind k at the centre of its cell in an atlas.
    static uint32_t AtlasCentre(const char* file, int k)
    {
        d3d::DecodedImage image;
        EXPECT_TRUE(d3d::DecodeImageFile(std::string("Data\\Gfx\\") + file, &image));
        const uint32_t x = static_cast<uint32_t>(k % 4) * 128 + 64, y = static_cast<uint32_t>(k / 4) * 128 + 64;
        return image.pixels[y * image.width + x];
    }

    CQuestLayout layout;
    CBalanceState balance;
    CRandomStream random;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CGameBoard> board;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CFlareRenderer> glows, sparkles;
    CountedHandle<CParticleSystemsManager> particles[2];
};

} // namespace board_drawing
