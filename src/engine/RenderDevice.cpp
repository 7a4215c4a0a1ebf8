#include "engine/RenderDevice.h"

#include "engine/Log.h"
#include "platform/Window.h"

#include <cstdio>

using namespace d3d;

CRenderDevice::CRenderDevice(IDirect3D8* obj, int32_t adapterNumber) { SelectAdapter(obj, adapterNumber); }

CRenderDevice::~CRenderDevice()
{
    WriteLog("Device destruction.\n");
    if (device) {
        for (uint32_t stage = 0; stage < static_cast<uint32_t>(kTextureStageCount); ++stage)
            device->SetTexture(stage, nullptr);
        device->SetStreamSource(0, nullptr, 32);
        device->SetIndices(nullptr, 0);
    }
    // The registries go before the device: their objects live in its context.
    imageSurfaces.clear();
    textures.clear();
    indexBuffers.clear();
    vertexBuffers.clear();
    device.reset();
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
    if (width <= 0 || height <= 0)
        return D3DERR_INVALIDCALL; // the back buffer's size is unsigned
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

    // The window has no style to change: full screen covers the desktop, and
    // a failed creation puts the window back as it was.
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
    ForgetBindings();
    m_owed.clear();
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
    ForgetBindings();
    RecreateDefaultPoolResources();
    ForgetOwedIntoCaches();
    ApplyStateCaches();
    return D3D_OK;
}

HRESULT CRenderDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value)
{
    if (!device || state < 0 || state >= kRenderStateCount)
        return D3DERR_INVALIDCALL;
    ForgiveOwed(-1, state);
    return CachedRenderState(state, value);
}

HRESULT CRenderDevice::CachedRenderState(D3DRENDERSTATETYPE state, uint32_t value)
{
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
    ForgiveOwed(static_cast<int32_t>(stage), type);
    return CachedStageState(stage, type, value);
}

HRESULT CRenderDevice::CachedStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value)
{
    if (stageStates[stage][type] == value)
        return D3D_OK;
    const HRESULT hr = device->SetTextureStageState(stage, type, value);
    stageStates[stage][type] = Failed(hr) ? kUnknownState : value;
    return hr;
}

void CRenderDevice::ModulateTextureByVertexColour(uint32_t stage)
{
    SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
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

namespace {
// The render states the device defines: 7..60 and 128..173 without the gaps.
bool IsDefinedRenderState(int32_t state)
{
    static const int32_t ranges[][2] = {{7, 10},    {14, 16},   {19, 20},  {22, 30},   {34, 38},
                                        {40, 40},   {47, 48},   {52, 60},  {128, 137}, {139, 143},
                                        {145, 148}, {151, 168}, {170, 173}};
    for (const auto& range : ranges)
        if (state >= range[0] && state <= range[1])
            return true;
    return false;
}
} // namespace

void CRenderDevice::ReadTextureStageStates()
{
    for (uint32_t stage = 0; stage < static_cast<uint32_t>(kTextureStageCount); ++stage)
        for (int32_t type = 1; type < kTextureStageStateCount; ++type) {
            uint32_t value = kUnknownState;
            if (Failed(device->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), &value)))
                value = kUnknownState;
            stageStates[stage][type] = value;
        }
}

void CRenderDevice::ReadRenderStates()
{
    for (int32_t state = 7; state < kRenderStateCount; ++state) {
        if (state > 60 && state < 128)
            continue;
        uint32_t value = kUnknownState;
        if (Failed(device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value)))
            value = kUnknownState;
        renderStates[state] = value;
    }
}

void CRenderDevice::ReadStateCaches()
{
    if (!device)
        return;
    ReadTextureStageStates();
    ReadRenderStates();
}

void CRenderDevice::ApplyStateCaches()
{
    if (!device)
        return;
    // A slot without a known value has nothing to give back; the read that
    // follows takes whatever the device holds there.
    for (uint32_t stage = 0; stage < static_cast<uint32_t>(kTextureStageCount); ++stage)
        for (int32_t type = 1; type < kTextureStageStateCount; ++type)
            if (stageStates[stage][type] != kUnknownState)
                device->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type),
                                             stageStates[stage][type]);
    ReadTextureStageStates();
    for (int32_t state = 0; state < kRenderStateCount; ++state)
        if (IsDefinedRenderState(state) && renderStates[state] != kUnknownState)
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), renderStates[state]);
    ReadRenderStates();
}

void CRenderDevice::ForgetBindings()
{
    for (auto& bound : boundTextures)
        bound = nullptr;
    boundVertexBuffer = nullptr;
    boundIndexBuffer = nullptr;
}

HRESULT CRenderDevice::SetTexture(uint32_t stage, CountedHandle<CTexture> texture)
{
    if (!device || stage >= static_cast<uint32_t>(kTextureStageCount))
        return D3DERR_INVALIDCALL;
    if (texture && !texture->texture && texture->LoadsOnUse())
        LoadOnUse(*texture);
    IDirect3DTexture8* bound = texture ? texture->texture.get() : nullptr;
    // A texture destroyed since may have left its address to a new one: the
    // cached pointers then prove nothing.
    if (texturesDestroyedSeen != IDirect3DTexture8::destroyedCount) {
        texturesDestroyedSeen = IDirect3DTexture8::destroyedCount;
        for (auto& b : boundTextures)
            b = nullptr;
    }
    if (boundTextures[stage] == bound)
        return D3D_OK;
    const HRESULT hr = device->SetTexture(stage, bound);
    boundTextures[stage] = Failed(hr) ? nullptr : bound;
    return hr;
}

// A picture registered by its header is read when first drawn with; one
// that does not load is drawn without, as a released texture is, and keeps
// its name and file for a later recreation.
void CRenderDevice::LoadOnUse(CTexture& texture)
{
    const std::string name = texture.name, file = texture.fileName;
    if (!Failed(texture.Recreate(device.get())))
        return;
    texture.ReleaseD3DResource();
    texture.name = name;
    texture.fileName = file;
    WriteLog("Unable to load Texture " + name + " from " + file + "\n");
}

HRESULT CRenderDevice::SetStreamSource(CountedHandle<CVertexBuffer> buffer)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    IDirect3DVertexBuffer8* bound = buffer ? buffer->buffer.get() : nullptr;
    if (bound && boundVertexBuffer == bound)
        return D3D_OK;
    const HRESULT hr = device->SetStreamSource(0, bound, buffer ? buffer->stride : 32);
    boundVertexBuffer = Failed(hr) ? nullptr : bound;
    return hr;
}

HRESULT CRenderDevice::SetIndices(CountedHandle<CIndexBuffer> buffer, uint32_t baseVertexIndex)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    IDirect3DIndexBuffer8* bound = buffer ? buffer->buffer.get() : nullptr;
    if (bound && boundIndexBuffer == bound)
        return D3D_OK;
    const HRESULT hr = device->SetIndices(bound, baseVertexIndex);
    boundIndexBuffer = Failed(hr) ? nullptr : bound;
    return hr;
}

HRESULT CRenderDevice::SetFVF(uint32_t fvf) { return device ? device->SetVertexShader(fvf) : D3DERR_INVALIDCALL; }

HRESULT CRenderDevice::DrawIndexed(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                   uint32_t startIndex, uint32_t primitiveCount)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    SettleOwed();
    return DrawPrimitives(type, minIndex, vertexCount, startIndex, primitiveCount);
}

void CRenderDevice::CutDrawsTo(const std::vector<D3DRECT>& rects)
{
    m_cutting = true;
    m_cut = rects;
}

void CRenderDevice::StopCutting()
{
    m_cutting = false;
    m_cut.clear();
}

// Outside a cut the device draws with its scissor off; each cut draw turns
// it off again after itself.
HRESULT CRenderDevice::DrawPrimitives(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                      uint32_t startIndex, uint32_t primitiveCount)
{
    if (!m_cutting)
        return device->DrawIndexedPrimitive(type, minIndex, vertexCount, startIndex, primitiveCount);
    HRESULT hr = D3D_OK;
    for (const D3DRECT& rect : m_cut) {
        device->SetScissorRect(&rect);
        hr = device->DrawIndexedPrimitive(type, minIndex, vertexCount, startIndex, primitiveCount);
        if (Failed(hr))
            break;
    }
    if (!m_cut.empty())
        device->SetScissorRect(nullptr);
    return hr;
}

CountedHandle<CVertexBuffer> CRenderDevice::CreateVertexBuffer(uint32_t count, uint32_t usage, uint32_t fvf,
                                                               D3DPOOL pool)
{
    auto buffer = MakeCountedHandle(new CVertexBuffer());
    if (Failed(buffer->Create(device.get(), count, FvfVertexSize(fvf), usage, fvf, pool)))
        return {};
    vertexBuffers.push_back(buffer);
    return buffer;
}

CountedHandle<CIndexBuffer> CRenderDevice::CreateIndexBuffer(uint32_t count, D3DFORMAT format, uint32_t usage,
                                                             D3DPOOL pool)
{
    auto buffer = MakeCountedHandle(new CIndexBuffer());
    if (Failed(buffer->Create(device.get(), count, format, usage, pool)))
        return {};
    indexBuffers.push_back(buffer);
    return buffer;
}

CountedHandle<CTexture> CRenderDevice::LoadTexture(const std::string& file, const std::string& name,
                                                   uint32_t mipLevels, uint32_t usage, D3DPOOL pool,
                                                   D3DFORMAT format)
{
    auto texture = MakeCountedHandle(new CTexture());
    if (Failed(texture->LoadFromFile(device.get(), file, name, mipLevels, usage, pool, format)))
        return {};
    textures.push_back(texture);
    return texture;
}

CountedHandle<CTexture> CRenderDevice::RegisterTexture(const std::string& file, const std::string& name,
                                                       uint32_t mipLevels, uint32_t usage, D3DPOOL pool,
                                                       D3DFORMAT format)
{
    auto texture = MakeCountedHandle(new CTexture());
    if (Failed(texture->RegisterFile(file, name, mipLevels, usage, pool, format)))
        return {};
    textures.push_back(texture);
    return texture;
}

CountedHandle<CTexture> CRenderDevice::CreateTexture(const std::string& name, uint32_t width, uint32_t height,
                                                     uint32_t mipLevels, uint32_t usage, D3DPOOL pool,
                                                     D3DFORMAT format)
{
    auto texture = MakeCountedHandle(new CTexture());
    if (Failed(texture->CreateBlank(device.get(), name, width, height, mipLevels, usage, pool, format)))
        return {};
    textures.push_back(texture);
    return texture;
}

D3DFORMAT CRenderDevice::ChooseFormat(const std::vector<D3DFORMAT>& candidates) const
{
    if (!object)
        return D3DFMT_UNKNOWN;
    for (D3DFORMAT candidate : candidates)
        if (!Failed(object->CheckDeviceFormat(static_cast<uint32_t>(adapter), D3DDEVTYPE_HAL,
                                              presentParameters.BackBufferFormat, 0, D3DRTYPE_TEXTURE, candidate)))
            return candidate;
    return D3DFMT_UNKNOWN;
}

CountedHandle<CTexture> CRenderDevice::LoadTextureAutoFormat(const std::string& file, const std::string& name,
                                                             const std::vector<D3DFORMAT>& candidates,
                                                             uint32_t mipLevels, uint32_t usage, D3DPOOL pool)
{
    return LoadTexture(file, name, mipLevels, usage, pool, ChooseFormat(candidates));
}

CountedHandle<CTexture> CRenderDevice::CreateTextureAutoFormat(const std::string& name, uint32_t width,
                                                               uint32_t height,
                                                               const std::vector<D3DFORMAT>& candidates,
                                                               uint32_t mipLevels, uint32_t usage, D3DPOOL pool)
{
    return CreateTexture(name, width, height, mipLevels, usage, pool, ChooseFormat(candidates));
}

CountedHandle<CTexture> CRenderDevice::LoadTextureForAlpha(const std::string& file, const std::string& name,
                                                           int greyscale, uint32_t usage, D3DPOOL pool)
{
    static const std::vector<D3DFORMAT> grey = {D3DFMT_A8R8G8B8, D3DFMT_A8L8, D3DFMT_A4R4G4B4,
                                                D3DFMT_A8R3G3B2, D3DFMT_A4L4, D3DFMT_A1R5G5B5};
    static const std::vector<D3DFORMAT> colour = {D3DFMT_A8R8G8B8, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
                                                  D3DFMT_A8R3G3B2, D3DFMT_A8L8,     D3DFMT_A4L4};
    return LoadTextureWithAlphaAutoFormat(file, name, greyscale ? grey : colour, usage, pool);
}

CountedHandle<CTexture> CRenderDevice::LoadTextureWithAlphaAutoFormat(const std::string& file,
                                                                      const std::string& name,
                                                                      const std::vector<D3DFORMAT>& candidates,
                                                                      uint32_t usage, D3DPOOL pool)
{
    const D3DFORMAT format = ChooseFormat(candidates);
    auto texture = MakeCountedHandle(new CTexture());
    if (Failed(texture->LoadWithAlphaCompanion(device.get(), file, name, usage, pool, format)))
        return {};
    textures.push_back(texture);
    return texture;
}

int CRenderDevice::FindTextureIndex(const std::string& name) const
{
    for (size_t i = 0; i < textures.size(); ++i)
        if (textures[i]->name == name)
            return static_cast<int>(i);
    return -1;
}

CountedHandle<CTexture> CRenderDevice::FindTexture(const char* name) const
{
    return FindTextureStr(name ? std::string(name) : std::string());
}

CountedHandle<CTexture> CRenderDevice::FindTextureStr(const std::string& name) const
{
    const int index = FindTextureIndex(name);
    return index < 0 ? CountedHandle<CTexture>() : textures[static_cast<size_t>(index)];
}

void CRenderDevice::RemoveTexture(int index)
{
    if (index < 0 || index >= static_cast<int>(textures.size()))
        return;
    textures.erase(textures.begin() + index);
}

CountedHandle<CImageSurface> CRenderDevice::CreateImageSurface(const std::string& name, uint32_t width,
                                                               uint32_t height, D3DFORMAT format)
{
    auto surface = MakeCountedHandle(new CImageSurface());
    if (Failed(surface->Create(device.get(), name, width, height, format)))
        return {};
    imageSurfaces.push_back(surface);
    return surface;
}

int CRenderDevice::FindSurfaceIndex(const std::string& name) const
{
    for (size_t i = 0; i < imageSurfaces.size(); ++i)
        if (imageSurfaces[i]->name == name)
            return static_cast<int>(i);
    return -1;
}

void CRenderDevice::ReleaseDefaultPoolResources()
{
    ForgetBindings();
    for (auto& buffer : vertexBuffers)
        if (buffer->pool == D3DPOOL_DEFAULT)
            buffer->ReleaseObject();
    for (auto& buffer : indexBuffers)
        if (buffer->pool == D3DPOOL_DEFAULT)
            buffer->ReleaseObject();
    for (auto& texture : textures)
        if (texture->description.Pool == D3DPOOL_DEFAULT)
            texture->ReleaseD3DResource();
}

void CRenderDevice::RecreateDefaultPoolResources()
{
    char text[160];
    for (size_t i = 0; i < vertexBuffers.size(); ++i)
        if (vertexBuffers[i]->pool == D3DPOOL_DEFAULT && Failed(vertexBuffers[i]->Recreate(device.get()))) {
            std::snprintf(text, sizeof text, "Unable to recreate Vertex Buffer %d", static_cast<int>(i));
            errorMessages.emplace_back(text);
        }
    for (size_t i = 0; i < indexBuffers.size(); ++i)
        if (indexBuffers[i]->pool == D3DPOOL_DEFAULT && Failed(indexBuffers[i]->Recreate(device.get()))) {
            std::snprintf(text, sizeof text, "Unable to recreate Index Buffer %d", static_cast<int>(i));
            errorMessages.emplace_back(text);
        }
    for (size_t i = 0; i < textures.size(); ++i)
        if (textures[i]->description.Pool == D3DPOOL_DEFAULT && Failed(textures[i]->Recreate(device.get()))) {
            std::snprintf(text, sizeof text, "Unable to recreate Texture %d \"%s\"", static_cast<int>(i),
                          textures[i]->name.c_str());
            errorMessages.emplace_back(text);
        }
}
