#include "Input.h"
#include "Messages.h"

#include <vector>

namespace hvtest {
namespace {

void Settle()
{
    FlushMessages(30, 1000);
}

bool Send(std::vector<INPUT>& inputs)
{
    if (inputs.empty())
        return true;
    UINT sent = SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    Settle();
    return sent == inputs.size();
}

INPUT Mouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.mouseData = data;
    in.mi.dwFlags = flags;
    return in;
}

// Absolute coordinates are 0..65535 across the primary screen; rounded up so that the pointer
// lands on the pixel itself after the system scales back down.
LONG Normalised(LONG value, int extent)
{
    if (extent <= 0)
        return 0;
    return LONG((LONGLONG(value) * 65536 + extent - 1) / extent);
}

INPUT AbsoluteMove(POINT screen)
{
    return Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
                 Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

DWORD DownFlag(Button b)
{
    return b == Button::Left ? MOUSEEVENTF_LEFTDOWN : b == Button::Right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_MIDDLEDOWN;
}

DWORD UpFlag(Button b)
{
    return b == Button::Left ? MOUSEEVENTF_LEFTUP : b == Button::Right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_MIDDLEUP;
}

bool IsExtended(WORD vk)
{
    switch (vk) {
    case VK_RMENU: case VK_RCONTROL: case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_NUMLOCK: case VK_DIVIDE: case VK_SNAPSHOT: case VK_LWIN: case VK_RWIN: case VK_APPS:
    case VK_CANCEL:
        return true;
    default:
        return false;
    }
}

INPUT Key(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

INPUT UnicodeKey(wchar_t c, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = c;
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

std::vector<WORD> ModifierKeys(UINT modifiers)
{
    std::vector<WORD> keys;
    if (modifiers & MOD_CONTROL)
        keys.push_back(VK_CONTROL);
    if (modifiers & MOD_SHIFT)
        keys.push_back(VK_SHIFT);
    if (modifiers & MOD_ALT)
        keys.push_back(VK_MENU);
    return keys;
}

// Down and up of vk wrapped in the modifiers' presses and releases.
void AppendChord(std::vector<INPUT>& inputs, WORD vk, UINT modifiers)
{
    std::vector<WORD> mods = ModifierKeys(modifiers);
    for (WORD m : mods)
        inputs.push_back(Key(m, false));
    inputs.push_back(Key(vk, false));
    inputs.push_back(Key(vk, true));
    for (auto it = mods.rbegin(); it != mods.rend(); ++it)
        inputs.push_back(Key(*it, true));
}

POINT ScreenPoint(HWND target, POINT client)
{
    if (client.x == -1 && client.y == -1) {
        RECT r;
        GetClientRect(target, &r);
        client = {(r.right - r.left) / 2, (r.bottom - r.top) / 2};
    }
    ClientToScreen(target, &client);
    return client;
}

// Keys go to the focused window; give it to target when this thread owns it.
void FocusTarget(HWND target)
{
    if (!target)
        return;
    PrepareTarget(target);
    if (GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId())
        SetFocus(target);
    Settle();
}

} // namespace

bool MoveCursorTo(POINT screen)
{
    std::vector<INPUT> inputs = {AbsoluteMove(screen)};
    Send(inputs);
    POINT now = {};
    GetCursorPos(&now);
    if (now.x == screen.x && now.y == screen.y)
        return true;
    SetCursorPos(screen.x, screen.y);
    Settle();
    GetCursorPos(&now);
    return now.x == screen.x && now.y == screen.y;
}

bool PrepareTarget(HWND target, POINT client)
{
    if (!IsWindow(target))
        return false;
    HWND top = GetAncestor(target, GA_ROOT);
    if (GetForegroundWindow() != top)
        SetForegroundWindow(top);
    POINT screen = ScreenPoint(target, client);
    bool arrived = MoveCursorTo(screen);
    // Something else on top would receive the input instead.
    HWND hit = WindowFromPoint(screen);
    return arrived && hit && (hit == target || IsChild(target, hit) || GetAncestor(hit, GA_ROOT) == top);
}

bool Click(HWND target, POINT client, Button button)
{
    if (!PrepareTarget(target, client))
        return false;
    std::vector<INPUT> inputs = {Mouse(DownFlag(button)), Mouse(UpFlag(button))};
    return Send(inputs);
}

bool DoubleClick(HWND target, POINT client)
{
    if (!PrepareTarget(target, client))
        return false;
    std::vector<INPUT> inputs = {Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP), Mouse(MOUSEEVENTF_LEFTDOWN),
                                 Mouse(MOUSEEVENTF_LEFTUP)};
    return Send(inputs);
}

bool Drag(HWND target, POINT from, POINT to, Button button)
{
    if (!PrepareTarget(target, from))
        return false;
    std::vector<INPUT> inputs = {Mouse(DownFlag(button))};
    POINT a = ScreenPoint(target, from), b = ScreenPoint(target, to);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        inputs.push_back(AbsoluteMove({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps}));
    inputs.push_back(Mouse(UpFlag(button)));
    return Send(inputs);
}

bool MouseDown(HWND target, POINT client, Button button)
{
    if (!PrepareTarget(target, client))
        return false;
    std::vector<INPUT> inputs = {Mouse(DownFlag(button))};
    return Send(inputs);
}

bool MouseUp(Button button)
{
    std::vector<INPUT> inputs = {Mouse(UpFlag(button))};
    return Send(inputs);
}

bool MoveAndPress(POINT screen, Button button)
{
    INPUT in = AbsoluteMove(screen);
    in.mi.dwFlags |= DownFlag(button);
    std::vector<INPUT> inputs = {in};
    return Send(inputs);
}

bool Wheel(HWND target, int notches)
{
    if (!PrepareTarget(target))
        return false;
    std::vector<INPUT> inputs = {Mouse(MOUSEEVENTF_WHEEL, 0, 0, DWORD(notches * WHEEL_DELTA))};
    return Send(inputs);
}

bool KeyDown(WORD vk)
{
    std::vector<INPUT> inputs = {Key(vk, false)};
    return Send(inputs);
}

bool KeyUp(WORD vk)
{
    std::vector<INPUT> inputs = {Key(vk, true)};
    return Send(inputs);
}

bool PressKey(WORD vk, UINT modifiers, HWND target)
{
    FocusTarget(target);
    std::vector<INPUT> inputs;
    AppendChord(inputs, vk, modifiers);
    return Send(inputs);
}

bool TypeText(const std::wstring& text, HWND target)
{
    FocusTarget(target);
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        SHORT scan = VkKeyScanW(c);
        if (scan == -1 || (HIBYTE(scan) & ~1)) {  // no key, or one needing Ctrl/Alt
            inputs.push_back(UnicodeKey(c, false));
            inputs.push_back(UnicodeKey(c, true));
        } else {
            AppendChord(inputs, LOBYTE(scan), (HIBYTE(scan) & 1) ? MOD_SHIFT : 0);
        }
    }
    return Send(inputs);
}

} // namespace hvtest
