#include "totems/TotemSettings.h"

#include "engine/CheckedSettings.h"
#include "engine/Log.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// Exactly `count` finite numbers at the start of `text`.
bool ParseFloats(const char* text, float* out, int count)
{
    const char* p = text;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        errno = 0;
        const float v = std::strtof(p, &end);
        if (end == p || !std::isfinite(v))
            return false;
        out[i] = v;
        p = end;
    }
    return true;
}

} // namespace

bool CTotemSection::Floats(const char* key, const char* defaultText, float* out, int count) const
{
    char buffer[512];
    ReadIniRaw(m_file, m_section, key, defaultText, buffer, sizeof buffer);
    if (ParseFloats(buffer, out, count))
        return true;
    if (!ParseFloats(defaultText, out, count))
        std::fill(out, out + count, 0.0f);
    LogDefaultStands(m_file, m_section, key, defaultText);
    return false;
}

float CTotemSection::Float(const char* key, const char* defaultText) const
{
    float v = 0;
    Floats(key, defaultText, &v, 1);
    return v;
}

float CTotemSection::Positive(const char* key, const char* defaultText) const
{
    const float v = Float(key, defaultText);
    if (v > 0.0f)
        return v;
    LogDefaultStands(m_file, m_section, key, defaultText);
    return static_cast<float>(std::atof(defaultText));
}

float CTotemSection::NonNegative(const char* key, const char* defaultText) const
{
    const float v = Float(key, defaultText);
    if (v >= 0.0f)
        return v;
    LogDefaultStands(m_file, m_section, key, defaultText);
    return static_cast<float>(std::atof(defaultText));
}

int32_t CTotemSection::Int(const char* key, const char* defaultText) const
{
    return ReadCheckedInt(m_file, m_section, key, defaultText);
}

uint32_t CTotemSection::Color(const char* key, const char* defaultText) const
{
    return ReadCheckedColor(m_file, m_section, key, defaultText);
}

std::string CTotemSection::Word(const char* key, const char* defaultText) const
{
    return ReadIniString(m_file, m_section, key, defaultText);
}

Vec2 CTotemSection::Pair(const char* key, const char* defaultText) const
{
    float v[2];
    Floats(key, defaultText, v, 2);
    return {v[0], v[1]};
}

Vec2 CTotemSection::Size(const char* key, const char* defaultText) const
{
    float v[2];
    Floats(key, defaultText, v, 2);
    if (v[0] > 0.0f && v[1] > 0.0f)
        return {v[0], v[1]};
    LogDefaultStands(m_file, m_section, key, defaultText);
    float fallback[2] = {1.0f, 1.0f};
    ParseFloats(defaultText, fallback, 2);
    return {v[0] > 0.0f ? v[0] : fallback[0], v[1] > 0.0f ? v[1] : fallback[1]};
}

int32_t CTotemSection::Count(const char* key, const char* defaultText, int32_t cap) const
{
    const int32_t n = Int(key, defaultText);
    if (n > cap) {
        WriteLog("Warning! " + m_file + " [" + m_section + "] " + key + " " + std::to_string(n) +
                 " is more than " + std::to_string(cap) + "\n");
        return cap;
    }
    return std::max(n, 0);
}

// The numbers go in place of the "%d" marks, in order.
std::string KeyOf(const char* pattern, int n)
{
    std::string key(pattern);
    const size_t at = key.find("%d");
    if (at != std::string::npos)
        key.replace(at, 2, std::to_string(n));
    return key;
}

std::string KeyOf(const char* pattern, int n, int m) { return KeyOf(KeyOf(pattern, n).c_str(), m); }

Vec3 ScreenPoint(float x, float y, float z) { return {x - 512.5f, 384.5f - y, z}; }

int FilterOfWord(std::string word)
{
    for (char& c : word)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word == "ADD" ? 1 : word == "MUL" ? 2 : word == "SCREEN" ? 3 : 0;
}

Vec3 PowerPoint(float x, float y) { return {(x - 128.0f) / 256.0f, (128.0f - y) / 256.0f, -100.0f}; }
