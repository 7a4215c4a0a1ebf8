// Draw passes: what the drawables above the engine (the caps, the scenes, the
// sand box, the board mesh, the particles) ask of the device, by name. A pass
// says how its pixels blend, what its one or two textures and the vertex
// colour make together, whether texels are alpha-tested, and the depth
// writes, fog and texture addressing it needs; `CRenderDevice::DrawPass`
// sets that through the device's caches and draws. What a pass changes holds
// only for its own draws: any later draw sees the states as they were before
// the pass, unless something set them since (see RenderDevice.h).
#pragma once

#include "engine/CountedHandle.h"
#include "platform/D3D8.h"

class CTexture;

// How a pass's pixels meet the picture drawn so far.
struct PassBlend {
    bool on = true;
    uint32_t source = d3d::D3DBLEND_SRCALPHA;
    uint32_t destination = d3d::D3DBLEND_INVSRCALPHA;

    // Replaces the picture.
    static PassBlend Opaque() { return {false, d3d::D3DBLEND_SRCALPHA, d3d::D3DBLEND_INVSRCALPHA}; }
    // Over the picture by the pass's alpha.
    static PassBlend Alpha() { return {true, d3d::D3DBLEND_SRCALPHA, d3d::D3DBLEND_INVSRCALPHA}; }
    // Added to the picture, weighed by the pass's alpha.
    static PassBlend Additive() { return {true, d3d::D3DBLEND_SRCALPHA, d3d::D3DBLEND_ONE}; }
    // Added to the picture whole.
    static PassBlend Add() { return {true, d3d::D3DBLEND_ONE, d3d::D3DBLEND_ONE}; }
    // Darkens the picture by the pass's colour: white is the deepest shade.
    static PassBlend Darken() { return {true, d3d::D3DBLEND_ZERO, d3d::D3DBLEND_INVSRCCOLOR}; }
    // A pair of device blend factors, as a data file names them.
    static PassBlend Factors(uint32_t src, uint32_t dest) { return {true, src, dest}; }

    // Adds to or multiplies the picture: a fog colour mixed in would light
    // or tint it wrongly.
    bool AddsOrMultiplies() const
    {
        return destination == d3d::D3DBLEND_ONE || destination == d3d::D3DBLEND_INVSRCCOLOR ||
               source == d3d::D3DBLEND_DESTCOLOR;
    }
};

// What the texture stages make of the pass's textures and the vertex colour.
enum class PassTexturing : uint8_t {
    // The texture times the vertex colour, in colour and alpha.
    Modulate,
    // The texture as it is, its colour times the second texture's: a light
    // spot laid over it.
    LitBySecond,
    // The texture's colour times the vertex colour; the alpha is the second
    // texture's times the vertex's.
    AlphaFromSecond,
    // The texture's colour and alpha, both times the second texture (a mask).
    Masked,
    // The vertex colour with the texture's alpha, both times the mask.
    MaskedVertexColour,
};

// Depth writes while the pass draws.
enum class PassDepth : uint8_t {
    Frame,   // as the frame has them at this layer
    Write,   // on
    NoWrite, // off
};

enum class PassFog : uint8_t {
    Frame, // the frame's fog as it is
    // Black fog for a pass that adds or multiplies (see PassBlend); the
    // frame's fog colour for the others.
    BlackWhenAdding,
};

struct PassState {
    PassBlend blend = PassBlend::Alpha();
    PassTexturing texturing = PassTexturing::Modulate;
    // Texels whose alpha is at most `alphaRef` (of 255) are dropped.
    bool alphaTest = true;
    uint32_t alphaRef = 1;
    PassDepth depth = PassDepth::Frame;
    PassFog fog = PassFog::Frame;
    // Texture coordinates outside 0..1 stay at the edge instead of repeating:
    // along u or v on both textures, or on the second texture only.
    bool clampU = false;
    bool clampV = false;
    bool clampSecond = false;
    CountedHandle<CTexture> texture;
    // The light spot, the alpha or the mask of the textured kinds above.
    CountedHandle<CTexture> second;
};

// The primitives of one draw in the shared buffers.
struct PassDraw {
    d3d::D3DPRIMITIVETYPE type = d3d::D3DPT_TRIANGLELIST;
    uint32_t firstVertex = 0;
    uint32_t vertexCount = 0;
    uint32_t firstIndex = 0;
    uint32_t primitives = 0;

    // `count` quads of four vertices and six indices each.
    static PassDraw Quads(uint32_t firstVertex, uint32_t firstIndex, uint32_t count)
    {
        return {d3d::D3DPT_TRIANGLELIST, firstVertex, 4 * count, firstIndex, 2 * count};
    }
    // A triangle list over `vertexCount` vertices.
    static PassDraw Triangles(uint32_t firstVertex, uint32_t vertexCount, uint32_t firstIndex, uint32_t triangles)
    {
        return {d3d::D3DPT_TRIANGLELIST, firstVertex, vertexCount, firstIndex, triangles};
    }
    // A strip over `vertexCount` vertices named by as many indices.
    static PassDraw Strip(uint32_t firstVertex, uint32_t vertexCount, uint32_t firstIndex)
    {
        return {d3d::D3DPT_TRIANGLESTRIP, firstVertex, vertexCount, firstIndex, vertexCount - 2};
    }
};
