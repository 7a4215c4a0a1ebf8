// The engine's wrapper of the drawing device: adapter and mode lists, device
// creation and reset, and caches of render and texture-stage states so that
// a redundant device call is never made.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h"
#include "platform/D3D8.h"

#include <memory>
#include <string>
#include <vector>

class CRenderDevice {
public:
    // A cache slot holding this value has no known value: the next setter
    // call always reaches the device.
    static constexpr uint32_t kUnknownState = 0x7fffffff;

    CRenderDevice(d3d::IDirect3D8* object, int32_t adapterNumber);
    ~CRenderDevice();
    CRenderDevice(const CRenderDevice&) = delete;
    CRenderDevice& operator=(const CRenderDevice&) = delete;

    int SelectAdapter(d3d::IDirect3D8* object, int32_t number);
    d3d::HRESULT CreateDevice(int width, int height, d3d::D3DFORMAT format, int fullScreen, int vsync,
                              plat::Window* window, d3d::D3DFORMAT depthFormat, uint32_t backBufferCount,
                              uint32_t multiSample, uint32_t swapEffect, uint32_t flags);
    // One attempt to reset the device with the stored parameters. A failure
    // leaves the device lost; the caller tries again on a later frame.
    d3d::HRESULT Reset();
    d3d::HRESULT GetWindowModeFormat(d3d::D3DFORMAT* format);
    int IsModeAvailable(int width, int height, d3d::D3DFORMAT format, int fullScreen);

    CDisplayModeList* ModeList() const;
    d3d::IDirect3DDevice8* Device() const { return device.get(); }

    // Cached state setters: 0 when the call was skipped.
    d3d::HRESULT SetRenderState(d3d::D3DRENDERSTATETYPE state, uint32_t value);
    d3d::HRESULT SetTextureStageState(uint32_t stage, d3d::D3DTEXTURESTAGESTATETYPE type, uint32_t value);
    d3d::HRESULT SetTransform(d3d::D3DTRANSFORMSTATETYPE state, const d3d::D3DMATRIX& matrix);
    d3d::HRESULT SetViewport(const d3d::D3DVIEWPORT8& viewport);
    d3d::HRESULT Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil);

    // Reads the device's current states into the caches.
    void ReadStateCaches();
    // Sends every cached value to the device (after a reset).
    void ApplyStateCaches();
    // Buffers and textures living in the device's default pool go before a
    // reset and come back after it.
    void ReleaseDefaultPoolResources();
    void RecreateDefaultPoolResources();

    d3d::IDirect3D8* object = nullptr;
    int32_t adapterCount = 0;
    int32_t adapter = 0;
    std::unique_ptr<d3d::IDirect3DDevice8> device;
    std::vector<CountedHandle<CDisplayModeList>> modeLists;
    int32_t modeIndex = -1;
    d3d::D3DPRESENT_PARAMETERS presentParameters;
    int32_t fullScreenWidth = 0;
    int32_t fullScreenHeight = 0;
    d3d::D3DFORMAT fullScreenFormat = d3d::D3DFMT_UNKNOWN;
    std::vector<std::string> errorMessages;
    std::vector<std::string> warnings;
    uint32_t maxVertexIndex = 0;
    uint32_t maxPrimitiveCount = 0;
    uint32_t stageStates[d3d::kTextureStageCount][d3d::kTextureStageStateCount];
    uint32_t renderStates[d3d::kRenderStateCount];
};
