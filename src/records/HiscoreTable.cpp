#include "records/HiscoreTable.h"

#include "engine/Log.h"
#include "platform/BinaryFile.h"
#include "platform/Files.h"

#include <cmath>
#include <utility>

int IsNameChar(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' || c == '-' ||
                   c == '_'
               ? 1
               : 0;
}

namespace {
uint32_t ScrambleWord(uint32_t word)
{
    constexpr uint32_t k = CHiscoreTable::kScrambleByte;
    return word ^ (k | k << 8 | k << 16 | k << 24);
}
} // namespace

void CHiscoreTable::Allocate()
{
    const size_t n = static_cast<size_t>(count);
    names.assign(n, std::string(static_cast<size_t>(nameWidth), ' '));
    scores.assign(n, 0);
    guids.assign(n, GuidBytes{});
}

void CHiscoreTable::FreeStorage()
{
    names.clear();
    scores.clear();
    guids.clear();
}

void CHiscoreTable::SetDefaults(int first, int last)
{
    if (!HasStorage())
        Allocate();
    std::string name = "Tarnwick";
    name.resize(static_cast<size_t>(nameWidth), ' ');
    for (int i = std::max(first, 0); i <= last && i < count; ++i) {
        const double step = static_cast<double>(topDefaultScore) / count;
        scores[static_cast<size_t>(i)] = static_cast<int32_t>(std::floor(step * (count - i)));
        names[static_cast<size_t>(i)] = name;
        guids[static_cast<size_t>(i)] = NewGuidBytes();
    }
}

void CHiscoreTable::MoveEntry(int from, int to)
{
    names[static_cast<size_t>(to)] = names[static_cast<size_t>(from)];
    scores[static_cast<size_t>(to)] = scores[static_cast<size_t>(from)];
    guids[static_cast<size_t>(to)] = guids[static_cast<size_t>(from)];
}

void CHiscoreTable::Sort()
{
    if (!HasStorage())
        return;
    for (int length = count; length >= 2; --length) {
        for (int i = 0; i + 1 < length; ++i) {
            const auto a = static_cast<size_t>(i), b = a + 1;
            if (scores[a] < scores[b]) {
                std::swap(scores[a], scores[b]);
                std::swap(names[a], names[b]);
                std::swap(guids[a], guids[b]);
            }
        }
    }
}

int CHiscoreTable::FindRank(int32_t score) const
{
    if (!HasStorage())
        return count;
    int rank = count;
    while (rank > 0 && scores[static_cast<size_t>(rank - 1)] < score)
        --rank;
    return rank;
}

void CHiscoreTable::WriteEntry(int index, int32_t score, const char* name, const GuidBytes& guid)
{
    const auto i = static_cast<size_t>(index);
    scores[i] = score;
    std::string stored(static_cast<size_t>(nameWidth), ' ');
    for (size_t c = 0; name && c < stored.size() && name[c] != '\0'; ++c)
        stored[c] = IsNameChar(static_cast<unsigned char>(name[c])) ? name[c] : ' ';
    names[i] = stored;
    guids[i] = guid;
}

int CHiscoreTable::Insert(int32_t score, const char* name, const GuidBytes& guid)
{
    if (!HasStorage())
        return count;
    const int rank = FindRank(score);
    int found = -1;
    for (int i = count - 1; i >= 0; --i) {
        if (GuidEquals(guids[static_cast<size_t>(i)], guid)) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        if (found == rank || found == rank - 1) {
            WriteEntry(found, score, name, guid);
            return found;
        }
        if (rank < found) {
            for (int i = found; i > rank; --i)
                MoveEntry(i - 1, i);
            WriteEntry(rank, score, name, guid);
            return rank;
        }
        for (int i = found; i < rank - 1; ++i)
            MoveEntry(i + 1, i);
        WriteEntry(rank - 1, score, name, guid);
        return rank - 1;
    }
    if (rank >= count)
        return rank;
    for (int i = count - 1; i > rank; --i)
        MoveEntry(i - 1, i);
    WriteEntry(rank, score, name, guid);
    return rank;
}

std::string CHiscoreTable::GetName(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= names.size())
        return {};
    return names[static_cast<size_t>(index)];
}

int CHiscoreTable::Parse(const uint8_t* data, size_t size)
{
    FreeStorage();
    Allocate();
    plat::ByteReader in(data, size);
    const auto width = static_cast<size_t>(nameWidth);
    for (int e = 0; e < count; ++e) {
        const auto i = static_cast<size_t>(e);
        std::string name(width, ' ');
        uint32_t word = 0;
        GuidBytes guid{};
        if (!in.Bytes(name.data(), width)) {
            SetDefaults(e, count - 1);
            return 0;
        }
        for (char& c : name)
            c = static_cast<char>(static_cast<uint8_t>(c) ^ kScrambleByte);
        names[i] = name;
        if (!in.U32(&word)) {
            SetDefaults(e, count - 1);
            return 0;
        }
        const auto score = static_cast<int32_t>(ScrambleWord(word));
        if (score < 1 || score > kMaxScore) {
            SetDefaults(e, count - 1);
            return 0;
        }
        scores[i] = score;
        if (!in.Bytes(guid.data(), guid.size())) {
            SetDefaults(e, count - 1);
            return 0;
        }
        for (uint8_t& b : guid)
            b ^= kScrambleByte;
        guids[i] = guid;
    }
    uint32_t stored = 0;
    if (!in.U32(&stored)) {
        SetDefaults(0, count - 1);
        return 0;
    }
    // The sum runs over everything but the last four bytes of the file, so
    // trailing bytes after the checksum word count too.
    uint32_t sum = 0;
    for (size_t i = 0; i + 4 < size; ++i)
        sum += data[i];
    if (ScrambleWord(stored) != sum) {
        SetDefaults(0, count - 1);
        return 0;
    }
    Sort();
    return 1;
}

int CHiscoreTable::Load(const std::string& filePath)
{
    path = filePath;
    std::vector<uint8_t> bytes;
    const plat::ReadOutcome read = plat::ReadWholeFileOutcome(path, &bytes);
    if (read != plat::ReadOutcome::Read) {
        FreeStorage();
        SetDefaults(0, count - 1);
        // No table yet is the first start; one that cannot be read is not.
        if (read == plat::ReadOutcome::Failed)
            WriteLog("Warning! Hiscore table " + path + " cannot be read: the default scores stand\n");
        return 0;
    }
    if (Parse(bytes.data(), bytes.size()))
        return 1;
    WriteLog("Warning! Hiscore table " + path + " is damaged: default scores stand for its damaged entries\n");
    return 0;
}

std::vector<uint8_t> CHiscoreTable::Serialize() const
{
    plat::ByteWriter out;
    for (size_t i = 0; i < scores.size(); ++i) {
        std::string name = names[i];
        name.resize(static_cast<size_t>(nameWidth), ' ');
        for (char c : name)
            out.U8(static_cast<uint8_t>(static_cast<uint8_t>(c) ^ kScrambleByte));
        out.U32(ScrambleWord(static_cast<uint32_t>(scores[i])));
        for (uint8_t b : guids[i])
            out.U8(b ^ kScrambleByte);
    }
    uint32_t sum = 0;
    for (uint8_t b : out.Data())
        sum += b;
    out.U32(ScrambleWord(sum));
    return out.Data();
}

int CHiscoreTable::Save()
{
    if (!HasStorage() || path.empty())
        return 0;
    const std::vector<uint8_t> bytes = Serialize();
    if (!plat::WriteFileAtomically(path, bytes.data(), bytes.size()))
        return 0;
    // The table is shared by every player of the machine.
    if (HasUserDataFolders() && !plat::MakeWorldWritable(path))
        WriteLog("Unable to set security settings for hiscores table file.\n");
    return 1;
}
