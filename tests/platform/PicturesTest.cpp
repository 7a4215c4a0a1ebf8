// Picture headers that claim huge sizes, or break off, are refused before
// anything is allocated for them, by the decoder and by the size reader alike.
#include "platform/D3DX.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <jpeglib.h>

using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

using Bytes = std::vector<unsigned char>;

void PutBigEndian(Bytes& bytes, size_t at, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
}

uint32_t Crc32(const unsigned char* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A real 4 x 4 PNG whose header then claims `width` x `height`.
Bytes Png(const ScratchDir& dir, uint32_t width, uint32_t height)
{
    EXPECT_TRUE(d3d::WritePngFile(dir.File("small.png"), 4, 4, std::vector<uint32_t>(16, 0xFF336699)));
    Bytes bytes = ReadBytes(dir.File("small.png"));
    PutBigEndian(bytes, 16, width, 4);
    PutBigEndian(bytes, 20, height, 4);
    PutBigEndian(bytes, 29, Crc32(bytes.data() + 12, 17), 4); // IHDR's type and data
    return bytes;
}

// A real 8 x 8 JPEG whose frame header then claims `width` x `height`.
Bytes Jpeg(uint32_t width, uint32_t height)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = info.image_height = 8;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    unsigned char row[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    while (info.next_scanline < 8) {
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    for (size_t i = 0; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) { // start of frame
            PutBigEndian(bytes, i + 5, height, 2);
            PutBigEndian(bytes, i + 7, width, 2);
            break;
        }
    return bytes;
}

Bytes FirstBytes(Bytes bytes, size_t count)
{
    bytes.resize(std::min(bytes.size(), count));
    return bytes;
}

// An uncompressed 32-bit TGA header claiming `width` x `height`, and one row.
Bytes Tga(uint32_t width, uint32_t height)
{
    Bytes bytes(18 + 4 * 4, 0x7F);
    std::fill(bytes.begin(), bytes.begin() + 18, 0);
    bytes[2] = 2;
    bytes[12] = static_cast<unsigned char>(width);
    bytes[13] = static_cast<unsigned char>(width >> 8);
    bytes[14] = static_cast<unsigned char>(height);
    bytes[15] = static_cast<unsigned char>(height >> 8);
    bytes[16] = 32;
    return bytes;
}

TEST(Pictures, HeadersClaimingMoreThanTheLimitAreRefusedBeforeDecoding)
{
    ScratchDir dir;
    struct Case {
        const char* what;
        Bytes bytes;
        uint32_t maxSide;
        bool loads;
    } cases[] = {
        {"small PNG", Png(dir, 4, 4), d3d::kMaxPictureSide, true},
        {"small JPEG", Jpeg(8, 8), d3d::kMaxPictureSide, true},
        {"PNG of 1,000,000 square", Png(dir, 1000000, 1000000), d3d::kMaxPictureSide, false},
        {"PNG one texel too wide", Png(dir, 4097, 4), d3d::kMaxPictureSide, false},
        {"JPEG of 65,500 square", Jpeg(65500, 65500), d3d::kMaxPictureSide, false},
        {"TGA of 65,535 square", Tga(65535, 65535), d3d::kMaxPictureSide, false},
        {"small PNG over a small limit", Png(dir, 4, 4), 2, false},
        // The decoder's error jump comes back in the middle of the header.
        {"JPEG cut in its header", FirstBytes(Jpeg(8, 8), 24), d3d::kMaxPictureSide, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir.File("picture"), c.bytes);
        d3d::DecodedImage image;
        EXPECT_EQ(d3d::DecodeImageFile(dir.File("picture"), &image, c.maxSide), c.loads);
        d3d::D3DXIMAGE_INFO info{};
        EXPECT_EQ(d3d::D3DXGetImageInfoFromFile(dir.File("picture"), &info, c.maxSide), c.loads);
        if (c.loads) {
            EXPECT_EQ(info.Width, image.width);
            EXPECT_EQ(info.Height, image.height);
        }
    }
}

} // namespace
