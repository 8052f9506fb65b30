// The pages of the active profile's assignments: "Buttons" (the mouse's buttons through
// IButtonAssignments) and "Keys" (the keyboard's keys through IKeyAssignments). A double click on
// a row edits its record in the assignment editor and writes it back, then makes the device take
// it (the active profile set active again); a double click below the keys captures a new key.
#pragma once

#include <string>

#include "mwtest/MwPage.h"
#include "platform/ListCtrl.h"

// The text of a record in the "Mapping" column. The keys' variant knows the functions up to
// "Double click" and the application kind; the buttons' knows every function and no applications.
std::wstring FormatAssignment(const AssignmentRecord& record, bool keys);
// "Left Button" ... "Dpi Down" for button ids 1 to 11; null for any other id.
const wchar_t* ButtonName(DWORD id);

class CButtonsPage : public CHvMwPage
{
public:
    CButtonsPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void LetGo() override;
    void OnListDoubleClick(NMHDR* header, LRESULT* result);

private:
    void FillList();

    CListCtrl m_list;
    CComPtr<IButtonAssignments> m_buttons;
    HV_DECLARE_MSG_MAP()
};

class CKeysPage : public CHvMwPage
{
public:
    CKeysPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnListDoubleClick(NMHDR* header, LRESULT* result);

private:
    // The active profile's key assignments, and the profile manager they came through.
    CComPtr<IKeyAssignments> KeyAssignments(CComPtr<IProfileManager>* manager) const;
    void FillList(IKeyAssignments* keys);
    // Runs the editor on record and, on OK, writes it and makes the device take it.
    void EditAndWrite(AssignmentRecord& record);

    CListCtrl m_list;
    HV_DECLARE_MSG_MAP()
};
