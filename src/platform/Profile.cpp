#include "platform/Profile.h"

#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <strings.h>
#include <time.h>
#include <vector>

namespace plat {

namespace {

std::string Trim(const std::string& s)
{
    size_t begin = 0, end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t'))
        ++begin;
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t' || s[end - 1] == '\r'))
        --end;
    return s.substr(begin, end - begin);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// "[Name]" -> "Name"; false for any other line.
bool SectionHeader(const std::string& rawLine, std::string* name)
{
    const std::string line = Trim(rawLine);
    if (line.size() < 2 || line.front() != '[')
        return false;
    const size_t close = line.find(']');
    if (close == std::string::npos)
        return false;
    *name = Trim(line.substr(1, close - 1));
    return true;
}

// "key = value" -> key and value; false for comments and lines without "=".
bool KeyLine(const std::string& rawLine, std::string* key, std::string* value)
{
    const std::string line = Trim(rawLine);
    if (line.empty() || line[0] == ';')
        return false;
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return true;
}

std::string Unquoted(const std::string& v)
{
    if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        return v.substr(1, v.size() - 2);
    return v;
}

// A file parsed once: its sections with their keys in file order. The
// bytes are not kept: a hash tells whether a second read found the same.
struct ParsedIni {
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    std::vector<Section> sections;
    uint64_t hash = 0;
    FileStamp stamp;
    timespec readAt{}; // wall clock just before the bytes were read
    // The file at this stamp could not be read (not a regular file, too
    // large): it has no keys, and is not read (nor reported) again while
    // the stamp stays.
    bool refused = false;
};

uint64_t HashOf(const std::vector<uint8_t>& bytes)
{
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (uint8_t byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash ^ bytes.size();
}

// The lines of a file, without their line ends; `crlf` tells whether the
// first one ended in "\r\n", so that rewrites keep the line ends.
std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes, bool* crlf)
{
    std::vector<std::string> lines;
    *crlf = false;
    size_t begin = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\n')
            continue;
        if (i == bytes.size() && begin == i)
            break;
        size_t end = i;
        const bool cr = end > begin && bytes[end - 1] == '\r';
        if (lines.empty() && i < bytes.size())
            *crlf = cr;
        if (cr)
            --end;
        lines.emplace_back(reinterpret_cast<const char*>(bytes.data()) + begin, end - begin);
        begin = i + 1;
    }
    return lines;
}

void Parse(const std::vector<uint8_t>& bytes, ParsedIni* ini)
{
    ini->sections.clear();
    std::string line, name, key, value;
    size_t begin = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\n')
            continue;
        line.assign(reinterpret_cast<const char*>(bytes.data()) + begin, i - begin);
        begin = i + 1;
        if (SectionHeader(line, &name))
            ini->sections.push_back({name, {}});
        else if (!ini->sections.empty() && KeyLine(line, &key, &value))
            ini->sections.back().keys.emplace_back(key, Unquoted(value));
    }
}

// Only the first section of a name counts, and in it the first key.
bool FindValue(const ParsedIni& ini, const char* section, const char* key, std::string* value)
{
    for (const ParsedIni::Section& s : ini.sections) {
        if (!SameName(s.name, section))
            continue;
        for (const auto& entry : s.keys)
            if (SameName(entry.first, key)) {
                *value = entry.second;
                return true;
            }
        return false;
    }
    return false;
}

int64_t Nanoseconds(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

// File times come in steps: a file rewritten in place within one step of an
// earlier read can keep its size and both times. A stamp vouches for the
// content only once the file's last change of content lies more than a
// step before the read (any later write then moves it); until then the
// file is read again and its hash compared. Where the file system keeps
// parts of a second, a step is one tick of the kernel's clock (10 ms at
// most); where its times are whole seconds, it may be two.
constexpr int64_t kFineTimeStepMargin = 100000000; // 100 ms
constexpr int64_t kCoarseTimeStepMargin = 3000000000;

bool StampVouches(const ParsedIni& ini, const FileStamp& now)
{
    if (!(ini.stamp == now))
        return false;
    // What was refused stays refused until the file changes.
    if (ini.refused)
        return true;
    const bool coarse = now.modified.tv_nsec == 0 && now.changed.tv_nsec == 0;
    const int64_t settled = Nanoseconds(ini.readAt) - (coarse ? kCoarseTimeStepMargin : kFineTimeStepMargin);
    return Nanoseconds(now.modified) < settled;
}

// Parsed files by native path. Forms, levels and configuration files ask
// for hundreds of keys each while loading; reading and parsing them once is
// the point.
std::map<std::string, ParsedIni>& Cache()
{
    static std::map<std::string, ParsedIni> cache;
    return cache;
}
constexpr size_t kCacheLimit = 64;

// The file as it is now: from the cache while its content is unchanged,
// read and parsed otherwise. Null when it is missing or cannot be read.
const ParsedIni* Parsed(const std::string& gamePath, ReadOutcome* outcome)
{
    const std::string native = NativePath(gamePath);
    FileStamp stamp;
    if (!StampOf(gamePath, &stamp)) {
        Cache().erase(native);
        *outcome = errno == ENOENT || errno == ENOTDIR ? ReadOutcome::Missing : ReadOutcome::Failed;
        return nullptr;
    }
    auto cached = Cache().find(native);
    if (cached != Cache().end() && StampVouches(cached->second, stamp)) {
        *outcome = cached->second.refused ? ReadOutcome::Failed : ReadOutcome::Read;
        return cached->second.refused ? nullptr : &cached->second;
    }

    timespec readAt{};
    clock_gettime(CLOCK_REALTIME, &readAt);
    std::vector<uint8_t> bytes;
    *outcome = ReadWholeFileOutcome(gamePath, &bytes, kTextFileLimit, &stamp);
    if (*outcome == ReadOutcome::Missing) {
        Cache().erase(native);
        return nullptr;
    }
    if (cached == Cache().end()) {
        if (Cache().size() >= kCacheLimit)
            Cache().clear();
        cached = Cache().emplace(native, ParsedIni{}).first;
    }
    ParsedIni& entry = cached->second;
    const bool refused = *outcome != ReadOutcome::Read;
    const uint64_t hash = refused ? 0 : HashOf(bytes);
    if (refused)
        entry.sections.clear();
    else if (entry.refused || entry.hash != hash)
        Parse(bytes, &entry);
    entry.refused = refused;
    entry.hash = hash;
    entry.stamp = stamp;
    entry.readAt = readAt;
    return refused ? nullptr : &entry;
}

} // namespace

void ForgetParsedFiles(const std::string& native)
{
    auto& cache = Cache();
    for (auto it = cache.lower_bound(native);
         it != cache.end() && it->first.compare(0, native.size(), native) == 0;)
        it = cache.erase(it);
}

std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                             const std::string& gamePath)
{
    std::string value;
    return FindProfileString(section, key, &value, gamePath) ? value : defaultValue;
}

bool FindProfileString(const std::string& section, const std::string& key, std::string* value,
                       const std::string& gamePath)
{
    ReadOutcome outcome;
    const ParsedIni* ini = Parsed(gamePath, &outcome);
    return ini && FindValue(*ini, section.c_str(), key.c_str(), value);
}

ReadOutcome CountProfileKeys(const std::string& gamePath, const std::string& section, size_t* keys)
{
    *keys = 0;
    ReadOutcome outcome;
    const ParsedIni* ini = Parsed(gamePath, &outcome);
    if (!ini)
        return outcome;
    for (const ParsedIni::Section& s : ini->sections) {
        if (!section.empty() && !SameName(s.name, section.c_str()))
            continue;
        *keys += s.keys.size();
        // Only the first section of a name is read.
        if (!section.empty())
            break;
    }
    return outcome;
}

int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                            const std::string& gamePath)
{
    if (!buffer || size <= 0)
        return 0;
    const std::string value =
        GetProfileString(section ? section : "", key ? key : "", defaultValue ? defaultValue : "", gamePath);
    // A damaged file may hold a NUL inside a value: the text ends there, and
    // the count says what the caller's text holds.
    const size_t n = std::min(std::strlen(value.c_str()), static_cast<size_t>(size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

bool WritePrivateProfileStrings(const char* section,
                                const std::vector<std::pair<std::string, std::string>>& values,
                                const std::string& gamePath)
{
    // The lines are read afresh, as only the keys are kept between reads:
    // writes are few, reads are many.
    // A file that is there but cannot be read is not rewritten from nothing
    // (nor reported again when it was already).
    ReadOutcome outcome;
    Parsed(gamePath, &outcome);
    std::vector<uint8_t> bytes;
    if (outcome == ReadOutcome::Failed || ReadWholeFileOutcome(gamePath, &bytes) == ReadOutcome::Failed)
        return false;
    bool crlf = false;
    std::vector<std::string> lines = SplitLines(bytes, &crlf);
    bool changed = false;
    for (const auto& [key, value] : values) {
        const std::string newLine = key + "=" + value;
        bool inSection = false;
        bool sectionFound = false;
        size_t insertAt = lines.size();
        std::string name, k, v;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (SectionHeader(lines[i], &name)) {
                if (inSection)
                    break; // key missing: add it at the end of the section
                inSection = SameName(name, section);
                if (inSection) {
                    sectionFound = true;
                    insertAt = i + 1;
                }
                continue;
            }
            if (!inSection)
                continue;
            if (KeyLine(lines[i], &k, &v) && SameName(k, key.c_str())) {
                // A key that reads as the value already is left as it stands.
                if (v != value && Unquoted(v) != value) {
                    lines[i] = newLine;
                    changed = true;
                }
                insertAt = std::string::npos;
                break;
            }
            if (!Trim(lines[i]).empty())
                insertAt = i + 1;
        }
        if (insertAt == std::string::npos)
            continue;
        changed = true;
        if (sectionFound) {
            lines.insert(lines.begin() + static_cast<long>(insertAt), newLine);
        } else {
            if (!lines.empty() && !Trim(lines.back()).empty())
                lines.emplace_back();
            lines.push_back(std::string("[") + section + "]");
            lines.push_back(newLine);
        }
    }
    // Nothing to change: the file is not written at all.
    if (!changed)
        return true;
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += crlf ? "\r\n" : "\n";
    }
    // The write itself forgets the parsed form (every change to the file
    // system does); the next read parses what was written.
    return WriteFileAtomically(gamePath, text.data(), text.size());
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& gamePath)
{
    return WritePrivateProfileStrings(section, {{key, value}}, gamePath);
}

} // namespace plat
