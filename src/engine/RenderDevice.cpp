#include "engine/RenderDevice.h"

#include "engine/Log.h"
#include "platform/Window.h"

#include <cstdio>

using namespace d3d;

namespace {
constexpr uint32_t kWindowedStyle = 0x10CA0000;
constexpr uint32_t kFullScreenStyle = 0x90080000;
} // namespace

CRenderDevice::CRenderDevice(IDirect3D8* obj, int32_t adapterNumber)
{
    for (auto& stage : stageStates)
        for (uint32_t& value : stage)
            value = kUnknownState;
    for (uint32_t& value : renderStates)
        value = kUnknownState;
    SelectAdapter(obj, adapterNumber);
}

CRenderDevice::~CRenderDevice()
{
    device.reset();
    WriteLog("Device destruction.\n");
}

int CRenderDevice::SelectAdapter(IDirect3D8* obj, int32_t number)
{
    object = obj;
    adapterCount = obj ? static_cast<int32_t>(obj->GetAdapterCount()) : 0;
    // A negative number from a hand-edited options file means the first adapter.
    adapter = number < 0 ? 0 : number;
    if (number >= adapterCount) {
        adapter = adapterCount - 1;
        char text[128];
        std::snprintf(text, sizeof text, "Adapter Number %d too high! (Must be less then %d).", number,
                      adapterCount);
        warnings.emplace_back(text);
    }
    if (adapterCount < 1) {
        adapter = 0;
        return 0;
    }
    modeLists.clear();
    for (int32_t i = 0; i < adapterCount; ++i)
        modeLists.push_back(MakeCountedHandle(new CDisplayModeList(obj, i)));
    modeIndex = ModeList()->desktopIndex;
    return adapterCount;
}

CDisplayModeList* CRenderDevice::ModeList() const
{
    if (adapter < 0 || adapter >= static_cast<int32_t>(modeLists.size()))
        return nullptr;
    return modeLists[static_cast<size_t>(adapter)].Get();
}

HRESULT CRenderDevice::CreateDevice(int width, int height, D3DFORMAT format, int fullScreen, int vsync,
                                    plat::Window* window, D3DFORMAT depthFormat, uint32_t backBufferCount,
                                    uint32_t multiSample, uint32_t swapEffect, uint32_t flags)
{
    CDisplayModeList* list = ModeList();
    if (!list || !object)
        return D3DERR_NOTAVAILABLE;
    const int index = fullScreen ? list->FindFullScreenMode(width, height, format, false)
                                 : list->FindWindowedMode(width, height, format, true);
    if (index < 0)
        return D3DERR_NOTAVAILABLE;
    fullScreenWidth = width;
    fullScreenHeight = height;
    fullScreenFormat = format;

    D3DPRESENT_PARAMETERS params;
    params.BackBufferWidth = static_cast<uint32_t>(width);
    params.BackBufferHeight = static_cast<uint32_t>(height);
    params.BackBufferFormat = format;
    params.BackBufferCount = backBufferCount;
    params.MultiSampleType = multiSample;
    params.SwapEffect = swapEffect;
    params.hDeviceWindow = window;
    params.Windowed = fullScreen ? 0 : 1;
    params.EnableAutoDepthStencil = 1;
    params.AutoDepthStencilFormat = depthFormat;
    params.Flags = flags;
    params.FullScreen_RefreshRateInHz = 0;
    params.FullScreen_PresentationInterval =
        (vsync || !fullScreen) ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;

    const uint32_t rememberedStyle = kWindowedStyle;
    (void)rememberedStyle; // the window keeps its own style; full screen covers the desktop

    HRESULT hr = object->CreateDevice(static_cast<uint32_t>(adapter), D3DDEVTYPE_HAL, window,
                                      D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device);
    if (Failed(hr))
        hr = object->CreateDevice(static_cast<uint32_t>(adapter), D3DDEVTYPE_HAL, window,
                                  D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device);
    if (Failed(hr)) {
        errorMessages.emplace_back("Unable to create device!");
        if (fullScreen && window)
            window->SetFullScreen(false);
        return hr;
    }
    if (!vsync)
        params.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    presentParameters = params;
    modeIndex = index;

    D3DCAPS8 caps;
    device->GetDeviceCaps(&caps);
    maxVertexIndex = caps.MaxVertexIndex;
    maxPrimitiveCount = caps.MaxPrimitiveCount;
    ReadStateCaches();
    return D3D_OK;
}

HRESULT CRenderDevice::GetWindowModeFormat(D3DFORMAT* format)
{
    const CDisplayModeList* list = ModeList();
    if (!list || list->desktopIndex < 0)
        return D3DERR_NOTAVAILABLE;
    *format = list->entries[static_cast<size_t>(list->desktopIndex)].format;
    return D3D_OK;
}

int CRenderDevice::IsModeAvailable(int width, int height, D3DFORMAT format, int fullScreen)
{
    const CDisplayModeList* list = ModeList();
    if (!list)
        return 0;
    const int index = fullScreen ? list->FindFullScreenMode(width, height, format, false)
                                 : list->FindWindowedMode(width, height, format, false);
    return index >= 0 ? 1 : 0;
}

HRESULT CRenderDevice::Reset()
{
    if (!device)
        return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS params = presentParameters;
    const uint32_t interval = params.FullScreen_PresentationInterval;
    if (params.Windowed) {
        D3DFORMAT format = params.BackBufferFormat;
        if (Failed(GetWindowModeFormat(&format)))
            WriteLog("GetWindowModeFormat Error!\n");
        params.BackBufferFormat = format;
        params.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    } else {
        params.BackBufferWidth = static_cast<uint32_t>(fullScreenWidth);
        params.BackBufferHeight = static_cast<uint32_t>(fullScreenHeight);
        params.BackBufferFormat = fullScreenFormat;
    }
    const HRESULT hr = device->Reset(&params);
    if (Failed(hr))
        return hr;
    params.FullScreen_PresentationInterval = interval;
    presentParameters = params;
    RecreateDefaultPoolResources();
    ApplyStateCaches();
    return D3D_OK;
}

HRESULT CRenderDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value)
{
    if (!device || state < 0 || state >= kRenderStateCount)
        return D3DERR_INVALIDCALL;
    if (renderStates[state] == value)
        return D3D_OK;
    const HRESULT hr = device->SetRenderState(state, value);
    renderStates[state] = Failed(hr) ? kUnknownState : value;
    return hr;
}

HRESULT CRenderDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value)
{
    if (!device || stage >= static_cast<uint32_t>(kTextureStageCount) || type < 0 ||
        type >= kTextureStageStateCount)
        return D3DERR_INVALIDCALL;
    if (stageStates[stage][type] == value)
        return D3D_OK;
    const HRESULT hr = device->SetTextureStageState(stage, type, value);
    stageStates[stage][type] = Failed(hr) ? kUnknownState : value;
    return hr;
}

HRESULT CRenderDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix)
{
    return device ? device->SetTransform(state, matrix) : D3DERR_INVALIDCALL;
}

HRESULT CRenderDevice::SetViewport(const D3DVIEWPORT8& viewport)
{
    return device ? device->SetViewport(viewport) : D3DERR_INVALIDCALL;
}

HRESULT CRenderDevice::Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil)
{
    return device ? device->Clear(flags, color, z, stencil) : D3DERR_INVALIDCALL;
}

void CRenderDevice::ReadStateCaches()
{
    if (!device)
        return;
    for (uint32_t stage = 0; stage < static_cast<uint32_t>(kTextureStageCount); ++stage)
        for (int32_t type = 0; type < kTextureStageStateCount; ++type) {
            uint32_t value = kUnknownState;
            if (Failed(device->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), &value)))
                value = kUnknownState;
            stageStates[stage][type] = value;
        }
    for (int32_t state = 0; state < kRenderStateCount; ++state) {
        uint32_t value = kUnknownState;
        if (Failed(device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value)))
            value = kUnknownState;
        renderStates[state] = value;
    }
}

void CRenderDevice::ApplyStateCaches()
{
    if (!device)
        return;
    for (uint32_t stage = 0; stage < static_cast<uint32_t>(kTextureStageCount); ++stage)
        for (int32_t type = 0; type < kTextureStageStateCount; ++type)
            if (stageStates[stage][type] != kUnknownState)
                device->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type),
                                             stageStates[stage][type]);
    for (int32_t state = 0; state < kRenderStateCount; ++state)
        if (renderStates[state] != kUnknownState)
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), renderStates[state]);
    // What the device holds now is what the caches must say.
    ReadStateCaches();
}

void CRenderDevice::ReleaseDefaultPoolResources() {}

void CRenderDevice::RecreateDefaultPoolResources() {}
