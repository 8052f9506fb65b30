#include "platform/PaintAtOnce.h"

#include <algorithm>
#include <vector>
#include "platform/Dc.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"

namespace {

struct CPrintRun
{
    HWND root = nullptr;
    CDC* canvas = nullptr;    // the root's client area
    CDC* scratch = nullptr;   // as large as the root's client area, one child at a time
    std::vector<HWND> selfPainting;
};

// The two pictures of a print, kept from one print to the next: a fresh picture of a window's size
// is fresh memory, and writing it the first time cost more than the print itself.
struct CPrintPictures
{
    CBitmap canvas;
    CBitmap scratch;
    CSize size;

    // Pictures at least as large as width x height, compatible with dc; false when they cannot be
    // had.
    bool Ensure(HDC dc, int width, int height)
    {
        if (canvas.GetSafeHandle() && scratch.GetSafeHandle() && size.cx >= width && size.cy >= height)
            return true;
        canvas.DeleteObject();
        scratch.DeleteObject();
        size = CSize(std::max<LONG>(size.cx, width), std::max<LONG>(size.cy, height));
        if (canvas.CreateCompatibleBitmap(dc, size.cx, size.cy) && scratch.CreateCompatibleBitmap(dc, size.cx, size.cy))
            return true;
        canvas.DeleteObject();
        scratch.DeleteObject();
        size = CSize();
        return false;
    }
};
thread_local CPrintPictures t_pictures;

bool Prints(HWND child, const CWnd* wnd)
{
    // The system's controls that print as they paint; others (an animation, a combo box's list)
    // paint themselves.
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    for (const wchar_t* printing : {L"Button", L"Static", L"Edit", L"SysListView32", L"SysHeader32"})
        if (!lstrcmpiW(name, printing))
            return true;
    // A window of ours prints when its own paint does.
    return wnd && wnd->PaintsItself();
}

bool Frameless(HWND child, const RECT& place)
{
    RECT client{};
    ::GetClientRect(child, &client);
    return client.right == place.right - place.left && client.bottom == place.bottom - place.top;
}

void PrintChildren(CPrintRun& run, HWND parent, const RECT& parentClip)
{
    std::vector<RECT> above;  // the visible siblings met so far, above those still to come
    // In the window system's own order: a window before its children, siblings from the top of the
    // order down, so that where siblings overlap the lower one paints last, as it does on the screen.
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The window's own style: while a window's painting is off its children read as hidden.
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE))
            continue;
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, run.root, reinterpret_cast<POINT*>(&place), 2);
        RECT clip{};
        const CWnd* wnd = CWnd::FromHandlePermanent(child);
        if (wnd && wnd->PassesThrough()) {
            // Nothing of its own to print, and it clips no sibling: only its children show.
            if (::IntersectRect(&clip, &place, &parentClip))
                PrintChildren(run, child, clip);
            continue;
        }
        above.push_back(place);
        if (!::IntersectRect(&clip, &place, &parentClip))
            continue;
        if (!Prints(child, wnd) || !Frameless(child, place)) {
            run.selfPainting.push_back(child);
            continue;
        }
        const int width = place.right - place.left;
        const int height = place.bottom - place.top;
        // What lies under the child, then the child over it, as its own paint would find it.
        run.scratch->BitBlt(0, 0, width, height, *run.canvas, place.left, place.top, SRCCOPY);
        // Each print on a DC as it was given: the list view and edit controls leave their clipping
        // behind, which cut every later print down to their size.
        const int scratchState = run.scratch->SaveDC();
        ::SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(run.scratch->GetSafeHdc()),
                       PRF_CLIENT | PRF_ERASEBKGND);
        run.scratch->RestoreDC(scratchState);
        // The canvas is clipped to where the child shows, and unclipped again after: it holds no
        // other clipping, and saving its whole state for each child cost more than the copy.
        run.canvas->IntersectClipRect(clip);
        if (style & WS_CLIPSIBLINGS)
            for (size_t i = 0; i + 1 < above.size(); ++i)
                ::ExcludeClipRect(*run.canvas, above[i].left, above[i].top, above[i].right, above[i].bottom);
        CRgn shape;
        if (wnd && wnd->IsShaped() && shape.CreateRectRgn(0, 0, 0, 0) && ::GetWindowRgn(child, shape) != ERROR) {
            ::OffsetRgn(shape, place.left, place.top);
            ::ExtSelectClipRgn(*run.canvas, shape, RGN_AND);
        }
        run.canvas->BitBlt(place.left, place.top, width, height, *run.scratch, 0, 0, SRCCOPY);
        ::SelectClipRgn(*run.canvas, nullptr);
        if (!wnd || wnd->HostsWindows())
            PrintChildren(run, child, clip);
    }
}

} // namespace

void PaintAtOnce(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    if (::IsRectEmpty(&client))
        return;
    // Not clipped by the children: the picture covers them.
    HDC screenDc = ::GetDCEx(window, nullptr, DCX_CACHE);
    if (!screenDc)
        return;
    CDC screen(screenDc);
    CMemoryDC canvas(screen), scratch(screen);
    if (!canvas.GetSafeHdc() || !scratch.GetSafeHdc() || !t_pictures.Ensure(screen, client.right, client.bottom)) {
        screen.RestoreSelections();
        ::ReleaseDC(window, screenDc);
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return;
    }
    canvas.SelectObject(static_cast<HBITMAP>(t_pictures.canvas));
    scratch.SelectObject(static_cast<HBITMAP>(t_pictures.scratch));

    CPrintRun run;
    run.root = window;
    run.canvas = &canvas;
    run.scratch = &scratch;
    const int canvasState = canvas.SaveDC();
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.GetSafeHdc()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    canvas.RestoreDC(canvasState);
    PrintChildren(run, window, client);

    // Where a window paints itself the screen keeps its pixels until it does.
    for (HWND self : run.selfPainting) {
        RECT place{};
        ::GetWindowRect(self, &place);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        ::ExcludeClipRect(screen, place.left, place.top, place.right, place.bottom);
    }
    const bool caretHidden = ::HideCaret(nullptr) != FALSE;  // a caret on the screen would be copied over
    screen.BitBlt(0, 0, client.right, client.bottom, canvas, 0, 0, SRCCOPY);
    if (caretHidden)
        ::ShowCaret(nullptr);
    screen.RestoreSelections();
    ::ReleaseDC(window, screenDc);

    // Everything printed is painted now (one call for the whole tree: a call per window is a round
    // trip each); what paints itself is then made to.
    ::RedrawWindow(window, nullptr, nullptr, RDW_VALIDATE | RDW_NOINTERNALPAINT | RDW_ALLCHILDREN);
    for (HWND self : run.selfPainting)
        ::RedrawWindow(self, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
