// Waiting for a device's write. While a write runs every other call to that device fails, so an
// operation that must reach the device (OK's save, an import or export, a question to the device, a
// mode switch) first waits here until the write has ended.
//
// The wait serves only what it needs: messages other threads send to this one (the write's
// progress among them) and painting, so the window stays drawn. Input, timers and posted messages
// stay queued, and the window is disabled meanwhile, so no handler of the program runs half-way
// through another. The device's own IsBusy applies what the ended write learned.
#pragma once

#include <windows.h>

#include <functional>

#include "model/GenDevice.h"

// Waits while busy() answers true, window disabled (when it was enabled) for the time of the wait.
void WaitWhileBusy(HWND window, const std::function<bool()>& busy);
// A wait of this thread runs: work that must not run inside one (a device notice) is put off.
bool DeviceWaitRunning();

// Waits for the write of the device *device points to, if one runs. The pointer is read anew at
// every look: a notice the wait serves may make the device object again (a device that left).
template <class C, class P>
void WaitForDevice(HWND window, IGenDevice<C, P>* const* device)
{
    WaitWhileBusy(window, [device] { return device && *device && (*device)->IsBusy(); });
}
