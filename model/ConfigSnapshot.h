// A write never works on the configuration the user edits: the device takes a copy on the calling
// thread and its worker writes the copy. What the worker learns (the GUIDs the device gives new
// profiles, macros and applications, and by-name assignments turned into by-GUID ones) is applied
// back to the live configuration on the thread that owns it, after the worker has ended.
//
// Items are matched by the GUID they had when the copy was taken, or, where that GUID was null, as
// the very item that stood at the copy's index then: a profile by its identity (which a rename
// keeps), a macro or an application by its address. Names do not matter: the user may rename an
// item while it is written and it still takes the GUID the device gave it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ConfigInterfaces.h"
#include "DeviceSteps.h"

template <class ConfigItf>
struct CWriteSnapshot
{
    struct Origin
    {
        GUID guid{};
        uint64_t identity = 0;   // profile identity, or the address of the macro or application
    };

    std::unique_ptr<ConfigItf> config;          // the copy the worker writes
    std::vector<Origin> profiles;               // per profile of the copy, as taken
    std::vector<Origin> macros;
    std::vector<Origin> apps;
    std::vector<CAssignmentConversion> conversions;   // filled by the worker
};

std::unique_ptr<CWriteSnapshot<IMouseConfig>> TakeSnapshot(IMouseConfig& live);
std::unique_ptr<CWriteSnapshot<IKeyboardConfig>> TakeSnapshot(IKeyboardConfig& live);

// Applies what the write learned to live. Values the user changed in the meantime win: an
// assignment is converted only where it still is the by-name one that was written, and a GUID is
// given only to an item that still has none.
void ApplySnapshot(const CWriteSnapshot<IMouseConfig>& snapshot, IMouseConfig& live);
void ApplySnapshot(const CWriteSnapshot<IKeyboardConfig>& snapshot, IKeyboardConfig& live);
