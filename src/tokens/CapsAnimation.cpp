#include "tokens/CapsAnimation.h"

#include "engine/Log.h"
#include "engine/TextReader.h"

#include <cstdlib>
#include <cstring>

namespace {

enum class ParseError { None, EndOfFile, UnexpectedToken, WrongFrameNumber };

// Reads one animation token by token; the first error ends the parse and is
// remembered with the token that caused it.
class AnimationParser {
public:
    AnimationParser(CTextReader& reader, CCapsAnimation& animation) : m_reader(reader), m_animation(animation) {}

    ParseError Parse()
    {
        if (!Next())
            return m_error;
        if (!IsKeyword("TEXTURESIZE"))
            return ParseError::UnexpectedToken;
        int width = 0, height = 0;
        if (!NextNumber(&width) || !AtLeastOne(width) || !NextNumber(&height) || !AtLeastOne(height))
            return m_error;
        const float du = 1.0f / static_cast<float>(width);
        const float dv = 1.0f / static_cast<float>(height);
        for (;;) {
            if (!Next())
                return m_error;
            if (IsKeyword("FRAME")) {
                int n = 0, a = 0, b = 0, c = 0, d = 0;
                if (!NextNumber(&n))
                    return m_error;
                if (n != static_cast<int>(m_animation.frames.size()))
                    return ParseError::WrongFrameNumber;
                if (!NextNumber(&a) || !NextNumber(&b) || !NextNumber(&c) || !NextNumber(&d))
                    return m_error;
                m_animation.frames.push_back(CapFrame{a * du, b * dv, c * du, d * dv});
            } else if (IsKeyword("TRACK")) {
                return ParseTrack();
            } else {
                return ParseError::UnexpectedToken;
            }
        }
    }

    const char* Token() const { return m_token; }

private:
    ParseError ParseTrack()
    {
        if (!Next())
            return m_error;
        if (m_token[0] != '(')
            return ParseError::UnexpectedToken;
        for (;;) {
            if (!Next())
                return m_error;
            if (m_token[0] == ')')
                return m_animation.track.empty() ? ParseError::EndOfFile : ParseError::None;
            const int f = std::atoi(m_token);
            if (f < 0 || f >= static_cast<int>(m_animation.frames.size()))
                return ParseError::WrongFrameNumber;
            m_animation.track.push_back(f);
        }
    }

    bool Next()
    {
        if (m_reader.NextToken(m_token) > 0)
            return true;
        m_error = ParseError::EndOfFile;
        return false;
    }
    bool NextNumber(int* value)
    {
        if (!Next())
            return false;
        *value = std::atoi(m_token);
        return true;
    }
    bool AtLeastOne(int value)
    {
        if (value >= 1)
            return true;
        m_error = ParseError::UnexpectedToken;
        return false;
    }
    bool IsKeyword(const char* keyword) const
    {
        char upper[CTextReader::kTokenSize];
        std::strcpy(upper, m_token);
        CTextReader::ToUpper(upper);
        return std::strcmp(upper, keyword) == 0;
    }

    CTextReader& m_reader;
    CCapsAnimation& m_animation;
    char m_token[CTextReader::kTokenSize] = {};
    ParseError m_error = ParseError::None;
};

} // namespace

CCapsAnimation::CCapsAnimation()
{
    frames.reserve(16);
    track.reserve(32);
}

bool CCapsAnimation::Load(CTextReader& reader)
{
    frames.clear();
    track.clear();
    AnimationParser parser(reader, *this);
    switch (parser.Parse()) {
    case ParseError::None:
        return true;
    case ParseError::EndOfFile:
        WriteLog("Unexpected End of file\n");
        break;
    case ParseError::UnexpectedToken:
        WriteLog(std::string("Unexpected Token <") + parser.Token() + "> in Line");
        WriteLogNumber(reader.LineCount());
        WriteLog("\n");
        break;
    case ParseError::WrongFrameNumber:
        WriteLog("Wrong FrameNum in line ");
        WriteLogNumber(reader.LineCount());
        WriteLog("\n");
        break;
    }
    return false;
}

bool LoadCapsAnimations(const std::string& folder, std::vector<CCapsAnimation>* out)
{
    CTextReader reader;
    if (!reader.Open(folder + "CapsAnimation.dat")) {
        WriteLog("Unable to open file CapsAnimation.dat!\n");
        return false;
    }
    CCapsAnimation animation;
    for (int i = 0; i < CCapsAnimation::kCount; ++i) {
        if (!animation.Load(reader)) {
            WriteLog("Unable to Load Caps Animation!\n");
            return false;
        }
        out->push_back(animation);
    }
    return true;
}
