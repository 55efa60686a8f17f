#include "tests/plugin/support/export_fixture.h"

#include <cstring>

namespace pellion::testing {

namespace {

PluginTimings TestTimings(bool shortPauses)
{
    PluginTimings timings;
    timings.installPollIntervalMs = kTestPollIntervalMs;
    if (shortPauses) {
        timings.removalDelayMs = 1;
        timings.removalGraceMs = 1;
        timings.port.threadSettleMs = 0;
        timings.port.stopGraceMs = 0;
    }
    return timings;
}

}  // namespace

LoadedPluginScope::LoadedPluginScope(const HidApi& hid)
{
    LoadPlugin(hid, ::GetModuleHandleA(nullptr), TestTimings(false));
}

LoadedPluginScope::~LoadedPluginScope()
{
    UnloadPlugin(false);
}

void ExportTest::ReloadWithShortPauses()
{
    LoadPlugin(sim.Api(), ::GetModuleHandleA(nullptr), TestTimings(true));
}

int ExportTest::InitHost()
{
    records.assign(kMaxInitRecords, ScannerRecord{});
    std::memset(records.data(), 0xCC, records.size() * sizeof(ScannerRecord));
    return Init(host.Handle(), records.data(), &count);
}

HWND ExportTest::Hidden()
{
    return ::FindWindowExA(host.Handle(), nullptr, kHiddenWindowClass, kHiddenWindowTitle);
}

SimulatedScanner& ExportTest::Arrive(const ScannerProfile& profile)
{
    SimulatedScanner& scanner = sim.Add(profile);
    InterfaceEvent(DBT_DEVICEARRIVAL, profile.path);
    return scanner;
}

void ExportTest::InterfaceEvent(WPARAM event, const std::string& path)
{
    SendInterfaceChange(Hidden(), event, path);
}

LRESULT ExportTest::HandleEvent(WPARAM event, const std::string& path)
{
    return HandleEvent(event, sim.WatchedHandleOf(path));
}

LRESULT ExportTest::HandleEvent(WPARAM event, HANDLE watched)
{
    return SendHandleChange(Hidden(), event, watched);
}

void ExportTest::Session(WPARAM change)
{
    ::SendMessageA(Hidden(), WM_WTSSESSION_CHANGE, change, 0);
}

std::vector<PostedMessage> ExportTest::Notifications(DWORD forMs)
{
    std::vector<PostedMessage> notifications;
    for (const PostedMessage& posted : host.Drain(forMs)) {
        if (posted.message == kWmDeviceNotification)
            notifications.push_back(posted);
    }
    return notifications;
}

DWORD_PTR HandleIn(const ScannerRecord& record)
{
    return record.deviceHandle;
}

const ScannerRecord& RecordOf(const PostedMessage& posted)
{
    return *reinterpret_cast<const ScannerRecord*>(posted.record.data());
}

}  // namespace pellion::testing
