// The level-file parser. Parsing stops at the first fault with one log line
// (the reader's line number for a bad token); a level without a file is the
// normal case and says so in the log without calling it an error.
#include "board/LevelData.h"

#include "engine/Log.h"
#include "engine/TextReader.h"
#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

constexpr int kMaxColour = 6;
constexpr int kMaxBonusIndex = 5;

// Numbers are read as the C library reads them: the leading number of the
// text ("3.7" and "3e1" are 3, "abc" is 0), so a stray character costs one
// value, not the whole level. A value beyond what the record holds is still
// refused. `whole` tells whether the text was that number and nothing else.
bool ParseInt(const char* text, int32_t* out, bool* whole)
{
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return false;
    *out = static_cast<int32_t>(value);
    *whole = end != text && *end == '\0';
    return true;
}

bool ParseRate(const char* text, float* out, bool* whole)
{
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (!std::isfinite(value) || value < 0.0f || value > 1.0f)
        return false;
    *out = value;
    *whole = end != text && *end == '\0';
    return true;
}

class LevelParser {
public:
    LevelParser(CLevelData& level, const std::string& path) : m_level(level), m_path(path) {}

    // False after logging the fault.
    bool Run()
    {
        if (!m_reader.Open(m_path)) {
            // Something there that the reader refused (a folder, a FIFO, a
            // file too large) is no missing level.
            plat::FileStamp there;
            if (plat::StampOf(m_path, &there)) {
                WriteLog("Warning! Level file " + m_path + " cannot be read: the level's own settings stand\n");
                return false;
            }
            WriteLog("Unable to open file");
            WriteLog(m_path);
            WriteLog("probably this is not error\n");
            return false;
        }
        bool anyToken = false;
        while (m_reader.NextToken(m_token) > 0) {
            anyToken = true;
            if (!Entry()) {
                m_reader.Close();
                return false;
            }
        }
        m_reader.Close();
        if (!anyToken && IsBlank())
            WriteLog("Warning! Level file " + m_path + " is empty: the level's own settings stand\n");
        return true;
    }

private:
    // Nothing but blanks: a file emptied by accident, where one holding only
    // comments says what its author meant.
    bool IsBlank() const
    {
        std::vector<uint8_t> bytes;
        if (!plat::ReadWholeFile(m_path, &bytes))
            return true;
        return std::all_of(bytes.begin(), bytes.end(), [](uint8_t c) { return std::isspace(c) != 0; });
    }

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

    std::string Where() const { return "line " + std::to_string(m_reader.LineCount()) + " of " + m_path; }

    bool BadToken()
    {
        WriteLog("Unexpected token \"" + std::string(m_token) + "\", " + Where() + "!\n");
        return false;
    }

    // A number that was read from only a part of its text says so; one
    // outside lowest..highest is refused.
    template <typename Value>
    bool Read(bool (*parse)(const char*, Value*, bool*), Value* out,
              Value lowest = std::numeric_limits<Value>::lowest(),
              Value highest = std::numeric_limits<Value>::max())
    {
        bool whole = true;
        if (!parse(m_token, out, &whole) || *out < lowest || *out > highest)
            return BadToken();
        if (!whole) {
            std::ostringstream value;
            value << *out;
            WriteLog("Warning! \"" + std::string(m_token) + "\" is not a number, read as " + value.str() + ", " +
                     Where() + "\n");
        }
        return true;
    }

    bool IsClose() const { return std::strcmp(m_token, "}") == 0; }

    bool Open()
    {
        if (!Next())
            return false;
        return std::strcmp(m_token, "{") == 0 || BadToken();
    }

    bool Number(int32_t* out, int32_t lowest = INT32_MIN)
    {
        if (!Next())
            return false;
        return Read(ParseInt, out, lowest);
    }

    bool Rate(float* out)
    {
        if (!Next())
            return false;
        return Read(ParseRate, out);
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
            if (!Read(ParseInt, &colour, 0, kMaxColour))
                return false;
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
                if (!Number(&size, 0))
                    return false;
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
        if (!Next() || !Read(ParseInt, &index, 0, kMaxBonusIndex))
            return false;
        if (!Number(&value, 0))
            return false;
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
    if (gemsCount > kMaxGemGoal) {
        WriteLog("Warning! Gem goal " + std::to_string(gemsCount) + " of " + path +
                 " is more than a level can deliver, " + std::to_string(kMaxGemGoal) + " stands\n");
        gemsCount = kMaxGemGoal;
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
