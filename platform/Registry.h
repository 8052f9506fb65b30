// Reading the registry's values, bounded.
#pragma once

#include <windows.h>

#include <cstddef>

// Reads a REG_SZ value of a key the caller keeps open (borrowed) into buffer (capacity in
// characters, at least 1). The buffer is always terminated, also for a value stored without its
// terminator; a value that does not fit in capacity - 1 characters is refused. False when the value
// is missing, of another type or too long.
bool ReadRegistryString(HKEY key, const wchar_t* valueName, wchar_t* buffer, size_t capacity);
