#pragma once

#include <cstdint>
#include <list>

#include "plugin/win_handles.h"

namespace pellion {

constexpr std::size_t kWriteItemCapacity = 256;

struct WriteItem {
    std::int32_t length = 0;
    std::uint8_t data[kWriteItemCapacity] = {};
};

// Feature reports waiting for the writer thread, oldest first.
class WriteQueue {
public:
    static constexpr std::size_t kMaxPending = 2;

    WriteQueue() = default;
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Appends the item and wakes the writer; false when the queue is full or
    // the writer cannot be woken (the item is then not kept).
    bool Push(const WriteItem& item, HANDLE queueEvent);

    // Writes every pending item in order with write(item) → 0 to stop, else
    // 1; returns the last result. An item counts as pending until written,
    // but the lock is not held across the device write, so a slow device
    // never holds up a caller queueing the next command.
    template <typename Write>
    int Drain(Write&& write);

    std::size_t Pending();
    void Clear();

private:
    CriticalSection lock_;
    std::list<WriteItem> items_;
    std::size_t pending_ = 0;
};

template <typename Write>
int WriteQueue::Drain(Write&& write)
{
    int result = 1;
    for (;;) {
        const WriteItem* oldest = nullptr;
        {
            Lock lock(lock_);
            if (items_.empty())
                return result;
            oldest = &items_.front();  // only this thread removes items
        }
        result = write(*oldest);
        {
            Lock lock(lock_);
            items_.pop_front();
            --pending_;
        }
        if (result == 0)
            return result;
    }
}

}  // namespace pellion
