#include "LayoutLoader.h"

#include <memory>

#include "GUIItem.h"
#include "LayoutReaders.h"
#include "LayoutSections.h"
#include "PanelBitmap.h"
#include "SkinResourceCache.h"
#include "WStr.h"
#include "Wnd.h"

namespace {

// Owns the factory of one load and, with progress, its place as the current progress source:
// both are given up on every way out of the load, an exception from the messenger's lock
// included.
class CLoadScope
{
public:
    CLoadScope(const std::wstring& path, bool reportProgress)
        : m_factory(std::make_unique<CGUIItemFactory>(path)), m_progress(reportProgress)
    {
        if (m_progress)
            SetCurrentProgressSource(m_factory.get());
    }
    // Separate from the constructor, so that the destructor also undoes a half-done attach.
    void AttachProgress()
    {
        if (m_progress)
            AttachLoaderProgress();
    }
    ~CLoadScope()
    {
        if (m_progress) {
            try {
                DetachLoaderProgress();
            } catch (const CWaitingLockException&) {
                // The messenger goes with the factory below; its listener list no longer matters.
            }
        }
        m_factory.reset();
        SetCurrentProgressSource(nullptr);
    }
    CLoadScope(const CLoadScope&) = delete;
    CLoadScope& operator=(const CLoadScope&) = delete;

    CGUIItemFactory& Factory() { return *m_factory; }

private:
    std::unique_ptr<CGUIItemFactory> m_factory;
    bool m_progress;
};

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// BACKGROUND or MASK of a GUIPANEL root: a copy of the skin bitmap the element names.
bool BuildPanelBitmap(pugi::xml_node root, const char* name, int32_t id, CGUIItems* items, CWnd* owner)
{
    pugi::xml_node element = root.child(name);
    if (!element)
        return false;
    std::wstring file = wstr::Trim(layout::ElementText(element));
    if (file.empty())
        return false;
    SkinResource* entry = GetSkinResourceCache().Get(file.c_str(), SkinResourcePicture);
    if (!entry || !entry->bitmap)
        return false;
    auto bitmap = std::make_unique<CPanelBitmap>(entry->bitmap.Get(), owner ? owner->GetSafeHwnd() : nullptr);
    if (!bitmap->GetSafeHandle())
        return false;
    bitmap->id = id;
    bitmap->owner = owner;
    items->Add(std::move(bitmap));
    return true;
}

} // namespace

bool RunLayoutSections(CGUIItemFactory& factory, pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    for (size_t i = 0; i < kLayoutSectionCount; ++i) {
        factory.SendPercent(static_cast<int>(6 * i));
        LayoutSectionTable[i].reader(root, items, owner);
    }
    factory.SendPercent(100);
    return true;
}

bool LoadLayout(const std::wstring& path, CGUIItems* items, CWnd* owner, bool reportProgress)
{
    if (!items)
        return false;
    CLoadScope scope(path, reportProgress);
    scope.AttachProgress();
    CGUIItemFactory& factory = scope.Factory();

    pugi::xml_document document;
    if (!document.load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8))
        return false;

    std::wstring fileName = FileNameOf(path);
    factory.SendText(fileName.c_str());

    if (pugi::xml_node root = document.child("KEYBOARD")) {
        if (!ReadKeyboardDefElement(root, owner))
            return false;
        return RunLayoutSections(factory, root, items, owner);
    }
    if (pugi::xml_node root = document.child("GUIPANEL")) {
        if (!BuildPanelBitmap(root, "BACKGROUND", kBackgroundItemId, items, owner) ||
            !BuildPanelBitmap(root, "MASK", kMaskItemId, items, owner))
            return false;
        return RunLayoutSections(factory, root, items, owner);
    }
    if (pugi::xml_node root = document.child("ITEMLIST"))
        return RunLayoutSections(factory, root, items, owner);
    return false;
}

bool LoadLayoutFile(CGUIItems* items, const std::wstring& fileName, CWnd* owner, bool reportProgress)
{
    return LoadLayout(GetSkinResourceCache().Folder() + L"xml\\" + fileName, items, owner, reportProgress);
}
