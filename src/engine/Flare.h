// Flares: small additive glows that fade in, flicker, fade out and die.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/RenderDevice.h"
#include "engine/Vertex.h"

#include <vector>

class CFlare {
public:
    CFlare(float px, float py, float pz, CountedHandle<CTexture> tex, uint32_t colour);

    void SetAxes(const float ax[3], const float ay[3]);
    void SetSize(float w, float h);
    void SetTextureRect(float u0, float v0, float u1, float v1);
    void SetSpin(float startAngle, float speed, const float axis1[3], const float axis2[3]);
    void StartScale(float target, float speed);
    void FadeOutNow();
    int Update(float dt);
    void FillVertices(Vertex* vertices) const;

    int32_t id = 0;
    float x, y, z;
    float axisX[3] = {1, 0, 0};
    float axisY[3] = {0, 1, 0};
    float extentX[3] = {0.08f, 0, 0};
    float extentY[3] = {0, 0.08f, 0};
    float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    float width = 0.08f;
    float height = 0.08f;
    uint32_t rgb;
    CountedHandle<CTexture> texture;
    float fadeIn = 0.1f;
    float fadeOut = 0.2f;
    float fadeOutStart = 2.0f;
    float flickerDepth = 0.4f;
    float flickerPeriod = 0.05f;
    float alpha = 0.0f;
    float flickerFrom = 0.0f;
    float flickerTo = 0.0f;
    float flickerDelta = 0.0f;
    float flickerSegmentStart = 0.0f;
    float age = 0.0f;
    float delay = 0.0f;
    int32_t spinning = 0;
    float spinAngle = 0.0f;
    float spinSpeed = 0.0f;
    float spinAxis1[3] = {1, 0, 0};
    float spinAxis2[3] = {0, 1, 0};
    int32_t scaling = 0;
    float baseWidth = 0.08f;
    float baseHeight = 0.08f;
    float scale = 1.0f;
    float targetScale = 1.0f;
    float scaleSpeed = 0.0f;
    float alphaFactor = 1.0f;
};

class CFlareRenderer {
public:
    CFlareRenderer(CountedHandle<CRenderDevice> renderDevice, CountedHandle<CVertexBuffer> vertices,
                   CountedHandle<CIndexBuffer> indices);
    ~CFlareRenderer();

    void Add(const CountedHandle<CFlare>& flare);
    void Update(float dt);
    void Render();

    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertexBuffer;
    CountedHandle<CIndexBuffer> indexBuffer;
    int32_t nextId = 0;
    std::vector<CountedHandle<CFlare>> flares;
};
