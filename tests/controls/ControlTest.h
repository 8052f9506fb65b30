// Small helpers of the control tests: colours for BMP files, item ids, rows of a list panel, the
// pause that keeps two clicks from making a double click, and a message loop run as the program's.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "controls/ControlMessages.h"
#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "controls/ListPanel.h"
#include "core/NameTables.h"
#include "RecordingPanel.h"
#include "platform/WStr.h"

namespace controltest {

// A COLORREF as the 0x00RRGGBB pixel of a BMP file.
inline uint32_t Rgb(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// The item id of a name of the item name table; a failure when there is none.
inline int32_t Id(const wchar_t* name)
{
    int32_t id = FindItemIdByName(name);
    EXPECT_NE(id, -1) << wstr::WideToUtf8(name);
    return id;
}

inline POINT ScreenPoint(HWND window, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(window, &p);
    return p;
}

// A point inside a row of a list panel, left of where a long text would end.
inline POINT RowCentre(CListPanelList& list, int row)
{
    const CRect r = list.GetItemRect(row);
    return {r.left + 20, (r.top + r.bottom) / 2};
}

// Steps for modal list panels, each run once a new panel is shown with its list holding the focus
// (a nested panel is a new one while its outer panel waits); a panel left open is closed without a
// choice, as a failure.
class ModalScript : public hvtest::ModalScript
{
public:
    using Step = std::function<void(CListPanel&)>;

    explicit ModalScript(std::initializer_list<Step> steps)
        : hvtest::ModalScript(OpenPanel, [](HWND panel) { PostMessageW(panel, WM_LISTPANEL_SELECT, 0, -1); })
    {
        for (const Step& step : steps)
            ExpectOnce([step](HWND panel) { step(*PanelOf(panel)); });
    }

    static CListPanel* PanelOf(HWND window)
    {
        return dynamic_cast<CListPanel*>(CWnd::FromHandlePermanent(window));
    }
    // A shown list panel of this thread whose list holds the focus.
    static HWND OpenPanel()
    {
        return hvtest::ThreadWindow([](HWND window) {
            CListPanel* panel = PanelOf(window);
            return panel && GetFocus() == panel->List().GetSafeHwnd();
        });
    }
};

// Two clicks closer together than this make a double click.
inline void WaitPastDoubleClick()
{
    Sleep(GetDoubleClickTime() + 50);
}

// Runs this thread's messages as the program's loop does, PreTranslateMessage first (where the
// items relay the mouse to their tooltip and the edits take their keys), until condition holds;
// false after timeoutMs. onMessage, when given, sees each message taken out of the queue first.
inline bool PumpAsProgram(const std::function<bool()>& condition, DWORD timeoutMs = 5000,
                          const std::function<void(const MSG&)>& onMessage = nullptr)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        if (onMessage)
            onMessage(msg);
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

// A recording panel of a layout of the test's skin folder (whose files writeSkin writes first),
// shown at (x, y) of the screen in the foreground.
class LayoutScene
{
public:
    LayoutScene(const wchar_t* layout, void (*writeSkin)(), int x, int y) : panel(layout)
    {
        InitNameTables();
        layouttest::UseTestSkinFolder();
        writeSkin();
        created = panel.Create();
        if (created) {
            panel.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            SetForegroundWindow(panel);
        }
        hvtest::FlushMessages();
    }
    ~LayoutScene()
    {
        if (panel.IsWindow())
            panel.DestroyWindow();
    }
    LayoutScene(const LayoutScene&) = delete;
    LayoutScene& operator=(const LayoutScene&) = delete;

    // The item of that name when it is of that kind.
    template <class T>
    T* Find(const wchar_t* name, ItemKind kind)
    {
        return panel.Items().FindAs<T>(Id(name), kind);
    }

    hvtest::CRecordingPanel panel;
    bool created = false;
};

} // namespace controltest
