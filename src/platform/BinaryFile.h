// Little-endian byte encoding for the game's binary record files.
//
// Records are built in memory with ByteWriter and handed to
// WriteFileAtomically in one piece; files are read whole and taken apart
// with ByteReader, whose every read is bounds-checked, so a short or damaged
// file can never make a reader step outside what was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

uint32_t FloatBits(float value);
float BitsToFloat(uint32_t bits);

class ByteWriter {
public:
    void U8(uint8_t value) { m_bytes.push_back(value); }
    void U32(uint32_t value);
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value) { U32(FloatBits(value)); }
    void Bytes(const void* data, size_t size);

    const std::vector<uint8_t>& Data() const { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }
    // Writes everything written so far as the whole new content of the file,
    // atomically (see WriteFileAtomically).
    bool WriteTo(const std::string& gamePath) const;

private:
    std::vector<uint8_t> m_bytes;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

    // Each read returns false and leaves the position unchanged when fewer
    // bytes are left than asked for.
    bool U32(uint32_t* out);
    bool I32(int32_t* out);
    bool F32(float* out);
    bool Bytes(void* out, size_t size);

    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace plat
