// A list of entries that pops up as a panel on demand (a context menu, a drop-down's sub-choice)
// or, built non-dynamic, shows permanently on its page (LISTPANEL). The item has no window of its
// own until its static list is made; its "current entry" is the entry whose name it shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/ListPanel.h"
#include "core/ModelRecords.h"
#include "skin/GUIItem.h"

class CFontItem;

class CListPanelItem : public CGUIItem
{
public:
    // owner: the window object the pop-ups belong to; width and defaultHeight: the panel's size.
    CListPanelItem(CWnd* owner, int width, int defaultHeight);
    ~CListPanelItem() override;

    // The live item a list entry's value names, or null (an entry's value is a plain number to
    // every other list).
    static CListPanelItem* FromEntryValue(intptr_t value);
    // The value by which an entry names this item.
    intptr_t EntryValue() const { return reinterpret_cast<intptr_t>(this); }

    // Replaces the entries; the static list shows them at once.
    void SetEntries(const std::vector<ListEntry>& entries);
    const std::vector<ListEntry>& Entries() const { return m_entries; }

    // Runs the entries as a modal panel at (x, y) of window's client area, height (the default
    // when 0) high; returns the chosen entry's index, or -1.
    int PopupPanel(int height, HWND window, int x, int y);
    // Runs the entries as the submenu of a row (row: in window's client area), height high: beside
    // the row's right end, level with its top; left of the row when the screen has no room on its
    // right; never past the screen's edges. The chosen entry's index, or -1.
    int PopupSubmenu(int height, HWND window, const RECT& row);
    // Where PopupSubmenu places a panel of size beside row (both in screen coordinates) on a screen
    // whose bounds are screen.
    static CRect SubmenuPlace(const RECT& row, SIZE size, const RECT& screen);
    // Makes the list shown on a page, at rect of parent; false when its window could not be made.
    bool CreateStaticList(HWND parent, const RECT& rect);
    CListPanelStatic* StaticList() const { return m_staticList.get(); }
    // Shows or hides the static list only.
    void Show(bool show) override;

    std::wstring GetEntryText(int index) const;
    int FindEntry(const std::wstring& name) const;
    // The first entry whose name is the shown text; -1 when none is shown.
    int GetCurSel() const;
    // False past the end, and for a negative index without a static list; a negative index clears
    // the static list's selection and the shown text.
    bool SetCurSel(int index);
    // A choice made in the pop-up: the entry becomes the current one, -1 leaves none.
    void SetChoice(int index);
    const std::wstring& ShownText() const { return m_shown; }
    // The static list's text shown over rows without a tooltip of their own (translated).
    void SetListHeading(const wchar_t* key);

    // Appearance, as the layout gives it.
    void SetFontColor(COLORREF c) { m_look.colors.text = c; }
    void SetFontColorHi(COLORREF c) { m_look.colors.hotText = c; }
    void SetFontColorSel(COLORREF c);
    void SetDisabledFontColor(COLORREF c) { m_look.colors.disabledText = c; }
    void SetBackColor(COLORREF c) { m_look.colors.back = c; }
    void SetBackColorHi(COLORREF c) { m_look.colors.hotBack = c; }
    void SetBackColorSel(COLORREF c);
    void SetDisabledBackColor(COLORREF c) { m_look.colors.disabledBack = c; }
    void SetBorderColor(COLORREF c) { m_look.colors.border = c; }
    void SetBorderWidth(int width) { m_look.borderWidth = width; }
    void SetLeftMargin(int margin) { m_look.leftMargin = margin; }
    void SetRightMargin(int margin) { m_look.rightMargin = margin; }
    // Borrowed from the item list.
    void SetItemFont(CFontItem* font);
    void SetSorted(bool sorted) { m_sorted = sorted; }
    void SetScrollSkin(const VScrollSkin& skin) { m_look.scrollSkin = skin; }
    // The tooltip of rows whose entry has no text of its own (a language key).
    void SetToolTip(const wchar_t* key);

    const ListPanelLook& Look() const { return m_look; }
    int Width() const { return m_width; }
    int DefaultHeight() const { return m_defaultHeight; }
    bool IsSorted() const { return m_sorted; }

private:
    CWnd* m_ownerWindow;
    int m_width;
    int m_defaultHeight;
    std::vector<ListEntry> m_entries;
    std::wstring m_shown;
    ListPanelLook m_look;
    bool m_sorted = false;
    std::unique_ptr<CListPanelStatic> m_staticList;
};
