// The KEYBOARD KEYS section. A KBDKEYLIST names the pictures of the whole keyboard, one per state,
// in its BUTTONBITMAPS; every KBDKEY is a key item cut from them at its own rectangle, so a key
// and the picture under it always agree. Keys are children of the keyboard picture that
// "windowid" names (else of the owner), have control id 0 and report to the owner's window.
#include "controls/KeyListSection.h"

#include <iterator>
#include <memory>
#include <string>

#include "controls/BitmapItem.h"
#include "controls/ControlReaders.h"
#include "controls/KeyboardKeyItem.h"
#include "core/KeyboardDef.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

// The caption colour of each state, from the "fontclr" of the shared picture of that state: the
// keys have no state elements of their own.
struct StateColour
{
    const char* element;
    void (CBitmapBtn::*setter)(COLORREF);
};
constexpr StateColour kStateColours[] = {
    {"SBMN", &CBitmapBtn::SetFontColor},
    {"SBMO", &CBitmapBtn::SetFontColorHi},
    {"SBMD", &CBitmapBtn::SetFontColorDown},
    {"SBMDS", &CBitmapBtn::SetDisabledFontColor},
};

// What the keys of one list share.
struct SharedKeyParts
{
    HWND parent = nullptr;
    CWnd* parentObject = nullptr;  // recorded as every key's owner
    HWND ownerWindow = nullptr;    // receives the keys' hover and click messages
    pugi::xml_node bitmaps;        // BUTTONBITMAPS
    StateBitmapSet pictures;       // borrowed from the skin cache; the rectangle is not used
    // The caption colour of each state that gives one (kStateColours order).
    bool hasColour[std::size(kStateColours)] = {};
    COLORREF colours[std::size(kStateColours)] = {};
};

// Binds the key to the definition's key named by "kbddefid". A name the definition does not have
// still gives a key; it has no record and no hash, so it describes nothing and is assigned nothing.
void BindKey(CKeyboardKeyItem& key, pugi::xml_node element)
{
    std::wstring name;
    ReadAttribute(element, "kbddefid", name);
    const int32_t hash = HashText(name);
    const KeyboardDefRecord* record = GetKeyboardDef().FindRecord(hash);
    if (record && !record->name.empty()) {
        key.SetKeyHash(hash);
        key.SetKeyRecord(record);
    }
}

// The key's further picture: a BMPINFO child whose name is the id of its RECT and bitmap
// overrides; used only when it has SBMN.
void ReadExtraPicture(CKeyboardKeyItem& key, pugi::xml_node element)
{
    pugi::xml_node info = element.child("BMPINFO");
    StateBitmapSet extra;
    if (info && ReadStateBitmaps(info, ReadItemId(info), extra))
        key.SetExtraPicture(extra.normal, extra.over, extra.down, extra.downSelected, extra.mask, extra.rect);
}

std::unique_ptr<CGUIItem> BuildKey(pugi::xml_node element, const SharedKeyParts& shared, const CGUIItems* items)
{
    const int32_t id = ReadItemId(element);
    if (id == -1 || !shared.parent)
        return nullptr;
    const wchar_t justify = ReadJustify(element);
    const bool multiline = ReadMultiline(element, id);
    const CRect rect = ReadRect(element, id);
    CFontItem* font = items ? ReadFont(element, id, items) : nullptr;
    std::wstring tooltip;
    const bool hasToolTip = ReadToolTip(element, tooltip);
    std::wstring caption;
    const bool hasCaption = ReadAttribute(element, "caption", caption);

    auto key = std::make_unique<CKeyboardKeyItem>();
    key->id = id;
    key->owner = shared.parentObject;
    if (!key->Create(L"", ButtonStyle(justify), rect, shared.parent, 0))
        return nullptr;
    const StateBitmapSet& p = shared.pictures;
    // Every key draws its rectangle of the skin cache's pictures, which outlive it.
    key->ShareBitmaps(p.mask, p.normal, p.over, p.down, p.downSelected, rect);
    key->SetFormat(ButtonTextFormat(justify, multiline));
    key->SetItemFont(font);
    for (size_t i = 0; i < std::size(kStateColours); ++i) {
        if (shared.hasColour[i])
            (key.get()->*kStateColours[i].setter)(shared.colours[i]);
    }
    if (hasCaption)
        key->SetCaption(caption.c_str(), ReadCaps(element, id));
    key->SetOwnerWindow(shared.ownerWindow);
    BindKey(*key, element);
    if (hasToolTip)
        key->SetKeyToolTip(tooltip.c_str());
    key->UpdateKeyName();
    ReadExtraPicture(*key, element);
    return key;
}

} // namespace

DWORD ButtonStyle(wchar_t justify)
{
    const DWORD align = justify == L'C' ? BS_CENTER : justify == L'R' ? BS_RIGHT : BS_LEFT;
    return WS_VISIBLE | BS_MULTILINE | BS_VCENTER | BS_OWNERDRAW | align;
}

UINT ButtonTextFormat(wchar_t justify, bool multiline)
{
    const UINT align = justify == L'C' ? DT_CENTER : justify == L'R' ? DT_RIGHT : DT_LEFT;
    const UINT format = align | DT_MODIFYSTRING | DT_EDITCONTROL | DT_WORDBREAK;
    return multiline ? format : format | DT_SINGLELINE | DT_VCENTER;
}

uint32_t ReadKeyboardKeyList(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("KBDKEYLIST");
    if (!list)
        return 0;
    SharedKeyParts shared;
    shared.bitmaps = list.child("BUTTONBITMAPS");
    if (!shared.bitmaps) {
        VisitChildren(list, {"KBDKEY"}, count);
        return count.Packed();
    }
    CBitmapItem* host = ReadItemReference(list, "windowid", items);
    shared.parent = host ? host->GetSafeHwnd() : OwnerWindow(owner);
    shared.parentObject = host ? static_cast<CWnd*>(host) : owner;
    shared.ownerWindow = OwnerWindow(owner);
    StateBitmapSet& p = shared.pictures;
    ReadBitmapsByName(shared.bitmaps, {{"SBMN", &p.normal}, {"SBMO", &p.over}, {"SBMD", &p.down},
                                       {"SBMDS", &p.downSelected}, {"SBMM", &p.mask}});
    for (size_t i = 0; i < std::size(kStateColours); ++i)
        shared.hasColour[i] = ReadColor(shared.bitmaps.child(kStateColours[i].element), "fontclr", shared.colours[i]);
    BuildChildren(list, "KBDKEY", items, count,
                  [&](pugi::xml_node element) { return BuildKey(element, shared, items); });
    return count.Packed();
}

} // namespace layout
