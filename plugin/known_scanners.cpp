#include "plugin/known_scanners.h"

#include <cstring>

#include "plugin/device_record.h"

namespace pellion {

KnownScanner* KnownScanners::FindLocked(const std::string& guidText)
{
    char wanted[sizeof(ScannerRecord::guidText)] = {};
    CopyBounded(wanted, sizeof wanted, guidText);
    for (KnownScanner& known : records_) {
        if (std::memcmp(known.record.guidText, wanted, kIdentityTextBytes) == 0)
            return &known;
    }
    return nullptr;
}

bool KnownScanners::AddIfUnknown(const std::string& guidText, bool announced)
{
    Lock lock(lock_);
    if (FindLocked(guidText) != nullptr)
        return false;
    KnownScanner known{};
    CopyBounded(known.record.guidText, sizeof known.record.guidText, guidText);
    known.announced = announced ? 1 : 0;
    records_.push_back(known);
    return true;
}

KnownScanner* KnownScanners::Find(const std::string& guidText)
{
    Lock lock(lock_);
    return FindLocked(guidText);
}

bool KnownScanners::Remove(const std::string& guidText)
{
    Lock lock(lock_);
    KnownScanner* known = FindLocked(guidText);
    if (known == nullptr)
        return false;
    records_.remove_if([known](const KnownScanner& candidate) { return &candidate == known; });
    return true;
}

std::size_t KnownScanners::Count()
{
    Lock lock(lock_);
    return records_.size();
}

void KnownScanners::Clear()
{
    Lock lock(lock_);
    records_.clear();
}

}  // namespace pellion
