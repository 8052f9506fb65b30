// Where a test finds its data, the programs of the build and the source tree. ctest sets these per
// test (see tests/CMakeLists.txt); run by hand, the test falls back to folders next to its .exe.
#pragma once
#include <string>

namespace hvtest {

// The folder for this test's files (env HV_TEST_DIR, else "<exe folder>\testdata"); created on first use.
std::wstring TestDir();
// TestDir() + "\" + name.
std::wstring TestFile(const std::wstring& name);
// The folder of the build's programs and DLLs (env HV_BIN_DIR, else the test .exe's own folder).
std::wstring BinDir();
// BinDir() + "\" + name.
std::wstring BinFile(const std::wstring& name);
// The source tree (env HV_SOURCE_DIR); empty when unknown.
std::wstring SourceDir();
// The value of an environment variable, empty when unset.
std::wstring EnvVar(const wchar_t* name);

} // namespace hvtest
