// A fixture for drawing tests: a real window and frame renderer on GL (the
// offscreen driver under the tests), shared buffers, and a frame read back
// from the screen, written to the PNG named by GALVORINE_DRAWING_PNG when that
// is set.
#pragma once

#include "engine/SceneRenderer.h"
#include "platform/D3DX.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace drawing_test {

using namespace d3d;

inline bool Proc(const plat::WindowEvent&) { return false; }

struct Frame {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

inline int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

inline ::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift : {16, 8, 0})
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof text, "%06X vs %06X", actual & 0xFFFFFF, expected & 0xFFFFFF);
            return ::testing::AssertionFailure() << text;
        }
    return ::testing::AssertionSuccess();
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!plat::InitVideo(&why))
            GTEST_SKIP() << "no video: " << why;
        videoStarted = true;
        window = std::make_unique<plat::Window>("drawing", 1024, 768, Proc);
        direct3d = CreateDirect3D();
        ASSERT_TRUE(direct3d);
        renderer = MakeCountedHandle(new CSceneRenderer());
        settings.width = 1024;
        settings.height = 768;
        ASSERT_EQ(renderer->CreateDevice(&settings, direct3d.get(), window.get(), D3DFMT_D16), D3D_OK);
        device = renderer->device;
        renderer->vertexBuffer = device->CreateVertexBuffer(65536, 0x208, kVertexFvf, D3DPOOL_DEFAULT);
        renderer->indexBuffer = device->CreateIndexBuffer(65536, D3DFMT_INDEX16, 0x208, D3DPOOL_DEFAULT);
        ASSERT_TRUE(renderer->vertexBuffer && renderer->indexBuffer);
    }
    void TearDown() override
    {
        device.Reset();
        renderer.Reset();
        direct3d.reset();
        window.reset();
        // Every start of the video counts in SDL, in a byte: one not ended
        // per test would wrap it to none after 256 tests in one process.
        if (videoStarted)
            plat::ShutdownVideo();
    }
    // The frame as it stands, not written anywhere: for tests that judge
    // many frames and keep a few.
    Frame Read()
    {
        Frame frame;
        EXPECT_TRUE(ReadBackPixels(device->Device(), &frame.width, &frame.height, &frame.pixels));
        return frame;
    }
    // A test that grabs several frames names each: "-<name>" goes before
    // the PNG's extension.
    Frame Grab(const char* name = nullptr)
    {
        Frame frame = Read();
        if (const char* path = std::getenv("GALVORINE_DRAWING_PNG")) {
            std::string file = path;
            if (name) {
                const size_t dot = file.rfind('.');
                file.insert(dot == std::string::npos ? file.size() : dot, std::string("-") + name);
            }
            WritePngFile(file, static_cast<uint32_t>(frame.width), static_cast<uint32_t>(frame.height),
                         frame.pixels);
        }
        return frame;
    }
    // Screen pixel of a point of the 1024 x 768 virtual screen.
    static int Px(float x) { return static_cast<int>(512.0f + x); }
    static int Py(float y) { return static_cast<int>(384.0f - y); }

    DisplaySettings settings;
    bool videoStarted = false;
    std::unique_ptr<plat::Window> window;
    std::unique_ptr<IDirect3D8> direct3d;
    CountedHandle<CSceneRenderer> renderer;
    CountedHandle<CRenderDevice> device;
};

} // namespace drawing_test
