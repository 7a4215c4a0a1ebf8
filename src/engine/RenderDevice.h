// The engine's wrapper of the drawing device: adapter and mode lists, device
// creation and reset, and caches of render and texture-stage states so that
// a redundant device call is never made; and the named draw passes
// (DrawPass.h) through which the floors above draw.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/DeviceResources.h"
#include "engine/DrawPass.h"
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
    // The usual stage: its texture times the vertex colour, alpha likewise.
    void ModulateTextureByVertexColour(uint32_t stage);
    d3d::HRESULT SetTransform(d3d::D3DTRANSFORMSTATETYPE state, const d3d::D3DMATRIX& matrix);
    d3d::HRESULT SetViewport(const d3d::D3DVIEWPORT8& viewport);
    d3d::HRESULT Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil);

    // Bound objects, cached by the device object they hold.
    d3d::HRESULT SetTexture(uint32_t stage, CountedHandle<CTexture> texture);
    d3d::HRESULT SetStreamSource(CountedHandle<CVertexBuffer> buffer);
    d3d::HRESULT SetIndices(CountedHandle<CIndexBuffer> buffer, uint32_t baseVertexIndex);
    d3d::HRESULT SetFVF(uint32_t fvf);
    d3d::HRESULT DrawIndexed(d3d::D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                             uint32_t startIndex, uint32_t primitiveCount);
    // Forgets what is bound (after creation, reset or a release).
    void ForgetBindings();

    // The draws that follow are cut to these rectangles of the back buffer,
    // each draw made once per rectangle (they must not overlap, or blended
    // pixels would be drawn twice); with none they draw nothing. Until
    // StopCutting.
    void CutDrawsTo(const std::vector<d3d::D3DRECT>& rects);
    void StopCutting();

    // Draws with a named pass state (DrawPass.h), set through the caches.
    // The states the pass changes are owed back: a later draw finds them as
    // they were before the pass, unless a setter above set them since or
    // the later draw is a pass that sets them too. A state that cannot
    // change a draw (a blend factor while blending is off, the arguments of
    // a disabled texture stage, ...) stays owed until one it can change, so
    // that passes next to each other make no calls back and forth.
    d3d::HRESULT DrawPass(const PassState& pass, const PassDraw& draw);
    // A render state as a draw outside a pass would find it now.
    d3d::HRESULT GetFrameRenderState(d3d::D3DRENDERSTATETYPE state, uint32_t* value) const;
    // Depth writes for the frame's layers that follow.
    void SetFrameDepthWrites(bool on);

    // Buffers: registered and returned, or an empty handle.
    CountedHandle<CVertexBuffer> CreateVertexBuffer(uint32_t count, uint32_t usage, uint32_t fvf,
                                                    d3d::D3DPOOL pool);
    CountedHandle<CIndexBuffer> CreateIndexBuffer(uint32_t count, d3d::D3DFORMAT format, uint32_t usage,
                                                  d3d::D3DPOOL pool);

    // Textures by name.
    CountedHandle<CTexture> LoadTexture(const std::string& file, const std::string& name, uint32_t mipLevels,
                                        uint32_t usage, d3d::D3DPOOL pool, d3d::D3DFORMAT format);
    // A picture known by its header only until it is first drawn with (or
    // recreated); empty when the header cannot be read.
    CountedHandle<CTexture> RegisterTexture(const std::string& file, const std::string& name, uint32_t mipLevels,
                                            uint32_t usage, d3d::D3DPOOL pool, d3d::D3DFORMAT format);
    CountedHandle<CTexture> CreateTexture(const std::string& name, uint32_t width, uint32_t height,
                                          uint32_t mipLevels, uint32_t usage, d3d::D3DPOOL pool,
                                          d3d::D3DFORMAT format);
    CountedHandle<CTexture> LoadTextureAutoFormat(const std::string& file, const std::string& name,
                                                  const std::vector<d3d::D3DFORMAT>& candidates,
                                                  uint32_t mipLevels, uint32_t usage, d3d::D3DPOOL pool);
    CountedHandle<CTexture> CreateTextureAutoFormat(const std::string& name, uint32_t width, uint32_t height,
                                                    const std::vector<d3d::D3DFORMAT>& candidates,
                                                    uint32_t mipLevels, uint32_t usage, d3d::D3DPOOL pool);
    CountedHandle<CTexture> LoadTextureForAlpha(const std::string& file, const std::string& name, int greyscale,
                                                uint32_t usage, d3d::D3DPOOL pool);
    CountedHandle<CTexture> LoadTextureWithAlphaAutoFormat(const std::string& file, const std::string& name,
                                                           const std::vector<d3d::D3DFORMAT>& candidates,
                                                           uint32_t usage, d3d::D3DPOOL pool);
    // The first candidate the device accepts for a texture, or D3DFMT_UNKNOWN.
    d3d::D3DFORMAT ChooseFormat(const std::vector<d3d::D3DFORMAT>& candidates) const;
    int FindTextureIndex(const std::string& name) const;
    CountedHandle<CTexture> FindTexture(const char* name) const;
    CountedHandle<CTexture> FindTextureStr(const std::string& name) const;
    void RemoveTexture(int index);

    CountedHandle<CImageSurface> CreateImageSurface(const std::string& name, uint32_t width, uint32_t height,
                                                    d3d::D3DFORMAT format);
    int FindSurfaceIndex(const std::string& name) const;

    // Reads the device's current states into the caches.
    void ReadStateCaches();
    // Sends the cached values back to the device after a reset, stage states
    // first, each kind read back at once.
    void ApplyStateCaches();
    void ReadTextureStageStates();
    void ReadRenderStates();
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
    std::vector<CountedHandle<CVertexBuffer>> vertexBuffers;
    std::vector<CountedHandle<CIndexBuffer>> indexBuffers;
    std::vector<CountedHandle<CTexture>> textures;
    std::vector<CountedHandle<CImageSurface>> imageSurfaces;
    uint32_t maxVertexIndex = 0;
    uint32_t maxPrimitiveCount = 0;
    uint32_t stageStates[d3d::kTextureStageCount][d3d::kTextureStageStateCount] = {};
    uint32_t renderStates[d3d::kRenderStateCount] = {};
    d3d::IDirect3DTexture8* boundTextures[d3d::kTextureStageCount] = {};
    // How many texture objects had been destroyed when the bindings above
    // were last known good.
    uint64_t texturesDestroyedSeen = 0;
    d3d::IDirect3DVertexBuffer8* boundVertexBuffer = nullptr;
    d3d::IDirect3DIndexBuffer8* boundIndexBuffer = nullptr;

private:
    void LoadOnUse(CTexture& texture);
    d3d::HRESULT DrawPrimitives(d3d::D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                uint32_t startIndex, uint32_t primitiveCount);

    // A state a pass changed, and the value it had before. `stage` -1 marks
    // a render state.
    struct OwedState {
        int32_t stage;
        int32_t type;
        uint32_t value;
        bool setByPass;
    };
    OwedState* FindOwed(int32_t stage, int32_t type);
    void ForgiveOwed(int32_t stage, int32_t type);
    void PassRenderState(d3d::D3DRENDERSTATETYPE state, uint32_t value);
    void PassStageState(uint32_t stage, d3d::D3DTEXTURESTAGESTATETYPE type, uint32_t value);
    void ApplyPassTexturing(const PassState& pass);
    // Gives back every owed state the coming draw could see.
    void SettleOwed();
    bool CanChangeDraw(const OwedState& owed) const;
    // The caches take the owed values without a device call (before the
    // states are sent again after a reset).
    void ForgetOwedIntoCaches();
    d3d::HRESULT CachedRenderState(d3d::D3DRENDERSTATETYPE state, uint32_t value);
    d3d::HRESULT CachedStageState(uint32_t stage, d3d::D3DTEXTURESTAGESTATETYPE type, uint32_t value);

    std::vector<OwedState> m_owed;
    bool m_cutting = false;
    std::vector<d3d::D3DRECT> m_cut;
};
