// The program's device objects: at most one mouse (real or null) and one keyboard (real or null),
// made at start-up, made again when a device arrives or leaves, destroyed at exit. All on the
// user-interface thread.
#pragma once

#include "core/ModelRecords.h"
#include "model/GenDevice.h"

// Makes a mouse on the descriptor and reads the device into config. When that fails, a null mouse
// takes its place and fills config with defaults; its Init's result is returned (false). *device
// receives whichever object now stands for the mouse.
bool CreateMouseDevice(const DeviceDescriptor& descriptor, IGenMouse** device, IMouseConfig* config);
bool CreateKeyboardDevice(const DeviceDescriptor& descriptor, IGenKeyboard** device, IKeyboardConfig* config);
// Destroys the product's device object (real or null) and creates it again on its fixed descriptor.
bool RecreateMouseDevice(IGenMouse** device, IMouseConfig* config);
bool RecreateKeyboardDevice(IGenKeyboard** device, IKeyboardConfig* config);
// Destroys every device object; a write still running is waited for first.
void DestroyDevices();
