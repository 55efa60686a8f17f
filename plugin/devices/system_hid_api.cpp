#include "plugin/devices/hid_api.h"

namespace pellion {

const HidApi& SystemHidApi()
{
    static const HidApi api{
        ::HidD_GetHidGuid,
        ::SetupDiGetClassDevsA,
        ::SetupDiEnumDeviceInterfaces,
        ::SetupDiGetDeviceInterfaceDetailA,
        ::SetupDiDestroyDeviceInfoList,
        ::CreateFileA,
        ::CloseHandle,
        ::ReadFile,
        ::GetOverlappedResult,
        ::CancelIo,
        ::HidD_GetAttributes,
        ::HidD_GetSerialNumberString,
        ::HidD_GetPreparsedData,
        ::HidD_FreePreparsedData,
        ::HidP_GetCaps,
        ::HidD_GetFeature,
        ::HidD_SetFeature,
        ::RegisterDeviceNotificationA,
        ::UnregisterDeviceNotification,
        ::WTSRegisterSessionNotification,
        ::WTSUnRegisterSessionNotification,
        ::CMP_WaitNoPendingInstallEvents,
    };
    return api;
}

}  // namespace pellion
