#include "plugin/host/handler_gate.h"

namespace pellion {

HandlerGate& HandlerGate::Process()
{
    static HandlerGate gate;
    return gate;
}

void HandlerGate::Open()
{
    Lock lock(lock_);
    closed_ = false;
    ::ResetEvent(closing_.Get());
}

void HandlerGate::Close(DWORD timeoutMs)
{
    bool elsewhere = false;
    {
        Lock lock(lock_);
        closed_ = true;
        ::SetEvent(closing_.Get());
        // A handler on this very thread is below the caller on its stack and
        // cannot end before the caller does.
        elsewhere = running_ > 0 && handlerThread_ != ::GetCurrentThreadId();
    }
    if (elsewhere)
        ::WaitForSingleObject(idle_.Get(), timeoutMs);
}

bool HandlerGate::Pause(DWORD milliseconds)
{
    return ::WaitForSingleObject(closing_.Get(), milliseconds) == WAIT_OBJECT_0;
}

bool HandlerGate::Enter()
{
    Lock lock(lock_);
    if (closed_)
        return false;
    if (running_++ == 0) {
        handlerThread_ = ::GetCurrentThreadId();
        ::ResetEvent(idle_.Get());
    }
    return true;
}

void HandlerGate::Leave()
{
    Lock lock(lock_);
    if (--running_ == 0)
        ::SetEvent(idle_.Get());
}

}  // namespace pellion
