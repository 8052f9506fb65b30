// CXHeaderCtrl: the owner-drawn header of the extended list. It takes over the header the
// list-view makes, paints every item itself in the list's header colours (text translated, the
// check image of a check column, a bitmap at the right end) and keeps the columns from being
// resized: the sizing style is added and the start of a track refused.
//
// Beside the header's own items it keeps one record per item (kept in step when items are inserted
// and deleted), which holds what the header control does not: the item's own text colour.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Dc.h"
#include "platform/HeaderCtrl.h"

// A column caption as shown: a "$" key translated through the current language, anything else as
// written (a caption such as "#" is no key prefix).
std::wstring ColumnCaption(const std::wstring& caption);

class CXHeaderCtrl : public CHeaderCtrl
{
public:
    static constexpr int kMargin = 6;         // between an item's edges and what it shows
    static constexpr int kSpacing = 1;        // between an image and the text
    static constexpr int kBitmapMargin = 8;   // around a bitmap at the right end

    CXHeaderCtrl();
    ~CXHeaderCtrl() override;

    // The background of every item state, and the text.
    void SetBackColor(COLORREF colour);
    void SetTextColor(COLORREF colour);
    COLORREF BackColor() const { return m_backColor; }
    COLORREF TextColor() const { return m_textColor; }
    // One item's text colour; CLR_DEFAULT: the header's.
    bool SetItemTextColor(int index, COLORREF colour);
    COLORREF ItemTextColor(int index) const;
    // How many item records the header keeps (as many as it has items).
    size_t RecordCount() const { return m_records.size(); }
    // The size of the images of the image list set last (0 x 0 without one).
    CSize ImageSize() const { return m_imageSize; }

protected:
    void PreSubclassWindow() override;

private:
    struct ItemRecord
    {
        COLORREF textColor = CLR_DEFAULT;
    };

    void DrawItem(CDC& dc, int index, const CRect& rect);
    void DrawSeparator(CDC& dc, int x, const CRect& client);

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnInsertItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetImageList(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnBeginTrack(NMHDR* header, LRESULT* result);
    void Paint(HDC target);

    std::vector<ItemRecord> m_records;
    COLORREF m_separatorDark = RGB(0, 0, 0);
    COLORREF m_separatorLight = RGB(0xFE, 0xFE, 0xFE);
    COLORREF m_backColor = RGB(0, 0, 0);
    COLORREF m_textColor = RGB(0xFF, 0xFF, 0xFF);
    CSize m_imageSize;
    bool m_doubleBuffered = true;

    HV_DECLARE_MSG_MAP()
};
