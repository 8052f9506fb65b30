#include "model/Mouse.h"

namespace {

constexpr const wchar_t* kProfilePrefix = L"Profile: ";
// A descriptor of this product id does not count a failed DPI step.
constexpr uint32_t kProductIgnoringDpi = 30;

} // namespace

CMouse::CMouse(const DeviceDescriptor& descriptor) : CBaseDevice(descriptor)
{
}

CMouse::~CMouse()
{
    FinishWrites();
}

bool CMouse::Init(IMouseConfig* config)
{
    // The mouse's part: the profiles' DPI limits in the listing, the active profile's buttons, the
    // supported polling rates, and the acceleration range.
    class CHooks final : public CInitHooks
    {
    public:
        explicit CHooks(std::vector<uint32_t>& buttons) : CInitHooks(kFeatureButtons), m_target(buttons) {}
        bool ListsDpi(const CStepContext& context) const override { return context.Has(kFeatureDpi); }
        bool ReadActiveControls(IProfile* active, CDeviceListing& listing) override
        {
            return m_read = ReadButtonList(active, m_buttons, &listing.activeButtons, &listing.activeButtonCount);
        }
        bool ReadDeviceWide(const CStepContext& context, CDeviceListing& listing) override
        {
            return !context.Has(kFeaturePollingRate) || ReadSupportedPollingRates(context.device, m_rates, &listing.polling);
        }
        void Apply(const CStepContext& context, IMouseConfig& config) override
        {
            if (m_read)
                m_target = std::move(m_buttons);
            if (context.Has(kFeatureAcceleration))
                config.SetAccelerationRange(1, 10);
            if (context.Has(kFeaturePollingRate))
                config.SetSupportedPollingRates(m_rates);
        }

    private:
        std::vector<uint32_t>& m_target;
        std::vector<uint32_t> m_buttons;
        std::vector<int32_t> m_rates;
        bool m_read = false;
    } hooks(m_buttons);
    return InitWith(config, hooks);
}

bool CMouse::RefreshVersion()
{
    SettleWrite();
    // Within a read the device is held already; alone, this connects for itself.
    const bool ownConnection = !Device();
    if (ownConnection && !Connect())
        return false;
    m_firmwareVersion = ReadLongFirmwareVersion(Device());
    if (ownConnection)
        Disconnect();
    return true;
}

bool CMouse::WriteBody(const CStepContext& c, IMouseConfig& config, std::vector<CAssignmentConversion>* log)
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
            IMouseProfile* profile = config.GetProfile(i);
            ok = EnsureDeviceProfile(manager.Get(), *profile) && ok;
            CComPtr<IProfile> device = FindDeviceProfile(manager.Get(), profile->GetGuid());
            if (!device) {
                ok = false;
                continue;
            }
            c.Text(kProfilePrefix + profile->GetName());
            c.Percent(10);
            if (c.Runs(kTransferProperties, kFeatureProfileProperties))
                ok = WriteProperties(device.Get(), *profile, profile->GetOsdDpi()) && ok;
            if (c.Runs(kTransferDpi, kFeatureDpi)) {
                const bool dpi = WriteDpi(device.Get(), *profile);
                ok = (dpi || c.descriptor->productId == kProductIgnoringDpi) && ok;
            }
            c.Percent(30);
            if (c.Runs(kTransferButtons, kFeatureButtons)) {
                std::vector<uint32_t> bits;
                if (c.controls)
                    bits = *c.controls;
                if (bits.empty() && !ReadButtonList(device.Get(), bits))
                    ok = false;
                ConvertMouseAssignments(c.device, config, i, bits, log);
                ok = WriteButtons(device.Get(), *profile, bits) && ok;
            }
            c.Percent(60);
            c.Percent(90);
            if (c.Runs(kTransferLighting, kFeatureLighting))
                ok = WriteLighting(device.Get(), *profile) && ok;
            c.Percent(100);
        }
    }
    if (c.Cancelled())
        return false;
    if (c.Runs(kTransferAcceleration, kFeatureAcceleration))
        ok = WriteAcceleration(c.device, config) && ok;
    if (c.Runs(kTransferPollingRate, kFeaturePollingRate))
        ok = WritePollingRate(c.device, config) && ok;
    if (c.Runs(kTransferMacros, kFeatureMacros))
        ok = WriteMacros(c.device, config, c.known) && ok;
    if (c.Runs(kTransferApm, kFeatureApm))
        ok = WriteApm(c.device, config) && ok;
    if (c.Runs(kTransferPowerManagement, kFeaturePowerManagement))
        ok = WritePowerManagement(c.device, config) && ok;
    if (manager && (c.flags & kTransferProfileGroups))
        ok = SetDeviceActiveProfile(manager.Get(), config) && ok;
    return ok && !c.Cancelled();
}

bool CMouse::ReadBody(const CStepContext& c, IMouseConfig& config)
{
    if (!c.device)
        return false;
    bool ok = true;
    if (c.Has(kFeatureProfiles) && (c.flags & kTransferProfileGroups)) {
        ok = ReadDeviceProfiles(c, config, [&](IProfile* device, IMouseProfile& profile, const CListedProfile* listed,
                                               bool active) {
            c.Text(kProfilePrefix + profile.GetName());
            bool read = true;
            if (c.Runs(kTransferProperties, kFeatureProfileProperties))
                read = ReadProperties(device, profile, &profile, listed ? &listed->name : nullptr);
            c.Percent(10);
            if (read && c.Runs(kTransferDpi, kFeatureDpi))
                read = listed && listed->dpi ? ReadDpi(listed->dpi.Get(), profile) : ReadDpi(device, profile);
            c.Percent(30);
            if (read && c.Runs(kTransferButtons, kFeatureButtons))
                read = active && c.listing->activeButtons
                           ? ReadButtons(c.listing->activeButtons.Get(), c.listing->activeButtonCount, profile)
                           : ReadButtons(device, profile);
            c.Percent(60);
            c.Percent(80);
            if (read && c.Runs(kTransferLighting, kFeatureLighting))
                read = ReadLighting(device, profile);
            c.Percent(100);
            return read;
        });
    }
    if (ok && c.Runs(kTransferAcceleration, kFeatureAcceleration))
        ok = ReadAcceleration(c.device, config);
    if (ok && c.Runs(kTransferPollingRate, kFeaturePollingRate))
        ok = c.listing && c.listing->polling ? ReadPollingRate(c.listing->polling.Get(), config)
                                             : ReadPollingRate(c.device, config);
    if (ok && c.Runs(kTransferMacros, kFeatureMacros))
        ok = ReadMacros(c.device, config);
    if (c.Runs(kTransferApm, kFeatureApm))
        ok = ReadApm(c.device, config) && ok;
    if (c.Runs(kTransferBattery, kFeatureBattery))
        ok = ReadBattery(c.device, config) && ok;
    if (c.Runs(kTransferPowerManagement, kFeaturePowerManagement))
        ok = ReadPowerManagement(c.device, config) && ok;
    if (c.Runs(kTransferLongFirmware, kFeatureLongFirmwareVersion))
        ok = RefreshVersion() && ok;
    return ok;
}

bool CMouse::FillImportedProfile(const CStepContext& c, IMouseConfig&, IMouseProfile& profile, IProfile* device)
{
    bool ok = true;
    if (c.Has(kFeatureDpi))
        ok = ReadDpiLimits(device, profile) && ReadDpi(device, profile);
    if (ok && c.Has(kFeatureProfileProperties))
        ok = ReadProperties(device, profile, &profile);
    if (ok && c.Has(kFeatureButtons))
        ok = ReadButtons(device, profile);
    if (ok && c.Has(kFeatureLighting))
        ok = ReadLighting(device, profile);
    return ok;
}
