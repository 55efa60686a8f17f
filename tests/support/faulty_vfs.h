#pragma once

#include <array>

#include <sqlite3.h>

// The platform's own SQLite VFS with one operation made to fail: the N-th
// write, sync, truncate or lock since arming, or the N-th write as a full
// disk. While it lives it is the default VFS, so every connection the
// register opens goes through it.
enum class Fault { Write, Sync, Truncate, Lock, FullDisk, Count };

class FaultyVfs {
public:
    FaultyVfs();
    ~FaultyVfs();
    FaultyVfs(const FaultyVfs&) = delete;
    FaultyVfs& operator=(const FaultyVfs&) = delete;

    // Counts from zero again and fails the `nth` operation of `fault`'s kind
    // (never when `nth` is 0).
    void Arm(Fault fault, int nth);
    // Operations of `fault`'s kind since arming.
    int Seen(Fault fault) const { return seen_[Kind(fault)]; }
    bool Fired() const { return fired_; }

    // What the file methods ask: the code to fail this operation with, or
    // SQLITE_OK to let it through.
    int Pass(Fault fault);
    sqlite3_vfs* Platform() const { return real_; }

private:
    static int Kind(Fault fault) { return static_cast<int>(fault == Fault::FullDisk ? Fault::Write : fault); }

    sqlite3_vfs vfs_;
    sqlite3_vfs* real_;
    std::array<int, static_cast<int>(Fault::Count)> seen_{};
    Fault armed_ = Fault::Write;
    int nth_ = 0;
    bool fired_ = false;
};
