#include "core/ModelRecords.h"

#include <atomic>
#include <cstring>

#include "platform/WStr.h"

namespace hv {

bool IsEqualGUID(const GUID& a, const GUID& b)
{
    uint32_t wa[4], wb[4];
    static_assert(sizeof(wa) == sizeof(GUID), "a GUID is four 32-bit words");
    std::memcpy(wa, &a, sizeof(wa));
    std::memcpy(wb, &b, sizeof(wb));
    return wa[0] == wb[0] && wa[1] == wb[1] && wa[2] == wb[2] && wa[3] == wb[3];
}

bool IsNullGUID(const GUID& g)
{
    return hv::IsEqualGUID(g, GUID());
}

} // namespace hv

uint64_t NewItemIdentity()
{
    static std::atomic<uint64_t> next{1};
    return next++;
}

int32_t ByGuidActionType(int32_t type)
{
    switch (type) {
    case kActionMacroByName: return kActionMacro;
    case kActionProfileByName: return kActionProfile;
    case kActionLaunchByName: return kActionLaunch;
    default: return type;
    }
}

AssignmentAction::AssignmentAction()
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    type = kActionNone;
}

AssignmentAction::AssignmentAction(int32_t actionType, const GUID& guid)
{
    Init(actionType, guid);
}

void AssignmentAction::Init(int32_t actionType, const GUID& guid)
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    type = actionType;
    if (actionType == kActionMacro || actionType == kActionProfile || actionType == kActionLaunch)
        payload.guid = guid;
    if (actionType == kActionMacro)
        playMode = kPlayOnce;
}

AssignmentAction AssignmentAction::ByName(int32_t actionType, const wchar_t* name)
{
    AssignmentAction a(actionType);
    a.SetName(name);
    return a;
}

AssignmentAction AssignmentAction::Key(int32_t actionType, uint16_t scanCode, uint16_t virtualKey, uint8_t flags)
{
    AssignmentAction a(actionType);
    a.payload.key.word = static_cast<uint32_t>(virtualKey) << 16 | scanCode;
    a.payload.key.flags = flags;
    return a;
}

void AssignmentAction::SetName(const wchar_t* name)
{
    std::memset(payload.name, 0, sizeof(payload.name));
    wstr::CopyBounded(payload.name, kActionNameLength, name ? name : L"");
}

bool operator==(const AssignmentAction& a, const AssignmentAction& b)
{
    return a.type == b.type && std::memcmp(&a.payload, &b.payload, sizeof(a.payload)) == 0
        && a.playMode == b.playMode && a.repeatCount == b.repeatCount;
}

void ListEntry::Init(const wchar_t* entryName, intptr_t entryValue, const wchar_t* entryText)
{
    name = entryName ? entryName : L"";
    text = entryText ? entryText : L"";
    value = entryValue;
    flag = 0;
}

bool operator==(const CHvApp& a, const CHvApp& b)
{
    return hv::IsEqualGUID(a.guid, b.guid) && a.name == b.name;
}

bool DeviceDescriptor::HasFeature(uint32_t feature) const
{
    for (uint32_t i = 0; i < featureCount; ++i)
        if (features[i] == feature)
            return true;
    return false;
}

namespace {

const uint32_t kMouseFeatures[] = {
    kFeatureProfiles, kFeatureButtons, kFeatureMacros, kFeatureLighting, kFeatureVersions,
    kFeatureProfileProperties, kFeatureDpi, kFeaturePollingRate, kFeatureAcceleration, kFeatureApplications,
};
const uint32_t kKeyboardFeatures[] = {
    kFeatureProfiles, kFeatureKeys, kFeatureMacros, kFeatureLighting, kFeatureVersions,
    kFeatureProfileProperties, kFeatureApplications,
};

} // namespace

const DeviceDescriptor g_MouseDescriptor = {0x22, kMouseFeatures, ARRAYSIZE(kMouseFeatures), nullptr};
const DeviceDescriptor g_KeyboardDescriptor = {0x23, kKeyboardFeatures, ARRAYSIZE(kKeyboardFeatures), nullptr};
