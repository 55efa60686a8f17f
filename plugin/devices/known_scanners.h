#pragma once

#include <list>
#include <memory>
#include <string>

#include "plugin/plugin_records.h"
#include "plugin/win_handles.h"

namespace pellion {

// A scanner identity the host has been, or is about to be, told about.
#pragma pack(push, 1)
struct KnownScanner {
    ScannerRecord record;
    std::uint8_t announced;
    std::uint8_t reserved[3];
};
#pragma pack(pop)
static_assert(sizeof(KnownScanner) == 408);

// One record per scanner GUID text. Every access takes the list lock the
// device list shares with it, since announcing threads and the removal path
// touch it from other threads.
class KnownScanners {
public:
    explicit KnownScanners(CriticalSection& listLock) : lock_(listLock) {}
    KnownScanners(const KnownScanners&) = delete;
    KnownScanners& operator=(const KnownScanners&) = delete;

    // Adds a record for an identity not yet known; returns false when it
    // was known already.
    bool AddIfUnknown(const std::string& guidText, bool announced);
    // The record stays where it is until Remove, so the pointer may be
    // handed to an announcing thread.
    KnownScanner* Find(const std::string& guidText);
    // A share in the record that keeps it readable after Remove, for an
    // announcing thread that may outlive the scanner's stay.
    std::shared_ptr<KnownScanner> Share(const std::string& guidText);
    // Whether the record is still in the list, so still to be told about.
    bool Contains(const KnownScanner* known);
    bool Remove(const std::string& guidText);
    std::size_t Count();
    void Clear();

private:
    std::shared_ptr<KnownScanner> FindLocked(const std::string& guidText);

    CriticalSection& lock_;
    std::list<std::shared_ptr<KnownScanner>> records_;
};

}  // namespace pellion
