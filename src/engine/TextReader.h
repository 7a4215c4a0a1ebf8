// The tokenizer every text data file of the game goes through: string
// tables, font lists, level files, animation scripts, forms and sound lists.
// It yields one token at a time: a quoted string (quotes kept), a number, a
// word, or a single punctuation character; "#" starts a comment where a
// token could begin. Tokens never span lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A copy of `text` with "a".."z" turned into "A".."Z" (keywords and
// settings words are compared this way).
std::string UpperCased(std::string text);

class CTextReader {
public:
    static constexpr int kLineSize = 2048;
    static constexpr int kTokenSize = 2048;

    CTextReader() = default;
    ~CTextReader() { Close(); }
    CTextReader(const CTextReader&) = delete;
    CTextReader& operator=(const CTextReader&) = delete;

    // False when the file cannot be opened.
    bool Open(const std::string& path);
    // Writes the next token into `out` (kTokenSize bytes); returns its
    // length, 0 at the end of the file.
    int NextToken(char* out);
    void Close();

    int LineCount() const { return m_lineCount; }
    // From now on a backslash inside a quoted token takes the character
    // after it into the token with it, so that a quote after a backslash
    // does not end the token (the string table's texts quote with \").
    void AllowQuoteEscapes(bool allow) { m_quoteEscapes = allow; }

    static void ToUpper(char* text);
    static void StripQuotes(const char* source, char* destination);
    static int CutAtLastNewline(char* text);
    static void Trim(const char* source, char* destination);

private:
    bool RefillLine();

    FILE* m_file = nullptr;
    char m_line[kLineSize] = {};
    int32_t m_length = 0;
    int32_t m_position = 0;
    uint8_t m_wordClass[256] = {};
    uint8_t m_blankClass[256] = {};
    bool m_quoteEscapes = false;
    int32_t m_lineCount = 0;
};
