#pragma once

#include "plugin/devices/device_record.h"
#include "plugin/devices/known_scanners.h"
#include "plugin/plugin_records.h"

namespace pellion {

constexpr std::uint8_t kEventAttached = 1;
constexpr std::uint8_t kEventDetached = 2;
constexpr std::int32_t kTransportKind = 8;
constexpr std::size_t kMaxInitRecords = 255;

// Writes the fields Init reports for a present scanner and leaves every
// other byte of the host's record as the host left it.
void FillInitRecord(ScannerRecord& record, const DeviceRecord& device, DWORD_PTR deviceHandle);

// Turns a known record into the description an announcement copies.
void PrepareForAnnouncement(ScannerRecord& record, DWORD_PTR deviceHandle);

// Notification records, allocated as the host frees them; null when the
// system gives no memory. Every byte not set is zero.
ScannerRecord* NewAttachedRecord(const ScannerRecord& known);
ScannerRecord* NewDetachedRecord();

}  // namespace pellion
