#include "model/CodeTables.h"

#include <cstring>
#include <memory>

using namespace hvmw;

namespace {

struct IdRow
{
    int32_t button;
    uint32_t value;
};

// Program ids 6 and 7 are the side buttons whose middleware bits and ids are crossed.
const IdRow kButtonMaskRows[] = {
    {0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 8}, {5, 16}, {6, 64}, {7, 32}, {8, 0}, {9, 0},
    {10, 512}, {11, 1024}, {12, 128}, {13, 256}, {14, 2048}, {15, 4096}, {16, 8192},
    {17, 0x4000}, {18, 0x8000}, {19, 0x10000}, {20, 0x20000}, {21, 0x40000}, {22, 0x80000},
    {23, 0x100000}, {24, 0x200000}, {25, 0x400000}, {27, 0}, {28, 0},
};

const IdRow kButtonIdRows[] = {
    {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 7}, {7, 6}, {8, 0}, {9, 0},
    {10, 10}, {11, 11}, {12, 8}, {13, 9}, {14, 12}, {15, 13}, {16, 14}, {17, 15}, {18, 16},
    {19, 17}, {20, 18}, {21, 19}, {22, 20}, {23, 21}, {24, 22}, {25, 23}, {27, 0}, {28, 0},
};

struct TemplateRow
{
    int32_t type;
    uint32_t kind;
    uint32_t code;    // function code (kind 1) or operation (kinds 3 and 4)
    uint32_t stage;   // kind 4, operation 3
};

const TemplateRow kTemplateRows[] = {
    {kActionClick, kKindFunction, kFnClick, 0},
    {kActionMenu, kKindFunction, kFnMenu, 0},
    {kActionUniversalScrolling, kKindFunction, kFnUniversalScroll, 0},
    {kActionDoubleClick, kKindFunction, kFnDoubleClick, 0},
    {kActionSingleKey, kKindKey, 0, 0},
    {kActionMacro, kKindMacroRepeat, 0, 0},
    {kActionMacroByName, kKindMacroRepeat, 0, 0},
    {kActionButtonOff, kKindFunction, kFnDisabled, 0},
    {kActionAdvanced, kKindAdvanced, 0, 0},
    {kActionOnTheFlySensitivity, kKindFunction, kFnOtfSensitivity, 0},
    {kActionStageUp, kKindFunction, kFnDpiUp, 0},
    {kActionStageDown, kKindFunction, kFnDpiDown, 0},
    {16, kKindDpi, kDpiOpStage, 0},
    {17, kKindDpi, kDpiOpStage, 1},
    {18, kKindDpi, kDpiOpStage, 2},
    {19, kKindDpi, kDpiOpStage, 3},
    {20, kKindDpi, kDpiOpStage, 4},
    {kActionTemporaryDpi, kKindDpi, kDpiOpTemporary, 0},
    {kActionProfile, kKindProfile, kProfileOpById, 0},
    {kActionProfileByName, kKindProfile, kProfileOpById, 0},
    {kActionProfileUp, kKindProfile, kProfileOpNext, 0},
    {kActionProfileDown, kKindProfile, kProfileOpPrevious, 0},
    {26, kKindProfile, kProfileOpById, 0},
    {27, kKindProfile, kProfileOpById, 0},
    {28, kKindProfile, kProfileOpById, 0},
    {29, kKindProfile, kProfileOpById, 0},
    {30, kKindProfile, kProfileOpById, 0},
    {kActionBackward, kKindFunction, kFnBackward, 0},
    {kActionForward, kKindFunction, kFnForward, 0},
    {kActionScrollUp, kKindFunction, kFnScrollUp, 0},
    {kActionScrollDown, kKindFunction, kFnScrollDown, 0},
    {kActionLaunch, kKindApplication, 0, 0},
};

struct MouseBitRow
{
    uint32_t bit;
    MouseButtonEvent event;
};

const MouseBitRow kMouseBitRows[] = {
    {0x1, {1, kKeyStatePressed}}, {0x2, {1, kKeyStateReleased}},
    {0x4, {2, kKeyStatePressed}}, {0x8, {2, kKeyStateReleased}},
    {0x10, {3, kKeyStatePressed}}, {0x20, {3, kKeyStateReleased}},
    {0x40, {4, kKeyStatePressed}}, {0x80, {4, kKeyStateReleased}},
    {0x100, {5, kKeyStatePressed}}, {0x200, {5, kKeyStateReleased}},
};

// The make code that a Pause key and a Num Lock key share; only the extended flag tells them apart.
constexpr uint16_t kNumLockPauseMakeCode = 69;

bool IsByName(int32_t type)
{
    return type == kActionMacroByName || type == kActionProfileByName || type == kActionLaunchByName;
}

// A by-name action carries a name where a GUID would be; it has no GUID yet.
GUID GuidOf(const AssignmentAction& action)
{
    return IsByName(action.type) ? GUID() : action.payload.guid;
}

template <class K, class V>
V Lookup(const std::map<K, V>& map, K key, V none)
{
    auto it = map.find(key);
    return it == map.end() ? none : it->second;
}

template <class K, class V>
K ReverseLookup(const std::map<K, V>& map, V value, K none)
{
    for (const auto& [key, v] : map)
        if (v == value)
            return key;
    return none;
}

std::unique_ptr<CodeTranslationTables> g_tables;

} // namespace

void CodeTranslationTables::Fill()
{
    if (m_filled)
        return;
    for (const IdRow& row : kButtonMaskRows)
        m_buttonMask[row.button] = row.value;
    for (const IdRow& row : kButtonIdRows)
        m_buttonId[row.button] = row.value;
    for (const TemplateRow& row : kTemplateRows) {
        AssignmentRecord record{};
        record.source = 1;
        record.kind = row.kind;
        record.SetCode(row.code);
        if (row.kind == kKindDpi && row.code == kDpiOpStage)
            record.SetStage(row.stage);
        m_templates[row.type] = record;
    }
    for (const MouseBitRow& row : kMouseBitRows)
        m_mouseBits[row.bit] = row.event;
    m_filled = 1;
}

uint32_t CodeTranslationTables::ButtonMaskBit(int32_t button) const
{
    return Lookup(m_buttonMask, button, 0u);
}

uint32_t CodeTranslationTables::MiddlewareButtonId(int32_t button) const
{
    return Lookup(m_buttonId, button, 0u);
}

int32_t CodeTranslationTables::ButtonFromMaskBit(uint32_t bit) const
{
    return ReverseLookup(m_buttonMask, bit, 0);
}

int32_t CodeTranslationTables::ButtonFromMiddlewareId(uint32_t id) const
{
    return ReverseLookup(m_buttonId, id, 0);
}

bool CodeTranslationTables::MouseEventFromBit(uint32_t bit, MouseButtonEvent& event) const
{
    auto it = m_mouseBits.find(bit);
    if (it == m_mouseBits.end())
        return false;
    event = it->second;
    return true;
}

uint32_t CodeTranslationTables::BitFromMouseEvent(int32_t button, int32_t state) const
{
    for (const auto& [bit, event] : m_mouseBits)
        if (event.button == button && event.state == state)
            return bit;
    return 0;
}

bool CodeTranslationTables::GetTemplate(int32_t type, AssignmentRecord& record) const
{
    auto it = m_templates.find(type);
    if (it == m_templates.end())
        return false;
    record = it->second;
    return true;
}

int32_t CodeTranslationTables::TypeOfRecord(const AssignmentRecord& record) const
{
    for (const auto& [type, t] : m_templates) {
        if (t.kind != record.kind)
            continue;
        switch (record.kind) {
        case kKindFunction:
        case kKindProfile:
        case kKindDpi:
            if (t.Code() == record.Code())
                return type;
            break;
        case kKindMacro:
        case kKindKey:
        case kKindAdvanced:
        case kKindMacroRepeat:
        case kKindApplication:
            return type;
        default:
            break;
        }
    }
    return kActionNone;
}

bool CodeTranslationTables::FillRecord(const AssignmentAction& action, uint32_t idWord, AssignmentRecord& record) const
{
    AssignmentRecord r{};
    if (!GetTemplate(action.type, r))
        return false;
    r.id = idWord;
    switch (r.kind) {
    case kKindMacro:
    case kKindApplication:
        r.SetTargetGuid(GuidOf(action));
        r.SetWord28(1);
        break;
    case kKindProfile:
        if (r.Code() == kProfileOpById)
            r.SetProfileGuid(GuidOf(action));
        break;
    case kKindDpi:
        // A stage travelling with the action wins over the one its type names.
        if (r.Code() == kDpiOpStage && action.payload.dpi.stage != 0)
            r.SetStage(static_cast<uint32_t>(action.payload.dpi.stage));
        else if (r.Code() == kDpiOpTemporary) {
            r.SetValue24(action.payload.dpi.first);
            r.SetValue26(action.payload.dpi.second);
        }
        break;
    case kKindKey: {
        uint32_t modifiers = ModifiersFromKeyFlags(action.payload.key.flags);
        if (action.VirtualKey() == VK_PAUSE)
            modifiers |= kModExtended;
        r.SetMakeCode(action.ScanCode());
        r.SetModifiers(modifiers);
        break;
    }
    case kKindMacroRepeat:
        r.SetTargetGuid(GuidOf(action));
        r.SetRepeatMode(RepeatModeFromPlayMode(action.playMode));
        r.SetRepeatCount(static_cast<BYTE>(action.repeatCount));
        break;
    default:
        break;
    }
    record = r;
    return true;
}

AssignmentAction CodeTranslationTables::ReadRecord(const AssignmentRecord& record) const
{
    int32_t type = TypeOfRecord(record);
    AssignmentAction action(type);
    if (type == kActionNone)
        return action;
    switch (record.kind) {
    case kKindMacro:
    case kKindApplication:
        action.Init(type, record.TargetGuid());
        break;
    case kKindProfile:
        if (record.Code() == kProfileOpById)
            action.Init(type, record.ProfileGuid());
        break;
    case kKindDpi:
        if (record.Code() == kDpiOpStage)
            action.payload.dpi.stage = static_cast<int32_t>(record.Stage());
        else if (record.Code() == kDpiOpTemporary) {
            action.payload.dpi.first = record.Value24();
            action.payload.dpi.second = record.Value26();
        }
        break;
    case kKindKey: {
        uint16_t makeCode = record.MakeCode();
        uint8_t flags = KeyFlagsFromModifiers(record.Modifiers());
        uint16_t virtualKey = 0;
        if (makeCode == kNumLockPauseMakeCode) {
            virtualKey = (flags & kKeyFlagExtended) ? VK_PAUSE : VK_NUMLOCK;
            flags &= ~kKeyFlagExtended;
        }
        action = AssignmentAction::Key(type, makeCode, virtualKey, flags);
        break;
    }
    case kKindMacroRepeat:
        action.Init(type, record.TargetGuid());
        action.playMode = PlayModeFromRepeatMode(record.RepeatMode());
        action.repeatCount = record.RepeatCount();
        break;
    default:
        break;
    }
    return action;
}

void ConstructCodeTables()
{
    if (!g_tables)
        g_tables = std::make_unique<CodeTranslationTables>();
}

void DestroyCodeTables()
{
    g_tables.reset();
}

void FillCodeTables()
{
    ConstructCodeTables();
    g_tables->Fill();
}

CodeTranslationTables* CodeTables()
{
    return g_tables.get();
}

int32_t PollingRateCodeFromIndex(int32_t index)
{
    switch (index) {
    case 0: return kRate125Hz;
    case 1: return kRate500Hz;
    case 2: return kRate1000Hz;
    default: return -1;
    }
}

int32_t PollingRateIndexFromCode(int32_t code)
{
    switch (code) {
    case kRate1000Hz: return 2;
    case kRate500Hz: return 1;
    case kRate125Hz: return 0;
    default: return -1;
    }
}

int LedIndexFromId(int id)
{
    return id >= 1 && id <= 11 ? id - 1 : -1;
}

int LedIdFromIndex(int index)
{
    return index >= 0 && index <= 10 ? index + 1 : -1;
}

int32_t NormalizeLightingEffect(int32_t effect)
{
    return effect >= kEffectBlinking && effect <= kEffectSpectrum ? effect : kEffectNone;
}

uint32_t ModifiersFromKeyFlags(uint8_t flags)
{
    uint32_t modifiers = 0;
    if (flags & kKeyFlagExtended)
        modifiers |= kModExtended;
    if (flags & kKeyFlagAlt)
        modifiers |= kModAlt;
    if (flags & kKeyFlagCtrl)
        modifiers |= kModCtrl;
    if (flags & kKeyFlagShift)
        modifiers |= kModShift;
    return modifiers;
}

uint8_t KeyFlagsFromModifiers(uint32_t modifiers)
{
    uint8_t flags = 0;
    if (modifiers & kModExtended)
        flags |= kKeyFlagExtended;
    if (modifiers & kModAlt)
        flags |= kKeyFlagAlt;
    if (modifiers & kModCtrl)
        flags |= kKeyFlagCtrl;
    if (modifiers & kModShift)
        flags |= kKeyFlagShift;
    return flags;
}

uint8_t RepeatModeFromPlayMode(int32_t playMode)
{
    switch (playMode) {
    case kPlayOnce: return kRepeatOnce;
    case kPlayCount: return kRepeatCount;
    case kPlayUntilPressedAgain: return kRepeatUntilPressed;
    case kPlayWhileHeld: return kRepeatWhileHeld;
    default: return 0;
    }
}

int32_t PlayModeFromRepeatMode(uint8_t repeatMode)
{
    switch (repeatMode) {
    case kRepeatOnce: return kPlayOnce;
    case kRepeatCount: return kPlayCount;
    case kRepeatUntilPressed: return kPlayUntilPressedAgain;
    case kRepeatWhileHeld: return kPlayWhileHeld;
    default: return 0;
    }
}
