// What an imported profile or macro file must carry to be taken, and how an import that was not
// taken tells why. A file's name comes from outside the program: it obeys the rules of a name
// the user types (the name forms take at most kMaxItemNameLength characters), so that nothing
// the user could not have named reaches the device or the lists.
#pragma once

#include <cstddef>
#include <string>

// The longest name a name form takes, and so the longest name an import takes.
constexpr size_t kMaxItemNameLength = 20;

enum class ImportOutcome
{
    Imported,
    NotRead,          // the middleware could not read the file, or refused it (not a file of this kind)
    NameInUse,        // the configuration holds an item of that name (or that very item) already
    NameEmpty,
    NameTooLong,      // more than kMaxItemNameLength characters
    NameControl,      // a control character: a line break, a tab, a NUL within the name...
    NoDevice,         // the device is not there, or busy
};

// What an import did; name: the imported item's name where it was read (the one in use for
// NameInUse).
struct ImportResult
{
    ImportOutcome outcome = ImportOutcome::NotRead;
    std::wstring name;
};

// Whether a name read from a file may stand; ImportOutcome::Imported when it may.
inline ImportOutcome CheckItemName(const std::wstring& name)
{
    if (name.empty())
        return ImportOutcome::NameEmpty;
    for (wchar_t c : name)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029)
            return ImportOutcome::NameControl;
    if (name.size() > kMaxItemNameLength)
        return ImportOutcome::NameTooLong;
    return ImportOutcome::Imported;
}
