#include <gtest/gtest.h>

#include <set>

#include "model/CodeTables.h"

namespace {

const GUID kGuid = {0xDEADBEEF, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22, 0x33, 0x44}};

const CodeTranslationTables& Tables()
{
    FillCodeTables();
    return *CodeTables();
}

AssignmentRecord Write(const AssignmentAction& action, uint32_t id = 1)
{
    AssignmentRecord record{};
    EXPECT_TRUE(Tables().FillRecord(action, id, record)) << "type " << action.type;
    return record;
}

AssignmentRecord Record(DWORD kind, DWORD code)
{
    AssignmentRecord record{};
    record.source = 1;
    record.kind = kind;
    record.SetCode(code);
    return record;
}

} // namespace

TEST(CodeTables, ProgramWideObjectIsFilledOnce)
{
    DestroyCodeTables();
    EXPECT_EQ(CodeTables(), nullptr);
    ConstructCodeTables();
    ASSERT_NE(CodeTables(), nullptr);
    EXPECT_FALSE(CodeTables()->IsFilled());
    EXPECT_EQ(CodeTables()->MiddlewareButtonId(6), 0u);
    FillCodeTables();
    CodeTranslationTables* filled = CodeTables();
    EXPECT_TRUE(filled->IsFilled());
    FillCodeTables();
    EXPECT_EQ(CodeTables(), filled);
    DestroyCodeTables();
    EXPECT_EQ(CodeTables(), nullptr);
    FillCodeTables();   // constructs what is missing
    EXPECT_TRUE(CodeTables()->IsFilled());
}

TEST(CodeTables, ButtonTablesAreInverseForRealButtons)
{
    const CodeTranslationTables& t = Tables();
    std::set<uint32_t> bits, ids;
    for (int32_t button = 1; button <= 25; ++button) {
        if (button == 8 || button == 9)
            continue;
        uint32_t bit = t.ButtonMaskBit(button);
        uint32_t id = t.MiddlewareButtonId(button);
        SCOPED_TRACE(testing::Message() << "button " << button);
        EXPECT_NE(bit, 0u);
        EXPECT_EQ(bit & (bit - 1), 0u) << "one bit per button";
        EXPECT_TRUE(bits.insert(bit).second);
        EXPECT_TRUE(ids.insert(id).second);
        EXPECT_EQ(t.ButtonFromMaskBit(bit), button);
        EXPECT_EQ(t.ButtonFromMiddlewareId(id), button);
    }
    // The side buttons cross over; scroll and DPI buttons land on the middleware's own ids.
    EXPECT_EQ(t.MiddlewareButtonId(6), 7u);
    EXPECT_EQ(t.ButtonMaskBit(6), 64u);
    EXPECT_EQ(t.MiddlewareButtonId(7), 6u);
    EXPECT_EQ(t.ButtonMaskBit(7), 32u);
    EXPECT_EQ(t.MiddlewareButtonId(12), hvmw::kButtonScrollUp);
    EXPECT_EQ(t.MiddlewareButtonId(13), hvmw::kButtonScrollDown);
    EXPECT_EQ(t.MiddlewareButtonId(10), hvmw::kButtonDpiUp);
    EXPECT_EQ(t.MiddlewareButtonId(11), hvmw::kButtonDpiDown);
}

TEST(CodeTables, ButtonTablesOneWayRows)
{
    const CodeTranslationTables& t = Tables();
    // Ids without a middleware button all map to 0, which reads back as program id 0.
    for (int32_t button : {0, 8, 9, 27, 28}) {
        EXPECT_EQ(t.ButtonMaskBit(button), 0u) << button;
        EXPECT_EQ(t.MiddlewareButtonId(button), 0u) << button;
    }
    EXPECT_EQ(t.ButtonFromMaskBit(0), 0);
    EXPECT_EQ(t.ButtonFromMiddlewareId(0), 0);
    // Unknown values on either side.
    EXPECT_EQ(t.ButtonMaskBit(26), 0u);
    EXPECT_EQ(t.MiddlewareButtonId(-1), 0u);
    EXPECT_EQ(t.ButtonFromMaskBit(0x800000), 0);
    EXPECT_EQ(t.ButtonFromMaskBit(3), 0);
    EXPECT_EQ(t.ButtonFromMiddlewareId(24), 0);
}

TEST(CodeTables, MouseEventBitsAreInverse)
{
    const CodeTranslationTables& t = Tables();
    for (uint32_t bit = 1; bit <= 0x200; bit <<= 1) {
        MouseButtonEvent event{};
        ASSERT_TRUE(t.MouseEventFromBit(bit, event)) << bit;
        EXPECT_EQ(t.BitFromMouseEvent(event.button, event.state), bit);
    }
    MouseButtonEvent event{};
    ASSERT_TRUE(t.MouseEventFromBit(0x20, event));
    EXPECT_EQ(event.button, 3);
    EXPECT_EQ(event.state, kKeyStateReleased);
    ASSERT_TRUE(t.MouseEventFromBit(0x100, event));
    EXPECT_EQ(event.button, 5);
    EXPECT_EQ(event.state, kKeyStatePressed);
    // The wheel and unknown buttons or states have no counterpart.
    EXPECT_FALSE(t.MouseEventFromBit(hvmw::kMacroWheel, event));
    EXPECT_FALSE(t.MouseEventFromBit(0, event));
    EXPECT_EQ(t.BitFromMouseEvent(6, kKeyStatePressed), 0u);
    EXPECT_EQ(t.BitFromMouseEvent(1, 0), 0u);
}

TEST(CodeTables, TemplatesReadBackAsTheirTypeExceptTheOneWayRows)
{
    const CodeTranslationTables& t = Tables();
    // Types whose record reads back as another type: by-name and numbered variants of one kind.
    const std::map<int32_t, int32_t> oneWay = {
        {7, 6}, {17, 16}, {18, 16}, {19, 16}, {20, 16}, {23, 22}, {26, 22}, {27, 22}, {28, 22}, {29, 22}, {30, 22}};
    int templates = 0;
    for (int32_t type = -1; type <= 70; ++type) {
        AssignmentRecord record{};
        if (!t.GetTemplate(type, record))
            continue;
        ++templates;
        EXPECT_EQ(record.source, 1u) << type;
        EXPECT_EQ(record.id, 0u) << type;
        auto it = oneWay.find(type);
        EXPECT_EQ(t.TypeOfRecord(record), it == oneWay.end() ? type : it->second) << type;
    }
    EXPECT_EQ(templates, 32);

    // The meaning of a few function codes and operations on the middleware's side.
    auto codeOf = [&](int32_t type) {
        AssignmentRecord r{};
        t.GetTemplate(type, r);
        return r.Code();
    };
    EXPECT_EQ(codeOf(kActionDoubleClick), hvmw::kFnDoubleClick);
    EXPECT_EQ(codeOf(kActionBackward), hvmw::kFnBackward);
    EXPECT_EQ(codeOf(kActionForward), hvmw::kFnForward);
    EXPECT_EQ(codeOf(kActionStageUp), hvmw::kFnDpiUp);
    EXPECT_EQ(codeOf(kActionStageDown), hvmw::kFnDpiDown);
    EXPECT_EQ(codeOf(kActionProfileUp), hvmw::kProfileOpNext);
    EXPECT_EQ(codeOf(kActionProfileDown), hvmw::kProfileOpPrevious);
}

TEST(CodeTables, RecordsNoTemplateMatches)
{
    const CodeTranslationTables& t = Tables();
    // Function codes the program does not know, and kinds it has no template of.
    for (DWORD code : {hvmw::kFnButton6, hvmw::kFnStopMacros, hvmw::kFnProfileDown, 99ul}) {
        AssignmentAction a = t.ReadRecord(Record(hvmw::kKindFunction, code));
        EXPECT_EQ(a.type, kActionNone) << code;
        EXPECT_EQ(a, AssignmentAction());
    }
    EXPECT_EQ(t.TypeOfRecord(Record(hvmw::kKindNone, 0)), kActionNone);
    EXPECT_EQ(t.TypeOfRecord(Record(hvmw::kKindMacro, 0)), kActionNone);
    EXPECT_EQ(t.TypeOfRecord(Record(hvmw::kKindProfile, hvmw::kProfileOpNone)), kActionNone);
    EXPECT_EQ(t.TypeOfRecord(Record(hvmw::kKindDpi, hvmw::kDpiOpUp)), kActionNone);
    EXPECT_EQ(t.TypeOfRecord(Record(7, 0)), kActionNone);

    // Types without a template write nothing.
    const int32_t noTemplate[] = {kActionNone, kActionDefaultKey, 11, 31, kActionLaunchByName, kActionApmEvent};
    for (int32_t type : noTemplate) {
        AssignmentRecord record = Record(hvmw::kKindFunction, 42);
        EXPECT_FALSE(t.FillRecord(AssignmentAction(type), 5, record)) << type;
        EXPECT_EQ(record.Code(), 42u);
        EXPECT_EQ(record.id, 0u);
    }
}

TEST(CodeTables, MacroRecordsCarryGuidAndRepeatMode)
{
    const CodeTranslationTables& t = Tables();
    struct Mode
    {
        int32_t play;
        BYTE repeat;
    };
    for (Mode m : {Mode{kPlayOnce, 1}, Mode{kPlayCount, 2}, Mode{kPlayUntilPressedAgain, 4}, Mode{kPlayWhileHeld, 3}}) {
        AssignmentAction action(kActionMacro, kGuid);
        action.playMode = m.play;
        action.repeatCount = 9;
        AssignmentRecord record = Write(action, 3);
        EXPECT_EQ(record.kind, hvmw::kKindMacroRepeat);
        EXPECT_EQ(record.id, 3u);
        EXPECT_TRUE(hv::IsEqualGUID(record.TargetGuid(), kGuid));
        EXPECT_EQ(record.RepeatMode(), m.repeat) << m.play;
        EXPECT_EQ(record.RepeatCount(), 9);
        EXPECT_EQ(record.Word30(), 0);
        EXPECT_EQ(t.ReadRecord(record), action) << m.play;
    }
    // Unknown modes on either side become 0.
    AssignmentAction odd(kActionMacro, kGuid);
    odd.playMode = 5;
    EXPECT_EQ(Write(odd).RepeatMode(), 0);
    AssignmentRecord stored = Write(AssignmentAction(kActionMacro, kGuid));
    stored.SetRepeatMode(7);
    EXPECT_EQ(t.ReadRecord(stored).playMode, 0);

    // A macro named but not yet on the device has no GUID; its name never leaks into the record.
    AssignmentAction byName = AssignmentAction::ByName(kActionMacroByName, L"Macro with a long name");
    byName.playMode = kPlayCount;
    byName.repeatCount = 300;   // the record keeps one byte
    AssignmentRecord named = Write(byName);
    EXPECT_TRUE(hv::IsNullGUID(named.TargetGuid()));
    EXPECT_EQ(named.RepeatCount(), 300 & 0xFF);
    EXPECT_EQ(t.ReadRecord(named).type, kActionMacro);
}

TEST(CodeTables, ProfileAndApplicationRecords)
{
    const CodeTranslationTables& t = Tables();
    AssignmentRecord profile = Write(AssignmentAction(kActionProfile, kGuid));
    EXPECT_EQ(profile.kind, hvmw::kKindProfile);
    EXPECT_EQ(profile.Code(), hvmw::kProfileOpById);
    EXPECT_TRUE(hv::IsEqualGUID(profile.ProfileGuid(), kGuid));
    EXPECT_EQ(t.ReadRecord(profile), AssignmentAction(kActionProfile, kGuid));

    EXPECT_TRUE(hv::IsNullGUID(Write(AssignmentAction::ByName(kActionProfileByName, L"Gaming")).ProfileGuid()));
    AssignmentRecord next = Write(AssignmentAction(kActionProfileUp));
    EXPECT_TRUE(hv::IsNullGUID(next.ProfileGuid()));
    EXPECT_EQ(t.ReadRecord(next), AssignmentAction(kActionProfileUp));

    AssignmentRecord app = Write(AssignmentAction(kActionLaunch, kGuid));
    EXPECT_EQ(app.kind, hvmw::kKindApplication);
    EXPECT_TRUE(hv::IsEqualGUID(app.TargetGuid(), kGuid));
    EXPECT_EQ(app.Word28(), 1u);
    EXPECT_EQ(t.ReadRecord(app), AssignmentAction(kActionLaunch, kGuid));
}

TEST(CodeTables, DpiRecords)
{
    const CodeTranslationTables& t = Tables();
    // A numbered stage type names its stage; the stage travels back in the action of type 16.
    for (int32_t type = kActionDpiStage1; type <= kActionDpiStage5; ++type) {
        AssignmentRecord record = Write(AssignmentAction(type));
        EXPECT_EQ(record.Code(), hvmw::kDpiOpStage);
        EXPECT_EQ(record.Stage(), static_cast<DWORD>(type - kActionDpiStage1));
        AssignmentAction read = t.ReadRecord(record);
        EXPECT_EQ(read.type, kActionDpiStage1);
        AssignmentRecord again = Write(read);
        EXPECT_EQ(again.Stage(), record.Stage()) << type;
    }
    AssignmentRecord temporary = Write([] {
        AssignmentAction a(kActionTemporaryDpi);
        a.payload.dpi.first = 400;
        a.payload.dpi.second = 0xFFFF;
        return a;
    }());
    EXPECT_EQ(temporary.Code(), hvmw::kDpiOpTemporary);
    EXPECT_EQ(temporary.Value24(), 400);
    EXPECT_EQ(temporary.Value26(), 0xFFFF);
    AssignmentAction read = t.ReadRecord(temporary);
    EXPECT_EQ(read.type, kActionTemporaryDpi);
    EXPECT_EQ(read.payload.dpi.first, 400);
    EXPECT_EQ(read.payload.dpi.second, 0xFFFF);
}

TEST(CodeTables, SingleKeyRecords)
{
    const CodeTranslationTables& t = Tables();
    for (uint8_t flags = 0; flags < 16; ++flags) {
        AssignmentAction key = AssignmentAction::Key(kActionSingleKey, 0x1E, 0, flags);
        AssignmentRecord record = Write(key, 0x1E);
        EXPECT_EQ(record.kind, hvmw::kKindKey);
        EXPECT_EQ(record.MakeCode(), 0x1E);
        EXPECT_EQ(record.Modifiers(), ModifiersFromKeyFlags(flags));
        EXPECT_EQ(t.ReadRecord(record), key) << int(flags);
    }
    AssignmentRecord ctrlShift = Write(AssignmentAction::Key(kActionSingleKey, 0x2E, 0, kKeyFlagCtrl | kKeyFlagShift));
    EXPECT_EQ(ctrlShift.Modifiers(), hvmw::kModCtrl | hvmw::kModShift);

    // Pause and Num Lock share make code 69: the extended bit tells them apart on the device.
    AssignmentAction pause = AssignmentAction::Key(kActionSingleKey, 69, VK_PAUSE, 0);
    AssignmentRecord pauseRecord = Write(pause);
    EXPECT_EQ(pauseRecord.Modifiers(), hvmw::kModExtended);
    EXPECT_EQ(t.ReadRecord(pauseRecord), pause);
    AssignmentAction numLock = AssignmentAction::Key(kActionSingleKey, 69, VK_NUMLOCK, kKeyFlagCtrl);
    EXPECT_EQ(t.ReadRecord(Write(numLock)), numLock);

    // One way: the virtual key does not travel for other keys, and a bare 69 reads as Num Lock.
    EXPECT_EQ(t.ReadRecord(Write(AssignmentAction::Key(kActionSingleKey, 0x1E, 'A', 0))),
              AssignmentAction::Key(kActionSingleKey, 0x1E, 0, 0));
    EXPECT_EQ(t.ReadRecord(Write(AssignmentAction::Key(kActionSingleKey, 69, 0, 0))),
              AssignmentAction::Key(kActionSingleKey, 69, VK_NUMLOCK, 0));
    EXPECT_EQ(t.ReadRecord(Write(AssignmentAction::Key(kActionSingleKey, 69, 0, kKeyFlagExtended))),
              AssignmentAction::Key(kActionSingleKey, 69, VK_PAUSE, 0));
}

TEST(CodeTables, FixedConversions)
{
    for (int32_t index = 0; index <= 2; ++index)
        EXPECT_EQ(PollingRateIndexFromCode(PollingRateCodeFromIndex(index)), index);
    EXPECT_EQ(PollingRateCodeFromIndex(0), hvmw::kRate125Hz);
    EXPECT_EQ(PollingRateCodeFromIndex(2), hvmw::kRate1000Hz);
    EXPECT_EQ(PollingRateCodeFromIndex(3), -1);
    EXPECT_EQ(PollingRateCodeFromIndex(-1), -1);
    EXPECT_EQ(PollingRateIndexFromCode(4), -1);
    EXPECT_EQ(PollingRateIndexFromCode(0), -1);

    for (int id = 1; id <= 11; ++id)
        EXPECT_EQ(LedIdFromIndex(LedIndexFromId(id)), id);
    EXPECT_EQ(LedIndexFromId(hvmw::kLedSideStripe), 10);
    EXPECT_EQ(LedIndexFromId(0), -1);
    EXPECT_EQ(LedIndexFromId(12), -1);
    EXPECT_EQ(LedIdFromIndex(11), -1);
    EXPECT_EQ(LedIdFromIndex(-1), -1);

    for (int32_t effect = 1; effect <= 5; ++effect)
        EXPECT_EQ(NormalizeLightingEffect(effect), effect);
    for (int32_t effect : {0, 6, -1, 255})
        EXPECT_EQ(NormalizeLightingEffect(effect), 0);

    for (uint8_t flags = 0; flags < 16; ++flags)
        EXPECT_EQ(KeyFlagsFromModifiers(ModifiersFromKeyFlags(flags)), flags);
    EXPECT_EQ(KeyFlagsFromModifiers(0xF1FFFFFF), kKeyFlagExtended);   // only the four modifier bits count

    for (int32_t mode = 1; mode <= 4; ++mode)
        EXPECT_EQ(PlayModeFromRepeatMode(RepeatModeFromPlayMode(mode)), mode);
    EXPECT_EQ(RepeatModeFromPlayMode(kPlayUntilPressedAgain), hvmw::kRepeatUntilPressed);
    EXPECT_EQ(PlayModeFromRepeatMode(hvmw::kRepeatWhileHeld), kPlayWhileHeld);
}
