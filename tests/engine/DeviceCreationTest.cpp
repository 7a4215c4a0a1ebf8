#include "engine/Log.h"
#include "engine/SceneRenderer.h"
#include "engine/Settings.h"
#include "platform/NullDirect3D.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace d3d;

namespace {

NullAdapter AdapterWithDesktop(uint32_t w, uint32_t h, std::vector<std::pair<uint32_t, uint32_t>> sizes)
{
    NullAdapter adapter;
    adapter.desktop = D3DDISPLAYMODE{w, h, 60, D3DFMT_X8R8G8B8};
    for (const auto& size : sizes)
        for (D3DFORMAT f : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8})
            adapter.modes.push_back(D3DDISPLAYMODE{size.first, size.second, 60, f});
    return adapter;
}

TEST(DisplayModeList, FiltersSmallAndDuplicateModesAndSorts)
{
    NullAdapter adapter;
    adapter.desktop = D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8};
    adapter.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8},
                     {320, 240, 60, D3DFMT_X8R8G8B8},
                     {800, 600, 60, D3DFMT_X8R8G8B8},
                     {800, 600, 75, D3DFMT_X8R8G8B8},
                     {800, 600, 60, D3DFMT_R5G6B5},
                     {640, 400, 60, D3DFMT_R5G6B5},
                     {800, 600, 60, 999}};
    NullDirect3D d3d({adapter});
    CDisplayModeList list(&d3d, 0);
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0].bitsPerPixel, 16);
    EXPECT_EQ(list.entries[1].format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(list.entries[2].width, 1024);
    EXPECT_EQ(list.desktopIndex, 1);
    EXPECT_EQ(list.entries[1].redMask, 0xFF0000);
}

TEST(DisplayModeList, LookupsExactFallbackAndDepth)
{
    NullDirect3D d3d({AdapterWithDesktop(1280, 1024, {{640, 480}, {800, 600}, {1280, 1024}})});
    CDisplayModeList list(&d3d, 0);
    // 800 x 600 at 24 bits accepts the 32-bit entry.
    const int depth = list.FindFullScreenDepth(800, 600, 24, false);
    ASSERT_GE(depth, 0);
    EXPECT_EQ(list.entries[static_cast<size_t>(depth)].bitsPerPixel, 32);
    EXPECT_EQ(list.FindMode(1024, 768, D3DFMT_R5G6B5, false), -1);
    const int larger = list.FindMode(1024, 768, D3DFMT_R5G6B5, true);
    ASSERT_GE(larger, 0);
    EXPECT_EQ(list.entries[static_cast<size_t>(larger)].width, 1280);
    EXPECT_EQ(list.FindMode(2000, 2000, D3DFMT_R5G6B5, true), static_cast<int>(list.entries.size()) - 1);
    CDisplayModeList empty(&d3d, 5);
    EXPECT_EQ(empty.FindMode(640, 480, D3DFMT_R5G6B5, true), -1);
}

TEST(HardwareLevel, FollowsTheCapabilities)
{
    struct Case {
        uint32_t ps, vs, dev, stencil, vendor;
        int level;
    } cases[] = {
        {0xFFFF0101, 0, 0, 0, 0x1002, 5},     {0xFFFF0101, 0, 0, 0, 0x10DE, 4},
        {0, 0xFFFE0101, 0, 0, 0, 4},          {0, 0, D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0, 0, 3},
        {0, 0, 0, D3DSTENCILCAPS_ZERO, 0, 2}, {0, 0, 0, 0, 0, 1},
        {0xFFFF0000, 0, 0, 0, 0x10DE, 4},     {0, 0xFFFE0000, 0, 0, 0, 4},
    };
    for (const Case& c : cases) {
        NullAdapter adapter = AdapterWithDesktop(1024, 768, {{640, 480}});
        adapter.caps.PixelShaderVersion = c.ps;
        adapter.caps.VertexShaderVersion = c.vs;
        adapter.caps.DevCaps = c.dev;
        adapter.caps.StencilCaps = c.stencil;
        adapter.vendorId = c.vendor;
        NullDirect3D d3d({adapter});
        EXPECT_EQ(GetHardwareLevel(0, &d3d), c.level);
    }
}

struct Created {
    NullDirect3D d3d;
    CSceneRenderer renderer;
    DisplaySettings settings;
    HRESULT hr = D3D_OK;
    explicit Created(std::vector<NullAdapter> adapters, DisplaySettings s) : d3d(std::move(adapters)), settings(s)
    {
        hr = renderer.CreateDevice(&settings, &d3d, nullptr, D3DFMT_D16);
    }
};

DisplaySettings Windowed(int w, int h)
{
    DisplaySettings s;
    s.colorMode = -1;
    s.width = w;
    s.height = h;
    s.videoSync = 1;
    return s;
}

TEST(DeviceCreation, WindowSizesFollowTheDesktop)
{
    Created small({AdapterWithDesktop(1024, 768, {{640, 480}, {800, 600}, {1024, 768}})}, Windowed(640, 480));
    ASSERT_EQ(small.hr, D3D_OK);
    EXPECT_EQ(small.renderer.windowSizes, (std::vector<std::pair<int32_t, int32_t>>{{640, 480}, {800, 600}}));

    Created big({AdapterWithDesktop(1280, 1024, {{640, 480}, {1280, 1024}})}, Windowed(640, 480));
    EXPECT_EQ(big.renderer.windowSizes, (std::vector<std::pair<int32_t, int32_t>>{{640, 480}, {1024, 768}}));
    // The configured window stays; the colour mode becomes the desktop's.
    EXPECT_EQ(big.settings.width, 640);
    EXPECT_EQ(big.settings.colorMode, 32);
    EXPECT_EQ(big.settings.modeFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(big.d3d.log.lastParams.Windowed, 1);
}

TEST(DeviceCreation, WideDesktopFillsTheAspectSlots)
{
    Created wide({AdapterWithDesktop(1280, 800, {{640, 480}, {768, 480}, {1024, 768}, {1228, 768}, {1280, 800}})},
                 Windowed(640, 480));
    ASSERT_EQ(wide.hr, D3D_OK);
    for (int slot : {4, 5, 7}) {
        const int index = wide.renderer.fullScreenModes[static_cast<size_t>(slot)];
        ASSERT_GE(index, 0) << slot;
        const DisplayMode& m = wide.renderer.device->ModeList()->entries[static_cast<size_t>(index)];
        EXPECT_NEAR(static_cast<float>(m.height) / m.width, 0.625f, 0.001f) << slot;
    }
    Created square({AdapterWithDesktop(1024, 768, {{640, 480}, {1024, 768}})}, Windowed(640, 480));
    EXPECT_EQ(square.renderer.fullScreenModes[4], -1);
    EXPECT_EQ(square.renderer.fullScreenModes[7], -1);
}

TEST(DeviceCreation, DefaultsWhenNoSizeIsConfigured)
{
    // Windowed with a capable adapter: the second window size.
    Created windowed({AdapterWithDesktop(1280, 1024, {{640, 480}, {800, 600}, {1024, 768}})}, Windowed(0, 0));
    EXPECT_EQ(windowed.settings.width, 1024);
    // A configured full-screen mode the adapter lacks falls back to the table.
    DisplaySettings full = Windowed(1111, 999);
    full.fullScreen = 1;
    full.colorMode = 16;
    Created fs({AdapterWithDesktop(1024, 768, {{640, 480}, {1024, 768}})}, full);
    ASSERT_EQ(fs.hr, D3D_OK);
    EXPECT_EQ(fs.settings.width, 1024);
    EXPECT_EQ(fs.settings.height, 768);
    EXPECT_EQ(fs.settings.colorMode, 16);
    EXPECT_EQ(fs.d3d.log.lastParams.Windowed, 0);
}

TEST(DeviceCreation, AdapterNumberIsClampedBothWays)
{
    DisplaySettings high = Windowed(640, 480);
    high.adapter = 3;
    Created c(NullDirect3D::StandardAdapters(), high);
    EXPECT_EQ(c.hr, D3D_OK);
    EXPECT_EQ(c.settings.adapter, 0);
    ASSERT_EQ(c.renderer.device->warnings.size(), 1u);
    EXPECT_EQ(c.renderer.device->warnings[0], "Adapter Number 3 too high! (Must be less then 1).");

    // With two adapters a number too high gives way to the first usable
    // one, not to the last.
    Created two({AdapterWithDesktop(1024, 768, {{640, 480}, {1024, 768}}),
                 AdapterWithDesktop(1024, 768, {{640, 480}, {1024, 768}})},
                high);
    EXPECT_EQ(two.hr, D3D_OK);
    EXPECT_EQ(two.settings.adapter, 0);
    EXPECT_EQ(two.renderer.device->adapter, 0);

    DisplaySettings negative = Windowed(640, 480);
    negative.adapter = -2;
    Created n(NullDirect3D::StandardAdapters(), negative);
    EXPECT_EQ(n.hr, D3D_OK);
    EXPECT_EQ(n.settings.adapter, 0);
}

TEST(DeviceCreation, NoUsableAdapterIsNotAvailable)
{
    Created none({}, Windowed(640, 480));
    EXPECT_EQ(none.hr, D3DERR_NOTAVAILABLE);
    NullAdapter tiny;
    tiny.modes = {{320, 240, 60, D3DFMT_X8R8G8B8}};
    Created small({tiny}, Windowed(640, 480));
    EXPECT_EQ(small.hr, D3DERR_NOTAVAILABLE);
}

TEST(DeviceCreation, HardwareThenSoftwareVertexProcessing)
{
    NullDirect3D d3d(NullDirect3D::StandardAdapters());
    d3d.failCreates = 1;
    CSceneRenderer renderer;
    DisplaySettings s = Windowed(640, 480);
    EXPECT_EQ(renderer.CreateDevice(&s, &d3d, nullptr, D3DFMT_D16), D3D_OK);
    EXPECT_EQ(d3d.log.Count("CreateDevice 64"), 1u);
    EXPECT_EQ(d3d.log.Count("CreateDevice 32"), 1u);

    NullDirect3D failing(NullDirect3D::StandardAdapters());
    failing.failCreates = 2;
    CSceneRenderer second;
    DisplaySettings t = Windowed(640, 480);
    EXPECT_TRUE(Failed(second.CreateDevice(&t, &failing, nullptr, D3DFMT_D16)));
    EXPECT_EQ(second.device->errorMessages.back(), "Unable to create device!");
}

TEST(DeviceCreation, WindowedWithoutVsyncStoresImmediate)
{
    DisplaySettings s = Windowed(640, 480);
    s.videoSync = 0;
    Created c(NullDirect3D::StandardAdapters(), s);
    EXPECT_EQ(c.d3d.log.lastParams.FullScreen_PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
    EXPECT_EQ(c.renderer.device->presentParameters.FullScreen_PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
}

TEST(DeviceCreation, StateCacheSkipsRepeatsAndForgetsFailures)
{
    Created c(NullDirect3D::StandardAdapters(), Windowed(640, 480));
    CRenderDevice& device = *c.renderer.device;
    const size_t before = c.d3d.log.Count("SetRenderState 27 ");
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    EXPECT_EQ(c.d3d.log.Count("SetRenderState 27 "), before + 1);

    c.d3d.lastDevice->failStateCalls = true;
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    EXPECT_EQ(device.renderStates[D3DRS_ALPHABLENDENABLE], CRenderDevice::kUnknownState);
    c.d3d.lastDevice->failStateCalls = false;
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    EXPECT_EQ(c.d3d.log.Count("SetRenderState 27 "), before + 3);
    // Creation turned lighting off through the cache and read the defaults back.
    EXPECT_EQ(device.renderStates[D3DRS_LIGHTING], 0u);
    EXPECT_EQ(device.renderStates[D3DRS_ZFUNC], 4u);
}

TEST(DeviceReset, FailedResetIsRetriedOnTheNextFrameOnly)
{
    Created c(NullDirect3D::StandardAdapters(), Windowed(640, 480));
    NullDevice& device = *c.d3d.lastDevice;
    device.cooperativeLevel = D3DERR_DEVICENOTRESET;
    device.failResets = 2;
    EXPECT_EQ(c.renderer.RenderFrame(), D3DERR_DEVICELOST);
    EXPECT_EQ(c.d3d.log.resets, 1);
    EXPECT_EQ(c.renderer.RenderFrame(), D3DERR_DEVICELOST);
    EXPECT_EQ(c.d3d.log.resets, 2);
    EXPECT_EQ(c.renderer.RenderFrame(), D3D_OK);
    EXPECT_EQ(c.d3d.log.resets, 3);
    EXPECT_EQ(c.renderer.RenderFrame(), D3D_OK);
    EXPECT_EQ(c.d3d.log.resets, 3);

    device.cooperativeLevel = D3DERR_DEVICELOST;
    const int clears = c.d3d.log.clears;
    EXPECT_EQ(c.renderer.RenderFrame(), D3DERR_DEVICELOST);
    EXPECT_EQ(c.d3d.log.clears, clears);
}

TEST(Viewports, CentredFourByThree)
{
    struct Case {
        int w, h;
        uint32_t x, width;
    } cases[] = {{1280, 768, 128, 1024}, {800, 600, 0, 800}, {640, 600, 0, 640}, {640, 480, 0, 640}};
    for (const Case& c : cases) {
        D3DVIEWPORT8 full, centred;
        CSceneRenderer::ComputeViewports(c.w, c.h, &full, &centred);
        EXPECT_EQ(centred.X, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(centred.Width, c.width) << c.w << "x" << c.h;
        EXPECT_EQ(full.Width, static_cast<uint32_t>(c.w));
    }
}

TEST(Gamma, BrightnessRamp)
{
    D3DGAMMARAMP ramp;
    CSceneRenderer::GammaRampFromBrightness(0.5f, &ramp);
    EXPECT_EQ(ramp.red[0], 0);
    EXPECT_EQ(ramp.red[255], 65535);
    for (int i = 0; i < 256; i += 51)
        EXPECT_NEAR(ramp.green[i], std::floor(i / 255.0 * 65535.0), 1.0) << i;
    D3DGAMMARAMP dark, bright;
    CSceneRenderer::GammaRampFromBrightness(0.2f, &dark);
    CSceneRenderer::GammaRampFromBrightness(0.8f, &bright);
    EXPECT_LT(dark.blue[128], ramp.blue[128]);
    EXPECT_GT(bright.blue[128], ramp.blue[128]);
}

} // namespace
