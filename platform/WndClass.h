// Window classes of the program. A class registered here sends its windows' messages to the
// C++ objects attached to them (CWnd::CreateEx attaches the object before the first message);
// a window of the class without an object gets DefWindowProcW.
#pragma once

#include <windows.h>
#include <string>

class CWndClass
{
public:
    CWndClass() noexcept = default;
    // Unregisters the class (which fails harmlessly while windows of it still exist).
    ~CWndClass();
    CWndClass(const CWndClass&) = delete;
    CWndClass& operator=(const CWndClass&) = delete;

    // A class for CWnd objects. background may be null (the window paints everything itself).
    bool Register(const wchar_t* name, UINT style = CS_HREDRAW | CS_VREDRAW,
                  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), HICON icon = nullptr,
                  HCURSOR cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */));
    // A class that dialog templates name in their CLASS statement: the system's dialog procedure
    // and the dialog's extra window bytes, so CDialog works with it as with the standard class.
    bool RegisterDialogClass(const wchar_t* name, HICON icon = nullptr, HICON smallIcon = nullptr);
    void Unregister();

    const wchar_t* Name() const noexcept { return m_name.c_str(); }
    bool IsRegistered() const noexcept { return m_atom != 0; }

    // The class plain CWnd windows of the layer use ("HvWnd"), registered on first use.
    static const wchar_t* DefaultClass();

private:
    bool RegisterEx(const WNDCLASSEXW& wc);

    std::wstring m_name;
    HINSTANCE m_instance = nullptr;
    ATOM m_atom = 0;
};
