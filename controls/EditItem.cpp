#include "controls/EditItem.h"

#include <ctime>
#include <cwchar>
#include <vector>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "platform/Dc.h"
#include "skin/FontItem.h"

namespace {

bool IsDigitKey(WPARAM virtualKey)
{
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) ||
           virtualKey == VK_BACK;
}

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// The modifiers of the key-combination edit, known by scan code (left and right keys share one).
uint8_t ModifierOfScanCode(uint16_t scanCode)
{
    switch (scanCode) {
    case 29:
        return KeyEventRecord::kCtrl;
    case 42:
    case 54:
        return KeyEventRecord::kShift;
    case 56:
        return KeyEventRecord::kAlt;
    default:
        return 0;
    }
}


int64_t SystemSeconds()
{
    return static_cast<int64_t>(std::time(nullptr));
}

CEditItemSingleKeyInputMMO::SecondsClock g_secondsClock = SystemSeconds;
// The time of the last step any key-combination edit took; 0 before the first key. Process-wide,
// like the one registration all the key edits share.
int64_t g_lastStep = 0;

} // namespace

// ---- CEditItem ----------------------------------------------------------------------------------

BEGIN_MSG_MAP(CEditItem, CEdit)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_ENABLE, OnEnable)
    ON_CTLCOLOR_REFLECT(CtlColor)
    ON_CONTROL_REFLECT(EN_CHANGE, OnChange)
    ON_CONTROL_REFLECT(EN_UPDATE, OnUpdate)
END_MSG_MAP()

CEditItem::CEditItem()
{
    kind = ItemKind::EditItem;
}

CEditItem::~CEditItem()
{
    if (m_frame && m_frame->IsWindow())
        m_frame->DestroyWindow();
    if (m_hWnd)
        DestroyWindow();
}

bool CEditItem::CreateInFrame(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    CRect outer(rect);
    outer.InflateRect(m_borderWidth, m_borderWidth);
    auto frame = std::make_unique<CGenericPanel>(m_borderWidth);
    frame->SetFillColor(m_back);
    frame->SetBorderColor(m_border);
    if (!frame->Create(outer, parent))
        return false;
    m_frame = std::move(frame);
    // No edge of the system's: the frame is the border.
    if (!CreateEx(0, L"Edit", L"", style | WS_CHILD, rect, parent, id)) {
        m_frame->DestroyWindow();
        m_frame.reset();
        return false;
    }
    // The frame lies under the edit (a later sibling would come below it) and never paints over it.
    m_frame->ModifyStyle(0, WS_CLIPSIBLINGS);
    m_frame->SetWindowPos(m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    window = m_hWnd;
    return true;
}

int CEditItem::OnCreate(CREATESTRUCTW*)
{
    if (Default() == -1)
        return -1;
    m_backBrush.DeleteObject();
    m_disabledBrush.DeleteObject();
    m_backBrush.CreateSolidBrush(m_back);
    m_disabledBrush.CreateSolidBrush(m_backDisabled);
    // Without a font item, the skin's own font rather than the system's.
    if (!m_font && !m_fallbackFont)
        CreateSkinFont(kSkinFontHeight, m_fallbackFont);
    HFONT font = m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ApplyFrameColors();
    return 0;
}

void CEditItem::OnDestroy()
{
    Default();
}

void CEditItem::SetNumeric(bool numeric, int32_t minValue, int32_t maxValue)
{
    m_numeric = numeric;
    m_minValue = minValue;
    m_maxValue = maxValue;
}

void CEditItem::SetColor(COLORREF& field, COLORREF c, CBrush* brush)
{
    field = c;
    if (!m_hWnd)
        return;  // the brushes are made with the window
    if (brush) {
        brush->DeleteObject();
        brush->CreateSolidBrush(c);
    }
    ApplyFrameColors();
    Invalidate();
}

void CEditItem::SetFontColor(COLORREF c) { SetColor(m_text, c, nullptr); }
void CEditItem::SetBackColor(COLORREF c) { SetColor(m_back, c, &m_backBrush); }
void CEditItem::SetBorderColor(COLORREF c) { SetColor(m_border, c, nullptr); }
void CEditItem::SetDisabledFontColor(COLORREF c) { SetColor(m_textDisabled, c, nullptr); }
void CEditItem::SetDisabledBackColor(COLORREF c) { SetColor(m_backDisabled, c, &m_disabledBrush); }
void CEditItem::SetDisabledBorderColor(COLORREF c) { SetColor(m_borderDisabled, c, nullptr); }

void CEditItem::SetItemFont(CFontItem* font)
{
    m_font = font;
    if (m_hWnd && font)
        SetFont(*font, TRUE);
}

void CEditItem::ApplyFrameColors()
{
    if (!m_frame)
        return;
    const bool enabled = !m_hWnd || IsWindowEnabled();
    m_frame->SetFillColor(enabled ? m_back : m_backDisabled);
    m_frame->SetBorderColor(enabled ? m_border : m_borderDisabled);
    if (m_frame->IsWindow())
        m_frame->Invalidate();
}

void CEditItem::Show(bool show)
{
    if (m_frame && m_frame->IsWindow())
        m_frame->ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (m_hWnd)
        ShowWindow(show ? SW_SHOW : SW_HIDE);
}

HWND CEditItem::NoticeWindow() const
{
    HWND ownerWindow = owner ? owner->GetSafeHwnd() : nullptr;
    return ownerWindow && ::IsWindow(ownerWindow) ? ownerWindow : GetParent();
}

void CEditItem::ShowText(const std::wstring& text)
{
    SetWindowText(text.c_str());
    const int end = static_cast<int>(text.size());
    SetSel(end, end);
    SendMessage(EM_SCROLLCARET);
}

HBRUSH CEditItem::CtlColor(HDC hdc, UINT)
{
    const bool enabled = IsWindowEnabled();
    CDC dc(hdc);
    const COLORREF back = enabled ? m_back : m_backDisabled;
    dc.SetTextColor(enabled ? m_text : m_textDisabled);
    dc.SetBkColor(back);
    dc.SetDCPenColor(back);
    dc.SetDCBrushColor(back);
    HBRUSH brush = enabled ? m_backBrush.GetSafeHandle() : m_disabledBrush.GetSafeHandle();
    return brush ? brush : static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
}

LRESULT CEditItem::OnEnable(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    ApplyFrameColors();  // the frame shows the state of the edit
    return result;
}

void CEditItem::OnChange()
{
    ::SendMessageW(NoticeWindow(), WM_EDITITEM_CHANGED, 0, reinterpret_cast<LPARAM>(m_hWnd));
}

bool CEditItem::FilterNumeric(const MSG& msg) const
{
    switch (msg.message) {
    case WM_KEYDOWN:
        return !IsDigitKey(msg.wParam);
    case WM_CHAR: {
        const wchar_t ch = static_cast<wchar_t>(msg.wParam);
        if (ch == L'\b')
            return false;
        if (ch < L'0' || ch > L'9')
            return true;
        const int digit = ch - L'0';
        const std::wstring text = GetWindowText();
        // Far beyond any bound: a number that would not fit is refused like one above the maximum.
        long long value = digit;
        if (!text.empty()) {
            const long long current = std::wcstoll(text.c_str(), nullptr, 10);
            value = current > (INT32_MAX - 9) / 10 ? static_cast<long long>(INT32_MAX) + 1 : current * 10 + digit;
        }
        return value < m_minValue || (m_maxValue != kNoMaximum && value > m_maxValue) || value > INT32_MAX;
    }
    case WM_CONTEXTMENU:
        return true;
    default:
        return false;
    }
}

BOOL CEditItem::PreTranslateMessage(MSG* msg)
{
    if (m_numeric && msg->hwnd == m_hWnd && FilterNumeric(*msg))
        return TRUE;
    m_toolTip.Relay(m_hWnd, msg);
    return CEdit::PreTranslateMessage(msg);
}

// ---- CEditItemSingleKeyInput --------------------------------------------------------------------

BEGIN_MSG_MAP(CEditItemSingleKeyInput, CEditItem)
    ON_MESSAGE(WM_INPUT, OnInput)
    ON_MESSAGE(WM_CHAR, OnSwallow)
    ON_MESSAGE(WM_PASTE, OnSwallow)
    ON_WM_DESTROY()
END_MSG_MAP()

CEditItemSingleKeyInput::CEditItemSingleKeyInput()
{
    kind = ItemKind::EditItemSingleKey;
}

CEditItemSingleKeyInput::~CEditItemSingleKeyInput()
{
    UnregisterKeyInput();
}

bool CEditItemSingleKeyInput::RegisterKeyInput()
{
    if (!m_hWnd)
        return false;
    RawInputRegistration& registration = TheRawInputRegistration();
    if (registration.IsRegistered())
        return registration.IsRegisteredFor(m_hWnd);
    registration.AddUsage(kUsageKeyboard);
    if (!registration.Register(m_hWnd))
        return false;
    m_registeredFor = m_hWnd;
    return true;
}

void CEditItemSingleKeyInput::UnregisterKeyInput()
{
    if (m_registeredFor)
        TheRawInputRegistration().UnregisterFor(m_registeredFor);
    m_registeredFor = nullptr;
}

bool CEditItemSingleKeyInput::IsKeyInputRegistered() const
{
    return m_registeredFor && TheRawInputRegistration().IsRegisteredFor(m_registeredFor);
}

void CEditItemSingleKeyInput::OnDestroy()
{
    // The registration names this window, which is going: nothing may be left pointing at it.
    UnregisterKeyInput();
    CEditItem::OnDestroy();
}

LRESULT CEditItemSingleKeyInput::OnInput(WPARAM, LPARAM lParam)
{
    std::vector<BYTE> buffer;
    const RAWINPUT* input = ReadRawInput(reinterpret_cast<HRAWINPUT>(lParam), buffer);
    if (input && input->header.dwType == RIM_TYPEKEYBOARD)
        OnRawKeyboard(input->data.keyboard);
    return Default();
}

void CEditItemSingleKeyInput::OnRawKeyboard(const RAWKEYBOARD& keyboard)
{
    if (KeyRecordFromRawKeyboard(m_record, keyboard))
        ShowText(m_record.keyName);
}

bool CEditItemSingleKeyInput::OnKeyMessage(const MSG& msg)
{
    const int eaten = KeyRecordFromKeyMessage(m_record, msg);
    if (!eaten)
        ShowText(m_record.keyName);
    // A system key (Alt and its combinations) never reaches the edit: it would open the menus.
    return eaten || msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP;
}

BOOL CEditItemSingleKeyInput::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd && IsKeyMessage(msg->message) && OnKeyMessage(*msg))
        return TRUE;
    return CEditItem::PreTranslateMessage(msg);
}

// ---- CEditItemSingleKeyInputMMO -----------------------------------------------------------------

CEditItemSingleKeyInputMMO::CEditItemSingleKeyInputMMO() = default;
CEditItemSingleKeyInputMMO::~CEditItemSingleKeyInputMMO() = default;

void CEditItemSingleKeyInputMMO::SetSecondsClock(SecondsClock clock)
{
    g_secondsClock = clock ? clock : SystemSeconds;
}

void CEditItemSingleKeyInputMMO::ResetLastStep()
{
    g_lastStep = 0;
}

void CEditItemSingleKeyInputMMO::OnRawKeyboard(const RAWKEYBOARD& keyboard)
{
    // The fake Shift the system sends around an extended key, and the Ctrl part of Pause.
    if ((keyboard.VKey == 0xFF && keyboard.MakeCode == 42) || (keyboard.VKey == VK_PAUSE && keyboard.MakeCode == 29))
        return;
    if (!KeyRecordFromRawKeyboard(m_record, keyboard))
        return;
    Step((keyboard.Flags & RI_KEY_BREAK) == 0, keyboard.MakeCode);
}

bool CEditItemSingleKeyInputMMO::OnKeyMessage(const MSG& msg)
{
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (down && (msg.lParam & (1 << 30)))
        return true;  // auto-repeat: the key is already down
    m_record.virtualKey = static_cast<uint16_t>(msg.wParam);
    KeyRecordFromKeyData(msg.lParam, m_record, down);
    Step(down, m_record.scanCode);
    return true;  // the edit shows the combination only
}

void CEditItemSingleKeyInputMMO::Step(bool down, uint16_t scanCode)
{
    const int64_t now = g_secondsClock();
    if (g_lastStep == 0)
        g_lastStep = now;
    const uint8_t flag = ModifierOfScanCode(scanCode);
    if (flag)
        m_held = static_cast<uint8_t>(down ? m_held | flag : m_held & ~flag);
    if (m_state == CaptureState::Completed) {
        // Keys let go right after a combination was completed belong to it; and a completed
        // combination stays what it is until a new key goes down (it is what the edit shows).
        if (now <= g_lastStep || !down) {
            g_lastStep = now;
            return;
        }
        if (flag || !m_held) {
            ClearCombination();
            StepAsIdle(down, flag);
        } else {
            Capture();
            m_state = CaptureState::KeyCaptured;
            ShowCombination();
        }
    } else if (m_state == CaptureState::Idle) {
        StepAsIdle(down, flag);
    } else if (m_state == CaptureState::ModifiersHeld) {
        if (down && flag) {
            m_modifiers |= flag;
            ShowCombination();
        } else if (down) {
            Capture();
            m_state = CaptureState::KeyCaptured;
            ShowCombination();
        } else {
            m_state = CaptureState::Completed;
            ShowCombination();
        }
    } else {  // KeyCaptured
        if (flag) {
            if (down)
                m_modifiers |= flag;
        } else if (down) {
            Capture();
            ShowCombination();
        } else {
            m_state = CaptureState::Completed;
            ShowCombination();
        }
    }
    // The flags hold the modifiers that are down.
    if (!down)
        m_modifiers &= static_cast<uint8_t>(~flag);
    g_lastStep = now;
}

void CEditItemSingleKeyInputMMO::StepAsIdle(bool down, uint8_t flag)
{
    if (!down) {
        m_state = CaptureState::Idle;
        return;
    }
    if (flag) {
        m_modifiers |= flag;
        m_state = CaptureState::ModifiersHeld;
    } else {
        Capture();
        m_state = CaptureState::KeyCaptured;
    }
    ShowCombination();
}

void CEditItemSingleKeyInputMMO::Capture()
{
    m_keyScanCode = m_record.scanCode;
    m_keyVirtualKey = m_record.virtualKey;
    m_modifiers = static_cast<uint8_t>(m_held | m_record.flags);
    m_text = m_record.keyName;
}

void CEditItemSingleKeyInputMMO::ClearCombination()
{
    m_keyScanCode = 0;
    m_keyVirtualKey = 0;
    m_modifiers = m_held;
    m_text.clear();
    m_state = CaptureState::Idle;
}

void CEditItemSingleKeyInputMMO::ShowCombination()
{
    if (!m_hWnd)
        return;
    ShowText(m_text);
    ::SendMessageW(NoticeWindow(), WM_KEYCOMBINATION_CAPTURED, 0, reinterpret_cast<LPARAM>(m_hWnd));
}
