// "Macros": the device's macros with a context menu to add, delete, import and export them; a
// double click edits a macro (below the rows: a new one) in the macro editor, which renames it,
// lists its events and records new ones from the raw keyboard and mouse input.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "mwtest/MwPage.h"
#include "platform/Dialog.h"
#include "platform/ListCtrl.h"

// The texts of a macro event as the editor lists it: the event and its information ("Key Make",
// "001e,0000"). Mouse events carry the raw-input button flag in the low half and its data in the
// high half, as the editor records them.
std::pair<std::wstring, std::wstring> DescribeMacroEvent(const MacroEventRecord& event);

class CMacroDlg : public CDialog
{
public:
    // The editor of macro (one reference of its own while it lives).
    CMacroDlg(CComPtr<IMacro> macro, CWnd* parent);
    ~CMacroDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnSetName();
    void OnRecord();
    void OnStop();
    LRESULT OnInput(WPARAM wParam, LPARAM lParam);
    // Closed while recording: the raw-input registrations go with the window.
    void OnDestroy();

private:
    void ShowEvent(const MacroEventRecord& event);
    // Appends an event to the recording and to the list.
    void Add(const MacroEventRecord& event);
    // Adds the delay since the previous event (not before the first one, nor when delays are off).
    void AddDelay();
    void OnKey(const RAWKEYBOARD& key);
    void OnMouse(const RAWMOUSE& mouse);
    void StopInput();
    void EnableRecording(bool recording);

    CComPtr<IMacro> m_macro;
    CListCtrl m_events;
    std::vector<MacroEventRecord> m_recorded;
    std::vector<DWORD> m_held;  // the keys down (make code with the prefix flags in the high half)
    bool m_registered = false;
    bool m_first = true;
    LONGLONG m_previous = 0;
    LONGLONG m_frequency = 1;
    HV_DECLARE_MSG_MAP()
};

class CMacrosPage : public CHvMwPage
{
public:
    CMacrosPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Releases the rows and the manager.
    void LetGo() override;
    void OnListRightClick(NMHDR* header, LRESULT* result);
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    LRESULT OnRefill(WPARAM wParam, LPARAM lParam);

private:
    void FillList();
    void RunCommand(UINT command, int row);

    CListCtrl m_list;
    CComPtr<IMacroManager> m_manager;
    HV_DECLARE_MSG_MAP()
};
