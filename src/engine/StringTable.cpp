#include "engine/StringTable.h"

#include "engine/Log.h"
#include "engine/TextReader.h"

#include <cstdlib>
#include <cstring>
#include <map>

namespace {

std::map<int32_t, std::string> g_strings;

std::string Unescape(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\\' && p[1] != '\0') {
            if (p[1] == 'n') {
                out += '\n';
                ++p;
                continue;
            }
            if (p[1] == 't') {
                out += '\t';
                ++p;
                continue;
            }
            if (p[1] == '\\' || p[1] == '"') {
                out += p[1];
                ++p;
                continue;
            }
        }
        out += *p;
    }
    return out;
}

struct BadFormat {};

} // namespace

void ClearStrings() { g_strings.clear(); }

int LoadStrings(const std::string& path)
{
    g_strings.clear();
    CTextReader reader;
    if (!reader.Open(path)) {
        WriteLog("Unable to open file " + path + "\n");
        return 0;
    }
    reader.AllowQuoteEscapes(true);
    std::map<std::string, std::string> texts;
    std::map<std::string, int32_t> ids;
    static char token[CTextReader::kTokenSize];
    static char stripped[CTextReader::kTokenSize];
    try {
        auto next = [&]() {
            if (reader.NextToken(token) == 0)
                throw BadFormat{};
        };
        next();
        CTextReader::ToUpper(token);
        if (std::strcmp(token, "STRINGS") != 0)
            throw BadFormat{};
        for (;;) {
            next();
            if (std::strcmp(token, "IDs") == 0)
                break;
            CTextReader::StripQuotes(token, stripped);
            const std::string name = stripped;
            next();
            stripped[0] = '\0';
            CTextReader::StripQuotes(token, stripped);
            texts.emplace(name, Unescape(stripped));
        }
        while (reader.NextToken(token) != 0) {
            if (std::strcmp(token, "define") != 0)
                throw BadFormat{};
            next();
            CTextReader::StripQuotes(token, stripped);
            const std::string name = stripped;
            next();
            ids.emplace(name, static_cast<int32_t>(std::atol(token)));
        }
    } catch (const BadFormat&) {
        WriteLog("Bad file format");
        WriteLog(path);
        WriteLog("\n");
        return 0;
    }
    reader.Close();
    for (const auto& [name, text] : texts) {
        const auto id = ids.find(name);
        if (id == ids.end()) {
            WriteLog("Warning! Unable to find string ID " + name + "\n");
            continue;
        }
        g_strings.emplace(id->second, text);
    }
    return 1;
}

int GetString(int32_t id, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const auto it = g_strings.find(id);
    if (it == g_strings.end()) {
        buffer[0] = '\0';
        return 0;
    }
    const std::string& text = it->second;
    if (static_cast<int>(text.size()) < size) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<int>(text.size());
    }
    std::memcpy(buffer, text.data(), static_cast<size_t>(size - 1));
    buffer[size - 1] = '\0';
    return size - 1;
}

std::string GetString(int32_t id)
{
    const auto it = g_strings.find(id);
    return it == g_strings.end() ? std::string() : it->second;
}
