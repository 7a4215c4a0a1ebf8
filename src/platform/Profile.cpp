#include "platform/Profile.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <strings.h>
#include <sys/stat.h>
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

// What stat says about a file: a rewrite in place changes the size or the
// times, a replacement by rename changes the inode.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
};

bool operator==(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }
bool operator==(const FileStamp& a, const FileStamp& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified == b.modified &&
           a.changed == b.changed;
}

// A file parsed once: its lines as they stand (for writes) and its sections
// with their keys in file order (for reads).
struct ParsedIni {
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    std::vector<uint8_t> bytes;
    std::vector<std::string> lines;
    bool crlf = false; // the first line ends in "\r\n": rewrites keep the line ends
    std::vector<Section> sections;
    FileStamp stamp;
    timespec readAt{}; // wall clock just before `bytes` were read
};

void Parse(std::vector<uint8_t> bytes, ParsedIni* ini)
{
    *ini = ParsedIni{};
    std::string line;
    auto take = [&]() {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ini->lines.push_back(line);
        line.clear();
    };
    for (uint8_t byte : bytes) {
        if (byte == '\n') {
            if (ini->lines.empty())
                ini->crlf = !line.empty() && line.back() == '\r';
            take();
        } else {
            line.push_back(static_cast<char>(byte));
        }
    }
    if (!line.empty())
        take();
    ini->bytes = std::move(bytes);

    std::string name, key, value;
    for (const std::string& l : ini->lines) {
        if (SectionHeader(l, &name))
            ini->sections.push_back({name, {}});
        else if (!ini->sections.empty() && KeyLine(l, &key, &value))
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

// File times come in steps as coarse as the file system keeps (a few
// milliseconds here, two seconds elsewhere): a file rewritten in place within
// one step of an earlier read can keep its size and both times. A stamp
// vouches for the content only once the file's times lie this far before the
// read; until then the bytes are compared.
constexpr time_t kTimeStepMargin = 3;

bool StampVouches(const ParsedIni& ini, const FileStamp& now)
{
    const time_t settled = ini.readAt.tv_sec - kTimeStepMargin;
    return ini.stamp == now && now.modified.tv_sec < settled && now.changed.tv_sec < settled;
}

// Parsed files by native path. Forms, levels and configuration files ask
// for hundreds of keys each while loading; parsing them once is the point.
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
    struct stat st {};
    if (stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        Cache().erase(native);
        std::vector<uint8_t> ignored;
        *outcome = ReadWholeFileOutcome(gamePath, &ignored);
        return nullptr;
    }
    const FileStamp stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    auto cached = Cache().find(native);
    *outcome = ReadOutcome::Read;
    if (cached != Cache().end() && StampVouches(cached->second, stamp))
        return &cached->second;

    timespec readAt{};
    clock_gettime(CLOCK_REALTIME, &readAt);
    std::vector<uint8_t> bytes;
    *outcome = ReadWholeFileOutcome(gamePath, &bytes);
    if (*outcome != ReadOutcome::Read) {
        Cache().erase(native);
        return nullptr;
    }
    if (cached == Cache().end() || cached->second.bytes != bytes) {
        if (cached == Cache().end() && Cache().size() >= kCacheLimit)
            Cache().clear();
        ParsedIni& entry = Cache()[native];
        Parse(std::move(bytes), &entry);
        cached = Cache().find(native);
    }
    cached->second.stamp = stamp;
    cached->second.readAt = readAt;
    return &cached->second;
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
    ReadOutcome outcome;
    const ParsedIni* ini = Parsed(gamePath, &outcome);
    std::string value;
    if (ini && FindValue(*ini, section.c_str(), key.c_str(), &value))
        return value;
    return defaultValue;
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
    ReadOutcome outcome;
    const ParsedIni* ini = Parsed(gamePath, &outcome);
    // A file that is there but cannot be read is not rewritten from nothing.
    if (outcome == ReadOutcome::Failed)
        return false;
    std::vector<std::string> lines = ini ? ini->lines : std::vector<std::string>();
    const bool crlf = ini && ini->crlf;
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
