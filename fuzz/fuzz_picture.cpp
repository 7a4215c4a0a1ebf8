// Picture decoding up to its size check: any bytes (PNG, JPEG or what the
// general decoder takes) decode or are refused without fault, and a picture
// that decodes stays within the largest side asked for and holds exactly its
// pixels.
#include "FuzzInput.h"
#include "platform/D3DX.h"

using fuzz_input::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz_input::Write("Picture", data, size);
    // A small largest side keeps the fuzzer on the headers and the check,
    // not on decoding large pictures.
    constexpr uint32_t kMaxSide = 64;
    d3d::DecodedImage image;
    if (d3d::DecodeImageFile(path, &image, kMaxSide)) {
        Check(image.width > 0 && image.height > 0 && image.width <= kMaxSide && image.height <= kMaxSide);
        Check(image.pixels.size() == static_cast<size_t>(image.width) * image.height);
    }
    return 0;
}
