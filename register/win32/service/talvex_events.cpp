#include "register/win32/service/talvex_events.h"

#include "register/win32/service/talvex_tlb.h"

namespace talvex_tlb {

namespace {

struct EventSlot {
    DISPID id;
    TalvexEventHandler TalvexEvents::*handler;
    std::size_t parameters;
};

const EventSlot kEventSlots[] = {
    {1, &TalvexEvents::OnImageEvent, 5},
    {2, &TalvexEvents::OnVideoEvent, 4},
    {3, &TalvexEvents::OnBarcodeEvent, 2},
    {4, &TalvexEvents::OnPNPEvent, 2},
    {5, &TalvexEvents::OnCommandResponseEvent, 2},
    {6, &TalvexEvents::OnScanRMDEvent, 2},
    {7, &TalvexEvents::OnIOEvent, 2},
    {8, &TalvexEvents::OnScannerNotificationEvent, 2},
    {9, &TalvexEvents::OnBinaryDataEvent, 5},
};

const EventSlot* SlotOf(DISPID id)
{
    for (const EventSlot& slot : kEventSlots) {
        if (slot.id == id) return &slot;
    }
    return nullptr;
}

// Counts and arrays that agree; anything else would be read out of bounds.
bool IsWellFormed(const DISPPARAMS& params)
{
    return params.cNamedArgs <= params.cArgs && (params.cArgs == 0 || params.rgvarg) &&
           (params.cNamedArgs == 0 || params.rgdispidNamedArgs);
}

// The caller's argument for each parameter: positional ones arrive
// last-first after the named ones, named ones carry their position.
std::vector<VARIANT*> ArgumentsInDeclarationOrder(const DISPPARAMS& params, std::size_t count)
{
    std::vector<VARIANT*> arguments(count, nullptr);
    const UINT named = params.cNamedArgs;
    for (UINT i = 0; i < named && i < params.cArgs; ++i) {
        const DISPID position = params.rgdispidNamedArgs[i];
        if (position >= 0 && static_cast<std::size_t>(position) < count) arguments[position] = &params.rgvarg[i];
    }
    const UINT positional = params.cArgs - named;
    for (UINT i = 0; i < positional && i < count; ++i) arguments[i] = &params.rgvarg[params.cArgs - 1 - i];
    return arguments;
}

// A handler's value written back through the caller's reference, in the
// type the reference has.
void CopyBack(VARIANT& target, VARIANT& value)
{
    if (!(target.vt & VT_BYREF) || !target.byref) return;
    const VARTYPE type = target.vt & ~VT_BYREF;
    if (type == VT_VARIANT) {
        VariantCopy(target.pvarVal, &value);
        return;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, &value, 0, type))) return;
    switch (type) {
    case VT_BSTR:
        SysFreeString(*target.pbstrVal);
        *target.pbstrVal = converted.bstrVal;
        return;
    case VT_I2: *target.piVal = converted.iVal; break;
    case VT_I4: *target.plVal = converted.lVal; break;
    case VT_UI1: *target.pbVal = converted.bVal; break;
    default: break;
    }
    VariantClear(&converted);
}

}  // namespace

TalvexEventArgs::TalvexEventArgs(std::size_t count) : values_(count)
{
    for (VARIANT& value : values_) VariantInit(&value);
}

TalvexEventArgs::~TalvexEventArgs()
{
    for (VARIANT& value : values_) VariantClear(&value);
}

short TalvexEventArgs::Short(std::size_t index) const
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&values_[index]), 0, VT_I2))) return 0;
    return converted.iVal;
}

std::wstring TalvexEventArgs::Text(std::size_t index) const
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&values_[index]), 0, VT_BSTR))) return {};
    std::wstring text(converted.bstrVal ? converted.bstrVal : L"", SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return text;
}

void TalvexEventArgs::SetText(std::size_t index, const std::wstring& text)
{
    VariantClear(&values_[index]);
    values_[index].vt = VT_BSTR;
    values_[index].bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

HRESULT TalvexEventSink::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_ITalvexEvents) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TalvexEventSink::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG TalvexEventSink::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT TalvexEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TalvexEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT TalvexEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

// Unknown dispatch IDs and empty slots are ignored; a call whose argument
// counts do not fit its arrays is refused.
HRESULT TalvexEventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (params && !IsWellFormed(*params)) return DISP_E_BADPARAMCOUNT;
    const EventSlot* slot = SlotOf(member);
    if (!slot || !events_ || !(events_->*slot->handler) || !params) return S_OK;
    const std::vector<VARIANT*> arguments = ArgumentsInDeclarationOrder(*params, slot->parameters);
    TalvexEventArgs args(slot->parameters);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i]) VariantCopyInd(&args[i], arguments[i]);
    }
    try {
        (events_->*slot->handler)(args);
    } catch (...) {
        return DISP_E_EXCEPTION;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i]) CopyBack(*arguments[i], args[i]);
    }
    return S_OK;
}

}  // namespace talvex_tlb
