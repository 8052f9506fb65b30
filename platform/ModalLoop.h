// The layer's modal message loop, shared by modal dialogs and property sheets.
#pragma once

#include <windows.h>

#include "platform/Wnd.h"

// Takes and dispatches this thread's messages until done() answers true (asked before each
// message). Each message first goes through the PreTranslateMessage chain from its window up to
// root. A WM_QUIT ends the loop and is posted again, so that the loops below this one end too.
template <class Done>
void RunModalMessageLoop(HWND root, Done done)
{
    MSG msg;
    while (!done()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!CWnd::WalkPreTranslateTree(root, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}
