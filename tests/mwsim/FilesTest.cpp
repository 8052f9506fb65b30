// Profile, macro and application files as untrusted input, features switched off by the control
// tool, and the features only the middleware test program uses.
#include "SimTest.h"

#include "Paths.h"

#include <cstring>

using namespace simtest;

namespace {

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    ASSERT_LE(offset + 4, bytes.size());
    std::memcpy(bytes.data() + offset, &value, 4);
}

// The dump lines of profile index of a device, the header line without its index and GUID.
std::vector<std::wstring> ProfileBlock(const wchar_t* device, int index)
{
    const std::vector<std::wstring> lines = DumpLines(device, L"");
    std::vector<std::wstring> block;
    const std::wstring head = L"profile " + std::to_wstring(index) + L" ";
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, head.size(), head) != 0)
            continue;
        block.push_back(lines[i].substr(lines[i].find(L'"')));
        for (size_t j = i + 1; j < lines.size() && lines[j].compare(0, 1, L" ") == 0; ++j)
            block.push_back(lines[j]);
    }
    return block;
}

} // namespace

TEST_F(SimTest, ExportedFilesImportBackEqualWithNewIds)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);
    CComPtr<IProfile> profile = ProfileAt(mouse, 2);
    ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Shooter"));
    const DpiValue stages[] = {{400, 400}, {1600, 3200}};
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(profile);
    ASSERT_HRESULT_SUCCEEDED(dpi->SetStages(2, stages));
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(2));
    CComPtr<IProfileProperties> props = ProfileFeature<IProfileProperties>(profile);
    const wchar_t app[] = L"game.exe";
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropAppPath, app, 0, sizeof app, 0));
    const ProfileFlagWrite flag{hvmw::kFlagAutoSwitch, 1};
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropFlags, &flag, 0, sizeof flag, 0));
    AssignmentRecord button{};
    button.id = hvmw::kButton4;
    button.kind = hvmw::kKindDpi;
    button.SetCode(hvmw::kDpiOpStage);
    button.SetStage(2);
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IButtonAssignments>(profile)->SetAssignments(1, &button));
    const std::wstring file = hvtest::TestFile(L"shooter.hvp");
    ASSERT_HRESULT_SUCCEEDED(profile->Export(file.c_str()));

    CComPtr<IProfile> copy;
    ASSERT_HRESULT_SUCCEEDED(manager->ImportProfile(file.c_str(), copy.Put()));
    GUID original{}, imported{};
    ASSERT_HRESULT_SUCCEEDED(profile->GetId(&original));
    ASSERT_HRESULT_SUCCEEDED(copy->GetId(&imported));
    EXPECT_FALSE(IsEqualGUID(original, imported));
    const std::vector<std::wstring> exported = ProfileBlock(L"mouse", 2);
    ASSERT_GT(exported.size(), 10u);
    EXPECT_EQ(exported, ProfileBlock(L"mouse", 5));

    // Macros and applications share the extension; the file's header tells them apart.
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IMacro> macro;
    ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, macro.Put()));
    const std::wstring macroFile = hvtest::TestFile(L"sample.hvm");
    ASSERT_HRESULT_SUCCEEDED(macro->Export(macroFile.c_str()));
    CComPtr<IMacro> macroCopy;
    ASSERT_HRESULT_SUCCEEDED(macros->ImportMacro(macroFile.c_str(), macroCopy.Put()));
    const std::vector<std::wstring> macroLines = DumpLines(L"mouse", L"macro ");
    ASSERT_EQ(2u, macroLines.size());
    EXPECT_NE(macroLines[0].substr(8, 38), macroLines[1].substr(8, 38)); // GUIDs differ
    EXPECT_EQ(macroLines[0].substr(47), macroLines[1].substr(47));
    const std::vector<std::wstring> events = DumpLines(L"mouse", L" events ");
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(events[0], events[1]);
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(Keyboard());
    CComPtr<IApplication> application;
    ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, application.Put()));
    const std::wstring appFile = hvtest::TestFile(L"notepad.hvm");
    ASSERT_HRESULT_SUCCEEDED(application->Export(appFile.c_str()));
    CComPtr<IApplication> appCopy;
    ASSERT_HRESULT_SUCCEEDED(apps->ImportApplication(appFile.c_str(), appCopy.Put()));
    const std::vector<std::wstring> appLines = DumpLines(L"keyboard", L"application ");
    ASSERT_EQ(2u, appLines.size());
    EXPECT_EQ(appLines[0].substr(appLines[0].find(L'"')), appLines[1].substr(appLines[1].find(L'"')));
    EXPECT_NE(appLines[0], appLines[1]);
}

TEST_F(SimTest, HostileImportFilesAreRefusedAndAddNothing)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> profiles = Profiles(mouse);
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(Keyboard());
    const std::wstring profileFile = hvtest::TestFile(L"good.hvp");
    const std::wstring macroFile = hvtest::TestFile(L"good.hvm");
    const std::wstring appFile = hvtest::TestFile(L"good-app.hvm");
    const std::wstring bad = hvtest::TestFile(L"bad.bin");
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(mouse, 0)->Export(profileFile.c_str()));
    CComPtr<IMacro> macro;
    ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, macro.Put()));
    ASSERT_HRESULT_SUCCEEDED(macro->Export(macroFile.c_str()));
    CComPtr<IApplication> app;
    ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, app.Put()));
    ASSERT_HRESULT_SUCCEEDED(app->Export(appFile.c_str()));
    const std::vector<uint8_t> goodProfile = ReadBytes(profileFile);
    const std::vector<uint8_t> goodMacro = ReadBytes(macroFile);
    const std::vector<uint8_t> goodApp = ReadBytes(appFile);
    ASSERT_GT(goodProfile.size(), 400u);
    const std::string before = Tool({L"dump"});

    auto refused = [&](const std::vector<uint8_t>& bytes, const char* what) {
        WriteBytes(bad, bytes);
        CComPtr<IProfile> p;
        CComPtr<IMacro> m;
        CComPtr<IApplication> a;
        EXPECT_HRESULT_FAILED(profiles->ImportProfile(bad.c_str(), p.Put())) << what;
        EXPECT_HRESULT_FAILED(macros->ImportMacro(bad.c_str(), m.Put())) << what;
        EXPECT_HRESULT_FAILED(apps->ImportApplication(bad.c_str(), a.Put())) << what;
        EXPECT_FALSE(p || m || a) << what;
    };

    // Truncated anywhere.
    for (const std::vector<uint8_t>* good : {&goodProfile, &goodMacro, &goodApp}) {
        for (size_t n = 0; n < good->size(); n += (good == &goodProfile ? 5 : 1))
            refused(std::vector<uint8_t>(good->begin(), good->begin() + n), "truncated");
        std::vector<uint8_t> longer = *good;
        longer.push_back(0);
        refused(longer, "trailing byte");
    }
    // Counts and lengths beyond the file or the device: the name length, the macro's event count.
    std::vector<uint8_t> bytes = goodProfile;
    PutU32(bytes, 28, 0x7FFFFFFF);
    refused(bytes, "profile name length");
    bytes = goodMacro;
    PutU32(bytes, 24, 0xFFFFFFFF);
    refused(bytes, "macro name length");
    bytes = goodMacro;
    uint32_t nameChars = 0;
    std::memcpy(&nameChars, bytes.data() + 24, 4);
    PutU32(bytes, 28 + nameChars * 2, 0xFFFFFFF0);
    refused(bytes, "macro event count");
    bytes.resize(bytes.size() + 5000 * 8, 0);
    PutU32(bytes, 28 + nameChars * 2, 5000);
    refused(bytes, "more events than a macro holds");
    // Values a device cannot hold: the first DPI stage of the profile (800) made 999999.
    bytes = goodProfile;
    const int32_t stage800[2] = {800, 800};
    auto at = std::search(bytes.begin(), bytes.end(), reinterpret_cast<const uint8_t*>(stage800),
                          reinterpret_cast<const uint8_t*>(stage800) + 8);
    ASSERT_NE(bytes.end(), at);
    PutU32(bytes, at - bytes.begin(), 999999);
    refused(bytes, "DPI out of range");
    // Wrong headers: each kind of file is refused by the other lists.
    refused({'H', 'V', 'M', 'F', 'x'}, "short header");
    CComPtr<IMacro> m;
    CComPtr<IApplication> a;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_FORMAT), macros->ImportMacro(appFile.c_str(), m.Put()));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_FORMAT), apps->ImportApplication(macroFile.c_str(), a.Put()));
    CComPtr<IProfile> p;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_FORMAT), profiles->ImportProfile(macroFile.c_str(), p.Put()));
    // Too big to be one: refused before it is read.
    bytes = goodMacro;
    bytes.resize(1024 * 1024 + 1, 0);
    WriteBytes(bad, bytes);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), macros->ImportMacro(bad.c_str(), m.Put()));

    EXPECT_EQ(before, Tool({L"dump"})); // nothing added anywhere
    // The good files still import.
    ASSERT_HRESULT_SUCCEEDED(macros->ImportMacro(macroFile.c_str(), m.Put()));
    ASSERT_HRESULT_SUCCEEDED(profiles->ImportProfile(profileFile.c_str(), p.Put()));
}

TEST_F(SimTest, ControlToolSwitchesFeaturesOff)
{
    CComPtr<IDevice> mouse = Mouse();
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(mouse && keyboard);
    CComPtr<IProfile> profile = ActiveProfile(mouse);
    Tool({L"feature", L"mouse", L"IDpi", L"off"});
    CComPtr<IDpi> dpi;
    EXPECT_EQ(E_NOINTERFACE, profile->GetFeature(IID_PPV_ARGS(dpi.Put())));
    EXPECT_EQ(std::vector<std::wstring>{L"feature-off IDpi"}, DumpLines(L"mouse", L"feature-off"));
    Tool({L"feature", L"mouse", L"IDpi", L"on"});
    EXPECT_HRESULT_SUCCEEDED(profile->GetFeature(IID_PPV_ARGS(dpi.Put())));

    // Features reached by QueryInterface go too.
    Tool({L"feature", L"keyboard", L"ILongFirmwareVersion", L"off"});
    CComPtr<ILongFirmwareVersion> version;
    EXPECT_EQ(E_NOINTERFACE, keyboard.As(version));
    EXPECT_HRESULT_SUCCEEDED(mouse.As(version));
    Tool({L"feature", L"mouse", L"IPollingRate", L"off"});
    CComPtr<IPollingRate> rate;
    EXPECT_EQ(E_NOINTERFACE, mouse->GetFeature(IID_PPV_ARGS(rate.Put())));

    // The application-path property: its callers fall back to the fixed form.
    CComPtr<IProfileProperties> props = ProfileFeature<IProfileProperties>(profile);
    const wchar_t path[] = L"C:\\Games\\a very long folder name\\game.exe";
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropAppPath, path, 0, sizeof path, 0));
    Tool({L"feature", L"mouse", L"0x80000005", L"off"});
    wchar_t small[1] = {};
    DWORD size = sizeof small;
    EXPECT_EQ(HVMW_E_NOTIMPL, props->GetProperty(hvmw::kPropAppPath, 0, small, 0, &size));
    wchar_t fixed[128] = {};
    size = sizeof fixed;
    ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropLinkedApp, 0, fixed, 0, &size));
    EXPECT_STREQ(path, fixed);
    Tool({L"feature", L"mouse", L"0x80000005", L"on"});
    size = sizeof small;
    EXPECT_EQ(HVMW_E_MORE_DATA, props->GetProperty(hvmw::kPropAppPath, 0, small, 0, &size));
    EXPECT_EQ(sizeof path, size);

    EXPECT_EQ(1u, ToolExitCode({L"feature", L"mouse", L"IFrobnicator", L"off"}));
    Tool({L"reset"});
    EXPECT_HRESULT_SUCCEEDED(keyboard.As(version));
    EXPECT_HRESULT_SUCCEEDED(mouse->GetFeature(IID_PPV_ARGS(rate.Put())));
}

TEST_F(SimTest, FeaturesOfTheTestProgramWork)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    // The calibration LEDs of the LED control.
    CComPtr<ILedControl> control = DeviceFeature<ILedControl>(mouse);
    ASSERT_TRUE(control);
    CComPtr<ILedCollection> leds;
    ASSERT_HRESULT_SUCCEEDED(control.As(leds));
    for (int id : {hvmw::kLedCalScrollWheel, hvmw::kLedSwScrollWheel, hvmw::kLedSwLogo, hvmw::kLedCalLogo}) {
        CComPtr<ILed> led;
        ASSERT_HRESULT_SUCCEEDED(leds->GetLedById(id, led.Put())) << id;
        CComPtr<ILEDColor> color;
        CComPtr<ILEDBrightness> brightness;
        CComPtr<ILedEffect> effect;
        ASSERT_HRESULT_SUCCEEDED(led.As(color));
        ASSERT_HRESULT_SUCCEEDED(led.As(brightness));
        EXPECT_EQ(E_NOINTERFACE, led.As(effect));
        ASSERT_HRESULT_SUCCEEDED(color->SetColor(0x102030 + id));
        ASSERT_HRESULT_SUCCEEDED(brightness->SetBrightness(10 * id));
    }
    const std::vector<std::wstring> lines = DumpLines(L"mouse", L"device-led ");
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(L"device-led 2 on 1 color 0x102032 brightness 20 effect 0 0 0 caps 110", lines[1]);

    // Restoring a profile's defaults keeps its id and name.
    CComPtr<IProfile> profile = ProfileAt(mouse, 1);
    ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Kept"));
    const DpiValue one[] = {{500, 500}};
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IDpi>(profile)->SetStages(1, one));
    CComPtr<IRestoreDefaults> restore;
    ASSERT_HRESULT_SUCCEEDED(profile.As(restore));
    ASSERT_HRESULT_SUCCEEDED(restore->RestoreDefaults());
    const std::vector<std::wstring> block = ProfileBlock(L"mouse", 1);
    ASSERT_GT(block.size(), 3u);
    EXPECT_EQ(L"\"Kept\"", block[0]);
    EXPECT_NE(std::wstring::npos, block[3].find(L"stages 800x800 1200x1200 1800x1800 4000x4000 5600x5600")) << block[3];
    // The LED store is there to be obtained; it has no methods.
    EXPECT_TRUE(ProfileFeature<ILedStore>(profile));
}
