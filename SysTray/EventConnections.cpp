#include "SysTray/EventConnections.h"

CDpiEventConnection::CDpiEventConnection(int productId, IDpi* dpi, IDpiEventHandler* handler)
    : CSinkConnection(productId, dpi, CDpiEventSink::Create(productId, handler))
{
    int minimum = 0, maximum = 0, step = 0;
    if (m_feature && SUCCEEDED(m_feature->GetRange(&minimum, &maximum, &step))) {
        m_rangeRead = true;
        m_minimum = minimum;
        m_maximum = maximum;
        m_step = step;
    }
}

bool CDpiEventConnection::GetDpiRange(int* minimum, int* maximum, int* step) const
{
    if (minimum)
        *minimum = m_minimum;
    if (maximum)
        *maximum = m_maximum;
    if (step)
        *step = m_step;
    return m_rangeRead;
}

CProfileEventConnection::CProfileEventConnection(int productId, IProfileManager* manager,
                                                 IProfileEventHandler* handler)
    : CSinkConnection(productId, manager, CProfileEventSink::Create(productId, handler))
{
}

CMacroEventConnection::CMacroEventConnection(int productId, IOtfMacroRecording* recording,
                                             IMacroEventHandler* handler)
    : CSinkConnection(productId, recording, CMacroEventSink::Create(productId, handler))
{
}

CLaunchAppEventConnection::CLaunchAppEventConnection(int productId, IApplicationList* applications,
                                                     ILaunchAppEventHandler* handler)
    : CSinkConnection(productId, applications, CLaunchAppEventSink::Create(productId, handler))
{
}

CAudioSyncEventConnection::CAudioSyncEventConnection(int productId, IAudioSync* audioSync, IDevice* device)
    : IDeviceCallback(productId), m_audioSync(audioSync), m_device(device)
{
    Connect();
}

CAudioSyncEventConnection::~CAudioSyncEventConnection()
{
    Disconnect();
}

void CAudioSyncEventConnection::Connect()
{
    if (m_audioSync)
        m_audioSync->SetEnabled(TRUE);
}

void CAudioSyncEventConnection::Disconnect()
{
    if (m_audioSync)
        m_audioSync->SetEnabled(FALSE);
}
