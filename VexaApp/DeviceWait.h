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

#include "GenDevice.h"

// Waits while busy() answers true, window disabled (when it was enabled) for the time of the wait.
void WaitWhileBusy(HWND window, const std::function<bool()>& busy);

// Waits for the device's write, if one runs; nothing for a null device pointer.
template <class C, class P>
void WaitForDevice(HWND window, IGenDevice<C, P>* device)
{
    if (device)
        WaitWhileBusy(window, [device] { return device->IsBusy(); });
}
