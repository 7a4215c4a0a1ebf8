// The device's state codes in GL's fixed-function terms: compare functions,
// blend factors, texture addressing, and a texture stage's combiner.
#pragma once

#include "platform/D3D8.h"
#include "platform/GlContext.h"

namespace d3d {

GLenum CompareFunction(uint32_t cmp);
GLenum BlendFactor(uint32_t blend);
GLenum BlendEquationOf(uint32_t op);
GLenum AddressMode(uint32_t mode);
// A render state that holds a float's bits.
float FloatOf(uint32_t bits);
// An ARGB word as GL's four floats, red first.
void ColourOf(uint32_t argb, GLfloat out[4]);
// One half (colour or alpha) of the active unit's GL_COMBINE from a stage's
// operation and arguments.
void SetCombine(bool alpha, uint32_t op, uint32_t arg1, uint32_t arg2);

} // namespace d3d
