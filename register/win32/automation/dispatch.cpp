#include "register/win32/automation/dispatch.h"

#include <vector>

#include "register/win32/automation/ole_exception.h"

namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

}  // namespace

Variant Dispatch::Value(const wchar_t* name, Arguments arguments) const
{
    return Invoke(name, kGet, arguments);
}

Dispatch Dispatch::Property(const wchar_t* name, Arguments arguments) const
{
    return FromVariant(Invoke(name, kGet, arguments));
}

void Dispatch::Put(const wchar_t* name, const Variant& value) const
{
    Invoke(name, DISPATCH_PROPERTYPUT, {}, nullptr, &value);
}

Variant Dispatch::Call(const wchar_t* name, Arguments arguments) const
{
    return Invoke(name, DISPATCH_METHOD, arguments);
}

Variant Dispatch::CallNamed(const wchar_t* name, const wchar_t* argumentName, const Variant& value) const
{
    return Invoke(name, DISPATCH_METHOD, {}, argumentName, &value);
}

Dispatch Dispatch::FromVariant(const Variant& value)
{
    const VARIANT& v = value.get();
    IUnknown* unknown = nullptr;
    if (v.vt == VT_DISPATCH) unknown = v.pdispVal;
    if (v.vt == VT_UNKNOWN) unknown = v.punkVal;
    if (!unknown) ThrowOleError(DISP_E_TYPEMISMATCH);
    ComPtr<IDispatch> object;
    const HRESULT result = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object.Receive()));
    if (FAILED(result)) ThrowOleError(result);
    return Dispatch(std::move(object));
}

// A property put passes its value as the named argument DISPID_PROPERTYPUT;
// a named argument of a method gets its DISPID with the member's. COM takes
// positional arguments last first, named ones before them.
Variant Dispatch::Invoke(const wchar_t* name, WORD flags, Arguments positional, const wchar_t* namedArgument,
                         const Variant* namedValue) const
{
    if (!object_) ThrowOleError(E_POINTER);
    LPOLESTR names[2] = {const_cast<LPOLESTR>(name), const_cast<LPOLESTR>(namedArgument)};
    DISPID ids[2] = {DISPID_UNKNOWN, DISPID_UNKNOWN};
    const UINT nameCount = namedArgument ? 2 : 1;
    HRESULT result = object_->GetIDsOfNames(IID_NULL, names, nameCount, LOCALE_USER_DEFAULT, ids);
    if (FAILED(result)) ThrowOleError(result);

    // The VARIANTs stay owned by the caller's Variants; these are views.
    std::vector<VARIANTARG> arguments;
    DISPID namedId = DISPID_PROPERTYPUT;
    if (namedValue) {
        arguments.push_back(namedValue->get());
        if (namedArgument) namedId = ids[1];
    }
    for (auto it = std::rbegin(positional); it != std::rend(positional); ++it) arguments.push_back(it->get());

    DISPPARAMS parameters{};
    parameters.rgvarg = arguments.empty() ? nullptr : arguments.data();
    parameters.cArgs = static_cast<UINT>(arguments.size());
    parameters.rgdispidNamedArgs = namedValue ? &namedId : nullptr;
    parameters.cNamedArgs = namedValue ? 1 : 0;

    Variant outcome;
    EXCEPINFO info{};
    UINT badArgument = 0;
    VARIANT* resultSlot = flags == DISPATCH_PROPERTYPUT ? nullptr : outcome.Receive();
    result = object_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, resultSlot, &info, &badArgument);
    if (FAILED(result)) ThrowOleError(result, &info);
    return outcome;
}
