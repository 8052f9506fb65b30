// Helpers of the list tests: their colours and entries (the modal list panels are answered by
// ModalScript of ControlTest.h).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "controls/ControlMessages.h"
#include "ControlTest.h"
#include "controls/ListPanel.h"
#include "core/ModelRecords.h"

namespace controltest {

// The colours the list tests give their lists.
constexpr COLORREF kText = RGB(230, 230, 230);
constexpr COLORREF kBack = RGB(20, 30, 60);
constexpr COLORREF kHotText = RGB(10, 10, 10);
constexpr COLORREF kHotBack = RGB(250, 200, 40);
constexpr COLORREF kBorder = RGB(200, 40, 40);

// Entries with these names, nothing else set.
inline std::vector<ListEntry> Entries(std::initializer_list<const wchar_t*> names)
{
    std::vector<ListEntry> entries;
    for (const wchar_t* name : names) {
        ListEntry entry;
        entry.Init(name, 0, nullptr);
        entries.push_back(entry);
    }
    return entries;
}

// Waits until a press at the same place can no longer make a double click with the last one.
} // namespace controltest
