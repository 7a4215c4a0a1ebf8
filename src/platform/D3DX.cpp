#include "platform/D3DX.h"

#include "platform/Files.h"
#include "platform/PixelCodec.h"

#include <jpeglib.h>
#include <png.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace d3d {

namespace {

// The size a header claims is checked before anything is allocated for it:
// a damaged or hostile file may claim a million pixels square.
bool Fits(uint32_t width, uint32_t height, uint32_t maxSide) { return width <= maxSide && height <= maxSide; }

bool DecodePng(const std::vector<uint8_t>& file, uint32_t maxSide, DecodedImage* image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, file.data(), file.size()))
        return false;
    if (!Fits(png.width, png.height, maxSide)) {
        png_image_free(&png);
        return false;
    }
    image->hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_BGRA;
    image->width = png.width;
    image->height = png.height;
    image->pixels.assign(static_cast<size_t>(png.width) * png.height, 0);
    if (!png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    return true;
}

struct JpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

bool DecodeJpeg(const std::vector<uint8_t>& file, uint32_t maxSide, DecodedImage* image)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = JpegFail;
    error.base.output_message = [](j_common_ptr) {};
    std::vector<uint8_t> row;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    if (!Fits(info.image_width, info.image_height, maxSide)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image->width = info.output_width;
    image->height = info.output_height;
    image->hasAlpha = false;
    image->pixels.assign(static_cast<size_t>(image->width) * image->height, 0);
    row.resize(static_cast<size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        const uint32_t y = info.output_scanline;
        uint8_t* rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        uint32_t* out = &image->pixels[static_cast<size_t>(y) * image->width];
        for (uint32_t x = 0; x < image->width; ++x)
            out[x] = 0xFF000000u | uint32_t{row[x * 3]} << 16 | uint32_t{row[x * 3 + 1]} << 8 | row[x * 3 + 2];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// The error jump lands in a frame of its own: a local of the frame that
// calls setjmp and changes after it may be lost when the jump comes back (it
// may live in a register), so this frame keeps only libjpeg's record, which
// stays in memory because libjpeg holds its address.
bool ReadJpegSize(const std::vector<uint8_t>& file, uint32_t* width, uint32_t* height)
{
    jpeg_decompress_struct jpeg;
    JpegError error;
    jpeg.err = jpeg_std_error(&error.base);
    error.base.error_exit = JpegFail;
    error.base.output_message = [](j_common_ptr) {};
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&jpeg);
        return false;
    }
    jpeg_create_decompress(&jpeg);
    jpeg_mem_src(&jpeg, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&jpeg, TRUE);
    *width = jpeg.image_width;
    *height = jpeg.image_height;
    jpeg_destroy_decompress(&jpeg);
    return true;
}

bool DecodeStb(const std::vector<uint8_t>& file, uint32_t maxSide, DecodedImage* image)
{
    int w = 0, h = 0, components = 0;
    if (!stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &components) ||
        !Fits(static_cast<uint32_t>(w), static_cast<uint32_t>(h), maxSide))
        return false;
    stbi_uc* data = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &components, 4);
    if (!data)
        return false;
    image->width = static_cast<uint32_t>(w);
    image->height = static_cast<uint32_t>(h);
    image->hasAlpha = components == 2 || components == 4;
    image->pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < image->pixels.size(); ++i) {
        const stbi_uc* p = data + i * 4;
        image->pixels[i] = uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
    stbi_image_free(data);
    return true;
}

// The first bytes of a picture file hold its header (a JPEG's may come
// after comments and colour profiles of some length).
constexpr size_t kPictureHead = 65536;

bool IsPng(const std::vector<uint8_t>& file)
{
    return file.size() >= 4 && file[0] == 0x89 && file[1] == 'P' && file[2] == 'N' && file[3] == 'G';
}
bool IsJpeg(const std::vector<uint8_t>& file) { return file.size() >= 2 && file[0] == 0xFF && file[1] == 0xD8; }

// Reads a picture file no larger than its header says it needs: 10 bytes a
// pixel (16-bit colour and alpha stored without compression take 8 and
// their chunks' framing; a 32-bit picture run-length coded at its worst
// takes 5) and room for headers, palettes and comments. A JPEG whose header lies past the
// head is bounded by the largest picture taken; any other file whose head
// is no picture's is not read on.
bool ReadPictureFile(const std::string& path, uint32_t maxSide, std::vector<uint8_t>* file)
{
    std::vector<uint8_t> head;
    uint64_t size = 0;
    if (plat::ReadFileHead(path, kPictureHead, &head, &size) != plat::ReadOutcome::Read || head.size() < 4)
        return false;
    int w = 0, h = 0, components = 0;
    if (!stbi_info_from_memory(head.data(), static_cast<int>(head.size()), &w, &h, &components)) {
        if (!IsJpeg(head))
            return false;
        w = h = static_cast<int>(maxSide);
    }
    const uint64_t width = std::min<uint64_t>(static_cast<uint64_t>(std::max(w, 1)), maxSide);
    const uint64_t height = std::min<uint64_t>(static_cast<uint64_t>(std::max(h, 1)), maxSide);
    const uint64_t limit = width * height * 10 + kPictureHead;
    if (size > limit) {
        plat::ReportReadRefusal(path, "is " + std::to_string(size) + " bytes, more than a picture of " +
                                          std::to_string(width) + " x " + std::to_string(height) + " needs");
        return false;
    }
    return plat::ReadWholeFile(path, file, static_cast<size_t>(limit));
}

// Halves a picture by averaging 2 x 2 blocks (a single row or column is
// averaged in pairs).
DecodedImage Halve(const DecodedImage& in)
{
    DecodedImage out;
    out.width = std::max(1u, in.width / 2);
    out.height = std::max(1u, in.height / 2);
    out.hasAlpha = in.hasAlpha;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (uint32_t y = 0; y < out.height; ++y)
        for (uint32_t x = 0; x < out.width; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            int n = 0;
            for (uint32_t dy = 0; dy < 2; ++dy)
                for (uint32_t dx = 0; dx < 2; ++dx) {
                    const uint32_t sx = std::min(in.width - 1, x * 2 + dx),
                                   sy = std::min(in.height - 1, y * 2 + dy);
                    const uint32_t p = in.pixels[static_cast<size_t>(sy) * in.width + sx];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (p >> (8 * c)) & 0xFF;
                    ++n;
                }
            uint32_t v = 0;
            for (int c = 0; c < 4; ++c)
                v |= ((sum[c] + static_cast<uint32_t>(n) / 2) / static_cast<uint32_t>(n)) << (8 * c);
            out.pixels[static_cast<size_t>(y) * out.width + x] = v;
        }
    return out;
}

DecodedImage Resample(const DecodedImage& in, uint32_t width, uint32_t height)
{
    DecodedImage out;
    out.width = width;
    out.height = height;
    out.hasAlpha = in.hasAlpha;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            out.pixels[static_cast<size_t>(y) * width + x] =
                in.pixels[static_cast<size_t>(y * in.height / height) * in.width + x * in.width / width];
    return out;
}

// Row by row, straight into the texture's own format.
void WritePixels(const DecodedImage& image, D3DFORMAT format, const D3DLOCKED_RECT& locked, uint32_t width,
                 uint32_t height)
{
    const uint32_t count = std::min(width, image.width);
    for (uint32_t y = 0; y < height && y < image.height; ++y)
        EncodeRow(format, &image.pixels[static_cast<size_t>(y) * image.width],
                  static_cast<uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch, count);
}

} // namespace

bool WritePngFile(const std::string& nativePath, uint32_t width, uint32_t height,
                  const std::vector<uint32_t>& pixels)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&png, nativePath.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

bool DecodeImageFile(const std::string& path, DecodedImage* image, uint32_t maxSide)
{
    std::vector<uint8_t> file;
    if (!ReadPictureFile(path, maxSide, &file) || file.size() < 4)
        return false;
    *image = DecodedImage{};
    bool ok = false;
    if (IsPng(file))
        ok = DecodePng(file, maxSide, image);
    else if (IsJpeg(file))
        ok = DecodeJpeg(file, maxSide, image);
    else
        ok = DecodeStb(file, maxSide, image);
    return ok && image->width > 0 && image->height > 0;
}

bool D3DXGetImageInfoFromFile(const std::string& path, D3DXIMAGE_INFO* info, uint32_t maxSide)
{
    std::vector<uint8_t> file;
    if (!info || !ReadPictureFile(path, maxSide, &file) || file.size() < 4)
        return false;
    uint32_t width = 0, height = 0;
    bool alpha = false;
    if (IsPng(file)) {
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&png, file.data(), file.size()))
            return false;
        width = png.width;
        height = png.height;
        alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
        png_image_free(&png);
    } else if (IsJpeg(file)) {
        if (!ReadJpegSize(file, &width, &height))
            return false;
    } else {
        int w = 0, h = 0, components = 0;
        if (!stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &components))
            return false;
        width = static_cast<uint32_t>(w);
        height = static_cast<uint32_t>(h);
        alpha = components == 2 || components == 4;
    }
    if (width == 0 || height == 0 || !Fits(width, height, maxSide))
        return false;
    *info = D3DXIMAGE_INFO{};
    info->Width = width;
    info->Height = height;
    info->Format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    return true;
}

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, uint32_t width, uint32_t height, uint32_t mipLevels,
                          uint32_t usage, D3DFORMAT format, D3DPOOL pool, std::unique_ptr<IDirect3DTexture8>* out)
{
    if (!device || !out || width == 0 || height == 0)
        return D3DERR_INVALIDCALL;
    if (mipLevels == D3DX_DEFAULT)
        mipLevels = 0;
    if (format == D3DFMT_UNKNOWN)
        format = D3DFMT_A8R8G8B8;
    return device->CreateTexture(width, height, mipLevels, usage, format, pool, out);
}

HRESULT D3DXCreateTextureFromFileEx(IDirect3DDevice8* device, const std::string& path, uint32_t width,
                                    uint32_t height, uint32_t mipLevels, uint32_t usage, D3DFORMAT format,
                                    D3DPOOL pool, uint32_t, uint32_t, uint32_t, D3DXIMAGE_INFO* info,
                                    std::unique_ptr<IDirect3DTexture8>* out)
{
    if (!device || !out)
        return D3DERR_INVALIDCALL;
    D3DCAPS8 caps;
    uint32_t maxSide = kMaxPictureSide;
    if (!Failed(device->GetDeviceCaps(&caps)) && caps.MaxTextureWidth > 0 && caps.MaxTextureHeight > 0)
        maxSide = std::min(caps.MaxTextureWidth, caps.MaxTextureHeight);
    DecodedImage image;
    if (!DecodeImageFile(path, &image, maxSide))
        return D3DERR_INVALIDCALL;
    if (info) {
        *info = D3DXIMAGE_INFO{};
        info->Width = image.width;
        info->Height = image.height;
        info->Format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    if (width == D3DX_DEFAULT || width == 0)
        width = image.width;
    if (height == D3DX_DEFAULT || height == 0)
        height = image.height;
    if (format == D3DFMT_UNKNOWN)
        format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (mipLevels == D3DX_DEFAULT)
        mipLevels = 0;
    std::unique_ptr<IDirect3DTexture8> texture;
    HRESULT hr = device->CreateTexture(width, height, mipLevels, usage, format, pool, &texture);
    if (Failed(hr))
        return hr;
    // The picture as it is when its size is kept: no copy of it.
    if (image.width != width || image.height != height)
        image = Resample(image, width, height);
    DecodedImage halved;
    const uint32_t count = texture->GetLevelCount();
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0)
            halved = Halve(i == 1 ? image : halved);
        const DecodedImage& level = i == 0 ? image : halved;
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(i, &desc);
        D3DLOCKED_RECT locked;
        hr = texture->LockRect(i, &locked, 0);
        if (Failed(hr))
            return hr;
        WritePixels(level, format, locked, desc.Width, desc.Height);
        texture->UnlockRect(i);
    }
    *out = std::move(texture);
    return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromFile(IDirect3DSurface8* surface, const std::string& path, D3DXIMAGE_INFO* info)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    if (!DecodeImageFile(path, &image))
        return D3DERR_INVALIDCALL;
    if (info) {
        *info = D3DXIMAGE_INFO{};
        info->Width = image.width;
        info->Height = image.height;
        info->Format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    if (!IsTextureFormat(desc.Format))
        return D3DERR_INVALIDCALL;
    if (image.width != desc.Width || image.height != desc.Height)
        image = Resample(image, desc.Width, desc.Height);
    const DecodedImage& scaled = image;
    D3DLOCKED_RECT locked;
    const HRESULT hr = surface->LockRect(&locked, 0);
    if (Failed(hr))
        return hr;
    WritePixels(scaled, desc.Format, locked, desc.Width, desc.Height);
    return surface->UnlockRect();
}

D3DMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DMATRIX* out, float left, float right, float bottom, float top,
                                            float zNear, float zFar)
{
    *out = D3DMATRIX{};
    out->m[0][0] = 2.0f * zNear / (right - left);
    out->m[1][1] = 2.0f * zNear / (top - bottom);
    out->m[2][0] = (left + right) / (left - right);
    out->m[2][1] = (top + bottom) / (bottom - top);
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = zNear * zFar / (zNear - zFar);
    return out;
}

} // namespace d3d
