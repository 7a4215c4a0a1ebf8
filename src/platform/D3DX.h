// The texture helpers the engine calls: pictures from JPEG, PNG, TGA and BMP
// files into textures (with a mip chain) and surfaces, and blank textures.
// They work on any device through its resource interface.
#pragma once

#include "platform/D3D8.h"

#include <string>
#include <vector>

namespace d3d {

constexpr uint32_t D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr uint32_t D3DX_FILTER_TRIANGLE = 4;

struct D3DXIMAGE_INFO {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Depth = 1;
    uint32_t MipLevels = 1;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

// A decoded picture: rows top-down, 32-bit ARGB words.
struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;
    std::vector<uint32_t> pixels;
};

// The largest side of a picture read for a surface; textures take theirs
// from the device.
constexpr uint32_t kMaxPictureSide = 4096;

// Decodes by content (PNG and JPEG signatures, BMP header, else TGA). The
// path is a game path. False when the file is missing, not a picture, or
// claims a side longer than `maxSide` (checked before decoding).
bool DecodeImageFile(const std::string& path, DecodedImage* image, uint32_t maxSide = kMaxPictureSide);

// What the file's header says of the picture (size, and A8R8G8B8 for a
// picture with alpha, X8R8G8B8 otherwise), with no pixel decoded; false as
// DecodeImageFile is for a missing file, another kind of file, a damaged
// header or a side longer than `maxSide`.
bool D3DXGetImageInfoFromFile(const std::string& path, D3DXIMAGE_INFO* info, uint32_t maxSide = kMaxPictureSide);

// Writes 32-bit ARGB pixels (top row first) as a PNG file (a native path).
bool WritePngFile(const std::string& nativePath, uint32_t width, uint32_t height,
                  const std::vector<uint32_t>& pixels);

// Width and height D3DX_DEFAULT take the picture's size; levels 0 or
// D3DX_DEFAULT make a full chain; format D3DFMT_UNKNOWN takes A8R8G8B8 for
// pictures with alpha and X8R8G8B8 otherwise. Mips are filtered by averaging.
HRESULT D3DXCreateTextureFromFileEx(IDirect3DDevice8* device, const std::string& path, uint32_t width,
                                    uint32_t height, uint32_t mipLevels, uint32_t usage, D3DFORMAT format,
                                    D3DPOOL pool, uint32_t filter, uint32_t mipFilter, uint32_t colorKey,
                                    D3DXIMAGE_INFO* info, std::unique_ptr<IDirect3DTexture8>* out);
HRESULT D3DXCreateTexture(IDirect3DDevice8* device, uint32_t width, uint32_t height, uint32_t mipLevels,
                          uint32_t usage, D3DFORMAT format, D3DPOOL pool, std::unique_ptr<IDirect3DTexture8>* out);
// Left-handed perspective projection of the view volume between the planes
// left..right and bottom..top at the near distance, depth near..far mapped
// onto 0..1. Returns `out`.
D3DMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DMATRIX* out, float left, float right, float bottom, float top,
                                            float zNear, float zFar);
// The whole picture into the whole surface (scaled by nearest texel when the
// sizes differ).
HRESULT D3DXLoadSurfaceFromFile(IDirect3DSurface8* surface, const std::string& path, D3DXIMAGE_INFO* info);

} // namespace d3d
