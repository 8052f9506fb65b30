#include "DevicesFixture.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/CodeTables.h"
#include "core/KeyboardDef.h"
#include "Paths.h"
#include "mwsim/SimStore.h"
#include "TestWindows.h"
#include "platform/WStr.h"

namespace devtest {

namespace {

std::wstring ActionText(const AssignmentAction& a)
{
    std::wstring text = wstr::Format(L"type %d", a.type);
    switch (a.type) {
    case kActionMacro:
    case kActionProfile:
    case kActionLaunch:
        text += L" " + GuidText(a.payload.guid);
        break;
    case kActionMacroByName:
    case kActionProfileByName:
    case kActionLaunchByName:
        text += std::wstring(L" \"") + a.payload.name + L"\"";
        break;
    case kActionDefaultKey:
    case kActionSingleKey:
        text += wstr::Format(L" key 0x%08X flags %d", a.payload.key.word, a.payload.key.flags);
        break;
    default:
        break;
    }
    if (a.type == kActionMacro || a.type == kActionMacroByName)
        text += wstr::Format(L" play %d x%d", a.playMode, a.repeatCount);
    return text;
}

// " raw <hex>" when the profile keeps the control's device record, else nothing.
std::wstring RawText(const IBaseProfile& p, int32_t control)
{
    RawAssignment raw{};
    if (!p.GetDeviceRecord(control, raw))
        return std::wstring();
    std::wstring text = L" raw ";
    for (uint8_t b : raw.bytes)
        text += wstr::Format(L"%02X", b);
    return text;
}

template <class ProfileItf>
void DescribeCommon(std::wostringstream& out, IBaseConfig<ProfileItf>& config)
{
    for (int i = 0; i < config.GetMacroCount(); ++i) {
        const CMacro* m = config.GetMacro(i);
        out << L"macro " << GuidText(m->GetGuid()) << L" \"" << m->GetName() << L"\"";
        for (const MacroEvent& e : m->GetEvents())
            out << wstr::Format(L" %d:%X:%X", e.type, e.value, e.extra);
        out << L"\n";
    }
    for (int i = 0; i < config.GetAppCount(); ++i)
        out << L"app " << GuidText(config.GetApp(i)->guid) << L" \"" << config.GetApp(i)->name << L"\"\n";
    const ProfileItf* active = config.GetActiveProfile();
    out << L"active " << (active ? active->GetName() : L"-") << L"\n";
}

void DescribeProfileBase(std::wostringstream& out, int index, const IBaseProfile& p)
{
    out << L"profile " << index << L" " << GuidText(p.GetGuid()) << L" \"" << p.GetName() << L"\"\n";
    out << L" link \"" << p.GetLinkedApplication() << L"\" auto " << p.GetAutoSwitch() << L" osd-profile "
        << p.GetOsdProfile() << L"\n";
    for (int led = 0; led <= 10; ++led)
        if (p.GetLedState(led) || p.GetLedColor(led) || p.GetLedBrightness(led) || p.GetLedEffect(led))
            out << wstr::Format(L" led %d on %d color 0x%06X brightness %d effect %d\n", led, p.GetLedState(led),
                                p.GetLedColor(led), p.GetLedBrightness(led), p.GetLedEffect(led));
}

} // namespace

void LoadKeyboardDefinition()
{
    CKeyboardDef& def = GetKeyboardDef();
    if (def.IsLoaded())
        return;
    const std::wstring folder = hvtest::BinDir() + L"\\..\\skin-image\\bin\\";
    const std::vector<uint8_t> keys = simtest::ReadBytes(folder + L"VexaKeyboard.kbd");
    const std::vector<uint8_t> defaults = simtest::ReadBytes(folder + L"VexaKeyboardDefaults.kbd");
    ASSERT_FALSE(keys.empty()) << "the install image's keyboard definition is missing";
    ASSERT_TRUE(def.Load(keys.size(), keys.data()));
    ASSERT_TRUE(def.SetDefaultCodes(defaults.data(), defaults.size()));
}

std::wstring Describe(IMouseConfig& config)
{
    std::wostringstream out;
    for (int i = 0; i < config.GetProfileCount(); ++i) {
        IMouseProfile& p = *config.GetProfile(i);
        DescribeProfileBase(out, i, p);
        int min = 0, max = 0, step = 0;
        p.GetDpiRange(&min, &max, &step);
        out << wstr::Format(L" osd-dpi %d range %d-%d/%d stages %d enabled %d current %d\n", p.GetOsdDpi(), min, max,
                            step, p.GetDpiStageCount(), p.GetEnabledStageCount(), p.GetCurrentDpiStage());
        for (int s = 1; s <= p.GetEnabledStageCount(); ++s)
            out << (p.GetStageSeparateXY(s) ? wstr::Format(L" stage %d xy %d %d\n", s, p.GetStageDpiX(s), p.GetStageDpiY(s))
                                            : wstr::Format(L" stage %d %d\n", s, p.GetStageDpi(s)));
        out << (p.GetXYSeparate() ? wstr::Format(L" sensitivity xy %d %d\n", p.GetSensitivityX(), p.GetSensitivityY())
                                  : wstr::Format(L" sensitivity %d\n", p.GetSensitivity()));
        for (int button : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13})
            out << L" button " << button << L" " << ActionText(p.GetButtonAssignment(button)) << RawText(p, button)
                << L"\n";
    }
    DescribeCommon(out, config);
    out << wstr::Format(L"acceleration %d level %d polling %d\n", config.GetAccelerationEnabled(),
                        config.GetAcceleration(), config.GetPollingRate());
    return out.str();
}

std::wstring Describe(IKeyboardConfig& config)
{
    std::wostringstream out;
    for (int i = 0; i < config.GetProfileCount(); ++i) {
        IKeyboardProfile& p = *config.GetProfile(i);
        DescribeProfileBase(out, i, p);
        for (const KeyboardDefRecord& key : GetKeyboardDef().Records()) {
            if (!CKeyboardDef::IsAssignable(key))
                continue;
            const AssignmentAction action = p.GetAssignment(key.hash);
            const std::wstring raw = RawText(p, key.hash);
            if (action.type != kActionNone || !raw.empty())
                out << L" key \"" << key.name << L"\" " << ActionText(action) << raw << L"\n";
        }
    }
    DescribeCommon(out, config);
    return out.str();
}

CHandlerWindow::CHandlerWindow(Handler onMessage) : m_onMessage(std::move(onMessage))
{
    static const wchar_t* kClass = L"HvTestHandlerWindow";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CHandlerWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);
    m_window = ::CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CHandlerWindow::~CHandlerWindow()
{
    ::DestroyWindow(m_window);
}

LRESULT CALLBACK CHandlerWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CHandlerWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message >= WM_USER) {
        self->m_onMessage(message, wParam, lParam);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

CProgressListener::CProgressListener()
    : m_window([this](UINT message, WPARAM, LPARAM lParam) {
          if (message == WM_USER + 30)
              m_received.push_back(std::to_wstring(lParam));
          else if (message == WM_USER + 31)
              m_received.push_back(std::wstring(L"text:") + reinterpret_cast<const wchar_t*>(lParam));
      })
{
}

bool WaitWhileBusy(const std::function<bool()>& busy, DWORD timeoutMs)
{
    return hvtest::WaitUntil([&] { return !busy(); }, timeoutMs);
}

void CDevicesTest::SetUp()
{
    SimTest::SetUp();
    UseOwnDevices(wstr::Utf8ToWide(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    LoadKeyboardDefinition();
    FillCodeTables();
}

namespace {

// Splits a Describe text into the lines before, of, and after the named profile's section.
void SplitAtProfile(const std::wstring& described, const std::wstring& name, std::wstring* outside,
                    std::vector<std::wstring>* section)
{
    std::wistringstream in(described);
    bool inside = false;
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty() && line[0] != L' ')
            inside = line.rfind(L"profile ", 0) == 0 && line.size() >= name.size() + 2 &&
                     line.compare(line.size() - name.size() - 2, name.size() + 2, L"\"" + name + L"\"") == 0;
        if (inside) {
            if (section)
                section->push_back(line);
        } else if (outside) {
            *outside += line + L"\n";
        }
    }
}

} // namespace

std::vector<std::wstring> ProfileSection(const std::wstring& described, const std::wstring& name)
{
    std::vector<std::wstring> section;
    SplitAtProfile(described, name, nullptr, &section);
    return section;
}

std::wstring WithoutProfile(const std::wstring& described, const std::wstring& name)
{
    std::wstring outside;
    SplitAtProfile(described, name, &outside, nullptr);
    return outside;
}

void ExpectMadeProfileReadsBack(const std::wstring& written, const std::wstring& read, const std::wstring& name)
{
    EXPECT_EQ(WithoutProfile(written, name), WithoutProfile(read, name));
    const std::vector<std::wstring> made = ProfileSection(written, name);
    const std::vector<std::wstring> back = ProfileSection(read, name);
    ASSERT_FALSE(made.empty());
    for (const std::wstring& line : made) {
        if (line.find(L" type -1") == std::wstring::npos) {
            EXPECT_NE(back.end(), std::find(back.begin(), back.end(), line)) << wstr::WideToUtf8(line);
        }
    }
}

} // namespace devtest
