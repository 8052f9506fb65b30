#include "mwtest/AssignmentPages.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "mwtest/AssignmentDialogs.h"
#include "mwtest/KeyNames.h"
#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

namespace {

// More records than any device has: a count beyond it is not believed.
constexpr int kMaxRecords = 4096;
constexpr int kKeyNameChars = 20;

// The function texts by code (kind 1); the keys' variant knows those up to "Double click".
constexpr const wchar_t* kFunctionTexts[] = {
    L"Disabled",  L"Click",      L"Menu",         L"Universal Scrolling", L"Forward",  L"Backward",
    L"Scroll Up", L"Scroll Down", L"On-The-Fly-Sensitivity", L"Dpi Up",   L"Dpi Down", L"Double click",
    L"Button 6",  L"Button 7",   L"Stop All Macros", L"Profile Up",      L"Profile Down",
};
constexpr DWORD kLastKeyFunction = hvmw::kFnDoubleClick;

// The operations of kinds 3 and 4 by sub-code, before the one that names a profile or a stage.
constexpr const wchar_t* kProfileOpTexts[] = {L"No Profile", L"Previous Profile", L"Next Profile"};
constexpr const wchar_t* kDpiOpTexts[] = {L"No Dpi", L"Dpi Up", L"Dpi Down"};

constexpr const wchar_t* kButtonNames[] = {
    L"Left Button", L"Right Button", L"Middle Button", L"Button 4", L"Button 5", L"Button 6",
    L"Button 7",    L"Scroll Up",    L"Scroll Down",   L"Dpi Up",   L"Dpi Down",
};

// Every record of an assignment feature, read as its callers do: the count, a block of the
// caller's for that many records, the records the middleware put there.
template <class CountInfo, class I>
std::vector<AssignmentRecord> ReadAll(I* feature)
{
    std::vector<AssignmentRecord> records;
    CountInfo info = {};
    if (FAILED(feature->GetCount(&info)) || info.count <= 0 || info.count > kMaxRecords)
        return records;
    const int allocated = info.count;
    auto* block = static_cast<AssignmentRecord*>(::CoTaskMemAlloc(allocated * sizeof(AssignmentRecord)));
    if (!block)
        return records;
    std::memset(block, 0, allocated * sizeof(AssignmentRecord));
    AssignmentRecord* buffer = block;
    int count = allocated;
    if (SUCCEEDED(feature->GetAssignments(&count, &buffer)) && count > 0)
        records.assign(block, block + std::min(count, allocated));
    ::CoTaskMemFree(block);
    return records;
}

// One button's or key's record: the id preset, count 1.
template <class I>
bool ReadOne(I* feature, AssignmentRecord& record)
{
    int count = 1;
    AssignmentRecord* buffer = &record;
    return SUCCEEDED(feature->GetAssignments(&count, &buffer));
}

// Makes the device take what was written: the active profile set active again.
void ApplyActiveProfile(IProfileManager* manager)
{
    CComPtr<IProfile> active;
    if (manager && SUCCEEDED(manager->GetActiveProfile(active.Put())) && active)
        manager->SetActiveProfile(active.Get());
}

std::wstring FormatKey(const AssignmentRecord& record)
{
    const DWORD bits = record.Modifiers();
    std::wstring text = L"Single Key: ";
    if (bits & hvmw::kModShift)
        text += L"SHIFT ";
    if (bits & hvmw::kModCtrl)
        text += L"CTRL ";
    if (bits & hvmw::kModAlt)
        text += L"ALT ";
    if (bits & hvmw::kModExtended)
        text += L"EXT ";
    return text + KeyNameOfParam(SingleKeyNameParam(record.MakeCode(), (bits & hvmw::kModExtended) != 0),
                                 kKeyNameChars);
}

std::wstring FormatRepeat(const AssignmentRecord& record)
{
    std::wstring text = L"Macro Id = " + GuidText(record.TargetGuid());
    switch (record.RepeatMode()) {
    case hvmw::kRepeatCount:
        return text + wstr::Format(L", Repeat: %d", record.RepeatCount());
    case hvmw::kRepeatWhileHeld:
        return text + L", Repeat while held down";
    case hvmw::kRepeatUntilPressed:
        return text + L", Repeat until pressed again";
    default:
        return text;
    }
}

} // namespace

const wchar_t* ButtonName(DWORD id)
{
    return id >= hvmw::kButtonLeft && id <= hvmw::kButtonDpiDown ? kButtonNames[id - 1] : nullptr;
}

std::wstring FormatAssignment(const AssignmentRecord& record, bool keys)
{
    switch (record.kind) {
    case hvmw::kKindNone:
        return L"Not mapped";
    case hvmw::kKindFunction: {
        const DWORD last = keys ? kLastKeyFunction : hvmw::kFnProfileDown;
        return record.Code() <= last ? kFunctionTexts[record.Code()] : L"";
    }
    case hvmw::kKindMacro:
        return L"Macro Id = " + GuidText(record.TargetGuid());
    case hvmw::kKindProfile:
        if (record.Code() == hvmw::kProfileOpById)
            return L"Profile Id = " + GuidText(record.ProfileGuid());
        return record.Code() < std::size(kProfileOpTexts) ? kProfileOpTexts[record.Code()] : L"";
    case hvmw::kKindDpi:
        // The stage field counts from 0; the list counts stages from 1.
        if (record.Code() == hvmw::kDpiOpStage)
            return wstr::Format(L"Dpi Stage = %lu", static_cast<unsigned long>(record.Stage()) + 1);
        return record.Code() < std::size(kDpiOpTexts) ? kDpiOpTexts[record.Code()] : L"";
    case hvmw::kKindKey:
        return FormatKey(record);
    case hvmw::kKindMacroRepeat:
        return FormatRepeat(record);
    case hvmw::kKindApplication:
        return keys ? L"Application Id = " + GuidText(record.TargetGuid()) : L"";
    default:
        return L"";
    }
}

// ---- CButtonsPage -------------------------------------------------------------------------------

BEGIN_MSG_MAP(CButtonsPage, CHvMwPage)
    ON_NOTIFY(NM_DBLCLK, IDC_BUTTON_LIST, OnListDoubleClick)
END_MSG_MAP()

CButtonsPage::CButtonsPage() : CHvMwPage(IDD_BUTTONS)
{
}

BOOL CButtonsPage::OnInitDialog()
{
    SetUpList(m_list, m_hWnd, IDC_BUTTON_LIST, {{L"Button", LVCFMT_LEFT, 100}, {L"Mapping", LVCFMT_LEFT, 300}},
              kGridRows);
    return CHvMwPage::OnInitDialog();
}

BOOL CButtonsPage::OnSetActive()
{
    m_list.DeleteAllItems();
    m_buttons = MouseProfileFeature<IButtonAssignments>();
    if (m_buttons)
        FillList();
    return CHvMwPage::OnSetActive();
}

void CButtonsPage::LetGo()
{
    m_buttons.Reset();
}

void CButtonsPage::FillList()
{
    m_list.DeleteAllItems();
    if (!m_buttons)
        return;
    int row = 0;
    for (const AssignmentRecord& record : ReadAll<ButtonCountInfo>(m_buttons.Get())) {
        // Only the buttons the page knows get a row.
        const wchar_t* name = ButtonName(record.id);
        if (!name)
            continue;
        row = m_list.InsertItem(row, name, static_cast<LPARAM>(record.id));
        if (row < 0)
            break;
        m_list.SetItemText(row, 1, FormatAssignment(record, false).c_str());
        ++row;
    }
}

void CButtonsPage::OnListDoubleClick(NMHDR* header, LRESULT*)
{
    const int row = CellHit(m_list, header).iItem;
    if (!m_buttons || row < 0)
        return;
    AssignmentRecord record = {};
    record.id = static_cast<DWORD>(m_list.GetItemData(row));
    // A record that cannot be read is not edited: writing it back would lose the button's mapping.
    if (!ReadOne(m_buttons.Get(), record))
        return;
    CComPtr<IProfileManager> profiles = DeviceFeature<IProfileManager>();
    CButtonsDlg editor(&record, ButtonName(record.id) ? ButtonName(record.id) : L"", profiles,
                       DeviceFeature<IMacroManager>(), DeviceFeature<IApplicationList>(), this);
    if (editor.DoModal() != IDOK || !m_buttons || FAILED(m_buttons->SetAssignments(1, &record)))
        return;
    FillList();
    ApplyActiveProfile(profiles.Get());
}

// ---- CKeysPage ----------------------------------------------------------------------------------

BEGIN_MSG_MAP(CKeysPage, CHvMwPage)
    ON_NOTIFY(NM_DBLCLK, IDC_KEY_LIST, OnListDoubleClick)
END_MSG_MAP()

CKeysPage::CKeysPage() : CHvMwPage(IDD_KEYS)
{
}

BOOL CKeysPage::OnInitDialog()
{
    SetUpList(m_list, m_hWnd, IDC_KEY_LIST,
              {{L"Make Code", LVCFMT_LEFT, 100}, {L"Keys", LVCFMT_LEFT, 100}, {L"Mapping", LVCFMT_LEFT, 300}}, kGridRows);
    return CHvMwPage::OnInitDialog();
}

CComPtr<IKeyAssignments> CKeysPage::KeyAssignments(CComPtr<IProfileManager>* manager) const
{
    CComPtr<IKeyAssignments> keys;
    CComPtr<IProfile> active;
    *manager = DeviceFeature<IProfileManager>();
    if (*manager && SUCCEEDED((*manager)->GetActiveProfile(active.Put())) && active)
        active->GetFeature(__uuidof(IKeyAssignments), keys.PutVoid());
    return keys;
}

BOOL CKeysPage::OnSetActive()
{
    m_list.DeleteAllItems();
    CComPtr<IProfileManager> manager;
    if (CComPtr<IKeyAssignments> keys = KeyAssignments(&manager))
        FillList(keys.Get());
    return CHvMwPage::OnSetActive();
}

void CKeysPage::FillList(IKeyAssignments* keys)
{
    m_list.DeleteAllItems();
    int row = 0;
    for (const AssignmentRecord& record : ReadAll<KeyCountInfo>(keys)) {
        row = m_list.InsertItem(row, wstr::Format(L"%08x", static_cast<unsigned>(record.id)).c_str(),
                                static_cast<LPARAM>(record.id));
        if (row < 0)
            break;
        m_list.SetItemText(row, 1, KeyNameOfCode(record.id, kKeyNameChars).c_str());
        m_list.SetItemText(row, 2, FormatAssignment(record, true).c_str());
        ++row;
    }
}

void CKeysPage::OnListDoubleClick(NMHDR* header, LRESULT*)
{
    if (!Device())
        return;
    const int row = CellHit(m_list, header).iItem;
    AssignmentRecord record = {};
    if (row >= 0) {
        record.id = static_cast<DWORD>(m_list.GetItemData(row));
        CComPtr<IProfileManager> manager;
        CComPtr<IKeyAssignments> keys = KeyAssignments(&manager);
        // A record that cannot be read is not edited: writing it back would lose the key's mapping.
        if (!keys || !ReadOne(keys.Get(), record))
            return;
    } else {
        // Below the rows: a new key, pressed in the capture dialog, mapped to itself to begin with.
        CNewKeyMappingDlg capture(this);
        if (capture.DoModal() != IDOK || capture.Key().scanCode == 0)
            return;
        record.id = capture.Key().deviceCode;
        record.kind = hvmw::kKindKey;
        record.SetMakeCode(capture.Key().scanCode);
        record.SetModifiers(capture.Key().modifiers);
    }
    EditAndWrite(record);
}

void CKeysPage::EditAndWrite(AssignmentRecord& record)
{
    CButtonsDlg editor(&record, std::wstring(), DeviceFeature<IProfileManager>(), DeviceFeature<IMacroManager>(),
                       DeviceFeature<IApplicationList>(), this);
    if (editor.DoModal() != IDOK)
        return;
    CComPtr<IProfileManager> manager;
    CComPtr<IKeyAssignments> keys = KeyAssignments(&manager);
    if (!keys || FAILED(keys->SetAssignments(1, &record)))
        return;
    FillList(keys.Get());
    ApplyActiveProfile(manager.Get());
}
