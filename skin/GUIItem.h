#pragma once

// The base of everything a skin layout builds (windows, drawing resources, data tables) and the
// owning list the layout loader appends them to.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

class CWnd;

// The kind code every layout-built item carries. Code reaches an item only by id and kind: a
// caller checks the kind before turning a found item into its class.
enum class ItemKind : int32_t
{
    None = -1,
    PanelBitmap = 0,        // CPanelBitmap: BACKGROUND (id -2), MASK (id -3)
    BitmapItem = 1,         // CBitmapItem
    BitmapBtn = 2,          // CBitmapBtn
    AVIButton = 3,          // CAVIButton
    Reserved = 4,           // nothing creates it
    VertSlider = 5,         // CVertSlider
    PHSlider = 6,           // CPHSlider: stage sliders, owned by their CSliderHMulti, never listed
    DMarker = 7,            // CDMarker
    SliderHMulti = 8,       // CSliderHMulti
    APMSlider = 9,          // CAPMSlider
    MacroDisplay = 10,      // CMacroDisplayItem
    TextItem = 11,          // CTextItem
    FontItem = 12,          // CFontItem
    LangTable = 13,         // CLangTable
    DropdownList = 14,      // CDropdownListItem
    DropdownColorButton = 15, // CDropdownColorButton
    ListPanelItem = 16,     // CListPanelItem
    BitmapWindow = 17,      // CBitmapWindow
    XListCtrl = 18,         // CXListCtrl
    EditItem = 19,          // CEditItem
    EditItemSingleKey = 20, // CEditItemSingleKeyInput, CEditItemSingleKeyInputMMO
    DPIStageWindow = 21,    // CDPIStageWindow
    KeyboardDef = 22,       // CKeyboardDefItem
    KeyboardKeyItem = 23,   // CKeyboardKeyItem
    KeyboardLayoutSetting = 24, // CKeyboardLayoutSetting
    SliderTrack = 25,       // CSliderTrack
    ProgressPanelItem = 26, // CProgressPanelItem
};

// Ids the panel base gives its two bitmaps.
constexpr int32_t kBackgroundItemId = -2;
constexpr int32_t kMaskItemId = -3;

// The window property in which the layout loader puts the item id of every item window it
// appends: buttons and keys have control id 0, so a command from one names its item only here.
constexpr wchar_t kItemIdProperty[] = L"HvItemId";
// The item id the loader gave a window; -1 when it gave none.
int32_t ItemIdOfWindow(HWND window);

class CGUIItem
{
public:
    CGUIItem() = default;
    CGUIItem(const CGUIItem&) = delete;
    CGUIItem& operator=(const CGUIItem&) = delete;
    virtual ~CGUIItem() = 0;

    // Shows or hides the item's window, when it has one. Items with further windows override it.
    virtual void Show(bool show);

    int32_t id = -1;
    ItemKind kind = ItemKind::None;
    // -1 until the builder stores the created window, or 0 for an item without a window. The
    // window belongs to the item's derived class.
    HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
    // The object the layout was loaded for, normally the panel; borrowed.
    CWnd* owner = nullptr;
};

// An ordered list of items that owns them; every page and popup has one.
class CGUIItems
{
public:
    CGUIItems() = default;
    CGUIItems(const CGUIItems&) = delete;
    CGUIItems& operator=(const CGUIItems&) = delete;
    virtual ~CGUIItems();

    // Refills the items from the model; the page item sets override it.
    virtual void Refresh();

    // Takes ownership and appends; returns the item.
    CGUIItem* Add(std::unique_ptr<CGUIItem> item);

    // Deletes the items from the last to the first; the list is empty afterwards.
    void DeleteAll();

    // The first item in list order with that id, whatever its kind; null when none.
    CGUIItem* FindById(int32_t id) const;
    // The first item whose window is that handle; null when none.
    CGUIItem* FindByWindow(HWND window) const;

    // The item with that id as its full class, or null when it is missing or of another kind.
    template <class T>
    T* FindAs(int32_t id, ItemKind kind) const
    {
        CGUIItem* item = FindById(id);
        return item && item->kind == kind ? dynamic_cast<T*>(item) : nullptr;
    }

    // Shows every item, or hides them: a keyboard key whose window lies in another item's window is
    // left as it is, hidden with that window.
    void ShowAll(bool show);

    // The last item; the list must not be empty.
    CGUIItem*& Back() { return m_items.back(); }

    size_t Size() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }
    CGUIItem* At(size_t index) const { return m_items[index]; }
    std::vector<CGUIItem*>::const_iterator begin() const { return m_items.begin(); }
    std::vector<CGUIItem*>::const_iterator end() const { return m_items.end(); }

private:
    std::vector<CGUIItem*> m_items; // owned
};
