#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "plugin/platform.h"
#include "plugin/win_handles.h"

namespace pellion {

constexpr int kResponseDelayMs = 2000;
constexpr UINT kTimerResolutionMs = 3000;

// A one-shot multimedia timer guarding the answer to one command.
class ResponseTimer {
public:
    ResponseTimer(LPTIMECALLBACK callback, DWORD_PTR userValue, HWND hostWindow);
    ~ResponseTimer();
    ResponseTimer(const ResponseTimer&) = delete;
    ResponseTimer& operator=(const ResponseTimer&) = delete;

    // Sets what the next Arm waits for.
    void Expect(std::uint32_t commandCode, int delayMs);
    void ClearDelay();
    bool AwaitingResponse();
    std::uint32_t GuardedCode();

    // Restarts the timer for the delay set by Expect; no delay, no timer.
    void Arm();
    // Fires again soon, for an expiry that could not be handled yet.
    void ArmRetry(int delayMs);
    // Stops the timer and forgets the delay.
    void Kill();
    // Called from the callback: true when the id is this timer's, which
    // then is spent.
    bool TakeExpiry(UINT firedId);

    DWORD_PTR UserValue() const { return userValue_; }
    HWND HostWindow() const { return hostWindow_; }
    const std::atomic<UINT>* IdAddress() const { return &id_; }

private:
    void StartLocked(int delayMs);
    UINT DisarmLocked();

    std::uint32_t guardedCode_ = 0;
    std::atomic<UINT> id_{0};
    LPTIMECALLBACK callback_;
    DWORD_PTR userValue_;
    HWND hostWindow_;
    bool armed_ = false;
    int delayMs_ = 0;
    CriticalSection lock_;
};

class CComThreads;

struct TimerOwnerRow {
    CComThreads* context = nullptr;
    const std::atomic<UINT>* responseTimerId = nullptr;
    const std::atomic<UINT>* secondTimerId = nullptr;
    DWORD_PTR deviceHandle = 0;
    HWND hostWindow = nullptr;
};

// Lets the timer callback, which receives only an id and a value, find the
// port context a timer belongs to. A context keeps one row while it lives,
// so long-running services never run out of rows.
class TimerOwnerTable {
public:
    static constexpr std::size_t kRows = 1000;
    static constexpr int kNoRow = -1;

    static TimerOwnerTable& Process();

    TimerOwnerTable() = default;
    TimerOwnerTable(const TimerOwnerTable&) = delete;
    TimerOwnerTable& operator=(const TimerOwnerTable&) = delete;

    // Returns the row index, or kNoRow when every row is taken.
    int Add(const TimerOwnerRow& row);
    void Remove(int index);
    std::size_t RowsInUse();

    // Offers the fired timer to the contexts registered with its value until
    // action(context) → true claims it; the table is held meanwhile, so no
    // such context can be destroyed under the callback. The id itself is
    // checked by the claiming timer under its own lock: the system may fire
    // before timeSetEvent has returned the id to store.
    template <typename Action>
    bool Dispatch(DWORD_PTR userValue, Action&& action);

private:
    CriticalSection lock_;
    std::array<TimerOwnerRow, kRows> rows_{};
    std::array<bool, kRows> used_{};
};

template <typename Action>
bool TimerOwnerTable::Dispatch(DWORD_PTR userValue, Action&& action)
{
    Lock lock(lock_);
    for (std::size_t i = 0; i < kRows; ++i) {
        if (used_[i] && rows_[i].deviceHandle == userValue && action(*rows_[i].context))
            return true;
    }
    return false;
}

// Owns one row of a table for as long as it lives.
class TimerOwnerRegistration {
public:
    TimerOwnerRegistration() = default;
    ~TimerOwnerRegistration() { Reset(); }
    TimerOwnerRegistration(const TimerOwnerRegistration&) = delete;
    TimerOwnerRegistration& operator=(const TimerOwnerRegistration&) = delete;

    bool Register(TimerOwnerTable& table, const TimerOwnerRow& row);
    void Reset();
    bool Registered() const { return index_ != TimerOwnerTable::kNoRow; }

private:
    TimerOwnerTable* table_ = nullptr;
    int index_ = TimerOwnerTable::kNoRow;
};

}  // namespace pellion
