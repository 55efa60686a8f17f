#pragma once

#include "plugin/win_handles.h"

namespace pellion {

// How long an unload from another thread waits for a handler still running
// on the window's thread: past a port whose threads had to be ended after
// their stop wait, since threads cannot end while the loader holds its lock.
constexpr DWORD kUnloadHandlerWaitMs = 5000;

// The hidden window's handlers run on the host's thread, while the host may
// unload the library from another. The gate lets a handler in only while
// the plug-in is loaded, wakes a handler that is pausing once the unload
// has begun, and lets the unload wait for one still running. It belongs to
// the process, not to the plug-in state, because it must outlive that state.
class HandlerGate {
public:
    static HandlerGate& Process();

    HandlerGate() = default;
    HandlerGate(const HandlerGate&) = delete;
    HandlerGate& operator=(const HandlerGate&) = delete;

    // One handler's stay; false when the unload has begun.
    class Pass {
    public:
        explicit Pass(HandlerGate& gate) : gate_(gate), admitted_(gate.Enter()) {}
        ~Pass()
        {
            if (admitted_)
                gate_.Leave();
        }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        explicit operator bool() const { return admitted_; }

    private:
        HandlerGate& gate_;
        bool admitted_;
    };

    // At load: handlers are let in.
    void Open();
    // At unload: no handler is let in any more, a pausing one is woken, and
    // one still running on another thread is waited for, at most timeoutMs.
    void Close(DWORD timeoutMs);
    // A running handler's pause; true when the unload began meanwhile, and
    // the handler must leave the plug-in's state alone from then on.
    bool Pause(DWORD milliseconds);

private:
    bool Enter();
    void Leave();

    CriticalSection lock_;
    UniqueHandle closing_ = MakeEvent(true);
    UniqueHandle idle_ = UniqueHandle(::CreateEventA(nullptr, TRUE, TRUE, nullptr));
    int running_ = 0;
    DWORD handlerThread_ = 0;
    bool closed_ = false;
};

}  // namespace pellion
