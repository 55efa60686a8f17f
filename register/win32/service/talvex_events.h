#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

// The service's events as the register receives them: nine handler slots
// and the dispatch object that the service calls.
namespace talvex_tlb {

// One event's parameters after the sender, in declaration order, each a
// copy of the caller's value. A handler may change them; by-reference
// parameters go back to the caller.
class TalvexEventArgs {
public:
    explicit TalvexEventArgs(std::size_t count);
    ~TalvexEventArgs();
    TalvexEventArgs(const TalvexEventArgs&) = delete;
    TalvexEventArgs& operator=(const TalvexEventArgs&) = delete;

    std::size_t size() const { return values_.size(); }
    VARIANT& operator[](std::size_t index) { return values_[index]; }
    short Short(std::size_t index) const;
    std::wstring Text(std::size_t index) const;
    void SetText(std::size_t index, const std::wstring& text);

private:
    std::vector<VARIANT> values_;
};

using TalvexEventHandler = std::function<void(TalvexEventArgs& args)>;

struct TalvexEvents {
    TalvexEventHandler OnImageEvent;
    TalvexEventHandler OnVideoEvent;
    TalvexEventHandler OnBarcodeEvent;
    TalvexEventHandler OnPNPEvent;
    TalvexEventHandler OnCommandResponseEvent;
    TalvexEventHandler OnScanRMDEvent;
    TalvexEventHandler OnIOEvent;
    TalvexEventHandler OnScannerNotificationEvent;
    TalvexEventHandler OnBinaryDataEvent;
};

// The event sink: a dispatch object that maps a dispatch ID to its handler
// slot. It may outlive its component (the service holds it), so the
// component detaches it when it goes.
class TalvexEventSink final : public IDispatch {
public:
    explicit TalvexEventSink(TalvexEvents& events) : events_(&events) {}
    void Detach() { events_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    LONG references_ = 1;
    TalvexEvents* events_;
};

}  // namespace talvex_tlb
