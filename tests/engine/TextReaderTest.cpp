#include "engine/TextReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

std::vector<std::string> Tokens(const std::string& text, std::vector<int>* lines = nullptr)
{
    ScratchDir dir;
    WriteText(dir.File("t.txt"), text);
    CTextReader reader;
    EXPECT_TRUE(reader.Open(dir.File("t.txt")));
    std::vector<std::string> out;
    char token[CTextReader::kTokenSize];
    while (reader.NextToken(token) > 0) {
        out.emplace_back(token);
        if (lines)
            lines->push_back(reader.LineCount());
    }
    return out;
}

TEST(TextReader, SplitsWordsNumbersQuotesAndPunctuation)
{
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"  LEVEL 12 # a comment\nNEXT", {"LEVEL", "12", "NEXT"}},
        {"\"abcde fghij\"", {"\"abcde fghij\""}},
        {"x \"abcd\n", {"x", "\"abcd\""}},
        {"-1.5e-3", {"-1.5e-3"}},
        {"-x", {"-", "x"}},
        {"12ab", {"12ab"}},
        {"12z", {"12", "z"}},
        {"{KEY_1 _a}", {"{", "KEY_1", "_a", "}"}},
        {"a#b \"x#y\"", {"a"}},
        {"\"x#y\" # c", {"\"x#y\""}},
        {"\n\n   \n# only\n\t\n", {}},
        {"one\r\ntwo\r\n", {"one", "two"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Tokens(c.text), c.tokens) << c.text;
}

TEST(TextReader, CountsLinesAndSplitsOverlongLines)
{
    std::vector<int> lines;
    Tokens("a\n\nb\n", &lines);
    EXPECT_EQ(lines, (std::vector<int>{1, 3}));

    const std::string exact(2046, 'a');
    EXPECT_EQ(Tokens(exact + "\nz"), (std::vector<std::string>{exact, "z"}));

    const std::string longLine(2047 + 10, 'b');
    std::vector<int> longLines;
    const auto tokens = Tokens(longLine, &longLines);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].size(), 2046u);
    EXPECT_EQ(longLines, (std::vector<int>{1, 2}));
}

TEST(TextReader, MissingFileFailsToOpen)
{
    CTextReader reader;
    EXPECT_FALSE(reader.Open("/nonexistent/file.txt"));
}

TEST(TextReader, StringHelpers)
{
    char text[32] = "ab1\xe4z!";
    CTextReader::ToUpper(text);
    EXPECT_STREQ(text, "AB1\xe4Z!");

    char out[32] = "keep";
    CTextReader::StripQuotes("", out);
    EXPECT_STREQ(out, "keep");
    CTextReader::StripQuotes("\"quoted\"", out);
    EXPECT_STREQ(out, "quoted");
    CTextReader::StripQuotes("\"open", out);
    EXPECT_STREQ(out, "open");

    char lines[] = "a\nb\nc";
    EXPECT_EQ(CTextReader::CutAtLastNewline(lines), 3);
    EXPECT_STREQ(lines, "a\nb");
    char none[] = "abc";
    EXPECT_EQ(CTextReader::CutAtLastNewline(none), -1);

    CTextReader::Trim(" \t mid dle \t", out);
    EXPECT_STREQ(out, "mid dle");
    CTextReader::Trim("   ", out);
    EXPECT_STREQ(out, "");
}

} // namespace
