// CHvMwPage: the base of the test program's pages. A page is always a child of the sheet and works
// on the sheet's current device: a handler takes the device (one reference of its own, released
// when the handler returns), obtains the feature it needs, calls it and lets it go again. A page
// without a device, or whose device lacks the feature, does nothing and shows nothing.
//
// What a page holds while it is in front (event connections, raw-input registrations, rows,
// features) it lets go in LetGo, which runs whenever the page is left, when the sheet is cancelled
// or closed (no page is left then) and when the page's window goes.
#pragma once

#include <string>

#include "mwtest/MwTestRes.h"
#include "platform/CommonDialogs.h"
#include "platform/ListCtrl.h"

#include "mwapi/HvMwApi.h"
#include "platform/ComPtr.h"
#include "platform/PropertySheet.h"

class CHvMwApiSheet;

class CHvMwPage : public CPropertyPage
{
public:
    explicit CHvMwPage(UINT templateId) : CPropertyPage(templateId) {}

protected:
    virtual void LetGo() {}
    BOOL OnKillActive() override;
    void OnReset() override;
    void OnDestroy();

    CHvMwApiSheet* Sheet() const;
    // The sheet's current device, or null.
    CComPtr<IDevice> Device() const;
    // A feature of the current device (IDevice::GetFeature); empty when there is none.
    template <class I>
    CComPtr<I> DeviceFeature() const
    {
        CComPtr<I> feature;
        if (CComPtr<IDevice> device = Device())
            device->GetFeature(__uuidof(I), feature.PutVoid());
        return feature;
    }
    // The active profile, reached through the device's mouse interface (IMouseDevice, its
    // IProfileManager); empty when any step fails.
    CComPtr<IProfile> MouseActiveProfile() const;
    // A feature of that profile; empty when there is none.
    template <class I>
    CComPtr<I> MouseProfileFeature() const
    {
        CComPtr<I> feature;
        if (CComPtr<IProfile> profile = MouseActiveProfile())
            profile->GetFeature(__uuidof(I), feature.PutVoid());
        return feature;
    }

    // A feature looked up through the device's type interface: the first of IMouseDevice,
    // IKeyboardDevice and IOtherDevice that the device answers, and its GetFeature; empty when there
    // is none.
    HRESULT DeviceTypeFeature(REFIID iid, void** out) const;
    template <class I>
    CComPtr<I> DeviceTypeFeature() const
    {
        CComPtr<I> feature;
        DeviceTypeFeature(__uuidof(I), feature.PutVoid());
        return feature;
    }

    // Shows a context menu (the first sub-menu of menu resource menuId) at the cursor and waits
    // until it closes; the command chosen, 0 when none.
    UINT TrackContextMenu(UINT menuId) const;
    // A message box with the program's name and an OK button.
    void Tell(const wchar_t* text) const;
    // The open (or save) dialog of the page's files: "*.extension" first, the filter given, hidden
    // read-only box and a question before overwriting; the path chosen, false when cancelled.
    bool ChooseFile(bool open, const wchar_t* extension, const wchar_t* filter, std::wstring* path) const;
    // An NM_CLICK of a list with check boxes: a click on a row's box (the first column) is posted to
    // the page as kMsgCheckBoxClicked (row, 0), to be handled once the list has changed the box.
    void PostCheckBoxClick(const CListCtrl& list, const NMHDR* header) const;

    // The context menu of a list of the device's items (macros, applications): New (an item named
    // newName), Edit (not done), Delete and Export of the clicked item (null: nothing), Import from
    // a file of the filter's. True when the list is to be filled again.
    template <class Item, class List>
    bool RunItemCommand(UINT command, List* list, Item* clicked, HRESULT (STDMETHODCALLTYPE List::*add)(Item**),
                        HRESULT (STDMETHODCALLTYPE List::*remove)(Item*),
                        HRESULT (STDMETHODCALLTYPE List::*import)(LPCWSTR, Item**), const wchar_t* newName,
                        const wchar_t* filter) const
    {
        // A failed call hands out nothing to release.
        Item* made = nullptr;
        std::wstring path;
        switch (command) {
        case ID_MENU_NEW:
            if (SUCCEEDED((list->*add)(&made)) && made) {
                made->SetName(newName);
                made->Release();
            }
            return true;
        case ID_MENU_EDIT:
            Tell(L"Edit your head ah! Not done yet!!!");
            return false;
        case ID_MENU_DELETE:
            return clicked && ((list->*remove)(clicked), true);
        case ID_MENU_IMPORT:
            if (!ChooseFile(true, L"hvm", filter, &path))
                return false;
            if (SUCCEEDED((list->*import)(path.c_str(), &made)) && made)
                made->Release();
            return true;
        case ID_MENU_EXPORT: {
            // Held across the file dialog, whose loop may let the rows be filled again.
            const CComPtr<Item> exported(clicked);
            if (exported && ChooseFile(false, L"hvm", filter, &path))
                exported->Export(path.c_str());
            return false;
        }
        default:
            return false;
        }
    }

    // SetDlgItemTextW with a std::wstring.
    void SetText(int id, const std::wstring& text) const { SetDlgItemText(id, text.c_str()); }
    void Enable(int id, bool enable) const { ::EnableWindow(GetDlgItem(id), enable); }

    HV_DECLARE_MSG_MAP()
};
