// The dialog base of the main window and of every popup: it loads its layout file into its items
// when its window is created, takes the size of the layout's BACKGROUND picture, clips itself to
// the opaque pixels of the MASK picture and paints the background.
//
// A panel opens centred over its owner (a panel without one on the work area), kept on the work
// area of the owner's monitor. Panels that open at an anchor of their own (drop-down lists, menus)
// move there from their OnInitDialog, after this placement.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Dialog.h"
#include "platform/GdiObject.h"
#include "platform/Geometry.h"
#include "skin/GUIItem.h"

class CPanelBitmap;
class CPreparedLayout;

class CGUIPanel : public CDialog
{
public:
    // A panel built from a layout file of the program folder's "xml\" folder.
    CGUIPanel(UINT templateId, const wchar_t* layoutFile, CWnd* parent);
    CGUIPanel(const DLGTEMPLATE* dialogTemplate, const wchar_t* layoutFile, CWnd* parent);
    // A panel without layout, of the rectangle's size.
    CGUIPanel(const RECT& rect, UINT templateId, CWnd* parent);
    CGUIPanel(const RECT& rect, const DLGTEMPLATE* dialogTemplate, CWnd* parent);
    ~CGUIPanel() override;

    CGUIItems& Items() { return m_items; }
    const std::wstring& LayoutFile() const { return m_layoutFile; }
    CPanelBitmap* Background() const { return m_background; }
    CPanelBitmap* Mask() const { return m_mask; }
    // The window region made from the mask; owned by the window once set (null when none).
    HRGN Region() const { return m_region; }
    bool IsCreated() const { return m_created; }
    // The top-left corner of a window of size centred on over and kept on work.
    static CPoint CentredOn(const RECT& over, SIZE size, const RECT& work);
    // Whether the layout load reports progress through the program's progress window.
    void SetReportProgress(bool report) { m_reportProgress = report; }

protected:
    // Looks the panel's items up by id and keeps pointers to them; each panel calls it from its
    // OnInitDialog, when the items exist.
    virtual void BindItems() = 0;

    // Whether the layout's item of this name is made when first wanted (BuildLaterItems) rather
    // than with the window: none is, unless a panel says so.
    virtual bool MakesLater(const char* itemName) const;
    // Makes the items MakesLater held back, into the panel's items, once: true when it made them now.
    bool BuildLaterItems();

    // Centres a top-level panel over its owner's window (or on the work area when it has no shown
    // owner), kept on the work area.
    void PlaceOverOwner();

    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    CWnd* m_owner;
    std::wstring m_layoutFile;
    CPanelBitmap* m_background = nullptr;  // items of m_items
    CPanelBitmap* m_mask = nullptr;
    HRGN m_region = nullptr;
    // The background in the window's own pixel format, made on the first paint: a blit from a
    // picture in another format converts every pixel, at every paint.
    CBitmap m_paintBackground;
    CGUIItems m_items;
    std::unique_ptr<CPreparedLayout> m_laterItems;  // the items held back by MakesLater
    CRect m_rect;
    bool m_created = false;
    bool m_reportProgress = false;

    HV_DECLARE_MSG_MAP()
};
