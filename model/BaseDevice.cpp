#include "model/BaseDevice.h"

#include "model/CodeTables.h"
#include "platform/WStr.h"

namespace {

std::wstring VersionText(DWORD major, DWORD minor)
{
    return wstr::Format(L"%d.%02d", static_cast<int>(major), static_cast<int>(minor));
}

// The name of an imported item (getName: its GetName), checked as a typed name is. The text of a
// name with a NUL in it ends at the NUL: the block the middleware allocated tells whether more
// follows it, which a plain string would cut off unseen.
template <class GetName>
ImportOutcome ReadImportedName(GetName&& getName, std::wstring& name)
{
    name.clear();
    LPWSTR text = nullptr;
    if (FAILED(getName(&text)) || !text) {
        ::CoTaskMemFree(text);
        return ImportOutcome::NotRead;
    }
    size_t chars = 0;
    CComPtr<IMalloc> allocator;
    if (SUCCEEDED(::CoGetMalloc(1, allocator.Put()))) {
        const SIZE_T bytes = allocator->GetSize(text);
        if (bytes != static_cast<SIZE_T>(-1))
            chars = bytes / sizeof(wchar_t);
    }
    const size_t length = chars ? wcsnlen(text, chars) : wcslen(text);
    bool more = false;
    for (size_t i = length + 1; i < chars && !more; ++i)
        more = text[i] != L'\0';
    name.assign(text, length);
    ::CoTaskMemFree(text);
    if (more)
        return ImportOutcome::NameControl;
    return CheckItemName(name);
}

void Tell(ImportResult* result, ImportOutcome outcome, const std::wstring& name)
{
    if (result)
        *result = ImportResult{outcome, name};
}

} // namespace

CComPtr<IProfile> DeviceProfileById(IDevice* device, const GUID& guid)
{
    CComPtr<IProfileManager> manager;
    if (FAILED(GetDeviceFeature(device, manager)))
        return CComPtr<IProfile>();
    return FindDeviceProfile(manager.Get(), guid);
}

template <class C, class P>
CBaseDevice<C, P>::CBaseDevice(const DeviceDescriptor& descriptor) : m_descriptor(descriptor)
{
}

template <class C, class P>
CBaseDevice<C, P>::~CBaseDevice()
{
    FinishWrites();
    Disconnect();
}

template <class C, class P>
void CBaseDevice<C, P>::FinishWrites()
{
    if (!m_worker)
        return;
    {
        CJoining joining(m_joining);
        // The worker may be sending progress to a window of this thread: its sends are served,
        // and the handlers they run find every operation refused until the write is settled here.
        if (!m_worker->JoinDispatchingSent(kWriteJoinMs)) {
            m_cancel = true;
            m_worker->JoinDispatchingSent(INFINITE);
        }
    }
    ApplyEndedWrite();
}

template <class C, class P>
bool CBaseDevice<C, P>::SettleWrite()
{
    if (!m_worker)
        return true;
    // While a frame of this thread further out waits for the worker (this call comes from a handler
    // its wait dispatched), only that frame joins and frees the worker.
    if (m_busy || m_joining)
        return false;
    {
        // The worker has finished its work and is leaving its thread.
        CJoining joining(m_joining);
        if (!m_worker->JoinDispatchingSent(kWriteJoinMs))
            return false;
    }
    ApplyEndedWrite();
    return true;
}

template <class C, class P>
void CBaseDevice<C, P>::ApplyEndedWrite()
{
    ApplySnapshot(*m_job->snapshot, *m_job->live);
    m_known.AddAll(*m_job->snapshot->config);
    m_outcome = m_job->result ? kWriteSucceeded : kWriteFailed;
    m_job.reset();
    m_worker.reset();
    m_busy = false;
}

template <class C, class P>
bool CBaseDevice<C, P>::Connect()
{
    if (!SettleWrite() || m_busy || m_device)
        return false;
    if (m_descriptor.productId == 0)
        return false;
    if (CSharedConnection* shared = CSharedConnection::Current()) {
        CSharedConnection::CEntry* entry = shared->Find(m_descriptor.productId);
        m_found = entry != nullptr;
        if (!entry)
            return false;
        m_root = CComPtr<IDeviceEnumerator>(shared->Root());
        m_device = entry->device;
        m_facts = entry->facts;
        m_shared = entry;
        return true;
    }
    CComPtr<IDeviceEnumerator> root;
    if (FAILED(::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put()))))
        return false;
    CComPtr<IDevice> found;
    for (int i = 0; !found && i < kMaxDeviceListWalk; ++i) {
        CComPtr<IDevice> device;
        if (FAILED(root->EnumDevice(i, device.Put())))
            break;
        DeviceInfo info{};
        if (SUCCEEDED(device->GetDeviceInfo(&info)) && info.productId == m_descriptor.productId) {
            found = device;
            m_facts = info;
        }
        ::CoTaskMemFree(info.name);
        m_facts.name = nullptr;
    }
    m_found = static_cast<bool>(found);
    if (!found)
        return false;
    m_root = std::move(root);
    m_device = std::move(found);
    return true;
}

template <class C, class P>
void CBaseDevice<C, P>::Disconnect()
{
    if (m_descriptor.productId == 0)
        return;
    m_device.Reset();
    m_root.Reset();
    m_shared = nullptr;
}

template <class C, class P>
void CBaseDevice<C, P>::KeepListing(std::unique_ptr<CDeviceListing> listing)
{
    if (m_shared)
        m_shared->listing = std::move(listing);
}

template <class C, class P>
std::unique_ptr<CDeviceListing> CBaseDevice<C, P>::TakeListing()
{
    return m_shared ? std::move(m_shared->listing) : nullptr;
}

template <class C, class P>
CStepContext CBaseDevice<C, P>::Context(uint32_t flags, bool withProgress)
{
    CStepContext context;
    context.device = m_device.Get();
    context.descriptor = &m_descriptor;
    context.flags = flags;
    context.progress = withProgress ? this : nullptr;
    context.cancel = &m_cancel;
    return context;
}

template <class C, class P>
bool CBaseDevice<C, P>::InitWith(C* config, CInitHooks& hooks)
{
    SettleWrite();
    if (!config)
        return false;
    FillCodeTables();
    if (!Connect())
        return false;
    const CStepContext context = Context(kTransferAll, false);
    // Everything is read before the configuration changes: a failed call leaves it as it was.
    bool ok = true;
    if (context.Has(kFeatureVersions))
        ok = ReadVersionTexts();
    auto listing = std::make_unique<CDeviceListing>();
    if (ok && context.Has(kFeatureProfiles)) {
        ok = SUCCEEDED(GetDeviceFeature(Device(), listing->manager)) &&
             ListDeviceProfiles(listing->manager.Get(), hooks.ListsDpi(context), listing->profiles);
        if (ok && context.Has(hooks.controlsFeature))
            ok = ReadActiveProfile(listing->manager.Get(), [&](IProfile* active) {
                listing->active = CComPtr<IProfile>(active);
                return hooks.ReadActiveControls(active, *listing);
            });
    }
    if (ok)
        ok = hooks.ReadDeviceWide(context, *listing);
    if (ok && context.Has(kFeatureProfiles))
        ok = CreateListedProfiles(listing->profiles, *config);
    if (ok) {
        hooks.Apply(context, *config);
        if (context.Has(kFeatureBattery))
            config->ResetBatteryRange();
        // Nothing of the device has been read into the device-wide values yet.
        config->SetFilled(CConfigFilled());
        KnowItemsOf(*config);
        // A read that follows on a shared connection goes on from here. It needs to know the active
        // profile: without the controls Init did not look for it, and that read lists for itself.
        if (context.Has(kFeatureProfiles) && context.Has(hooks.controlsFeature))
            KeepListing(std::move(listing));
    }
    Disconnect();
    return ok;
}

template <class C, class P>
bool CBaseDevice<C, P>::ReadVersionTexts()
{
    // The walk that found the device read its information a moment ago: it is not asked again.
    if (!m_device) {
        m_firmwareVersion = m_driverVersion = wstr::Format(L"%.2f", 0.0);
        return false;
    }
    m_firmwareVersion = VersionText(m_facts.firmwareMajor, m_facts.firmwareMinor);
    m_driverVersion = VersionText(m_facts.driverMajor, m_facts.driverMinor);
    return true;
}

template <class C, class P>
void CBaseDevice<C, P>::Uninit()
{
    // A running write works on its own copy of the key list: clearing this one cannot reach it.
    SettleWrite();
    if (!m_busy)
        Disconnect();
    m_found = false;
    m_keys.clear();
}

template <class C, class P>
bool CBaseDevice<C, P>::IsBusy()
{
    SettleWrite();
    return m_busy;
}

template <class C, class P>
WriteOutcome CBaseDevice<C, P>::TakeWriteOutcome(bool wait)
{
    if (wait && !m_joining)
        FinishWrites();
    else
        SettleWrite();
    if (m_busy || m_worker)
        return kWriteNone;
    const WriteOutcome outcome = m_outcome;
    m_outcome = kWriteNone;
    return outcome;
}

template <class C, class P>
bool CBaseDevice<C, P>::Transfer(C* config, int direction, uint32_t flags)
{
    SettleWrite();
    if (!config)
        return false;
    if (direction == kTransferWrite)
        return StartWorker(*config, flags);
    if (direction == kTransferRead)
        return ReadNow(*config, flags);
    return false;
}

template <class C, class P>
bool CBaseDevice<C, P>::StartWorker(C& config, uint32_t flags)
{
    // Refused before anything is made: a running write keeps its connection untouched.
    if (!SettleWrite() || m_busy)
        return false;
    auto job = std::make_unique<CWriteJob>();
    job->snapshot = TakeSnapshot(config);
    job->live = &config;
    job->flags = flags;
    job->controls = Controls();
    job->known = m_known;
    if (!Connect())
        return false;
    ForgetListing();
    job->root = std::move(m_root);
    job->device = std::move(m_device);
    m_job = std::move(job);
    m_cancel = false;
    m_busy = true;
    auto worker = std::make_unique<CThread>();
    if (!worker->Start([this] { return WorkerMain(); })) {
        // The device must not stay held by a write that never ran.
        m_job.reset();
        m_busy = false;
        return false;
    }
    m_worker = std::move(worker);
    return true;
}

template <class C, class P>
unsigned CBaseDevice<C, P>::WorkerMain()
{
    CWriteJob& job = *m_job;
    bool ok = false;
    try {
        CStepContext context;
        context.device = job.device.Get();
        context.descriptor = &m_descriptor;
        context.flags = job.flags;
        context.progress = this;
        context.cancel = &m_cancel;
        context.controls = &job.controls;
        context.known = &job.known;
        ok = WriteBody(context, *job.snapshot->config, &job.snapshot->conversions);
        // A device that left during the write, after its last call, has not kept what it took.
        DeviceInfo info{};
        if (ok && FAILED(job.device->GetDeviceInfo(&info)))
            ok = false;
        ::CoTaskMemFree(info.name);
    } catch (...) {
        // The messenger's lock not obtained in time, or memory exhausted: the write has failed.
        ok = false;
    }
    if (!m_cancel)
        ::Sleep(kWriteSettleMs);
    job.result = ok;
    job.device.Reset();
    job.root.Reset();
    m_busy = false;
    return ok ? 1u : 0u;
}

template <class C, class P>
bool CBaseDevice<C, P>::ReadNow(C& config, uint32_t flags)
{
    if (!Connect())
        return false;
    // Right after an Init on the same connection, the read goes on from what that Init listed.
    const std::unique_ptr<CDeviceListing> listing = TakeListing();
    m_busy = true;
    bool ok = false;
    try {
        // Read into a copy, handed over whole only when every step succeeded.
        std::unique_ptr<C> read = CopyForRead(config);
        CStepContext context = Context(flags, true);
        context.listing = listing.get();
        ok = ReadBody(context, *read);
        if (ok)
            ok = CommitRead(*read, config);
        else
            CommitReadStatus(*read, config);
        if (ok) {
            // The lists a read replaced are known as it found them: an item a list cut short left
            // out is not one a write may delete.
            if (flags & kTransferMacros)
                m_known.macros.clear();
            if (flags & kTransferApplications)
                m_known.apps.clear();
            m_known.AddAll(config);
        }
    } catch (...) {
        ok = false;
    }
    Disconnect();
    m_busy = false;
    return ok;
}

template <class C, class P>
bool CBaseDevice<C, P>::ImportMacro(const wchar_t* path, C* config, ImportResult* result)
{
    Tell(result, ImportOutcome::NoDevice, std::wstring());
    SettleWrite();
    if (!path || !config || !Connect())
        return false;
    ForgetListing();
    ImportOutcome outcome = ImportOutcome::NotRead;
    std::wstring name;
    CComPtr<IMacroManager> manager;
    CComPtr<IMacro> imported;
    if (SUCCEEDED(GetDeviceFeature(m_device.Get(), manager)) && SUCCEEDED(manager->ImportMacro(path, imported.Put()))) {
        GUID id{};
        const bool identified = SUCCEEDED(imported->GetId(&id));
        // A middleware may hand back a macro it held already: one the configuration knows is
        // neither added twice nor deleted.
        const CMacro* held = identified ? config->FindMacroByGuid(id) : nullptr;
        MacroEventBlock* block = nullptr;
        if (held) {
            outcome = ImportOutcome::NameInUse;
            name = held->GetName();
        } else if (identified) {
            outcome = ReadImportedName([&](LPWSTR* text) { return imported->GetName(text); }, name);
            if (outcome == ImportOutcome::Imported && config->FindMacroByName(name.c_str()))
                outcome = ImportOutcome::NameInUse;
            if (outcome == ImportOutcome::Imported && FAILED(imported->GetEvents(&block)))
                outcome = ImportOutcome::NotRead;
        }
        if (outcome == ImportOutcome::Imported) {
            const std::vector<MacroEvent> events = FromDeviceEvents(block);
            if (CMacro* macro = config->AddMacro(name.c_str(), events)) {
                macro->SetGuid(id);
                macro->SetFilePath(path);
                m_known.AddAll(*config);
            } else {
                outcome = ImportOutcome::NameInUse;
            }
        }
        ::CoTaskMemFree(block);
        // The configuration refused it or it could not be read: the copy the import made on the
        // device would be an orphan the configuration never shows.
        if (outcome != ImportOutcome::Imported && !held)
            manager->DeleteMacro(imported.Get());
    }
    Disconnect();
    if (outcome == ImportOutcome::NameInUse) {
        // The name the list shows for it.
        if (const CMacro* existing = config->FindMacroByName(name.c_str()))
            name = existing->GetName();
    }
    Tell(result, outcome, name);
    return outcome == ImportOutcome::Imported;
}

template <class C, class P>
bool CBaseDevice<C, P>::ExportMacro(const wchar_t* path, const CMacro* macro)
{
    SettleWrite();
    if (!path || !macro || hv::IsNullGUID(macro->GetGuid()) || !Connect())
        return false;
    CComPtr<IMacroManager> manager;
    CComPtr<IMacro> onDevice;
    const bool ok = SUCCEEDED(GetDeviceFeature(m_device.Get(), manager)) &&
                    SUCCEEDED(manager->GetMacroById(macro->GetGuid(), onDevice.Put())) &&
                    SUCCEEDED(onDevice->Export(path));
    Disconnect();
    return ok;
}

template <class C, class P>
bool CBaseDevice<C, P>::HasMacro(const CMacro* macro)
{
    SettleWrite();
    if (!macro || hv::IsNullGUID(macro->GetGuid()) || !Connect())
        return false;
    CComPtr<IMacroManager> manager;
    CComPtr<IMacro> onDevice;
    const bool ok = SUCCEEDED(GetDeviceFeature(m_device.Get(), manager)) &&
                    SUCCEEDED(manager->GetMacroById(macro->GetGuid(), onDevice.Put()));
    Disconnect();
    return ok;
}

template <class C, class P>
bool CBaseDevice<C, P>::ImportProfile(const wchar_t* path, C* config, ImportResult* result)
{
    Tell(result, ImportOutcome::NoDevice, std::wstring());
    SettleWrite();
    if (!path || !config || !m_descriptor.HasFeature(kFeatureProfiles) || !Connect())
        return false;
    ForgetListing();
    ImportOutcome outcome = ImportOutcome::NotRead;
    std::wstring name;
    CComPtr<IProfileManager> manager;
    CComPtr<IProfile> imported;
    if (SUCCEEDED(GetDeviceFeature(m_device.Get(), manager)) &&
        SUCCEEDED(manager->ImportProfile(path, imported.Put()))) {
        GUID id{};
        const bool identified = ProfileGuid(imported.Get(), id);
        // A profile the configuration holds already is not made twice, nor deleted.
        const P* held = identified ? config->FindProfileByGuid(id) : nullptr;
        if (held) {
            outcome = ImportOutcome::NameInUse;
            name = held->GetName();
        } else if (identified) {
            outcome = ReadImportedName([&](LPWSTR* text) { return imported->GetName(text); }, name);
            // Names are unique without regard to case, as the name forms keep them.
            if (const P* existing = outcome == ImportOutcome::Imported ? config->FindProfileByName(name.c_str()) : nullptr) {
                outcome = ImportOutcome::NameInUse;
                name = existing->GetName();
            }
        }
        if (outcome == ImportOutcome::Imported) {
            P* profile = config->CreateProfile(name.c_str());
            if (profile) {
                profile->SetGuid(id);
                profile = config->FindProfileByGuid(id);
            }
            const bool filled =
                profile && FillImportedProfile(Context(kTransferAll, false), *config, *profile, imported.Get());
            // Half read, the profile would hold defaults where the device's copy holds the file's
            // values, and the next write would put the defaults on the device: neither stays.
            if (!filled) {
                if (profile)
                    config->DeleteProfile(profile);
                outcome = ImportOutcome::NotRead;
            }
        }
        if (outcome != ImportOutcome::Imported && !held)
            manager->DeleteProfile(imported.Get());
        if (outcome == ImportOutcome::Imported)
            m_known.AddAll(*config);
    }
    Disconnect();
    Tell(result, outcome, name);
    return outcome == ImportOutcome::Imported;
}

template <class C, class P>
bool CBaseDevice<C, P>::ExportProfile(const wchar_t* path, P* profile)
{
    SettleWrite();
    if (!path || !profile || !Connect())
        return false;
    CComPtr<IProfile> onDevice = DeviceProfileById(m_device.Get(), profile->GetGuid());
    const bool ok = onDevice && SUCCEEDED(onDevice->Export(path));
    Disconnect();
    return ok;
}

template <class C, class P>
bool CBaseDevice<C, P>::HasProfile(P* profile)
{
    SettleWrite();
    if (!profile || !Connect())
        return false;
    const bool ok = static_cast<bool>(DeviceProfileById(m_device.Get(), profile->GetGuid()));
    Disconnect();
    return ok;
}

template <class C, class P>
bool CBaseDevice<C, P>::GetLayoutCode(int* code)
{
    SettleWrite();
    if (code)
        *code = 0;
    return false;
}

template <class C, class P>
bool CBaseDevice<C, P>::GetFirmwareVersion(std::wstring& text)
{
    SettleWrite();
    text = m_firmwareVersion;
    return true;
}

template <class C, class P>
bool CBaseDevice<C, P>::GetDriverVersion(std::wstring& text)
{
    SettleWrite();
    text = m_driverVersion;
    return true;
}

template <class C, class P>
bool CBaseDevice<C, P>::Probe()
{
    SettleWrite();
    if (!Connect())
        return false;
    CComPtr<IDeviceStatus> status;
    BYTE flag = 0;
    const bool ok = SUCCEEDED(m_device.As(status)) && SUCCEEDED(status->GetStatusFlag(&flag)) && flag != 0;
    Disconnect();
    return ok;
}

template <class C, class P>
int CBaseDevice<C, P>::GetProfileCount()
{
    SettleWrite();
    if (!Connect())
        return 0;
    int count = 0;
    CComPtr<IProfileManager> manager;
    if (SUCCEEDED(GetDeviceFeature(m_device.Get(), manager)))
        for (; count < kMaxDeviceListWalk; ++count) {
            CComPtr<IProfile> profile;
            if (FAILED(manager->GetProfile(count, profile.Put())))
                break;
        }
    Disconnect();
    return count;
}

template <class C, class P>
bool CBaseDevice<C, P>::IsDeviceFound()
{
    SettleWrite();
    return m_found;
}

template <class C, class P>
uint32_t CBaseDevice<C, P>::GetProductId()
{
    SettleWrite();
    return m_descriptor.productId;
}

template <class C, class P>
const wchar_t* CBaseDevice<C, P>::GetName()
{
    SettleWrite();
    return m_descriptor.name;
}

template <class C, class P>
void CBaseDevice<C, P>::AddListener(HWND window)
{
    SettleWrite();
    CProgressMessenger::AddListener(window, nullptr);
}

template <class C, class P>
void CBaseDevice<C, P>::RemoveListener(HWND window)
{
    SettleWrite();
    CProgressMessenger::RemoveListener(window, nullptr);
}

template <class C, class P>
CProgressMessenger* CBaseDevice<C, P>::GetMessenger()
{
    SettleWrite();
    return this;
}

template class CBaseDevice<IMouseConfig, IMouseProfile>;
template class CBaseDevice<IKeyboardConfig, IKeyboardProfile>;
