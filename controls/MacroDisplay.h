// The macro display (MACRODISPLAY): the report list in which the user records, reads and edits a
// macro, one row per macro event (key down or up, mouse button down or up, delay), each with an
// icon and a text in the current language.
//
// Recording reads the raw input of the keyboard and the mouse through the program's one raw input
// registration, so that keys typed anywhere are captured; the registration is the display's from
// ToggleRecording on until it stops (or its window goes). A read-only display never records nor
// accepts edits; it shows events and replays them with their delays.
//
// The display tells its owner window (the parent when it has none), by SendMessage with wParam 0 and
// lParam the item id: WM_MACRODISPLAY_CHANGED when the user changed the rows (or ReplaceEvent did),
// WM_MACRODISPLAY_EDITKEY when "$Edit" was chosen on a key row, WM_MACRODISPLAY_PLAYDONE at the end
// of a replay. Its context menus are list panel items the page hands over; the chosen entry's text
// (compared without regard to case) is the command.
//
// The display keeps its frame panel and its skinned scroll bar, which are siblings of the list.
// User-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/GenericPanel.h"
#include "controls/ItemToolTip.h"
#include "controls/VScrollBar.h"
#include "core/ModelRecords.h"
#include "platform/GdiObject.h"
#include "platform/ListCtrl.h"
#include "platform/RawInput.h"
#include "skin/GUIItem.h"

class CFontItem;
class CListPanelItem;

class CMacroDisplayItem : public CListCtrl, public CGUIItem
{
public:
    // The display's list columns (list column ids) and their types (macro column types).
    static constexpr int32_t kIconColumnId = 5;   // LCITEM_MCREVENT_ICON
    static constexpr int32_t kTextColumnId = 6;   // LCITEM_MCREVENT_DESCRIP
    static constexpr int32_t kIconColumnType = 0; // ICON
    static constexpr int32_t kTextColumnType = 1; // STATIC
    static constexpr int kMaxColumns = 2;
    // Row icons, by index: what SetRowBitmaps takes and a row's item data picks.
    enum RowBitmap { KeyDown, KeyUp, Delay, DelaySelected, Mouse, MouseSelected, kRowBitmapCount };
    // The item data of a row by its event.
    static constexpr LPARAM kRowKeyDown = 0;
    static constexpr LPARAM kRowKeyUp = 1;
    static constexpr LPARAM kRowDelay = 2;
    static constexpr LPARAM kRowMouse = 4;
    static constexpr int kIconWidth = 28;
    static constexpr int kIconHeight = 18;
    static constexpr int kDefaultRowHeight = 19;
    static constexpr int32_t kDefaultDelayMs = 50;
    // A delay edited as text is at most this many digits (9,999,999 ms).
    static constexpr int kDelayEditChars = 7;
    static constexpr UINT_PTR kReplayTimer = 32;
    static constexpr UINT kScrollBarId = 0xFFFF;

    // maxEvents: the layout's "max", kept for the page (negative read as 0); readOnly: a display
    // that only shows and replays.
    CMacroDisplayItem(int32_t maxEvents, bool readOnly);
    ~CMacroDisplayItem() override;

    // ---- Layout side ----
    // The frame panel on rect (or on the picture of frame), the list inside it shrunk by the border
    // width and, with a scroll skin, narrowed by the bar's width; the bar right of the list. The
    // owner window of the notifications is parent unless the item has an owner.
    bool CreateList(HWND parent, const RECT& rect, UINT id, const VScrollSkin* scrollSkin,
                    const FrameBitmapInfo* frame);
    // Copies each given bitmap (null: none) at its full size.
    void SetRowBitmaps(HBITMAP keyDown, HBITMAP keyUp, HBITMAP mouse, HBITMAP mouseSelected, HBITMAP delay,
                       HBITMAP delaySelected);
    // A column {list column id, macro column type, justify 'L', 'C' or 'R', width}; its index, or -1
    // for an id already present, an id or type of -1, or a third column.
    int AddColumn(int32_t columnId, int32_t columnType, wchar_t justify, int width);
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }

    void SetFontColor(COLORREF c);
    void SetFontColorHi(COLORREF c) { m_textHi = c; }
    void SetBackColor(COLORREF c);
    void SetBackColorHi(COLORREF c) { m_backHi = c; }
    // Also the frame panel's and the scroll bar's.
    void SetBorderColor(COLORREF c);
    void SetBorderWidth(int width) { m_borderWidth = width < 0 ? 0 : width; }
    void SetLeftMargin(int margin) { m_leftMargin = margin < 0 ? 0 : margin; }
    // Borrowed from the item list; set before CreateList.
    void SetItemFont(CFontItem* font) { m_font = font; }
    void SetToolTip(const wchar_t* key);

    int BorderWidth() const { return m_borderWidth; }
    int LeftMargin() const { return m_leftMargin; }
    int RowHeight() const { return m_rowHeight; }
    COLORREF FontColor() const { return m_text; }
    COLORREF BackColor() const { return m_back; }
    COLORREF BorderColor() const { return m_border; }
    CGenericPanel* Frame() const { return m_frame.get(); }
    CVScrollBar* ScrollBar() const { return m_scrollBar.get(); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }

    // ---- Page side ----
    // Starts or stops recording; the new state. Refused (false, nothing changes) when read-only.
    // Starting registers the keyboard and the mouse for the list and hides the scroll bar; a refused
    // registration starts nothing. Stopping removes the registration and shows the bar again.
    //
    // A recording never outgrows what a macro holds (kMaxMacroEvents): an event is taken only when
    // the macro still has room after it for the release of every key and button then down. The first
    // one that does not fit closes the recording: each key and button still down gets its release
    // (the last pressed first, without delays), the registration goes, nothing more is taken, and
    // WM_MACRODISPLAY_RECORDINGFULL is posted to the owner, which ends the recording as its stop
    // button would (IsRecording stays true until then).
    bool ToggleRecording();
    bool IsRecording() const { return m_recording; }
    // The recording was closed at the limit and takes nothing more.
    bool IsRecordingClosed() const { return m_recordingClosed; }
    bool IsReadOnly() const { return m_readOnly; }
    int32_t MaxEvents() const { return m_maxEvents; }
    void ClearEvents();
    // Shows the events; refused for none and while recording. True when rows exist.
    bool SetEvents(const std::vector<MacroEvent>* events);
    // Replaces one event (and its row); refused when read-only or for an index without an event.
    bool ReplaceEvent(int index, const MacroEvent& event);
    const std::vector<MacroEvent>& Events() const { return m_events; }

    void SetIgnoreDelays(bool ignore) { m_ignoreDelays = ignore; }
    void SetUseDefaultDelay(bool use) { m_useDefaultDelay = use; }
    void SetDefaultDelay(int32_t ms) { m_defaultDelay = ms; }
    // A window whose mouse capture keeps mouse buttons out of the recording (the record button).
    void SetCaptureWindow(HWND window) { m_captureWindow = window; }
    bool IgnoresDelays() const { return m_ignoreDelays; }
    bool UsesDefaultDelay() const { return m_useDefaultDelay; }
    int32_t DefaultDelay() const { return m_defaultDelay; }
    // The context menus of key, delay and mouse rows (borrowed from the page's items).
    void SetMenus(CListPanelItem* keyMenu, CListPanelItem* delayMenu, CListPanelItem* mouseMenu);
    bool IsLabelEditing() const { return m_labelEditing; }

    // Replays events (read-only displays only): rows of key and mouse events appear at once, each
    // delay waits its time. False, starting nothing, on a display that is not read-only.
    bool Replay(const std::vector<MacroEvent>& events);
    bool IsReplaying() const { return !m_replay.empty(); }

    // ---- Recording ----
    // A raw input record as WM_INPUT brings it.
    void RecordRawInput(const RAWINPUT& input);
    // The millisecond clock of the delays (GetTickCount unless the tests give their own).
    using TickSource = DWORD(WINAPI*)();
    void SetTickSource(TickSource source) { m_tick = source ? source : &::GetTickCount; }

    // The text a row of event shows.
    static std::wstring RowText(const MacroEvent& event);
    // A delay event of ms milliseconds.
    static MacroEvent DelayEvent(int32_t ms) { return {kMacroEventDelay, ms, 0}; }

    BOOL PreTranslateMessage(MSG* msg) override;
    void Show(bool show) override;

private:
    struct Column
    {
        int32_t id;
        int32_t type;
        int format;
    };

    // Rows.
    int SubItemOf(int32_t columnId) const;
    int InsertRow(int index, const MacroEvent& event);
    void DeleteRow(int row);
    void SelectRow(int row);
    bool AddRecordedEvent(const MacroEvent& event);
    // The releases of every key and button still down, then no more input (see ToggleRecording).
    void CloseRecording();
    // A recorded event as a press (+1), a release of a press this recording took (-1), or neither
    // (0); the index of the press it releases in m_pressed, for a release.
    int PressChange(const MacroEvent& event, size_t* pressIndex) const;
    void NotifyOwner(UINT message);
    HWND NoticeWindow() const;
    void SyncScrollBar();

    // Menus and label editing.
    void RunMenu(int row, CPoint point);
    void RunCommand(const std::wstring& command, int row);
    void InsertDelayAfter(int row);
    void DeleteSelected(int row);
    void StartDelayEdit(int row);
    void PlaceDelayEdit();

    // Replay.
    void ReplayStep();
    void EndReplay();

    // Drawing.
    void DrawRow(HDC dc, int row, bool selected);
    CRect SubItemRect(int row, int subItem) const;

    LRESULT OnInput(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlaceDelayEdit(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(HDC dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);

    std::vector<Column> m_columns;
    CBitmap m_rowBitmaps[kRowBitmapCount];
    CItemToolTip m_toolTip;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    CFont m_boldFont;
    COLORREF m_text = RGB(255, 255, 255);
    COLORREF m_textHi = 0;
    COLORREF m_back = 0;
    COLORREF m_backHi = RGB(255, 255, 255);
    COLORREF m_border = RGB(255, 255, 255);
    int m_borderWidth = 1;
    int m_rowHeight = kDefaultRowHeight;
    int m_leftMargin = 0;
    std::unique_ptr<CGenericPanel> m_frame;
    std::unique_ptr<CVScrollBar> m_scrollBar;
    CListPanelItem* m_menus[3] = {};  // key, delay, mouse rows

    KeyEventRecord m_record;
    int m_mouseButton = 0;
    int m_mouseState = 0;
    std::vector<MacroEvent> m_events;
    int32_t m_maxEvents;
    std::vector<uint16_t> m_heldKeys;
    // The presses of this recording not yet released, in order: what closing it must release.
    std::vector<MacroEvent> m_pressed;
    bool m_recordingClosed = false;
    std::vector<MacroEvent> m_replay;
    size_t m_replayCursor = 0;

    bool m_recording = false;
    bool m_readOnly;
    bool m_ignoreDelays = false;
    bool m_useDefaultDelay = false;
    bool m_labelEditing = false;
    bool m_hoverCapture = false;
    int m_editRow = -1;
    DWORD m_lastTick = 0;
    int32_t m_defaultDelay = kDefaultDelayMs;
    HWND m_captureWindow = nullptr;
    TickSource m_tick = &::GetTickCount;

    HV_DECLARE_MSG_MAP()
};
