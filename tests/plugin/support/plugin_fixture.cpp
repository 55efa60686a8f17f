#include "tests/plugin/support/plugin_fixture.h"

namespace pellion::testing {
namespace {

std::mutex captureMutex;
std::vector<std::string> captured;

void CaptureLine(const char* line)
{
    std::lock_guard<std::mutex> lock(captureMutex);
    captured.emplace_back(line);
}

}  // namespace

TraceCapture::TraceCapture(bool prefixedOn) : previousConfiguration_(CurrentLoggingConfiguration())
{
    {
        std::lock_guard<std::mutex> lock(captureMutex);
        captured.clear();
    }
    previous_ = ReplaceTraceSink(&CaptureLine);
    LoggingConfiguration configuration{};
    configuration.traceOn = prefixedOn ? 1 : 0;
    StoreLoggingConfiguration(configuration);
}

TraceCapture::~TraceCapture()
{
    ReplaceTraceSink(previous_);
    StoreLoggingConfiguration(previousConfiguration_);
}

std::vector<std::string> TraceCapture::Lines()
{
    std::lock_guard<std::mutex> lock(captureMutex);
    return captured;
}

std::wstring SerialWithGuid(const std::wstring& guid, const std::wstring& tail)
{
    return L"SN01" + guid + tail;
}

ScannerProfile Scanner(const std::string& path, const std::wstring& serial)
{
    ScannerProfile profile;
    profile.path = path;
    profile.serial = serial;
    return profile;
}

CompDeviceInfo* PluginTest::Attach(const ScannerProfile& profile)
{
    sim.Add(profile);
    list.OpenDevice(profile.path.c_str(), host.NotificationWindow(), nullptr, true);
    CompDeviceInfo* found = nullptr;
    list.ForEach([&](CompDeviceInfo& entry) {
        if (entry.record && profile.path == entry.record->path)
            found = &entry;
    });
    return found;
}

CompDeviceInfo* PluginTest::AttachOpen(const ScannerProfile& profile)
{
    CompDeviceInfo* entry = Attach(profile);
    if (entry == nullptr || list.OpenPort(entry) != kOk)
        return nullptr;
    return entry;
}

std::vector<CompDeviceInfo*> PluginTest::Entries()
{
    std::vector<CompDeviceInfo*> entries;
    list.ForEach([&](CompDeviceInfo& entry) { entries.push_back(&entry); });
    return entries;
}

}  // namespace pellion::testing
