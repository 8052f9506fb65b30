#include "mwtest/MacroPages.h"

#include <algorithm>
#include <cstring>

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/RawInput.h"
#include "platform/WStr.h"

namespace {

const wchar_t kMacroFilter[] = L"Halvo Macro Files (*.hvm)|*.hvm|All Files (*.*)|*.*||";

// The raw-input button flags, in the order an event is looked for: down and up of buttons 1 to 5,
// then the wheel.
constexpr WORD kButtonFlags[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, hvmw::kMacroWheel};
constexpr WORD kWheelDown = 0x8000;  // bit 15 of the wheel's data

// More events than any device holds: a block claiming more is not believed.
constexpr DWORD kMaxEvents = 0x10000;

// The first flag of the order above that flags has; 0 when none.
WORD FirstButtonFlag(WORD flags)
{
    for (WORD flag : kButtonFlags)
        if (flags & flag)
            return flag;
    return 0;
}

} // namespace

std::pair<std::wstring, std::wstring> DescribeMacroEvent(const MacroEventRecord& event)
{
    switch (event.type) {
    case hvmw::kMacroMouse: {
        const WORD flag = FirstButtonFlag(event.Value());
        if (!flag)
            return {L"", L""};
        if (flag == hvmw::kMacroWheel) {
            const bool down = (event.Flags() & kWheelDown) != 0;
            return {down ? L"Button Down" : L"Button Up", down ? L"SCROLL_DOWN" : L"SCROLL_UP"};
        }
        int button = 0;
        for (WORD bit = flag; bit > 2; bit >>= 2)
            ++button;
        // Buttons 1 to 5: down is the first bit of each pair, up the second.
        const bool down = (flag & 0x155) != 0;
        return {down ? L"Button Down" : L"Button Up", wstr::Format(L"BUTTON_%d", button + 1)};
    }
    case hvmw::kMacroKey:
        return {(event.Flags() & hvmw::kMacroKeyBreak) ? L"Key Break" : L"Key Make",
                wstr::Format(L"%04x,%04x", event.Value(), event.Flags())};
    case hvmw::kMacroDelay:
        return {L"Delay", wstr::Format(L"%lu ms", static_cast<unsigned long>(event.Millis()))};
    default:
        return {wstr::Format(L"Type %lu", static_cast<unsigned long>(event.type)), L""};
    }
}

// ---- CMacroDlg ----------------------------------------------------------------------------------

BEGIN_MSG_MAP(CMacroDlg, CDialog)
    ON_COMMAND(IDC_MACRO_SET_NAME, OnSetName)
    ON_COMMAND(IDC_MACRO_RECORD, OnRecord)
    ON_COMMAND(IDC_MACRO_STOP, OnStop)
    ON_MESSAGE(WM_INPUT, OnInput)
    ON_WM_DESTROY()
END_MSG_MAP()

CMacroDlg::CMacroDlg(CComPtr<IMacro> macro, CWnd* parent) : CDialog(IDD_MACRO, parent), m_macro(std::move(macro))
{
    LARGE_INTEGER frequency = {};
    if (::QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
        m_frequency = frequency.QuadPart;
}

CMacroDlg::~CMacroDlg()
{
    StopInput();
}

BOOL CMacroDlg::OnInitDialog()
{
    SetUpList(m_events, m_hWnd, IDC_MACRO_EVENTS,
              {{L"Index", LVCFMT_LEFT, 50}, {L"Event", LVCFMT_LEFT, 80}, {L"Info", LVCFMT_LEFT, 100}}, kGridRows);
    EnableRecording(false);
    ::CheckDlgButton(m_hWnd, IDC_MACRO_RECORD_DELAY, BST_CHECKED);
    if (!m_macro)
        return TRUE;
    LPWSTR name = nullptr;
    if (SUCCEEDED(m_macro->GetName(&name)))
        SetDlgItemText(IDC_MACRO_NAME, TakeText(name).c_str());
    else
        ::CoTaskMemFree(name);
    MacroEventBlock* block = nullptr;
    // The count is believed only as far as the block holds it.
    if (SUCCEEDED(m_macro->GetEvents(&block)) && block && TaskBlockHolds(block, sizeof(MacroEventBlock)) &&
        block->count <= kMaxEvents &&
        TaskBlockHolds(block, sizeof(MacroEventBlock) + block->count * sizeof(MacroEventRecord)))
        for (DWORD i = 0; i < block->count; ++i)
            ShowEvent(block->Events()[i]);
    ::CoTaskMemFree(block);
    return TRUE;
}

void CMacroDlg::EnableRecording(bool recording)
{
    // The focus goes to the button that is enabled: the one it was on may be disabled now, and a
    // dialog without a focus gets no keyboard input on some systems (Wine), raw input included.
    const int focus = recording ? IDC_MACRO_STOP : IDC_MACRO_RECORD;
    ::EnableWindow(GetDlgItem(focus), TRUE);
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(focus)), TRUE);
    ::EnableWindow(GetDlgItem(IDC_MACRO_RECORD), !recording);
    ::EnableWindow(GetDlgItem(IDC_MACRO_RECORD_DELAY), !recording);
    ::EnableWindow(GetDlgItem(IDOK), !recording);
    ::EnableWindow(GetDlgItem(IDC_MACRO_STOP), recording);
}

void CMacroDlg::ShowEvent(const MacroEventRecord& event)
{
    const int index = m_events.GetItemCount();
    const auto texts = DescribeMacroEvent(event);
    const int row = m_events.InsertItem(index, wstr::Format(L"%d", index).c_str());
    if (row < 0)
        return;
    m_events.SetItemText(row, 1, texts.first.c_str());
    m_events.SetItemText(row, 2, texts.second.c_str());
    m_events.EnsureVisible(row, false);
}

void CMacroDlg::OnSetName()
{
    if (m_macro)
        m_macro->SetName(GetDlgItemText(IDC_MACRO_NAME).c_str());
}

void CMacroDlg::OnRecord()
{
    EnableRecording(true);
    m_first = true;
    m_events.DeleteAllItems();
    m_recorded.clear();
    m_held.clear();
    if (!m_registered)
        m_registered = RegisterKeyboardAndMouse(m_hWnd);
}

void CMacroDlg::StopInput()
{
    if (m_registered) {
        RemoveKeyboardAndMouse();
        m_registered = false;
    }
}

void CMacroDlg::OnStop()
{
    EnableRecording(false);
    StopInput();
    if (!m_macro)
        return;
    // The whole recording replaces the macro's events: the header, the events, 8 spare bytes.
    const size_t bytes = MacroEventBlock::Bytes(m_recorded.size());
    auto* block = static_cast<MacroEventBlock*>(::CoTaskMemAlloc(bytes));
    if (!block)
        return;
    std::memset(block, 0, bytes);
    block->count = static_cast<DWORD>(m_recorded.size());
    std::copy(m_recorded.begin(), m_recorded.end(), block->Events());
    m_macro->SetEvents(block);
    ::CoTaskMemFree(block);
}

void CMacroDlg::OnDestroy()
{
    StopInput();
    Default();
}

void CMacroDlg::Add(const MacroEventRecord& event)
{
    m_recorded.push_back(event);
    ShowEvent(event);
}

void CMacroDlg::AddDelay()
{
    if (::IsDlgButtonChecked(m_hWnd, IDC_MACRO_RECORD_DELAY) != BST_CHECKED)
        return;
    LARGE_INTEGER now = {};
    ::QueryPerformanceCounter(&now);
    if (m_first) {
        m_first = false;
    } else {
        const LONGLONG elapsed = std::max<LONGLONG>(now.QuadPart - m_previous, 0);
        const LONGLONG ms = elapsed * 1000 / m_frequency;
        Add(MacroEventRecord::Delay(static_cast<DWORD>(std::min<LONGLONG>(ms, hvmw::kMacroMaxDelay))));
    }
    m_previous = now.QuadPart;
}

void CMacroDlg::OnKey(const RAWKEYBOARD& key)
{
    // A key is its make code with its prefix: the E0 key and the plain key of one code are two keys.
    const DWORD identity = key.MakeCode | (static_cast<DWORD>(key.Flags & (RI_KEY_E0 | RI_KEY_E1)) << 16);
    const auto held = std::find(m_held.begin(), m_held.end(), identity);
    if (!(key.Flags & RI_KEY_BREAK)) {
        // A held key repeats its make: only the first one counts.
        if (held != m_held.end())
            return;
        m_held.push_back(identity);
    } else if (held != m_held.end()) {
        m_held.erase(held);
    }
    AddDelay();
    Add(MacroEventRecord::Make(hvmw::kMacroKey, key.MakeCode, key.Flags));
}

void CMacroDlg::OnMouse(const RAWMOUSE& mouse)
{
    const WORD flag = FirstButtonFlag(mouse.usButtonFlags);
    if (!flag)
        return;
    AddDelay();
    Add(MacroEventRecord::Make(hvmw::kMacroMouse, flag, mouse.usButtonData));
}

LRESULT CMacroDlg::OnInput(WPARAM, LPARAM lParam)
{
    RAWINPUT input;
    if (m_registered && ReadRawInput(lParam, &input)) {
        if (input.header.dwType == RIM_TYPEKEYBOARD)
            OnKey(input.data.keyboard);
        else
            OnMouse(input.data.mouse);
    }
    // The system's own handling of WM_INPUT releases the input.
    return Default();
}

// ---- CMacrosPage --------------------------------------------------------------------------------

BEGIN_MSG_MAP(CMacrosPage, CHvMwPage)
    ON_NOTIFY(NM_RCLICK, IDC_MACRO_LIST, OnListRightClick)
    ON_NOTIFY(NM_DBLCLK, IDC_MACRO_LIST, OnListDoubleClick)
    ON_MESSAGE(kMsgRefill, OnRefill)
END_MSG_MAP()

CMacrosPage::CMacrosPage() : CHvMwPage(IDD_MACROS)
{
}

BOOL CMacrosPage::OnInitDialog()
{
    SetUpList(m_list, m_hWnd, IDC_MACRO_LIST, {{L"Macro", LVCFMT_LEFT, 50}, {L"Macro Name", LVCFMT_LEFT, 200}},
              kGridRows);
    return CHvMwPage::OnInitDialog();
}

BOOL CMacrosPage::OnSetActive()
{
    FillList();
    return CHvMwPage::OnSetActive();
}

void CMacrosPage::LetGo()
{
    ReleaseRows<IMacro>(m_list);
    m_manager.Reset();
}

void CMacrosPage::FillList()
{
    m_manager = DeviceFeature<IMacroManager>();
    ReleaseRows<IMacro>(m_list);
    for (int i = 0; m_manager && i < kMaxListWalk; ++i) {
        IMacro* macro = nullptr;
        if (FAILED(m_manager->GetMacro(i, &macro)) || !macro)
            break;
        const int row = AddObjectRow(m_list, i, wstr::Format(L"%d", i).c_str(), macro);
        if (row < 0)
            break;
        LPWSTR name = nullptr;
        if (SUCCEEDED(macro->GetName(&name)))
            m_list.SetItemText(row, 1, TakeText(name).c_str());
        else
            ::CoTaskMemFree(name);
    }
}

LRESULT CMacrosPage::OnRefill(WPARAM, LPARAM)
{
    // As when the page is left and shown again.
    LetGo();
    FillList();
    return 0;
}

void CMacrosPage::OnListRightClick(NMHDR* header, LRESULT*)
{
    const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    // The command runs once the menu has closed.
    if (const UINT command = TrackContextMenu(IDR_MACRO_MENU))
        RunCommand(command, row);
}

void CMacrosPage::RunCommand(UINT command, int row)
{
    if (m_manager && RunItemCommand(command, m_manager.Get(), RowObject<IMacro>(m_list, row), &IMacroManager::AddMacro,
                                    &IMacroManager::DeleteMacro, &IMacroManager::ImportMacro,
                                    L"Added by test application", kMacroFilter))
        PostMessage(kMsgRefill);
}

void CMacrosPage::OnListDoubleClick(NMHDR* header, LRESULT*)
{
    if (!m_manager)
        return;
    // On a row its macro; below the rows a new one.
    CComPtr<IMacro> macro(RowObject<IMacro>(m_list, CellHit(m_list, header).iItem));
    if (!macro) {
        IMacro* added = nullptr;
        if (FAILED(m_manager->AddMacro(&added)) || !added)
            return;
        macro.Attach(added);
    }
    CMacroDlg editor(macro, this);
    editor.DoModal();
    PostMessage(kMsgRefill);
}
