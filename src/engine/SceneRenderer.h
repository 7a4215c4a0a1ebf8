// The frame renderer: display settings, the 1024 x 768 orthographic virtual
// screen inside a centred 4:3 viewport, the draw order of the layers, and
// recovery when the device is lost or its mode changes.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/FrameLayers.h"
#include "engine/RenderDevice.h"
#include "engine/Settings.h"
#include "engine/Sprite.h"
#include "engine/Text.h"

#include <utility>
#include <vector>

// What the game's screen in front of the scene covers of it, on the
// 1024 x 768 virtual screen (x right, y up): `opaque` rectangles hide
// whatever the scene draws under them, `translucent` ones dim it and hide
// only its faint layers. The game reports it before every frame from what
// shows; empty, the scene draws whole.
struct SceneCover {
    struct Rect {
        float left = 0, top = 0, right = 0, bottom = 0;
    };
    std::vector<Rect> opaque;
    std::vector<Rect> translucent;

    bool Empty() const { return opaque.empty() && translucent.empty(); }
};

class CSceneRenderer {
public:
    CSceneRenderer();
    ~CSceneRenderer();
    CSceneRenderer(const CSceneRenderer&) = delete;
    CSceneRenderer& operator=(const CSceneRenderer&) = delete;

    d3d::HRESULT CreateDevice(DisplaySettings* settings, d3d::IDirect3D8* obj, plat::Window* window,
                              d3d::D3DFORMAT depthFormat);
    int SetDisplayMode(int fullScreen, int width, int height, d3d::D3DFORMAT format);
    void GetDisplayMode(int fullScreen, int* width, int* height, d3d::D3DFORMAT* format);
    void SaveGammaRamp();
    void SetGammaFromBrightness(float brightness);
    void RestoreGammaRamp();

    d3d::HRESULT RenderFrame();
    d3d::HRESULT RenderLoadingFrame(CountedHandle<CTexture> picture, float progress);
    d3d::HRESULT Present();
    void OnDeviceReset();

    // Full viewport and the centred 4:3 one for a back buffer of this size.
    static void ComputeViewports(int width, int height, d3d::D3DVIEWPORT8* full, d3d::D3DVIEWPORT8* centred);
    static d3d::D3DMATRIX OrthoProjection();
    static d3d::D3DMATRIX Identity();
    // The gamma ramp that brightness `x` (0.5 = identity) gives.
    static void GammaRampFromBrightness(float x, d3d::D3DGAMMARAMP* ramp);
    // The parts of `area` outside every cover, as rectangles that do not
    // overlap (bands from top to bottom, merged where they run on alike).
    static void Uncovered(const d3d::D3DRECT& area, const std::vector<d3d::D3DRECT>& covers,
                          std::vector<d3d::D3DRECT>* out);
    // What `sceneCover` leaves of the scene in view, in back-buffer pixels.
    const SceneView& ViewOfScene();

    d3d::IDirect3D8* object = nullptr;
    CountedHandle<CRenderDevice> device;
    std::vector<std::pair<int32_t, int32_t>> windowSizes;
    std::vector<int32_t> fullScreenModes;
    d3d::D3DMATRIX world;
    d3d::D3DMATRIX view;
    d3d::D3DMATRIX projection;
    d3d::D3DVIEWPORT8 fullViewport;
    d3d::D3DVIEWPORT8 centredViewport;
    DisplaySettings settings;
    int32_t width = 0;
    int32_t height = 0;
    d3d::D3DFORMAT format = 0;
    float horizontalScale = 1.0f;
    float halfScale = 0.5f;
    float halfWidth = 0.0f;
    plat::Window* window = nullptr;
    CountedHandle<CVertexBuffer> vertexBuffer;
    CountedHandle<CIndexBuffer> indexBuffer;
    // The drawing slots, declared in the order the members are released in
    // reverse: the sand box first, the particle layers last.
    CountedHandle<IParticleLayer> particleLayers[6];
    CountedHandle<CFlareRenderer> flareLayers[3];
    CountedHandle<CTextBatch> textBatch;
    int32_t clearTarget = 1;
    uint32_t clearColor = 0x004040FF;
    CountedHandle<IGuiLayer> gui;
    d3d::D3DGAMMARAMP savedGammaRamp;
    CountedHandle<CSpriteRenderer> spriteLayers[3];
    CountedHandle<ICapsLayer> caps;
    CountedHandle<IBufferLayer> boardMesh;
    CountedHandle<IBackgroundLayer> background;
    CountedHandle<IBufferLayer> sandbox;
    // True while a reset has failed and is to be tried again next frame.
    bool resetPending = false;
    SceneCover sceneCover;

private:
    // The steps of CreateDevice, in order.
    bool ChooseAdapter(DisplaySettings* s);
    void ListWindowSizes(const DisplayMode* desktop, DisplaySettings* s);
    void FillFullScreenModes(const CDisplayModeList& list, const DisplayMode* desktop);
    void ChooseSize(const CDisplayModeList& list, DisplaySettings* s);
    void ChooseColourDepth(const CDisplayModeList& list, const DisplayMode* desktop, DisplaySettings* s);
    void ChooseModeFormat(const CDisplayModeList& list, const DisplayMode* desktop, DisplaySettings* s);
    void SetDeviceDefaults();

    void SetFrameStates();
    void ClearTarget();
    void DrawLayers();
    void DrawParticlesAlphaTested(int layer);
    void DrawParticlesBlended(int layer);
    void DrawSprites(int layer);
    void DrawSpritesBlended(int layer);
    void DrawGui();
    void DepthWritesOff();
    void LetterboxClear();
    void UpdateScale();
    void SizeWindow();
    void DrawBackground();

    // Kept between frames for their room.
    SceneView m_view;
    std::vector<d3d::D3DRECT> m_covers;
};
