#pragma once

// The key/value texts of one language file and the per-language adjustments of the layouts
// (font replacement, item and list-column attribute overrides). Every user-visible text is a key
// ("$Delete") or a key prefix ("#Profile") translated through the current table when shown.

#include "skin/GUIItem.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One attribute override for an item (columnId -1) or a list column (itemId -1).
struct LanguageOverride
{
    int32_t itemId = -1;
    int32_t columnId = -1;
    std::wstring attribute;
    // The value block as the layout reader built it, padded to whole UTF-16 units and followed by
    // a zero unit that is not part of it, so that a text block always reads as a terminated string.
    std::vector<uint8_t> data;
};

class CLangTable : public CGUIItem
{
public:
    // Longest key that a "$" text can reach; longer keys are reachable only through "#".
    static constexpr size_t kMaxKeyLength = 59;

    CLangTable();
    // Leaves the registry of language tables and, when it is the current table, leaves no current
    // table: an item list destroyed after its load leaves no dangling table behind.
    ~CLangTable() override;

    // Reads a language file (UTF-16LE, lines ended by CR, blank lines skipped): line 0 is the
    // header, line 1 is ignored, then key and value lines alternate until "END OF FILE". Never
    // reads past byteLength; an odd last byte is ignored and a last line without CR still counts.
    // True when at least one pair was stored.
    bool Parse(size_t byteLength, const void* data);

    // "$key": the value of the key; "#prefix": the value of a key that starts with the prefix.
    // Keys compare without regard to case and with their spaces removed. Anything else, or no
    // match: out = text, false.
    bool Translate(const wchar_t* text, std::wstring& out) const;

    void AddOverride(int32_t itemId, const wchar_t* attribute, const void* data, size_t byteLength);
    void AddColumnOverride(int32_t columnId, const wchar_t* attribute, const void* data, size_t byteLength);
    // The first override of the item with that attribute (without regard to case), or null.
    const void* FindOverride(int32_t itemId, const wchar_t* attribute) const;
    // The first "width" override of the list column, or null.
    const void* FindWidthOverride(int32_t columnId) const;

    void SetFontMapping(int32_t searchFontId, int32_t replaceFontId);
    // The replacement of a font item id in this language, or the id itself.
    int32_t MapItemId(int32_t fontId) const;

    const std::wstring& Header() const { return m_header; }
    size_t PairCount() const { return m_pairCount; }

private:
    struct NoCaseLess
    {
        bool operator()(const std::wstring& a, const std::wstring& b) const;
    };

    void AddPair(const std::wstring& keyLine, const std::wstring& valueLine);

    // Normalised key -> value. Ordered without regard to case, so that the keys with one prefix
    // stand together.
    std::multimap<std::wstring, std::wstring, NoCaseLess> m_texts;
    std::wstring m_header;
    std::map<int32_t, int32_t> m_fontMap;
    std::vector<std::unique_ptr<LanguageOverride>> m_overrides;
    size_t m_pairCount = 0;
};

// The table that items translate through; null before a language is chosen (texts then stand as
// written). The table belongs to the item list of the layout that built it.
CLangTable* GetCurrentLangTable();
void SetCurrentLangTable(CLangTable* table);

// The program's language tables by item id, as the LANGUAGES section builds them: a later table of
// an id replaces the earlier, a null table is not entered. The tables are borrowed from the item
// lists that own them; a destroyed table is no longer found.
void RegisterLangTable(int32_t id, CLangTable* table);
// The registered table of that language item id, or null.
CLangTable* FindRegisteredLangTable(int32_t id);

// Translates through the current table; without one, out = text and false.
bool TranslateText(const wchar_t* text, std::wstring& out);
