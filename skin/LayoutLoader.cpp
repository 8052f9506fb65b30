#include "skin/LayoutLoader.h"

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <memory>

#include "platform/Wnd.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"
#include "skin/LayoutSections.h"
#include "skin/PanelBitmap.h"
#include "skin/SkinResourceCache.h"

namespace {

// The table handed to the loader; none (the framework's sections) until a program hands one. Set
// without code at start, so that a hand-over made while other files start up is never undone.
LayoutSectionTable g_sections;

// The table loads run now.
LayoutSectionTable CurrentLayoutSections()
{
    return g_sections.sections ? g_sections : FrameworkLayoutSections();
}

// Owns the factory of one load with progress and its place as the current progress source (a load
// without progress has no factory: nothing could listen to it). A scope detaches its own factory and puts back the source that was current before it: a load
// nested in another (a panel created while a layout loads) leaves the outer load's source as it
// found it. Both are given up on every way out of the load, an exception from the messenger's lock
// included.
class CLoadScope
{
public:
    CLoadScope(const std::wstring& path, bool reportProgress)
        : m_factory(reportProgress ? std::make_unique<CGUIItemFactory>(path) : nullptr), m_progress(reportProgress)
    {
        if (m_progress) {
            m_previous = CurrentProgressSource();
            SetCurrentProgressSource(m_factory.get());
        }
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
            Detach();
            SetCurrentProgressSource(m_previous);
        }
        m_factory.reset();
    }
    CLoadScope(const CLoadScope&) = delete;
    CLoadScope& operator=(const CLoadScope&) = delete;

    // Null for a load without progress.
    CGUIItemFactory* Factory() { return m_factory.get(); }

private:
    // A listener has the messenger (the messages' wParam) and may send through it from a thread of
    // its own, holding the messenger's mutex past the time-out. The factory must not go while that
    // thread holds the mutex, so a detach that timed out waits again without a time limit; the wait
    // serves messages sent to this thread, so a holder that sends to one of its windows finishes.
    // The registry entry is gone after the first try already.
    void Detach() noexcept
    {
        SetCurrentProgressSource(m_factory.get());
        try {
            DetachLoaderProgress();
            return;
        } catch (const CWaitingLockException&) {
        }
        m_factory->SetTimeout(kNoTimeLimit);
        try {
            DetachLoaderProgress();
        } catch (const CWaitingLockException&) {
            // Abandoned or failed: no thread holds the mutex any more.
        }
    }

    static constexpr int32_t kNoTimeLimit = INT32_MAX;

    std::unique_ptr<CGUIItemFactory> m_factory;
    bool m_progress;
    CProgressMessenger* m_previous = nullptr;
};

// What pugixml found wrong with a layout file, for the error report.
std::wstring DescribeParseFault(const pugi::xml_parse_result& result)
{
    switch (result.status) {
    case pugi::status_file_not_found:
        return L"the file is missing";
    case pugi::status_io_error:
        return L"the file cannot be read";
    case pugi::status_out_of_memory:
        return L"the file is too large to read";
    default:
        return wstr::Format(L"the file is no well-formed XML (%hs at byte %lld)", result.description(),
                            static_cast<long long>(result.offset));
    }
}

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The skin picture that BACKGROUND or MASK of a GUIPANEL root names. A panel without it is no
// panel: that is reported as an error of the file.
SkinResource* PanelPicture(pugi::xml_node root, const char* name)
{
    pugi::xml_node element = root.child(name);
    const std::wstring wideName = wstr::Utf8ToWide(name);
    if (!element) {
        ReportLayoutError(L"the panel has no " + wideName);
        return nullptr;
    }
    std::wstring file = wstr::Trim(layout::ElementText(element));
    if (file.empty()) {
        ReportLayoutError(element, L"names no picture");
        return nullptr;
    }
    if (!layout::CheckSkinFileName(element, file, SkinTypeFolder(SkinResourcePicture)))
        return nullptr;
    SkinResource* entry = GetSkinResourceCache().Get(file.c_str(), SkinResourcePicture);
    if (!entry || !entry->bitmap) {
        ReportLayoutError(element, L"the picture \"" + file + L"\" of skins\\ cannot be read");
        return nullptr;
    }
    return entry;
}

// Whether text names a picture file: pictures are the skin's ".bmp" files.
bool NamesPicture(const std::wstring& text)
{
    static const wchar_t kExtension[] = L".bmp";
    const size_t length = std::size(kExtension) - 1;
    return text.size() > length && _wcsicmp(text.c_str() + text.size() - length, kExtension) == 0;
}

// Reads every picture a layout's elements name into the skin cache, so that its build (a page's
// first showing) only makes windows. Quietly: a name the cache refuses is reported by the build
// that reads it, once. A walker, not a recursion: a file may nest as deep as it likes.
class CPictureReader : public pugi::xml_tree_walker
{
public:
    bool for_each(pugi::xml_node& node) override
    {
        pugi::xml_node text = node.first_child();
        if (node.type() != pugi::node_element || !text || text.type() != pugi::node_pcdata || text.next_sibling())
            return true;
        const std::wstring name = wstr::Trim(layout::ElementText(node));
        if (NamesPicture(name) && !SkinFileNameFault(name))
            GetSkinResourceCache().Get(name.c_str(), SkinResourcePicture);
        return true;
    }
};

// BACKGROUND or MASK of a GUIPANEL root: a copy of the skin bitmap the element names.
bool BuildPanelBitmap(pugi::xml_node root, const char* name, int32_t id, CGUIItems* items, CWnd* owner)
{
    SkinResource* entry = PanelPicture(root, name);
    if (!entry)
        return false;
    auto bitmap = std::make_unique<CPanelBitmap>(entry->bitmap.Get(), owner ? owner->GetSafeHwnd() : nullptr);
    if (!bitmap->GetSafeHandle())
        return false;
    bitmap->id = id;
    bitmap->owner = owner;
    items->Add(std::move(bitmap));
    return true;
}

// The sections in table order, without progress: for a load whose factory no window can listen
// to (it never became the current progress source). Each report would still take and give back
// the messenger's mutex, three round trips to the server under Wine, for nobody.
void RunSectionsQuietly(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    for (const LayoutSection& section : CurrentLayoutSections())
        section.reader(root, items, owner);
}

// The sections of a load, with progress when it has a factory.
bool RunSections(CGUIItemFactory* factory, pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    if (factory)
        return RunLayoutSections(*factory, root, items, owner);
    RunSectionsQuietly(root, items, owner);
    return true;
}

} // namespace

void SetLayoutSections(LayoutSectionTable table)
{
    g_sections = table;
}

bool RunLayoutSections(CGUIItemFactory& factory, pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    const LayoutSectionTable table = CurrentLayoutSections();
    for (size_t i = 0; i < table.count; ++i) {
        factory.SendPercent(static_cast<int>(6 * i));
        table.sections[i].reader(root, items, owner);
    }
    factory.SendPercent(100);
    return true;
}

namespace {

// The build's parent window for as long as the scope lives.
class CBuildParentScope
{
public:
    explicit CBuildParentScope(HWND parent) : m_outer(layout::BuildParent()) { layout::BuildParent() = parent; }
    ~CBuildParentScope() { layout::BuildParent() = m_outer; }
    CBuildParentScope(const CBuildParentScope&) = delete;
    CBuildParentScope& operator=(const CBuildParentScope&) = delete;

private:
    HWND m_outer;
};

} // namespace

void SetAsideLaterItems(pugi::xml_node root, const std::wstring& fileName, const CLaterItems& laterItems)
{
    CPreparedLayout& later = *laterItems.later;
    later.m_fileName = fileName;
    later.m_root = CPreparedLayout::Root::None;
    later.m_built = false;
    later.m_document.reset();
    auto document = std::make_unique<pugi::xml_document>();
    pugi::xml_node laterRoot = document->append_child("ITEMLIST");
    bool any = false;
    for (pugi::xml_node list = root.first_child(); list; list = list.next_sibling()) {
        pugi::xml_node laterList;
        for (pugi::xml_node element = list.first_child(); element;) {
            const pugi::xml_node next = element.next_sibling();
            if (element.type() == pugi::node_element && element.attribute("name") &&
                laterItems.test(element.attribute("name").value())) {
                if (!laterList) {
                    laterList = laterRoot.append_child(list.name());
                    for (pugi::xml_attribute attribute : list.attributes())
                        laterList.append_copy(attribute);
                }
                laterList.append_copy(element);
                list.remove_child(element);
                any = true;
            }
            element = next;
        }
    }
    if (!any)
        return;
    later.m_document = std::move(document);
    later.m_root = CPreparedLayout::Root::ItemList;
}

bool LoadLayout(const std::wstring& path, CGUIItems* items, CWnd* owner, bool reportProgress,
                const CLaterItems* laterItems)
{
    if (!items)
        return false;
    CWnd::CCreationBatch windows;
    CLoadScope scope(path, reportProgress);
    scope.AttachProgress();
    CGUIItemFactory* factory = scope.Factory();

    std::wstring fileName = FileNameOf(path);
    CLayoutFileScope errorsName(fileName);
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        ReportLayoutError(DescribeParseFault(parsed));
        return false;
    }
    if (factory)
        factory->SendText(fileName.c_str());

    if (pugi::xml_node root = document.child("KEYBOARD")) {
        if (!ReadKeyboardDefElement(root, owner))
            return false;
        return RunSections(factory, root, items, owner);
    }
    if (pugi::xml_node root = document.child("GUIPANEL")) {
        if (!BuildPanelBitmap(root, "BACKGROUND", kBackgroundItemId, items, owner) ||
            !BuildPanelBitmap(root, "MASK", kMaskItemId, items, owner))
            return false;
        if (laterItems && laterItems->later && laterItems->test)
            SetAsideLaterItems(root, fileName, *laterItems);
        return RunSections(factory, root, items, owner);
    }
    if (pugi::xml_node root = document.child("ITEMLIST"))
        return RunSections(factory, root, items, owner);
    ReportLayoutError(L"the file has no GUIPANEL, ITEMLIST or KEYBOARD root");
    return false;
}

bool LoadLayoutFile(CGUIItems* items, const std::wstring& fileName, CWnd* owner, bool reportProgress,
                    const CLaterItems* laterItems)
{
    if (const wchar_t* fault = SkinFileNameFault(fileName)) {
        ReportLayoutError(L"layout \"" + fileName + L"\" is refused as a file of xml\\: " + fault);
        return false;
    }
    return LoadLayout(GetSkinResourceCache().Folder() + L"xml\\" + fileName, items, owner, reportProgress,
                      laterItems);
}

CPreparedLayout::CPreparedLayout() = default;
CPreparedLayout::~CPreparedLayout() = default;

bool PrepareLayout(const std::wstring& path, CPreparedLayout& layout, CWnd* owner)
{
    layout.m_fileName = FileNameOf(path);
    layout.m_root = CPreparedLayout::Root::None;
    layout.m_built = false;
    layout.m_document = std::make_unique<pugi::xml_document>();
    CLayoutFileScope errorsName(layout.m_fileName);
    const pugi::xml_parse_result parsed =
        layout.m_document->load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        ReportLayoutError(DescribeParseFault(parsed));
        layout.m_document.reset();
        return false;
    }
    CPreparedLayout::Root root = CPreparedLayout::Root::None;
    if (pugi::xml_node keyboard = layout.m_document->child("KEYBOARD")) {
        if (ReadKeyboardDefElement(keyboard, owner))
            root = CPreparedLayout::Root::Keyboard;
    } else if (pugi::xml_node panel = layout.m_document->child("GUIPANEL")) {
        // The pictures are read into the skin cache now; the build copies them from there.
        if (PanelPicture(panel, "BACKGROUND") && PanelPicture(panel, "MASK"))
            root = CPreparedLayout::Root::Panel;
    } else if (layout.m_document->child("ITEMLIST")) {
        root = CPreparedLayout::Root::ItemList;
    } else {
        ReportLayoutError(L"the file has no GUIPANEL, ITEMLIST or KEYBOARD root");
    }
    layout.m_root = root;
    if (root == CPreparedLayout::Root::None)
        layout.m_document.reset();
    else {
        CPictureReader pictures;
        layout.m_document->traverse(pictures);
    }
    return layout.Usable();
}

bool PrepareLayoutFile(const std::wstring& fileName, CPreparedLayout& layout, CWnd* owner)
{
    if (const wchar_t* fault = SkinFileNameFault(fileName)) {
        layout.m_fileName = fileName;
        ReportLayoutError(L"layout \"" + fileName + L"\" is refused as a file of xml\\: " + fault);
        return false;
    }
    return PrepareLayout(GetSkinResourceCache().Folder() + L"xml\\" + fileName, layout, owner);
}

bool BuildPreparedLayout(CPreparedLayout& layout, CGUIItems* items, CWnd* owner, HWND parent)
{
    if (!items || !layout.Usable() || layout.m_built)
        return false;
    layout.m_built = true;
    CWnd::CCreationBatch windows;
    CBuildParentScope parentScope(parent);
    // The document is not wanted after its one build.
    const std::unique_ptr<pugi::xml_document> document = std::move(layout.m_document);
    CLayoutFileScope errorsName(layout.m_fileName);
    switch (layout.m_root) {
    case CPreparedLayout::Root::Keyboard: {
        pugi::xml_node root = document->child("KEYBOARD");
        for (const LayoutSection& section : CurrentLayoutSections())
            if (std::wcscmp(section.title, L"KEYBOARD DEF") != 0)
                section.reader(root, items, owner);
        return true;
    }
    case CPreparedLayout::Root::Panel: {
        pugi::xml_node root = document->child("GUIPANEL");
        if (!BuildPanelBitmap(root, "BACKGROUND", kBackgroundItemId, items, owner) ||
            !BuildPanelBitmap(root, "MASK", kMaskItemId, items, owner))
            return false;
        break;
    }
    default:
        break;
    }
    // A build reports no progress: nothing could listen to it.
    pugi::xml_node root = layout.m_root == CPreparedLayout::Root::Panel ? document->child("GUIPANEL")
                                                                         : document->child("ITEMLIST");
    return RunSections(nullptr, root, items, owner);
}
