// What the frame renderer needs of the drawables that live on higher floors:
// the scene background, the particle managers, the board's mesh and sand box,
// the token caps and the GUI forms. Each owner implements its small interface
// and the game object puts it into the renderer's named slot during the load
// sequence; the renderer draws the slots in its fixed layer order and knows
// nothing else of them.
//
// Handles to these interfaces share the count of the object they point to
// (CountedHandle converts a derived handle to its base), so an implementing
// class must have the interface as its first (or only) polymorphic base.
#pragma once

#include "engine/CountedHandle.h"
#include "platform/D3D8.h"

#include <vector>

class CRenderDevice;
class CVertexBuffer;
class CIndexBuffer;

// The shared dynamic buffers a layer draws through, with the device.
struct FrameTargets {
    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertices;
    CountedHandle<CIndexBuffer> indices;
};

// A particle-systems manager: its alpha-tested pass, drawn with depth writes
// as the frame has them, and its blended pass, drawn after depth writes are
// turned off.
class IParticleLayer {
public:
    virtual ~IParticleLayer() = default;
    virtual void RenderAlphaTested() = 0;
    virtual void RenderBlended() = 0;
};

// What the screen in front of the scene leaves of it in view, as rectangles
// of the back buffer the scene's draws are cut to (CRenderDevice::CutDrawsTo):
// `whole` for everything the scene draws, `faint` for its faint full-screen
// layers (drifting dust, turning light rays), which a translucent backdrop
// in front leaves no more than a trace of. Not `cut`: the scene draws whole.
struct SceneView {
    bool cut = false;
    std::vector<d3d::D3DRECT> whole;
    std::vector<d3d::D3DRECT> faint;
};

// The scene background: drawn first, only while its render gate is open.
class IBackgroundLayer {
public:
    virtual ~IBackgroundLayer() = default;
    virtual bool IsRenderGateOpen() const = 0;
    // A scene that paints its own sky over black wants the target cleared to
    // black whatever the frame's clear settings are.
    virtual bool WantsBlackClear() const = 0;
    // The frame renderer has cut the device's draws to `view.whole` already.
    virtual void Render(const SceneView& view) = 0;
};

// A drawable over the shared buffers that is drawn only while shown: the
// board mesh and the sand box.
class IBufferLayer {
public:
    virtual ~IBufferLayer() = default;
    virtual bool IsShown() const = 0;
    virtual void Draw(const FrameTargets& targets) = 0;
};

// The token caps: the caps themselves, drawn under the sprites, and the
// chains, drawn over the flares.
class ICapsLayer {
public:
    virtual ~ICapsLayer() = default;
    virtual bool IsShown() const = 0;
    virtual void RenderCaps() = 0;
    virtual void RenderChains() = 0;
};

// The GUI forms manager.
class IGuiLayer {
public:
    virtual ~IGuiLayer() = default;
    virtual void RenderGui() = 0;
};
