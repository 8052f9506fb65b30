// A dialog template built in memory, for dialogs whose layout is made by code rather than by a
// resource script. The template can be used as often as wanted while the object lives; CDialog
// takes a copy of it when given the object itself.
#pragma once

#include <windows.h>
#include <vector>

class CDialogTemplate
{
public:
    // The dialog itself: style (DS_SETFONT is added when a font is named), position and size in
    // dialog units, an optional window class (null: the system's dialog class).
    CDialogTemplate(const wchar_t* caption, DWORD style, int x, int y, int cx, int cy,
                    const wchar_t* fontFace = L"MS Shell Dlg", WORD pointSize = 8, DWORD exStyle = 0,
                    const wchar_t* className = nullptr);

    // Adds a control (a child window; WS_CHILD is always set) of a window class by name.
    void AddControl(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, int x, int y, int cx,
                    int cy, DWORD exStyle = 0);

    // The template as the dialog functions read it. The pointer is valid until the next AddControl
    // (which may move the memory) or the end of the object: hand it only to calls that finish
    // before then, or give CDialog the object so that it keeps a copy.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }
    int ControlCount() const { return m_count; }

private:
    void AddWord(WORD w) { m_words.push_back(w); }
    void AddDword(DWORD d);
    void AddString(const wchar_t* s);
    void AlignDword();

    std::vector<WORD> m_words;
    int m_count = 0;
};
