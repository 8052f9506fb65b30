#include "platform/DialogTemplate.h"

// Layout of DLGTEMPLATE and DLGITEMTEMPLATE: fixed fields, then variable-length arrays of WORDs
// (menu, class, title, font; class, title, creation data), each item aligned on a DWORD.

CDialogTemplate::CDialogTemplate(const wchar_t* caption, DWORD style, int x, int y, int cx, int cy,
                                 const wchar_t* fontFace, WORD pointSize, DWORD exStyle, const wchar_t* className)
{
    if (fontFace)
        style |= DS_SETFONT;
    else
        style &= ~static_cast<DWORD>(DS_SETFONT);
    AddDword(style);
    AddDword(exStyle);
    AddWord(0);  // control count, updated by AddControl
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(cx));
    AddWord(static_cast<WORD>(cy));
    AddWord(0);  // no menu
    if (className)
        AddString(className);
    else
        AddWord(0);
    AddString(caption ? caption : L"");
    if (fontFace) {
        AddWord(pointSize);
        AddString(fontFace);
    }
}

void CDialogTemplate::AddControl(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, int x, int y,
                                 int cx, int cy, DWORD exStyle)
{
    AlignDword();
    AddDword(style | WS_CHILD);
    AddDword(exStyle);
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(cx));
    AddWord(static_cast<WORD>(cy));
    AddWord(id);
    AddString(className);
    AddString(text ? text : L"");
    AddWord(0);  // no creation data
    ++m_count;
    m_words[4] = static_cast<WORD>(m_count);  // DLGTEMPLATE::cdit, after two DWORDs
}

void CDialogTemplate::AddDword(DWORD d)
{
    AddWord(LOWORD(d));
    AddWord(HIWORD(d));
}

void CDialogTemplate::AddString(const wchar_t* s)
{
    for (; *s; ++s)
        AddWord(static_cast<WORD>(*s));
    AddWord(0);
}

void CDialogTemplate::AlignDword()
{
    if (m_words.size() % 2)
        AddWord(0);
}
