// The options screen: its volumes and display boxes, opened from a menu and
// confirmed back to it.
#include "game/flow/OptionsScreen.h"

#include "game/Services.h"
#include "gui/QoButton.h"
#include "gui/QoScroller.h"

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

COptionsScreen::COptionsScreen(CGameServices& services) : m_services(services) {}

void COptionsScreen::Open(const CountedHandle<CQoForm>& from, float speed)
{
    CGameScreens& screens = *m_services.screens;
    appliedDisplayMask = pendingDisplayMask = GetDisplayFlags();
    screens.SetOptionsScrollers(m_services.soundOptions.soundVolume, m_services.soundOptions.musicVolume);
    UpdateToggleControls(pendingDisplayMask);
    screens.HideForm(from, speed);
    screens.ShowForm(screens.options.form, speed);
}

void COptionsScreen::Confirm(const CountedHandle<CQoForm>& back, float speed)
{
    CGameServices& s = m_services;
    const std::string options = s.paths.folders[CDataPaths::UserConfig] + "Options.ini";
    if (pendingDisplayMask != appliedDisplayMask && ApplyDisplayMode(pendingDisplayMask)) {
        appliedDisplayMask = pendingDisplayMask;
        int w = 0, h = 0;
        d3d::D3DFORMAT format = 0;
        s.renderer->GetDisplayMode(s.fullScreen, &w, &h, &format);
        WriteDisplayModeSettings(options, w, h, format, s.fullScreen);
    }
    CGameScreens& screens = *s.screens;
    s.soundOptions.soundVolume = static_cast<const CQoScroller*>(screens.options.soundVolume.Get())->Value();
    s.soundOptions.musicVolume = static_cast<const CQoScroller*>(screens.options.musicVolume.Get())->Value();
    s.soundOptions.Write(options);
    screens.HideForm(screens.options.form, speed);
    screens.ShowForm(back, speed);
}

void COptionsScreen::PressBox(int box)
{
    pendingDisplayMask = ToggleDisplayOption(pendingDisplayMask, box);
    UpdateToggleControls(pendingDisplayMask);
}

int COptionsScreen::GetDisplayFlags() const
{
    int w = 0, h = 0;
    d3d::D3DFORMAT format = 0;
    if (m_services.fullScreen) {
        m_services.renderer->GetDisplayMode(1, &w, &h, &format);
        return kFull | (w > 640 ? kWidth : 0) | (d3d::FormatBits(format) > 16 ? kDepth : 0) |
               (w * 3 > h * 4 ? kWide : 0);
    }
    return (m_services.renderer->width > 640 ? kWidth : 0) | (DesktopBits(*m_services.device) > 16 ? kDepth : 0);
}

int COptionsScreen::GetAvailableToggles(int flags) const
{
    const std::vector<int32_t>& modes = m_services.renderer->fullScreenModes;
    auto any = [&modes](std::initializer_list<int> entries) {
        for (const int e : entries)
            if (static_cast<size_t>(e) < modes.size() && modes[static_cast<size_t>(e)] >= 0)
                return true;
        return false;
    };
    const size_t windowSizes = m_services.renderer->windowSizes.size();
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

void COptionsScreen::UpdateToggleControls(int flags)
{
    const int available = GetAvailableToggles(flags);
    const int bits[4] = {kFull, kWidth, kDepth, kWide};
    for (size_t i = 0; i < 4; ++i) {
        auto* box = static_cast<CQoCheckbox*>(m_services.screens->options.switches[i].Get());
        box->SetChecked((flags & bits[i]) != 0);
        box->SetEnabled((available & bits[i]) != 0);
    }
}

int COptionsScreen::ToggleDisplayOption(int mask, int option) const
{
    const std::vector<int32_t>& modes = m_services.renderer->fullScreenModes;
    auto offered = [&modes](int cls) {
        return static_cast<size_t>(cls) < modes.size() && modes[static_cast<size_t>(cls)] >= 0;
    };
    const bool twoSizes = m_services.renderer->windowSizes.size() >= 2;
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
        if (DesktopBits(*m_services.device) <= 16)
            windowed &= ~kDepth;
        return windowed;
    }
    const int bit = option == 1 ? kWidth : option == 2 ? kDepth : option == 3 ? kWide : 0;
    if (bit == 0)
        return mask;
    const int flipped = mask ^ bit;
    return offered(ClassOf(flipped)) ? flipped : mask;
}

bool COptionsScreen::ApplyDisplayMode(int mask)
{
    const CDisplayModeList* list = m_services.device->ModeList();
    if (mask & kFull) {
        const int cls = ClassOf(mask);
        const int32_t entry = static_cast<size_t>(cls) < m_services.renderer->fullScreenModes.size()
                                  ? m_services.renderer->fullScreenModes[static_cast<size_t>(cls)]
                                  : -1;
        if (entry < 0 || !list || static_cast<size_t>(entry) >= list->entries.size()) {
            WriteLog("Unable to find Fullscreen mode");
            WriteLogNumber(mask);
            WriteLogNumber(entry);
            WriteLog("\n");
            return false;
        }
        const DisplayMode& m = list->entries[static_cast<size_t>(entry)];
        if (!m_services.renderer->SetDisplayMode(1, m.width, m.height, m.format)) {
            WriteLog("Unable to switch fullscreen Videomode");
            WriteLogNumber(m.width);
            WriteLogNumber(m.height);
            WriteLogNumber(m.format);
            WriteLog("\n");
            return false;
        }
        m_services.fullScreen = 1;
        return true;
    }
    const auto& sizes = m_services.renderer->windowSizes;
    if (sizes.empty())
        return false;
    const size_t index = (mask & kWidth) && sizes.size() >= 2 ? 1 : 0;
    const int w = sizes[index].first, h = sizes[index].second;
    const int32_t format =
        list && list->desktopIndex >= 0 ? list->entries[static_cast<size_t>(list->desktopIndex)].format : 0;
    if (!m_services.renderer->SetDisplayMode(0, w, h, format)) {
        WriteLog("Unable to switch windowed Videomode");
        WriteLogNumber(w);
        WriteLogNumber(h);
        WriteLogNumber(format);
        WriteLog("\n");
        return false;
    }
    m_services.fullScreen = 0;
    return true;
}
