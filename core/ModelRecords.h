// The plain records of the configuration model: what a button or key does, one macro step, one
// DPI stage, one light, one row of a list-like control, the single-key popup's result, one linked
// application, one APM entry and the static description of a supported device. They are copied by
// value and own nothing but their own strings; converting them to and from the middleware's
// records belongs to the code tables and the device objects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace hv {

// The 16 bytes compared as four 32-bit words. (The system header's IsEqualGUID lives in the
// global namespace; the model always calls this one.)
bool IsEqualGUID(const GUID& a, const GUID& b);
bool IsNullGUID(const GUID& g);

} // namespace hv

// Action type codes of an AssignmentAction; the names follow the language keys of the assignment
// type table. Codes not named here (11, 12, 15, 31, 32, 35 to 40, 43 to 62) carry no payload.
enum ActionType : int32_t
{
    kActionNone = -1,
    kActionDefaultKey = 0,
    kActionClick = 1,
    kActionMenu = 2,
    kActionUniversalScrolling = 3,
    kActionDoubleClick = 4,
    kActionSingleKey = 5,
    kActionMacro = 6,            // by GUID
    kActionMacroByName = 7,
    kActionButtonOff = 8,
    kActionAdvanced = 9,
    kActionOnTheFlySensitivity = 10,
    kActionStageUp = 13,
    kActionStageDown = 14,
    kActionDpiStage1 = 16,       // 16 to 20: stages 1 to 5
    kActionDpiStage5 = 20,
    kActionTemporaryDpi = 21,
    kActionProfile = 22,         // by GUID
    kActionProfileByName = 23,
    kActionProfileUp = 24,
    kActionProfileDown = 25,
    kActionProfile1 = 26,        // 26 to 30: profiles 1 to 5
    kActionProfile5 = 30,
    kActionBackward = 33,
    kActionForward = 34,
    kActionScrollUp = 41,
    kActionScrollDown = 42,
    kActionLaunch = 63,          // by GUID
    kActionLaunchByName = 64,
    kActionApmEvent = 65,        // device-wide APM event entries only
};

// The by-name types count as their by-GUID twins (7 -> 6, 23 -> 22, 64 -> 63).
int32_t ByGuidActionType(int32_t type);

// Flag byte of key actions and of key macro events (second byte of MacroEvent::extra).
enum KeyFlag : uint8_t
{
    kKeyFlagExtended = 1,
    kKeyFlagAlt = 2,
    kKeyFlagCtrl = 4,
    kKeyFlagShift = 8,
};

// Macro play modes of types 6 and 7.
enum PlayMode : int32_t
{
    kPlayOnce = 1,
    kPlayCount = 2,
    kPlayUntilPressedAgain = 3,
    kPlayWhileHeld = 4,
};

constexpr int kActionNameLength = 260;   // characters, terminator included

// What a button or key does. Copied whole; every model operation takes and returns it by value.
struct AssignmentAction
{
    int32_t type;
    union Payload {
        GUID guid;                        // 6, 22, 63
        wchar_t name[kActionNameLength];  // 7, 23, 64
        struct {
            uint32_t word;                // scan code low 16 bits, virtual key high 16 bits
            uint8_t flags;                // KeyFlag bits
        } key;                            // 0, 5
        struct {
            int32_t stage;                // stage travelling with a DPI stage action (0-based)
            uint16_t first, second;       // the two values of a temporary DPI switch
        } dpi;                            // 16 to 21
        int32_t values[3];                // 65: event level, colour, on/off
    } payload;
    int32_t playMode;     // types 6 and 7
    int32_t repeatCount;  // plays for kPlayCount; the front end keeps it within 0 to 255

    // Type -1, all zero.
    AssignmentAction();
    explicit AssignmentAction(int32_t actionType, const GUID& guid = GUID());

    // Types 6, 22 and 63 take the GUID; type 6 also plays once with count 0. Every other type
    // gets a zero payload, play mode and count.
    void Init(int32_t actionType, const GUID& guid = GUID());

    // A by-name action (7, 23, 64); the name is cut to 259 characters.
    static AssignmentAction ByName(int32_t actionType, const wchar_t* name);
    // A key action (0 or 5).
    static AssignmentAction Key(int32_t actionType, uint16_t scanCode, uint16_t virtualKey, uint8_t flags);

    void SetName(const wchar_t* name);
    uint16_t ScanCode() const { return static_cast<uint16_t>(payload.key.word & 0xFFFF); }
    uint16_t VirtualKey() const { return static_cast<uint16_t>(payload.key.word >> 16); }
};

// The whole record compared: type, the payload's bytes and the two play fields.
bool operator==(const AssignmentAction& a, const AssignmentAction& b);
inline bool operator!=(const AssignmentAction& a, const AssignmentAction& b) { return !(a == b); }

enum MacroEventType : int32_t
{
    kMacroEventKey = 0,
    kMacroEventMouse = 1,
    kMacroEventDelay = 2,
};

constexpr int32_t kKeyStatePressed = 0xFF;
constexpr int32_t kKeyStateReleased = 1;
constexpr int32_t kMaxMacroDelay = 0xFFFFFF;

// One macro step. Key: value = virtual key << 16 | scan code, extra = state (low byte) | flags << 8.
// Mouse: value = button 1 to 5, extra = state. Delay: value = milliseconds, extra 0.
struct MacroEvent
{
    int32_t type = kMacroEventKey;
    int32_t value = 0;
    int32_t extra = 0;
};

inline bool operator==(const MacroEvent& a, const MacroEvent& b)
{
    return a.type == b.type && a.value == b.value && a.extra == b.extra;
}
inline bool operator!=(const MacroEvent& a, const MacroEvent& b) { return !(a == b); }

// One DPI stage of a mouse profile; dpi is the value used while X and Y are linked.
struct DpiStage
{
    int32_t dpi = 0;
    int32_t dpiX = 0;
    int32_t dpiY = 0;
    uint8_t separateXY = 0;
};

// One light of a profile, keyed by LED index (LED id - 1).
struct LightingEntry
{
    uint8_t on = 0;
    COLORREF color = 0;
    int32_t effect = 0;
    int32_t brightness = 100;
};

// One row of a drop-down list, list panel or combo cell. value may hold a pointer (a drop-down
// entry can refer to the list panel item of its sub-choice), so it is pointer-sized.
struct ListEntry
{
    std::wstring name;
    std::wstring text;
    intptr_t value = 0;
    uint8_t flag = 0;

    // Copies both texts (null gives an empty text) and clears the flag.
    void Init(const wchar_t* entryName, intptr_t entryValue, const wchar_t* entryText);
    void Copy(const ListEntry& other) { *this = other; }
};

// The single-key entry popup's result.
struct SingleKeyResult
{
    std::wstring keyText;
    uint16_t scanCode = 0;
    uint16_t virtualKey = 0;
    int32_t flags = 0;

    void Init() { *this = SingleKeyResult(); }
};

// A number no macro or application of this process has had before: which item one is, whatever
// its name or GUID, while it has no GUID yet (a write made with a copy finds it again by it).
uint64_t NewItemIdentity();

// One linked application: its path and the GUID the middleware gave it (zero until then). A copy
// is the same application and keeps the identity; equality looks only at GUID and name.
struct CHvApp
{
    std::wstring name;
    GUID guid = GUID();
    uint64_t identity = NewItemIdentity();

    CHvApp() = default;
    explicit CHvApp(const wchar_t* path) : name(path ? path : L"") {}
};

// GUIDs equal and names equal with regard to case.
bool operator==(const CHvApp& a, const CHvApp& b);
inline bool operator!=(const CHvApp& a, const CHvApp& b) { return !(a == b); }

// A button's or key's assignment record exactly as the device holds it (the middleware's 32 bytes),
// kept where the program cannot translate the record, so that a write sends it back unchanged.
struct RawAssignment
{
    uint8_t bytes[32];
};

// One APM entry; its list keeps the entries ascending by second, no two with an equal second.
class CAPM
{
public:
    CAPM(int32_t v, int32_t f, int32_t s) : value(v), first(f), second(s) {}
    virtual ~CAPM() = default;

    int32_t value;
    int32_t first;
    int32_t second;
};

// Feature ids a device descriptor lists; each names one step of reading and writing a device.
enum DeviceFeature : uint32_t
{
    kFeatureProfiles = 1,
    kFeatureButtons = 2,
    kFeatureKeys = 3,
    kFeatureMacros = 4,
    kFeatureLighting = 5,
    kFeatureVersions = 6,
    kFeatureProfileProperties = 7,
    kFeatureApplications = 8,
    kFeatureApm = 9,
    kFeatureDpi = 10,
    kFeaturePollingRate = 11,
    kFeatureAcceleration = 12,
    kFeatureBattery = 14,
    kFeaturePowerManagement = 15,
    kFeatureLongFirmwareVersion = 16,
};

// Static description of a supported device.
struct DeviceDescriptor
{
    uint32_t productId;
    const uint32_t* features;
    uint32_t featureCount;
    const wchar_t* name;   // null in both rows in use

    bool HasFeature(uint32_t feature) const;
};

extern const DeviceDescriptor g_MouseDescriptor;     // product 0x22
extern const DeviceDescriptor g_KeyboardDescriptor;  // product 0x23
