#include "register/win32/automation/office_application.h"

#include "register/core/text/text_encoding.h"

namespace {

Dispatch TryAcquire(const quorva::AutomationAttempt& attempt)
{
    CLSID type{};
    if (FAILED(CLSIDFromProgID(Widen(attempt.progId).c_str(), &type))) return Dispatch();
    ComPtr<IUnknown> object;
    const HRESULT result =
        attempt.how == quorva::Acquire::Attach
            ? GetActiveObject(type, nullptr, object.Receive())
            : CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(object.Receive()));
    if (FAILED(result) || !object) return Dispatch();
    ComPtr<IDispatch> automation;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(automation.Receive())))) return Dispatch();
    return Dispatch(std::move(automation));
}

}  // namespace

Dispatch AcquireApplication(const quorva::AutomationOrder& order)
{
    for (const quorva::AutomationAttempt& attempt : order) {
        if (Dispatch application = TryAcquire(attempt)) return application;
    }
    return Dispatch();
}
