// The two parsers of form files: the file level (CFormFile::Parse) and one
// element (CFormElement::Parse), with the colour reader both use. Keywords
// compare after upper-casing; DEFINE and ID names stay as written.
#include "gui/FormFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The magnitudes of the floats a form file gives: far beyond any geometry of
// a 1024-wide screen either way, so that no quotient or product of them
// overflows.
constexpr double kFloatLimit = 1000000.0;
constexpr double kFloatFloor = 0.000001;

// Text-to-double in the C locale. Text that is no number, and numbers that
// are not finite or overflow, read as 0; so do magnitudes below the floor.
float ToFloat(const std::string& token)
{
    double value = 0.0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value) || std::fabs(value) < kFloatFloor)
        return 0.0f;
    return static_cast<float>(std::clamp(value, -kFloatLimit, kFloatLimit));
}

// Text-to-long over leading digits, held to the int32 range; a fractional
// part is dropped and text that is no number reads as 0.
int32_t ToInt(const std::string& token)
{
    size_t i = 0;
    const bool negative = !token.empty() && token[0] == '-';
    if (negative)
        ++i;
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
        value = std::min(kCap, value * 10 + (token[i] - '0'));
    return static_cast<int32_t>(std::clamp<int64_t>(negative ? -value : value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::string Unquoted(const std::string& token)
{
    std::string out(token.size() + 1, '\0');
    CTextReader::StripQuotes(token.c_str(), out.data());
    out.resize(std::strlen(out.c_str()));
    return out;
}

enum class ParseError { None, EndOfFile, UnexpectedToken, Element, WrongColor };

// Tokens and the typed arguments read from them. Every reader returns false
// once an error is recorded; the first error becomes the error text.
class FormTokens {
public:
    explicit FormTokens(CTextReader& reader) : m_reader(reader) {}

    bool Next(std::string* token)
    {
        char buffer[CTextReader::kTokenSize];
        if (m_reader.NextToken(buffer) <= 0)
            return Fail(ParseError::EndOfFile);
        token->assign(buffer);
        return true;
    }
    bool NextUpper(std::string* token)
    {
        if (!Next(token))
            return false;
        *token = UpperCased(*token);
        return true;
    }
    bool Floats(float* values, int count)
    {
        std::string token;
        for (int i = 0; i < count; ++i) {
            if (!Next(&token))
                return false;
            values[i] = ToFloat(token);
        }
        return true;
    }
    bool Triple(Vec3* v) { return Floats(&v->x, 1) && Floats(&v->y, 1) && Floats(&v->z, 1); }
    bool Pair(Vec2* v) { return Floats(&v->x, 1) && Floats(&v->y, 1); }
    bool Size(GuiSize* s) { return Floats(&s->w, 1) && Floats(&s->h, 1); }
    bool Int(int32_t* value)
    {
        std::string token;
        if (!Next(&token))
            return false;
        *value = ToInt(token);
        return true;
    }
    bool String(std::string* value)
    {
        std::string token;
        if (!Next(&token))
            return false;
        *value = Unquoted(token);
        return true;
    }
    bool Colour(uint32_t* colour)
    {
        return CFormFile::ReadColour(m_reader, colour) || Fail(ParseError::WrongColor);
    }

    bool Fail(ParseError error)
    {
        if (m_error == ParseError::None)
            m_error = error;
        return false;
    }
    bool Unexpected(const std::string& token)
    {
        m_token = token;
        return Fail(ParseError::UnexpectedToken);
    }
    ParseError Error() const { return m_error; }
    std::string ErrorText() const
    {
        const std::string line = std::to_string(m_reader.LineCount());
        switch (m_error) {
        case ParseError::EndOfFile:
            return "Unexpected end of file";
        case ParseError::UnexpectedToken:
            return "Unexpected token \"" + m_token + "\", line " + line;
        case ParseError::WrongColor:
            return "Wrong color, line " + line;
        default:
            return "Unknown error";
        }
    }

private:
    CTextReader& m_reader;
    ParseError m_error = ParseError::None;
    std::string m_token;
};

// Kinds as bits, for the properties and states a kind takes.
constexpr unsigned Bit(WindowKind kind) { return 1u << static_cast<int>(kind); }
constexpr unsigned kStatic = Bit(WindowKind::Static), kButton = Bit(WindowKind::Button),
                   kCheckbox = Bit(WindowKind::Checkbox), kScroller = Bit(WindowKind::Scroller),
                   kProgressbar = Bit(WindowKind::Progressbar);
constexpr unsigned kAnyKind = kStatic | kButton | kCheckbox | kScroller | kProgressbar;

struct KindName {
    const char* name;
    WindowKind kind;
};
constexpr KindName kKinds[] = {{"STATIC", WindowKind::Static},
                               {"BUTTON", WindowKind::Button},
                               {"CHECKBOX", WindowKind::Checkbox},
                               {"SCROLLER", WindowKind::Scroller},
                               {"PROGRESSBAR", WindowKind::Progressbar}};

struct StateName {
    const char* name;
    int index;
    unsigned stateKinds; // kinds that take STATE with this name
    unsigned textKinds;  // kinds that take TEXTSTATE with this name
};
constexpr StateName kStates[] = {
    {"NORMAL", kStateNormal, kAnyKind, 0},
    {"PRESSED", kStatePressed, kButton | kCheckbox, kButton | kCheckbox},
    {"SCROLLER", kStatePressed, kScroller, 0},
    {"PROGRESS", kStatePressed, kProgressbar, 0},
    {"OVER", kStateOver, kButton | kCheckbox, kButton | kCheckbox},
    {"DISABLED", kStateDisabled, kButton | kCheckbox | kScroller, kButton | kCheckbox | kScroller},
    {"OVERPRESSED", kStateOverPressed, kCheckbox, kCheckbox},
    {"PRESSEDDISABLED", kStatePressedDisabled, kCheckbox, kCheckbox},
};

// The state a STATE or TEXTSTATE entry names, or null (the error recorded).
FormElementState* ReadState(FormTokens& in, CFormElement& e, bool textState)
{
    std::string name;
    if (!in.NextUpper(&name))
        return nullptr;
    for (const StateName& s : kStates)
        if (name == s.name && ((textState ? s.textKinds : s.stateKinds) & Bit(e.kind)))
            return &e.states[s.index];
    in.Unexpected(name);
    return nullptr;
}

bool ReadWord(FormTokens& in, const char* const* words, int count, int32_t first, int32_t* value)
{
    std::string word;
    if (!in.NextUpper(&word))
        return false;
    for (int i = 0; i < count; ++i)
        if (word == words[i]) {
            *value = first + i;
            return true;
        }
    return in.Unexpected(word);
}

// The element's properties: each reads its arguments and marks the flags it
// sets. A kind outside `kinds` makes the word an unexpected token.
struct Property {
    const char* name;
    unsigned kinds;
    bool (*read)(FormTokens&, CFormElement&);
};

// Sets `flag` when the read went well, and passes the result on.
bool Mark(bool* flag, bool ok)
{
    *flag = *flag || ok;
    return ok;
}
bool TextFlag(CFormElement& e, bool ok) { return Mark(&e.hasText, ok); }
bool ShadowFlag(CFormElement& e, bool ok) { return TextFlag(e, Mark(&e.hasShadow, ok)); }

const Property kProperties[] = {
    {"POSITION", kAnyKind, [](FormTokens& in, CFormElement& e) { return in.Triple(&e.position); }},
    {"SIZE", kAnyKind, [](FormTokens& in, CFormElement& e) { return in.Size(&e.size); }},
    {"ZORDER", kAnyKind, [](FormTokens& in, CFormElement& e) { return in.Int(&e.zOrder); }},
    {"PICTURE", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         if (!in.Triple(&e.picture))
             return false;
         e.hasPicture = true;
         if (e.pictureSize.w == 0 && e.pictureSize.h == 0)
             e.pictureSize = e.size;
         return true;
     }},
    {"PICTURESIZE", kAnyKind,
     [](FormTokens& in, CFormElement& e) { return Mark(&e.hasPicture, in.Size(&e.pictureSize)); }},
    {"TEXT", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         std::string line;
         if (!in.String(&line))
             return false;
         e.text = e.textLines++ > 0 ? e.text + "\n" + line : line;
         return TextFlag(e, true);
     }},
    {"TEXTCOLOR", kAnyKind, [](FormTokens& in, CFormElement& e) { return TextFlag(e, in.Colour(&e.textColor)); }},
    {"NOTESHIFT", kAnyKind, [](FormTokens& in, CFormElement& e) { return TextFlag(e, in.Triple(&e.noteShift)); }},
    {"CHARSIZE", kAnyKind, [](FormTokens& in, CFormElement& e) { return TextFlag(e, in.Size(&e.charSize)); }},
    {"ALIGNMENT", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         static const char* const kWords[] = {"LEFT", "RIGHT", "CENTER", "WIDTH"};
         int32_t mode = 0;
         const bool ok = ReadWord(in, kWords, 4, CText::LEFT, &mode);
         e.alignment = static_cast<CText::Alignment>(ok ? mode : e.alignment);
         return TextFlag(e, ok);
     }},
    {"SPECIALNOTEWIDTH", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         return TextFlag(e, Mark(&e.hasSpecialWidth, in.Floats(&e.specialNoteWidth, 1)));
     }},
    {"TEXTSHADOW", kAnyKind, [](FormTokens&, CFormElement& e) { return ShadowFlag(e, true); }},
    {"TEXTSHADOWSHIFT", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         return ShadowFlag(e, in.Floats(&e.shadowShift.x, 1) && in.Floats(&e.shadowShift.y, 1));
     }},
    {"TEXTSHADOWCOLOR", kAnyKind,
     [](FormTokens& in, CFormElement& e) { return ShadowFlag(e, in.Colour(&e.shadowColor)); }},
    {"INTERVAL", kAnyKind, [](FormTokens& in, CFormElement& e) { return TextFlag(e, in.Floats(&e.interval, 1)); }},
    {"FONT", kAnyKind, [](FormTokens& in, CFormElement& e) { return TextFlag(e, in.Int(&e.font)); }},
    {"TEXTURE", kAnyKind, [](FormTokens& in, CFormElement& e) { return in.String(&e.texture); }},
    {"TEXTURESIZE", kAnyKind, [](FormTokens& in, CFormElement& e) { return in.Size(&e.textureSize); }},
    {"COLOR", kAnyKind, [](FormTokens& in, CFormElement& e) { return in.Colour(&e.color); }},
    {"FILTER", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         static const char* const kWords[] = {"ADD", "MUL", "SCREEN"};
         return ReadWord(in, kWords, 3, 1, &e.filter);
     }},
    {"INTERRUPT", kAnyKind,
     [](FormTokens& in, CFormElement& e) { return Mark(&e.hasInterrupt, in.Int(&e.interrupt)); }},
    {"SCROLLERSIZE", kScroller, [](FormTokens& in, CFormElement& e) { return in.Size(&e.knobSize); }},
    {"CENTERSHIFT", kScroller, [](FormTokens& in, CFormElement& e) { return in.Pair(&e.centreShift); }},
    {"WIDTHFACTOR", kScroller, [](FormTokens& in, CFormElement& e) { return in.Floats(&e.widthFactor, 1); }},
    {"VERTICAL", kScroller | kProgressbar,
     [](FormTokens&, CFormElement& e) {
         e.horizontal = false;
         return true;
     }},
    {"STATE", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         FormElementState* state = ReadState(in, e, false);
         return state && Mark(&state->defined, in.Floats(state->corners, 8));
     }},
    {"TEXTSTATE", kAnyKind,
     [](FormTokens& in, CFormElement& e) {
         FormElementState* state = ReadState(in, e, true);
         return state && Mark(&state->textColorDefined, in.Colour(&state->textColor));
     }},
};

// A block: `opener` must be "{"; then `entry` takes each upper-cased token
// until the closing "}".
template <typename Entry>
bool ParseBlock(FormTokens& in, const std::string& opener, Entry entry)
{
    if (opener != "{")
        return in.Unexpected(opener);
    std::string token;
    for (;;) {
        if (!in.NextUpper(&token))
            return false;
        if (token == "}")
            return true;
        if (!entry(token))
            return false;
    }
}

bool ParseElement(FormTokens& in, CFormElement& e)
{
    std::string token;
    if (!in.NextUpper(&token))
        return false;
    const auto kind =
        std::find_if(std::begin(kKinds), std::end(kKinds), [&](const KindName& k) { return token == k.name; });
    if (kind == std::end(kKinds))
        return in.Unexpected(token);
    e.kind = kind->kind;
    if (!in.NextUpper(&token))
        return false;
    if (token == "ID" && !(in.Next(&e.idName) && in.Next(&token)))
        return false;
    return ParseBlock(in, token, [&](const std::string& word) {
        const auto property = std::find_if(std::begin(kProperties), std::end(kProperties),
                                           [&](const Property& p) { return word == p.name; });
        if (property == std::end(kProperties) || !(property->kinds & Bit(e.kind)))
            return in.Unexpected(word);
        return property->read(in, e);
    });
}

// Inside TILING every unknown token is passed over, one at a time.
bool ParseTiling(FormTokens& in, CFormFile& f)
{
    std::string opener;
    return in.Next(&opener) && ParseBlock(in, opener, [&](const std::string& word) {
               if (word == "CORNERS")
                   return in.String(&f.cornersTexture);
               if (word == "SIDES")
                   return in.String(&f.sidesTexture);
               if (word == "BACKGROUND")
                   return in.String(&f.backgroundTexture);
               if (word == "HTILE")
                   return in.Floats(f.horizontalTile, 2);
               if (word == "VTILE")
                   return in.Floats(f.verticalTile, 2);
               return true;
           });
}

} // namespace

bool CFormFile::ReadColour(CTextReader& reader, uint32_t* colour)
{
    char buffer[CTextReader::kTokenSize];
    std::string token;
    auto next = [&] {
        if (reader.NextToken(buffer) <= 0)
            return false;
        token = buffer;
        return true;
    };
    if (!next())
        return false;
    if (token != "(") {
        *colour = static_cast<uint32_t>(ParseHex(token));
        return true;
    }
    // Four components, each optionally a percentage; the commas between them
    // are optional, the closing parenthesis is not.
    uint32_t parts[4] = {};
    if (!next())
        return false;
    for (int i = 0; i < 4; ++i) {
        int64_t value = std::max(0, ToInt(token));
        if (!next())
            return false;
        if (token == "%") {
            value = std::min<int64_t>(value, 100) * 255 / 100;
            if (!next())
                return false;
        }
        parts[i] = static_cast<uint32_t>(std::min<int64_t>(value, 255));
        if (i < 3 && token == "," && !next())
            return false;
    }
    if (token != ")")
        return false;
    *colour = parts[3] << 24 | parts[0] << 16 | parts[1] << 8 | parts[2];
    return true;
}

bool CFormElement::Parse(CTextReader& reader)
{
    FormTokens in(reader);
    if (ParseElement(in, *this))
        return true;
    errorText = in.ErrorText();
    return false;
}

void CFormFile::AddElement(const CountedHandle<CFormElement>& element) { elements.push_back(element); }

bool CFormFile::Parse(const std::string& file)
{
    CTextReader reader;
    if (!reader.Open(file)) {
        errorText = "Unable to open file " + file;
        return false;
    }
    FormTokens in(reader);
    std::string token;
    auto statement = [&]() -> bool {
        if (token == "SCREENWIDTH")
            return in.Floats(&designWidth, 1);
        if (token == "DEFINE") {
            std::string name;
            int32_t value = 0;
            if (!(in.Next(&name) && in.Int(&value)))
                return false;
            defineNames.push_back(name);
            defineValues.push_back(value);
            return true;
        }
        if (token == "POSITION")
            return in.Triple(&position);
        if (token == "SIZE")
            return in.Size(&size);
        if (token == "COLOR")
            return in.Colour(&color);
        if (token == "TILING") {
            tiled = true;
            return ParseTiling(in, *this);
        }
        if (token == "ELEMENT") {
            auto element = MakeCountedHandle(new CFormElement());
            element->targetWidth = targetWidth;
            if (!element->Parse(reader)) {
                errorText = element->errorText;
                return in.Fail(ParseError::Element);
            }
            AddElement(element);
            return true;
        }
        return in.Unexpected(token);
    };
    char first[CTextReader::kTokenSize];
    while (reader.NextToken(first) > 0) {
        token = UpperCased(first);
        if (statement())
            continue;
        if (in.Error() != ParseError::Element)
            errorText = in.ErrorText();
        return false;
    }
    return true;
}
