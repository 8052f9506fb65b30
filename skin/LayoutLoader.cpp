#include "LayoutLoader.h"

#include <cstdint>
#include <memory>

#include "GUIItem.h"
#include "LayoutErrors.h"
#include "LayoutReaders.h"
#include "LayoutSections.h"
#include "PanelBitmap.h"
#include "SkinResourceCache.h"
#include "WStr.h"
#include "Wnd.h"

namespace {

// Owns the factory of one load and, with progress, its place as the current progress source.
// A scope detaches its own factory and puts back the source that was current before it: a load
// nested in another (a panel created while a layout loads) leaves the outer load's source as it
// found it. Both are given up on every way out of the load, an exception from the messenger's lock
// included.
class CLoadScope
{
public:
    CLoadScope(const std::wstring& path, bool reportProgress)
        : m_factory(std::make_unique<CGUIItemFactory>(path)), m_progress(reportProgress)
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

    CGUIItemFactory& Factory() { return *m_factory; }

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

// BACKGROUND or MASK of a GUIPANEL root: a copy of the skin bitmap the element names. A panel
// without it is no panel: that is reported as an error of the file.
bool BuildPanelBitmap(pugi::xml_node root, const char* name, int32_t id, CGUIItems* items, CWnd* owner)
{
    pugi::xml_node element = root.child(name);
    const std::wstring wideName = wstr::Utf8ToWide(name);
    if (!element) {
        ReportLayoutError(L"the panel has no " + wideName);
        return false;
    }
    std::wstring file = wstr::Trim(layout::ElementText(element));
    if (file.empty()) {
        ReportLayoutError(element, L"names no picture");
        return false;
    }
    if (!layout::CheckSkinFileName(element, file, SkinTypeFolder(SkinResourcePicture)))
        return false;
    SkinResource* entry = GetSkinResourceCache().Get(file.c_str(), SkinResourcePicture);
    if (!entry || !entry->bitmap) {
        ReportLayoutError(element, L"the picture \"" + file + L"\" of skins\\ cannot be read");
        return false;
    }
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

    std::wstring fileName = FileNameOf(path);
    CLayoutFileScope errorsName(fileName);
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        ReportLayoutError(DescribeParseFault(parsed));
        return false;
    }
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
    ReportLayoutError(L"the file has no GUIPANEL, ITEMLIST or KEYBOARD root");
    return false;
}

bool LoadLayoutFile(CGUIItems* items, const std::wstring& fileName, CWnd* owner, bool reportProgress)
{
    if (const wchar_t* fault = SkinFileNameFault(fileName)) {
        ReportLayoutError(L"layout \"" + fileName + L"\" is refused as a file of xml\\: " + fault);
        return false;
    }
    return LoadLayout(GetSkinResourceCache().Folder() + L"xml\\" + fileName, items, owner, reportProgress);
}
