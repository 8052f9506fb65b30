// The pieces of the tests that fail middleware calls of reads and writes one at a time: the calls a
// read or a write makes, taken from the simulator's journal; a fault rule that fails exactly one of
// them; a device changed in every value; and the walks that fail each call of an Init and of a read
// in turn (a read either fails and leaves the configuration as it was, or equals a clean read, or
// a shorter one where a failed indexed call ended a list; a write-back of what it leaves loses
// nothing on the device and writes nothing the device did not hold).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "model/CodeTables.h"
#include "model/DeviceSteps.h"
#include "DevicesFixture.h"
#include "model/Keyboard.h"
#include "model/KeyboardConfig.h"
#include "core/KeyboardDef.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "mwsim/SimStore.h"
#include "platform/WStr.h"

namespace devtest {

using mwsim::Dev;

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
inline std::vector<CMiddlewareCall> CallsOf(const std::function<void()>& act)
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
inline void FailOnly(const CMiddlewareCall& call, HRESULT hr = E_FAIL)
{
    ChangeState([&](mwsim::SimState& s) {
        s.faults.clear();
        if (call.nth > 1)
            s.faults.push_back({call.device, call.method, S_OK, call.nth - 1});
        s.faults.push_back({call.device, call.method, hr, 1});
    });
}

// The indexed calls that walk a device's list: whatever code they fail with ends the list.
inline bool IsListWalk(const CMiddlewareCall& call)
{
    static const wchar_t* const walks[] = {L"IProfileManager.GetProfile", L"ILedCollection.GetLed",
                                           L"IMacroManager.GetMacro", L"IApplicationList.GetApplication",
                                           L"IApm.GetLevel", L"IDeviceEnumerator.EnumDevice"};
    return std::any_of(std::begin(walks), std::end(walks), [&](const wchar_t* m) { return call.method == m; });
}

// The code the simulator ends its lists with, and its text for traces.
inline void SetListEnd(HRESULT code)
{
    ChangeState([&](mwsim::SimState& s) { s.listEnd = code; });
}

inline std::string ListEndText(HRESULT code)
{
    return code == E_INVALIDARG ? "lists end in E_INVALIDARG" : "lists end in HVMW_E_NO_MORE_ITEMS";
}

// Each line of dump is the line at its place in one of the allowed dumps (which list the same
// items): the device holds nothing that none of them held.
inline void ExpectEachLineFrom(const std::wstring& dump, const std::vector<std::wstring>& allowed)
{
    const std::vector<std::wstring> lines = LinesStartingWith(dump, L"");
    for (const std::wstring& other : allowed) {
        const std::vector<std::wstring> expected = LinesStartingWith(other, L"");
        ASSERT_EQ(expected.size(), lines.size()) << "the device's items changed:\n"
                                                 << wstr::WideToUtf8(dump) << "\nexpected items as in:\n"
                                                 << wstr::WideToUtf8(other);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool known = std::any_of(allowed.begin(), allowed.end(), [&](const std::wstring& other) {
            return LinesStartingWith(other, L"")[i] == lines[i];
        });
        EXPECT_TRUE(known) << "a value neither held: " << wstr::WideToUtf8(lines[i]);
    }
}

// Whether every fault rule was used up (the failing call came); removes them.
inline bool FailureCame()
{
    bool used = false;
    ChangeState([&](mwsim::SimState& s) {
        used = s.faults.empty();
        s.faults.clear();
    });
    return used;
}

inline mwsim::DeviceState DeviceNow(Dev dev)
{
    mwsim::CSession session;
    return session.State().Of(dev);
}

inline void SetDevice(Dev dev, const mwsim::DeviceState& device)
{
    ChangeState([&](mwsim::SimState& s) { s.Of(dev) = device; });
}

// The dump the simulator would give with device in place of dev's state.
inline std::wstring DumpOf(Dev dev, const mwsim::DeviceState& device)
{
    mwsim::CSession session;
    mwsim::SimState state = session.State();
    state.Of(dev) = device;
    return mwsim::Dump(state, dev);
}

inline AssignmentRecord* RecordOf(mwsim::ProfileState& profile, DWORD id)
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
inline void ChangeEverything(Dev dev, mwsim::DeviceState& d)
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
inline mwsim::DeviceState WithUnseenItems(Dev dev, mwsim::DeviceState before, const mwsim::DeviceState& changed)
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

// A test of its own simulated devices (named after the test) with the keyboard definition and the
// code tables loaded, and the walks that fail each call of an Init and of a read in turn.
class CReadFaultsTest : public ::testing::Test
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

} // namespace devtest
