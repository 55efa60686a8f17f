#include "plugin/devices/hid_api.h"

namespace pellion {
namespace {

constexpr NTSTATUS kHidpStatusSuccess = static_cast<NTSTATUS>(0x00110000);

}  // namespace

bool ReadCapabilities(const HidApi& hid, HANDLE device, HIDP_CAPS& caps)
{
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!hid.HidD_GetPreparsedData(device, &preparsed))
        return false;
    caps = HIDP_CAPS{};
    const bool read = hid.HidP_GetCaps(preparsed, &caps) == kHidpStatusSuccess;
    hid.HidD_FreePreparsedData(preparsed);
    return read;
}

}  // namespace pellion
