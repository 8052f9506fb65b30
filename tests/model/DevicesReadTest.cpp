// Reading a device when the middleware fails part way: every call of a mouse and a keyboard read
// (and of their Init) failed in turn through the simulator's fault rules, the list of calls taken
// from the simulator's journal of a clean read, once with lists that end in HVMW_E_NO_MORE_ITEMS and
// once with lists that end in E_INVALIDARG. A failed indexed call ends its list whatever its code;
// any other failed call fails the read, which leaves the configuration as it was; a read that
// succeeds equals a clean read, or a shorter one where a list ended early; a write-back of what it
// leaves loses nothing on the device and writes nothing the device did not hold. A list cut short
// at start-up leaves the unread lights and profiles as the device holds them through a write. And
// every call of a read and of a write failed once in turn: the device never ends up with a value
// that neither it nor the user had, and the write tells whether it failed. Also: device records
// the program cannot translate go back unchanged, a cleared linked program reads as cleared, and a
// write keeps the device items no read showed the configuration.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "CodeTables.h"
#include "DeviceSteps.h"
#include "DevicesSim.h"
#include "Keyboard.h"
#include "KeyboardConfig.h"
#include "KeyboardDef.h"
#include "Mouse.h"
#include "MouseConfig.h"
#include "SimStore.h"
#include "WStr.h"

using namespace devtest;
using mwsim::Dev;

namespace {

// One middleware call as the simulator's journal names it: the device ("mouse", "keyboard", or
// "root" for the enumerator), the method, and which call of that method on that device it is.
struct CMiddlewareCall
{
    std::wstring device;
    std::wstring method;
    int nth = 0;

    std::string Text() const { return wstr::WideToUtf8(device + L" " + method + L" #") + std::to_string(nth); }
};

// The calls act() makes, in order, from the simulator's journal of every call.
std::vector<CMiddlewareCall> CallsOf(const std::function<void()>& act)
{
    ClearJournal();
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
    act();
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);
    std::vector<CMiddlewareCall> calls;
    std::map<std::wstring, int> seen;
    for (const std::wstring& line : Journal()) {
        CMiddlewareCall call;
        std::wistringstream(line) >> call.device >> call.method;
        call.nth = ++seen[call.device + L" " + call.method];
        calls.push_back(call);
    }
    return calls;
}

// Makes exactly that call fail: a pass-through rule takes the calls of its method before it.
void FailOnly(const CMiddlewareCall& call, HRESULT hr = E_FAIL)
{
    ChangeState([&](mwsim::SimState& s) {
        s.faults.clear();
        if (call.nth > 1)
            s.faults.push_back({call.device, call.method, S_OK, call.nth - 1});
        s.faults.push_back({call.device, call.method, hr, 1});
    });
}

// The indexed calls that walk a device's list: whatever code they fail with ends the list.
bool IsListWalk(const CMiddlewareCall& call)
{
    static const wchar_t* const walks[] = {L"IProfileManager.GetProfile", L"ILedCollection.GetLed",
                                           L"IMacroManager.GetMacro", L"IApplicationList.GetApplication",
                                           L"IApm.GetLevel", L"IDeviceEnumerator.EnumDevice"};
    return std::any_of(std::begin(walks), std::end(walks), [&](const wchar_t* m) { return call.method == m; });
}

// The code the simulator ends its lists with, and its text for traces.
void SetListEnd(HRESULT code)
{
    ChangeState([&](mwsim::SimState& s) { s.listEnd = code; });
}

std::string ListEndText(HRESULT code)
{
    return code == E_INVALIDARG ? "lists end in E_INVALIDARG" : "lists end in HVMW_E_NO_MORE_ITEMS";
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Each line of dump is the line at its place in one of the allowed dumps (which list the same
// items): the device holds nothing that none of them held.
void ExpectEachLineFrom(const std::wstring& dump, const std::vector<std::wstring>& allowed)
{
    const std::vector<std::wstring> lines = SplitLines(dump);
    for (const std::wstring& other : allowed) {
        const std::vector<std::wstring> expected = SplitLines(other);
        ASSERT_EQ(expected.size(), lines.size()) << "the device's items changed:\n"
                                                 << wstr::WideToUtf8(dump) << "\nexpected items as in:\n"
                                                 << wstr::WideToUtf8(other);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool known = std::any_of(allowed.begin(), allowed.end(),
                                       [&](const std::wstring& other) { return SplitLines(other)[i] == lines[i]; });
        EXPECT_TRUE(known) << "a value neither held: " << wstr::WideToUtf8(lines[i]);
    }
}

// Whether every fault rule was used up (the failing call came); removes them.
bool FailureCame()
{
    bool used = false;
    ChangeState([&](mwsim::SimState& s) {
        used = s.faults.empty();
        s.faults.clear();
    });
    return used;
}

mwsim::DeviceState DeviceNow(Dev dev)
{
    mwsim::CSession session;
    return session.State().Of(dev);
}

void SetDevice(Dev dev, const mwsim::DeviceState& device)
{
    ChangeState([&](mwsim::SimState& s) { s.Of(dev) = device; });
}

// The dump the simulator would give with device in place of dev's state.
std::wstring DumpOf(Dev dev, const mwsim::DeviceState& device)
{
    mwsim::CSession session;
    mwsim::SimState state = session.State();
    state.Of(dev) = device;
    return mwsim::Dump(state, dev);
}

AssignmentRecord* RecordOf(mwsim::ProfileState& profile, DWORD id)
{
    for (AssignmentRecord& r : profile.assignments)
        if (r.id == id)
            return &r;
    ADD_FAILURE() << "no record of id " << id;
    static AssignmentRecord none;
    return &none;
}

// Every value a read takes from the device changed, and one item of each list added at its end
// that the configuration has not seen.
void ChangeEverything(Dev dev, mwsim::DeviceState& d)
{
    for (size_t i = 0; i < d.profiles.size(); ++i) {
        mwsim::ProfileState& p = d.profiles[i];
        p.name += L" changed";
        p.appPath = L"changed" + std::to_wstring(i) + L".exe";
        // Automatic switch and on-screen profile; the on-screen DPI bit only where there is DPI.
        p.flags ^= dev == Dev::Mouse ? 0x7 : 0x5;
        for (mwsim::LedState& led : p.leds) {
            led.on ^= 1;
            led.color ^= 0x00A0A0;
            led.brightness = 40 + static_cast<int>(i);
            led.effect = 2;
        }
        if (dev == Dev::Mouse) {
            for (DpiValue& v : p.dpi.stages)
                v.x = v.y = v.x - 100;
            p.dpi.activeStage = 2;
            p.dpi.active = p.dpi.stages[1];
            RecordOf(p, hvmw::kButton4)->SetCode(hvmw::kFnForward);
        } else {
            RecordOf(p, 0x1E)->SetMakeCode(0x30);
        }
    }
    d.activeProfile = d.profiles[1].id;
    d.profiles.push_back(mwsim::FactoryProfile(dev, mwsim::NewGuid(dev, d, mwsim::kGuidProfile), L"Unseen"));
    if (dev == Dev::Mouse) {
        d.macros[0].name += L" changed";
        d.macros[0].events.push_back(MacroEventRecord::Delay(70));
        d.pollingCode = hvmw::kRate1000Hz;
        d.accelEnabled ^= 1;
        d.accelLevel = 8;
    } else {
        d.apps[0].name = L"C:\\changed.exe";
        mwsim::AppState app;
        app.id = mwsim::NewGuid(dev, d, mwsim::kGuidApp);
        app.name = L"C:\\unseen.exe";
        d.apps.push_back(app);
    }
    mwsim::MacroState macro;
    macro.id = mwsim::NewGuid(dev, d, mwsim::kGuidMacro);
    macro.name = L"Unseen";
    macro.events = {MacroEventRecord::Delay(5)};
    d.macros.push_back(macro);
}

// The items ChangeEverything added, added to before.
mwsim::DeviceState WithUnseenItems(Dev dev, mwsim::DeviceState before, const mwsim::DeviceState& changed)
{
    before.profiles.push_back(changed.profiles.back());
    before.macros.push_back(changed.macros.back());
    if (dev == Dev::Keyboard)
        before.apps.push_back(changed.apps.back());
    return before;
}

struct CMouseKind
{
    using Device = CMouse;
    using Config = CVxConfig_Mouse;
    static constexpr Dev kDev = Dev::Mouse;
    static const DeviceDescriptor& Descriptor() { return g_MouseDescriptor; }
};

struct CKeyboardKind
{
    using Device = CKeyboard;
    using Config = CVxConfig_Keyboard;
    static constexpr Dev kDev = Dev::Keyboard;
    static const DeviceDescriptor& Descriptor() { return g_KeyboardDescriptor; }
};

template <class Kind>
struct CReader
{
    std::unique_ptr<typename Kind::Device> device = std::make_unique<typename Kind::Device>(Kind::Descriptor());
    std::unique_ptr<typename Kind::Config> config = std::make_unique<typename Kind::Config>();

    bool Read() { return device->Transfer(config.get(), kTransferRead, kTransferAll); }
    bool InitAndRead() { return device->Init(config.get()) && Read(); }
    bool WriteBack()
    {
        return device->Transfer(config.get(), kTransferWrite, kTransferAll) &&
               WaitWhileBusy([&] { return device->IsBusy(); });
    }
    std::wstring Text() { return Describe(*config); }
};

class DevicesRead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseOwnDevices(wstr::Utf8ToWide(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        LoadKeyboardDefinition();
        FillCodeTables();
    }

    // Each call of Init on an empty configuration failed in turn: Init fails and the
    // configuration stays empty, or it equals a clean Init.
    // A failed indexed call of the device ends that list instead: Init succeeds with the profiles
    // listed before it.
    template <class Kind>
    void FailEachCallOfInit()
    {
        std::wstring clean;
        int profiles = 0;
        const std::vector<CMiddlewareCall> calls = CallsOf([&] {
            CReader<Kind> reader;
            EXPECT_TRUE(reader.device->Init(reader.config.get()));
            clean = reader.Text();
            profiles = reader.config->GetProfileCount();
        });
        ASSERT_GT(calls.size(), 10u);
        const std::wstring empty = CReader<Kind>().Text();
        for (const CMiddlewareCall& call : calls) {
            SCOPED_TRACE(call.Text());
            CReader<Kind> reader;
            FailOnly(call);
            const bool ok = reader.device->Init(reader.config.get());
            ASSERT_TRUE(FailureCame()) << "the call did not come";
            if (call.method == L"IProfileManager.GetProfile") {
                EXPECT_TRUE(ok);
                EXPECT_EQ(std::min(call.nth - 1, profiles), reader.config->GetProfileCount());
            } else {
                EXPECT_EQ(ok ? clean : empty, reader.Text());
            }
        }
    }

    // Each call of a read failed in turn. The configuration was read from the device before
    // every value of the device changed and items were added to its lists: a read that fails
    // leaves that configuration, one that succeeds equals a clean read of the changed device. A
    // write-back after a failed read puts the configuration's values back and keeps the items it
    // never read; after a good read it leaves the device as it is.
    template <class Kind>
    void FailEachCallOfRead()
    {
        const Dev dev = Kind::kDev;
        const mwsim::DeviceState before = DeviceNow(dev);
        CReader<Kind> tested, twin;
        ASSERT_TRUE(tested.InitAndRead());
        ASSERT_TRUE(twin.InitAndRead());
        const std::wstring original = tested.Text();
        mwsim::DeviceState changed = before;
        ChangeEverything(dev, changed);
        SetDevice(dev, changed);
        const std::wstring changedDump = Dump(dev);

        bool cleanRead = false;
        const std::vector<CMiddlewareCall> calls = CallsOf([&] { cleanRead = twin.Read(); });
        ASSERT_TRUE(cleanRead);
        const std::wstring clean = twin.Text();
        ASSERT_GT(calls.size(), 100u);
        // Every profile reads differently from before, so a partial read cannot pass for none.
        ASSERT_EQ(tested.config->GetProfileCount(), twin.config->GetProfileCount());
        for (int i = 0; i < tested.config->GetProfileCount(); ++i)
            EXPECT_NE(tested.config->GetProfile(i)->GetName(), twin.config->GetProfile(i)->GetName());
        ASSERT_NE(original, clean);

        const std::wstring originalBack = DumpOf(dev, WithUnseenItems(dev, before, changed));
        const std::map<std::wstring, std::wstring> afterWriteBack = {{clean, changedDump}, {original, originalBack}};
        // A write-back depends only on the configuration, the device's state and what the device
        // object was shown by reads: each distinct outcome of a read is written back once.
        std::set<std::wstring> writtenBack;
        int failed = 0;
        for (const CMiddlewareCall& call : calls) {
            SCOPED_TRACE(call.Text());
            FailOnly(call);
            const bool ok = tested.Read();
            ASSERT_TRUE(FailureCame()) << "the call did not come";
            const std::wstring read = tested.Text();
            const bool listEnded = IsListWalk(call) && call.device == mwsim::DevName(dev);
            if (listEnded) {
                // The list ends there: the read takes what came before (all of it when this was
                // the call past its end).
                EXPECT_TRUE(ok);
            } else {
                EXPECT_EQ(ok ? clean : original, read);
            }
            ASSERT_EQ(changedDump, Dump(dev)) << "a read changed the device";
            // Only a call about another device (the information of a device passed over while
            // looking for this one) may fail without failing the read.
            if (ok && !listEnded) {
                EXPECT_NE(std::wstring(mwsim::DevName(dev)), call.device) << "a failed call went unnoticed";
            }
            failed += ok ? 0 : 1;
            if (writtenBack.insert(read).second) {
                // A list cut short: what the read reached goes back as the device holds it, the
                // rest as the earlier read left it; nothing is deleted or made.
                ASSERT_TRUE(tested.WriteBack());
                const auto expected = afterWriteBack.find(read);
                if (expected != afterWriteBack.end())
                    EXPECT_EQ(expected->second, Dump(dev));
                else
                    ExpectEachLineFrom(Dump(dev), {changedDump, originalBack});
                SetDevice(dev, changed);
            }
            if (ok) {
                // Back to a configuration and a device object that know the device as it was.
                SetDevice(dev, before);
                tested = CReader<Kind>();
                ASSERT_TRUE(tested.InitAndRead());
                SetDevice(dev, changed);
            }
        }
        EXPECT_GT(failed, 0);
        EXPECT_EQ(1u, writtenBack.count(original));
        // The clean read written back leaves the changed device as it is.
        ASSERT_TRUE(twin.WriteBack());
        EXPECT_EQ(changedDump, Dump(dev));
    }

    CComApartment m_com;
};

} // namespace

TEST_F(DevicesRead, EachCallOfAMouseReadFailedInTurn)
{
    FailEachCallOfInit<CMouseKind>();
    FailEachCallOfRead<CMouseKind>();
}

TEST_F(DevicesRead, EachCallOfAMouseReadFailedInTurnWithListsEndingInInvalidArg)
{
    SetListEnd(E_INVALIDARG);
    FailEachCallOfInit<CMouseKind>();
    FailEachCallOfRead<CMouseKind>();
}

TEST_F(DevicesRead, EachCallOfAKeyboardReadFailedInTurn)
{
    FailEachCallOfInit<CKeyboardKind>();
    FailEachCallOfRead<CKeyboardKind>();
}

TEST_F(DevicesRead, EachCallOfAKeyboardReadFailedInTurnWithListsEndingInInvalidArg)
{
    SetListEnd(E_INVALIDARG);
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

namespace {

// The device with every value changed from the factory's and items the program never made, so
// that a default written over it shows.
template <class Kind>
mwsim::DeviceState SeedChangedDevice()
{
    ChangeState([](mwsim::SimState& s) { mwsim::ResetDevice(s, Kind::kDev); });
    mwsim::DeviceState d = DeviceNow(Kind::kDev);
    ChangeEverything(Kind::kDev, d);
    SetDevice(Kind::kDev, d);
    return d;
}

// Lists cut short during the start-up read (a light list, the profile list), with either code:
// the read succeeds with what came before, and a write leaves the lights and profiles it did not
// reach exactly as the device holds them.
template <class Kind>
void CutListsAtStartUp()
{
    const Dev dev = Kind::kDev;
    for (HRESULT code : {HVMW_E_NO_MORE_ITEMS, E_INVALIDARG}) {
        for (const CMiddlewareCall& cut : {CMiddlewareCall{mwsim::DevName(dev), L"ILedCollection.GetLed", 1},
                                           CMiddlewareCall{mwsim::DevName(dev), L"ILedCollection.GetLed", 6},
                                           CMiddlewareCall{mwsim::DevName(dev), L"IProfileManager.GetProfile", 3}}) {
            SCOPED_TRACE(ListEndText(code) + ", cut at " + cut.Text());
            SeedChangedDevice<Kind>();
            const std::wstring before = Dump(dev);
            CReader<Kind> reader;
            ASSERT_TRUE(reader.device->Init(reader.config.get()));
            FailOnly(cut, code);
            ASSERT_TRUE(reader.Read());
            ASSERT_TRUE(FailureCame());
            ASSERT_TRUE(reader.WriteBack());
            EXPECT_EQ(kWriteSucceeded, reader.device->TakeWriteOutcome(true));
            EXPECT_EQ(before, Dump(dev));
        }
    }
}

// Each kind of call of a start-up read (Init and read) and of a write failed once, the first call
// of its kind, while the user changes one light's colour: the device ends up holding, value by
// value, what it held or what the user set, and the write reports failure exactly when a call of
// it failed (a failed indexed call ends a list, which is no failure).
template <class Kind>
void FailEachKindOfCallOnce(int led, int ledId)
{
    const Dev dev = Kind::kDev;
    constexpr COLORREF kUserColor = 0x123456;
    const mwsim::DeviceState seeded = SeedChangedDevice<Kind>();
    const std::wstring before = Dump(dev);
    mwsim::DeviceState withChange = seeded;
    for (mwsim::LedState& l : withChange.profiles[0].leds)
        if (l.id == ledId)
            l.color = kUserColor;
    const std::wstring changed = DumpOf(dev, withChange);
    ASSERT_NE(before, changed);
    const auto userChange = [&](typename Kind::Config& config) {
        ASSERT_TRUE(config.SetLedColor(led, kUserColor, config.GetProfile(0)));
    };

    const std::vector<CMiddlewareCall> readCalls = CallsOf([&] { EXPECT_TRUE(CReader<Kind>().InitAndRead()); });
    std::vector<CMiddlewareCall> writeCalls;
    {
        CReader<Kind> clean;
        ASSERT_TRUE(clean.InitAndRead());
        userChange(*clean.config);
        writeCalls = CallsOf([&] { EXPECT_TRUE(clean.WriteBack()); });
        EXPECT_EQ(kWriteSucceeded, clean.device->TakeWriteOutcome(true));
        EXPECT_EQ(changed, Dump(dev));
    }
    std::set<std::wstring> seen;
    int tried = 0;
    for (int phase = 0; phase < 2; ++phase) {
        for (const CMiddlewareCall& call : phase == 0 ? readCalls : writeCalls) {
            if (!seen.insert(std::to_wstring(phase) + call.device + L" " + call.method).second)
                continue;
            SCOPED_TRACE((phase == 0 ? "read: " : "write: ") + call.Text());
            ++tried;
            SetDevice(dev, seeded);
            CReader<Kind> reader;
            if (phase == 0)
                FailOnly(call);
            if (!reader.device->Init(reader.config.get())) {
                // Without the device nothing is read and nothing can be written.
                EXPECT_TRUE(FailureCame());
                EXPECT_EQ(before, Dump(dev));
                continue;
            }
            reader.Read();
            userChange(*reader.config);
            if (phase == 1)
                FailOnly(call);
            const bool started = reader.device->Transfer(reader.config.get(), kTransferWrite, kTransferAll);
            EXPECT_TRUE(FailureCame()) << "the call did not come";
            if (!started) {
                // The write could not reach the device: it changed nothing.
                EXPECT_EQ(phase, 1);
                EXPECT_EQ(before, Dump(dev));
                continue;
            }
            ASSERT_TRUE(WaitWhileBusy([&] { return reader.device->IsBusy(); }));
            const WriteOutcome outcome = reader.device->TakeWriteOutcome(true);
            // A failed indexed call of the write ends a list, which fails the write only where
            // something it had to send was not reached.
            if (phase == 0)
                EXPECT_EQ(kWriteSucceeded, outcome);
            else if (!IsListWalk(call))
                EXPECT_EQ(kWriteFailed, outcome);
            ExpectEachLineFrom(Dump(dev), {before, changed});
            if (outcome == kWriteSucceeded)
                EXPECT_EQ(changed, Dump(dev));
        }
    }
    EXPECT_GT(tried, 30);
}

} // namespace

TEST_F(DevicesRead, ListsCutShortAtStartUpAreNotWrittenOver)
{
    CutListsAtStartUp<CMouseKind>();
    CutListsAtStartUp<CKeyboardKind>();
}

TEST_F(DevicesRead, AnyOneCallOfAReadOrAWriteFailedLeavesOnlyValuesTheDeviceOrTheUserHad)
{
    FailEachKindOfCallOnce<CMouseKind>(0, hvmw::kLedScrollWheel);
    FailEachKindOfCallOnce<CKeyboardKind>(4, hvmw::kLedBacklight);
}
