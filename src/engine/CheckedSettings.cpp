#include "engine/CheckedSettings.h"

#include "engine/Log.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The default's own numbers, parsed the way the readers parse a value.
void DefaultNumbers(const char* defaultText, float* out, int count)
{
    float values[4] = {0, 0, 0, 0};
    std::sscanf(defaultText ? defaultText : "", "%f %f %f %f", &values[0], &values[1], &values[2], &values[3]);
    for (int i = 0; i < count; ++i)
        out[i] = values[i];
}

// Reads `count` numbers of the key: the default's where the file holds
// none; where it holds the key, each component it gives as a finite number,
// and the default's for the others, with one log line when a component was
// given as something else.
void ReadNumbers(const std::string& file, const char* section, const char* key, const char* defaultText,
                 float* out, int count)
{
    float fallback[4];
    DefaultNumbers(defaultText, fallback, count);
    std::copy(fallback, fallback + count, out);
    std::string held;
    if (!plat::FindProfileString(section ? section : "", key ? key : "", &held, file))
        return;
    const char* p = held.c_str();
    bool whole = true;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        const float value = std::strtof(p, &end);
        // Fewer numbers than asked leave the default's for the rest, as an
        // unread component always does; words where numbers stand do not.
        if (end == p) {
            whole = std::all_of(p, held.c_str() + held.size(), [](char c) { return c == ' ' || c == '\t'; });
            break;
        }
        p = end;
        if (std::isfinite(value))
            out[i] = value;
        else
            whole = false;
    }
    if (!whole)
        LogDefaultStands(file, section, key, defaultText);
}

// A value quoted in the log: the first few dozen characters of it.
constexpr size_t kQuotedValue = 40;

} // namespace

float DefaultNumber(const char* defaultText)
{
    float value = 0.0f;
    DefaultNumbers(defaultText, &value, 1);
    return value;
}

void LogDefaultStands(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    // Where the file holds nothing for the key, nothing was replaced.
    std::string held;
    if (!plat::FindProfileString(section ? section : "", key ? key : "", &held, file))
        return;
    if (held.size() > kQuotedValue)
        held = held.substr(0, kQuotedValue) + "...";
    WriteLog("Warning! " + file + " [" + (section ? section : "") + "] " + (key ? key : "") + " \"" + held +
             "\" cannot be used: the default \"" + (defaultText ? defaultText : "") + "\" stands\n");
}

bool CheckSettingsFile(const std::string& file, const char* section)
{
    size_t keys = 0;
    const plat::ReadOutcome outcome = plat::CountProfileKeys(file, section ? section : "", &keys);
    std::string what;
    if (outcome == plat::ReadOutcome::Missing)
        what = " is missing";
    else if (outcome == plat::ReadOutcome::Failed)
        what = " cannot be read";
    else if (keys == 0)
        what = section ? std::string(" holds no settings in [") + section + "]" : " holds no settings";
    else
        return true;
    WriteLog("Warning! " + file + what + ": every default stands\n");
    return false;
}

int32_t ReadCheckedInt(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const int32_t fallback = static_cast<int32_t>(std::atol(defaultText ? defaultText : ""));
    std::string held;
    if (!plat::FindProfileString(section ? section : "", key ? key : "", &held, file))
        return fallback;
    const char* text = held.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    // An empty value is no damage, as a missing one is not.
    if (held.find_first_not_of(" \t") == std::string::npos)
        return fallback;
    if (end == text || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
        LogDefaultStands(file, section, key, defaultText);
        return fallback;
    }
    return static_cast<int32_t>(value);
}

float ReadCheckedFloat(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    float value = 0.0f;
    ReadNumbers(file, section, key, defaultText, &value, 1);
    return value;
}

float ReadPositiveFloat(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const float value = ReadCheckedFloat(file, section, key, defaultText);
    if (value > 0.0f)
        return value;
    LogDefaultStands(file, section, key, defaultText);
    return DefaultNumber(defaultText);
}

Vec2 ReadCheckedVec2(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    float v[2];
    ReadNumbers(file, section, key, defaultText, v, 2);
    return Vec2{v[0], v[1]};
}

Vec3 ReadCheckedVec3(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    float v[3];
    ReadNumbers(file, section, key, defaultText, v, 3);
    return Vec3{v[0], v[1], v[2]};
}

Vec4 ReadCheckedVec4(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    float v[4];
    ReadNumbers(file, section, key, defaultText, v, 4);
    return Vec4{v[0], v[1], v[2], v[3]};
}

uint32_t ReadCheckedColor(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const Vec4 c = ReadCheckedVec4(file, section, key, defaultText);
    auto byte = [](float v) { return static_cast<uint32_t>(std::clamp(std::floor(v), 0.0f, 255.0f)); };
    return byte(c.w) << 24 | byte(c.x) << 16 | byte(c.y) << 8 | byte(c.z);
}
