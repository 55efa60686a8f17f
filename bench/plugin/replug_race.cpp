#include "bench/plugin/replug_race.h"

#include <atomic>
#include <thread>
#include <vector>

#include "plugin/commands/response_timer.h"
#include "plugin/devices/scanner_records.h"
#include "plugin/host/exports.h"

namespace pellion::testing {
namespace {

const std::string kPath = "\\\\?\\hid#replug";
constexpr wchar_t kSerial[] = L"SN01REPLUGSCANNER";
constexpr DWORD kWaitMs = 2000;
constexpr DWORD kCommandRetryMs = 10;
constexpr DWORD kLastRemovalMs = 200;
constexpr int kCommandsPerCycle = 3;
constexpr int kArrivalFirstEvery = 3;

ScannerProfile ReplugProfile()
{
    ScannerProfile profile;
    profile.path = kPath;
    profile.serial = kSerial;
    return profile;
}

PluginTimings RacePauses()
{
    PluginTimings timings;
    timings.removalDelayMs = 1;
    timings.removalGraceMs = 1;
    timings.port = PortTimings{0, 0};
    return timings;
}

double NowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

class ReplugRacer {
public:
    ReplugRacer(SimulatedHid& sim, HostWindow& host) : sim_(sim), host_(host) {}
    ReplugRace Run(int cycles);

private:
    bool Start();
    void SendCommands();
    void AwaitCommands();
    bool Replug(bool arrivalFirst);
    bool AwaitAttachAndDetach();
    bool ScannerWorks();
    void RemoveLast(ReplugRace& race);
    HWND Hidden() const { return ::FindWindowExA(host_.Handle(), nullptr, kHiddenWindowClass, kHiddenWindowTitle); }
    int Query() { return SendCommand(device_, Command(kQueryHostType), nullptr); }

    SimulatedHid& sim_;
    HostWindow& host_;
    SimulatedScanner* scanner_ = nullptr;
    std::atomic<DWORD_PTR> device_{0};
    std::atomic<bool> done_{false};
    std::atomic<int> commands_{0};
    std::atomic<int> carried_{0};
    std::atomic<int> positive_{0};
};

ReplugRace ReplugRacer::Run(int cycles)
{
    ReplugRace race;
    const double start = NowMs();
    if (!Start())
        return race;
    std::thread sender([this] { SendCommands(); });
    for (; race.cycles < cycles; ++race.cycles) {
        AwaitCommands();
        const bool arrivalFirst = (cycles - 1 - race.cycles) % kArrivalFirstEvery == 0;
        if (!Replug(arrivalFirst))
            break;
        race.arrivalsFirst += arrivalFirst ? 1 : 0;
    }
    done_ = true;
    sender.join();
    race.scannerWorks = ScannerWorks();
    RemoveLast(race);
    race.commands = commands_;
    race.carried = carried_;
    race.positive = positive_;
    race.milliseconds = NowMs() - start;
    return race;
}

bool ReplugRacer::Start()
{
    LoadPlugin(sim_.Api(), ::GetModuleHandleA(nullptr), RacePauses());
    scanner_ = &sim_.Add(ReplugProfile());
    std::vector<ScannerRecord> records(kMaxInitRecords);
    int count = 0;
    if (Init(host_.Handle(), records.data(), &count) != kOk || count != 1)
        return false;
    device_ = records[0].deviceHandle;
    return true;
}

void ReplugRacer::SendCommands()
{
    while (!done_) {
        const bool query = commands_ % 2 == 0;
        const int result = SendCommand(device_, query ? Command(kQueryHostType) : Command(kSwitchHostType, 3, 1), nullptr);
        positive_ += result > 0 ? 1 : 0;
        carried_ += result == 0 ? 1 : 0;
        ++commands_;
    }
}

void ReplugRacer::AwaitCommands()
{
    // Each scanner stays until a few commands have been sent to it.
    const int before = commands_;
    for (DWORD waited = 0; commands_ < before + kCommandsPerCycle && waited < kWaitMs; ++waited)
        ::Sleep(1);
}

bool ReplugRacer::Replug(bool arrivalFirst)
{
    const HANDLE old = sim_.WatchedHandleOf(kPath);
    scanner_->Unplug();
    if (!arrivalFirst)
        SendHandleChange(Hidden(), DBT_DEVICEREMOVECOMPLETE, old);
    scanner_ = &sim_.Add(ReplugProfile());
    SendInterfaceChange(Hidden(), DBT_DEVICEARRIVAL, kPath);
    if (!arrivalFirst)
        return AwaitAttachAndDetach();
    // The new interface has taken over the entry: the host keeps its handle
    // and hears nothing, and the old interface's removal names nothing.
    SendHandleChange(Hidden(), DBT_DEVICEREMOVECOMPLETE, old);
    return true;
}

bool ReplugRacer::AwaitAttachAndDetach()
{
    bool attached = false;
    bool detached = false;
    while (!attached || !detached) {
        const auto notification = host_.WaitFor(kWmDeviceNotification, kWaitMs);
        if (!notification)
            return false;
        if (reinterpret_cast<const ScannerRecord*>(notification->record.data())->event == kEventAttached) {
            device_ = static_cast<DWORD_PTR>(notification->lParam);
            attached = true;
        } else {
            detached = true;
        }
    }
    return true;
}

bool ReplugRacer::ScannerWorks()
{
    if (!host_.HearsEventFrom(*scanner_, device_))
        return false;
    // A host-type switch of the racing thread may still await its answer.
    for (DWORD waited = 0; waited < 2 * kResponseDelayMs; waited += kCommandRetryMs) {
        if (Query() == kOk)
            return host_.WaitFor(kWmHostTypeInfo, kWaitMs).has_value();
        ::Sleep(kCommandRetryMs);
    }
    return false;
}

void ReplugRacer::RemoveLast(ReplugRace& race)
{
    scanner_->Unplug();
    SendHandleChange(Hidden(), DBT_DEVICEREMOVECOMPLETE, sim_.WatchedHandleOf(kPath));
    std::size_t notifications = 0;
    for (const PostedMessage& posted : host_.Drain(kLastRemovalMs))
        notifications += posted.message == kWmDeviceNotification ? 1 : 0;
    race.strayNotifications = notifications - (notifications > 0 ? 1 : 0);
    race.left = Leftovers{LoadedPlugin()->Devices().Count(), sim_.OpenHandles(), sim_.RegisteredNotifications(),
                          sim_.OutstandingPreparsedData(), TimerOwnerTable::Process().RowsInUse(),
                          sim_.ClosedHandleUses()};
}

}  // namespace

bool Leftovers::operator==(const Leftovers& other) const
{
    return entries == other.entries && openHandles == other.openHandles && notifications == other.notifications &&
           preparsedData == other.preparsedData && timerRows == other.timerRows &&
           closedHandleUses == other.closedHandleUses;
}

ReplugRace RunReplugRace(SimulatedHid& sim, HostWindow& host, int cycles)
{
    return ReplugRacer(sim, host).Run(cycles);
}

}  // namespace pellion::testing
