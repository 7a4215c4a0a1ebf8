#include "effects/overlays/ScoreSettings.h"

#include "engine/CheckedSettings.h"
#include "engine/StringTable.h"
#include "engine/VectorMath.h"

#include <algorithm>
#include <cstdio>

namespace {

// Reading from this "file" gives every key its default.
const std::string kNoFile;

// A position of the file: pixels, y down, from the top left.
Vec3 Position(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const Vec3 p = ReadCheckedVec3(file, section, key, defaultText);
    return Vec3{p.x - 512.5f, 384.5f - p.y, p.z};
}

// A speed or a shift: a positive y in the file points down the screen.
Vec2 Downwards(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const Vec2 v = ReadCheckedVec2(file, section, key, defaultText);
    return Vec2{v.x, -v.y};
}

// Times that are not divided by may be 0 (no wait), not negative.
float Duration(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const float value = ReadCheckedFloat(file, section, key, defaultText);
    return value >= 0.0f ? value : ReadCheckedFloat(kNoFile, section, key, defaultText);
}

void ReadShadow(const std::string& file, const char* section, PopupLook* look)
{
    // Exactly 1 turns the shadow on.
    look->shadow = ReadIniInt(file, section, "Shadow", "0") == 1;
    look->shadowShift = Downwards(file, section, "ShadowShift", "2 2");
    look->shadowColor = ReadCheckedColor(file, section, "ShadowColor", "0 0 0 128");
}

// The look keys a section has, with their defaults as the file would write
// them; a key the section lacks is null and keeps PopupLook's value.
struct LookKeys {
    const char* section;
    const char* minSize;
    const char* sizeInc;
    const char* swellFactor;
    const char* swellTime;
    const char* bloomTime;
    const char* lifeTime;
    const char* fadeTime;
    const char* speed;
    const char* color;
};

constexpr LookKeys kScoreKeys{"Score", "1",    "0.1", "1.5",  "0.25",
                              nullptr, "0.75", "0.5", "0 80", "255 160 80 255"};
constexpr LookKeys kMessageKeys{"Message", nullptr, nullptr, "1.3",   "0.3",
                                nullptr,   "1",     nullptr, nullptr, nullptr};
constexpr LookKeys kMultiplierKeys{"Multiplier", "0.8", "0.05", nullptr, nullptr,
                                   "0.3",        "1",   "0.5",  "0 -50", "255 255 80 255"};
constexpr LookKeys kCaptionKeys{"Loss", nullptr, nullptr, nullptr, nullptr,
                                "0.3",  "1",     "0.5",   nullptr, "255 255 80 255"};

PopupLook ReadLook(const std::string& file, const LookKeys& keys)
{
    const char* section = keys.section;
    PopupLook look;
    if (keys.minSize)
        look.minSize = ReadCheckedFloat(file, section, "MinSize", keys.minSize);
    if (keys.sizeInc)
        look.sizeStep = ReadCheckedFloat(file, section, "SizeInc", keys.sizeInc);
    if (keys.swellFactor)
        look.swellFactor = ReadCheckedFloat(file, section, "SwellFactor", keys.swellFactor);
    if (keys.swellTime)
        look.swellTime = ReadPositiveFloat(file, section, "SwellTime", keys.swellTime);
    if (keys.bloomTime)
        look.bloomTime = ReadPositiveFloat(file, section, "BloomTime", keys.bloomTime);
    if (keys.lifeTime)
        look.lifeTime = Duration(file, section, "LifeTime", keys.lifeTime);
    if (keys.fadeTime)
        look.fadeTime = ReadPositiveFloat(file, section, "FadeTime", keys.fadeTime);
    if (keys.speed)
        look.speed = Downwards(file, section, "Speed", keys.speed);
    if (keys.color)
        look.color = ReadCheckedColor(file, section, "Color", keys.color);
    ReadShadow(file, section, &look);
    return look;
}

void ReadSections(const std::string& file, CScoreMessageSettings* s)
{
    s->z = ReadCheckedFloat(file, "Shared", "Z", "0");
    for (int row = 0; row < 3; ++row)
        for (int message = 0; message < 4; ++message) {
            char key[16];
            std::snprintf(key, sizeof key, "Combo%d_%d", row + 5, message + 1);
            s->combo[row][message] = ReadIniInt(file, "Shared", key, "5");
        }

    s->score = ReadLook(file, kScoreKeys);
    s->message = ReadLook(file, kMessageKeys);
    s->message.pulseDepth = ReadCheckedFloat(file, "Message", "PulsR", "0.1");
    s->message.pulseSpeed = kTwoPi / ReadPositiveFloat(file, "Message", "PulsT", "1");
    const int colours =
        std::clamp(ReadIniInt(file, "Message", "Colors", "1"), 0, CScoreMessageSettings::kMaxMessageColors);
    s->messageColors.clear();
    for (int i = 0; i < colours; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "Color%d", i);
        s->messageColors.push_back(ReadCheckedColor(file, "Message", key, "160 160 255 255"));
    }

    s->multiplier = ReadLook(file, kMultiplierKeys);
    s->caption = ReadLook(file, kCaptionKeys);
}

} // namespace

CScoreMessageSettings::CScoreMessageSettings() { Clear(); }

void CScoreMessageSettings::Load(const std::string& file) { ReadSections(file, this); }

void CScoreMessageSettings::Clear()
{
    ReadSections(kNoFile, this);
    messageColors.clear();
}

uint32_t CScoreMessageSettings::MessageColor(int style) const
{
    if (messageColors.empty())
        return kFallbackMessageColor;
    const size_t index = static_cast<size_t>(std::clamp(style, 0, static_cast<int>(messageColors.size()) - 1));
    return messageColors[index];
}

int CScoreMessageSettings::ComboThreshold(int colours, int which) const
{
    const int row = std::clamp(colours - 5, 0, 2);
    return combo[row][std::clamp(which, 1, 4) - 1];
}

CScoreMessageSettings& ScoreMessageSettings()
{
    static CScoreMessageSettings settings;
    return settings;
}

void LoadScoreMessageSettings(const std::string& file) { ScoreMessageSettings().Load(file); }

ComboMessage ChooseComboMessage(const CScoreMessageSettings& settings, int colours, int combo)
{
    ComboMessage shown;
    for (int message = 4; message >= 1; --message)
        if (settings.ComboThreshold(colours, message) <= combo) {
            shown.message = message;
            break;
        }
    if (shown.message == 0)
        return shown;
    char text[256];
    std::snprintf(text, sizeof text, "%s x%d", GetString(2 + shown.message).c_str(), combo);
    shown.text = text;
    shown.scale = 0.8f + 0.2f * static_cast<float>(shown.message - 1);
    shown.style = shown.message - 1;
    return shown;
}

CStarAwardSettings::CStarAwardSettings() { Load(kNoFile, "Star"); }

void CStarAwardSettings::Load(const std::string& file, const char* section)
{
    baseLeft = Position(file, section, "BaseLeft", "364 746 -3");
    elementLength = ReadCheckedFloat(file, section, "ElementLength", "32");
    count = std::clamp(ReadIniInt(file, section, "Count", "19"), 1, kMaxGlowOrigins);
    radialColor = ReadCheckedColor(file, section, "RadialColor", "255 255 80 255");
    radialSize = ReadCheckedFloat(file, section, "RadialSize", "24");
    // The intensity sizes the glow's particle array.
    radialIntensity = std::clamp(ReadCheckedFloat(file, section, "RadialIntensity", "40"), 0.0f, kMaxIntensity);
    upColor = ReadCheckedColor(file, section, "UpColor", "160 80 255 255");
    upSize = ReadCheckedFloat(file, section, "UpSize", "32");
    upIntensity = std::clamp(ReadCheckedFloat(file, section, "UpIntensity", "40"), 0.0f, kMaxIntensity);
    zOrder = ReadIniInt(file, section, "ZOrder", "-20");
    from = Position(file, section, "From", "649 730 -3");
    to = Position(file, section, "To", "649 256 -3");
    preTime = Duration(file, section, "PreTime", "0.5");
    flyTime = ReadPositiveFloat(file, section, "FlyTime", "1");
    ringTime = ReadPositiveFloat(file, section, "RingTime", "0.5");
    postTime = Duration(file, section, "PostTime", "1.5");
    flyOutTime = ReadPositiveFloat(file, section, "FlyOutTime", "0.5");
    notePos = Position(file, section, "NotePos", "649 400 -3");
    ringColor = ReadCheckedColor(file, section, "RingColor", "255 255 128 255");
}

CLifeLostSettings::CLifeLostSettings() { Load(kNoFile, "Loss"); }

void CLifeLostSettings::Load(const std::string& file, const char* section)
{
    from = Position(file, section, "From", "130 283 -50");
    to = Position(file, section, "To", "649 288 -50");
    fromSize = ReadCheckedVec2(file, section, "FromSize", "52 52");
    toSize = ReadCheckedVec2(file, section, "ToSize", "104 104");
    const Vec4 heart = ReadCheckedVec4(file, section, "HeartT", "102 94 154 146");
    heartRect = Vec4{heart.x / 256.0f, heart.y / 256.0f, heart.z / 256.0f, heart.w / 256.0f};
    flyTime = ReadPositiveFloat(file, section, "FlyTime", "0.9");
    waitTime = Duration(file, section, "WaitTime", "1");
    postTime = Duration(file, section, "PostTime", "1");
    tailColor = ReadCheckedColor(file, section, "TailColor", "255 255 80 255");
    zOrder = ReadIniInt(file, section, "ZOrder", "-50");
    notePos = Position(file, section, "NotePos", "649 360 -3");
}
