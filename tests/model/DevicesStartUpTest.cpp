// The devices read at start-up on one shared connection: Init and the read that follows it are one
// pass over the middleware (each call once, one enumerator, one walk over the devices), the pass
// reads what an Init and a read on connections of their own read, and every call of it failed in
// turn leaves the configuration as an Init or a read that failed there would (the list walks end
// the list instead).
#include "FaultWalks.h"

#include "model/SharedConnection.h"

using namespace devtest;

namespace {

class DevicesStartUp : public CReadFaultsTest
{
protected:
    // Init and the read that follows, on one shared connection.
    template <class Kind>
    static void StartUpPass(CReader<Kind>& reader, bool* initOk, bool* readOk)
    {
        CSharedConnection shared;
        *initOk = reader.device->Init(reader.config.get());
        *readOk = *initOk && reader.Read();
    }

    template <class Kind>
    void FailEachCallOfTheStartUpPass()
    {
        const Dev dev = Kind::kDev;
        const std::wstring empty = CReader<Kind>().Text();
        std::wstring initOnly;
        {
            CSharedConnection shared;
            CReader<Kind> reader;
            ASSERT_TRUE(reader.device->Init(reader.config.get()));
            initOnly = reader.Text();
        }
        CReader<Kind> separate;
        ASSERT_TRUE(separate.InitAndRead());

        bool initOk = false, readOk = false;
        std::wstring clean;
        const std::vector<CMiddlewareCall> calls = CallsOf([&] {
            CReader<Kind> reader;
            StartUpPass(reader, &initOk, &readOk);
            clean = reader.Text();
        });
        ASSERT_TRUE(initOk && readOk);
        EXPECT_EQ(separate.Text(), clean) << "the pass read otherwise than an Init and a read of their own";
        ASSERT_GT(calls.size(), 100u);

        const std::wstring dump = Dump(dev);
        for (const CMiddlewareCall& call : calls) {
            SCOPED_TRACE(call.Text());
            CReader<Kind> reader;
            FailOnly(call);
            StartUpPass(reader, &initOk, &readOk);
            ASSERT_TRUE(FailureCame()) << "the call did not come";
            ASSERT_EQ(dump, Dump(dev)) << "a read changed the device";
            if (IsListWalk(call) && call.device == mwsim::DevName(dev))
                continue;  // the list ends there: shorter, not failed
            if (!initOk) {
                EXPECT_EQ(empty, reader.Text()) << "a failed Init changed the configuration";
            } else if (!readOk) {
                EXPECT_EQ(initOnly, reader.Text()) << "a failed read changed what Init made";
            } else {
                EXPECT_EQ(clean, reader.Text());
                // Only a call about another device (one passed over on the walk) may fail unnoticed.
                EXPECT_NE(std::wstring(mwsim::DevName(dev)), call.device) << "a failed call went unnoticed";
            }
        }
    }
};

} // namespace

TEST_F(DevicesStartUp, BothDevicesAreReadOnOneConnectionAndNoCallIsMadeTwice)
{
    CReader<CMouseKind> mouse, separateMouse;
    CReader<CKeyboardKind> keyboard, separateKeyboard;
    ASSERT_TRUE(separateMouse.InitAndRead());
    ASSERT_TRUE(separateKeyboard.InitAndRead());
    int layout = -1;
    ClearJournal();
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
    {
        CSharedConnection shared;
        EXPECT_TRUE(mouse.device->Init(mouse.config.get()));
        EXPECT_TRUE(keyboard.device->Init(keyboard.config.get()));
        EXPECT_TRUE(keyboard.device->GetLayoutCode(&layout));
        EXPECT_TRUE(mouse.Read());
        EXPECT_TRUE(keyboard.Read());
    }
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);
    const std::vector<std::wstring> journal = Journal();
    ASSERT_GT(journal.size(), 200u);
    std::map<std::wstring, int> seen, entries;
    size_t walks = 0, infos = 0;
    std::set<std::wstring> enumerators;
    for (const std::wstring& line : journal) {
        EXPECT_EQ(1, ++seen[line]) << "asked twice: " << wstr::WideToUtf8(line);
        // Of one entry through another object only the active profile's id comes again: the object
        // GetActiveProfile hands back is the one way the middleware tells which profile is active.
        std::wstring call = line;
        if (const size_t at = call.find(L" @"); at != std::wstring::npos)
            call.erase(at, call.find_first_not_of(L"0123456789", at + 2) - at);
        if (++entries[call] > 1) {
            EXPECT_NE(std::wstring::npos, call.find(L" IProfile.GetId ")) << "asked twice: " << wstr::WideToUtf8(line);
        }
        if (line.rfind(L"root ", 0) == 0)
            enumerators.insert(line.substr(line.rfind(L'@')));
        walks += line.find(L"IDeviceEnumerator.EnumDevice 0 ") != std::wstring::npos;
        infos += line.find(L"IDevice.GetDeviceInfo") != std::wstring::npos;
    }
    EXPECT_EQ(1u, enumerators.size());
    EXPECT_EQ(1u, walks);
    EXPECT_EQ(2u, infos) << "each device's information read once";
    // What the pass read is what an Init and a read on connections of their own read.
    EXPECT_EQ(separateMouse.Text(), mouse.Text());
    EXPECT_EQ(separateKeyboard.Text(), keyboard.Text());
    std::wstring firmware, separateFirmware;
    EXPECT_TRUE(mouse.device->GetFirmwareVersion(firmware));
    EXPECT_TRUE(separateMouse.device->GetFirmwareVersion(separateFirmware));
    EXPECT_EQ(separateFirmware, firmware);

    // Once the connection has ended, an operation connects for itself again, and a read reads whole.
    ClearJournal();
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
    EXPECT_TRUE(mouse.Read());
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);
    const std::vector<std::wstring> again = Journal();
    EXPECT_EQ(1, std::count_if(again.begin(), again.end(), [](const std::wstring& line) {
                  return line.find(L"IDeviceEnumerator.EnumDevice 0 ") != std::wstring::npos;
              }));
    EXPECT_EQ(separateMouse.Text(), mouse.Text());
}

TEST_F(DevicesStartUp, EachCallOfAMouseStartUpPassFailedInTurn)
{
    FailEachCallOfTheStartUpPass<CMouseKind>();
}

TEST_F(DevicesStartUp, EachCallOfAKeyboardStartUpPassFailedInTurn)
{
    FailEachCallOfTheStartUpPass<CKeyboardKind>();
}
