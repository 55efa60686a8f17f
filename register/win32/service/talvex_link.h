#pragma once

#include <windows.h>
#include <ocidl.h>

#include <stdexcept>
#include <string>

#include <wrl/client.h>

#include "register/win32/service/talvex_events.h"
#include "register/win32/service/talvex_tlb.h"

// An automation failure, carrying the system's message for its result code.
class EOleSysError : public std::runtime_error {
public:
    explicit EOleSysError(HRESULT code);
    HRESULT code() const { return code_; }

private:
    HRESULT code_;
};

// Raises EOleSysError for a failing result code.
void OleCheck(HRESULT code);

// The link component to the scanner service: attaches to the running
// service or starts one on the first call that needs it, registers its event
// sink on the service's connection point and holds the default interface
// until it goes. Everything runs on the thread that made it.
class TCTalvex {
public:
    TCTalvex();
    ~TCTalvex();
    TCTalvex(const TCTalvex&) = delete;
    TCTalvex& operator=(const TCTalvex&) = delete;

    // Connects when not connected; raises what connecting raises.
    talvex_tlb::ITalvex& DefaultInterface();
    void Connect();
    void Disconnect();
    bool Connected() const { return server_ != nullptr; }
    // The object the service calls with events.
    IDispatch* EventSink() const { return sink_.Get(); }

    talvex_tlb::TalvexEvents events;

private:
    void ConnectEvents(IUnknown& instance);

    bool uninitialize_ = false;
    Microsoft::WRL::ComPtr<talvex_tlb::ITalvex> server_;
    Microsoft::WRL::ComPtr<talvex_tlb::TalvexEventSink> sink_;
    Microsoft::WRL::ComPtr<IConnectionPoint> eventPoint_;
    DWORD eventCookie_ = 0;
};
