#include "mwtest/AssignmentDialogs.h"

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

namespace {

constexpr WORD kScanPauseOrNumLock = 0x45;
constexpr WORD kVkPause = VK_PAUSE;  // 0x13

struct Choice
{
    const wchar_t* text;
    DWORD value;
};

// The functions of the "Buttons" group, in the order the combo shows them.
constexpr Choice kFunctions[] = {
    {L"Disabled", hvmw::kFnDisabled},
    {L"Click", hvmw::kFnClick},
    {L"Menu", hvmw::kFnMenu},
    {L"Universal Scrolling", hvmw::kFnUniversalScroll},
    {L"Backward", hvmw::kFnBackward},
    {L"Forward", hvmw::kFnForward},
    {L"Scroll Up", hvmw::kFnScrollUp},
    {L"Scroll Down", hvmw::kFnScrollDown},
    {L"On-The-Fly-Sensitivity", hvmw::kFnOtfSensitivity},
    {L"Dpi Up", hvmw::kFnDpiUp},
    {L"Dpi Down", hvmw::kFnDpiDown},
    {L"Double click", hvmw::kFnDoubleClick},
};
// The operations of the profile and DPI groups: an item's position is its sub-code.
constexpr const wchar_t* kProfileOps[] = {L"None", L"Previous", L"Next", L"Profile ID"};
constexpr const wchar_t* kDpiOps[] = {L"None", L"Dpi Up", L"Dpi Down", L"Dpi Stage"};
constexpr Choice kRepeatModes[] = {
    {L"Run Once", hvmw::kRepeatOnce},
    {L"Run Multile times", hvmw::kRepeatCount},
    {L"Repeat while held down", hvmw::kRepeatWhileHeld},
    {L"Repeat until pressed again", hvmw::kRepeatUntilPressed},
};

// The groups, in the order OK takes them.
constexpr int kGroups[] = {IDC_MAP_BUTTONS,  IDC_MAP_APPLICATION, IDC_MAP_MACROS, IDC_MAP_REPEAT,
                           IDC_MAP_PROFILES, IDC_MAP_DPI,         IDC_MAP_SINGLE_KEY};

// The most a repeat count holds (one byte).
constexpr int kMaxRepeat = 255;

// A record of kind with its payload cleared: what an earlier kind left there means nothing now.
void Reset(AssignmentRecord& record, DWORD kind)
{
    record.kind = kind;
    std::memset(record.payload, 0, sizeof(record.payload));
}

} // namespace

// ---- CKeyCaptureCtrl -----------------------------------------------------------------------------

BEGIN_MSG_MAP(CKeyCaptureCtrl, CHotKeyCtrl)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_SYSKEYDOWN, OnKeyDown)
END_MSG_MAP()

LRESULT CKeyCaptureCtrl::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (wParam != VK_SHIFT && wParam != VK_CONTROL && wParam != VK_MENU) {
        m_pressed = static_cast<WORD>(wParam);
        m_pressedExtended = (lParam & (1 << 24)) != 0;
    }
    return Default();
}

void CKeyCaptureCtrl::GetKey(WORD* virtualKey, WORD* modifiers) const
{
    GetHotKey(virtualKey, modifiers);
    if (*virtualKey != 0 && *virtualKey == m_pressed && m_pressedExtended)
        *modifiers |= HOTKEYF_EXT;
}

void CKeyCaptureCtrl::SetKey(WORD virtualKey, WORD modifiers)
{
    m_pressed = 0;
    m_pressedExtended = false;
    SetHotKey(virtualKey, modifiers);
}

// ---- CButtonsDlg --------------------------------------------------------------------------------

BEGIN_MSG_MAP(CButtonsDlg, CDialog)
    ON_CONTROL_RANGE(CBN_DROPDOWN, IDC_MAP_MACRO, IDC_MAP_APPLICATION_ID, OnDropDown)
END_MSG_MAP()

CButtonsDlg::CButtonsDlg(AssignmentRecord* record, const std::wstring& caption, CComPtr<IProfileManager> profiles,
                         CComPtr<IMacroManager> macros, CComPtr<IApplicationList> applications, CWnd* parent)
    : CDialog(IDD_BUTTON_MAPPING, parent), m_record(record), m_caption(caption), m_profiles(std::move(profiles)),
      m_macros(std::move(macros)), m_applications(std::move(applications))
{
}

BOOL CButtonsDlg::OnInitDialog()
{
    SetWindowText(m_caption.c_str());
    m_function.SubclassDlgItem(IDC_MAP_FUNCTION, m_hWnd);
    m_macro.SubclassDlgItem(IDC_MAP_MACRO, m_hWnd);
    m_profileOp.SubclassDlgItem(IDC_MAP_PROFILE_OP, m_hWnd);
    m_profileId.SubclassDlgItem(IDC_MAP_PROFILE_ID, m_hWnd);
    m_dpiOp.SubclassDlgItem(IDC_MAP_DPI_OP, m_hWnd);
    m_dpiStage.SubclassDlgItem(IDC_MAP_DPI_STAGE, m_hWnd);
    m_repeatMacro.SubclassDlgItem(IDC_MAP_REPEAT_MACRO, m_hWnd);
    m_repeatMode.SubclassDlgItem(IDC_MAP_REPEAT_MODE, m_hWnd);
    m_application.SubclassDlgItem(IDC_MAP_APPLICATION_ID, m_hWnd);
    m_hotKey.SubclassDlgItem(IDC_MAP_HOTKEY, m_hWnd);
    FillCombos();
    Preselect();
    return TRUE;
}

void CButtonsDlg::FillMacros(CComboBox& combo, const std::vector<std::wstring>& names)
{
    for (size_t i = 0; i < m_macroIds.size(); ++i) {
        const int item = combo.AddString((names[i] + L" - " + GuidText(m_macroIds[i])).c_str());
        if (item >= 0)
            combo.SetItemData(item, static_cast<LPARAM>(i));
    }
}

void CButtonsDlg::FillCombos()
{
    for (const Choice& function : kFunctions) {
        const int item = m_function.AddString(function.text);
        if (item >= 0)
            m_function.SetItemData(item, function.value);
    }
    std::vector<std::wstring> names;
    for (int i = 0; m_macros && i < kMaxListWalk; ++i) {
        CComPtr<IMacro> macro;
        if (FAILED(m_macros->GetMacro(i, macro.Put())) || !macro)
            break;
        // A macro without an id cannot be assigned: the others still can.
        GUID id = {};
        if (FAILED(macro->GetId(&id)))
            continue;
        LPWSTR name = nullptr;
        const HRESULT named = macro->GetName(&name);
        names.push_back(SUCCEEDED(named) ? TakeText(name) : std::wstring());
        if (FAILED(named))
            ::CoTaskMemFree(name);
        m_macroIds.push_back(id);
    }
    FillMacros(m_macro, names);
    FillMacros(m_repeatMacro, names);
    for (const wchar_t* op : kProfileOps)
        m_profileOp.AddString(op);
    for (const wchar_t* op : kDpiOps)
        m_dpiOp.AddString(op);
    if (m_profiles) {
        for (int i = 0; i < kMaxListWalk; ++i) {
            CComPtr<IProfile> profile;
            if (FAILED(m_profiles->GetProfile(i, profile.Put())) || !profile)
                break;
            GUID id = {};
            if (SUCCEEDED(profile->GetId(&id)))
                m_profileId.AddString(GuidText(id).c_str());
        }
        // The stages of the active profile: as many as the array handed out holds.
        CComPtr<IProfile> active;
        CComPtr<IDpi> dpi;
        int count = 0;
        DpiValue* stages = nullptr;
        if (SUCCEEDED(m_profiles->GetActiveProfile(active.Put())) && active &&
            SUCCEEDED(active->GetFeature(__uuidof(IDpi), dpi.PutVoid())) && dpi &&
            SUCCEEDED(dpi->GetStages(&count, &stages))) {
            const int held = TaskBlockItems(stages, count, sizeof(DpiValue));
            for (int stage = 1; stage <= held; ++stage)
                m_dpiStage.AddString(wstr::Format(L"%d", stage).c_str());
        }
        ::CoTaskMemFree(stages);
    }
    for (const Choice& mode : kRepeatModes) {
        const int item = m_repeatMode.AddString(mode.text);
        if (item >= 0)
            m_repeatMode.SetItemData(item, mode.value);
    }
    if (m_applications) {
        for (int i = 0; i < kMaxListWalk; ++i) {
            CComPtr<IApplication> application;
            if (FAILED(m_applications->GetApplication(i, application.Put())) || !application)
                break;
            GUID id = {};
            if (FAILED(application->GetId(&id)))
                continue;
            const int item = m_application.AddString(GuidText(id).c_str());
            if (item >= 0)
                m_application.SetItemData(item, static_cast<LPARAM>(m_applicationIds.size()));
            m_applicationIds.push_back(id);
        }
    }
}

void CButtonsDlg::SelectData(CComboBox& combo, LPARAM data)
{
    for (int item = 0, count = combo.GetCount(); item < count; ++item)
        if (combo.GetItemData(item) == data) {
            combo.SetCurSel(item);
            return;
        }
}

void CButtonsDlg::SelectId(CComboBox& combo, const std::vector<GUID>& ids, const GUID& id) const
{
    for (size_t i = 0; i < ids.size(); ++i)
        if (::IsEqualGUID(ids[i], id))
            SelectData(combo, static_cast<LPARAM>(i));
}

bool CButtonsDlg::SelectedId(const CComboBox& combo, const std::vector<GUID>& ids, GUID* id) const
{
    const int item = combo.GetCurSel();
    if (item < 0)
        return false;
    const LRESULT index = combo.GetItemData(item);
    if (index < 0 || static_cast<size_t>(index) >= ids.size())
        return false;
    *id = ids[static_cast<size_t>(index)];
    return true;
}

void CButtonsDlg::Preselect()
{
    const AssignmentRecord& record = *m_record;
    int group = 0;
    switch (record.kind) {
    case hvmw::kKindFunction:
        group = IDC_MAP_BUTTONS;
        SelectData(m_function, static_cast<LPARAM>(record.Code()));
        break;
    case hvmw::kKindMacro:
        group = IDC_MAP_MACROS;
        SelectId(m_macro, m_macroIds, record.TargetGuid());
        break;
    case hvmw::kKindProfile:
        group = IDC_MAP_PROFILES;
        if (record.Code() < std::size(kProfileOps))
            m_profileOp.SetCurSel(static_cast<int>(record.Code()));
        if (record.Code() == hvmw::kProfileOpById)
            m_profileId.SetCurSel(m_profileId.FindStringExact(-1, GuidText(record.ProfileGuid()).c_str()));
        break;
    case hvmw::kKindDpi:
        group = IDC_MAP_DPI;
        if (record.Code() < std::size(kDpiOps))
            m_dpiOp.SetCurSel(static_cast<int>(record.Code()));
        // The stage field counts from 0, as the combo's items do.
        if (record.Code() == hvmw::kDpiOpStage && record.Stage() < static_cast<DWORD>(m_dpiStage.GetCount()))
            m_dpiStage.SetCurSel(static_cast<int>(record.Stage()));
        break;
    case hvmw::kKindKey: {
        group = IDC_MAP_SINGLE_KEY;
        const WORD scan = record.MakeCode();
        const bool extended = (record.Modifiers() & hvmw::kModExtended) != 0;
        // 0x45 is Pause with the extended bit and Num Lock without it: the other way round to the
        // hot key's view, where Num Lock is the extended key.
        const bool hotKeyExtended = scan == kScanPauseOrNumLock ? !extended : extended;
        m_hotKey.SetKey(static_cast<WORD>(::MapVirtualKeyW(scan, MAPVK_VSC_TO_VK_EX)), hotKeyExtended ? HOTKEYF_EXT : 0);
        ::CheckDlgButton(m_hWnd, IDC_MAP_SHIFT, (record.Modifiers() & hvmw::kModShift) ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, IDC_MAP_CTRL, (record.Modifiers() & hvmw::kModCtrl) ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, IDC_MAP_ALT, (record.Modifiers() & hvmw::kModAlt) ? BST_CHECKED : BST_UNCHECKED);
        break;
    }
    case hvmw::kKindMacroRepeat:
        group = IDC_MAP_REPEAT;
        SelectId(m_repeatMacro, m_macroIds, record.TargetGuid());
        SelectData(m_repeatMode, record.RepeatMode());
        SetDlgItemText(IDC_MAP_REPEAT_COUNT,
                       wstr::Format(L"%d", record.RepeatMode() == hvmw::kRepeatCount ? record.RepeatCount() : 1).c_str());
        break;
    case hvmw::kKindApplication:
        group = IDC_MAP_APPLICATION;
        SelectId(m_application, m_applicationIds, record.TargetGuid());
        break;
    default:
        break;
    }
    for (int id : kGroups)
        ::CheckDlgButton(m_hWnd, id, id == group ? BST_CHECKED : BST_UNCHECKED);
}

void CButtonsDlg::OnDropDown(UINT id)
{
    // The combos whose items are long: the drop-down is as wide as the widest.
    if (id != IDC_MAP_MACRO && id != IDC_MAP_APPLICATION_ID && id != IDC_MAP_PROFILE_ID && id != IDC_MAP_REPEAT_MACRO)
        return;
    auto* combo = dynamic_cast<CComboBox*>(CWnd::FromHandlePermanent(GetDlgItem(static_cast<int>(id))));
    if (combo)
        combo->SetDroppedWidth(combo->WidestItemWidth());
}

bool CButtonsDlg::BuildKey(AssignmentRecord& record) const
{
    WORD vk = 0;
    WORD modifiers = 0;
    m_hotKey.GetKey(&vk, &modifiers);
    bool extended = (modifiers & HOTKEYF_EXT) != 0;
    WORD scan = 0;
    if (vk == kVkPause) {
        scan = kScanPauseOrNumLock;
        extended = true;
    } else {
        scan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        if (scan == kScanPauseOrNumLock)
            extended = false;
    }
    if (scan == 0)
        return false;  // no key
    Reset(record, hvmw::kKindKey);
    DWORD bits = 0;
    if (::IsDlgButtonChecked(m_hWnd, IDC_MAP_SHIFT) == BST_CHECKED)
        bits |= hvmw::kModShift;
    if (::IsDlgButtonChecked(m_hWnd, IDC_MAP_CTRL) == BST_CHECKED)
        bits |= hvmw::kModCtrl;
    if (::IsDlgButtonChecked(m_hWnd, IDC_MAP_ALT) == BST_CHECKED)
        bits |= hvmw::kModAlt;
    if (extended)
        bits |= hvmw::kModExtended;
    record.SetModifiers(bits);
    record.SetMakeCode(scan);
    return true;
}

bool CButtonsDlg::BuildRecord(AssignmentRecord& record) const
{
    int group = 0;
    for (int id : kGroups)
        if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) {
            group = id;
            break;
        }
    GUID id = {};
    switch (group) {
    case IDC_MAP_BUTTONS: {
        const int item = m_function.GetCurSel();
        if (item < 0)
            return false;
        Reset(record, hvmw::kKindFunction);
        record.SetCode(static_cast<DWORD>(m_function.GetItemData(item)));
        return true;
    }
    case IDC_MAP_APPLICATION:
    case IDC_MAP_MACROS:
        if (!SelectedId(group == IDC_MAP_MACROS ? m_macro : m_application,
                        group == IDC_MAP_MACROS ? m_macroIds : m_applicationIds, &id))
            return false;
        Reset(record, group == IDC_MAP_MACROS ? hvmw::kKindMacro : hvmw::kKindApplication);
        record.SetTargetGuid(id);
        record.SetWord28(1);
        return true;
    case IDC_MAP_REPEAT: {
        const int mode = m_repeatMode.GetCurSel();
        if (!SelectedId(m_repeatMacro, m_macroIds, &id) || mode < 0)
            return false;
        const BYTE repeat = static_cast<BYTE>(m_repeatMode.GetItemData(mode));
        int count = 1;
        if (repeat == hvmw::kRepeatCount) {
            count = DlgItemNumber(m_hWnd, IDC_MAP_REPEAT_COUNT);
            if (count < 1 || count > kMaxRepeat)
                return false;
        }
        Reset(record, hvmw::kKindMacroRepeat);
        record.SetTargetGuid(id);
        record.SetRepeatMode(repeat);
        record.SetRepeatCount(static_cast<BYTE>(count));
        record.SetWord30(0);
        return true;
    }
    case IDC_MAP_PROFILES: {
        const int op = m_profileOp.GetCurSel();
        if (op < 0)
            return false;
        if (static_cast<DWORD>(op) == hvmw::kProfileOpById) {
            const int item = m_profileId.GetCurSel();
            if (item < 0 || !ParseGuid(m_profileId.GetLBText(item), &id))
                return false;
        }
        Reset(record, hvmw::kKindProfile);
        record.SetCode(static_cast<DWORD>(op));
        if (static_cast<DWORD>(op) == hvmw::kProfileOpById)
            record.SetProfileGuid(id);
        return true;
    }
    case IDC_MAP_DPI: {
        const int op = m_dpiOp.GetCurSel();
        const int stage = m_dpiStage.GetCurSel();
        if (op < 0 || (static_cast<DWORD>(op) == hvmw::kDpiOpStage && stage < 0))
            return false;
        Reset(record, hvmw::kKindDpi);
        record.SetCode(static_cast<DWORD>(op));
        // The stage counts from 0: the first item is stage 0.
        if (static_cast<DWORD>(op) == hvmw::kDpiOpStage)
            record.SetStage(static_cast<DWORD>(stage));
        return true;
    }
    case IDC_MAP_SINGLE_KEY:
        return BuildKey(record);
    default:
        return false;
    }
}

void CButtonsDlg::OnOK()
{
    // Built aside: a group without a usable choice leaves the record as it was.
    AssignmentRecord record = *m_record;
    if (BuildRecord(record))
        *m_record = record;
    EndDialog(IDOK);
}

// ---- CNewKeyMappingDlg --------------------------------------------------------------------------

CapturedKey CaptureKey(WORD virtualKey, WORD hotKeyModifiers)
{
    CapturedKey key;
    if (virtualKey == kVkPause) {
        // Pause is the E1 key; its single-key record names it 0x45 with the extended bit.
        key.scanCode = kScanPauseOrNumLock;
        key.deviceCode = kScanPauseOrNumLock | hvmw::kKeyCodeE1;
        key.modifiers = hvmw::kModExtended;
        return key;
    }
    key.scanCode = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    key.deviceCode = key.scanCode;
    // An extended key is its E0 key on the device (Num Lock, 0x45, has no prefix there).
    if ((hotKeyModifiers & HOTKEYF_EXT) && key.scanCode != 0 && key.scanCode != kScanPauseOrNumLock) {
        key.deviceCode |= hvmw::kKeyCodeE0;
        key.modifiers = hvmw::kModExtended;
    }
    return key;
}

CNewKeyMappingDlg::CNewKeyMappingDlg(CWnd* parent) : CDialog(IDD_NEW_KEY_MAPPING, parent)
{
}

BOOL CNewKeyMappingDlg::OnInitDialog()
{
    m_hotKey.SubclassDlgItem(IDC_NEWKEY_HOTKEY, m_hWnd);
    // Every combination with a modifier is invalid: the key alone is taken.
    m_hotKey.SetRules(HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_SC | HKCOMB_SA | HKCOMB_CA | HKCOMB_SCA, HOTKEYF_SHIFT);
    m_hotKey.SetFocus();
    return FALSE;
}

void CNewKeyMappingDlg::OnOK()
{
    WORD vk = 0;
    WORD modifiers = 0;
    m_hotKey.GetKey(&vk, &modifiers);
    m_key = CaptureKey(vk, modifiers);
    EndDialog(IDOK);
}
