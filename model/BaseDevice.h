// What the mouse and the keyboard device objects share: connecting to the middleware for each
// operation (or taking the device from the shared connection while one exists, SharedConnection.h),
// the write worker, the synchronous read, version texts, macro and profile import and
// export, and the progress messenger the front end registers its windows with.
//
// Threads: every operation runs on the thread that owns the device object (the user-interface
// thread), except the write body, which runs on the one worker a write starts. The worker owns the
// middleware objects and the configuration copy it writes; this object owns the worker and joins
// it. While a write runs, every other operation fails before it creates anything. A read or an
// Init that fails leaves the configuration's profiles, macros, applications and settings as they
// were (ConfigSnapshot.h); a write deletes only device items that reads showed the configuration.
//
// Re-entry: the waits for the worker (at the start of every operation once the write has ended,
// and in the destructor) serve only the messages other threads send to this one (the worker's
// progress to listener windows among them); posted and input messages stay queued. A handler a
// wait runs may call any operation: until the waiting frame has settled the write, those that need
// the device fail as during the write, and none frees what the waiting frame uses. The device must
// not be deleted from inside one of its own operations.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "model/ConfigSnapshot.h"
#include "model/DeviceSteps.h"
#include "model/GenDevice.h"
#include "model/SharedConnection.h"
#include "platform/ComPtr.h"
#include "platform/ProgressMessenger.h"
#include "platform/Thread.h"

template <class ConfigItf, class ProfileItf>
class CBaseDevice : public IGenDevice<ConfigItf, ProfileItf>, public CProgressMessenger
{
public:
    // How long destruction waits for a running write before it asks the write to stop (and then
    // waits for it to stop: the device is never torn down under its worker).
    static constexpr DWORD kWriteJoinMs = 7500;
    // The worker holds the device this long after the last step of a write.
    static constexpr DWORD kWriteSettleMs = 500;

    ~CBaseDevice() override;

    void Uninit() override;
    bool IsBusy() override;
    WriteOutcome TakeWriteOutcome(bool wait) override;
    bool ImportMacro(const wchar_t* path, ConfigItf* config, ImportResult* result = nullptr) override;
    bool ExportMacro(const wchar_t* path, const CMacro* macro) override;
    bool HasMacro(const CMacro* macro) override;
    bool ImportProfile(const wchar_t* path, ConfigItf* config, ImportResult* result = nullptr) override;
    bool ExportProfile(const wchar_t* path, ProfileItf* profile) override;
    bool HasProfile(ProfileItf* profile) override;
    bool SetDefaultMode() override { return false; }
    bool SetNormalMode() override { return false; }
    bool GetLayoutCode(int* code) override;
    bool Transfer(ConfigItf* config, int direction, uint32_t flags) override;
    bool IsDeviceFound() override;
    bool GetFirmwareVersion(std::wstring& text) override;
    bool GetDriverVersion(std::wstring& text) override;
    bool Probe() override;
    uint32_t GetProductId() override;
    const wchar_t* GetName() override;
    int GetProfileCount() override;
    void AddListener(HWND window) override;
    void RemoveListener(HWND window) override;
    CProgressMessenger* GetMessenger() override;

protected:
    explicit CBaseDevice(const DeviceDescriptor& descriptor);

    // Opens the first device of the descriptor's product (from the shared connection while one
    // exists); false when the middleware or the device is missing, or while a write runs (then
    // nothing is created or released).
    bool Connect();
    void Disconnect();
    // On a shared connection, what Init listed stays there for the read that follows; a read takes it
    // (null when there is none), and whatever changes the device's items drops it.
    void KeepListing(std::unique_ptr<CDeviceListing> listing);
    std::unique_ptr<CDeviceListing> TakeListing();
    void ForgetListing() { TakeListing(); }
    IDevice* Device() const { return m_device.Get(); }
    CStepContext Context(uint32_t flags, bool withProgress);

    // What Init reads and sets its own way on each product (InitWith). The hooks keep what they
    // read until Apply, which comes only once every read has succeeded.
    class CInitHooks
    {
    public:
        // The feature of the controls the active profile lists (kFeatureKeys, kFeatureButtons):
        // without it Init does not look for the active profile, and keeps no listing.
        const uint32_t controlsFeature;

        explicit CInitHooks(uint32_t feature) : controlsFeature(feature) {}
        // Whether the profile listing reads each profile's DPI limits too.
        virtual bool ListsDpi(const CStepContext& context) const = 0;
        // Reads the active profile's controls; what the read that follows can use goes to listing.
        virtual bool ReadActiveControls(IProfile* active, CDeviceListing& listing) = 0;
        // The device-wide reads, after the profile listing and before the profiles are made; none
        // unless the product has its own.
        virtual bool ReadDeviceWide(const CStepContext&, CDeviceListing&) { return true; }
        // Everything was read: the device object and the configuration take what the hooks read,
        // before the device-wide values are reset.
        virtual void Apply(const CStepContext& context, ConfigItf& config) = 0;

    protected:
        ~CInitHooks() = default;
    };
    // Init's one sequence for both products: settles a write, connects, reads the versions, lists
    // the profiles and the active one's controls, reads the device-wide values, makes the listed
    // profiles in config, then (everything read) applies it all, and disconnects. On a shared
    // connection the listing stays for the read that follows.
    bool InitWith(ConfigItf* config, CInitHooks& hooks);
    // The version texts from the device information the connection read; "0.00" when it has none.
    bool ReadVersionTexts();
    // The items the configuration holds now count as shown to it (CKnownItems): a later write may
    // delete them from the device once the configuration lets them go.
    void KnowItemsOf(const ConfigItf& config) { m_known.AddAll(config); }
    // Waits for a running write (see kWriteJoinMs) and applies what it learned. The derived
    // destructors call it first, while their write body still exists.
    void FinishWrites();
    // Joins a write whose worker has ended and applies what it learned to the live configuration;
    // false while a write still runs. Every public operation calls it first, so that whatever the
    // caller looks at next (a macro's GUID, a converted assignment) already holds the write's results.
    bool SettleWrite();
    // The device's controls a write goes through: key codes (keyboard) or button bits (mouse). The
    // write works on its own copy, taken when it starts.
    virtual const std::vector<uint32_t>& Controls() const { return m_keys; }

    // The bodies of a write (on the worker, with a copy of the configuration; by-name conversions
    // go to log) and of a read (on this thread).
    virtual bool WriteBody(const CStepContext& context, ConfigItf& config,
                           std::vector<CAssignmentConversion>* log) = 0;
    virtual bool ReadBody(const CStepContext& context, ConfigItf& config) = 0;
    // Fills a profile just imported from the device's copy of it.
    virtual bool FillImportedProfile(const CStepContext& context, ConfigItf& config, ProfileItf& profile,
                                     IProfile* device) = 0;

    const DeviceDescriptor& m_descriptor;
    bool m_found = false;
    std::wstring m_firmwareVersion;
    std::wstring m_driverVersion;
    std::vector<uint32_t> m_keys;   // device key codes (keyboard)

private:
    struct CWriteJob
    {
        std::unique_ptr<CWriteSnapshot<ConfigItf>> snapshot;
        ConfigItf* live = nullptr;
        uint32_t flags = 0;
        CComPtr<IDeviceEnumerator> root;
        CComPtr<IDevice> device;
        std::vector<uint32_t> controls;
        CKnownItems known;
        bool result = false;
    };

    // Marks a frame of this thread that waits for the worker, for as long as it waits.
    class CJoining
    {
    public:
        explicit CJoining(bool& flag) : m_flag(flag) { m_flag = true; }
        ~CJoining() { m_flag = false; }
        CJoining(const CJoining&) = delete;
        CJoining& operator=(const CJoining&) = delete;

    private:
        bool& m_flag;
    };

    // Applies what the joined worker learned to the live configuration and frees the worker.
    void ApplyEndedWrite();
    bool StartWorker(ConfigItf& config, uint32_t flags);
    bool ReadNow(ConfigItf& config, uint32_t flags);
    unsigned WorkerMain();

    CComPtr<IDeviceEnumerator> m_root;
    CComPtr<IDevice> m_device;
    DeviceInfo m_facts{};   // of m_device, as the walk that found it read them (no name)
    CSharedConnection::CEntry* m_shared = nullptr;   // where m_device came from, while connected
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_cancel{false};
    bool m_joining = false;   // a frame of this thread waits for the worker (see Re-entry above)
    std::unique_ptr<CWriteJob> m_job;
    std::unique_ptr<CThread> m_worker;
    CKnownItems m_known;
    WriteOutcome m_outcome = kWriteNone;   // of the last write applied, until taken
};

// The first profile of the device's list with that GUID (a null GUID finds none).
CComPtr<IProfile> DeviceProfileById(IDevice* device, const GUID& guid);
