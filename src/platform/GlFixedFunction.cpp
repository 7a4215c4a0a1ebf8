// The device's state codes in GL's fixed-function terms.
#include "platform/GlFixedFunction.h"

#include <cstring>

namespace d3d {

namespace {

GLenum ArgumentSource(uint32_t arg)
{
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_CURRENT:
        return GL_PREVIOUS;
    case D3DTA_TEXTURE:
        return GL_TEXTURE;
    case D3DTA_TFACTOR:
        return GL_CONSTANT;
    default:
        return GL_PRIMARY_COLOR;
    }
}

GLenum ColourOperand(uint32_t arg)
{
    const bool complement = (arg & D3DTA_COMPLEMENT) != 0;
    if (arg & D3DTA_ALPHAREPLICATE)
        return complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    return complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
}

GLenum AlphaOperand(uint32_t arg) { return (arg & D3DTA_COMPLEMENT) ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA; }

} // namespace

GLenum CompareFunction(uint32_t cmp)
{
    return cmp >= D3DCMP_NEVER && cmp <= D3DCMP_ALWAYS ? GL_NEVER + (cmp - 1) : GL_ALWAYS;
}

GLenum BlendFactor(uint32_t blend)
{
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum BlendEquationOf(uint32_t op)
{
    switch (op) {
    case 2:
        return GL_FUNC_SUBTRACT;
    case 3:
        return GL_FUNC_REVERSE_SUBTRACT;
    case 4:
        return GL_MIN;
    case 5:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum AddressMode(uint32_t mode)
{
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

float FloatOf(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void ColourOf(uint32_t argb, GLfloat out[4])
{
    out[0] = ((argb >> 16) & 0xFF) / 255.0f;
    out[1] = ((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (argb & 0xFF) / 255.0f;
    out[3] = (argb >> 24) / 255.0f;
}

void SetCombine(bool alpha, uint32_t op, uint32_t arg1, uint32_t arg2)
{
    const GLenum combine = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
    const GLenum scaleName = alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE;
    const GLenum src[3] = {static_cast<GLenum>(alpha ? GL_SRC0_ALPHA : GL_SRC0_RGB),
                           static_cast<GLenum>(alpha ? GL_SRC1_ALPHA : GL_SRC1_RGB),
                           static_cast<GLenum>(alpha ? GL_SRC2_ALPHA : GL_SRC2_RGB)};
    const GLenum operand[3] = {static_cast<GLenum>(alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB),
                               static_cast<GLenum>(alpha ? GL_OPERAND1_ALPHA : GL_OPERAND1_RGB),
                               static_cast<GLenum>(alpha ? GL_OPERAND2_ALPHA : GL_OPERAND2_RGB)};
    auto operandOf = [&](uint32_t arg) { return alpha ? AlphaOperand(arg) : ColourOperand(arg); };
    auto setArg = [&](int slot, uint32_t arg) {
        glTexEnvi(GL_TEXTURE_ENV, src[slot], static_cast<GLint>(ArgumentSource(arg)));
        glTexEnvi(GL_TEXTURE_ENV, operand[slot], static_cast<GLint>(operandOf(arg)));
    };
    GLenum function = GL_MODULATE;
    float scale = 1.0f;
    setArg(0, arg1);
    setArg(1, arg2);
    switch (op) {
    case D3DTOP_SELECTARG1:
        function = GL_REPLACE;
        break;
    case D3DTOP_SELECTARG2:
        function = GL_REPLACE;
        setArg(0, arg2);
        break;
    case D3DTOP_MODULATE2X:
        scale = 2.0f;
        break;
    case D3DTOP_MODULATE4X:
        scale = 4.0f;
        break;
    case D3DTOP_ADD:
    case D3DTOP_ADDSMOOTH:
        function = GL_ADD;
        break;
    case D3DTOP_ADDSIGNED:
        function = GL_ADD_SIGNED;
        break;
    case D3DTOP_ADDSIGNED2X:
        function = GL_ADD_SIGNED;
        scale = 2.0f;
        break;
    case D3DTOP_SUBTRACT:
        function = GL_SUBTRACT;
        break;
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDFACTORALPHA: {
        function = GL_INTERPOLATE;
        const uint32_t weight = op == D3DTOP_BLENDDIFFUSEALPHA   ? D3DTA_DIFFUSE
                                : op == D3DTOP_BLENDTEXTUREALPHA ? D3DTA_TEXTURE
                                                                 : D3DTA_TFACTOR;
        glTexEnvi(GL_TEXTURE_ENV, src[2], static_cast<GLint>(ArgumentSource(weight)));
        glTexEnvi(GL_TEXTURE_ENV, operand[2], GL_SRC_ALPHA);
        break;
    }
    default:
        break;
    }
    glTexEnvi(GL_TEXTURE_ENV, combine, static_cast<GLint>(function));
    glTexEnvf(GL_TEXTURE_ENV, scaleName, scale);
}

} // namespace d3d
