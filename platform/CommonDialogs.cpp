#include "platform/CommonDialogs.h"

#include <commdlg.h>

#include <atomic>
#include <vector>

namespace {

// The filter as the system wants it: each '|' becomes a terminator, and the list ends with two.
std::vector<wchar_t> SystemFilter(const std::wstring& filter)
{
    std::vector<wchar_t> result(filter.begin(), filter.end());
    for (wchar_t& c : result) {
        if (c == L'|')
            c = L'\0';
    }
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

class CSystemCommonDialogs : public ICommonDialogs
{
public:
    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override
    {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    }

    bool PickFile(const FileDialogRequest& request, std::wstring& path) override
    {
        // A path of the programs is at most MAX_PATH characters; a longer choice fails the dialog
        // (FNERR_BUFFERTOOSMALL) rather than being cut.
        wchar_t buffer[MAX_PATH] = {};
        if (request.fileName.size() < MAX_PATH)
            request.fileName.copy(buffer, request.fileName.size());
        std::vector<wchar_t> filter = SystemFilter(request.filter);

        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = request.owner;
        ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.data();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = buffer;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
        ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
        ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | request.flags |
                    (request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
        BOOL chosen = request.save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
        if (!chosen)
            return false;
        buffer[MAX_PATH - 1] = L'\0';
        path = buffer;
        return true;
    }

    bool PickColor(const ColorDialogRequest& request, COLORREF& colour) override
    {
        COLORREF own[16] = {};
        CHOOSECOLORW cc = {};
        cc.lStructSize = sizeof(cc);
        cc.hwndOwner = request.owner;
        cc.rgbResult = request.initial;
        cc.lpCustColors = request.customColors ? request.customColors : own;
        cc.Flags = CC_RGBINIT | request.flags;
        if (!::ChooseColorW(&cc))
            return false;
        colour = cc.rgbResult;
        return true;
    }
};

std::atomic<ICommonDialogs*> g_installed{nullptr};

} // namespace

ICommonDialogs& SystemCommonDialogs()
{
    static CSystemCommonDialogs dialogs;
    return dialogs;
}

ICommonDialogs& CommonDialogs()
{
    ICommonDialogs* installed = g_installed.load();
    return installed ? *installed : SystemCommonDialogs();
}

ICommonDialogs* SetCommonDialogs(ICommonDialogs* dialogs)
{
    return g_installed.exchange(dialogs);
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return CommonDialogs().ShowMessage(owner, text ? text : L"", caption ? caption : L"", type);
}

// ---- CFileDialog --------------------------------------------------------------------------------

CFileDialog::CFileDialog(bool open, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, HWND owner)
{
    m_request.owner = owner;
    m_request.save = !open;
    m_request.defaultExtension = defaultExtension ? defaultExtension : L"";
    m_request.fileName = fileName ? fileName : L"";
    m_request.filter = filter ? filter : L"";
    m_request.flags = flags;
}

INT_PTR CFileDialog::DoModal()
{
    std::wstring path;
    if (!CommonDialogs().PickFile(m_request, path) || path.empty())
        return IDCANCEL;
    m_path = path;
    return IDOK;
}

std::wstring CFileDialog::GetFileName() const
{
    size_t slash = m_path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? m_path : m_path.substr(slash + 1);
}

std::wstring CFileDialog::GetFileExt() const
{
    std::wstring name = GetFileName();
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
}

// ---- CColorDialog -------------------------------------------------------------------------------

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, HWND owner) : m_colour(initial)
{
    for (COLORREF& c : m_custom)
        c = RGB(255, 255, 255);
    m_request.owner = owner;
    m_request.initial = initial;
    m_request.flags = flags;
    m_request.customColors = m_custom;
}

INT_PTR CColorDialog::DoModal()
{
    COLORREF chosen = m_colour;
    if (!CommonDialogs().PickColor(m_request, chosen))
        return IDCANCEL;
    m_colour = chosen;
    return IDOK;
}
