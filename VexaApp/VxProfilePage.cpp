// The profile pages of both products: the profile list and the commands on it. The products differ
// only in the defaults a new or reset profile gets and in the preview (VxPageProfiles.cpp).
//
// Rows are added and deleted at the end only, so a row's key is its row number and the index of its
// profile in the configuration. Every handler reads the configuration and device pointers anew
// (VxPages.h) and gives up quietly where the list did not load.
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "controls/XListCtrl.h"
#include "core/NameTables.h"
#include "model/ImportCheck.h"
#include "platform/CommonDialogs.h"
#include "platform/WStr.h"
#include "VexaApp/DeviceWait.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxPopups.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

// The list's columns (their ids in the list column name table).
constexpr int kActiveColumn = 0;
constexpr int kNumberColumn = 1;
constexpr int kNameColumn = 2;
constexpr int kProgramColumn = 3;
constexpr int kSwitchColumn = 4;

constexpr wchar_t kProfileExtension[] = L"hvp";
// The device keeps the program's file name in a field of 128 characters.
constexpr size_t kMaxProgramFileName = 127;
constexpr size_t kMaxImportPath = 255;
// A copy's name: the source's name, cut where it is long, and the first free "(n)".
constexpr size_t kLongName = 20;
constexpr size_t kCutName = 18;
constexpr int kFirstCopyNumber = 2;
constexpr int kLastCopyNumber = 99;

const XListNotifyInfo* InfoOf(LPARAM info)
{
    return reinterpret_cast<const XListNotifyInfo*>(info);
}

std::wstring FileFilter()
{
    return wstr::Format(L"%ls Profile Files (*.%ls)|*.%ls||", kProfileExtension, kProfileExtension,
                        kProfileExtension);
}

} // namespace

template <class C, class D>
void CVxProfilePage<C, D>::InitProfilePage(CVxAppDlg* dialog, int32_t listId, int32_t osdButtonId)
{
    this->m_dialog = dialog;
    m_list = this->template FindAs<CXListCtrl>(listId, ItemKind::XListCtrl);
    m_menu = this->template FindAs<CListPanelItem>(LISTPANEL_PROFILEOPTIONS, ItemKind::ListPanelItem);
    m_osdButton = this->template FindAs<CBitmapBtn>(osdButtonId, ItemKind::BitmapBtn);
    if (m_list)
        m_list->SetContextMenu(m_menu);
    FillProfileList();
}

template <class C, class D>
void CVxProfilePage<C, D>::Refresh()
{
    UpdateUnassignEntry(-1);
}

template <class C, class D>
auto CVxProfilePage<C, D>::ProfileOfRow(int row) const -> ProfileItf*
{
    C* config = this->Config();
    return config && row >= 0 ? config->GetProfile(row) : nullptr;
}

template <class C, class D>
int CVxProfilePage<C, D>::TargetRow(int row) const
{
    // Without the list there is no row, and so no profile, to work on.
    if (!m_list)
        return -1;
    return row >= 0 && m_list->FindRowByKey(row) >= 0 ? row : m_list->GetSelectedRowKey();
}

template <class C, class D>
void CVxProfilePage<C, D>::FillProfileList()
{
    C* config = this->Config();
    if (!m_list || !config)
        return;
    const int count = config->GetProfileCount();
    while (m_list->GetItemCount() > count)
        m_list->DeleteRow(m_list->GetItemCount() - 1);
    while (m_list->GetItemCount() < count)
        m_list->InsertRow(m_list->GetItemCount());

    ProfileItf* active = config->GetActiveProfile();
    int activeRow = 0;
    for (int row = 0; row < count; ++row) {
        ProfileItf* profile = config->GetProfile(row);
        if (profile == active)
            activeRow = row;
        m_list->SetCellCheck(row, kActiveColumn, 0);
        m_list->SetCellText(row, kNumberColumn, wstr::Format(L"%02d", row + 1).c_str());
        m_list->SetCellText(row, kNameColumn, profile->GetName().c_str());
        m_list->SetCellText(row, kProgramColumn, profile->GetLinkedApplication().c_str());
        m_list->SetCellCheck(row, kSwitchColumn, profile->GetAutoSwitch() ? 1 : 0);
        m_list->SetRowColors(row, m_list->FontColor(), m_list->BackColor(), m_list->FontColorHi(),
                             m_list->BackColorHi());
    }
    if (count > 0) {
        // The active profile's row; row 0 while none is active.
        m_list->SetCellCheck(activeRow, kActiveColumn, 1);
        m_list->SetRowColors(activeRow, FindColorByName(L"WHITE"), m_list->BackColor(), m_list->FontColorHi(),
                             m_list->BackColorHi());
        m_list->SetItemState(activeRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        UpdateUnassignEntry(activeRow);
    }
    if (m_osdButton)
        m_osdButton->SetState(config->GetOsdProfile(nullptr));
    m_list->Invalidate(FALSE);
}

template <class C, class D>
void CVxProfilePage<C, D>::SelectProfileRow(int index)
{
    C* config = this->Config();
    ProfileItf* profile = ProfileOfRow(index);
    if (!m_list || !profile)
        return;
    if (config->GetActiveProfile() != profile)
        config->SetActiveProfile(profile);
    m_list->EnsureVisible(index, false);
    FillProfileList();
    // A choice made on another page leaves the focus there: keys pressed into a hidden list would
    // move its selection, which Delete, Export and Rename then act on.
    if (m_list->IsWindowVisible())
        m_list->SetFocus();
}

template <class C, class D>
bool CVxProfilePage<C, D>::SetActiveRow(int row)
{
    C* config = this->Config();
    ProfileItf* profile = ProfileOfRow(row);
    if (!m_list || !profile || config->GetActiveProfile() == profile)
        return false;
    config->SetActiveProfile(profile);
    FillProfileList();
    return true;
}

template <class C, class D>
bool CVxProfilePage<C, D>::ActivateProfileRow(LPARAM info)
{
    return info && SetActiveRow(InfoOf(info)->rowKey);
}

template <class C, class D>
void CVxProfilePage<C, D>::UpdateUnassignEntry(int row)
{
    if (!m_list || !m_menu)
        return;
    ProfileItf* profile = ProfileOfRow(row < 0 ? m_list->GetSelectedRowKey() : row);
    const int entry = m_menu->FindEntry(L"$UnassignApplication");
    if (entry < 0)
        return;
    std::vector<ListEntry> entries = m_menu->Entries();
    const bool disabled = !profile || profile->GetLinkedApplication().empty();
    entries[entry].flag = static_cast<uint8_t>(disabled ? entries[entry].flag | 1 : entries[entry].flag & ~1);
    m_menu->SetEntries(entries);
}

template <class C, class D>
void CVxProfilePage<C, D>::UpdateProfileMenu(LPARAM info)
{
    const int row = info ? InfoOf(info)->rowKey : -1;
    m_menuRow = row;
    m_menuProfile.reset();
    if (const ProfileItf* profile = ProfileOfRow(row))
        m_menuProfile.emplace(*profile);
    UpdateUnassignEntry(row);
}

template <class C, class D>
bool CVxProfilePage<C, D>::MenuRowStillHolds(int row)
{
    if (row < 0 || row != m_menuRow || !m_menuProfile)
        return true;
    int index = -1;
    if (m_menuProfile->StillThere(this->Config(), &index) && index == row)
        return true;
    FillProfileList();
    return false;
}

template <class C, class D>
void CVxProfilePage<C, D>::AssignProgram(LPARAM info)
{
    const XListNotifyInfo* notice = InfoOf(info);
    ProfileItf* profile = notice && m_list ? ProfileOfRow(notice->rowKey) : nullptr;
    if (!profile || notice->column != kProgramColumn || !MenuRowStillHolds(notice->rowKey))
        return;
    const std::wstring path = notice->Text();
    if (path.empty()) {
        // The program was taken away.
        profile->SetLinkedApplicationPath(L"");
    } else if (path.size() > 1) {
        if (wstr::FileNameOf(path).size() < kMaxProgramFileName) {
            profile->SetLinkedApplicationPath(path.c_str());
        } else {
            // The profile keeps the program it had, and the cell shows it again.
            m_list->SetCellText(notice->rowKey, kProgramColumn, profile->GetLinkedApplication().c_str());
            NoticeHeading(L"FileNameLengthLimitReachedPopUp.xml", L"$AssignApplication");
            return;
        }
    }
    m_list->SetCellText(notice->rowKey, kProgramColumn, profile->GetLinkedApplication().c_str());
    UpdateUnassignEntry(notice->rowKey);
}

template <class C, class D>
bool CVxProfilePage<C, D>::OnProfileCheckChanged(LPARAM info)
{
    const XListNotifyInfo* notice = InfoOf(info);
    ProfileItf* profile = notice && m_list ? ProfileOfRow(notice->rowKey) : nullptr;
    if (!profile)
        return false;
    if (notice->column == kActiveColumn) {
        // The column is exclusive: a press marks a row, never clears one.
        if (SetActiveRow(notice->rowKey))
            return true;
        FillProfileList();
        return false;
    }
    if (notice->column != kSwitchColumn)
        return false;
    if (notice->State() && profile->GetLinkedApplication().empty()) {
        m_list->SetCellCheck(notice->rowKey, kSwitchColumn, 0);
        Notice(L"SelectApplicationWarningPopup.xml", L": " + profile->GetName());
        return false;
    }
    profile->SetAutoSwitch(notice->State());
    m_list->SetCellCheck(notice->rowKey, kSwitchColumn, notice->State() ? 1 : 0);
    return false;
}

template <class C, class D>
ProfileMenuEntry CVxProfilePage<C, D>::RunProfileMenu(LPARAM info)
{
    const XListNotifyInfo* notice = InfoOf(info);
    if (!notice || !m_list)
        return ProfileMenuEntry::None;
    const std::wstring entry = notice->Text();
    const int row = notice->rowKey;
    // New and Import work on no row.
    if (entry != L"$New" && entry != L"$Import" && !MenuRowStillHolds(row))
        return ProfileMenuEntry::None;
    const auto changed = [](bool done) { return done ? ProfileMenuEntry::Other : ProfileMenuEntry::None; };
    if (entry == L"$New")
        return changed(CreateProfile());
    if (entry == L"$Rename")
        return RenameProfile(row) ? ProfileMenuEntry::Rename : ProfileMenuEntry::None;
    if (entry == L"$Copy")
        return changed(CopyProfile(row));
    if (entry == L"$Delete")
        return changed(DeleteProfile(row));
    if (entry == L"$SetActive")
        return changed(SetActiveRow(TargetRow(row)));
    if (entry == L"$Import")
        return changed(ImportProfile());
    if (entry == L"$Export") {
        ExportProfile(row);
        return ProfileMenuEntry::None;
    }
    if (entry == L"$RestoreDefault")
        return RestoreProfileDefaults(row) ? ProfileMenuEntry::RestoreDefault : ProfileMenuEntry::None;
    if (entry == L"$Preview") {
        if (ProfileItf* profile = ProfileOfRow(TargetRow(row)))
            PreviewProfile(profile);
    }
    return ProfileMenuEntry::None;
}

template <class C, class D>
bool CVxProfilePage<C, D>::CreateProfile()
{
    C* config = this->Config();
    if (!m_list || !config)
        return false;
    if (config->GetProfileCount() >= kMaxProfiles) {
        NoticeHeading(L"ProfileLimitReachedPopup.xml", L"$Createanewprofile");
        return false;
    }
    std::wstring name;
    CVxNameEntryPopup entry(this->m_dialog, L"ProfileNamePopup.xml", &name);
    if (entry.DoModal() != IDOK || name.empty())
        return false;
    // The form's loop may have read the device again, and the list with it.
    config = this->Config();
    if (!config || config->GetProfileCount() >= kMaxProfiles)
        return false;
    if (ProfileItf* existing = config->FindProfileByName(name.c_str())) {
        Notice(L"DuplicateProfileWarningPopup.xml", L": " + existing->GetName());
        return false;
    }
    ProfileItf* profile = config->CreateProfile(name.c_str());
    if (!profile)
        return false;
    GiveNewProfileDefaults(profile);
    config->SetActiveProfile(profile);
    FillProfileList();
    Refresh();
    return true;
}

template <class C, class D>
bool CVxProfilePage<C, D>::CopyProfile(int row)
{
    C* config = this->Config();
    ProfileItf* source = ProfileOfRow(TargetRow(row));
    if (!source)
        return false;
    if (config->GetProfileCount() >= kMaxProfiles) {
        NoticeHeading(L"ProfileLimitReachedPopup.xml", L"$Copy");
        return false;
    }
    const std::wstring name = CopyName(source->GetName());
    ProfileItf* copy = name.empty() ? nullptr : config->CopyProfile(source, name.c_str());
    if (!copy)
        return false;
    config->SetActiveProfile(copy);
    FillProfileList();
    return true;
}

template <class C, class D>
std::wstring CVxProfilePage<C, D>::CopyName(const std::wstring& name) const
{
    C* config = this->Config();
    std::wstring base = name;
    if (base.size() >= kLongName)
        base.resize(kCutName);
    for (int n = kFirstCopyNumber; config && n <= kLastCopyNumber; ++n) {
        std::wstring candidate = wstr::Format(L"%ls(%d)", base.c_str(), n);
        if (!config->FindProfileByName(candidate.c_str()))
            return candidate;
    }
    return std::wstring();
}

template <class C, class D>
bool CVxProfilePage<C, D>::RenameProfile(int row)
{
    const ProfileItf* profile = ProfileOfRow(TargetRow(row));
    if (!profile)
        return false;
    const CAskedProfile<ProfileItf> asked(*profile);
    std::wstring name;
    CVxNameEntryPopup entry(this->m_dialog, L"ProfileRenamePopup.xml", &name, (L": " + asked.Name()).c_str());
    if (entry.DoModal() != IDOK || name.empty())
        return false;
    C* config = this->Config();
    int target = -1;
    ProfileItf* renamed = asked.StillThere(config, &target);
    if (!renamed)
        return false;
    // The renamed profile's own name counts too, in any case.
    if (ProfileItf* existing = config->FindProfileByName(name.c_str())) {
        Notice(L"DuplicateProfileWarningPopup.xml", L": " + existing->GetName());
        // The notice's loop may have read the list anew: the cell shows what the list holds.
        FillProfileList();
        return false;
    }
    if (!config->RenameProfile(renamed, name.c_str()))
        return false;
    FillProfileList();
    return true;
}

template <class C, class D>
bool CVxProfilePage<C, D>::DeleteProfile(int row)
{
    const int target = TargetRow(row);
    const ProfileItf* profile = ProfileOfRow(target);
    if (!profile)
        return false;
    const CAskedProfile<ProfileItf> asked(*profile);
    const std::wstring suffix = L": " + asked.Name();
    if (target == 0) {
        Notice(L"DisallowDeletePopup.xml", suffix);
        return false;
    }
    if (CVxWarningDlg(this->m_dialog, L"ConfirmDeletePopup.xml", suffix.c_str()).DoModal() != IDOK)
        return false;
    C* config = this->Config();
    int index = -1;
    ProfileItf* doomed = asked.StillThere(config, &index);
    // Gone, or moved to the head of a list read meanwhile: the first profile stays.
    if (!doomed || index == 0)
        return false;
    config->DeleteProfile(doomed);
    if (!config->GetActiveProfile())
        config->SetActiveProfile(config->GetProfile(0));
    if (m_list)
        m_list->EnsureVisible(0, false);
    FillProfileList();
    return true;
}

template <class C, class D>
bool CVxProfilePage<C, D>::RestoreProfileDefaults(int row)
{
    const ProfileItf* profile = ProfileOfRow(TargetRow(row));
    if (!profile)
        return false;
    const CAskedProfile<ProfileItf> asked(*profile);
    if (CVxWarningDlg(this->m_dialog, L"RestorePopup.xml", (L": " + asked.Name()).c_str()).DoModal() != IDOK)
        return false;
    ProfileItf* restored = asked.StillThere(this->Config());
    if (!restored)
        return false;
    GiveProfileDefaults(restored);
    FillProfileList();
    return true;
}

template <class C, class D>
bool CVxProfilePage<C, D>::ImportProfile()
{
    if (!m_list || !this->Config())
        return false;
    if (!ImportAllowed())
        return false;
    const std::wstring filter = FileFilter();
    CFileDialog dialog(true, kProfileExtension, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter.c_str(),
                       this->m_dialog->m_hWnd);
    dialog.m_request.initialFolder = FileDialogFolder(this->Config()->GetProfileFolder());
    if (dialog.DoModal() != IDOK)
        return false;
    const std::wstring path = dialog.GetPathName();
    if (path.size() > kMaxImportPath) {
        NoticeHeading(L"PathLengthLimitReachedPopUp.xml", L"$Import");
        return false;
    }
    // The file dialog ran a loop of its own: the device may have been read again, or a write may
    // have started, meanwhile.
    if (!ImportAllowed())
        return false;
    C* config = this->Config();
    D* device = this->Device();
    ImportResult result;
    if (!device || !config || !device->ImportProfile(path.c_str(), config, &result)) {
        ShowImportRefusal(this->m_dialog, path, result, true);
        FillProfileList();
        return false;
    }
    FillProfileList();
    return true;
}

template <class C, class D>
bool CVxProfilePage<C, D>::ImportAllowed()
{
    C* config = this->Config();
    if (!config)
        return false;
    if (config->GetProfileCount() >= kMaxProfiles) {
        NoticeHeading(L"ProfileLimitReachedPopup.xml", L"$Importprofilefromafile");
        return false;
    }
    WaitForDevice();
    D* device = this->Device();
    config = this->Config();
    if (!device || !config || device->GetProfileCount() != config->GetProfileCount()) {
        NoticeHeading(L"ImporttProfileWarningPopup.xml", L"$Importprofilefromafile");
        return false;
    }
    return true;
}

template <class C, class D>
void CVxProfilePage<C, D>::ExportProfile(int row)
{
    const ProfileItf* chosen = ProfileOfRow(TargetRow(row));
    if (!chosen)
        return;
    const CAskedProfile<ProfileItf> asked(*chosen);
    WaitForDevice();
    D* device = this->Device();
    ProfileItf* profile = asked.StillThere(this->Config());
    if (!profile)
        return;
    if (!device || !device->HasProfile(profile)) {
        Notice(L"ExportProfileWarningPopup.xml", L": " + asked.Name());
        return;
    }
    const std::wstring filter = FileFilter();
    CFileDialog dialog(false, kProfileExtension, nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, filter.c_str(),
                       this->m_dialog->m_hWnd);
    dialog.m_request.initialFolder = FileDialogFolder(this->Config()->GetProfileFolder());
    if (dialog.DoModal() != IDOK)
        return;
    WaitForDevice();
    device = this->Device();
    profile = asked.StillThere(this->Config());
    if (!profile)
        return;
    if (!device || !device->ExportProfile(dialog.GetPathName().c_str(), profile))
        Notice(L"FileErrorPopUp.xml");
}

template <class C, class D>
void CVxProfilePage<C, D>::WaitForDevice() const
{
    ::WaitForDevice(this->m_dialog ? this->m_dialog->m_hWnd : nullptr, this->m_device);
}

template <class C, class D>
void CVxProfilePage<C, D>::Notice(const wchar_t* layout, const std::wstring& append) const
{
    CVxWarningDlg notice(this->m_dialog, layout, append.empty() ? nullptr : append.c_str());
    notice.DoModal();
}

template <class C, class D>
void CVxProfilePage<C, D>::NoticeHeading(const wchar_t* layout, const wchar_t* heading) const
{
    CVxWarningDlg notice(this->m_dialog, layout);
    notice.SetText(heading);
    notice.DoModal();
}

template class CVxProfilePage<IMouseConfig, IGenMouse>;
template class CVxProfilePage<IKeyboardConfig, IGenKeyboard>;
