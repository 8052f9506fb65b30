// Reading a device when the middleware fails part way: every call of a mouse and a keyboard read
// (and of their Init) failed in turn through the simulator's fault rules, with lists that end in
// HVMW_E_NO_MORE_ITEMS (FaultWalks.h; DevicesListEndTest.cpp runs them with E_INVALIDARG). Also:
// device records the program cannot translate go back unchanged, a cleared linked program reads as
// cleared, and a write keeps the device items no read showed the configuration.
#include "FaultWalks.h"

using namespace devtest;

namespace {

class DevicesRead : public CReadFaultsTest
{
};

} // namespace

TEST_F(DevicesRead, EachCallOfAMouseReadFailedInTurn)
{
    FailEachCallOfInit<CMouseKind>();
    FailEachCallOfRead<CMouseKind>();
}

TEST_F(DevicesRead, EachCallOfAKeyboardReadFailedInTurn)
{
    FailEachCallOfInit<CKeyboardKind>();
    FailEachCallOfRead<CKeyboardKind>();
}

TEST_F(DevicesRead, RecordsTheProgramCannotTranslateGoBackAsTheDeviceHoldsThem)
{
    const GUID someMacro{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    ChangeState([&](mwsim::SimState& s) {
        mwsim::ProfileState& mouse = s.Of(Dev::Mouse).profiles[0];
        RecordOf(mouse, hvmw::kButton4)->SetCode(12);   // a function code no assignment type has
        AssignmentRecord* strange = RecordOf(mouse, 5);
        strange->kind = 7;                              // a kind the program does not know
        strange->payload[0] = 0xAB;
        strange->payload[19] = 0xCD;
        mwsim::ProfileState& keyboard = s.Of(Dev::Keyboard).profiles[0];
        AssignmentRecord* click = RecordOf(keyboard, 0x1E);   // a mouse function on a key
        click->kind = hvmw::kKindFunction;
        click->SetCode(hvmw::kFnClick);
        AssignmentRecord* macro = RecordOf(keyboard, 0x30);   // a macro without repeat
        macro->kind = hvmw::kKindMacro;
        macro->SetTargetGuid(someMacro);
    });
    const std::wstring mouseBefore = Dump(Dev::Mouse);
    const std::wstring keyboardBefore = Dump(Dev::Keyboard);
    CReader<CMouseKind> mouse;
    CReader<CKeyboardKind> keyboard;
    ASSERT_TRUE(mouse.InitAndRead());
    ASSERT_TRUE(keyboard.InitAndRead());
    IMouseProfile* button = mouse.config->GetProfile(0);
    IKeyboardProfile* key = keyboard.config->GetProfile(0);
    const int32_t keyA = HashText(L"a A");
    const int32_t keyB = HashText(L"b B");
    // Nothing shows an action the device does not do.
    for (int32_t id : {4, 5})
        EXPECT_EQ(kActionNone, button->GetButtonAssignment(id).type) << "button " << id;
    EXPECT_EQ(kActionNone, key->GetAssignment(keyA).type);
    EXPECT_EQ(kActionNone, key->GetAssignment(keyB).type);
    EXPECT_EQ(kActionMenu, button->GetButtonAssignment(2).type);

    // Written back unchanged, the device holds what it held.
    ASSERT_TRUE(mouse.WriteBack());
    ASSERT_TRUE(keyboard.WriteBack());
    EXPECT_EQ(mouseBefore, Dump(Dev::Mouse));
    EXPECT_EQ(keyboardBefore, Dump(Dev::Keyboard));

    // A control the user assigns goes out as assigned; the others stay as the device held them,
    // in a copy of the profile too.
    const std::wstring button5 = DumpLine(Dev::Mouse, L" assign 0x00005 ");
    const std::wstring keyB30 = DumpLine(Dev::Keyboard, L" assign 0x00030 ");
    ASSERT_TRUE(button->SetButtonAssignment(4, AssignmentAction(kActionForward)));
    ASSERT_TRUE(key->SetAssignment(keyA, AssignmentAction::Key(kActionSingleKey, 0x10, 0, 0)));
    ASSERT_NE(nullptr, mouse.config->CopyProfile(button, L"Copied"));
    ASSERT_TRUE(mouse.WriteBack());
    ASSERT_TRUE(keyboard.WriteBack());
    EXPECT_EQ(L" assign 0x00004 src 1 kind 1 data 0400000000000000000000000000000000000000",
              DumpLine(Dev::Mouse, L" assign 0x00004 "));
    EXPECT_EQ(button5, DumpLine(Dev::Mouse, L" assign 0x00005 "));
    EXPECT_EQ(button5, DumpLines(Dev::Mouse, L" assign 0x00005 ").back());
    EXPECT_EQ(0u, DumpLine(Dev::Keyboard, L" assign 0x0001E ").find(L" assign 0x0001E src 1 kind 5 data 1000000000"));
    EXPECT_EQ(keyB30, DumpLine(Dev::Keyboard, L" assign 0x00030 "));

    // Read again: the assigned controls read as assigned, the others still as the device's.
    CReader<CMouseKind> again;
    ASSERT_TRUE(again.InitAndRead());
    EXPECT_EQ(kActionForward, again.config->GetProfile(0)->GetButtonAssignment(4).type);
    RawAssignment raw{};
    EXPECT_FALSE(again.config->GetProfile(0)->GetDeviceRecord(4, raw));
    ASSERT_TRUE(again.config->GetProfile(0)->GetDeviceRecord(5, raw));
    EXPECT_EQ(0xAB, raw.bytes[12]);
    EXPECT_EQ(0xCD, raw.bytes[31]);
}

TEST_F(DevicesRead, AClearedLinkedProgramReadsAsCleared)
{
    ChangeState([](mwsim::SimState& s) {
        s.Of(Dev::Mouse).profiles[1].appPath = L"game.exe";
        s.Of(Dev::Keyboard).profiles[1].appPath = L"writer.exe";
    });
    CReader<CMouseKind> mouse;
    CReader<CKeyboardKind> keyboard;
    ASSERT_TRUE(mouse.InitAndRead());
    ASSERT_TRUE(keyboard.InitAndRead());
    EXPECT_EQ(L"game.exe", mouse.config->GetProfile(1)->GetLinkedApplication());
    EXPECT_EQ(L"writer.exe", keyboard.config->GetProfile(1)->GetLinkedApplication());

    // Another program clears the links on the device: the next read clears them here.
    ChangeState([](mwsim::SimState& s) {
        s.Of(Dev::Mouse).profiles[1].appPath.clear();
        s.Of(Dev::Keyboard).profiles[1].appPath.clear();
    });
    ASSERT_TRUE(mouse.Read());
    ASSERT_TRUE(keyboard.Read());
    EXPECT_EQ(L"", mouse.config->GetProfile(1)->GetLinkedApplication());
    EXPECT_EQ(L"", mouse.config->GetProfile(1)->GetLinkedApplicationPath());
    EXPECT_EQ(L"", keyboard.config->GetProfile(1)->GetLinkedApplication());
    EXPECT_FALSE(keyboard.config->GetProfile(1)->GetAutoSwitch());
}

TEST_F(DevicesRead, AWriteKeepsTheDeviceItemsNoReadShowedTheConfiguration)
{
    CReader<CKeyboardKind> keyboard;
    ASSERT_TRUE(keyboard.InitAndRead());
    ASSERT_EQ(1, keyboard.config->GetAppCount());
    ASSERT_EQ(0, keyboard.config->GetMacroCount());
    const std::wstring notepad = GuidText(keyboard.config->GetApp(0)->guid);

    // Another program records a macro and adds an application; the next read cannot read the macro.
    GUID recorded{}, added{};
    ChangeState([&](mwsim::SimState& s) {
        mwsim::DeviceState& d = s.Of(Dev::Keyboard);
        mwsim::MacroState macro;
        macro.id = recorded = mwsim::NewGuid(Dev::Keyboard, d, mwsim::kGuidMacro);
        macro.name = L"New Macro1";
        macro.events = {MacroEventRecord::Delay(10)};
        d.macros.push_back(macro);
        mwsim::AppState app;
        app.id = added = mwsim::NewGuid(Dev::Keyboard, d, mwsim::kGuidApp);
        app.name = L"C:\\other.exe";
        d.apps.push_back(app);
    });
    const std::wstring before = keyboard.Text();
    Fail(L"keyboard", L"IMacro.GetEvents", E_FAIL, 1);
    EXPECT_FALSE(keyboard.Read());
    EXPECT_EQ(before, keyboard.Text());

    // The user lets notepad go and adds a program; the write deletes only what the user let go.
    keyboard.config->RemoveApp(keyboard.config->GetApp(0));
    ASSERT_NE(nullptr, keyboard.config->AddApp(L"C:\\mine.exe"));
    ClearJournal();
    ASSERT_TRUE(keyboard.WriteBack());
    EXPECT_EQ(1, CountLines(Journal(), L"IApplicationList.DeleteApplication"));
    EXPECT_EQ(0, CountLines(Journal(), L"IMacroManager.DeleteMacro"));
    const std::wstring dump = Dump(Dev::Keyboard);
    EXPECT_EQ(std::wstring::npos, dump.find(notepad));
    EXPECT_NE(std::wstring::npos, dump.find(GuidText(recorded) + L" \"New Macro1\""));
    EXPECT_NE(std::wstring::npos, dump.find(GuidText(added)));
    EXPECT_NE(std::wstring::npos, dump.find(L"mine.exe"));

    // Once a read has shown them, letting them go deletes them.
    ASSERT_TRUE(keyboard.Read());
    ASSERT_EQ(1, keyboard.config->GetMacroCount());
    keyboard.config->RemoveMacro(keyboard.config->GetMacro(0));
    keyboard.config->RemoveApp(keyboard.config->FindApp(L"C:\\other.exe"));
    ASSERT_TRUE(keyboard.WriteBack());
    EXPECT_TRUE(DumpLines(Dev::Keyboard, L"macro ").empty());
    EXPECT_EQ(std::wstring::npos, Dump(Dev::Keyboard).find(GuidText(added)));
}
