// The layout files of the install-directory image beside the running test program.
#pragma once

#include "skin/SkinResourceCache.h"

#include "../controls/SkinSections.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// The names of the layout files in the image's "xml" folder that start with prefix, sorted.
inline std::vector<std::wstring> SkinLayoutFiles(const wchar_t* prefix = L"")
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((GetProgramFolder() + L"xml\\" + prefix + L"*.xml").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}
