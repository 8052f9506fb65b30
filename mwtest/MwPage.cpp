#include "mwtest/MwPage.h"

#include "mwtest/HvMwApiSheet.h"
#include "mwtest/PageKit.h"
#include "platform/Menu.h"

BEGIN_MSG_MAP(CHvMwPage, CPropertyPage)
    ON_WM_DESTROY()
END_MSG_MAP()

BOOL CHvMwPage::OnKillActive()
{
    LetGo();
    return CPropertyPage::OnKillActive();
}

void CHvMwPage::OnReset()
{
    LetGo();
    CPropertyPage::OnReset();
}

void CHvMwPage::OnDestroy()
{
    LetGo();
    Default();
}

CHvMwApiSheet* CHvMwPage::Sheet() const
{
    return dynamic_cast<CHvMwApiSheet*>(GetParentSheet());
}

CComPtr<IDevice> CHvMwPage::Device() const
{
    CHvMwApiSheet* sheet = Sheet();
    return sheet ? sheet->Device() : CComPtr<IDevice>();
}

CComPtr<IProfile> CHvMwPage::MouseActiveProfile() const
{
    CComPtr<IProfile> profile;
    CComPtr<IDevice> device = Device();
    CComPtr<IMouseDevice> mouse;
    CComPtr<IProfileManager> manager;
    if (device && SUCCEEDED(device.As(mouse)) &&
        SUCCEEDED(mouse->GetFeature(__uuidof(IProfileManager), manager.PutVoid())))
        manager->GetActiveProfile(profile.Put());
    return profile;
}

HRESULT CHvMwPage::DeviceTypeFeature(REFIID iid, void** out) const
{
    *out = nullptr;
    CComPtr<IDevice> device = Device();
    if (!device)
        return E_POINTER;
    // Each type interface is asked only when the one before gave nothing.
    CComPtr<IMouseDevice> mouse;
    if (SUCCEEDED(device.As(mouse)))
        return mouse->GetFeature(iid, out);
    CComPtr<IKeyboardDevice> keyboard;
    if (SUCCEEDED(device.As(keyboard)))
        return keyboard->GetFeature(iid, out);
    CComPtr<IOtherDevice> other;
    if (SUCCEEDED(device.As(other)))
        return other->GetFeature(iid, out);
    return E_NOINTERFACE;
}

UINT CHvMwPage::TrackContextMenu(UINT menuId) const
{
    CMenu menu;
    if (!menu.LoadMenu(menuId))
        return 0;
    CMenu popup = menu.GetSubMenu(0);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    return popup.TrackPopupMenu(kContextMenuFlags, cursor.x, cursor.y, m_hWnd);
}

void CHvMwPage::Tell(const wchar_t* text) const
{
    ShowMessageBox(m_hWnd, text, kProgramName, MB_OK);
}

bool CHvMwPage::ChooseFile(bool open, const wchar_t* extension, const wchar_t* filter, std::wstring* path) const
{
    const std::wstring pattern = extension ? std::wstring(L"*.") + extension : std::wstring();
    CFileDialog dialog(open, extension, extension ? pattern.c_str() : nullptr, kFileDialogFlags, filter, m_hWnd);
    if (dialog.DoModal() != IDOK)
        return false;
    *path = dialog.GetPathName();
    return true;
}

void CHvMwPage::PostCheckBoxClick(const CListCtrl& list, const NMHDR* header) const
{
    if (reinterpret_cast<const NMITEMACTIVATE*>(header)->iSubItem != 0)
        return;
    const int row = CheckBoxHit(list);
    if (row >= 0)
        PostMessage(kMsgCheckBoxClicked, static_cast<WPARAM>(row), 0);
}
