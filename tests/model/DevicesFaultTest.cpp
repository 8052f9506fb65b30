// What a write leaves on a device when a read or the write itself met a failed middleware call: a
// list cut short at start-up (with either code a middleware may end its lists with) leaves the
// lights and profiles the read did not reach as the device holds them, and any one call of a read
// or of a write failed once never leaves a value that neither the device held nor the user set,
// while the write tells whether it failed.
#include "FaultWalks.h"

using namespace devtest;

namespace {

// A call that changes the device (as opposed to one that asks it something).
bool ChangesTheDevice(const CMiddlewareCall& call)
{
    const std::wstring method = call.method.substr(call.method.find(L'.') + 1);
    for (const wchar_t* verb : {L"Set", L"Add", L"Delete", L"Turn", L"Enable", L"Disable"})
        if (method.rfind(verb, 0) == 0)
            return true;
    return false;
}

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

// Each kind of call of a start-up read (Init and read; where reads is set) and of a write failed
// once, the first call of its kind, while the user changes one light's colour: the device ends up
// holding, value by value, what it held or what the user set; a refused change fails the write,
// and a write that reports success has put the user's change on the device.
template <class Kind>
void FailEachKindOfCallOnce(int led, int ledId, bool reads)
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
    // False where the configuration has no first profile (the read listed none) to change.
    const auto userChange = [&](typename Kind::Config& config) {
        auto* first = config.GetProfile(0);
        return first && config.SetLedColor(led, kUserColor, first);
    };

    const std::vector<CMiddlewareCall> readCalls = CallsOf([&] { EXPECT_TRUE(CReader<Kind>().InitAndRead()); });
    std::vector<CMiddlewareCall> writeCalls;
    {
        CReader<Kind> clean;
        ASSERT_TRUE(clean.InitAndRead());
        ASSERT_TRUE(userChange(*clean.config));
        writeCalls = CallsOf([&] { EXPECT_TRUE(clean.WriteBack()); });
        EXPECT_EQ(kWriteSucceeded, clean.device->TakeWriteOutcome(true));
        EXPECT_EQ(changed, Dump(dev));
    }
    std::set<std::wstring> seen;
    int tried = 0;
    for (int phase = reads ? 0 : 1; phase < 2; ++phase) {
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
            const bool userChanged = userChange(*reader.config);
            if (phase == 1)
                FailOnly(call);
            const bool started = reader.device->Transfer(reader.config.get(), kTransferWrite, kTransferAll);
            if (started) {
                ASSERT_TRUE(WaitWhileBusy([&] { return reader.device->IsBusy(); }));
            }
            EXPECT_TRUE(FailureCame()) << "the call did not come";
            if (!started) {
                // The write could not reach the device: it changed nothing.
                EXPECT_EQ(phase, 1);
                EXPECT_EQ(before, Dump(dev));
                continue;
            }
            const WriteOutcome outcome = reader.device->TakeWriteOutcome(true);
            // A refused change always fails the write. A failed question may be made up for (a
            // name that cannot be read is written anyway; a failed indexed call ends a list), but
            // a write that reports success has put every change on the device.
            if (phase == 0) {
                EXPECT_EQ(kWriteSucceeded, outcome);
            } else if (ChangesTheDevice(call)) {
                EXPECT_EQ(kWriteFailed, outcome);
            }
            ExpectEachLineFrom(Dump(dev), {before, changed});
            if (outcome == kWriteSucceeded) {
                EXPECT_EQ(userChanged ? changed : before, Dump(dev));
            }
        }
    }
    EXPECT_GT(tried, reads ? 40 : 20);
}

class DevicesFaults : public CReadFaultsTest
{
};

} // namespace

TEST_F(DevicesFaults, ListsCutShortAtStartUpAreNotWrittenOver)
{
    CutListsAtStartUp<CMouseKind>();
    CutListsAtStartUp<CKeyboardKind>();
}

TEST_F(DevicesFaults, AnyOneCallOfAReadOrAWriteFailedLeavesOnlyValuesTheDeviceOrTheUserHad)
{
    // The keyboard's reads fail in turn, each followed by a write-back, in DevicesReadTest.cpp.
    FailEachKindOfCallOnce<CMouseKind>(0, hvmw::kLedScrollWheel, true);
    FailEachKindOfCallOnce<CKeyboardKind>(4, hvmw::kLedBacklight, false);
}
