// The display check boxes of the options screen. The display is a mask:
// 1 full screen, 2 wider than 640, 4 more than 16 bits of colour, 8 wider
// than 4:3 (full screen only). The boxes edit a pending copy within what the
// display offers; the options' OK applies it.
#include "game/Game.h"

#include "gui/QoButton.h"

namespace {

enum DisplayBit { kFull = 1, kWidth = 2, kDepth = 4, kWide = 8 };

// The full-screen table's class of a mask: width, depth and wide bits.
int ClassOf(int mask) { return (mask >> 1) & 7; }

int DesktopBits(const CRenderDevice& device)
{
    const CDisplayModeList* list = device.ModeList();
    if (!list || list->desktopIndex < 0)
        return 32;
    return d3d::FormatBits(list->entries[static_cast<size_t>(list->desktopIndex)].format);
}

} // namespace

int CGame::GetDisplayFlags() const
{
    int w = 0, h = 0;
    d3d::D3DFORMAT format = 0;
    if (fullScreen) {
        renderer->GetDisplayMode(1, &w, &h, &format);
        return kFull | (w > 640 ? kWidth : 0) | (d3d::FormatBits(format) > 16 ? kDepth : 0) |
               (w * 3 > h * 4 ? kWide : 0);
    }
    return (renderer->width > 640 ? kWidth : 0) | (DesktopBits(*device) > 16 ? kDepth : 0);
}

int CGame::GetAvailableToggles(int flags) const
{
    const std::vector<int32_t>& modes = renderer->fullScreenModes;
    auto any = [&modes](std::initializer_list<int> entries) {
        for (const int e : entries)
            if (static_cast<size_t>(e) < modes.size() && modes[static_cast<size_t>(e)] >= 0)
                return true;
        return false;
    };
    const size_t windowSizes = renderer->windowSizes.size();
    if (!(flags & kFull))
        return (any({0, 1, 2, 3, 4, 5, 6, 7}) ? kFull : 0) | (windowSizes >= 2 ? kWidth : 0);
    int available = windowSizes > 0 ? kFull : 0;
    if (flags & kWidth ? any({0, 4}) : any({1, 3, 5, 7}))
        available |= kWidth;
    if (flags & kDepth ? any({0, 1, 4, 5}) : any({3, 7}))
        available |= kDepth;
    if (flags & kWide ? any({0, 1, 3}) : any({4, 5, 7}))
        available |= kWide;
    return available;
}

void CGame::UpdateToggleControls(int flags)
{
    const int available = GetAvailableToggles(flags);
    const int bits[4] = {kFull, kWidth, kDepth, kWide};
    for (size_t i = 0; i < 4; ++i) {
        auto* box = static_cast<CQoCheckbox*>(screens->options.switches[i].Get());
        box->SetChecked((flags & bits[i]) != 0);
        box->SetEnabled((available & bits[i]) != 0);
    }
}

int CGame::ToggleDisplayOption(int mask, int option) const
{
    const std::vector<int32_t>& modes = renderer->fullScreenModes;
    auto offered = [&modes](int cls) {
        return static_cast<size_t>(cls) < modes.size() && modes[static_cast<size_t>(cls)] >= 0;
    };
    const bool twoSizes = renderer->windowSizes.size() >= 2;
    if (!(mask & kFull)) {
        if (option == 1) {
            if (mask & kWidth)
                return mask & ~kWidth;
            return twoSizes ? mask | kWidth : mask;
        }
        if (option != 0)
            return mask;
        // The first class on offer, keeping the width and depth as long as
        // possible, wide before narrow.
        const int w = (mask & kWidth) ? 1 : 0, d = (mask & kDepth) ? 1 : 0;
        const int candidates[7][3] = {{w, d, 1},     {w, d, 0},     {w, 1 - d, 1},    {w, 1 - d, 0},
                                      {1 - w, d, 1}, {1 - w, d, 0}, {1 - w, 1 - d, 1}};
        int chosen = (1 - w) | (1 - d) << 1;
        for (const auto& c : candidates) {
            const int cls = c[0] | c[1] << 1 | c[2] << 2;
            if (offered(cls)) {
                chosen = cls;
                break;
            }
        }
        return (mask & ~15) | kFull | chosen << 1;
    }
    if (option == 0) {
        int windowed = mask & ~(kFull | kWide);
        if (!twoSizes)
            windowed &= ~kWidth;
        if (DesktopBits(*device) <= 16)
            windowed &= ~kDepth;
        return windowed;
    }
    const int bit = option == 1 ? kWidth : option == 2 ? kDepth : option == 3 ? kWide : 0;
    if (bit == 0)
        return mask;
    const int flipped = mask ^ bit;
    return offered(ClassOf(flipped)) ? flipped : mask;
}

bool CGame::ApplyDisplayMode(int mask)
{
    const CDisplayModeList* list = device->ModeList();
    if (mask & kFull) {
        const int cls = ClassOf(mask);
        const int32_t entry = static_cast<size_t>(cls) < renderer->fullScreenModes.size()
                                  ? renderer->fullScreenModes[static_cast<size_t>(cls)]
                                  : -1;
        if (entry < 0 || !list || static_cast<size_t>(entry) >= list->entries.size()) {
            WriteLog("Unable to find Fullscreen mode");
            WriteLogNumber(mask);
            WriteLogNumber(entry);
            WriteLog("\n");
            return false;
        }
        const DisplayMode& m = list->entries[static_cast<size_t>(entry)];
        if (!renderer->SetDisplayMode(1, m.width, m.height, m.format)) {
            WriteLog("Unable to switch fullscreen Videomode");
            WriteLogNumber(m.width);
            WriteLogNumber(m.height);
            WriteLogNumber(m.format);
            WriteLog("\n");
            return false;
        }
        fullScreen = 1;
        return true;
    }
    const auto& sizes = renderer->windowSizes;
    if (sizes.empty())
        return false;
    const size_t index = (mask & kWidth) && sizes.size() >= 2 ? 1 : 0;
    const int w = sizes[index].first, h = sizes[index].second;
    const int32_t format =
        list && list->desktopIndex >= 0 ? list->entries[static_cast<size_t>(list->desktopIndex)].format : 0;
    if (!renderer->SetDisplayMode(0, w, h, format)) {
        WriteLog("Unable to switch windowed Videomode");
        WriteLogNumber(w);
        WriteLogNumber(h);
        WriteLogNumber(format);
        WriteLog("\n");
        return false;
    }
    fullScreen = 0;
    return true;
}
