#include "controls/ItemToolTip.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <unordered_map>
#include <vector>

#include "platform/Wnd.h"
#include "skin/LangTable.h"

namespace {

// Every item's tool has this id; the item's window tells the tools apart.
constexpr UINT_PTR kToolId = 1;

TTTOOLINFOW ToolInfo(HWND item)
{
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = 0;  // the items relay their messages themselves
    info.hwnd = item;
    info.uId = kToolId;
    return info;
}

// The tooltip control of one top-level window. It lives on the heap and deletes itself once its
// window is gone, however it went (PostNcDestroy), leaving the thread's list first.
class CPanelToolTip : public CWnd
{
public:
    // The live control of root, or null.
    static CPanelToolTip* Of(HWND root);
    // The live control of that serial number, or null.
    static CPanelToolTip* WithSerial(uint32_t serial);
    // A new control owned by root; null when the system makes none.
    static CPanelToolTip* Make(HWND root);

    uint32_t Serial() const { return m_serial; }

    // Adds the tool of item for owner with text. A tool that an earlier item left on a window of
    // the same handle (its window gone, the item not yet) is taken over.
    bool AddTool(HWND item, const CItemToolTip* owner, const std::wstring& text);
    void UpdateText(HWND item, const std::wstring& text);
    // Removes the tool of item if it is still owner's.
    void RemoveTool(HWND item, const CItemToolTip* owner);

protected:
    void PostNcDestroy() override;

private:
    CPanelToolTip(HWND root, uint32_t serial) : m_root(root), m_serial(serial) {}

    static std::vector<CPanelToolTip*>& Live();

    HWND m_root;
    uint32_t m_serial;
    std::unordered_map<HWND, const CItemToolTip*> m_tools;
};

std::vector<CPanelToolTip*>& CPanelToolTip::Live()
{
    thread_local std::vector<CPanelToolTip*> live;
    return live;
}

CPanelToolTip* CPanelToolTip::Of(HWND root)
{
    for (CPanelToolTip* control : Live()) {
        // The owner check guards against a root handle handed out again should the control have
        // outlived its first owner.
        if (control->m_root == root && ::GetWindow(control->m_hWnd, GW_OWNER) == root)
            return control;
    }
    return nullptr;
}

CPanelToolTip* CPanelToolTip::WithSerial(uint32_t serial)
{
    if (serial == 0)
        return nullptr;
    for (CPanelToolTip* control : Live()) {
        if (control->m_serial == serial)
            return control;
    }
    return nullptr;
}

CPanelToolTip* CPanelToolTip::Make(HWND root)
{
    static std::atomic<uint32_t> s_serials{0};
    uint32_t serial = ++s_serials;
    if (serial == 0)
        serial = ++s_serials;
    auto* control = new CPanelToolTip(root, serial);
    // A popup sized by the control itself; the system makes root its owner.
    if (!control->CreateEx(0, TOOLTIPS_CLASSW, nullptr, 0, CRect(), root, 0)) {
        delete control;
        return nullptr;
    }
    Live().push_back(control);
    return control;
}

bool CPanelToolTip::AddTool(HWND item, const CItemToolTip* owner, const std::wstring& text)
{
    TTTOOLINFOW info = ToolInfo(item);
    auto earlier = m_tools.find(item);
    if (earlier != m_tools.end()) {
        SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        m_tools.erase(earlier);
    }
    ::GetClientRect(item, &info.rect);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    if (!SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)))
        return false;
    m_tools[item] = owner;
    return true;
}

void CPanelToolTip::UpdateText(HWND item, const std::wstring& text)
{
    TTTOOLINFOW info = ToolInfo(item);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CPanelToolTip::RemoveTool(HWND item, const CItemToolTip* owner)
{
    auto tool = m_tools.find(item);
    if (tool == m_tools.end() || tool->second != owner)
        return;
    m_tools.erase(tool);
    TTTOOLINFOW info = ToolInfo(item);
    SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CPanelToolTip::PostNcDestroy()
{
    auto& live = Live();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    delete this;
}

} // namespace

std::wstring ToolTipText(const std::wstring& translated)
{
    std::wstring text;
    text.reserve(translated.size());
    for (size_t i = 0; i < translated.size(); ++i) {
        if (translated[i] == L'\\' && i + 1 < translated.size() && translated[i + 1] == L'n') {
            text += L' ';
            ++i;
        } else {
            text += translated[i];
        }
    }
    return text;
}

CItemToolTip::~CItemToolTip()
{
    RemoveTool();
}

void CItemToolTip::RemoveTool()
{
    if (CPanelToolTip* control = CPanelToolTip::WithSerial(m_control))
        control->RemoveTool(m_toolWindow, this);
    m_control = 0;
    m_toolWindow = nullptr;
}

HWND CItemToolTip::Window() const
{
    CPanelToolTip* control = CPanelToolTip::WithSerial(m_control);
    return control ? control->m_hWnd : nullptr;
}

void CItemToolTip::Relay(HWND item, MSG* msg)
{
    if (!item || !msg || msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST)
        return;
    HWND root = ::GetAncestor(item, GA_ROOT);
    if (!root)
        return;
    CPanelToolTip* control = CPanelToolTip::Of(root);
    if (!m_text.empty()) {
        if (!control)
            control = CPanelToolTip::Make(root);
        // The tool is added once per control and item window: an item moved to another top-level
        // window, or given a new window, takes its tool along.
        if (control && (m_control != control->Serial() || m_toolWindow != item)) {
            RemoveTool();
            if (control->AddTool(item, this, m_text)) {
                m_control = control->Serial();
                m_toolWindow = item;
            }
        }
    }
    if (control)
        control->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void CItemToolTip::SetText(HWND, const wchar_t* key)
{
    std::wstring translated;
    TranslateText(key ? key : L"", translated);
    m_text = ToolTipText(translated);
    if (m_text.empty()) {
        RemoveTool();
        return;
    }
    if (CPanelToolTip* control = CPanelToolTip::WithSerial(m_control))
        control->UpdateText(m_toolWindow, m_text);
}
