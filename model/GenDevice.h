// One device as the configuration front end sees it: read it into a configuration, write a
// configuration back, import and export macros and profiles, version texts, progress listeners.
// The real devices (CMouse, CKeyboard) reach the hardware through the middleware and connect for
// each operation, or take the device from a shared connection while one exists (SharedConnection.h);
// the null devices stand in where a device does not answer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "model/ConfigInterfaces.h"
#include "model/ImportCheck.h"
#include "model/Macro.h"

class CProgressMessenger;

// The feature groups a transfer moves. The front end always passes kTransferAll.
enum TransferFlags : uint32_t
{
    kTransferButtons = 0x1,
    kTransferKeys = 0x2,
    kTransferLighting = 0x4,
    kTransferDpi = 0x8,
    kTransferMacros = 0x10,
    kTransferPollingRate = 0x20,
    kTransferAcceleration = 0x40,
    kTransferApm = 0x80,
    kTransferProperties = 0x100,
    kTransferApplications = 0x200,
    kTransferBattery = 0x400,
    kTransferPowerManagement = 0x800,
    kTransferLongFirmware = 0x1000,
    // Any of these runs the profile loop of a read and sets the active profile at the end of a write.
    kTransferProfileGroups = 0x30F,
    kTransferAll = 0xFFF,
};

enum TransferDirection : int
{
    kTransferWrite = 0,   // on a worker thread; progress goes to the listeners
    kTransferRead = 1,    // on the calling thread
};

// How the last write of a device object ended, as the front end tells the user.
enum WriteOutcome : int
{
    kWriteNone = 0,        // no write ended since the outcome was last taken
    kWriteSucceeded = 1,   // every item of the write reached the device
    kWriteFailed = 2,      // some item could not be written, or the device left during the write
};

template <class ConfigItf, class ProfileItf>
class IGenDevice
{
public:
    virtual ~IGenDevice() = default;

    // Reads the device's profiles (names, GUIDs, DPI limits) and device-wide facts into config.
    // False when the device does not answer; the factory then puts a null device in place.
    virtual bool Init(ConfigItf* config) = 0;
    virtual void Uninit() = 0;
    // A write runs. Every other device operation fails meanwhile.
    virtual bool IsBusy() = 0;
    // The outcome of the write that ended last, handed out once; kWriteNone while a write still
    // runs (unless wait is set) or when none ended since the last call. With wait set, a running
    // write is waited for first, as destruction waits for it (serving only messages other threads
    // send), so that a device about to be replaced still tells how its last write went.
    virtual WriteOutcome TakeWriteOutcome(bool wait) = 0;

    // Imports a macro file into the device and the configuration; *result (when given) tells
    // why a file was not taken. A file not taken leaves nothing on the device.
    virtual bool ImportMacro(const wchar_t* path, ConfigItf* config, ImportResult* result = nullptr) = 0;
    virtual bool ExportMacro(const wchar_t* path, const CMacro* macro) = 0;
    // The device holds a macro with the macro's GUID.
    virtual bool HasMacro(const CMacro* macro) = 0;
    // The same for a profile file.
    virtual bool ImportProfile(const wchar_t* path, ConfigItf* config, ImportResult* result = nullptr) = 0;
    virtual bool ExportProfile(const wchar_t* path, ProfileItf* profile) = 0;
    virtual bool HasProfile(ProfileItf* profile) = 0;

    // Keyboard device modes; false on the mouse.
    virtual bool SetDefaultMode() = 0;
    virtual bool SetNormalMode() = 0;
    virtual bool GetLayoutCode(int* code) = 0;

    // Direction kTransferWrite starts the write worker on a snapshot of config and returns whether
    // it started; what the device gives the written configuration (GUIDs of new profiles, macros
    // and applications, by-name assignments turned into by-GUID ones) reaches config on this
    // thread once the worker has ended: every operation on the device applies it first, and so
    // does its destruction. config must outlive both. Direction kTransferRead reads the device into config on this thread.
    virtual bool Transfer(ConfigItf* config, int direction, uint32_t flags) = 0;

    virtual bool IsDeviceFound() = 0;
    virtual bool GetFirmwareVersion(std::wstring& text) = 0;
    virtual bool GetDriverVersion(std::wstring& text) = 0;
    // Asks the device whether it answers.
    virtual bool Probe() = 0;
    virtual uint32_t GetProductId() = 0;
    virtual const wchar_t* GetName() = 0;
    virtual int GetProfileCount() = 0;

    // Progress of a write goes to these windows (WM_PROGRESS_PERCENT, WM_PROGRESS_TEXT).
    virtual void AddListener(HWND window) = 0;
    virtual void RemoveListener(HWND window) = 0;
    virtual CProgressMessenger* GetMessenger() = 0;
};

using IGenMouse = IGenDevice<IMouseConfig, IMouseProfile>;
using IGenKeyboard = IGenDevice<IKeyboardConfig, IKeyboardProfile>;
