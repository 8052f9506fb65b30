// "Profiles": the device's profiles with their linked application and three flags; a context menu
// to add, delete, import, export, activate and restore them; renaming in place, the application
// path and the flags by double clicks; the active profile's check box, which follows the profile
// manager's event while the page is in front.
#pragma once

#include <string>

#include "mwtest/EventSink.h"
#include "mwtest/MwPage.h"
#include "platform/ListCtrl.h"

class CProfilesPage;

// The page's own sink: the event only posts the page a message, the page's handler does the work.
class CProfileManagerSink : public CEmbeddedSink<_IProfileManagerEvents, CProfilesPage>
{
public:
    using CEmbeddedSink::CEmbeddedSink;
    HRESULT STDMETHODCALLTYPE OnActiveProfileChanged(int value) override;
};

class CProfilesPage : public CHvMwPage
{
public:
    CProfilesPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Unadvises, releases the rows and the manager.
    void LetGo() override;

    void OnListRightClick(NMHDR* header, LRESULT* result);
    void OnListClick(NMHDR* header, LRESULT* result);
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    LRESULT OnActiveProfileChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetActiveProfile(WPARAM row, LPARAM subItem);
    LRESULT OnRefill(WPARAM wParam, LPARAM lParam);

private:
    void FillList();
    // Column 1 and the flag columns of a row from the profile's properties.
    void ShowProperties(int row, IProfile* profile);
    void RunCommand(UINT command, int row);
    void SetApplicationPath(IProfile* profile);
    void ToggleFlag(IProfile* profile, WORD mask, bool isOn);
    void CheckOnly(int row);
    IProfile* RowProfile(int row) const;

    CListCtrl m_list;
    CComPtr<IProfileManager> m_manager;
    // A part of the page: its destructor ends a connection still open.
    CProfileManagerSink m_sink;
    HV_DECLARE_MSG_MAP()
};
