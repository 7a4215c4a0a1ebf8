#include "platform/PixelCodec.h"

#include <cstring>

namespace d3d {

namespace {
uint32_t Expand(uint32_t value, int bits)
{
    // Replicate the top bits so that full scale maps to 255.
    const uint32_t max = (1u << bits) - 1;
    return (value * 255 + max / 2) / max;
}
uint32_t Luminance(uint32_t argb)
{
    const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return (r * 77 + g * 150 + b * 29 + 128) >> 8;
}
void Put(uint8_t* out, uint32_t v, uint32_t bytes)
{
    for (uint32_t i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get(const uint8_t* in, uint32_t bytes)
{
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(in[i]) << (8 * i);
    return v;
}
} // namespace

uint32_t FormatBytes(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2B10G10R10:
        return 4;
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_A8L8:
        return 2;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_L8:
    case D3DFMT_A4L4:
        return 1;
    default:
        return 0;
    }
}

bool IsTextureFormat(D3DFORMAT format) { return FormatBytes(format) != 0; }

void EncodePixel(D3DFORMAT format, uint32_t argb, uint8_t* out)
{
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case D3DFMT_A8R8G8B8:
        Put(out, argb, 4);
        break;
    case D3DFMT_X8R8G8B8:
        Put(out, argb | 0xFF000000u, 4);
        break;
    case D3DFMT_A2B10G10R10:
        Put(out, (a >> 6) << 30 | (Expand(b, 8) * 1023 / 255) << 20 | (g * 1023 / 255) << 10 | (r * 1023 / 255),
            4);
        break;
    case D3DFMT_R8G8B8:
        Put(out, argb & 0xFFFFFF, 3);
        break;
    case D3DFMT_R5G6B5:
        Put(out, (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3), 2);
        break;
    case D3DFMT_X1R5G5B5:
        Put(out, 0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3), 2);
        break;
    case D3DFMT_A1R5G5B5:
        Put(out, (a >= 128 ? 0x8000 : 0) | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3), 2);
        break;
    case D3DFMT_A4R4G4B4:
        Put(out, (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4), 2);
        break;
    case D3DFMT_X4R4G4B4:
        Put(out, 0xF000 | (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4), 2);
        break;
    case D3DFMT_A8R3G3B2:
        Put(out, a << 8 | (r >> 5) << 5 | (g >> 5) << 2 | (b >> 6), 2);
        break;
    case D3DFMT_A8L8:
        Put(out, a << 8 | Luminance(argb), 2);
        break;
    case D3DFMT_R3G3B2:
        Put(out, (r >> 5) << 5 | (g >> 5) << 2 | (b >> 6), 1);
        break;
    case D3DFMT_A8:
        Put(out, a, 1);
        break;
    case D3DFMT_L8:
        Put(out, Luminance(argb), 1);
        break;
    case D3DFMT_A4L4:
        Put(out, (a >> 4) << 4 | (Luminance(argb) >> 4), 1);
        break;
    default:
        break;
    }
}

uint32_t DecodePixel(D3DFORMAT format, const uint8_t* in)
{
    auto pack = [](uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; };
    auto grey = [&](uint32_t a, uint32_t l) { return pack(a, l, l, l); };
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return Get(in, 4);
    case D3DFMT_X8R8G8B8:
        return Get(in, 4) | 0xFF000000u;
    case D3DFMT_A2B10G10R10: {
        const uint32_t v = Get(in, 4);
        return pack(Expand(v >> 30, 2), (v & 1023) * 255 / 1023, ((v >> 10) & 1023) * 255 / 1023,
                    ((v >> 20) & 1023) * 255 / 1023);
    }
    case D3DFMT_R8G8B8:
        return Get(in, 3) | 0xFF000000u;
    case D3DFMT_R5G6B5: {
        const uint32_t v = Get(in, 2);
        return pack(255, Expand(v >> 11, 5), Expand((v >> 5) & 63, 6), Expand(v & 31, 5));
    }
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
        const uint32_t v = Get(in, 2);
        const uint32_t a = format == D3DFMT_X1R5G5B5 || (v & 0x8000) ? 255 : 0;
        return pack(a, Expand((v >> 10) & 31, 5), Expand((v >> 5) & 31, 5), Expand(v & 31, 5));
    }
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4: {
        const uint32_t v = Get(in, 2);
        const uint32_t a = format == D3DFMT_X4R4G4B4 ? 255 : Expand(v >> 12, 4);
        return pack(a, Expand((v >> 8) & 15, 4), Expand((v >> 4) & 15, 4), Expand(v & 15, 4));
    }
    case D3DFMT_A8R3G3B2: {
        const uint32_t v = Get(in, 2);
        return pack(v >> 8, Expand((v >> 5) & 7, 3), Expand((v >> 2) & 7, 3), Expand(v & 3, 2));
    }
    case D3DFMT_R3G3B2: {
        const uint32_t v = in[0];
        return pack(255, Expand(v >> 5, 3), Expand((v >> 2) & 7, 3), Expand(v & 3, 2));
    }
    case D3DFMT_A8L8: {
        const uint32_t v = Get(in, 2);
        return grey(v >> 8, v & 0xFF);
    }
    case D3DFMT_A8:
        return pack(in[0], 0, 0, 0);
    case D3DFMT_L8:
        return grey(255, in[0]);
    case D3DFMT_A4L4:
        return grey(Expand(in[0] >> 4, 4), Expand(in[0] & 15, 4));
    default:
        return 0;
    }
}

uint32_t FvfVertexSize(uint32_t fvf)
{
    uint32_t size = 0;
    if (fvf & D3DFVF_XYZ)
        size += 12;
    if (fvf & D3DFVF_XYZRHW)
        size += 16;
    if (fvf & D3DFVF_NORMAL)
        size += 12;
    if (fvf & D3DFVF_PSIZE)
        size += 4;
    if (fvf & D3DFVF_DIFFUSE)
        size += 4;
    if (fvf & D3DFVF_SPECULAR)
        size += 4;
    size += ((fvf >> 8) & 0xF) * 8;
    return size;
}

void EncodeRow(D3DFORMAT format, const uint32_t* argb, uint8_t* out, uint32_t count)
{
    if (format == D3DFMT_A8R8G8B8) {
        std::memcpy(out, argb, static_cast<size_t>(count) * 4);
        return;
    }
    if (format == D3DFMT_X8R8G8B8) {
        for (uint32_t x = 0; x < count; ++x) {
            const uint32_t v = argb[x] | 0xFF000000u;
            std::memcpy(out + 4 * x, &v, 4);
        }
        return;
    }
    const uint32_t bytes = FormatBytes(format);
    for (uint32_t x = 0; x < count; ++x)
        EncodePixel(format, argb[x], out + x * bytes);
}

void DecodeRow(D3DFORMAT format, const uint8_t* in, uint32_t* argb, uint32_t count)
{
    if (format == D3DFMT_A8R8G8B8) {
        std::memcpy(argb, in, static_cast<size_t>(count) * 4);
        return;
    }
    if (format == D3DFMT_X8R8G8B8) {
        std::memcpy(argb, in, static_cast<size_t>(count) * 4);
        for (uint32_t x = 0; x < count; ++x)
            argb[x] |= 0xFF000000u;
        return;
    }
    const uint32_t bytes = FormatBytes(format);
    for (uint32_t x = 0; x < count; ++x)
        argb[x] = DecodePixel(format, in + x * bytes);
}

} // namespace d3d
