// The caps renderer owns every live cap, the caps textures and animations,
// and draws all caps with a handful of draw calls: the caps themselves (one
// call per run of caps sharing a texture), the light under the pointer
// added over the caps near it, and the chains over chained tokens in one
// call. The frame draws it through the caps slot.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/FrameLayers.h"
#include "tokens/Cap.h"
#include "tokens/CapsAnimation.h"

#include <cstdint>
#include <string>
#include <vector>

class CRenderDevice;
class CTexture;
class CVertexBuffer;
class CIndexBuffer;
struct Vertex;

class CCapsRenderer : public ICapsLayer {
public:
    // Texture entries: set 0 (the board) is 0..2, set 1 (the memory
    // challenge) is 3..8.
    enum TextureEntry { kCaps, kCapsGem, kCapsLight, kMemCaps1, kMemCapsLight1 = 6, kTextureCount = 9 };

    CCapsRenderer(CountedHandle<CRenderDevice> device, CountedHandle<CVertexBuffer> vertices,
                  CountedHandle<CIndexBuffer> indices);

    // The nine caps textures, the pointer light and the chain picture; false
    // at the first file that does not load (logged).
    bool LoadTextures(const std::string& folder);
    bool LoadAnimations(const std::string& folder);
    // Makes texture set 0 (board) or 1 (memory challenge) resident.
    bool SwitchTextureSet(int set);

    CountedHandle<CCap> CreateCap(int type, float x, float y, float z, float size, int layer);
    // The former index of the removed cap, or -1 when it is not live.
    int RemoveCap(const CountedHandle<CCap>& cap);
    // Moves a cap to or from its gem picture.
    void SetCapGem(const CountedHandle<CCap>& cap, bool gem);
    // Puts a cap whose layer or texture changed back in draw order; its new
    // index, or -1 when it is not live.
    int ResortCap(const CountedHandle<CCap>& cap);

    // Both cap passes: triangles drawn, negative when a buffer lock failed.
    int Render();
    // The chain overlay: chain quads drawn, -1 when a buffer lock failed.
    int DrawChains();

    void SetShown(bool shown) { m_shown = shown; }
    // Caps are drawn only inside the rectangle (y up): what leaves the
    // board slides out under its edge instead of crossing what lies beside
    // it. Without a clip a cap is drawn whole wherever it is.
    void SetClip(float left, float top, float right, float bottom);
    void ClearClip() { m_clipped = false; }
    // The pointer in board space, written by the board every frame.
    void SetMouse(int x, int y)
    {
        m_mouseX = x;
        m_mouseY = y;
    }

    bool IsShown() const override { return m_shown; }
    void RenderCaps() override { Render(); }
    void RenderChains() override { DrawChains(); }

    const std::vector<CountedHandle<CCap>>& Caps() const { return m_caps; }
    const std::vector<CCapsAnimation>& Animations() const { return m_animations; }
    const CountedHandle<CTexture>& Texture(int entry) const { return m_textures[static_cast<size_t>(entry)]; }
    int TextureSet() const { return m_textureSet; }
    // The chain picture and its second texture loaded from the same file
    // (the chain's alpha), for the effects that show chains elsewhere.
    const CountedHandle<CTexture>& ChainTexture() const { return m_chainTexture; }
    const CountedHandle<CTexture>& ChainAlphaTexture() const { return m_chainAlphaTexture; }
    // The animation a cap type shows, or -1 for a type without one.
    int AnimationIndex(int type) const;

private:
    struct CapBatch {
        const CCap* first; // the pass's texture is read from it
        uint32_t firstVertex, vertexCount, firstIndex, triangleCount;
    };
    enum class Pass { Base, Light };

    void InsertCap(const CountedHandle<CCap>& cap);
    int Find(const CountedHandle<CCap>& cap) const;
    void AssignTextures(CCap& cap) const;
    // The frame rectangle a cap shows, or null when it shows none.
    const CapFrame* FrameOf(const CCap& cap) const;
    // Locks room for `quads`, writes the batches of one pass and unlocks;
    // false when a lock failed.
    bool BuildBatches(Pass pass, uint32_t quads);
    bool WriteQuad(Pass pass, const CCap& cap, Vertex* v, uint16_t* x, uint32_t base) const;
    int DrawBatches(Pass pass);
    uint32_t MarkLitCaps(float mouseX, float mouseY);

    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CVertexBuffer> m_vertexBuffer;
    CountedHandle<CIndexBuffer> m_indexBuffer;
    std::vector<CountedHandle<CTexture>> m_textures;
    CountedHandle<CTexture> m_cursorAddTexture;
    CountedHandle<CTexture> m_chainTexture;
    CountedHandle<CTexture> m_chainAlphaTexture;
    bool m_shown = true;
    // Live caps in draw order: layers never rise along the list, and within
    // a layer caps of one base texture stand together.
    std::vector<CountedHandle<CCap>> m_caps;
    std::vector<CCapsAnimation> m_animations;
    std::vector<CapBatch> m_batches;
    int m_mouseX = 0, m_mouseY = 0;
    bool m_clipped = false;
    float m_clipLeft = 0, m_clipTop = 0, m_clipRight = 0, m_clipBottom = 0;
    int m_textureSet = -1; // -1 until the textures are loaded
};
