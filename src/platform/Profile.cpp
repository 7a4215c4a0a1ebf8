#include "platform/Profile.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
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

// `crlf`, when given, tells whether the file ends its first line in "\r\n",
// so that a rewrite keeps the line ends the file had.
std::vector<std::string> ReadLines(const std::string& gamePath, bool* exists, bool* crlf = nullptr)
{
    std::vector<std::string> lines;
    std::vector<uint8_t> bytes;
    *exists = ReadWholeFile(gamePath, &bytes);
    if (!*exists)
        return lines;
    std::string line;
    for (uint8_t byte : bytes) {
        if (byte == '\n') {
            const bool returned = !line.empty() && line.back() == '\r';
            if (crlf && lines.empty())
                *crlf = returned;
            if (returned)
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(byte));
        }
    }
    if (!line.empty()) {
        if (line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

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

bool FindValue(const std::vector<std::string>& lines, const char* section, const char* key, std::string* value)
{
    bool inSection = false;
    std::string name, k, v;
    for (const std::string& line : lines) {
        if (SectionHeader(line, &name)) {
            if (inSection)
                return false; // first matching section only
            inSection = SameName(name, section);
            continue;
        }
        if (inSection && KeyLine(line, &k, &v) && SameName(k, key)) {
            if (v.size() >= 2 &&
                ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
                v = v.substr(1, v.size() - 2);
            *value = v;
            return true;
        }
    }
    return false;
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                             const std::string& gamePath)
{
    bool exists = false;
    const std::vector<std::string> lines = ReadLines(gamePath, &exists);
    std::string value;
    if (exists && FindValue(lines, section.c_str(), key.c_str(), &value))
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
    const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& gamePath)
{
    bool exists = false;
    bool crlf = false;
    std::vector<std::string> lines = ReadLines(gamePath, &exists, &crlf);
    const std::string newLine = std::string(key) + "=" + value;

    bool inSection = false;
    bool sectionFound = false;
    size_t insertAt = lines.size();
    bool done = false;
    std::string name, k, v;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (SectionHeader(lines[i], &name)) {
            if (inSection) {
                done = true; // key missing: add it at the end of the section
                break;
            }
            inSection = SameName(name, section);
            if (inSection) {
                sectionFound = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (KeyLine(lines[i], &k, &v) && SameName(k, key)) {
            lines[i] = newLine;
            insertAt = std::string::npos;
            done = true;
        } else if (!Trim(lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    if (insertAt != std::string::npos) {
        if (sectionFound) {
            lines.insert(lines.begin() + static_cast<long>(insertAt), newLine);
        } else {
            if (!lines.empty() && !Trim(lines.back()).empty())
                lines.emplace_back();
            lines.push_back(std::string("[") + section + "]");
            lines.push_back(newLine);
        }
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += crlf ? "\r\n" : "\n";
    }
    return WriteFileAtomically(gamePath, text.data(), text.size());
}

} // namespace plat
