#include "platform/BinaryFile.h"

#include "platform/Files.h"

#include <cstring>

namespace plat {

uint32_t FloatBits(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float BitsToFloat(uint32_t bits)
{
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ByteWriter::U32(uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void ByteWriter::Bytes(const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
}

bool ByteWriter::WriteTo(const std::string& gamePath) const
{
    return WriteFileAtomically(gamePath, m_bytes.data(), m_bytes.size());
}

bool ByteReader::U32(uint32_t* out)
{
    if (Remaining() < 4)
        return false;
    const uint8_t* p = m_data + m_pos;
    *out = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
    m_pos += 4;
    return true;
}

bool ByteReader::I32(int32_t* out)
{
    uint32_t bits = 0;
    if (!U32(&bits))
        return false;
    *out = static_cast<int32_t>(bits);
    return true;
}

bool ByteReader::F32(float* out)
{
    uint32_t bits = 0;
    if (!U32(&bits))
        return false;
    *out = BitsToFloat(bits);
    return true;
}

bool ByteReader::Bytes(void* out, size_t size)
{
    if (Remaining() < size)
        return false;
    if (size > 0)
        std::memcpy(out, m_data + m_pos, size);
    m_pos += size;
    return true;
}

} // namespace plat
