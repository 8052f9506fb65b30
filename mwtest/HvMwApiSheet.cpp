#include "mwtest/HvMwApiSheet.h"

CHvMwApiSheet::CHvMwApiSheet() : CPropertySheet(L"Halvo Middleware Test Application")
{
}

CHvMwApiSheet::~CHvMwApiSheet()
{
    Release();
}

void CHvMwApiSheet::Release()
{
    m_device.Reset();
    m_root.Reset();
}

BOOL CHvMwApiSheet::OnInitDialog()
{
    // Without a middleware the sheet still opens: the device list stays empty.
    ::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(m_root.Put()));
    return CPropertySheet::OnInitDialog();
}
