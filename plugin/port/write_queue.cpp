#include "plugin/port/write_queue.h"

namespace pellion {

bool WriteQueue::Push(const WriteItem& item, HANDLE queueEvent)
{
    Lock lock(lock_);
    if (pending_ >= kMaxPending)
        return false;
    items_.push_back(item);
    ++pending_;
    if (!::SetEvent(queueEvent)) {
        items_.pop_back();
        --pending_;
        return false;
    }
    return true;
}

std::size_t WriteQueue::Pending()
{
    Lock lock(lock_);
    return pending_;
}

void WriteQueue::Clear()
{
    Lock lock(lock_);
    items_.clear();
    pending_ = 0;
}

}  // namespace pellion
