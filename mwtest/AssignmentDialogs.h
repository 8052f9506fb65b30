// The two dialogs of the button and key pages: the assignment editor, which edits one 32-byte
// assignment record, and the capture of a new key.
#pragma once

#include <string>
#include <vector>

#include "mwapi/HvMwApi.h"
#include "platform/CommonControls.h"
#include "platform/ComPtr.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

// A hot-key control that also keeps whether the key last pressed in it was an extended key: not
// every system's control reports HOTKEYF_EXT for the keys typed into it.
class CKeyCaptureCtrl : public CHotKeyCtrl
{
public:
    // The virtual key and the HOTKEYF_* modifiers, HOTKEYF_EXT added when the key shown is the
    // extended key last pressed.
    void GetKey(WORD* virtualKey, WORD* modifiers) const;
    // Sets the key shown; what was pressed before no longer counts.
    void SetKey(WORD virtualKey, WORD modifiers);

protected:
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);

private:
    WORD m_pressed = 0;  // the last key pressed that is no modifier
    bool m_pressedExtended = false;
    HV_DECLARE_MSG_MAP()
};

// "Button Mapping": one group per kind of assignment (a radio button with its combo boxes), filled
// from the device's macros, profiles, applications and the active profile's DPI stages, and
// preselected from the record. OK writes the record from the first checked group that has a
// usable choice; without one the record stays as it was. Either way the dialog ends with IDOK.
class CButtonsDlg : public CDialog
{
public:
    // The editor of record (borrowed, written on OK), with the dialog caption given (a button's
    // name, or empty). Each feature may be missing: its combos stay empty.
    CButtonsDlg(AssignmentRecord* record, const std::wstring& caption, CComPtr<IProfileManager> profiles,
                CComPtr<IMacroManager> macros, CComPtr<IApplicationList> applications, CWnd* parent);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDropDown(UINT id);

private:
    void FillCombos();
    // The macros of m_macroIds, with their names.
    void FillMacros(CComboBox& combo, const std::vector<std::wstring>& names);
    void Preselect();
    // The checked group's record; false when that group has no usable choice.
    bool BuildRecord(AssignmentRecord& record) const;
    bool BuildKey(AssignmentRecord& record) const;
    // The GUID of a combo's selected item (macros and applications), false when none is.
    bool SelectedId(const CComboBox& combo, const std::vector<GUID>& ids, GUID* id) const;
    void SelectId(CComboBox& combo, const std::vector<GUID>& ids, const GUID& id) const;
    static void SelectData(CComboBox& combo, LPARAM data);

    AssignmentRecord* m_record;
    std::wstring m_caption;
    CComPtr<IProfileManager> m_profiles;
    CComPtr<IMacroManager> m_macros;
    CComPtr<IApplicationList> m_applications;
    // The macros and applications of the combos; an item's data is its index here.
    std::vector<GUID> m_macroIds;
    std::vector<GUID> m_applicationIds;

    CComboBox m_function;
    CComboBox m_macro;
    CComboBox m_profileOp;
    CComboBox m_profileId;
    CComboBox m_dpiOp;
    CComboBox m_dpiStage;
    CComboBox m_repeatMacro;
    CComboBox m_repeatMode;
    CComboBox m_application;
    CKeyCaptureCtrl m_hotKey;
    HV_DECLARE_MSG_MAP()
};

// A key as the new-key capture takes it: the device's code of the key (its record's id) and what
// a single-key assignment of the same key carries.
struct CapturedKey
{
    DWORD deviceCode = 0;  // scan code, plus 0x20000 for an E0 key or 0x40000 for Pause
    WORD scanCode = 0;
    DWORD modifiers = 0;   // hvmw::kModExtended where the key's single-key record needs it
};
// The capture of a hot-key control's virtual key and HOTKEYF_* modifiers (the scan code from
// MapVirtualKeyW); a record of scan code 0 when there is no key.
CapturedKey CaptureKey(WORD virtualKey, WORD hotKeyModifiers);

// "New Key Mapping": the key the user presses in its hot-key control; combinations with modifiers
// are not taken (the editor's boxes carry the modifiers).
class CNewKeyMappingDlg : public CDialog
{
public:
    explicit CNewKeyMappingDlg(CWnd* parent);
    const CapturedKey& Key() const noexcept { return m_key; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CKeyCaptureCtrl m_hotKey;
    CapturedKey m_key;
};
