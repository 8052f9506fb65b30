#include "controls/ProgressPanelItem.h"

// ---- CProgressWindowThread ----------------------------------------------------------------------

CProgressWindowThread::CProgressWindowThread()
{
    m_ready.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

CProgressWindowThread::~CProgressWindowThread() = default;

bool CProgressWindowThread::Start(std::function<void()> setUp)
{
    if (!m_ready || m_thread.IsRunning())
        return false;
    m_setUp = std::move(setUp);
    ::ResetEvent(m_ready.Get());
    if (!m_thread.Start([this] { return Run(); }))
        return false;
    HANDLE waits[2] = {m_ready.Get(), m_thread.Handle()};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
        return false;
    m_threadId = ::GetThreadId(m_thread.Handle());
    return true;
}

unsigned CProgressWindowThread::Run()
{
    MSG msg;
    // The queue exists from the first peek on; only then may the starter post to it.
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    ::SetEvent(m_ready.Get());
    if (m_setUp)
        m_setUp();
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_quitCode = got == 0 ? static_cast<int64_t>(msg.wParam) : -1;
    return 0;
}

// ---- CProgressPanelItem -------------------------------------------------------------------------

CProgressPanelItem::CProgressPanelItem()
{
    kind = ItemKind::ProgressPanelItem;
    window = nullptr;
}

CProgressPanelItem::~CProgressPanelItem()
{
    if (!m_thread)
        return;
    if (m_thread->ThreadId())
        ::PostThreadMessageW(m_thread->ThreadId(), WM_QUIT, kQuitCode, 0);
    if (!m_thread->Join(m_endWaitMs)) {
        // The thread still runs and may still use its object: it is let go, never freed under it.
        ::OutputDebugStringW(L"progress window thread did not end; left running\n");
        (void)m_thread.release();
    }
}

void CProgressPanelItem::AddTextInfos(const std::vector<TextRecord>& records)
{
    m_texts.insert(m_texts.end(), records.begin(), records.end());
}

void CProgressPanelItem::SetWindowPlace(const RECT& rect, DWORD style, HWND parent)
{
    m_rect = rect;
    m_style = style;
    m_parent = parent;
}

void CProgressPanelItem::SetFill(COLORREF fillColor, COLORREF backColor, const RECT& rect)
{
    m_fillColor = fillColor;
    m_fillBack = backColor;
    m_fillRect = rect;
}
