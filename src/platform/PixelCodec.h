// Pixels of the device's texture formats to and from 32-bit ARGB, for the
// file loaders and for uploading textures to GL.
#pragma once

#include "platform/D3D8.h"

#include <cstdint>

namespace d3d {

// False for formats the devices cannot hold.
bool IsTextureFormat(D3DFORMAT format);
// Writes one pixel of `format` (FormatBytes(format) bytes, little-endian).
void EncodePixel(D3DFORMAT format, uint32_t argb, uint8_t* out);
// Reads one pixel of `format`; channels the format lacks read as 0xFF
// (alpha) or 0 (colour), luminance as grey.
uint32_t DecodePixel(D3DFORMAT format, const uint8_t* in);
// A row of `count` pixels each way; the 32-bit formats are copied as they
// are (X8R8G8B8 with its alpha byte set).
void EncodeRow(D3DFORMAT format, const uint32_t* argb, uint8_t* out, uint32_t count);
void DecodeRow(D3DFORMAT format, const uint8_t* in, uint32_t* argb, uint32_t count);

} // namespace d3d
