#include "BenchTest.h"

#include <algorithm>

#include "platform/Dialog.h"
#include "HvTest.h"
#include "platform/PropertySheet.h"

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
    if (whileOpen)
        whileOpen();
    messages.push_back(text);
    return IDOK;
}

bool CRecordingDialogs::PickFile(const FileDialogRequest& request, std::wstring& path)
{
    if (whileOpen)
        whileOpen();
    fileRequests.push_back(request);
    if (fileAnswer.empty())
        return false;
    path = fileAnswer;
    return true;
}

bool CRecordingDialogs::PickColor(const ColorDialogRequest& request, COLORREF& colour)
{
    if (whileOpen)
        whileOpen();
    colorRequests.push_back(request);
    if (!colorPicked)
        return false;
    colour = colorAnswer;
    return true;
}

bool CRecordingDialogs::Open(HWND, const std::wstring& verb, const std::wstring& target, int)
{
    opened.emplace_back(verb, target);
    return true;
}

namespace {

struct DialogSearch
{
    UINT templateId;  // 0: any
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (!dialog || dynamic_cast<CPropertyPage*>(dialog) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
        return TRUE;
    if (search->templateId && dialog->GetTemplateId() != search->templateId)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

UINT TemplateOf(HWND dialog)
{
    auto* object = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(dialog));
    return object ? object->GetTemplateId() : 0;
}

} // namespace

HWND ShownDialog(UINT templateId)
{
    DialogSearch search = {templateId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

CDialogScript::CDialogScript(std::vector<Step> steps)
    : hvtest::ModalScript([] { return ShownDialog(0); },
                          [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
                          [](HWND dialog) { return "the dialog of template " + std::to_string(TemplateOf(dialog)); })
{
    for (Step& step : steps)
        ExpectOnce(std::move(step.act), [id = step.templateId](HWND dialog) { return TemplateOf(dialog) == id; });
}

bool CDialogScript::WaitDone()
{
    return hvtest::WaitUntil([this] { return Done() && !ShownDialog(0); });
}

void RightClickAndPick(HWND page, HWND list, int row, int itemPosition)
{
    for (int i = 0; i < itemPosition; ++i) {
        PostMessageW(page, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(page, WM_KEYUP, VK_DOWN, 0xC0000001);
    }
    PostMessageW(page, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(page, WM_KEYUP, VK_RETURN, 0xC0000001);
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = static_cast<UINT>(NM_RCLICK);
    click.iItem = row;
    click.iSubItem = 0;
    SendMessageW(page, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    hvtest::FlushMessages();
}

std::wstring RowText(HWND list, int row, int column)
{
    wchar_t text[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

bool RowChecked(HWND list, int row)
{
    return ((SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) &
             LVIS_STATEIMAGEMASK) >> 12) == 2;
}

POINT CellPoint(HWND list, int row, int column)
{
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT CheckBoxPoint(HWND list, int row)
{
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    const int y = (bounds.top + bounds.bottom) / 2;
    // The first points of the row that the list takes for its check box; their middle.
    int first = -1, last = -1;
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
        LVHITTESTINFO info = {};
        info.pt = {x, y};
        SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
        if (info.iItem == row && (info.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    EXPECT_GE(first, 0) << "row " << row << " has no check box";
    return {(first + last) / 2, y};
}

void ExpectFileRequest(const FileDialogRequest& request, bool save, const std::wstring& extension,
                       const std::wstring& filter)
{
    EXPECT_EQ(save, request.save);
    EXPECT_EQ(extension, request.defaultExtension);
    EXPECT_EQ(L"*." + extension, request.fileName);
    EXPECT_EQ(filter, request.filter);
    EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), request.flags);
}

std::vector<std::string> Calls(const std::string& method)
{
    std::vector<std::string> calls;
    for (const std::string& line : simtest::JournalLines())
        if (line.find(method) != std::string::npos)
            calls.push_back(line);
    return calls;
}

void ClickItem(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, item) << id;
    SendMessageW(item, BM_CLICK, 0, 0);
}

void ChooseItem(HWND dialog, int id, const std::wstring& text)
{
    HWND combo = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, combo) << id;
    const LRESULT index =
        SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_NE(CB_ERR, index) << simtest::Narrow(text);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
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
