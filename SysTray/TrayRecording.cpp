// On-the-fly macro recording in the tray dialog: the keyboard reports the steps of a recording it
// runs itself; between its start and its end the dialog records keys and the extra mouse buttons
// through raw input (DelayTimer.h), and when the device names the key, the events become its new
// macro. The device is in its default mode while it records, and its macro-record LED shows the step.
#include "SysTray/VexaSysTrayDlg.h"

#include "platform/RawInput.h"
#include "SysTray/DelayTimer.h"

namespace {

void StopRawInput()
{
    TheRawInputRegistration().Unregister();
}

} // namespace

void CVexaSysTrayDlg::OnMacroRecordStart(int deviceId)
{
    {
        CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
        device->BeginMacroRecording();
    }
    TheDelayTimer().Start(deviceId, ::GetTickCount());
    RawInputRegistration& registration = TheRawInputRegistration();
    if (registration.IsRegistered())
        return; // a start without an end: the keys already come here
    registration.AddUsage(kUsageKeyboard);
    registration.AddUsage(kUsageMouse);
    // A refusal is reported by the registration; the recording then holds no input.
    registration.Register(m_hWnd);
}

void CVexaSysTrayDlg::OnMacroRecordEnd(int deviceId)
{
    {
        CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
        device->EndMacroRecording();
    }
    StopRawInput();
    TheDelayTimer().Stop();
}

void CVexaSysTrayDlg::OnMacroRecordCancel(int deviceId)
{
    {
        CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
        device->CancelMacroRecording();
    }
    StopRawInput();
    TheDelayTimer().Clear();
}

void CVexaSysTrayDlg::OnMacroKeyAssigned(int deviceId, int first, int key)
{
    {
        CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
        device->FinishMacroRecording(first, key, TheDelayTimer().Events());
    }
    // A device that names the key without ending first leaves no registration behind.
    StopRawInput();
    TheDelayTimer().Clear();
}

void CVexaSysTrayDlg::CancelAllMacroRecordings()
{
    for (const DeviceSlotInfo& slot : kDeviceSlots)
        OnMacroRecordCancel(static_cast<int>(slot.productId));
}

void CVexaSysTrayDlg::AbortMacroRecording(int deviceId)
{
    // A recording belongs to the device that started it: another device going away leaves it alone.
    if (TheDelayTimer().DeviceId() != deviceId)
        return;
    {
        CScopedDevice device(TheDeviceManager(), static_cast<DWORD>(deviceId));
        device->AbortMacroRecording();
    }
    StopRawInput();
    TheDelayTimer().Clear();
}

void CVexaSysTrayDlg::RecordRawInput(HRAWINPUT input)
{
    if (!TheDelayTimer().IsRecording())
        return;
    std::vector<BYTE> buffer;
    if (const RAWINPUT* record = ReadRawInput(input, buffer))
        TheDelayTimer().RecordRawInput(*record, ::GetTickCount());
}
