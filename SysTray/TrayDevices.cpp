// The tray dialog's side of the devices: their callbacks, the middleware's DPI, profile and launch
// events, the automatic profile switch by foreground program, and starting the configuration program.
#include "SysTray/VexaSysTrayDlg.h"

#include "platform/ShellOpen.h"
#include "SysTray/PcManager.h"

void CVexaSysTrayDlg::RegisterDeviceCallbacksFor(DWORD productId)
{
    CDeviceManager& manager = TheDeviceManager();
    if (!manager.AreDeviceCallbacksRegistered(productId))
        manager.RegisterDeviceCallbacks(productId, this);
}

void CVexaSysTrayDlg::RegisterAllDeviceCallbacks()
{
    // Each device on its own: one that has its callbacks already does not keep the next from getting
    // them.
    for (const DeviceSlotInfo& slot : kDeviceSlots)
        RegisterDeviceCallbacksFor(slot.productId);
}

void CVexaSysTrayDlg::ShowProfileOsd(const std::wstring& name)
{
    if (m_osd)
        m_osd->ShowProfileOsd(name);
}

void CVexaSysTrayDlg::StartConfigToolOnce()
{
    if (!ThePcManager().IsConfigToolRunning())
        ThePcManager().LaunchConfigTool();
}

void CVexaSysTrayDlg::OnDpiChanged(int deviceId, int dpiX, int dpiY)
{
    _Profile_Setting_ setting;
    bool rangeRead = false;
    int minimum = 0, maximum = 0, step = 0;
    {
        CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
        std::wstring active;
        // A flag word that cannot be read leaves the flags 0.
        if (device->GetActiveProfileName(active))
            device->GetProfileSetting(active, setting);
        rangeRead = device->GetDpiRange(&minimum, &maximum, &step);
    }
    if (!m_osd || setting.osdDpi != 1)
        return;
    m_osd->ShowDpi(DecideDpiOsd(dpiX, dpiY, rangeRead, maximum));
}

void CVexaSysTrayDlg::OnActiveProfileChanged(int deviceId, int /*value*/)
{
    CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
    std::wstring active;
    _Profile_Setting_ setting;
    if (!device->GetActiveProfileName(active))
        return;
    device->GetProfileSetting(active, setting);
    if (setting.osdProfile == 1)
        ShowProfileOsd(active);
}

void CVexaSysTrayDlg::OnLaunchApp(int /*deviceId*/, int action, const wchar_t* programPath)
{
    if (action == 1 && programPath && *programPath)
        ShellOpen(nullptr, L"open", programPath, SW_SHOWNORMAL);
}

void CVexaSysTrayDlg::AutoSwitchProfiles()
{
    CDeviceManager& manager = TheDeviceManager();
    // The program in front does not change within one tick: one look at the processes serves every
    // profile of both devices.
    std::wstring foreground;
    const bool hasForeground = ThePcManager().GetForegroundProgram(foreground);
    for (const DeviceSlotInfo& slot : kDeviceSlots) {
        {
            CScopedDevice probe(manager, slot.productId);
            if (!probe->IsPresent())
                continue;
        }
        CScopedDevice device(manager, slot.productId);
        std::wstring active;
        if (!device->GetProfileSettings(m_settings) || !device->GetActiveProfileName(active) || m_settings.empty())
            continue;
        for (const _Profile_Setting_& setting : m_settings) {
            if (setting.autoSwitch == 0 || !hasForeground || !LinkNamesProgram(setting.application, foreground))
                continue;
            // The first linked profile wins; when it is active already, nothing changes.
            if (setting.name != active && device->SetActiveProfile(setting) && setting.osdProfile == 1)
                ShowProfileOsd(setting.name);
            break;
        }
    }
}
