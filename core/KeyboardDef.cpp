#include "core/KeyboardDef.h"

#include "platform/WStr.h"

#include <cstring>
#include <cwchar>

namespace {

// Little-endian reads from a bounded buffer; the caller checks the length first.
class CByteReader
{
public:
    CByteReader(const void* data, size_t length) : m_data(static_cast<const uint8_t*>(data)), m_left(length) {}

    size_t Left() const { return m_left; }
    const uint8_t* Here() const { return m_data; }
    void Skip(size_t n) { m_data += n; m_left -= n; }

    uint32_t U32()
    {
        uint32_t v = uint32_t(m_data[0]) | uint32_t(m_data[1]) << 8 | uint32_t(m_data[2]) << 16 | uint32_t(m_data[3]) << 24;
        Skip(4);
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    int16_t I16()
    {
        uint16_t v = static_cast<uint16_t>(m_data[0] | m_data[1] << 8);
        Skip(2);
        return static_cast<int16_t>(v);
    }
    uint8_t U8()
    {
        uint8_t v = m_data[0];
        Skip(1);
        return v;
    }

private:
    const uint8_t* m_data;
    size_t m_left;
};

void DeriveKeyCode(KeyboardDefRecord& record)
{
    const KeyCodeEntry* codes = record.codes;
    if (codes[0].flags == 0) {
        record.keyCode = codes[0].code;
        record.keyFlags = 0;
        return;
    }
    record.keyFlags = codes[0].flags;
    size_t last = 0;
    while (last + 1 < KeyboardDefRecord::kCodeCount && codes[last + 1].code != 0 && codes[last + 1].flags == 0)
        ++last;
    record.keyCode = codes[last].code;
}

// Reads one record; false when the bytes left do not hold it.
bool ReadRecord(CByteReader& in, KeyboardDefRecord& record)
{
    if (in.Left() < 4)
        return false;
    const uint32_t nameBytes = in.U32();
    if (nameBytes > in.Left() || KeyboardDefRecord::kFixedBytes > in.Left() - nameBytes)
        return false;

    // A longer name is kept cut; the reader still moves on by its real length.
    size_t units = nameBytes / 2;
    if (units > KeyboardDefRecord::kMaxNameUnits)
        units = KeyboardDefRecord::kMaxNameUnits;
    std::wstring name(units, L'\0');
    for (size_t i = 0; i < units; ++i)
        name[i] = static_cast<wchar_t>(in.Here()[2 * i] | in.Here()[2 * i + 1] << 8);
    size_t nul = name.find(L'\0');
    if (nul != std::wstring::npos)
        name.resize(nul);
    record.name = std::move(name);
    in.Skip(nameBytes);

    record.value1 = in.I16();
    record.value2 = in.I16();
    for (KeyCodeEntry& entry : record.codes) {
        entry.code = in.I16();
        entry.flags = in.U8();
        entry.reserved = in.U8();
    }
    for (auto& array : record.arrays) {
        for (int16_t& value : array)
            value = in.I16();
    }
    record.hash = HashText(record.name);
    DeriveKeyCode(record);
    return true;
}

} // namespace

int32_t HashText(const wchar_t* text)
{
    uint32_t h = 5381;
    if (text) {
        for (; *text; ++text)
            h = h * 33 + static_cast<uint16_t>(*text);
    }
    return static_cast<int32_t>(h);
}

int32_t HashText(const std::wstring& text)
{
    return HashText(text.c_str());
}

bool CKeyboardDef::Load(size_t byteLength, const void* data)
{
    if (!data || byteLength == 0) {
        m_loadError = L"the keyboard definition is empty";
        return false;
    }
    if (m_loaded)
        return true;

    CByteReader in(data, byteLength);
    if (in.Left() < 4) {
        m_loadError = L"the keyboard definition is too short";
        return false;
    }
    const int32_t count = in.I32();
    if (count <= 0) {
        m_loadError = wstr::Format(L"the keyboard definition lists %d keys", count);
        return false;
    }

    std::vector<KeyboardDefRecord> records;
    while (records.size() < static_cast<size_t>(count) && in.Left() > 0) {
        KeyboardDefRecord record;
        if (!ReadRecord(in, record)) {
            m_loadError = wstr::Format(L"key %u of %d is truncated", static_cast<unsigned>(records.size() + 1), count);
            return false;
        }
        records.push_back(std::move(record));
    }
    if (records.size() != static_cast<size_t>(count)) {
        m_loadError = wstr::Format(L"the keyboard definition holds %u of %d keys",
                                   static_cast<unsigned>(records.size()), count);
        return false;
    }
    if (in.Left() != 0) {
        m_loadError = wstr::Format(L"%u bytes follow the last key", static_cast<unsigned>(in.Left()));
        return false;
    }

    m_records = std::move(records);
    m_assignable.clear();
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (IsAssignable(m_records[i]))
            m_assignable[m_records[i].hash] = i;
    }
    m_loaded = true;
    m_loadError.clear();
    return true;
}

bool CKeyboardDef::SetDefaultCodes(const void* data, size_t byteLength)
{
    if (!data || byteLength < 4)
        return false;
    CByteReader in(data, byteLength);
    const int32_t count = in.I32();
    if (count < 1 || static_cast<uint64_t>(byteLength) != 4 + 8 * static_cast<uint64_t>(count))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t hash = in.I32();
        const uint32_t packed = in.U32();
        m_defaultCodes[hash] = KeyCode{ static_cast<int16_t>(packed & 0xFFFF), static_cast<uint8_t>(packed >> 16) };
    }
    return true;
}

bool CKeyboardDef::IsAssignable(const KeyboardDefRecord& record)
{
    static const wchar_t* const kPlaceholders[] = { L"DO NOT USE", L"UNASSIGNED", L"RESERVED", L"None" };
    for (const wchar_t* placeholder : kPlaceholders) {
        if (_wcsicmp(record.name.c_str(), placeholder) == 0)
            return false;
    }
    return record.codes[0].code >= 0;
}

int32_t CKeyboardDef::FindByKeyCode(uint32_t value) const
{
    const int16_t code = static_cast<int16_t>(value & 0xFFFF);
    const uint8_t flags = static_cast<uint8_t>(value >> 16);
    for (const auto& entry : m_assignable) {
        const KeyboardDefRecord& record = m_records[entry.second];
        if (record.keyCode == code && record.keyFlags == flags)
            return entry.first;
    }
    return 0;
}

KeyCode CKeyboardDef::GetKeyCode(int32_t hash) const
{
    const KeyboardDefRecord* record = FindRecord(hash);
    return record ? KeyCode{ record->keyCode, record->keyFlags } : KeyCode{};
}

const KeyboardDefRecord* CKeyboardDef::FindRecord(int32_t hash) const
{
    auto it = m_assignable.find(hash);
    return it == m_assignable.end() ? nullptr : &m_records[it->second];
}

bool CKeyboardDef::GetDefaultCode(int32_t hash, KeyCode& out) const
{
    auto it = m_defaultCodes.find(hash);
    if (it == m_defaultCodes.end())
        return false;
    out = it->second;
    return true;
}

CKeyboardDef& GetKeyboardDef()
{
    static CKeyboardDef definition;
    return definition;
}
