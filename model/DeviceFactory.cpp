#include "model/DeviceFactory.h"

#include <memory>

#include "model/Keyboard.h"
#include "model/Mouse.h"
#include "model/NullDevices.h"

namespace {

struct CProgramDevices
{
    std::unique_ptr<CMouse> mouse;
    std::unique_ptr<CNullMouse> nullMouse;
    std::unique_ptr<CKeyboard> keyboard;
    std::unique_ptr<CNullKeyboard> nullKeyboard;
};

CProgramDevices& Devices()
{
    static CProgramDevices devices;
    return devices;
}

template <class Real, class Null, class Config, class Itf>
bool Create(const DeviceDescriptor& descriptor, std::unique_ptr<Real>& real, std::unique_ptr<Null>& null,
            Itf** device, Config* config)
{
    if (device)
        *device = nullptr;
    // At most one of the pair exists: the old objects go before the new one connects.
    real.reset();
    null.reset();
    real = std::make_unique<Real>(descriptor);
    if (real->Init(config)) {
        if (device)
            *device = real.get();
        return true;
    }
    real.reset();
    null = std::make_unique<Null>();
    const bool ok = null->Init(config);
    if (device)
        *device = null.get();
    return ok;
}

} // namespace

bool CreateMouseDevice(const DeviceDescriptor& descriptor, IGenMouse** device, IMouseConfig* config)
{
    CProgramDevices& d = Devices();
    return Create(descriptor, d.mouse, d.nullMouse, device, config);
}

bool CreateKeyboardDevice(const DeviceDescriptor& descriptor, IGenKeyboard** device, IKeyboardConfig* config)
{
    CProgramDevices& d = Devices();
    return Create(descriptor, d.keyboard, d.nullKeyboard, device, config);
}

bool RecreateMouseDevice(IGenMouse** device, IMouseConfig* config)
{
    CProgramDevices& d = Devices();
    d.mouse.reset();
    d.nullMouse.reset();
    return CreateMouseDevice(g_MouseDescriptor, device, config);
}

bool RecreateKeyboardDevice(IGenKeyboard** device, IKeyboardConfig* config)
{
    CProgramDevices& d = Devices();
    d.keyboard.reset();
    d.nullKeyboard.reset();
    return CreateKeyboardDevice(g_KeyboardDescriptor, device, config);
}

void DestroyDevices()
{
    CProgramDevices& d = Devices();
    d.mouse.reset();
    d.nullMouse.reset();
    d.keyboard.reset();
    d.nullKeyboard.reset();
}
