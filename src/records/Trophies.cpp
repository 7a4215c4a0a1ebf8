#include "records/Trophies.h"

#include "engine/Log.h"
#include "platform/BinaryFile.h"
#include "platform/Files.h"
#include "records/PlayerStats.h"

#include <algorithm>
#include <cmath>

namespace {

// Thresholds of the kinds that grow with their value, levels 1 to 3.
struct Thresholds {
    int kind;
    int32_t level[3];
};
constexpr Thresholds kRising[] = {
    {2, {6, 10, 15}},
    {3, {500000, 1000000, 2500000}},
    {5, {10, 20, 30}},
    {6, {50, 100, 200}},
};

// Kind 8 judges the seconds left: smaller is better.
constexpr int32_t kSecondsLimit[3] = {10, 5, 2};

// The longest line a description file may have, as the reader takes it in.
constexpr size_t kLineLimit = 4095;

} // namespace

CTrophies::CTrophies() { pendingAwards.reserve(8); }

void CTrophies::LoadSettings(const std::string& skinPath)
{
    // Both times divide the award's speeds: one that is not a positive
    // number would leave an award running for ever.
    auto positive = [](float value, float fallback) {
        return std::isfinite(value) && value > 0.0f ? value : fallback;
    };
    pompaTime = positive(ReadIniFloat(skinPath, "Trophies", "PompaTime", "1.5"), 1.5f);
    postTime = positive(ReadIniFloat(skinPath, "Trophies", "PostTime", "0.5"), 0.5f);
    ReadIniVec2(skinPath, "Trophies", "BackgroundTSpeed", "0.0625 -0.038625", &backgroundSpeed);
    ReadIniVec2(skinPath, "Trophies", "BackgroundTSize", "1 0.75", &backgroundSize);
}

int CTrophies::ParseDescriptions(const std::string& text)
{
    for (int k = 0; k < kKinds; ++k)
        descriptions[k].assign(static_cast<size_t>(kLevels[k]), std::string());
    // Lines as a line reader with a 4096-byte buffer hands them out: at most
    // 4095 characters, the line end kept; a longer line comes in pieces.
    size_t pos = 0;
    auto nextLine = [&](std::string* line) {
        if (pos >= text.size())
            return false;
        size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end + 1;
        end = std::min(end, pos + kLineLimit);
        *line = text.substr(pos, end - pos);
        pos = end;
        // Files written on other systems end their lines with "\r\n".
        if (line->size() >= 2 && line->compare(line->size() - 2, 2, "\r\n") == 0)
            line->erase(line->size() - 2, 1);
        return true;
    };
    std::string line;
    if (!nextLine(&line))
        return 0;
    for (int k = 0; k < kKinds; ++k) {
        for (std::string& description : descriptions[k]) {
            for (;;) {
                if (!nextLine(&line))
                    return 0;
                if (!line.empty() && line[0] == '#')
                    break;
                description += line;
            }
        }
    }
    return 1;
}

int CTrophies::LoadDescriptions(const std::string& path)
{
    for (int k = 0; k < kKinds; ++k)
        descriptions[k].assign(static_cast<size_t>(kLevels[k]), std::string());
    std::vector<uint8_t> bytes;
    if (!plat::ReadWholeFile(path, &bytes))
        return 0;
    if (!ParseDescriptions(std::string(bytes.begin(), bytes.end()))) {
        WriteLog("Error loading Trophies description\n");
        return 0;
    }
    return 1;
}

const std::string& CTrophies::Description(int kind, int level) const
{
    static const std::string none;
    if (kind < 0 || kind >= kKinds || level < 1 || static_cast<size_t>(level) > descriptions[kind].size())
        return none;
    return descriptions[kind][static_cast<size_t>(level - 1)];
}

void CTrophies::ClearLevels()
{
    std::fill(std::begin(levels), std::end(levels), 0);
    std::fill(std::begin(shownLevels), std::end(shownLevels), 0);
}

int CTrophies::Parse(const uint8_t* data, size_t size)
{
    ClearLevels();
    // Read into a copy first, so a bad file cannot leave the levels before
    // its fault in the record that the next save would write out again.
    int32_t read[kKinds];
    plat::ByteReader in(data, size);
    for (int k = 0; k < kKinds; ++k)
        if (!in.I32(&read[k]) || read[k] < 0 || read[k] > 3 || read[k] > kLevels[k])
            return 0;
    std::copy(std::begin(read), std::end(read), levels);
    std::copy(std::begin(read), std::end(read), shownLevels);
    return 1;
}

int CTrophies::Load(const std::string& path)
{
    std::vector<uint8_t> bytes;
    const bool read = plat::ReadWholeFile(path, &bytes);
    if (!read)
        ClearLevels();
    if (!read || !Parse(bytes.data(), bytes.size())) {
        WriteLog("Warning! Unable to load trophies information\n");
        return 0;
    }
    return 1;
}

std::vector<uint8_t> CTrophies::Serialize() const
{
    plat::ByteWriter out;
    for (int32_t level : levels)
        out.I32(level);
    return out.Data();
}

int CTrophies::Save(const std::string& path) const
{
    const std::vector<uint8_t> bytes = Serialize();
    if (!plat::WriteFileAtomically(path, bytes.data(), bytes.size())) {
        WriteLog("Can't save trophies information!\n");
        return 0;
    }
    return 1;
}

int CTrophies::EvaluateLevel(int kind, int32_t value) const
{
    if (kind < 0 || kind >= kKinds)
        return 0;
    const int32_t held = std::clamp(levels[kind], 0, 3);
    switch (kind) {
    case 0:
        if (value < held)
            return 0;
        return value < 2 ? value + 1 : 2;
    case 1:
        if (held > 2 || value < 5 * held + 10)
            return 0;
        return std::min((value - 5) / 5, 3);
    case 4:
        return value < 4 - held ? 4 - value : 0;
    case 7:
        return value >= 8 && held == 0 ? 1 : 0;
    case 8: {
        if (held > 2 || value > kSecondsLimit[held])
            return 0;
        return value <= 2 ? 3 : value <= 5 ? 2 : 1;
    }
    default:
        break;
    }
    for (const Thresholds& t : kRising) {
        if (t.kind != kind)
            continue;
        if (held >= 3 || value < t.level[held])
            return 0;
        int reached = 0;
        for (int l = 0; l < 3; ++l)
            if (value >= t.level[l])
                reached = l + 1;
        return reached;
    }
    return 0;
}

void CTrophies::RecordAward(int kind, int level)
{
    for (auto& [pendingKind, pendingLevel] : pendingAwards) {
        if (pendingKind == kind) {
            pendingLevel = std::max(pendingLevel, level);
            return;
        }
    }
    pendingAwards.emplace_back(kind, level);
}

void CTrophies::CommitAwards()
{
    for (const auto& [kind, level] : pendingAwards)
        if (kind >= 0 && kind < kKinds)
            levels[kind] = shownLevels[kind] = level;
    pendingAwards.clear();
}

TrophyValues MakeTrophyValues(const CPlayerStats& stats, int32_t counter1, int32_t counter5, int32_t counter7,
                              int32_t hiscorePlace, int32_t secondsLeft)
{
    const CStatTable& quest = stats.tables[1];
    TrophyValues v;
    v.trophyCounter1 = counter1;
    v.trophyCounter5 = counter5;
    v.trophyCounter7 = counter7;
    v.longestCascade = quest.Get(StatLongestCascade);
    v.questScore = quest.Get(StatScore);
    v.sandFlows = quest.Get(StatSandFlows);
    v.hiscorePlace = hiscorePlace;
    v.secondsLeft = secondsLeft;
    return v;
}

namespace {
int Judge(CTrophies& trophies, int kind, int32_t value)
{
    const int level = trophies.EvaluateLevel(kind, value);
    if (level <= 0)
        return 0;
    trophies.RecordAward(kind, level);
    return 1;
}
} // namespace

int JudgeTrophiesAfterGame(CTrophies& trophies, const TrophyValues& v)
{
    int any = 0;
    any |= Judge(trophies, 1, v.trophyCounter1);
    any |= Judge(trophies, 2, v.longestCascade);
    any |= Judge(trophies, 3, v.questScore);
    any |= Judge(trophies, 4, v.hiscorePlace);
    any |= Judge(trophies, 5, v.trophyCounter5);
    any |= Judge(trophies, 6, v.sandFlows);
    any |= Judge(trophies, 7, v.trophyCounter7);
    any |= Judge(trophies, 8, v.secondsLeft);
    return any;
}

int JudgeTrophiesPartial(CTrophies& trophies, const TrophyValues& v, int withCascade)
{
    int any = 0;
    if (withCascade)
        any |= Judge(trophies, 2, v.longestCascade);
    any |= Judge(trophies, 3, v.questScore);
    any |= Judge(trophies, 6, v.sandFlows);
    return any;
}
