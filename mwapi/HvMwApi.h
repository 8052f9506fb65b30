// The boundary of the device middleware HvMwApi: its class id, interface ids, interfaces in slot
// order, the records that cross the boundary, the event interfaces and the codes both sides use.
//
// Rules of the boundary, for every caller and every implementation:
// - Every method returns an HRESULT; callers test its sign only, except where a code is named here.
// - Strings and blocks handed out (LPWSTR*, DpiValue**, int**, MacroEventBlock**) are allocated with
//   CoTaskMemAlloc and freed by the caller with CoTaskMemFree. Strings and blocks passed in stay the
//   caller's. Assignment buffers are the exception: the caller allocates and frees them (see
//   IButtonAssignments).
// - Out-records are passed whole and zeroed; the implementation writes the whole record and no more.
// - GUIDs passed by value travel by value (four 32-bit words on the i686 stack).
// - Interfaces without a published id carry private ids of this code base; no caller queries them.
// - Slots that no caller uses are kept as ReservedN placeholders so that later slots stay in place.
//   Implementations answer them with E_NOTIMPL.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <cstddef>
#include <cstdint>
#include <cstring>

// ---------------------------------------------------------------------------------------------------
// Class id and creation
// ---------------------------------------------------------------------------------------------------

// The middleware's root object. Create it with
//   CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(&enumerator)).
inline constexpr CLSID CLSID_HvMwApi = {0x472079C9, 0x3628, 0x45F7, {0xA3, 0x2E, 0xFE, 0x00, 0x49, 0x05, 0x18, 0xF1}};
inline constexpr DWORD HVMW_CLSCTX = 0x17; // CLSCTX_ALL

// Declares the interface, its IID_<name> constant and its __uuidof (for IID_PPV_ARGS and CComPtr::As).
#define HVMW_INTERFACE_ID(itf, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                          \
    struct itf;                                                                                    \
    inline constexpr IID IID_##itf = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};                \
    __CRT_UUID_DECL(itf, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)

// Ids with a published value, and private ids (IDevice, IProfile, IMacro, IApplication, IApmLevel,
// ILed) for the interfaces that callers only ever receive from another method.
HVMW_INTERFACE_ID(IDeviceEnumerator, 0xB006D662, 0xCE6E, 0x407A, 0xB1, 0x18, 0x28, 0x94, 0x9C, 0xA8, 0xF3, 0x72)
HVMW_INTERFACE_ID(IDevice, 0xA75A4901, 0x8FAD, 0x49A2, 0xAA, 0xCD, 0x74, 0xC8, 0xE3, 0x16, 0x3F, 0x53)
HVMW_INTERFACE_ID(IDeviceIdentity, 0xB3AC31B1, 0x543B, 0x423F, 0x9A, 0xDC, 0x69, 0xAA, 0xCB, 0x50, 0x72, 0xE8)
HVMW_INTERFACE_ID(IMouseDevice, 0xD0FDE659, 0xFFE0, 0x4373, 0x92, 0x35, 0x5D, 0x9A, 0xD0, 0x68, 0xE6, 0x9B)
HVMW_INTERFACE_ID(IKeyboardDevice, 0x91E72659, 0x38FE, 0x4005, 0xA7, 0x34, 0x66, 0xF0, 0xD0, 0x51, 0x70, 0xBD)
HVMW_INTERFACE_ID(IOtherDevice, 0x2EEDD821, 0x8748, 0x495A, 0xBA, 0xC7, 0xEE, 0x72, 0xA3, 0x15, 0xFB, 0x6E)
HVMW_INTERFACE_ID(ILongFirmwareVersion, 0xD5306AAD, 0xB099, 0x43D3, 0xB9, 0x85, 0xDE, 0x3A, 0x8E, 0x47, 0xB9, 0xFD)
HVMW_INTERFACE_ID(IDeviceStatus, 0x77AD9430, 0x01FE, 0x4E89, 0xAD, 0xE7, 0x03, 0x07, 0x92, 0x46, 0xE6, 0x6E)
HVMW_INTERFACE_ID(IProfileManager, 0x6CA4F031, 0x3120, 0x4DD7, 0x9A, 0x70, 0xD8, 0xD1, 0x32, 0x50, 0x85, 0x6B)
HVMW_INTERFACE_ID(IProfile, 0xC8E08C34, 0x8E8B, 0x487A, 0xA9, 0xE1, 0x0A, 0x93, 0x66, 0xFC, 0xAD, 0x70)
HVMW_INTERFACE_ID(IProfileProperties, 0x6C532F1F, 0x6D1C, 0x446E, 0x80, 0xF2, 0xE2, 0xD3, 0x6B, 0xE7, 0x1A, 0x02)
HVMW_INTERFACE_ID(IRestoreDefaults, 0xA2872127, 0xEBE3, 0x4DC9, 0xB4, 0x6E, 0x84, 0x2F, 0x7A, 0x5F, 0x3B, 0xC4)
HVMW_INTERFACE_ID(IDpi, 0x422FD3EB, 0x9CD5, 0x47E2, 0xB8, 0x60, 0xB0, 0xCE, 0x78, 0xE3, 0x39, 0x1B)
HVMW_INTERFACE_ID(ISensitivityScaler, 0x25772DC8, 0x8103, 0x4FFC, 0xB5, 0x3A, 0x55, 0xC1, 0xF3, 0x47, 0x7B, 0xD2)
HVMW_INTERFACE_ID(IPollingRate, 0x33B98675, 0xB977, 0x4C3B, 0x9A, 0x63, 0x58, 0x4A, 0x73, 0x9E, 0x52, 0x22)
HVMW_INTERFACE_ID(IAcceleration, 0x86F7A21D, 0x1B53, 0x47B6, 0xA1, 0x4B, 0x72, 0x09, 0xAF, 0xC7, 0x39, 0x18)
HVMW_INTERFACE_ID(IBattery, 0x17FF8F31, 0x2437, 0x4C7A, 0x82, 0x2C, 0x70, 0xA3, 0x63, 0x5A, 0x58, 0x1C)
HVMW_INTERFACE_ID(IPowerManagement, 0x7739EEEA, 0xE46B, 0x4635, 0xBB, 0xD6, 0xCC, 0xDB, 0xCA, 0xD3, 0xD3, 0x52)
HVMW_INTERFACE_ID(IDeviceMode, 0xFCC69230, 0xAE4F, 0x47FD, 0xB3, 0xA5, 0xD5, 0x47, 0xEB, 0x7F, 0x9E, 0xDF)
HVMW_INTERFACE_ID(IButtonAssignments, 0x51EAC755, 0xF10B, 0x46C7, 0xAD, 0xDE, 0x76, 0x23, 0x31, 0x36, 0x1B, 0xD3)
HVMW_INTERFACE_ID(IKeyAssignments, 0xD4CD0628, 0x4F69, 0x40D9, 0x96, 0x22, 0x88, 0xF1, 0x54, 0xC1, 0xCB, 0x5F)
HVMW_INTERFACE_ID(IMacroManager, 0x8459D73E, 0x6237, 0x4F22, 0xA3, 0x69, 0xE8, 0x03, 0x0D, 0xE6, 0xD7, 0x0D)
HVMW_INTERFACE_ID(IMacro, 0xD6C5FFB5, 0x298D, 0x40C9, 0x82, 0xD7, 0xD0, 0x6F, 0xC4, 0x0B, 0x6E, 0x42)
HVMW_INTERFACE_ID(IOtfMacroRecording, 0x4AF518E6, 0x19BC, 0x418A, 0xB6, 0x21, 0xF0, 0x9D, 0xD9, 0xEF, 0x86, 0xBF)
HVMW_INTERFACE_ID(IKeyboardRedirector, 0x93786947, 0x4BEA, 0x47C2, 0x8C, 0x2F, 0x71, 0x53, 0xF8, 0xE9, 0xFB, 0xB9)
HVMW_INTERFACE_ID(IApplicationList, 0x926199B7, 0xF6F4, 0x4BA6, 0xAC, 0x57, 0x01, 0xDF, 0x00, 0x62, 0x8D, 0x95)
HVMW_INTERFACE_ID(IApplication, 0xF9F017CC, 0x4851, 0x4677, 0xBC, 0x06, 0x48, 0x3C, 0x15, 0x5C, 0x7D, 0xE4)
HVMW_INTERFACE_ID(IAudioSync, 0x9A081080, 0x0142, 0x45B1, 0xBD, 0xEA, 0x58, 0xC3, 0xE9, 0x6A, 0x60, 0xA1)
HVMW_INTERFACE_ID(IApm, 0x9B2404CC, 0xF39A, 0x4907, 0x8A, 0x3C, 0xA3, 0x82, 0xD9, 0xD9, 0xD5, 0x92)
HVMW_INTERFACE_ID(IApmLevel, 0xC4F4AB94, 0x0E81, 0x4646, 0x9D, 0xB7, 0x43, 0xCF, 0x67, 0x80, 0xBC, 0x53)
HVMW_INTERFACE_ID(IApmEventColors, 0x5968593D, 0xEE38, 0x4BF1, 0xB8, 0x74, 0x26, 0xF3, 0x1C, 0x2E, 0x6A, 0x7A)
HVMW_INTERFACE_ID(ILedControl, 0xCB1DCDA9, 0x7F39, 0x4CB6, 0x85, 0xED, 0xAA, 0xD0, 0xAC, 0xAF, 0xD8, 0xB8)
HVMW_INTERFACE_ID(ILedCollection, 0x22F41CDE, 0x101B, 0x494F, 0xB0, 0x51, 0x84, 0x0E, 0xD2, 0x53, 0x09, 0x44)
HVMW_INTERFACE_ID(ILed, 0xCF5A93C2, 0x197A, 0x4840, 0x8C, 0x41, 0x24, 0xFB, 0x49, 0x0C, 0xF6, 0xF7)
HVMW_INTERFACE_ID(ILEDColor, 0xF0BB08B3, 0x1B32, 0x4F53, 0x80, 0x59, 0xDB, 0xBE, 0x84, 0x08, 0x59, 0x58)
HVMW_INTERFACE_ID(ILEDBrightness, 0x522C3934, 0xB0D7, 0x4030, 0x98, 0x69, 0x5C, 0xAF, 0x15, 0x4D, 0x3B, 0x8A)
HVMW_INTERFACE_ID(ILedEffect, 0xCCA09BEF, 0xF7D2, 0x4180, 0xB7, 0xC5, 0x0D, 0xD4, 0x03, 0x0C, 0xC6, 0x7B)
HVMW_INTERFACE_ID(ILedStore, 0x1DD73BB2, 0xEE9C, 0x4945, 0x89, 0xD2, 0x1C, 0x39, 0x35, 0xF4, 0x6A, 0x0B)
HVMW_INTERFACE_ID(_IDPIEvents, 0x3814706F, 0x5386, 0x411C, 0x8A, 0xDC, 0x09, 0x40, 0x31, 0x24, 0x2F, 0x6C)
HVMW_INTERFACE_ID(_IDPIEvents2, 0x357D2FB7, 0x7209, 0x4EFB, 0x8C, 0x06, 0x61, 0x87, 0x1E, 0x31, 0xB0, 0x11)
HVMW_INTERFACE_ID(_ISensitivityScalerEvents, 0x5BA2AD6A, 0x3753, 0x47D3, 0x86, 0x2C, 0xED, 0x99, 0x19, 0x3F, 0x00, 0x22)
HVMW_INTERFACE_ID(_IProfileManagerEvents, 0x267B36D8, 0x6D56, 0x4B20, 0x8B, 0x88, 0xB2, 0xD4, 0xD6, 0x42, 0x9D, 0x60)
HVMW_INTERFACE_ID(_IOTFMacroRecordingEvents, 0x95D2B5DA, 0x7B00, 0x46BC, 0x81, 0x74, 0xAF, 0x02, 0xF9, 0x8D, 0x8C, 0xD9)
HVMW_INTERFACE_ID(_IApplicationEvent, 0xECD58346, 0x940B, 0x4F67, 0xA1, 0xB2, 0xA7, 0x80, 0xE5, 0xAF, 0x3D, 0x6D)
HVMW_INTERFACE_ID(_IKeyboardRedirectorEvents, 0xEA3B81AD, 0x495E, 0x419D, 0xA6, 0xD7, 0xF4, 0xE7, 0x2D, 0x61, 0x3D, 0x75)

#undef HVMW_INTERFACE_ID

// ---------------------------------------------------------------------------------------------------
// Result codes callers tell apart
// ---------------------------------------------------------------------------------------------------

// IDpi/ISensitivityScaler::SetStages refused; IApmLevel::SetUpperLimit would pass a neighbour.
inline constexpr HRESULT HVMW_E_REFUSED = static_cast<HRESULT>(0x80070005); // E_ACCESSDENIED
// IProfileProperties::GetProperty: the buffer is too small; the size now holds the bytes needed.
inline constexpr HRESULT HVMW_E_MORE_DATA = static_cast<HRESULT>(0x800700EA);
// IProfileProperties::GetProperty: the property is not supported (callers fall back to another).
inline constexpr HRESULT HVMW_E_NOTIMPL = static_cast<HRESULT>(0x80004001); // E_NOTIMPL
// An enumeration index past the last element.
inline constexpr HRESULT HVMW_E_NO_MORE_ITEMS = static_cast<HRESULT>(0x80070103);
// No element with that id (profile, macro, application GUID; LED id; button or key id).
inline constexpr HRESULT HVMW_E_NOT_FOUND = static_cast<HRESULT>(0x80070490);
// The object's target was deleted since the object was handed out.
inline constexpr HRESULT HVMW_E_DELETED = static_cast<HRESULT>(0x80070006);
// The object's device is no longer attached.
inline constexpr HRESULT HVMW_E_DEVICE_GONE = static_cast<HRESULT>(0x8007048F);
// A capacity of the device is reached (profiles, macros, applications, APM levels).
inline constexpr HRESULT HVMW_E_FULL = static_cast<HRESULT>(0x80070718);

// ---------------------------------------------------------------------------------------------------
// Codes
// ---------------------------------------------------------------------------------------------------

namespace hvmw {

// Product ids (DeviceInfo::productId, IDeviceIdentity::GetIds).
inline constexpr DWORD kProductMouse = 0x22;
inline constexpr DWORD kProductKeyboard = 0x23;

// Profile properties (IProfileProperties).
enum ProfilePropertyId : DWORD {
    kPropLinkedApp = 0x80000002, // wide text in a 256-byte buffer
    kPropFlags = 0x80000003,     // read: u16 flags; write: ProfileFlagWrite
    kPropAppPath = 0x80000005,   // wide text of any length
};
inline constexpr DWORD kLinkedAppBytes = 256;
inline constexpr DWORD kLinkedAppChars = kLinkedAppBytes / sizeof(wchar_t); // terminator included
inline constexpr WORD kFlagAutoSwitch = 0x1;
inline constexpr WORD kFlagOsdDpi = 0x2;
inline constexpr WORD kFlagOsdProfile = 0x4;

// LED ids (ILed::GetId, ILedCollection::GetLedById).
inline constexpr int kLedScrollWheel = 1;
inline constexpr int kLedDpi = 2;
inline constexpr int kLedBattery = 3;
inline constexpr int kLedLogo = 4;
inline constexpr int kLedBacklight = 5;
inline constexpr int kLedMacroRecord = 7;
inline constexpr int kLedUnderglow = 10;
inline constexpr int kLedSideStripe = 11;
// The device-wide LEDs of ILedControl's collection.
inline constexpr int kLedCalScrollWheel = 1;     // calibrated values
inline constexpr int kLedSwScrollWheel = 2;      // software control
inline constexpr int kLedSwLogo = 3;             // software control
inline constexpr int kLedCalLogo = 4;            // calibrated values

// LED effects (ILedEffect).
inline constexpr int kEffectNone = 0;
inline constexpr int kEffectBlinking = 1; // the duration is used
inline constexpr int kEffectPulsating = 2;
inline constexpr int kEffectSoftware = 3;
inline constexpr int kEffectApm = 4;
inline constexpr int kEffectSpectrum = 5;

// Device modes (IDeviceMode).
inline constexpr int kModeNormal = 1;
inline constexpr int kModeDefault = 2;
inline constexpr int kModeDriver = 3;

// Polling-rate codes (IPollingRate::GetRate/SetRate); GetSupportedRates answers in Hz.
inline constexpr int kRate1000Hz = 1;
inline constexpr int kRate500Hz = 2;
inline constexpr int kRate125Hz = 8;

// Charging states (IBattery::IsCharging).
inline constexpr BYTE kNotCharging = 0;
inline constexpr BYTE kCharging = 1;
inline constexpr BYTE kCharged = 2;

// Mouse button ids of assignment records, and the ButtonCountInfo mask bit of button id n is
// 1 << (n - 1).
inline constexpr DWORD kButtonLeft = 1;
inline constexpr DWORD kButtonRight = 2;
inline constexpr DWORD kButtonMiddle = 3;
inline constexpr DWORD kButton4 = 4;
inline constexpr DWORD kButton5 = 5;
inline constexpr DWORD kButton6 = 6;
inline constexpr DWORD kButton7 = 7;
inline constexpr DWORD kButtonScrollUp = 8;
inline constexpr DWORD kButtonScrollDown = 9;
inline constexpr DWORD kButtonDpiUp = 10;
inline constexpr DWORD kButtonDpiDown = 11;

// Key ids of assignment records: the set-1 make code, plus these for prefixed keys.
inline constexpr DWORD kKeyCodeE0 = 0x20000;
inline constexpr DWORD kKeyCodeE1 = 0x40000;

// Assignment record kinds.
inline constexpr DWORD kKindNone = 0;
inline constexpr DWORD kKindFunction = 1;
inline constexpr DWORD kKindMacro = 2;
inline constexpr DWORD kKindProfile = 3;
inline constexpr DWORD kKindDpi = 4;
inline constexpr DWORD kKindKey = 5;
inline constexpr DWORD kKindAdvanced = 6;
inline constexpr DWORD kKindMacroRepeat = 8;
inline constexpr DWORD kKindApplication = 9;

// Function codes of kind 1.
inline constexpr DWORD kFnDisabled = 0;
inline constexpr DWORD kFnClick = 1;
inline constexpr DWORD kFnMenu = 2;
inline constexpr DWORD kFnUniversalScroll = 3;
inline constexpr DWORD kFnForward = 4;
inline constexpr DWORD kFnBackward = 5;
inline constexpr DWORD kFnScrollUp = 6;
inline constexpr DWORD kFnScrollDown = 7;
inline constexpr DWORD kFnOtfSensitivity = 8;
inline constexpr DWORD kFnDpiUp = 9;
inline constexpr DWORD kFnDpiDown = 10;
inline constexpr DWORD kFnDoubleClick = 11;
inline constexpr DWORD kFnButton6 = 12;
inline constexpr DWORD kFnButton7 = 13;
inline constexpr DWORD kFnStopMacros = 14;
inline constexpr DWORD kFnProfileUp = 15;
inline constexpr DWORD kFnProfileDown = 16;

// Operations of kind 3 (profile switch).
inline constexpr DWORD kProfileOpNone = 0;
inline constexpr DWORD kProfileOpPrevious = 1;
inline constexpr DWORD kProfileOpNext = 2;
inline constexpr DWORD kProfileOpById = 3;

// Operations of kind 4 (DPI).
inline constexpr DWORD kDpiOpNone = 0;
inline constexpr DWORD kDpiOpUp = 1;
inline constexpr DWORD kDpiOpDown = 2;
inline constexpr DWORD kDpiOpStage = 3;
inline constexpr DWORD kDpiOpTemporary = 4;

// Modifier bits of kind 5 (the 32-bit word at byte 14).
inline constexpr DWORD kModExtended = 0x01000000;
inline constexpr DWORD kModAlt = 0x02000000;
inline constexpr DWORD kModCtrl = 0x04000000;
inline constexpr DWORD kModShift = 0x08000000;

// Repeat modes of kind 8.
inline constexpr BYTE kRepeatOnce = 1;
inline constexpr BYTE kRepeatCount = 2;
inline constexpr BYTE kRepeatWhileHeld = 3;
inline constexpr BYTE kRepeatUntilPressed = 4;

// Macro event record types, and their flags.
inline constexpr DWORD kMacroMouse = 1;
inline constexpr DWORD kMacroKey = 2;
inline constexpr DWORD kMacroDelay = 3;
inline constexpr WORD kMacroKeyBreak = 0x1;    // key up
inline constexpr WORD kMacroKeyE0 = 0x2;       // extended
inline constexpr WORD kMacroKeyE1 = 0x4;
inline constexpr WORD kMacroWheel = 0x400;     // raw-input wheel bit of a mouse event
inline constexpr DWORD kMacroMaxDelay = 0xFFFFFF;

// _IDPIEvents2::OnDpiEvent flags.
inline constexpr DWORD kDpiEventStage = 0x1;   // value = the new active stage, 1-based
inline constexpr DWORD kDpiEventValues = 0x8;  // the active values changed

// _IOTFMacroRecordingEvents::OnButtonAssignment kind of a key (code = its device key code: the make
// code, plus 0x20000 for E0 keys).
inline constexpr int kOtfAssignKey = 2;
// _IApplicationEvent::OnApplicationEvent kind: open the path.
inline constexpr int kAppEventOpen = 1;

// APM event numbers (IApmEventColors) and their levels.
inline constexpr int kApmFirstEvent = 1;
inline constexpr int kApmLastEvent = 16;
inline constexpr int kApmLevelOff = 0;
inline constexpr int kApmLevelMin = 2;
inline constexpr int kApmLevelMax = 5;

} // namespace hvmw

// ---------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------

// IDevice::GetDeviceInfo. Zeroed by the caller; the caller frees name with CoTaskMemFree.
struct DeviceInfo
{
    DWORD reserved;
    DWORD productId;
    DWORD driverMajor;
    DWORD driverMinor;
    DWORD firmwareMajor;
    DWORD firmwareMinor;
    LPWSTR name;
};
static_assert(offsetof(DeviceInfo, productId) == 4);
static_assert(offsetof(DeviceInfo, driverMajor) == 8 && offsetof(DeviceInfo, driverMinor) == 12);
static_assert(offsetof(DeviceInfo, firmwareMajor) == 16 && offsetof(DeviceInfo, firmwareMinor) == 20);
static_assert(offsetof(DeviceInfo, name) == 24);
static_assert(sizeof(DeviceInfo) == 24 + sizeof(void*)); // 28 bytes on i686

// One DPI or sensitivity value pair; arrays of them are the stage lists.
struct DpiValue
{
    INT32 x;
    INT32 y;
};
static_assert(sizeof(DpiValue) == 8 && offsetof(DpiValue, y) == 4);

struct StageInfo
{
    INT32 reserved;
    INT32 maxStages;
};
static_assert(sizeof(StageInfo) == 8 && offsetof(StageInfo, maxStages) == 4);

// IButtonAssignments::GetCount. maskBit(n) = 1 << (n - 1) for each button id n present.
struct ButtonCountInfo
{
    INT32 count;
    INT32 reserved;
    DWORD mask;
};
static_assert(sizeof(ButtonCountInfo) == 12 && offsetof(ButtonCountInfo, mask) == 8);

// IKeyAssignments::GetCount: the key count in both fields.
struct KeyCountInfo
{
    INT32 count;
    INT32 count2;
};
static_assert(sizeof(KeyCountInfo) == 8 && offsetof(KeyCountInfo, count2) == 4);

// IProfileProperties::SetProperty(kPropFlags, ...): one flag bit per write.
struct ProfileFlagWrite
{
    WORD mask;
    WORD value;
};
static_assert(sizeof(ProfileFlagWrite) == 4);

// One button's or key's assignment, 32 bytes. The payload from byte 12 on is read differently by
// kind and its fields overlap or sit unaligned (the modifier word at 14), so it is kept as bytes
// with accessors; offsets in the accessor names count from the start of the record.
struct AssignmentRecord
{
    DWORD source;     // 1 written by the configuration program, 0 by the tray program
    DWORD id;         // button id 1..11, or key id (make code | kKeyCodeE0/E1)
    DWORD kind;       // hvmw::kKind*
    BYTE payload[20]; // bytes 12..31

    // Kind 1: function code; kinds 3 and 4: operation.
    DWORD Code() const noexcept { return Get<DWORD>(12); }
    void SetCode(DWORD v) noexcept { Put(12, v); }
    // Kinds 2, 8, 9: the macro's or application's GUID.
    GUID TargetGuid() const noexcept { return Get<GUID>(12); }
    void SetTargetGuid(const GUID& g) noexcept { Put(12, g); }
    // Kind 3 with operation 3: the profile's GUID.
    GUID ProfileGuid() const noexcept { return Get<GUID>(16); }
    void SetProfileGuid(const GUID& g) noexcept { Put(16, g); }
    // Kind 4 with operation 3: the stage, counted from 0 (0 selects the first stage; the active
    // stage of IDpi counts from 1).
    DWORD Stage() const noexcept { return Get<DWORD>(16); }
    void SetStage(DWORD v) noexcept { Put(16, v); }
    // Kind 4 with operation 4: two values.
    WORD Value24() const noexcept { return Get<WORD>(24); }
    WORD Value26() const noexcept { return Get<WORD>(26); }
    void SetValue24(WORD v) noexcept { Put(24, v); }
    void SetValue26(WORD v) noexcept { Put(26, v); }
    // Kind 5: make code and modifier bits (hvmw::kMod*; the word overlaps bytes 14 to 17).
    WORD MakeCode() const noexcept { return Get<WORD>(12); }
    void SetMakeCode(WORD v) noexcept { Put(12, v); }
    DWORD Modifiers() const noexcept { return Get<DWORD>(14); }
    void SetModifiers(DWORD v) noexcept { Put(14, v); }
    // Kind 8: repeat mode and count; kinds 2 and 9: the word at 28 is 1.
    BYTE RepeatMode() const noexcept { return Get<BYTE>(28); }
    BYTE RepeatCount() const noexcept { return Get<BYTE>(29); }
    void SetRepeatMode(BYTE v) noexcept { Put(28, v); }
    void SetRepeatCount(BYTE v) noexcept { Put(29, v); }
    WORD Word30() const noexcept { return Get<WORD>(30); }
    void SetWord30(WORD v) noexcept { Put(30, v); }
    DWORD Word28() const noexcept { return Get<DWORD>(28); }
    void SetWord28(DWORD v) noexcept { Put(28, v); }

private:
    template <class T>
    T Get(size_t offset) const noexcept
    {
        T v;
        std::memcpy(&v, payload + (offset - 12), sizeof v);
        return v;
    }
    template <class T>
    void Put(size_t offset, const T& v) noexcept
    {
        std::memcpy(payload + (offset - 12), &v, sizeof v);
    }
};
static_assert(sizeof(AssignmentRecord) == 32);
static_assert(offsetof(AssignmentRecord, id) == 4 && offsetof(AssignmentRecord, kind) == 8);
static_assert(offsetof(AssignmentRecord, payload) == 12);

// One step of a macro: type hvmw::kMacro*, then a 32-bit word that is
// mouse: low half the raw-input button bit (0x1/0x2 button 1 down/up ... 0x100/0x200 button 5,
//        0x400 wheel), high half the wheel data (bit 15 set = down);
// key:   low half the make code, high half the raw-input key flags (hvmw::kMacroKey*);
// delay: milliseconds.
struct MacroEventRecord
{
    DWORD type;
    DWORD data;

    WORD Value() const noexcept { return LOWORD(data); }
    WORD Flags() const noexcept { return HIWORD(data); }
    DWORD Millis() const noexcept { return data; }
    static MacroEventRecord Make(DWORD type, WORD value, WORD flags) noexcept
    {
        return {type, static_cast<DWORD>(value) | (static_cast<DWORD>(flags) << 16)};
    }
    static MacroEventRecord Delay(DWORD ms) noexcept { return {hvmw::kMacroDelay, ms}; }
};
static_assert(sizeof(MacroEventRecord) == 8 && offsetof(MacroEventRecord, data) == 4);

// IMacro::GetEvents/SetEvents: the header, then count records, then 8 spare bytes; allocated by
// whoever fills it with CoTaskMemAlloc(MacroEventBlock::Bytes(count)).
struct MacroEventBlock
{
    DWORD reserved;
    DWORD count;

    static constexpr size_t Bytes(size_t count) noexcept { return count * sizeof(MacroEventRecord) + 16; }
    MacroEventRecord* Events() noexcept { return reinterpret_cast<MacroEventRecord*>(this + 1); }
    const MacroEventRecord* Events() const noexcept
    {
        return reinterpret_cast<const MacroEventRecord*>(this + 1);
    }
};
static_assert(sizeof(MacroEventBlock) == 8);

// ---------------------------------------------------------------------------------------------------
// Interfaces, methods in slot order (slot 3 is the first after IUnknown)
// ---------------------------------------------------------------------------------------------------

struct IDeviceEnumerator : public IUnknown
{
    // Devices from index 0 until it fails, with whatever code (often HVMW_E_NO_MORE_ITEMS).
    virtual HRESULT STDMETHODCALLTYPE EnumDevice(int index, IDevice** out) = 0;
    // By the name that DeviceInfo gives.
    virtual HRESULT STDMETHODCALLTYPE GetDeviceByName(LPCWSTR name, IDevice** out) = 0;
};

struct IDevice : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetDeviceInfo(DeviceInfo* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) = 0;
};

struct IDeviceIdentity : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetIds(DWORD* first, DWORD* productId) = 0;
};

struct IMouseDevice : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) = 0;
};

struct IKeyboardDevice : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLayout(int* code) = 0;
};

struct IOtherDevice : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) = 0;
};

struct ILongFirmwareVersion : public IUnknown
{
    // Shown as "%d.%02d.%02d.%d".
    virtual HRESULT STDMETHODCALLTYPE GetVersion(BYTE* a, BYTE* b, BYTE* c, BYTE* d) = 0;
};

struct IDeviceStatus : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // Not 0: the device answers.
    virtual HRESULT STDMETHODCALLTYPE GetStatusFlag(BYTE* flag) = 0;
};

struct IProfileManager : public IUnknown
{
    // Profiles in the device's order from index 0 until it fails.
    virtual HRESULT STDMETHODCALLTYPE GetProfile(int index, IProfile** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProfileById(GUID id, IProfile** out) = 0;
    // Issued again after assignments changed, makes the device take them.
    virtual HRESULT STDMETHODCALLTYPE SetActiveProfile(IProfile* profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveProfile(IProfile** out) = 0;
    // A new profile with a fresh GUID.
    virtual HRESULT STDMETHODCALLTYPE AddProfile(IProfile** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteProfile(IProfile* profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    // Reads a profile file (extension "hvp") into a new profile.
    virtual HRESULT STDMETHODCALLTYPE ImportProfile(LPCWSTR path, IProfile** out) = 0;
};

struct IProfile : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetId(GUID* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE Activate() = 0;
    virtual HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) = 0;
};

struct IProfileProperties : public IUnknown
{
    // size: in, the buffer's bytes; out, the bytes written (HVMW_E_MORE_DATA: the bytes needed).
    // reserved1 and reserved2 are 0.
    virtual HRESULT STDMETHODCALLTYPE GetProperty(DWORD id, DWORD reserved1, void* buffer, DWORD reserved2,
                                                  DWORD* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProperty(DWORD id, const void* data, DWORD reserved1, DWORD size,
                                                  DWORD reserved2) = 0;
};

struct IRestoreDefaults : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE RestoreDefaults() = 0;
};

// IDpi and ISensitivityScaler share one slot layout. Stages count from 1.
struct IDpi : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetActiveDpi(DpiValue* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveDpi(int x, int y) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStageInfo(StageInfo* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveStage(int* stage) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveStage(int stage) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStages(int* count, DpiValue** stages) = 0;
    // HVMW_E_REFUSED: the device refuses the stage list.
    virtual HRESULT STDMETHODCALLTYPE SetStages(int count, const DpiValue* stages) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRange(int* min, int* max, int* step) = 0;
};

struct ISensitivityScaler : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetActiveDpi(DpiValue* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveDpi(int x, int y) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStageInfo(StageInfo* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveStage(int* stage) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveStage(int stage) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStages(int* count, DpiValue** stages) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStages(int count, const DpiValue* stages) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRange(int* min, int* max, int* step) = 0;
};

struct IPollingRate : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetRate(int* code) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRate(int code) = 0;
    // rates in Hz.
    virtual HRESULT STDMETHODCALLTYPE GetSupportedRates(int* count, int** rates) = 0;
};

struct IAcceleration : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Enable() = 0;
    virtual HRESULT STDMETHODCALLTYPE Disable() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLevel(int level) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLevel(int* level) = 0;
};

struct IBattery : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetLevel(int* percent) = 0;
    // hvmw::kNotCharging, kCharging or kCharged. Declared as one byte, but a middleware may write
    // 32 bits: callers pass a zeroed 32-bit cell and read its low byte.
    virtual HRESULT STDMETHODCALLTYPE IsCharging(BYTE* state) = 0;
};

struct IPowerManagement : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetCriticalLevel(int* percent) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCriticalLevel(int percent) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMaxLedBrightness(int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMaxLedBrightness(int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSleepTime(int* seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSleepTime(int seconds) = 0;
};

struct IDeviceMode : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMode(int mode) = 0;
};

// Assignment buffers belong to the caller: to read, it allocates count * 32 bytes and passes the
// count and the address of its pointer; the records are written into that block in id order and
// count is set to the number written. With count 1 and the id of (*buffer)[0] preset, that
// button's or key's record alone is filled. To write, one record per call (count 1).
struct IButtonAssignments : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetAssignments(int* count, AssignmentRecord** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAssignments(int count, const AssignmentRecord* records) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCount(ButtonCountInfo* info) = 0;
};

struct IKeyAssignments : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetCount(KeyCountInfo* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAssignments(int* count, AssignmentRecord** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAssignments(int count, const AssignmentRecord* records) = 0;
};

struct IMacroManager : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetMacro(int index, IMacro** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMacroById(GUID id, IMacro** out) = 0;
    // A new empty macro with its own GUID.
    virtual HRESULT STDMETHODCALLTYPE AddMacro(IMacro** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteMacro(IMacro* macro) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    // Reads a macro file (extension "hvm") into a new macro.
    virtual HRESULT STDMETHODCALLTYPE ImportMacro(LPCWSTR path, IMacro** out) = 0;
};

struct IMacro : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetId(GUID* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEvents(MacroEventBlock** block) = 0;
    // Replaces the events.
    virtual HRESULT STDMETHODCALLTYPE SetEvents(const MacroEventBlock* block) = 0;
};

// Only its events (_IOTFMacroRecordingEvents) are used.
struct IOtfMacroRecording : public IUnknown
{
};

struct IKeyboardRedirector : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Enable() = 0;
    virtual HRESULT STDMETHODCALLTYPE Disable() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsEnabled(BYTE* enabled) = 0;
};

struct IApplicationList : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetApplication(int index, IApplication** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetApplicationById(GUID id, IApplication** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddApplication(IApplication** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteApplication(IApplication* app) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    // Reads an application file (extension "hvm") into a new application.
    virtual HRESULT STDMETHODCALLTYPE ImportApplication(LPCWSTR path, IApplication** out) = 0;
};

struct IApplication : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetId(GUID* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) = 0;
};

struct IAudioSync : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enabled) = 0;
};

struct IApm : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetLevel(int index, IApmLevel** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddLevel(int upperLimit, IApmLevel** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteLevel(IApmLevel* level) = 0;
};

struct IApmLevel : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetUpperLimit(int* limit) = 0;
    // HVMW_E_REFUSED when the limit would pass a neighbour's.
    virtual HRESULT STDMETHODCALLTYPE SetUpperLimit(int limit) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColor(COLORREF* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetColor(COLORREF color) = 0;
};

// Event numbers hvmw::kApmFirstEvent to kApmLastEvent.
struct IApmEventColors : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetEventLevel(int event, int* level) = 0;
    // 0 off, 2 to 5.
    virtual HRESULT STDMETHODCALLTYPE SetEventLevel(int event, int level) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEventColor(int event, COLORREF* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEventColor(int event, COLORREF color) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEventEnabled(int event, BYTE* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEventEnabled(int event, BOOL enabled) = 0;
};

// The device-wide LEDs; QueryInterface gives their ILedCollection.
struct ILedControl : public IUnknown
{
};

struct ILedCollection : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetLed(int index, ILed** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLedById(int id, ILed** out) = 0;
};

// QueryInterface gives ILEDColor, ILEDBrightness and ILedEffect where the LED has them.
struct ILed : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE TurnOn() = 0;
    virtual HRESULT STDMETHODCALLTYPE TurnOff() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetState(BOOL* on) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetId(int* id) = 0;
};

struct ILEDColor : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE SetColor(COLORREF color) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColor(COLORREF* color) = 0;
};

struct ILEDBrightness : public IUnknown
{
    // 0 to 100.
    virtual HRESULT STDMETHODCALLTYPE SetBrightness(int brightness) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBrightness(int* brightness) = 0;
};

struct ILedEffect : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE SetEffect(int effect, int duration, int delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEffect(int* effect, int* duration, int* delay) = 0;
};

// Obtained but never called.
struct ILedStore : public IUnknown
{
};

// ---------------------------------------------------------------------------------------------------
// Event interfaces (connection points of the features named). Sinks answer QueryInterface for
// IUnknown and their own id only.
// ---------------------------------------------------------------------------------------------------

// On IDpi.
struct _IDPIEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnDpiChanged(int x, int y) = 0;
};

// On IDpi: flags hvmw::kDpiEventValues or kDpiEventStage (value = the new stage, 1-based).
struct _IDPIEvents2 : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnDpiEvent(DWORD flags, LPARAM value) = 0;
};

// On ISensitivityScaler.
struct _ISensitivityScalerEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnLevelChanged(int x, int y) = 0;
};

// On IProfileManager.
struct _IProfileManagerEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnActiveProfileChanged(int value) = 0;
};

// On IOtfMacroRecording.
struct _IOTFMacroRecordingEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnRecordStart() = 0;
    virtual HRESULT STDMETHODCALLTYPE OnRecordEnd() = 0;
    // kind hvmw::kOtfAssignKey: code is the device key code of the key that gets the macro (its make
    // code, plus hvmw::kKeyCodeE0 for E0 keys), as in the id of its AssignmentRecord.
    virtual HRESULT STDMETHODCALLTYPE OnButtonAssignment(int kind, int code) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnRecordCancel() = 0;
};

// On IApplicationList: kind hvmw::kAppEventOpen asks to open the path (valid during the call).
struct _IApplicationEvent : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnApplicationEvent(int kind, LPCWSTR path) = 0;
};

// On IKeyboardRedirector: one keyboard window message.
struct _IKeyboardRedirectorEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
