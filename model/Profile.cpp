#include "model/Profile.h"

#include <algorithm>
#include <atomic>
#include <iterator>

#include "core/KeyboardDef.h"

// ---- CBaseProfile ----

uint64_t NewProfileIdentity()
{
    static std::atomic<uint64_t> next{1};
    return next++;
}

template <class Itf>
void CBaseProfile<Itf>::SetLinkedApplicationPath(const wchar_t* path)
{
    m_linkedApplicationPath = path ? path : L"";
    size_t slash = m_linkedApplicationPath.find_last_of(L"\\/:");
    m_linkedApplication = slash == std::wstring::npos ? m_linkedApplicationPath
                                                      : m_linkedApplicationPath.substr(slash + 1);
    m_filled.link = true;
}

template <class Itf>
bool CBaseProfile<Itf>::SetAssignment(int32_t key, const AssignmentAction& action)
{
    if (!this->IsFunctionAllowed(action.type))
        return false;
    m_assignments[key] = action;
    m_deviceRecords.erase(key);
    m_filled.controls.insert(key);
    return true;
}

template <class Itf>
void CBaseProfile<Itf>::SetFromDevice(int32_t key, const AssignmentAction& shown, const RawAssignment* kept)
{
    m_assignments[key] = shown;
    KeepDeviceRecord(key, kept);
    m_filled.controls.insert(key);
}

template <class Itf>
void CBaseProfile<Itf>::KeepDeviceRecord(int32_t control, const RawAssignment* kept)
{
    if (kept)
        m_deviceRecords[control] = *kept;
    else
        m_deviceRecords.erase(control);
}

template <class Itf>
bool CBaseProfile<Itf>::GetDeviceRecord(int32_t control, RawAssignment& record) const
{
    auto it = m_deviceRecords.find(control);
    if (it == m_deviceRecords.end())
        return false;
    record = it->second;
    return true;
}

template <class Itf>
AssignmentAction CBaseProfile<Itf>::GetAssignment(int32_t key)
{
    return m_assignments[key];   // a missing key enters as type -1
}

template <class Itf>
const LightingEntry* CBaseProfile<Itf>::FindLight(int led) const
{
    auto it = m_lights.find(led);
    return it == m_lights.end() ? nullptr : &it->second;
}

template <class Itf>
bool CBaseProfile<Itf>::GetLedState(int led) const
{
    const LightingEntry* light = FindLight(led);
    return light && light->on;
}

template <class Itf>
COLORREF CBaseProfile<Itf>::GetLedColor(int led) const
{
    const LightingEntry* light = FindLight(led);
    return light ? light->color : 0;
}

template <class Itf>
int32_t CBaseProfile<Itf>::GetLedEffect(int led) const
{
    const LightingEntry* light = FindLight(led);
    return light ? light->effect : 0;
}

template <class Itf>
void CBaseProfile<Itf>::SetLedBrightness(int led, int32_t brightness)
{
    Light(led, CProfileFilled::kLightBrightness).brightness = std::min(brightness, 100);
}

template <class Itf>
int32_t CBaseProfile<Itf>::GetLedBrightness(int led) const
{
    const LightingEntry* light = FindLight(led);
    return light ? light->brightness : 0;
}

template <class Itf>
bool CBaseProfile<Itf>::SaveToFile(std::wstring&, const wchar_t*, const wchar_t*)
{
    return false;
}

template <class Itf>
bool CBaseProfile<Itf>::LoadFromFile(const wchar_t*, const wchar_t*, const wchar_t*)
{
    return false;
}

template <class Itf>
void CBaseProfile<Itf>::CopyFrom(const CBaseProfile& source)
{
    m_name = source.m_name;
    m_linkedApplication = source.m_linkedApplication;
    m_linkedApplicationPath = source.m_linkedApplicationPath;
    m_profileFilePath = source.m_profileFilePath;
    m_autoSwitch = source.m_autoSwitch;
    m_osdProfile = source.m_osdProfile;
    m_guid = source.m_guid;
    m_filled = source.m_filled;
    m_assignments = source.m_assignments;
    m_deviceRecords = source.m_deviceRecords;
    m_lights = source.m_lights;
}

template class CBaseProfile<IKeyboardProfile>;
template class CBaseProfile<IMouseProfile>;

// ---- CKeyboardProfile ----

void CKeyboardProfile::ResetToDefaultKeys()
{
    for (auto& [key, action] : m_assignments) {
        action = MakeDefaultKeyAssignment(key);
        m_filled.controls.insert(key);
    }
    m_deviceRecords.clear();
}

// ---- CMouseProfile ----

bool CMouseProfile::SetDpiStageCount(int count)
{
    count = std::clamp(count, 1, kMaxStages);
    m_stages.assign(static_cast<size_t>(count), DpiStage());
    // Zeroed stages hold nothing of the device's.
    m_filled.stages.clear();
    m_enabledStageCount = std::min(m_enabledStageCount, count);
    SetCurrentDpiStage(1);
    return true;
}

void CMouseProfile::SetEnabledStageCount(int count)
{
    m_enabledStageCount = std::clamp(count, 0, GetDpiStageCount());
    m_filled.dpiActive = true;
}

int CMouseProfile::StageIndex(int stage) const
{
    if (stage < 1 || m_stages.empty())
        return -1;
    return std::min(stage, GetDpiStageCount()) - 1;
}

bool CMouseProfile::SetCurrentDpiStage(int stage)
{
    if (stage < 1)
        return false;
    m_currentStage = StageIndex(stage);
    m_filled.dpiActive = true;
    return m_currentStage >= 0;
}

bool CMouseProfile::SetStageSeparateXY(int stage, bool separate)
{
    int i = StageIndex(stage);
    if (i < 0)
        return false;
    m_stages[i].separateXY = separate ? 1 : 0;
    m_filled.stages.insert(i + 1);
    return true;
}

bool CMouseProfile::GetStageSeparateXY(int stage) const
{
    int i = StageIndex(stage);
    return i >= 0 && m_stages[i].separateXY != 0;
}

int32_t CMouseProfile::ClampToRange(int32_t dpi) const
{
    if (dpi > m_dpiMax)
        dpi = m_dpiMax;
    if (dpi < m_dpiMin)
        dpi = m_dpiMin;
    return dpi;
}

bool CMouseProfile::SetStageField(int stage, int32_t DpiStage::*field, int32_t dpi)
{
    int i = StageIndex(stage);
    if (i < 0)
        return false;
    m_stages[i].*field = ClampToRange(dpi);
    m_filled.stages.insert(i + 1);
    return true;
}

int32_t CMouseProfile::GetStageField(int stage, int32_t DpiStage::*field) const
{
    int i = StageIndex(stage);
    return i < 0 ? 0 : m_stages[i].*field;
}

void CMouseProfile::SetDpiRange(int32_t min, int32_t max, int32_t step)
{
    m_dpiMin = min;
    m_dpiMax = max;
    m_dpiStep = step;
}

bool CMouseProfile::GetDpiRange(int32_t* min, int32_t* max, int32_t* step) const
{
    if (min)
        *min = m_dpiMin;
    if (max)
        *max = m_dpiMax;
    if (step)
        *step = m_dpiStep;
    return true;
}

bool CMouseProfile::SetButtonAssignment(int32_t button, const AssignmentAction& action)
{
    if (!IsFunctionAllowed(action.type, button))
        return false;
    m_buttons[button] = action;
    m_deviceRecords.erase(button);
    m_filled.controls.insert(button);
    return true;
}

void CMouseProfile::SetFromDevice(int32_t button, const AssignmentAction& shown, const RawAssignment* kept)
{
    m_buttons[button] = shown;
    KeepDeviceRecord(button, kept);
    m_filled.controls.insert(button);
}

AssignmentAction CMouseProfile::GetButtonAssignment(int32_t button)
{
    return m_buttons[button];   // a missing button enters as type -1
}

bool CMouseProfile::HasClickAssignment() const
{
    auto isClick = [](const auto& entry) { return entry.second.type == kActionClick; };
    if (std::any_of(m_buttons.begin(), m_buttons.end(), isClick))
        return true;
    return m_flagE == 1 && std::any_of(m_assignments.begin(), m_assignments.end(), isClick);
}

void CMouseProfile::CopyFrom(const CMouseProfile& source)
{
    CBaseProfile::CopyFrom(source);
    m_osdDpi = source.m_osdDpi;
    m_flagE = source.m_flagE;
    m_dpiMin = source.m_dpiMin;
    m_dpiMax = source.m_dpiMax;
    m_dpiStep = source.m_dpiStep;
    m_stages = source.m_stages;
    m_enabledStageCount = source.m_enabledStageCount;
    m_currentStage = source.m_currentStage;
    m_sensitivity = source.m_sensitivity;
    m_sensitivityX = source.m_sensitivityX;
    m_sensitivityY = source.m_sensitivityY;
    m_xySeparate = source.m_xySeparate;
    m_buttons = source.m_buttons;
}

// ---- allowed functions ----

namespace {

// The rows feed the drop-down order of the assignment pages.
const int32_t kKeyFunctions[] = {kActionDefaultKey, kActionSingleKey, kActionProfile, kActionMacro, kActionLaunch};
const int32_t kScrollFunctions[] = {kActionMacro, kActionStageUp, kActionStageDown, kActionScrollUp,
                                    kActionScrollDown, kActionButtonOff};
const int32_t kButtonFunctions[] = {kActionClick, kActionMenu, kActionUniversalScrolling, kActionDoubleClick,
                                    kActionMacro, kActionStageUp, kActionStageDown, kActionForward,
                                    kActionBackward, kActionOnTheFlySensitivity, kActionSingleKey,
                                    kActionProfile, kActionScrollUp, kActionScrollDown, kActionButtonOff};

constexpr int32_t kScrollUpButton = 12;
constexpr int32_t kScrollDownButton = 13;

template <size_t N>
bool RowHolds(const int32_t (&row)[N], int32_t type)
{
    return std::find(std::begin(row), std::end(row), ByGuidActionType(type)) != std::end(row);
}

template <size_t N>
void CopyRow(const int32_t (&row)[N], std::vector<int32_t>& types)
{
    types.assign(std::begin(row), std::end(row));
}

bool IsScrollButton(int32_t button)
{
    return button == kScrollUpButton || button == kScrollDownButton;
}

} // namespace

bool CVxProfile_Keyboard::IsFunctionAllowed(int32_t type) const
{
    return RowHolds(kKeyFunctions, type);
}

void CVxProfile_Keyboard::GetAllowedFunctions(std::vector<int32_t>& types) const
{
    CopyRow(kKeyFunctions, types);
}

bool CVxProfile_Mouse::IsFunctionAllowed(int32_t type, int32_t button) const
{
    return IsScrollButton(button) ? RowHolds(kScrollFunctions, type) : RowHolds(kButtonFunctions, type);
}

void CVxProfile_Mouse::GetAllowedFunctions(std::vector<int32_t>& types, int32_t button) const
{
    if (IsScrollButton(button))
        CopyRow(kScrollFunctions, types);
    else
        CopyRow(kButtonFunctions, types);
}

AssignmentAction MakeDefaultKeyAssignment(int32_t keyHash)
{
    AssignmentAction action(kActionDefaultKey);
    KeyCode code;
    if (GetKeyboardDef().GetDefaultCode(keyHash, code))
        action = AssignmentAction::Key(kActionDefaultKey, static_cast<uint16_t>(code.code), 0,
                                       code.flags ? kKeyFlagExtended : 0);
    return action;
}
