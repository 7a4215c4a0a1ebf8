#include "engine/TextReader.h"

#include "platform/Files.h"

#include <cstring>

bool CTextReader::Open(const std::string& path)
{
    Close();
    m_file = plat::OpenFile(path, "r");
    if (!m_file)
        return false;
    std::memset(m_wordClass, 0, sizeof m_wordClass);
    std::memset(m_blankClass, 0, sizeof m_blankClass);
    for (int c = 'A'; c <= 'Z'; ++c)
        m_wordClass[c] = 1;
    for (int c = 'a'; c <= 'z'; ++c)
        m_wordClass[c] = 1;
    m_wordClass[static_cast<uint8_t>('_')] = 1;
    for (int c = '0'; c <= '9'; ++c)
        m_wordClass[c] = 2;
    m_blankClass[static_cast<uint8_t>(' ')] = 1;
    m_blankClass[static_cast<uint8_t>('\t')] = 1;
    m_length = 0;
    m_position = 0;
    m_lineCount = 0;
    return true;
}

void CTextReader::Close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

bool CTextReader::RefillLine()
{
    while (m_position >= m_length) {
        ++m_lineCount;
        if (!m_file || !std::fgets(m_line, kLineSize - 1, m_file))
            return false;
        size_t size = std::strlen(m_line);
        if (size > 0 && m_line[size - 1] == '\n')
            m_line[--size] = '\0';
        // Files edited on other systems end their lines in "\r\n".
        if (size > 0 && m_line[size - 1] == '\r')
            m_line[--size] = '\0';
        if (size > 0) {
            m_position = 0;
            m_length = static_cast<int32_t>(size);
        }
    }
    return true;
}

int CTextReader::NextToken(char* out)
{
    auto at = [this](int32_t i) { return static_cast<uint8_t>(m_line[i]); };
    for (;;) {
        if (!RefillLine()) {
            out[0] = '\0';
            return 0;
        }
        while (m_position < m_length && m_blankClass[at(m_position)])
            ++m_position;
        if (m_position >= m_length)
            continue;
        if (m_line[m_position] == '#') {
            m_position = m_length;
            continue;
        }
        break;
    }

    int n = 0;
    const char c = m_line[m_position];
    out[n++] = c;
    ++m_position;
    if (c == '"') {
        while (m_position < m_length && m_line[m_position] != '"' && n < kTokenSize - 2) {
            // An escape pair goes in whole: "\\" before the closing quote
            // still closes.
            if (m_quoteEscapes && m_line[m_position] == '\\' && m_position + 1 < m_length && n < kTokenSize - 3)
                out[n++] = m_line[m_position++];
            out[n++] = m_line[m_position++];
        }
        out[n++] = '"';
        if (m_position < m_length && m_line[m_position] == '"')
            ++m_position;
    } else if ((c >= '0' && c <= '9') || c == '-') {
        while (m_position < m_length && n < kTokenSize - 1) {
            const char d = m_line[m_position];
            const bool part =
                (d >= '0' && d <= '9') || d == '.' || d == '-' || (d >= 'A' && d <= 'F') || (d >= 'a' && d <= 'f');
            if (!part)
                break;
            out[n++] = d;
            ++m_position;
        }
    } else if (m_wordClass[static_cast<uint8_t>(c)] == 1) {
        while (m_position < m_length && m_wordClass[at(m_position)] != 0 && n < kTokenSize - 1)
            out[n++] = m_line[m_position++];
    }
    out[n] = '\0';
    return n;
}

void CTextReader::ToUpper(char* text)
{
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
}

void CTextReader::StripQuotes(const char* source, char* destination)
{
    size_t length = std::strlen(source);
    if (length == 0)
        return;
    if (*source == '"') {
        ++source;
        --length;
    }
    if (length > 0 && source[length - 1] == '"')
        --length;
    std::memmove(destination, source, length);
    destination[length] = '\0';
}

int CTextReader::CutAtLastNewline(char* text)
{
    const char* last = std::strrchr(text, '\n');
    if (!last)
        return -1;
    const int index = static_cast<int>(last - text);
    text[index] = '\0';
    return index;
}

void CTextReader::Trim(const char* source, char* destination)
{
    const char* begin = source;
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    const char* end = begin + std::strlen(begin);
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    const size_t length = static_cast<size_t>(end - begin);
    std::memmove(destination, begin, length);
    destination[length] = '\0';
}

std::string UpperCased(std::string text)
{
    CTextReader::ToUpper(text.data());
    return text;
}
