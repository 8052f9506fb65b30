// The read-only preview of a mouse profile: what each button does and how the lights are set.
#include "core/ItemIds.h"
#include "VexaApp/VxPopups.h"

#include <cwchar>

#include "controls/TextItem.h"
#include "core/NameTables.h"
#include "model/ConfigInterfaces.h"
#include "model/Macro.h"
#include "model/ProfileInterfaces.h"
#include "platform/RawInput.h"
#include "platform/WStr.h"
#include "skin/LangTable.h"
#include "VexaApp/VxPopupCommands.h"

namespace {

// The mouse's buttons in the order of the preview's texts TEXT_PREVIEW_01 to _09.
constexpr int32_t kPreviewButtons[] = {1, 2, 3, 4, 5, 6, 7, 12, 13};
static_assert(sizeof(kPreviewButtons) / sizeof(kPreviewButtons[0]) == TEXT_PREVIEW_09 - TEXT_PREVIEW_01 + 1);

// The lights: the configuration's LED index, the text that shows it and the key of its name.
struct PreviewLight
{
    int led;
    int32_t textId;
    const wchar_t* nameKey;
};
constexpr PreviewLight kPreviewLights[] = {
    {0, TEXT_HEADING_MAIN, L"$MainLight"},
    {10, TEXT_HEADING_SIDE, L"$SideLight"},
    {9, TEXT_HEADING_BASE, L"$BaseLight"},
};

// The light effect the lighting shows as pulsing.
constexpr int32_t kApmEffect = 4;
// The assignment types the preview names (the rest show as type 0).
constexpr int32_t kLastShownType = 65;

std::wstring Translated(const wchar_t* key)
{
    std::wstring text;
    TranslateText(key, text);
    return text;
}

// A name an assignment carries, which need not be terminated.
std::wstring ActionName(const AssignmentAction& action)
{
    return std::wstring(action.payload.name, wcsnlen(action.payload.name, kActionNameLength));
}

std::wstring Shortened(const std::wstring& text, size_t maxLength)
{
    static constexpr wchar_t kEllipsis[] = L"...";
    constexpr size_t kEllipsisLength = 3;
    if (text.size() <= maxLength)
        return text;
    return text.substr(0, maxLength - kEllipsisLength) + kEllipsis;
}

} // namespace

BEGIN_MSG_MAP(CVxPreviewPopup_Mouse, CPopupBox)
    ON_WM_CTLCOLOR()
END_MSG_MAP()

CVxPreviewPopup_Mouse::CVxPreviewPopup_Mouse(CWnd* owner, IMouseProfile* profile, IMouseConfig* config)
    : CPopupBox(L"PreviewPopup.xml", owner),
      m_profile(profile),
      m_config(config),
      m_name(profile ? profile->GetName() : std::wstring()),
      m_black(RGB(0, 0, 0))
{
}

CVxPreviewPopup_Mouse::~CVxPreviewPopup_Mouse() = default;

std::wstring CVxPreviewPopup_Mouse::AssignmentDetail(const AssignmentAction& action) const
{
    // The macro, profile or program is looked up anew: one the assignment names may be gone.
    switch (action.type) {
    case 0:
    case 5: {
        const uint16_t scanCode = static_cast<uint16_t>(action.payload.key.word & 0xFFFF);
        const uint16_t virtualKey = static_cast<uint16_t>(action.payload.key.word >> 16);
        std::wstring name;
        if (scanCode && GetKeyDisplayName(virtualKey, name, scanCode, action.payload.key.flags & kKeyFlagExtended))
            return name;
        return std::wstring();
    }
    case 6:
        if (const CMacro* macro = m_config ? m_config->FindMacroByGuid(action.payload.guid) : nullptr)
            return macro->GetName();
        return std::wstring();
    case 7:
        if (const CMacro* macro = m_config ? m_config->FindMacroByName(ActionName(action).c_str()) : nullptr)
            return macro->GetName();
        return std::wstring();
    case 22:
        if (const IMouseProfile* profile = m_config ? m_config->FindProfileByGuid(action.payload.guid) : nullptr)
            return profile->GetName();
        return std::wstring();
    case 23:
        if (const IMouseProfile* profile = m_config ? m_config->FindProfileByName(ActionName(action).c_str()) : nullptr)
            return profile->GetName();
        return std::wstring();
    case 63:
        if (const CHvApp* app = m_config ? m_config->FindAppByGuid(action.payload.guid) : nullptr)
            return wstr::FileNameOf(app->name);
        return std::wstring();
    case 64:
        if (const CHvApp* app = m_config ? m_config->FindApp(ActionName(action).c_str()) : nullptr)
            return wstr::FileNameOf(app->name);
        return std::wstring();
    default:
        return std::wstring();
    }
}

std::wstring CVxPreviewPopup_Mouse::AssignmentText(const AssignmentAction& action) const
{
    const int32_t type = action.type >= 0 && action.type <= kLastShownType ? action.type : 0;
    const wchar_t* typeKey = FindAssignmentTypeName(type);
    if (!typeKey)
        typeKey = FindAssignmentTypeName(0);
    std::wstring text = Translated(typeKey);
    const std::wstring detail = AssignmentDetail(action);
    if (!detail.empty())
        text += L": " + Shortened(detail, kMaxDetailLength);
    return text;
}

void CVxPreviewPopup_Mouse::BindItems()
{
    IMouseProfile* profile = m_profile ? m_profile : (m_config ? m_config->GetActiveProfile() : nullptr);
    // The popup's loop may let a device read make the profiles anew: the profile is read here only.
    m_profile = nullptr;
    if (!profile)
        return;
    if (CTextItem* heading = m_items.FindAs<CTextItem>(TEXT_WARNDLG_HEADING, ItemKind::TextItem))
        AppendToHeading(*heading, L": " + (m_name.empty() ? profile->GetName() : m_name));
    for (size_t i = 0; i < sizeof(kPreviewButtons) / sizeof(kPreviewButtons[0]); ++i) {
        const int32_t id = TEXT_PREVIEW_01 + static_cast<int32_t>(i);
        if (CTextItem* text = m_items.FindAs<CTextItem>(id, ItemKind::TextItem))
            text->SetText(AssignmentText(profile->GetButtonAssignment(kPreviewButtons[i])).c_str(), 0);
    }
    for (const PreviewLight& light : kPreviewLights) {
        CTextItem* text = m_items.FindAs<CTextItem>(light.textId, ItemKind::TextItem);
        if (!text)
            continue;
        const wchar_t* state = profile->GetLedEffect(light.led) == kApmEffect ? L"$APM"
                               : profile->GetLedState(light.led)              ? L"$On"
                                                                              : L"$Off";
        text->SetText((Translated(light.nameKey) + L" " + Translated(state)).c_str(), 0);
    }
}

HBRUSH CVxPreviewPopup_Mouse::OnCtlColor(HDC, HWND, UINT type)
{
    return type == CTLCOLOR_STATIC ? static_cast<HBRUSH>(m_black) : nullptr;
}

BOOL CVxPreviewPopup_Mouse::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (CommandItemId(m_items, lParam)) {
    case BUTTON_POPUP_OK:
    case BUTTON_POPUP_SINGLE_OK:
        EndDialog(IDOK);
        return TRUE;
    default:
        return CPopupBox::OnCommand(wParam, lParam);
    }
}
