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

CommandBlock Command(std::int32_t opcode, std::int32_t a, std::int32_t b, std::int32_t p1, std::int32_t p2)
{
    CommandBlock block{};
    const std::int32_t fields[][2] = {{0, opcode}, {268, a}, {272, b}, {276, p1}, {280, p2}};
    for (const auto& field : fields)
        std::memcpy(block.bytes + field[0], &field[1], sizeof field[1]);
    return block;
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
    std::vector<std::uint8_t> storage(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + profile.path.size() + 1, 0);
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(storage.data());
    broadcast->dbcc_size = static_cast<DWORD>(storage.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = SimulatedHid::HidGuid();
    std::memcpy(broadcast->dbcc_name, profile.path.c_str(), profile.path.size() + 1);
    ::SendMessageA(Hidden(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(broadcast));
    return scanner;
}

void ExportTest::InterfaceEvent(WPARAM event, const std::string& path)
{
    std::vector<std::uint8_t> storage(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + path.size() + 1, 0);
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(storage.data());
    broadcast->dbcc_size = static_cast<DWORD>(storage.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = SimulatedHid::HidGuid();
    std::memcpy(broadcast->dbcc_name, path.c_str(), path.size() + 1);
    ::SendMessageA(Hidden(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(broadcast));
}

LRESULT ExportTest::HandleEvent(WPARAM event, const std::string& path)
{
    return HandleEvent(event, sim.WatchedHandleOf(path));
}

LRESULT ExportTest::HandleEvent(WPARAM event, HANDLE watched)
{
    DEV_BROADCAST_HANDLE broadcast{};
    broadcast.dbch_size = sizeof broadcast;
    broadcast.dbch_devicetype = DBT_DEVTYP_HANDLE;
    broadcast.dbch_handle = watched;
    return ::SendMessageA(Hidden(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&broadcast));
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
