#include "plugin/commands/response_timer.h"

namespace pellion {

ResponseTimer::ResponseTimer(LPTIMECALLBACK callback, DWORD_PTR userValue, HWND hostWindow)
    : callback_(callback), userValue_(userValue), hostWindow_(hostWindow)
{
}

ResponseTimer::~ResponseTimer()
{
    Kill();
}

void ResponseTimer::Expect(std::uint32_t commandCode, int delayMs)
{
    Lock lock(lock_);
    guardedCode_ = commandCode;
    delayMs_ = delayMs;
}

void ResponseTimer::ClearDelay()
{
    Lock lock(lock_);
    delayMs_ = 0;
}

bool ResponseTimer::AwaitingResponse()
{
    Lock lock(lock_);
    return delayMs_ != 0;
}

std::uint32_t ResponseTimer::GuardedCode()
{
    Lock lock(lock_);
    return guardedCode_;
}

UINT ResponseTimer::DisarmLocked()
{
    const UINT id = armed_ ? id_.load() : 0;
    armed_ = false;
    return id;
}

void ResponseTimer::StartLocked(int delayMs)
{
    const UINT id = ::timeSetEvent(static_cast<UINT>(delayMs), kTimerResolutionMs, callback_, userValue_,
                                   TIME_ONESHOT);
    id_ = id;
    armed_ = id != 0;
}

void ResponseTimer::Arm()
{
    UINT stale = 0;
    {
        Lock lock(lock_);
        stale = DisarmLocked();
    }
    // Killed outside the lock: the callback takes the lock to spend its id.
    if (stale != 0)
        ::timeKillEvent(stale);
    Lock lock(lock_);
    if (!armed_ && delayMs_ != 0)
        StartLocked(delayMs_);
}

void ResponseTimer::ArmRetry(int delayMs)
{
    Lock lock(lock_);
    if (!armed_ && delayMs_ != 0)
        StartLocked(delayMs);
}

void ResponseTimer::Kill()
{
    UINT stale = 0;
    {
        Lock lock(lock_);
        stale = DisarmLocked();
        delayMs_ = 0;
    }
    if (stale != 0)
        ::timeKillEvent(stale);
}

bool ResponseTimer::TakeExpiry(UINT firedId)
{
    Lock lock(lock_);
    if (!armed_ || id_.load() != firedId)
        return false;
    // A one-shot id is free for the system to reuse once it has fired, so
    // it must never be killed later.
    armed_ = false;
    return true;
}

TimerOwnerTable& TimerOwnerTable::Process()
{
    static TimerOwnerTable table;
    return table;
}

int TimerOwnerTable::Add(const TimerOwnerRow& row)
{
    Lock lock(lock_);
    for (std::size_t i = 0; i < kRows; ++i) {
        if (!used_[i]) {
            used_[i] = true;
            rows_[i] = row;
            return static_cast<int>(i);
        }
    }
    return kNoRow;
}

void TimerOwnerTable::Remove(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kRows)
        return;
    Lock lock(lock_);
    used_[index] = false;
    rows_[index] = TimerOwnerRow{};
}

std::size_t TimerOwnerTable::RowsInUse()
{
    Lock lock(lock_);
    std::size_t count = 0;
    for (bool used : used_)
        count += used ? 1 : 0;
    return count;
}

bool TimerOwnerRegistration::Register(TimerOwnerTable& table, const TimerOwnerRow& row)
{
    Reset();
    index_ = table.Add(row);
    table_ = Registered() ? &table : nullptr;
    return Registered();
}

void TimerOwnerRegistration::Reset()
{
    if (table_ != nullptr)
        table_->Remove(index_);
    table_ = nullptr;
    index_ = TimerOwnerTable::kNoRow;
}

}  // namespace pellion
