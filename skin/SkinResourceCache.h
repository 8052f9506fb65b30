#pragma once

// The bitmaps, fonts, language files and binary files that layouts name, each loaded once on first
// use from its folder under the program folder and kept until Clear.
//
// Items draw straight from the cache's bitmaps (bitmap buttons and keyboard keys keep no copies),
// so a cache is cleared only when no item built from it lives. The program's cache is cleared once,
// when the program ends, after its windows are gone; SetFolder releases nothing.

#include "platform/Handles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum SkinResourceType : int32_t
{
    SkinResourcePicture = 0,  // skins\, any picture format
    SkinResourceBitmap = 1,   // skins\, a .bmp file
    SkinResourceFont = 4,     // fonts\, registered with the system until Clear
    SkinResourceLanguage = 5, // lang\, the whole file
    SkinResourceBinary = 6,   // bin\, the whole file
};

// The folder of a type under the skin folder: "skins\", "fonts\", "lang\" or "bin\".
const wchar_t* SkinTypeFolder(int32_t type);

// One cached file; owned by the cache. A failed load is kept too (nothing loaded, size 0).
struct SkinResource
{
    std::wstring name; // as the layout gives it
    std::wstring path;
    int32_t type = -1; // -1 once released
    // Types 0 and 4: 8 and the file size whether or not the load succeeded; types 5 and 6: the
    // bytes read; 0 for other types.
    uint32_t size = 0;

    CBitmapHandle bitmap;       // types 0 and 1
    int fontCount = 0;          // type 4: fonts the file added, 0 when none
    std::vector<uint8_t> data;  // types 5 and 6: the file's bytes, empty when it could not be read
    // Types 5 and 6: the file was opened and read whole; also true for an empty file, whose data
    // stay empty (and Data() null).
    bool fileRead = false;

    // Whether the load produced something (the object of the entry).
    bool IsLoaded() const;
    // The file's bytes (types 5 and 6), or null.
    const uint8_t* Data() const { return data.empty() ? nullptr : data.data(); }
};

class SkinResourceCache
{
public:
    // folder: where the type folders are ("...\"; a trailing backslash is added when missing).
    explicit SkinResourceCache(std::wstring folder);
    ~SkinResourceCache();
    SkinResourceCache(const SkinResourceCache&) = delete;
    SkinResourceCache& operator=(const SkinResourceCache&) = delete;

    // The entry of that name (without regard to case) and type, loading it on first request.
    // Also a failed entry is returned, and kept: it is not retried. Null for a null name and for a
    // name that is not a file of the type's folder (SkinFileNameFault), which gets no entry.
    // A reader takes a buffer's length from the entry it got here.
    SkinResource* Get(const wchar_t* name, int32_t type);

    // The size of the first entry of that name, of any type; 0 when none.
    uint32_t GetSizeByName(const wchar_t* name) const;

    // The bytes of Get(name, 6), or null.
    const uint8_t* GetBinaryResource(const wchar_t* name);

    // Releases every entry, the last first (fonts are removed from the system). The bitmaps are
    // deleted: no item that draws from them may live on.
    void Clear();

    size_t Count() const { return m_entries.size(); }
    // The folder of the type folders, and of the layouts' "xml\" folder (see LoadLayoutFile).
    const std::wstring& Folder() const { return m_folder; }
    // Reads later entries from another folder (a trailing backslash is added when missing); the
    // entries cached already keep their files. For tests, which keep their files in a folder of
    // their own, and for programs whose skin files are not beside the program file.
    void SetFolder(std::wstring folder);

private:
    std::wstring m_folder;
    std::vector<std::unique_ptr<SkinResource>> m_entries;
};

// Why name cannot be taken as a file of a skin folder, or null when it can. The names come from
// layout files, which must not reach beyond the folder they name. Every skin folder ("xml\",
// "skins\", "fonts\", "lang\", "bin\") holds only files, so a name is one plain file name: not
// empty, no drive, stream or root prefix, no path separator (and so no UNC path and no ".."), not
// "." or "..", no device name such as "CON" or "COM1", none of the characters file names cannot
// hold, no trailing dot or space (which the file system drops), at most 255 characters.
const wchar_t* SkinFileNameFault(const std::wstring& name);

// The folder of the running program file, with its trailing backslash.
std::wstring GetProgramFolder();

// The program's cache, over the program folder until SetFolder; emptied at exit.
SkinResourceCache& GetSkinResourceCache();
