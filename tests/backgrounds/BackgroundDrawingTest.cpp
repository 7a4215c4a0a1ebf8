// The six scenes drawn by the real frame renderer on GL (offscreen) with the
// installed pictures, each after its stage has filled and its closing show
// has run: still parts show the picture, moving parts move, the map has
// unrolled, the doorway shows through the open door and the chest's gold
// after the lid has burst. GALVORINE_DRAWING_PNG=x.png writes x-1.png to
// x-6.png, one frame per scene.
#include "backgrounds/BackgroundManager.h"
#include "engine/SceneRenderer.h"
#include "platform/D3DX.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace d3d;

namespace {

bool Proc(const plat::WindowEvent&) { return false; }

struct Frame {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }
int Distance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift : {16, 8, 0})
        d = std::max(d, std::abs(Channel(a, shift) - Channel(b, shift)));
    return d;
}

class SceneDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!plat::InitVideo(&why))
            GTEST_SKIP() << "no video: " << why;
        videoStarted = true;
        window = std::make_unique<plat::Window>("scenes", 1024, 768, Proc);
        direct3d = CreateDirect3D();
        ASSERT_TRUE(direct3d);
        renderer = MakeCountedHandle(new CSceneRenderer());
        settings.width = 1024;
        settings.height = 768;
        ASSERT_EQ(renderer->CreateDevice(&settings, direct3d.get(), window.get(), D3DFMT_D16), D3D_OK);
        device = renderer->device;
        auto vertices = device->CreateVertexBuffer(65536, 0x208, kVertexFvf, D3DPOOL_DEFAULT);
        auto indices = device->CreateIndexBuffer(65536, D3DFMT_INDEX16, 0x208, D3DPOOL_DEFAULT);
        renderer->vertexBuffer = vertices;
        renderer->indexBuffer = indices;
        backSprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        flares = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        renderer->flareLayers[0] = flares;
        particles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        renderer->particleLayers[0] = particles;

        // The shared textures, as the load sequence makes them.
        const std::string gfx = "Data\\Gfx\\";
        BackgroundResources shared;
        shared.sprites = backSprites;
        shared.flares = flares;
        shared.particles = particles;
        shared.flare = device->LoadTextureForAlpha(gfx + "Flare.jpg", "Flare", 1, 0, D3DPOOL_MANAGED);
        shared.cloud = device->LoadTextureForAlpha(gfx + "Cloud.jpg", "Cloud", 1, 0, D3DPOOL_MANAGED);
        for (auto [file, name, slot] :
             {std::tuple{"Spark.bmp", "Spark", &shared.spark}, std::tuple{"Halo1.tga", "Halo1", &shared.halo},
              std::tuple{"JungleFlash.tga", "JungleFlash", &shared.jungleFlash},
              std::tuple{"SmallSand.tga", "SmallSand", &shared.smallSand}})
            *slot = device->LoadTexture(gfx + file, name, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        ASSERT_TRUE(shared.flare && shared.cloud && shared.spark && shared.halo && shared.jungleFlash);
        manager = MakeCountedHandle(new CBackgroundManager());
        manager->SetDevice(device, vertices, indices);
        manager->SetResources(shared);
        manager->LoadSettings("Data\\Config\\Background.cfg");
        manager->Init(gfx);
        manager->OpenRenderGate();
        renderer->background = manager;
    }
    void TearDown() override
    {
        manager.Reset();
        particles.Reset();
        flares.Reset();
        backSprites.Reset();
        device.Reset();
        renderer.Reset();
        direct3d.reset();
        window.reset();
        // Every start of the video counts in SDL, in a byte: one not ended
        // per test would wrap it to none after 256 tests in one process.
        if (videoStarted)
            plat::ShutdownVideo();
    }
    // The game's frame, as far as the scenes take part in it.
    void Run(float seconds)
    {
        const float dt = 1.0f / 30.0f;
        for (float t = 0; t < seconds; t += dt) {
            manager->Update(dt);
            particles->Update(dt);
            flares->Update(dt);
        }
    }
    Frame Draw(int scene)
    {
        Frame frame;
        EXPECT_EQ(renderer->RenderFrame(), D3D_OK);
        EXPECT_TRUE(ReadBackPixels(device->Device(), &frame.width, &frame.height, &frame.pixels));
        if (const char* path = std::getenv("GALVORINE_DRAWING_PNG")) {
            std::string name = path;
            const size_t dot = name.rfind('.');
            name.insert(dot == std::string::npos ? name.size() : dot, "-" + std::to_string(scene));
            WritePngFile(name, static_cast<uint32_t>(frame.width), static_cast<uint32_t>(frame.height),
                         frame.pixels);
        }
        renderer->Present();
        return frame;
    }
    // The picture of a scene, to compare still parts against.
    static DecodedImage Picture(const char* file)
    {
        DecodedImage image;
        EXPECT_TRUE(DecodeImageFile(std::string("Data\\Gfx\\") + file, &image)) << file;
        return image;
    }
    static uint32_t Texel(const DecodedImage& image, int x, int y)
    {
        return image.pixels[static_cast<size_t>(y) * image.width + static_cast<size_t>(x)];
    }
    // How much a block of the screen changed between two frames.
    static long Change(const Frame& a, const Frame& b, int x0, int y0, int x1, int y1)
    {
        long sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += Distance(a.At(x, y), b.At(x, y));
        return sum;
    }

    DisplaySettings settings;
    bool videoStarted = false;
    std::unique_ptr<plat::Window> window;
    std::unique_ptr<IDirect3D8> direct3d;
    CountedHandle<CSceneRenderer> renderer;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CSpriteRenderer> backSprites;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CBackgroundManager> manager;
};

} // namespace

TEST_F(SceneDrawing, EverySceneAfterItsStageHasRun)
{
    struct Scene {
        int id;
        const char* picture;
        int sets;      // its stage, shown whole
        float seconds; // for the closing show to run
        int stillX, stillY, stillTolerance;
        int moving[4]; // a block that moves
    } const scenes[] = {
        {1, "Museum.jpg", 5, 3.0f, 40, 740, 24, {200, 120, 400, 320}},
        {2, "Jungle.jpg", 6, 2.5f, 40, 740, 16, {320, 480, 700, 620}},
        {3, "Valley.jpg", 8, 2.5f, 900, 700, 16, {300, 10, 700, 150}},
        {4, "Door.jpg", 10, 6.0f, 980, 450, 16, {0, 600, 1024, 760}},
        {5, "Treasury.jpg", 12, 9.0f, 40, 400, 40, {200, 100, 800, 600}},
        {6, "MainBack.jpg", 0, 2.0f, 600, 744, 16, {0, 90, 420, 340}},
    };
    for (const Scene& s : scenes) {
        manager->SetScene(s.id);
        if (s.sets)
            manager->SetProgress(s.sets, 1);
        // The treasury is also seen before its chest bursts.
        const float before = s.id == CBackgroundManager::kTreasury ? 2.5f : 0.0f;
        Run(before);
        const Frame closed = before > 0 ? Draw(s.id) : Frame{};
        Run(s.seconds - before);
        const Frame first = Draw(s.id);
        ASSERT_EQ(first.width, 1024);
        Run(1.0f);
        const Frame later = Draw(s.id);
        const DecodedImage picture = Picture(s.picture);
        EXPECT_LE(Distance(first.At(s.stillX, s.stillY), Texel(picture, s.stillX, s.stillY)), s.stillTolerance)
            << s.picture;
        const int* m = s.moving;
        EXPECT_GT(Change(first, later, m[0], m[1], m[2], m[3]), (m[2] - m[0]) * (m[3] - m[1]) / 50) << s.picture;

        switch (s.id) {
        case 1: { // the map hangs unrolled over its dark panel
            const uint32_t map = first.At(202, 350), panel = Texel(picture, 202, 350);
            EXPECT_GT(Channel(map, 16), Channel(panel, 16) + 80);
            break;
        }
        case 4: { // the sanctum's light shows through the open door
            const uint32_t doorway = first.At(512, 250);
            EXPECT_GT(Channel(doorway, 16), 170);
            EXPECT_GT(Distance(doorway, Texel(picture, 512, 250)), 60);
            break;
        }
        case 5: { // the gold shows where the brown lid was: the chest turns golden
            long openGreen = 0, closedGreen = 0, n = 0;
            for (int y = 360; y < 440; y += 4)
                for (int x = 360; x < 600; x += 4, ++n) {
                    openGreen += Channel(first.At(x, y), 8);
                    closedGreen += Channel(closed.At(x, y), 8);
                }
            EXPECT_GT(openGreen / n, closedGreen / n + 20);
            break;
        }
        default:
            break;
        }
    }
}
