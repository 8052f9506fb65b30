// Shared pieces of the test program's tests: each test starts from the factory devices (SimTest),
// runs the program's own sheet modeless in the test's process, drives it with the sheet's
// messages, and looks at the devices through the control tool.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/CommonDialogs.h"
#include "ModalScript.h"
#include "platform/ShellOpen.h"
#include "SimTest.h"
#include "mwtest/TestBench.h"

namespace mwtest {

// Answers the program's message boxes, file dialogs and shell opens while it lives, and keeps
// what was asked.
class CRecordingDialogs : public ICommonDialogs, public IShellOpener
{
public:
    CRecordingDialogs();
    ~CRecordingDialogs() override;
    CRecordingDialogs(const CRecordingDialogs&) = delete;
    CRecordingDialogs& operator=(const CRecordingDialogs&) = delete;

    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    bool PickFile(const FileDialogRequest& request, std::wstring& path) override;
    bool PickColor(const ColorDialogRequest& request, COLORREF& colour) override;
    bool Open(HWND owner, const std::wstring& verb, const std::wstring& target, int show) override;

    std::vector<std::wstring> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::wstring fileAnswer;  // the path the next file dialog picks; empty: cancelled
    std::vector<ColorDialogRequest> colorRequests;
    bool colorPicked = false;  // the colour dialog picks colorAnswer (else it is cancelled)
    COLORREF colorAnswer = 0;
    std::vector<std::pair<std::wstring, std::wstring>> opened;  // verb, target
    // Runs inside every message box, file dialog and colour dialog before it is answered: what
    // happens while the user looks at one (a device leaving, say).
    std::function<void()> whileOpen;

private:
    ICommonDialogs* m_previousDialogs;
    IShellOpener* m_previousOpener;
};

// Drives the program's modal dialogs from inside their modal loops (hvtest::ModalScript): each step
// runs once a new dialog of its template is shown and enabled (a dialog the page opens after
// another one closed is a new one).
class CDialogScript : public hvtest::ModalScript
{
public:
    struct Step
    {
        UINT templateId;
        std::function<void(HWND dialog)> act;
    };
    explicit CDialogScript(std::vector<Step> steps);
    // Pumps messages until every step ran and no dialog is shown (at most the harness's timeout);
    // true when so.
    bool WaitDone();
};

// The program's modal dialog of a template that is shown and enabled, or null.
HWND ShownDialog(UINT templateId);

// Sends the list's right click to its page after queueing the keys that pick a menu item: the menu
// the page tracks reads them from the queue.
void RightClickAndPick(HWND page, HWND list, int row, int itemPosition);
std::wstring RowText(HWND list, int row, int column);
bool RowChecked(HWND list, int row);
// The middle of a cell of a report list, and a point on a row's check box (client points).
POINT CellPoint(HWND list, int row, int column);
POINT CheckBoxPoint(HWND list, int row);
// A file dialog asked as the pages ask theirs: save or open, "*.extension" first, the filter,
// hidden read-only box and a question before overwriting.
void ExpectFileRequest(const FileDialogRequest& request, bool save, const std::wstring& extension,
                       const std::wstring& filter);
// The journal's lines that name method, in order.
std::vector<std::string> Calls(const std::string& method);
// A control of a dialog as the user works it: BM_CLICK on a button, a combo's item chosen.
void ClickItem(HWND dialog, int id);
void ChooseItem(HWND dialog, int id, const std::wstring& text);

class BenchTest : public simtest::SimTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the sheet and waits for its first page.
    void Open();
    // Brings the page of a template to the front (its tab); false when the sheet did not go there.
    bool Select(UINT templateId);
    // Leaves the page and comes back to it, so that it reads the device afresh.
    void Reselect(UINT templateId);
    int TabOf(UINT templateId);
    HWND PageWindow(UINT templateId);
    HWND Item(UINT templateId, int id);
    std::wstring Text(UINT templateId, int id);
    int Check(UINT templateId, int id);
    // Picks a device name on the device page, as the user does in its drop-down.
    void ChooseDevice(const std::wstring& name);
    // Clicks a button or box of a page (BM_CLICK: the page hears BN_CLICKED).
    void Click(UINT templateId, int id);
    // Saves a picture of the whole sheet into the test's folder.
    void CaptureSheet(const std::wstring& name);
    // One dump line of a device by its prefix (the first), empty when there is none.
    std::string DumpLine(const wchar_t* device, const std::string& prefix);
    // The live connections of an event interface in the dump ("connection-point <name> <n>").
    int Connections(const wchar_t* device, const std::string& eventInterface);
    // How many raw-input devices this process has registered.
    static UINT RawInputRegistrations();

    CHvMwTestBench bench;
    CRecordingDialogs dialogs;
};

} // namespace mwtest
