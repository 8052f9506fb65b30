#include "BenchTest.h"

#include "HvTest.h"

namespace mwtest {

CRecordingDialogs::CRecordingDialogs()
    : m_previousDialogs(SetCommonDialogs(this)), m_previousOpener(SetShellOpener(this))
{
}

CRecordingDialogs::~CRecordingDialogs()
{
    SetCommonDialogs(m_previousDialogs);
    SetShellOpener(m_previousOpener);
}

int CRecordingDialogs::ShowMessage(HWND, const std::wstring& text, const std::wstring&, UINT)
{
    messages.push_back(text);
    return IDOK;
}

bool CRecordingDialogs::PickFile(const FileDialogRequest& request, std::wstring& path)
{
    fileRequests.push_back(request);
    if (fileAnswer.empty())
        return false;
    path = fileAnswer;
    return true;
}

bool CRecordingDialogs::PickColor(const ColorDialogRequest&, COLORREF&)
{
    return false;
}

bool CRecordingDialogs::Open(HWND, const std::wstring& verb, const std::wstring& target, int)
{
    opened.emplace_back(verb, target);
    return true;
}

void BenchTest::SetUp()
{
    SimTest::SetUp();
}

void BenchTest::TearDown()
{
    bench.Close();
    hvtest::FlushMessages();
    SimTest::TearDown();
}

void BenchTest::Open()
{
    ASSERT_TRUE(bench.Open());
    hvtest::FlushMessages();
    ASSERT_TRUE(PageWindow(107) != nullptr);
}

int BenchTest::TabOf(UINT templateId)
{
    CHvMwApiSheet& sheet = bench.Sheet();
    for (int i = 0; i < sheet.GetPageCount(); ++i)
        if (sheet.GetPage(i)->GetTemplateId() == templateId)
            return i;
    ADD_FAILURE() << "the sheet has no page of template " << templateId;
    return -1;
}

bool BenchTest::Select(UINT templateId)
{
    const int tab = TabOf(templateId);
    bench.Sheet().SetActivePage(tab);
    hvtest::FlushMessages();
    return bench.Sheet().GetActiveIndex() == tab;
}

void BenchTest::Reselect(UINT templateId)
{
    Select(templateId == 107 ? 133 : 107);
    EXPECT_TRUE(Select(templateId));
}

HWND BenchTest::PageWindow(UINT templateId)
{
    const int tab = TabOf(templateId);
    CPropertyPage* page = tab >= 0 ? bench.Sheet().GetPage(tab) : nullptr;
    return page ? page->m_hWnd : nullptr;
}

HWND BenchTest::Item(UINT templateId, int id)
{
    HWND page = PageWindow(templateId);
    return page ? GetDlgItem(page, id) : nullptr;
}

std::wstring BenchTest::Text(UINT templateId, int id)
{
    return hvtest::TextOf(Item(templateId, id));
}

int BenchTest::Check(UINT templateId, int id)
{
    return static_cast<int>(SendMessageW(Item(templateId, id), BM_GETCHECK, 0, 0));
}

void BenchTest::ChooseDevice(const std::wstring& name)
{
    HWND combo = Item(107, 1000);
    ASSERT_NE(nullptr, combo);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(CB_ERR, index) << simtest::Narrow(name);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(PageWindow(107), WM_COMMAND, MAKEWPARAM(1000, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    hvtest::FlushMessages();
}

void BenchTest::Click(UINT templateId, int id)
{
    HWND item = Item(templateId, id);
    ASSERT_NE(nullptr, item);
    SendMessageW(item, BM_CLICK, 0, 0);
    hvtest::FlushMessages();
}

void BenchTest::CaptureSheet(const std::wstring& name)
{
    hvtest::FlushMessages();
    const hvtest::Bitmap picture = hvtest::CaptureWindow(bench.Sheet().m_hWnd);
    EXPECT_FALSE(picture.Empty());
    EXPECT_TRUE(picture.SaveToTestDir(name + L".bmp"));
}

std::string BenchTest::DumpLine(const wchar_t* device, const std::string& prefix)
{
    const std::vector<std::string> lines = simtest::DumpLines(device, prefix);
    return lines.empty() ? std::string() : lines.front();
}

int BenchTest::Connections(const wchar_t* device, const std::string& eventInterface)
{
    const std::string prefix = "connection-point " + eventInterface + " ";
    const std::string line = DumpLine(device, prefix);
    return line.empty() ? -1 : std::stoi(line.substr(prefix.size()));
}

UINT BenchTest::RawInputRegistrations()
{
    UINT count = 0;
    GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
    return count;
}

} // namespace mwtest
