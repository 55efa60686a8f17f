#pragma once

#include <memory>
#include <vector>

#include "plugin/devices/hid_api.h"
#include "plugin/devices/known_scanners.h"
#include "plugin/win_handles.h"

namespace pellion {

class DeviceList;

constexpr int kInstallPolls = 60;
constexpr DWORD kInstallPollIntervalMs = 1000;
constexpr DWORD kAnnounceSettleMs = 20;
// How long unloading waits for an announcing thread that was told to stop.
constexpr DWORD kAnnouncerStopTimeoutMs = 2000;

// What one announcing thread works on. It holds a share in the known
// record, so a removal that drops the record meanwhile leaves it readable.
struct AnnounceJob {
    std::shared_ptr<KnownScanner> known;
    DeviceList* devices = nullptr;
    HWND hostWindow = nullptr;
    DWORD_PTR deviceHandle = 0;
    DWORD pollIntervalMs = kInstallPollIntervalMs;
    HANDLE cancel = nullptr;
};

// The announcing thread: waits until the system has no installation
// pending, then tells the host about the new scanner. Takes the job.
DWORD WINAPI AttachNotifyProc(LPVOID job);

// Starts announcing threads and, when the library goes, stops the ones
// still running, since their code goes with it.
class AttachNotifier {
public:
    explicit AttachNotifier(DWORD pollIntervalMs);
    ~AttachNotifier();
    AttachNotifier(const AttachNotifier&) = delete;
    AttachNotifier& operator=(const AttachNotifier&) = delete;

    bool Start(std::shared_ptr<KnownScanner> known, DeviceList& devices, HWND hostWindow, DWORD_PTR deviceHandle);
    void StopAll();

private:
    void ForgetFinished();

    DWORD pollIntervalMs_;
    UniqueHandle cancel_;
    std::vector<UniqueHandle> threads_;
};

}  // namespace pellion
