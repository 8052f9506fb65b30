#include "mwtest/ProfilesPage.h"

#include <vector>

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

namespace {

const wchar_t kProfileFilter[] = L"Halvo Profile Files (*.hvp)|*.hvp|All Files (*.*)|*.*||";

// The columns, and the flag bit each flag column shows.
enum Column { kColumnName, kColumnApplication, kColumnAutoSwitch, kColumnOsdDpi, kColumnOsdProfile };
constexpr WORD kFlagOfColumn[] = {0, 0, hvmw::kFlagAutoSwitch, hvmw::kFlagOsdDpi, hvmw::kFlagOsdProfile};
const wchar_t kOn[] = L"On";

// The most a profile's path may take; a middleware asking for more is not believed.
constexpr DWORD kMaxPathBytes = 0x10000 * sizeof(wchar_t);

// Every property buffer has one zeroed character more than the size the middleware is told, so
// that what it leaves in the buffer always ends.
class CPropertyText
{
public:
    explicit CPropertyText(DWORD bytes) : m_chars((bytes + 1) / sizeof(wchar_t) + 1, L'\0') {}
    void* Data() { return m_chars.data(); }
    std::wstring Text() const { return m_chars.data(); }

private:
    std::vector<wchar_t> m_chars;
};

// The linked application of a profile: the path of any length (0x80000005), else the fixed form
// (0x80000002) where the middleware has no such property. False when there is none to show.
bool ReadApplication(IProfileProperties* properties, std::wstring* text)
{
    CPropertyText first(sizeof(wchar_t));
    DWORD size = sizeof(wchar_t);
    const HRESULT hr = properties->GetProperty(hvmw::kPropAppPath, 0, first.Data(), 0, &size);
    if (hr == HVMW_E_NOTIMPL) {
        CPropertyText fixed(hvmw::kLinkedAppBytes);
        size = hvmw::kLinkedAppBytes;
        if (FAILED(properties->GetProperty(hvmw::kPropLinkedApp, 0, fixed.Data(), 0, &size)) || size == 0)
            return false;
        *text = fixed.Text();
        return true;
    }
    if (hr == HVMW_E_MORE_DATA) {
        // The size now holds the bytes needed.
        if (size == 0 || size > kMaxPathBytes)
            return false;
        CPropertyText whole(size);
        if (FAILED(properties->GetProperty(hvmw::kPropAppPath, 0, whole.Data(), 0, &size)))
            return false;
        *text = whole.Text();
        return true;
    }
    *text = first.Text();
    return !text->empty() && size != 0;
}

} // namespace

HRESULT STDMETHODCALLTYPE CProfileManagerSink::OnActiveProfileChanged(int)
{
    if (CProfilesPage* page = OwnerPage())
        page->PostMessage(kMsgActiveProfileChanged, 0, 0);
    return S_OK;
}

BEGIN_MSG_MAP(CProfilesPage, CHvMwPage)
    ON_NOTIFY(NM_RCLICK, IDC_PROFILE_LIST, OnListRightClick)
    ON_NOTIFY(NM_CLICK, IDC_PROFILE_LIST, OnListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_PROFILE_LIST, OnListDoubleClick)
    ON_NOTIFY(LVN_ENDLABELEDITW, IDC_PROFILE_LIST, OnEndLabelEdit)
    ON_MESSAGE(kMsgActiveProfileChanged, OnActiveProfileChanged)
    ON_MESSAGE(kMsgCheckBoxClicked, OnSetActiveProfile)
    ON_MESSAGE(kMsgRefill, OnRefill)
END_MSG_MAP()

CProfilesPage::CProfilesPage() : CHvMwPage(IDD_PROFILES), m_sink(this)
{
}

BOOL CProfilesPage::OnInitDialog()
{
    // The columns in the order of Column.
    SetUpList(m_list, m_hWnd, IDC_PROFILE_LIST,
              {{L"Name", LVCFMT_LEFT, 70},
               {L"Application", LVCFMT_LEFT, 150},
               {L"Auto Switch", LVCFMT_CENTER, 70},
               {L"OSD DPI", LVCFMT_CENTER, 60},
               {L"OSD Profile", LVCFMT_CENTER, 70}},
              LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    return CHvMwPage::OnInitDialog();
}

BOOL CProfilesPage::OnSetActive()
{
    if (!m_manager) {
        m_manager = DeviceFeature<IProfileManager>();
        if (m_manager)
            FillList();
    }
    if (m_manager)
        m_sink.Advise(m_manager.Get());
    return CHvMwPage::OnSetActive();
}

void CProfilesPage::LetGo()
{
    m_sink.Unadvise();
    ReleaseRows<IProfile>(m_list);
    m_manager.Reset();
}

IProfile* CProfilesPage::RowProfile(int row) const
{
    return RowObject<IProfile>(m_list, row);
}

void CProfilesPage::FillList()
{
    ReleaseRows<IProfile>(m_list);
    if (!m_manager)
        return;
    GUID active = {};
    {
        CComPtr<IProfile> profile;
        if (SUCCEEDED(m_manager->GetActiveProfile(profile.Put())) && profile && FAILED(profile->GetId(&active)))
            active = GUID{};
    }
    for (int i = 0; i < kMaxListWalk; ++i) {
        IProfile* profile = nullptr;
        if (FAILED(m_manager->GetProfile(i, &profile)) || !profile)
            break;
        const int row = AddObjectRow(m_list, i, wstr::Format(L"%d", i).c_str(), profile);
        if (row < 0)
            break;
        LPWSTR name = nullptr;
        if (SUCCEEDED(profile->GetName(&name)))
            m_list.SetItemText(row, kColumnName, TakeText(name).c_str());
        else
            ::CoTaskMemFree(name);
        ShowProperties(row, profile);
        GUID id = {};
        if (SUCCEEDED(profile->GetId(&id)) && ::IsEqualGUID(id, active))
            m_list.SetCheck(row, true);
    }
}

void CProfilesPage::ShowProperties(int row, IProfile* profile)
{
    CComPtr<IProfileProperties> properties;
    if (FAILED(profile->GetFeature(__uuidof(IProfileProperties), properties.PutVoid())) || !properties)
        return;
    std::wstring application;
    if (ReadApplication(properties.Get(), &application))
        m_list.SetItemText(row, kColumnApplication, application.c_str());
    WORD flags = 0;
    DWORD size = sizeof(flags);
    if (SUCCEEDED(properties->GetProperty(hvmw::kPropFlags, 0, &flags, 0, &size)))
        for (int column : {kColumnAutoSwitch, kColumnOsdDpi, kColumnOsdProfile})
            m_list.SetItemText(row, column, (flags & kFlagOfColumn[column]) ? kOn : L"");
}

LRESULT CProfilesPage::OnRefill(WPARAM, LPARAM)
{
    FillList();
    return 0;
}

// ---- The context menu ---------------------------------------------------------------------------

void CProfilesPage::OnListRightClick(NMHDR* header, LRESULT*)
{
    const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    // The command runs once the menu has closed.
    if (const UINT command = TrackContextMenu(IDR_PROFILE_MENU))
        RunCommand(command, row);
}

void CProfilesPage::RunCommand(UINT command, int row)
{
    if (!m_manager)
        return;
    // A row was clicked when the notification names one. Held for the command: a file dialog's
    // loop may let the rows be filled again.
    const CComPtr<IProfile> clicked(RowProfile(row));
    switch (command) {
    case ID_MENU_NEW: {
        // A failed call hands out nothing to release.
        IProfile* added = nullptr;
        if (FAILED(m_manager->AddProfile(&added)))
            Tell(L"Cannot add new profile!");
        else if (added)
            added->Release();
        break;
    }
    case ID_MENU_DELETE:
        if (!clicked)
            return;
        if (FAILED(m_manager->DeleteProfile(clicked.Get())))
            Tell(L"Cannot delete profile!");
        break;
    case ID_MENU_IMPORT: {
        std::wstring path;
        if (!ChooseFile(true, L"hvp", kProfileFilter, &path))
            return;
        IProfile* imported = nullptr;
        if (SUCCEEDED(m_manager->ImportProfile(path.c_str(), &imported)) && imported)
            imported->Release();
        break;
    }
    case ID_MENU_EXPORT: {
        std::wstring path;
        if (clicked && ChooseFile(false, L"hvp", kProfileFilter, &path))
            clicked->Export(path.c_str());
        return;
    }
    case ID_MENU_SET_ACTIVE:
        // The check box follows through the profile manager's event.
        if (clicked)
            m_manager->SetActiveProfile(clicked.Get());
        return;
    case ID_MENU_RESTORE_DEFAULT: {
        CComPtr<IRestoreDefaults> restore;
        if (!clicked || FAILED(clicked->QueryInterface(IID_PPV_ARGS(restore.Put()))))
            return;
        restore->RestoreDefaults();
        break;
    }
    default:
        return;
    }
    PostMessage(kMsgRefill);
}

// ---- The active profile's check box -------------------------------------------------------------

void CProfilesPage::OnListClick(NMHDR* header, LRESULT*)
{
    PostCheckBoxClick(m_list, header);
}

LRESULT CProfilesPage::OnSetActiveProfile(WPARAM wParam, LPARAM subItem)
{
    const int row = static_cast<int>(wParam);
    IProfile* profile = RowProfile(row);
    // Only checking a box activates; unchecking one does nothing.
    if (subItem != 0 || !profile || !m_list.GetCheck(row))
        return 0;
    if (FAILED(profile->Activate())) {
        Tell(L"Cannot set active profile!\n");
        return 0;
    }
    CheckOnly(row);
    return 0;
}

void CProfilesPage::CheckOnly(int row)
{
    for (int other = 0, count = m_list.GetItemCount(); other < count; ++other)
        if (other != row && m_list.GetCheck(other))
            m_list.SetCheck(other, false);
    m_list.SetCheck(row, true);
}

LRESULT CProfilesPage::OnActiveProfileChanged(WPARAM, LPARAM)
{
    if (!m_manager)
        return 0;
    CComPtr<IProfile> active;
    GUID id = {};
    if (FAILED(m_manager->GetActiveProfile(active.Put())) || !active || FAILED(active->GetId(&id)))
        return 0;
    for (int row = 0, count = m_list.GetItemCount(); row < count; ++row) {
        GUID rowId = {};
        IProfile* profile = RowProfile(row);
        if (profile && SUCCEEDED(profile->GetId(&rowId)) && ::IsEqualGUID(rowId, id))
            CheckOnly(row);
    }
    return 0;
}

// ---- Editing in place ---------------------------------------------------------------------------

void CProfilesPage::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    // The list never keeps the edited label: a successful rename refills it.
    *result = 0;
    const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    IProfile* profile = RowProfile(item.iItem);
    // No text: the edit was cancelled.
    if (!item.pszText || !profile)
        return;
    const std::wstring text = item.pszText;
    if (text == m_list.GetItemText(item.iItem, kColumnName))
        return;
    if (FAILED(profile->SetName(text.c_str())))
        Tell(L"Cannot change profile name");
    else
        PostMessage(kMsgRefill);
}

void CProfilesPage::OnListDoubleClick(NMHDR* header, LRESULT*)
{
    // The clicks of a double click on a check box are the box's (NM_CLICK).
    if (CheckBoxHit(m_list) >= 0)
        return;
    const LVHITTESTINFO hit = CellHit(m_list, header);
    IProfile* profile = RowProfile(hit.iItem);
    if (!profile)
        return;
    switch (hit.iSubItem) {
    case kColumnName:
        m_list.SetFocus();
        m_list.EditLabel(hit.iItem);
        break;
    case kColumnApplication:
        SetApplicationPath(profile);
        break;
    case kColumnAutoSwitch:
    case kColumnOsdDpi:
    case kColumnOsdProfile:
        ToggleFlag(profile, kFlagOfColumn[hit.iSubItem], m_list.GetItemText(hit.iItem, hit.iSubItem) == kOn);
        break;
    default:
        break;
    }
}

void CProfilesPage::SetApplicationPath(IProfile* profile)
{
    CComPtr<IProfileProperties> properties;
    if (FAILED(profile->GetFeature(__uuidof(IProfileProperties), properties.PutVoid())) || !properties)
        return;
    std::wstring path;
    if (!ChooseFile(true, nullptr, nullptr, &path))
        return;
    const DWORD bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    if (SUCCEEDED(properties->SetProperty(hvmw::kPropAppPath, path.c_str(), 0, bytes, 0)))
        PostMessage(kMsgRefill);
}

void CProfilesPage::ToggleFlag(IProfile* profile, WORD mask, bool isOn)
{
    CComPtr<IProfileProperties> properties;
    if (FAILED(profile->GetFeature(__uuidof(IProfileProperties), properties.PutVoid())) || !properties)
        return;
    WORD flags = 0;
    DWORD size = sizeof(flags);
    if (FAILED(properties->GetProperty(hvmw::kPropFlags, 0, &flags, 0, &size)))
        return;
    // One bit per write: the others keep their state.
    const ProfileFlagWrite write = {mask, static_cast<WORD>(isOn ? 0 : 1)};
    if (SUCCEEDED(properties->SetProperty(hvmw::kPropFlags, &write, 0, sizeof(write), 0)))
        PostMessage(kMsgRefill);
}
