#include "model/MouseConfig.h"

#include <algorithm>

namespace {

const int32_t kDefaultStageDpi[CVxConfig_Mouse::kDefaultStageCount] = {800, 1200, 1800, 4000, 5600};
constexpr int32_t kDefaultDpiMin = 100;
constexpr int32_t kDefaultDpiMax = 5600;
constexpr int32_t kDefaultDpiStep = 100;
constexpr int kDefaultCurrentStage = 3;
constexpr int32_t kDefaultSensitivity = 1800;
constexpr int32_t kDefaultPollingRate = 1;    // 500 Hz
constexpr int32_t kDefaultAcceleration = 5;

// The buttons a new profile gets its defaults for, in this order.
const int32_t kDefaultButtons[] = {1, 2, 3, 4, 5, 7, 6, 12, 13};
// Light indexes (LED id - 1) a new mouse profile switches on: scroll wheel, side stripe, underglow.
const int kDefaultLights[] = {0, 10, 9};
constexpr COLORREF kDefaultLightColor = 0xFF0000;

// The mouse's factory functions per button; built once, never changed.
const std::map<int32_t, AssignmentAction>& DefaultButtonMap()
{
    static const std::map<int32_t, AssignmentAction> map = [] {
        std::map<int32_t, AssignmentAction> m;
        m[1] = AssignmentAction(kActionClick);
        m[2] = AssignmentAction(kActionMenu);
        m[3] = AssignmentAction(kActionUniversalScrolling);
        m[4] = AssignmentAction(kActionBackward);
        m[5] = AssignmentAction(kActionForward);
        m[7] = AssignmentAction(kActionStageDown);
        m[6] = AssignmentAction(kActionStageUp);
        m[12] = AssignmentAction(kActionScrollUp);
        m[13] = AssignmentAction(kActionScrollDown);
        return m;
    }();
    return map;
}

int32_t Clamp(int32_t value, int32_t min, int32_t max)
{
    if (value > max)
        value = max;
    if (value < min)
        value = min;
    return value;
}

} // namespace

// ---- profiles ----

IMouseProfile* CVxConfig_Mouse::CreateProfile(const wchar_t* name)
{
    CVxProfile_Mouse* profile = AppendProfile(name);
    SetDpiStageCount(kDefaultStageCount, profile);
    // Profiles are created for a read and an import as well: the other profiles and the
    // device-wide values keep what they hold.
    GiveProfileDefaults(profile);
    profile->SetOsdProfile(DefaultOsdProfile(true));
    return profile;
}

void CVxConfig_Mouse::InitProfileDefaults(IMouseProfile* profile)
{
    GiveProfileDefaults(profile);
    SetOsdProfileAll(DefaultOsdProfile(true));
    // The user asked for the defaults: the device values every profile starts from come back too.
    SetPollingRate(kDefaultPollingRate);
    SetAcceleration(kDefaultAcceleration);
    SetAccelerationEnabled(false);
}

void CVxConfig_Mouse::GiveProfileDefaults(IMouseProfile* profile)
{
    if (profile)
        for (int32_t button : kDefaultButtons)
            SetButtonAssignment(button, GetDefaultButtonAssignment(button), profile);

    SetDpiRange(kDefaultDpiMin, kDefaultDpiMax, kDefaultDpiStep, profile);
    SetCurrentDpiStage(kDefaultCurrentStage, profile);
    for (int stage = 1; stage <= kDefaultStageCount; ++stage) {
        SetStageDpi(stage, kDefaultStageDpi[stage - 1], profile);
        SetStageSeparateXY(stage, false, profile);
    }
    SetEnabledStageCount(kDefaultStageCount, profile);
    SetXYSeparate(false, profile);
    SetSensitivity(kDefaultSensitivity, profile);
    SetOsdDpi(true, profile);

    for (int led : kDefaultLights)
        SetLedState(led, true, profile);
    for (int led : kDefaultLights)
        SetLedColor(led, kDefaultLightColor, profile);

    SetLinkedApplicationPath(profile, L"");
    SetAutoSwitch(profile, false);
}

// ---- DPI stages ----

int CVxConfig_Mouse::DeviceStageIndex(int stage) const
{
    if (stage < 1 || m_stageDpi.empty())
        return -1;
    return std::min(stage, DeviceStageCount()) - 1;
}

void CVxConfig_Mouse::SetDeviceStageValue(std::vector<int32_t>& values, int stage, int32_t dpi)
{
    // Without device-level arrays (the normal case once a profile exists) there is nothing to write.
    int i = DeviceStageIndex(stage);
    if (i >= 0)
        values[i] = Clamp(dpi, m_dpiMin, m_dpiMax);
}

int32_t CVxConfig_Mouse::GetDeviceStageValue(const std::vector<int32_t>& values, int stage) const
{
    int i = DeviceStageIndex(stage);
    return i < 0 ? 0 : values[i];
}

bool CVxConfig_Mouse::SetDpiStageCount(int count, IMouseProfile* profile)
{
    if (count < 1)
        return false;
    if (IMouseProfile* p = Target(profile))
        return p->SetDpiStageCount(count);
    size_t n = static_cast<size_t>(std::min(count, CVxProfile_Mouse::kMaxStages));
    m_stageDpi.assign(n, 0);
    m_stageDpiX.assign(n, 0);
    m_stageDpiY.assign(n, 0);
    m_enabledStageCount = std::min(m_enabledStageCount, DeviceStageCount());
    return true;
}

int CVxConfig_Mouse::GetDpiStageCount(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetDpiStageCount() : DeviceStageCount();
}

bool CVxConfig_Mouse::SetEnabledStageCount(int count, IMouseProfile* profile)
{
    if (IMouseProfile* p = Target(profile))
        p->SetEnabledStageCount(count);
    m_enabledStageCount = std::clamp(count, 0, DeviceStageCount());
    return true;
}

int CVxConfig_Mouse::GetEnabledStageCount(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetEnabledStageCount() : m_enabledStageCount;
}

bool CVxConfig_Mouse::SetCurrentDpiStage(int stage, IMouseProfile* profile)
{
    if (stage < 1)
        return false;
    bool stored = true;
    if (IMouseProfile* p = Target(profile))
        stored = p->SetCurrentDpiStage(stage);
    int count = DeviceStageCount();
    m_currentStage = stage <= count ? stage - 1 : std::max(count - 1, 0);
    return stored;
}

int CVxConfig_Mouse::GetCurrentDpiStage(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetCurrentDpiStage() : m_currentStage + 1;
}

bool CVxConfig_Mouse::SetStageDpi(int stage, int32_t dpi, IMouseProfile* profile)
{
    if (stage < 1)
        return false;
    IMouseProfile* p = Target(profile);
    bool stored = p ? p->SetStageDpi(stage, dpi) : DeviceStageIndex(stage) >= 0;
    SetDeviceStageValue(m_stageDpi, stage, dpi);
    return stored;
}

int32_t CVxConfig_Mouse::GetStageDpi(int stage, IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetStageDpi(stage) : GetDeviceStageValue(m_stageDpi, stage);
}

bool CVxConfig_Mouse::SetStageDpiX(int stage, int32_t dpi, IMouseProfile* profile)
{
    if (stage < 1)
        return false;
    IMouseProfile* p = Target(profile);
    bool stored = p ? p->SetStageDpiX(stage, dpi) : DeviceStageIndex(stage) >= 0;
    SetDeviceStageValue(m_stageDpiX, stage, dpi);
    return stored;
}

int32_t CVxConfig_Mouse::GetStageDpiX(int stage, IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetStageDpiX(stage) : GetDeviceStageValue(m_stageDpiX, stage);
}

bool CVxConfig_Mouse::SetStageDpiY(int stage, int32_t dpi, IMouseProfile* profile)
{
    if (stage < 1)
        return false;
    IMouseProfile* p = Target(profile);
    bool stored = p ? p->SetStageDpiY(stage, dpi) : DeviceStageIndex(stage) >= 0;
    SetDeviceStageValue(m_stageDpiY, stage, dpi);
    return stored;
}

int32_t CVxConfig_Mouse::GetStageDpiY(int stage, IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetStageDpiY(stage) : GetDeviceStageValue(m_stageDpiY, stage);
}

bool CVxConfig_Mouse::SetStageSeparateXY(int stage, bool separate, IMouseProfile* profile)
{
    if (stage < 1)
        return false;
    m_dpiStageFlagDefault = separate ? 1 : 0;
    IMouseProfile* p = Target(profile);
    return p ? p->SetStageSeparateXY(stage, separate) : true;
}

bool CVxConfig_Mouse::GetStageSeparateXY(int stage, IMouseProfile* profile) const
{
    if (stage < 1)
        return false;
    IMouseProfile* p = Target(profile);
    return p ? p->GetStageSeparateXY(stage) : m_dpiStageFlagDefault != 0;
}

bool CVxConfig_Mouse::SetDpiRange(int32_t min, int32_t max, int32_t step, IMouseProfile* profile)
{
    if (IMouseProfile* p = Target(profile))
        p->SetDpiRange(min, max, step);
    m_dpiMin = min;
    m_dpiMax = max;
    m_dpiStep = step;
    return true;
}

bool CVxConfig_Mouse::GetDpiRange(int32_t* min, int32_t* max, int32_t* step, IMouseProfile* profile) const
{
    if (IMouseProfile* p = Target(profile))
        return p->GetDpiRange(min, max, step);
    if (min)
        *min = m_dpiMin;
    if (max)
        *max = m_dpiMax;
    if (step)
        *step = m_dpiStep;
    return true;
}

bool CVxConfig_Mouse::SetXYSeparate(bool separate, IMouseProfile* profile)
{
    if (IMouseProfile* p = Target(profile))
        p->SetXYSeparate(separate);
    m_dpiStageFlagDefault = separate ? 1 : 0;
    return true;
}

bool CVxConfig_Mouse::GetXYSeparate(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetXYSeparate() : m_dpiStageFlagDefault != 0;
}

// ---- the profile's values: nothing without a profile ----

#define HV_PROFILE_SETTER(Name, Type)                                   \
    bool CVxConfig_Mouse::Set##Name(Type value, IMouseProfile* profile) \
    {                                                                   \
        IMouseProfile* p = Target(profile);                             \
        if (p)                                                          \
            p->Set##Name(value);                                        \
        return p != nullptr;                                            \
    }
#define HV_PROFILE_GETTER(Name, Type)                                   \
    Type CVxConfig_Mouse::Get##Name(IMouseProfile* profile) const       \
    {                                                                   \
        IMouseProfile* p = Target(profile);                             \
        return p ? p->Get##Name() : Type();                             \
    }
#define HV_PROFILE_VALUE(Name, Type) HV_PROFILE_SETTER(Name, Type) HV_PROFILE_GETTER(Name, Type)

HV_PROFILE_VALUE(Sensitivity, int32_t)
HV_PROFILE_VALUE(SensitivityX, int32_t)
HV_PROFILE_VALUE(SensitivityY, int32_t)
HV_PROFILE_VALUE(ValueD, int32_t)
HV_PROFILE_VALUE(ValueE, int32_t)
HV_PROFILE_VALUE(ValueF, int32_t)
HV_PROFILE_VALUE(FlagD, bool)
HV_PROFILE_VALUE(FlagE, bool)
HV_PROFILE_VALUE(OsdDpi, bool)

#undef HV_PROFILE_VALUE
#undef HV_PROFILE_GETTER
#undef HV_PROFILE_SETTER

bool CVxConfig_Mouse::SetLinkedApplicationPath(IMouseProfile* profile, const wchar_t* path)
{
    IMouseProfile* p = Target(profile);
    if (p)
        p->SetLinkedApplicationPath(path);
    return p != nullptr;
}

std::wstring CVxConfig_Mouse::GetLinkedApplicationPath(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetLinkedApplicationPath() : std::wstring();
}

bool CVxConfig_Mouse::SetAutoSwitch(IMouseProfile* profile, bool on)
{
    IMouseProfile* p = Target(profile);
    if (p)
        p->SetAutoSwitch(on);
    return p != nullptr;
}

bool CVxConfig_Mouse::GetAutoSwitch(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p && p->GetAutoSwitch();
}

int CVxConfig_Mouse::GetAssignmentCount(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetAssignmentCount() : 0;
}

// ---- buttons ----

bool CVxConfig_Mouse::SetButtonAssignment(int32_t button, const AssignmentAction& action, IMouseProfile* profile)
{
    IMouseProfile* p = Target(profile);
    return p && p->SetButtonAssignment(button, action);
}

AssignmentAction CVxConfig_Mouse::GetButtonAssignment(int32_t button, IMouseProfile* profile)
{
    IMouseProfile* p = Target(profile);
    return p ? p->GetButtonAssignment(button) : AssignmentAction();
}

bool CVxConfig_Mouse::HasClickAssignment(IMouseProfile* profile) const
{
    IMouseProfile* p = Target(profile);
    return p && p->HasClickAssignment();
}

AssignmentAction CVxConfig_Mouse::GetDefaultButtonAssignment(int32_t button) const
{
    const auto& map = DefaultButtonMap();
    auto it = map.find(button);
    return it == map.end() ? AssignmentAction() : it->second;
}

AssignmentAction CVxConfig_Mouse::GetDefaultAssignmentForItem(int32_t) const
{
    return AssignmentAction();
}

// ---- device-wide values ----

void CVxConfig_Mouse::SetAccelerationRange(int32_t min, int32_t max)
{
    m_accelerationMin = min;
    m_accelerationMax = max;
}

void CVxConfig_Mouse::GetAccelerationRange(int32_t* min, int32_t* max) const
{
    if (min)
        *min = m_accelerationMin;
    if (max)
        *max = m_accelerationMax;
}

void CVxConfig_Mouse::SetAcceleration(int32_t level)
{
    m_acceleration = Clamp(level, m_accelerationMin, m_accelerationMax);
    m_filled.accelerationLevel = true;
}

void CVxConfig_Mouse::SetSupportedPollingRates(const std::vector<int32_t>& rates)
{
    constexpr size_t kMaxRates = 5;
    m_supportedRates.clear();
    size_t n = std::min(rates.size(), kMaxRates);
    for (size_t i = 0; i < n; ++i)
        m_supportedRates[static_cast<int>(i)] = rates[i];
    m_supportedRateCount = static_cast<int32_t>(n);
}

int32_t CVxConfig_Mouse::GetSupportedPollingRate(int index) const
{
    auto it = m_supportedRates.find(index);
    return it == m_supportedRates.end() ? 0 : it->second;
}

void FillDefaultDpiStages(std::vector<DpiStage>& stages, int count)
{
    if (stages.size() < static_cast<size_t>(CVxConfig_Mouse::kDefaultStageCount))
        stages.resize(CVxConfig_Mouse::kDefaultStageCount);
    for (int i = std::max(count, 0); i < CVxConfig_Mouse::kDefaultStageCount; ++i) {
        int32_t dpi = kDefaultStageDpi[i];
        stages[i] = {dpi, dpi, dpi, 0};
    }
}
