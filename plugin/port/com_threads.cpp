#include "plugin/port/com_threads.h"

namespace pellion {

bool BusyFlag::TryAcquire()
{
    Lock lock(lock_);
    if (busy_)
        return false;
    busy_ = true;
    return true;
}

void BusyFlag::Release()
{
    Lock lock(lock_);
    busy_ = false;
}

MessageBlocks& MessageBlocks::Process()
{
    static MessageBlocks blocks;
    return blocks;
}

const MessageBlocks::Block* MessageBlocks::Store(std::int32_t first, std::int32_t second, std::int32_t third)
{
    Block& block = slots_[next_.fetch_add(1) % kSlots];
    block = Block{first, second, third};
    return &block;
}

int CComThreads::Prepare(HWND host, DWORD_PTR deviceHandle, LPTIMECALLBACK timerCallback, TimerOwnerTable& owners)
{
    receiveState = 0;
    commandState = CommandState::Idle;
    lastCommandCode = 0;
    status = StatusBlock{};
    response = ResponseDescriptor{};
    hostWindow = host;
    queue.Clear();
    stopEvent = MakeEvent(true);
    queueEvent = MakeEvent(false);
    CreateTimers(deviceHandle, timerCallback, owners);
    return stopEvent && queueEvent ? kOk : kErrNoEvents;
}

void CComThreads::CreateTimers(DWORD_PTR deviceHandle, LPTIMECALLBACK timerCallback, TimerOwnerTable& owners)
{
    timerOwner.Reset();
    responseTimer = std::make_unique<ResponseTimer>(timerCallback, deviceHandle, hostWindow);
    secondTimer = std::make_unique<ResponseTimer>(timerCallback, deviceHandle, hostWindow);
    const TimerOwnerRow row{this, responseTimer->IdAddress(), secondTimer->IdAddress(), deviceHandle, hostWindow};
    if (!timerOwner.Register(owners, row)) {
        responseTimer.reset();
        secondTimer.reset();
    }
}

}  // namespace pellion
