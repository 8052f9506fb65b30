// A middleware that misbehaves in ways the simulator never does, for the device objects' defences:
// it stands in front of the simulator under the middleware's class id (registered in this process
// for as long as it lives) and passes every call through, except that
// - deletions of profiles, macros and applications may report success without deleting anything
//   (the first lies are told, then the deletions are refused, so that a device object that keeps
//   asking still ends), and
// - imports of macros and profiles may hand back the first object the device holds already
//   instead of a new one, and
// - a profile passed through LyingProfile may report more DPI stages than a device has.
#pragma once

#include <windows.h>

#include <atomic>

#include "mwapi/HvMwApi.h"
#include "platform/ComPtr.h"

namespace devtest {

struct CLies
{
    bool fakeDeletes = false;
    int lies = 20;   // fake deletions told before deletions are refused
    bool importsReturnExisting = false;
    int stagesReported = 0;   // LyingProfile: stages {100, 100}, {200, 200}, ... from GetStages

    std::atomic<int> deleteCalls{0};   // every deletion asked for, told or passed through
};

class CLyingMiddleware
{
public:
    // Registers the class object; the simulator's own root is created before, through COM.
    explicit CLyingMiddleware(CLies& lies);
    ~CLyingMiddleware();
    CLyingMiddleware(const CLyingMiddleware&) = delete;
    CLyingMiddleware& operator=(const CLyingMiddleware&) = delete;

    bool Registered() const { return m_cookie != 0; }

private:
    DWORD m_cookie = 0;
};

// The real profile with the DPI stage list the lies give.
CComPtr<IProfile> LyingProfile(IProfile* real, CLies& lies);

} // namespace devtest
