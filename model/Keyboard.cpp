#include "model/Keyboard.h"

CKeyboard::CKeyboard(const DeviceDescriptor& descriptor) : CBaseDevice(descriptor)
{
}

CKeyboard::~CKeyboard()
{
    FinishWrites();
}

bool CKeyboard::Init(IKeyboardConfig* config)
{
    // The keyboard's part: the active profile's key list (its records kept for the read that
    // follows).
    class CHooks final : public CInitHooks
    {
    public:
        explicit CHooks(std::vector<uint32_t>& keys) : CInitHooks(kFeatureKeys), m_target(keys) {}
        bool ListsDpi(const CStepContext&) const override { return false; }
        bool ReadActiveControls(IProfile* active, CDeviceListing& listing) override
        {
            return m_read = listing.activeKeysRead = ReadKeyList(active, m_keys, &listing.activeKeys);
        }
        void Apply(const CStepContext&, IKeyboardConfig&) override
        {
            if (m_read)
                m_target = std::move(m_keys);
        }

    private:
        std::vector<uint32_t>& m_target;
        std::vector<uint32_t> m_keys;
        bool m_read = false;
    } hooks(m_keys);
    return InitWith(config, hooks);
}

bool CKeyboard::SetMode(int mode)
{
    SettleWrite();
    if (!Connect())
        return false;
    CComPtr<IDeviceMode> deviceMode;
    const bool ok = SUCCEEDED(GetDeviceFeature(Device(), deviceMode)) && SUCCEEDED(deviceMode->SetMode(mode));
    Disconnect();
    return ok;
}

bool CKeyboard::GetLayoutCode(int* code)
{
    SettleWrite();
    if (!code)
        return false;
    *code = 0;
    if (!Connect())
        return false;
    CComPtr<IDevice> device(Device());
    CComPtr<IKeyboardDevice> keyboard;
    const bool ok = SUCCEEDED(device.As(keyboard)) && SUCCEEDED(keyboard->GetLayout(code));
    Disconnect();
    return ok;
}

bool CKeyboard::WriteBody(const CStepContext& c, IKeyboardConfig& config, std::vector<CAssignmentConversion>* log)
{
    if (!c.device)
        return false;
    // Every item is written whatever became of the ones before it; any failure fails the write at
    // its end. Only cancelling stops it.
    bool ok = true;
    CComPtr<IProfileManager> manager;
    if (c.Has(kFeatureProfiles) && FAILED(GetDeviceFeature(c.device, manager)))
        ok = false;
    if (manager) {
        ok = DeleteMissingProfiles(manager.Get(), config, c.known);
        for (int i = 0; i < config.GetProfileCount(); ++i) {
            if (c.Cancelled())
                return false;
            IKeyboardProfile* profile = config.GetProfile(i);
            ok = EnsureDeviceProfile(manager.Get(), *profile) && ok;
            CComPtr<IProfile> device = FindDeviceProfile(manager.Get(), profile->GetGuid());
            if (!device) {
                ok = false;
                continue;
            }
            if (c.Runs(kTransferProperties, kFeatureProfileProperties))
                ok = WriteProperties(device.Get(), *profile, false) && ok;
            if (c.Runs(kTransferKeys, kFeatureKeys)) {
                std::vector<uint32_t> codes;
                if (c.controls)
                    codes = *c.controls;
                if (codes.empty() && !ReadKeyList(device.Get(), codes))
                    ok = false;
                ConvertKeyAssignments(c.device, config, i, codes, log);
                ok = WriteKeys(device.Get(), *profile, config, codes) && ok;
            }
            if (c.Runs(kTransferLighting, kFeatureLighting))
                ok = WriteLighting(device.Get(), *profile) && ok;
        }
    }
    if (c.Cancelled())
        return false;
    if (c.Runs(kTransferMacros, kFeatureMacros))
        ok = WriteMacros(c.device, config, c.known) && ok;
    if (c.Runs(kTransferApplications, kFeatureApplications))
        ok = WriteApplications(c.device, config, c.known) && ok;
    if (c.Runs(kTransferApm, kFeatureApm))
        ok = WriteApm(c.device, config) && ok;
    if (c.Runs(kTransferPowerManagement, kFeaturePowerManagement))
        ok = WritePowerManagement(c.device, config) && ok;
    if (manager && (c.flags & kTransferProfileGroups))
        ok = SetDeviceActiveProfile(manager.Get(), config) && ok;
    return ok && !c.Cancelled();
}

bool CKeyboard::ReadBody(const CStepContext& c, IKeyboardConfig& config)
{
    if (!c.device)
        return false;
    bool ok = true;
    if (c.Has(kFeatureProfiles) && (c.flags & kTransferProfileGroups)) {
        ok = ReadDeviceProfiles(c, config, [&](IProfile* device, IKeyboardProfile& profile, const CListedProfile* listed,
                                               bool active) {
            bool read = true;
            if (c.Runs(kTransferProperties, kFeatureProfileProperties))
                read = ReadProperties(device, profile, nullptr, listed ? &listed->name : nullptr);
            if (read && c.Runs(kTransferKeys, kFeatureKeys)) {
                // The active profile's key records came with Init's key list.
                if (active && c.listing->activeKeysRead)
                    StoreKeys(c.listing->activeKeys, profile, config);
                else
                    read = ReadKeys(device, profile, config);
            }
            if (read && c.Runs(kTransferLighting, kFeatureLighting))
                read = ReadLighting(device, profile);
            return read;
        });
    }
    if (ok && c.Runs(kTransferMacros, kFeatureMacros))
        ok = ReadMacros(c.device, config);
    if (ok && c.Runs(kTransferApplications, kFeatureApplications))
        ok = ReadApplications(c.device, config);
    if (c.Runs(kTransferApm, kFeatureApm))
        ok = ReadApm(c.device, config) && ok;
    if (c.Runs(kTransferBattery, kFeatureBattery))
        ok = ReadBattery(c.device, config) && ok;
    if (c.Runs(kTransferPowerManagement, kFeaturePowerManagement))
        ok = ReadPowerManagement(c.device, config) && ok;
    return ok;
}

bool CKeyboard::FillImportedProfile(const CStepContext& c, IKeyboardConfig& config, IKeyboardProfile& profile,
                                    IProfile* device)
{
    bool ok = true;
    if (c.Has(kFeatureProfileProperties))
        ok = ReadProperties(device, profile, nullptr);
    if (ok && c.Has(kFeatureKeys))
        ok = ReadKeys(device, profile, config);
    if (ok && c.Has(kFeatureLighting))
        ok = ReadLighting(device, profile);
    return ok;
}
