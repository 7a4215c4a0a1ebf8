#include "records/PlayerStats.h"

#include <algorithm>

CStatTable::CStatTable()
    : counters(StatCounterCount, 0u), floatFlags{0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, maxIndices{8, 9}
{}

bool CStatTable::IsMax(int index) const
{
    return std::find(maxIndices.begin(), maxIndices.end(), index) != maxIndices.end();
}

int32_t CStatTable::Add(int32_t value, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= counters.size())
        return 0;
    uint32_t& word = counters[static_cast<size_t>(index)];
    const int32_t old = static_cast<int32_t>(word);
    int32_t result = old;
    if (IsMax(index)) {
        result = std::max(old, value);
    } else {
        // Widened so that a huge negative award cannot wrap round.
        const int64_t sum = static_cast<int64_t>(old) + value;
        result = static_cast<int32_t>(std::clamp<int64_t>(sum, 0, INT32_MAX));
    }
    word = static_cast<uint32_t>(result);
    return result;
}

float CStatTable::AddFloat(float value, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= counters.size())
        return 0.0f;
    uint32_t& word = counters[static_cast<size_t>(index)];
    const float old = plat::BitsToFloat(word);
    const float result = IsMax(index) ? (value > old ? value : old) : std::max(old + value, 0.0f);
    word = plat::FloatBits(result);
    return result;
}

void CStatTable::ClearCounters() { std::fill(counters.begin(), counters.end(), 0u); }

int CStatTable::SaveScrambled(plat::ByteWriter& out, uint32_t key) const
{
    if (counters.empty())
        return 0;
    for (uint32_t word : counters)
        out.U32(word ^ key);
    return 1;
}

int CStatTable::LoadScrambled(plat::ByteReader& in, uint32_t key)
{
    if (counters.empty() || in.Remaining() < 4 * counters.size())
        return 0;
    for (uint32_t& word : counters) {
        uint32_t stored = 0;
        in.U32(&stored);
        word = stored ^ key;
    }
    return 1;
}

namespace {
constexpr int kFileOrder[3] = {0, 2, 1};
}

int CPlayerStats::Save(plat::ByteWriter& out, uint32_t key) const
{
    for (int t : kFileOrder)
        if (!tables[t].SaveScrambled(out, key))
            return 0;
    return 1;
}

int CPlayerStats::Load(plat::ByteReader& in, uint32_t key)
{
    for (int t : kFileOrder)
        if (!tables[t].LoadScrambled(in, key))
            return 0;
    return 1;
}

void CPlayerStats::Assign(const CPlayerStats& other)
{
    for (int t = 0; t < 3; ++t)
        tables[t].CopyCounters(other.tables[t]);
}

void CPlayerStats::Reset()
{
    for (CStatTable& table : tables)
        table.ClearCounters();
}

void CPlayerStats::PromoteThird()
{
    tables[0].CopyCounters(tables[2]);
    tables[2].ClearCounters();
}

void CPlayerStats::AddToRunTables(int32_t value, int index)
{
    tables[2].Add(value, index);
    tables[1].Add(value, index);
}

void CPlayerStats::AddFloatToBoth(float value, int index)
{
    tables[2].AddFloat(value, index);
    tables[1].AddFloat(value, index);
}
