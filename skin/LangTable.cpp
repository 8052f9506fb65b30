#include "skin/LangTable.h"

#include <cstring>
#include <cwchar>
#include <iterator>

namespace {

constexpr wchar_t kCR = 0x000D;
constexpr wchar_t kLF = 0x000A;

CLangTable* g_currentTable = nullptr;

// Never destroyed: the item lists of the application object are destroyed at exit after the
// statics that were set up during the run, and their tables still leave this map then.
std::map<int32_t, CLangTable*>& RegisteredTables()
{
    static auto* tables = new std::map<int32_t, CLangTable*>;
    return *tables;
}

// Spaces are left out; the key ends at NUL, CR or LF, or after kMaxKeyLength characters.
std::wstring NormaliseKey(const std::wstring& line)
{
    std::wstring key;
    for (wchar_t c : line) {
        if (c == L'\0' || c == kCR || c == kLF || key.size() == CLangTable::kMaxKeyLength)
            break;
        if (c != L' ')
            key.push_back(c);
    }
    return key;
}

// A line is kept as a terminated string: whatever follows an embedded NUL is not part of it.
std::wstring CutAtNul(std::wstring line)
{
    size_t nul = line.find(L'\0');
    if (nul != std::wstring::npos)
        line.resize(nul);
    return line;
}

std::vector<uint8_t> CopyBlock(const void* data, size_t byteLength)
{
    std::vector<uint8_t> block;
    if (data && byteLength)
        block.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + byteLength);
    if (block.size() % 2)
        block.push_back(0);
    block.push_back(0);
    block.push_back(0);
    return block;
}

} // namespace

bool CLangTable::NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const
{
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

CLangTable::CLangTable()
{
    kind = ItemKind::LangTable;
    window = nullptr;
}

CLangTable::~CLangTable()
{
    auto& tables = RegisteredTables();
    for (auto it = tables.begin(); it != tables.end();)
        it = it->second == this ? tables.erase(it) : std::next(it);
    if (g_currentTable == this)
        g_currentTable = nullptr;
}

bool CLangTable::Parse(size_t byteLength, const void* data)
{
    if (!data)
        return false;
    // Copied out as whole UTF-16 units: the buffer need not be aligned, and an odd last byte is
    // not part of any unit.
    std::wstring text(byteLength / sizeof(wchar_t), L'\0');
    if (!text.empty())
        memcpy(&text[0], data, text.size() * sizeof(wchar_t));

    const size_t before = m_pairCount;
    std::wstring pendingKey;
    size_t lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(kCR, pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = CutAtNul(text.substr(pos, end - pos));

        if (lineNumber == 0) {
            m_header = line;
        } else if (lineNumber >= 2) {
            if (_wcsicmp(line.c_str(), L"END OF FILE") == 0)
                break;
            if (lineNumber % 2 == 0)
                pendingKey = std::move(line);
            else
                AddPair(pendingKey, line);
        }
        ++lineNumber;

        pos = end;
        while (pos < text.size() && (text[pos] == kCR || text[pos] == kLF))
            ++pos;
    }
    return m_pairCount > before;
}

void CLangTable::AddPair(const std::wstring& keyLine, const std::wstring& valueLine)
{
    m_texts.emplace(NormaliseKey(keyLine), valueLine);
    ++m_pairCount;
}

bool CLangTable::Translate(const wchar_t* text, std::wstring& out) const
{
    if (!text) {
        out.clear();
        return false;
    }
    const size_t length = wcslen(text);
    if (length > 1 && (text[0] == L'$' || text[0] == L'#')) {
        const std::wstring wanted(text + 1, length - 1);
        if (wanted.size() <= kMaxKeyLength) {
            auto it = m_texts.lower_bound(wanted);
            if (it != m_texts.end()) {
                const bool match = text[0] == L'$'
                    ? _wcsicmp(it->first.c_str(), wanted.c_str()) == 0
                    : _wcsnicmp(it->first.c_str(), wanted.c_str(), wanted.size()) == 0;
                if (match) {
                    out = it->second;
                    return true;
                }
            }
        }
    }
    out = text;
    return false;
}

void CLangTable::AddOverride(int32_t itemId, const wchar_t* attribute, const void* data, size_t byteLength)
{
    auto record = std::make_unique<LanguageOverride>();
    record->itemId = itemId;
    record->attribute = attribute ? attribute : L"";
    record->data = CopyBlock(data, byteLength);
    m_overrides.push_back(std::move(record));
}

void CLangTable::AddColumnOverride(int32_t columnId, const wchar_t* attribute, const void* data, size_t byteLength)
{
    auto record = std::make_unique<LanguageOverride>();
    record->columnId = columnId;
    record->attribute = attribute ? attribute : L"";
    record->data = CopyBlock(data, byteLength);
    m_overrides.push_back(std::move(record));
}

const void* CLangTable::FindOverride(int32_t itemId, const wchar_t* attribute) const
{
    if (!attribute)
        return nullptr;
    for (const auto& record : m_overrides) {
        if (record->itemId == itemId && _wcsicmp(record->attribute.c_str(), attribute) == 0)
            return record->data.data();
    }
    return nullptr;
}

const void* CLangTable::FindWidthOverride(int32_t columnId) const
{
    for (const auto& record : m_overrides) {
        if (record->columnId == columnId && _wcsicmp(record->attribute.c_str(), L"width") == 0)
            return record->data.data();
    }
    return nullptr;
}

void CLangTable::SetFontMapping(int32_t searchFontId, int32_t replaceFontId)
{
    m_fontMap[searchFontId] = replaceFontId;
}

int32_t CLangTable::MapItemId(int32_t fontId) const
{
    auto it = m_fontMap.find(fontId);
    return it == m_fontMap.end() ? fontId : it->second;
}

CLangTable* GetCurrentLangTable()
{
    return g_currentTable;
}

void SetCurrentLangTable(CLangTable* table)
{
    g_currentTable = table;
}

void RegisterLangTable(int32_t id, CLangTable* table)
{
    if (table)
        RegisteredTables()[id] = table;
}

CLangTable* FindRegisteredLangTable(int32_t id)
{
    const auto& tables = RegisteredTables();
    auto it = tables.find(id);
    return it == tables.end() ? nullptr : it->second;
}

bool TranslateText(const wchar_t* text, std::wstring& out)
{
    if (g_currentTable)
        return g_currentTable->Translate(text, out);
    out = text ? text : L"";
    return false;
}
