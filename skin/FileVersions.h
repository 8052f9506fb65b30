// The file and product version of a program file, read from its version resource for the version
// labels of the configuration program.
#pragma once

#include <windows.h>

#include <string>

class CFileVersions
{
public:
    CFileVersions() = default;
    virtual ~CFileVersions() = default;

    // The running program's own file (GetModuleFileNameW, at most 260 characters).
    void SetModulePath();
    // Any file; for the program itself SetModulePath.
    void SetPath(const std::wstring& path) { m_path = path; }
    const std::wstring& Path() const { return m_path; }

    // Reads the fixed file information of the version resource: the versions become
    // "major.minor.build.revision" and each part its own text. False, with every text left as it
    // was ("0.0.0.0" and "0" until a read succeeds), when there is no path, no version resource or
    // a root block of another size than the fixed information's 52 bytes.
    bool ReadVersions();

    const std::wstring& FileVersion() const { return m_fileVersion; }
    const std::wstring& ProductVersion() const { return m_productVersion; }
    // Parts 0 (major) to 3; an empty text for another index.
    const std::wstring& FilePart(int index) const;
    const std::wstring& ProductPart(int index) const;

private:
    std::wstring m_path;
    std::wstring m_fileVersion = L"0.0.0.0";
    std::wstring m_productVersion = L"0.0.0.0";
    std::wstring m_fileParts[4] = {L"0", L"0", L"0", L"0"};
    std::wstring m_productParts[4] = {L"0", L"0", L"0", L"0"};
};
