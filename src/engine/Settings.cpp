#include "engine/Settings.h"

#include "engine/Log.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kValueSize = 256;
constexpr int32_t kMaxScreenSide = 16384;

std::string RawValue(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    char buffer[kValueSize];
    plat::GetPrivateProfileString(section, key, defaultText, buffer, kValueSize, file);
    return buffer;
}

// Reads up to `count` floats: the default's numbers first, then those the
// value supplies on top, so a short or damaged value never leaves a field
// undefined.
void ReadFloats(const std::string& file, const char* section, const char* key, const char* defaultText, float* out,
                int count)
{
    float fallback[4] = {0, 0, 0, 0};
    std::sscanf(defaultText ? defaultText : "", "%f %f %f %f", &fallback[0], &fallback[1], &fallback[2],
                &fallback[3]);
    float values[4] = {fallback[0], fallback[1], fallback[2], fallback[3]};
    const std::string text = RawValue(file, section, key, defaultText);
    std::sscanf(text.c_str(), "%f %f %f %f", &values[0], &values[1], &values[2], &values[3]);
    // "nan" and "inf" read as numbers, but no place, size or speed is one.
    for (int i = 0; i < count; ++i)
        out[i] = std::isfinite(values[i]) ? values[i] : fallback[i];
}

DisplaySettings g_display;

} // namespace

int32_t ReadIniInt(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    return static_cast<int32_t>(std::atol(RawValue(file, section, key, defaultText).c_str()));
}

float ReadIniFloat(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    return static_cast<float>(std::atof(RawValue(file, section, key, defaultText).c_str()));
}

uint32_t ParseColor(const char* text, const char* defaultText)
{
    float fallback[4] = {0, 0, 0, 0};
    std::sscanf(defaultText ? defaultText : "", "%f %f %f %f", &fallback[0], &fallback[1], &fallback[2],
                &fallback[3]);
    float c[4] = {fallback[0], fallback[1], fallback[2], fallback[3]};
    std::sscanf(text ? text : "", "%f %f %f %f", &c[0], &c[1], &c[2], &c[3]);
    // A component outside 0..255 would spill into its neighbours, and one
    // that is not a number has no integer at all.
    uint32_t v[4];
    for (int i = 0; i < 4; ++i)
        v[i] =
            static_cast<uint32_t>(std::floor(std::clamp(std::isfinite(c[i]) ? c[i] : fallback[i], 0.0f, 255.0f)));
    return v[3] * 0x1000000u + v[0] * 0x10000u + v[1] * 0x100u + v[2];
}

uint32_t ReadIniColor(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    return ParseColor(RawValue(file, section, key, defaultText).c_str(), defaultText);
}

void ReadIniVec2(const std::string& file, const char* section, const char* key, const char* defaultText, Vec2* out)
{
    float v[2];
    ReadFloats(file, section, key, defaultText, v, 2);
    *out = Vec2{v[0], v[1]};
}

void ReadIniVec3(const std::string& file, const char* section, const char* key, const char* defaultText, Vec3* out)
{
    float v[3];
    ReadFloats(file, section, key, defaultText, v, 3);
    *out = Vec3{v[0], v[1], v[2]};
}

void ReadIniVec4(const std::string& file, const char* section, const char* key, const char* defaultText, Vec4* out)
{
    float v[4];
    ReadFloats(file, section, key, defaultText, v, 4);
    *out = Vec4{v[0], v[1], v[2], v[3]};
}

void ReadIniIntPair(const std::string& file, const char* section, const char* key, const char* defaultText,
                    IntPair* out)
{
    int v[2] = {0, 0};
    std::sscanf(defaultText ? defaultText : "", "%d %d", &v[0], &v[1]);
    const std::string text = RawValue(file, section, key, defaultText);
    std::sscanf(text.c_str(), "%d %d", &v[0], &v[1]);
    *out = IntPair{v[0], v[1]};
}

std::string ReadIniString(const std::string& file, const char* section, const char* key, const char* defaultText,
                          int bufferSize)
{
    std::vector<char> buffer(static_cast<size_t>(std::max(bufferSize, 1)));
    plat::GetPrivateProfileString(section, key, defaultText, buffer.data(), static_cast<int>(buffer.size()), file);
    return buffer.data();
}

int ReadIniRaw(const std::string& file, const char* section, const char* key, const char* defaultText,
               char* buffer, int size)
{
    return plat::GetPrivateProfileString(section, key, defaultText, buffer, size, file);
}

bool WriteIniString(const std::string& file, const char* section, const char* key, const std::string& value)
{
    if (plat::WritePrivateProfileString(section, key, value.c_str(), file))
        return true;
    WriteLog(std::string("Unable to write [") + section + "] " + key + " to " + file + "\n");
    return false;
}

void SetDisplaySettings(const DisplaySettings& settings) { g_display = settings; }
void GetDisplaySettings(DisplaySettings* settings) { *settings = g_display; }

std::string OptionsFilePath() { return GetUserDataFolder() + "Data\\Config\\Options.ini"; }

void ReadDisplaySettings()
{
    const std::string file = OptionsFilePath();
    auto read = [&](const char* key, const char* def) {
        char buffer[255];
        plat::GetPrivateProfileString("Settings", key, def, buffer, sizeof buffer, file);
        return static_cast<int32_t>(std::atol(buffer));
    };
    // A size no screen has (a negative one reached the device as four
    // billion pixels) reads as the default; 0 still asks the device to choose.
    auto size = [&](const char* key, const char* def) {
        const int32_t value = read(key, def);
        return value >= 0 && value <= kMaxScreenSide ? value : std::atoi(def);
    };
    g_display.adapter = read("Adapter", "0");
    g_display.colorMode = read("ColorMode", "-1");
    g_display.fullScreen = read("FullScreen", "0");
    g_display.width = size("Width", "640");
    g_display.height = size("Height", "480");
    g_display.videoSync = read("VideoSync", "1");
}

void WriteDisplaySettings()
{
    if (g_display.adapter < 0 || g_display.colorMode < 0)
        return;
    // One write of the file at most, none when it holds these already.
    const std::string file = OptionsFilePath();
    const std::vector<std::pair<std::string, std::string>> values = {
        {"Adapter", std::to_string(g_display.adapter)},   {"Width", std::to_string(g_display.width)},
        {"Height", std::to_string(g_display.height)},     {"ColorMode", std::to_string(g_display.colorMode)},
        {"FullScreen", g_display.fullScreen ? "1" : "0"}, {"VideoSync", g_display.videoSync ? "1" : "0"}};
    if (!plat::WritePrivateProfileStrings("Settings", values, file))
        WriteLog("Unable to write [Settings] to " + file + "\n");
}

bool DescribeDisplayFormat(int32_t format, DisplayMode* m)
{
    struct Layout {
        int32_t format, bits;
        int32_t r[3], g[3], b[3], a[3];
    };
    static const Layout layouts[] = {
        {20, 24, {8, 0xFF0000, 16}, {8, 0xFF00, 8}, {8, 0xFF, 0}, {0, 0, 0}},
        {21, 32, {8, 0xFF0000, 16}, {8, 0xFF00, 8}, {8, 0xFF, 0}, {8, static_cast<int32_t>(0xFF000000u), 24}},
        {22, 32, {8, 0xFF0000, 16}, {8, 0xFF00, 8}, {8, 0xFF, 0}, {0, 0, 0}},
        {23, 16, {5, 0xF800, 11}, {6, 0x7E0, 5}, {5, 0x1F, 0}, {0, 0, 0}},
        {24, 16, {5, 0x7C00, 10}, {5, 0x3E0, 5}, {5, 0x1F, 0}, {0, 0, 0}},
        {25, 16, {5, 0x7C00, 10}, {5, 0x3E0, 5}, {5, 0x1F, 0}, {1, 0x8000, 15}},
        {26, 16, {4, 0xF00, 8}, {4, 0xF0, 4}, {4, 0xF, 0}, {4, 0xF000, 12}},
        {27, 8, {3, 0xE0, 5}, {3, 0x1C, 2}, {2, 0x3, 0}, {0, 0, 0}},
        {28, 8, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {8, 0xFF, 0}},
        {29, 16, {3, 0xE0, 5}, {3, 0x1C, 2}, {2, 0x3, 0}, {8, 0xFF00, 8}},
        {30, 16, {4, 0xF00, 8}, {4, 0xF0, 4}, {4, 0xF, 0}, {0, 0, 0}},
    };
    for (const Layout& l : layouts) {
        if (l.format != format)
            continue;
        m->format = format;
        m->bitsPerPixel = l.bits;
        m->redBits = l.r[0], m->redMask = l.r[1], m->redShift = l.r[2];
        m->greenBits = l.g[0], m->greenMask = l.g[1], m->greenShift = l.g[2];
        m->blueBits = l.b[0], m->blueMask = l.b[1], m->blueShift = l.b[2];
        m->alphaBits = l.a[0], m->alphaMask = l.a[1], m->alphaShift = l.a[2];
        return true;
    }
    return false;
}

void CDisplayModeList::Build(d3d::IDirect3D8* obj, int32_t adapterNumber)
{
    using namespace d3d;
    object = obj;
    adapter = adapterNumber;
    entries.clear();
    desktopIndex = -1;
    if (!object || adapter < 0)
        return;
    const uint32_t a = static_cast<uint32_t>(adapter);
    const uint32_t count = object->GetAdapterModeCount(a);
    for (uint32_t i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode;
        if (Failed(object->EnumAdapterModes(a, i, &mode)))
            continue;
        if (mode.Width < 640 || mode.Height < 480)
            continue;
        const int w = static_cast<int>(mode.Width), h = static_cast<int>(mode.Height);
        const bool duplicate = std::any_of(entries.begin(), entries.end(), [&](const DisplayMode& e) {
            return e.width == w && e.height == h && e.format == mode.Format;
        });
        if (duplicate)
            continue;
        DisplayMode entry;
        entry.width = w;
        entry.height = h;
        entry.windowedOk = !Failed(object->CheckDeviceType(a, D3DDEVTYPE_HAL, mode.Format, mode.Format, 1));
        entry.fullScreenOk = !Failed(object->CheckDeviceType(a, D3DDEVTYPE_HAL, mode.Format, mode.Format, 0));
        auto renderTargetOk = [&](D3DFORMAT check) {
            return !Failed(object->CheckDeviceFormat(a, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_RENDERTARGET,
                                                     D3DRTYPE_TEXTURE, check));
        };
        int32_t target = 0;
        if (renderTargetOk(mode.Format)) {
            target = mode.Format;
        } else {
            for (D3DFORMAT f = 20; f <= 30 && target == 0; ++f)
                if (renderTargetOk(f))
                    target = f;
        }
        entry.renderTargetFormat = target;
        if ((entry.windowedOk || entry.fullScreenOk) && target != 0 && DescribeDisplayFormat(mode.Format, &entry))
            entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const DisplayMode& x, const DisplayMode& y) {
        if (x.width != y.width)
            return x.width < y.width;
        if (x.height != y.height)
            return x.height < y.height;
        return x.bitsPerPixel < y.bitsPerPixel;
    });
    D3DDISPLAYMODE desktop;
    if (!Failed(object->GetAdapterDisplayMode(a, &desktop))) {
        for (size_t i = 0; i < entries.size(); ++i) {
            const DisplayMode& e = entries[i];
            if (e.format == desktop.Format && e.width == static_cast<int>(desktop.Width) &&
                e.height == static_cast<int>(desktop.Height) && e.windowedOk) {
                desktopIndex = static_cast<int32_t>(i);
                break;
            }
        }
    }
}

namespace {

bool DepthMatches(int a, int b)
{
    auto norm = [](int bits) { return bits == 24 ? 32 : bits; };
    return norm(a) == norm(b);
}

// The lookups' shared pattern: an exact pass, then (with the fallback) the
// first entry at least as large, then the largest entry.
template <typename Exact, typename Larger>
int Lookup(const std::vector<DisplayMode>& entries, int width, int height, bool fallback, Exact exact,
           Larger larger)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].width == width && entries[i].height == height && exact(entries[i]))
            return static_cast<int>(i);
    if (!fallback)
        return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].width >= width && entries[i].height >= height && larger(entries[i]))
            return static_cast<int>(i);
    return entries.empty() ? -1 : static_cast<int>(entries.size()) - 1;
}

} // namespace

int CDisplayModeList::FindMode(int width, int height, int format, bool fallback) const
{
    auto same = [format](const DisplayMode& e) { return e.format == format; };
    return Lookup(entries, width, height, fallback, same, same);
}

int CDisplayModeList::FindWindowedMode(int width, int height, int format, bool fallback) const
{
    auto ok = [format](const DisplayMode& e) { return e.format == format && e.windowedOk; };
    return Lookup(entries, width, height, fallback, ok, ok);
}

int CDisplayModeList::FindFullScreenMode(int width, int height, int format, bool fallback) const
{
    auto ok = [format](const DisplayMode& e) { return e.format == format && e.fullScreenOk; };
    return Lookup(entries, width, height, fallback, ok, ok);
}

int CDisplayModeList::FindFullScreenSize(int width, int height, bool fallback) const
{
    return Lookup(
        entries, width, height, fallback, [](const DisplayMode& e) { return e.fullScreenOk != 0; },
        [](const DisplayMode&) { return true; });
}

int CDisplayModeList::FindFullScreenDepth(int width, int height, int bits, bool fallback) const
{
    auto ok = [bits](const DisplayMode& e) { return DepthMatches(e.bitsPerPixel, bits) && e.fullScreenOk; };
    return Lookup(entries, width, height, fallback, ok, ok);
}

int CDisplayModeList::FindByAspect(float aspect, float tolerance, int height, int bits) const
{
    auto ratio = [](const DisplayMode& e) { return static_cast<float>(e.height) / static_cast<float>(e.width); };
    auto usable = [bits](const DisplayMode& e) { return DepthMatches(e.bitsPerPixel, bits) && e.fullScreenOk; };
    for (int pass = 0; pass < 4; ++pass) {
        for (size_t i = 0; i < entries.size(); ++i) {
            const DisplayMode& e = entries[i];
            if (!usable(e))
                continue;
            const bool close = pass < 2 ? std::fabs(ratio(e) - aspect) < tolerance : ratio(e) < aspect;
            const bool tall = pass % 2 == 0 ? e.height == height : e.height >= height;
            if (close && tall)
                return static_cast<int>(i);
        }
    }
    return -1;
}

int GetHardwareLevel(int32_t adapter, d3d::IDirect3D8* object)
{
    using namespace d3d;
    if (!object || adapter < 0)
        return 0;
    D3DCAPS8 caps;
    if (Failed(object->GetDeviceCaps(static_cast<uint32_t>(adapter), D3DDEVTYPE_HAL, &caps)))
        return 0;
    if (caps.PixelShaderVersion != 0) {
        D3DADAPTER_IDENTIFIER8 id;
        if (Failed(object->GetAdapterIdentifier(static_cast<uint32_t>(adapter), 0, &id)) || id.VendorId == 0x1002)
            return 5;
        return 4;
    }
    if (caps.VertexShaderVersion != 0)
        return 4;
    if (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
        return 3;
    return (caps.StencilCaps & D3DSTENCILCAPS_ZERO) ? 2 : 1;
}
