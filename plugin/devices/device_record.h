#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "plugin/platform.h"

namespace pellion {

constexpr std::size_t kDevicePathCapacity = 256;
constexpr std::size_t kSerialCapacity = 255;  // wide characters
constexpr std::size_t kIdentityTextBytes = 32;
constexpr std::size_t kGuidTextIndex = 4;
constexpr std::size_t kSecondIdentityIndex = 41;
constexpr std::size_t kWholeSerialTextBytes = 255;

// One opened HID interface of a scanner.
struct DeviceRecord {
    std::uint8_t openFlag = 0;
    // 0 once closed for a console disconnect or a removal, all-ones while a
    // removal is pending. Other threads read it to name the device.
    std::atomic<HANDLE> hidHandle{nullptr};
    HDEVNOTIFY notification = nullptr;
    // The handle the notification watches: the system names the device by
    // it even after a query-remove has closed it.
    HANDLE watchedHandle = nullptr;
    // Set when the system reports the interface gone: a re-plug of the
    // scanner must not take over the entry its deferred removal will free.
    bool removalPending = false;
    char path[kDevicePathCapacity] = {};
    wchar_t serial[kSerialCapacity] = {};
};

// Converts the serial-number string from the given character on into the
// process's multibyte code page: at most maxBytes of output, never half a
// character, stopping at the string's end.
std::string SerialText(const wchar_t (&serial)[kSerialCapacity], std::size_t fromIndex, std::size_t maxBytes);

inline std::string GuidText(const DeviceRecord& record)
{
    return SerialText(record.serial, kGuidTextIndex, kIdentityTextBytes);
}

inline std::string SecondIdentityText(const DeviceRecord& record)
{
    return SerialText(record.serial, kSecondIdentityIndex, kIdentityTextBytes);
}

// Copies text into a fixed field, cut to leave room for the terminating NUL.
void CopyBounded(char* field, std::size_t fieldSize, const std::string& text);

}  // namespace pellion
