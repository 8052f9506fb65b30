// A write never works on the configuration the user edits: the device takes a copy on the calling
// thread and its worker writes the copy. What the worker learns (the GUIDs the device gives new
// profiles, macros and applications, and by-name assignments turned into by-GUID ones) is applied
// back to the live configuration on the thread that owns it, after the worker has ended.
//
// Items are matched by the GUID they had when the copy was taken, or, where that GUID was null, as
// the very item that stood at the copy's index then, by its identity (a profile keeps its own
// through a rename; a macro or an application made since has another, even at a freed one's
// address). Names do not matter: the user may rename an item while it is written and it still
// takes the GUID the device gave it.
//
// A read works on a copy too, made the same way on the thread that owns the configuration, and
// hands what it read to the live configuration only when every step succeeded: a failed read
// leaves the profiles, macros, applications and settings as they were (CommitReadStatus says what
// it still hands over).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/ConfigInterfaces.h"
#include "model/DeviceSteps.h"

template <class ConfigItf>
struct CWriteSnapshot
{
    struct Origin
    {
        GUID guid{};
        uint64_t identity = 0;   // of the profile, macro or application
    };

    std::unique_ptr<ConfigItf> config;          // the copy the worker writes
    std::vector<Origin> profiles;               // per profile of the copy, as taken
    std::vector<Origin> macros;
    std::vector<Origin> apps;
    std::vector<CAssignmentConversion> conversions;   // filled by the worker
};

std::unique_ptr<CWriteSnapshot<IMouseConfig>> TakeSnapshot(IMouseConfig& live);
std::unique_ptr<CWriteSnapshot<IKeyboardConfig>> TakeSnapshot(IKeyboardConfig& live);

// A copy of everything a read fills, for the read to work on.
std::unique_ptr<IMouseConfig> CopyForRead(IMouseConfig& live);
std::unique_ptr<IKeyboardConfig> CopyForRead(IKeyboardConfig& live);
// Hands a read's copy to live: each profile keeps its object and takes the copy's settings, the
// macro and application lists are replaced where they differ, the device-wide values are set.
// False, and live untouched, when the copy's profiles are not live's (a read adds or removes none).
bool CommitRead(IMouseConfig& read, IMouseConfig& live);
bool CommitRead(IKeyboardConfig& read, IKeyboardConfig& live);
// What a failed read still hands over: the device's status as the steps that run after any failure
// read it whole (APM levels and event settings, battery, power management). The profiles, macros,
// applications and the other device-wide values stay as they were.
void CommitReadStatus(IMouseConfig& read, IMouseConfig& live);
void CommitReadStatus(IKeyboardConfig& read, IKeyboardConfig& live);

// Applies what the write learned to live. Values the user changed in the meantime win: an
// assignment is converted only where it still is the by-name one that was written, and a GUID is
// given only to an item that still has none.
void ApplySnapshot(const CWriteSnapshot<IMouseConfig>& snapshot, IMouseConfig& live);
void ApplySnapshot(const CWriteSnapshot<IKeyboardConfig>& snapshot, IKeyboardConfig& live);
