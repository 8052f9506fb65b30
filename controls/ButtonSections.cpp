// The BUTTONS and TEXT ITEMS sections.
#include "controls/ItemSections.h"

#include <string>

#include "controls/AVIButton.h"
#include "controls/BitmapBtn.h"
#include "controls/BitmapItem.h"
#include "controls/ControlReaders.h"
#include "controls/TextItem.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

// The parent a window item lives in: the bitmap item "windowid" names, else the owner. host is
// the object recorded as the item's owner then.
HWND ItemParent(pugi::xml_node element, const CGUIItems* items, CWnd* owner, CWnd*& host)
{
    if (CBitmapItem* bitmap = ReadItemReference(element, "windowid", items)) {
        host = bitmap;
        return bitmap->GetSafeHwnd();
    }
    host = owner;
    return OwnerWindow(owner);
}

UINT JustifyDrawText(wchar_t justify)
{
    return justify == L'C' ? DT_CENTER : justify == L'R' ? DT_RIGHT : DT_LEFT;
}

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
        return CSize();
    return CSize(info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
}

std::unique_ptr<CGUIItem> BuildButton(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    StateBitmapSet pictures;
    ReadStateBitmaps(element, id, pictures);
    const wchar_t justify = ReadJustify(element);
    const bool multiline = ReadMultiline(element, id);
    CWnd* host = nullptr;
    HWND parent = ItemParent(element, items, owner, host);
    if (!parent)
        return nullptr;
    CFontItem* font = items ? ReadFont(element, id, items) : nullptr;
    std::wstring tooltip;
    const bool hasToolTip = ReadToolTip(element, tooltip);

    const DWORD justifyStyle = justify == L'C' ? BS_CENTER : justify == L'R' ? BS_RIGHT : BS_LEFT;
    const DWORD style = justifyStyle | WS_VISIBLE | BS_MULTILINE | BS_VCENTER | BS_OWNERDRAW;
    const UINT format = JustifyDrawText(justify) | (multiline ? 0x12010u : 0x12034u);
    if (CurrentElementFaulty())
        return nullptr;

    auto button = std::make_unique<CBitmapBtn>();
    button->id = id;
    button->owner = host;
    if (!button->Create(L"", style, pictures.rect, parent, 0))
        return nullptr;
    button->SetFormat(format);
    if (ReadCheckBox(element)) {
        // A check box also toggles: the pages act on a changed state; radio-like groups re-mark
        // their buttons in their handlers.
        button->SetCheckBox(true);
        button->SetToggle(true);
    }
    std::wstring caption;
    if (ReadAttribute(element, "caption", caption)) {
        const int caseMode = ReadCaps(element, id);
        ApplyColors<CBitmapBtn>(element.child("SBMN"), *button, {{"fontclr", &CBitmapBtn::SetFontColor}});
        ApplyColors<CBitmapBtn>(element.child("SBMO"), *button, {{"fontclr", &CBitmapBtn::SetFontColorHi}});
        ApplyColors<CBitmapBtn>(element.child("SBMD"), *button, {{"fontclr", &CBitmapBtn::SetFontColorDown}});
        ApplyColors<CBitmapBtn>(element.child("SBMDS"), *button, {{"fontclr", &CBitmapBtn::SetDisabledFontColor}});
        button->SetCaption(caption.c_str(), caseMode);
    }
    // Each picture from its origin, at the size of the normal one (the button's own without it),
    // drawn from the skin cache's pictures, which outlive the button.
    CSize size = BitmapSize(pictures.normal);
    if (size.cx == 0 || size.cy == 0)
        size = pictures.rect.Size();
    button->ShareBitmaps(pictures.mask, pictures.normal, pictures.over, pictures.down, pictures.downSelected,
                         CRect(0, 0, size.cx, size.cy));
    if (font)
        button->SetItemFont(font);
    if (hasToolTip)
        button->SetToolTip(tooltip.c_str());
    return button;
}

std::unique_ptr<CGUIItem> BuildAviButton(pugi::xml_node element, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    const std::wstring video = ChildFileName(element, "VIDEO");
    const std::wstring sound = ChildFileName(element, "SOUND");
    CRect rect = ReadRect(element, id);
    if (CurrentElementFaulty())
        return nullptr;
    auto button = std::make_unique<CAVIButton>();
    button->id = id;
    button->owner = owner;
    if (!button->Create(rect, OwnerWindow(owner), 0))
        return nullptr;
    if (!video.empty())
        button->SetVideo(video);
    if (!sound.empty())
        button->SetSound(sound);
    return button;
}

std::unique_ptr<CGUIItem> BuildTextItem(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    std::wstring key;
    ReadAttribute(element, "textkey", key);
    CWnd* host = nullptr;
    HWND parent = ItemParent(element, items, owner, host);
    if (!parent)
        return nullptr;
    const int caseMode = ReadCaps(element, id);
    const wchar_t justify = ReadJustify(element);
    const bool multiline = ReadMultiline(element, id);
    UINT format = JustifyDrawText(justify);
    if (justify == L'L')
        format |= multiline ? DT_WORDBREAK : 0;
    else
        format |= multiline ? DT_WORDBREAK : (DT_VCENTER | DT_SINGLELINE);
    const bool interactive = ReadInteractive(element, false);
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | (interactive ? SS_NOTIFY : 0);

    // Only a button built as a check box can have the text as its label.
    CBitmapBtn* checkBox = nullptr;
    std::wstring checkBoxName;
    if (items && ReadAttribute(element, "checkboxid", checkBoxName)) {
        checkBox = items->FindAs<CBitmapBtn>(FindItemIdByName(checkBoxName.c_str()), ItemKind::BitmapBtn);
        if (checkBox && !checkBox->IsCheckBox())
            checkBox = nullptr;
    }
    CRect rect = ReadRect(element, id);
    CFontItem* font = items ? ReadFont(element, id, items) : nullptr;
    std::wstring tooltip;
    const bool hasToolTip = ReadToolTip(element, tooltip);
    if (CurrentElementFaulty())
        return nullptr;

    auto text = std::make_unique<CTextItem>(key.c_str(), caseMode);
    text->id = id;
    text->owner = host;
    if (!text->Create(rect, parent, style, static_cast<UINT>(id)))
        return nullptr;
    text->SetFormat(format);
    text->SetItemFont(font);
    ApplyColors<CTextItem>(element, *text,
                           {{"fontclr", &CTextItem::SetFontColor},
                            {"fontclrhi", &CTextItem::SetFontColorHi},
                            {"disbfontclr", &CTextItem::SetDisabledFontColor}});
    text->SetCheckBox(checkBox);
    if (hasToolTip)
        text->SetToolTip(tooltip.c_str());
    return text;
}

} // namespace

uint32_t ReadButtons(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("BUTTONLIST");
    if (!list)
        return 0;
    BuildChildren(list, "BUTTON", items, count,
                  [&](pugi::xml_node element) { return BuildButton(element, items, owner); });
    // Only the first animated button is built.
    BuildChildren(
        list, "AVIBUTTON", items, count, [&](pugi::xml_node element) { return BuildAviButton(element, owner); },
        [](CGUIItem&) {}, 1);
    return count.Packed();
}

uint32_t ReadTextItems(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("TEXTLIST");
    if (!list)
        return 0;
    BuildChildren(list, "TEXTITEM", items, count,
                  [&](pugi::xml_node element) { return BuildTextItem(element, items, owner); });
    return count.Packed();
}

} // namespace layout
