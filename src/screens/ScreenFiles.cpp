// Readers of the story and the texture list.
#include "screens/ScreenFiles.h"

#include "engine/Log.h"
#include "engine/TextReader.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool ReadStoryFile(const std::string& path, int count, std::vector<std::string>* texts)
{
    texts->assign(static_cast<size_t>(std::max(count, 0)), std::string());
    FILE* f = plat::OpenFile(path, "r");
    if (!f) {
        WriteLog("Warning! Story loading error: " + path + " cannot be read\n");
        return false;
    }
    char line[4096];
    auto next = [&](std::string* out) {
        if (!std::fgets(line, sizeof line, f))
            return false;
        *out = line;
        // Files written on another system may end their lines with "\r\n".
        if (out->size() >= 2 && out->compare(out->size() - 2, 2, "\r\n") == 0)
            out->replace(out->size() - 2, 2, "\n");
        return true;
    };
    std::string text;
    next(&text); // the header line
    for (std::string& story : *texts) {
        while (next(&text) && text[0] != '#')
            story += text;
        if (std::feof(f))
            break;
    }
    std::fclose(f);
    // A file cut short, emptied or overwritten leaves texts blank; the map
    // then shows none before those levels, and the log says why.
    const auto filled = std::count_if(texts->begin(), texts->end(), [](const std::string& t) {
        return t.find_first_not_of(" \t\r\n") != std::string::npos;
    });
    if (filled < count)
        WriteLog("Warning! Story file " + path + " holds " + std::to_string(filled) + " of " +
                 std::to_string(count) + " texts: the others stay blank\n");
    return true;
}

bool ReadTextureList(const std::string& path, std::vector<TextureListEntry>* entries)
{
    entries->clear();
    CTextReader reader;
    if (!reader.Open(path)) {
        WriteLog("Unable to open Textures.lst\n");
        return false;
    }
    char token[4][CTextReader::kTokenSize];
    char unquoted[CTextReader::kTokenSize];
    for (;;) {
        int read = 0;
        while (read < 4 && reader.NextToken(token[read]) > 0)
            ++read;
        if (read < 4)
            break;
        TextureListEntry entry;
        CTextReader::StripQuotes(token[0], unquoted);
        entry.file = unquoted;
        CTextReader::StripQuotes(token[1], unquoted);
        entry.name = unquoted;
        entry.alpha = token[2][0] == 'a';
        entry.companion = token[3][0] == 'p';
        entry.mips = static_cast<uint32_t>(std::clamp(std::strtol(token[3], nullptr, 10), 0L, 2L));
        entries->push_back(std::move(entry));
    }
    reader.Close();
    return true;
}
