// CDelayTimer: what the tray records of an on-the-fly macro between the keyboard's "start" and "end":
// the keys and the extra mouse buttons that raw input reports, in the middleware's macro record
// format, with the delay between every two of them.
//
// The recording belongs to the device that started it; it lasts from the start until the macro is
// made from it, or the recording is cancelled or aborted. Raw input arrives only between start and
// end (the recording flag); the events are kept while the device waits for the key. The clock is
// passed in, so that a test can feed made-up input at the times it chooses. User-interface thread
// only.
#pragma once

#include "mwapi/HvMwApi.h"

#include <windows.h>

#include <vector>

class CDelayTimer
{
public:
    // No recording belongs to any device.
    static constexpr int kNoDevice = -1;

    // Starts recording for device at now: the events of before are dropped.
    void Start(int deviceId, DWORD now);
    // Stops taking input; the events stay for the macro.
    void Stop();
    // Drops the events and the recording's device.
    void Clear();

    bool IsRecording() const noexcept { return m_recording; }
    // The device the recording (or the wait for its key) belongs to; kNoDevice when none.
    int DeviceId() const noexcept { return m_deviceId; }
    const std::vector<MacroEventRecord>& Events() const noexcept { return m_events; }

    // One raw input record received at now. Keys are recorded by make code and raw flags, a held
    // key's repeats not again; of the mouse only the middle, fourth and fifth buttons. A delay,
    // capped at 0xFFFFFF ms, stands between every two events; none comes before the first. Nothing is
    // recorded beyond the longest macro a device holds.
    void RecordRawInput(const RAWINPUT& input, DWORD now);

private:
    bool Room(size_t events) const;
    void AppendDelay(DWORD now);

    bool m_recording = false;
    int m_deviceId = kNoDevice;
    DWORD m_lastTick = 0;
    std::vector<MacroEventRecord> m_events;
};

// The tray's recording.
CDelayTimer& TheDelayTimer();
