#pragma once

// The keyboard's keys by name. A binary definition file lists every key with its name and codes;
// everywhere else a key is known by the hash of its name (HashText), which the keyboard
// configuration, the key items and the device code share. A second file gives each key's default
// code.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The hash of a key name (djb2 over its UTF-16 units, wrapping in 32 bits). HashText(L"a") is
// 177670.
int32_t HashText(const wchar_t* text);
int32_t HashText(const std::wstring& text);

struct KeyCodeEntry
{
    int16_t code = 0;
    uint8_t flags = 0;
    uint8_t reserved = 0;
};

struct KeyCode
{
    int16_t code = 0;
    uint8_t flags = 0;
};

// One key of the definition file. The values and further arrays mean nothing to this framework
// and are kept as read.
struct KeyboardDefRecord
{
    static constexpr size_t kCodeCount = 10;
    static constexpr size_t kArrayLength = 20;
    static constexpr size_t kMaxNameUnits = 256;
    // The bytes after the name: value1, value2, the code entries and the three further arrays.
    static constexpr size_t kFixedBytes = 2 + 2 + kCodeCount * 4 + 3 * kArrayLength * 2;

    int32_t hash = 0;
    std::wstring name;
    int16_t value1 = 0;
    int16_t value2 = 0;
    KeyCodeEntry codes[kCodeCount] = {};
    int16_t arrays[3][kArrayLength] = {};
    // From the code entries: the first code when the first entry has no flags; else the first
    // entry's flags and the last code of the run of plain entries that follows it.
    int16_t keyCode = 0;
    uint8_t keyFlags = 0;
};

class CKeyboardDef
{
public:
    CKeyboardDef() = default;
    CKeyboardDef(const CKeyboardDef&) = delete;
    CKeyboardDef& operator=(const CKeyboardDef&) = delete;

    // Reads a definition file: int32 count, then count records {uint32 nameBytes, the UTF-16LE
    // name, int16 value1, value2, 10 code entries of 4 bytes, 3 x 20 int16}. Every record is
    // checked against the bytes left before it is read. True only when the data ends exactly
    // after the count-th record; on false the definition stays empty (LoadError says why) and a
    // later Load tries again. Once loaded, Load returns true at once.
    bool Load(size_t byteLength, const void* data);

    // Default codes: int32 count >= 1, then count pairs {int32 hash, int32 packed}, packed being
    // the code in bits 0-15 and the flags in bits 16-23. The whole file is refused, changing
    // nothing, unless it is exactly 4 + 8 x count bytes long.
    bool SetDefaultCodes(const void* data, size_t byteLength);

    // Whether a key may be assigned: not one of the placeholder names, and a first code >= 0.
    static bool IsAssignable(const KeyboardDefRecord& record);

    // The hash of the first assignable key (in ascending hash order) whose code equals bits 0-15
    // of value and whose flags equal bits 16-23; 0 when none.
    int32_t FindByKeyCode(uint32_t value) const;

    // The code of an assignable key; {0, 0} when there is none.
    KeyCode GetKeyCode(int32_t hash) const;

    // The assignable key of that hash; null when there is none. The record stays where it is for
    // as long as the program runs: a loaded definition is never read again.
    const KeyboardDefRecord* FindRecord(int32_t hash) const;

    // The default code of a key; false when the defaults do not name it.
    bool GetDefaultCode(int32_t hash, KeyCode& out) const;

    bool IsLoaded() const { return m_loaded; }
    const std::vector<KeyboardDefRecord>& Records() const { return m_records; }
    size_t AssignableCount() const { return m_assignable.size(); }
    const std::wstring& LoadError() const { return m_loadError; }

private:
    std::vector<KeyboardDefRecord> m_records;
    std::map<int32_t, size_t> m_assignable; // hash -> index into m_records
    std::map<int32_t, KeyCode> m_defaultCodes;
    bool m_loaded = false;
    std::wstring m_loadError;
};

// The program's one keyboard definition.
CKeyboardDef& GetKeyboardDef();
