#include "platform/DeviceStateStore.h"

#include <cstring>

namespace d3d {

int FormatBits(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_R8G8B8:
        return 24;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 32;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4:
        return 16;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
        return 8;
    default:
        return 0;
    }
}

void DeviceStateStore::ResetToDefaults(bool hasDepthBuffer)
{
    std::memset(m_render, 0, sizeof m_render);
    std::memset(m_stage, 0, sizeof m_stage);
    m_render[D3DRS_ZENABLE] = hasDepthBuffer ? 1 : 0;
    m_render[D3DRS_FILLMODE] = 3;  // solid
    m_render[D3DRS_SHADEMODE] = 2; // Gouraud
    m_render[D3DRS_ZWRITEENABLE] = 1;
    m_render[D3DRS_ALPHATESTENABLE] = 0;
    m_render[D3DRS_SRCBLEND] = 2;  // one
    m_render[D3DRS_DESTBLEND] = 1; // zero
    m_render[D3DRS_CULLMODE] = 3;  // counter-clockwise
    m_render[D3DRS_ZFUNC] = 4;     // less or equal
    m_render[D3DRS_ALPHAREF] = 0;
    m_render[D3DRS_ALPHAFUNC] = 8; // always
    m_render[D3DRS_DITHERENABLE] = 0;
    m_render[D3DRS_ALPHABLENDENABLE] = 0;
    m_render[D3DRS_FOGENABLE] = 0;
    m_render[D3DRS_LIGHTING] = 1;
    m_render[29] = 0;           // specular
    m_render[34] = 0;           // fog colour
    m_render[48] = 0;           // range fog
    m_render[139] = 0;          // ambient
    m_render[141] = 1;          // colour vertex
    m_render[145] = 1;          // diffuse material source: colour 1
    m_render[147] = 0;          // ambient material source: material
    m_render[154] = 0x3f800000; // point size 1.0
    m_render[156] = 0x3f800000; // point size min 1.0
    m_render[160] = 0x3f800000; // point scale A 1.0
    m_render[163] = 0xffffffff; // multisample mask
    m_render[166] = 0x42800000; // point size max 64.0
    m_render[168] = 0x0000000f; // colour write enable
    m_render[171] = 1;          // blend op add
    for (uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        m_stage[stage][D3DTSS_COLOROP] = stage == 0 ? 4 : 1; // modulate / disable
        m_stage[stage][D3DTSS_COLORARG1] = 2;                // texture
        m_stage[stage][D3DTSS_COLORARG2] = 1;                // current
        m_stage[stage][D3DTSS_ALPHAOP] = stage == 0 ? 2 : 1; // select arg 1 / disable
        m_stage[stage][D3DTSS_ALPHAARG1] = 2;
        m_stage[stage][D3DTSS_ALPHAARG2] = 1;
        m_stage[stage][D3DTSS_TEXCOORDINDEX] = stage;
        m_stage[stage][D3DTSS_ADDRESSU] = 1; // wrap
        m_stage[stage][D3DTSS_ADDRESSV] = 1;
        m_stage[stage][D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        m_stage[stage][D3DTSS_MINFILTER] = D3DTEXF_POINT;
        m_stage[stage][D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        m_stage[stage][21] = 1; // max anisotropy
        m_stage[stage][25] = 1; // address W: wrap
        m_stage[stage][26] = 1; // colour arg 0: current
        m_stage[stage][27] = 1; // alpha arg 0: current
        m_stage[stage][28] = 1; // result arg: current
    }
}

} // namespace d3d
