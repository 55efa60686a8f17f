#include "plugin/devices/scanner_records.h"

#include <cstring>

namespace pellion {
namespace {

constexpr std::uint8_t kPresentMarker = 1;
constexpr std::uint8_t kRecordValid = 1;
constexpr std::int32_t kAttached = 0;
constexpr std::int32_t kDetached = 1;

// Empties a text field completely, as a bounded copy of an empty text does.
template <std::size_t N>
void Clear(char (&field)[N])
{
    std::memset(field, 0, N);
}

// A bounded copy that pads the rest of the field with zeros.
template <std::size_t N>
void CopyPadded(char (&field)[N], const char* text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text, ::strnlen(text, N - 1));
}

template <std::size_t N>
void CopyPadded(char (&field)[N], const std::string& text)
{
    Clear(field);
    CopyBounded(field, N, text);
}

ScannerRecord* AllocateRecord()
{
    // GMEM_FIXED memory is not zeroed by the system.
    auto* record = static_cast<ScannerRecord*>(::GlobalAlloc(GMEM_FIXED, sizeof(ScannerRecord)));
    if (record != nullptr)
        std::memset(record, 0, sizeof *record);
    return record;
}

std::uint32_t HandleField(DWORD_PTR deviceHandle)
{
    return static_cast<std::uint32_t>(deviceHandle);
}

}  // namespace

void FillInitRecord(ScannerRecord& record, const DeviceRecord& device, DWORD_PTR deviceHandle)
{
    record.recordFlag = 0;
    record.vendorId = kScannerVendorId;
    record.productId = kScannerProductId;
    Clear(record.text);
    CopyPadded(record.secondIdentity, SecondIdentityText(device));
    CopyPadded(record.guidText, GuidText(device));
    Clear(record.text10);
    Clear(record.text20);
    record.deviceHandle = HandleField(deviceHandle);
    record.event = kEventAttached;
    record.field396 = kPresentMarker;
}

void PrepareForAnnouncement(ScannerRecord& record, DWORD_PTR deviceHandle)
{
    Clear(record.text);
    Clear(record.secondIdentity);
    Clear(record.text10);
    Clear(record.text20);
    record.field396 = kPresentMarker;
    record.vendorId = kScannerVendorId;
    record.productId = kScannerProductId;
    record.detached = kAttached;
    record.transportKind = kTransportKind;
    record.event = kEventAttached;
    record.subRecordsPresent = 0;
    record.valid = kRecordValid;
    record.deviceHandle = HandleField(deviceHandle);
}

ScannerRecord* NewAttachedRecord(const ScannerRecord& known)
{
    ScannerRecord* record = AllocateRecord();
    if (record == nullptr)
        return nullptr;
    if (known.valid == kRecordValid) {
        record->vendorId = known.vendorId;
        record->productId = known.productId;
        CopyPadded(record->text, known.text);
        CopyPadded(record->secondIdentity, known.secondIdentity);
        CopyPadded(record->guidText, known.guidText);
        CopyPadded(record->text10, known.text10);
        CopyPadded(record->text20, known.text20);
        record->event = known.event;
        record->deviceHandle = known.deviceHandle;
        record->transportKind = known.transportKind;
        record->field384 = known.field384;
        record->field396 = known.field396;
        record->field398 = known.field398;
        record->valid = known.valid;
        record->subRecordsPresent = known.subRecordsPresent;
    } else {
        record->valid = known.valid;
        record->event = known.event;
        record->subRecordsPresent = known.subRecordsPresent;
    }
    record->field397 = 0;
    record->detached = kAttached;
    return record;
}

ScannerRecord* NewDetachedRecord()
{
    ScannerRecord* record = AllocateRecord();
    if (record == nullptr)
        return nullptr;
    record->detached = kDetached;
    record->transportKind = kTransportKind;
    record->event = kEventDetached;
    return record;
}

}  // namespace pellion
