#include "plugin/host/attach_notifier.h"

#include <algorithm>

#include "plugin/devices/device_list.h"
#include "plugin/devices/scanner_records.h"
#include "plugin/host/trace.h"

namespace pellion {
namespace {

enum class InstallState { Settled, GivenUp };

bool Cancelled(HANDLE cancel, DWORD waitMs)
{
    return ::WaitForSingleObject(cancel, waitMs) == WAIT_OBJECT_0;
}

InstallState AwaitInstallation(const AnnounceJob& job)
{
    const HidApi& hid = job.devices->Hid();
    for (int poll = 1; poll <= kInstallPolls; ++poll) {
        const DWORD state = hid.CMP_WaitNoPendingInstallEvents(0);
        if (state == WAIT_OBJECT_0)
            return InstallState::Settled;
        if (state == WAIT_FAILED)
            return InstallState::GivenUp;
        if (state != WAIT_TIMEOUT)
            continue;
        if (poll == kInstallPolls || Cancelled(job.cancel, job.pollIntervalMs))
            return InstallState::GivenUp;
    }
    return InstallState::GivenUp;
}

// The host must not hear of a scanner whose removal has already begun: it
// would keep a handle that no longer names anything.
bool StillToAnnounce(const AnnounceJob& job)
{
    return job.known->announced == 0 && job.devices->Known().Contains(job.known.get()) &&
           job.devices->IsLive(job.deviceHandle);
}

void Announce(const AnnounceJob& job)
{
    Lock lock(job.devices->ListLock());
    if (!StillToAnnounce(job))
        return;
    TracePrefixed("Sending WM_DEVICE_NOTIFICATION : SCANNER_ATTACHED message to Talvex layer GUID = %s",
                  job.known->record.guidText);
    ScannerRecord* record = NewAttachedRecord(job.known->record);
    if (record == nullptr)
        return;
    if (!::PostMessageA(job.hostWindow, kWmDeviceNotification, reinterpret_cast<WPARAM>(record),
                        static_cast<LPARAM>(job.deviceHandle))) {
        ::GlobalFree(record);  // nobody else will
        return;
    }
    job.known->announced = 1;
}

}  // namespace

DWORD WINAPI AttachNotifyProc(LPVOID parameter)
{
    std::unique_ptr<AnnounceJob> job(static_cast<AnnounceJob*>(parameter));
    try {
        if (AwaitInstallation(*job) != InstallState::Settled)
            return static_cast<DWORD>(-1);
        Announce(*job);
        Cancelled(job->cancel, kAnnounceSettleMs);
        return 0;
    } catch (...) {
        return static_cast<DWORD>(-1);
    }
}

AttachNotifier::AttachNotifier(DWORD pollIntervalMs) : pollIntervalMs_(pollIntervalMs), cancel_(MakeEvent(true)) {}

AttachNotifier::~AttachNotifier()
{
    StopAll();
}

void AttachNotifier::ForgetFinished()
{
    std::vector<UniqueHandle> running;
    for (UniqueHandle& thread : threads_) {
        if (::WaitForSingleObject(thread.Get(), 0) == WAIT_TIMEOUT)
            running.push_back(std::move(thread));
    }
    threads_ = std::move(running);
}

bool AttachNotifier::Start(std::shared_ptr<KnownScanner> known, DeviceList& devices, HWND hostWindow,
                           DWORD_PTR deviceHandle)
{
    ForgetFinished();
    auto job = std::make_unique<AnnounceJob>();
    job->known = std::move(known);
    job->devices = &devices;
    job->hostWindow = hostWindow;
    job->deviceHandle = deviceHandle;
    job->pollIntervalMs = pollIntervalMs_;
    job->cancel = cancel_.Get();
    UniqueHandle thread(::CreateThread(nullptr, 0, &AttachNotifyProc, job.get(), 0, nullptr));
    if (!thread)
        return false;
    job.release();  // the thread owns it now
    threads_.push_back(std::move(thread));
    return true;
}

void AttachNotifier::StopAll()
{
    if (threads_.empty())
        return;
    ::SetEvent(cancel_.Get());
    std::vector<HANDLE> handles;
    for (const UniqueHandle& thread : threads_)
        handles.push_back(thread.Get());
    // At most MAXIMUM_WAIT_OBJECTS at a time.
    for (std::size_t from = 0; from < handles.size(); from += MAXIMUM_WAIT_OBJECTS) {
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(MAXIMUM_WAIT_OBJECTS, handles.size() - from));
        if (::WaitForMultipleObjects(count, handles.data() + from, TRUE, kAnnouncerStopTimeoutMs) == WAIT_TIMEOUT) {
            for (DWORD i = 0; i < count; ++i) {
                if (::WaitForSingleObject(handles[from + i], 0) == WAIT_TIMEOUT)
                    ::TerminateThread(handles[from + i], 0);
            }
        }
    }
    threads_.clear();
    ::ResetEvent(cancel_.Get());
}

}  // namespace pellion
