#include "records/Guid.h"

#include "platform/System.h"

GuidBytes NewGuidBytes()
{
    GuidBytes bytes{};
    plat::Guid guid;
    if (!plat::CreateGuid(&guid))
        return bytes;
    // The in-memory order of a GUID: three little-endian words, then eight bytes.
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(guid.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(guid.data2 >> (8 * i));
        bytes[static_cast<size_t>(6 + i)] = static_cast<uint8_t>(guid.data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        bytes[static_cast<size_t>(8 + i)] = guid.data4[i];
    return bytes;
}

int GuidEquals(const GuidBytes& a, const GuidBytes& b) { return a == b ? 1 : 0; }
