// Message boxes and the common dialogs (open file, save file, colour) behind one seam.
//
// The programs never call MessageBoxW, GetOpenFileNameW, GetSaveFileNameW or ChooseColorW
// themselves: they use CFileDialog, CColorDialog and ShowMessageBox, which ask the process's
// current ICommonDialogs. That is the system's dialogs unless something installed another one with
// SetCommonDialogs: the tests do, so that a test answers the question a program asks (and sees what
// it asked) without a modal system dialog on the test display.
//
// User-interface thread only; the installed object is borrowed and must outlive its installation.
#pragma once

#include <windows.h>

#include <commdlg.h>  // the OFN_* and CC_* flags of the requests

#include <string>

// What a program asks a file dialog.
struct FileDialogRequest
{
    HWND owner = nullptr;
    bool save = false;              // a save dialog (else open)
    std::wstring title;             // empty: the system's title
    // Pairs of description and pattern, each ended by '|', as "Macros (*.hvm)|*.hvm|". An empty
    // filter shows every file.
    std::wstring filter;
    std::wstring defaultExtension;  // without the dot; added to a typed name that has none
    std::wstring fileName;          // the name (or path) shown first
    std::wstring initialFolder;     // empty: the system's choice
    DWORD flags = 0;                // OFN_* flags added to the dialog's defaults
};

// What a program asks the colour dialog.
struct ColorDialogRequest
{
    HWND owner = nullptr;
    COLORREF initial = 0;
    // The 16 custom colours the dialog shows and may change; null: a set of the dialog's own.
    COLORREF* customColors = nullptr;
    DWORD flags = 0;  // CC_* flags added to CC_RGBINIT
};

class ICommonDialogs
{
public:
    virtual ~ICommonDialogs() = default;
    // MessageBoxW: the id of the button chosen (IDOK, IDYES, ...), 0 on failure.
    virtual int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
    // True and the full path of the chosen file when the user confirmed; false when cancelled or
    // when the dialog failed (path unchanged).
    virtual bool PickFile(const FileDialogRequest& request, std::wstring& path) = 0;
    // True and the chosen colour when confirmed; false when cancelled (colour unchanged).
    virtual bool PickColor(const ColorDialogRequest& request, COLORREF& colour) = 0;
};

// The system's dialogs.
ICommonDialogs& SystemCommonDialogs();
// The dialogs in effect: the ones installed last, else the system's.
ICommonDialogs& CommonDialogs();
// Installs dialogs for the process (null puts the system's back); returns the ones replaced, null
// when they were the system's.
ICommonDialogs* SetCommonDialogs(ICommonDialogs* dialogs);

// A message box through the seam.
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type = MB_OK);

// An open or save file dialog through the seam, used like its MFC namesake.
class CFileDialog
{
public:
    // open: an open dialog, else a save dialog. filter in the "description|pattern|" form.
    CFileDialog(bool open, const wchar_t* defaultExtension = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = 0, const wchar_t* filter = nullptr, HWND owner = nullptr);

    // IDOK when a file was chosen, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The chosen file's full path, its name, and its extension (without the dot).
    const std::wstring& GetPathName() const { return m_path; }
    std::wstring GetFileName() const;
    std::wstring GetFileExt() const;

    // The request as it will be asked; fill in a title or an initial folder before DoModal.
    FileDialogRequest m_request;

private:
    std::wstring m_path;
};

// The colour dialog through the seam, used like its MFC namesake.
class CColorDialog
{
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, HWND owner = nullptr);
    CColorDialog(const CColorDialog&) = delete;  // the request points at the object's own colours
    CColorDialog& operator=(const CColorDialog&) = delete;

    // IDOK when a colour was chosen, IDCANCEL otherwise.
    INT_PTR DoModal();
    COLORREF GetColor() const { return m_colour; }
    // The custom colours shown (and kept between runs of this object).
    COLORREF* GetCustomColors() { return m_custom; }

    ColorDialogRequest m_request;

private:
    COLORREF m_colour;
    COLORREF m_custom[16];
};
