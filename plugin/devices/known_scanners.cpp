#include "plugin/devices/known_scanners.h"

#include <cstring>

#include "plugin/devices/device_record.h"

namespace pellion {

std::shared_ptr<KnownScanner> KnownScanners::FindLocked(const std::string& guidText)
{
    char wanted[sizeof(ScannerRecord::guidText)] = {};
    CopyBounded(wanted, sizeof wanted, guidText);
    for (const std::shared_ptr<KnownScanner>& known : records_) {
        if (std::memcmp(known->record.guidText, wanted, kIdentityTextBytes) == 0)
            return known;
    }
    return nullptr;
}

bool KnownScanners::AddIfUnknown(const std::string& guidText, bool announced)
{
    Lock lock(lock_);
    if (FindLocked(guidText) != nullptr)
        return false;
    auto known = std::make_shared<KnownScanner>();
    *known = KnownScanner{};
    CopyBounded(known->record.guidText, sizeof known->record.guidText, guidText);
    known->announced = announced ? 1 : 0;
    records_.push_back(std::move(known));
    return true;
}

KnownScanner* KnownScanners::Find(const std::string& guidText)
{
    Lock lock(lock_);
    return FindLocked(guidText).get();
}

std::shared_ptr<KnownScanner> KnownScanners::Share(const std::string& guidText)
{
    Lock lock(lock_);
    return FindLocked(guidText);
}

bool KnownScanners::Contains(const KnownScanner* known)
{
    Lock lock(lock_);
    for (const std::shared_ptr<KnownScanner>& candidate : records_) {
        if (candidate.get() == known)
            return true;
    }
    return false;
}

bool KnownScanners::Remove(const std::string& guidText)
{
    Lock lock(lock_);
    const std::shared_ptr<KnownScanner> known = FindLocked(guidText);
    if (!known)
        return false;
    records_.remove(known);
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
