// The level-file parser. Parsing stops at the first fault with one log line
// (the reader's line number for a bad token); a level without a file is the
// normal case and says so in the log without calling it an error.
#include "board/LevelData.h"

#include "engine/Log.h"
#include "engine/TextReader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxColour = 6;
constexpr int kMaxBonusIndex = 5;

// Whole-token numbers only: "12abc" or a number beyond 32 bits is no
// number, where the runtime's text-to-number routines would quietly take a
// part of it or be undefined.
bool ParseInt(const char* text, int32_t* out)
{
    if (!*text)
        return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return false;
    *out = static_cast<int32_t>(value);
    return true;
}

bool ParseRate(const char* text, float* out)
{
    if (!*text)
        return false;
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (*end != '\0' || !std::isfinite(value) || value < 0.0f || value > 1.0f)
        return false;
    *out = value;
    return true;
}

class LevelParser {
public:
    LevelParser(CLevelData& level, const std::string& path) : m_level(level), m_path(path) {}

    // False after logging the fault.
    bool Run()
    {
        if (!m_reader.Open(m_path)) {
            WriteLog("Unable to open file");
            WriteLog(m_path);
            WriteLog("probably this is not error\n");
            return false;
        }
        while (m_reader.NextToken(m_token) > 0) {
            if (!Entry()) {
                m_reader.Close();
                return false;
            }
        }
        m_reader.Close();
        return true;
    }

private:
    bool Entry()
    {
        CTextReader::ToUpper(m_token);
        const std::string keyword = m_token;
        if (keyword == "GEMSCOUNT")
            return Number(&m_level.gemsCount);
        if (keyword == "SET")
            return Open() && ColourList(&m_level.colours);
        if (keyword == "STEEL")
            return Rate(&m_level.steelRate) && Number(&m_level.steelCap);
        if (keyword == "LOCK")
            return Rate(&m_level.lockRate) && Number(&m_level.lockCap);
        if (keyword == "BEGIN")
            return Open() && Begin();
        if (keyword == "LOCKS")
            return Open() && Section(&m_level.lockRows, false);
        if (keyword == "BONUS")
            return Open() && Section(&m_level.bonusRows, true);
        if (keyword == "FIXED")
            return Open() && Section(&m_level.fixedRows, false);
        if (keyword == "GEMS")
            return Open() && Section(&m_level.gemRows, false);
        return BadToken();
    }

    // The next token, or false after logging the end of file.
    bool Next()
    {
        if (m_reader.NextToken(m_token) > 0)
            return true;
        WriteLog("Unexpected end of file");
        WriteLog(m_path);
        WriteLog("!\n");
        return false;
    }

    bool BadToken()
    {
        WriteLog("Unexpected token \"" + std::string(m_token) + "\", line " +
                 std::to_string(m_reader.LineCount()) + "!\n");
        return false;
    }

    bool IsClose() const { return std::strcmp(m_token, "}") == 0; }

    bool Open()
    {
        if (!Next())
            return false;
        return std::strcmp(m_token, "{") == 0 || BadToken();
    }

    bool Number(int32_t* out)
    {
        if (!Next())
            return false;
        return ParseInt(m_token, out) || BadToken();
    }

    bool Rate(float* out)
    {
        if (!Next())
            return false;
        return ParseRate(m_token, out) || BadToken();
    }

    // The items of a braced list up to its "}", each read by `item` from
    // the current token.
    template <typename Item>
    bool Items(Item item)
    {
        for (;;) {
            if (!Next())
                return false;
            if (IsClose())
                return true;
            if (!item())
                return false;
        }
    }

    // Colour numbers up to "}", each 0..6.
    bool ColourList(std::vector<int32_t>* out)
    {
        return Items([this, out] {
            int32_t colour = 0;
            if (!ParseInt(m_token, &colour) || colour < 0 || colour > kMaxColour)
                return BadToken();
            out->push_back(colour);
            return true;
        });
    }

    bool Begin()
    {
        int row = 0;
        return Items([this, &row] {
            const char first = m_token[0];
            if (first >= 'A' && first <= 'G') {
                int32_t size = 0;
                if (!Number(&size))
                    return false;
                if (size < 0)
                    return BadToken();
                m_level.groupLetters.push_back(first);
                m_level.groupSizes.push_back(size);
                return true;
            }
            if (first >= 'I' && first <= 'O') {
                std::vector<int32_t> list;
                if (!Open() || !ColourList(&list))
                    return false;
                if (!list.empty()) {
                    m_level.listLetters.push_back(first);
                    m_level.lists.push_back(std::move(list));
                }
                return true;
            }
            return Row(&m_level.beginRows, &row);
        });
    }

    // Rows up to "}"; in the bonus section every token is upper-cased and
    // "LEVEL" index value sets a bonus level.
    bool Section(CLevelData::Rows* rows, bool bonus)
    {
        int row = 0;
        return Items([this, rows, bonus, &row] {
            if (bonus) {
                CTextReader::ToUpper(m_token);
                if (std::strcmp(m_token, "LEVEL") == 0)
                    return BonusLevel();
            }
            return Row(rows, &row);
        });
    }

    bool BonusLevel()
    {
        int32_t index = 0, value = 0;
        if (!Number(&index))
            return false;
        if (index < 0 || index > kMaxBonusIndex)
            return BadToken();
        if (!Number(&value))
            return false;
        if (value < 0)
            return BadToken();
        m_level.bonusLevels[static_cast<size_t>(index)] = value;
        return true;
    }

    // The current token as the next row of a section: at least eight
    // characters once its quotes are gone, cut to eight. Rows past the
    // eighth are reported and dropped.
    bool Row(CLevelData::Rows* rows, int* row)
    {
        char text[CTextReader::kTokenSize] = {};
        CTextReader::StripQuotes(m_token, text);
        if (std::strlen(text) < static_cast<size_t>(CLevelData::kRowLength))
            return BadToken();
        if (*row >= CLevelData::kRows) {
            WriteLog("Warning! To many Lines");
            WriteLog(m_path);
            return true;
        }
        (*rows)[static_cast<size_t>(*row)] = std::string(text, CLevelData::kRowLength);
        ++*row;
        return true;
    }

    CLevelData& m_level;
    const std::string& m_path;
    CTextReader m_reader;
    char m_token[CTextReader::kTokenSize] = {};
};

} // namespace

CLevelData::CLevelData()
{
    beginRows.fill(std::string(kRowLength, 'x'));
    lockRows.fill(std::string(kRowLength, '-'));
    bonusLevels.fill(-1);
    bonusRows.fill(std::string(kRowLength, '-'));
    fixedRows.fill(std::string(kRowLength, '-'));
    gemRows.fill(std::string(kRowLength, '-'));
}

int CLevelData::Parse(const std::string& file)
{
    path = file;
    if (!LevelParser(*this, path).Run())
        return 0;
    if (!colours.empty() && colours.size() < 5) {
        WriteLog("Warning! Caps set is less than 5!");
        WriteLog(path);
        WriteLog("\n");
    }
    if (!colours.empty() && !CheckGroups(static_cast<int>(colours.size()))) {
        WriteLog("Error! Caps set is less than Groups size!");
        WriteLog(path);
        WriteLog("\n");
        return 0;
    }
    notParsed = 0;
    return 1;
}

bool CLevelData::CheckGroups(int colourCount) const
{
    int64_t sum = 0;
    for (int32_t size : groupSizes)
        sum += size;
    return colourCount >= sum;
}
