// The handler interfaces through which the tray's event connections hand the middleware's events to
// the tray dialog. Every call carries the product id of the device that reported the event and runs
// on the tray's user-interface thread (the thread that advised the sinks), inside the middleware's
// call of the sink: a handler may unregister the very connection that called it.
#pragma once

#include <windows.h>

struct IDpiEventHandler
{
    virtual void OnDpiChanged(int deviceId, int dpiX, int dpiY) = 0;

protected:
    ~IDpiEventHandler() = default;
};

struct IProfileEventHandler
{
    virtual void OnActiveProfileChanged(int deviceId, int value) = 0;

protected:
    ~IProfileEventHandler() = default;
};

struct IMacroEventHandler
{
    virtual void OnMacroRecordStart(int deviceId) = 0;
    virtual void OnMacroRecordEnd(int deviceId) = 0;
    virtual void OnMacroRecordCancel(int deviceId) = 0;
    // first: the kind the device reported (2 for a key); key: the device key code (the make code,
    // plus 0x20000 for E0 keys and 0x40000 for Pause).
    virtual void OnMacroKeyAssigned(int deviceId, int first, int key) = 0;

protected:
    ~IMacroEventHandler() = default;
};

struct ILaunchAppEventHandler
{
    // programPath belongs to the middleware and is valid during the call only.
    virtual void OnLaunchApp(int deviceId, int action, const wchar_t* programPath) = 0;

protected:
    ~ILaunchAppEventHandler() = default;
};

// What the tray dialog implements: every handler the device manager connects.
struct IDeviceCallbacksHandler : IDpiEventHandler, IProfileEventHandler, IMacroEventHandler, ILaunchAppEventHandler
{
protected:
    ~IDeviceCallbacksHandler() = default;
};
