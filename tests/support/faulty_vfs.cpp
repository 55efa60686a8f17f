#include "tests/support/faulty_vfs.h"

#include <stdexcept>

namespace {

// The file as SQLite sees it, followed by the platform's own file.
struct FaultyFile {
    sqlite3_file base;
    FaultyVfs* owner;
    sqlite3_file* real;
};

FaultyFile& Of(sqlite3_file* file) { return *reinterpret_cast<FaultyFile*>(file); }
sqlite3_file* Real(sqlite3_file* file) { return Of(file).real; }

int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
int Read(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset)
{
    return Real(f)->pMethods->xRead(Real(f), data, amount, offset);
}
int Write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset)
{
    const int failure = Of(f).owner->Pass(Fault::Write);
    return failure ? failure : Real(f)->pMethods->xWrite(Real(f), data, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size)
{
    const int failure = Of(f).owner->Pass(Fault::Truncate);
    return failure ? failure : Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags)
{
    const int failure = Of(f).owner->Pass(Fault::Sync);
    return failure ? failure : Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level)
{
    const int failure = Of(f).owner->Pass(Fault::Lock);
    return failure ? failure : Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }

// Version 1: no shared memory and no memory mapping, which the register's
// rollback journal never needs.
const sqlite3_io_methods kMethods = {1,    Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock,
                                     CheckReservedLock, FileControl, SectorSize, DeviceCharacteristics};

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    auto* owner = static_cast<FaultyVfs*>(vfs->pAppData);
    FaultyFile& faulty = Of(file);
    faulty.owner = owner;
    faulty.real = reinterpret_cast<sqlite3_file*>(&faulty + 1);
    faulty.base.pMethods = nullptr;
    sqlite3_vfs* platform = owner->Platform();
    const int rc = platform->xOpen(platform, name, faulty.real, flags, outFlags);
    if (rc == SQLITE_OK && faulty.real->pMethods) faulty.base.pMethods = &kMethods;
    return rc;
}

}  // namespace

FaultyVfs::FaultyVfs() : real_(sqlite3_vfs_find(nullptr))
{
    if (!real_) throw std::runtime_error("no SQLite VFS to wrap");
    vfs_ = *real_;
    vfs_.szOsFile = static_cast<int>(sizeof(FaultyFile)) + real_->szOsFile;
    vfs_.zName = "faulty";
    vfs_.pAppData = this;
    vfs_.xOpen = Open;
    sqlite3_vfs_register(&vfs_, 1);
}

FaultyVfs::~FaultyVfs()
{
    sqlite3_vfs_unregister(&vfs_);
}

void FaultyVfs::Arm(Fault fault, int nth)
{
    seen_ = {};
    armed_ = fault;
    nth_ = nth;
    fired_ = false;
}

int FaultyVfs::Pass(Fault fault)
{
    const int kind = Kind(fault);
    if (++seen_[kind] != nth_ || Kind(armed_) != kind) return SQLITE_OK;
    fired_ = true;
    switch (armed_) {
    case Fault::Write: return SQLITE_IOERR_WRITE;
    case Fault::FullDisk: return SQLITE_FULL;
    case Fault::Sync: return SQLITE_IOERR_FSYNC;
    case Fault::Truncate: return SQLITE_IOERR_TRUNCATE;
    default: return SQLITE_IOERR_LOCK;
    }
}
