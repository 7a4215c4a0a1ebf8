#include "effects/overlays/ScoreSettings.h"

#include "effects/CheckedSettings.h"
#include "engine/StringTable.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float kTwoPi = 6.2831853f;
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

void ReadSections(const std::string& file, CScoreMessageSettings* s)
{
    s->z = ReadCheckedFloat(file, "Shared", "Z", "0");
    for (int row = 0; row < 3; ++row)
        for (int message = 0; message < 4; ++message) {
            char key[16];
            std::snprintf(key, sizeof key, "Combo%d_%d", row + 5, message + 1);
            s->combo[row][message] = ReadIniInt(file, "Shared", key, "5");
        }

    PopupLook& score = s->score;
    score = PopupLook{};
    score.minSize = ReadCheckedFloat(file, "Score", "MinSize", "1");
    score.sizeStep = ReadCheckedFloat(file, "Score", "SizeInc", "0.1");
    score.swellFactor = ReadCheckedFloat(file, "Score", "SwellFactor", "1.5");
    score.swellTime = ReadPositiveFloat(file, "Score", "SwellTime", "0.25");
    score.lifeTime = Duration(file, "Score", "LifeTime", "0.75");
    score.fadeTime = ReadPositiveFloat(file, "Score", "FadeTime", "0.5");
    score.speed = Downwards(file, "Score", "Speed", "0 80");
    score.color = ReadCheckedColor(file, "Score", "Color", "255 160 80 255");
    ReadShadow(file, "Score", &score);

    PopupLook& message = s->message;
    message = PopupLook{};
    message.swellFactor = ReadCheckedFloat(file, "Message", "SwellFactor", "1.3");
    message.swellTime = ReadPositiveFloat(file, "Message", "SwellTime", "0.3");
    message.lifeTime = Duration(file, "Message", "LifeTime", "1");
    message.pulseDepth = ReadCheckedFloat(file, "Message", "PulsR", "0.1");
    message.pulseSpeed = kTwoPi / ReadPositiveFloat(file, "Message", "PulsT", "1");
    ReadShadow(file, "Message", &message);
    const int colours =
        std::clamp(ReadIniInt(file, "Message", "Colors", "1"), 0, CScoreMessageSettings::kMaxMessageColors);
    s->messageColors.clear();
    for (int i = 0; i < colours; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "Color%d", i);
        s->messageColors.push_back(ReadCheckedColor(file, "Message", key, "160 160 255 255"));
    }

    PopupLook& multiplier = s->multiplier;
    multiplier = PopupLook{};
    multiplier.minSize = ReadCheckedFloat(file, "Multiplier", "MinSize", "0.8");
    multiplier.sizeStep = ReadCheckedFloat(file, "Multiplier", "SizeInc", "0.05");
    multiplier.bloomTime = ReadPositiveFloat(file, "Multiplier", "BloomTime", "0.3");
    multiplier.lifeTime = Duration(file, "Multiplier", "LifeTime", "1");
    multiplier.fadeTime = ReadPositiveFloat(file, "Multiplier", "FadeTime", "0.5");
    multiplier.speed = Downwards(file, "Multiplier", "Speed", "0 -50");
    multiplier.color = ReadCheckedColor(file, "Multiplier", "Color", "255 255 80 255");
    ReadShadow(file, "Multiplier", &multiplier);

    PopupLook& caption = s->caption;
    caption = PopupLook{};
    caption.bloomTime = ReadPositiveFloat(file, "Loss", "BloomTime", "0.3");
    caption.lifeTime = Duration(file, "Loss", "LifeTime", "1");
    caption.fadeTime = ReadPositiveFloat(file, "Loss", "FadeTime", "0.5");
    caption.color = ReadCheckedColor(file, "Loss", "Color", "255 255 80 255");
    ReadShadow(file, "Loss", &caption);
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
