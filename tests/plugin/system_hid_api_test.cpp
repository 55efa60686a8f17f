#include <gtest/gtest.h>

#include "plugin/devices/device_list.h"
#include "tests/plugin/support/host_window.h"

namespace pellion::testing {
namespace {

TEST(SystemHidApiTest, EveryDeviceCallIsBound)
{
    const HidApi& api = SystemHidApi();
    const auto* calls = reinterpret_cast<void* const*>(&api);
    for (std::size_t i = 0; i < sizeof api / sizeof(void*); ++i)
        EXPECT_NE(calls[i], nullptr) << "entry " << i;
}

TEST(SystemHidApiTest, TheRealSystemEnumeratesWithoutFindingAScanner)
{
    // No machine that runs the tests has one of these scanners attached.
    const HidApi& api = SystemHidApi();
    GUID hidGuid;
    api.HidD_GetHidGuid(&hidGuid);
    HostWindow host;
    DeviceList list(api);
    EXPECT_EQ(list.Enumerate(hidGuid, host.NotificationWindow()), 1);
    EXPECT_EQ(list.Count(), 0u);
}

}  // namespace
}  // namespace pellion::testing
